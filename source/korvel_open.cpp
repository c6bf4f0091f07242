/* Editor window control: opening the plug-in editor, capturing its window
 * by position, and placing it. */
#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

#include "korvel.h"

/* Truncates toward zero into 32 bits, clamping what does not fit. */
static int32_t korvel_trunc32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return INT32_MAX;
    if (v <= -2147483648.0)
        return INT32_MIN;
    return (int32_t)v;
}

/* The window system keeps window coordinates within 16 bits; a point beyond
 * them cannot be reached, and frame arithmetic on it would overflow. */
static int32_t korvel_screen_coord(int64_t v)
{
    return (int32_t)std::clamp<int64_t>(v, KORVEL_COORD_MIN, KORVEL_COORD_MAX);
}

/* ---- open and capture ---- */

/* Screen position of hwnd's client-area origin; on failure the point stays
 * (0, 0). */
static POINT korvel_client_origin(t_korvel *x, HWND hwnd)
{
    POINT p = {};
    if (!ClientToScreen(hwnd, &p))
        object_error((t_object *)x, "error converting client to screen coords");
    return p;
}

/* The scratch of one open, handed to the enumerations through their
 * parameter. The table holds the windows that were on the requested point
 * before the vst object opened its editor; a point more crowded than the
 * table leaves some unrecorded. A new window comes in above the old ones,
 * so on such a point an unrecorded window is new only when it is met before
 * the last recorded one, and when the point holds one window more than
 * before. Where the vst object puts its editor elsewhere (its host reads
 * the point in other units, or rounds it), the one window of our process
 * that was not shown before is the editor: the second table holds those
 * that were. An open allocates nothing, however crowded the point: the
 * scan lives on its stack. */
struct korvel_scan {
    t_korvel *x;
    HWND known_windows[KORVEL_KNOWN_WINDOWS]; /* the windows on the point before the open */
    int known;                                /* entries of known_windows in use */
    int crowd;         /* the windows on the point before the open, all of them */
    int crowd_now;     /* those the enumeration under way has met */
    bool passed_last;  /* the enumeration under way has met the last recorded one */
    HWND candidate;    /* on a crowded point: the first unrecorded window met before that */
    int32_t px, py;    /* the point the editor opens on */
    bool centre;       /* the editor is to be centred once captured */
    t_object *owner;   /* the vst object asked to open */
    t_uint32 asked;    /* the host's clock then (systime_ms) */
    bool closed;       /* a close came while the window was awaited */
    DWORD process;     /* our process, whose windows the second table holds */
    HWND shown_windows[KORVEL_KNOWN_WINDOWS]; /* our process's windows shown before the open */
    int shown;         /* entries of shown_windows in use */
    int shown_crowd;   /* our process's windows shown before the open, all of them */
    int appeared;      /* those of our process shown now and not before */
};

static bool korvel_was_known(const korvel_scan &scan, HWND hwnd)
{
    for (int i = 0; i < scan.known; i++) {
        if (scan.known_windows[i] == hwnd)
            return true;
    }
    return false;
}

/* The window's client origin is on the point, or its frame's is: a host
 * may place the frame there. The frame's origin is never right of or below
 * the client's, so most windows need no second call. */
static bool korvel_on_point(const korvel_scan &scan, HWND hwnd)
{
    POINT p = korvel_client_origin(scan.x, hwnd);
    if (p.x == scan.px && p.y == scan.py)
        return true;
    RECT frame = {};
    return p.x >= scan.px && p.y >= scan.py && GetWindowRect(hwnd, &frame) && frame.left == scan.px &&
           frame.top == scan.py;
}

/* A shown window of our process: never another application's. */
static bool korvel_ours(const korvel_scan &scan, HWND hwnd)
{
    DWORD process = 0;
    return GetWindowThreadProcessId(hwnd, &process) && process == scan.process && IsWindowVisible(hwnd);
}

static bool korvel_was_shown(const korvel_scan &scan, HWND hwnd)
{
    for (int i = 0; i < scan.shown; i++) {
        if (scan.shown_windows[i] == hwnd)
            return true;
    }
    return false;
}

