/* trigger (t) ARGS: one outlet per argument, sent right to left. b sends a
 * bang, i an int, f a float, s a symbol, l a list, a the message as it
 * came; any other argument is a constant sent as itself. No arguments are
 * "i i". */
#include "kit.h"

#include <cstring>

using kit::Atoms;

namespace {

struct t_trigger {
    t_object ob;
    Atoms *kinds;               /* one per outlet: a letter or a constant */
    std::vector<void *> *outs;  /* left to right */
};

void *trigger_new(t_symbol *s, long argc, t_atom *argv)
{
    t_trigger *x = (t_trigger *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->kinds = new Atoms(kit::args(argc, argv, "i i"));
    x->outs = kit::outlets(x, x->kinds->size());
    return x;
}

void trigger_free(t_trigger *x)
{
    delete x->kinds;
    delete x->outs;
}

/* What one outlet sends of the message whose atoms (selector first unless
 * plain) are in. */
Atoms trigger_convert(const t_atom &kind, t_symbol *s, const Atoms &in)
{
    const char *k = kind.a_type == A_SYM ? kind.a_w.w_sym->s_name : "";
    t_atom a = {};
    if (kind.a_type != A_SYM || std::strlen(k) != 1 || !std::strchr("bifsla", k[0]))
        return Atoms{kind};
    if (k[0] == 'b')
        return Atoms();
    if (k[0] == 'a' || k[0] == 'l')
        return in.empty() ? Atoms{} : in;
    const t_atom first = in.empty() ? a : in[0];
    if (k[0] == 'i')
        atom_setlong(&a, first.a_type == A_SYM ? 0 : atom_getlong(&first));
    else if (k[0] == 'f')
        atom_setfloat(&a, first.a_type == A_SYM ? 0 : atom_getfloat(&first));
    else
        atom_setsym(&a, first.a_type == A_SYM ? first.a_w.w_sym : s);
    if (k[0] != 's')
        return Atoms{a};
    t_atom selector = {};
    atom_setsym(&selector, _sym_symbol);
    return Atoms{selector, a};
}

void trigger_anything(t_trigger *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms in = kit::message_atoms(s, argc, argv);
    const uint64_t serial = kit::serial(x);
    for (size_t i = x->kinds->size(); i-- > 0;) {
        kit::output((*x->outs)[i], trigger_convert((*x->kinds)[i], s, in));
        if (kit::serial(x) != serial)
            return;
    }
}

} // namespace

void trigger_setup(t_symbol *name)
{
    kit::anything_class<t_trigger>(name, trigger_new, trigger_free, trigger_anything);
}
