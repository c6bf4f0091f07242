/* thispatcher: the scripting of its own patcher, by scripting name:
 *   script newobject newobj @text "TEXT" [@varname NAME]  a new object box
 *   script delete NAME                                    delete a box
 *   script sendbox NAME MESSAGE...                        a message to the box
 *   script send NAME MESSAGE...                           ... to its object
 *   script connect NAME OUTLET NAME INLET                 a patch cord
 *   script disconnect NAME OUTLET NAME INLET              cut one
 * Other attributes of a new box (its place, its size) mean nothing here.
 * What a step sets off may delete this object: each returns right after
 * it. */
#include "kit.h"

#include <cstring>
#include <string>

using kit::Atoms;

namespace {

struct t_thispatcher {
    t_object ob;
    void *out; /* Max's two outlets answer queries not simulated */
    void *right;
};

void *thispatcher_new(t_symbol *s, long argc, t_atom *argv)
{
    t_thispatcher *x = (t_thispatcher *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->out = outlet_new(x, nullptr);
    x->right = outlet_new(x, nullptr);
    return x;
}

/* The box named by the atom, with an error when there is none. */
t_object *thispatcher_box(t_thispatcher *x, const t_atom &name)
{
    t_object *box = name.a_type == A_SYM ? kit::named_box(kit::patcher(x), name.a_w.w_sym) : nullptr;
    if (!box)
        object_error(&x->ob, "script: no box named %s", kit::text(1, &name, false).c_str());
    return box;
}

/* The words after @NAME up to the next @attribute, as one text. */
std::string thispatcher_attr(const Atoms &args, const char *name)
{
    std::string text;
    for (size_t i = 0; i < args.size(); i++) {
        if (args[i].a_type != A_SYM || args[i].a_w.w_sym->s_name[0] != '@' ||
            std::strcmp(args[i].a_w.w_sym->s_name + 1, name))
            continue;
        size_t end = i + 1;
        while (end < args.size() && !(args[end].a_type == A_SYM && args[end].a_w.w_sym->s_name[0] == '@'))
            end++;
        return kit::text((long)(end - i - 1), args.data() + i + 1, false);
    }
    return text;
}

void thispatcher_newobject(t_thispatcher *x, const Atoms &args)
{
    const std::string cls = args.empty() ? "" : kit::text(1, args.data(), false);
    const std::string text = thispatcher_attr(args, "text");
    const std::string varname = thispatcher_attr(args, "varname");
    if (cls != "newobj" || text.empty()) {
        object_error(&x->ob, "script newobject: only \"newobj @text TEXT\" boxes are simulated");
        return;
    }
    kit::box_new(kit::patcher(x), varname.empty() ? nullptr : varname.c_str(), text.c_str());
}

void thispatcher_delete(t_thispatcher *x, const Atoms &args)
{
    if (t_object *box = args.empty() ? nullptr : thispatcher_box(x, args[0]))
        kit::box_delete(box);
}

/* sendbox: to the box itself (its attributes: varname); send: to its object. */
void thispatcher_send(t_thispatcher *x, const Atoms &args, bool tobox)
{
    t_object *box = args.size() < 2 ? nullptr : thispatcher_box(x, args[0]);
    if (!box || args[1].a_type != A_SYM)
        return;
    t_object *to = tobox ? box : kit::box_object(box);
    if (to)
        kit::send(to, args[1].a_w.w_sym, Atoms(args.begin() + 2, args.end()));
}

void thispatcher_cord(t_thispatcher *x, const Atoms &args, bool join)
{
    t_object *src = args.size() == 4 ? thispatcher_box(x, args[0]) : nullptr;
    t_object *dst = src ? thispatcher_box(x, args[2]) : nullptr;
    if (!dst)
        return;
    const long outlet = (long)atom_getlong(&args[1]), inlet = (long)atom_getlong(&args[3]);
    if (!(join ? kit::connect(src, outlet, dst, inlet) : kit::disconnect(src, outlet, dst, inlet)))
        object_error(&x->ob, "script %s: no such patch cord", join ? "connect" : "disconnect");
}

void thispatcher_script(t_thispatcher *x, t_symbol *s, long argc, t_atom *argv)
{
    const Atoms all = kit::args(argc, argv);
    const std::string what = all.empty() ? "" : kit::text(1, all.data(), false);
    const Atoms args = all.empty() ? Atoms() : Atoms(all.begin() + 1, all.end());
    if (what == "newobject")
        thispatcher_newobject(x, args);
    else if (what == "delete")
        thispatcher_delete(x, args);
    else if (what == "sendbox" || what == "send")
        thispatcher_send(x, args, what == "sendbox");
    else if (what == "connect" || what == "disconnect")
        thispatcher_cord(x, args, what == "connect");
    else
        object_error(&x->ob, "script %s: not simulated", what.c_str());
}

} // namespace

void thispatcher_setup(t_symbol *name)
{
    kit::box_class(name, as_method(thispatcher_new), nullptr, (long)sizeof(t_thispatcher),
                   {{as_method(thispatcher_script), "script", A_GIMME}});
}
