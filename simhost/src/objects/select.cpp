/* select (sel) VALUES: a number or symbol equal to a value sends a bang out
 * of that value's outlet; anything else leaves by the last outlet as it
 * came. An inlet right of the left one per value replaces it. No values is
 * one value, 0. */
#include "kit.h"

using kit::Atoms;

namespace {

void *select_new(t_symbol *s, long argc, t_atom *argv)
{
    return kit::matcher_new(s, kit::args(argc, argv, "0"));
}

bool select_equal(const t_atom &a, const t_atom &b)
{
    if (a.a_type == A_SYM || b.a_type == A_SYM)
        return a.a_type == b.a_type && a.a_w.w_sym == b.a_w.w_sym;
    return atom_getfloat(&a) == atom_getfloat(&b);
}

void select_anything(kit::Matcher *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms in = kit::message_atoms(s, argc, argv);
    if (kit::matcher_replaced(x, in))
        return;
    if (in.size() == 1) {
        const t_atom &key = in.back();
        for (size_t i = 0; i < x->values->size(); i++)
            if (select_equal((*x->values)[i], key)) {
                outlet_bang((*x->outs)[i]);
                return;
            }
    }
    outlet_anything(x->outs->back(), s, (short)(argv ? argc : 0), argv);
}

} // namespace

void select_setup(t_symbol *name)
{
    kit::anything_class<kit::Matcher>(name, select_new, kit::matcher_free, select_anything);
}
