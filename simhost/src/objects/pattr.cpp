/* pattr [NAME] [@bindto BOX]: exposes one object of its patcher to the
 * state system under NAME, and keeps the value it had when the patch was
 * saved ("restore" in the file). Also the state system's own calls, which
 * autopattr and pattrstorage share. */
#include "pattr.h"

using kit::Atoms;

namespace {

struct t_pattr {
    t_object ob;
    t_symbol *name;
    t_symbol *bindto;
    Atoms *value;
    bool saved; /* value came from the file or from a store */
};

t_class *s_pattr_class;

/* Other attributes are left alone. */
void *pattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pattr *x = (t_pattr *)object_alloc(s_pattr_class);
    if (!x)
        return nullptr;
    x->value = new Atoms;
    x->saved = false;
    x->name = _sym_nothing;
    x->bindto = _sym_nothing;
    if (argc > 0 && argv && argv[0].a_type == A_SYM && argv[0].a_w.w_sym->s_name[0] != '@')
        x->name = argv[0].a_w.w_sym;
    for (long i = 0; argv && i + 1 < argc; ++i)
        if (argv[i].a_type == A_SYM && argv[i].a_w.w_sym == kit::sym("@bindto") && argv[i + 1].a_type == A_SYM)
            x->bindto = argv[i + 1].a_w.w_sym;
    return x;
}

void pattr_free(t_pattr *x)
{
    delete x->value;
}

void pattr_store(t_pattr *x)
{
    Atoms value;
    if (state_value_of(kit::named(x, x->bindto), value)) {
        *x->value = value;
        x->saved = true;
    }
}

t_pattr *as_pattr(t_object *obj)
{
    return kit::is(obj, s_pattr_class) ? (t_pattr *)obj : nullptr;
}

} // namespace

bool state_value_of(t_object *obj, Atoms &out)
{
    long ac = 0;
    t_atom *av = nullptr;
    if (!obj || !kit::understands(obj, "getvalueof") || object_getvalueof(obj, &ac, &av) != MAX_ERR_NONE)
        return false;
    out.assign(av, av + (av && ac > 0 ? ac : 0));
    if (av)
        freebytes(av, (t_getbytes_size)(ac * (long)sizeof(t_atom)));
    return true;
}

void state_give(t_object *obj, Atoms value)
{
    if (obj && kit::understands(obj, "setvalueof"))
        object_setvalueof(obj, (long)value.size(), value.data());
}

bool pattr_exposes(t_object *obj, t_symbol **name, t_object **bound)
{
    t_pattr *x = as_pattr(obj);
    if (!x || x->name == _sym_nothing)
        return false;
    *name = x->name;
    *bound = kit::named(x, x->bindto);
    return true;
}

void pattr_setup(t_symbol *name)
{
    t_class *c =
        class_new(name->s_name, as_method(pattr_new), as_method(pattr_free), (long)sizeof(t_pattr), nullptr, A_GIMME, 0);
    class_register(_sym_box, c);
    s_pattr_class = c;
}

void pattr_teardown(void)
{
    s_pattr_class = nullptr;
}

/* ---- control calls ---- */

t_max_err simhost_pattr_saved(t_object *obj, const char *name, long argc, const t_atom *argv)
{
    Atoms value(argv, argv + (argv && argc > 0 ? argc : 0));
    std::map<std::string, Atoms> *values = autopattr_values(obj);
    if (values && name && *name) {
        (*values)[name] = value;
        return MAX_ERR_NONE;
    }
    t_pattr *x = as_pattr(obj);
    if (x && !name) {
        *x->value = value;
        x->saved = true;
        return MAX_ERR_NONE;
    }
    return MAX_ERR_GENERIC;
}

t_max_err simhost_pattr_restore(t_object *obj)
{
    if (t_pattr *x = as_pattr(obj)) {
        if (x->saved)
            state_give(kit::named(x, x->bindto), *x->value);
        return MAX_ERR_NONE;
    }
    if (!autopattr_is(obj))
        return MAX_ERR_GENERIC;
    /* a value sent may make the patch change the table: send from a copy */
    const std::map<std::string, Atoms> values = *autopattr_values(obj);
    for (const auto &v : values)
        if (autopattr_is(obj))
            state_give(kit::named(obj, kit::sym(v.first.c_str())), v.second);
    return MAX_ERR_NONE;
}

long simhost_pattr_store(t_object *obj)
{
    if (t_pattr *x = as_pattr(obj)) {
        pattr_store(x);
        return x->saved ? 1 : 0;
    }
    if (!autopattr_is(obj))
        return 0;
    autopattr_store(obj);
    return (long)autopattr_values(obj)->size();
}

long simhost_pattr_value(t_object *obj, long index, const char **name, const t_atom **argv)
{
    const Atoms *value = nullptr;
    t_pattr *x = as_pattr(obj);
    std::map<std::string, Atoms> *values = autopattr_values(obj);
    if (x && index == 0 && x->saved) {
        value = x->value;
        *name = nullptr;
    } else if (values && index >= 0 && (size_t)index < values->size()) {
        auto it = std::next(values->begin(), index);
        value = &it->second;
        *name = it->first.c_str();
    }
    if (!value)
        return -1;
    *argv = value->data();
    return (long)value->size();
}
