/* prepend ATOMS: each message goes out with the atoms before it. */
#include "kit.h"

using kit::Atoms;

namespace {

struct t_prepend {
    t_object ob;
    Atoms *prefix;
    void *out;
};

void *prepend_new(t_symbol *s, long argc, t_atom *argv)
{
    t_prepend *x = (t_prepend *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->prefix = new Atoms(kit::args(argc, argv));
    x->out = outlet_new(x, nullptr);
    return x;
}

void prepend_free(t_prepend *x)
{
    delete x->prefix;
}

void prepend_anything(t_prepend *x, t_symbol *s, long argc, t_atom *argv)
{
    Atoms atoms = *x->prefix;
    Atoms tail = kit::message_atoms(s, argc, argv);
    atoms.insert(atoms.end(), tail.begin(), tail.end());
    kit::output(x->out, atoms);
}

} // namespace

void prepend_setup(t_symbol *name)
{
    kit::anything_class<t_prepend>(name, prepend_new, prepend_free, prepend_anything);
}
