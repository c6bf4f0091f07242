// The simulated vst~ object: loading, its notifications, the editor window,
// its misbehaviours, the plug-in wrapper, and foreign windows.
#include <gtest/gtest.h>

#include "fresh_host.h"
#include "simhost.h"
#include "testkit_host.h"
#include "win_api.h"
#ifndef _WIN32
#include "simwin.h"
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A bare observer that writes down every notification it receives, with the
// state of the observed vst~ at that moment.
struct t_watch {
    t_object ob;
};

std::vector<std::string> g_log;
t_object *g_watched;
t_object *g_retype; /* a box the observer retypes when it hears a plug-in change coming */

t_object *instance_of(t_object *vst)
{
    return (t_object *)testkit::call(vst, "getinstance");
}

void close_editor(t_object *vst)
{
    testkit::call(vst, "wclose");
}

std::string loaded_name(t_object *vst)
{
    t_object *instance = instance_of(vst);
    if (!instance)
        return "-";
    char *name = nullptr;
    testkit::call(instance, "getpluginname", &name);
    return name ? name : "(unset)";
}

t_max_err watch_notify(t_watch *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    std::string line = std::string(msg->s_name) + " from " + object_classname(sender)->s_name;
    if (g_watched) {
        line += simhost_vst_editor(g_watched) ? " editor=open" : " editor=none";
        line += " plugin=" + loaded_name(g_watched);
    }
    g_log.push_back(line);
    if (g_retype && msg == gensym("freecontainedview")) {
        EXPECT_EQ(simhost_box_retype(g_retype, "vst~ Beta"), MAX_ERR_NONE);
    }
    return 0;
}

struct Point {
    long x, y;
    bool operator==(const Point &o) const { return x == o.x && y == o.y; }
};

Point client_origin(HWND hwnd)
{
    POINT pt = {0, 0};
    ClientToScreen(hwnd, &pt);
    return {pt.x, pt.y};
}

Point client_size(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Visible ones only: Windows keeps hidden top-level windows of its own (IME).
BOOL CALLBACK count_window(HWND hwnd, LPARAM lp)
{
    if (IsWindowVisible(hwnd))
        ++*(int *)lp;
    return TRUE;
}

int toplevel_count()
{
    int n = 0;
    EnumWindows(count_window, (LPARAM)&n);
    return n;
}

class VstTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_host();
        g_log.clear();
        g_watched = nullptr;
        g_retype = nullptr;
        t_class *c = class_new("vsttestwatch", nullptr, nullptr, (long)sizeof(t_watch), nullptr, 0);
        class_addmethod(c, as_method(watch_notify), "notify", A_CANT, 0);
        class_register(gensym("nobox"), c);
        watch_class = c;
    }

    void TearDown() override
    {
        simhost_variants_clear();
        fresh_host();
    }

    // Attaches a new observer to vst and records notifications from now on.
    void watch(t_object *vst)
    {
        t_object *w = (t_object *)object_alloc(watch_class);
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(object_attach_byptr_register(w, vst, gensym("nobox")), MAX_ERR_NONE);
        g_watched = vst;
    }

    static t_object *make(const char *text)
    {
        t_object *obj = simhost_object_new(text);
        EXPECT_NE(obj, nullptr) << text;
        return obj;
    }

    static HWND open_editor(t_object *vst, int x, int y)
    {
        testkit::call(vst, "open", (void *)(intptr_t)x, (void *)(intptr_t)y);
        return (HWND)simhost_vst_editor(vst);
    }

    t_class *watch_class = nullptr;
};

