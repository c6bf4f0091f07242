/* Objects: allocation and freeing, message dispatch, the obex and
 * observation. */
#include "host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace simhost {

namespace {

/* The value the host keeps in o_magic of a live object. */
const t_atom_long OB_MAGIC = 1758379419;

/* A typed call has the receiver and at most this many other arguments. */
const size_t MAX_TYPED_ARGS = 6;

struct Word {
    bool real;
    t_atom_long w;
    double d;
};

typedef void *(*cant_fn)(void *, void *, void *, void *, void *, void *, void *, void *, void *);
typedef void *(*gimme_fn)(void *, t_symbol *, long, t_atom *);
typedef void *(*gimme_new_fn)(t_symbol *, long, t_atom *);
typedef void (*free_fn)(void *);

/* Calls fn with the words as arguments, each as the type it has: a pointer
 * or integer word, or a double. The argument list is built one type at a
 * time, so every mix of words and doubles gets its own exact call. */
template <typename... A>
void *call_words(method fn, const std::vector<Word> &args, A... done)
{
    constexpr size_t n = sizeof...(A);
    if (n == args.size())
        return from_method<void *(*)(A...)>(fn)(done...);
    if constexpr (n <= MAX_TYPED_ARGS) {
        const Word &a = args[n];
        if (a.real)
            return call_words<A..., double>(fn, args, done..., a.d);
        return call_words<A..., t_atom_long>(fn, args, done..., a.w);
    } else {
        return nullptr;
    }
}

Word word(const void *p)
{
    return Word{false, (t_atom_long)(intptr_t)p, 0};
}

bool is_cant(const Method &m)
{
    return std::find(m.types.begin(), m.types.end(), (short)A_CANT) != m.types.end();
}

bool is_gimme(const std::vector<short> &types)
{
    return types.size() == 1 && types[0] == A_GIMME;
}

/* The words for a typed argument list from atoms; missing atoms give 0, 0.0
 * or the empty symbol. False for a list the host cannot call. */
bool typed_words(const std::vector<short> &types, long argc, const t_atom *argv, std::vector<Word> &out)
{
    if (types.size() > MAX_TYPED_ARGS)
        return false;
    for (size_t k = 0; k < types.size(); k++) {
        const t_atom *a = (long)k < argc ? argv + k : nullptr;
        switch (types[k]) {
        case A_LONG:
        case A_DEFLONG:
            out.push_back(Word{false, a ? atom_value_long(*a) : 0, 0});
            break;
        case A_FLOAT:
        case A_DEFFLOAT:
            out.push_back(Word{true, 0, a ? atom_value_float(*a) : 0});
            break;
        case A_SYM:
        case A_DEFSYM:
            out.push_back(word(a && a->a_type == A_SYM && a->a_w.w_sym ? a->a_w.w_sym : _sym_nothing));
            break;
        case A_OBJ:
            out.push_back(word(a && a->a_type == A_OBJ ? a->a_w.w_obj : nullptr));
            break;
        default:
            return false;
        }
    }
    return true;
}

void *call_method(t_object *x, const Method &m, t_symbol *s, long argc, t_atom *argv)
{
    if (is_gimme(m.types))
        return from_method<gimme_fn>(m.fn)(x, s, argc, argv);
    std::vector<Word> args{word(x)};
    if (!typed_words(m.types, argc, argv, args)) {
        event(SIMHOST_ERROR, x, 0, std::string("can't call \"") + s->s_name + "\" with its argument types");
        return nullptr;
    }
    return call_words(m.fn, args);
}

void unobserve(ObjInfo *observed, t_object *x)
{
    auto &list = observed->observers;
    list.erase(std::remove_if(list.begin(), list.end(), [x](const Observer &o) { return o.x == x; }), list.end());
}

void unlist(std::vector<t_object *> &list, t_object *x)
{
    list.erase(std::remove(list.begin(), list.end(), x), list.end());
}

/* The name under which an observed object's observers hear from it: its
 * box's scripting name, else the namespace it was attached in. */
t_symbol *registered_name(t_object *observed, const Observer &o)
{
    ObjInfo *i = info(observed);
    t_symbol *name = i && i->box ? box_varname(i->box) : nullptr;
    if (name && name != _sym_nothing)
        return name;
    return o.name_space ? o.name_space : _sym_nothing;
}

/* What an object's free method must have given up: its attachments to
 * other objects and its queue elements. The host would go on notifying, or
 * running the task on, a freed object; here each is reported and dropped. */
void left_behind(t_object *x, const ObjInfo &i)
{
    for (t_object *o : i.observing) {
        t_class *c = class_of(o);
        violation(x, std::string("freed while still attached to ") + (c ? c->name->s_name : "an object"));
    }
    const QelemsLeft q = qelems_drop_owned(x);
    if (q.allocated)
        violation(x, "freed with " + std::to_string(q.allocated) + " queue element(s) still allocated, " +
                         std::to_string(q.set) + " of them set");
}

} // namespace

