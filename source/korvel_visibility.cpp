/* Editor window control: showing, hiding and closing the editor. */
#include "korvel.h"

/* ---- visibility ---- */

/* A change of the hidden-on-request flag, which the state report shows. */
void korvel_set_hidden(t_korvel *x, int32_t hidden)
{
    x->hidden = hidden;
    qelem_set(x->state_qelem);
}

void korvel_hidegate(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    /* already out of sight for the background: the flag keeps the observer
     * from showing it again. One shown in the background (a restored state)
     * is in sight: it is hidden on the main thread */
    HWND hwnd = x->editor_hwnd;
    if (hwnd && !x->hidden && !x->app_active && !x->stayontop && !IsWindowVisible(hwnd)) {
        korvel_set_hidden(x, 1);
        return;
    }
    korvel_defer<korvel_hide>(x, s, argc, argv);
}

void korvel_hide(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    /* the editor an open awaits is hidden once it comes */
    if (x->late_scan) {
        korvel_defer<korvel_hide>(x, s, argc, argv);
        return;
    }
    korvel_adopt(x);
    if (!x->editor_hwnd || x->hidden)
        return;
    korvel_window_pos(x->editor_hwnd, NULL, KORVEL_SWP_HIDE);
    /* a hidden window stays active; showing and hiding the off-screen helper
     * passes activation on */
    if (x->helper_hwnd && GetActiveWindow() == x->editor_hwnd) {
        ShowWindow(x->helper_hwnd, SW_SHOW);
        ShowWindow(x->helper_hwnd, SW_HIDE);
    }
    korvel_set_hidden(x, 1);
}

void korvel_showgate(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    /* an editor let go of may be ours to adopt, on the main thread */
    if (!x->editor_hwnd && !korvel_remembering()) {
        korvel_trace(x, "show(): there's no window");
        return;
    }
    if (!x->editor_hwnd || x->app_active || x->stayontop) {
        korvel_defer<korvel_show>(x, s, argc, argv);
        return;
    }
    /* the observer shows it when the host comes back */
    x->hidden = 0;
}

void korvel_show(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_trace(x, "show():");
    korvel_adopt(x);
    if (!x->editor_hwnd)
        return;
    korvel_window_pos(x->editor_hwnd, NULL, KORVEL_SWP_SHOW);
    korvel_keep_in_view(x);
    if (x->hidden)
        korvel_set_hidden(x, 0);
}

void korvel_close(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    /* a restored visibility still waiting for its plug-in is overruled, and
     * the state list says so */
    if (x->restored[KORVEL_VIS_ATOM] != KORVEL_VIS_NONE) {
        x->restored[KORVEL_VIS_ATOM] = KORVEL_VIS_NONE;
        qelem_set(x->state_qelem);
    }
    korvel_hold bound(x);
    if (!korvel_bind_again(x)) {
        if (bound.alive())
            korvel_trace(x, "close: not attached to object");
        return;
    }
    if (korvel_close_awaited(x))
        return;
    korvel_adopt(x);
    if (!x->editor_hwnd) {
        korvel_trace(x, "close: window not opened");
        return;
    }
    /* the observer forgets the window once the vst object destroys it; a
     * host that only hides it leaves it to the next open */
    korvel_hold hold(x);
    HWND hwnd = x->editor_hwnd;
    korvel_send(x->target, _sym_wclose);
    if (hold.alive())
        korvel_closed_or_closing(x, hwnd);
}
