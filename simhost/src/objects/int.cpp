/* int (i) [N]: keeps a whole number. A number into the left inlet keeps
 * and sends it (a float cut to its whole part), a bang sends it, "set N"
 * keeps it quietly, as does a number into the right inlet. */
#include "kit.h"

namespace {

struct t_int {
    t_object ob;
    t_atom_long value;
    void *out;
    void *proxy; /* the right inlet: keeps without sending */
    long inletnum;
};

void *int_new(t_symbol *s, long argc, t_atom *argv)
{
    t_int *x = (t_int *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->value = argv && argc > 0 && argv[0].a_type != A_SYM ? atom_getlong(argv) : 0;
    x->proxy = proxy_new(x, 1, &x->inletnum);
    x->out = outlet_new(x, nullptr);
    return x;
}

void int_free(t_int *x)
{
    object_free(x->proxy);
}

void int_anything(t_int *x, t_symbol *s, long argc, t_atom *argv)
{
    const bool number = argv && argc > 0 && argv[0].a_type != A_SYM;
    const bool quiet = s == _sym_set || proxy_getinlet(&x->ob) == 1;
    if (number && (quiet || s == _sym_int || s == _sym_float || s == _sym_list))
        x->value = atom_getlong(argv);
    else if (s != _sym_bang) {
        object_error(&x->ob, "doesn't understand \"%s\"", s->s_name);
        return;
    }
    if (!quiet)
        outlet_int(x->out, x->value);
}

} // namespace

void int_setup(t_symbol *name)
{
    kit::anything_class<t_int>(name, int_new, int_free, int_anything);
}
