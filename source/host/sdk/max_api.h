/* The host API from the host's own SDK (max-sdk-base), in place of our
 * declarations in ../max_api.h. A build with MAX_SDK_DIR puts this folder
 * first on the module's include path and the SDK's headers on the system
 * include path, so their warnings stay theirs. */
#ifndef KORVEL_HOST_SDK_MAX_API_H
#define KORVEL_HOST_SDK_MAX_API_H

#include "ext.h"
#include "ext_obex.h"
#include "jpatcher_api.h"
#include "jgraphics.h"
#include "commonsyms.h"

#endif
