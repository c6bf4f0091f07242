/* The simulated host's inner state and the helpers its parts share.
 *
 * Everything the host knows lives in one State, which simhost_reset()
 * throws away and builds anew. The public API functions count themselves in
 * the call log and then use the helpers here, which count nothing, so the
 * log shows what callers asked for and not how the host works inside. */
#ifndef SIMHOST_HOST_H
#define SIMHOST_HOST_H

#include "kit.h"
#include "simhost.h"
#include "win_api.h"

#include <cstdarg>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct outlet {
    t_object *owner;
    long index;
};

/* An inlet right of the left one, made by inlet_new or proxy_new. */
struct SimInlet {
    t_symbol *only;    /* inlet_new's message, or NULL for any */
    t_object *proxy;   /* the proxy object (proxy_new), or NULL */
    long id;           /* what a proxy writes into *stuffloc */
    long *stuffloc;
};

struct Method {
    t_symbol *name;
    method fn;
    std::vector<short> types;
    t_object *object; /* the method object of the "methods" table */
};

/* An attribute object, made by attr_offset_new. */
struct t_simattr {
    t_object ob;
    t_symbol *name;
    t_symbol *type;
    long flags;
    method get;
    method set;
    long offset;
    std::map<std::string, std::string> *attrattrs; /* "style" -> "onoff" */
};

struct maxclass {
    t_symbol *name;
    method mnew;
    method mfree;
    long size;
    std::vector<short> newtypes;
    std::vector<Method> methods; /* in the order added */
    std::vector<t_simattr *> attrs;
    t_hashtab *methodtab;
    t_symbol *name_space; /* NULL until registered */
    kit::PatchHooks hooks; /* what its objects keep in patch files */
    bool from_module;      /* made by a loaded module's ext_main: its objects come uncleared */
};

struct hashtab {
    t_object ob;
    std::unordered_map<t_symbol *, t_object *> *entries;
};

struct string {
    t_object ob;
    std::string *text;
};

namespace simhost {

template <typename F>
F from_method(method m)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)(void)>(m));
}

/* An attribute given to one object only (object_addattr_parse). */
struct DynAttr {
    t_symbol *type;
    std::string text;
    std::vector<t_atom> atoms;
};

struct Observer {
    t_object *x;
    t_symbol *name_space;
};

struct ObjInfo {
    t_class *cls = nullptr;
    uint64_t seq = 0;
    t_object *box = nullptr; /* the box holding the object: obex "#B" */
    std::vector<std::unique_ptr<outlet>> outlets;
    std::vector<Observer> observers; /* who observes this object */
    std::vector<t_object *> observing;
    std::map<t_symbol *, DynAttr> dynattrs;
    bool freeing = false;
    int held = 0;            /* kit::hold: a free meanwhile waits for the last release */
    bool free_put_off = false; /* freed while held */
    bool class_owned = false; /* method, attribute and table objects of a class */
    std::list<SimInlet> inlets; /* right of the left one, in order */
    long inlet_now = 0;  /* the inlet a message is arriving in (proxy_getinlet) */
    long ports_in = -1;  /* inlets: -1 the left one and those it made; -2 unknown; else how many its class has */
    long ports_out = -1; /* outlets: -1 those it made; -2 unknown; else how many its class has */
};

struct Qelem {
    void *obj;
    method fn;
    bool queued;
};

struct QueueEntry {
    uint64_t seq;
    Qelem *q; /* a queue element, or NULL for a deferred call */
    void *ob;
    method fn;
    t_symbol *s;
    std::vector<t_atom> atoms;
};

struct EventRec {
    simhost_event ev;
    std::string text;
    std::string classname;
};

/* A display and its work area in Windows pixels, and its scale (1.5 for
 * 150%). */
struct Display {
    t_rect rect;
    t_rect work;
    double scale = 1.0;
};

/* An object under construction: the box its obex answers with (NULL
 * outside a patcher), and the object object_alloc made for the class on
 * the thread that runs the constructor. */
struct Construct {
    t_object *box;
    t_class *cls;
    t_object *obj;
    std::thread::id thread;
};

struct Symbol {
    t_symbol sym;
    std::string text;
};

struct State {
    std::unordered_map<std::string, std::unique_ptr<Symbol>> symbols;
    std::unordered_set<const t_symbol *> symbol_set;

    std::vector<std::unique_ptr<maxclass>> classes;
    std::map<std::pair<t_symbol *, t_symbol *>, t_class *> registry; /* (namespace, name) */

