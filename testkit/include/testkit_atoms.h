/* Single atoms for the tests' argument lists. Header only: the simulated
 * host's own tests use it without the rest of the kit. */
#ifndef TESTKIT_ATOMS_H
#define TESTKIT_ATOMS_H

#include "max_api.h"

namespace testkit {

inline t_atom sym_atom(const char *s)
{
    t_atom a;
    atom_setsym(&a, gensym(s));
    return a;
}

inline t_atom long_atom(t_atom_long v)
{
    t_atom a;
    atom_setlong(&a, v);
    return a;
}

inline t_atom float_atom(double v)
{
    t_atom a;
    atom_setfloat(&a, v);
    return a;
}

} // namespace testkit

#endif