ObjInfo *info(const void *x)
{
    if (!x)
        return nullptr;
    /* objects are made and freed on any thread */
    HostLock hold(host_lock());
    State &h = H();
    auto it = h.objects.find(x);
    return it == h.objects.end() ? nullptr : &it->second;
}

bool dangling(const void *x, const char *what)
{
    HostLock hold(host_lock());
    if (!x || !H().freed.count(x))
        return false;
    violation(nullptr, std::string(what) + " names a freed object");
    return true;
}

/* A call that names no live object (freed, or never one: memory the
 * caller never set) would read through it in Max. */
static bool not_object(const void *x, const char *what)
{
    if (dangling(x, what))
        return true;
    if (info(x))
        return false;
    violation(nullptr, std::string(what) + " names no object");
    return true;
}

t_class *class_of(const void *x)
{
    ObjInfo *i = info(x);
    return i ? i->cls : nullptr;
}

bool is_a(const void *x, t_class *c)
{
    return c && class_of(x) == c;
}

t_object *obj_alloc(t_class *c)
{
    if (!c)
        return nullptr;
    HostLock hold(host_lock());
    State &h = H();
    size_t size = c->size > (long)sizeof(t_object) ? (size_t)c->size : sizeof(t_object);
    t_object *x = (t_object *)std::calloc(1, size);
    if (!x)
        return nullptr;
    /* nothing says that the host clears a new object past its header: a
     * module's own fields come filled with a pattern, so that a field it
     * reads before setting shows */
    if (c->from_module)
        std::memset(x + 1, 0xA5, size - sizeof(t_object));
    x->o_messlist = reinterpret_cast<t_messlist *>(c);
    x->o_magic = OB_MAGIC;
    ObjInfo &i = h.objects[x];
    i.cls = c;
    i.seq = h.next_seq++;
    h.by_seq[i.seq] = x;
    h.freed.erase(x);
    /* an object another thread allocates meanwhile is not this one */
    auto k = std::find_if(h.constructing.rbegin(), h.constructing.rend(),
                          [](const Construct &n) { return n.thread == std::this_thread::get_id(); });
    if (k != h.constructing.rend() && k->cls == c && !k->obj) {
        k->obj = x;
        i.box = k->box;
    }
    return x;
}

/* Observers hear `free` before the class's free method runs, as in the
 * host; then the object leaves every observation, its box and its outlets. */