static BOOL CALLBACK korvel_enumknown(HWND hwnd, LPARAM lp)
{
    korvel_scan *scan = (korvel_scan *)lp;
    if (korvel_ours(*scan, hwnd)) {
        scan->shown_crowd++;
        if (scan->shown < KORVEL_KNOWN_WINDOWS)
            scan->shown_windows[scan->shown++] = hwnd;
    }
    if (!korvel_on_point(*scan, hwnd))
        return TRUE;
    scan->crowd++;
    if (scan->known < KORVEL_KNOWN_WINDOWS)
        scan->known_windows[scan->known++] = hwnd;
    return TRUE;
}

/* The frame made anew for the tool window's smaller caption, around the
 * content as it is: else the window system does so at the editor's first
 * resize, and the content moves. */
static void korvel_fit_frame(HWND hwnd)
{
    RECT r = {};
    if (!GetClientRect(hwnd, &r))
        return;
    const DWORD style = (DWORD)GetWindowLongPtrA(hwnd, GWL_STYLE);
    const DWORD ex = (DWORD)GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    if (!AdjustWindowRectEx(&r, style, FALSE, ex))
        return;
    SetWindowPos(hwnd, NULL, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

/* Makes the captured editor a topmost tool window, without a taskbar
 * button. */
static void korvel_make_tool(t_korvel *x, HWND hwnd)
{
    LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    if (!SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex & ~(LONG_PTR)WS_EX_APPWINDOW) && x->debug)
        error("error setting & ~WS_EX_APPWINDOW");
    ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    if (!SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex | (LONG_PTR)WS_EX_TOOLWINDOW) && x->debug)
        error("error setting | WS_EX_TOOLWINDOW");
    korvel_window_pos(hwnd, HWND_TOPMOST, KORVEL_SWP_TOPMOST);
    korvel_fit_frame(hwnd);
}

/* Takes hwnd for the editor. */
static void korvel_take(t_korvel *x, HWND hwnd)
{
    x->editor_hwnd = hwnd;
    korvel_make_tool(x, hwnd);
}

static BOOL CALLBACK korvel_enumnew(HWND hwnd, LPARAM lp)
{
    korvel_scan *scan = (korvel_scan *)lp;
    if (!korvel_on_point(*scan, hwnd))
        return TRUE;
    scan->crowd_now++;
    if (korvel_was_known(*scan, hwnd)) {
        scan->passed_last |= hwnd == scan->known_windows[KORVEL_KNOWN_WINDOWS - 1];
        return TRUE;
    }
    /* the point held no more windows than the table */
    if (scan->crowd <= KORVEL_KNOWN_WINDOWS) {
        korvel_take(scan->x, hwnd);
        return FALSE;
    }
    if (!scan->passed_last && !scan->candidate)
        scan->candidate = hwnd;
    return TRUE;
}

static BOOL CALLBACK korvel_enumappeared(HWND hwnd, LPARAM lp)
{
    korvel_scan *scan = (korvel_scan *)lp;
    if (!korvel_ours(*scan, hwnd) || korvel_was_shown(*scan, hwnd))
        return TRUE;
    scan->appeared++;
    scan->candidate = hwnd;
    return TRUE;
}

/* Looks for the one window of our process shown since the open; with more
 * than the table held before, which are new cannot be told. */
static bool korvel_find_appeared(korvel_scan *scan)
{
    scan->appeared = 0;
    scan->candidate = NULL;
    if (scan->shown_crowd > KORVEL_KNOWN_WINDOWS || !EnumWindows(korvel_enumappeared, (LPARAM)scan) ||
        scan->appeared != 1)
        return false;
    korvel_trace(scan->x, "open: the editor is not on the point, taking the window that appeared");
    korvel_take(scan->x, scan->candidate);
    return true;
}

/* Looks for the new window on the point, else anywhere; true when one is
 * taken (or the enumeration failed). On a point more crowded than the
 * table, another application restacking its own windows can bring an
 * unrecorded one up where a new one would be: a window is taken only when
 * the point holds one more than before. */
