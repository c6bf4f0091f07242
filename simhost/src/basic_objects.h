/* The ordinary objects of a patch: message boxes, print, prepend, route,
 * and the inert boxes (comments, panels). Registered by the host at every
 * reset. */
#ifndef SIMHOST_BASIC_OBJECTS_H
#define SIMHOST_BASIC_OBJECTS_H

/* Registers the classes; called after the host's symbols and classes have
 * been renewed. */
void simhost_basic_setup(void);

#endif
