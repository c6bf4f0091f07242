/* Host binding: the class, the instance record's life, the deferring
 * wrappers and the helper window. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <mutex>
#include <unordered_map>

#include "korvel.h"

t_common_symbols_table *_common_symbols = NULL;
t_class *korvel_class = NULL;

/* ---- live-record registry ----
 *
 * Calls queued with defer_low are not cancelled when a record is freed, and
 * the allocator may hand the same address to the next record. So every
 * defer_low of the module goes through korvel_defer_guarded: it queues a
 * guard trampoline (korvel_guard<H>, one per handler) with the original
 * selector and atoms plus one trailing long atom holding the record's serial
 * number. The trampoline looks the address up here without dereferencing it
 * and runs the handler only when the serial still matches: a freed record is
 * gone from the table, and a new record at the same address has a new
 * serial. korvel_free removes the record before anything else. The window
 * observer checks membership too, for a window whose observer could not be
 * removed.
 *
 * Messages arrive on the scheduler thread too, and their deferral and the
 * gates read the table while the main thread's korvel_new and korvel_free
 * change it; the lock is held for each lookup and change, never across a
 * host call. */
static std::mutex korvel_live_lock;
static std::unordered_map<const void *, t_atom_long> korvel_live;
static t_atom_long korvel_serial = 0;

static void korvel_register(t_korvel *x)
{
    std::lock_guard<std::mutex> hold(korvel_live_lock);
    korvel_live[x] = ++korvel_serial;
}

static void korvel_unregister(t_korvel *x)
{
    std::lock_guard<std::mutex> hold(korvel_live_lock);
    korvel_live.erase(x);
}

/* The record's serial number, or 0 when it is not alive. */
t_atom_long korvel_serial_of(const void *x)
{
    std::lock_guard<std::mutex> hold(korvel_live_lock);
    auto it = korvel_live.find(x);
    return it == korvel_live.end() ? 0 : it->second;
}

bool korvel_is_registered(const void *x)
{
    return korvel_serial_of(x) != 0;
}

bool korvel_is_live(const void *x, t_atom_long serial)
{
    return serial != 0 && korvel_serial_of(x) == serial;
}

/* Another live record holds owner's open editor. Read on the main thread,
 * where the records' editor fields are written. */
bool korvel_held_elsewhere(const t_korvel *x, const t_object *owner)
{
    std::lock_guard<std::mutex> hold(korvel_live_lock);
    for (const auto &live : korvel_live) {
        const t_korvel *other = static_cast<const t_korvel *>(live.first);
        if (other != x && other->editor_owner == owner && other->editor_hwnd)
            return true;
    }
    return false;
}

void korvel_defer_guarded(t_korvel *x, method trampoline, t_symbol *s, long argc, t_atom *argv)
{
    t_atom_long serial = korvel_serial_of(x);
    if (!serial)
        return;
    if (argc < 0 || !argv)
        argc = 0;
    /* no handler reads that far: the atoms past the buffer are ignored */
    argc = std::min<long>(argc, KORVEL_DEFER_ATOMS);
    t_atom atoms[KORVEL_DEFER_ATOMS + 1];
    if (argc > 0)
        memcpy(atoms, argv, (size_t)argc * sizeof(t_atom));
    atom_setlong(atoms + argc, serial);
    defer_low(x, trampoline, s, (short)(argc + 1), atoms);
}

/* ---- class ---- */

static void *korvel_new(t_symbol *s, long argc, t_atom *argv);
static void korvel_free(t_korvel *x);

/* The text Max shows while the mouse rests on the inlet or the outlet. */
static void korvel_assist(t_korvel *x, void *b, long m, long a, char *s)
{
    if (m == ASSIST_INLET)
        snprintf(s, ASSIST_MAX_STRING_LEN,
                 "open [x y], close, hide, show, pos x y, state x y width height visible, clear; "
                 "stayontop 0/1, debug 0/1");
    else
        snprintf(s, ASSIST_MAX_STRING_LEN,
                 "pluginname, savedpluginname, delay, willchange; state x y width height visible "
                 "(visible: 0 closed, 1 shown, 2 hidden)");
}

static LRESULT CALLBACK korvel_helperwndproc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