TEST_F(VstTest, BoxTextLoadsFromTheCatalogueOrAStandIn)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    simhost_plugin_declare("Beta", 300, 200, 7);
    simhost_plugin_declare("Dexed 0.9", 500, 400, 3);

    struct Row {
        const char *text;
        const char *name; // "-" for no plug-in
        long delay;
        double width, height;
    };
    const Row rows[] = {
        {"vst~ Alpha", "Alpha", 64, 800, 600},
        {"vst~ 2 2 Alpha", "Alpha", 64, 800, 600},
        {"vst~ 2 2 Beta.dll", "Beta", 7, 300, 200},
        {"vst~ \"Dexed 0.9\"", "Dexed 0.9", 3, 500, 400},
        {"vst~ 2 2 PhoenixVerb.vst", "PhoenixVerb", 0, 640, 480},
        {"vst~ \"C:/Program Files/Akai/EWI USB/VST/EWI USB VST_x64.dll\"", "EWI USB VST_x64", 0, 640, 480},
        {"vst~ \"C74_VST:/Jun-6 V\"", "Jun-6 V", 0, 640, 480},
        {"vst~ OculusSpatializer.DLL", "OculusSpatializer", 0, 640, 480},
        {"vst~", "-", 0, 0, 0},
        {"vst~ 2 2", "-", 0, 0, 0},
        {"vst~ 16 16 \"Dexed 0.9\" @autosave 0", "Dexed 0.9", 3, 500, 400},
        {"vst~ @autosave 0", "-", 0, 0, 0},
        {"mcs.vst~ 4 Beta", "Beta", 7, 300, 200},
        {"mcs.vst~ 8", "-", 0, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        const int before = simhost_event_count();
        t_object *vst = make(row.text);
        ASSERT_NE(vst, nullptr);
        EXPECT_EQ(loaded_name(vst), row.name);
        // a stand-in says so, once
        const bool standin = row.width == 640;
        ASSERT_EQ(simhost_event_count(), before + (standin ? 1 : 0));
        if (standin) {
            EXPECT_NE(std::string(simhost_event_get(before)->text).find("was declared: a stand-in takes its place"),
                      std::string::npos);
        }
        t_object *instance = instance_of(vst);
        if (!instance) {
            EXPECT_STREQ(object_attr_getsym(vst, gensym("savedpluginname"))->s_name, "");
            continue;
        }
        EXPECT_STREQ(object_attr_getsym(vst, gensym("savedpluginname"))->s_name, row.name);
        EXPECT_EQ(object_attr_getlong(instance, gensym("initialdelay")), row.delay);
        t_rect r = {-1, -1, -1, -1};
        EXPECT_EQ(object_attr_get_rect(instance, gensym("rect"), &r), MAX_ERR_NONE);
        EXPECT_EQ(r.width, row.width);
        EXPECT_EQ(r.height, row.height);
    }
}

// Attributes in the box text set the object's attributes; one the object
// does not have is refused on the console and the rest still count.
// "plug" alone stands for the user choosing in Max's plug-in chooser: the
// first plug-in declared, or a stand-in when none was.
TEST_F(VstTest, PlugAloneLoadsTheFirstPluginDeclared)
{
    t_object *vst = make("vst~");
    simhost_send(vst, "plug", 0, nullptr);
    EXPECT_EQ(loaded_name(vst), "Stand-in");
    EXPECT_STREQ(simhost_event_get(simhost_event_count() - 1)->text,
                 "no plug-in \"Stand-in\" was declared: a stand-in takes its place (editor 640x480)");
    simhost_plugin_declare("Beta", 300, 200, 0);
    simhost_plugin_declare("Alpha", 800, 600, 0);
    simhost_plugin_declare("Beta", 320, 240, 0);
    simhost_send(vst, "plug", 0, nullptr);
    EXPECT_EQ(loaded_name(vst), "Beta");
}

