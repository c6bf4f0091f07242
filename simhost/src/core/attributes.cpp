/* Attributes: values at byte offsets in the object's record, or behind a
 * getter and setter; the attributes given to single objects; creation
 * arguments "@name value...". A change made through the host tells the
 * object's observers "attr_modified". */
#include "host.h"

#include "kit.h"

#include <cstdlib>
#include <cstring>

namespace simhost {

namespace {

typedef t_max_err (*getter_fn)(void *, void *, long *, t_atom **);
typedef t_max_err (*setter_fn)(void *, void *, long, t_atom *);

t_atom long_atom(t_atom_long v)
{
    t_atom a;
    a.a_type = A_LONG;
    a.a_w.w_long = v;
    return a;
}

t_atom float_atom(double v)
{
    t_atom a;
    a.a_type = A_FLOAT;
    a.a_w.w_float = v;
    return a;
}

t_atom sym_atom(t_symbol *s)
{
    t_atom a;
    a.a_type = A_SYM;
    a.a_w.w_sym = s ? s : _sym_nothing;
    return a;
}

/* Types by their symbol: "char" a char, "long" and "atom_long" a long atom
 * (intptr_t), "float32" a float, "float64" a double, "symbol" a symbol
 * pointer, "rect" four doubles. */
bool load(t_object *x, const t_simattr *a, std::vector<t_atom> &out)
{
    const char *base = (const char *)x + a->offset;
    const std::string type = a->type->s_name;
    if (type == "char") {
        out.push_back(long_atom(*(const char *)base));
    } else if (type == "long" || type == "atom_long") {
        t_atom_long v;
        std::memcpy(&v, base, sizeof(v));
        out.push_back(long_atom(v));
    } else if (type == "float32") {
        float v;
        std::memcpy(&v, base, sizeof(v));
        out.push_back(float_atom(v));
    } else if (type == "float64") {
        double v;
        std::memcpy(&v, base, sizeof(v));
        out.push_back(float_atom(v));
    } else if (type == "symbol") {
        t_symbol *v;
        std::memcpy(&v, base, sizeof(v));
        out.push_back(sym_atom(v));
    } else if (type == "rect") {
        t_rect r;
        std::memcpy(&r, base, sizeof(r));
        out.push_back(float_atom(r.x));
        out.push_back(float_atom(r.y));
        out.push_back(float_atom(r.width));
        out.push_back(float_atom(r.height));
    } else {
        return false;
    }
    return true;
}

bool store(t_object *x, const t_simattr *a, long argc, const t_atom *argv)
{
    char *base = (char *)x + a->offset;
    const std::string type = a->type->s_name;
    if (argc < 1)
        return false;
    if (type == "char") {
        *base = (char)atom_value_long(argv[0]);
    } else if (type == "long" || type == "atom_long") {
        t_atom_long v = atom_value_long(argv[0]);
        std::memcpy(base, &v, sizeof(v));
    } else if (type == "float32") {
        float v = (float)atom_value_float(argv[0]);
        std::memcpy(base, &v, sizeof(v));
    } else if (type == "float64") {
        double v = atom_value_float(argv[0]);
        std::memcpy(base, &v, sizeof(v));
    } else if (type == "symbol") {
        t_symbol *v = argv[0].a_type == A_SYM && argv[0].a_w.w_sym ? argv[0].a_w.w_sym : sym(atom_text(argv[0]).c_str());
        std::memcpy(base, &v, sizeof(v));
    } else if (type == "rect") {
        if (argc < 4)
            return false;
        t_rect r = {atom_value_float(argv[0]), atom_value_float(argv[1]), atom_value_float(argv[2]),
                    atom_value_float(argv[3])};
        std::memcpy(base, &r, sizeof(r));
    } else {
        return false;
    }
    return true;
}

bool is_attr_name(const t_atom &a)
{
    return a.a_type == A_SYM && a.a_w.w_sym && a.a_w.w_sym->s_name[0] == '@';
}

} // namespace

/* A read or write of a freed object's attribute reads freed memory in the
 * host: a violation, as any other use of a freed object. */
bool attr_read(t_object *x, t_symbol *name, std::vector<t_atom> &out)
{
    ObjInfo *i = info(x);
    if (!i) {
        const std::string what = "read of attribute \"" + std::string(name ? name->s_name : "") + "\"";
        /* Max finds the attribute through the object: none is a crash */
        if (!x)
            violation(nullptr, what + " of no object");
        dangling(x, what.c_str());
        return false;
    }
    if (t_simattr *a = find_attr(i->cls, name)) {
        if (!a->get)
            return load(x, a, out);
        long ac = 0;
        t_atom *av = nullptr;
        t_max_err err = from_method<getter_fn>(a->get)(x, a, &ac, &av);
        if (err == MAX_ERR_NONE && av && ac > 0)
            out.assign(av, av + ac);
        std::free(av);
        return err == MAX_ERR_NONE;
    }
    auto d = i->dynattrs.find(name);
    if (d == i->dynattrs.end())
        return false;
    out = d->second.atoms;
    return true;
}

t_max_err attr_write(t_object *x, t_symbol *name, long argc, const t_atom *argv)
{
    ObjInfo *i = info(x);
    if (!i)
        dangling(x, ("write of attribute \"" + std::string(name ? name->s_name : "") + "\"").c_str());
    if (!i || argc < 1 || !argv)
        return MAX_ERR_GENERIC;
    std::vector<t_atom> atoms(argv, argv + argc);
    if (t_simattr *a = find_attr(i->cls, name)) {
        if (a->set) {
            t_max_err err = from_method<setter_fn>(a->set)(x, a, argc, atoms.data());
            if (err != MAX_ERR_NONE)
                return err;
        } else if (!store(x, a, argc, atoms.data())) {
            return MAX_ERR_GENERIC;
        }
        notify_observers(x, x, _sym_attr_modified, a);
        return MAX_ERR_NONE;
    }
    auto d = i->dynattrs.find(name);
    if (d == i->dynattrs.end())
        return MAX_ERR_GENERIC;
    d->second.atoms = atoms;
    d->second.text = atoms_text(argc, atoms.data());
    notify_observers(x, x, _sym_attr_modified, nullptr);
    return MAX_ERR_NONE;
}

void dynattr_set(t_object *x, t_symbol *name, t_symbol *type, const std::string &text)
{
    DynAttr &d = info(x)->dynattrs[name];
    d.type = type;
    d.text = text;
    d.atoms = parse_atoms(text.c_str());
}

bool attr_opaque(t_class *c, t_symbol *name, long flags)
{
    t_simattr *a = c ? find_attr(c, name) : nullptr;
    return a && (a->flags & flags) != 0;
}

bool attr_opaque(const void *x, t_symbol *name, long flags)
{
    return attr_opaque(class_of(x), name, flags);
}

} // namespace simhost

