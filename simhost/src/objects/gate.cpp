/* gate [OUTLETS [OPEN]]: messages into the right inlet leave by the open
 * outlet (counted from 1), or nowhere while the gate is closed (0). A
 * number into the left inlet opens that outlet, 0 closes; numbers past the
 * last outlet open the last. One outlet and closed by default. */
#include "kit.h"

#include <algorithm>

namespace {

struct t_gate {
    t_object ob;
    std::vector<void *> *outs; /* left to right */
    long open;                 /* 1..outlets, or 0: closed */
    void *proxy;               /* the right inlet: what passes */
    long inletnum;
};

void gate_open(t_gate *x, t_atom_long n)
{
    x->open = (long)std::clamp<t_atom_long>(n, 0, (t_atom_long)x->outs->size());
}

void *gate_new(t_symbol *s, long argc, t_atom *argv)
{
    t_gate *x = (t_gate *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    const long outlets = argv && argc > 0 ? (long)std::clamp<t_atom_long>(atom_getlong(argv), 1, 100) : 1;
    x->proxy = proxy_new(x, 1, &x->inletnum);
    x->outs = kit::outlets(x, (size_t)outlets);
    gate_open(x, argv && argc > 1 ? atom_getlong(argv + 1) : 0);
    return x;
}

void gate_free(t_gate *x)
{
    object_free(x->proxy);
    delete x->outs;
}

void gate_anything(t_gate *x, t_symbol *s, long argc, t_atom *argv)
{
    if (proxy_getinlet(&x->ob) == 1) {
        if (x->open > 0)
            outlet_anything((*x->outs)[(size_t)x->open - 1], s, (short)(argv ? argc : 0), argv);
        return;
    }
    if ((s == _sym_int || s == _sym_float || s == _sym_list) && argv && argc > 0 && argv[0].a_type != A_SYM)
        gate_open(x, atom_getlong(argv));
    else
        object_error(&x->ob, "doesn't understand \"%s\" in its left inlet", s->s_name);
}

} // namespace

void gate_setup(t_symbol *name)
{
    kit::anything_class<t_gate>(name, gate_new, gate_free, gate_anything);
}
