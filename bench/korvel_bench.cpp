/* Speed and memory of the editor control, natively against the simulated host
 * and window system:
 *   OpenClose/N      an open and a close of the editor with N windows of other
 *                    applications already on the requested point, which both
 *                    enumerations of an open have to look at;
 *   OpenFallback/N   the same with the editor opened off the point, found as
 *                    the one window of our process that appeared;
 *   Drag/M           M user moves of the editor, then one queue pass, which must
 *                    report the position once;
 *   OpenAllocations  the heap allocations of one open, split into those of the
 *                    host and window system and those of the module;
 *   MessageAllocations/<message>  the same for one public message sent as a
 *                    patch sends it (queued) and the queue pass that runs
 *                    it;
 *   Window.../N      the window system's own cost per move, z-order change,
 *                    creation with destruction, and enumerated window, with N
 *                    windows on the desktop: the same at 10,000 as at 100;
 *   PatchOpenClose/N opening a patch file of N comment boxes and closing it. */
#include <benchmark/benchmark.h>

#include <link.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <numeric>
#include <string>
#include <vector>

#include "simhost.h"
#include "simwin.h"
#include "testkit.h"

/* ---- counting allocations ----
 * Every operator new of the process comes here: the program's, the simulated
 * host's, the window system's and the module's, since the module and the
 * libraries bind operator new to the program's definition. */

namespace {

long g_allocs = 0;
long g_module_allocs = 0;
uintptr_t g_module_lo = 0, g_module_hi = 0;

void tally(void *caller)
{
    g_allocs++;
    const auto at = reinterpret_cast<uintptr_t>(caller);
    if (at >= g_module_lo && at < g_module_hi)
        g_module_allocs++;
}

void *counted(std::size_t size, void *caller)
{
    tally(caller);
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void *counted_nothrow(std::size_t size, void *caller) noexcept
{
    tally(caller);
    return std::malloc(size ? size : 1);
}

void *counted_aligned(std::size_t size, std::align_val_t align, void *caller)
{
    tally(caller);
    const auto a = static_cast<std::size_t>(align);
    void *p = std::aligned_alloc(a, (size + a - 1) / a * a + (size ? 0 : a));
    if (!p)
        throw std::bad_alloc();
    return p;
}

} // namespace

void *operator new(std::size_t size) { return counted(size, __builtin_return_address(0)); }
void *operator new[](std::size_t size) { return counted(size, __builtin_return_address(0)); }
void *operator new(std::size_t size, std::align_val_t align)
{
    return counted_aligned(size, align, __builtin_return_address(0));
}
void *operator new[](std::size_t size, std::align_val_t align)
{
    return counted_aligned(size, align, __builtin_return_address(0));
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return counted_nothrow(size, __builtin_return_address(0));
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return counted_nothrow(size, __builtin_return_address(0));
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

const std::string &module_file()
{
    static const std::string file = [] {
        const std::string path = testkit::World::module_path();
        return path.substr(path.find_last_of('/') + 1);
    }();
    return file;
}

/* The loaded module's code, so that an allocation whose caller lies in it
 * counts as the module's own. */
void find_module_range()
{
    g_module_lo = g_module_hi = 0;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *) {
            const char *name = info->dlpi_name ? std::strrchr(info->dlpi_name, '/') : nullptr;
            if (!name || module_file() != name + 1)
                return 0;
            for (int i = 0; i < info->dlpi_phnum; i++) {
                const ElfW(Phdr) &ph = info->dlpi_phdr[i];
                if (ph.p_type != PT_LOAD || !(ph.p_flags & PF_X))
                    continue;
                g_module_lo = info->dlpi_addr + ph.p_vaddr;
                g_module_hi = g_module_lo + ph.p_memsz;
            }
            return 1;
        },
        nullptr);
}

/* ---- the patch every benchmark starts from ---- */

constexpr int kX = 100, kY = 200;

t_atom g_point[2];

/* A vst~ "synth" hosting a 640x480 plug-in and a bound qzkorvel; with
 * `windows` windows of other applications whose client origin is the point
 * the editor is asked to open on. */
