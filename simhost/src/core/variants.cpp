/* Host variants: behaviours of the host that differ between Max versions,
 * or that nobody has measured, chosen for a whole run. The table outlives
 * simhost_reset(), so that a run keeps its host while tests reset it. */
#include "host.h"

#include "kit.h"

#include <atomic>
#include <cstring>

namespace {

struct Variant {
    const char *name;
    const char *about;
};

/* Add a row for a behaviour, and read it where the host behaves so. */
const Variant g_variants[] = {
    {"vst-quiet-change", "vst~ changes its plug-in without a freecontainedview notification first (whether "
                         "every Max version sends one is not known)"},
    {"editor-hides-on-close", "closing the plug-in editor (its close button, wclose) hides its window instead of "
                              "destroying it; open does not show it again"},
    {"editor-frame-at-point", "vst~'s open puts the editor window's frame, not its client area, at the point"},
    {"editor-late", "the editor window appears one queue pass after vst~'s open returns"},
    {"wclose-by-message", "vst~'s wclose closes the editor as its close button does, by a WM_CLOSE to the window "
                          "(whether it goes through the window's message is not known)"},
    {"rename-notifies-box", "a new scripting name is told only to the observers of the box, not to those of the "
                            "object in it"},
    {"autopattr-ui-only", "autopattr takes in named UI objects only, others only through a cord from its left "
                          "(include) outlet, as its reference says (whether it takes a named object that only "
                          "answers getvalueof is not known)"},
    {"attr-empty-array", "an attribute read by object_attr_getvalueof that has no atoms hands over an array all the "
                         "same, as a getter that allocates before it counts does (a count of 0, memory the caller "
                         "frees)"},
    {"max-pixel-units", "Max's display and mouse calls (jmonitor, jmouse) answer in Windows pixels, not in units "
                        "scaled by each display's scale; jmonitor_scale_pt and jmonitor_unscale_pt change nothing"},
    {"vst-open-pixels", "vst~'s open X Y reads the point in Windows pixels, not in Max's scaled units"},
    {"editor-dpi-unaware", "the plug-in editor is made unaware of display scales, so Windows stretches it: its "
                           "size on the screen is the plug-in's size times its display's scale"},
};
const long g_count = (long)(sizeof(g_variants) / sizeof(g_variants[0]));

/* Chosen between runs, read by objects on any thread. */
std::atomic<unsigned long> g_on{0};

long index_of(const char *name)
{
    for (long i = 0; name && i < g_count; ++i)
        if (std::strcmp(g_variants[i].name, name) == 0)
            return i;
    return -1;
}

} // namespace

namespace kit {

bool variant(const char *name)
{
    const long i = index_of(name);
    return i >= 0 && (g_on.load(std::memory_order_relaxed) & (1UL << i)) != 0;
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
    if (i < 0)
        return MAX_ERR_GENERIC;
    g_on.fetch_or(1UL << i);
    return MAX_ERR_NONE;
}

int simhost_variant_on(const char *name)
{
    return kit::variant(name) ? 1 : 0;
}

void simhost_variants_clear(void)
{
    g_on.store(0);
}
