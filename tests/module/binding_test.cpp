/* Binding to the vst object, the plug-in report and the notifications. */
#include <algorithm>

#include "module_test.h"

using namespace module_test;

namespace {

const Lines REPORT_PLUG = report("PLUG", "64", "-12345 0 0 0 0");
const Lines REPORT_NONE = report("free", "0", "-12345 0 0 0 0");
const char *const WARN_SYNTH = "console warn qzkorvel: there's currently no object with the specified "
                               "scriptingname in this patcher (synth)";

TEST(KorvelBinding, ReportsThePluginAfterTheFirstPass)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    play_steps(w, {
                      {"box synth = vst~ PLUG\nbox qzkorvel synth", {}},
                      {"pass", REPORT_PLUG},
                      {"pass", {}},
                  });
}

TEST(KorvelBinding, MissingBoxWarnsOnceAndOutputsNothing)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    play_steps(w, {
                      {"box qzkorvel synth\npass 3", {WARN_SYNTH}},
                      {"box synth = vst~ PLUG\npass 2", {}},
                  });
    EXPECT_EQ(nullptr, record(w)->target);
}

TEST(KorvelBinding, AnyObjectInTheNamedBoxIsTheTarget)
{
    World w;
    play_steps(w, {
                      {"box synth = vst~\nbox qzkorvel synth\npass", REPORT_NONE},
                  });
    w.box("qzkorvel elsewhere", "other");
    w.box("qzkorvel other");
    EXPECT_TRUE(plays(w, "pass",
                      {"console warn qzkorvel: there's currently no object with the specified scriptingname in "
                       "this patcher (elsewhere)",
                       "out qzkorvel#3 pluginname free", "out qzkorvel#3 savedpluginname free",
                       "out qzkorvel#3 delay 0", "out qzkorvel#3 state -12345 0 0 0 0"}));
    EXPECT_EQ(w.object("qzkorvel#2"), record(w, "qzkorvel#3")->target);
}

TEST(KorvelBinding, PluginChangeAnnouncesAndReportsWithoutRebinding)
{
    World w;
    bound_setup(w);
    w.plugin("OTHER", 300, 200, 7);
    record(w)->win_w = 11;
    simhost_calls_clear();
    EXPECT_TRUE(plays(w, "load synth OTHER",
                      {"out qzkorvel#1 willchange", "out qzkorvel#1 pluginname OTHER",
                       "out qzkorvel#1 savedpluginname OTHER", "out qzkorvel#1 delay 7",
                       "out qzkorvel#1 state -12345 0 0 0 0"}));
    EXPECT_EQ(0, simhost_call_count("msg:getnamedbox"));
    EXPECT_EQ(0, simhost_call_count("object_attach_byptr_register"));

    /* a report without a plug-in keeps the last delay and size */
    record(w)->win_w = 11;
    EXPECT_TRUE(plays(w, "unload synth",
                      {"out qzkorvel#1 willchange", "out qzkorvel#1 pluginname free",
                       "out qzkorvel#1 savedpluginname free", "out qzkorvel#1 delay 0",
                       "out qzkorvel#1 state -12345 0 11 0 0"}));
    EXPECT_EQ(7, record(w)->delay);
}

TEST(KorvelBinding, DelayChecksCoalesceAndStaySilentWhenUnchanged)
{
    World w;
    bound_setup(w);
    play_steps(w, {
                      {"latency synth 10\nlatency synth 20\nlatency synth 30", {}},
                      {"pass", {"out qzkorvel#1 delay 30"}},
                      {"latency synth 30\npass", {}},
                      {"latency synth -5\npass 2", {"out qzkorvel#1 delay -5"}},
                  });
    EXPECT_EQ(-5, record(w)->delay);
}

TEST(KorvelBinding, FreedTargetUnbindsThenBindsAgainLater)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    play_steps(w, {
                      {"delete synth",
                       {"console post notify msg: free  sender class: vst~", "console post vst obj 'free' notification"}},
                      {"box synth = vst~ PLUG", {}},
                      {"pass",
                       {"console post ATTACHED TO OBJ", "console post PLUG LOADED", "out qzkorvel#1 pluginname PLUG",
                        "out qzkorvel#1 savedpluginname PLUG", "out qzkorvel#1 delay 64",
                        "console post checkWindowState()", "out qzkorvel#1 state -12345 0 0 0 0"}},
                      /* and a vst~ left empty is reported as hosting nothing */
                      {"unload synth",
                       {"console post notify msg: freecontainedview  sender class: vst~", "out qzkorvel#1 willchange",
                        "console post notify msg: rebuildcontainedview  sender class: vst~",
                        "console post NO PLUG LOADED", "out qzkorvel#1 pluginname free",
                        "out qzkorvel#1 savedpluginname free", "out qzkorvel#1 delay 0",
                        "console post checkWindowState()", "out qzkorvel#1 state -12345 0 0 0 0"}},
                      /* a state list for a record with no plug-in waits for one, and is the state meanwhile */
                      {"send qzkorvel#1 state 1 2 3 4 0\npass 2",
                       {"console post state(): incoming ", "console post checkWindowState()",
                        "out qzkorvel#1 state 1 2 3 4 0"}},
                  });
}

