/* select (sel) VALUES: a number or symbol equal to a value sends a bang out
 * of that value's outlet; anything else leaves by the last outlet as it
 * came. An inlet right of the left one per value replaces it. No values is
 * one value, 0. */
#include "kit.h"

using kit::Atoms;

namespace {

struct t_select {
    t_object ob;
    Atoms *values;
    std::vector<void *> *outs;    /* one per value, then the one for the rest */
    std::vector<void *> *proxies; /* one per value */
    long inletnum;
};

void *select_new(t_symbol *s, long argc, t_atom *argv)
{
    t_select *x = (t_select *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->values = new Atoms(kit::args(argc, argv, "0"));
    x->outs = kit::outlets(x, x->values->size() + 1);
    x->proxies = kit::proxies(x, x->values->size(), &x->inletnum);
    return x;
}

void select_free(t_select *x)
{
    kit::proxies_free(x->proxies);
    delete x->values;
    delete x->outs;
}

bool select_equal(const t_atom &a, const t_atom &b)
{
    if (a.a_type == A_SYM || b.a_type == A_SYM)
        return a.a_type == b.a_type && a.a_w.w_sym == b.a_w.w_sym;
    return atom_getfloat(&a) == atom_getfloat(&b);
}

void select_anything(t_select *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms in = kit::message_atoms(s, argc, argv);
    const long inlet = proxy_getinlet(&x->ob);
    if (inlet > 0) {
        if (!in.empty() && (size_t)inlet <= x->values->size())
            (*x->values)[(size_t)inlet - 1] = in[0];
        return;
    }
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
    kit::box_class(name, as_method(select_new), as_method(select_free), (long)sizeof(t_select), {kit::anything(as_method(select_anything))});
}
