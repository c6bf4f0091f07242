/* The host's VST hosting object (class "vst~"), its plug-in instances and
 * the plug-in catalogue. Registered by the host at every reset. */
#ifndef SIMHOST_VST_H
#define SIMHOST_VST_H

/* Registers the vst~ class and its helper classes; called after the host's
 * symbols and classes have been renewed. */
void simhost_vst_setup(void);

/* Forgets the plug-in catalogue and every vst-side state; called when the
 * host is reset, before anything else is freed. */
void simhost_vst_teardown(void);

namespace simhost {
/* How many inlets and outlets an object of the host's own has (host.h). */
void set_ports(void *x, long inlets, long outlets);
} // namespace simhost

#endif
