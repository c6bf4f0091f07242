/* Classes: their methods with the "methods" table of method objects, their
 * attributes with their attribute-attributes, registration by namespace,
 * and the inspection calls. */
#include "host.h"

#include <cstring>

namespace simhost {

namespace {

/* Argument type lists end with 0; a list that never ends is cut here. */
const int MAX_TYPES = 16;

struct t_simmethod {
    t_object ob;
    t_symbol *name;
};

std::vector<short> read_types(short first, va_list ap)
{
    std::vector<short> types;
    short t = first;
    while (t != A_NOTHING && types.size() < (size_t)MAX_TYPES) {
        types.push_back(t);
        t = (short)va_arg(ap, int);
    }
    return types;
}

t_hashtab *method_table(t_class *c)
{
    if (!c->methodtab) {
        c->methodtab = (t_hashtab *)obj_alloc(H().hashtab_class);
        c->methodtab->entries = new std::unordered_map<t_symbol *, t_object *>;
        info(c->methodtab)->class_owned = true;
    }
    return c->methodtab;
}

Method *method_named(t_class *c, const char *name)
{
    if (!c || !name)
        return nullptr;
    t_symbol *s = sym(name);
    for (Method &m : c->methods)
        if (m.name == s)
            return &m;
    return nullptr;
}

t_simattr *attr_named(t_class *c, const char *name)
{
    return c && name ? find_attr(c, sym(name)) : nullptr;
}

/* An attribute's attribute made ATTR_GET_OPAQUE can be read by nobody, the
 * host's own inspector and saving included: it is as good as absent. */
t_max_err set_attrattr(t_class *c, const char *attrname, const char *attrname2, long flags, const std::string &text)
{
    t_simattr *a = attr_named(c, attrname);
    if (!a || !attrname2)
        return MAX_ERR_GENERIC;
    if (flags & GET_OPAQUE)
        return MAX_ERR_NONE;
    if (!a->attrattrs)
        a->attrattrs = new std::map<std::string, std::string>;
    (*a->attrattrs)[attrname2] = text;
    return MAX_ERR_NONE;
}

/* The text of a format's arguments: 's' a symbol, 'i' an int, 'l' a long,
 * 'f' or 'd' a double; blanks between them. */
bool format_text(const char *fmt, va_list ap, std::string &text)
{
    for (const char *f = fmt; *f; f++) {
        if (f != fmt)
            text += ' ';
        t_atom a;
        std::memset(&a, 0, sizeof(a));
        switch (*f) {
        case 's': {
            t_symbol *s = va_arg(ap, t_symbol *);
            text += s ? s->s_name : "";
            continue;
        }
        case 'i':
            a.a_type = A_LONG;
            a.a_w.w_long = va_arg(ap, int);
            break;
        case 'l':
            a.a_type = A_LONG;
            a.a_w.w_long = va_arg(ap, long);
            break;
        case 'f':
        case 'd':
            a.a_type = A_FLOAT;
            a.a_w.w_float = va_arg(ap, double);
            break;
        default:
            return false;
        }
        text += atom_text(a);
    }
    return true;
}

} // namespace

t_class *class_make(const char *name, method mnew, method mfree, long size, const std::vector<short> &types)
{
    std::unique_ptr<maxclass> c(new maxclass);
    c->name = sym(name);
    c->mnew = mnew;
    c->mfree = mfree;
    c->size = size;
    c->newtypes = types;
    c->methodtab = nullptr;
    c->name_space = nullptr;
    c->from_module = H().loading_module;
    t_class *result = c.get();
    H().classes.push_back(std::move(c));
    return result;
}

void class_method(t_class *c, method m, const char *name, const std::vector<short> &types)
{
    if (Method *old = method_named(c, name)) {
        old->fn = m;
        old->types = types;
        return;
    }
    Method entry;
    entry.name = sym(name);
    entry.fn = m;
    entry.types = types;
    t_simmethod *mob = (t_simmethod *)obj_alloc(H().method_class);
    info(mob)->class_owned = true;
    mob->name = entry.name;
    entry.object = &mob->ob;
    (*method_table(c)->entries)[entry.name] = entry.object;
    c->methods.push_back(entry);
}

const Method *find_method(t_class *c, t_symbol *name)
{
    if (!c)
        return nullptr;
    for (const Method &m : c->methods)
        if (m.name == name)
            return &m;
    return nullptr;
}

t_simattr *find_attr(t_class *c, t_symbol *name)
{
    if (!c)
        return nullptr;
    for (t_simattr *a : c->attrs)
        if (a->name == name)
            return a;
    return nullptr;
}

void class_registration(t_symbol *name_space, t_class *c)
{
    c->name_space = name_space;
    H().registry[std::make_pair(name_space, c->name)] = c;
}

t_class *class_lookup(t_symbol *name_space, t_symbol *name)
{
    State &h = H();
    if (name_space) {
        auto it = h.registry.find(std::make_pair(name_space, name));
        return it == h.registry.end() ? nullptr : it->second;
    }
    for (auto &entry : h.registry)
        if (entry.first.second == name)
            return entry.second;
    return nullptr;
}

static void attr_free(t_simattr *a)
{
    delete a->attrattrs;
}

static void hashtab_free(t_hashtab *t)
{
    delete t->entries;
}

/* The classes of the host's own "method", "attribute" and "hashtab"
 * objects; the objects are freed with the class they belong to. */
void class_internals_setup()
{
    State &h = H();
    h.method_class = class_make("method", nullptr, nullptr, (long)sizeof(t_simmethod), {});
    class_registration(_sym_nobox, h.method_class);
    h.attr_class = class_make("attribute", nullptr, as_method(attr_free), (long)sizeof(t_simattr), {});
    class_registration(_sym_nobox, h.attr_class);
    h.hashtab_class = class_make("hashtab", nullptr, as_method(hashtab_free), (long)sizeof(t_hashtab), {});
    class_registration(_sym_nobox, h.hashtab_class);
}

t_simattr *attr_make(const char *name, t_symbol *type, method mget, method mset, long offset)
{
    t_simattr *a = (t_simattr *)obj_alloc(H().attr_class);
    a->name = sym(name);
    a->type = type;
    a->get = mget;
    a->set = mset;
    a->offset = offset;
    return a;
}

void class_attr(t_class *c, t_simattr *a)
{
    info(a)->class_owned = true;
    for (t_simattr *&old : c->attrs) {
        if (old->name == a->name) {
            obj_free(old);
            old = a;
            return;
        }
    }
    c->attrs.push_back(a);
}

} // namespace simhost

