/* Control interface of the simulated host, for tests and korvel-sim.
 *
 * The simulated host is built as the host API library (libMaxAPI.so natively,
 * MaxAPI.dll in the Windows build). Besides the host API of
 * source/host/max_api.h it exports these calls, which do what the host
 * application and its user do: make patchers and boxes, send messages, run
 * the low-priority queue, set displays and the mouse, load plug-ins.
 *
 * Nothing runs by itself: no threads, no clocks. The queue runs only when
 * simhost_queue_pass() is called. */
#ifndef SIMHOST_H
#define SIMHOST_H

#include "max_api.h"
#include "as_method.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- lifecycle ---- */

/* Frees every patcher, box and object (their free methods run), drops every
 * queued call and queue element, empties the event and call logs, forgets
 * displays, mouse, plug-in catalogue, classes and symbols, and unloads the
 * modules. The window system is not touched: reset it after this call. */
MAXAPI void simhost_reset(void);

/* Loads a module file (dlopen / LoadLibrary), finds "ext_main" and calls it.
 * Returns 0 on success; on failure posts a console error and returns -1. */
MAXAPI int simhost_load_module(const char *path);

/* ---- host variants ----
 * Behaviours of the host that differ between Max versions, or that are not
 * known, chosen for the whole run: simhost_reset() keeps them. Each is off
 * until set; objects follow the variants on when they behave so. Per-object
 * faults are simhost_vst_misbehave's. */

MAXAPI long simhost_variant_count(void);
/* Variant index's name and a line about it; NULL past the end. */
MAXAPI const char *simhost_variant_name(long index);
MAXAPI const char *simhost_variant_about(long index);
/* Turns the named variant on: "NAME", or "NAME=N" for one that takes a count
 * (its row in simhost_variants.def); MAX_ERR_GENERIC for a name not in the
 * table, or a count it does not take. */
MAXAPI t_max_err simhost_variant_set(const char *name);
MAXAPI int simhost_variant_on(const char *name);
/* Turns every variant off. */
MAXAPI void simhost_variants_clear(void);

/* ---- events: the console and every outlet message, in order ---- */

enum simhost_event_kind {
    SIMHOST_POST = 0,   /* post, object_post */
    SIMHOST_ERROR = 1,  /* error, object_error */
    SIMHOST_WARN = 2,   /* object_warn */
    SIMHOST_OUTLET = 3, /* outlet_anything and the other outlet calls */
    SIMHOST_VIOLATION = 4, /* a breach of the host's contract, where the host would crash, misbehave or
                              refuse: an object freed while still attached or with queue elements left,
                              a message, outlet call or defer_low with a count and no atoms, or to a
                              freed object; the host goes on as if the call had been made soundly */
};

typedef struct simhost_event {
    int kind;
    t_object *object;      /* the object the line is tied to, or the outlet's owner; NULL for none */
    const char *classname; /* that object's class name, or NULL */
    int outlet;            /* outlet index (SIMHOST_OUTLET only), counted from 0 */
    const char *text;      /* console text; for outlets "selector atom atom ...", longs in
                              decimal, floats as "%f", symbols as their text */
} simhost_event;

MAXAPI int simhost_event_count(void);
MAXAPI const simhost_event *simhost_event_get(int index);
/* Drops the events before index upto, once read, so that a long run keeps
 * only what is still to be read. Indices stay as they were; a dropped
 * event's index gives NULL. */
MAXAPI void simhost_events_forget(int upto);
/* How many SIMHOST_VIOLATION events there have been since the program
 * started; simhost_reset() does not clear it, so that violations while it
 * frees every object still count. */
MAXAPI long simhost_violation_count(void);

/* ---- call log: how often each host call was made ----
 * Names are host API function names ("object_attach_byptr_register"), or
 * "msg:" followed by a selector for every object_method_imp / typed message
 * sent to any object ("msg:getnamedbox"). */
MAXAPI long simhost_call_count(const char *name);
MAXAPI void simhost_calls_clear(void);

/* Makes the next `count` calls of a host allocation ("sysmem_newptr",
 * "getbytes") fail as the host reports it, with NULL; count < 0: every call
 * until the host is reset. Any other name is an error. */
MAXAPI void simhost_fail(const char *call, int count);

/* ---- text ---- */