    std::unordered_map<const void *, ObjInfo> objects;
    /* addresses of freed objects, until an object is made there again: a
     * call that names one uses a dangling pointer */
    std::unordered_set<const void *> freed;
    std::map<uint64_t, t_object *> by_seq;
    uint64_t next_seq = 1;
    std::unordered_set<const outlet *> outlets;

    std::deque<QueueEntry> queue;
    uint64_t next_qseq = 1;
    t_uint32 clock_ms = 0; /* systime_ms: SIMHOST_PASS_MS more at each pass */
    std::unordered_set<Qelem *> qelems;

    std::deque<EventRec> events;
    size_t events_forgotten = 0; /* events dropped from the front; indices count them */
    std::unordered_map<std::string, long> calls;
    std::unordered_map<std::string, int> failing; /* simhost_fail: calls still to fail, < 0 all */

    std::vector<Display> displays;
    int mouse_x = 0;
    int mouse_y = 0;

    std::vector<t_object *> patchers; /* top-level */
    std::vector<Construct> constructing;
    std::vector<void *> modules;
    bool loading_module = false; /* a module's ext_main is running */
    std::set<std::string> window_classes; /* registered by the host, unregistered at reset */
    std::vector<HWND> foreign; /* windows of other applications */

    t_class *patcher_class = nullptr;
    t_class *box_class = nullptr;
    t_class *view_class = nullptr;
    t_class *string_class = nullptr;
    t_class *method_class = nullptr;
    t_class *attr_class = nullptr;
    t_class *hashtab_class = nullptr;
    t_class *proxy_class = nullptr;
};

State &H();

/* Messages reach objects from the scheduler thread too, as in the host: the
 * cross-thread entry points (defer_low and queue elements, outlets and
 * messages sent to objects, the console, symbols) hold this lock while they
 * read the host's tables (a message only while its receivers are found, not
 * while they run), and so does every change of those tables (objects,
 * outlets, the queue, the event and call logs). The main thread reads
 * without it. Recursive: freeing an object holds it while the object leaves
 * the tables, which calls back into the host; not while the class's free
 * method runs, which Max does not keep from the scheduler thread. */
std::recursive_mutex &host_lock();
/* Holds the host's lock, and counts how deep this thread holds it. */
class HostLock {
public:
    explicit HostLock(std::recursive_mutex &m);
    ~HostLock();
    HostLock(const HostLock &) = delete;
    HostLock &operator=(const HostLock &) = delete;

private:
    std::recursive_mutex &m_;
};
/* Lets go of the host's lock, however deep this thread holds it, until it
 * goes out of scope: for a class's own code that the host runs, which
 * Max does not keep from the scheduler thread. */
class HostUnlock {
public:
    HostUnlock();
    ~HostUnlock();
    HostUnlock(const HostUnlock &) = delete;
    HostUnlock &operator=(const HostUnlock &) = delete;

private:
    int depth_;
};

void count(const char *name);
void count(const std::string &name);
/* Counts a call of name, and whether simhost_fail made it fail. */
bool count_failing(const char *name);

/* symbols and atoms */
t_symbol *sym(const char *text);
bool is_symbol(const void *s);
void fill_common_symbols();
std::string float_text(double v);
t_atom_long float_to_long(double v);
t_atom_long atom_value_long(const t_atom &a);
double atom_value_float(const t_atom &a);
/* One float format, "%f": as event lines show a float. Text a box shows
 * (box_word) drops its trailing zeros but keeps the point ("0.5", "1."). */
/* One atom, made without the counted atom_set calls. */
t_atom long_atom(t_atom_long n);
t_atom float_atom(double f);
t_atom sym_atom(t_symbol *s);
std::string atom_text(const t_atom &a);
std::string atoms_text(long argc, const t_atom *argv);
std::string box_word(const t_atom &a, bool quoted);
/* Atoms as box text; quoted, it reads back as the same atoms. */
std::string box_text(long argc, const t_atom *argv, bool quoted);
std::vector<t_atom> parse_atoms(const char *text);
t_atom *copy_to_host(const std::vector<t_atom> &atoms);

/* classes */
t_class *class_make(const char *name, method mnew, method mfree, long size, const std::vector<short> &types);
void class_method(t_class *c, method m, const char *name, const std::vector<short> &types);
t_simattr *attr_make(const char *name, t_symbol *type, method mget, method mset, long offset);
void class_attr(t_class *c, t_simattr *a);
void class_internals_setup();
const Method *find_method(t_class *c, t_symbol *name);
t_simattr *find_attr(t_class *c, t_symbol *name);
void class_registration(t_symbol *name_space, t_class *c);
t_class *class_lookup(t_symbol *name_space, t_symbol *name);

