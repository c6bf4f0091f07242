/* Every simulated Max class, one row each: a new object is one file under
 * objects/ and one row here. docs/SIMHOST.md describes each row. */
#include "kit.h"

#include <string>

#define SIMHOST_CLASS(name) void name##_setup(t_symbol *);
/* A class that keeps something between calls forgets it at teardown. */
#define SIMHOST_KEEPS(name) SIMHOST_CLASS(name) void name##_teardown(void);
SIMHOST_KEEPS(autopattr)
SIMHOST_CLASS(deferlow)
SIMHOST_CLASS(delay)
SIMHOST_CLASS(gate)
SIMHOST_CLASS(int)
SIMHOST_CLASS(loadbang)
SIMHOST_CLASS(loadmess)
SIMHOST_KEEPS(message)
SIMHOST_CLASS(pack)
SIMHOST_KEEPS(pattr)
SIMHOST_KEEPS(pattrstorage)
SIMHOST_CLASS(prepend)
SIMHOST_CLASS(print)
SIMHOST_CLASS(route)
SIMHOST_CLASS(select)
SIMHOST_CLASS(thispatcher)
SIMHOST_CLASS(trigger)
SIMHOST_CLASS(unpack)
SIMHOST_KEEPS(vst)
#undef SIMHOST_KEEPS
#undef SIMHOST_CLASS

namespace kit {

const std::vector<Class> &classes()
{
    static const std::vector<Class> table = {
        {"vst~", {"mcs.vst~"}, vst_setup, vst_teardown},
        {"message", {}, message_setup, message_teardown},
        {"print", {}, print_setup},
        {"prepend", {}, prepend_setup},
        {"route", {}, route_setup},
        {"autopattr", {}, autopattr_setup, autopattr_teardown},
        {"pattr", {}, pattr_setup, pattr_teardown},
        {"pattrstorage", {}, pattrstorage_setup, pattrstorage_teardown},
        {"loadbang", {}, loadbang_setup},
        {"loadmess", {}, loadmess_setup},
        {"trigger", {"t"}, trigger_setup},
        {"thispatcher", {}, thispatcher_setup},
        {"select", {"sel"}, select_setup},
        {"pack", {}, pack_setup},
        {"unpack", {}, unpack_setup},
        {"gate", {}, gate_setup},
        {"int", {"i"}, int_setup},
        {"deferlow", {}, deferlow_setup},
        {"delay", {"del"}, delay_setup},
    };
    return table;
}

void classes_setup(void)
{
    for (const Class &c : classes()) {
        c.setup(sym(c.name));
        for (const char *alias : c.aliases)
            c.setup(sym(alias));
    }
}

void classes_teardown(void)
{
    for (const Class &c : classes())
        if (c.teardown)
            c.teardown();
}

} // namespace kit

/* ---- control calls ---- */

long simhost_registry_count(void)
{
    return (long)kit::classes().size();
}

const char *simhost_registry_name(long index)
{
    return index >= 0 && index < simhost_registry_count() ? kit::classes()[(size_t)index].name : nullptr;
}

const char *simhost_registry_aliases(long index)
{
    static std::vector<std::string> joined;
    if (index < 0 || index >= simhost_registry_count())
        return nullptr;
    if (joined.empty())
        for (const kit::Class &c : kit::classes()) {
            std::string text;
            for (const char *alias : c.aliases)
                text += (text.empty() ? "" : " ") + std::string(alias);
            joined.push_back(text);
        }
    return joined[(size_t)index].c_str();
}
