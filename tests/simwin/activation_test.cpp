// Activation: ShowWindow, the hand-off when the active window goes, the
// application's switches, and windows of other applications.
#include "recorder.h"

namespace simwin_test {
namespace {

using ActivationTest = SimwinTest;

HWND foreign_window(const char *title)
{
    HWND f = make_window(title);
    simwin_set_foreign(f, 1);
    ShowWindow(f, SW_SHOW);
    return f;
}

// The module's way of moving activation off a hidden editor, as measured
// under Wine: showing the helper activates it, and hiding it with nothing
// else of the application to activate sends the application to the
// background. A window below a topmost one is "moved" to the top of its band
// by each ShowWindow, so its WM_WINDOWPOSCHANGED carries no nozorder.
TEST_F(ActivationTest, HidingTheLastVisibleWindowDeactivatesTheApplication)
{
    HWND e = make_visible("e");
    SetWindowPos(e, HWND_TOPMOST, 0, 0, 0, 0, k_swp_topmost);
    HWND h = make_window("h", WS_POPUP);
    foreign_window("f");
    SetWindowPos(e, nullptr, 0, 0, 0, 0, k_swp_hide);
    take();
    ASSERT_EQ(GetActiveWindow(), e);

    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_LOG("h WM_SHOWWINDOW 1", "h WM_WINDOWPOSCHANGING", "e WM_ACTIVATE WA_INACTIVE to h",
               "h WM_ACTIVATE WA_ACTIVE from e", "h WM_WINDOWPOSCHANGED nomove nosize show noclientsize noclientmove");
    EXPECT_EQ(GetActiveWindow(), h);
    EXPECT_EQ(order(), "e h f");
    EXPECT_TRUE(ShowWindow(h, SW_SHOW)) << "showing a visible window does nothing";
    EXPECT_EQ(take(), "");

    EXPECT_TRUE(ShowWindow(h, SW_HIDE));
    EXPECT_LOG("h WM_SHOWWINDOW 0", "h WM_WINDOWPOSCHANGING",
               "h WM_WINDOWPOSCHANGED nomove nosize hide noclientsize noclientmove", "h WM_ACTIVATE WA_INACTIVE to -",
               "e WM_ACTIVATEAPP 0", "h WM_ACTIVATEAPP 0");
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(simwin_app_active(), 0);
    EXPECT_FALSE(ShowWindow(h, SW_HIDE));
    EXPECT_EQ(take(), "");
}

// The next window is looked for below the one leaving first, then from the
// top down to it; activating a window never moves it in the z-order.
TEST_F(ActivationTest, ActivationPassesBelowFirstThenFromTheTop)
{
    HWND o = make_visible("o");
    make_window("hidden");
    HWND f = foreign_window("f");
    HWND h = make_window("h", WS_POPUP);
    ShowWindow(h, SW_SHOW);
    HWND t = make_window("t");
    ShowWindow(t, SW_SHOWNA);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, k_swp_topmost);
    EXPECT_EQ(order(), "h t f hidden o");
    take();

    ShowWindow(h, SW_HIDE);
    EXPECT_LOG("h WM_SHOWWINDOW 0", "h WM_WINDOWPOSCHANGING",
               "h WM_WINDOWPOSCHANGED nomove nosize nozorder hide noclientsize noclientmove",
               "h WM_ACTIVATE WA_INACTIVE to t", "t WM_ACTIVATE WA_ACTIVE from h");
    EXPECT_EQ(GetActiveWindow(), t);

    SetActiveWindow(o);
    take();
    ShowWindow(o, SW_HIDE);
    EXPECT_LOG("o WM_SHOWWINDOW 0", "o WM_WINDOWPOSCHANGING",
               "o WM_WINDOWPOSCHANGED nomove nosize hide noclientsize noclientmove",
               "o WM_ACTIVATE WA_INACTIVE to t", "t WM_ACTIVATE WA_ACTIVE from o");
    EXPECT_EQ(order(), "o h t f hidden") << "ShowWindow puts even a window it hides on top";

