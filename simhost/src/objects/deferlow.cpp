/* deferlow: each message leaves in the next pass of the low-priority
 * queue, in the order it came. Kept by the object and sent through its own
 * queue element, so that nothing is sent for an object deleted meanwhile. */
#include "kit.h"

using kit::Atoms;

namespace {

struct t_deferlow {
    t_object ob;
    std::vector<Atoms> *waiting; /* messages for the next pass, in order */
    void *qelem;
    void *out;
};

void deferlow_run(t_deferlow *x)
{
    std::vector<Atoms> now;
    now.swap(*x->waiting);
    const uint64_t serial = kit::serial(x);
    for (const Atoms &atoms : now) {
        kit::output(x->out, atoms);
        if (kit::serial(x) != serial)
            return;
    }
}

void *deferlow_new(t_symbol *s, long argc, t_atom *argv)
{
    t_deferlow *x = (t_deferlow *)object_alloc(kit::class_named(s));
    if (!x)
        return nullptr;
    x->waiting = new std::vector<Atoms>;
    x->qelem = qelem_new(x, as_method(deferlow_run));
    x->out = outlet_new(x, nullptr);
    return x;
}

void deferlow_free(t_deferlow *x)
{
    qelem_free(x->qelem);
    delete x->waiting;
}

void deferlow_anything(t_deferlow *x, t_symbol *s, long argc, t_atom *argv)
{
    x->waiting->push_back(kit::message_atoms(s, argc, argv));
    qelem_set(x->qelem);
}

} // namespace

void deferlow_setup(t_symbol *name)
{
    kit::anything_class<t_deferlow>(name, deferlow_new, deferlow_free, deferlow_anything);
}
