/* Editor window control: the window observer and the state report. */
#include "korvel.h"

/* A captured handle whose window went while nobody observed it is forgotten,
 * as if the observer had seen it destroyed. */
void korvel_forget_dead_window(t_korvel *x)
{
    if (!x->editor_hwnd || IsWindow(x->editor_hwnd))
        return;
    x->editor_hwnd = NULL;
    x->hidden = 0;
}

/* ---- observer and state report ---- */

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
        if (x->debug)
            post("<-- window gets destroyed, unsetting observer");
        if (!RemoveWindowSubclass(hWnd, korvel_subclassproc, uIdSubclass) && x->debug)
            object_error((t_object *)x, "WM_DESTROY: failed to remove subclass!");
        x->editor_hwnd = NULL;
        x->hidden = 0;
        qelem_set(x->state_qelem);
        break;
    case WM_ACTIVATEAPP:
        if (!x->hidden && !x->stayontop) {
            if (!wParam) {
                if (x->debug)
                    post("APP DE-ACTIVATE");
                SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_HIDE);
            } else {
                if (x->debug)
                    post("APP ACTIVATE");
                SetWindowPos(x->editor_hwnd, NULL, 0, 0, 0, 0, KORVEL_SWP_SHOW);
            }
        }
        x->app_active = wParam ? 1 : 0;
        break;
    case WM_WINDOWPOSCHANGED:
        if (x->debug)
            post("WM_WINDOWPOSCHANGED");
        qelem_set(x->state_qelem);
        break;
    case WM_SIZING:
        if (x->debug)
            post("WM_SIZING");
        break;
    default:
        break;
    }
    return DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

void checkWindowState(t_korvel *x)
{
    if (x->debug)
        post("checkWindowState()");
    korvel_forget_dead_window(x);
    t_atom_long vis = 0;
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
        vis = x->hidden ? 2 : 1;
    }
    t_atom av[5];
    atom_setlong(av, x->win_x);
    atom_setlong(av + 1, x->win_y);
    atom_setlong(av + 2, x->win_w);
    atom_setlong(av + 3, x->win_h);
    atom_setlong(av + 4, vis);
    outlet_anything(x->outlet, gensym("state"), 5, av);
}
