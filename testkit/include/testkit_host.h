/* What tests need of the simulated host beyond its API: an event as a
 * transcript line, and the host's eight-argument method call. Header only:
 * the simulated host's own tests use it without the rest of the kit. */
#ifndef TESTKIT_HOST_H
#define TESTKIT_HOST_H

#include <string>

#include "max_api.h"
#include "simhost.h"

namespace testkit {

/* An event as one transcript line: "console post TEXT" (error, warn,
 * violation alike), "console error CLASS: TEXT" for a line an object wrote,
 * "out OWNER TEXT" for a message out of the left outlet, "out OWNER:N TEXT"
 * out of outlet N. OWNER names the object, by its class when not given. */
inline std::string event_line(const simhost_event &e, std::string owner = {})
{
    if (e.kind == SIMHOST_OUTLET) {
        if (owner.empty())
            owner = e.classname ? e.classname : "?";
        return "out " + owner + (e.outlet ? ":" + std::to_string(e.outlet) : "") + " " + e.text;
    }
    static const char *const kinds[] = {"post", "error", "warn", "out", "violation"};
    std::string line = std::string("console ") + kinds[e.kind] + " ";
    if (e.object && e.classname)
        line += std::string(e.classname) + ": ";
    return line + e.text;
}

/* A message with up to four word-sized arguments through the host's
 * method call, the arguments it does not take NULL. */
inline void *call(void *obj, const char *msg, void *a = nullptr, void *b = nullptr, void *c = nullptr,
                  void *d = nullptr)
{
    return object_method_imp(obj, gensym(msg), a, b, c, d, nullptr, nullptr, nullptr, nullptr);
}

} // namespace testkit

#endif
