/* Editor window control: rebuilding the target box from its own text. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "korvel.h"

/* ---- target rebuild ---- */

/* Whether the host would read the text back as a number. */
static bool korvel_reads_as_number(const char *text)
{
    char *end = NULL;
    strtod(text, &end);
    return end != text && *end == '\0';
}

/* A symbol as box text that the host reads back as the same symbol. One that
 * holds a blank (a plug-in path such as "C:/Program Files/X.dll") is quoted,
 * or the retyped box would split it into several atoms and lose the plug-in;
 * so is one that holds a quote, and one that would read as a number (a
 * plug-in named 123). Inside the quotes, quotes and backslashes are escaped;
 * a backslash outside them reads as itself (C:\VST\X.dll). */
static void korvel_appendsym(t_string *str, t_symbol *sym)
{
    const char *text = korvel_text(sym);
    if (*text && !strpbrk(text, " \t\n\"") && !korvel_reads_as_number(text)) {
        string_append(str, text);
        return;
    }
    std::string quoted = "\"";
    for (const char *c = text; *c; c++) {
        if (*c == '"' || *c == '\\')
            quoted += '\\';
        quoted += *c;
    }
    quoted += '"';
    string_append(str, quoted.c_str());
}

/* The box's own atoms as one line of text, single blanks between atoms. */
static t_symbol *korvel_boxtext(long ac, t_atom *av)
{
    t_string *str = string_new("");
    /* room for any "%lf" of a double (over 300 digits for 1e308) */
    char num[400];
    for (long i = 0; i < ac; i++) {
        switch (atom_gettype(av + i)) {
        case A_SYM:
            korvel_appendsym(str, atom_getsym(av + i));
            break;
        case A_LONG:
            snprintf(num, sizeof num, "%lld", (long long)atom_getlong(av + i));
            string_append(str, num);
            break;
        case A_FLOAT:
            snprintf(num, sizeof num, "%lf", (double)atom_getfloat(av + i));
            string_append(str, num);
            break;
        default:
            break;
        }
        if (i + 1 < ac)
            string_append(str, " ");
    }
    t_symbol *text = gensym(string_getptr(str));
    object_free(str);
    return text;
}

/* Retypes box with its own text, which makes the host replace its object;
 * our binding follows through the old object's free notification. */
static void korvel_retype(t_object *view, t_object *box)
{
    long ac = 0;
    t_atom *av = NULL;
    if (object_attr_getvalueof(box, gensym("boxatoms"), &ac, &av) == MAX_ERR_NONE && ac > 0 && av) {
        t_symbol *text = korvel_boxtext(ac, av);
        korvel_send(view, _sym_insertboxtext, box, text->s_name);
        korvel_send(view, gensym("endeditbox"));
    }
    if (av)
        sysmem_freeptr(av);
}

void korvel_clear(t_korvel *x, t_symbol *s, long argc, t_atom *argv)
{
    korvel_hold bound(x);
    if (!korvel_bind_again(x)) {
        if (bound.alive())
            object_error((t_object *)x, "not attached to a vst object");
        return;
    }
    /* sent by the patch while the target changes its plug-in: rebuilding
     * the target would free it inside its own method, so it waits */
    if (korvel_is_changing(x->target)) {
        korvel_defer<korvel_clear>(x, s, argc, argv);
        return;
    }
    korvel_hold hold(x);
    korvel_close(x, NULL, 0, NULL);
    if (!hold.alive())
        return;
    t_object *patcher = x->patcher;
    /* the rebuild is no edit of the user's: unsaved changes from before
     * it keep Max's prompt, and a saved patch stays clean */
    t_atom_long dirty = object_attr_getlong(patcher, _sym_dirty);
    t_object *box = korvel_named_box(x);
    t_object *view = object_attr_getobj(patcher, _sym_firstview);
    /* from here on x is not touched: a box that carries our own scripting
     * name holds this very record, and retyping it frees the record */
    if (view && box)
        korvel_retype(view, box);
    if (object_attr_getlong(patcher, _sym_locked) == 1)
        korvel_send(view, _sym_wclose);
    else
        korvel_send(view, _sym_redraw);
    object_attr_setlong(patcher, _sym_dirty, dirty);
    ShowCursor(TRUE);
}