TEST(KorvelBinding, NotificationFromARenamedBoxCountsAsFree)
{
    World w;
    bound_setup(w);
    t_object *vst = w.object("synth");
    play_steps(w, {
                      {"rename synth other", {}},
                      {"pass", {WARN_SYNTH}},
                  });
    EXPECT_EQ(nullptr, record(w)->target);
    EXPECT_EQ(0, simhost_observer_count(vst));

    /* even an announced plug-in change gives no "willchange" */
    w.box("vst~ PLUG", "synth2");
    w.box("qzkorvel synth2");
    w.pass();
    w.lines();
    record(w, "qzkorvel#2")->scriptname = gensym("elsewhere");
    EXPECT_TRUE(plays(w, "load synth2 PLUG", {}));
    EXPECT_EQ(nullptr, record(w, "qzkorvel#2")->target);
}

TEST(KorvelBinding, WrapperNotificationsAreOnlyTraced)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    simhost_vst_wrapper_notify(w.object("synth"), "free");
    simhost_vst_wrapper_notify(w.object("synth"), "rebuildcontainedview");
    w.pass();
    EXPECT_TRUE(same_lines({"console post notify msg: free  sender class: jpluginwrapper",
                            "console post notify msg: rebuildcontainedview  sender class: jpluginwrapper"},
                           w.lines()));
    EXPECT_EQ(w.object("synth"), record(w)->target);
}

/* A sender without a box: only the attached object itself is listened to. */
TEST(KorvelBinding, SenderWithoutBoxCountsOnlyWhenItIsTheTarget)
{
    World w;
    bound_setup(w);
    simhost_plugin_declare("LOOSE", 640, 480, 0);
    t_object *loose = simhost_object_new("vst~ LOOSE");
    ASSERT_NE(nullptr, loose);
    t_korvel *x = record(w);
    simhost_notify_observers_of(w.object("synth"), loose, gensym("free"), nullptr);
    simhost_notify_observers_of(w.object("synth"), loose, gensym("freecontainedview"), nullptr);
    w.pass();
    EXPECT_TRUE(same_lines({}, w.lines()));
    EXPECT_EQ(w.object("synth"), x->target);

    object_detach_byptr(x, x->target);
    object_attach_byptr_register(x, loose, gensym("nobox"));
    x->target = loose;
    simhost_notify_observers_of(loose, loose, gensym("rebuildcontainedview"), nullptr);
    EXPECT_TRUE(same_lines(report("LOOSE", "0", "-12345 0 0 0 0"), w.lines()));
    simhost_notify_observers_of(loose, loose, gensym("free"), nullptr);
    EXPECT_EQ(nullptr, x->target);
    EXPECT_EQ(0, simhost_observer_count(loose));

    /* bound to an object the name does not name: open lets it go and binds
     * the named one */
    object_attach_byptr_register(x, loose, gensym("nobox"));
    x->target = loose;
    w.send("qzkorvel#1", "open", "100 200");
    w.pass(3);
    EXPECT_EQ(w.object("synth"), x->target);
    EXPECT_EQ(0, simhost_observer_count(loose));
    EXPECT_NE(nullptr, x->editor_hwnd);
    object_free(loose);
}

TEST(KorvelBinding, PluginWithoutNameIsReportedWithTheEmptyName)
{
    World w;
    simhost_plugin_declare_flags("SILENT", 320, 240, 3, SIMHOST_PLUGIN_NONAME);
    w.box("vst~ SILENT", "synth");
    w.box("qzkorvel synth");
    EXPECT_TRUE(plays(w, "pass",
                      {"out qzkorvel#1 pluginname ", "out qzkorvel#1 savedpluginname SILENT",
                       "out qzkorvel#1 delay 3", "out qzkorvel#1 state -12345 0 0 0 0"}));
}

/* ---- the window observer and the state report ---- */

