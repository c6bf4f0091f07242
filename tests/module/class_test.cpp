/* The class as the host sees it after load, and the life of an instance. */
#include <algorithm>
#include <cstring>

#include "module_test.h"

using namespace module_test;

namespace {

const char *const BANNER = "console post qzkorvel 2024/01/09 qzkorvel.example ";

t_class *korvel_cls()
{
    return simhost_class_find("box", "qzkorvel");
}

TEST(KorvelClass, LoadPrintsOneBannerAndRegistersTheClass)
{
    testkit::World w;
    Lines lines = w.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), BANNER)) << testkit::diff({BANNER}, lines);
    ASSERT_NE(nullptr, korvel_cls());
    w.box("qzkorvel a");
    w.box("qzkorvel b");
    lines = w.lines();
    EXPECT_EQ(0, std::count(lines.begin(), lines.end(), BANNER));
}

/* Which messages there are is the package test's: it holds them against the
 * reference page. Here, how they come: the host's own take A_CANT, the rest
 * a list, and each public window message has an undocumented direct_ twin. */
TEST(KorvelClass, DirectTwinsAreUndocumentedAndEveryOtherMessageIsDocumented)
{
    World w;
    t_class *c = korvel_cls();
    ASSERT_NE(nullptr, c);
    int twins = 0;
    for (long i = 0; i < simhost_class_method_count(c); ++i) {
        std::string name = simhost_class_method_name(c, i);
        if (simhost_class_attr_type(c, name.c_str()))
            continue;
        SCOPED_TRACE(name);
        short types[8] = {0};
        ASSERT_EQ(1, simhost_class_method_types(c, name.c_str(), types));
        const char *undocumented = simhost_class_method_attr(c, name.c_str(), "undocumented");
        bool host_only = name == "assist" || name == "notify" || name == "getvalueof" || name == "setvalueof";
        EXPECT_EQ(host_only ? A_CANT : A_GIMME, types[0]);
        if (name.rfind("direct_", 0) != 0) {
            EXPECT_EQ(nullptr, undocumented);
            continue;
        }
        twins++;
        EXPECT_STREQ("1", undocumented);
        short twin[8] = {0};
        EXPECT_EQ(1, simhost_class_method_types(c, name.c_str() + 7, twin));
        EXPECT_EQ(A_GIMME, twin[0]);
    }
    /* hide, show, open, close, pos, clear, state */
    EXPECT_EQ(7, twins);
}

TEST(KorvelClass, AttributesAreSavedLabelledOnOffAndSetAtCreation)
{
    World w;
    t_class *c = korvel_cls();
    ASSERT_NE(nullptr, c);
    struct Attr {
        const char *name;
        const char *label;
    };
    const Attr attrs[] = {{"debug", "Print debug info to Max window"},
                          {"stayontop", "Do not hide window when app goes to background"}};
    for (const Attr &a : attrs) {
        SCOPED_TRACE(a.name);
        EXPECT_STREQ("char", simhost_class_attr_type(c, a.name));
        EXPECT_STREQ("onoff", simhost_class_attr_attr(c, a.name, "style"));
        EXPECT_STREQ(a.label, simhost_class_attr_attr(c, a.name, "label"));
        EXPECT_STREQ("1", simhost_class_attr_attr(c, a.name, "save"));
    }
    w.box("qzkorvel synth @debug 1 @stayontop 1");
    t_korvel *x = record(w);
    EXPECT_EQ(1, x->debug);
    EXPECT_EQ(1, x->stayontop);
    EXPECT_STREQ("synth", x->scriptname->s_name);
    // open to the patch and to the host's C calls, as a saved attribute must be
    w.send("qzkorvel#1", "stayontop", "0");
    EXPECT_EQ(0, object_attr_getlong(x, gensym("stayontop")));
    EXPECT_EQ(1, object_attr_getlong(x, gensym("debug")));
}

TEST(KorvelClass, CreationWithoutScriptingNameMakesNothing)
{
    World w;
    w.lines();
    t_object *box = w.box("qzkorvel");
    EXPECT_EQ(nullptr, jbox_get_object(box));
    EXPECT_TRUE(same_lines({"console error Please use the scripting name of the target vst object as first argument "
                            "when you create the qzkorvel object."},
                           w.lines()));
    EXPECT_EQ(0, w.pass());
}

/* A first argument that is no name still makes an object: its attribute
 * arguments apply, and it binds to no box, not even to one without a name. */