TEST_F(VstTest, BoxTextAttributesAreAttributes)
{
    simhost_plugin_declare("VCV Rack 2", 640, 480, 0);
    simhost_plugin_declare("Beta", 640, 480, 0);
    t_object *vst = make("vst~ 2 2 \"VCV Rack 2\" @autosave 0 @prefer VST3 @bypass 1");
    EXPECT_EQ(loaded_name(vst), "VCV Rack 2");
    EXPECT_EQ(object_attr_getlong(vst, gensym("autosave")), 0);
    EXPECT_EQ(object_attr_getlong(vst, gensym("bypass")), 1);
    EXPECT_STREQ(object_attr_getsym(vst, gensym("prefer"))->s_name, "VST3");

    const int before = simhost_event_count();
    t_object *other = make("mcs.vst~ 2 Beta @colour red @autosave 0");
    EXPECT_EQ(loaded_name(other), "Beta");
    EXPECT_EQ(object_attr_getlong(other, gensym("autosave")), 0);
    ASSERT_EQ(simhost_event_count(), before + 1);
    EXPECT_STREQ(simhost_event_get(before)->text, "can't set attribute \"colour\"");
    EXPECT_EQ(object_attr_getlong(make("vst~ Beta"), gensym("autosave")), 1);
}

// A saved snapshot names the plug-in by its display name and gives the
// saved name, in place of what the box text loaded; observers hear of the
// change as of any other.
TEST_F(VstTest, SnapshotLoadsItsPluginWithItsSavedName)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    t_object *vst = make("vst~ 2 2 Other.dll");
    watch(vst);
    ASSERT_EQ(simhost_vst_snapshot(vst, "Alpha", "/Library/Audio/Plug-Ins/VST/Alpha.vst"), MAX_ERR_NONE);
    EXPECT_EQ(loaded_name(vst), "Alpha");
    EXPECT_EQ(object_attr_getlong(instance_of(vst), gensym("initialdelay")), 64);
    EXPECT_STREQ(object_attr_getsym(vst, gensym("savedpluginname"))->s_name, "/Library/Audio/Plug-Ins/VST/Alpha.vst");
    EXPECT_EQ(g_log.size(), 2u);

    t_object *bare = make("mcs.vst~ 2");
    ASSERT_EQ(simhost_vst_snapshot(bare, "EP-1", ""), MAX_ERR_NONE);
    EXPECT_EQ(loaded_name(bare), "EP-1");
    EXPECT_STREQ(object_attr_getsym(bare, gensym("savedpluginname"))->s_name, "EP-1");
    EXPECT_EQ(simhost_vst_snapshot(bare, "", "x"), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_vst_snapshot(nullptr, "Alpha", nullptr), MAX_ERR_GENERIC);
    EXPECT_EQ(loaded_name(bare), "EP-1");
}

TEST_F(VstTest, CatalogueRedeclaresAndCanHideTheName)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    simhost_plugin_declare("Alpha", 100, 50, 9);
    simhost_plugin_declare_flags("Mute", 320, 240, 1, SIMHOST_PLUGIN_NONAME);

    t_object *alpha = make("vst~ Alpha");
    t_object *instance = instance_of(alpha);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(object_attr_getlong(instance, gensym("initialdelay")), 9);

    t_object *mute = make("vst~ Mute");
    EXPECT_EQ(loaded_name(mute), "(unset)");
    EXPECT_STREQ(object_attr_getsym(mute, gensym("savedpluginname"))->s_name, "Mute");

    // reset forgets the catalogue: the same name is now a stand-in
    fresh_host();
    t_object *again = make("vst~ Alpha");
    instance = instance_of(again);
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(object_attr_getlong(instance, gensym("initialdelay")), 0);
}