TEST(KorvelObserver, DragGivesOneReportPerPassWithTheFinalPlace)
{
    World w;
    HWND editor = open_setup(w);
    ASSERT_NE(nullptr, editor);
    for (int i = 0; i < 20; i++)
        w.user_move(editor, 100 + i * 5, 200 + i);
    EXPECT_TRUE(plays(w, "pass", {"out qzkorvel#1 state 195 219 640 480 1"}));
    w.user_resize(editor, 500, 300);
    w.user_move(editor, -40, 10);
    EXPECT_TRUE(plays(w, "pass\npass", {"out qzkorvel#1 state -40 10 500 300 1"}));
}

TEST(KorvelObserver, UserClosingTheEditorReportsNoWindow)
{
    World w;
    HWND editor = open_setup(w);
    w.user_move(editor, 150, 250);
    w.pass();
    w.lines();
    EXPECT_TRUE(plays(w, "user close editor\npass", {"out qzkorvel#1 state 150 250 640 480 0"}));
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    EXPECT_EQ(0, record(w)->hidden);
    EXPECT_TRUE(plays(w, "send qzkorvel#1 pos 1 2\npass 2", {"out qzkorvel#1 state 1 2 640 480 0"}));
}

/* The observer's own hide and show change the window's visibility, and so
 * reach it as position changes, each giving a report. */
TEST(KorvelObserver, BackgroundHidesAndForegroundShowsWithoutActivatingOrMoving)
{
    World w;
    HWND editor = open_setup(w);
    HWND active = World::active_window();
    ASSERT_NE(editor, active);
    play_steps(w, {
                      {"app background\npass\nlook editor",
                       {"out qzkorvel#1 state 100 200 640 480 1", "look editor 100 200 640 480 hidden topmost toolwindow"}},
                      {"app foreground\npass\nlook editor",
                       {"out qzkorvel#1 state 100 200 640 480 1", "look editor 100 200 640 480 visible topmost toolwindow"}},
                  });
    EXPECT_EQ(1, record(w)->app_active);
    EXPECT_EQ(active, World::active_window());
    /* each said under debug */
    w.send("qzkorvel#1", "debug", "1");
    const Lines traced = testkit::Player(w).play("app background\napp foreground");
    for (const char *said : {"console post APP DE-ACTIVATE", "console post APP ACTIVATE"})
        EXPECT_EQ(1, std::count(traced.begin(), traced.end(), said)) << said;
}

TEST(KorvelObserver, StayOnTopOrHiddenEditorIsLeftAlone)
{
    World w;
    open_setup(w, "qzkorvel synth @stayontop 1");
    play_steps(w, {
                      {"app background\npass\nlook editor", {"look editor 100 200 640 480 visible topmost toolwindow"}},
                      {"send qzkorvel#1 hide\npass 2", {"out qzkorvel#1 state 100 200 640 480 2"}},
                      {"app foreground\nsend qzkorvel#1 stayontop 0\napp background\napp foreground\npass 2\n"
                       "look editor",
                       {"look editor 100 200 640 480 hidden topmost toolwindow"}},
                  });
    EXPECT_EQ(1, record(w)->app_active);
    w.app_background();
    EXPECT_EQ(0, record(w)->app_active);
}

/* A close the plug-in refuses leaves the editor ours; one that the editor
 * takes as its close button's message, hiding the window, leaves it to the
 * next open. */
