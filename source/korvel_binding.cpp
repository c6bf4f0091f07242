/* Target binding: finding the vst object by scripting name, reporting its
 * plug-in and following its notifications. */
#include <mutex>
#include <vector>

#include "korvel.h"

/* One report message of a single atom. */
static void korvel_out(t_korvel *x, const char *selector, const t_atom &a)
{
    outlet_anything(x->outlet, gensym(selector), 1, const_cast<t_atom *>(&a));
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

/* Drops the binding to target; the record's binding count says that it
 * changed. */
void korvel_unbind(t_korvel *x)
{
    if (!x->target)
        return;
    object_detach_byptr(x, x->target);
    if (x->target_box)
        object_detach_byptr(x, x->target_box);
    x->target = NULL;
    x->target_box = NULL;
    x->binding++;
}

/* Attaches to the object that carries our scripting name, unless already
 * attached; false when there is none. */
static bool korvel_bind_target(t_korvel *x)
{
    if (x->target)
        return true;
    t_object *box = korvel_named_box(x);
    t_object *obj = box ? jbox_get_object(box) : NULL;
    if (!obj) {
        object_warn((t_object *)x, "there's currently no object with the specified scriptingname in this patcher (%s)",
                    korvel_text(x->scriptname));
        return false;
    }
    /* the editor of another object is not ours to show, hide or close */
    if (x->editor_hwnd && x->editor_owner != obj)
        korvel_release_editor(x);
    object_attach_byptr_register(x, obj, _sym_nobox);
    /* a new scripting name may be told to the box's observers only */
    if (object_attach_byptr_register(x, box, _sym_nobox) == MAX_ERR_NONE)
        x->target_box = box;
    x->target = obj;
    x->binding++;
    korvel_trace(x, "ATTACHED TO OBJ");
    /* an editor of obj that an instance let go of is ours from now on, so
     * that the report, the saved value and the observer count it at once;
     * so is the wait for one that has not come */
    if (!korvel_adopt(x))
        korvel_inherit_late(x);
    return true;
}

/* The plug-in the target hosts now, NULL when none is loaded. Read each
 * time: the patch may load another plug-in whenever it runs, and the host
 * frees the one before. */
t_object *korvel_instance(t_korvel *x)
{
    return (t_object *)korvel_send(x->target, gensym("getinstance"));
}

/* Reads what the target hosts into the record and into the three report
 * atoms: name, saved name, delay; false when it hosts no plug-in. */
static bool korvel_read_plugin(t_korvel *x, t_atom report[3])
{
    t_object *instance = korvel_instance(x);
    atom_setsym(report, _sym_free);
    atom_setsym(report + 1, _sym_free);
    atom_setlong(report + 2, 0);
    if (!instance) {
        korvel_trace(x, "NO PLUG LOADED");
        return false;
    }
    korvel_trace(x, "PLUG LOADED");
    /* a restored size waiting for this plug-in stays what the report says */
    if (x->restored[KORVEL_VIS_ATOM] == KORVEL_VIS_NONE) {
        x->win_w = 0;
        x->win_h = 0;
    }
    t_symbol *saved = object_attr_getsym(x->target, gensym("savedpluginname"));
    x->delay = (int32_t)object_attr_getlong(instance, gensym("initialdelay"));
    /* a plug-in that gives no name is reported with the empty name */
    const char *text = NULL;
    korvel_send(instance, gensym("getpluginname"), &text);
    atom_setsym(report, gensym(text ? text : ""));
    atom_setsym(report + 1, saved ? saved : gensym(""));
    atom_setlong(report + 2, x->delay);
    return true;
}

/* Sends a report: the three messages, then the state list. Each runs the
 * patch, which may free this record or change what it is bound to: then
 * the rest would be stale, and a newer report is on its way. */
static void korvel_report(t_korvel *x, const korvel_hold &hold, const t_atom report[3])
{
    static const char *const selectors[3] = {"pluginname", "savedpluginname", "delay"};
    for (int i = 0; i < 3; i++) {
        korvel_out(x, selectors[i], report[i]);
        if (!hold.holds())
            return;
    }
    checkWindowState(x);
}

void korvel_attach(t_korvel *x)
{
    /* asked for by the patch while our report goes out: reporting inside
     * it would repeat it, and a loop would never come back */
    if (x->reporting) {
        korvel_attach_later(x);
        return;
    }
    if (!korvel_bind_target(x))
        return;
    t_atom report[3];
    /* a restore that came before the plug-in opens its editor now, out of
     * the vst object's own method that may have made this report */
    if (korvel_read_plugin(x, report) && x->restored[KORVEL_VIS_ATOM] != KORVEL_VIS_NONE)
        korvel_defer_call<korvel_apply_restore>(x);
    korvel_hold hold(x);
    x->reporting = 1;
    x->reports++;
    korvel_report(x, hold, report);
    if (hold.alive())
        x->reporting = 0;
}

/* Binds now, for a handler that needs the target at once. A bind already
 * queued reports this binding, once: reporting here too would repeat it,
 * and multiply with a patch that answers each report with messages that
 * lose the binding again. */
void korvel_bind_now(t_korvel *x)
{
    if (x->attach_pending)
        korvel_bind_target(x);
    else
        korvel_attach(x);
}

/* Binds again, for a handler that needs the target, when the binding was
 * lost and our scripting name names a box once more: a box renamed away and
 * back tells nobody. False when there is no target, or when the report ran
 * a patch that freed the record. */
bool korvel_bind_again(t_korvel *x)
{
    if (x->target)
        return true;
    if (!korvel_named_object(x))
        return false;
    korvel_hold hold(x);
    korvel_bind_now(x);
    return hold.alive() && x->target;
}

/* The bind that a lost binding or a new record asks for. */
static void korvel_rebind(t_korvel *x)
{
    x->attach_pending = 0;
    /* bound and reported since it was asked for: it would repeat that */
    if (x->target && x->reports != x->pending_since)
        return;
    korvel_attach(x);
}

/* Queues a bind, once however often it is asked for before it runs. */
void korvel_attach_later(t_korvel *x)
{
    if (x->attach_pending)
        return;
    x->attach_pending = 1;
    x->pending_since = x->reports;
    korvel_defer_call<korvel_rebind>(x);
}

/* The notification as this record takes it: a box that no longer carries
 * our scripting name counts as freed; NULL for one to ignore. */
static t_symbol *korvel_notification(t_korvel *x, t_symbol *msg, void *sender)
{
    if (object_classname_compare(sender, gensym("jpluginwrapper")))
        return NULL;
    t_object *box = NULL;
    if (object_obex_lookup(sender, gensym("#B"), &box) != MAX_ERR_NONE || !box) {
        /* no box to ask for its name: only the object we attached to counts */
        return sender == x->target ? msg : NULL;
    }
    return object_attr_getsym(box, _sym_varname) == x->scriptname ? msg : _sym_free;
}

/* The objects whose plug-in change is being reported, once for each report
 * under way: their own method that makes the change is still running.
 * Notifications come on the scheduler thread too; the lock is held for each
 * look and change, never across a host call. */
static std::mutex korvel_changing_lock;
static std::vector<const void *> korvel_changing;

bool korvel_is_changing(const void *obj)
{
    std::lock_guard<std::mutex> hold(korvel_changing_lock);
    return std::find(korvel_changing.begin(), korvel_changing.end(), obj) != korvel_changing.end();
}

static void korvel_mark_changing(const void *obj, bool changing)
{
    std::lock_guard<std::mutex> hold(korvel_changing_lock);
    if (changing)
        korvel_changing.push_back(obj);
    else
        korvel_changing.erase(std::find(korvel_changing.begin(), korvel_changing.end(), obj));
}

/* A plug-in change of sender, reported while its method that makes the
 * change is still running: until it returns, sender must not be rebuilt,
 * by this record or any other (see korvel_clear). */
static void korvel_report_change(t_korvel *x, t_symbol *change, void *sender)
{
    korvel_mark_changing(sender, true);
    if (change == gensym("freecontainedview"))
        outlet_anything(x->outlet, gensym("willchange"), 0, NULL);
    else
        korvel_attach(x);
    korvel_mark_changing(sender, false);
}

t_max_err korvel_notify(t_korvel *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    /* the target's box, observed only while the target is: it goes with
     * its object, which says so itself; a change of its attributes is taken
     * as the object's (a new name) */
    if (sender && sender == x->target_box) {
        if (msg == _sym_free) {
            object_detach_byptr(x, sender);
            x->target_box = NULL;
        } else if (msg == _sym_attr_modified) {
            korvel_notify(x, s, msg, x->target, data);
        }
        return 0;
    }
    korvel_trace(x, "notify msg: %s  sender class: %s", korvel_text(msg), korvel_text(object_classname(sender)));
    /* an object being freed no longer owns its editor, whatever object gets
     * its address next */
    if (msg == _sym_free && sender == x->editor_owner)
        x->editor_owner = NULL;
    if (msg == _sym_free)
        korvel_forget_late(x, sender);
    t_symbol *taken = korvel_notification(x, msg, sender);
    if (taken == _sym_free) {
        korvel_trace(x, "vst obj 'free' notification");
        /* its address may come back as another object's; a box renamed
         * keeps its object, and the editor remembered for it */
        if (msg == _sym_free)
            korvel_forget_owner((t_object *)sender);
        korvel_unbind(x);
        korvel_attach_later(x);
    } else if (taken == gensym("freecontainedview") || taken == gensym("rebuildcontainedview")) {
        korvel_report_change(x, taken, sender);
    } else if (taken == _sym_attr_modified) {
        qelem_set(x->delay_qelem);
    }
    return 0;
}

void korvel_delaycheck(t_korvel *x)
{
    t_object *instance = korvel_instance(x);
    if (!instance)
        return;
    int32_t delay = (int32_t)object_attr_getlong(instance, gensym("initialdelay"));
    if (delay == x->delay)
        return;
    x->delay = delay;
    t_atom a;
    atom_setlong(&a, delay);
    korvel_out(x, "delay", a);
}