/* A message of the class. Each public window message queues its handler
 * (korvel_defer) and has a direct_ twin that runs it at once, left out of
 * the docs. */
struct korvel_message {
    const char *name;
    method handler;
    short type;
    const char *direct; /* the twin's name, or NULL */
    method direct_handler;
};

static const korvel_message korvel_messages[] = {
    {"assist", as_method(korvel_assist), A_CANT, NULL, NULL},
    {"notify", as_method(korvel_notify), A_CANT, NULL, NULL},
    {"getvalueof", as_method(korvel_getvalueof), A_CANT, NULL, NULL},
    {"setvalueof", as_method(korvel_setvalueof), A_CANT, NULL, NULL},
    {"hide", as_method(korvel_hidegate), A_GIMME, "direct_hide", as_method(korvel_hide)},
    {"show", as_method(korvel_showgate), A_GIMME, "direct_show", as_method(korvel_show)},
    {"open", as_method(korvel_defer<korvel_open>), A_GIMME, "direct_open", as_method(korvel_open)},
    {"close", as_method(korvel_defer<korvel_close>), A_GIMME, "direct_close", as_method(korvel_close)},
    {"pos", as_method(korvel_defer<korvel_pos>), A_GIMME, "direct_pos", as_method(korvel_pos)},
    {"clear", as_method(korvel_defer<korvel_clear>), A_GIMME, "direct_clear", as_method(korvel_clear)},
    {"state", as_method(korvel_defer<korvel_state>), A_GIMME, "direct_state", as_method(korvel_state)},
};

static void korvel_adddirect(t_class *c, const char *name, method m)
{
    class_addmethod(c, m, name, A_GIMME, 0);
    t_hashtab *methods = (t_hashtab *)class_extra_lookup(c, gensym("methods"));
    t_object *mob = NULL;
    if (!methods || hashtab_lookup(methods, gensym(name), &mob) != MAX_ERR_NONE || !mob)
        return;
    object_addattr_parse(mob, "undocumented", _sym_long, 0, "1");
}

static void korvel_addonoff(t_class *c, const char *name, long offset, const char *label)
{
    class_addattr(c, attr_offset_new(name, _sym_char, 0, NULL, NULL, offset));
    class_attr_addattr_parse(c, name, "style", _sym_symbol, 0, "onoff");
    class_attr_addattr_format(c, name, "label", _sym_symbol, 0, "s", gensym_tr(label));
    class_attr_addattr_parse(c, name, "save", _sym_long, 0, "1");
}

static t_class *korvel_makeclass(void)
{
    t_class *c = class_new("qzkorvel", as_method(korvel_new), as_method(korvel_free), (long)sizeof(t_korvel), NULL,
                           A_GIMME, 0);
    for (const korvel_message &m : korvel_messages) {
        class_addmethod(c, m.handler, m.name, m.type, 0);
        if (m.direct)
            korvel_adddirect(c, m.direct, m.direct_handler);
    }
    korvel_addonoff(c, "debug", offsetof(t_korvel, debug), "Print debug info to Max window");
    korvel_addonoff(c, "stayontop", offsetof(t_korvel, stayontop), "Do not hide window when app goes to background");
    class_register(_sym_box, c);
    return c;
}

extern "C" C74_EXPORT void ext_main(void *r)
{
    _common_symbols = common_symbols_gettable();
    /* a host that loads the module again starts with windows of its own */
    korvel_forget_all_editors();
    korvel_class = korvel_makeclass();

    /* the window system copies the class; ours need not outlive the call */
    WNDCLASSEXA helper = {};
    helper.cbSize = sizeof(WNDCLASSEXA);
    helper.lpfnWndProc = korvel_helperwndproc;
    helper.hInstance = GetModuleHandleA(NULL);
    helper.lpszClassName = KORVEL_HELPER_CLASS;
    if (!RegisterClassExA(&helper))
        error("korvel helper window Registration Failed! Error!");

    object_post(NULL, "qzkorvel 2024/01/09 qzkorvel.example ");
}

/* ---- instances ---- */

/* The scripting name from the first creation argument. A number, or an
 * attribute argument in its place, names no box: the object is made without
 * a name, so that its attributes still apply, and says what was expected. */