TEST(KorvelObserver, CloseFollowsWhatTheEditorDid)
{
    {
        World w;
        HWND editor = open_setup(w);
        w.misbehave("synth", SIMHOST_VST_KEEPSOPEN);
        play_steps(w, {{"send qzkorvel#1 close\npass 2", {}},
                       {"user move editor 300 300\npass", state("300 300 640 480 1")}});
        EXPECT_EQ(editor, record(w)->editor_hwnd);
        /* an open waits for a close under way, for a bounded time: then the
         * editor is taken as kept open, and only raised */
        EXPECT_TRUE(plays(w, "send qzkorvel#1 open 100 100\npass " + std::to_string(late_passes - 10), {}));
        EXPECT_EQ(1, record(w)->closing);
        EXPECT_TRUE(plays(w, "pass 12", {}));
        EXPECT_EQ(0, record(w)->closing);
        EXPECT_EQ(editor, record(w)->editor_hwnd);
    }
    World w;
    w.host("editor-hides-on-close");
    w.host("wclose-by-message");
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    open_setup(w);
    play_steps(w, {{"send qzkorvel#1 close\npass 2", state("100 200 640 480 0")},
                   {"send qzkorvel#1 open 100 200\npass 2\nlook editor",
                    state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"}},
                   /* a hidden editor is shown again only for the object it belongs to, while it lasts */
                   {"send qzkorvel#1 close\npass 2\nrename synth away\nrename other synth\npass",
                    state("100 200 640 480 0") + report("BETA", "5", "100 200 0 0 0")},
                   {"send qzkorvel#1 open 100 200\npass 2", state("100 200 300 200 1")},
                   {"send qzkorvel#1 close\npass 2\nload synth PLUG\npass",
                    state("100 200 300 200 0") + Lines{"out qzkorvel#1 willchange"} + report("PLUG", "64", "100 200 0 0 0")},
                   {"send qzkorvel#1 open 100 200\npass 2", state("100 200 640 480 1")},
                   /* closed while unbound: not shown for the object bound next */
                   {"rename synth away2\npass\nuser close editor\npass\nload away BETA\nrename away synth\npass",
                    Lines{"console warn qzkorvel: there's currently no object with the specified scriptingname in "
                          "this patcher (synth)"} +
                        state("100 200 640 480 0")},
                   {"send qzkorvel#1 open 100 200\npass 2",
                    report("BETA", "5", "100 200 0 0 0") + state("100 200 300 200 1")}});
}

TEST(KorvelObserver, SizingAloneIsOnlyTraced)
{
    World w;
    HWND editor = open_setup(w, "qzkorvel synth @debug 1");
    SendMessageA(editor, WM_SIZING, 0, 0);
    w.pass(2);
    EXPECT_TRUE(same_lines({"console post WM_SIZING"}, w.lines()));
}

} // namespace

/* The name passes to a box with another plug-in while ALPHA's editor is up:
 * that editor is let go as a deleted box leaves it, and the next open opens
 * the new plug-in's. */
TEST(KorvelBinding, BindingAnotherObjectLetsItsEditorGo)
{
    World w;
    HWND alpha = open_setup(w);
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    play_steps(w, {
                      {"rename synth old\nrename other synth\npass",
                       report("BETA", "5", "100 200 0 0 0")},
                      {"send qzkorvel#1 close\nsend qzkorvel#1 hide\npass 2\nlook editor",
                       {"look editor 100 200 640 480 visible topmost toolwindow"}},
                      {"send qzkorvel#1 open 500 500\npass 2", state("500 500 300 200 1")},
                  });
    EXPECT_EQ(0, simhost_observer_count(w.object("old")));
    expect_let_go(w, alpha);
}

/* A lost binding queues one bind, which reports the binding once: an open
 * that binds before it runs leaves the report to it, and it repeats no
 * report that a plug-in change has sent meanwhile. */
TEST(KorvelBinding, QueuedBindReportsOnceAndNeverRepeats)
{
    World w;
    bound_setup(w);
    play_steps(w, {
                      {"delete synth\nbox synth = vst~ PLUG\nsend qzkorvel#1 direct_open 100 200", {}},
                      {"pass 3", report("PLUG", "64", "100 200 640 480 1")},
                      {"delete synth\nbox synth = vst~ PLUG\nsend qzkorvel#1 direct_open 100 200\nload synth PLUG",
                       {"out qzkorvel#1 willchange", "out qzkorvel#1 pluginname PLUG",
                        "out qzkorvel#1 savedpluginname PLUG", "out qzkorvel#1 delay 64",
                        "out qzkorvel#1 state 100 200 0 0 0"}},
                      {"pass 3", {}},
                  });
}

/* An editor let go of while open is taken over by the next instance bound
 * to its vst object, at its first window message: observed from then on,
 * reported, and no second editor asked for. One destroyed meanwhile, or of
 * a vst object bound by nobody now, is not. */
