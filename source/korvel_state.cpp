/* The editor's state list: the report (checkWindowState), the "state"
 * message that restores one, and the host's state system (pattr,
 * autopattr, pattrstorage) that reads and writes it as the object's
 * value. */
#include <cmath>

#include "korvel.h"

/* ---- the report ---- */

/* Measures the editor, if there is one, into the record and fills the five
 * atoms of a state list. A restored state not applied yet is the state
 * list until it is: the state system that set it reads it back, and a
 * patch saved meanwhile keeps it. */
static void korvel_measure(t_korvel *x, t_atom *av)
{
    korvel_forget_dead_window(x);
    if (x->restored[KORVEL_VIS_ATOM] != KORVEL_VIS_NONE) {
        for (int i = 0; i < KORVEL_STATE_ATOMS; i++)
            atom_setlong(av + i, x->restored[i]);
        return;
    }
    t_atom_long vis = KORVEL_VIS_CLOSED;
    if (x->editor_hwnd) {
        korvel_note_place(x);
        vis = x->hidden ? KORVEL_VIS_HIDDEN : KORVEL_VIS_SHOWN;
    }
    atom_setlong(av, x->win_x);
    atom_setlong(av + 1, x->win_y);
    atom_setlong(av + 2, x->win_w);
    atom_setlong(av + 3, x->win_h);
    atom_setlong(av + 4, vis);
}

/* Whether av differs from the list the state system was last told of; it
 * is the one told of from now on. */
static bool korvel_news(t_korvel *x, const t_atom *av)
{
    bool differs = false;
    for (int i = 0; i < KORVEL_STATE_ATOMS; i++) {
        int32_t v = korvel_long32(atom_getlong(av + i));
        differs |= x->notified[i] != v;
        x->notified[i] = v;
    }
    return differs;
}

void checkWindowState(t_korvel *x)
{
    korvel_trace(x, "checkWindowState()");
    /* this report covers any asked for before it */
    qelem_unset(x->state_qelem);
    t_atom av[KORVEL_STATE_ATOMS];
    korvel_measure(x, av);
    /* the state system reads the value again when told that it changed (a
     * bound pattr outputs it, and may mark the patch unsaved); its
     * observers may run the patch */
    korvel_hold hold(x);
    if (korvel_news(x, av))
        object_notify(x, _sym_modified, NULL);
    if (!hold.alive())
        return;
    outlet_anything(x->outlet, gensym("state"), KORVEL_STATE_ATOMS, av);
}

/* ---- restoring a reported state ---- */

/* Brings the editor to a reported visibility, an open editor to the list's
 * place first. An editor to be hidden that is not open yet is opened
 * first; one out of sight already is only marked, as the "hide" gate
 * does. */
static void korvel_restore_vis(t_korvel *x, int32_t vis)
{
    if (vis != KORVEL_VIS_CLOSED)
        korvel_place(x);
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
            korvel_defer_call<korvel_open>(x);
            korvel_defer_call<korvel_hide>(x);
        } else {
            korvel_hidegate(x, NULL, 0, NULL);
        }
        break;
    default:
        break;
    }
}

/* Applies the restored visibility waiting for a plug-in, once there is
 * one. */
void korvel_apply_restore(t_korvel *x)
{
    int32_t vis = x->restored[KORVEL_VIS_ATOM];
    if (vis == KORVEL_VIS_NONE || !korvel_instance(x))
        return;
    x->restored[KORVEL_VIS_ATOM] = KORVEL_VIS_NONE;
    korvel_forget_dead_window(x);
    korvel_adopt(x);
    korvel_restore_vis(x, vis);
}

/* Keeps a restored list until it is applied. A visibility that a state
 * list cannot restore restores none. */
static void korvel_keep_restored(t_korvel *x, const int32_t list[KORVEL_STATE_ATOMS])
{
    for (int i = 0; i < KORVEL_VIS_ATOM; i++)
        x->restored[i] = list[i];
    int32_t vis = list[KORVEL_VIS_ATOM];
    x->restored[KORVEL_VIS_ATOM] = vis >= KORVEL_VIS_CLOSED && vis <= KORVEL_VIS_HIDDEN ? vis : KORVEL_VIS_NONE;
}

void korvel_state(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 5 || !argv) {
        object_error((t_object *)x, "state error: missing arguments");
        return;
    }
    korvel_trace(x, "state(): incoming ");
    int32_t list[KORVEL_STATE_ATOMS];
    for (int i = 0; i < KORVEL_STATE_ATOMS; i++)
        list[i] = korvel_long32(atom_getlong(argv + i));
    x->win_x = list[0];
    x->win_y = list[1];
    x->win_w = list[2];
    x->win_h = list[3];
    /* the state system holds what it gave: the next report tells it again */
    x->notified[KORVEL_VIS_ATOM] = KORVEL_VIS_NONE;
    /* without a plug-in the visibility waits for the report that finds one;
     * this state replaces any that waited */
    korvel_keep_restored(x, list);
    korvel_hold hold(x);
    korvel_bind_again(x);
    if (!hold.alive())
        return;
    korvel_apply_restore(x);
    /* still waiting: the list is the state until then */
    if (x->restored[KORVEL_VIS_ATOM] != KORVEL_VIS_NONE)
        qelem_set(x->state_qelem);
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

/* A number from the state system as a whole number: pattrstorage's
 * interpolation gives floats, which are rounded, not cut. */
static t_atom_long korvel_round(const t_atom *a)
{
    if (atom_gettype(a) != A_FLOAT)
        return atom_getlong(a);
    double v = atom_getfloat(a);
    if (std::isnan(v))
        return 0;
    return (t_atom_long)std::llround(std::clamp<double>(v, INT32_MIN, INT32_MAX));
}

/* A value from the state system is taken as a "state" message. The list is
 * stored at once, so that the state system reads back what it set; the
 * window follows on the main thread through the queue. */
t_max_err korvel_setvalueof(t_korvel *x, long ac, t_atom *av)
{
    if (ac < KORVEL_STATE_ATOMS || !av) {
        korvel_defer<korvel_state>(x, gensym("state"), ac, av);
        return MAX_ERR_NONE;
    }
    int32_t values[KORVEL_STATE_ATOMS];
    t_atom list[KORVEL_STATE_ATOMS];
    for (int i = 0; i < KORVEL_STATE_ATOMS; i++) {
        values[i] = korvel_long32(korvel_round(av + i));
        atom_setlong(list + i, values[i]);
    }
    /* the record's geometry is the main thread's: an open under way reads it */
    korvel_keep_restored(x, values);
    korvel_defer<korvel_state>(x, gensym("state"), KORVEL_STATE_ATOMS, list);
    return MAX_ERR_NONE;
}
