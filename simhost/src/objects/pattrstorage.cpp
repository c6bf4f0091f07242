/* pattrstorage: presets by slot number, each the values of the objects that
 * autopattr and pattr expose in its patcher, by their names. Kept in memory
 * only. */
#include "pattr.h"

using kit::Atoms;

namespace {

struct t_pattrstorage {
    t_object ob;
    std::map<t_atom_long, std::map<std::string, Atoms>> *slots;
};

t_class *s_pattrstorage_class;

/* The objects exposed to the state system in x's patcher, by name: with an
 * autopattr there, every named object that has a value; each pattr's bound
 * object under the pattr's name. */
std::map<std::string, t_object *> exposed(t_object *x)
{
    std::map<std::string, t_object *> out;
    t_object *patcher = kit::patcher(x);
    const long count = patcher ? simhost_patcher_boxcount(patcher) : 0;
    bool autopattr = false;
    for (long n = 0; n < count; ++n)
        autopattr |= autopattr_is(kit::box_object(simhost_patcher_box(patcher, n)));
    for (long n = 0; n < count; ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        t_object *obj = kit::box_object(box);
        const char *name = simhost_box_varname(box);
        t_symbol *exposed_name = nullptr;
        t_object *bound = nullptr;
        if (pattr_exposes(obj, &exposed_name, &bound))
            out[exposed_name->s_name] = bound;
        else if (autopattr && name && *name && obj && kit::understands(obj, "getvalueof"))
            out[name] = obj;
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
        if (state_value_of(e.second, value))
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
            state_give(now.at(v.first), v.second);
}

} // namespace

void pattrstorage_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, as_method(pattrstorage_new), as_method(pattrstorage_free),
                           (long)sizeof(t_pattrstorage), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_store), "store", A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_int), "int", A_LONG, 0);
    class_register(_sym_box, c);
    s_pattrstorage_class = c;
}

void pattrstorage_teardown(void)
{
    s_pattrstorage_class = nullptr;
}