static bool korvel_find_new(korvel_scan *scan)
{
    scan->crowd_now = 0;
    scan->passed_last = false;
    scan->candidate = NULL;
    if (!EnumWindows(korvel_enumnew, (LPARAM)scan))
        return true;
    if (!scan->candidate || scan->crowd_now != scan->crowd + 1)
        return korvel_find_appeared(scan);
    korvel_take(scan->x, scan->candidate);
    return true;
}

/* Checks a requested position against today's displays; returns whether
 * to centre. */
static bool korvel_settle_position(t_korvel *x)
{
    if (x->win_x == KORVEL_CENTRE_SENTINEL) {
        x->win_x = KORVEL_SUBSTITUTE_POS;
        x->win_y = KORVEL_SUBSTITUTE_POS;
        return true;
    }
    if (korvel_in_view(x->win_x, x->win_y)) {
        korvel_trace(x, "predefined POS is valid");
        return false;
    }
    korvel_trace(x, "predefined POS is out of view, open centered");
    x->win_x = KORVEL_SUBSTITUTE_POS;
    x->win_y = KORVEL_SUBSTITUTE_POS;
    return true;
}

/* Binds to obj, the object our scripting name names. A report runs the
 * patch: false when afterwards the record is gone or the name no longer
 * names the object bound to. */
static bool korvel_bind_named(t_korvel *x, t_object *obj)
{
    if (x->target == obj)
        return true;
    korvel_unbind(x);
    korvel_hold hold(x);
    korvel_bind_now(x);
    if (!hold.alive())
        return false;
    if (x->target && x->target == korvel_named_object(x))
        return true;
    korvel_trace(x, "open: the patch changed the binding while it was reported");
    return false;
}

/* The vst object carrying our scripting name, bound to, with a plug-in
 * loaded; NULL, said on the console, when either is missing, and
 * NULL when the binding's report changed the binding (the record may then
 * be gone). */
static t_object *korvel_bind_plugin(t_korvel *x)
{
    t_object *obj = korvel_named_object(x);
    if (!obj) {
        object_error((t_object *)x, "can't find the vst object with this scriptingname in this patcher (%s)",
                     korvel_text(x->scriptname));
        korvel_unbind(x);
        return NULL;
    }
    if (!korvel_bind_named(x, obj))
        return NULL;
    /* the object named now: the report may have replaced the one found */
    if (!korvel_instance(x)) {
        object_error((t_object *)x, "open: No plugin loaded.");
        return NULL;
    }
    return x->target;
}

/* Takes the point the message gives, if any, and settles where the editor
 * opens; false for a point that is not numbers. */
static bool korvel_settle_request(t_korvel *x, long argc, t_atom *argv, bool *centre)
{
    if (argc >= 2 && argv) {
        double fx = atom_getfloat(argv);
        double fy = atom_getfloat(argv + 1);
        if (std::isnan(fx) || std::isnan(fy)) {
            object_error((t_object *)x, "open: coordinates are not numbers");
            return false;
        }
        x->win_x = korvel_trunc32(fx);
        x->win_y = korvel_trunc32(fy);
    }
    *centre = korvel_settle_position(x);
    return true;
}

/* Moves the editor's frame so that its client origin lands on the point
 * (win_x, win_y), whatever its caption and borders. */
static void korvel_move_client(t_korvel *x)
{
    POINT o = {};
    MapWindowPoints(x->editor_hwnd, NULL, &o, 1);
    RECT frame = {};
    GetWindowRect(x->editor_hwnd, &frame);
    int32_t fx = korvel_screen_coord((int64_t)x->win_x + frame.left - o.x);
    int32_t fy = korvel_screen_coord((int64_t)x->win_y + frame.top - o.y);
    SetWindowPos(x->editor_hwnd, NULL, fx, fy, 0, 0, KORVEL_SWP_MOVE);
}

/* The captured editor: its client origin on the point (or centred), the
 * observer on it. */
