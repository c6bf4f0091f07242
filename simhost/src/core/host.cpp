/* The host's state and its life: start, reset, the call log, the console
 * and the loading of modules. */
#include "host.h"

#include "kit.h"

#include <atomic>
#include <cstdio>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace simhost {

namespace {

State *g_state;

void start()
{
    g_state = new State;
    fill_common_symbols();
    internal_classes_setup();
    kit::classes_setup();
}

typedef void (*ext_main_fn)(void *);

void unload(void *handle)
{
#ifdef _WIN32
    FreeLibrary((HMODULE)handle);
#else
    dlclose(handle);
#endif
}

/* The oldest live object that is not part of a class, or NULL. Oldest
 * first, so that an owner frees what it made before the host gets to it. */
t_object *oldest_loose_object()
{
    for (auto &entry : H().by_seq) {
        ObjInfo *i = info(entry.second);
        if (i && !i->class_owned && !i->freeing)
            return entry.second;
    }
    return nullptr;
}

} // namespace

State &H()
{
    if (!g_state)
        start();
    return *g_state;
}

std::recursive_mutex &host_lock()
{
    static std::recursive_mutex lock;
    return lock;
}

namespace {
thread_local int host_lock_depth = 0;
}

HostLock::HostLock(std::recursive_mutex &m) : m_(m)
{
    m_.lock();
    host_lock_depth++;
}

HostLock::~HostLock()
{
    host_lock_depth--;
    m_.unlock();
}

HostUnlock::HostUnlock() : depth_(host_lock_depth)
{
    for (int k = 0; k < depth_; k++)
        host_lock().unlock();
    host_lock_depth = 0;
}

HostUnlock::~HostUnlock()
{
    for (int k = 0; k < depth_; k++)
        host_lock().lock();
    host_lock_depth = depth_;
}

void count(const char *name)
{
    HostLock hold(host_lock());
    H().calls[name]++;
}

void count(const std::string &name)
{
    HostLock hold(host_lock());
    H().calls[name]++;
}

bool count_failing(const char *name)
{
    HostLock hold(host_lock());
    State &h = H();
    h.calls[name]++;
    auto it = h.failing.find(name);
    if (it == h.failing.end() || it->second == 0)
        return false;
    if (it->second > 0)
        --it->second;
    return true;
}

std::string vformat(const char *fmt, va_list ap)
{
    if (!fmt)
        return std::string();
    va_list copy;
    va_copy(copy, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (n <= 0)
        return std::string();
    std::string text((size_t)n + 1, '\0');
    std::vsnprintf(&text[0], text.size(), fmt, ap);
    text.resize((size_t)n);
    return text;
}

void event(int kind, t_object *obj, int outlet, const std::string &text)
{
    HostLock hold(host_lock());
    State &h = H();
    h.events.emplace_back();
    EventRec &rec = h.events.back();
    rec.text = text;
    t_class *c = class_of(obj);
    if (c)
        rec.classname = c->name->s_name;
    rec.ev.kind = kind;
    rec.ev.object = obj;
    rec.ev.classname = c ? rec.classname.c_str() : nullptr;
    rec.ev.outlet = outlet;
    rec.ev.text = rec.text.c_str();
}

namespace {

/* Outside the State, so that a reset keeps it. */
std::atomic<long> g_violations{0};

} // namespace

void violation(t_object *obj, const std::string &text)
{
    g_violations++;
    event(SIMHOST_VIOLATION, obj, 0, text);
}

} // namespace simhost

using namespace simhost;

long simhost_violation_count(void)
{
    return g_violations;
}

/* ---- lifecycle ---- */

void simhost_reset(void)
{
    State &h = H();
    kit::classes_teardown();
    foreign_windows_drop();
    /* a reset from inside a held object's method frees it all the same */
    for (auto &entry : h.objects)
        entry.second.held = 0;

    while (!h.patchers.empty()) {
        t_object *p = h.patchers.back();
        obj_free(p);
        if (!h.patchers.empty() && h.patchers.back() == p)
            h.patchers.pop_back();
    }
    while (t_object *x = oldest_loose_object())
        obj_free(x);

    queue_drop();
    /* what is left belongs to the classes: method, attribute and table
     * objects, freed while their classes still exist */
    while (!h.by_seq.empty()) {
        uint64_t seq = h.by_seq.begin()->first;
        obj_free(h.by_seq.begin()->second);
        if (!h.by_seq.empty() && h.by_seq.begin()->first == seq)
            h.by_seq.erase(h.by_seq.begin());
    }
    for (auto it = h.modules.rbegin(); it != h.modules.rend(); ++it)
        unload(*it);
    window_classes_drop();

    delete g_state;
    g_state = nullptr;
    start();
}

