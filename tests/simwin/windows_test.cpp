// Classes, creating and destroying windows.
#include "recorder.h"

namespace simwin_test {
namespace {

using WindowsTest = SimwinTest;

TEST_F(WindowsTest, ClassesAreCheckedAndNamedWithoutRegardToCase)
{
    WNDCLASSEXA wc = class_named("Helper");
    wc.cbSize = sizeof wc - 1;
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    wc = class_named(nullptr);
    EXPECT_EQ(RegisterClassExA(&wc), 0);

    wc = class_named("Helper");
    const ATOM atom = RegisterClassExA(&wc);
    ASSERT_NE(atom, 0);
    wc = class_named("HELPER");
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    HWND by_atom = CreateWindowExA(0, MAKEINTATOM(atom), "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(by_atom, nullptr);
    EXPECT_FALSE(UnregisterClassA("helper", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    EXPECT_TRUE(DestroyWindow(by_atom));
    EXPECT_TRUE(UnregisterClassA("helper", nullptr));
    EXPECT_FALSE(UnregisterClassA("Helper", nullptr));

    EXPECT_EQ(CreateWindowExA(0, "Helper", "x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
}

TEST_F(WindowsTest, CreationSendsNcCreateThenCreateAndLeavesTheWindowHidden)
{
    HWND a = make_window("editor");
    ASSERT_NE(a, nullptr);
    EXPECT_LOG("editor WM_NCCREATE", "editor WM_CREATE");
    EXPECT_TRUE(IsWindow(a));
    EXPECT_FALSE(IsWindowVisible(a));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(simwin_times_shown(a), 0);

    char buf[4];
    EXPECT_EQ(GetWindowTextA(a, buf, sizeof buf), 3);
    EXPECT_STREQ(buf, "edi");
}

TEST_F(WindowsTest, AProcedureCanRefuseCreation)
{
    g_react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *r) {
        *r = 0;
        return msg == WM_NCCREATE;
    };
    EXPECT_EQ(make_window("a"), nullptr);
    EXPECT_LOG("a WM_NCCREATE", "a WM_NCDESTROY");

    g_react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *r) {
        *r = -1;
        return msg == WM_CREATE;
    };
    EXPECT_EQ(make_window("b"), nullptr);
    EXPECT_LOG("b WM_NCCREATE", "b WM_CREATE", "b WM_DESTROY", "b WM_NCDESTROY");
    EXPECT_EQ(order(), "");
    EXPECT_TRUE(UnregisterClassA("recorder", nullptr));
}

TEST_F(WindowsTest, TheTitleIsSetByDefWindowProc)
{
    g_react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *r) {
        *r = TRUE;
        return msg == WM_NCCREATE;
    };
    HWND a = make_window("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(title_of(a), "");
}

// The first window activated brings the application to the foreground.
TEST_F(WindowsTest, AWindowCreatedVisibleIsShownAndActivated)
{
    HWND a = make_visible("a");
    EXPECT_LOG("a WM_NCCREATE", "a WM_CREATE", "a WM_SHOWWINDOW 1", "a WM_WINDOWPOSCHANGING", "a WM_ACTIVATEAPP 1",
               "a WM_ACTIVATE WA_ACTIVE from -",
               "a WM_WINDOWPOSCHANGED nomove nosize nozorder show noclientsize noclientmove", "a WM_SIZE 392,273",
               "a WM_MOVE 104,123");
    EXPECT_TRUE(IsWindowVisible(a));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(simwin_app_active(), 1);
    EXPECT_EQ(simwin_times_shown(a), 1);
    EXPECT_EQ(GetWindowLongPtrA(a, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
}

// A pop-up hears its client size and place at once; an overlapped window
// when ShowWindow first shows it, not when SetWindowPos does.
TEST_F(WindowsTest, SizeAndPlaceAreAnnouncedOnce)
{
    make_window("p", WS_POPUP, 0, RECT{10, 20, 60, 80});
    EXPECT_LOG("p WM_NCCREATE", "p WM_CREATE", "p WM_SIZE 50,60", "p WM_MOVE 10,20");

    HWND o = make_window("o");
    EXPECT_LOG("o WM_NCCREATE", "o WM_CREATE");
    SetWindowPos(o, nullptr, 0, 0, 0, 0, k_swp_show);
    EXPECT_LOG("o WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate show noclientsize noclientmove");
    ShowWindow(o, SW_HIDE);
    EXPECT_LOG("o WM_SHOWWINDOW 0", "o WM_WINDOWPOSCHANGING",
               "o WM_WINDOWPOSCHANGED nomove nosize nozorder hide noclientsize noclientmove");
    ShowWindow(o, SW_SHOWNA);
    EXPECT_LOG("o WM_SHOWWINDOW 1", "o WM_WINDOWPOSCHANGING",
               "o WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate show noclientsize noclientmove",
               "o WM_SIZE 392,273", "o WM_MOVE 104,123");
    ShowWindow(o, SW_HIDE);
    ShowWindow(o, SW_SHOWNA);
    EXPECT_EQ(take().find("WM_SIZE"), std::string::npos);
}

TEST_F(WindowsTest, DestroyingHidesHandsOnActivationAndInvalidatesTheHandle)
{
    make_visible("a");
    HWND b = make_visible("b");
    take();

    EXPECT_TRUE(DestroyWindow(b));
    EXPECT_LOG("b WM_WINDOWPOSCHANGING", "b WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove",
               "b WM_ACTIVATE WA_INACTIVE to a", "a WM_ACTIVATE WA_ACTIVE from b", "b WM_DESTROY", "b WM_NCDESTROY");
    EXPECT_EQ(order(), "a");

    RECT r;
    POINT pt = {0, 0};
    SetLastError(0);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(GetClientRect(b, &r));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(GetWindowRect(b, &r));
    EXPECT_FALSE(ClientToScreen(b, &pt));
    EXPECT_EQ(MapWindowPoints(b, nullptr, &pt, 1), 0);
    EXPECT_FALSE(SetWindowPos(b, nullptr, 1, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(SetWindowLongPtrA(b, GWL_EXSTYLE, WS_EX_TOOLWINDOW), 0);
    EXPECT_FALSE(ShowWindow(b, SW_SHOW));
    EXPECT_FALSE(DestroyWindow(b));
    EXPECT_EQ(SendMessageA(b, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(take(), "");

    // Handles are not reused, not even after a reset.
    simwin_reset();
    SetUp();
    HWND c = make_window("c");
    EXPECT_NE(c, b);
    EXPECT_FALSE(IsWindow(b));
}

TEST_F(WindowsTest, TheCloseButtonDestroysThroughDefWindowProc)
{
    HWND a = make_window("a");
    take();
    simwin_user_close(a);
    EXPECT_LOG("a WM_CLOSE", "a WM_DESTROY", "a WM_NCDESTROY");
    EXPECT_FALSE(IsWindow(a));
}

TEST_F(WindowsTest, AWindowDestroyedFromItsOwnMessageEndsOnce)
{
    HWND a = make_visible("a");
    take();
    g_react = [](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT *) {
        if (msg == WM_DESTROY) {
            EXPECT_FALSE(DestroyWindow(hwnd));
        }
        if (msg == WM_WINDOWPOSCHANGING)
            DestroyWindow(hwnd);
        return false;
    };
    EXPECT_FALSE(SetWindowPos(a, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_LOG("a WM_WINDOWPOSCHANGING", "a WM_WINDOWPOSCHANGING",
               "a WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove",
               "a WM_ACTIVATE WA_INACTIVE to -", "a WM_ACTIVATEAPP 0", "a WM_DESTROY", "a WM_NCDESTROY");
}

} // namespace
} // namespace simwin_test
