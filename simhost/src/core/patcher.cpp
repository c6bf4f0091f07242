/* Patchers, boxes and patcher views: the host's own classes, and the calls
 * with which tests and the runner build patches. A top-level patcher has a
 * view and a visible window; a subpatcher lives in a box of its parent. */
#include "host.h"

#include "kit.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace simhost {

namespace {

const char *const PATCHER_WINDOW_CLASS = "SimhostPatcher";

struct Connection {
    long outlet;
    t_object *dst;
    long inlet;
};

struct PatcherImpl {
    t_object *parent;
    std::vector<t_object *> boxes; /* in creation order */
    t_object *view;
    HWND window;
    std::unordered_map<t_symbol *, t_object *> named; /* scripting name -> box; one box a name */
    std::string file_text; /* the patch file opened last into it */
};

struct t_simpatcher {
    t_object ob;
    PatcherImpl *impl;
    t_symbol *name;
    t_atom_long locked;
    t_atom_long dirty;
};

struct BoxImpl {
    t_object *patcher;
    t_object *object;
    std::string text;
    std::vector<Connection> connections;
    std::vector<t_object *> sources; /* boxes with a cord to this one, once per cord */
    std::string maxclass; /* "newobj", "message", "comment", ... */
    std::string file_id;  /* the id a patch file gave it, or "" */
};

struct t_simbox {
    t_object ob;
    BoxImpl *impl;
    t_symbol *varname;
};

struct t_simview {
    t_object ob;
    t_object *patcher;
    t_object *editbox; /* the box being edited, or NULL */
    std::string *edittext;
};

t_simpatcher *as_patcher(const void *x)
{
    return is_patcher(x) ? (t_simpatcher *)x : nullptr;
}

t_simbox *as_box(const void *x)
{
    return is_box(x) ? (t_simbox *)x : nullptr;
}

t_simview *as_view(const void *x)
{
    return is_a(x, H().view_class) ? (t_simview *)x : nullptr;
}

HWND patcher_window(const char *title)
{
    window_class(PATCHER_WINDOW_CLASS, DefWindowProcA);
    return CreateWindowExA(0, PATCHER_WINDOW_CLASS, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 800, 600,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

/* A scripting name no other box of p carries: the one wanted, else, as the
 * host names a pasted copy, its stem with the first free "[N]" (synth[1],
 * then synth[2]; synth[1] wanted again gives synth[2]). */
t_symbol *free_name(t_simpatcher *p, t_symbol *wanted)
{
    const auto &named = p->impl->named;
    if (wanted == _sym_nothing || !named.count(wanted))
        return wanted;
    std::string stem = wanted->s_name;
    const size_t open = stem.rfind('[');
    if (open != std::string::npos && stem.back() == ']' && open + 2 < stem.size() &&
        stem.find_first_not_of("0123456789", open + 1) == stem.size() - 1)
        stem.erase(open);
    for (long n = 1;; n++) {
        t_symbol *name = sym((stem + "[" + std::to_string(n) + "]").c_str());
        if (!named.count(name))
            return name;
    }
}

/* Gives b the name, or the free one next to it, in its patcher. */
void name_box(t_simbox *b, t_symbol *wanted)
{
    t_simpatcher *p = as_patcher(b->impl->patcher);
    if (!p) {
        b->varname = wanted;
        return;
    }
    auto &named = p->impl->named;
    auto old = named.find(b->varname);
    if (old != named.end() && old->second == &b->ob)
        named.erase(old);
    b->varname = free_name(p, wanted);
    if (b->varname != _sym_nothing)
        named[b->varname] = &b->ob;
}

t_simbox *box_alloc(t_simpatcher *p, const char *varname, const char *text)
{
    t_simbox *b = (t_simbox *)obj_alloc(H().box_class);
    b->impl = new BoxImpl{&p->ob, nullptr, text ? text : "", {}, {}, "newobj", ""};
    b->varname = _sym_nothing;
    name_box(b, sym(varname));
    p->impl->boxes.push_back(&b->ob);
    return b;
}

/* Drops the cords into and out of b, looking only at the boxes they join. */
void cords_unlink(t_simbox *b)
{
    BoxImpl *impl = b->impl;
    std::sort(impl->sources.begin(), impl->sources.end());
    impl->sources.erase(std::unique(impl->sources.begin(), impl->sources.end()), impl->sources.end());
    for (t_object *src : impl->sources) {
        auto &cords = ((t_simbox *)src)->impl->connections;
        cords.erase(std::remove_if(cords.begin(), cords.end(), [b](const Connection &c) { return c.dst == &b->ob; }),
                    cords.end());
    }
    for (const Connection &c : impl->connections) {
        auto &sources = ((t_simbox *)c.dst)->impl->sources;
        auto at = std::find(sources.begin(), sources.end(), &b->ob);
        if (at != sources.end())
            sources.erase(at);
    }
}

/* ---- patcher ---- */

void patcher_free(t_simpatcher *p)
{
    State &h = H();
    PatcherImpl *impl = p->impl;
    while (!impl->boxes.empty()) {
        t_object *b = impl->boxes.back();
        obj_free(b);
        if (!impl->boxes.empty() && impl->boxes.back() == b)
            impl->boxes.pop_back();
    }
    if (impl->view)
        obj_free(impl->view);
    if (impl->window)
        DestroyWindow(impl->window);
    h.patchers.erase(std::remove(h.patchers.begin(), h.patchers.end(), &p->ob), h.patchers.end());
    delete impl;
}

void *patcher_getnamedbox(t_simpatcher *p, t_symbol *name)
{
    if (!is_symbol(name) || name == _sym_nothing)
        return nullptr;
    auto it = p->impl->named.find(name);
    return it == p->impl->named.end() ? nullptr : it->second;
}

/* The view is an attribute only, read as the host's SDK reads it; a
 * subpatcher not open has none. */
t_max_err patcher_getfirstview(t_simpatcher *p, void *attr, long *ac, t_atom **av)
{
    t_atom *a = (t_atom *)std::malloc(sizeof(t_atom));
    if (!a)
        return MAX_ERR_GENERIC;
    a->a_type = A_OBJ;
    a->a_w.w_obj = p->impl->view;
    *ac = 1;
    *av = a;
    return MAX_ERR_NONE;
}

/* A message into a subpatcher's box goes to its inlet objects in Max; they
 * are not simulated (the loader names them), so it is taken quietly. */
void patcher_anything(t_simpatcher *p, t_symbol *s, long argc, t_atom *argv)
{
}

/* ---- box ---- */

/* Frees the box's object. One held through its own method is freed when
 * that returns: meanwhile it is no longer in this box, which may be freed or
 * hold another object by then, so that its "#B" names no box. */
void box_free_object(t_simbox *b)
{
    t_object *x = b->impl->object;
    if (!x)
        return;
    obj_free(x);
    if (ObjInfo *i = info(x))
        i->box = nullptr;
    box_forget_object(&b->ob, x);
}

void box_free(t_simbox *b)
{
    BoxImpl *impl = b->impl;
    box_free_object(b);
    if (t_simpatcher *p = as_patcher(impl->patcher)) {
        /* a patcher closes from its last box on, so that one is found first */
        auto &boxes = p->impl->boxes;
        auto at = std::find(boxes.rbegin(), boxes.rend(), &b->ob);
        if (at != boxes.rend())
            boxes.erase(std::next(at).base());
        auto named = p->impl->named.find(b->varname);
        if (named != p->impl->named.end() && named->second == &b->ob)
            p->impl->named.erase(named);
        cords_unlink(b);
        if (t_simview *v = as_view(p->impl->view))
            if (v->editbox == &b->ob)
                v->editbox = nullptr;
    }
    delete impl;
}

/* A new scripting name tells the observers of the box's object, which may
 * hold on to the box by its name (unless the run's host tells only the
 * box's own observers, as attr_write does). */
t_max_err box_setvarname(t_simbox *b, void *attr, long argc, t_atom *argv)
{
    if (argc < 1 || !argv)
        return MAX_ERR_GENERIC;
    t_symbol *name = argv[0].a_type == A_SYM && argv[0].a_w.w_sym ? argv[0].a_w.w_sym : sym(atom_text(argv[0]).c_str());
    if (name == b->varname)
        return MAX_ERR_NONE;
    name_box(b, name);
    if (b->impl->object && !kit::variant(simhost_variant::rename_notifies_box))
        notify_observers(b->impl->object, b->impl->object, _sym_attr_modified, attr);
    return MAX_ERR_NONE;
}

t_max_err box_getatoms(t_simbox *b, void *attr, long *argc, t_atom **argv)
{
    std::vector<t_atom> atoms = parse_atoms(b->impl->text.c_str());
    *argc = (long)atoms.size();
    *argv = copy_to_host(atoms);
    return MAX_ERR_NONE;
}

/* ---- view ---- */

void view_free(t_simview *v)
{
    delete v->edittext;
}

void *view_insertboxtext(t_simview *v, t_object *box, const char *text)
{
    if (!as_box(box))
        return nullptr;
    v->editbox = box;
    *v->edittext = text ? text : "";
    return nullptr;
}

/* Ends the edit as the user's click outside the box does: the box gets a
 * new object from its new text; its scripting name stays. */
void *view_endeditbox(t_simview *v)
{
    t_simbox *b = as_box(v->editbox);
    v->editbox = nullptr;
    if (!b)
        return nullptr;
    std::string text = *v->edittext;
    /* message boxes and comments keep what they are and take the new text */
    if (b->impl->maxclass != "newobj") {
        b->impl->text = text;
        return nullptr;
    }
    box_free_object(b);
    if (!as_box(b))
        return nullptr;
    b->impl->text = text;
    b->impl->object = obj_make(text.c_str(), &b->ob);
    return nullptr;
}

void *view_accept(t_simview *v)
{
    return nullptr;
}

} // namespace

bool is_box(const void *x)
{
    return is_a(x, H().box_class);
}

bool is_patcher(const void *x)
{
    return is_a(x, H().patcher_class);
}

t_object *box_patcher(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->impl->patcher : nullptr;
}

t_object *box_object(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->impl->object : nullptr;
}

void box_forget_object(t_object *box, t_object *obj)
{
    t_simbox *b = as_box(box);
    if (b && b->impl->object == obj)
        b->impl->object = nullptr;
}

t_symbol *box_varname(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->varname : nullptr;
}

void box_connections(t_object *box, long outlet, std::vector<Cord> &targets)
{
    t_simbox *b = as_box(box);
    if (!b)
        return;
    for (const Connection &c : b->impl->connections)
        if (c.outlet == outlet)
            targets.push_back(Cord{c.dst, c.inlet});
}

std::vector<CordOut> box_cords(t_object *box)
{
    std::vector<CordOut> cords;
    if (t_simbox *b = as_box(box))
        for (const Connection &c : b->impl->connections)
            cords.push_back(CordOut{c.outlet, c.dst, c.inlet});
    return cords;
}

t_object *box_add(t_object *patcher, const char *maxclass, const char *varname, const char *text, t_object *obj)
{
    t_simpatcher *p = as_patcher(patcher);
    if (!p)
        return nullptr;
    t_simbox *b = box_alloc(p, varname, text);
    b->impl->maxclass = maxclass ? maxclass : "";
    b->impl->object = obj;
    if (ObjInfo *i = info(obj))
        i->box = &b->ob;
    return &b->ob;
}

void box_set_text(t_object *box, const std::string &text)
{
    if (t_simbox *b = as_box(box))
        b->impl->text = text;
}

t_object *patcher_named_box(t_object *patcher, t_symbol *name)
{
    t_simpatcher *p = as_patcher(patcher);
    return p ? (t_object *)patcher_getnamedbox(p, name) : nullptr;
}

std::string *box_file_id(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? &b->impl->file_id : nullptr;
}

std::string *patcher_file_text(t_object *patcher)
{
    t_simpatcher *p = as_patcher(patcher);
    return p ? &p->impl->file_text : nullptr;
}

void internal_classes_setup()
{
    State &h = H();
    class_internals_setup();
    string_class_setup();
    proxy_class_setup();

    t_class *c = class_make("patcher", nullptr, as_method(patcher_free), (long)sizeof(t_simpatcher), {});
    class_method(c, as_method(patcher_getnamedbox), "getnamedbox", {A_CANT});
    class_method(c, as_method(patcher_anything), _sym_anything->s_name, {A_GIMME});
    class_attr(c, attr_make("name", _sym_symbol, nullptr, nullptr, (long)offsetof(t_simpatcher, name)));
    class_attr(c, attr_make(_sym_locked->s_name, _sym_long, nullptr, nullptr, (long)offsetof(t_simpatcher, locked)));
    class_attr(c, attr_make(_sym_dirty->s_name, _sym_long, nullptr, nullptr, (long)offsetof(t_simpatcher, dirty)));
    t_simattr *view = attr_make(_sym_firstview->s_name, sym("object"), as_method(patcher_getfirstview), nullptr, 0);
    view->flags = SET_OPAQUE; /* read-only */
    class_attr(c, view);
    class_registration(_sym_nobox, c);
    h.patcher_class = c;

    c = class_make("jbox", nullptr, as_method(box_free), (long)sizeof(t_simbox), {});
    class_attr(c, attr_make(_sym_varname->s_name, _sym_symbol, nullptr, as_method(box_setvarname),
                            (long)offsetof(t_simbox, varname)));
    class_attr(c, attr_make("boxatoms", sym("atom"), as_method(box_getatoms), nullptr, 0));
    class_registration(_sym_nobox, c);
    h.box_class = c;

    c = class_make("patcherview", nullptr, as_method(view_free), (long)sizeof(t_simview), {});
    class_method(c, as_method(view_insertboxtext), _sym_insertboxtext->s_name, {A_CANT});
    class_method(c, as_method(view_endeditbox), "endeditbox", {A_CANT});
    class_method(c, as_method(view_accept), _sym_wclose->s_name, {A_CANT});
    class_method(c, as_method(view_accept), _sym_redraw->s_name, {A_CANT});
    class_registration(_sym_nobox, c);
    h.view_class = c;
}

} // namespace simhost

using namespace simhost;

t_object *jbox_get_object(t_object *box)
{
    count("jbox_get_object");
    return box_object(box);
}

namespace {

t_object *view_new(t_simpatcher *p)
{
    t_simview *v = (t_simview *)obj_alloc(H().view_class);
    v->patcher = &p->ob;
    v->edittext = new std::string;
    return &v->ob;
}

} // namespace

t_object *simhost_patcher_new(t_object *parent, const char *name)
{
    State &h = H();
    t_simpatcher *up = as_patcher(parent);
    if (parent && !up)
        return nullptr;
    t_simpatcher *p = (t_simpatcher *)obj_alloc(h.patcher_class);
    p->impl = new PatcherImpl{parent, {}, nullptr, nullptr, {}, ""};
    p->name = sym(name);
    if (up) {
        std::string text = name && *name ? std::string("p ") + name : std::string("p");
        t_simbox *b = box_alloc(up, nullptr, text.c_str());
        b->impl->object = &p->ob;
        info(p)->box = &b->ob;
        return &p->ob;
    }
    p->impl->view = view_new(p);
    p->impl->window = patcher_window(name && *name ? name : "Untitled");
    h.patchers.push_back(&p->ob);
    return &p->ob;
}

t_object *simhost_box_new(t_object *patcher, const char *varname, const char *text)
{
    t_simpatcher *p = as_patcher(patcher);
    if (!p)
        return nullptr;
    t_simbox *b = box_alloc(p, varname, text);
    t_object *made = obj_make(text, &b->ob);
    if (as_box(b))
        b->impl->object = made;
    return &b->ob;
}

t_object *simhost_object_new(const char *text)
{
    return obj_make(text, nullptr);
}

void simhost_box_free(t_object *box)
{
    if (as_box(box))
        obj_free(box);
}

t_max_err simhost_box_rename(t_object *box, const char *varname)
{
    if (!as_box(box))
        return MAX_ERR_GENERIC;
    t_atom a;
    a.a_type = A_SYM;
    a.a_w.w_sym = sym(varname);
    return attr_write(box, _sym_varname, 1, &a);
}

const char *simhost_box_varname(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->varname->s_name : nullptr;
}

const char *simhost_box_text(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->impl->text.c_str() : nullptr;
}

const char *simhost_box_maxclass(t_object *box)
{
    t_simbox *b = as_box(box);
    return b ? b->impl->maxclass.c_str() : nullptr;
}

t_object *simhost_box_patcher(t_object *box)
{
    return box_patcher(box);
}

long simhost_patcher_boxcount(t_object *patcher)
{
    t_simpatcher *p = as_patcher(patcher);
    return p ? (long)p->impl->boxes.size() : 0;
}

t_object *simhost_patcher_box(t_object *patcher, long index)
{
    t_simpatcher *p = as_patcher(patcher);
    if (!p || index < 0 || (size_t)index >= p->impl->boxes.size())
        return nullptr;
    return p->impl->boxes[(size_t)index];
}

t_max_err simhost_patcher_show_on_tab(t_object *patcher)
{
    t_simpatcher *p = as_patcher(patcher);
    if (!p || !p->impl->parent || p->impl->view)
        return MAX_ERR_GENERIC;
    p->impl->view = view_new(p);
    return MAX_ERR_NONE;
}

void *simhost_patcher_window(t_object *patcher)
{
    t_simpatcher *p = as_patcher(patcher);
    return p ? p->impl->window : nullptr;
}

t_object *simhost_object_box(t_object *obj)
{
    ObjInfo *i = info(obj);
    return i ? i->box : nullptr;
}

namespace {

/* An inlet the object has; one where the host does not know how many
 * there are, or of a box that holds no object of a class (a subpatcher, an
 * inert box), is taken as there. */
bool has_port(t_object *box, long index)
{
    t_object *obj = box_object(box);
    if (index < 0)
        return false;
    if (!obj || is_patcher(obj))
        return true;
    const long count = inlet_count(obj);
    return count < 0 || index < count;
}

} // namespace

/* Patch cords join boxes of one patcher, into an inlet that the object
 * has. Outlets are not counted here: a patch file's loader checks them, and
 * a cord from an outlet never made carries nothing. */
t_max_err simhost_connect(t_object *src_box, long outlet, t_object *dst_box, long inlet)
{
    t_simbox *src = as_box(src_box);
    t_simbox *dst = as_box(dst_box);
    if (!src || !dst || src->impl->patcher != dst->impl->patcher)
        return MAX_ERR_GENERIC;
    if (outlet < 0 || !has_port(dst_box, inlet))
        return MAX_ERR_GENERIC;
    for (const Connection &c : src->impl->connections)
        if (c.outlet == outlet && c.dst == dst_box && c.inlet == inlet)
            return MAX_ERR_NONE;
    src->impl->connections.push_back(Connection{outlet, dst_box, inlet});
    dst->impl->sources.push_back(src_box);
    return MAX_ERR_NONE;
}

namespace simhost {

bool cord_cut(t_object *src_box, long outlet, t_object *dst_box, long inlet)
{
    t_simbox *src = as_box(src_box);
    t_simbox *dst = as_box(dst_box);
    if (!src || !dst)
        return false;
    auto &cords = src->impl->connections;
    auto at = std::find_if(cords.begin(), cords.end(), [&](const Connection &c) {
        return c.outlet == outlet && c.dst == dst_box && c.inlet == inlet;
    });
    if (at == cords.end())
        return false;
    cords.erase(at);
    auto &sources = dst->impl->sources;
    sources.erase(std::find(sources.begin(), sources.end(), src_box));
    return true;
}

} // namespace simhost

namespace {

/* The boxes under box, itself first, with the serial each has now. */
void boxes_under(t_object *box, std::vector<std::pair<t_object *, uint64_t>> &out)
{
    ObjInfo *i = info(box);
    if (!as_box(box) || !i)
        return;
    out.emplace_back(box, i->seq);
    if (t_simpatcher *p = as_patcher(box_object(box)))
        for (t_object *b : p->impl->boxes)
            boxes_under(b, out);
}

} // namespace

void simhost_box_loadbang(t_object *box)
{
    std::vector<std::pair<t_object *, uint64_t>> boxes;
    boxes_under(box, boxes);
    for (const auto &b : boxes) {
        ObjInfo *i = info(b.first);
        t_object *obj = i && i->seq == b.second ? box_object(b.first) : nullptr;
        if (obj && find_method(class_of(obj), sym("loadbang")))
            object_method_imp(obj, sym("loadbang"), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr);
    }
}

t_object *simhost_inert_new(t_object *patcher, const char *maxclass, const char *text)
{
    return box_add(patcher, maxclass ? maxclass : "", nullptr, text, nullptr);
}

/* Through the host API, as a patch's own scripting does it, so that the
 * call log shows the same calls. */
t_max_err simhost_box_retype(t_object *box, const char *text)
{
    if (!as_box(box) || !text)
        return MAX_ERR_GENERIC;
    void *view = object_attr_getobj(box_patcher(box), _sym_firstview);
    if (!view)
        return MAX_ERR_GENERIC;
    const std::string copy = text;
    object_method_imp(view, _sym_insertboxtext, box, (void *)copy.c_str(), nullptr, nullptr, nullptr, nullptr,
                      nullptr, nullptr);
    object_method_imp(view, sym("endeditbox"), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr);
    return MAX_ERR_NONE;
}
