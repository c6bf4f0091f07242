// The World's parts that are the same in both worlds: the host, the boxes and
// the transcript. The window actions that differ live in world_simwin.cpp and
// world_win32.cpp.
#include "testkit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "simhost.h"
#include "testkit_host.h"

namespace testkit {

namespace {

World *current = nullptr;

std::string first_word(const std::string &text)
{
    std::istringstream in(text);
    std::string word;
    in >> word;
    return word;
}

bool holds_vst(t_object *obj)
{
    t_symbol *cls = obj ? object_classname(obj) : nullptr;
    return cls && (std::strcmp(cls->s_name, "vst~") == 0 || std::strcmp(cls->s_name, "mcs.vst~") == 0);
}

} // namespace

World::World() : World(WorldOptions()) {}

World::World(const WorldOptions &options)
{
    if (current)
        throw Error("only one World can live at a time");
    simhost_variants_clear();
    for (const std::string &name : options.host)
        if (simhost_variant_set(name.c_str()) != MAX_ERR_NONE)
            throw Error("the host has no variant \"" + name + "\" (korvel-sim --host list shows them)");
    simhost_reset();
    reset_windows();
    const std::string path = module_path();
    if (simhost_load_module(path.c_str()) != 0) {
        std::string why;
        for (const std::string &line : lines())
            why += "\n  " + line;
        simhost_reset();
        reset_windows();
        throw Error("cannot load the module " + path + why);
    }
    patcher_ = simhost_patcher_new(nullptr, "Untitled");
    begin();
    current = this;
    sync();
}

// Freeing what is left may breach the host's contract too (an object that
// does not let go of what it holds); a destructor cannot throw, so that ends
// the program.
World::~World()
{
    const long violations = simhost_violation_count();
    object_free(patcher_);
    for (const int count = simhost_event_count(); events_seen_ < count; ++events_seen_)
        if (const simhost_event *ev = simhost_event_get(events_seen_))
            if (ev->kind == SIMHOST_VIOLATION)
                std::fprintf(stderr, "contract violation while the patcher closed: %s%s%s\n",
                             ev->classname ? ev->classname : "", ev->classname ? ": " : "", ev->text);
    simhost_reset();
    simhost_variants_clear();
    reset_windows();
    current = nullptr;
    if (simhost_violation_count() != violations)
        std::abort();
}

void World::default_display()
{
    if (!displays_)
        display_with_workarea(0, 0, 1920, 1080, 1040);
}

// "PATH/NAME" puts the box into the subpatcher that PATH names.
t_object *World::box(const std::string &text, const std::string &varname)
{
    default_display();
    const size_t slash = varname.rfind('/');
    const std::string name = slash == std::string::npos ? varname : varname.substr(slash + 1);
    t_object *patcher = patcher_;
    std::string parent;
    if (slash != std::string::npos) {
        const Entry &sub = entry(varname.substr(0, slash));
        t_symbol *cls = sub.object ? object_classname(sub.object) : nullptr;
        if (!cls || std::strcmp(cls->s_name, "patcher") != 0 || sub.id.empty())
            throw Error("box '" + varname.substr(0, slash) + "' is no subpatcher of the patch file");
        if (name.empty())
            throw Error("no scripting name after '" + varname.substr(0, slash + 1) + "'");
        patcher = sub.object;
        parent = (sub.parent.empty() ? "" : sub.parent + "/") + sub.id;
    }
    t_object *b = simhost_box_new(patcher, name.empty() ? nullptr : name.c_str(), text.c_str());
    if (!b)
        throw Error("the host made no box of '" + text + "'");
    adopt(b, first_word(text), "", parent);
    sync();
    return b;
}

World::Entry &World::adopt(t_object *box, const std::string &cls, const std::string &id, const std::string &parent)
{
    const int number = ++class_count_[cls];
    entries_.push_back(Entry{box, cls, number, true, nullptr, nullptr, 0, id, parent});
    return entries_.back();
}

// A top-level box's scripting name, then its file id; a path into
// subpatchers; a scripting name that one box alone carries inside the
// subpatchers; CLASS#N.
World::Entry *World::entry_named(const std::string &name)
{
    if (Entry *e = entry_in("", name))
        return e;
    if (name.find('/') != std::string::npos)
        return entry_by_path(name);
    if (Entry *e = entry_by_inner_varname(name))
        return e;
    return entry_by_number(name);
}

// The box in the patcher at path parent ("" for the top level) whose
// scripting name, else file id, is segment.
World::Entry *World::entry_in(const std::string &parent, const std::string &segment)
{
    if (segment.empty())
        return nullptr;
    for (Entry &e : entries_)
        if (e.alive && e.parent == parent && segment == simhost_box_varname(e.box))
            return &e;
    for (Entry &e : entries_)
        if (e.alive && e.parent == parent && !e.id.empty() && segment == e.id)
            return &e;
    return nullptr;
}

// "obj-3/obj-8", "obj-3/synth": one segment a level, from the top.
World::Entry *World::entry_by_path(const std::string &path)
{
    Entry *e = nullptr;
    std::string parent;
    size_t from = 0;
    while (from <= path.size()) {
        const size_t slash = std::min(path.find('/', from), path.size());
        e = entry_in(parent, path.substr(from, slash - from));
        if (!e)
            return nullptr;
        parent = (parent.empty() ? "" : parent + "/") + e->id;
        from = slash + 1;
    }
    return e;
}

// Patches often give boxes in different subpatchers the same scripting
// name; such a name is refused rather than one of them picked.
World::Entry *World::entry_by_inner_varname(const std::string &name)
{
    std::vector<Entry *> found;
    for (Entry &e : entries_)
        if (e.alive && !e.parent.empty() && name == simhost_box_varname(e.box))
            found.push_back(&e);
    if (found.size() < 2)
        return found.empty() ? nullptr : found[0];
    std::string paths;
    for (const Entry *e : found)
        paths += (paths.empty() ? "" : ", ") + e->parent + "/" + e->id;
    throw Error("box name '" + name + "' is ambiguous (" + paths + "); name one by its path");
}

World::Entry *World::entry_by_number(const std::string &name)
{
    const size_t hash = name.rfind('#');
    if (hash == std::string::npos || hash == 0 || hash + 1 == name.size())
        return nullptr;
    const std::string digits = name.substr(hash + 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
        return nullptr;
    const int number = std::stoi(digits);
    for (Entry &e : entries_)
        if (e.alive && e.number == number && e.cls == name.substr(0, hash))
            return &e;
    return nullptr;
}

World::Entry &World::entry(const std::string &name)
{
    Entry *e = entry_named(name);
    if (!e)
        throw Error("unknown box '" + name + "'");
    return *e;
}

t_object *World::find(const std::string &name)
{
    return entry(name).box;
}

t_object *World::object(const std::string &name)
{
    t_object *obj = jbox_get_object(find(name));
    if (!obj)
        throw Error("box '" + name + "' holds no object");
    return obj;
}

// Inside subpatchers the same scripting name may stand in many places, so
// there it comes with the path that leads to it.
std::string World::name_of(const Entry &e) const
{
    /* a box the patch deleted has no name left */
    const char *name = simhost_box_varname(e.box);
    const std::string varname = name ? name : "";
    if (varname.empty())
        return e.cls + "#" + std::to_string(e.number);
    return e.parent.empty() ? varname : e.parent + "/" + varname;
}

std::string World::name_of(t_object *box) const
{
    for (const Entry &e : entries_)
        if (e.alive && e.box == box)
            return name_of(e);
    throw Error("a box that this World did not make");
}

// A message whose first word is a number travels as int or float (one
// atom) or list (more), as a patch cord carries it; the number is then the
// first atom, not a selector.
void World::send(const std::string &box, const std::string &selector, const std::string &atoms)
{
    t_object *obj = object(box);
    t_atom *head = nullptr;
    const long heads = simhost_parse_atoms(selector.c_str(), &head);
    const bool number = heads == 1 && atom_gettype(head) != A_SYM;
    t_atom *argv = nullptr;
    const std::string text = number ? selector + " " + atoms : atoms;
    const long argc = text.empty() ? 0 : simhost_parse_atoms(text.c_str(), &argv);
    const char *typed = !number ? selector.c_str() : argc > 1 ? "list" : atom_gettype(head) == A_LONG ? "int" : "float";
    simhost_send(obj, typed, argc, argv);
    for (t_atom *made : {head, argv})
        if (made)
            sysmem_freeptr(made);
    sync();
}

void World::remove(const std::string &box)
{
    Entry &e = entry(box);
    sync();
    simhost_box_free(e.box);
    e.alive = false;
    e.editor = nullptr;
    sync();
    /* the lines of its freeing are named: the entry has served */
    entries_.erase(entries_.begin() + (&e - entries_.data()));
}

void World::rename(const std::string &box, const std::string &varname)
{
    if (simhost_box_rename(find(box), varname.c_str()) != MAX_ERR_NONE)
        throw Error("the host refused to rename '" + box + "' to '" + varname + "'");
    sync();
}

void World::retype(const std::string &box, const std::string &text)
{
    if (simhost_box_retype(find(box), text.c_str()) != MAX_ERR_NONE)
        throw Error("box '" + box + "' is in a patcher with no view to type in");
    sync();
}

long World::pass(int n)
{
    long ran = 0;
    for (int i = 0; i < n; ++i) {
        ran += simhost_queue_pass();
        sync();
    }
    return ran;
}

int World::settle(int max)
{
    int passes = 0;
    while (passes < max && simhost_queue_pending() > 0) {
        pass();
        ++passes;
    }
    return passes;
}

std::vector<std::string> World::vst_boxes()
{
    sync();
    std::vector<std::string> out;
    for (const Entry &e : entries_) {
        if (!e.alive || !holds_vst(e.object))
            continue;
        const std::string varname = simhost_box_varname(e.box);
        const std::string own = e.id.empty() ? varname : e.id;
        const std::string path = e.parent.empty() ? own : e.parent + "/" + own;
        void *instance = call(e.object, "getinstance");
        char *plugin = nullptr;
        if (instance)
            call(instance, "getpluginname", &plugin);
        out.push_back(e.cls + " " + (path.empty() ? "-" : path) + " name " + (varname.empty() ? "-" : varname) +
                      " plugin " + (plugin && *plugin ? plugin : "-"));
    }
    return out;
}

void World::click(const std::string &box)
{
    // read before the click, which may add boxes and move the entries
    const Entry &e = entry(box);
    const std::string path = e.id.empty() ? "" : e.parent.empty() ? e.id : e.parent + "/" + e.id;
    if (simhost_click(e.box) != MAX_ERR_NONE)
        throw Error("box '" + box + "' is no message box");
    clicked_ = path;
    sync();
}

// Max asks with a buffer of 512 bytes and lets the text take 500; the rest
// shows a text that ran past the limit.
std::string World::hover(const std::string &box, bool inlet, long n)
{
    t_object *obj = object(box);
    char text[512] = "";
    call(obj, "assist", find(box), (void *)(t_atom_long)(inlet ? ASSIST_INLET : ASSIST_OUTLET), (void *)(t_atom_long)n,
         text);
    sync();
    if (strnlen(text, sizeof text) > ASSIST_MAX_STRING_LEN)
        throw Error("the hover text of '" + box + "' is longer than " + std::to_string(ASSIST_MAX_STRING_LEN));
    return text;
}

std::vector<std::string> World::lines()
{
    sync();
    std::vector<std::string> out;
    out.swap(pending_);
    return out;
}

void World::display(int x, int y, int w, int h, int percent)
{
    display_with_workarea(x, y, w, h, h);
    simhost_display_set_scale(simhost_display_count() - 1, percent / 100.0);
}

void World::display_with_workarea(int x, int y, int w, int h, int workarea_h)
{
    simhost_display_add(t_rect{double(x), double(y), double(w), double(h)},
                        t_rect{double(x), double(y), double(w), double(workarea_h)});
    displays_ = true;
}

namespace {

// Display n of the scenario's numbering, from 1, as the host's index.
long display_index(int n)
{
    const long count = simhost_display_count();
    if (n < 1 || n > count)
        throw Error("no display " + std::to_string(n) + " (there are " + std::to_string(count) + ")");
    return n - 1;
}

} // namespace

void World::display_resize(int n, int x, int y, int w, int h, int percent)
{
    default_display();
    const t_rect r{double(x), double(y), double(w), double(h)};
    simhost_display_set(display_index(n), r, r);
    simhost_display_set_scale(display_index(n), percent / 100.0);
    broadcast_display_change();
    sync();
}

void World::display_remove(int n)
{
    default_display();
    if (simhost_display_remove(display_index(n)) != MAX_ERR_NONE)
        throw Error("the last display cannot go");
    broadcast_display_change();
    sync();
}

// WM_DISPLAYCHANGE's lParam: the width in the low word, the height above.
LPARAM World::primary_display_size()
{
    t_rect primary{0, 0, 0, 0};
    simhost_display_get(0, &primary, nullptr);
    return LPARAM((unsigned(primary.height) & 0xFFFFu) << 16 | (unsigned(primary.width) & 0xFFFFu));
}

void World::mouse(int x, int y)
{
    simhost_mouse_set(x, y);
}

void World::plugin(const std::string &name, int w, int h, long delay)
{
    simhost_plugin_declare(name.c_str(), w, h, delay);
}

t_object *World::vst(const std::string &name)
{
    t_object *obj = object(name);
    if (!holds_vst(obj))
        throw Error("box '" + name + "' holds no vst~ object");
    return obj;
}

void World::load(const std::string &box, const std::string &plugin)
{
    if (simhost_vst_load(vst(box), plugin.c_str()) != MAX_ERR_NONE)
        throw Error("'" + box + "' cannot load the plug-in '" + plugin + "'");
    sync();
}

void World::unload(const std::string &box)
{
    if (simhost_vst_load(vst(box), nullptr) != MAX_ERR_NONE)
        throw Error("'" + box + "' cannot unload its plug-in");
    sync();
}

void World::latency(const std::string &box, long delay)
{
    if (simhost_vst_set_delay(vst(box), delay) != MAX_ERR_NONE)
        throw Error("'" + box + "' has no plug-in loaded");
    sync();
}

void World::misbehave(const std::string &box, int behaviour, int dx, int dy)
{
    simhost_vst_misbehave(vst(box), behaviour, dx, dy);
}

void World::host(const std::string &variant)
{
    if (simhost_patcher_boxcount(patcher_) > 0)
        throw Error("host " + variant + ": host variants are chosen before the first box");
    if (simhost_variant_set(variant.c_str()) != MAX_ERR_NONE)
        throw Error("the host has no variant \"" + variant + "\" (korvel-sim --host list shows them)");
}

std::vector<std::pair<std::string, std::string>> World::host_variants()
{
    std::vector<std::pair<std::string, std::string>> all;
    for (long i = 0; i < simhost_variant_count(); ++i)
        all.emplace_back(simhost_variant_name(i), simhost_variant_about(i));
    return all;
}

HWND World::editor()
{
    sync();
    const Entry *latest = nullptr;
    for (const Entry &e : entries_)
        if (e.alive && e.editor && IsWindow(e.editor) && (!latest || e.opened > latest->opened))
            latest = &e;
    return latest ? latest->editor : nullptr;
}

// A qzkorvel box's target is the vst~ box that its first argument names in
// its own patcher, as the object itself looks it up.
HWND World::editor_of(const std::string &name, bool required)
{
    sync();
    const Entry *e = &entry(name);
    if (!holds_vst(e->object)) {
        std::istringstream words(simhost_box_text(e->box));
        std::string cls, target;
        words >> cls >> target;
        const Entry *found = nullptr;
        for (const Entry &v : entries_)
            if (v.alive && v.parent == e->parent && holds_vst(v.object) && target == simhost_box_varname(v.box))
                found = &v;
        if (!found)
            throw Error("box '" + name + "' is no vst~ box and names none");
        e = found;
    }
    if (e->editor && IsWindow(e->editor))
        return e->editor;
    if (required)
        throw Error("no editor open for '" + name + "'");
    return nullptr;
}

Point World::client_origin(HWND hwnd)
{
    POINT p = {0, 0};
    ClientToScreen(hwnd, &p);
    return Point{int(p.x), int(p.y)};
}

Size World::client_size(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    return Size{int(r.right - r.left), int(r.bottom - r.top)};
}

bool World::visible(HWND hwnd)
{
    return IsWindowVisible(hwnd) != 0;
}

bool World::topmost(HWND hwnd)
{
    return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

/* WS_EX_APPWINDOW puts even a tool window on the taskbar. */
bool World::toolwindow(HWND hwnd)
{
    return (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW)) == WS_EX_TOOLWINDOW;
}

HWND World::active_window()
{
    return GetActiveWindow();
}

// A click on another application's window sends this one to the background;
// app_foreground() gives activation back to the window that had it.
void World::user_activate(HWND hwnd)
{
    const bool foreign = std::find(foreign_.begin(), foreign_.end(), hwnd) != foreign_.end();
    if (GetActiveWindow() && foreign)
        active_before_background_ = GetActiveWindow();
    background_ = foreign;
    SetForegroundWindow(hwnd);
    sync();
}

void World::user_minimise(HWND hwnd)
{
    ShowWindow(hwnd, SW_MINIMIZE);
    sync();
}

void World::user_restore(HWND hwnd)
{
    ShowWindow(hwnd, SW_RESTORE);
    sync();
}

bool World::patch_dirty() const
{
    return object_attr_getlong(patcher_, gensym("dirty")) != 0;
}

Point World::frame_for_client(HWND hwnd, int x, int y)
{
    const Point origin = client_origin(hwnd);
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &frame);
    return Point{x + int(frame.left) - origin.x, y + int(frame.top) - origin.y};
}

// An event's owner by the box that holds it. Objects seen at the last sync
// come first, so that lines of an object freed since then still name its box.
std::string World::event_owner(t_object *obj, const char *classname) const
{
    for (const Entry &e : entries_)
        if (e.alive && e.object == obj)
            return name_of(e);
    if (t_object *box = simhost_object_box(obj))
        for (const Entry &e : entries_)
            if (e.alive && e.box == box)
                return name_of(e);
    for (const Entry &e : entries_)
        if (!e.alive && e.object == obj)
            return e.cls + "#" + std::to_string(e.number);
    return classname ? classname : "?";
}

// A breach of the host's contract fails what is being played, once its
// line is in the transcript.
void World::sync()
{
    std::string violation;
    for (const int count = simhost_event_count(); events_seen_ < count; ++events_seen_) {
        const simhost_event *ev = simhost_event_get(events_seen_);
        const bool out = ev->kind == SIMHOST_OUTLET;
        pending_.push_back(event_line(*ev, out ? event_owner(ev->object, ev->classname) : std::string()));
        if (ev->kind == SIMHOST_VIOLATION)
            violation = pending_.back().substr(std::strlen("console violation "));
    }
    simhost_events_forget(events_seen_);
    if (!violation.empty())
        throw Error("contract violation: " + violation);
    for (Entry &e : entries_) {
        if (!e.alive)
            continue;
        /* a box the patch deleted (thispatcher) */
        if (!simhost_box_varname(e.box)) {
            e.alive = false;
            e.editor = nullptr;
            continue;
        }
        t_object *obj = jbox_get_object(e.box);
        if (obj)
            e.object = obj;
        HWND hwnd = holds_vst(obj) ? static_cast<HWND>(simhost_vst_editor(obj)) : nullptr;
        if (hwnd != e.editor) {
            e.editor = hwnd;
            if (hwnd)
                e.opened = ++clock_;
        }
    }
}

} // namespace testkit
