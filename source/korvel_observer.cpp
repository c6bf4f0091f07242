/* Editor window control: the window observer and the state report. */
#include "korvel.h"

/* Lets the captured editor go: it is gone, or going. */
void korvel_forget_editor(t_korvel *x)
{
    x->editor_hwnd = NULL;
    x->editor_owner = NULL;
    x->hidden = 0;
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
    korvel_remember_editor(x->editor_owner, hwnd, x->hidden);
    korvel_forget_editor(x);
}

/* A captured handle whose window went while nobody observed it is forgotten,
 * as if the observer had seen it destroyed. */
void korvel_forget_dead_window(t_korvel *x)
{
    if (x->editor_hwnd && !IsWindow(x->editor_hwnd))
        korvel_forget_editor(x);
}

/* ---- observer and state report ---- */

/* The host application went to the background or came back: an editor not
 * hidden on request follows it, unless it is to stay on top. */
static void korvel_follow_app(t_korvel *x, bool active)
{
    if (!x->hidden && !x->stayontop) {
        if (!active) {
            korvel_trace(x, "APP DE-ACTIVATE");
            SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_HIDE);
        } else {
            korvel_trace(x, "APP ACTIVATE");
            SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_SHOW);
        }
    }
    x->app_active = active ? 1 : 0;
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
    case WM_ACTIVATEAPP:
        korvel_follow_app(x, wParam != 0);
        break;
    case WM_WINDOWPOSCHANGED:
        korvel_trace(x, "WM_WINDOWPOSCHANGED");
        qelem_set(x->state_qelem);
        break;
    case WM_SIZING:
        korvel_trace(x, "WM_SIZING");
        break;
    default:
        break;
    }
    return DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

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
