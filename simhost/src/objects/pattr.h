/* What pattr, autopattr and pattrstorage share: the host's state system
 * seen from its objects. */
#ifndef SIMHOST_OBJECTS_PATTR_H
#define SIMHOST_OBJECTS_PATTR_H

#include "kit.h"

#include <map>
#include <string>

/* obj's value through the host's getvalueof; false when it has none. */
bool state_value_of(t_object *obj, kit::Atoms &out);
/* Gives obj a value through the host's setvalueof, when it takes one. */
void state_give(t_object *obj, kit::Atoms value);

/* A pattr exposes its bound object under its name: false for what is no
 * pattr, or one without a name. */
bool pattr_exposes(t_object *obj, t_symbol **name, t_object **bound);
bool autopattr_is(const void *obj);

#endif