/* Parses text as the host parses box text: integers become longs, decimal
 * numbers floats, double-quoted text one symbol without its quotes, the rest
 * symbols. Returns the count; *argv is host memory (sysmem_freeptr). */
MAXAPI long simhost_parse_atoms(const char *text, t_atom **argv);

/* ---- patchers and boxes ---- */

/* A new top-level patcher (parent NULL) or subpatcher. A top-level patcher
 * has its own visible window, as in the host. */
MAXAPI t_object *simhost_patcher_new(t_object *parent, const char *name);

/* Shows a subpatcher on a tab of its top-level patcher's window, as a
 * patch file asks with "showontab": the subpatcher gets a view of its own
 * (firstview), and no window. MAX_ERR_GENERIC for a top-level patcher, one
 * already shown, or what is no patcher. */
MAXAPI t_max_err simhost_patcher_show_on_tab(t_object *patcher);

/* A box made from its text ("vst~ 2 2 NAME", "qzkorvel synth @debug 1") with
 * an optional scripting name. The first word names the class; the object is
 * made as the host makes it (constructor with the remaining atoms). When the
 * class is unknown or its constructor refuses, the box is still made and
 * holds no object (jbox_get_object gives NULL). */
MAXAPI t_object *simhost_box_new(t_object *patcher, const char *varname, const char *text);

/* A message box showing text. Clicking it, or any message but "set"
 * arriving at it, sends its text out of its outlet; "set ATOMS" replaces the
 * text. jbox_get_object gives its object, of class "message". */
MAXAPI t_object *simhost_message_new(t_object *patcher, const char *varname, const char *text);

/* Clicks a message box. MAX_ERR_GENERIC when box is not one. */
MAXAPI t_max_err simhost_click(t_object *box);

/* A box that does nothing and holds no object, such as a "comment" or a
 * "panel", with its text. */
MAXAPI t_object *simhost_inert_new(t_object *patcher, const char *maxclass, const char *text);

/* An object made outside any patcher, as a box would make it. */
MAXAPI t_object *simhost_object_new(const char *text);

/* Types text into an object box as the user edits it: through the view of
 * its patcher (firstview, insertboxtext, endeditbox), so that the old object
 * is freed and a new one made from the text, the box keeping its scripting
 * name. MAX_ERR_GENERIC for no box, or one in a patcher with no view. */
MAXAPI t_max_err simhost_box_retype(t_object *box, const char *text);

MAXAPI void simhost_box_free(t_object *box);
MAXAPI t_max_err simhost_box_rename(t_object *box, const char *varname);
MAXAPI const char *simhost_box_varname(t_object *box); /* "" for none */
MAXAPI const char *simhost_box_text(t_object *box);
/* The box's kind as patch files name it: "newobj" for boxes made from their
 * text (subpatchers included), "message", or an inert box's class. */
MAXAPI const char *simhost_box_maxclass(t_object *box);
MAXAPI t_object *simhost_box_patcher(t_object *box);
MAXAPI long simhost_patcher_boxcount(t_object *patcher);
MAXAPI t_object *simhost_patcher_box(t_object *patcher, long index);
MAXAPI void *simhost_patcher_window(t_object *patcher); /* HWND of a top-level patcher */

/* How many inlets and outlets the object in box has, as Max counts them;
 * -1 where the simulated host does not know (mcs.vst~). MAX_ERR_GENERIC for
 * a box that holds no object (inert boxes) or a subpatcher. */
MAXAPI t_max_err simhost_box_ports(t_object *box, long *inlets, long *outlets);

/* The box that holds an object, or NULL. */
MAXAPI t_object *simhost_object_box(t_object *obj);

/* Connects outlet `outlet` of src to inlet `inlet` of dst. */
MAXAPI t_max_err simhost_connect(t_object *src_box, long outlet, t_object *dst_box, long inlet);

/* Sends a message to an object as a patch cord into inlet 0 would: the
 * class's method for the selector with its declared argument types (A_GIMME
 * gets selector, count and atoms), or an attribute of that name is set; else
 * the console shows `CLASS: doesn't understand "SELECTOR"`. */
MAXAPI t_max_err simhost_send(t_object *obj, const char *selector, long argc, const t_atom *argv);

/* ---- the low-priority queue ---- */