using namespace simhost;

t_class *class_new(const char *name, method mnew, method mfree, long size, method mmenu, short type, ...)
{
    count("class_new");
    if (!name || !*name)
        return nullptr;
    va_list ap;
    va_start(ap, type);
    std::vector<short> types = read_types(type, ap);
    va_end(ap);
    return class_make(name, mnew, mfree, size, types);
}

t_max_err class_addmethod(t_class *c, method m, const char *name, ...)
{
    count("class_addmethod");
    if (!c || !m || !name || !*name)
        return MAX_ERR_GENERIC;
    va_list ap;
    va_start(ap, name);
    short first = (short)va_arg(ap, int);
    std::vector<short> types = read_types(first, ap);
    va_end(ap);
    class_method(c, m, name, types);
    return MAX_ERR_NONE;
}

t_max_err class_register(t_symbol *name_space, t_class *c)
{
    count("class_register");
    if (!name_space || !c)
        return MAX_ERR_GENERIC;
    if (class_lookup(name_space, c->name)) {
        event(SIMHOST_ERROR, nullptr, 0,
              std::string("class ") + c->name->s_name + " is already registered in " + name_space->s_name);
        return MAX_ERR_GENERIC;
    }
    class_registration(name_space, c);
    return MAX_ERR_NONE;
}

void *class_extra_lookup(t_class *c, t_symbol *s)
{
    count("class_extra_lookup");
    if (!c || s != sym("methods"))
        return nullptr;
    return method_table(c);
}

t_max_err hashtab_lookup(t_hashtab *x, t_symbol *key, t_object **val)
{
    count("hashtab_lookup");
    if (val)
        *val = nullptr;
    if (!val || !is_a(x, H().hashtab_class))
        return MAX_ERR_GENERIC;
    auto it = x->entries->find(key);
    if (it == x->entries->end())
        return MAX_ERR_GENERIC;
    *val = it->second;
    return MAX_ERR_NONE;
}

