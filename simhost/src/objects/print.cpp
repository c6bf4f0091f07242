/* print: each message as a console line, "NAME: selector atoms". */
#include "kit.h"

#include <string>

using kit::Atoms;

namespace {

struct t_print {
    t_object ob;
    t_symbol *name;
};

t_class *s_print_class;

/* The first argument names the lines, unless it is an attribute. */
void *print_new(t_symbol *s, long argc, t_atom *argv)
{
    t_print *x = (t_print *)object_alloc(s_print_class);
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
    t_class *c = class_new(name->s_name, as_method(print_new), nullptr, (long)sizeof(t_print), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(print_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_box, c);
    s_print_class = c;
}

void print_teardown(void)
{
    s_print_class = nullptr;
}
