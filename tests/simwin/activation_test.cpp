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
// background.
TEST_F(ActivationTest, HidingTheLastVisibleWindowDeactivatesTheApplication)
{
    HWND e = make_visible("e");
    SetWindowPos(e, HWND_TOPMOST, 0, 0, 0, 0, 0x13);
    HWND h = make_window("h", WS_POPUP);
    foreign_window("f");
    SetWindowPos(e, nullptr, 0, 0, 0, 0, 0x497);
    take();
    ASSERT_EQ(GetActiveWindow(), e);

    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_LOG("h WM_SHOWWINDOW 1", "h WM_WINDOWPOSCHANGING", "e WM_ACTIVATE WA_INACTIVE to h", "h WM_WINDOWPOSCHANGING",
               "h WM_ACTIVATE WA_ACTIVE from e",
               "h WM_WINDOWPOSCHANGED nomove nosize show noclientsize noclientmove");
    EXPECT_EQ(GetActiveWindow(), h);
    EXPECT_TRUE(ShowWindow(h, SW_SHOW));
    EXPECT_LOG("h WM_WINDOWPOSCHANGING");

    EXPECT_TRUE(ShowWindow(h, SW_HIDE));
    EXPECT_LOG("h WM_SHOWWINDOW 0", "h WM_WINDOWPOSCHANGING",
               "h WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove",
               "h WM_ACTIVATE WA_INACTIVE to -", "e WM_ACTIVATEAPP 0", "h WM_ACTIVATEAPP 0");
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(simwin_app_active(), 0);
    EXPECT_FALSE(ShowWindow(h, SW_HIDE));
    EXPECT_EQ(take(), "");
}

TEST_F(ActivationTest, ActivationPassesToTheHighestVisibleWindowOfTheApplication)
{
    HWND o = make_visible("o");
    make_window("hidden");
    HWND f = foreign_window("f");
    HWND h = make_window("h", WS_POPUP);
    ShowWindow(h, SW_SHOW);
    EXPECT_EQ(order(), "h f hidden o");
    take();

    ShowWindow(h, SW_HIDE);
    EXPECT_LOG("h WM_SHOWWINDOW 0", "h WM_WINDOWPOSCHANGING",
               "h WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove",
               "h WM_ACTIVATE WA_INACTIVE to o", "o WM_WINDOWPOSCHANGING",
               "o WM_WINDOWPOSCHANGED nomove nosize noactivate noclientsize noclientmove", "o WM_ACTIVATE WA_ACTIVE from h");
    EXPECT_EQ(GetActiveWindow(), o);
    EXPECT_EQ(order(), "o h f hidden");

    // A window of another application never takes activation.
    EXPECT_EQ(SetActiveWindow(f), nullptr);
    ShowWindow(f, SW_SHOW);
    SetWindowPos(f, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetActiveWindow(), o);
    EXPECT_EQ(take().find("WM_ACTIVATE"), std::string::npos);

    EXPECT_EQ(SetActiveWindow(h), o) << "a hidden window can be activated";
    EXPECT_LOG("o WM_ACTIVATE WA_INACTIVE to h", "h WM_WINDOWPOSCHANGING",
               "h WM_WINDOWPOSCHANGED nomove nosize noactivate noclientsize noclientmove", "h WM_ACTIVATE WA_ACTIVE from o");
    EXPECT_EQ(SetActiveWindow(h), h);
    EXPECT_EQ(take(), "");

    // Hiding with SetWindowPos hands activation on unless SWP_NOACTIVATE.
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    SetWindowPos(h, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
    EXPECT_EQ(GetActiveWindow(), o);
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
    EXPECT_LOG("b WM_ACTIVATEAPP 1", "a WM_ACTIVATEAPP 1", "a WM_WINDOWPOSCHANGING",
               "a WM_WINDOWPOSCHANGED nomove nosize noactivate noclientsize noclientmove", "a WM_ACTIVATE WA_ACTIVE from -");
    EXPECT_EQ(GetActiveWindow(), a);

    // Activation asked for in the background takes effect on return; a
    // window destroyed meanwhile is not given back.
    simwin_app_activate(0);
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), b);
    simwin_app_activate(0);
    DestroyWindow(b);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), a);

    // A window hidden meanwhile gets activation back all the same.
    HWND c = make_visible("c");
    simwin_app_activate(0);
    SetWindowPos(c, nullptr, 0, 0, 0, 0, 0x497);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), c);
    EXPECT_EQ(simwin_app_active(), 1);
}

TEST_F(ActivationTest, DisplayCounterAndShowCount)
{
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(simwin_cursor_count(), 1);

    HWND w = make_visible("w");
    SetWindowPos(w, nullptr, 0, 0, 0, 0, 0x457);
    ShowWindow(w, SW_SHOW);
    EXPECT_EQ(simwin_times_shown(w), 1);
    SetWindowPos(w, nullptr, 0, 0, 0, 0, 0x497);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    EXPECT_EQ(simwin_times_shown(w), 2);

    simwin_reset();
    EXPECT_EQ(simwin_cursor_count(), 0);
    EXPECT_EQ(simwin_times_shown(w), 0);
}

} // namespace
} // namespace simwin_test
