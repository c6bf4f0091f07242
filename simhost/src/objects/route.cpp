/* route KEYS: a message that starts with a key leaves by that key's outlet
 * without it; the rest by the last outlet. The inlet right of the left one
 * for each key replaces it. No keys is one key, 0, as in Max: a bare route
 * has its right inlet and two outlets. */
#include "kit.h"

using kit::Atoms;

namespace {

void *route_new(t_symbol *s, long argc, t_atom *argv)
{
    return kit::matcher_new(s, kit::args(argc, argv, "0"));
}

bool same(const t_atom &a, const t_atom &b)
{
    if (a.a_type == A_SYM || b.a_type == A_SYM)
        return a.a_type == b.a_type && a.a_w.w_sym == b.a_w.w_sym;
    bool numbers = (a.a_type == A_LONG || a.a_type == A_FLOAT) && (b.a_type == A_LONG || b.a_type == A_FLOAT);
    return numbers && atom_getfloat(&a) == atom_getfloat(&b);
}

/* A message is told by its selector, or by its first number when it is an
 * int, a float or a list. */
void route_anything(kit::Matcher *x, t_symbol *s, long argc, t_atom *argv)
{
    if (!argv)
        argc = 0;
    if (kit::matcher_replaced(x, kit::message_atoms(s, argc, argv)))
        return;
    bool numeric = s == _sym_list || s == _sym_int || s == _sym_float;
    if (!numeric || argc > 0) {
        t_atom key = {};
        if (numeric)
            key = argv[0];
        else
            atom_setsym(&key, s);
        const t_atom *rest = numeric ? argv + 1 : argv;
        long restc = numeric ? argc - 1 : argc;
        for (size_t i = 0; i < x->values->size(); i++) {
            if (same((*x->values)[i], key)) {
                kit::output((*x->outs)[i], Atoms(rest, rest + restc));
                return;
            }
        }
    }
    outlet_anything(x->outs->back(), s, (short)argc, argv);
}

} // namespace

void route_setup(t_symbol *name)
{
    kit::anything_class<kit::Matcher>(name, route_new, kit::matcher_free, route_anything);
}
