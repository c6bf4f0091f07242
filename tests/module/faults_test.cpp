/* Window calls that fail, made to fail by the simulated window system; and
 * a plug-in editor that asks before it closes, its window procedure stood in
 * for by a subclass under the observer. */
#include <algorithm>
#include <string>
#include <vector>

#include "module_test.h"
#include "simwin.h"

using namespace module_test;

namespace {

TEST(KorvelFaults, HelperClassRegistrationFailureIsReported)
{
    World w;
    w.lines();
    simwin_fail("RegisterClassExA", 1);
    ASSERT_EQ(0, simhost_load_module(World::module_path().c_str()));
    Lines lines = w.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "console error korvel helper window Registration Failed! Error!"))
        << testkit::diff({}, lines);
}

TEST(KorvelFaults, NoHelperWindowStillHides)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    w.box("vst~ PLUG", "synth");
    simwin_fail("CreateWindowExA", 1);
    w.box("qzkorvel synth");
    EXPECT_TRUE(same_lines({"console error qzkorvel: qzkorvel helper Window Creation Failed!"}, w.lines()));
    EXPECT_EQ(nullptr, record(w)->helper_hwnd);
    w.pass();
    w.lines();
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open 100 200\npass 2\nuser activate editor\nsend qzkorvel#1 hide\npass 2",
                      {"out qzkorvel#1 state 100 200 640 480 1", "out qzkorvel#1 state 100 200 640 480 2"}));
    EXPECT_FALSE(World::visible(w.editor()));
    w.remove("qzkorvel#1");
}

TEST(KorvelFaults, StyleChangesFailingKeepTheCapture)
{
    struct Row {
        int failures;
        Lines errors;
        LONG_PTR taskbar_styles; /* of WS_EX_TOOLWINDOW and WS_EX_APPWINDOW, the ones left */
        const char *text;
    };
    const Row rows[] = {
        {1, {"console error error setting & ~WS_EX_APPWINDOW"}, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW,
         "qzkorvel synth @debug 1"},
        {2, {"console error error setting & ~WS_EX_APPWINDOW", "console error error setting | WS_EX_TOOLWINDOW"},
         WS_EX_APPWINDOW, "qzkorvel synth @debug 1"},
        /* without debug the same faults are silent */
        {2, {}, WS_EX_APPWINDOW, "qzkorvel synth"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.text);
        World w;
        bound_setup(w, r.text);
        simwin_fail("SetWindowLongPtrA", r.failures);
        w.send("qzkorvel#1", "direct_open", "100 200");
        Lines lines = w.lines();
        for (const std::string &e : r.errors)
            EXPECT_EQ(1, std::count(lines.begin(), lines.end(), e)) << testkit::diff(r.errors, lines);
        if (r.errors.empty()) {
            EXPECT_TRUE(same_lines({}, lines));
        }
        ASSERT_NE(nullptr, record(w)->editor_hwnd);
        EXPECT_EQ(r.taskbar_styles, GetWindowLongPtrA(record(w)->editor_hwnd, GWL_EXSTYLE) &
                                        (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
        EXPECT_TRUE(World::topmost(record(w)->editor_hwnd));
    }
}

TEST(KorvelFaults, ClientToScreenFailureIsReportedAndTheOpenGoesOn)
{
    World w;
    bound_setup(w);
    simwin_fail("ClientToScreen", 1);
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open 100 200\npass 2",
                      {"console error qzkorvel: error converting client to screen coords",
                       "out qzkorvel#1 state 100 200 640 480 1"}));
}

/* A window that went while unobserved is forgotten by the report and by the
 * next open, so the object is never stuck with it. */
TEST(KorvelFaults, UnobservedWindowThatWentIsForgotten)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    simwin_fail("SetWindowSubclass", 1);
    w.send("qzkorvel#1", "open", "100 200");
    w.pass();
    Lines lines = w.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "console error error attaching window observer"))
        << testkit::diff({}, lines);
    w.send("qzkorvel#1", "debug", "0");
    play_steps(w, {
                      {"pass", {"out qzkorvel#1 state 100 200 640 480 1"}},
                      {"user close editor\npass 2", {}},
                      {"send qzkorvel#1 pos 7 8\npass 2", {"out qzkorvel#1 state 7 8 640 480 0"}},
                  });
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    EXPECT_EQ(0, record(w)->hidden);

    simwin_fail("SetWindowSubclass", 1);
    play_steps(w, {
                      {"send qzkorvel#1 open 100 200\npass 2", {"out qzkorvel#1 state 100 200 640 480 1"}},
                      {"send qzkorvel#1 hide\npass 2", {"out qzkorvel#1 state 100 200 640 480 2"}},
                      {"user close editor\nsend qzkorvel#1 open 300 200\npass 2", {"out qzkorvel#1 state 300 200 640 480 1"}},
                  });
    EXPECT_EQ(0, record(w)->hidden);

    /* closed by the user unobserved, then by the patch: nothing is left to
     * park, and nothing to fail */
    simwin_fail("SetWindowSubclass", 1);
    play_steps(w, {
                      {"user close editor\nsend qzkorvel#1 open 100 200\npass 2\nuser close editor",
                       {"out qzkorvel#1 state 300 200 640 480 0", "out qzkorvel#1 state 100 200 640 480 1"}},
                      {"send qzkorvel#1 debug 1\nsend qzkorvel#1 direct_close", {}},
                  });
    /* a state list asking for it opens a new one */
    simwin_fail("SetWindowSubclass", 1);
    play_steps(w, {
                      {"send qzkorvel#1 debug 0\nsend qzkorvel#1 open 100 200\npass 2\nuser close editor",
                       state("100 200 640 480 1")},
                      {"send qzkorvel#1 state 300 200 640 480 1\npass 2", state("300 200 640 480 1")},
                  });
}

