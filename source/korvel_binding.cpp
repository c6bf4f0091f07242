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

/* The box in our patcher that carries our scripting name, or NULL. */
t_object *korvel_named_box(t_korvel *x)
{
    return (t_object *)korvel_send(x->patcher, gensym("getnamedbox"), x->scriptname);
}

/* The object inside that box, or NULL. */
t_object *korvel_named_object(t_korvel *x)
{
    t_object *box = korvel_named_box(x);
    return box ? jbox_get_object(box) : NULL;
}

/* Attaches to the object that carries our scripting name, unless already
 * attached; false when there is none. */
static bool korvel_bind_target(t_korvel *x)
{
    if (x->target)
        return true;
    t_object *obj = korvel_named_object(x);
    if (!obj) {
        object_warn((t_object *)x, "there's currently no object with the specified scriptingname in this patcher (%s)",
                    korvel_text(x->scriptname));
        return false;
    }
    /* the editor of another object is not ours to show, hide or close */
    if (x->editor_hwnd && x->editor_owner != obj)
        korvel_release_editor(x);
    object_attach_byptr_register(x, obj, _sym_nobox);
    x->target = obj;
    korvel_trace(x, "ATTACHED TO OBJ");
    return true;
}

void korvel_attach(t_korvel *x)
{
    if (!korvel_bind_target(x))
        return;
    t_object *instance = (t_object *)korvel_send(x->target, gensym("getinstance"));
    t_symbol *name = _sym_free;
    t_symbol *saved = _sym_free;
    t_atom_long delay = 0;
    if (instance) {
        korvel_trace(x, "PLUG LOADED");
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
        korvel_trace(x, "NO PLUG LOADED");
        x->instance = NULL;
    }
    korvel_outsym(x, "pluginname", name);
    korvel_outsym(x, "savedpluginname", saved);
    korvel_outlong(x, "delay", delay);
    checkWindowState(x);
}

t_max_err korvel_notify(t_korvel *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    korvel_trace(x, "notify msg: %s  sender class: %s", korvel_text(msg), korvel_text(object_classname(sender)));
    if (object_classname_compare(sender, gensym("jpluginwrapper")))
        return 0;

    t_object *box = NULL;
    if (object_obex_lookup(sender, gensym("#B"), &box) != MAX_ERR_NONE || !box) {
        /* no box to ask for its name: only the object we attached to counts */
        if (sender != x->target)
            return 0;
        box = NULL;
    }
    /* an object being freed no longer owns its editor, whatever object gets
     * its address next */
    if (msg == _sym_free && sender == x->editor_owner)
        x->editor_owner = NULL;
    if (box && object_attr_getsym(box, _sym_varname) != x->scriptname) {
        msg = _sym_free;
    }

    if (msg == gensym("freecontainedview"))
        outlet_anything(x->outlet, gensym("willchange"), 0, NULL);
    if (msg == gensym("rebuildcontainedview")) {
        korvel_attach(x);
        return 0;
    }
    if (msg == _sym_free) {
        korvel_trace(x, "vst obj 'free' notification");
        korvel_forget_owner((t_object *)sender); /* its address may come back as another object's */
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