static t_symbol *korvel_scriptname_arg(t_korvel *x, t_atom *arg)
{
    t_symbol *name = atom_gettype(arg) == A_SYM ? atom_getsym(arg) : _sym_nothing;
    const char *text = korvel_text(name);
    if (*text && *text != '@')
        return name;
    char given[64];
    if (atom_gettype(arg) == A_LONG)
        snprintf(given, sizeof given, "the number %lld", (long long)atom_getlong(arg));
    else if (atom_gettype(arg) == A_FLOAT)
        snprintf(given, sizeof given, "the number %g", (double)atom_getfloat(arg));
    else
        snprintf(given, sizeof given, "\"%.40s\"", text);
    object_error((t_object *)x, "the first argument must be the scripting name of the target vst object, not %s",
                 given);
    return _sym_nothing;
}

/* Every field that korvel_free and the handlers read, set before anything
 * that can fail: the allocator's memory is not relied on. */
static void korvel_defaults(t_korvel *x)
{
    x->patcher = NULL;
    x->target = NULL;
    x->target_box = NULL;
    x->delay_qelem = NULL;
    x->state_qelem = NULL;
    x->win_w = 0;
    x->win_h = 0;
    x->win_x = KORVEL_CENTRE_SENTINEL;
    x->win_y = 0;
    x->frame_dx = 0;
    x->frame_dy = 0;
    for (int i = 0; i < KORVEL_STATE_ATOMS; i++) {
        x->restored[i] = 0;
        x->notified[i] = 0;
    }
    x->restored[KORVEL_VIS_ATOM] = KORVEL_VIS_NONE;
    x->notified[KORVEL_VIS_ATOM] = KORVEL_VIS_NONE;
    x->scriptname = _sym_nothing;
    x->delay = 0;
    x->outlet = NULL;
    x->debug = 0;
    x->stayontop = 0;
    x->hidden = 0;
    x->app_active = 1;
    x->helper_hwnd = NULL;
    x->editor_hwnd = NULL;
    x->editor_owner = NULL;
    x->closing = 0;
    x->closing_since = 0;
    x->late_scan = NULL;
    x->binding = 0;
    x->reports = 0;
    x->pending_since = 0;
    x->attach_pending = 0;
    x->reporting = 0;
}

static void *korvel_new(t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 1 || !argv) {
        object_error(NULL, "Please use the scripting name of the target vst object as first argument when you "
                           "create the qzkorvel object.");
        return NULL;
    }
    t_korvel *x = (t_korvel *)object_alloc(korvel_class);
    if (!x)
        return NULL;
    korvel_defaults(x);
    korvel_register(x);
    x->outlet = outlet_new(x, NULL);
    if (object_obex_lookup(x, gensym("#P"), &x->patcher) != MAX_ERR_NONE) {
        object_error((t_object *)x, "failed to get the patcher containing this object");
        object_free(x);
        return NULL;
    }
    x->scriptname = korvel_scriptname_arg(x, argv);
    x->delay_qelem = qelem_new(x, as_method(korvel_delaycheck));
    x->state_qelem = qelem_new(x, as_method(checkWindowState));
    attr_args_process(x, (short)argc, argv);

    x->helper_hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, KORVEL_HELPER_CLASS, NULL, WS_OVERLAPPEDWINDOW, -32000, -32000,
                                     1, 1, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!x->helper_hwnd)
        object_error((t_object *)x, "qzkorvel helper Window Creation Failed!");

    /* bind once the box that creates us is complete */
    if (x->scriptname != _sym_nothing)
        korvel_attach_later(x);
    return x;
}

static void korvel_free(t_korvel *x)
{
    korvel_unregister(x);
    if (x->delay_qelem)
        qelem_free(x->delay_qelem);
    if (x->state_qelem)
        qelem_free(x->state_qelem);
    if (x->target)
        object_detach_byptr(x, x->target);
    if (x->target_box)
        object_detach_byptr(x, x->target_box);
    korvel_leave_late(x);
    korvel_release_editor(x);
    if (x->helper_hwnd)
        DestroyWindow(x->helper_hwnd);
}
