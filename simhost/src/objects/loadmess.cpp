/* loadmess ATOMS: sends its arguments once its patch has opened (the
 * host's "loadbang" call), and again at every bang into its inlet. */
#include "kit.h"

using kit::Atoms;

namespace {

struct t_loadmess {
    t_object ob;
    Atoms *message;
    void *out;
};

t_class *s_loadmess_class;

void *loadmess_new(t_symbol *s, long argc, t_atom *argv)
{
    t_loadmess *x = (t_loadmess *)object_alloc(s_loadmess_class);
    if (!x)
        return nullptr;
    x->message = argv && argc > 0 ? new Atoms(argv, argv + argc) : new Atoms;
    x->out = outlet_new(x, nullptr);
    return x;
}

void loadmess_free(t_loadmess *x)
{
    delete x->message;
}

void loadmess_bang(t_loadmess *x)
{
    kit::output(x->out, *x->message);
}

} // namespace

void loadmess_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, as_method(loadmess_new), as_method(loadmess_free), (long)sizeof(t_loadmess),
                           nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(loadmess_bang), "loadbang", A_CANT, 0);
    class_addmethod(c, as_method(loadmess_bang), _sym_bang->s_name, 0);
    class_register(_sym_box, c);
    s_loadmess_class = c;
}

void loadmess_teardown(void)
{
    s_loadmess_class = nullptr;
}