TEST(KorvelClass, CreationWithoutANameFirstKeepsTheAttributes)
{
    World w;
    w.box("vst~");
    w.box("qzkorvel @debug 1 @stayontop 1");
    w.box("qzkorvel 7 @debug 1");
    w.lines();
    EXPECT_EQ(1, record(w, "qzkorvel#1")->debug);
    EXPECT_EQ(1, record(w, "qzkorvel#1")->stayontop);
    EXPECT_EQ(1, record(w, "qzkorvel#2")->debug);
    EXPECT_EQ(gensym(""), record(w, "qzkorvel#2")->scriptname);
    EXPECT_TRUE(plays(w, "pass 3", {}));
    EXPECT_EQ(nullptr, record(w, "qzkorvel#1")->target);
}

TEST(KorvelClass, CreationOutsideAPatcherFails)
{
    World w;
    w.lines();
    simhost_calls_clear();
    /* nor does its free hand the window system a handle it never had */
    SetLastError(0);
    EXPECT_EQ(nullptr, simhost_object_new("qzkorvel synth"));
    EXPECT_EQ(0u, GetLastError());
    EXPECT_TRUE(same_lines({"console error qzkorvel: failed to get the patcher containing this object"}, w.lines()));
    EXPECT_EQ(1, simhost_call_count("object_free"));
    EXPECT_EQ(0, w.pass());
}

/* The state system may hand a count with no atoms: read as none; or ask
 * for the value with nowhere to put its count or atoms: refused. */
