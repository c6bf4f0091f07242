/* loadbang: a bang once its patch has opened (the host's "loadbang" call to
 * every object of a patch it has made), and at every bang into its inlet. */
#include "kit.h"

namespace {

struct t_loadbang {
    t_object ob;
    void *out;
};

t_class *s_loadbang_class;

void *loadbang_new(t_symbol *s, long argc, t_atom *argv)
{
    t_loadbang *x = (t_loadbang *)object_alloc(s_loadbang_class);
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
    t_class *c =
        class_new(name->s_name, as_method(loadbang_new), nullptr, (long)sizeof(t_loadbang), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(loadbang_bang), "loadbang", A_CANT, 0);
    class_addmethod(c, as_method(loadbang_bang), _sym_bang->s_name, 0);
    class_register(_sym_box, c);
    s_loadbang_class = c;
}

void loadbang_teardown(void)
{
    s_loadbang_class = nullptr;
}