TEST(KorvelAdopt, NextInstanceOnTheSameObjectTakesTheEditorOver)
{
    World w;
    HWND editor = open_setup(w);
    play_steps(w, {
                      {"send qzkorvel#1 hide\npass 2", state("100 200 640 480 2")},
                      /* taken over as it binds: its report shows the editor */
                      {"delete qzkorvel#1\nbox qzkorvel synth\npass", report("PLUG", "64", "100 200 640 480 2", "qzkorvel#2")},
                      {"send qzkorvel#2 show\npass 2\nlook editor",
                       {"out qzkorvel#2 state 100 200 640 480 1",
                        "look editor 100 200 640 480 visible topmost toolwindow"}},
                      {"user move editor 300 300\npass", state("300 300 640 480 1", "qzkorvel#2")},
                  });
    EXPECT_EQ(editor, record(w, "qzkorvel#2")->editor_hwnd);
    /* one bound before the editor was let go takes it at open, hide or state;
     * open only raises it, and a state list moves no open editor; a state
     * whose visibility cannot be restored takes nothing */
    play_steps(w, {
                      {"box qzkorvel synth\npass\ndelete qzkorvel#2", report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#3")},
                      {"send qzkorvel#3 open 50 50\npass 2", state("300 300 640 480 1", "qzkorvel#3")},
                      {"box qzkorvel synth\npass\ndelete qzkorvel#3", report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#4")},
                      {"send qzkorvel#4 hide\npass 2", state("300 300 640 480 2", "qzkorvel#4")},
                      {"box qzkorvel synth\npass\ndelete qzkorvel#4", report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#5")},
                      {"send qzkorvel#5 state 1 2 3 4 7\npass 2", {}},
                      {"send qzkorvel#5 state 1 2 3 4 1\npass 2", state("1 2 640 480 1", "qzkorvel#5")},
                  });
    EXPECT_EQ(editor, record(w, "qzkorvel#5")->editor_hwnd);
    /* destroyed while remembered: the next open asks for a new editor */
    play_steps(w, {
                      {"delete qzkorvel#5\nuser close editor\nbox qzkorvel synth\npass",
                       report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#6")},
                      {"send qzkorvel#6 open 100 200\npass 2", state("100 200 640 480 1", "qzkorvel#6")},
                  });
    EXPECT_NE(editor, record(w, "qzkorvel#6")->editor_hwnd);
    /* an instance bound to another vst object does not take it */
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    play_steps(w, {
                      {"delete qzkorvel#6\nbox qzkorvel other\npass", report("BETA", "5", "-12345 0 0 0 0", "qzkorvel#7")},
                      {"send qzkorvel#7 close\nsend qzkorvel#7 pos 10 10\npass 2",
                       state("10 10 0 0 0", "qzkorvel#7")},
                      {"look editor", {"look editor 100 200 640 480 visible topmost toolwindow active"}},
                  });
    /* nor close, which takes it over to close it */
    w.box("qzkorvel synth");
    w.box("qzkorvel synth");
    w.settle();
    w.remove("qzkorvel#8");
    w.send("qzkorvel#9", "close");
    w.settle();
    EXPECT_EQ(nullptr, w.editor());
}

/* Whether a comes before b in z-order, top first. */
bool above(HWND a, HWND b)
{
    struct Seen {
        HWND a, b, first;
    } seen = {a, b, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            Seen *s = (Seen *)lp;
            s->first = h == s->a || h == s->b ? h : nullptr;
            return !s->first;
        },
        (LPARAM)&seen);
    return seen.first == a;
}

/* An open that takes a remembered editor over raises it above the other
 * editors on top, as an open of an editor it already holds does. */
TEST(KorvelAdopt, OpenThatAdoptsRaisesTheEditor)
{
    World w;
    HWND editor = open_setup(w);
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    w.box("qzkorvel synth");
    w.box("qzkorvel other");
    w.settle();
    w.remove("qzkorvel#1");
    w.send("qzkorvel#3", "open", "500 500");
    w.settle();
    HWND beta = record(w, "qzkorvel#3")->editor_hwnd;
    ASSERT_TRUE(above(beta, editor));
    w.send("qzkorvel#2", "direct_open", "50 50");
    EXPECT_EQ(editor, record(w, "qzkorvel#2")->editor_hwnd);
    EXPECT_TRUE(above(editor, beta));
    w.send("qzkorvel#3", "direct_open", "50 50");
    EXPECT_TRUE(above(beta, editor));
    /* a layout restored shows the editor without raising it */
    w.send("qzkorvel#2", "direct_state", "100 200 640 480 1");
    EXPECT_TRUE(above(beta, editor));
    /* the open awaits no other window: closed at once, the editor is not
     * looked for later */
    w.lines();
    w.user_close(editor);
    w.settle();
    EXPECT_TRUE(no_errors(w.lines()));
}

/* The remembered editors of several vst objects are kept apart: remembering
 * one drops only the destroyed ones, and a vst object's end forgets only
 * its own. */
TEST(KorvelAdopt, EachVstObjectKeepsItsOwnRememberedEditor)
{
    World w;
    HWND alpha = open_setup(w);
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    w.plugin("GAMMA", 200, 100, 0);
    w.box("vst~ GAMMA", "third");
    w.box("qzkorvel other");
    w.box("qzkorvel third");
    w.send("qzkorvel#2", "open", "10 10");
    w.send("qzkorvel#3", "open", "20 20");
    w.settle();
    HWND beta = record(w, "qzkorvel#2")->editor_hwnd, gamma = record(w, "qzkorvel#3")->editor_hwnd;
    /* a change of its plug-in leaves the vst object the editor's owner */
    simhost_vst_set_delay(w.object("other"), 7);
    w.remove("qzkorvel#2");
    w.remove("qzkorvel#1");
    DestroyWindow(alpha);
    w.remove("qzkorvel#3");
    w.box("qzkorvel other @debug 1");
    w.lines();
    w.send("qzkorvel#4", "show");
    w.settle();
    EXPECT_EQ(beta, record(w, "qzkorvel#4")->editor_hwnd);
    const std::vector<std::string> traced = w.lines();
    EXPECT_NE(traced.end(), std::find(traced.begin(), traced.end(),
                                      "console post adopting the open editor of the vst object"));
    w.remove("other");
    w.box("qzkorvel third");
    w.send("qzkorvel#5", "show");
    w.settle();
    EXPECT_EQ(gamma, record(w, "qzkorvel#5")->editor_hwnd);
}

/* A patch that answers our report of the plug-in name by sending message
 * to the box with id to (obj-1 the vst~, obj-2 ours, obj-6 a thispatcher). */
void answering_patch(World &w, const std::string &name, const std::string &message, const std::string &to)
{
    wired_patch(w,
                R"({"box": {"id": "obj-3", "maxclass": "newobj", "text": "route pluginname"}},
        {"box": {"id": "obj-4", "maxclass": "newobj", "text": "route )" + name + R"("}},
        {"box": {"id": "obj-5", "maxclass": "message", "text": ")" + message + R"("}},
        {"box": {"id": "obj-6", "maxclass": "newobj", "text": "thispatcher"}})",
                R"({"patchline": {"source": ["obj-2", 0], "destination": ["obj-3", 0]}},
        {"patchline": {"source": ["obj-3", 0], "destination": ["obj-4", 0]}},
        {"patchline": {"source": ["obj-4", 0], "destination": ["obj-5", 0]}},
        {"patchline": {"source": ["obj-5", 0], "destination": [")" + to + R"(", 0]}})");
}

/* A patch that answers our report by loading another plug-in: the change,
 * heard while the report goes out, is reported once that report is done. */
TEST(KorvelBinding, PluginChangedByOurOwnReportIsReportedAfterIt)
{
    World w;
    answering_patch(w, "PLUG", "plug BETA", "obj-1");
    w.settle();
    Lines ours;
    for (const std::string &l : w.lines())
        if (l.rfind("out qzkorvel#1 ", 0) == 0)
            ours.push_back(l);
    /* what the first report sends after the change is the old record's */
    const Lines beta = report("BETA", "5", "-12345 0 0 0 0");
    ASSERT_GE(ours.size(), beta.size() + 2);
    EXPECT_EQ("out qzkorvel#1 willchange", ours[1]);
    EXPECT_TRUE(same_lines(beta, Lines(ours.end() - (long)beta.size(), ours.end())));
    EXPECT_EQ(1, std::count(ours.begin(), ours.end(), beta[0]));
}

/* An open that binds, whose report makes the patch delete the vst~ box or
 * our own, or give the vst~ box another name: it stops there, with no error,
 * no editor and no use of a freed record. */
TEST(KorvelBinding, OpenStopsWhenItsReportDeletesABox)
{
    for (const char *deleted : {"delete synth", "delete ours", "sendbox synth varname gone"}) {
        SCOPED_TRACE(deleted);
        World w;
        wired_patch(w,
                    R"({"box": {"id": "obj-3", "maxclass": "newobj", "text": "route pluginname"}},
        {"box": {"id": "obj-4", "maxclass": "newobj", "text": "route BETA"}},
        {"box": {"id": "obj-5", "maxclass": "message", "text": "script )" +
                        std::string(deleted) + R"("}},
        {"box": {"id": "obj-6", "maxclass": "newobj", "text": "thispatcher"}})",
                    R"({"patchline": {"source": ["obj-2", 0], "destination": ["obj-3", 0]}},
        {"patchline": {"source": ["obj-3", 0], "destination": ["obj-4", 0]}},
        {"patchline": {"source": ["obj-4", 0], "destination": ["obj-5", 0]}},
        {"patchline": {"source": ["obj-5", 0], "destination": ["obj-6", 0]}})",
                    "ours");
        w.settle();
        w.lines();
        Lines out = testkit::Player(w).play("send ours debug 1\nrename synth away\npass\nsend away plug BETA\n"
                                            "rename away synth\nsend ours direct_open 100 200\npass 2");
        EXPECT_TRUE(no_errors(out));
        const bool traced = std::count(out.begin(), out.end(),
                                       "console post open: the patch changed the binding while it was reported");
        EXPECT_EQ(std::string(deleted) != "delete ours", traced);
        EXPECT_EQ(nullptr, w.editor());
    }
}

