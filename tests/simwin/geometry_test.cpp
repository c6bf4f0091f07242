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

    // The frame parts, as Wine's USER32 measures them.
    const struct {
        DWORD style, exstyle;
        BOOL menu;
        RECT in;
    } metrics[] = {
        {WS_OVERLAPPEDWINDOW, 0, FALSE, {4, 23, 4, 4}},
        {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, FALSE, {4, 20, 4, 4}},
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, FALSE, {6, 25, 6, 6}},
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW, FALSE, {6, 22, 6, 6}},
        {WS_OVERLAPPEDWINDOW, 0, TRUE, {4, 42, 4, 4}},
        {WS_CAPTION | WS_SYSMENU, 0, FALSE, {3, 22, 3, 3}},
        {WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, FALSE, {3, 19, 3, 3}},
        {WS_POPUP, 0, FALSE, {0, 0, 0, 0}},
        {WS_POPUP | WS_BORDER, 0, FALSE, {1, 1, 1, 1}},
        {WS_POPUP | WS_DLGFRAME, WS_EX_TOOLWINDOW, FALSE, {3, 3, 3, 3}},
        {WS_POPUP | WS_THICKFRAME, 0, FALSE, {3, 3, 3, 3}},
        {WS_POPUP | WS_THICKFRAME | WS_DLGFRAME, 0, FALSE, {4, 4, 4, 4}},
        {WS_POPUP | WS_THICKFRAME, WS_EX_STATICEDGE, FALSE, {2, 2, 2, 2}},
        {WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, FALSE, {3, 22, 3, 3}},
        {WS_POPUP, WS_EX_DLGMODALFRAME, FALSE, {3, 3, 3, 3}},
        {WS_POPUP | WS_BORDER, WS_EX_CLIENTEDGE, FALSE, {3, 3, 3, 3}},
        {WS_POPUP, WS_EX_CLIENTEDGE, FALSE, {2, 2, 2, 2}},
    };
    for (const auto &m : metrics) {
        SCOPED_TRACE(testing::Message() << std::hex << m.style << " " << m.exstyle << " menu " << m.menu);
        RECT r = {0, 0, 0, 0};
        EXPECT_TRUE(AdjustWindowRectEx(&r, m.style, m.menu, m.exstyle));
        EXPECT_EQ(-r.left, m.in.left);
        EXPECT_EQ(-r.top, m.in.top);
        EXPECT_EQ(r.right, m.in.right);
        EXPECT_EQ(r.bottom, m.in.bottom);
    }
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

// Win32 lays the client area out anew (WM_NCCALCSIZE) from the present
// styles on every size change and on SWP_FRAMECHANGED; changing a style, a
// move or a "resize" to the same size leave it as it was.
TEST_F(GeometryTest, RestylingMovesTheClientAreaAtTheNextSizeChange)
{
    HWND e = make_visible("e");
    take();

    const LONG_PTR old = GetWindowLongPtrA(e, GWL_EXSTYLE);
    EXPECT_NE(old, 0) << "a sizing frame carries WS_EX_WINDOWEDGE";
    EXPECT_EQ(SetWindowLongPtrA(e, GWL_EXSTYLE, (old & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW), old);
    EXPECT_LOG("e WM_STYLECHANGING exstyle", "e WM_STYLECHANGED exstyle");
    EXPECT_EQ(client_origin(e), (POINT{104, 123}));

    const UINT move = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    const UINT size = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(e, nullptr, 110, 110, 0, 0, move);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nosize nozorder noactivate noclientsize",
               "e WM_MOVE 114,133");
    SetWindowPos(e, nullptr, 0, 0, 400, 300, size);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING");

    SetWindowPos(e, nullptr, 0, 0, 401, 300, size);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nozorder noactivate", "e WM_MOVE 114,130",
               "e WM_SIZE 393,276");

    SetWindowLongPtrA(e, GWL_EXSTYLE, old);
    take();
    EXPECT_TRUE(SetWindowPos(e, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED));
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate framechanged",
               "e WM_MOVE 114,133", "e WM_SIZE 393,273");
    EXPECT_TRUE(SetWindowPos(e, nullptr, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED));
    EXPECT_LOG("e WM_WINDOWPOSCHANGING",
               "e WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate framechanged noclientsize noclientmove");
}