TEST_F(VstTest, ChangingThePluginNotifiesAroundTheChange)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    simhost_plugin_declare("Beta", 300, 200, 7);
    t_object *vst = make("vst~ Alpha");
    watch(vst);
    ASSERT_NE(open_editor(vst, 100, 100), nullptr);

    ASSERT_EQ(simhost_vst_load(vst, "Beta"), MAX_ERR_NONE);
    t_atom arg;
    atom_setsym(&arg, gensym("C:/VST/Gamma Ray.dll"));
    ASSERT_EQ(simhost_send(vst, "plug", 1, &arg), MAX_ERR_NONE);
    ASSERT_EQ(simhost_vst_load(vst, nullptr), MAX_ERR_NONE);
    ASSERT_EQ(simhost_vst_load(vst, "Alpha"), MAX_ERR_NONE);
    ASSERT_EQ(simhost_vst_load(vst, ""), MAX_ERR_NONE);

    const std::vector<std::string> expected = {
        "freecontainedview from vst~ editor=open plugin=Alpha",
        "rebuildcontainedview from vst~ editor=none plugin=Beta",
        "freecontainedview from vst~ editor=none plugin=Beta",
        "rebuildcontainedview from vst~ editor=none plugin=Gamma Ray",
        "freecontainedview from vst~ editor=none plugin=Gamma Ray",
        "rebuildcontainedview from vst~ editor=none plugin=-",
        "freecontainedview from vst~ editor=none plugin=-",
        "rebuildcontainedview from vst~ editor=none plugin=Alpha",
        "freecontainedview from vst~ editor=none plugin=Alpha",
        "rebuildcontainedview from vst~ editor=none plugin=-",
    };
    EXPECT_EQ(g_log, expected);
    // an unload keeps the name of the plug-in loaded last
    EXPECT_STREQ(object_attr_getsym(vst, gensym("savedpluginname"))->s_name, "Alpha");
}

// A host variant holds for the run, across resets, and changes what the
// host does: here a plug-in change without its first notification.
TEST_F(VstTest, HostVariantOutlivesResetAndChangesThePluginChange)
{
    EXPECT_NE(simhost_variant_set("no-such-variant"), MAX_ERR_NONE);
    ASSERT_EQ(simhost_variant_set("vst-quiet-change"), MAX_ERR_NONE);
    SetUp();
    EXPECT_EQ(simhost_variant_on("vst-quiet-change"), 1);
    t_object *vst = make("vst~ Alpha");
    watch(vst);
    ASSERT_EQ(simhost_vst_load(vst, "Beta"), MAX_ERR_NONE);
    EXPECT_EQ(g_log, std::vector<std::string>{"rebuildcontainedview from vst~ editor=none plugin=Beta"});
}

TEST_F(VstTest, DelayChangeNotifiesEveryTime)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    t_object *vst = make("vst~ Alpha");
    watch(vst);
    g_watched = nullptr;

    ASSERT_EQ(simhost_vst_set_delay(vst, 128), MAX_ERR_NONE);
    ASSERT_EQ(simhost_vst_set_delay(vst, 128), MAX_ERR_NONE);
    t_object *instance = instance_of(vst);
    EXPECT_EQ(object_attr_getlong(instance, gensym("initialdelay")), 128);
    EXPECT_EQ(g_log, (std::vector<std::string>{"attr_modified from vst~", "attr_modified from vst~"}));

    // nothing loaded: nothing to change and nobody told
    simhost_vst_load(vst, nullptr);
    g_log.clear();
    EXPECT_EQ(simhost_vst_set_delay(vst, 5), MAX_ERR_GENERIC);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(VstTest, ControlCallsRefuseWhatIsNotAVstObject)
{
    t_object *other = (t_object *)object_alloc(watch_class);
    watch(other);
    g_watched = nullptr;
    EXPECT_EQ(simhost_vst_load(nullptr, "Alpha"), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_vst_load(other, "Alpha"), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_vst_set_delay(other, 1), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_vst_editor(other), nullptr);
    simhost_vst_misbehave(other, SIMHOST_VST_OFFSET, 1, 1);
    simhost_vst_wrapper_notify(other, "hello");
    EXPECT_TRUE(g_log.empty());
}

