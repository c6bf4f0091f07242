/* What a simulated Max class may use beyond the host API: its class made
 * with its methods, the kinds of object two classes share, its arguments,
 * outlets and proxy inlets, its box and patcher, a named object of that
 * patcher, output of atoms on an outlet, atoms as text, its inlet and
 * outlet counts, the run's host variants and the host's windows. The classes under objects/ see the host through this
 * and the host API only, as a real external sees Max; the core's inside
 * (core/host.h) stays the core's.
 *
 * None of these calls counts itself in the call log: the log shows what
 * the module and the tests ask for, not how the host's own objects work. */
#ifndef SIMHOST_KIT_H
#define SIMHOST_KIT_H

#include "max_api.h"

#include "as_method.h"
#include "simhost.h"
#include "simhost_variants.h"
#include "win_api.h"

#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

/* Host API calls that the simulated classes use and the module does not,
 * with the SDK's signatures (ext_proto.h): inlets right of the left one. A
 * message in an inlet made by inlet_new reaches the object's methods as in
 * the left one (only message s, when given); a proxy's does too, with its
 * id written in *stuffloc meanwhile. The owner frees its proxies
 * (object_free); proxy_getinlet tells which inlet a message came in by. */
extern "C" {
MAXAPI void *inlet_new(void *x, const char *s);
MAXAPI void *proxy_new(void *x, long id, long *stuffloc);
MAXAPI long proxy_getinlet(t_object *master);
}