// Overlapped windows and sizing frames are kept at least at their minimum
// tracking size, when made and when DefWindowProcA sees WM_WINDOWPOSCHANGING;
// a client edge gives way in a client area too small for it.
TEST_F(GeometryTest, FramesKeepTheirMinimumTrackingSize)
{
    const struct {
        DWORD style, exstyle;
        RECT frame, client;
    } made[] = {
        {WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, {-32000, -32000, -31888, -31973}, {-31996, -31977, -31892, -31977}},
        {WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW, {10, 10, 122, 37}, {14, 30, 118, 33}},
        {WS_POPUP | WS_THICKFRAME, 0, {10, 10, 16, 16}, {13, 13, 13, 13}},
        {WS_POPUP | WS_BORDER, 0, {10, 10, 11, 11}, {11, 11, 11, 11}},
        {WS_POPUP | WS_CAPTION, 0, {10, 10, 11, 11}, {13, 32, 13, 32}},
    };
    for (const auto &m : made) {
        SCOPED_TRACE(testing::Message() << std::hex << m.style << " " << m.exstyle);
        HWND w = make_window("w", m.style, m.exstyle, RECT{m.frame.left, m.frame.top, m.frame.left + 1, m.frame.top + 1});
        RECT frame, client;
        GetWindowRect(w, &frame);
        GetClientRect(w, &client);
        const POINT at = client_origin(w);
        EXPECT_EQ(frame.right - frame.left, m.frame.right - m.frame.left);
        EXPECT_EQ(frame.bottom - frame.top, m.frame.bottom - m.frame.top);
        EXPECT_EQ(at, (POINT{m.client.left, m.client.top}));
        EXPECT_EQ(client.right, m.client.right - m.client.left);
        EXPECT_EQ(client.bottom, m.client.bottom - m.client.top);
        DestroyWindow(w);
    }

    HWND e = make_window("e");
    take();
    SetWindowPos(e, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nozorder noactivate noclientmove",
               "e WM_SIZE 104,0");
    SetWindowPos(e, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    EXPECT_LOG("e WM_WINDOWPOSCHANGED nomove nozorder noactivate noclientmove", "e WM_SIZE 0,0");
    RECT frame;
    GetWindowRect(e, &frame);
    EXPECT_EQ(frame.right - frame.left, 1) << "only DefWindowProcA keeps the minimum";
    EXPECT_EQ(client_origin(e), (POINT{104, 123}));
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

    // Top-level windows keep WS_CLIPSIBLINGS; styles come back unextended.
    HWND q = make_window("q", WS_POPUP);
    EXPECT_EQ(GetWindowLongPtrA(q, GWL_STYLE), LONG_PTR(WS_POPUP | WS_CLIPSIBLINGS));
    EXPECT_EQ(SetWindowLongPtrA(q, GWL_STYLE, WS_POPUP | WS_THICKFRAME), LONG_PTR(WS_POPUP | WS_CLIPSIBLINGS));
    EXPECT_EQ(GetWindowLongPtrA(q, GWL_STYLE), LONG_PTR(WS_POPUP | WS_CLIPSIBLINGS | WS_THICKFRAME));
    EXPECT_EQ(GetWindowLongPtrA(q, GWL_EXSTYLE), WS_EX_WINDOWEDGE);
}

TEST_F(GeometryTest, TheUserMovesAndResizesTheFrame)
{
    HWND e = make_window("e");
    take();

    simwin_user_move(e, 50, 60);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nosize nozorder noactivate noclientsize",
               "e WM_MOVE 54,83");
    simwin_user_move(e, 50, 60);
    EXPECT_LOG("e WM_WINDOWPOSCHANGING");

    simwin_user_resize(e, 200, 100);
    EXPECT_LOG("e WM_SIZING", "e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nozorder noactivate noclientmove",
               "e WM_SIZE 200,100");
    RECT frame;
    GetWindowRect(e, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.right - frame.left, 208);
    EXPECT_EQ(frame.bottom - frame.top, 127);

    // After a restyle the frame is laid out for the new caption.
    SetWindowLongPtrA(e, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    take();
    simwin_user_resize(e, 210, 110);
    EXPECT_LOG("e WM_SIZING", "e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nomove nozorder noactivate",
               "e WM_MOVE 54,80", "e WM_SIZE 210,110");

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
    EXPECT_EQ(client.right, 292);
}

} // namespace
} // namespace simwin_test
