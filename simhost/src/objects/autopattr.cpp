/* autopattr: takes the named objects of its patcher into the state system,
 * and keeps the value each had when the patch was saved. Which objects:
 * every named object that answers getvalueof, or, with the host variant
 * autopattr-ui-only, named UI objects only, as its reference says. Either
 * way a cord from its left (include) outlet takes an object in, and one
 * from its second (exclude) outlet keeps it out. */
#include "pattr.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <nlohmann/json.hpp>

using kit::Atoms;

namespace {

enum { OUT_INCLUDE, OUT_EXCLUDE, OUT_PASS, OUT_DUMP };

struct t_autopattr {
    t_object ob;
    t_atom_long autorestore;              /* @autorestore: gives the saved values when the patch is made */
    t_atom_long autoname, greedy, dirty;  /* accepted, not acted on */
    void *out[4];                         /* include, exclude, pass-through, dumpout */
    std::map<std::string, Atoms> *values; /* saved, or taken at the last store, by scripting name */
    std::map<std::string, Held> *held;    /* the objects it holds, by scripting name */
};

t_class *s_autopattr_class;

bool corded(t_autopattr *x, long outlet, t_object *obj)
{
    for (t_object *o : kit::cord_objects(x, outlet))
        if (o == obj)
            return true;
    return false;
}

/* Whether the object in box takes part, by the run's rule. */
bool takes_in(t_autopattr *x, t_object *box, t_object *obj)
{
    if (!obj || obj == &x->ob || !kit::understands(obj, "getvalueof") || corded(x, OUT_EXCLUDE, obj))
        return false;
    if (corded(x, OUT_INCLUDE, obj))
        return true;
    return !kit::variant(simhost_variant::autopattr_ui_only) || std::strcmp(simhost_box_maxclass(box), "newobj") != 0;
}

/* Takes in the objects of its patcher that take part now and lets go of
 * those that no longer do (a box retyped, renamed, deleted, or a cord). */
void autopattr_sync(t_autopattr *x)
{
    std::map<std::string, t_object *> now;
    t_object *patcher = kit::patcher(x);
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        const char *name = simhost_box_varname(box);
        if (name && *name && takes_in(x, box, kit::box_object(box)))
            now[name] = kit::box_object(box);
    }
    for (auto it = x->held->begin(); it != x->held->end();) {
        const bool stays = now.count(it->first) && held_alive(it->second) && it->second.obj == now[it->first];
        if (stays)
            now.erase(it->first);
        else
            held_drop(&x->ob, it->second);
        it = stays ? std::next(it) : x->held->erase(it);
    }
    for (const auto &n : now)
        held_take(&x->ob, (*x->held)[n.first], n.second);
}

void *autopattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_autopattr *x = (t_autopattr *)object_alloc(s_autopattr_class);
    if (!x)
        return nullptr;
    x->values = new std::map<std::string, Atoms>;
    x->held = new std::map<std::string, Held>;
    x->autorestore = 1;
    if (argv)
        attr_args_process(x, (short)argc, argv);
    for (int i = OUT_INCLUDE; i <= OUT_DUMP; ++i)
        x->out[i] = outlet_new(x, nullptr);
    autopattr_sync(x);
    return x;
}

void autopattr_free(t_autopattr *x)
{
    for (auto &h : *x->held)
        held_drop(&x->ob, h.second);
    delete x->held;
    delete x->values;
}

/* An object it holds changed: read it again. */
t_max_err autopattr_notify(t_autopattr *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    if (!held_changed(msg))
        return MAX_ERR_NONE;
    for (auto &h : *x->held)
        if (held_alive(h.second) && h.second.obj == sender)
            held_read(h.second);
    return MAX_ERR_NONE;
}

} // namespace

bool autopattr_is(const void *obj)
{
    return kit::is(obj, s_autopattr_class);
}

/* The values of the objects it holds; a saved value of a named box whose
 * object answers no getvalueof (one the host does not know) is kept while
 * the box stays. */
void autopattr_store(t_object *obj)
{
    if (!autopattr_is(obj))
        return;
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_sync(x);
    std::map<std::string, Atoms> now;
    autopattr_exposed(obj, now);
    t_object *patcher = kit::patcher(x);
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        const char *name = simhost_box_varname(box);
        t_object *inner = kit::box_object(box);
        if (name && *name && x->values->count(name) && !(inner && kit::understands(inner, "getvalueof")))
            now[name] = (*x->values)[name];
    }
    x->values->swap(now);
}

void autopattr_restore(t_object *obj)
{
    if (!autopattr_is(obj))
        return;
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_sync(x);
    if (!x->autorestore)
        return;
    /* a value given may make the patch change the table: give from a copy */
    const std::map<std::string, Atoms> values = *x->values;
    const uint64_t self = kit::serial(x);
    for (const auto &v : values)
        if (kit::serial(x) == self)
            autopattr_recall(obj, v.first, v.second);
}

void autopattr_exposed(t_object *obj, std::map<std::string, Atoms> &out)
{
    if (!autopattr_is(obj))
        return;
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_sync(x);
    for (const auto &h : *x->held)
        if (h.second.has_value)
            out[h.first] = h.second.value;
}

bool autopattr_recall(t_object *obj, const std::string &name, const Atoms &value)
{
    if (!autopattr_is(obj))
        return false;
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_sync(x);
    auto found = x->held->find(name);
    if (found == x->held->end())
        return false;
    held_give(found->second, value);
    return true;
}

namespace {

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

/* The values taken now, beside the saved ones the host could not hold. */
void autopattr_save(t_object *obj, nlohmann::json &box)
{
    t_autopattr *x = (t_autopattr *)obj;
    autopattr_store(obj);
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
    class_addmethod(c, as_method(autopattr_notify), "notify", A_CANT, 0);
    kit::patch_hooks(c, {autopattr_read, autopattr_restore, autopattr_save});
    state_attribute(c, "autorestore", _sym_long, (long)offsetof(t_autopattr, autorestore));
    state_attribute(c, "autoname", _sym_long, (long)offsetof(t_autopattr, autoname));
    state_attribute(c, "greedy", _sym_long, (long)offsetof(t_autopattr, greedy));
    state_attribute(c, "dirty", _sym_long, (long)offsetof(t_autopattr, dirty));
    class_register(_sym_box, c);
    s_autopattr_class = c;
}

void autopattr_teardown(void)
{
    s_autopattr_class = nullptr;
}