t_max_err obj_free(void *p)
{
    HostLock hold(host_lock());
    State &h = H();
    ObjInfo *i = info(p);
    if (!i)
        return MAX_ERR_GENERIC;
    if (i->freeing)
        return MAX_ERR_NONE;
    if (i->held > 0) {
        i->free_put_off = true;
        return MAX_ERR_NONE;
    }
    i->freeing = true;
    t_object *x = (t_object *)p;

    notify_observers(x, x, _sym_free, nullptr);
    if (i->cls->mfree) {
        HostUnlock running;
        from_method<free_fn>(i->cls->mfree)(x);
    }
    i = info(x);
    left_behind(x, *i);
    inlets_free(x);
    i = info(x);

    for (t_object *o : i->observing)
        if (ObjInfo *oi = info(o))
            unobserve(oi, x);
    for (const Observer &o : i->observers)
        if (ObjInfo *oi = info(o.x))
            unlist(oi->observing, x);
    for (auto &o : i->outlets)
        h.outlets.erase(o.get());
    if (i->box)
        box_forget_object(i->box, x);
    for (Construct &k : h.constructing)
        if (k.obj == x)
            k.obj = nullptr;

    h.by_seq.erase(i->seq);
    h.objects.erase(x);
    h.freed.insert(x);
    x->o_magic = 0;
    std::free(x);
    return MAX_ERR_NONE;
}

/* This thread's last construction record, taken off the list. */
Construct take_construct(State &h)
{
    HostLock hold(host_lock());
    const std::thread::id self = std::this_thread::get_id();
    auto k = std::find_if(h.constructing.rbegin(), h.constructing.rend(),
                          [self](const Construct &n) { return n.thread == self; });
    Construct taken = *k;
    h.constructing.erase(std::next(k).base());
    return taken;
}

/* The object a box's text makes: the first word names a class of the "box"
 * namespace, the other atoms go to its constructor. NULL when the class is
 * unknown or its constructor refuses. */
t_object *obj_make(const char *text, t_object *box)
{
    State &h = H();
    std::vector<t_atom> atoms = parse_atoms(text);
    if (atoms.empty() || atoms[0].a_type != A_SYM)
        return nullptr;
    t_symbol *name = atoms[0].a_w.w_sym;
    t_class *c = class_lookup(_sym_box, name);
    if (!c || !c->mnew)
        return nullptr;
    long argc = (long)atoms.size() - 1;
    t_atom *argv = atoms.data() + 1;

    {
        HostLock hold(host_lock());
        h.constructing.push_back(Construct{box, c, nullptr, std::this_thread::get_id()});
    }
    void *made = nullptr;
    if (is_gimme(c->newtypes)) {
        made = from_method<gimme_new_fn>(c->mnew)(name, argc, argv);
    } else {
        std::vector<Word> args;
        if (typed_words(c->newtypes, argc, argv, args))
            made = call_words(c->mnew, args);
        else
            event(SIMHOST_ERROR, nullptr, 0, std::string(name->s_name) + ": can't call its constructor");
    }
    Construct k = take_construct(h);

    /* an object the constructor made but did not hand back (nor free)
     * belongs to no box */
    if (k.obj != made)
        if (ObjInfo *left = info(k.obj))
            left->box = nullptr;
    ObjInfo *i = info(made);
    if (!i)
        return nullptr;
    i->box = box;
    return (t_object *)made;
}