static void korvel_captured(t_korvel *x, t_object *obj, bool centre)
{
    korvel_trace(x, "FOUND NEW OPEN WINDOW --> attach");
    x->editor_owner = obj;
    POINT o = korvel_client_origin(x, x->editor_hwnd);
    if (o.x != x->win_x || o.y != x->win_y)
        korvel_move_client(x);
    if (centre) {
        t_atom av[2];
        atom_setlong(av, KORVEL_CENTRE_SENTINEL);
        atom_setlong(av + 1, 0);
        korvel_pos(x, NULL, 2, av);
    }
    korvel_observe(x);
}

void korvel_drop_late(t_korvel *x)
{
    sysmem_freeptr(x->late_scan);
    x->late_scan = NULL;
}

/* The vst object is going: its window will not come, and its address may
 * come back as another object's. */
void korvel_forget_late(t_korvel *x, const void *owner)
{
    if (x->late_scan && x->late_scan->owner == owner)
        korvel_drop_late(x);
}

/* A close that comes while the window is awaited closes it once it comes. */
bool korvel_close_awaited(t_korvel *x)
{
    if (!x->late_scan || x->late_scan->owner != x->target)
        return false;
    korvel_trace(x, "close: the editor awaited is closed when it comes");
    x->late_scan->closed = true;
    return true;
}

/* The awaited window came: captured, then reported (a pass late already),
 * or closed at once if a close came meanwhile. */
static void korvel_late_captured(t_korvel *x)
{
    const bool centre = x->late_scan->centre;
    const bool closed = x->late_scan->closed;
    korvel_drop_late(x);
    korvel_captured(x, x->target, centre);
    if (closed)
        korvel_close(x, NULL, 0, NULL);
    else
        checkWindowState(x);
}

/* An open whose window has not come: looked for again on the next passes
 * for a bounded time of the host's clock, then said once. It is looked for
 * only while the record is bound to the object asked (not while that box
 * is renamed away). */
static void korvel_capture_late(t_korvel *x)
{
    korvel_scan *scan = x->late_scan;
    if (!scan)
        return;
    if (x->editor_hwnd) {
        korvel_drop_late(x);
        return;
    }
    if (x->target == scan->owner && korvel_find_new(scan)) {
        korvel_late_captured(x);
        return;
    }
    if (systime_ms() - scan->asked < (t_uint32)KORVEL_LATE_MS) {
        korvel_defer_call<korvel_capture_late>(x);
        return;
    }
    const bool closed = scan->closed;
    korvel_drop_late(x);
    if (!closed)
        error("critical: NEW WINDOW NOT FOUND");
}

/* Keeps the scan of an open whose window is not there yet for the next
 * passes, and looks again then; only such an open allocates. */
static void korvel_await(t_korvel *x, const korvel_scan &scan, const char *trace)
{
    korvel_drop_late(x);
    x->late_scan = (korvel_scan *)sysmem_newptr(sizeof(korvel_scan));
    if (!x->late_scan) {
        error("critical: NEW WINDOW NOT FOUND");
        return;
    }
    *x->late_scan = scan;
    korvel_trace(x, trace);
    korvel_defer_call<korvel_capture_late>(x);
}

/* Awaited windows whose record went (its box retyped or deleted): the next
 * record bound to the object asked takes the wait over. Kept as copies in
 * the module's own memory, which goes with the module: nothing is left to
 * the host's allocator when Max quits with a wait pending. Module-wide,
 * under its lock for each change. */
static std::mutex korvel_orphans_lock;
static std::vector<korvel_scan> korvel_orphans;

/* Leaves the record's wait, if any, to the next record bound to its object;
 * one whose time is over goes. */
void korvel_leave_late(t_korvel *x)
{
    if (!x->late_scan)
        return;
    const t_uint32 now = systime_ms();
    {
        std::lock_guard<std::mutex> hold(korvel_orphans_lock);
        korvel_orphans.erase(std::remove_if(korvel_orphans.begin(), korvel_orphans.end(),
                                            [now](const korvel_scan &s) {
                                                return now - s.asked >= (t_uint32)KORVEL_LATE_MS;
                                            }),
                             korvel_orphans.end());
        korvel_orphans.push_back(*x->late_scan);
    }
    korvel_drop_late(x);
}

/* Takes over the wait a record of the target left, if any and still on
 * time. */