/* Our own lines of a transcript. */
Lines own_lines(const Lines &lines)
{
    Lines ours;
    for (const std::string &l : lines)
        if (l.rfind("out qzkorvel#1 ", 0) == 0 || l.rfind("console", 0) == 0)
            ours.push_back(l);
    return ours;
}

/* A bind is queued; before it runs, an open binds, a plug-in change is
 * reported, and the patch answers by deleting the vst~ box: the queued bind
 * binds the box that takes the name then. */
TEST(KorvelBinding, QueuedBindBindsAfterTheReportBeforeItLostTheBinding)
{
    World w;
    answering_patch(w, "BETA", "script delete synth", "obj-6");
    w.settle();
    testkit::Player player(w);
    player.play("rename synth away\nrename away synth\nsend qzkorvel#1 direct_open 100 200\nload synth BETA\n"
                "box synth = vst~ PLUG");
    EXPECT_TRUE(same_lines(report("PLUG", "64", "100 200 0 0 0"), own_lines(player.play("pass 2"))));
    EXPECT_EQ(w.object("synth"), record(w)->target);
}

/* The patch loads BETA in answer to our report of ALPHA: the host frees
 * ALPHA at once, and a delay check asked for before reads BETA. */
TEST(KorvelBinding, DelayCheckReadsThePluginThePatchLoadedFromOurReport)
{
    World w;
    w.plugin("ALPHA", 100, 100, 33);
    answering_patch(w, "ALPHA", "plug BETA", "obj-1");
    w.settle();
    w.lines();
    w.latency("synth", 9);
    w.load("synth", "ALPHA");
    EXPECT_EQ(33, record(w)->delay);
    w.lines();
    w.settle();
    const Lines ours = own_lines(w.lines());
    const Lines after = {"out qzkorvel#1 delay 5", "out qzkorvel#1 pluginname BETA",
                         "out qzkorvel#1 savedpluginname BETA", "out qzkorvel#1 delay 5",
                         "out qzkorvel#1 state -12345 0 0 0 0"};
    EXPECT_TRUE(same_lines(after, ours));
}

