/* qzkorvel: controls the editor window of a vst~ object.
 *
 * The instance record, the module-wide state and every routine of the module.
 * docs/ARCHITECTURE.md says where each message is handled. */
#ifndef KORVEL_H
#define KORVEL_H

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <atomic>
#include <type_traits>

#include "max_api.h"
#include "win_api.h"
#include "as_method.h"

/* In win_x: no position is set, centre the editor on the display under the
 * mouse pointer. */
#define KORVEL_CENTRE_SENTINEL (-12345)

/* The last value of a state list: what became of the editor. */
enum korvel_vis {
    KORVEL_VIS_NONE = -1,  /* no restored visibility waits to be applied */
    KORVEL_VIS_CLOSED = 0, /* no editor window */
    KORVEL_VIS_SHOWN = 1,  /* open, and not hidden on request */
    KORVEL_VIS_HIDDEN = 2, /* open, and hidden on request */
};

/* The atoms of a state list: x y w h vis. */
#define KORVEL_STATE_ATOMS 5
#define KORVEL_VIS_ATOM 4

/* Where an editor that is to be centred is opened first. */
#define KORVEL_SUBSTITUTE_POS 50

/* How many windows on the requested point an open remembers from before the
 * editor appears (see korvel_scan in korvel_open.cpp). */
#define KORVEL_KNOWN_WINDOWS 256
/* How long, by the host's clock (systime_ms), an open waits for an editor
 * window that its host makes after open returns: a heavy editor may take
 * seconds, and a pass of the queue may take no time at all. */
#define KORVEL_LATE_MS 3000

/* The range in which the window system keeps window coordinates. */
#define KORVEL_COORD_MIN (-32768)
#define KORVEL_COORD_MAX 32767

/* SetWindowPos flag sets. None of them sizes, re-orders (except topmost) or
 * activates the editor. */
#define KORVEL_SWP_SHOW (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSENDCHANGING)
#define KORVEL_SWP_HIDE (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOSENDCHANGING)
#define KORVEL_SWP_TOPMOST (SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE)
#define KORVEL_SWP_MOVE (SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)

/* SetWindowPos with flags that keep the window's place and size (the
 * KORVEL_SWP_ sets but KORVEL_SWP_MOVE): only its z-order or visibility
 * changes. */
inline void korvel_window_pos(HWND hwnd, HWND after, UINT flags)
{
    SetWindowPos(hwnd, after, 0, 0, 0, 0, flags);
}

#define KORVEL_HELPER_CLASS "korvel_helperwindowclass"

/* The most atoms a deferred message carries on to its handler. No handler
 * reads more than five; the atoms of a longer message past these are
 * ignored, as a handler ignores those past what it reads. */
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