void korvel_inherit_late(t_korvel *x)
{
    korvel_scan scan;
    const t_uint32 now = systime_ms();
    {
        std::lock_guard<std::mutex> hold(korvel_orphans_lock);
        auto found = std::find_if(korvel_orphans.begin(), korvel_orphans.end(), [x, now](const korvel_scan &s) {
            return s.owner == x->target && now - s.asked < (t_uint32)KORVEL_LATE_MS;
        });
        if (found == korvel_orphans.end())
            return;
        scan = *found;
        korvel_orphans.erase(found);
    }
    scan.x = x;
    x->win_x = scan.px;
    x->win_y = scan.py;
    korvel_await(x, scan, "open: waiting for the editor window another object asked for");
}

/* Has the vst object open its editor on the settled point and captures the
 * window that was not there before, now or over the next passes. */
static void korvel_capture(t_korvel *x, t_object *obj, bool centre)
{
    korvel_scan scan = {};
    scan.x = x;
    scan.px = x->win_x;
    scan.py = x->win_y;
    scan.centre = centre;
    scan.owner = obj;
    scan.process = GetCurrentProcessId();
    EnumWindows(korvel_enumknown, (LPARAM)&scan);
    korvel_hold hold(x);
    /* the vst object takes the point in the host's units */
    t_pt at = korvel_host_point(x->win_x, x->win_y);
    korvel_send(obj, _sym_open, (void *)(t_atom_long)std::lround(at.x), (void *)(t_atom_long)std::lround(at.y));
    if (!hold.holds())
        return;
    scan.asked = systime_ms();
    if (korvel_find_new(&scan))
        korvel_captured(x, obj, centre);
    else
        korvel_await(x, scan, "open: waiting for the editor window");
}

/* The editor its host hid when it was closed, shown again on the point. */
static bool korvel_reopen_parked(t_korvel *x, t_object *obj, bool centre)
{
    HWND hwnd = korvel_take_closed(obj);
    if (!hwnd)
        return false;
    korvel_trace(x, "open: showing the editor closed before");
    x->editor_hwnd = hwnd;
    korvel_make_tool(x, hwnd);
    /* shown and activated, as a new editor is */
    ShowWindow(hwnd, SW_SHOW);
    korvel_captured(x, obj, centre);
    return true;
}

/* Puts the observer on the captured editor and reports its state. */
void korvel_observe(t_korvel *x)
{
    x->hidden = 0;
    korvel_trace(x, "--> attach window observer");
    if (x->editor_hwnd) {
        if (SetWindowSubclass(x->editor_hwnd, korvel_subclassproc, (UINT_PTR)x, 0))
            /* the observer hears of the host's activation from now on only:
             * an editor opened in the background may have brought it back */
            x->app_active = GetActiveWindow() != NULL;
        else if (x->debug)
            error("error attaching window observer");
    } else if (x->debug) {
        error("cannot start observer if there's no korvel opened");
    }
    qelem_set(x->state_qelem);
}

void korvel_open(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_forget_dead_window(x);
    /* its host closes it passes later: the open comes after that */
    if (korvel_still_closing(x)) {
        korvel_defer<korvel_open>(x, s, argc, argv);
        return;
    }
    if (x->editor_hwnd) {
        korvel_window_pos(x->editor_hwnd, HWND_TOPMOST, KORVEL_SWP_TOPMOST);
        korvel_keep_in_view(x);
        return;
    }
    /* none: said on the console, or the binding's report ran a patch that
     * freed this record */
    t_object *obj = korvel_bind_plugin(x);
    if (!obj)
        return;
    /* the report may have opened the editor through this record already */
    if (x->editor_hwnd || korvel_adopt(x)) {
        korvel_window_pos(x->editor_hwnd, HWND_TOPMOST, KORVEL_SWP_TOPMOST);
        korvel_keep_in_view(x);
        return;
    }
    if (x->late_scan && x->late_scan->owner == obj) {
        korvel_trace(x, "open: the editor window is still awaited");
        return;
    }
    /* its vst object opens no second editor: not ours, and not missing */
    if (korvel_held_elsewhere(x, obj)) {
        object_warn((t_object *)x, "open: another qzkorvel object holds this editor");
        return;
    }
    bool centre = false;
    if (!korvel_settle_request(x, argc, argv, &centre))
        return;
    if (!korvel_reopen_parked(x, obj, centre))
        korvel_capture(x, obj, centre);
}

