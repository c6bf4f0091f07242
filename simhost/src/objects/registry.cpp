/* Every simulated Max class, one row each: a new object is one file under
 * objects/ and one row here. docs/SIMHOST.md describes each row. */
#include "kit.h"

void autopattr_setup(t_symbol *name);
void autopattr_teardown(void);
void message_setup(t_symbol *name);
void message_teardown(void);
void pattr_setup(t_symbol *name);
void pattr_teardown(void);
void pattrstorage_setup(t_symbol *name);
void pattrstorage_teardown(void);
void prepend_setup(t_symbol *name);
void prepend_teardown(void);
void print_setup(t_symbol *name);
void print_teardown(void);
void route_setup(t_symbol *name);
void route_teardown(void);
void vst_setup(t_symbol *name);
void vst_teardown(void);

namespace kit {

const std::vector<Class> &classes()
{
    static const std::vector<Class> table = {
        {"vst~", {"mcs.vst~"}, vst_setup, vst_teardown},
        {"message", {}, message_setup, message_teardown},
        {"print", {}, print_setup, print_teardown},
        {"prepend", {}, prepend_setup, prepend_teardown},
        {"route", {}, route_setup, route_teardown},
        {"autopattr", {}, autopattr_setup, autopattr_teardown},
        {"pattr", {}, pattr_setup, pattr_teardown},
        {"pattrstorage", {}, pattrstorage_setup, pattrstorage_teardown},
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
        c.teardown();
}

} // namespace kit
