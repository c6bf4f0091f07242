// Injected faults: each call fails as Win32 reports failure and changes
// nothing.
#include "recorder.h"

#include <cstring>

namespace simwin_test {
namespace {

using FaultsTest = SimwinTest;

LRESULT CALLBACK passing(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    if (msg != WM_GETTEXT)
        note("passing " + message_name(msg));
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// Everything a failed call must leave as it was.
std::string fingerprint()
{
    std::string s = order() + " | active " + title_of(GetActiveWindow()) + " | cursor " +
                    std::to_string(simwin_cursor_count()) + " | app " + std::to_string(simwin_app_active());
    for (const char *t : {"w", "h"}) {
        HWND hwnd = find_titled(t);
        RECT r = {};
        GetWindowRect(hwnd, &r);
        char buf[160];
        std::snprintf(buf, sizeof buf, " | %s %d %lx %lx %d,%d,%d,%d", t, IsWindowVisible(hwnd),
                      long(GetWindowLongPtrA(hwnd, GWL_STYLE)), long(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)), int(r.left),
                      int(r.top), int(r.right), int(r.bottom));
        s += buf;
    }
    return s;
}

TEST_F(FaultsTest, EveryCallFailsWithoutEffect)
{
    HWND w = make_visible("w");
    HWND h = make_window("h");
    SetWindowSubclass(w, passing, 7, 0);
    WNDCLASSEXA spare = class_named("spare");
    ASSERT_NE(RegisterClassExA(&spare), 0);
    take();

    RECT r = {1, 2, 3, 4};
    POINT pt = {5, 6};
    char text[8] = "keep";
    auto untouched = [&] {
        return r.left == 1 && r.bottom == 4 && pt.x == 5 && pt.y == 6 && std::strcmp(text, "keep") == 0;
    };
    const struct {
        const char *call;
        std::function<bool()> fails; // the call, true when it reported failure
    } cases[] = {
        {"RegisterClassExA", [] { WNDCLASSEXA wc = class_named("other"); return RegisterClassExA(&wc) == 0; }},
        {"UnregisterClassA", [] { return !UnregisterClassA("spare", nullptr); }},
        {"CreateWindowExA", [] { return make_window("n") == nullptr; }},
        {"DestroyWindow", [&] { return !DestroyWindow(h); }},
        {"DefWindowProcA", [&] { return DefWindowProcA(w, WM_CLOSE, 0, 0) == 0; }},
        {"SendMessageA", [&] { return SendMessageA(w, WM_CLOSE, 0, 0) == 0; }},
        {"GetModuleHandleA", [] { return GetModuleHandleA(nullptr) == nullptr; }},
        {"EnumWindows", [] { return !EnumWindows([](HWND, LPARAM) -> BOOL { ADD_FAILURE(); return TRUE; }, 0); }},
        {"IsWindow", [&] { return !IsWindow(w); }},
        {"IsWindowVisible", [&] { return !IsWindowVisible(w); }},
        {"GetClientRect", [&] { return !GetClientRect(w, &r) && untouched(); }},
        {"GetWindowRect", [&] { return !GetWindowRect(w, &r) && untouched(); }},
        {"ClientToScreen", [&] { return !ClientToScreen(w, &pt) && untouched(); }},
        {"MapWindowPoints", [&] { return MapWindowPoints(w, nullptr, &pt, 1) == 0 && untouched(); }},
        {"AdjustWindowRectEx", [&] { return !AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0) && untouched(); }},
        {"SetWindowPos", [&] { return !SetWindowPos(w, HWND_TOPMOST, 9, 9, 9, 9, 0); }},
        {"GetWindowLongPtrA", [&] { return GetWindowLongPtrA(w, GWL_STYLE) == 0; }},
        {"SetWindowLongPtrA", [&] { return SetWindowLongPtrA(w, GWL_EXSTYLE, WS_EX_TOOLWINDOW) == 0; }},
        {"GetWindowTextA", [&] { return GetWindowTextA(w, text, sizeof text) == 0 && untouched(); }},
        {"ShowWindow", [&] { return !ShowWindow(h, SW_SHOW); }},
        {"GetActiveWindow", [] { return GetActiveWindow() == nullptr; }},
        {"SetActiveWindow", [&] { return SetActiveWindow(h) == nullptr; }},
        {"SetForegroundWindow", [&] { return !SetForegroundWindow(h); }},
        {"ShowCursor", [] { return ShowCursor(TRUE) == 0; }},
        {"SetWindowSubclass", [&] { return !SetWindowSubclass(w, passing, 8, 0); }},
        {"RemoveWindowSubclass", [&] { return !RemoveWindowSubclass(w, passing, 7); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.call);
        const std::string before = fingerprint();
        simwin_fail(c.call, 1);
        SetLastError(0);
        EXPECT_TRUE(c.fails());
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
        EXPECT_EQ(fingerprint(), before);
        EXPECT_EQ(take(), "");
        EXPECT_TRUE(untouched());
    }

    // Nothing above registered, unregistered or subclassed anything.
    WNDCLASSEXA other = class_named("other");
    EXPECT_NE(RegisterClassExA(&other), 0);
    EXPECT_TRUE(UnregisterClassA("spare", nullptr));
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("passing 0x0400", "w 0x0400");

    simwin_fail("DefSubclassProc", 1);
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("passing 0x0400");

    SetLastError(1234);
    simwin_fail("GetLastError", 1);
    EXPECT_EQ(GetLastError(), 0u);
    simwin_fail("SetLastError", 1);
    SetLastError(5678);
    EXPECT_EQ(GetLastError(), 1234u);
}

TEST_F(FaultsTest, AFaultLastsForItsCountOrUntilReset)
{
    HWND w = make_window("w");
    simwin_fail("IsWindow", 2);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(IsWindow(w));

    simwin_fail("IsWindow", -1);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(IsWindow(w));
    simwin_fail("IsWindow", 0);
    EXPECT_TRUE(IsWindow(w));

    simwin_fail("CreateWindowExA", -1);
    simwin_reset();
    SetUp();
    EXPECT_NE(make_window("after reset"), nullptr);
}

TEST_F(FaultsTest, WorkInsideTheWindowSystemIsNotInjected)
{
    HWND w = make_window("w");
    simwin_fail("DestroyWindow", -1);
    simwin_fail("SetWindowPos", -1);
    simwin_user_move(w, 10, 10);
    simwin_user_close(w);
    EXPECT_FALSE(IsWindow(w));
}

TEST(FaultsDeathTest, AMisspeltCallNameStopsTheProgram)
{
    EXPECT_DEATH(simwin_fail("SetWindowPosA", 1), "no such window call");
}

} // namespace
} // namespace simwin_test
