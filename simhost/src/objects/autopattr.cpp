/* autopattr: exposes every named object of its patcher to the state
 * system, and keeps the value each had when the patch was saved. */
#include "pattr.h"

#include <algorithm>
#include <nlohmann/json.hpp>

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

namespace {

/* The named objects of the patcher that answer with a value, the others
 * kept as saved while their boxes stay. */
void autopattr_store(t_autopattr *x)
{
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

/* The file's "restore": each named object's value when the patch was
 * saved; values that are no plain atoms stay in the file only. */
bool autopattr_read(t_object *obj, const nlohmann::json &box)
{
    const auto restore = box.find("restore");
    if (restore == box.end() || !restore->is_object())
        return true;
    for (auto it = restore->begin(); it != restore->end(); ++it) {
        Atoms value;
        if (kit::atoms_from(*it, value))
            (*((t_autopattr *)obj)->values)[it.key()] = value;
    }
    return true;
}

/* A value sent may make the patch change the table: sent from a copy. */
void autopattr_loaded(t_object *obj)
{
    const std::map<std::string, Atoms> values = *((t_autopattr *)obj)->values;
    for (const auto &v : values)
        if (autopattr_is(obj))
            state_give(kit::named(obj, kit::sym(v.first.c_str())), v.second);
}

/* The values taken now, beside the saved ones the host could not hold. */
void autopattr_save(t_object *obj, nlohmann::json &box)
{
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_store(x);
    nlohmann::json restore = nlohmann::json::object();
    const auto saved = box.find("restore");
    if (saved != box.end() && saved->is_object())
        for (auto it = saved->begin(); it != saved->end(); ++it)
            if (!it->is_array() ||
                std::any_of(it->begin(), it->end(), [](const nlohmann::json &v) { return v.is_structured(); }))
                restore[it.key()] = *it;
    for (const auto &v : *x->values)
        restore[v.first] = kit::atoms_json(v.second);
    box["restore"] = restore;
}

} // namespace

void autopattr_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, as_method(autopattr_new), as_method(autopattr_free),
                           (long)sizeof(t_autopattr), nullptr, A_GIMME, 0);
    kit::patch_hooks(c, {autopattr_read, autopattr_loaded, autopattr_save});
    class_register(_sym_box, c);
    s_autopattr_class = c;
}

void autopattr_teardown(void)
{
    s_autopattr_class = nullptr;
}