/* The patch opens the editor through this record from the report of the
 * binding an open makes: the outer open finds it open and managed. */
TEST(KorvelBinding, OpenSatisfiedByItsOwnBindingsReportIsNoError)
{
    World w;
    answering_patch(w, "BETA", "direct_open 100 200", "obj-2");
    w.settle();
    testkit::Player player(w);
    player.play("rename synth other\npass\nload other BETA\nrename other synth");
    const Lines opened = own_lines(player.play("send qzkorvel#1 direct_open 300 400\npass 2"));
    EXPECT_TRUE(same_lines(report("BETA", "5", "100 200 300 200 1"), opened));
    ASSERT_NE(nullptr, w.editor());
    EXPECT_EQ(w.editor(), record(w)->editor_hwnd);
    EXPECT_EQ(100, testkit::World::client_origin(w.editor()).x);
}

/* Remembering an editor drops those destroyed since: once the one left is
 * adopted, nothing is remembered, and "show" without an editor is refused
 * at once instead of queued. */
TEST(KorvelAdopt, RememberingDropsTheDestroyedEditors)
{
    World w;
    open_setup(w);
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    play_steps(w, {
                      {"delete qzkorvel#1\nuser close editor synth", {}},
                      {"box qzkorvel other\npass\nsend qzkorvel#2 open 500 500\npass 2\ndelete qzkorvel#2",
                       {"out qzkorvel#2 pluginname BETA", "out qzkorvel#2 savedpluginname BETA",
                        "out qzkorvel#2 delay 5", "out qzkorvel#2 state -12345 0 0 0 0",
                        "out qzkorvel#2 state 500 500 300 200 1"}},
                      {"box qzkorvel other\npass\nsend qzkorvel#3 pos 500 500\npass 2",
                       {"out qzkorvel#3 pluginname BETA", "out qzkorvel#3 savedpluginname BETA",
                        "out qzkorvel#3 delay 5", "out qzkorvel#3 state 500 500 300 200 1",
                        "out qzkorvel#3 state 500 500 300 200 1"}},
                      {"box qzkorvel synth @debug 1\nsend qzkorvel#4 show", {"console post show(): there's no window"}},
                  });
}

