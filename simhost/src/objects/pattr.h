/* What pattr, autopattr and pattrstorage share: the host's state system
 * seen from its objects. */
#ifndef SIMHOST_OBJECTS_PATTR_H
#define SIMHOST_OBJECTS_PATTR_H

#include "kit.h"

#include <cstdint>
#include <map>
#include <string>

/* obj's value through the host's getvalueof; false when it has none. */
bool state_value_of(t_object *obj, kit::Atoms &out);
/* Gives obj a value through the host's setvalueof, when it takes one. */
void state_give(t_object *obj, kit::Atoms value);

/* An object that a pattr or autopattr holds. Its value is read when it is
 * taken in, after a value is given to it, and when it says that it changed
 * (object_notify with "modified"); in between the holder answers with what
 * it read last, as Max's state system does, so an object that changes
 * without saying so shows a stale value. */
struct Held {
    t_object *obj;    /* NULL for none */
    uint64_t serial;  /* obj's serial when taken in: obj is gone once it differs */
    kit::Atoms value; /* what obj answered last */
    bool has_value;   /* obj answered getvalueof */
};

bool held_alive(const Held &h);
/* Whether a notification says that the sender's value changed: "modified",
 * or a vst~'s plug-in change ("rebuildcontainedview"), as its snapshot
 * changes with it. */
bool held_changed(t_symbol *msg);
/* holder observes obj and reads its value; drops what it held before. */
void held_take(t_object *holder, Held &h, t_object *obj);
void held_drop(t_object *holder, Held &h);
void held_read(Held &h);
/* Gives the held object value, then reads what it took. */
void held_give(Held &h, const kit::Atoms &value);

/* An attribute of a state-system class, a long or a symbol at offset. */
void state_attribute(t_class *c, const char *name, t_symbol *type, long offset);

/* The state system of one patcher as pattrstorage sees it: every value
 * exposed there by its name, and a value given to what is exposed under a
 * name (false when nothing is). */
std::map<std::string, kit::Atoms> state_values(t_object *patcher);
bool state_recall(t_object *patcher, const std::string &name, const kit::Atoms &value);

/* pattr: the value it exposes under its name (false for what is no pattr,
 * an invisible or nameless one, or one with no value); a value given to
 * the pattr named name. */
bool pattr_exposed(t_object *obj, std::string &name, kit::Atoms &value);
bool pattr_recall(t_object *obj, const std::string &name, const kit::Atoms &value);

bool autopattr_is(const void *obj);
/* Takes in the objects of its patcher again and keeps their values. */
void autopattr_store(t_object *obj);
/* Gives the objects it holds the values saved for them. */
void autopattr_restore(t_object *obj);
/* The values of the objects it holds now, by name, added to out. */
void autopattr_exposed(t_object *obj, std::map<std::string, kit::Atoms> &out);
bool autopattr_recall(t_object *obj, const std::string &name, const kit::Atoms &value);

#endif
