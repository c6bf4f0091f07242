/* Outlets and the patch cords they send through. */
#include "host.h"

namespace simhost {

namespace {

/* Outlet messages that keep feeding each other stop here, as a stack
 * overflow does in the host. */
const int MAX_SEND_DEPTH = 256;

/* How deep this thread's messages run through patch cords. */
thread_local int send_depth = 0;

/* A loop overflowed: the rest of the chain is dropped until the outermost
 * message returns, as the host abandons it, or a loop that branches would
 * retry from every level below the limit. */
thread_local bool send_unwinding = false;

/* The objects and inlets that an outlet's patch cords lead to, its message
 * logged; false when the message goes nowhere. */
bool cord_targets(const outlet *out, t_symbol *s, long ac, const t_atom *av, std::vector<Cord> &objects)
{
    HostLock hold(host_lock());
    if (!H().outlets.count(out)) {
        violation(nullptr, "message to an outlet that does not exist (or whose object was freed)");
        return false;
    }
    std::string text = s ? s->s_name : "";
    if (ac)
        text += " " + atoms_text(ac, av);
    event(SIMHOST_OUTLET, out->owner, (int)out->index, text);

    ObjInfo *i = info(out->owner);
    if (!i || !i->box || !s)
        return false;
    std::vector<Cord> targets;
    box_connections(i->box, out->index, targets);
    for (const Cord &c : targets)
        if (t_object *obj = box_object(c.dst))
            objects.push_back(Cord{obj, c.inlet});
    if (!objects.empty() && send_unwinding)
        return false;
    if (!objects.empty() && send_depth >= MAX_SEND_DEPTH) {
        event(SIMHOST_ERROR, out->owner, (int)out->index, "stack overflow: messages loop through the patch cords");
        send_unwinding = true;
        return false;
    }
    return !objects.empty();
}

/* The host's lock is held to find the receivers, not while they run, as in
 * the host: a message on the scheduler thread runs beside the main thread. */
void *deliver(void *o, t_symbol *s, long ac, const t_atom *av)
{
    if (ac > 0 && !av)
        violation(o && H().outlets.count((const outlet *)o) ? ((const outlet *)o)->owner : nullptr,
                  std::string("outlet message \"") + (s ? s->s_name : "") + "\" with a count of " +
                      std::to_string(ac) + " and no atoms");
    if (ac < 0 || !av)
        ac = 0;
    std::vector<Cord> objects;
    if (!o || !cord_targets((const outlet *)o, s, ac, av, objects))
        return nullptr;
    std::vector<t_atom> atoms(av, av + ac);
    send_depth++;
    for (const Cord &c : objects)
        send_inlet(c.dst, c.inlet, s, ac, atoms.data());
    if (--send_depth == 0)
        send_unwinding = false;
    return nullptr;
}

void *deliver_one(void *o, t_symbol *s, const t_atom &a)
{
    return deliver(o, s, 1, &a);
}

} // namespace

} // namespace simhost

using namespace simhost;

void *outlet_new(void *x, const char *type)
{
    count("outlet_new");
    HostLock hold(host_lock());
    ObjInfo *i = info(x);
    if (!i)
        return nullptr;
    i->outlets.emplace_back(new outlet{(t_object *)x, (long)i->outlets.size()});
    outlet *o = i->outlets.back().get();
    H().outlets.insert(o);
    return o;
}

void *outlet_anything(void *o, t_symbol *s, short ac, t_atom *av)
{
    count("outlet_anything");
    return deliver(o, s, ac, av);
}

void *outlet_bang(void *o)
{
    count("outlet_bang");
    return deliver(o, _sym_bang, 0, nullptr);
}

void *outlet_int(void *o, t_atom_long n)
{
    count("outlet_int");
    return deliver_one(o, _sym_int, long_atom(n));
}

void *outlet_float(void *o, double f)
{
    count("outlet_float");
    return deliver_one(o, _sym_float, float_atom(f));
}

void *outlet_list(void *o, t_symbol *s, short ac, t_atom *av)
{
    count("outlet_list");
    return deliver(o, _sym_list, ac, av);
}
