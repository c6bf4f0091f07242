/* print: each message as a console line, "NAME: selector atoms". */
#include "kit.h"

#include <string>

using kit::Atoms;

namespace {

struct t_print {
    t_object ob;
    t_symbol *name;
};

/* The first argument names the lines, unless it is an attribute. */
void *print_new(t_symbol *s, long argc, t_atom *argv)
{
    t_print *x = (t_print *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->name = gensym("print");
    if (argc > 0 && argv) {
        std::string first = kit::text(1, argv, false);
        if (!(argv[0].a_type == A_SYM && first[0] == '@'))
            x->name = gensym(first.c_str());
    }
    return x;
}

/* The selector is left out when it is plain and there are atoms to show. */
void print_anything(t_print *x, t_symbol *s, long argc, t_atom *argv)
{
    Atoms shown;
    if (!(kit::is_plain(s) && argc > 0)) {
        t_atom a = {};
        atom_setsym(&a, s);
        shown.push_back(a);
    }
    if (argv && argc > 0)
        shown.insert(shown.end(), argv, argv + argc);
    std::string line = std::string(x->name->s_name) + ": " + kit::text((long)shown.size(), shown.data(), true);
    post("%s", line.c_str());
}

} // namespace

void print_setup(t_symbol *name)
{
    kit::box_class(name, as_method(print_new), nullptr, (long)sizeof(t_print),
                   {kit::anything(as_method(print_anything))});
}