t_object *setup(testkit::World &w, int windows)
{
    w.plugin("PLUG", 640, 480, 64);
    w.box("vst~ PLUG", "synth");
    w.box("qzkorvel synth");
    w.pass();
    for (int i = 0; i < windows; i++)
        w.foreign_window(kX, kY, 300, 200);
    /* the user brings the patch up and clicks into it, as to send "open":
     * closing the editor then hands activation back to the patch's window
     * below it, not to another application's, which would send the host to
     * the background and make every open bring it back */
    HWND patch = (HWND)simhost_patcher_window(w.patcher());
    SetWindowPos(patch, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    w.user_activate(patch);
    w.lines();
    atom_setlong(g_point, kX);
    atom_setlong(g_point + 1, kY);
    return w.object("qzkorvel#1");
}

/* Opens through the module, at once; false when no editor came up. */
bool open_editor(testkit::World &w, t_object *korvel)
{
    simhost_send(korvel, "direct_open", 2, g_point);
    return simhost_vst_editor(w.object("synth")) != nullptr;
}

void close_editor(t_object *korvel)
{
    simhost_send(korvel, "direct_close", 0, nullptr);
}

void open_close(benchmark::State &state)
{
    testkit::World w;
    t_object *korvel = setup(w, (int)state.range(0));
    /* the first open validates the point; later ones do not */
    if (!open_editor(w, korvel)) {
        state.SkipWithError("the editor did not open");
        return;
    }
    close_editor(korvel);
    w.settle();
    w.lines();
    /* No queue pass between cycles: the report's queue element stays set, so
     * that the cycle times the open and the close alone (Drag times the
     * report), without the timer's own cost of pausing for a pass. The module
     * asks the vst object to close only an editor it has captured. */
    simhost_calls_clear();
    for (auto _ : state) {
        simhost_send(korvel, "direct_open", 2, g_point);
        close_editor(korvel);
    }
    if (simhost_call_count("msg:wclose") != (long)state.iterations() || w.editor()) {
        state.SkipWithError("an open captured no editor");
        return;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("time per open + close");
}
BENCHMARK(open_close)->Name("OpenClose")->Arg(0)->Arg(64)->Arg(300);

/* OpenClose with the editor opened 30 pixels off the point, as by a host that
 * reads the point in other units: no window comes on the point, and the one
 * window of our process shown since the open is taken and moved; the module
 * allocates nothing for it. */
void open_fallback(benchmark::State &state)
{
    testkit::World w;
    t_object *korvel = setup(w, (int)state.range(0));
    simhost_vst_misbehave(w.object("synth"), SIMHOST_VST_OFFSET, 30, 0);
    find_module_range();
    const bool opened = open_editor(w, korvel);
    close_editor(korvel);
    w.settle();
    w.lines();
    simhost_calls_clear();
    const long before_module = g_module_allocs;
    for (auto _ : state) {
        simhost_send(korvel, "direct_open", 2, g_point);
        close_editor(korvel);
    }
    if (!opened || simhost_call_count("msg:wclose") != (long)state.iterations() || w.editor()) {
        state.SkipWithError("an open captured no editor");
        return;
    }
    state.counters["module_allocs"] = double(g_module_allocs - before_module);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("time per open + close, the editor off the point");
}
BENCHMARK(open_fallback)->Name("OpenFallback")->Arg(0)->Arg(64)->Arg(300);

/* ---- large patches ---- */

/* A patch file of n comment boxes, as the host saves one. */
std::string comment_patch(long n)
{
    std::string text = "{\"patcher\": {\"fileversion\": 1, \"rect\": [0, 0, 800, 600], \"boxes\": [";
    for (long i = 1; i <= n; i++)
        text += std::string(i > 1 ? ", " : "") + "{\"box\": {\"id\": \"obj-" + std::to_string(i) +
                "\", \"maxclass\": \"comment\", \"text\": \"note " + std::to_string(i) + "\"}}";
    return text + "], \"lines\": []}}";
}

/* Opening a patch of N boxes and closing it again (the World's end closes
 * it); the target is well under 5 s for 40,000. */
void patch_open_close(benchmark::State &state)
{
    const std::string text = comment_patch(state.range(0));
    for (auto _ : state) {
        testkit::World w;
        w.open_patch(text, "comments.maxpat");
        w.settle();
        if (simhost_patcher_boxcount(w.patcher()) != state.range(0)) {
            state.SkipWithError("the patch did not open whole");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("time per open + close; items are boxes");
}
BENCHMARK(patch_open_close)->Name("PatchOpenClose")->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3);

/* ---- dragging ---- */

void drag(benchmark::State &state)
{
    const int moves = (int)state.range(0);
    testkit::World w;
    t_object *korvel = setup(w, 0);
    if (!open_editor(w, korvel)) {
        state.SkipWithError("the editor did not open");
        return;
    }
    w.settle();
    w.lines();
    HWND editor = w.editor();
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(editor, &frame);
    const testkit::Point origin = testkit::World::client_origin(editor);
    const int dx = frame.left - origin.x, dy = frame.top - origin.y;

    /* The pass's report is read from the host's event log, without pausing
     * the timer: a state list with the last position, and nothing else. */
    long passes = 0, reports = 0;
    char last[64];
    for (auto _ : state) {
        int x = kX, y = kY;
        for (int i = 0; i < moves; i++) {
            x = kX + (int)(passes + i) % 97;
            y = kY + i % 13;
            simwin_user_move(editor, x + dx, y + dy);
        }
        const int before = simhost_event_count();
        simhost_queue_pass();
        const int made = simhost_event_count() - before;
        passes++;
        reports += made;
        std::snprintf(last, sizeof last, "state %d %d 640 480 1", x, y);
        const simhost_event *ev = made ? simhost_event_get(before + made - 1) : nullptr;
        if (made != 1 || ev->kind != SIMHOST_OUTLET || std::strcmp(ev->text, last) != 0) {
            state.SkipWithError(("a pass after " + std::to_string(moves) + " moves made " + std::to_string(made) +
                                 " lines, the last: " + (ev ? ev->text : "none") + ", not " + last)
                                    .c_str());
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * moves);
    state.counters["states_per_pass"] = passes ? (double)reports / (double)passes : 0;
    state.SetLabel("items = user moves");
}
BENCHMARK(drag)->Name("Drag")->Arg(10)->Arg(100)->Arg(1000);

/* ---- allocations of an open ----
 * The host and the window system allocate during an open: the host's call log
 * and message dispatch, the vst object's editor window, the window system's
 * subclass record. To separate that from the module, a stand-in class makes
 * the same host and window calls in the same order as the module's open of a
 * known point (look up the box and its plug-in, enumerate the windows, ask
 * the vst object to open, enumerate again, make the new window a topmost tool
 * window, observe it, set the report's queue element), with nothing else.
 * What the module's open allocates beyond that is its own. The host's
 * containers grow now and then, and that growth lands on whichever open
 * happens to push past their capacity, so the two are compared by the median
 * open. Independently of the stand-in, every allocation called from the
 * module's code is counted too: that catches one made only now and then. */

long median(std::vector<long> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + (long)v.size() / 2, v.end());
    return v[v.size() / 2];
}

double mean(const std::vector<long> &v)
{
    return v.empty() ? 0 : (double)std::accumulate(v.begin(), v.end(), 0L) / (double)v.size();
}

/* The counters of an allocation benchmark, per unit counted ("open",
 * "message"); the benchmark fails when the module allocates of its own. */
void report_allocations(benchmark::State &state, const std::string &what, const std::string &unit,
                        const std::vector<long> &module, const std::vector<long> &standin, long caller_module)
{
    const long own = median(module) - median(standin);
    state.counters["allocs_per_" + unit] = mean(module);
    state.counters["host_and_windows"] = mean(standin);
    state.counters["module_own"] = (double)own;
    state.counters["called_from_module"] = (double)caller_module;
    state.SetLabel("counts per " + unit + "; the time is of no interest");
    if (own != 0 || caller_module != 0)
        state.SkipWithError((what + " allocates memory of its own: " + std::to_string(own) + " per " + unit +
                             " beyond the " + std::to_string(median(standin)) + " of the host and windows, " +
                             std::to_string(caller_module) + " called from the module in " +
                             std::to_string(module.size()) + " " + unit + "s")
                                .c_str());
}

struct t_standin {
    t_object ob;
    t_object *patcher;
    t_symbol *name;
    t_object *vst;
    void *qelem;
    HWND known[256]; /* as large as the module's table */
    HWND editor;
};

void standin_report(t_standin *) {}

/* As any object that makes a queue element, the stand-in frees it with
 * itself: the host refuses an object freed with one still allocated. */
void standin_free(t_standin *x)
{
    qelem_free(x->qelem);
}

LRESULT CALLBACK standin_subclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    if (msg == WM_DESTROY) {
        RemoveWindowSubclass(hwnd, standin_subclass, id);
        reinterpret_cast<t_standin *>(id)->editor = nullptr;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

bool at_point(HWND hwnd)
{
    POINT p = {0, 0};
    ClientToScreen(hwnd, &p);
    return p.x == kX && p.y == kY;
}

BOOL CALLBACK standin_known(HWND hwnd, LPARAM lp)
{
    t_standin *x = reinterpret_cast<t_standin *>(lp);
    if (!at_point(hwnd))
        return TRUE;
    for (HWND &slot : x->known) {
        if (!slot) {
            slot = hwnd;
            break;
        }
    }
    return TRUE;
}

BOOL CALLBACK standin_new(HWND hwnd, LPARAM lp)
{
    t_standin *x = reinterpret_cast<t_standin *>(lp);
    if (!at_point(hwnd))
        return TRUE;
    for (HWND known : x->known)
        if (known == hwnd)
            return TRUE;
    x->editor = hwnd;
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~(LONG_PTR)WS_EX_APPWINDOW);
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) | (LONG_PTR)WS_EX_TOOLWINDOW);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    return FALSE;
}

void standin_open(t_standin *x, t_symbol *, long argc, t_atom *argv)
{
    void *box = object_method_imp(x->patcher, gensym("getnamedbox"), x->name, 0, 0, 0, 0, 0, 0, 0);
    t_object *vst = box ? jbox_get_object((t_object *)box) : nullptr;
    x->vst = vst;
    if (!vst || !object_method_imp(vst, gensym("getinstance"), 0, 0, 0, 0, 0, 0, 0, 0) || argc < 2)
        return;
    const t_atom_long px = (t_atom_long)atom_getfloat(argv), py = (t_atom_long)atom_getfloat(argv + 1);
    /* the point checked against the display that holds it, in the host's
     * units, as an open must on a scaled desktop; then given to vst~ in them */
    t_rect work = {};
    jmonitor_getdisplayrect_forpoint(1, jmonitor_scale_pt(t_pt{(double)px, (double)py}), &work);
    jmonitor_unscale_pt(t_pt{work.x, work.y});
    jmonitor_unscale_pt(t_pt{work.x + work.width, work.y + work.height});
    const t_pt at = jmonitor_scale_pt(t_pt{(double)px, (double)py});
    for (HWND &slot : x->known)
        slot = nullptr;
    EnumWindows(standin_known, (LPARAM)x);
    object_method_imp(vst, gensym("open"), (void *)(t_atom_long)at.x, (void *)(t_atom_long)at.y, 0, 0, 0, 0, 0,
                      0);
    if (EnumWindows(standin_new, (LPARAM)x))
        return;
    SetWindowSubclass(x->editor, standin_subclass, (UINT_PTR)x, 0);
    qelem_set(x->qelem);
}

void standin_close(t_standin *x)
{
    if (x->editor)
        object_method_imp(x->vst, gensym("wclose"), 0, 0, 0, 0, 0, 0, 0, 0);
}

void standin_deferred(t_standin *, t_symbol *, long, t_atom *) {}

void standin_queue(t_standin *x, t_symbol *s, long argc, t_atom *argv)
{
    t_atom atoms[8];
    const long n = std::min(argc, 7L);
    std::copy(argv, argv + n, atoms);
    atom_setlong(atoms + n, 1);
    defer_low(x, as_method(standin_deferred), s, (short)(n + 1),
              atoms);
}

const char *const kQueued[] = {"open", "pos", "state", "hide", "show", "close", "clear"};

t_standin *standin_new_object(testkit::World &w)
{
    t_class *c = class_new("korvelstandin", nullptr, as_method(standin_free), (long)sizeof(t_standin), nullptr, 0);
    class_addmethod(c, as_method(standin_open), "direct_open",
                    A_GIMME, 0);
    for (const char *selector : kQueued)
        class_addmethod(c, as_method(standin_queue), selector,
                        A_GIMME, 0);
    class_register(gensym("box"), c);
    auto *x = static_cast<t_standin *>(object_alloc(c));
    x->patcher = w.patcher();
    x->name = gensym("synth");
    x->vst = nullptr;
    x->qelem = qelem_new(x, as_method(standin_report));
    x->editor = nullptr;
    return x;
}

void open_allocations(benchmark::State &state)
{
    testkit::World w;
    t_object *korvel = setup(w, (int)state.range(0));
    t_standin *standin = standin_new_object(w);
    find_module_range();
    if (g_module_lo == g_module_hi) {
        state.SkipWithError("the module's code was not found in the process");
        return;
    }
    /* a first round of both, so that symbols, classes and tables exist */
    bool opened = open_editor(w, korvel);
    close_editor(korvel);
    simhost_send(&standin->ob, "direct_open", 2, g_point);
    opened = opened && standin->editor;
    standin_close(standin);
    w.settle();
    w.lines();
    if (!opened) {
        state.SkipWithError("the editor did not open");
        return;
    }

    std::vector<long> module_opens, standin_opens;
    long caller_module = 0;
    for (auto _ : state) {
        long before = g_allocs, before_module = g_module_allocs;
        simhost_send(korvel, "direct_open", 2, g_point);
        const long by_module = g_allocs - before;
        caller_module += g_module_allocs - before_module;
        close_editor(korvel);

        before = g_allocs;
        simhost_send(&standin->ob, "direct_open", 2, g_point);
        const long by_standin = g_allocs - before;
        standin_close(standin);
        w.pass();
        w.lines();
        module_opens.push_back(by_module);
        standin_opens.push_back(by_standin);
    }
    report_allocations(state, "an open", "open", module_opens, standin_opens, caller_module);
}
/* 300 windows on the point: more than the module's table holds, and still an
 * open allocates nothing of its own. */
BENCHMARK(open_allocations)->Name("OpenAllocations")->Arg(0)->Arg(300)->Iterations(200);

/* ---- allocations of a message ----
 * A public message is queued with its atoms and a serial number. The host
 * allocates for the queue entry; the stand-in's message queues the same
 * number of atoms with defer_low and nothing else, so what the module's
 * sending allocates beyond that is its own. Allocations called from the
 * module's code are counted over the send and the pass that runs the
 * handler. Each message is followed, outside the counts, by what puts the
 * editor back as it was (open, shown, at the point). */

struct MessageCase {
    const char *selector;
    std::vector<long> args;
    const char *undo; /* a direct_ message, or NULL */
};

void message_allocations(benchmark::State &state, const MessageCase &m)
{
    testkit::World w;
    t_object *korvel = setup(w, 0);
    t_standin *standin = standin_new_object(w);
    find_module_range();
    std::vector<t_atom> atoms(m.args.size());
    for (size_t i = 0; i < m.args.size(); i++)
        atom_setlong(&atoms[i], m.args[i]);
    const long argc = (long)atoms.size();
    if (!open_editor(w, korvel) || g_module_lo == g_module_hi) {
        state.SkipWithError("the editor did not open, or the module's code was not found");
        return;
    }
    w.settle();
    w.lines();

    std::vector<long> module_sends, standin_sends;
    long caller_module = 0;
    for (auto _ : state) {
        long before = g_allocs, before_module = g_module_allocs;
        simhost_send(korvel, m.selector, argc, atoms.data());
        module_sends.push_back(g_allocs - before);
        simhost_queue_pass();
        caller_module += g_module_allocs - before_module;

        before = g_allocs;
        simhost_send(&standin->ob, m.selector, argc, atoms.data());
        standin_sends.push_back(g_allocs - before);
        if (m.undo)
            simhost_send(korvel, m.undo, 2, g_point);
        w.settle();
        w.lines();
    }
    report_allocations(state, "\"" + std::string(m.selector) + "\"", "message", module_sends, standin_sends,
                       caller_module);
}

const MessageCase kMessages[] = {
    {"open", {kX, kY}, "direct_close"},
    {"pos", {kX, kY}, nullptr},
    {"state", {kX, kY, 640, 480, 1}, nullptr},
    {"hide", {}, "direct_show"},
    {"show", {}, nullptr},
    {"close", {}, "direct_open"},
    {"clear", {}, "direct_open"},
};

const bool registered_messages = [] {
    for (const MessageCase &m : kMessages)
        benchmark::RegisterBenchmark((std::string("MessageAllocations/") + m.selector).c_str(),
                                     [m](benchmark::State &state) { message_allocations(state, m); })
            ->Iterations(100);
    return true;
}();

/* ---- the window system's cost per window ----
 * Win32 moves, restacks, makes and enumerates a window at the same cost
 * however many windows there are. Each row times one operation on a desktop
 * of N plain windows (an enumeration: per window enumerated); a row at
 * 10,000 windows also gives its time against the row at 100
 * (ratio_to_100), which is to stay within 1.5. Google Benchmark calls each
 * row a few times to find its number of iterations; the last call, the one
 * reported, sets the time of the row at 100 that the next row reads. */

LRESULT CALLBACK plain_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

/* N visible windows of one class on a fresh window system; the middle one. */
HWND desktop_of(int windows)
{
    simwin_reset();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = plain_proc;
    wc.lpszClassName = "bench";
    RegisterClassExA(&wc);
    HWND middle = nullptr;
    for (int i = 0; i < windows; i++) {
        HWND hwnd = CreateWindowExA(0, "bench", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, i % 1000, i % 700, 300, 200,
                                    nullptr, nullptr, nullptr, nullptr);
        if (i == windows / 2)
            middle = hwnd;
    }
    return middle;
}

/* Times the loop itself, per operation, so that the row at 10,000 can be
 * set against the row at 100 of the same benchmark. */
template <typename Op>
void per_window_cost(benchmark::State &state, const char *name, Op op, double per = 1)
{
    static std::map<std::string, double> at_100;
    const int windows = (int)state.range(0);
    HWND hwnd = desktop_of(windows);
    long i = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        op(hwnd, i++);
    const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
                      double(std::max<long>(i, 1)) / per;
    state.counters["ns_per_op"] = ns;
    if (windows == 100)
        at_100[name] = ns;
    else if (at_100.count(name))
        state.counters["ratio_to_100"] = ns / at_100[name];
    simwin_reset();
}

void window_move(benchmark::State &state)
{
    per_window_cost(state, "move", [](HWND hwnd, long i) {
        SetWindowPos(hwnd, nullptr, int(i % 2) * 10, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
}
BENCHMARK(window_move)->Name("WindowMove")->Arg(100)->Arg(10000);

void window_zorder(benchmark::State &state)
{
    per_window_cost(state, "zorder", [](HWND hwnd, long i) {
        SetWindowPos(hwnd, i % 2 ? HWND_BOTTOM : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
}
BENCHMARK(window_zorder)->Name("WindowZOrder")->Arg(100)->Arg(10000);

void window_create_destroy(benchmark::State &state)
{
    per_window_cost(state, "create", [](HWND, long) {
        DestroyWindow(CreateWindowExA(0, "bench", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                      nullptr, nullptr, nullptr));
    });
}
BENCHMARK(window_create_destroy)->Name("WindowCreateDestroy")->Arg(100)->Arg(10000);

void window_enumerate(benchmark::State &state)
{
    const long windows = state.range(0);
    per_window_cost(
        state, "enumerate",
        [](HWND, long) {
        long seen = 0;
        EnumWindows(
            [](HWND, LPARAM lp) {
                ++*reinterpret_cast<long *>(lp);
                return TRUE;
            },
            LPARAM(&seen));
        benchmark::DoNotOptimize(seen);
        },
        double(windows));
    state.SetItemsProcessed(state.iterations() * windows);
}
BENCHMARK(window_enumerate)->Name("WindowEnumerate")->Arg(100)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
