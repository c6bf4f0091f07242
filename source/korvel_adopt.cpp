/* Editor window control: editors that outlive their instance.
 *
 * An instance that lets its editor go while it is open (its box deleted or
 * retyped, or bound to another vst object) leaves the window up and
 * unmanaged. The window is remembered here for the vst object whose editor
 * it is, and the next instance bound to that object takes it over at its
 * next window message instead of asking for a second editor. An editor
 * that its host hid when it was closed is remembered as closed, for the
 * next open of any instance bound to its object to show again: its host
 * may not make another while it keeps this one. */
#include <algorithm>
#include <mutex>
#include <vector>

#include "korvel.h"

struct korvel_remembered {
    t_object *owner; /* the vst object whose editor it is */
    HWND hwnd;
    int32_t hidden; /* hidden on request when it was let go */
    bool closed;    /* hidden by its host on close, for the next open */
};

/* Module-wide, and read by the "show" gate on any thread: the lock is held
 * for each lookup and change, never across a host or window call. */
static std::mutex korvel_remembered_lock;
static std::vector<korvel_remembered> korvel_remembered_windows;

void korvel_remember_editor(t_object *owner, HWND hwnd, int32_t hidden, bool closed)
{
    if (!owner || !hwnd || !IsWindow(hwnd))
        return;
    std::vector<HWND> known;
    {
        std::lock_guard<std::mutex> hold(korvel_remembered_lock);
        for (const korvel_remembered &r : korvel_remembered_windows)
            known.push_back(r.hwnd);
    }
    /* windows destroyed since are dropped, so that the table stays small */
    for (HWND h : known)
        if (h == hwnd || !IsWindow(h))
            korvel_forget_window(h);
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    korvel_remembered_windows.push_back({owner, hwnd, hidden, closed});
}

void korvel_forget_window(HWND hwnd)
{
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    auto &w = korvel_remembered_windows;
    w.erase(std::remove_if(w.begin(), w.end(), [hwnd](const korvel_remembered &r) { return r.hwnd == hwnd; }), w.end());
}

/* The vst object is going: its editor goes with it, and its address may
 * come back as another object's. */
void korvel_forget_owner(t_object *owner)
{
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    auto &w = korvel_remembered_windows;
    w.erase(std::remove_if(w.begin(), w.end(), [owner](const korvel_remembered &r) { return r.owner == owner; }),
            w.end());
}

void korvel_forget_all_editors(void)
{
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    korvel_remembered_windows.clear();
}

bool korvel_remembering(void)
{
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    return !korvel_remembered_windows.empty();
}

/* Takes the remembered editor of owner, open or closed, out of the table;
 * false for none. */
static bool korvel_take_remembered(t_object *owner, bool closed, korvel_remembered *out)
{
    std::lock_guard<std::mutex> hold(korvel_remembered_lock);
    for (auto it = korvel_remembered_windows.begin(); it != korvel_remembered_windows.end(); ++it) {
        if (it->owner == owner && it->closed == closed) {
            *out = *it;
            korvel_remembered_windows.erase(it);
            return true;
        }
    }
    return false;
}

/* Takes over the editor of our vst object that an instance let go of while
 * it was open: observer installed and state reported, as after an open.
 * A window destroyed since is forgotten. True when one was adopted. */
bool korvel_adopt(t_korvel *x)
{
    korvel_remembered r = {};
    if (x->editor_hwnd || !x->target || !korvel_take_remembered(x->target, false, &r) || !IsWindow(r.hwnd))
        return false;
    korvel_trace(x, "adopting the open editor of the vst object");
    x->editor_hwnd = r.hwnd;
    x->editor_owner = x->target;
    korvel_observe(x);
    x->hidden = r.hidden;
    /* out of sight for a background that ended before we observed it, or
     * to stay on top: nobody else would show it again */
    if (!x->hidden && (x->app_active || x->stayontop) && !IsWindowVisible(r.hwnd))
        korvel_window_pos(r.hwnd, NULL, KORVEL_SWP_SHOW);
    return true;
}

/* The closed editor of owner that its host keeps hidden, taken out of the
 * table; NULL for none, or for one destroyed since. */
HWND korvel_take_closed(t_object *owner)
{
    korvel_remembered r = {};
    return korvel_take_remembered(owner, true, &r) && IsWindow(r.hwnd) ? r.hwnd : NULL;
}
