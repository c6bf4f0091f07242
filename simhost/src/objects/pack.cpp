/* pack ITEMS: a list of one item per argument (a number keeps its kind, a
 * float when written with a dot; "i", "f" and "s" stand for 0, 0. and an
 * empty symbol; another word is a symbol). The left inlet sets the first
 * item and sends the list, a bang sends it, a list sets the items from the
 * first on and sends it; each inlet to the right sets its item. No
 * arguments are "0 0". */
#include "kit.h"

#include <algorithm>
#include <cstring>

using kit::Atoms;

namespace {

struct t_pack {
    t_object ob;
    Atoms *items;
    std::vector<void *> *proxies; /* one per item after the first */
    void *out;
    long inletnum;
};

t_atom pack_item(const t_atom &arg)
{
    t_atom a = arg;
    const char *word = arg.a_type == A_SYM ? arg.a_w.w_sym->s_name : "";
    if (!std::strcmp(word, "i"))
        atom_setlong(&a, 0);
    else if (!std::strcmp(word, "f"))
        atom_setfloat(&a, 0);
    else if (!std::strcmp(word, "s"))
        atom_setsym(&a, kit::sym(""));
    return a;
}

void *pack_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pack *x = (t_pack *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->items = new Atoms;
    for (const t_atom &a : kit::args(argc, argv, "0 0"))
        x->items->push_back(pack_item(a));
    x->proxies = kit::proxies(x, x->items->size() - 1, &x->inletnum);
    x->out = outlet_new(x, nullptr);
    return x;
}

void pack_free(t_pack *x)
{
    kit::proxies_free(x->proxies);
    delete x->items;
}

/* An item takes the kind its argument gave it: a number goes into a symbol
 * item as nothing, a symbol into a number item as 0. */
void pack_set(t_pack *x, size_t index, const t_atom &value)
{
    t_atom &item = (*x->items)[index];
    if (item.a_type == A_SYM && value.a_type == A_SYM)
        item = value;
    else if (item.a_type == A_LONG && value.a_type != A_SYM)
        atom_setlong(&item, atom_getlong(&value));
    else if (item.a_type == A_FLOAT && value.a_type != A_SYM)
        atom_setfloat(&item, atom_getfloat(&value));
}

void pack_anything(t_pack *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms in = kit::message_atoms(s, argc, argv);
    const long inlet = proxy_getinlet(&x->ob);
    /* a list into a right inlet sets that item only */
    const size_t count = inlet == 0 ? in.size() : std::min(in.size(), (size_t)1);
    for (size_t i = 0; i < count && (size_t)inlet + i < x->items->size(); i++)
        pack_set(x, (size_t)inlet + i, in[i]);
    if (inlet == 0)
        kit::output(x->out, *x->items);
}

} // namespace

void pack_setup(t_symbol *name)
{
    kit::anything_class<t_pack>(name, pack_new, pack_free, pack_anything);
}