/* Each field: what it holds; then who writes it. */
typedef struct _korvel {
    t_object ob;       /* the host's object header; object_alloc */
    t_object *patcher; /* the patcher our box is in; korvel_new */
    /* the vst~ object attached to for its notifications, NULL when unbound; korvel_bind_target (attach, open),
     * korvel_unbind (notify, open) */
    t_object *target;
    /* target's box, attached to as well: a host may tell a new scripting name only to the box's observers;
     * korvel_bind_target, korvel_unbind */
    t_object *target_box;
    void *delay_qelem; /* runs korvel_delaycheck; korvel_new, korvel_free */
    void *state_qelem; /* runs checkWindowState; korvel_new, korvel_free */
    int32_t win_w;     /* the editor's client width as last reported or restored; as win_h */
    /* the client height as last reported or restored; korvel_measure (the state report, getvalueof),
     * korvel_state, korvel_attach (0) */
    int32_t win_h;
    /* the client origin's x requested or last reported, or KORVEL_CENTRE_SENTINEL; as win_y, and korvel_new */
    int32_t win_x;
    /* the client origin's y; korvel_open, korvel_pos, korvel_state, korvel_measure, findCenteredPosForVST */
    int32_t win_y;
    /* the client origin's offset from the frame's, as last measured, for the place of a minimised editor;
     * korvel_note_place */
    int32_t frame_dx;
    int32_t frame_dy;
    /* a restored state list not applied yet (x y w h vis; no plug-in yet, or queued), which the state list
     * reports meanwhile; vis KORVEL_VIS_NONE for none. Relaxed atomics: setvalueof stores it on whatever
     * thread the state system calls it. korvel_state and korvel_setvalueof set it, korvel_apply_restore
     * applies it, close (and clear through it) cancels it */
    korvel_relaxed<int32_t> restored[KORVEL_STATE_ATOMS];
    /* the list the state system was last told of (vis KORVEL_VIS_NONE: none since it last gave one), so that a
     * report repeating it tells nobody; checkWindowState, korvel_state */
    int32_t notified[KORVEL_STATE_ATOMS];
    t_symbol *scriptname; /* the target box's scripting name, _sym_nothing for none; korvel_new */
    int32_t delay;        /* the plug-in's delay as last sent out; korvel_attach, korvel_delaycheck */
    void *outlet;         /* the one outlet; korvel_new */
    korvel_relaxed<char> debug;     /* attribute: trace to the console; the host's attribute setter */
    korvel_relaxed<char> stayontop; /* attribute: keep the editor up in the background; the same */
    /* hidden on request ("hide", state list KORVEL_VIS_HIDDEN), not "out of sight": the observer hides
     * the editor in the background without setting it. The gates, hide, show, state, korvel_observe (open,
     * adopt), korvel_adopt, forget_editor */
    korvel_relaxed<int32_t> hidden;
    /* the host is active, as WM_ACTIVATEAPP last said; new, subclassproc, korvel_observe */
    korvel_relaxed<int32_t> app_active;
    HWND helper_hwnd;    /* the off-screen window that takes activation on hide; korvel_new */
    /* the captured editor window, NULL when none; korvel_open captures, korvel_adopt takes over,
     * korvel_forget_editor lets go */
    korvel_relaxed<HWND> editor_hwnd;
    /* the target whose editor editor_hwnd is, NULL once that target is gone; korvel_open, korvel_adopt,
     * korvel_notify, korvel_forget_editor */
    t_object *editor_owner;
    /* an open whose editor window has not appeared yet, NULL when none; korvel_capture, korvel_capture_late,
     * korvel_close (marks it closed), korvel_forget_late (its vst object freed), korvel_free */
    struct korvel_scan *late_scan;
    /* asked to close (close, its close button) while its host has not yet hidden or destroyed it, and since when
     * by the host's clock; korvel_closed_or_closing sets, korvel_forget_editor and korvel_still_closing clear */
    char closing;
    t_uint32 closing_since;
    /* counts the changes of target, so that a handler sees one made while the patch ran; korvel_bind_target,
     * korvel_unbind */
    uint32_t binding;
    uint32_t reports;       /* counts the reports begun; korvel_attach */
    uint32_t pending_since; /* reports when the queued bind was asked for; korvel_attach_later */
    char attach_pending;    /* a bind is queued and has not run yet; korvel_attach_later, korvel_rebind */
    char reporting;         /* a report is going out; korvel_attach */
} t_korvel;

/* ---- module-wide state ----
 *
 * All that the module keeps outside its records, each with who writes it.
 * Messages and notifications arrive on the scheduler thread too (see
 * "Threads" in docs/ARCHITECTURE.md): each table they reach has its own
 * lock, held for one lookup or change, never across a host or window call.
 *
 * - korvel_class and _common_symbols (korvel_class.cpp), and the helper
 *   window class KORVEL_HELPER_CLASS: ext_main, before any record exists;
 *   read without a lock.
 * - the live-record registry, korvel_live and korvel_serial
 *   (korvel_class.cpp): korvel_new and korvel_free; read on any thread by
 *   the deferral, the gates, korvel_hold and the window observer. Under
 *   korvel_live_lock.
 * - the plug-in-change list, korvel_changing (korvel_binding.cpp):
 *   korvel_notify, while it reports a plug-in change, on whichever thread
 *   the notification comes; read by korvel_clear. Under
 *   korvel_changing_lock.
 * - the remembered-editor table, korvel_remembered_windows
 *   (korvel_adopt.cpp): korvel_release_editor, korvel_notify (the vst
 *   object freed), korvel_adopt, and ext_main (emptied); read by the "show"
 *   gate on any thread. Under korvel_remembered_lock.
 */
extern t_class *korvel_class;

extern "C" C74_EXPORT void ext_main(void *r);

/* ---- live-record registry (korvel_class.cpp) ---- */
bool korvel_is_registered(const void *x);
bool korvel_is_live(const void *x, t_atom_long serial);
t_atom_long korvel_serial_of(const void *x);
void korvel_defer_guarded(t_korvel *x, method trampoline, t_symbol *s, long argc, t_atom *argv);

/* ---- target binding (korvel_binding.cpp) ---- */
void korvel_attach(t_korvel *x);
void korvel_attach_later(t_korvel *x);
void korvel_bind_now(t_korvel *x);
bool korvel_bind_again(t_korvel *x);
void korvel_unbind(t_korvel *x);
bool korvel_is_changing(const void *obj);
t_object *korvel_instance(t_korvel *x);
t_max_err korvel_notify(t_korvel *x, t_symbol *s, t_symbol *msg, void *sender, void *data);
void korvel_delaycheck(t_korvel *x);
t_object *korvel_named_box(t_korvel *x);
t_object *korvel_named_object(t_korvel *x);