/* Runs one pass: every call and queue element that was pending when the pass
 * began, in order. What they add runs in the next pass. Returns the count run.
 * The host's clock (systime_ms) has no other time: it starts at 0 and each
 * pass moves it on by SIMHOST_PASS_MS before anything runs. */
#define SIMHOST_PASS_MS 10
/* What an editor grows by, each way, under the variant editor-resizes. */
#define SIMHOST_EDITOR_GROWTH 40
MAXAPI long simhost_queue_pass(void);
MAXAPI long simhost_queue_pending(void);
/* Calls hook(data) on the calling thread each time defer_low has queued a
 * call, once the host has let go of its lock: a test holds that thread
 * there, as a thread may lose the processor right after it queued work
 * while the main thread runs the queue. NULL removes it, and so does
 * simhost_reset(). */
MAXAPI void simhost_after_defer(void (*hook)(void *), void *data);

/* ---- displays and mouse ---- */

/* Adds a display with its full rectangle and its work area; the first is the
 * primary one. */
MAXAPI void simhost_display_add(t_rect display, t_rect workarea);
/* Display index (0 the primary) takes a new rectangle and work area, or goes;
 * what was the second becomes the primary when the first goes. The last
 * declared display cannot go. MAX_ERR_GENERIC for an index not declared. */
MAXAPI t_max_err simhost_display_set(long index, t_rect display, t_rect workarea);
MAXAPI t_max_err simhost_display_remove(long index);
MAXAPI long simhost_display_count(void);
MAXAPI void simhost_display_get(long index, t_rect *display, t_rect *workarea);
/* A display's scale (1.5 for 150%; 1 until set), which the host's display
 * and mouse calls divide its pixels by. MAX_ERR_GENERIC for an index not
 * declared or a scale not above 0. */
MAXAPI t_max_err simhost_display_set_scale(long index, double scale);
MAXAPI double simhost_display_scale(long index);
MAXAPI void simhost_mouse_set(int x, int y);
/* The mouse pointer in Windows pixels, as set. */
MAXAPI void simhost_mouse_get(int *x, int *y);

/* ---- classes (inspection) ---- */

MAXAPI t_class *simhost_class_find(const char *name_space, const char *name);
MAXAPI long simhost_class_method_count(t_class *c);
MAXAPI const char *simhost_class_method_name(t_class *c, long index);
/* Copies up to 8 argument type codes; returns how many the method declares. */
MAXAPI long simhost_class_method_types(t_class *c, const char *name, short *types);
/* A method attribute's value as text ("1"), or NULL when it has none. */
MAXAPI const char *simhost_class_method_attr(t_class *c, const char *method, const char *attr);
MAXAPI long simhost_class_attr_count(t_class *c);
MAXAPI const char *simhost_class_attr_name(t_class *c, long index);
MAXAPI const char *simhost_class_attr_type(t_class *c, const char *attr);
/* An attribute's attribute ("style", "label", "save") as text, or NULL. */
MAXAPI const char *simhost_class_attr_attr(t_class *c, const char *attr, const char *attrattr);

/* ---- the simulated Max classes (inspection) ----
 * The registry of the classes the host runs, one entry a class, as
 * docs/SIMHOST.md lists them. */

MAXAPI long simhost_registry_count(void);
/* Entry index's name, and its aliases separated by blanks ("" for none);
 * NULL past the end. */
MAXAPI const char *simhost_registry_name(long index);
MAXAPI const char *simhost_registry_aliases(long index);

/* ---- observation (inspection) ---- */

/* How many objects observe obj. */
MAXAPI long simhost_observer_count(t_object *obj);
/* How many objects of the class named classname are alive. */
MAXAPI long simhost_object_count(const char *classname);

/* Delivers a notification to the observers of `observed` as if `sender` had
 * sent it (their "notify" gets sender as the notifying object). */
MAXAPI void simhost_notify_observers_of(t_object *observed, t_object *sender, t_symbol *msg, void *data);

/* ---- the vst objects (vst~, mcs.vst~) and their plug-ins ----
 * Box text: [channel counts] [plug-in name or file] [@attribute value...];
 * the attributes are autosave, bypass and prefer besides savedpluginname. */

/* Declares a plug-in in the catalogue: its name, editor client size and
 * initial delay. Redeclaring a name replaces it. */
MAXAPI void simhost_plugin_declare(const char *name, int width, int height, long delay);

