/* unpack ITEMS: a list's atoms go out one per outlet, right to left, each
 * as its outlet's kind (as pack reads its arguments: "i" or a whole number
 * an int, "f" or a number with a dot a float, "s" or a word a symbol).
 * Atoms past the last outlet are dropped. No arguments are "0 0". */
#include "kit.h"

#include <algorithm>
#include <cstring>

using kit::Atoms;

namespace {

struct t_unpack {
    t_object ob;
    std::vector<char> *kinds;  /* 'i', 'f' or 's' per outlet */
    std::vector<void *> *outs; /* left to right */
};

char unpack_kind(const t_atom &a)
{
    if (a.a_type == A_LONG)
        return 'i';
    if (a.a_type == A_FLOAT)
        return 'f';
    const char *word = a.a_w.w_sym->s_name;
    return !std::strcmp(word, "i") || !std::strcmp(word, "f") ? word[0] : 's';
}

void *unpack_new(t_symbol *s, long argc, t_atom *argv)
{
    t_unpack *x = (t_unpack *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->kinds = new std::vector<char>;
    for (const t_atom &a : kit::args(argc, argv, "0 0"))
        x->kinds->push_back(unpack_kind(a));
    x->outs = kit::outlets(x, x->kinds->size());
    return x;
}

void unpack_free(t_unpack *x)
{
    delete x->kinds;
    delete x->outs;
}

void unpack_one(void *out, char kind, const t_atom &a)
{
    if (kind == 's' && a.a_type == A_SYM) {
        outlet_anything(out, _sym_symbol, 1, const_cast<t_atom *>(&a));
        return;
    }
    if (kind == 'i' && a.a_type != A_SYM)
        outlet_int(out, atom_getlong(&a));
    else if (kind == 'f' && a.a_type != A_SYM)
        outlet_float(out, atom_getfloat(&a));
}

void unpack_anything(t_unpack *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms in = kit::message_atoms(s, argc, argv);
    const uint64_t serial = kit::serial(x);
    for (size_t i = std::min(in.size(), x->outs->size()); i-- > 0;) {
        unpack_one((*x->outs)[i], (*x->kinds)[i], in[i]);
        if (kit::serial(x) != serial)
            return;
    }
}

} // namespace

void unpack_setup(t_symbol *name)
{
    kit::anything_class<t_unpack>(name, unpack_new, unpack_free, unpack_anything);
}
