/* pattr [NAME] [@bindto PATH]: one value in the state system under NAME,
 * its own or that of the object it is bound to (by @bindto, a scripting
 * name, "a::b" into subpatchers and "parent::" up, or by a cord from its
 * middle outlet). It keeps the value the patch file saved ("restore") and
 * gives it back when the patch is made (unless @autorestore 0). Its left
 * outlet sends each new value (unless @thru 0); @invisible 1 hides it from
 * pattrstorage. Also the state system's own calls, which autopattr and
 * pattrstorage share. */
#include "pattr.h"

#include <cstddef>
#include <cstring>
#include <nlohmann/json.hpp>

using kit::Atoms;

namespace {

enum { OUT_VALUE, OUT_BIND, OUT_DUMP };

struct t_pattr {
    t_object ob;
    t_symbol *name;          /* its name in the state system, "" for none */
    t_symbol *bindto;        /* @bindto: the path of the object it is bound to */
    t_atom_long invisible;   /* @invisible: hidden from pattrstorage */
    t_atom_long autorestore; /* @autorestore: gives the saved value when the patch is made */
    t_atom_long thru;        /* @thru: sends each new value out */
    t_atom_long dirty;       /* @dirty: a change of the bound object's value marks the patch unsaved */
    void *out[3];            /* value, bind (a cord binds), dumpout */
    Atoms *value;            /* its own value: saved, given, or through its inlet */
    bool has_value;          /* value holds something */
    Held *held;              /* the bound object */
};

t_class *s_pattr_class;

t_pattr *as_pattr(t_object *obj)
{
    return kit::is(obj, s_pattr_class) ? (t_pattr *)obj : nullptr;
}

/* The object in the box named name of patcher, or NULL. */
t_object *in_patcher(t_object *patcher, const std::string &name)
{
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        if (name == simhost_box_varname(box))
            return kit::box_object(box);
    }
    return nullptr;
}

/* "name", "sub::name", "parent::name", from x's patcher. */
t_object *resolve(t_pattr *x, const std::string &path)
{
    t_object *patcher = kit::patcher(x);
    size_t at = 0;
    for (size_t sep; patcher && (sep = path.find("::", at)) != std::string::npos; at = sep + 2) {
        const std::string step = path.substr(at, sep - at);
        patcher = step == "parent" ? kit::patcher(patcher) : in_patcher(patcher, step);
        if (patcher && !kit::is_patcher(patcher))
            return nullptr;
    }
    t_object *obj = in_patcher(patcher, path.substr(at));
    return obj == &x->ob ? nullptr : obj;
}

t_object *pattr_target(t_pattr *x)
{
    if (x->bindto != _sym_nothing)
        return resolve(x, x->bindto->s_name);
    const std::vector<t_object *> corded = kit::cord_objects(x, OUT_BIND);
    return corded.empty() ? nullptr : corded.front();
}

/* Binds to the object its path names now, which a retyped or renamed box
 * may have changed. */
void pattr_bind(t_pattr *x)
{
    t_object *target = pattr_target(x);
    if (target && held_alive(*x->held) && x->held->obj == target)
        return;
    if (target)
        held_take(&x->ob, *x->held, target);
    else
        held_drop(&x->ob, *x->held);
}

bool pattr_current(t_pattr *x, Atoms &value)
{
    pattr_bind(x);
    if (held_alive(*x->held)) {
        value = x->held->value;
        return x->held->has_value;
    }
    value = *x->value;
    return x->has_value;
}

/* The value out of the left outlet; this may free x. */
void pattr_output(t_pattr *x)
{
    Atoms value;
    if (x->thru && pattr_current(x, value))
        kit::output(x->out[OUT_VALUE], value);
}

void pattr_set(t_pattr *x, const Atoms &value)
{
    pattr_bind(x);
    *x->value = value;
    x->has_value = true;
    if (held_alive(*x->held))
        held_give(*x->held, value);
    pattr_output(x);
}

void *pattr_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pattr *x = (t_pattr *)object_alloc(s_pattr_class);
    if (!x)
        return nullptr;
    x->value = new Atoms;
    x->held = new Held{nullptr, 0, {}, false};
    x->has_value = false;
    x->name = _sym_nothing;
    x->bindto = _sym_nothing;
    x->autorestore = 1;
    x->thru = 1;
    long first = 0;
    if (argc > 0 && argv && argv[0].a_type == A_SYM && argv[0].a_w.w_sym->s_name[0] != '@')
        x->name = argv[first++].a_w.w_sym;
    if (argv)
        attr_args_process(x, (short)(argc - first), argv + first);
    for (int i = OUT_VALUE; i <= OUT_DUMP; ++i)
        x->out[i] = outlet_new(x, nullptr);
    pattr_bind(x);
    return x;
}

void pattr_free(t_pattr *x)
{
    held_drop(&x->ob, *x->held);
    delete x->held;
    delete x->value;
}

/* A value into the inlet sets it (and the bound object's); a bang sends
 * it out. */
