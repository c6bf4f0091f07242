// Each host variant changes what the host does: a probe per variant reads
// one behaviour on the default host and under the variant, and both
// readings are held to what they must be. A variant without a probe fails.
#include <gtest/gtest.h>

#include "fresh_host.h"
#include "simhost.h"
#include "simhost_variants.h"
#include "testkit_host.h"
#include "win_api.h"

#include <cstdint>
#include <string>

namespace {

std::string g_heard; /* the notifications the probe's observer heard */

t_max_err heard(t_object *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    g_heard += std::string(g_heard.empty() ? "" : " ") + msg->s_name;
    return MAX_ERR_NONE;
}

t_max_err no_atoms(t_object *x, t_object *attr, long *ac, t_atom **av)
{
    *ac = 0;
    return MAX_ERR_NONE;
}

// A nobox object that writes down what it hears and has an attribute of no
// atoms.
t_object *listener()
{
    t_class *c = class_new("variantprobe", nullptr, nullptr, (long)sizeof(t_object) + 8, nullptr, 0);
    class_addmethod(c, as_method(heard), "notify", A_CANT, 0);
    class_addattr(c, attr_offset_new("nothing", gensym("long"), 0, as_method(no_atoms), nullptr, 0));
    class_register(gensym("nobox"), c);
    g_heard.clear();
    return (t_object *)object_alloc(c);
}

t_object *observed_by_listener(t_object *obj)
{
    object_attach_byptr_register(listener(), obj, gensym("nobox"));
    return obj;
}

HWND open_editor(t_object *vst, int x, int y)
{
    testkit::call(vst, "open", (void *)(intptr_t)x, (void *)(intptr_t)y);
    return (HWND)simhost_vst_editor(vst);
}

std::string window_state(HWND hwnd)
{
    if (!hwnd || !IsWindow(hwnd))
        return "gone";
    return IsWindowVisible(hwnd) ? "shown" : "hidden";
}

std::string quiet_change()
{
    t_object *vst = observed_by_listener(simhost_object_new("vst~ Alpha"));
    simhost_vst_load(vst, "Beta");
    return g_heard;
}

std::string hides_on_close()
{
    t_object *vst = simhost_object_new("vst~ Alpha");
    HWND editor = open_editor(vst, 100, 200);
    testkit::call(vst, "wclose");
    return window_state(editor);
}

std::string frame_at_point()
{
    POINT origin = {};
    ClientToScreen(open_editor(simhost_object_new("vst~ Alpha"), 100, 200), &origin);
    return std::to_string(origin.x == 100 && origin.y == 200 ? 0 : 1) + " client off the point";
}

// The passes until the editor is there, and the host's clock meanwhile.
std::string late()
{
    t_object *vst = simhost_object_new("vst~ Alpha");
    const t_uint32 start = systime_ms();
    int passes = 0;
    for (; !open_editor(vst, 100, 200) && passes < 10; ++passes)
        simhost_queue_pass();
    return std::to_string(passes) + " passes " + std::to_string(systime_ms() - start) + " ms";
}

LRESULT CALLBACK note_close(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    if (msg == WM_CLOSE)
        g_heard += "WM_CLOSE";
    return DefSubclassProc(hwnd, msg, wp, lp);
}

std::string wclose_message()
{
    t_object *vst = simhost_object_new("vst~ Alpha");
    HWND editor = open_editor(vst, 100, 200);
    g_heard.clear();
    SetWindowSubclass(editor, note_close, 1, 0);
    testkit::call(vst, "wclose");
    return g_heard + " " + window_state(editor);
}

std::string rename_notice()
{
    t_object *patcher = simhost_patcher_new(nullptr, "probe");
    t_object *box = simhost_box_new(patcher, "synth", "vst~ Alpha");
    observed_by_listener(jbox_get_object(box));
    simhost_box_rename(box, "other");
    return g_heard.empty() ? "object not told" : "object told";
}

std::string autopattr_takes()
{
    t_object *patcher = simhost_patcher_new(nullptr, "probe");
    t_object *vst = jbox_get_object(simhost_box_new(patcher, "synth", "vst~ Alpha"));
    const long before = simhost_observer_count(vst);
    simhost_box_new(patcher, "", "autopattr");
    while (simhost_queue_pass() > 0)
        continue;
    return std::to_string(simhost_observer_count(vst) - before) + " observer";
}

std::string empty_array()
{
    t_object *obj = listener();
    long ac = 0;
    t_atom *av = nullptr;
    object_attr_getvalueof(obj, gensym("nothing"), &ac, &av);
    const std::string seen = std::to_string(ac) + (av ? " atoms, an array" : " atoms, no array");
    sysmem_freeptr(av);
    return seen;
}

// Right after wclose, and a pass later.
std::string close_deferred()
{
    t_object *vst = simhost_object_new("vst~ Alpha");
    HWND editor = open_editor(vst, 100, 200);
    testkit::call(vst, "wclose");
    const std::string now = window_state(editor);
    simhost_queue_pass();
    return now + " " + window_state(editor);
}

// The second open's window: the first one or another, and where.
std::string open_reshows()
{
    t_object *vst = simhost_object_new("vst~ Alpha");
    HWND first = open_editor(vst, 100, 200);
    testkit::call(vst, "wclose");
    HWND second = open_editor(vst, 300, 250);
    POINT origin = {};
    ClientToScreen(second, &origin);
    return std::string(first == second ? "same " : "new ") + window_state(second) + " at " +
           std::to_string(origin.x) + " " + std::to_string(origin.y);
}

std::string resizes()
{
    HWND editor = open_editor(simhost_object_new("vst~ Alpha"), 100, 200);
    simhost_queue_pass();
    RECT client = {};
    GetClientRect(editor, &client);
    POINT origin = {};
    ClientToScreen(editor, &origin);
    return std::to_string(client.right) + "x" + std::to_string(client.bottom) + " at " + std::to_string(origin.x) +
           " " + std::to_string(origin.y);
}

// A 4K display at 150%, in Windows pixels.
void scaled_display()
{
    simhost_display_add(t_rect{0, 0, 3840, 2160}, t_rect{0, 0, 3840, 2120});
    simhost_display_set_scale(0, 1.5);
}

std::string display_units()
{
    scaled_display();
    t_rect r = {};
    jmonitor_getdisplayrect_forpoint(0, t_pt{10, 10}, &r);
    const t_pt p = jmonitor_scale_pt(t_pt{300, 150});
    return std::to_string((int)r.width) + " wide, 300 150 is " + std::to_string((int)p.x) + " " +
           std::to_string((int)p.y);
}

std::string editor_place()
{
    scaled_display();
    POINT origin = {};
    ClientToScreen(open_editor(simhost_object_new("vst~ Alpha"), 200, 100), &origin);
    return std::to_string(origin.x) + " " + std::to_string(origin.y);
}

std::string editor_size()
{
    scaled_display();
    RECT r = {};
    GetClientRect(open_editor(simhost_object_new("vst~ Alpha"), 200, 100), &r);
    return std::to_string(r.right) + "x" + std::to_string(r.bottom);
}

struct Probe {
    simhost_variant variant;
    const char *setting; /* what simhost_variant_set is given */
    std::string (*read)();
    const char *plain;   /* the reading on the default host */
    const char *changed; /* ... and under the variant */
};

const Probe probes[] = {
    {simhost_variant::vst_quiet_change, "vst-quiet-change", quiet_change,
     "freecontainedview rebuildcontainedview", "rebuildcontainedview"},
    {simhost_variant::editor_hides_on_close, "editor-hides-on-close", hides_on_close, "gone", "hidden"},
    {simhost_variant::editor_frame_at_point, "editor-frame-at-point", frame_at_point, "0 client off the point",
     "1 client off the point"},
    {simhost_variant::editor_late, "editor-late=3", late, "0 passes 0 ms", "3 passes 30 ms"},
    {simhost_variant::wclose_by_message, "wclose-by-message", wclose_message, " gone", "WM_CLOSE gone"},
    {simhost_variant::rename_notifies_box, "rename-notifies-box", rename_notice, "object told", "object not told"},
    {simhost_variant::autopattr_ui_only, "autopattr-ui-only", autopattr_takes, "1 observer", "0 observer"},
    {simhost_variant::attr_empty_array, "attr-empty-array", empty_array, "0 atoms, no array",
     "0 atoms, an array"},
    {simhost_variant::max_pixel_units, "max-pixel-units", display_units, "2560 wide, 300 150 is 200 100",
     "3840 wide, 300 150 is 300 150"},
    {simhost_variant::vst_open_pixels, "vst-open-pixels", editor_place, "300 150", "200 100"},
    {simhost_variant::editor_dpi_unaware, "editor-dpi-unaware", editor_size, "640x480", "960x720"},
    {simhost_variant::editor_close_deferred, "editor-close-deferred", close_deferred, "gone gone", "shown gone"},
    {simhost_variant::editor_open_reshows, "editor-open-reshows", open_reshows, "new shown at 300 250",
     "same shown at 100 200"},
    {simhost_variant::editor_resizes, "editor-resizes", resizes, "640x480 at 100 200", "680x520 at 100 200"},
};

std::string probe(const Probe &p, bool on)
{
    simhost_variants_clear();
    if (on) {
        EXPECT_EQ(simhost_variant_set(p.setting), MAX_ERR_NONE);
    }
    fresh_host();
    simhost_plugin_declare("Alpha", 640, 480, 0);
    simhost_plugin_declare("Beta", 320, 240, 0);
    const std::string reading = p.read();
    simhost_variants_clear();
    fresh_host();
    return reading;
}

TEST(HostVariants, EachChangesWhatTheHostDoes)
{
    const long count = (long)(sizeof(probes) / sizeof(probes[0]));
    ASSERT_EQ(simhost_variant_count(), count) << "a variant without a probe, or a probe without a variant";
    for (long i = 0; i < count; ++i) {
        const Probe &p = probes[i];
        SCOPED_TRACE(simhost_variant_name(i));
        ASSERT_EQ((long)p.variant, i) << "the probes are in the table's order";
        EXPECT_EQ(std::string(p.setting).rfind(simhost_variant_name(i), 0), 0u);
        EXPECT_EQ(probe(p, false), p.plain);
        EXPECT_EQ(probe(p, true), p.changed);
    }
}

// A count only for a variant that takes one, and a positive one.
TEST(HostVariants, ACountIsTakenOnlyWhereTheTableSaysSo)
{
    EXPECT_NE(simhost_variant_set("no-such-variant"), MAX_ERR_NONE);
    EXPECT_NE(simhost_variant_set("vst-quiet-change=2"), MAX_ERR_NONE);
    EXPECT_NE(simhost_variant_set("editor-late=0"), MAX_ERR_NONE);
    EXPECT_NE(simhost_variant_set("editor-late=2x"), MAX_ERR_NONE);
    EXPECT_NE(simhost_variant_set("editor-lat"), MAX_ERR_NONE);
    EXPECT_EQ(simhost_variant_on("editor-late"), 0);
    EXPECT_EQ(simhost_variant_set(simhost_variant::editor_late), MAX_ERR_NONE);
    EXPECT_EQ(simhost_variant_on("editor-late"), 1);
    simhost_variants_clear();
}

} // namespace
