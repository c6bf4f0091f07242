/* The host's state system, as far as patches around vst~ use it: objects
 * with the getvalueof/setvalueof interface, autopattr (every named object
 * of its patcher) and pattr NAME @bindto BOX (one object), with the values
 * a patch file saved in their boxes ("restore"), pattrstorage presets of
 * what those two expose in its patcher, and getbytes/freebytes.
 *
 * A patch file's loader hands each box its saved values
 * (simhost_pattr_saved) and, once the whole patch is made, has them sent
 * (simhost_pattr_restore), as Max does after loading a patcher; saving
 * asks them to take their objects' values again (simhost_pattr_store). */
#include "pattr.h"

#include "host.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace simhost;

namespace {

typedef std::vector<t_atom> Atoms;

/* autopattr: the saved value of each named object, by scripting name. */
struct t_autopattr {
    t_object ob;
    std::map<std::string, Atoms> *values;
};

/* pattr: the one object it is bound to, by scripting name. */
struct t_pattr {
    t_object ob;
    t_symbol *name;
    t_symbol *bindto;
    Atoms *value;
    bool saved; /* value came from the file or from a store */
};

/* pattrstorage: presets by slot number, each the values of the objects
 * that autopattr and pattr expose in its patcher, by their names. Kept in
 * memory only. */
struct t_pattrstorage {
    t_object ob;
    std::map<t_atom_long, std::map<std::string, Atoms>> *slots;
};

t_class *s_autopattr_class;
t_class *s_pattr_class;
t_class *s_pattrstorage_class;

void *autopattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_autopattr *x = (t_autopattr *)object_alloc(s_autopattr_class);
    if (x)
        x->values = new std::map<std::string, Atoms>;
    return x;
}

void autopattr_free(t_autopattr *x)
{
    delete x->values;
}

/* "pattr [NAME] [@bindto BOX]"; other attributes are left alone. */
void *pattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pattr *x = (t_pattr *)object_alloc(s_pattr_class);
    if (!x)
        return nullptr;
    x->value = new Atoms;
    x->saved = false;
    x->name = _sym_nothing;
    x->bindto = _sym_nothing;
    if (argc > 0 && argv && argv[0].a_type == A_SYM && argv[0].a_w.w_sym->s_name[0] != '@')
        x->name = argv[0].a_w.w_sym;
    for (long i = 0; argv && i + 1 < argc; ++i)
        if (argv[i].a_type == A_SYM && argv[i].a_w.w_sym == sym("@bindto") && argv[i + 1].a_type == A_SYM)
            x->bindto = argv[i + 1].a_w.w_sym;
    return x;
}

void pattr_free(t_pattr *x)
{
    delete x->value;
}

/* The object in the box named name, in the patcher of x's own box. */
t_object *named_object(t_object *x, t_symbol *name)
{
    ObjInfo *i = info(x);
    t_object *patcher = i && i->box ? box_patcher(i->box) : nullptr;
    if (!patcher || name == _sym_nothing)
        return nullptr;
    for (long n = 0; n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        if (box_varname(box) == name && box_object(box) != x)
            return box_object(box);
    }
    return nullptr;
}

bool understands(t_object *obj, const char *message)
{
    return find_method(class_of(obj), sym(message)) != nullptr;
}

/* obj's value, through the host's own call; false when it has none. */
bool value_of(t_object *obj, Atoms &out)
{
    long ac = 0;
    t_atom *av = nullptr;
    if (!understands(obj, "getvalueof") || object_getvalueof(obj, &ac, &av) != MAX_ERR_NONE)
        return false;
    out.assign(av, av + (av && ac > 0 ? ac : 0));
    if (av)
        freebytes(av, (t_getbytes_size)(ac * (long)sizeof(t_atom)));
    return true;
}

void give(t_object *obj, Atoms value)
{
    if (obj && understands(obj, "setvalueof"))
        object_setvalueof(obj, (long)value.size(), value.data());
}

/* The named objects of the patcher that answer with a value, the others
 * kept as saved while their boxes stay. */
void autopattr_store(t_autopattr *x)
{
    std::map<std::string, Atoms> now;
    ObjInfo *i = info(x);
    t_object *patcher = i && i->box ? box_patcher(i->box) : nullptr;
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        t_symbol *name = box_varname(box);
        if (!name || name == _sym_nothing || box_object(box) == &x->ob)
            continue;
        Atoms value;
        if (value_of(box_object(box), value))
            now[name->s_name] = value;
        else if (x->values->count(name->s_name))
            now[name->s_name] = (*x->values)[name->s_name];
    }
    x->values->swap(now);
}

void pattr_store(t_pattr *x)
{
    Atoms value;
    if (value_of(named_object(&x->ob, x->bindto), value)) {
        *x->value = value;
        x->saved = true;
    }
}

/* The objects exposed to the state system in x's patcher, by name: with an
 * autopattr there, every named object that has a value; each pattr's bound
 * object under the pattr's name. */
std::map<std::string, t_object *> exposed(t_object *x)
{
    std::map<std::string, t_object *> out;
    ObjInfo *i = info(x);
    t_object *patcher = i && i->box ? box_patcher(i->box) : nullptr;
    bool autopattr = false;
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n)
        autopattr |= is_a(box_object(simhost_patcher_box(patcher, n)), s_autopattr_class);
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        t_object *obj = box_object(box);
        t_symbol *name = box_varname(box);
        if (is_a(obj, s_pattr_class) && ((t_pattr *)obj)->name != _sym_nothing)
            out[((t_pattr *)obj)->name->s_name] = named_object(obj, ((t_pattr *)obj)->bindto);
        else if (autopattr && name && name != _sym_nothing && obj && understands(obj, "getvalueof"))
            out[name->s_name] = obj;
    }
    return out;
}