/* ---- editor window control (korvel_open, _visibility, _observer, _rebuild) ---- */
void korvel_open(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_pos(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
bool findCenteredPosForVST(t_korvel *x);
void korvel_place(t_korvel *x);
void korvel_hidegate(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_showgate(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_hide(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_show(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_close(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
void korvel_clear(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
LRESULT CALLBACK korvel_subclassproc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR uIdSubclass,
                                     DWORD_PTR dwRefData);
void korvel_set_hidden(t_korvel *x, int32_t hidden);
void korvel_forget_editor(t_korvel *x);
void korvel_note_place(t_korvel *x);
void korvel_release_editor(t_korvel *x);
void korvel_forget_dead_window(t_korvel *x);
void korvel_observe(t_korvel *x);
void korvel_park_editor(t_korvel *x);
void korvel_closed_or_closing(t_korvel *x, HWND hwnd);
bool korvel_still_closing(t_korvel *x);
void korvel_drop_late(t_korvel *x);
void korvel_forget_late(t_korvel *x, const void *owner);
bool korvel_close_awaited(t_korvel *x);
void korvel_leave_late(t_korvel *x);
void korvel_inherit_late(t_korvel *x);
bool korvel_held_elsewhere(const t_korvel *x, const t_object *owner);

/* ---- the displays in Windows pixels, through the host's units (korvel_screen.cpp) ---- */
t_pt korvel_host_point(int32_t x, int32_t y);
POINT korvel_pixel_point(t_pt host);
RECT korvel_work_area(t_pt host);
bool korvel_in_view(int32_t x, int32_t y);
void korvel_keep_in_view(t_korvel *x);

/* ---- the state list: report, restore, the host's state system (korvel_state.cpp) ---- */
void checkWindowState(t_korvel *x);
void korvel_state(t_korvel *x, t_symbol *s, long argc, t_atom *argv);
t_max_err korvel_getvalueof(t_korvel *x, long *ac, t_atom **av);
t_max_err korvel_setvalueof(t_korvel *x, long ac, t_atom *av);
void korvel_apply_restore(t_korvel *x);

/* ---- editors that outlive their instance (korvel_adopt.cpp, its own lock) ---- */
void korvel_remember_editor(t_object *owner, HWND hwnd, int32_t hidden, bool closed);
HWND korvel_take_closed(t_object *owner);
void korvel_forget_window(HWND hwnd);
void korvel_forget_owner(t_object *owner);
void korvel_forget_all_editors(void);
bool korvel_remembering(void);
bool korvel_adopt(t_korvel *x);

/* ---- small helpers ---- */

/* A console line when the debug attribute is on. The arguments go on to
 * post as they are: nothing is formatted or allocated when it is off. */
template <typename... A>
inline void korvel_trace(const t_korvel *x, const char *fmt, A... args)
{
    if (x->debug)
        post(fmt, args...);
}

/* Sends a message with up to three word-sized arguments; never to NULL. */
inline void *korvel_send(void *receiver, t_symbol *msg, void *a = NULL, void *b = NULL, void *c = NULL)
{
    if (!receiver)
        return NULL;
    return object_method_imp(receiver, msg, a, b, c, NULL, NULL, NULL, NULL, NULL);
}

/* A host long as a 32-bit field: saturated, so that a huge value never wraps
 * round to a small one (or to KORVEL_CENTRE_SENTINEL). */
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

/* What a handler holds on to across an outlet call or a message that acts on
 * another object: either may run the patch, which may free this record,
 * free or retype the target's box or rename any box. Taken before the call
 * and asked after it; the record's address is looked up, not read. */
class korvel_hold {
public:
    explicit korvel_hold(t_korvel *x) : x_(x), serial_(korvel_serial_of(x)), binding_(x->binding) {}
    /* the record is still alive */
    bool alive() const { return korvel_is_live(x_, serial_); }
    /* ... and bound as it was when the hold was taken */
    bool holds() const { return alive() && x_->binding == binding_; }

private:
    t_korvel *x_;
    t_atom_long serial_;
    uint32_t binding_;
};

/* Queues handler H for later on the main thread, guarded against the record
 * being freed first. Every defer_low of the module goes through here. */
template <auto H>
void korvel_defer(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_defer_guarded(x, as_method(&korvel_guard<H>), s, argc, argv);
}

/* The same with no message and no atoms. */
template <auto H>
void korvel_defer_call(t_korvel *x)
{
    korvel_defer_guarded(x, as_method(&korvel_guard<H>), NULL, 0, NULL);
}

#endif