void *dispatch_words(void *x, t_symbol *s, void *const w[8])
{
    ObjInfo *i = info(x);
    if (!i && dangling(x, (std::string("message \"") + s->s_name + "\"").c_str()))
        return nullptr;
    if (!i) {
        event(SIMHOST_ERROR, nullptr, 0, std::string("message \"") + s->s_name + "\" to something that is not an object");
        return nullptr;
    }
    count("msg:" + std::string(s->s_name));
    const Method *m = find_method(i->cls, s);
    if (!m)
        return nullptr;
    return from_method<cant_fn>(m->fn)(x, w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
}

t_max_err send_typed(t_object *x, t_symbol *s, long argc, const t_atom *argv)
{
    ObjInfo *i;
    {
        HostLock hold(host_lock());
        i = info(x);
        if (!i && s)
            dangling(x, (std::string("message \"") + s->s_name + "\"").c_str());
    }
    if (!i || !s)
        return MAX_ERR_GENERIC;
    count("msg:" + std::string(s->s_name));
    if (argc > 0 && !argv)
        violation(x, std::string("message \"") + s->s_name + "\" with a count of " + std::to_string(argc) +
                         " and no atoms");
    if (argc < 0 || !argv)
        argc = 0;
    std::vector<t_atom> atoms(argv, argv + argc);
    t_class *c = i->cls;

    const Method *m = find_method(c, s);
    if (m && !is_cant(*m)) {
        call_method(x, *m, s, argc, atoms.data());
        return MAX_ERR_NONE;
    }
    /* ATTR_SET_OPAQUE or ATTR_SET_OPAQUE_USER: no message sets it */
    if (!m && attr_opaque(c, s, 0x2 | 0x200)) {
        event(SIMHOST_ERROR, x, 0, std::string("attribute \"") + s->s_name + "\" cannot be set by a message");
        return MAX_ERR_GENERIC;
    }
    if (!m && (find_attr(c, s) || i->dynattrs.count(s)))
        return attr_write(x, s, argc, atoms.data());
    const Method *any = find_method(c, _sym_anything);
    if (!m && any && is_gimme(any->types)) {
        call_method(x, *any, s, argc, atoms.data());
        return MAX_ERR_NONE;
    }
    event(SIMHOST_ERROR, x, 0, std::string("doesn't understand \"") + s->s_name + "\"");
    return MAX_ERR_GENERIC;
}

/* Each observer on the list when the notification starts hears it, unless
 * it has been detached (or freed) by the time its turn comes. */
void notify_observers(t_object *observed, t_object *sender, t_symbol *msg, void *data)
{
    ObjInfo *i = info(observed);
    if (!i)
        return;
    std::vector<Observer> snapshot = i->observers;
    t_symbol *notify = sym("notify");
    for (const Observer &o : snapshot) {
        i = info(observed);
        if (!i)
            return;
        auto still = std::find_if(i->observers.begin(), i->observers.end(),
                                  [&o](const Observer &cur) { return cur.x == o.x; });
        if (still == i->observers.end())
            continue;
        void *w[8] = {registered_name(observed, o), msg, sender, data, nullptr, nullptr, nullptr, nullptr};
        dispatch_words(o.x, notify, w);
    }
}

} // namespace simhost

using namespace simhost;

/* ---- objects ---- */

void *object_alloc(t_class *c)
{
    count("object_alloc");
    return obj_alloc(c);
}

t_max_err object_free(void *x)
{
    count("object_free");
    if (!x)
        return MAX_ERR_GENERIC;
    if (!info(x)) {
        event(SIMHOST_ERROR, nullptr, 0, "object_free: not an object");
        return MAX_ERR_GENERIC;
    }
    return obj_free(x);
}

t_symbol *object_classname(void *x)
{
    count("object_classname");
    t_class *c = class_of(x);
    return c ? c->name : nullptr;
}

long object_classname_compare(void *x, t_symbol *name)
{
    count("object_classname_compare");
    t_class *c = class_of(x);
    return c && c->name == name;
}

t_max_err object_obex_lookup(void *x, t_symbol *key, t_object **val)
{
    count("object_obex_lookup");
    if (!val)
        return MAX_ERR_GENERIC;
    *val = nullptr;
    ObjInfo *i = info(x);
    if (!i || !key)
        return MAX_ERR_GENERIC;
    t_object *box = i->box;
    if (key == sym("#B"))
        *val = box;
    else if (key == sym("#P"))
        *val = box ? box_patcher(box) : is_box(x) ? box_patcher((t_object *)x) : nullptr;
    return *val ? MAX_ERR_NONE : MAX_ERR_GENERIC;
}

