// Where windows are: frames, client areas, the z-order, visibility, and the
// styles that shape the frame.
#include <algorithm>

#include "world.h"

namespace simwin {

namespace {

bool band_marker(HWND after)
{
    return after == HWND_TOP || after == HWND_BOTTOM || after == HWND_TOPMOST || after == HWND_NOTOPMOST;
}

// Where a window goes in the z-order: just below `after` (the top when
// null), in the topmost band or not.
struct Place {
    Window *after;
    bool topmost;
};

// The window that heads w's band, w left out.
Window *band_head(const World &g, const Window &w, bool topmost)
{
    if (topmost)
        return nullptr;
    Window *last = g.zorder.last_topmost();
    return last == &w ? w.above : last;
}

// The place `after` asks for; a window stays in its band unless `after`
// names a band. Called only when the window is not there already.
Place place_for(const World &g, const Window &w, HWND after)
{
    if (after == HWND_TOPMOST)
        return Place{nullptr, true};
    if (after == HWND_NOTOPMOST)
        return Place{band_head(g, w, false), false};
    if (after == HWND_TOP)
        return Place{band_head(g, w, w.topmost()), w.topmost()};
    if (after == HWND_BOTTOM) {
        Window *last = g.zorder.bottom();
        return Place{last == &w ? w.above : last, false};
    }
    Window *other = lookup(after);
    if (other->topmost() == w.topmost())
        return Place{other, w.topmost()};
    return Place{band_head(g, w, false), w.topmost()};
}

// Where `after` would put w already: Win32 then marks the change as no
// z-order change. HWND_TOP counts as done only for the very first window, so
// a window at the top of its band below topmost ones is still "moved".
bool already_placed(const World &g, const Window &w, HWND after)
{
    if (after == HWND_TOP)
        return g.zorder.top() == &w;
    if (after == HWND_BOTTOM)
        return !w.topmost() && g.zorder.bottom() == &w;
    if (after == HWND_TOPMOST)
        return w.topmost() && g.zorder.top() == &w;
    if (after == HWND_NOTOPMOST)
        return !w.topmost();
    if (after == w.hwnd)
        return true;
    const Window *other = lookup(after);
    return other && other->below == &w;
}

// What the flags leave alone takes the window's values, and whatever would
// not change is marked as not changing.
void settle_geometry(const Window &w, WINDOWPOS &pos)
{
    if (pos.flags & SWP_NOMOVE) {
        pos.x = w.frame.left;
        pos.y = w.frame.top;
    }
    if (pos.flags & SWP_NOSIZE) {
        pos.cx = w.frame.right - w.frame.left;
        pos.cy = w.frame.bottom - w.frame.top;
    }
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
    if (pos.x == w.frame.left && pos.y == w.frame.top)
        pos.flags |= SWP_NOMOVE;
    if (pos.cx == w.frame.right - w.frame.left && pos.cy == w.frame.bottom - w.frame.top)
        pos.flags |= SWP_NOSIZE;
    if (w.visible())
        pos.flags &= ~UINT(SWP_SHOWWINDOW);
    else
        pos.flags &= ~UINT(SWP_HIDEWINDOW);
}

// Completes a WINDOWPOS as Win32 does once WM_WINDOWPOSCHANGING has been
// answered, and finds the window's new place in the z-order.
void settle(const World &g, const Window &w, WINDOWPOS &pos, Place &place)
{
    settle_geometry(w, pos);
    // A window that is activated comes to the top.
    if (!(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) &&
        ((pos.flags & SWP_NOZORDER) || (pos.hwndInsertAfter != HWND_TOPMOST && pos.hwndInsertAfter != HWND_NOTOPMOST))) {
        pos.flags &= ~UINT(SWP_NOZORDER);
        pos.hwndInsertAfter = HWND_TOP;
    }
    if (pos.flags & SWP_NOZORDER)
        return;
    if ((!band_marker(pos.hwndInsertAfter) && !lookup(pos.hwndInsertAfter)) ||
        already_placed(g, w, pos.hwndInsertAfter)) {
        pos.flags |= SWP_NOZORDER;
        return;
    }
    place = place_for(g, w, pos.hwndInsertAfter);
}

bool same_origin(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top;
}

bool same_size(const RECT &a, const RECT &b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

LONG_PTR set_style(const WindowPtr &w, int index, DWORD value)
{
    const DWORD old = index == GWL_STYLE ? w->style : w->exstyle;
    // A top-level window keeps WS_CLIPSIBLINGS; WS_EX_TOPMOST follows the
    // band, which only SetWindowPos changes.
    auto fix = [&](DWORD v) -> DWORD {
        if (index == GWL_STYLE)
            return v | WS_CLIPSIBLINGS;
        return (fix_exstyle(w->style, v) & ~DWORD(WS_EX_TOPMOST)) | (w->exstyle & WS_EX_TOPMOST);
    };
    STYLESTRUCT ss{old, fix(value)};
    send(w, WM_STYLECHANGING, WPARAM(index), LPARAM(&ss));
    if (!w->alive) {
        set_error(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const DWORD now = fix(ss.styleNew);
    if (index == GWL_STYLE) {
        if (!w->visible() && (now & WS_VISIBLE))
            ++w->times_shown;
        w->style = now;
        w->exstyle = fix_exstyle(now, w->exstyle);
    } else {
        w->exstyle = now;
    }
    ss = STYLESTRUCT{old, now};
    send(w, WM_STYLECHANGED, WPARAM(index), LPARAM(&ss));
    return LONG_PTR(old);
}

} // namespace

namespace {

// The window takes what a settled WINDOWPOS says; the flags learn whether
// the client area moved or changed size.
void apply(Window &w, WINDOWPOS &pos, const Place &place)
{
    const RECT old_client = w.client_screen();
    if ((pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        w.frame = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    // The client area is laid out anew from the present styles whenever the
    // size changes (WM_NCCALCSIZE), not on a move.
    if (!(pos.flags & SWP_NOSIZE) || (pos.flags & SWP_FRAMECHANGED))
        w.insets = insets_for(w.style, w.exstyle, w.menu);
    if (!(pos.flags & SWP_NOZORDER)) {
        ZOrder &zorder = world().zorder;
        zorder.remove(w);
        w.exstyle = place.topmost ? (w.exstyle | WS_EX_TOPMOST) : (w.exstyle & ~DWORD(WS_EX_TOPMOST));
        zorder.insert_after(w, place.after);
    }
    if (pos.flags & SWP_SHOWWINDOW) {
        w.style |= WS_VISIBLE;
        ++w.times_shown;
    }
    if (pos.flags & SWP_HIDEWINDOW)
        w.style &= ~DWORD(WS_VISIBLE);
    const RECT new_client = w.client_screen();
    if (same_origin(old_client, new_client))
        pos.flags |= SWP_NOCLIENTMOVE;
    if (same_size(old_client, new_client))
        pos.flags |= SWP_NOCLIENTSIZE;
}

// WM_WINDOWPOSCHANGED, with the frame as it now is, when anything changed.
void report_change(const WindowPtr &w, WINDOWPOS &pos)
{
    const UINT unchanged = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
    const bool changed = (pos.flags & unchanged) != unchanged ||
                         (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED));
    if (!changed || !w->alive)
        return;
    pos.x = w->frame.left;
    pos.y = w->frame.top;
    pos.cx = w->frame.right - w->frame.left;
    pos.cy = w->frame.bottom - w->frame.top;
    send(w, WM_WINDOWPOSCHANGED, 0, LPARAM(&pos));
}

} // namespace

BOOL set_window_pos(const WindowPtr &w, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    // Coordinates are kept to what a window can have.
    WINDOWPOS pos{w->hwnd,
                  after,
                  std::clamp(x, -32768, 32767),
                  std::clamp(y, -32768, 32767),
                  std::clamp(cx, 0, 32767),
                  std::clamp(cy, 0, 32767),
                  flags};
    if (!(pos.flags & SWP_NOSENDCHANGING)) {
        send(w, WM_WINDOWPOSCHANGING, 0, LPARAM(&pos));
        if (!w->alive) {
            set_error(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
    }
    Place place{nullptr, w->topmost()};
    settle(world(), *w, pos, place);
    apply(*w, pos, place);
    // Hiding never hands activation on here: the hidden window stays active.
    if (!(pos.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)))
        activate(w);
    report_change(w, pos);
    if (!w->alive) {
        set_error(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// What a ShowWindow command that has something to do sends and changes; the
// window may be destroyed by any message it gets.
static void carry_out_show(const WindowPtr &w, int cmd, UINT flags, bool was_visible)
{
    const bool show = cmd != SW_HIDE;
    if (show != was_visible || cmd == SW_SHOWNA)
        send(w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (w->alive)
        set_window_pos(w, HWND_TOP, 0, 0, 0, 0, flags);
    if (w->alive && !show && is_active(*w))
        activate_other(w);
    if (w->alive && show && w->need_size) {
        w->need_size = false;
        send_size_and_move(w);
    }
}

// Windows parks a minimised top-level window here, off every display.
constexpr int PARKED = -32000;

// SW_MINIMIZE shows the window minimised, where it was in the z-order, its
// frame parked off screen; a minimised window that was active hands
// activation on, as a hidden one does. SW_RESTORE brings the frame back to
// where it was and activates the window.
static BOOL minimize(const WindowPtr &w, bool minimise, bool was_visible)
{
    const bool was_minimised = w->minimised();
    if (minimise && !was_minimised)
        w->normal = w->frame;
    w->style = minimise ? w->style | WS_MINIMIZE : w->style & ~DWORD(WS_MINIMIZE);
    const UINT keep = SWP_NOZORDER | SWP_NOACTIVATE;
    if (minimise && !was_minimised)
        set_window_pos(w, nullptr, PARKED, PARKED, 0, 0, keep | SWP_NOSIZE);
    else if (!minimise && was_minimised)
        set_window_pos(w, nullptr, w->normal.left, w->normal.top, w->normal.right - w->normal.left,
                       w->normal.bottom - w->normal.top, keep);
    if (!w->alive)
        return was_visible ? TRUE : FALSE;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW | (minimise ? SWP_NOACTIVATE : 0);
    carry_out_show(w, SW_SHOW, flags, was_visible);
    if (minimise && w->alive && is_active(*w))
        activate_other(w);
    return was_visible ? TRUE : FALSE;
}

// ShowWindow as Win32 has it: showing a window that is already visible does
// nothing (SW_SHOWNA aside), and only hiding the active window hands
// activation on. A window made without WS_POPUP hears its size and place
// when ShowWindow first shows it.
BOOL show_window(const WindowPtr &w, int cmd)
{
    const bool was_visible = w->visible();
    UINT flags = SWP_NOSIZE | SWP_NOMOVE;
    switch (cmd) {
    case SW_HIDE:
        if (!was_visible)
            return FALSE;
        flags |= SWP_HIDEWINDOW;
        break;
    case SW_SHOW:
    case SW_SHOWNORMAL:
        if (was_visible)
            return TRUE;
        flags |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWNOACTIVATE:
        if (was_visible)
            return TRUE;
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWNA:
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
        break;
    case SW_MINIMIZE:
    case SW_RESTORE:
        return minimize(w, cmd == SW_MINIMIZE, was_visible);
    default:
        set_error(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    carry_out_show(w, cmd, flags, was_visible);
    return was_visible ? TRUE : FALSE;
}

/* The window a geometry query names, or NULL when the call fails: an
 * injected fault, an invalid handle, or no place for the answer. */
static WindowPtr queried(const char *call, HWND hwnd, const void *out)
{
    if (fault(call))
        return nullptr;
    WindowPtr w = find(hwnd);
    if (w && !out) {
        set_error(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w;
}

} // namespace simwin

using namespace simwin;

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT r)
{
    WindowPtr w = queried("GetClientRect", hwnd, r);
    if (!w)
        return FALSE;
    const RECT c = w->client_screen();
    *r = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT r)
{
    WindowPtr w = queried("GetWindowRect", hwnd, r);
    if (!w)
        return FALSE;
    *r = w->frame;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt)
{
    WindowPtr w = queried("ClientToScreen", hwnd, pt);
    if (!w)
        return FALSE;
    const RECT c = w->client_screen();
    pt->x += c.left;
    pt->y += c.top;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count)
{
    if (fault("MapWindowPoints"))
        return 0;
    POINT origin_from{0, 0};
    POINT origin_to{0, 0};
    if (from) {
        WindowPtr w = find(from);
        if (!w)
            return 0;
        origin_from = POINT{w->client_screen().left, w->client_screen().top};
    }
    if (to) {
        WindowPtr w = find(to);
        if (!w)
            return 0;
        origin_to = POINT{w->client_screen().left, w->client_screen().top};
    }
    if (!pts && count) {
        set_error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const LONG dx = origin_from.x - origin_to.x;
    const LONG dy = origin_from.y - origin_to.y;
    for (UINT i = 0; i < count; ++i) {
        pts[i].x += dx;
        pts[i].y += dy;
    }
    return MAKELONG(dx, dy);
}

BOOL WINAPI AdjustWindowRectEx(LPRECT r, DWORD style, BOOL menu, DWORD exstyle)
{
    if (fault("AdjustWindowRectEx"))
        return FALSE;
    if (!r) {
        set_error(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Insets in = insets_for(style, exstyle, menu != FALSE);
    r->left -= in.left;
    r->top -= in.top;
    r->right += in.right;
    r->bottom += in.bottom;
    return TRUE;
}

BOOL WINAPI IsIconic(HWND hwnd)
{
    if (fault("IsIconic"))
        return FALSE;
    WindowPtr w = peek(hwnd);
    return w && w->minimised() ? TRUE : FALSE;
}

// The frame a window has when it is not minimised, in screen coordinates as
// Win32 gives a tool window's (another's it gives relative to the primary
// display's work area).
BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT *wp)
{
    WindowPtr w = queried("GetWindowPlacement", hwnd, wp);
    if (!w)
        return FALSE;
    if (wp->length != sizeof(WINDOWPLACEMENT)) {
        set_error(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    wp->flags = 0;
    wp->showCmd = w->minimised() ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    wp->ptMinPosition = POINT{-1, -1};
    wp->ptMaxPosition = POINT{-1, -1};
    wp->rcNormalPosition = w->minimised() ? w->normal : w->frame;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    if (fault("SetWindowPos"))
        return FALSE;
    WindowPtr w = find(hwnd);
    if (!w)
        return FALSE;
    if (!(flags & SWP_NOZORDER) && !band_marker(after) && !find(after))
        return FALSE;
    return set_window_pos(w, after, x, y, cx, cy, flags);
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd)
{
    if (fault("ShowWindow"))
        return FALSE;
    WindowPtr w = find(hwnd);
    return w ? show_window(w, cmd) : FALSE;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index)
{
    if (fault("GetWindowLongPtrA"))
        return 0;
    WindowPtr w = find(hwnd);
    if (!w)
        return 0;
    // The styles are DWORDs and come back without sign extension.
    if (index == GWL_STYLE)
        return LONG_PTR(w->style);
    if (index == GWL_EXSTYLE)
        return LONG_PTR(w->exstyle);
    set_error(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    if (fault("SetWindowLongPtrA"))
        return 0;
    WindowPtr w = find(hwnd);
    if (!w)
        return 0;
    if (index != GWL_STYLE && index != GWL_EXSTYLE) {
        set_error(ERROR_INVALID_INDEX);
        return 0;
    }
    return set_style(w, index, DWORD(value));
}