int simhost_load_module(const char *path)
{
    if (!path || !*path) {
        event(SIMHOST_ERROR, nullptr, 0, "can't load a module without a file name");
        return -1;
    }
#ifdef _WIN32
    HMODULE handle = LoadLibraryA(path);
    if (!handle) {
        event(SIMHOST_ERROR, nullptr, 0,
              std::string("can't load module ") + path + " (error " + std::to_string(GetLastError()) + ")");
        return -1;
    }
    ext_main_fn entry = reinterpret_cast<ext_main_fn>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(handle, "ext_main")));
#else
    void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char *why = dlerror();
        event(SIMHOST_ERROR, nullptr, 0, std::string("can't load module ") + path + ": " + (why ? why : "unknown"));
        return -1;
    }
    ext_main_fn entry = reinterpret_cast<ext_main_fn>(dlsym(handle, "ext_main"));
#endif
    if (!entry) {
        event(SIMHOST_ERROR, nullptr, 0, std::string("module ") + path + " has no ext_main");
        unload(handle);
        return -1;
    }
    H().modules.push_back((void *)handle);
    H().loading_module = true;
    entry(nullptr);
    H().loading_module = false;
    return 0;
}

/* ---- events and the call log ---- */

int simhost_event_count(void)
{
    HostLock hold(host_lock());
    State &h = H();
    return (int)(h.events_forgotten + h.events.size());
}

const simhost_event *simhost_event_get(int index)
{
    HostLock hold(host_lock());
    State &h = H();
    if (index < 0 || (size_t)index < h.events_forgotten || (size_t)index - h.events_forgotten >= h.events.size())
        return nullptr;
    return &h.events[(size_t)index - h.events_forgotten].ev;
}

void simhost_events_forget(int upto)
{
    HostLock hold(host_lock());
    State &h = H();
    for (; upto > 0 && (size_t)upto > h.events_forgotten && !h.events.empty(); h.events_forgotten++)
        h.events.pop_front();
}

long simhost_call_count(const char *name)
{
    if (!name)
        return 0;
    HostLock hold(host_lock());
    State &h = H();
    auto it = h.calls.find(name);
    return it == h.calls.end() ? 0 : it->second;
}

void simhost_calls_clear(void)
{
    HostLock hold(host_lock());
    H().calls.clear();
}

void simhost_fail(const char *call, int count)
{
    static const std::set<std::string> known = {"sysmem_newptr", "getbytes"};
    if (!call || !known.count(call)) {
        event(SIMHOST_ERROR, nullptr, 0, std::string("simhost_fail: no such call: ") + (call ? call : "(null)"));
        return;
    }
    HostLock hold(host_lock());
    H().failing[call] = count;
}

/* ---- console ---- */

void post(const char *fmt, ...)
{
    count("post");
    va_list ap;
    va_start(ap, fmt);
    event(SIMHOST_POST, nullptr, 0, vformat(fmt, ap));
    va_end(ap);
}

void error(const char *fmt, ...)
{
    count("error");
    va_list ap;
    va_start(ap, fmt);
    event(SIMHOST_ERROR, nullptr, 0, vformat(fmt, ap));
    va_end(ap);
}

void object_post(t_object *x, const char *s, ...)
{
    count("object_post");
    va_list ap;
    va_start(ap, s);
    event(SIMHOST_POST, x, 0, vformat(s, ap));
    va_end(ap);
}

void object_error(t_object *x, const char *s, ...)
{
    count("object_error");
    va_list ap;
    va_start(ap, s);
    event(SIMHOST_ERROR, x, 0, vformat(s, ap));
    va_end(ap);
}

void object_warn(t_object *x, const char *s, ...)
{
    count("object_warn");
    va_list ap;
    va_start(ap, s);
    event(SIMHOST_WARN, x, 0, vformat(s, ap));
    va_end(ap);
}
