/* qzkorvel: controls the editor window of a vst~ object.
 *
 * The instance record, the module-wide state and every routine of the module.
 * Where each message is handled:
 *   korvel_class.cpp    ext_main, new/free, assist, the deferring wrappers,
 *                       the live-record registry, the helper window procedure
 *   korvel_binding.cpp  korvel_attach, korvel_notify, korvel_delaycheck
 *   korvel_open.cpp     open (enumknown, enumnew), pos, findCenteredPosForVST
 *   korvel_visibility.cpp  hide, show (and their gates), close, state
 *   korvel_observer.cpp korvel_subclassproc, checkWindowState
 *   korvel_rebuild.cpp  clear */
#ifndef KORVEL_H
#define KORVEL_H

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <atomic>
#include <type_traits>

#include "host/max_api.h"
#include "host/win_api.h"

/* In win_x: no position is set, centre the editor on the display under the
 * mouse pointer. */
#define CENTRE_SENTINEL (-12345)

/* Where an editor that is to be centred is opened first. */
#define KORVEL_SUBSTITUTE_POS 50

#define KORVEL_KNOWN_WINDOWS 256

/* The range in which the window system keeps window coordinates. */
#define KORVEL_COORD_MIN (-32768)
#define KORVEL_COORD_MAX 32767

/* SetWindowPos flag sets. None of them sizes, re-orders (except topmost) or
 * activates the editor. */
#define KORVEL_SWP_SHOW (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSENDCHANGING)
#define KORVEL_SWP_HIDE (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOSENDCHANGING)
#define KORVEL_SWP_TOPMOST (SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE)
#define KORVEL_SWP_MOVE (SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)

#define KORVEL_HELPER_CLASS "korvel_helperwindowclass"

/* The most atoms a deferred message carries on to its handler. No handler
 * reads more than five; a longer message is refused, not allocated for. */
#define KORVEL_DEFER_ATOMS 64

/* A field that the "show" and "hide" gates (on whatever thread the message
 * arrives) and the main thread's observer and handlers both touch. Reads and
 * writes are whole but unordered, as with a plain field on the host's
 * platforms; the field keeps the size and place of a plain one. */
template <typename T>
class korvel_relaxed {
public:
    korvel_relaxed &operator=(T v)
    {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    operator T() const { return value.load(std::memory_order_relaxed); }

private:
    static_assert(std::atomic<T>::is_always_lock_free, "a plain field needs no lock");
    std::atomic<T> value;
};

typedef struct _korvel {
    t_object ob;
    t_object *patcher;
    t_object *target;
    t_object *instance;
    void *delay_qelem;
    void *state_qelem;
    int32_t win_w;
    int32_t win_h;
    int32_t win_x;
    int32_t win_y;
    t_symbol *scriptname;
    int32_t delay;
    void *outlet;
    korvel_relaxed<char> debug;
    korvel_relaxed<char> stayontop;
    korvel_relaxed<int32_t> hidden;
    korvel_relaxed<int32_t> app_active;
    int32_t pos_checked;
    HWND helper_hwnd;
    HWND known_windows[KORVEL_KNOWN_WINDOWS];
    korvel_relaxed<HWND> editor_hwnd;
} t_korvel;

/* ---- module-wide state, written only by ext_main (the live-record registry
 * in korvel_class.cpp keeps its own lock) ---- */
extern t_class *korvel_class;
extern WNDCLASSEXA korvel_helperclass;

extern "C" C74_EXPORT int ext_main(void *r);

/* ---- host binding (korvel_class.cpp) ---- */
void *korvel_new(t_symbol *s, long argc, t_atom *argv);
void korvel_free(t_korvel *x);
void korvel_assist(t_korvel *x, void *b, long m, long a, char *s);
LRESULT CALLBACK korvel_helperwndproc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void korvel_queue_open(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_queue_close(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_queue_pos(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_queue_clear(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_queue_state(t_korvel *x, t_symbol *s, long argc, t_atom *argv);

/* Live-record registry: see korvel_class.cpp. */
void korvel_register(t_korvel *x);
void korvel_unregister(t_korvel *x);
bool korvel_is_registered(const void *x);
bool korvel_is_live(const void *x, t_atom_long serial);
void korvel_defer_guarded(t_korvel *x, method trampoline, t_symbol *s, long argc, t_atom *argv);

/* ---- target binding (korvel_binding.cpp) ---- */
void korvel_attach(t_korvel *x);
t_max_err korvel_notify(t_korvel *x, t_symbol *s, t_symbol *msg, void *sender, void *data);
void korvel_delaycheck(t_korvel *x);

/* ---- editor window control (korvel_open, _visibility, _observer, _rebuild) ---- */
void korvel_open(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
/* The enumerations of an open; lp is that open's scan (korvel_open.cpp). */
BOOL CALLBACK korvel_enumknown(HWND hwnd, LPARAM lp);
BOOL CALLBACK korvel_enumnew(HWND hwnd, LPARAM lp);
void korvel_pos(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
bool findCenteredPosForVST(t_korvel *x);
void korvel_hidegate(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_showgate(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_hide(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_show(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_close(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_state(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_clear(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
LRESULT CALLBACK korvel_subclassproc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR uIdSubclass,
                                     DWORD_PTR dwRefData);
void checkWindowState(t_korvel *x);
void korvel_forget_dead_window(t_korvel *x);

/* ---- small helpers ---- */

/* Any function as the host's generic method type. Going through void(*)(void)
 * states that the host calls it with its real signature. */
template <typename F>
inline method korvel_method(F f)
{
    return reinterpret_cast<method>(reinterpret_cast<void (*)(void)>(f));
}

/* Sends a message with up to three word-sized arguments; never to NULL. */
inline void *korvel_send(void *receiver, t_symbol *msg, void *a = NULL, void *b = NULL, void *c = NULL)
{
    if (!receiver)
        return NULL;
    return object_method_imp(receiver, msg, a, b, c, NULL, NULL, NULL, NULL, NULL);
}

/* A host long as a 32-bit field: saturated, so that a huge value never wraps
 * round to a small one (or to CENTRE_SENTINEL). */
inline int32_t korvel_long32(t_atom_long v)
{
    return (int32_t)std::clamp<t_atom_long>(v, INT32_MIN, INT32_MAX);
}

inline const char *korvel_text(const t_symbol *s)
{
    return s && s->s_name ? s->s_name : "";
}

/* The task that defer_low runs for handler H: it runs H only while the record
 * that queued it is still alive (see korvel_class.cpp). The last atom is the
 * record's serial number and is not handed on. */
template <auto H>
void korvel_guard(void *x, t_symbol *s, short argc, t_atom *argv)
{
    if (argc < 1 || !korvel_is_live(x, atom_getlong(argv + argc - 1)))
        return;
    t_korvel *rec = static_cast<t_korvel *>(x);
    if constexpr (std::is_invocable_v<decltype(H), t_korvel *>)
        H(rec);
    else
        H(rec, s, argc - 1, argc > 1 ? argv : NULL);
}

/* Queues handler H for later on the main thread, guarded against the record
 * being freed first. Every defer_low of the module goes through here. */
template <auto H>
void korvel_defer(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_defer_guarded(x, korvel_method(&korvel_guard<H>), s, argc, argv);
}

#endif