TEST_F(VstTest, EditorClientAreaLiesExactlyOnThePoint)
{
    simhost_plugin_declare("Alpha", 800, 600, 64);
    t_object *vst = make("vst~ Alpha");
    struct Case {
        int x, y;
    };
    for (Case at : {Case{100, 200}, Case{-900, -50}, Case{0, 0}}) {
        SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
        int before = toplevel_count();
        HWND editor = open_editor(vst, at.x, at.y);
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(toplevel_count(), before + 1);
        EXPECT_TRUE(IsWindowVisible(editor));
        EXPECT_EQ(client_origin(editor), (Point{at.x, at.y}));
        EXPECT_EQ(client_size(editor), (Point{800, 600}));

        // a real frame: caption above, borders around
        RECT frame;
        ASSERT_TRUE(GetWindowRect(editor, &frame));
        EXPECT_LT(frame.top, at.y);
        EXPECT_LT(frame.left, at.x);
        EXPECT_GT(frame.right, at.x + 800);
        LONG_PTR style = GetWindowLongPtrA(editor, GWL_STYLE);
        EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
        char title[64] = "";
        GetWindowTextA(editor, title, (int)sizeof(title));
        EXPECT_STREQ(title, "Alpha");

        // while it is open, another request opens nothing new
        EXPECT_EQ(open_editor(vst, at.x + 10, at.y + 10), editor);
        EXPECT_EQ(toplevel_count(), before + 1);
        EXPECT_EQ(client_origin(editor), (Point{at.x, at.y}));

        close_editor(vst);
        EXPECT_FALSE(IsWindow(editor));
        EXPECT_EQ(simhost_vst_editor(vst), nullptr);
        EXPECT_EQ(toplevel_count(), before);
    }

    // a stand-in's editor has the default size
    t_object *standin = make("vst~ Unknown.dll");
    HWND editor = open_editor(standin, 10, 40);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(client_size(editor), (Point{640, 480}));

    // no plug-in, no editor
    t_object *empty = make("vst~");
    int before = toplevel_count();
    EXPECT_EQ(open_editor(empty, 10, 40), nullptr);
    EXPECT_EQ(toplevel_count(), before);
}

TEST_F(VstTest, MisbehavingEditorsOpenElsewhereOrNotAtAll)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");

    simhost_vst_misbehave(vst, SIMHOST_VST_OFFSET, 30, -7);
    HWND editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(client_origin(editor), (Point{130, 193}));
    EXPECT_EQ(client_size(editor), (Point{320, 240}));
    close_editor(vst);

    simhost_vst_misbehave(vst, SIMHOST_VST_NOEDITOR, 0, 0);
    int before = toplevel_count();
    EXPECT_EQ(open_editor(vst, 100, 200), nullptr);
    EXPECT_EQ(toplevel_count(), before);

    simhost_vst_misbehave(vst, SIMHOST_VST_NORMAL, 0, 0);
    editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(client_origin(editor), (Point{100, 200}));
}

TEST_F(VstTest, CloseButtonDestroysTheEditor)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");
    HWND editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);

    SendMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(simhost_vst_editor(vst), nullptr);

    // closing with nothing open does nothing, and the editor opens again
    close_editor(vst);
    editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(IsWindowVisible(editor));
}

TEST_F(VstTest, DeletingTheBoxClosesTheEditorAfterTellingObservers)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *patcher = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(patcher, "synth", "vst~ Alpha");
    ASSERT_NE(box, nullptr);
    t_object *vst = jbox_get_object(box);
    ASSERT_NE(vst, nullptr);
    HWND editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);
    watch(vst);

    simhost_box_free(box);
    EXPECT_EQ(g_log, (std::vector<std::string>{"free from vst~ editor=open plugin=Alpha"}));
    EXPECT_FALSE(IsWindow(editor));
    // the freed object is refused, not read
    EXPECT_EQ(simhost_vst_load(vst, "Alpha"), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_vst_editor(vst), nullptr);
}

