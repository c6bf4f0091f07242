/* Inlets and outlets as a patch counts them. */
#include "host.h"

#include <algorithm>

namespace simhost {

void set_ports(void *x, long inlets, long outlets)
{
    if (ObjInfo *i = info(x)) {
        i->ports_in = inlets;
        i->ports_out = outlets;
    }
}

} // namespace simhost

using namespace simhost;

t_max_err simhost_box_ports(t_object *box, long *inlets, long *outlets)
{
    /* a subpatcher's inlets and outlets are the inlet and outlet boxes in it */
    t_object *obj = jbox_get_object(box);
    ObjInfo *i = is_patcher(obj) ? nullptr : info(obj);
    if (!i || !inlets || !outlets)
        return MAX_ERR_GENERIC;
    *inlets = i->ports_in;
    *outlets = i->ports_out == -1 ? (long)i->outlets.size() : std::max(i->ports_out, -1L);
    return MAX_ERR_NONE;
}
