/* Symbols, the common-symbol table, atoms and the parsing of box text. */
#include "host.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

/* The host's own reference to its table, for the _sym_ macros inside the
 * host library. The table keeps its address for the life of the process; a
 * reset refills it with the new symbols. */
t_common_symbols_table *_common_symbols;

namespace simhost {

namespace {

t_common_symbols_table g_common;

bool is_integer(const std::string &t)
{
    size_t i = t[0] == '-' ? 1 : 0;
    if (i == t.size())
        return false;
    for (; i < t.size(); i++)
        if (!std::isdigit((unsigned char)t[i]))
            return false;
    return true;
}

/* -1.5, .5, 2., 1e3, -2.5e-3: digits with a point or an exponent. */
bool is_decimal(const std::string &t)
{
    size_t i = t[0] == '-' ? 1 : 0;
    size_t digits = 0;
    while (i < t.size() && std::isdigit((unsigned char)t[i])) {
        i++;
        digits++;
    }
    bool point = i < t.size() && t[i] == '.';
    if (point) {
        i++;
        while (i < t.size() && std::isdigit((unsigned char)t[i])) {
            i++;
            digits++;
        }
    }
    if (!digits)
        return false;
    bool exponent = i < t.size() && (t[i] == 'e' || t[i] == 'E');
    if (exponent) {
        i++;
        if (i < t.size() && (t[i] == '-' || t[i] == '+'))
            i++;
        size_t expdigits = 0;
        while (i < t.size() && std::isdigit((unsigned char)t[i])) {
            i++;
            expdigits++;
        }
        if (!expdigits)
            return false;
    }
    return i == t.size() && (point || exponent);
}

t_atom word_atom(const std::string &word)
{
    t_atom a;
    std::memset(&a, 0, sizeof(a));
    if (is_integer(word)) {
        errno = 0;
        long long v = std::strtoll(word.c_str(), nullptr, 10);
        if (errno != ERANGE) {
            a.a_type = A_LONG;
            a.a_w.w_long = (t_atom_long)v;
            return a;
        }
    }
    if (is_integer(word) || is_decimal(word)) {
        a.a_type = A_FLOAT;
        a.a_w.w_float = std::strtod(word.c_str(), nullptr);
        return a;
    }
    a.a_type = A_SYM;
    a.a_w.w_sym = sym(word.c_str());
    return a;
}

} // namespace

t_symbol *sym(const char *text)
{
    if (!text)
        text = "";
    HostLock hold(host_lock());
    State &h = H();
    auto it = h.symbols.find(text);
    if (it != h.symbols.end())
        return &it->second->sym;
    std::unique_ptr<Symbol> s(new Symbol);
    s->text = text;
    s->sym.s_name = &s->text[0];
    s->sym.s_thing = nullptr;
    t_symbol *result = &s->sym;
    h.symbol_set.insert(result);
    h.symbols.emplace(s->text, std::move(s));
    return result;
}

bool is_symbol(const void *s)
{
    HostLock hold(host_lock());
    return s && H().symbol_set.count((const t_symbol *)s) != 0;
}

/* Every entry is the symbol of its own text, but for "nothing", which is
 * the host's empty symbol. */
void fill_common_symbols()
{
    t_common_symbols_table &t = g_common;
    t.version = 1;
#define SIMHOST_FILL_COMMON_SYMBOL(text) t.s_##text = sym(#text);
    KORVEL_COMMON_SYMBOLS(SIMHOST_FILL_COMMON_SYMBOL)
#undef SIMHOST_FILL_COMMON_SYMBOL
    t.s_nothing = sym("");
    _common_symbols = &t;
}

std::string float_text(double v)
{
    char buf[32];
    int n = std::snprintf(buf, sizeof(buf), "%f", v);
    if (n < (int)sizeof(buf))
        return buf;
    std::string text((size_t)n + 1, '\0');
    std::snprintf(&text[0], text.size(), "%f", v);
    text.resize((size_t)n);
    return text;
}

/* Toward zero, held to the range of a long atom; NaN gives 0. */
t_atom_long float_to_long(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= (double)INTPTR_MAX)
        return INTPTR_MAX;
    if (v <= (double)INTPTR_MIN)
        return INTPTR_MIN;
    return (t_atom_long)v;
}

std::string atom_text(const t_atom &a)
{
    char buf[64];
    switch (a.a_type) {
    case A_LONG:
        std::snprintf(buf, sizeof(buf), "%lld", (long long)a.a_w.w_long);
        return buf;
    case A_FLOAT:
        return float_text(a.a_w.w_float);
    case A_SYM:
        return a.a_w.w_sym ? a.a_w.w_sym->s_name : "";
    case A_OBJ:
        return "<object>";
    default:
        return "?";
    }
}

std::string atoms_text(long argc, const t_atom *argv)
{
    std::string text;
    for (long i = 0; argv && i < argc; i++) {
        if (i)
            text += ' ';
        text += atom_text(argv[i]);
    }
    return text;
}

t_atom_long atom_value_long(const t_atom &a)
{
    if (a.a_type == A_LONG)
        return a.a_w.w_long;
    if (a.a_type == A_FLOAT)
        return float_to_long(a.a_w.w_float);
    return 0;
}