// A patch that retypes the vst~ box while the vst~ announces a plug-in
// change: the old object goes once the change returns, without going on
// with it, and the box holds the new one.
TEST_F(VstTest, RetypedFromInsideItsOwnChangeItGoesAfterIt)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *patcher = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(patcher, "synth", "vst~ Alpha");
    t_object *vst = jbox_get_object(box);
    ASSERT_NE(open_editor(vst, 100, 200), nullptr);
    watch(vst);
    g_retype = box;
    const long violations = simhost_violation_count();

    EXPECT_EQ(simhost_vst_load(vst, "Gamma"), MAX_ERR_NONE);
    EXPECT_EQ(g_log, (std::vector<std::string>{"freecontainedview from vst~ editor=open plugin=Alpha",
                                               "free from vst~ editor=open plugin=Alpha"}));
    EXPECT_EQ(simhost_vst_load(vst, "Alpha"), MAX_ERR_GENERIC);
    EXPECT_NE(jbox_get_object(box), vst);
    EXPECT_EQ(loaded_name(jbox_get_object(box)), "Beta");
    EXPECT_EQ(simhost_violation_count(), violations);
}

TEST_F(VstTest, ResetTakesEditorsAndForeignWindowsAway)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");
    HWND editor = open_editor(vst, 100, 200);
    HWND foreign = (HWND)simhost_foreign_window(400, 300, 200, 100, "Other");
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(foreign, nullptr);

    simhost_reset();
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_FALSE(IsWindow(foreign));
}

TEST_F(VstTest, WrapperNotifiesTheVstObservers)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");
    EXPECT_NE(simhost_class_find("nobox", "jpluginwrapper"), nullptr);
    watch(vst);
    g_watched = nullptr;

    simhost_vst_wrapper_notify(vst, "attr_modified");
    simhost_vst_wrapper_notify(vst, "freecontainedview");
    EXPECT_EQ(g_log, (std::vector<std::string>{"attr_modified from jpluginwrapper",
                                               "freecontainedview from jpluginwrapper"}));
}

TEST_F(VstTest, ForeignWindowsSitOnThePointWithoutTakingActivation)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");
    HWND editor = open_editor(vst, 500, 500);
    ASSERT_NE(editor, nullptr);
    HWND active = GetActiveWindow();

    const int count = 300;
    int before = toplevel_count();
    std::vector<HWND> windows;
    for (int i = 0; i < count; i++) {
        HWND hwnd = (HWND)simhost_foreign_window(40, 60, 200 + i % 3, 100, "Other application");
        ASSERT_NE(hwnd, nullptr) << i;
        windows.push_back(hwnd);
    }
    EXPECT_EQ(toplevel_count(), before + count);
    EXPECT_EQ(GetActiveWindow(), active);
    for (int i = 0; i < count; i += 37) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(IsWindowVisible(windows[i]));
        EXPECT_EQ(client_origin(windows[i]), (Point{40, 60}));
        EXPECT_EQ(client_size(windows[i]), (Point{200 + i % 3, 100}));
        EXPECT_EQ(GetWindowLongPtrA(windows[i], GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    }
}

#ifndef _WIN32
TEST_F(VstTest, EditorThatCannotBeCreatedIsReportedAndRetried)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *vst = make("vst~ Alpha");
    int events = simhost_event_count();
    simwin_fail("CreateWindowExA", 1);

    EXPECT_EQ(open_editor(vst, 100, 200), nullptr);
    ASSERT_EQ(simhost_event_count(), events + 1);
    const simhost_event *e = simhost_event_get(events);
    EXPECT_EQ(e->kind, SIMHOST_ERROR);
    EXPECT_EQ(e->object, vst);

    HWND editor = open_editor(vst, 100, 200);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(client_origin(editor), (Point{100, 200}));
}

TEST_F(VstTest, EditorThatOutlivesItsObjectIsLeftAlone)
{
    simhost_plugin_declare("Alpha", 320, 240, 0);
    t_object *patcher = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(patcher, "synth", "vst~ Alpha");
    HWND editor = open_editor(jbox_get_object(box), 100, 200);
    ASSERT_NE(editor, nullptr);

    simwin_fail("DestroyWindow", 1);
    simhost_box_free(box);
    ASSERT_TRUE(IsWindow(editor));
    // its procedure must not reach the freed object (the sanitizer build sees it)
    simwin_user_close(editor);
    EXPECT_FALSE(IsWindow(editor));
}
#endif

} // namespace
