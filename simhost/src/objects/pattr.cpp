/* pattr [NAME] [@bindto BOX]: exposes one object of its patcher to the
 * state system under NAME, and keeps the value it had when the patch was
 * saved ("restore" in the file). Also the state system's own calls, which
 * autopattr and pattrstorage share. */
#include "pattr.h"

#include <nlohmann/json.hpp>

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

/* The file's "restore": the value it held when the patch was saved. */
bool pattr_read(t_object *obj, const nlohmann::json &box)
{
    t_pattr *x = (t_pattr *)obj;
    const auto restore = box.find("restore");
    Atoms value;
    if (restore == box.end() || !kit::atoms_from(*restore, value))
        return true;
    *x->value = value;
    x->saved = true;
    return true;
}

/* The patch is made: the bound object takes the saved value, as Max
 * restores once a patcher has loaded. */
void pattr_loaded(t_object *obj)
{
    t_pattr *x = (t_pattr *)obj;
    if (x->saved)
        state_give(kit::named(x, x->bindto), *x->value);
}

void pattr_save(t_object *obj, nlohmann::json &box)
{
    t_pattr *x = (t_pattr *)obj;
    pattr_store(x);
    if (x->saved)
        box["restore"] = kit::atoms_json(*x->value);
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
    kit::patch_hooks(c, {pattr_read, pattr_loaded, pattr_save});
    class_register(_sym_box, c);
    s_pattr_class = c;
}

void pattr_teardown(void)
{
    s_pattr_class = nullptr;
}