void *pattrstorage_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pattrstorage *x = (t_pattrstorage *)object_alloc(s_pattrstorage_class);
    if (x)
        x->slots = new std::map<t_atom_long, std::map<std::string, Atoms>>;
    return x;
}

void pattrstorage_free(t_pattrstorage *x)
{
    delete x->slots;
}

void pattrstorage_store(t_pattrstorage *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 1 || !argv)
        return;
    std::map<std::string, Atoms> preset;
    for (const auto &e : exposed(&x->ob)) {
        Atoms value;
        if (value_of(e.second, value))
            preset[e.first] = value;
    }
    (*x->slots)[atom_getlong(argv)] = preset;
}

/* Recalls a slot: every exposed object gets its value; an empty slot
 * does nothing. */
void pattrstorage_int(t_pattrstorage *x, t_atom_long slot)
{
    auto found = x->slots->find(slot);
    if (found == x->slots->end())
        return;
    const std::map<std::string, Atoms> preset = found->second;
    const std::map<std::string, t_object *> now = exposed(&x->ob);
    for (const auto &v : preset)
        if (now.count(v.first))
            give(now.at(v.first), v.second);
}

} // namespace

void simhost_pattr_setup(void)
{
    t_class *c = class_new("autopattr", as_method(autopattr_new), as_method(autopattr_free),
                           (long)sizeof(t_autopattr), nullptr, A_GIMME, 0);
    class_register(_sym_box, c);
    s_autopattr_class = c;

    c = class_new("pattr", as_method(pattr_new), as_method(pattr_free), (long)sizeof(t_pattr), nullptr, A_GIMME, 0);
    class_register(_sym_box, c);
    s_pattr_class = c;

    c = class_new("pattrstorage", as_method(pattrstorage_new), as_method(pattrstorage_free),
                  (long)sizeof(t_pattrstorage), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_store), "store", A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_int), "int", A_LONG, 0);
    class_register(_sym_box, c);
    s_pattrstorage_class = c;
}

/* ---- the host API ---- */

/* Unified with the sysmem calls, as in the host; the names in parentheses
 * escape the header's macros, which send callers to sysmem directly. */
char *(getbytes)(t_getbytes_size size)
{
    count("getbytes");
    return (char *)std::malloc(size > 0 ? (size_t)size : 1);
}

void(freebytes)(void *b, t_getbytes_size size)
{
    count("freebytes");
    std::free(b);
}

t_max_err object_getvalueof(void *x, long *ac, t_atom **av)
{
    count("object_getvalueof");
    const Method *m = find_method(class_of(x), sym("getvalueof"));
    if (!m || !ac || !av)
        return MAX_ERR_GENERIC;
    return from_method<t_max_err (*)(void *, long *, t_atom **)>(m->fn)(x, ac, av);
}

t_max_err object_setvalueof(void *x, long ac, t_atom *av)
{
    count("object_setvalueof");
    const Method *m = find_method(class_of(x), sym("setvalueof"));
    if (!m)
        return MAX_ERR_GENERIC;
    return from_method<t_max_err (*)(void *, long, t_atom *)>(m->fn)(x, ac, av);
}

/* ---- control calls ---- */

t_max_err simhost_pattr_saved(t_object *obj, const char *name, long argc, const t_atom *argv)
{
    Atoms value(argv, argv + (argv && argc > 0 ? argc : 0));
    if (is_a(obj, s_autopattr_class) && name && *name) {
        (*((t_autopattr *)obj)->values)[name] = value;
        return MAX_ERR_NONE;
    }
    if (is_a(obj, s_pattr_class) && !name) {
        *((t_pattr *)obj)->value = value;
        ((t_pattr *)obj)->saved = true;
        return MAX_ERR_NONE;
    }
    return MAX_ERR_GENERIC;
}

t_max_err simhost_pattr_restore(t_object *obj)
{
    if (is_a(obj, s_pattr_class)) {
        t_pattr *x = (t_pattr *)obj;
        if (x->saved)
            give(named_object(obj, x->bindto), *x->value);
        return MAX_ERR_NONE;
    }
    if (!is_a(obj, s_autopattr_class))
        return MAX_ERR_GENERIC;
    /* a value sent may make the patch change the table: send from a copy */
    const std::map<std::string, Atoms> values = *((t_autopattr *)obj)->values;
    for (const auto &v : values)
        if (is_a(obj, s_autopattr_class))
            give(named_object(obj, sym(v.first.c_str())), v.second);
    return MAX_ERR_NONE;
}

long simhost_pattr_store(t_object *obj)
{
    if (is_a(obj, s_pattr_class)) {
        pattr_store((t_pattr *)obj);
        return ((t_pattr *)obj)->saved ? 1 : 0;
    }
    if (!is_a(obj, s_autopattr_class))
        return 0;
    autopattr_store((t_autopattr *)obj);
    return (long)((t_autopattr *)obj)->values->size();
}

long simhost_pattr_value(t_object *obj, long index, const char **name, const t_atom **argv)
{
    const Atoms *value = nullptr;
    if (is_a(obj, s_pattr_class) && index == 0 && ((t_pattr *)obj)->saved) {
        value = ((t_pattr *)obj)->value;
        *name = nullptr;
    } else if (is_a(obj, s_autopattr_class) && index >= 0 && (size_t)index < ((t_autopattr *)obj)->values->size()) {
        auto it = std::next(((t_autopattr *)obj)->values->begin(), index);
        value = &it->second;
        *name = it->first.c_str();
    }
    if (!value)
        return -1;
    *argv = value->data();
    return (long)value->size();
}
