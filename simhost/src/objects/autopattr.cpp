/* autopattr: exposes every named object of its patcher to the state
 * system, and keeps the value each had when the patch was saved. */
#include "pattr.h"

using kit::Atoms;

namespace {

struct t_autopattr {
    t_object ob;
    std::map<std::string, Atoms> *values; /* the saved value of each named object, by scripting name */
};

t_class *s_autopattr_class;

void *autopattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_autopattr *x = (t_autopattr *)object_alloc(s_autopattr_class);
    if (x)
        x->values = new std::map<std::string, Atoms>;
    return x;
}

void autopattr_free(t_autopattr *x)
{
    delete x->values;
}

} // namespace

bool autopattr_is(const void *obj)
{
    return kit::is(obj, s_autopattr_class);
}

std::map<std::string, Atoms> *autopattr_values(t_object *obj)
{
    return autopattr_is(obj) ? ((t_autopattr *)obj)->values : nullptr;
}

/* The named objects of the patcher that answer with a value, the others
 * kept as saved while their boxes stay. */
void autopattr_store(t_object *obj)
{
    if (!autopattr_is(obj))
        return;
    t_autopattr *x = (t_autopattr *)obj;
    std::map<std::string, Atoms> now;
    t_object *patcher = kit::patcher(x);
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        const char *name = simhost_box_varname(box);
        if (!name || !*name || kit::box_object(box) == &x->ob)
            continue;
        Atoms value;
        if (state_value_of(kit::box_object(box), value))
            now[name] = value;
        else if (x->values->count(name))
            now[name] = (*x->values)[name];
    }
    x->values->swap(now);
}

void autopattr_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, as_method(autopattr_new), as_method(autopattr_free),
                           (long)sizeof(t_autopattr), nullptr, A_GIMME, 0);
    class_register(_sym_box, c);
    s_autopattr_class = c;
}

void autopattr_teardown(void)
{
    s_autopattr_class = nullptr;
}
