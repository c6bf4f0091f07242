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

void *loadmess_new(t_symbol *s, long argc, t_atom *argv)
{
    t_loadmess *x = (t_loadmess *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->message = new Atoms(kit::args(argc, argv));
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
    kit::box_class(name, as_method(loadmess_new), as_method(loadmess_free), (long)sizeof(t_loadmess),
                   {{as_method(loadmess_bang), "loadbang", A_CANT},
                    {as_method(loadmess_bang), _sym_bang->s_name, A_NOTHING}});
}