/* An adopted editor keeps the hidden-on-request flag it was let go with. */
TEST(KorvelAdopt, AdoptedEditorStaysHiddenOnRequest)
{
    World w;
    open_setup(w);
    play_steps(w, {
                      {"send qzkorvel#1 hide\npass 2\ndelete qzkorvel#1\nbox qzkorvel synth\npass",
                       state("100 200 640 480 2") + report("PLUG", "64", "100 200 640 480 2", "qzkorvel#2")},
                      {"send qzkorvel#2 pos 300 300\npass 2\nlook editor",
                       {"out qzkorvel#2 state 300 300 640 480 2", "look editor 300 300 640 480 hidden topmost toolwindow"}},
                  });
}

/* Bound again to the very object whose editor it holds (its name taken away
 * and given back), the record keeps managing that editor, never letting it
 * go meanwhile (the trace would say so). */
TEST(KorvelBinding, RebindingTheEditorsOwnObjectKeepsTheEditor)
{
    World w;
    HWND editor = open_setup(w, "qzkorvel synth @debug 1");
    const Lines bound = report("PLUG", "64", "100 200 640 480 1");
    play_steps(w, {
                      {"rename synth away\nrename away synth\npass",
                       {"console post notify msg: attr_modified  sender class: vst~",
                        "console post vst obj 'free' notification", "console post ATTACHED TO OBJ",
                        "console post PLUG LOADED", bound[0], bound[1], bound[2], "console post checkWindowState()",
                        bound[3]}},
                      {"send qzkorvel#1 debug 0\nuser move editor 300 300\npass", state("300 300 640 480 1")},
                  });
    EXPECT_EQ(editor, record(w)->editor_hwnd);
}

/* "show" without an editor waits for one only while an editor is
 * remembered: it adopts one let go of after its instance bound, and is
 * refused at once when the remembered one went with its vst object or with
 * the host that loaded the module before. */
TEST(KorvelAdopt, ShowWaitsOnlyForAnEditorStillRemembered)
{
    {
        World w;
        HWND editor = open_setup(w);
        play_steps(w, {
                          {"box qzkorvel synth\npass\ndelete qzkorvel#1", report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#2")},
                          {"send qzkorvel#2 show\npass 2", state("100 200 640 480 1", "qzkorvel#2")},
                      });
        EXPECT_EQ(editor, record(w, "qzkorvel#2")->editor_hwnd);
        w.plugin("BETA", 300, 200, 5);
        w.box("vst~ BETA", "other");
        play_steps(w, {
                          {"box qzkorvel synth\npass\ndelete qzkorvel#2", report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#3")},
                          {"delete synth\ndelete qzkorvel#3", {}},
                          {"box qzkorvel other @debug 1\nsend qzkorvel#4 show", {"console post show(): there's no window"}},
                          {"delete qzkorvel#4\nbox qzkorvel other\npass\nsend qzkorvel#5 open 10 10\npass 2\ndelete qzkorvel#5",
                           report("BETA", "5", "-12345 0 0 0 0", "qzkorvel#5") + state("10 10 300 200 1", "qzkorvel#5")},
                      });
    }
    World w;
    open_setup(w, "qzkorvel synth @debug 1");
    EXPECT_TRUE(plays(w, "box qzkorvel synth @debug 1\nsend qzkorvel#2 show", {"console post show(): there's no window"}));
    /* one closed by the user while nobody observed it is not adopted */
    HWND editor = record(w)->editor_hwnd;
    w.remove("qzkorvel#1");
    w.remove("qzkorvel#2");
    w.user_close(editor);
    w.box("qzkorvel synth @debug 1");
    w.settle();
    const std::vector<std::string> traced = w.lines();
    EXPECT_EQ(traced.end(), std::find(traced.begin(), traced.end(),
                                      "console post adopting the open editor of the vst object"));
    /* nor does it wait for Max to come back when its own editor went while
     * Max was in the background */
    w.send("qzkorvel#3", "debug", "0");
    w.send("qzkorvel#3", "open", "100 200");
    w.settle();
    w.app_background();
    w.send("qzkorvel#3", "close");
    w.settle();
    w.app_foreground();
    w.box("qzkorvel synth");
    w.send("qzkorvel#4", "open", "300 300");
    w.settle();
    w.lines();
    EXPECT_TRUE(plays(w, "delete qzkorvel#4\nsend qzkorvel#3 show\npass 2", state("300 300 640 480 1", "qzkorvel#3")));
}
