/* The editor's state list: the report (checkWindowState), the "state"
 * message that restores one, and the host's state system (pattr,
 * autopattr, pattrstorage) that reads and writes it as the object's
 * value. */
#include "korvel.h"

/* ---- the report ---- */

/* Measures the editor, if there is one, into the record and fills the five
 * atoms of a state list. */
static void korvel_measure(t_korvel *x, t_atom *av)
{
    korvel_forget_dead_window(x);
    t_atom_long vis = KORVEL_VIS_CLOSED;
    if (x->editor_hwnd) {
        RECT r = {0, 0, 0, 0};
        if (GetClientRect(x->editor_hwnd, &r)) {
            POINT origin = {r.left, r.top};
            MapWindowPoints(x->editor_hwnd, NULL, &origin, 1);
            x->win_x = origin.x;
            x->win_y = origin.y;
            x->win_w = r.right;
            x->win_h = r.bottom;
        }
        vis = x->hidden ? KORVEL_VIS_HIDDEN : KORVEL_VIS_SHOWN;
    }
    atom_setlong(av, x->win_x);
    atom_setlong(av + 1, x->win_y);
    atom_setlong(av + 2, x->win_w);
    atom_setlong(av + 3, x->win_h);
    atom_setlong(av + 4, vis);
}

void checkWindowState(t_korvel *x)
{
    korvel_trace(x, "checkWindowState()");
    /* this report covers any asked for before it */
    qelem_unset(x->state_qelem);
    t_atom av[KORVEL_STATE_ATOMS];
    korvel_measure(x, av);
    outlet_anything(x->outlet, gensym("state"), KORVEL_STATE_ATOMS, av);
}

/* ---- restoring a reported state ---- */

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

/* ---- the host's state system (pattr, autopattr, pattrstorage) ---- */

/* The value is the state list. A caller's array too short for it is
 * refused rather than overrun; without one, the host's getbytes gives one
 * that the caller frees. */
t_max_err korvel_getvalueof(t_korvel *x, long *ac, t_atom **av)
{
    if (!ac || !av)
        return MAX_ERR_GENERIC;
    if (*ac && *av && *ac < KORVEL_STATE_ATOMS)
        return MAX_ERR_GENERIC;
    if (!*ac || !*av) {
        *av = (t_atom *)getbytes(KORVEL_STATE_ATOMS * sizeof(t_atom));
        if (!*av)
            return MAX_ERR_GENERIC;
    }
    *ac = KORVEL_STATE_ATOMS;
    korvel_measure(x, *av);
    return MAX_ERR_NONE;
}

/* A value from the state system is taken as a "state" message. */
t_max_err korvel_setvalueof(t_korvel *x, long ac, t_atom *av)
{
    korvel_defer<korvel_state>(x, gensym("state"), ac, av);
    return MAX_ERR_NONE;
}