void *object_method_imp(void *x, void *s, void *p1, void *p2, void *p3, void *p4, void *p5, void *p6, void *p7,
                        void *p8)
{
    count("object_method_imp");
    if (!x)
        return nullptr;
    if (!is_symbol(s)) {
        event(SIMHOST_ERROR, nullptr, 0, "object_method_imp: the selector is not a symbol");
        return nullptr;
    }
    void *w[8] = {p1, p2, p3, p4, p5, p6, p7, p8};
    return dispatch_words(x, (t_symbol *)s, w);
}

t_max_err simhost_send(t_object *obj, const char *selector, long argc, const t_atom *argv)
{
    if (!selector)
        return MAX_ERR_GENERIC;
    return send_typed(obj, sym(selector), argc, argv);
}



/* ---- observation ---- */

t_max_err object_attach_byptr_register(void *x, void *object_to_attach, t_symbol *name_space)
{
    count("object_attach_byptr_register");
    ObjInfo *xi = info(x);
    ObjInfo *oi = info(object_to_attach);
    if (not_object(x, "object_attach_byptr_register") || not_object(object_to_attach, "object_attach_byptr_register"))
        return MAX_ERR_GENERIC;
    if (x == object_to_attach)
        return MAX_ERR_GENERIC;
    for (const Observer &o : oi->observers)
        if (o.x == x)
            return MAX_ERR_NONE;
    oi->observers.push_back(Observer{(t_object *)x, name_space});
    xi->observing.push_back((t_object *)object_to_attach);
    return MAX_ERR_NONE;
}

t_max_err object_detach_byptr(void *x, void *registered)
{
    count("object_detach_byptr");
    if (not_object(x, "object_detach_byptr") || not_object(registered, "object_detach_byptr"))
        return MAX_ERR_GENERIC;
    ObjInfo *oi = info(registered);
    size_t before = oi->observers.size();
    unobserve(oi, (t_object *)x);
    if (ObjInfo *xi = info(x))
        unlist(xi->observing, (t_object *)registered);
    return oi->observers.size() < before ? MAX_ERR_NONE : MAX_ERR_GENERIC;
}

t_max_err object_notify(void *x, t_symbol *s, void *data)
{
    count("object_notify");
    if (not_object(x, "object_notify") || !s)
        return MAX_ERR_GENERIC;
    notify_observers((t_object *)x, (t_object *)x, s, data);
    return MAX_ERR_NONE;
}

void simhost_notify_observers_of(t_object *observed, t_object *sender, t_symbol *msg, void *data)
{
    if (msg)
        notify_observers(observed, sender, msg, data);
}
long simhost_observer_count(t_object *obj)
{
    ObjInfo *i = info(obj);
    return i ? (long)i->observers.size() : 0;
}
long simhost_object_count(const char *classname)
{
    HostLock hold(host_lock());
    t_symbol *name = sym(classname ? classname : "");
    return (long)std::count_if(H().objects.begin(), H().objects.end(),
                               [name](const auto &o) { return o.second.cls && o.second.cls->name == name; });
}


/* ---- the state system's calls ---- */

namespace {

/* The state system calls from its own thread: the object table is looked
 * up under the host's lock, which is not held while the method runs. */
const Method *value_method(void *x, const char *name)
{
    HostLock hold(host_lock());
    return find_method(class_of(x), sym(name));
}

} // namespace

t_max_err object_getvalueof(void *x, long *ac, t_atom **av)
{
    count("object_getvalueof");
    const Method *m = value_method(x, "getvalueof");
    if (!m || !ac || !av)
        return MAX_ERR_GENERIC;
    return from_method<t_max_err (*)(void *, long *, t_atom **)>(m->fn)(x, ac, av);
}

t_max_err object_setvalueof(void *x, long ac, t_atom *av)
{
    count("object_setvalueof");
    const Method *m = value_method(x, "setvalueof");
    if (!m)
        return MAX_ERR_GENERIC;
    return from_method<t_max_err (*)(void *, long, t_atom *)>(m->fn)(x, ac, av);
}
