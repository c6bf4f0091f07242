/* pattrstorage [NAME]: presets by slot number, each the values that pattr
 * and autopattr expose in its patcher, by their names. `store N` keeps
 * them, `recall N` (or an int) gives them back, `recall A B FRACTION` gives
 * each value part of the way from slot A's to slot B's, as floats. Kept in
 * memory only. */
#include "pattr.h"

#include <cstddef>

using kit::Atoms;

namespace {

typedef std::map<std::string, Atoms> Preset;

struct t_pattrstorage {
    t_object ob;
    t_atom_long savemode, outputmode, greedy, changemode; /* accepted, not acted on */
    t_atom_long subscribemode, paraminitmode, fileusagemode;
    t_symbol *autorestore;                                /* a preset file: accepted, not read */
    void *out[2];                              /* operations, dumpout (nothing goes out) */
    std::map<t_atom_long, Preset> *slots;
};

t_class *s_pattrstorage_class;

void *pattrstorage_new(t_symbol *s, long argc, t_atom *argv)
{
    t_pattrstorage *x = (t_pattrstorage *)object_alloc(s_pattrstorage_class);
    if (!x)
        return nullptr;
    x->slots = new std::map<t_atom_long, Preset>;
    x->autorestore = _sym_nothing;
    if (argv)
        attr_args_process(x, (short)argc, argv);
    x->out[0] = outlet_new(x, nullptr);
    x->out[1] = outlet_new(x, nullptr);
    return x;
}

void pattrstorage_free(t_pattrstorage *x)
{
    delete x->slots;
}

void pattrstorage_store(t_pattrstorage *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 1 || !argv)
        return;
    (*x->slots)[atom_getlong(argv)] = state_values(kit::patcher(x));
}

/* Every value of the preset to what is exposed under its name; the patch
 * that a value runs may free x. */
void pattrstorage_give(t_pattrstorage *x, const Preset &preset)
{
    const uint64_t self = kit::serial(x);
    for (const auto &v : preset)
        if (kit::serial(x) == self)
            state_recall(kit::patcher(x), v.first, v.second);
}

bool numbers(const Atoms &value)
{
    for (const t_atom &a : value)
        if (a.a_type != A_LONG && a.a_type != A_FLOAT)
            return false;
    return true;
}

/* Each number part of the way from a to b, as a float; a value that is not
 * all numbers, or of another length, is a's. */
Atoms between(const Atoms &a, const Atoms *b, double fraction)
{
    if (!b || b->size() != a.size() || !numbers(a) || !numbers(*b))
        return a;
    Atoms out(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        const double from = atom_getfloat(&a[i]);
        atom_setfloat(&out[i], from + (atom_getfloat(&(*b)[i]) - from) * fraction);
    }
    return out;
}

Preset interpolated(const Preset &a, const Preset &b, double fraction)
{
    Preset out;
    for (const auto &v : a)
        out[v.first] = between(v.second, b.count(v.first) ? &b.at(v.first) : nullptr, fraction);
    return out;
}

/* recall N, or recall A B FRACTION; an empty slot recalls nothing. */
void pattrstorage_recall(t_pattrstorage *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc < 1 || !argv)
        return;
    auto a = x->slots->find(atom_getlong(argv));
    if (a == x->slots->end())
        return;
    if (argc < 3) {
        pattrstorage_give(x, Preset(a->second));
        return;
    }
    auto b = x->slots->find(atom_getlong(argv + 1));
    if (b != x->slots->end())
        pattrstorage_give(x, interpolated(a->second, b->second, atom_getfloat(argv + 2)));
}

void pattrstorage_int(t_pattrstorage *x, t_atom_long slot)
{
    t_atom a;
    atom_setlong(&a, slot);
    pattrstorage_recall(x, gensym("recall"), 1, &a);
}

void pattrstorage_attribute(t_class *c, const char *name, long offset)
{
    state_attribute(c, name, _sym_long, offset);
}

} // namespace

void pattrstorage_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, as_method(pattrstorage_new), as_method(pattrstorage_free),
                           (long)sizeof(t_pattrstorage), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_store), "store", A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_recall), "recall", A_GIMME, 0);
    class_addmethod(c, as_method(pattrstorage_int), "int", A_LONG, 0);
    pattrstorage_attribute(c, "savemode", (long)offsetof(t_pattrstorage, savemode));
    pattrstorage_attribute(c, "outputmode", (long)offsetof(t_pattrstorage, outputmode));
    pattrstorage_attribute(c, "greedy", (long)offsetof(t_pattrstorage, greedy));
    pattrstorage_attribute(c, "changemode", (long)offsetof(t_pattrstorage, changemode));
    pattrstorage_attribute(c, "subscribemode", (long)offsetof(t_pattrstorage, subscribemode));
    pattrstorage_attribute(c, "paraminitmode", (long)offsetof(t_pattrstorage, paraminitmode));
    pattrstorage_attribute(c, "fileusagemode", (long)offsetof(t_pattrstorage, fileusagemode));
    state_attribute(c, "autorestore", _sym_symbol, (long)offsetof(t_pattrstorage, autorestore));
    class_register(_sym_box, c);
    s_pattrstorage_class = c;
}

void pattrstorage_teardown(void)
{
    s_pattrstorage_class = nullptr;
}
