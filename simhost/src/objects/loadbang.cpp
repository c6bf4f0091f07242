/* loadbang: a bang once its patch has opened (the host's "loadbang" call to
 * every object of a patch it has made), and at every bang into its inlet. */
#include "kit.h"

namespace {

struct t_loadbang {
    t_object ob;
    void *out;
};

void *loadbang_new(t_symbol *s, long argc, t_atom *argv)
{
    t_loadbang *x = (t_loadbang *)object_alloc(kit::class_named(s));
    if (x)
        x->out = outlet_new(x, nullptr);
    return x;
}

void loadbang_bang(t_loadbang *x)
{
    outlet_bang(x->out);
}

} // namespace

void loadbang_setup(t_symbol *name)
{
    kit::box_class(name, as_method(loadbang_new), nullptr, (long)sizeof(t_loadbang),
                   {{as_method(loadbang_bang), "loadbang", A_CANT},
                    {as_method(loadbang_bang), _sym_bang->s_name, A_NOTHING}});
}
