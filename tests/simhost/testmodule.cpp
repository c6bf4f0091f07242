// A module as small as an external can be: ext_main registers one class and
// says so on the console.
#include "max_api.h"
#include "as_method.h"

namespace {

struct t_loaded {
    t_object ob;
};

t_class *loaded_class;

void *loaded_new(t_symbol *s, long argc, t_atom *argv)
{
    return object_alloc(loaded_class);
}

} // namespace

extern "C" C74_EXPORT void ext_main(void *r)
{
    loaded_class = class_new("loaded", as_method(loaded_new),
                             nullptr, (long)sizeof(t_loaded), nullptr, A_GIMME, 0);
    class_register(gensym("box"), loaded_class);
    post("loaded module");
}
