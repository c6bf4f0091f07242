/* The low-priority queue: deferred calls and queue elements, run pass by
 * pass when the test or the runner asks. A pass runs what was pending when
 * it began; what it adds waits for the next one. */
#include "host.h"

#include <algorithm>

namespace simhost {

namespace {

typedef void (*deferred_fn)(void *, t_symbol *, long, t_atom *);
typedef void (*task_fn)(void *);

void unqueue(Qelem *q)
{
    auto &queue = H().queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(), [q](const QueueEntry &e) { return e.q == q; }),
                queue.end());
    q->queued = false;
}

/* The queue element q, or NULL; a pointer that names none (freed, say) is
 * a violation. */
Qelem *as_qelem(void *q, const char *what)
{
    if (q && H().qelems.count((Qelem *)q))
        return (Qelem *)q;
    if (q)
        violation(nullptr, std::string(what) + " names no queue element (freed, or never made)");
    return nullptr;
}

} // namespace

void queue_drop()
{
    State &h = H();
    h.queue.clear();
    for (Qelem *q : h.qelems)
        delete q;
    h.qelems.clear();
}

QelemsLeft qelems_drop_owned(const void *obj)
{
    HostLock hold(host_lock());
    QelemsLeft left{0, 0};
    auto &all = H().qelems;
    for (auto it = all.begin(); it != all.end();) {
        Qelem *q = *it;
        if (q->obj != obj) {
            ++it;
            continue;
        }
        left.allocated++;
        left.set += q->queued ? 1 : 0;
        unqueue(q);
        it = all.erase(it);
        delete q;
    }
    return left;
}

namespace {

/* At the end of the queue, numbered in the order of its coming. */
void queue_push(QueueEntry e)
{
    State &h = H();
    e.seq = h.next_qseq++;
    h.queue.push_back(std::move(e));
}

} // namespace

} // namespace simhost

using namespace simhost;

void *defer_low(void *ob, method fn, t_symbol *sym, short argc, t_atom *argv)
{
    count("defer_low");
    if (!fn)
        return nullptr;
    HostLock hold(host_lock());
    if (dangling(ob, "defer_low"))
        return nullptr;
    if (argc > 0 && !argv)
        violation((t_object *)(info(ob) ? ob : nullptr),
                  "defer_low with a count of " + std::to_string(argc) + " and no atoms");
    QueueEntry e{0, nullptr, ob, fn, sym, {}};
    if (argc > 0 && argv)
        e.atoms.assign(argv, argv + argc);
    queue_push(std::move(e));
    return nullptr;
}

void *qelem_new(void *obj, method fn)
{
    count("qelem_new");
    if (!fn)
        return nullptr;
    Qelem *q = new Qelem{obj, fn, false};
    HostLock hold(host_lock());
    H().qelems.insert(q);
    return q;
}

void qelem_set(void *q)
{
    count("qelem_set");
    HostLock hold(host_lock());
    Qelem *e = as_qelem(q, "qelem_set");
    if (!e || e->queued)
        return;
    e->queued = true;
    queue_push(QueueEntry{0, e, nullptr, nullptr, nullptr, {}});
}

void qelem_unset(void *q)
{
    count("qelem_unset");
    HostLock hold(host_lock());
    if (Qelem *e = as_qelem(q, "qelem_unset"))
        unqueue(e);
}

void qelem_free(void *q)
{
    count("qelem_free");
    HostLock hold(host_lock());
    Qelem *e = as_qelem(q, "qelem_free");
    if (!e)
        return;
    unqueue(e);
    H().qelems.erase(e);
    delete e;
}

/* The next entry queued before limit, taken off the queue; false when none.
 * A queue element's entry is unqueued first, so that a set during its task
 * runs it again in a later pass. */
static bool next_entry(uint64_t limit, QueueEntry &e)
{
    HostLock hold(host_lock());
    State &h = H();
    if (h.queue.empty() || h.queue.front().seq >= limit)
        return false;
    e = std::move(h.queue.front());
    h.queue.pop_front();
    if (e.q)
        e.q->queued = false;
    return true;
}

long simhost_queue_pass(void)
{
    uint64_t limit;
    {
        HostLock hold(host_lock());
        limit = H().next_qseq;
        H().clock_ms += SIMHOST_PASS_MS;
    }
    long run = 0;
    QueueEntry e;
    /* the lock is not held while a call runs: the scheduler thread's
     * messages go on meanwhile */
    while (next_entry(limit, e)) {
        run++;
        if (e.q) {
            from_method<task_fn>(e.q->fn)(e.q->obj);
        } else {
            from_method<deferred_fn>(e.fn)(e.ob, e.s, (long)e.atoms.size(), e.atoms.empty() ? nullptr : e.atoms.data());
        }
    }
    return run;
}

t_uint32 systime_ms(void)
{
    count("systime_ms");
    HostLock hold(host_lock());
    return H().clock_ms;
}

long simhost_queue_pending(void)
{
    HostLock hold(host_lock());
    return (long)H().queue.size();
}
