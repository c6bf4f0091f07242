/* Editor window control: showing, hiding and closing the editor, and
 * restoring a reported window state. */
#include "korvel.h"

/* ---- visibility ---- */

/* A change of the hidden-on-request flag, which the state report shows. */
static void korvel_set_hidden(t_korvel *x, int32_t hidden)
{
    x->hidden = hidden;
    qelem_set(x->state_qelem);
}

void korvel_hidegate(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    /* already out of sight for the background: the flag keeps the observer
     * from showing it again */
    if (x->editor_hwnd && !x->hidden && !x->app_active && !x->stayontop) {
        x->hidden = 1;
        return;
    }
    korvel_defer<korvel_hide>(x, s, argc, argv);
}

void korvel_hide(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_adopt(x);
    if (!x->editor_hwnd || x->hidden)
        return;
    SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_HIDE);
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
    SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_SHOW);
    if (x->hidden)
        korvel_set_hidden(x, 0);
}

void korvel_close(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    if (!x->target) {
        korvel_trace(x, "close: not attached to object");
        return;
    }
    korvel_adopt(x);
    if (!x->editor_hwnd) {
        korvel_trace(x, "close: window not opened");
        return;
    }
    /* the observer forgets the window once the vst object destroys it */
    korvel_send(x->target, _sym_wclose);
}

/* Brings the editor to a reported visibility. An editor to be hidden that is
 * not open yet is opened first; one out of sight for the background is only
 * marked, as the "hide" gate does. */
static void korvel_restore_vis(t_korvel *x, int32_t vis)
{
    switch (vis) {
    case KORVEL_VIS_CLOSED:
        if (x->editor_hwnd)
            korvel_close(x, NULL, 0, NULL);
        break;
    case KORVEL_VIS_SHOWN:
        if (x->editor_hwnd) {
            korvel_show(x, NULL, 0, NULL);
            break;
        }
        korvel_open(x, NULL, 0, NULL);
        break;
    case KORVEL_VIS_HIDDEN:
        if (!x->editor_hwnd) {
            korvel_defer<korvel_open>(x, NULL, 0, NULL);
            korvel_defer<korvel_hide>(x, NULL, 0, NULL);
        } else if (x->hidden || x->app_active || x->stayontop) {
            korvel_defer<korvel_hide>(x, NULL, 0, NULL);
        } else {
            x->hidden = 1;
        }
        break;
    default:
        break;
    }
}

void korvel_state(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 5 || !argv) {
        object_error((t_object *)x, "state error: missing arguments");
        return;
    }
    korvel_trace(x, "state(): incoming ");
    x->win_x = korvel_long32(atom_getlong(argv));
    x->win_y = korvel_long32(atom_getlong(argv + 1));
    x->win_w = korvel_long32(atom_getlong(argv + 2));
    x->win_h = korvel_long32(atom_getlong(argv + 3));
    /* a restored position is checked by the open that uses it, now or later */
    x->pos_checked = 0;
    int32_t vis = korvel_long32(atom_getlong(argv + 4));
    if (!korvel_instance(x))
        return;
    korvel_forget_dead_window(x);
    korvel_adopt(x);
    korvel_restore_vis(x, vis);
}
