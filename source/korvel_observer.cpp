/* Editor window control: the window observer, and letting the editor go. */
#include "korvel.h"

/* Lets the captured editor go: it is gone, or going. */
void korvel_forget_editor(t_korvel *x)
{
    x->editor_hwnd = NULL;
    x->editor_owner = NULL;
    x->hidden = 0;
    x->closing = 0;
}

/* Lets the editor go and leaves it open: the observer comes off and the
 * handle is forgotten, as when our box is deleted. For an editor of an
 * object we are no longer bound to, and for the record's end. */
void korvel_release_editor(t_korvel *x)
{
    HWND hwnd = x->editor_hwnd;
    if (!hwnd)
        return;
    korvel_trace(x, "<-- detach window observer");
    if (!RemoveWindowSubclass(hwnd, korvel_subclassproc, (UINT_PTR)x) && x->debug)
        object_error((t_object *)x, "unset observer: failed to remove subclass!");
    korvel_remember_editor(x->editor_owner, hwnd, x->hidden, false);
    korvel_forget_editor(x);
}

/* A captured handle whose window went while nobody observed it is forgotten,
 * as if the observer had seen it destroyed. */
void korvel_forget_dead_window(t_korvel *x)
{
    if (x->editor_hwnd && !IsWindow(x->editor_hwnd))
        korvel_forget_editor(x);
}

/* The editor's host hid it on close instead of destroying it: for us it is
 * closed, and the next open of its vst object shows it again, whichever
 * record sends it (this one renamed away and back, or retyped). */
void korvel_park_editor(t_korvel *x)
{
    HWND hwnd = x->editor_hwnd;
    korvel_trace(x, "<-- window hidden by its host on close, unsetting observer");
    if (!RemoveWindowSubclass(hwnd, korvel_subclassproc, (UINT_PTR)x) && x->debug)
        object_error((t_object *)x, "close: failed to remove subclass!");
    korvel_remember_editor(x->editor_owner, hwnd, 0, true);
    korvel_forget_editor(x);
    qelem_set(x->state_qelem);
}

/* ---- the editor's place ---- */

/* A minimised editor's place is the one it comes back to: Windows parks the
 * window far off screen meanwhile, and it cannot be dragged or resized. */
static void korvel_note_normal_place(t_korvel *x, HWND hwnd)
{
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(hwnd, &wp))
        return;
    x->win_x = wp.rcNormalPosition.left + x->frame_dx;
    x->win_y = wp.rcNormalPosition.top + x->frame_dy;
}

/* Takes the editor's place into the record, where a report, a close and
 * the next open find it: its client origin and size. */
void korvel_note_place(t_korvel *x)
{
    HWND hwnd = x->editor_hwnd;
    if (IsIconic(hwnd)) {
        korvel_note_normal_place(x, hwnd);
        return;
    }
    RECT r = {};
    RECT frame = {};
    if (!GetClientRect(hwnd, &r) || !GetWindowRect(hwnd, &frame))
        return;
    POINT origin = {r.left, r.top};
    MapWindowPoints(hwnd, NULL, &origin, 1);
    x->win_x = origin.x;
    x->win_y = origin.y;
    x->win_w = r.right;
    x->win_h = r.bottom;
    x->frame_dx = origin.x - frame.left;
    x->frame_dy = origin.y - frame.top;
}

/* ---- observer ---- */

/* After a close was asked: the editor hidden by its host is parked; one
 * still shown is being closed, which its host may do passes later. */
void korvel_closed_or_closing(t_korvel *x, HWND hwnd)
{
    if (!korvel_is_registered(x) || x->editor_hwnd != hwnd || !IsWindow(hwnd))
        return;
    if (!IsWindowVisible(hwnd)) {
        korvel_park_editor(x);
        return;
    }
    x->closing = 1;
    x->closing_since = systime_ms();
}

/* The editor asked to close is still going, for a bounded time: a host that
 * has not closed it by then keeps it open. */
bool korvel_still_closing(t_korvel *x)
{
    if (x->closing && systime_ms() - x->closing_since >= (t_uint32)KORVEL_LATE_MS)
        x->closing = 0;
    return x->closing;
}

/* The close goes on to the window's own procedure, which destroys the
 * window (the observer forgets it at WM_DESTROY) or may only hide it. */
static LRESULT korvel_on_close(t_korvel *x, HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT r = DefSubclassProc(hWnd, WM_CLOSE, wParam, lParam);
    korvel_closed_or_closing(x, hWnd);
    return r;
}

/* The host application went to the background or came back: an editor not
 * hidden on request follows it, unless it is to stay on top. One that went
 * out of sight before it was to stay on top comes back all the same. */
static void korvel_follow_app(t_korvel *x, bool active)
{
    HWND hwnd = x->editor_hwnd;
    if (!x->hidden && !active && !x->stayontop) {
        korvel_trace(x, "APP DE-ACTIVATE");
        korvel_window_pos(hwnd, NULL, KORVEL_SWP_HIDE);
    } else if (!x->hidden && active && (!x->stayontop || !IsWindowVisible(hwnd))) {
        korvel_trace(x, "APP ACTIVATE");
        korvel_window_pos(hwnd, NULL, KORVEL_SWP_SHOW);
    }
    x->app_active = active ? 1 : 0;
}

/* The editor moved, resized, shown or hidden. */
static void korvel_on_moved(t_korvel *x, HWND hWnd)
{
    korvel_trace(x, "WM_WINDOWPOSCHANGED");
    /* taken now: a close before the report keeps where it was left */
    korvel_note_place(x);
    /* the host hides the editor it was asked to close */
    if (x->closing && !IsWindowVisible(hWnd))
        korvel_park_editor(x);
    else
        qelem_set(x->state_qelem);
}

LRESULT CALLBACK korvel_subclassproc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR uIdSubclass,
                                     DWORD_PTR dwRefData)
{
    /* A record freed while its observer stayed on the window is not touched,
     * nor a new record that got its address: it observes only its own
     * window. */
    if (!korvel_is_registered((const void *)uIdSubclass))
        return DefSubclassProc(hWnd, uMsg, wParam, lParam);
    t_korvel *x = (t_korvel *)uIdSubclass;
    if (x->editor_hwnd != hWnd)
        return DefSubclassProc(hWnd, uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_DESTROY:
        korvel_trace(x, "<-- window gets destroyed, unsetting observer");
        if (!RemoveWindowSubclass(hWnd, korvel_subclassproc, uIdSubclass) && x->debug)
            object_error((t_object *)x, "WM_DESTROY: failed to remove subclass!");
        korvel_forget_editor(x);
        qelem_set(x->state_qelem);
        break;
    case WM_CLOSE:
        return korvel_on_close(x, hWnd, wParam, lParam);
    case WM_ACTIVATEAPP:
        korvel_follow_app(x, wParam != 0);
        break;
    case WM_WINDOWPOSCHANGED:
        korvel_on_moved(x, hWnd);
        break;
    case WM_SIZING:
        korvel_trace(x, "WM_SIZING");
        break;
    default:
        break;
    }
    return DefSubclassProc(hWnd, uMsg, wParam, lParam);
}