    // Whichever application owns the next window takes activation: here
    // another one, so this application goes to the background, o aside.
    ShowWindow(o, SW_SHOW);
    SetActiveWindow(t);
    take();
    DestroyWindow(t);
    EXPECT_LOG("t WM_WINDOWPOSCHANGING",
               "t WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove",
               "t WM_ACTIVATE WA_INACTIVE to -", "o WM_ACTIVATEAPP 0", "h WM_ACTIVATEAPP 0", "t WM_ACTIVATEAPP 0",
               "hidden WM_ACTIVATEAPP 0", "t WM_DESTROY", "t WM_NCDESTROY");
    EXPECT_EQ(simwin_app_active(), 0);

    // Minimising the active window parks it off screen and hands activation
    // on too, here to the other application below it; restoring it brings
    // it back where it was and activates it again.
    simwin_app_activate(1);
    SetActiveWindow(o);
    RECT before = {};
    GetWindowRect(o, &before);
    take();
    EXPECT_TRUE(ShowWindow(o, SW_MINIMIZE));
    EXPECT_LOG("o WM_WINDOWPOSCHANGING", "o WM_WINDOWPOSCHANGED nosize nozorder noactivate noclientsize",
               "o WM_MOVE -31996,-31977", "o WM_WINDOWPOSCHANGING", "o WM_ACTIVATE WA_INACTIVE to -", "o WM_ACTIVATEAPP 0", "h WM_ACTIVATEAPP 0", "hidden WM_ACTIVATEAPP 0");
    EXPECT_TRUE(IsWindowVisible(o) && (GetWindowLongPtrA(o, GWL_STYLE) & WS_MINIMIZE));
    RECT parked = {};
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    EXPECT_TRUE(GetWindowRect(o, &parked) && GetWindowPlacement(o, &wp) && IsIconic(o));
    EXPECT_EQ(parked.left, -32000);
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.left, before.left);
    EXPECT_EQ(wp.rcNormalPosition.bottom, before.bottom);
    ShowWindow(o, SW_RESTORE);
    EXPECT_EQ(GetActiveWindow(), o);
    RECT back = {};
    EXPECT_TRUE(GetWindowRect(o, &back) && !IsIconic(o));
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.top, before.top);
    EXPECT_FALSE(GetWindowLongPtrA(o, GWL_STYLE) & WS_MINIMIZE);
    t = make_window("t");
    ShowWindow(t, SW_SHOWNA);
    SetActiveWindow(t);
    take();

    // A window of another application never takes activation.
    EXPECT_EQ(SetActiveWindow(f), nullptr);
    SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetActiveWindow(), t);
    EXPECT_EQ(take().find("WM_ACTIVATE"), std::string::npos);

    EXPECT_EQ(SetActiveWindow(h), t) << "a hidden window can be activated";
    EXPECT_LOG("t WM_ACTIVATE WA_INACTIVE to h", "h WM_ACTIVATE WA_ACTIVE from t");
    EXPECT_EQ(SetActiveWindow(h), h);
    EXPECT_EQ(take(), "");

    // Hiding with SetWindowPos leaves the window active, with or without
    // SWP_NOACTIVATE; activating with SetWindowPos brings it to the top.
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    SetWindowPos(h, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
    EXPECT_EQ(GetActiveWindow(), h);
    SetWindowPos(t, nullptr, 0, 0, 0, 0, keep);
    EXPECT_EQ(GetActiveWindow(), t);
    EXPECT_EQ(order(), "t h f o hidden");
}