t_object *attr_offset_new(const char *name, t_symbol *type, long flags, method mget, method mset, long offset)
{
    count("attr_offset_new");
    if (!name || !*name || !type)
        return nullptr;
    t_simattr *a = attr_make(name, type, mget, mset, offset);
    a->flags = flags;
    return &a->ob;
}

t_max_err class_addattr(t_class *c, t_object *attr)
{
    count("class_addattr");
    if (!c || !is_a(attr, H().attr_class))
        return MAX_ERR_GENERIC;
    class_attr(c, (t_simattr *)attr);
    return MAX_ERR_NONE;
}

t_max_err class_attr_addattr_parse(t_class *c, const char *attrname, const char *attrname2, t_symbol *type,
                                   long flags, const char *parsestr)
{
    count("class_attr_addattr_parse");
    return set_attrattr(c, attrname, attrname2, flags, parsestr ? parsestr : "");
}

t_max_err class_attr_addattr_format(t_class *c, const char *attrname, const char *attrname2, t_symbol *type,
                                    long flags, const char *fmt, ...)
{
    count("class_attr_addattr_format");
    if (!fmt)
        return MAX_ERR_GENERIC;
    std::string text;
    va_list ap;
    va_start(ap, fmt);
    bool ok = format_text(fmt, ap, text);
    va_end(ap);
    if (!ok)
        return MAX_ERR_GENERIC;
    return set_attrattr(c, attrname, attrname2, flags, text);
}

t_max_err object_addattr_parse(t_object *x, const char *attrname, t_symbol *type, long flags, const char *parsestr)
{
    count("object_addattr_parse");
    if (!info(x) || !attrname || !*attrname)
        return MAX_ERR_GENERIC;
    /* as for an attribute's attribute: made ATTR_GET_OPAQUE, nobody reads it */
    if (!(flags & GET_OPAQUE))
        dynattr_set(x, sym(attrname), type, parsestr ? parsestr : "");
    return MAX_ERR_NONE;
}

/* ---- inspection ---- */

t_class *simhost_class_find(const char *name_space, const char *name)
{
    if (!name)
        return nullptr;
    return class_lookup(name_space ? sym(name_space) : nullptr, sym(name));
}

long simhost_class_method_count(t_class *c)
{
    return c ? (long)c->methods.size() : 0;
}

const char *simhost_class_method_name(t_class *c, long index)
{
    if (!c || index < 0 || (size_t)index >= c->methods.size())
        return nullptr;
    return c->methods[(size_t)index].name->s_name;
}

long simhost_class_method_types(t_class *c, const char *name, short *types)
{
    Method *m = method_named(c, name);
    if (!m)
        return -1;
    for (size_t i = 0; types && i < m->types.size() && i < 8; i++)
        types[i] = m->types[i];
    return (long)m->types.size();
}

const char *simhost_class_method_attr(t_class *c, const char *method, const char *attr)
{
    Method *m = method_named(c, method);
    ObjInfo *i = m ? info(m->object) : nullptr;
    if (!i || !attr)
        return nullptr;
    auto it = i->dynattrs.find(sym(attr));
    return it == i->dynattrs.end() ? nullptr : it->second.text.c_str();
}

long simhost_class_attr_count(t_class *c)
{
    return c ? (long)c->attrs.size() : 0;
}

const char *simhost_class_attr_name(t_class *c, long index)
{
    if (!c || index < 0 || (size_t)index >= c->attrs.size())
        return nullptr;
    return c->attrs[(size_t)index]->name->s_name;
}

const char *simhost_class_attr_type(t_class *c, const char *attr)
{
    t_simattr *a = attr_named(c, attr);
    return a ? a->type->s_name : nullptr;
}

const char *simhost_class_attr_attr(t_class *c, const char *attr, const char *attrattr)
{
    t_simattr *a = attr_named(c, attr);
    if (!a || !a->attrattrs || !attrattr)
        return nullptr;
    auto it = a->attrattrs->find(attrattr);
    return it == a->attrattrs->end() ? nullptr : it->second.c_str();
}