enum simhost_plugin_flags {
    SIMHOST_PLUGIN_NONAME = 1, /* "getpluginname" leaves the name pointer unset */
};
/* As simhost_plugin_declare, with simhost_plugin_flags. */
MAXAPI void simhost_plugin_declare_flags(const char *name, int width, int height, long delay, int flags);

/* Loads the named plug-in into a vst object (NULL or "" unloads), as the
 * message "plug NAME" does. */
MAXAPI t_max_err simhost_vst_load(t_object *vst, const char *name);
/* Loads the plug-in that a box's saved snapshot names, as the host does
 * when it opens a patch: the plug-in by its display name (a stand-in named
 * so when the catalogue does not know it) with savedname as the object's
 * savedpluginname (the display name when NULL or ""). MAX_ERR_GENERIC when
 * vst is no vst object or displayname is empty. */
MAXAPI t_max_err simhost_vst_snapshot(t_object *vst, const char *displayname, const char *savedname);
/* Changes the loaded plug-in's initial delay; the vst object notifies. */
MAXAPI t_max_err simhost_vst_set_delay(t_object *vst, long delay);

enum simhost_vst_behaviour {
    SIMHOST_VST_NORMAL = 0,   /* editor client origin exactly on the point */
    SIMHOST_VST_OFFSET = 1,   /* editor opened (dx, dy) away from the point */
    SIMHOST_VST_NOEDITOR = 2, /* the open-editor message opens nothing */
    SIMHOST_VST_KEEPSOPEN = 3, /* wclose leaves the editor open (a plug-in that refuses to close) */
};
MAXAPI void simhost_vst_misbehave(t_object *vst, int behaviour, int dx, int dy);

/* The vst object's open editor window (HWND), or NULL. */
MAXAPI void *simhost_vst_editor(t_object *vst);

/* Makes the plug-in wrapper (an object of class "jpluginwrapper") deliver a
 * notification to the vst object's observers. */
MAXAPI void simhost_vst_wrapper_notify(t_object *vst, const char *msg);

/* A top-level window of another application, visible, with its client-area
 * origin on (x, y) and the given client size. Returns its HWND. */
MAXAPI void *simhost_foreign_window(int x, int y, int width, int height, const char *title);

/* ---- patch files ---- */

/* Opens a Max patcher file (the JSON text of a .maxpat or .maxhelp, size
 * bytes) into a patcher, as the host opens one: every box, subpatchers
 * included, then every patch cord. "newobj" boxes become the object their
 * text names, with the attributes their class saves and what else the
 * class keeps in the file; message boxes, comments and panels are the
 * host's own; any other box stays inert, and each class left inert gets
 * one console warning (at its first box) with the number of its boxes. A
 * constructor's refusal leaves its box empty and is no failure. A
 * top-level patcher's window takes the file's name (file's last path
 * part) as its title and the file's "rect" as its client area; then the
 * objects that restore something once the patch is made do so, and then
 * the file's boxes get simhost_box_loadbang. A
 * malformed file is refused before any box is made, a cord that the made
 * objects refuse after they have gone again: MAX_ERR_GENERIC, and
 * simhost_patch_refusal() says why. With patcher NULL the file is only
 * read and checked. */
MAXAPI t_max_err simhost_patch_open(t_object *patcher, const char *text, long size, const char *file);
/* "FILE: what is wrong" for the last refused simhost_patch_open, else "". */
MAXAPI const char *simhost_patch_refusal(void);
/* The patcher as Max saves it: every box (text, scripting name, the
 * attributes its class saves and what else the class keeps), subpatchers
 * and the patch cords it holds now, however made or cut; what the file
 * opened last into it held beyond that is kept. Host memory, valid until the next call; NULL for no patcher. */
MAXAPI const char *simhost_patch_text(t_object *patcher);
/* The id a patch file gave the box ("obj-12"), "" for none; NULL for no
 * box. */
MAXAPI const char *simhost_box_id(t_object *box);
/* A patch is made and loaded: the object in box, and every object in its
 * subpatcher's boxes, that has a "loadbang" method gets the call, in the
 * order the boxes were made (loadbang, loadmess). A box that an earlier
 * call deleted is passed over. simhost_patch_open makes this call for the
 * boxes of the file. */
MAXAPI void simhost_box_loadbang(t_object *box);

#ifdef __cplusplus
}
#endif

#endif