double atom_value_float(const t_atom &a)
{
    if (a.a_type == A_FLOAT)
        return a.a_w.w_float;
    if (a.a_type == A_LONG)
        return (double)a.a_w.w_long;
    return 0;
}

/* A symbol in quotes when it would not read back as itself. */
static std::string symbol_word(const char *name)
{
    std::string text = name ? name : "";
    bool quote = text.empty();
    for (char c : text)
        if (std::isspace((unsigned char)c) || c == '"' || c == '\\' || c == ',' || c == ';')
            quote = true;
    if (!quote) {
        std::vector<t_atom> back = parse_atoms(text.c_str());
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

std::string box_word(const t_atom &a, bool quoted)
{
    if (a.a_type == A_FLOAT) {
        std::string text = float_text(a.a_w.w_float);
        if (text.find('.') == std::string::npos)
            return text;
        while (text.back() == '0')
            text.pop_back();
        return text;
    }
    if (a.a_type == A_SYM && quoted)
        return symbol_word(a.a_w.w_sym ? a.a_w.w_sym->s_name : "");
    return atom_text(a);
}

std::string box_text(long argc, const t_atom *argv, bool quoted)
{
    std::string text;
    for (long i = 0; argv && i < argc; i++) {
        if (i)
            text += ' ';
        text += box_word(argv[i], quoted);
    }
    return text;
}

/* Words split at blanks; a double-quoted stretch is one word, quotes
 * removed, in which \" and \\ stand for the character. */
std::vector<t_atom> parse_atoms(const char *text)
{
    std::vector<t_atom> atoms;
    if (!text)
        return atoms;
    const char *p = text;
    for (;;) {
        while (*p && std::isspace((unsigned char)*p))
            p++;
        if (!*p)
            break;
        std::string word;
        if (*p == '"') {
            p++;
            while (*p && *p != '"') {
                if (*p == '\\' && (p[1] == '"' || p[1] == '\\'))
                    p++;
                word += *p++;
            }
            if (*p == '"')
                p++;
            t_atom a;
            std::memset(&a, 0, sizeof(a));
            a.a_type = A_SYM;
            a.a_w.w_sym = sym(word.c_str());
            atoms.push_back(a);
            continue;
        }
        while (*p && !std::isspace((unsigned char)*p))
            word += *p++;
        atoms.push_back(word_atom(word));
    }
    return atoms;
}

t_atom *copy_to_host(const std::vector<t_atom> &atoms)
{
    if (atoms.empty())
        return nullptr;
    t_atom *copy = (t_atom *)std::malloc(atoms.size() * sizeof(t_atom));
    if (copy)
        std::memcpy(copy, atoms.data(), atoms.size() * sizeof(t_atom));
    return copy;
}

t_atom long_atom(t_atom_long n)
{
    t_atom a{};
    a.a_type = A_LONG;
    a.a_w.w_long = n;
    return a;
}

t_atom float_atom(double f)
{
    t_atom a{};
    a.a_type = A_FLOAT;
    a.a_w.w_float = f;
    return a;
}

t_atom sym_atom(t_symbol *s)
{
    t_atom a{};
    a.a_type = A_SYM;
    a.a_w.w_sym = s;
    return a;
}

} // namespace simhost

using namespace simhost;

t_common_symbols_table *common_symbols_gettable(void)
{
    count("common_symbols_gettable");
    H();
    return _common_symbols;
}

t_symbol *gensym(const char *s)
{
    count("gensym");
    return sym(s);
}

t_symbol *gensym_tr(const char *s)
{
    count("gensym_tr");
    return sym(s);
}

long simhost_parse_atoms(const char *text, t_atom **argv)
{
    std::vector<t_atom> atoms = parse_atoms(text);
    if (argv)
        *argv = copy_to_host(atoms);
    return (long)atoms.size();
}

/* ---- atoms ---- */

namespace {

t_max_err atom_put(t_atom *a, const t_atom &value)
{
    if (!a)
        return MAX_ERR_GENERIC;
    *a = value;
    return MAX_ERR_NONE;
}

} // namespace

t_max_err atom_setsym(t_atom *a, t_symbol *s)
{
    count("atom_setsym");
    return atom_put(a, sym_atom(s));
}

t_max_err atom_setlong(t_atom *a, t_atom_long b)
{
    count("atom_setlong");
    return atom_put(a, long_atom(b));
}

t_max_err atom_setfloat(t_atom *a, double b)
{
    count("atom_setfloat");
    return atom_put(a, float_atom(b));
}

t_symbol *atom_getsym(const t_atom *a)
{
    count("atom_getsym");
    if (!a || a->a_type != A_SYM || !a->a_w.w_sym)
        return _sym_nothing;
    return a->a_w.w_sym;
}

t_atom_long atom_getlong(const t_atom *a)
{
    count("atom_getlong");
    return a ? atom_value_long(*a) : 0;
}

t_atom_float atom_getfloat(const t_atom *a)
{
    count("atom_getfloat");
    return a ? atom_value_float(*a) : 0;
}

long atom_gettype(const t_atom *a)
{
    count("atom_gettype");
    return a ? a->a_type : (long)A_NOTHING;
}
