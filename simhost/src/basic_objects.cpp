/* The ordinary objects of a patch that help patches and examples use:
 * message boxes, print, prepend and route, and the inert boxes (comments,
 * panels) that hold no object.
 *
 * Like vst~ they are written against the host API; only the link between a
 * box and its object, which the host makes itself for message boxes, goes
 * through the host's inside. */
#include "basic_objects.h"

#include "host.h"

#include <cctype>
#include <string>
#include <vector>

using namespace simhost;

namespace {

struct t_message {
    t_object ob;
    void *out;
};

struct t_print {
    t_object ob;
    t_symbol *name;
};

struct t_prepend {
    t_object ob;
    std::vector<t_atom> *prefix;
    void *out;
};

struct t_route {
    t_object ob;
    std::vector<t_atom> *keys;
    std::vector<void *> *outs; /* one per key, then the one for the rest */
};

t_class *s_message_class;
t_class *s_print_class;
t_class *s_prepend_class;
t_class *s_route_class;

typedef std::vector<t_atom> Atoms;

/* Selectors that only say what their atoms are. */
bool is_plain(t_symbol *s)
{
    return s == _sym_list || s == _sym_int || s == _sym_float || s == _sym_symbol;
}

t_atom symbol_atom(t_symbol *s)
{
    t_atom a;
    atom_setsym(&a, s);
    return a;
}

/* A message as the atoms an object that takes anything sees: the selector
 * first unless it is plain, and "bang" carries nothing. */
Atoms message_atoms(t_symbol *s, long argc, const t_atom *argv)
{
    Atoms atoms;
    if (s != _sym_bang && !is_plain(s))
        atoms.push_back(symbol_atom(s));
    if (argv && argc > 0)
        atoms.insert(atoms.end(), argv, argv + argc);
    return atoms;
}

/* Atoms go out as the host sends them: nothing is a bang, a leading symbol
 * is the selector, one number is an int or a float, numbers first a list. */
void emit(void *out, const Atoms &atoms)
{
    if (atoms.empty()) {
        outlet_bang(out);
        return;
    }
    Atoms args(atoms);
    const t_atom &first = args[0];
    if (first.a_type == A_SYM) {
        outlet_anything(out, first.a_w.w_sym, (short)(args.size() - 1), args.data() + 1);
    } else if (args.size() == 1 && first.a_type == A_LONG) {
        outlet_int(out, first.a_w.w_long);
    } else if (args.size() == 1 && first.a_type == A_FLOAT) {
        outlet_float(out, first.a_w.w_float);
    } else {
        outlet_list(out, _sym_list, (short)args.size(), args.data());
    }
}

/* A float as the host shows it: six decimals at most, trailing zeros
 * dropped, the point kept ("0.5", "1."). */
std::string float_word(double v)
{
    std::string text = float_text(v);
    if (text.find('.') == std::string::npos)
        return text;
    while (text.back() == '0')
        text.pop_back();
    return text;
}

/* A symbol in quotes when it would not read back as itself. */
std::string symbol_word(const char *name)
{
    std::string text = name ? name : "";
    bool quote = text.empty();
    for (char c : text)
        if (std::isspace((unsigned char)c) || c == '"' || c == '\\' || c == ',' || c == ';')
            quote = true;
    if (!quote) {
        Atoms back = parse_atoms(text.c_str());
        quote = back.size() != 1 || back[0].a_type != A_SYM;
    }
    if (!quote)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string atom_word(const t_atom &a)
{
    if (a.a_type == A_FLOAT)
        return float_word(a.a_w.w_float);
    if (a.a_type == A_SYM)
        return symbol_word(a.a_w.w_sym ? a.a_w.w_sym->s_name : "");
    return atom_text(a);
}

/* Atoms as box text, which reads back as the same atoms. */
std::string text_of(long argc, const t_atom *argv)
{
    std::string text;
    for (long i = 0; argv && i < argc; i++) {
        if (i)
            text += ' ';
        text += atom_word(argv[i]);
    }
    return text;
}

/* The messages of a message box's text: the pieces between commas, up to
 * the first semicolon. What follows a semicolon goes to named receivers in
 * the host; there are none here, so it sends nothing. Commas and semicolons
 * inside quotes belong to their symbol; empty pieces send nothing. */
std::vector<Atoms> text_messages(const std::string &text)
{
    std::vector<Atoms> messages;
    std::string piece;
    auto add = [&messages, &piece]() {
        Atoms atoms = parse_atoms(piece.c_str());
        if (!atoms.empty())
            messages.push_back(atoms);
        piece.clear();
    };
    bool quoted = false;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (quoted && c == '\\' && i + 1 < text.size()) {
            piece += c;
            piece += text[++i];
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        if (!quoted && c == ';') {
            add();
            return messages;
        }
        if (!quoted && c == ',') {
            add();
            continue;
        }
        piece += c;
    }
    add();
    return messages;
}

/* "$1" to "$9" stand for the atoms of the message that made the box send;
 * those it did not have are 0, as in the host. */
void substitute(Atoms &atoms, const Atoms &input)
{
    for (t_atom &a : atoms) {
        if (a.a_type != A_SYM || !a.a_w.w_sym)
            continue;
        const char *name = a.a_w.w_sym->s_name;
        if (name[0] != '$' || name[1] < '1' || name[1] > '9' || name[2])
            continue;
        size_t n = (size_t)(name[1] - '1');
        if (n < input.size())
            a = input[n];
        else
            atom_setlong(&a, 0);
    }
}

/* ---- message box ---- */

/* Sends each message of the box's text. What the messages set off may
 * free the box; then the rest stays unsent. */
void message_output(t_message *x, const Atoms &input)
{
    ObjInfo *i = info(x);
    if (!i || !i->box)
        return;
    uint64_t seq = i->seq;
    std::vector<Atoms> messages = text_messages(simhost_box_text(i->box));
    for (Atoms &atoms : messages) {
        i = info(x);
        if (!i || i->seq != seq)
            return;
        substitute(atoms, input);
        emit(x->out, atoms);
    }
}

void message_set(t_message *x, t_symbol *s, long argc, t_atom *argv)
{
    if (ObjInfo *i = info(x))
        box_set_text(i->box, text_of(argc, argv));
}

void message_anything(t_message *x, t_symbol *s, long argc, t_atom *argv)
{
    message_output(x, message_atoms(s, argc, argv));
}

/* ---- print ---- */

/* The first argument names the lines, unless it is an attribute. */
void *print_new(t_symbol *s, long argc, t_atom *argv)
{
    t_print *x = (t_print *)object_alloc(s_print_class);
    if (!x)
        return nullptr;
    x->name = gensym("print");
    if (argc > 0 && argv) {
        std::string first = atom_text(argv[0]);
        if (!(argv[0].a_type == A_SYM && first[0] == '@'))
            x->name = gensym(first.c_str());
    }
    return x;
}

/* "NAME: selector atoms", the selector left out when it is plain and
 * there are atoms to show. */
void print_anything(t_print *x, t_symbol *s, long argc, t_atom *argv)
{
    Atoms shown;
    if (!(is_plain(s) && argc > 0))
        shown.push_back(symbol_atom(s));
    if (argv && argc > 0)
        shown.insert(shown.end(), argv, argv + argc);
    std::string line = std::string(x->name->s_name) + ": " + text_of((long)shown.size(), shown.data());
    post("%s", line.c_str());
}

/* ---- prepend ---- */

void *prepend_new(t_symbol *s, long argc, t_atom *argv)
{
    t_prepend *x = (t_prepend *)object_alloc(s_prepend_class);
    if (!x)
        return nullptr;
    x->prefix = argv && argc > 0 ? new Atoms(argv, argv + argc) : new Atoms;
    x->out = outlet_new(x, nullptr);
    return x;
}

void prepend_free(t_prepend *x)
{
    delete x->prefix;
}

void prepend_anything(t_prepend *x, t_symbol *s, long argc, t_atom *argv)
{
    Atoms atoms = *x->prefix;
    Atoms tail = message_atoms(s, argc, argv);
    atoms.insert(atoms.end(), tail.begin(), tail.end());
    emit(x->out, atoms);
}

/* ---- route ---- */

void *route_new(t_symbol *s, long argc, t_atom *argv)
{
    t_route *x = (t_route *)object_alloc(s_route_class);
    if (!x)
        return nullptr;
    x->keys = argv && argc > 0 ? new Atoms(argv, argv + argc) : new Atoms;
    x->outs = new std::vector<void *>;
    for (size_t i = 0; i <= x->keys->size(); i++)
        x->outs->push_back(outlet_new(x, nullptr));
    /* a right inlet for each key, which replaces it */
    set_ports(x, (long)x->outs->size(), -1);
    return x;
}

void route_free(t_route *x)
{
    delete x->keys;
    delete x->outs;
}

bool same(const t_atom &a, const t_atom &b)
{
    if (a.a_type == A_SYM || b.a_type == A_SYM)
        return a.a_type == b.a_type && a.a_w.w_sym == b.a_w.w_sym;
    bool numbers = (a.a_type == A_LONG || a.a_type == A_FLOAT) && (b.a_type == A_LONG || b.a_type == A_FLOAT);
    return numbers && atom_value_float(a) == atom_value_float(b);
}

/* A message is told by its selector, or by its first number when it is an
 * int, a float or a list; a match leaves without what matched. */
void route_anything(t_route *x, t_symbol *s, long argc, t_atom *argv)
{
    if (!argv)
        argc = 0;
    bool numeric = s == _sym_list || s == _sym_int || s == _sym_float;
    if (!numeric || argc > 0) {
        t_atom key = numeric ? argv[0] : symbol_atom(s);
        const t_atom *rest = numeric ? argv + 1 : argv;
        long restc = numeric ? argc - 1 : argc;
        for (size_t i = 0; i < x->keys->size(); i++) {
            if (same((*x->keys)[i], key)) {
                emit((*x->outs)[i], Atoms(rest, rest + restc));
                return;
            }
        }
    }
    outlet_anything(x->outs->back(), s, (short)argc, argv);
}

} // namespace

void simhost_basic_setup(void)
{
    t_class *c = class_new("message", nullptr, nullptr, (long)sizeof(t_message), nullptr, 0);
    class_addmethod(c, as_method(message_set), _sym_set->s_name, A_GIMME, 0);
    class_addmethod(c, as_method(message_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_nobox, c);
    s_message_class = c;

    c = class_new("print", as_method(print_new), nullptr, (long)sizeof(t_print), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(print_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_box, c);
    s_print_class = c;

    c = class_new("prepend", as_method(prepend_new), as_method(prepend_free), (long)sizeof(t_prepend), nullptr,
                  A_GIMME, 0);
    class_addmethod(c, as_method(prepend_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_box, c);
    s_prepend_class = c;

    c = class_new("route", as_method(route_new), as_method(route_free), (long)sizeof(t_route), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(route_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_box, c);
    s_route_class = c;
}

/* ---- control calls ---- */

t_object *simhost_message_new(t_object *patcher, const char *varname, const char *text)
{
    if (!is_patcher(patcher))
        return nullptr;
    t_message *x = (t_message *)object_alloc(s_message_class);
    if (!x)
        return nullptr;
    x->out = outlet_new(x, nullptr);
    set_ports(x, 2, -1); /* the right inlet sets the text */
    return box_add(patcher, "message", varname, text, &x->ob);
}

t_max_err simhost_click(t_object *box)
{
    t_object *obj = box_object(box);
    if (!is_a(obj, s_message_class))
        return MAX_ERR_GENERIC;
    message_output((t_message *)obj, Atoms());
    return MAX_ERR_NONE;
}

t_object *simhost_inert_new(t_object *patcher, const char *maxclass, const char *text)
{
    return box_add(patcher, maxclass ? maxclass : "", nullptr, text, nullptr);
}