/* ---- placement ---- */

struct korvel_size {
    int32_t cx, cy;
};

/* The editor's size on the screen: its window's once there is one (a host
 * may stretch it), else the plug-in's. */
static korvel_size korvel_editor_size(t_korvel *x, t_object *instance)
{
    RECT r = {};
    if (x->editor_hwnd && GetClientRect(x->editor_hwnd, &r))
        return korvel_size{r.right, r.bottom};
    t_rect e = {};
    object_attr_get_rect(instance, _sym_rect, &e);
    return korvel_size{korvel_trunc32(e.width), korvel_trunc32(e.height)};
}

/* Centres the editor on the work area of the display under the mouse, all
 * in Windows pixels. */
bool findCenteredPosForVST(t_korvel *x)
{
    t_object *instance = korvel_instance(x);
    if (!instance) {
        error("findCenteredPosForVST(): instance not valid!");
        return false;
    }
    korvel_trace(x, "finding centered pos for window");
    int mx = 0, my = 0;
    jmouse_getposition_global(&mx, &my);
    RECT d = korvel_work_area(t_pt{(double)mx, (double)my});
    const double dw = (double)d.right - d.left, dh = (double)d.bottom - d.top;
    korvel_size e = korvel_editor_size(x, instance);
    korvel_trace(x, "vstsize: %i %i ", (int)e.cx, (int)e.cy);
    if (e.cx > dw || e.cy > dh) {
        x->win_x = korvel_trunc32(d.left + 10.0);
        x->win_y = korvel_trunc32(d.top + 50.0);
        return true;
    }
    korvel_trace(x, "open centered");
    x->win_x = korvel_trunc32(d.left + (dw - e.cx) * 0.5);
    double y = d.top + (dh - e.cy) * 0.5;
    /* small editors sit a little above centre, nearly display-high ones a
     * little below it */
    if (dh * 0.5 - 100 > e.cy * 0.5)
        y -= 80;
    else if (e.cy * 0.5 > dh * 0.5 - 20)
        y += 20;
    x->win_y = korvel_trunc32(y);
    return true;
}

void korvel_pos(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_trace(x, "korvel_pos()");
    if (argc < 2 || !argv) {
        object_error(NULL, "missing arguments");
        return;
    }
    x->win_x = korvel_long32(atom_getlong(argv));
    x->win_y = korvel_long32(atom_getlong(argv + 1));
    /* a restored list still waiting opens here, and says so meanwhile */
    if (x->restored[KORVEL_VIS_ATOM] != KORVEL_VIS_NONE) {
        x->restored[0] = x->win_x;
        x->restored[1] = x->win_y;
    }
    korvel_adopt(x);
    /* without an instance there is no centred position: leave the window */
    if (x->editor_hwnd && (x->win_x != KORVEL_CENTRE_SENTINEL || findCenteredPosForVST(x))) {
        POINT o = {};
        MapWindowPoints(x->editor_hwnd, NULL, &o, 1);
        korvel_trace(x, "%i  %i", (int)o.x, (int)o.y);
        korvel_move_client(x);
    }
    qelem_set(x->state_qelem);
}

/* Moves the open editor to the place the record holds (a restored list's),
 * checked against the displays as an open checks it. */
void korvel_place(t_korvel *x)
{
    if (!x->editor_hwnd)
        return;
    if (korvel_settle_position(x)) {
        t_atom av[2];
        atom_setlong(av, KORVEL_CENTRE_SENTINEL);
        atom_setlong(av + 1, 0);
        korvel_pos(x, NULL, 2, av);
        return;
    }
    x->win_x = korvel_screen_coord(x->win_x);
    x->win_y = korvel_screen_coord(x->win_y);
    POINT o = korvel_client_origin(x, x->editor_hwnd);
    if (o.x != x->win_x || o.y != x->win_y)
        korvel_move_client(x);
}
