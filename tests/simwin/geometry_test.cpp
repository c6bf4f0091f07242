// Frames, client areas and the styles that shape them.
#include "recorder.h"

// Found by argument-dependent lookup, so beside POINT itself.
inline bool operator==(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

inline std::ostream &operator<<(std::ostream &os, POINT p)
{
    return os << p.x << "," << p.y;
}

namespace simwin_test {
namespace {

using GeometryTest = SimwinTest;

POINT client_origin(HWND hwnd)
{
    POINT pt = {0, 0};
    EXPECT_TRUE(ClientToScreen(hwnd, &pt));
    return pt;
}

RECT inset(DWORD style, DWORD exstyle)
{
    RECT r = {0, 0, 0, 0};
    EXPECT_TRUE(AdjustWindowRectEx(&r, style, FALSE, exstyle));
    return RECT{-r.left, -r.top, r.right, r.bottom};
}

TEST_F(GeometryTest, AdjustWindowRectExPlacesTheClientAreaExactly)
{
    const struct {
        DWORD style, exstyle;
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, 0},
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE},
        {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW},
        {WS_POPUP, 0},
        {WS_POPUP | WS_BORDER, 0},
        {WS_POPUP | WS_DLGFRAME, WS_EX_TOOLWINDOW},
        {WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exstyle);
        RECT r = {-300, -50, -100, 100};
        ASSERT_TRUE(AdjustWindowRectEx(&r, c.style, FALSE, c.exstyle));
        HWND w = make_window("w", c.style, c.exstyle, r);
        EXPECT_EQ(client_origin(w), (POINT{-300, -50}));
        RECT client, frame;
        ASSERT_TRUE(GetClientRect(w, &client));
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, 200);
        EXPECT_EQ(client.bottom, 150);
        ASSERT_TRUE(GetWindowRect(w, &frame));
        EXPECT_EQ(frame.left, r.left);
        EXPECT_EQ(frame.bottom, r.bottom);

        POINT pts[2] = {{0, 0}, {10, 20}};
        const int offset = MapWindowPoints(w, nullptr, pts, 2);
        EXPECT_EQ(int16_t(LOWORD(offset)), -300);
        EXPECT_EQ(int16_t(HIWORD(offset)), -50);
        EXPECT_EQ(pts[1], (POINT{-290, -30}));
        EXPECT_EQ(MapWindowPoints(nullptr, w, pts, 1), MAKELONG(300, 50));
        EXPECT_EQ(pts[0], (POINT{0, 0}));
        DestroyWindow(w);
    }

    // The frame parts add up as their styles say.
    const RECT sizing = inset(WS_OVERLAPPEDWINDOW, 0);
    const RECT tool = inset(WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
    const RECT edged = inset(WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE);
    const RECT thin = inset(WS_POPUP | WS_BORDER, 0);
    const RECT none = inset(WS_POPUP, 0);
    EXPECT_GT(sizing.top, tool.top);
    EXPECT_GT(tool.top, sizing.left);
    EXPECT_EQ(tool.left, sizing.left);
    EXPECT_EQ(edged.left, sizing.left + 2);
    EXPECT_EQ(edged.top, sizing.top + 2);
    EXPECT_GT(sizing.left, thin.left);
    EXPECT_EQ(thin.left, thin.top);
    EXPECT_EQ(none.left + none.top + none.right + none.bottom, 0);
}

TEST_F(GeometryTest, AnOverlappedWindowAlwaysHasACaption)
{
    HWND w = make_window("w", WS_OVERLAPPED);
    EXPECT_EQ(GetWindowLongPtrA(w, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    RECT r = {10, 20, 110, 120};
    AdjustWindowRectEx(&r, DWORD(GetWindowLongPtrA(w, GWL_STYLE)), FALSE, DWORD(GetWindowLongPtrA(w, GWL_EXSTYLE)));
    SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(client_origin(w), (POINT{10, 20}));
}

TEST_F(GeometryTest, StyleChangesMoveTheClientAreaOnlyWithFrameChanged)
{
    HWND e = make_visible("e");
    const POINT before = client_origin(e);
    take();

    const LONG_PTR old = GetWindowLongPtrA(e, GWL_EXSTYLE);
    EXPECT_NE(old, 0) << "a sizing frame carries WS_EX_WINDOWEDGE";
    EXPECT_EQ(SetWindowLongPtrA(e, GWL_EXSTYLE, (old & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW), old);
    EXPECT_LOG("e WM_STYLECHANGING exstyle", "e WM_STYLECHANGED exstyle");
    EXPECT_EQ(client_origin(e), before);

    EXPECT_TRUE(SetWindowPos(e, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED));
    const RECT tool = inset(WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW);
    RECT client;
    GetClientRect(e, &client);
    const POINT after = client_origin(e);
    EXPECT_EQ(after, (POINT{100 + tool.left, 100 + tool.top}));
    EXPECT_LT(after.y, before.y);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate framechanged",
               "e WM_MOVE " + std::to_string(after.x) + "," + std::to_string(after.y),
               "e WM_SIZE " + std::to_string(client.right) + "," + std::to_string(client.bottom));
}

TEST_F(GeometryTest, WindowLongsReturnThePreviousValue)
{
    HWND p = make_window("p", WS_POPUP);
    EXPECT_NE(GetWindowLongPtrA(p, GWL_STYLE) & WS_POPUP, 0);
    EXPECT_EQ(GetWindowLongPtrA(p, GWL_EXSTYLE), 0);
    EXPECT_EQ(SetWindowLongPtrA(p, GWL_EXSTYLE, WS_EX_TOOLWINDOW), 0);
    EXPECT_EQ(GetWindowLongPtrA(p, GWL_EXSTYLE), WS_EX_TOOLWINDOW);

    // Only SetWindowPos moves a window into or out of the topmost band.
    EXPECT_EQ(SetWindowLongPtrA(p, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrA(p, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    SetWindowPos(p, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(SetWindowLongPtrA(p, GWL_EXSTYLE, 0), WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongPtrA(p, GWL_EXSTYLE), WS_EX_TOPMOST);

    // The procedure may amend the new style.
    g_react = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT *) {
        if (msg == WM_STYLECHANGING)
            reinterpret_cast<STYLESTRUCT *>(lp)->styleNew |= WS_EX_CLIENTEDGE;
        return false;
    };
    SetWindowLongPtrA(p, GWL_EXSTYLE, WS_EX_TOPMOST);
    EXPECT_EQ(GetWindowLongPtrA(p, GWL_EXSTYLE), WS_EX_TOPMOST | WS_EX_CLIENTEDGE);
    g_react = nullptr;

    take();
    EXPECT_EQ(SetWindowLongPtrA(p, -21, 5), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(take(), "");

    // WS_VISIBLE in the style is the window's visibility.
    SetWindowLongPtrA(p, GWL_STYLE, GetWindowLongPtrA(p, GWL_STYLE) | WS_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(p));
    EXPECT_EQ(simwin_times_shown(p), 1);
}

TEST_F(GeometryTest, TheUserMovesAndResizesTheFrame)
{
    HWND e = make_window("e");
    take();
    const RECT in = inset(WS_OVERLAPPEDWINDOW, 0);

    simwin_user_move(e, 50, 60);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nosize nozorder noactivate noclientsize",
               "e WM_MOVE " + std::to_string(50 + in.left) + "," + std::to_string(60 + in.top));
    simwin_user_move(e, 50, 60);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING");

    simwin_user_resize(e, 200, 100);
    EXPECT_LOG("e WM_SIZING", "e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nozorder noactivate noclientmove",
               "e WM_SIZE 200,100");
    RECT frame;
    GetWindowRect(e, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.right - frame.left, in.left + 200 + in.right);

    g_react = [](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT *) {
        if (msg == WM_SIZING) {
            auto *r = reinterpret_cast<RECT *>(lp);
            r->right = r->left + 300;
        }
        return false;
    };
    simwin_user_resize(e, 500, 100);
    RECT client;
    GetClientRect(e, &client);
    EXPECT_EQ(client.right, 300 - in.left - in.right);
}

} // namespace
} // namespace simwin_test
