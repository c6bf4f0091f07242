/* prepend ATOMS: each message goes out with the atoms before it. */
#include "kit.h"

using kit::Atoms;

namespace {

void prepend_anything(kit::Keeper *x, t_symbol *s, long argc, t_atom *argv)
{
    Atoms atoms = *x->atoms;
    Atoms tail = kit::message_atoms(s, argc, argv);
    atoms.insert(atoms.end(), tail.begin(), tail.end());
    kit::output(x->out, atoms);
}

} // namespace

void prepend_setup(t_symbol *name)
{
    kit::anything_class<kit::Keeper>(name, kit::keeper_new, kit::keeper_free, prepend_anything);
}