/* An enumeration that fails looks like a capture but holds no window: the
 * open says so under debug, and the record holds nothing. */
TEST(KorvelFaults, EnumerationFailureCapturesNothing)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    simwin_fail("EnumWindows", 2);
    w.send("qzkorvel#1", "direct_open", "100 200");
    Lines lines = w.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "console error cannot start observer if there's no korvel opened"))
        << testkit::diff({}, lines);
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
}

/* The host refusing the memory to await a late editor: said once, nothing
 * awaited, and the next open works. */
TEST(KorvelFaults, NoMemoryToAwaitALateEditor)
{
    World w;
    bound_setup(w);
    simhost_fail("sysmem_newptr", 1);
    EXPECT_TRUE(plays(w, "misbehave synth noeditor\nsend qzkorvel#1 open 100 200\npass 3",
                      {"console error critical: NEW WINDOW NOT FOUND"}));
    EXPECT_EQ(nullptr, record(w)->late_scan);
    EXPECT_TRUE(plays(w, "misbehave synth normal\nsend qzkorvel#1 open 100 200\npass 3", state("100 200 640 480 1")));
}

/* An editor let go of whose observer would not come off: the record, bound
 * elsewhere now, passes the window's own answers through. */
TEST(KorvelFaults, AnObserverLeftOnAnEditorLetGoOfPassesItsAnswers)
{
    World w;
    HWND editor = open_setup(w);
    w.plugin("BETA", 300, 200, 5);
    w.box("vst~ BETA", "other");
    simwin_fail("RemoveWindowSubclass", 1);
    testkit::Player(w).play("rename synth old\nrename other synth\npass");
    ASSERT_EQ(nullptr, record(w)->editor_hwnd);
    char title[8];
    EXPECT_EQ(4, GetWindowTextA(editor, title, sizeof title));
}

TEST(KorvelFaults, ObserverRemovalFailures)
{
    World w;
    HWND editor = open_setup(w, "qzkorvel synth @debug 1");
    simwin_fail("RemoveWindowSubclass", 1);
    EXPECT_TRUE(plays(w, "user close editor",
                      {"console post WM_WINDOWPOSCHANGED", "console post <-- window gets destroyed, unsetting observer",
                       "console error qzkorvel: WM_DESTROY: failed to remove subclass!"}));
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    EXPECT_FALSE(IsWindow(editor));
    /* and only when it fails */
    w.send("qzkorvel#1", "open", "100 200");
    w.pass(2);
    w.lines();
    EXPECT_TRUE(plays(w, "user close editor",
                      {"console post WM_WINDOWPOSCHANGED", "console post <-- window gets destroyed, unsetting observer"}));

    /* freed while its observer stays on the window: the window's messages
     * pass by the freed record */
    w.send("qzkorvel#1", "open", "100 200");
    w.pass(2);
    editor = record(w)->editor_hwnd;
    ASSERT_NE(nullptr, editor);
    w.lines();
    simwin_fail("RemoveWindowSubclass", 1);
    w.remove("qzkorvel#1");
    EXPECT_TRUE(same_lines({"console post <-- detach window observer",
                            "console error qzkorvel: unset observer: failed to remove subclass!"},
                           w.lines()));
    char title[8];
    EXPECT_EQ(4, GetWindowTextA(editor, title, sizeof title));
    w.box("qzkorvel synth");
    w.user_move(editor, 10, 10);
    w.app_background();
    w.app_foreground();
    w.user_close(editor);
    w.pass(2);
    EXPECT_TRUE(same_lines(report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#2"),
                           w.lines()));
}

/* The observer's removal failing as the host hides the editor on close is
 * said under debug only. */