namespace kit {

typedef std::vector<t_atom> Atoms;

/* ---- the registry (objects/registry.cpp) ---- */

/* One simulated Max class: setup registers it under each of its names (the
 * name, then every alias); teardown, when the class keeps anything between
 * calls (its class pointer, say), forgets it. A class that keeps nothing
 * makes its objects as the class its box typed (class_named). */
struct Class {
    const char *name;
    std::vector<const char *> aliases;
    void (*setup)(t_symbol *name);
    void (*teardown)(void) = nullptr;
};

const std::vector<Class> &classes();
/* The box class registered under name: a class set up under its name and
 * each alias makes its objects as the class the box typed, as Max does. */
t_class *class_named(t_symbol *name);
void classes_setup(void);
/* Called at reset before any object is freed. */
void classes_teardown(void);

/* ---- the class ---- */

/* A message a class takes: its handler, selector and argument type. */
struct Method {
    method fn;
    const char *name;
    long type;
};

/* The method that takes every message, as typed atoms. */
Method anything(method fn);
/* A class of boxes named name, objects of size bytes made by make from the
 * typed atoms and freed by free (NULL for none), with its methods, and
 * registered with the host. */
t_class *box_class(t_symbol *name, method make, method free, long size, const std::vector<Method> &methods);
/* The usual one: objects of type T, freed by free, that take every
 * message with one handler. */
template <typename T, typename New, typename Free, typename Anything>
t_class *anything_class(t_symbol *name, New make, Free free, Anything take)
{
    return box_class(name, as_method(make), as_method(free), (long)sizeof(T), {anything(as_method(take))});
}

/* ---- the object, its box and its patcher ---- */

t_symbol *sym(const char *text);
/* A number that a live object keeps for its life, 0 for what is no live
 * object: a handler that sent something out compares it to tell whether
 * its object is still the one it was. */
uint64_t serial(const void *x);
bool is(const void *x, t_class *c);
bool understands(const void *x, const char *message);
t_object *box(const void *x);
t_object *patcher(const void *x);
bool is_patcher(const void *x);
t_object *box_object(t_object *box);
/* The object in the box named name in x's patcher (not x itself), or NULL. */
t_object *named(const void *x, t_symbol *name);
/* A box the host makes itself with obj in it (a message box). */
t_object *box_add(t_object *patcher, const char *maxclass, const char *varname, const char *text, t_object *obj);
void box_set_text(t_object *box, const std::string &text);
/* Scripting: the box named name in patcher (NULL for none); a new object
 * box made from text as the user types it; a box deleted; a patch cord
 * joined or cut (false when the host refuses it). */
t_object *named_box(t_object *patcher, t_symbol *name);
t_object *box_new(t_object *patcher, const char *varname, const char *text);
void box_delete(t_object *box);
bool connect(t_object *src, long outlet, t_object *dst, long inlet);
bool disconnect(t_object *src, long outlet, t_object *dst, long inlet);

/* ---- lifetime ---- */

/* While an object is held, freeing it (its box deleted or retyped) is put
 * off until the last release, as Max puts off freeing an object that is
 * inside its own method. release says whether the object went then; a held
 * object whose free waits is doomed and should do no more work. */
void hold(void *x);
bool release(void *x);
bool doomed(const void *x);

/* ---- output ---- */

/* Selectors that only say what their atoms are: list, int, float, symbol. */
bool is_plain(t_symbol *s);
/* A message as the atoms an object that takes anything sees: the selector
 * first unless it is plain, and "bang" carries nothing. */
Atoms message_atoms(t_symbol *s, long argc, const t_atom *argv);
/* Atoms go out as the host sends them: nothing is a bang, a leading symbol
 * is the selector, one number is an int or a float, numbers first a list. */
void output(void *outlet, const Atoms &atoms);
/* A message to an object (or a box: its attributes), as a typed message
 * from the patch: an unknown one is an error on the console. */
void send(t_object *x, t_symbol *s, const Atoms &atoms);

/* ---- atoms as text ---- */

/* As the host shows them in a box; quoted, symbols that would not read
 * back as themselves are quoted, so that the text reads back as the atoms. */
std::string text(long argc, const t_atom *argv, bool quoted);
Atoms parse(const char *text);

/* ---- inlets and outlets ---- */

/* An object's typed arguments, or fallback's atoms when it has none. */
Atoms args(long argc, const t_atom *argv, const char *fallback = "");
/* count new outlets of x, left to right; the object deletes the list. */
std::vector<void *> *outlets(void *x, size_t count);
/* Proxy inlets 1 to count of x, which write their id in *inletnum; freed
 * with proxies_free. */
std::vector<void *> *proxies(void *x, size_t count, long *inletnum);
void proxies_free(std::vector<void *> *proxies);

/* The objects that the patch cords from x's outlet lead to. */
std::vector<t_object *> cord_objects(const void *x, long outlet);

/* For inlets and outlets the class has but does not make through the host
 * API (signal ones): how many it has in all; -1 those made through the host
 * API (and the left inlet), -2 unknown. */
void ports(void *x, long inlets, long outlets);

/* An object that matches messages against values (route, select): an
 * outlet per value, then one for the rest, and an inlet right of the left
 * one per value, which replaces it. */
struct Matcher {
    t_object ob;
    Atoms *values;
    std::vector<void *> *outs;    /* one per value, then the one for the rest */
    std::vector<void *> *proxies; /* one per value */
    long inletnum;                /* the proxy a message came in by */
};

/* A new one of the class its box typed (s), NULL when refused. */
void *matcher_new(t_symbol *s, const Atoms &values);
void matcher_free(Matcher *x);
/* A message (its atoms, selector first unless plain) that came in by a
 * value's inlet replaces that value with its first atom: true then, and
 * the left inlet's work is not done. */
bool matcher_replaced(Matcher *x, const Atoms &in);

/* An object that keeps the atoms it was typed with and has one outlet
 * (loadmess, prepend). */
struct Keeper {
    t_object ob;
    Atoms *atoms;
    void *out;
};

/* A new one of the class its box typed (s), NULL when refused. */
void *keeper_new(t_symbol *s, long argc, const t_atom *argv);
void keeper_free(Keeper *x);

/* ---- patch files ---- */

/* What a class keeps in a patch file beyond its box's text and the
 * attributes it saves; each hook may be NULL. read gets the box's entry in
 * the file ({"id": ..., "maxclass": ..., ...}) as soon as the object is
 * made, before any patch cord; false refuses the file. loaded runs once the
 * whole patch is made and wired, in the order the objects were made.
 * save writes what the object adds to its box's entry, which holds what
 * the file opened last said of the box. */
struct PatchHooks {
    bool (*read)(t_object *x, const nlohmann::json &box) = nullptr;
    void (*loaded)(t_object *x) = nullptr;
    void (*save)(t_object *x, nlohmann::json &box) = nullptr;
};

/* Gives class c its hooks; called from the class's setup. */
void patch_hooks(t_class *c, const PatchHooks &hooks);
/* Atoms as a patch file holds them: an array of numbers and texts. False
 * for anything else (a dictionary, a nested list), which the host cannot
 * hold as atoms. */
bool atoms_from(const nlohmann::json &value, Atoms &out);
nlohmann::json atoms_json(const Atoms &atoms);

/* ---- the run ---- */

/* Whether the run's host has the variant on (simhost_variant_set). */
bool variant(simhost_variant v);
/* Its N (NAME=N, or the row's default) when it is on, else 0. */
long variant_value(simhost_variant v);

/* ---- windows ---- */

/* A hidden top-level window of class cls (registered once) whose client
 * area is exactly (x, y, w, h). */
HWND window(const char *cls, WNDPROC proc, const char *title, long long x, long long y, long long w, long long h,
            DWORD exstyle = 0);

} // namespace kit

#endif