void pattr_anything(t_pattr *x, t_symbol *s, long argc, t_atom *argv)
{
    if (s == _sym_bang) {
        pattr_output(x);
        return;
    }
    pattr_set(x, kit::message_atoms(s, argc, argv));
}

/* The top-level patcher, whose window Max marks as changed. */
void mark_dirty(t_pattr *x)
{
    t_object *top = kit::patcher(x);
    while (kit::patcher(top))
        top = kit::patcher(top);
    object_attr_setlong(top, _sym_dirty, 1);
}

/* The bound object changed: read it and send the new value out. */
t_max_err pattr_notify(t_pattr *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    if (!held_changed(msg) || !held_alive(*x->held) || sender != x->held->obj)
        return MAX_ERR_NONE;
    held_read(*x->held);
    if (x->dirty)
        mark_dirty(x);
    pattr_output(x);
    return MAX_ERR_NONE;
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
    x->has_value = true;
    return true;
}

/* The patch is made: the saved value goes to the bound object, as Max
 * restores once a patcher has loaded. */
void pattr_loaded(t_object *obj)
{
    t_pattr *x = (t_pattr *)obj;
    if (x->has_value && x->autorestore)
        pattr_set(x, *x->value);
}

void pattr_save(t_object *obj, nlohmann::json &box)
{
    t_pattr *x = (t_pattr *)obj;
    Atoms value;
    if (pattr_current(x, value))
        box["restore"] = kit::atoms_json(value);
}

} // namespace

/* ---- the state system's calls ---- */

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

bool held_alive(const Held &h)
{
    return h.obj && kit::serial(h.obj) == h.serial;
}

bool held_changed(t_symbol *msg)
{
    return msg == kit::sym("modified") || msg == kit::sym("rebuildcontainedview");
}

void held_take(t_object *holder, Held &h, t_object *obj)
{
    held_drop(holder, h);
    if (!obj || object_attach_byptr_register(holder, obj, kit::sym("box")) != MAX_ERR_NONE)
        return;
    h.obj = obj;
    h.serial = kit::serial(obj);
    held_read(h);
}

void held_drop(t_object *holder, Held &h)
{
    if (held_alive(h))
        object_detach_byptr(holder, h.obj);
    h = Held{nullptr, 0, {}, false};
}

void held_read(Held &h)
{
    h.has_value = held_alive(h) && state_value_of(h.obj, h.value);
}

void held_give(Held &h, const Atoms &value)
{
    if (!held_alive(h))
        return;
    state_give(h.obj, value);
    held_read(h);
}

void state_attribute(t_class *c, const char *name, t_symbol *type, long offset)
{
    class_addattr(c, attr_offset_new(name, type, 0, nullptr, nullptr, offset));
}

std::map<std::string, Atoms> state_values(t_object *patcher)
{
    std::map<std::string, Atoms> out;
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *obj = kit::box_object(simhost_patcher_box(patcher, n));
        std::string name;
        Atoms value;
        if (pattr_exposed(obj, name, value))
            out[name] = value;
        autopattr_exposed(obj, out);
    }
    return out;
}

/* Looked up afresh for each value: a value given before may have made the
 * patch change. */
bool state_recall(t_object *patcher, const std::string &name, const Atoms &value)
{
    for (long n = 0; patcher && n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *obj = kit::box_object(simhost_patcher_box(patcher, n));
        if (pattr_recall(obj, name, value) || autopattr_recall(obj, name, value))
            return true;
    }
    return false;
}

bool pattr_exposed(t_object *obj, std::string &name, Atoms &value)
{
    t_pattr *x = as_pattr(obj);
    if (!x || x->name == _sym_nothing || x->invisible)
        return false;
    name = x->name->s_name;
    return pattr_current(x, value);
}

bool pattr_recall(t_object *obj, const std::string &name, const Atoms &value)
{
    t_pattr *x = as_pattr(obj);
    if (!x || x->name == _sym_nothing || x->invisible || name != x->name->s_name)
        return false;
    pattr_set(x, value);
    return true;
}

void pattr_setup(t_symbol *name)
{
    t_class *c =
        class_new(name->s_name, as_method(pattr_new), as_method(pattr_free), (long)sizeof(t_pattr), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(pattr_anything), _sym_anything->s_name, A_GIMME, 0);
    class_addmethod(c, as_method(pattr_notify), "notify", A_CANT, 0);
    kit::patch_hooks(c, {pattr_read, pattr_loaded, pattr_save});
    state_attribute(c, "bindto", _sym_symbol, (long)offsetof(t_pattr, bindto));
    state_attribute(c, "invisible", _sym_long, (long)offsetof(t_pattr, invisible));
    state_attribute(c, "autorestore", _sym_long, (long)offsetof(t_pattr, autorestore));
    state_attribute(c, "thru", _sym_long, (long)offsetof(t_pattr, thru));
    state_attribute(c, "dirty", _sym_long, (long)offsetof(t_pattr, dirty));
    class_register(_sym_box, c);
    s_pattr_class = c;
}

void pattr_teardown(void)
{
    s_pattr_class = nullptr;
}