TEST_F(ActivationTest, TheApplicationGoesToTheBackgroundAndComesBack)
{
    HWND a = make_visible("a");
    HWND b = make_window("b");
    foreign_window("f");
    take();

    simwin_app_activate(0);
    EXPECT_LOG("a WM_ACTIVATE WA_INACTIVE to -", "b WM_ACTIVATEAPP 0", "a WM_ACTIVATEAPP 0");
    EXPECT_EQ(GetActiveWindow(), nullptr);
    simwin_app_activate(0);
    EXPECT_EQ(take(), "");

    simwin_app_activate(1);
    EXPECT_LOG("b WM_ACTIVATEAPP 1", "a WM_ACTIVATEAPP 1", "a WM_ACTIVATE WA_ACTIVE from -");
    EXPECT_EQ(GetActiveWindow(), a);

    // A window destroyed meanwhile is not given back.
    ShowWindow(b, SW_SHOW);
    simwin_app_activate(0);
    DestroyWindow(b);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), a);

    // A window hidden meanwhile gets activation back all the same.
    HWND c = make_visible("c");
    simwin_app_activate(0);
    ShowWindow(c, SW_HIDE);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), c);
    EXPECT_EQ(simwin_app_active(), 1);

    // No active window at all is the application in the background.
    take();
    EXPECT_EQ(SetActiveWindow(nullptr), c);
    EXPECT_LOG("c WM_ACTIVATE WA_INACTIVE to -", "c WM_ACTIVATEAPP 0", "a WM_ACTIVATEAPP 0");
    EXPECT_EQ(simwin_app_active(), 0);
}

// Under Wine, a window that is activated while the application is in the
// background brings the application back; one shown without activation
// does not.
TEST_F(ActivationTest, ActivatingAWindowInTheBackgroundBringsTheApplicationBack)
{
    HWND a = make_visible("a");
    HWND b = make_window("b");
    simwin_app_activate(0);
    take();

    SetWindowPos(b, nullptr, 0, 0, 0, 0, k_swp_show);
    ShowWindow(b, SW_SHOWNA);
    SetWindowPos(b, nullptr, 0, 0, 0, 0, k_swp_hide);
    EXPECT_EQ(simwin_app_active(), 0);
    take();

    ShowWindow(b, SW_SHOW);
    EXPECT_LOG("b WM_SHOWWINDOW 1", "b WM_WINDOWPOSCHANGING", "b WM_ACTIVATEAPP 1", "a WM_ACTIVATEAPP 1",
               "b WM_ACTIVATE WA_ACTIVE from -", "b WM_WINDOWPOSCHANGED nomove nosize nozorder show noclientsize noclientmove");
    EXPECT_EQ(GetActiveWindow(), b);

    const std::vector<std::pair<const char *, std::function<void()>>> ways = {
        {"SetActiveWindow", [a] { SetActiveWindow(a); }},
        {"SetWindowPos", [a] { SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER); }},
        {"a new visible window", [] { make_visible("n"); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.first);
        simwin_app_activate(0);
        take();
        way.second();
        const std::string log = take();
        EXPECT_NE(log.find("a WM_ACTIVATEAPP 1"), std::string::npos) << log;
        EXPECT_EQ(simwin_app_active(), 1);
    }
    EXPECT_EQ(title_of(GetActiveWindow()), "n");

    // With no window to go back to, the application stays in the background.
    simwin_reset();
    SetUp();
    make_window("hidden");
    simwin_app_activate(1);
    EXPECT_EQ(simwin_app_active(), 0);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(ActivationTest, DisplayCounterAndShowCount)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(simwin_cursor_count(), 1);

    HWND w = make_visible("w");
    SetWindowPos(w, nullptr, 0, 0, 0, 0, k_swp_show);
    ShowWindow(w, SW_SHOW);
    EXPECT_EQ(simwin_times_shown(w), 1);
    SetWindowPos(w, nullptr, 0, 0, 0, 0, k_swp_hide);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    EXPECT_EQ(simwin_times_shown(w), 2);

    simwin_reset();
    EXPECT_EQ(simwin_cursor_count(), 0);
    EXPECT_EQ(simwin_times_shown(w), 0);
}

} // namespace
} // namespace simwin_test
