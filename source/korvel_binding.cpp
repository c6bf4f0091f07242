/* Target binding: finding the vst object by scripting name, reporting its
 * plug-in and following its notifications. */
#include "korvel.h"

static void korvel_outlong(t_korvel *x, const char *selector, t_atom_long v)
{
    t_atom a;
    atom_setlong(&a, v);
    outlet_anything(x->outlet, gensym(selector), 1, &a);
}

static void korvel_outsym(t_korvel *x, const char *selector, t_symbol *v)
{
    t_atom a;
    atom_setsym(&a, v);
    outlet_anything(x->outlet, gensym(selector), 1, &a);
}

/* The object inside the box that carries our scripting name, or NULL. */
static t_object *korvel_named_object(t_korvel *x)
{
    t_object *box = (t_object *)korvel_send(x->patcher, gensym("getnamedbox"), x->scriptname);
    return box ? jbox_get_object(box) : NULL;
}

void korvel_attach(t_korvel *x)
{
    if (!x->target) {
        t_object *obj = korvel_named_object(x);
        if (!obj) {
            object_warn((t_object *)x,
                        "there's currently no object with the specified scriptingname in this patcher (%s)",
                        korvel_text(x->scriptname));
            return;
        }
        object_attach_byptr_register(x, obj, _sym_nobox);
        x->target = obj;
        if (x->debug)
            post("ATTACHED TO OBJ");
    }

    t_object *instance = (t_object *)korvel_send(x->target, gensym("getinstance"));
    t_symbol *name = _sym_free;
    t_symbol *saved = _sym_free;
    t_atom_long delay = 0;
    if (instance) {
        if (x->debug)
            post("PLUG LOADED");
        x->win_w = 0;
        x->win_h = 0;
        x->instance = instance;
        saved = object_attr_getsym(x->target, gensym("savedpluginname"));
        if (!saved)
            saved = gensym("");
        x->delay = (int32_t)object_attr_getlong(instance, gensym("initialdelay"));
        delay = x->delay;
        /* a plug-in that gives no name is reported with the empty name */
        const char *text = NULL;
        korvel_send(instance, gensym("getpluginname"), &text);
        name = gensym(text ? text : "");
    } else {
        if (x->debug)
            post("NO PLUG LOADED");
        x->instance = NULL;
    }
    korvel_outsym(x, "pluginname", name);
    korvel_outsym(x, "savedpluginname", saved);
    korvel_outlong(x, "delay", delay);
    checkWindowState(x);
}

t_max_err korvel_notify(t_korvel *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    if (x->debug)
        post("notify msg: %s  sender class: %s", korvel_text(msg), korvel_text(object_classname(sender)));
    if (object_classname_compare(sender, gensym("jpluginwrapper")))
        return 0;

    t_object *box = NULL;
    if (object_obex_lookup(sender, gensym("#B"), &box) != MAX_ERR_NONE || !box) {
        /* no box to ask for its name: only the object we attached to counts */
        if (sender != x->target)
            return 0;
    } else if (object_attr_getsym(box, _sym_varname) != x->scriptname) {
        msg = _sym_free;
    }

    if (msg == gensym("freecontainedview"))
        outlet_anything(x->outlet, gensym("willchange"), 0, NULL);
    if (msg == gensym("rebuildcontainedview")) {
        korvel_attach(x);
        return 0;
    }
    if (msg == _sym_free) {
        if (x->debug)
            post("vst obj 'free' notification");
        object_detach_byptr(x, sender);
        x->instance = NULL;
        x->target = NULL;
        korvel_defer<korvel_attach>(x, NULL, 0, NULL);
        return 0;
    }
    if (msg == _sym_attr_modified)
        qelem_set(x->delay_qelem);
    return 0;
}

void korvel_delaycheck(t_korvel *x)
{
    if (!x->instance)
        return;
    int32_t delay = (int32_t)object_attr_getlong(x->instance, gensym("initialdelay"));
    if (delay == x->delay)
        return;
    korvel_outlong(x, "delay", delay);
    x->delay = delay;
}
