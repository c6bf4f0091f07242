/* The simulated host's tests start each run from a host and (natively) a
 * window system as a new process finds them. */
#ifndef SIMHOST_TESTS_FRESH_HOST_H
#define SIMHOST_TESTS_FRESH_HOST_H

#include "simhost.h"
#ifndef _WIN32
#include "simwin.h"
#endif

inline void fresh_host()
{
    simhost_reset();
#ifndef _WIN32
    simwin_reset();
#endif
}

#endif