TEST(KorvelFaults, ObserverRemovalFailureOnAHiddenCloseIsQuiet)
{
    for (bool debug : {false, true}) {
        World w;
        w.host("editor-hides-on-close");
        open_setup(w, debug ? "qzkorvel synth @debug 1" : "qzkorvel synth");
        simwin_fail("RemoveWindowSubclass", 1);
        const Lines out = testkit::Player(w).play("user close editor\npass");
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(state("100 200 640 480 0").back(), out.back());
        for (const char *said : {"console post <-- window hidden by its host on close, unsetting observer",
                                 "console error qzkorvel: close: failed to remove subclass!"})
            EXPECT_EQ(debug, std::count(out.begin(), out.end(), said) == 1) << said;
    }
}

/* An editor left up by its vst object's end is no longer that object's: it
 * is let go at the next binding and remembered for nobody, and what was
 * remembered for the object goes with it. */
TEST(KorvelFaults, EditorsOfAFreedVstObjectAreForgotten)
{
    World w;
    HWND editor = open_setup(w, "qzkorvel synth @debug 1");
    simwin_fail("DestroyWindow", 1);
    w.remove("synth");
    w.box("vst~ PLUG", "synth");
    w.settle();
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    w.lines();
    EXPECT_TRUE(plays(w, "send qzkorvel#1 show\npass 2", {"console post show(): there's no window"}));

    w.send("qzkorvel#1", "open", "100 200");
    w.pass(2);
    w.remove("qzkorvel#1");
    w.box("qzkorvel synth @debug 1");
    w.pass();
    w.remove("synth");
    w.settle();
    w.lines();
    EXPECT_TRUE(plays(w, "send qzkorvel#2 show\npass 2", {"console post show(): there's no window"}));
}

/* An editor destroyed while nobody observed it is not remembered when its
 * record goes. */
TEST(KorvelAdopt, EditorDestroyedUnobservedIsNotRemembered)
{
    World w;
    bound_setup(w);
    simwin_fail("SetWindowSubclass", 1);
    play_steps(w, {
                      {"send qzkorvel#1 open 100 200\npass 2\nuser close editor\ndelete qzkorvel#1",
                       state("100 200 640 480 1")},
                      {"box qzkorvel synth @debug 1\nsend qzkorvel#2 show", {"console post show(): there's no window"}},
                  });
}

/* A plug-in that asks before its editor closes. The question's modal loop
 * runs Max's queue, here what the patch does meanwhile; then the editor
 * closes (its host hides it), or stays when the user cancels. */
struct Question {
    World *w;
    std::string meanwhile;
    bool cancel;
};

LRESULT CALLBACK asks_on_close(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    if (msg == WM_CLOSE) {
        const Question &q = *(const Question *)data;
        testkit::Player(*q.w).play(q.meanwhile);
        if (q.cancel)
            return 0;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

/* A close that the record sees through is the editor's, as it is when the
 * close ends: one cancelled leaves it open, one the patch answered by
 * binding the record elsewhere leaves the new editor alone, a record freed
 * meanwhile is not touched, and one confirmed leaves the hidden editor to
 * the next open. */
TEST(KorvelClose, WhatTheEditorsQuestionLeavesIsKept)
{
    struct Row {
        const char *meanwhile;
        bool cancel;
        std::string after;
        Lines expected;
    };
    const std::vector<Row> rows = {
        {"", true,
         "pass 2\nlook editor\nuser move editor qzkorvel#2 300 300\npass",
         {"look editor 100 200 640 480 visible topmost toolwindow", "out qzkorvel#2 state 300 300 640 480 1"}},
        {"rename synth away\nrename other synth\nsend qzkorvel#2 open 500 500\npass 3", false,
         "pass 2\nuser move editor qzkorvel#2 300 300\npass",
         state("300 300 300 200 1", "qzkorvel#2")},
        {"delete qzkorvel#2", false,
         "pass 2\nlook editor",
         {"look editor 100 200 640 480 hidden topmost toolwindow"}},
        {"", false,
         "pass 2\nsend qzkorvel#2 debug 1\nsend qzkorvel#2 open 100 200\npass 2",
         {"out qzkorvel#2 state 100 200 640 480 0", "console post predefined POS is valid",
          "console post open: showing the editor closed before",
          "console post FOUND NEW OPEN WINDOW --> attach", "console post --> attach window observer",
          "console post checkWindowState()", "out qzkorvel#2 state 100 200 640 480 1"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.meanwhile);
        World w;
        w.host("editor-hides-on-close");
        w.plugin("BETA", 300, 200, 5);
        w.box("vst~ BETA", "other");
        HWND editor = open_setup(w);
        /* taken over by the next record, whose observer comes first */
        w.remove("qzkorvel#1");
        Question question{&w, row.meanwhile, row.cancel};
        ASSERT_TRUE(SetWindowSubclass(editor, asks_on_close, 1, (DWORD_PTR)&question));
        w.box("qzkorvel synth");
        w.settle();
        w.lines();
        w.user_close(editor);
        EXPECT_TRUE(plays(w, row.after, row.expected));
        RemoveWindowSubclass(editor, asks_on_close, 1);
    }
}

} // namespace
