/* Host variants: behaviours of the host that differ between Max versions,
 * or that nobody has measured, chosen for a whole run. The table outlives
 * simhost_reset(), so that a run keeps its host while tests reset it. */
#include "host.h"

#include "kit.h"
#include "simhost_variants.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Variant {
    const char *name;
    long value; /* what NAME=N defaults to; 0 for a variant that takes none */
    const char *about;
};

const Variant g_variants[] = {
#define SIMHOST_VARIANT(id, name, value, where, about) {name, value, about},
#include "simhost_variants.def"
#undef SIMHOST_VARIANT
};
const long g_count = (long)(sizeof(g_variants) / sizeof(g_variants[0]));
static_assert(sizeof(g_variants) / sizeof(g_variants[0]) <= 64, "one bit a variant");

/* Chosen between runs, read by objects on any thread. */
std::atomic<uint64_t> g_on{0};
std::atomic<long> g_values[sizeof(g_variants) / sizeof(g_variants[0])];

/* The row NAME names in "NAME" or "NAME=N", or -1. */
long index_of(const char *text)
{
    if (!text)
        return -1;
    const size_t length = std::strcspn(text, "=");
    for (long i = 0; i < g_count; ++i)
        if (std::strlen(g_variants[i].name) == length && std::strncmp(g_variants[i].name, text, length) == 0)
            return i;
    return -1;
}

/* N of "NAME=N", the row's default without one; -1 for a value the row does
 * not take or that is not a positive count. */
long value_of(long i, const char *text)
{
    const char *equals = std::strchr(text, '=');
    if (!equals)
        return g_variants[i].value;
    char *end = nullptr;
    const long n = std::strtol(equals + 1, &end, 10);
    return g_variants[i].value > 0 && end != equals + 1 && !*end && n > 0 ? n : -1;
}

} // namespace

namespace kit {

bool variant(simhost_variant v)
{
    return (g_on.load(std::memory_order_relaxed) & (uint64_t{1} << (long)v)) != 0;
}

long variant_value(simhost_variant v)
{
    return variant(v) ? g_values[(long)v].load(std::memory_order_relaxed) : 0;
}

} // namespace kit

long simhost_variant_count(void)
{
    return g_count;
}

const char *simhost_variant_name(long index)
{
    return index >= 0 && index < g_count ? g_variants[index].name : nullptr;
}

const char *simhost_variant_about(long index)
{
    return index >= 0 && index < g_count ? g_variants[index].about : nullptr;
}

t_max_err simhost_variant_set(const char *name)
{
    const long i = index_of(name);
    const long value = i < 0 ? -1 : value_of(i, name);
    if (value < 0)
        return MAX_ERR_GENERIC;
    g_values[i].store(value);
    g_on.fetch_or(uint64_t{1} << i);
    return MAX_ERR_NONE;
}

int simhost_variant_on(const char *name)
{
    const long i = index_of(name);
    return i >= 0 && kit::variant((simhost_variant)i) ? 1 : 0;
}

void simhost_variants_clear(void)
{
    g_on.store(0);
}
