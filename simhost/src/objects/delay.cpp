/* delay (del) [N]: a bang sends a bang in the Nth queue pass after it, the
 * next at least (the simulated host has no clock: its time is the passes a
 * scenario runs, so N counts passes, not milliseconds); a bang while
 * waiting starts again. A number into the left inlet sets N and starts,
 * into the right inlet sets N; "stop" cancels. N is 0 by default. */
#include "kit.h"

#include <algorithm>

namespace {

struct t_delay {
    t_object ob;
    t_atom_long passes; /* how many passes a bang waits */
    t_atom_long left;   /* passes still to wait; -1: not waiting */
    void *qelem;
    void *out;
    void *proxy; /* the right inlet: sets the wait */
    long inletnum;
};

void delay_tick(t_delay *x)
{
    if (x->left < 0)
        return;
    if (--x->left > 0) {
        qelem_set(x->qelem);
        return;
    }
    x->left = -1;
    outlet_bang(x->out);
}

void delay_start(t_delay *x)
{
    x->left = x->passes;
    qelem_set(x->qelem);
}

void *delay_new(t_symbol *s, long argc, t_atom *argv)
{
    t_delay *x = (t_delay *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->passes = argv && argc > 0 && argv[0].a_type != A_SYM ? std::max<t_atom_long>(atom_getlong(argv), 0) : 0;
    x->left = -1;
    x->qelem = qelem_new(x, as_method(delay_tick));
    x->proxy = proxy_new(x, 1, &x->inletnum);
    x->out = outlet_new(x, nullptr);
    return x;
}

void delay_free(t_delay *x)
{
    qelem_free(x->qelem);
    object_free(x->proxy);
}

void delay_anything(t_delay *x, t_symbol *s, long argc, t_atom *argv)
{
    const bool number = argv && argc > 0 && argv[0].a_type != A_SYM && s != gensym("stop");
    if (number)
        x->passes = std::max<t_atom_long>(atom_getlong(argv), 0);
    if (proxy_getinlet(&x->ob) == 1)
        return;
    if (s == gensym("stop")) {
        x->left = -1;
        qelem_unset(x->qelem);
        return;
    }
    if (number || s == _sym_bang)
        delay_start(x);
    else
        object_error(&x->ob, "doesn't understand \"%s\"", s->s_name);
}

} // namespace

void delay_setup(t_symbol *name)
{
    kit::anything_class<t_delay>(name, delay_new, delay_free, delay_anything);
}