using namespace simhost;

/* Attributes made ATTR_GET_OPAQUE cannot be read from outside the object,
 * ATTR_SET_OPAQUE ones not be set, as in the host; the object itself reads
 * and writes its fields directly. */
t_symbol *object_attr_getsym(void *x, t_symbol *s)
{
    count("object_attr_getsym");
    std::vector<t_atom> atoms;
    if (attr_opaque(x, s, GET_OPAQUE) || !attr_read((t_object *)x, s, atoms))
        return nullptr;
    if (atoms.empty() || atoms[0].a_type != A_SYM || !atoms[0].a_w.w_sym)
        return _sym_nothing;
    return atoms[0].a_w.w_sym;
}

t_atom_long object_attr_getlong(void *x, t_symbol *s)
{
    count("object_attr_getlong");
    std::vector<t_atom> atoms;
    if (attr_opaque(x, s, GET_OPAQUE) || !attr_read((t_object *)x, s, atoms) || atoms.empty())
        return 0;
    return atom_value_long(atoms[0]);
}

t_object *object_attr_getobj(void *x, t_symbol *s)
{
    count("object_attr_getobj");
    std::vector<t_atom> atoms;
    if (attr_opaque(x, s, GET_OPAQUE) || !attr_read((t_object *)x, s, atoms) || atoms.empty())
        return nullptr;
    return atoms[0].a_type == A_OBJ ? atoms[0].a_w.w_obj : nullptr;
}

t_max_err object_attr_setlong(void *x, t_symbol *s, t_atom_long c)
{
    count("object_attr_setlong");
    t_atom a;
    a.a_type = A_LONG;
    a.a_w.w_long = c;
    if (attr_opaque(x, s, SET_OPAQUE))
        return MAX_ERR_GENERIC;
    return attr_write((t_object *)x, s, 1, &a);
}

t_max_err object_attr_getvalueof(void *x, t_symbol *s, long *argc, t_atom **argv)
{
    count("object_attr_getvalueof");
    if (!argc || !argv)
        return MAX_ERR_GENERIC;
    std::vector<t_atom> atoms;
    if (attr_opaque(x, s, GET_OPAQUE) || !attr_read((t_object *)x, s, atoms))
        return MAX_ERR_GENERIC;
    if (atoms.empty() && !*argv && kit::variant(simhost_variant::attr_empty_array))
        *argv = (t_atom *)std::calloc(1, sizeof(t_atom));
    if (!atoms.empty()) {
        if (!*argv || *argc < (long)atoms.size())
            *argv = copy_to_host(atoms);
        else
            std::memcpy(*argv, atoms.data(), atoms.size() * sizeof(t_atom));
        if (!*argv)
            return MAX_ERR_GENERIC;
    }
    *argc = (long)atoms.size();
    return MAX_ERR_NONE;
}

t_max_err object_attr_get_rect(t_object *o, t_symbol *name, t_rect *rect)
{
    count("object_attr_get_rect");
    std::vector<t_atom> atoms;
    if (!rect || attr_opaque(o, name, GET_OPAQUE) || !attr_read(o, name, atoms) || atoms.size() < 4)
        return MAX_ERR_GENERIC;
    rect->x = atom_value_float(atoms[0]);
    rect->y = atom_value_float(atoms[1]);
    rect->width = atom_value_float(atoms[2]);
    rect->height = atom_value_float(atoms[3]);
    return MAX_ERR_NONE;
}

void attr_args_process(void *x, short ac, t_atom *av)
{
    count("attr_args_process");
    t_object *ob = (t_object *)x;
    if (!info(ob) || !av)
        return;
    long i = 0;
    while (i < ac) {
        if (!is_attr_name(av[i])) {
            i++;
            continue;
        }
        long j = i + 1;
        while (j < ac && !is_attr_name(av[j]))
            j++;
        t_symbol *name = sym(av[i].a_w.w_sym->s_name + 1);
        if (j == i + 1)
            event(SIMHOST_ERROR, ob, 0, std::string("no value for attribute \"") + name->s_name + "\"");
        else if (attr_write(ob, name, j - i - 1, av + i + 1) != MAX_ERR_NONE)
            event(SIMHOST_ERROR, ob, 0, std::string("can't set attribute \"") + name->s_name + "\"");
        i = j;
    }
}
