/* The message box: clicking it, or any message but "set" arriving at it,
 * sends the messages of its text; "set ATOMS" replaces the text, as does
 * any message into its right inlet. */
#include "kit.h"

#include <string>
#include <vector>

using kit::Atoms;

namespace {

struct t_message {
    t_object ob;
    void *out;
    void *proxy;  /* the right inlet, which sets the text */
    long inletnum;
};

t_class *s_message_class;

/* The messages of a message box's text: the pieces between commas, up to
 * the first semicolon. What follows a semicolon goes to named receivers in
 * the host; there are none here, so it sends nothing. Commas and semicolons
 * inside quotes belong to their symbol; empty pieces send nothing. */
std::vector<Atoms> text_messages(const std::string &text)
{
    std::vector<Atoms> messages;
    std::string piece;
    auto add = [&messages, &piece]() {
        Atoms atoms = kit::parse(piece.c_str());
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

/* Sends each message of the box's text. What the messages set off may
 * free the box; then the rest stays unsent. */
void message_output(t_message *x, const Atoms &input)
{
    t_object *box = kit::box(x);
    if (!box)
        return;
    const uint64_t serial = kit::serial(x);
    std::vector<Atoms> messages = text_messages(simhost_box_text(box));
    for (Atoms &atoms : messages) {
        if (kit::serial(x) != serial)
            return;
        substitute(atoms, input);
        kit::output(x->out, atoms);
    }
}

void message_text(t_message *x, const Atoms &atoms)
{
    if (t_object *box = kit::box(x))
        kit::box_set_text(box, kit::text((long)atoms.size(), atoms.data(), true));
}

/* In the right inlet, the whole message becomes the text. */
void message_set(t_message *x, t_symbol *s, long argc, t_atom *argv)
{
    if (proxy_getinlet(&x->ob) == 1)
        message_text(x, kit::message_atoms(s, argc, argv));
    else
        message_text(x, Atoms(argv, argv + (argv && argc > 0 ? argc : 0)));
}

void message_anything(t_message *x, t_symbol *s, long argc, t_atom *argv)
{
    if (proxy_getinlet(&x->ob) == 1)
        message_text(x, kit::message_atoms(s, argc, argv));
    else
        message_output(x, kit::message_atoms(s, argc, argv));
}

void message_free(t_message *x)
{
    object_free(x->proxy);
}

} // namespace

void message_setup(t_symbol *name)
{
    t_class *c = class_new(name->s_name, nullptr, as_method(message_free), (long)sizeof(t_message), nullptr, 0);
    class_addmethod(c, as_method(message_set), _sym_set->s_name, A_GIMME, 0);
    class_addmethod(c, as_method(message_anything), _sym_anything->s_name, A_GIMME, 0);
    class_register(_sym_nobox, c);
    s_message_class = c;
}

void message_teardown(void)
{
    s_message_class = nullptr;
}

/* ---- control calls ---- */

t_object *simhost_message_new(t_object *patcher, const char *varname, const char *text)
{
    if (!kit::is_patcher(patcher))
        return nullptr;
    t_message *x = (t_message *)object_alloc(s_message_class);
    if (!x)
        return nullptr;
    x->out = outlet_new(x, nullptr);
    x->proxy = proxy_new(x, 1, &x->inletnum);
    return kit::box_add(patcher, "message", varname, text, &x->ob);
}

t_max_err simhost_click(t_object *box)
{
    t_object *obj = kit::box_object(box);
    if (!kit::is(obj, s_message_class))
        return MAX_ERR_GENERIC;
    message_output((t_message *)obj, Atoms());
    return MAX_ERR_NONE;
}
