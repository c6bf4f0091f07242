/* The host's state system: autopattr, pattr, and the getvalueof/setvalueof
 * calls. Registered by the host at every reset. */
#ifndef SIMHOST_PATTR_H
#define SIMHOST_PATTR_H

void simhost_pattr_setup(void);

#endif
