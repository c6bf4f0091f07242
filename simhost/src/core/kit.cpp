/* The kit of the simulated Max classes (kit.h), over the core's inside. */
#include "host.h"

#include "kit.h"

#include <nlohmann/json.hpp>

using namespace simhost;

namespace kit {

t_symbol *sym(const char *text)
{
    return simhost::sym(text);
}

Method anything(method fn)
{
    return Method{fn, _sym_anything->s_name, A_GIMME};
}

t_class *box_class(t_symbol *name, method make, method free, long size, const std::vector<Method> &methods)
{
    t_class *c = class_new(name->s_name, make, free, size, nullptr, A_GIMME, 0);
    for (const Method &m : methods)
        class_addmethod(c, m.fn, m.name, m.type, 0);
    class_register(_sym_box, c);
    return c;
}

t_class *class_named(t_symbol *name)
{
    return name ? simhost_class_find("box", name->s_name) : nullptr;
}

uint64_t serial(const void *x)
{
    ObjInfo *i = info(x);
    return i ? i->seq : 0;
}

bool is(const void *x, t_class *c)
{
    return is_a(x, c);
}

bool understands(const void *x, const char *message)
{
    return find_method(class_of(x), simhost::sym(message)) != nullptr;
}

t_object *box(const void *x)
{
    ObjInfo *i = info(x);
    return i ? i->box : nullptr;
}

t_object *patcher(const void *x)
{
    t_object *b = box(x);
    return b ? box_patcher(b) : nullptr;
}

bool is_patcher(const void *x)
{
    return simhost::is_patcher(x);
}

t_object *box_object(t_object *box)
{
    return simhost::box_object(box);
}

t_object *named(const void *x, t_symbol *name)
{
    t_object *p = patcher(x);
    if (!p || !name || name == _sym_nothing)
        return nullptr;
    t_object *obj = box_object(patcher_named_box(p, name));
    return obj == x ? nullptr : obj;
}

t_object *box_add(t_object *patcher, const char *maxclass, const char *varname, const char *text, t_object *obj)
{
    return simhost::box_add(patcher, maxclass, varname, text, obj);
}

void box_set_text(t_object *box, const std::string &text)
{
    simhost::box_set_text(box, text);
}

t_object *named_box(t_object *patcher, t_symbol *name)
{
    return patcher_named_box(patcher, name);
}

t_object *box_new(t_object *patcher, const char *varname, const char *text)
{
    return simhost_box_new(patcher, varname, text);
}

void box_delete(t_object *box)
{
    simhost_box_free(box);
}

bool connect(t_object *src, long outlet, t_object *dst, long inlet)
{
    return simhost_connect(src, outlet, dst, inlet) == MAX_ERR_NONE;
}

bool disconnect(t_object *src, long outlet, t_object *dst, long inlet)
{
    return cord_cut(src, outlet, dst, inlet);
}

void hold(void *x)
{
    if (ObjInfo *i = info(x))
        i->held++;
}

bool release(void *x)
{
    ObjInfo *i = info(x);
    if (!i || i->held <= 0 || --i->held > 0 || !i->free_put_off)
        return false;
    obj_free(x);
    return true;
}

bool doomed(const void *x)
{
    ObjInfo *i = info(x);
    return !i || i->free_put_off;
}

bool is_plain(t_symbol *s)
{
    return s == _sym_list || s == _sym_int || s == _sym_float || s == _sym_symbol;
}

Atoms message_atoms(t_symbol *s, long argc, const t_atom *argv)
{
    Atoms atoms;
    if (s != _sym_bang && !is_plain(s)) {
        t_atom a = {};
        a.a_type = A_SYM;
        a.a_w.w_sym = s;
        atoms.push_back(a);
    }
    if (argv && argc > 0)
        atoms.insert(atoms.end(), argv, argv + argc);
    return atoms;
}

void output(void *out, const Atoms &atoms)
{
    if (atoms.empty()) {
        outlet_bang(out);
        return;
    }
    Atoms args(atoms);
    const t_atom &first = args[0];
    if (first.a_type == A_SYM)
        outlet_anything(out, first.a_w.w_sym, (short)(args.size() - 1), args.data() + 1);
    else if (args.size() == 1 && first.a_type == A_LONG)
        outlet_int(out, first.a_w.w_long);
    else if (args.size() == 1 && first.a_type == A_FLOAT)
        outlet_float(out, first.a_w.w_float);
    else
        outlet_list(out, _sym_list, (short)args.size(), args.data());
}

void send(t_object *x, t_symbol *s, const Atoms &atoms)
{
    send_typed(x, s, (long)atoms.size(), atoms.data());
}

std::string text(long argc, const t_atom *argv, bool quoted)
{
    return box_text(argc, argv, quoted);
}

Atoms parse(const char *text)
{
    return parse_atoms(text);
}

Atoms args(long argc, const t_atom *argv, const char *fallback)
{
    return argv && argc > 0 ? Atoms(argv, argv + argc) : parse_atoms(fallback);
}

std::vector<void *> *outlets(void *x, size_t count)
{
    std::vector<void *> *outs = new std::vector<void *>;
    for (size_t i = 0; i < count; i++)
        outs->push_back(outlet_new(x, nullptr));
    return outs;
}

std::vector<void *> *proxies(void *x, size_t count, long *inletnum)
{
    std::vector<void *> *out = new std::vector<void *>;
    for (size_t i = 1; i <= count; i++)
        out->push_back(proxy_new(x, (long)i, inletnum));
    return out;
}

void proxies_free(std::vector<void *> *proxies)
{
    for (void *p : *proxies)
        object_free(p);
    delete proxies;
}

void *matcher_new(t_symbol *s, const Atoms &values)
{
    Matcher *x = (Matcher *)object_alloc(class_named(s));
    if (!x)
        return nullptr;
    x->values = new Atoms(values);
    x->outs = outlets(x, values.size() + 1);
    x->proxies = proxies(x, values.size(), &x->inletnum);
    return x;
}

void matcher_free(Matcher *x)
{
    proxies_free(x->proxies);
    delete x->values;
    delete x->outs;
}

bool matcher_replaced(Matcher *x, const Atoms &in)
{
    const long inlet = proxy_getinlet(&x->ob);
    if (inlet <= 0)
        return false;
    if (!in.empty() && (size_t)inlet <= x->values->size())
        (*x->values)[(size_t)inlet - 1] = in[0];
    return true;
}

void *keeper_new(t_symbol *s, long argc, const t_atom *argv)
{
    Keeper *x = (Keeper *)object_alloc(class_named(s));
    if (!x)
        return nullptr;
    x->atoms = new Atoms(args(argc, argv));
    x->out = outlet_new(x, nullptr);
    return x;
}

void keeper_free(Keeper *x)
{
    delete x->atoms;
}

std::vector<t_object *> cord_objects(const void *x, long outlet)
{
    std::vector<t_object *> out;
    std::vector<Cord> cords;
    HostLock hold(host_lock());
    if (t_object *b = box(x))
        box_connections(b, outlet, cords);
    for (const Cord &c : cords)
        if (t_object *obj = simhost::box_object(c.dst))
            out.push_back(obj);
    return out;
}

void ports(void *x, long inlets, long outlets)
{
    set_ports(x, inlets, outlets);
}

void patch_hooks(t_class *c, const PatchHooks &hooks)
{
    if (c)
        c->hooks = hooks;
}

bool atoms_from(const nlohmann::json &value, Atoms &out)
{
    if (!value.is_array())
        return false;
    out.clear();
    for (const nlohmann::json &v : value) {
        if (v.is_number_integer())
            out.push_back(long_atom(v.get<t_atom_long>()));
        else if (v.is_number())
            out.push_back(float_atom(v.get<double>()));
        else if (v.is_string())
            out.push_back(sym_atom(simhost::sym(v.get<std::string>().c_str())));
        else
            return false;
    }
    return true;
}

nlohmann::json atoms_json(const Atoms &atoms)
{
    nlohmann::json out = nlohmann::json::array();
    for (const t_atom &a : atoms) {
        if (a.a_type == A_LONG)
            out.push_back(a.a_w.w_long);
        else if (a.a_type == A_FLOAT)
            out.push_back(a.a_w.w_float);
        else if (a.a_type == A_SYM)
            out.push_back(a.a_w.w_sym->s_name);
    }
    return out;
}

HWND window(const char *cls, WNDPROC proc, const char *title, long long x, long long y, long long w, long long h,
            DWORD exstyle)
{
    return client_window(cls, proc, title, x, y, w, h, exstyle);
}

} // namespace kit
