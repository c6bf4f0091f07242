/* Inlets as the host API makes them (inlet_new, proxy_new), and the inlet
 * and outlet counts a patch sees. */
#include "host.h"

#include "kit.h"

#include <algorithm>

namespace simhost {

namespace {

/* A proxy is an object of its own, which its owner frees. */
struct t_simproxy {
    t_object ob;
    t_object *owner;
};

void proxy_free(t_simproxy *p)
{
    ObjInfo *i = info(p->owner);
    if (!i)
        return;
    i->inlets.remove_if([p](const SimInlet &n) { return n.proxy == &p->ob; });
}

SimInlet *inlet_at(ObjInfo *i, long n)
{
    if (n < 1 || (size_t)n > i->inlets.size())
        return nullptr;
    return &*std::next(i->inlets.begin(), n - 1);
}

} // namespace

void proxy_class_setup()
{
    State &h = H();
    h.proxy_class = class_make("proxy", nullptr, as_method(proxy_free), (long)sizeof(t_simproxy), {});
    class_registration(_sym_nobox, h.proxy_class);
}

void set_ports(void *x, long inlets, long outlets)
{
    if (ObjInfo *i = info(x)) {
        i->ports_in = inlets;
        i->ports_out = outlets;
    }
}

long inlet_count(const void *x)
{
    ObjInfo *i = info(x);
    if (!i)
        return -1;
    return i->ports_in == -1 ? 1 + (long)i->inlets.size() : std::max(i->ports_in, -1L);
}

long outlet_count(const void *x)
{
    ObjInfo *i = info(x);
    if (!i)
        return -1;
    return i->ports_out == -1 ? (long)i->outlets.size() : std::max(i->ports_out, -1L);
}

/* A message in a proxy's inlet writes its id where the owner asked, and
 * 0 again once the owner's method returns; every inlet right of the left
 * one tells its number to proxy_getinlet. Inlets a class has without
 * making them (signal inlets) take messages as proxies do. */
t_max_err send_inlet(t_object *x, long inlet, t_symbol *s, long argc, const t_atom *argv)
{
    if (inlet == 0)
        return send_typed(x, s, argc, argv);
    long *stuffloc = nullptr;
    long before = 0;
    uint64_t seq = 0;
    {
        /* messages come on the scheduler thread too */
        HostLock hold(host_lock());
        ObjInfo *i = info(x);
        if (i) {
            const SimInlet *n = inlet_at(i, inlet);
            if (n && n->only && n->only != s) {
                event(SIMHOST_ERROR, x, 0,
                      "inlet " + std::to_string(inlet) + ": doesn't understand \"" + s->s_name + "\"");
                return MAX_ERR_GENERIC;
            }
            stuffloc = n && n->proxy ? n->stuffloc : nullptr;
            before = i->inlet_now;
            i->inlet_now = inlet;
            if (stuffloc)
                *stuffloc = n->id;
            seq = i->seq;
        }
    }
    const t_max_err err = send_typed(x, s, argc, argv);
    HostLock hold(host_lock());
    ObjInfo *i = info(x);
    if (!i || i->seq != seq)
        return err;
    i->inlet_now = before;
    if (stuffloc)
        *stuffloc = 0;
    return err;
}

/* Proxies the owner did not free are reported and freed with it, as the
 * host would leave them sending to a freed object. */
void inlets_free(t_object *x)
{
    ObjInfo *i = info(x);
    if (!i)
        return;
    std::vector<t_object *> proxies;
    for (const SimInlet &n : i->inlets)
        if (n.proxy)
            proxies.push_back(n.proxy);
    if (!proxies.empty())
        violation(x, "freed with " + std::to_string(proxies.size()) + " proxy inlet(s) still allocated");
    for (t_object *p : proxies)
        obj_free(p);
    if ((i = info(x)))
        i->inlets.clear();
}

} // namespace simhost

using namespace simhost;

void *inlet_new(void *x, const char *s)
{
    count("inlet_new");
    HostLock hold(host_lock());
    ObjInfo *i = info(x);
    if (!i)
        return nullptr;
    i->inlets.push_back(SimInlet{s ? sym(s) : nullptr, nullptr, 0, nullptr});
    return &i->inlets.back();
}

void *proxy_new(void *x, long id, long *stuffloc)
{
    count("proxy_new");
    HostLock hold(host_lock());
    if (!info(x))
        return nullptr;
    t_simproxy *p = (t_simproxy *)obj_alloc(H().proxy_class);
    if (!p)
        return nullptr;
    p->owner = (t_object *)x;
    info(x)->inlets.push_back(SimInlet{nullptr, &p->ob, id, stuffloc});
    return p;
}

long proxy_getinlet(t_object *master)
{
    count("proxy_getinlet");
    ObjInfo *i = info(master);
    return i ? i->inlet_now : 0;
}

t_max_err simhost_box_ports(t_object *box, long *inlets, long *outlets)
{
    /* a subpatcher's inlets and outlets are the inlet and outlet boxes in it */
    t_object *obj = jbox_get_object(box);
    if (is_patcher(obj) || !info(obj) || !inlets || !outlets)
        return MAX_ERR_GENERIC;
    *inlets = inlet_count(obj);
    *outlets = outlet_count(obj);
    return MAX_ERR_NONE;
}