TEST(KorvelClass, ValueCallsWithoutTheirArrays)
{
    World w;
    bound_setup(w);
    object_method_imp(w.object("qzkorvel#1"), gensym("setvalueof"), (void *)(t_atom_long)5, nullptr, nullptr,
                      nullptr, nullptr, nullptr, nullptr, nullptr);
    /* or a list too short, which is not read past its end */
    t_atom two[2] = {testkit::long_atom(1), testkit::long_atom(2)};
    object_setvalueof(w.object("qzkorvel#1"), 2, two);
    EXPECT_TRUE(plays(w, "pass", {"console error qzkorvel: state error: missing arguments",
                                  "console error qzkorvel: state error: missing arguments"}));
    t_atom *av = nullptr;
    long ac = 0;
    EXPECT_EQ((void *)MAX_ERR_GENERIC, object_method_imp(w.object("qzkorvel#1"), gensym("getvalueof"), nullptr, &av,
                                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(nullptr, av);
    EXPECT_EQ((void *)MAX_ERR_GENERIC, object_method_imp(w.object("qzkorvel#1"), gensym("getvalueof"), &ac, nullptr,
                                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    /* a count without an array, or an array without a count: the list comes
     * in memory of the host's */
    t_atom mine[KORVEL_STATE_ATOMS];
    for (t_atom *given : {(t_atom *)nullptr, mine}) {
        ac = given ? 0 : 3;
        av = given;
        ASSERT_EQ(MAX_ERR_NONE, object_getvalueof(w.object("qzkorvel#1"), &ac, &av));
        EXPECT_EQ(KORVEL_STATE_ATOMS, ac);
        EXPECT_NE(mine, av);
        EXPECT_EQ(KORVEL_CENTRE_SENTINEL, atom_getlong(av));
        freebytes(av, (t_getbytes_size)(ac * (long)sizeof(t_atom)));
    }
    /* the host refusing that memory: refused, nothing written */
    simhost_fail("sysmem_newptr", 1);
    ac = 0;
    av = nullptr;
    EXPECT_NE(MAX_ERR_NONE, object_getvalueof(w.object("qzkorvel#1"), &ac, &av));
    EXPECT_EQ(0, ac);
}

TEST(KorvelClass, NewRecordStartsUnboundAndBindsOnlyLater)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    w.box("vst~ PLUG", "synth");
    w.box("qzkorvel synth");
    w.lines();
    t_korvel *x = record(w);
    EXPECT_EQ(KORVEL_CENTRE_SENTINEL, x->win_x);
    EXPECT_EQ(0, x->win_y);
    EXPECT_EQ(0, x->win_w);
    EXPECT_EQ(0, x->win_h);
    EXPECT_EQ(KORVEL_VIS_NONE, x->restored[KORVEL_VIS_ATOM]);
    EXPECT_EQ(nullptr, x->target);
    EXPECT_EQ(nullptr, x->editor_hwnd);
    EXPECT_EQ(0, x->delay);
    EXPECT_EQ(0, x->hidden);
    EXPECT_EQ(1, x->app_active);
    EXPECT_EQ(0, x->debug);
    EXPECT_EQ(0, x->stayontop);
    EXPECT_EQ(0, simhost_observer_count(w.object("synth")));
    EXPECT_TRUE(plays(w, "pass",
                      report("PLUG", "64", "-12345 0 0 0 0")));
    EXPECT_EQ(w.object("synth"), x->target);
}

TEST(KorvelClass, HelperWindowIsHiddenOffScreenAtItsSmallest)
{
    World w;
    w.box("qzkorvel synth");
    HWND helper = record(w)->helper_hwnd;
    ASSERT_NE(nullptr, helper);
    EXPECT_FALSE(World::visible(helper));
    RECT r = {0, 0, 0, 0};
    ASSERT_TRUE(GetWindowRect(helper, &r));
    EXPECT_EQ(-32000, r.left);
    EXPECT_EQ(-32000, r.top);
    /* asked for 1 by 1; the window system widens a captioned window to its
     * minimum size, so compare with a window asked for just that */
    HWND probe = CreateWindowExA(WS_EX_CLIENTEDGE, "korvel_helperwindowclass", NULL, WS_OVERLAPPEDWINDOW, -32000,
                                 -32000, 1, 1, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(nullptr, probe);
    RECT p = {0, 0, 0, 0};
    GetWindowRect(probe, &p);
    DestroyWindow(probe);
    EXPECT_EQ(p.right - p.left, r.right - r.left);
    EXPECT_EQ(p.bottom - p.top, r.bottom - r.top);
    EXPECT_EQ(WS_EX_CLIENTEDGE, GetWindowLongPtrA(helper, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, GetWindowLongPtrA(helper, GWL_STYLE) & WS_OVERLAPPEDWINDOW);
    w.remove("qzkorvel#1");
    EXPECT_FALSE(IsWindow(helper));
}

TEST(KorvelClass, DeletingTheBoxLeavesTheEditorOpenAndUnobserved)
{
    World w;
    HWND editor = open_setup(w, "qzkorvel synth @debug 1");
    ASSERT_NE(nullptr, editor);
    t_object *vst = w.object("synth");
    EXPECT_EQ(1, simhost_observer_count(vst));
    w.remove("qzkorvel#1");
    EXPECT_TRUE(same_lines({"console post <-- detach window observer"}, w.lines()));
    EXPECT_EQ(0, simhost_observer_count(vst));
    expect_let_go(w, editor);
}

/* Calls queued for a record must not run once it is freed, even on a new
 * record that the allocator places at the same address. */
TEST(KorvelClass, QueuedCallsNeverRunOnAFreedRecord)
{
    World w;
    bound_setup(w);
    w.send("qzkorvel#1", "open", "100 200");
    w.send("qzkorvel#1", "direct_pos", "10 20");
    w.send("qzkorvel#1", "pos", "30 40");
    w.send("qzkorvel#1", "state", "1 2 3 4 2");
    w.send("qzkorvel#1", "close");
    w.send("qzkorvel#1", "clear");
    w.send("qzkorvel#1", "hide");
    w.send("qzkorvel#1", "show");
    w.remove("synth"); /* its free notification defers a bind */
    w.box("vst~ PLUG", "synth");
    t_korvel *old = record(w);
    w.remove("qzkorvel#1");
    w.box("qzkorvel synth");
    RecordProperty("address_reused", record(w, "qzkorvel#2") == old ? "yes" : "no");
    w.lines();
    EXPECT_TRUE(plays(w, "pass 3",
                      report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#2")));
    EXPECT_EQ(nullptr, w.editor());
}

/* A message carries at most 64 atoms on to its handler; those past them
 * are ignored, as a handler ignores those past what it reads. */
TEST(KorvelClass, DeferredMessagesCarryUpTo64Atoms)
{
    World w;
    open_setup(w);
    std::string rest;
    for (int i = 2; i < 64; i++)
        rest += " 0";
    w.send("qzkorvel#1", "pos", "300 400" + rest);
    EXPECT_TRUE(plays(w, "pass 2", {"out qzkorvel#1 state 300 400 640 480 1"}));
    w.send("qzkorvel#1", "pos", "20 30" + rest + " 0");
    w.send("qzkorvel#1", "state", "20 30 640 480" + rest + " 0");
    EXPECT_TRUE(plays(w, "pass 2", {"out qzkorvel#1 state 20 30 640 480 0"}));
}

} // namespace