/* objects */
ObjInfo *info(const void *x);
/* True, after reporting a violation, when x is a freed object; `what` names
 * the call ("defer_low"). */
bool dangling(const void *x, const char *what);
t_class *class_of(const void *x);
bool is_a(const void *x, t_class *c);
t_object *obj_alloc(t_class *c);
t_max_err obj_free(void *x);
t_object *obj_make(const char *text, t_object *box);
void *dispatch_words(void *x, t_symbol *s, void *const words[8]);
/* The host's own objects whose inlets (and outlets) are not only the ones
 * made with outlet_new: outlets -1 counts those. */
void set_ports(void *x, long inlets, long outlets);
t_max_err send_typed(t_object *x, t_symbol *s, long argc, const t_atom *argv);

/* inlets: how many x has and has outlets (-1 where unknown), and a message
 * arriving in inlet n of x (0 the left) */
long inlet_count(const void *x);
long outlet_count(const void *x);
t_max_err send_inlet(t_object *x, long inlet, t_symbol *s, long argc, const t_atom *argv);
void inlets_free(t_object *x);
void proxy_class_setup();
void notify_observers(t_object *observed, t_object *sender, t_symbol *msg, void *data);
void string_class_setup();

/* attributes */
/* The attribute flags of the host (e_max_attrflags) that the simulation
 * honours: ATTR_GET_OPAQUE and ATTR_SET_OPAQUE. */
constexpr long GET_OPAQUE = 0x1, SET_OPAQUE = 0x2;
bool attr_read(t_object *x, t_symbol *name, std::vector<t_atom> &out);
/* The class attribute name of x has one of flags (ATTR_GET_OPAQUE...). */
bool attr_opaque(const void *x, t_symbol *name, long flags);
bool attr_opaque(t_class *c, t_symbol *name, long flags);
t_max_err attr_write(t_object *x, t_symbol *name, long argc, const t_atom *argv);
void dynattr_set(t_object *x, t_symbol *name, t_symbol *type, const std::string &text);

/* console */
void event(int kind, t_object *obj, int outlet, const std::string &text);
/* A breach of the host's contract (SIMHOST_VIOLATION), tied to obj. */
void violation(t_object *obj, const std::string &text);
std::string vformat(const char *fmt, va_list ap);

/* the host's own classes */
void internal_classes_setup();
bool is_box(const void *x);
bool is_patcher(const void *x);
t_object *box_patcher(t_object *box);
t_object *box_object(t_object *box);
void box_forget_object(t_object *box, t_object *obj);
t_symbol *box_varname(t_object *box);
struct Cord {
    t_object *dst; /* the box a cord leads to */
    long inlet;
};
void box_connections(t_object *box, long outlet, std::vector<Cord> &targets);
/* Every patch cord out of box, in the order they were made. */
struct CordOut {
    long outlet;
    t_object *dst;
    long inlet;
};
std::vector<CordOut> box_cords(t_object *box);
/* A box the host makes itself, not from its text (a message box holding
 * obj, a comment holding nothing); NULL when patcher is not a patcher. */
t_object *box_add(t_object *patcher, const char *maxclass, const char *varname, const char *text, t_object *obj);
void box_set_text(t_object *box, const std::string &text);
/* The box of patcher by scripting name, from the patcher's name map. */
t_object *patcher_named_box(t_object *patcher, t_symbol *name);
/* The id a patch file gave a box ("" for none), and the text of the patch
 * file opened last into a patcher, which saving it starts from; NULL for
 * what is no box or patcher. */
std::string *box_file_id(t_object *box);
std::string *patcher_file_text(t_object *patcher);
/* A top-level patcher's window shows the file's name as its title, and
 * its client area goes where the file's "rect" says. */
void patcher_window_place(t_object *patcher, const std::string &title, const std::vector<double> &rect);
/* Cuts the patch cord src:outlet -> dst:inlet; false when there is none. */
bool cord_cut(t_object *src_box, long outlet, t_object *dst_box, long inlet);

/* windows: each class registered once, at first use (the window system may
 * be reset after the host), and unregistered at reset */
void window_class(const char *name, WNDPROC proc);
void window_classes_drop();
/* A hidden overlapped window whose client area is exactly (x, y, w, h). */
HWND client_window(const char *cls, WNDPROC proc, const char *title, long long x, long long y, long long w,
                   long long h, DWORD exstyle = 0);
void foreign_windows_drop();

/* the queue */
void queue_drop();
struct QelemsLeft {
    size_t allocated;
    size_t set;
};
/* Frees the queue elements made for obj; how many there were, and set. */
QelemsLeft qelems_drop_owned(const void *obj);

} // namespace simhost

#endif
