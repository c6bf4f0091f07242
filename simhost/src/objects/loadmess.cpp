/* loadmess ATOMS: sends its arguments once its patch has opened (the
 * host's "loadbang" call), and again at every bang into its inlet. */
#include "kit.h"

namespace {

void loadmess_bang(kit::Keeper *x)
{
    kit::output(x->out, *x->atoms);
}

} // namespace

void loadmess_setup(t_symbol *name)
{
    kit::box_class(name, as_method(kit::keeper_new), as_method(kit::keeper_free), (long)sizeof(kit::Keeper),
                   {{as_method(loadmess_bang), "loadbang", A_CANT},
                    {as_method(loadmess_bang), _sym_bang->s_name, A_NOTHING}});
}
