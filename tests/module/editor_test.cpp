/* Opening, placing, showing, hiding, closing and restoring the editor. */
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "module_test.h"

using namespace module_test;

namespace {

/* ---- placement ---- */

TEST(KorvelPlacement, CentresByTheWorkedValues)
{
    struct Row {
        int dx, dy, dw, dh; /* a second display, left of the primary; 0 0 0 0 for none */
        int mx, my;
        int w, h;
        int x, y;
        int cw, ch; /* the client size: a frame is at most the virtual screen plus 12 */
    };
    const Row rows[] = {
        {0, 0, 0, 0, 500, 500, 800, 600, 560, 140, 800, 600},
        {0, 0, 0, 0, 500, 500, 800, 839, 560, 20, 800, 839},
        {0, 0, 0, 0, 500, 500, 800, 840, 560, 100, 800, 840},
        {0, 0, 0, 0, 500, 500, 800, 900, 560, 70, 800, 900},
        {0, 0, 0, 0, 500, 500, 800, 1000, 560, 20, 800, 1000},
        {0, 0, 0, 0, 500, 500, 800, 1002, 560, 39, 800, 1002},
        {0, 0, 0, 0, 500, 500, 800, 1010, 560, 35, 800, 1010},
        {0, 0, 0, 0, 500, 500, 1920, 1040, 0, 27, 1920, 1025},
        {0, 0, 0, 0, 500, 500, 2000, 600, 10, 50, 1924, 600},
        {0, 0, 0, 0, 500, 500, 1920, 1041, 0, 27, 1920, 1025},
        {-800, 0, 800, 984, -400, 400, 501, 400, -650, 212, 501, 400},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << "x" << r.h << " on display " << r.dx);
        World w;
        w.display(0, 0, 1920, 1040);
        if (r.dw)
            w.display(r.dx, r.dy, r.dw, r.dh);
        w.mouse(r.mx, r.my);
        w.plugin("PLUG", r.w, r.h);
        w.box("vst~ PLUG", "synth");
        w.box("qzkorvel synth");
        w.pass();
        w.lines();
        /* under Wine the X screen, not the declared displays, cuts the size,
         * and the editor is centred by its size on the screen */
        testkit::Player player(w);
        Lines lines = player.play("send qzkorvel#1 open\npass 2");
        ASSERT_EQ(1u, lines.size()) << testkit::diff({}, lines);
        std::string place = "out qzkorvel#1 state " + std::to_string(r.x) + " " + std::to_string(r.y) + " ";
        if (World::simulated() || r.ch == r.h) {
            EXPECT_EQ(place, lines[0].substr(0, place.size()));
        }
        if (World::simulated()) {
            EXPECT_EQ(place + std::to_string(r.cw) + " " + std::to_string(r.ch) + " 1", lines[0]);
        }
    }
}

TEST(KorvelPlacement, PosStoresMovesAndReports)
{
    World w;
    bound_setup(w);
    HWND before = nullptr;
    play_steps(w, {
                      {"send qzkorvel#1 pos 100\nsend qzkorvel#1 pos\npass 2",
                       {"console error missing arguments", "console error missing arguments"}},
                      {"send qzkorvel#1 pos 100 200 9\npass 2", state("100 200 0 0 0")},
                      {"send qzkorvel#1 open\npass 2", state("100 200 640 480 1")},
                  });
    before = (HWND)simhost_patcher_window(w.patcher());
    w.user_activate(before);
    w.pass();
    w.lines();
    play_steps(w, {
                      {"send qzkorvel#1 pos -300 40\npass 2", state("-300 40 640 480 1")},
                      {"look editor", {"look editor -300 40 640 480 visible topmost toolwindow"}},
                  });
    EXPECT_EQ(before, World::active_window());
}

TEST(KorvelPlacement, SentinelCentresOnTheDisplayUnderTheMouse)
{
    World w;
    w.display(0, 0, 1920, 1040);
    w.display(1920, 0, 1000, 800);
    bound_setup(w);
    play_steps(w, {
                      {"send qzkorvel#1 pos -12345 0\npass 2", state("-12345 0 0 0 0")},
                      {"mouse 10 10\nsend qzkorvel#1 open\npass 2", state("640 200 640 480 1")},
                      {"mouse 2000 100\nsend qzkorvel#1 pos -12345 0\npass 2",
                       state("2100 80 640 480 1")},
                  });
}

/* Without a known plug-in there is no centred position: the window stays. */
TEST(KorvelPlacement, CentringWithoutInstanceLeavesTheWindow)
{
    World w;
    open_setup(w);
    t_korvel *x = record(w);
    t_object *target = x->target;
    x->target = nullptr;
    EXPECT_TRUE(plays(w, "send qzkorvel#1 direct_pos -12345 0\npass 2",
                      {"console error findCenteredPosForVST(): instance not valid!",
                       "out qzkorvel#1 state 100 200 640 480 1"}));
    x->target = target;
}

/* ---- open ---- */

TEST(KorvelOpen, TypicalRoadOpensCapturesAndReports)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open 100 200\npass",
                      {"console post predefined POS is valid", "console post FOUND NEW OPEN WINDOW --> attach",
                       "console post --> attach window observer"}));
    t_korvel *x = record(w);
    EXPECT_EQ(w.editor(), x->editor_hwnd);
    EXPECT_TRUE(plays(w, "pass\nlook editor",
                      {"console post checkWindowState()", "out qzkorvel#1 state 100 200 640 480 1",
                       "look editor 100 200 640 480 visible topmost toolwindow active"}));
    EXPECT_EQ(0, GetWindowLongPtrA(x->editor_hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    /* observed, it answers as before: Max's window list asks its title */
    char title[8];
    EXPECT_EQ(4, GetWindowTextA(x->editor_hwnd, title, sizeof title));
}

TEST(KorvelOpen, ArgumentsChooseTheSpot)
{
    struct Row {
        const char *args;
        const char *state;
    };
    const Row rows[] = {
        {"", "out qzkorvel#1 state 640 150 640 480 1"},
        {"300", "out qzkorvel#1 state 640 150 640 480 1"},
        {"-12345 7", "out qzkorvel#1 state 640 150 640 480 1"},
        {"300 200", "out qzkorvel#1 state 300 200 640 480 1"},
        {"100.7 -20.9", "out qzkorvel#1 state 100 -20 640 480 1"},
        {"-900 -900", "out qzkorvel#1 state 640 150 640 480 1"},
        {"-1 300", "out qzkorvel#1 state 640 150 640 480 1"},
        {"300 -101", "out qzkorvel#1 state 640 150 640 480 1"},
        {"1919 1039", "out qzkorvel#1 state 1919 1039 640 480 1"},
        {"1920 300", "out qzkorvel#1 state 640 150 640 480 1"},
        {"300 1040", "out qzkorvel#1 state 640 150 640 480 1"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.args);
        World w;
        w.display(0, -100, 1920, 1140);
        w.mouse(500, 500);
        bound_setup(w);
        EXPECT_TRUE(plays(w, std::string("send qzkorvel#1 open ") + r.args + "\npass 2", {r.state}));
    }
}

TEST(KorvelOpen, PositionIsValidatedAtEveryOpen)
{
    World w;
    w.mouse(500, 500);
    bound_setup(w, "qzkorvel synth @debug 0");
    play_steps(w, {
                      {"send qzkorvel#1 open -900 -900\npass 2", state("640 200 640 480 1")},
                      {"send qzkorvel#1 close\npass 2", state("640 200 640 480 0")},
                      {"send qzkorvel#1 open -900 -900\npass 2", state("640 200 640 480 1")},
                      {"send qzkorvel#1 close\npass 2", state("640 200 640 480 0")},
                      {"send qzkorvel#1 state -900 -900 640 480 1\npass 2", state("640 200 640 480 1")},
                  });
    /* a list restored while no plug-in is loaded is checked by the open
     * that uses it */
    w.unload("synth");
    w.send("qzkorvel#1", "direct_state", "-900 -900 640 480 1");
    w.load("synth", "PLUG");
    w.lines();
    EXPECT_TRUE(plays(w, "pass 3", state("640 200 640 480 1")));
    /* a point on the taskbar, in no display's work area, is out of view;
     * so it is when a taller display beside widens the work areas' span */
    play_steps(w, {
                      {"send qzkorvel#1 close\npass 2", state("640 200 640 480 0")},
                      {"send qzkorvel#1 state 100 1060 640 480 1\npass 2", state("640 200 640 480 1")},
                      {"display 1920 0 1920 1200\nsend qzkorvel#1 close\npass 2", state("640 200 640 480 0")},
                      {"send qzkorvel#1 state 100 1060 640 480 1\npass 2", state("640 200 640 480 1")},
                  });
}

TEST(KorvelOpen, WindowsAlreadyOnThePointAreNeverTaken)
{
    World w;
    bound_setup(w);
    HWND foreign = w.foreign_window(100, 200, 300, 300);
    w.send("qzkorvel#1", "direct_open", "100 200");
    t_korvel *x = record(w);
    EXPECT_EQ(w.editor(), x->editor_hwnd);
    EXPECT_NE(foreign, x->editor_hwnd);
    EXPECT_FALSE(World::topmost(foreign));
    EXPECT_FALSE(World::toolwindow(foreign));
}

/* Windows of another application on the point that stay above the new
 * editor (topmost), below another topmost window elsewhere: remembered all
 * the same, so not taken; as many as the table holds, the editor that comes
 * after the last of them is still found. */
TEST(KorvelOpen, TopmostWindowsOnThePointAreNeverTaken)
{
    for (int count : {1, KORVEL_KNOWN_WINDOWS}) {
        SCOPED_TRACE(count);
        World w;
        bound_setup(w);
        const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        std::vector<HWND> on_point;
        for (int i = 0; i < count; i++) {
            on_point.push_back(w.foreign_window(100, 200, 300, 300));
            SetWindowPos(on_point.back(), HWND_TOPMOST, 0, 0, 0, 0, keep);
        }
        SetWindowPos(w.foreign_window(900, 600, 100, 100), HWND_TOPMOST, 0, 0, 0, 0, keep);
        w.send("qzkorvel#1", "direct_open", "100 200");
        ASSERT_NE(nullptr, record(w)->editor_hwnd);
        EXPECT_EQ(w.editor(), record(w)->editor_hwnd);
        EXPECT_TRUE(std::none_of(on_point.begin(), on_point.end(), World::toolwindow));
    }
}

/* Why the tests that count a crowded point's windows run natively only:
 * under Wine the window manager frames and raises the other application's
 * many new windows when it gets to them, which moves them onto the point and
 * up between the open's two looks. */
const char *const crowd_under_wine = "the window manager restacks and reframes the windows while the test runs";

/* A bound record and n windows of another application on (100, 200). */
std::vector<HWND> crowded_point(World &w, int n)
{
    bound_setup(w);
    std::vector<HWND> foreign;
    for (int i = 0; i < n; i++)
        foreign.push_back(w.foreign_window(100, 200, 50, 50));
    return foreign;
}

/* More windows on the point than the open remembers: the new editor, which
 * comes in above them but below the topmost ones, here just above the last
 * window the table holds, is still the one captured, and no old one is. */
TEST(KorvelOpen, MoreThanTheTableHoldsIsSafe)
{
    World w;
    const std::vector<HWND> foreign = crowded_point(w, KORVEL_KNOWN_WINDOWS + 20);
    for (int i = 0; i < KORVEL_KNOWN_WINDOWS - 1; i++)
        SetWindowPos(foreign[i], HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    w.send("qzkorvel#1", "direct_open", "100 200");
    t_korvel *x = record(w);
    EXPECT_TRUE(std::none_of(foreign.begin(), foreign.end(), World::toolwindow));
    ASSERT_NE(nullptr, x->editor_hwnd);
    EXPECT_EQ(w.editor(), x->editor_hwnd);
    EXPECT_TRUE(World::toolwindow(x->editor_hwnd));
}

/* More windows on the point than the table holds, and no new one there: none
 * of them is taken for the editor; one opened off the point is, as the one
 * window of our process that appeared. (A unit test rather than a scenario: the
 * managed-window run of the scenarios under Wine pays seconds per window.) */
TEST(KorvelOpen, ACrowdedPointWithoutANewWindowCapturesNothing)
{
    if (!World::simulated())
        GTEST_SKIP() << crowd_under_wine;
    World w;
    const std::vector<HWND> foreign = crowded_point(w, KORVEL_KNOWN_WINDOWS + 4);
    play_steps(w, {
                      {"misbehave synth noeditor\nsend qzkorvel#1 open 100 200\npass 3",
                       {"console error critical: NEW WINDOW NOT FOUND"}},
                      {"misbehave synth offset 30 0\nsend qzkorvel#1 open 100 200\npass 3",
                       {"out qzkorvel#1 state 100 200 640 480 1"}},
                  });
    EXPECT_EQ(w.editor(), record(w)->editor_hwnd);
    EXPECT_TRUE(std::none_of(foreign.begin(), foreign.end(),
                             [](HWND h) { return World::topmost(h) || World::toolwindow(h); }));
}

/* On a point more crowded than the table, neither a window that comes in
 * below the old ones nor an old one that another application raises while
 * the editor is awaited is taken for it; a window that comes above them is. */
TEST(KorvelOpen, ACrowdedPointTakesOnlyAWindowThatCameAbove)
{
    if (!World::simulated())
        GTEST_SKIP() << crowd_under_wine;
    World w;
    const std::vector<HWND> foreign = crowded_point(w, KORVEL_KNOWN_WINDOWS + 4);
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    w.misbehave("synth", SIMHOST_VST_NOEDITOR);
    w.send("qzkorvel#1", "direct_open", "100 200");
    SetWindowPos(w.foreign_window(100, 200, 50, 50), HWND_BOTTOM, 0, 0, 0, 0, keep);
    EXPECT_TRUE(plays(w, "pass 2", {"console error critical: NEW WINDOW NOT FOUND"}));
    EXPECT_TRUE(plays(w, "send qzkorvel#1 direct_open 100 200", {}));
    /* the oldest, below all that the table holds */
    SetWindowPos(foreign.front(), HWND_TOP, 0, 0, 0, 0, keep);
    EXPECT_TRUE(plays(w, "pass", {}));
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    HWND late = w.foreign_window(100, 200, 50, 50);
    EXPECT_TRUE(plays(w, "pass", state("100 200 104 50 1")));
    EXPECT_EQ(late, record(w)->editor_hwnd);
    EXPECT_TRUE(std::none_of(foreign.begin(), foreign.end(), World::toolwindow));
}

/* A window that comes on the point passes after the open is still taken
 * for the editor, within the bound; past it, one error and nothing taken. */
TEST(KorvelOpen, ALateEditorIsAwaitedForABoundedNumberOfPasses)
{
    World w;
    bound_setup(w);
    EXPECT_TRUE(plays(w, "misbehave synth noeditor\nsend qzkorvel#1 open 100 200\npass " +
                             std::to_string(KORVEL_LATE_PASSES), {}));
    /* another open meanwhile waits with it, and says so to a patch that asks */
    w.send("qzkorvel#1", "debug", "1");
    w.send("qzkorvel#1", "direct_open", "100 200");
    const Lines traced = w.lines();
    EXPECT_NE(traced.end(),
              std::find(traced.begin(), traced.end(), "console post open: the editor window is still awaited"));
    w.send("qzkorvel#1", "debug", "0");
    HWND late = w.foreign_window(100, 200, 200, 150);
    /* the place only natively, the size never: a window manager redraws
     * the frame of a window already on screen a moment after it becomes a
     * tool window, which may move its client area */
    const Lines out = testkit::Player(w).play("pass");
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(0u, out[0].rfind(World::simulated() ? "out qzkorvel#1 state 100 200 " : "out qzkorvel#1 state ", 0))
        << out[0];
    EXPECT_EQ(" 1", out[0].substr(out[0].size() - 2)) << out[0];
    EXPECT_EQ(late, record(w)->editor_hwnd);
    EXPECT_TRUE(World::toolwindow(late));
}

// One that never comes gives one error once the passes are over, and a
// window that turns up after them is not taken.
TEST(KorvelOpen, ALateEditorThatNeverComesIsOneError)
{
    World w;
    bound_setup(w);
    EXPECT_TRUE(plays(w, "misbehave synth noeditor\nsend qzkorvel#1 open 300 200\npass " +
                             std::to_string(KORVEL_LATE_PASSES),
                      {}));
    /* nor is one that comes below the point, or beside it */
    HWND below = w.foreign_window(300, 260, 200, 150);
    HWND beside = w.foreign_window(340, 200, 200, 150);
    EXPECT_TRUE(plays(w, "pass", {"console error critical: NEW WINDOW NOT FOUND"}));
    HWND never = w.foreign_window(300, 200, 200, 150);
    w.settle();
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    EXPECT_FALSE(World::toolwindow(never) || World::toolwindow(below) || World::toolwindow(beside));
}

/* The wait is for the object asked to open: once the box is retyped and
 * the record bound to the new object (here by another open, which finds
 * the first one still waiting), a window on the point is no one's. */
TEST(KorvelOpen, ALateEditorOfAnObjectReplacedIsNoLongerAwaited)
{
    World w;
    bound_setup(w);
    EXPECT_TRUE(plays(w, "misbehave synth noeditor\nsend qzkorvel#1 direct_open 300 200", {}));
    w.retype("synth", "vst~ PLUG");
    w.send("qzkorvel#1", "direct_open", "300 200");
    ASSERT_NE(nullptr, record(w)->target);
    w.lines();
    HWND stray = w.foreign_window(300, 200, 200, 150);
    EXPECT_TRUE(plays(w, "pass " + std::to_string(KORVEL_LATE_PASSES + 1), report("PLUG", "64", "300 200 0 0 0")));
    EXPECT_EQ(nullptr, record(w)->editor_hwnd);
    EXPECT_FALSE(World::toolwindow(stray));
    /* the wait is over: the next open opens the new object's editor */
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open 300 200\npass 2", state("300 200 640 480 1")));
}

/* Nor once the record has an editor: here the one another record let go. */
TEST(KorvelOpen, ALateEditorIsNoLongerAwaitedOnceTheRecordHasOne)
{
    World w;
    bound_setup(w);
    EXPECT_TRUE(plays(w, "misbehave synth noeditor\nsend qzkorvel#1 direct_open 300 200\nbox qzkorvel synth\npass\n"
                         "misbehave synth normal\nsend qzkorvel#2 direct_open 500 500\ndelete qzkorvel#2",
                      report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#2")));
    HWND editor = w.editor();
    w.send("qzkorvel#1", "direct_pos", "500 500");
    ASSERT_EQ(editor, record(w)->editor_hwnd);
    HWND stray = w.foreign_window(300, 200, 200, 150);
    w.settle();
    EXPECT_EQ(editor, record(w)->editor_hwnd);
    EXPECT_FALSE(World::toolwindow(stray));
}

/* An editor opened off the point is the one window of our process that
 * appeared, moved onto the point; no editor at all is said. */
TEST(KorvelOpen, EditorOpenedElsewhereIsTakenAndMoved)
{
    World w;
    bound_setup(w);
    play_steps(w, {
                      {"misbehave synth offset 5 5\nsend qzkorvel#1 open 100 200\npass 3\nlook editor",
                       {"out qzkorvel#1 state 100 200 640 480 1",
                        "look editor 100 200 640 480 visible topmost toolwindow active"}},
                      {"misbehave synth offset 0 30\nuser close editor\npass\nsend qzkorvel#1 open 100 200\npass 3",
                       {"out qzkorvel#1 state 100 200 640 480 0", "out qzkorvel#1 state 100 200 640 480 1"}},
                      {"misbehave synth normal\nuser close editor\nmisbehave synth noeditor\n"
                       "send qzkorvel#1 open 30 40\npass 3",
                       {"out qzkorvel#1 state 100 200 640 480 0", "console error critical: NEW WINDOW NOT FOUND"}},
                  });
    t_korvel *x = record(w);
    EXPECT_EQ(nullptr, x->editor_hwnd);
    EXPECT_EQ(30, x->win_x);
    EXPECT_EQ(40, x->win_y);
    /* one to be centred keeps the point it was opened on */
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open -12345 0\npass 3", {"console error critical: NEW WINDOW NOT FOUND"}));
    EXPECT_EQ(KORVEL_SUBSTITUTE_POS, x->win_x);
    EXPECT_EQ(KORVEL_SUBSTITUTE_POS, x->win_y);
}

TEST(KorvelOpen, OpenWhileCapturedOnlyRaises)
{
    World w;
    HWND editor = open_setup(w);
    play_steps(w, {
                      {"send qzkorvel#1 hide\npass 2", state("100 200 640 480 2")},
                      {"send qzkorvel#1 open 300 300\npass 2\nlook editor",
                       {"look editor 100 200 640 480 hidden topmost toolwindow"}},
                  });
    EXPECT_EQ(editor, record(w)->editor_hwnd);
    EXPECT_EQ(100, record(w)->win_x);
}

TEST(KorvelOpen, NamedBoxGoneWhileBoundDetaches)
{
    World w;
    bound_setup(w);
    t_korvel *x = record(w);
    x->scriptname = gensym("gone");
    EXPECT_TRUE(plays(w, "send qzkorvel#1 open\npass 2",
                      {"console error qzkorvel: can't find the vst object with this scriptingname in this patcher "
                       "(gone)"}));
    EXPECT_EQ(nullptr, x->target);
    EXPECT_EQ(0, simhost_observer_count(w.object("synth")));
    x->scriptname = gensym("synth");
    w.send("qzkorvel#1", "open", "100 200");
    w.pass(2);
    EXPECT_TRUE(same_lines({"out qzkorvel#1 pluginname PLUG", "out qzkorvel#1 savedpluginname PLUG",
                            "out qzkorvel#1 delay 64", "out qzkorvel#1 state -12345 0 0 0 0",
                            "out qzkorvel#1 state 100 200 640 480 1"},
                           w.lines()));
}

TEST(KorvelOpen, NoPluginLoadedOpensNothing)
{
    World w;
    play_steps(w, {
                      {"box synth = vst~\nbox qzkorvel synth\npass",
                       report("free", "0", "-12345 0 0 0 0")},
                      {"send qzkorvel#1 open 100 200\npass 2", {"console error qzkorvel: open: No plugin loaded."}},
                      {"box qzkorvel synth2\npass",
                       {"console warn qzkorvel: there's currently no object with the specified scriptingname in "
                        "this patcher (synth2)"}},
                      {"box synth2 = vst~\nsend qzkorvel#2 open\npass 2",
                       {"out qzkorvel#2 pluginname free", "out qzkorvel#2 savedpluginname free",
                        "out qzkorvel#2 delay 0", "out qzkorvel#2 state -12345 0 0 0 0",
                        "console error qzkorvel: open: No plugin loaded."}},
                  });
    EXPECT_EQ(KORVEL_CENTRE_SENTINEL, record(w)->win_x);
    EXPECT_EQ(nullptr, w.editor());
}

/* Values beyond the window coordinates are out of view; a NaN opens
 * nothing. */
TEST(KorvelOpen, OutOfRangeAndNanCoordinates)
{
    World w;
    bound_setup(w);
    t_object *obj = w.object("qzkorvel#1");
    t_atom av[2];
    atom_setfloat(av, std::numeric_limits<double>::quiet_NaN());
    atom_setfloat(av + 1, 10);
    simhost_send(obj, "direct_open", 2, av);
    atom_setfloat(av, 10);
    atom_setfloat(av + 1, std::numeric_limits<double>::quiet_NaN());
    simhost_send(obj, "direct_open", 2, av);
    EXPECT_TRUE(same_lines({"console error qzkorvel: open: coordinates are not numbers",
                            "console error qzkorvel: open: coordinates are not numbers"},
                           w.lines()));
    EXPECT_EQ(nullptr, w.editor());
    EXPECT_EQ(KORVEL_CENTRE_SENTINEL, record(w)->win_x);

    atom_setfloat(av, 1e12);
    atom_setfloat(av + 1, -INFINITY);
    simhost_send(obj, "direct_open", 2, av);
    w.pass();
    EXPECT_TRUE(same_lines(state("640 200 640 480 1"), w.lines()));
}

/* ---- visibility ---- */

TEST(KorvelVisibility, HideAndShowInTheForeground)
{
    World w;
    open_setup(w);
    play_steps(w, {
                      {"send qzkorvel#1 hide\npass 2\nlook editor", editor_at_home(false)},
                      {"send qzkorvel#1 hide\nsend qzkorvel#1 direct_hide\npass 2", {}},
                      {"send qzkorvel#1 show\npass 2\nlook editor", editor_at_home(true)},
                      {"send qzkorvel#1 show\npass 2", {}},
                  });
}

TEST(KorvelVisibility, RequestsInTheBackgroundWaitForTheHost)
{
    World w;
    open_setup(w);
    play_steps(w, {
                      {"app background\nsend qzkorvel#1 hide\npass 2", state("100 200 640 480 2")},
                      {"app foreground\npass 2\nlook editor", {"look editor 100 200 640 480 hidden topmost toolwindow"}},
                      {"send qzkorvel#1 pos 100 200\npass 2", state("100 200 640 480 2")},
                      {"app background\nsend qzkorvel#1 show\npass 2", {}},
                      {"app foreground\npass 2\nlook editor", editor_at_home(true)},
                  });
}

TEST(KorvelVisibility, HidingTheActiveEditorPassesActivationOn)
{
    World w;
    HWND editor = open_setup(w);
    HWND helper = record(w)->helper_hwnd;
    w.user_activate(editor);
    ASSERT_EQ(editor, World::active_window());
    EXPECT_TRUE(plays(w, "send qzkorvel#1 hide\npass 2", state("100 200 640 480 2")));
    EXPECT_NE(editor, World::active_window());
    EXPECT_FALSE(World::visible(helper));
    RECT r = {0, 0, 0, 0};
    GetWindowRect(helper, &r);
    EXPECT_EQ(-32000, r.left);
    EXPECT_EQ(-32000, r.top);
}

TEST(KorvelVisibility, ShowWithoutWindowIsOnlyTraced)
{
    World w;
    bound_setup(w, "qzkorvel synth @debug 1");
    play_steps(w, {
                      {"send qzkorvel#1 show\nsend qzkorvel#1 hide\npass 2", {"console post show(): there's no window"}},
                      {"send qzkorvel#1 direct_show", {"console post show():"}},
                  });
}

/* ---- close ---- */

TEST(KorvelClose, ClosesOnlyWhatIsThere)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    play_steps(w, {
                      {"box qzkorvel synth @debug 1\npass\nsend qzkorvel#1 close\npass",
                       {"console warn qzkorvel: there's currently no object with the specified scriptingname in "
                        "this patcher (synth)",
                        "console post close: not attached to object"}},
                      {"box synth = vst~ PLUG\nbox qzkorvel synth\npass\nsend qzkorvel#2 close\npass",
                       report("PLUG", "64", "-12345 0 0 0 0", "qzkorvel#2")},
                      {"send qzkorvel#2 debug 1\nsend qzkorvel#2 close\npass\nsend qzkorvel#2 debug 0",
                       {"console post close: window not opened"}},
                      {"send qzkorvel#2 open 100 200\npass 2", {"out qzkorvel#2 state 100 200 640 480 1"}},
                      {"send qzkorvel#2 close\npass", {}},
                      {"pass", {"out qzkorvel#2 state 100 200 640 480 0"}},
                      {"look editor", {"look editor none"}},
                      /* a hidden editor goes without moving: its end alone is reported */
                      {"send qzkorvel#2 open 100 200\nsend qzkorvel#2 hide\npass 3",
                       state("100 200 640 480 2", "qzkorvel#2")},
                      {"send qzkorvel#2 close\npass 2", state("100 200 640 480 0", "qzkorvel#2")},
                  });
    /* an editor the vst object opened without us is not ours to close */
    object_method_imp(w.object("synth"), gensym("open"), (void *)300, (void *)300, nullptr, nullptr, nullptr, nullptr,
                      nullptr, nullptr);
    ASSERT_NE(nullptr, simhost_vst_editor(w.object("synth")));
    w.send("qzkorvel#2", "close");
    w.pass();
    EXPECT_NE(nullptr, simhost_vst_editor(w.object("synth")));
}

/* ---- state restore ---- */

TEST(KorvelState, RestoresByVisibility)
{
    World w;
    w.plugin("PLUG", 640, 480, 64);
    play_steps(w, {
                      {"box synth = vst~\nbox qzkorvel synth\npass",
                       report("free", "0", "-12345 0 0 0 0")},
                      {"send qzkorvel#1 state 1 2 3 4\npass 2",
                       {"console error qzkorvel: state error: missing arguments"}},
                      /* waiting, the list is the state */
                      {"send qzkorvel#1 state 100 200 640 480 1\npass 2", state("100 200 640 480 1")},
                      /* the restored visibility waits for the plug-in: the report that finds it
                       * shows the restored list, and the editor opens after it */
                      {"load synth PLUG\npass 2",
                       {"out qzkorvel#1 willchange", "out qzkorvel#1 pluginname PLUG",
                        "out qzkorvel#1 savedpluginname PLUG", "out qzkorvel#1 delay 64",
                        "out qzkorvel#1 state 100 200 640 480 1", "out qzkorvel#1 state 100 200 640 480 1"}},
                      {"send qzkorvel#1 close\npass 2", state("100 200 640 480 0")},
                      {"send qzkorvel#1 state 1 2 3 4 7\npass 2", {}},
                      {"send qzkorvel#1 state 100 200 640 480 1\npass 2", state("100 200 640 480 1")},
                      /* an open editor moves to the list's place; the size stays the plug-in's */
                      {"send qzkorvel#1 state 5 6 7 8 2\npass 3", state("5 6 640 480 1") + state("5 6 640 480 2")},
                      {"send qzkorvel#1 state 5 6 7 8 1\npass 2", state("5 6 640 480 1")},
                      {"send qzkorvel#1 state 5 6 7 8 0\npass 2", state("5 6 640 480 0")},
                      {"send qzkorvel#1 state 300 200 640 480 2\npass 3", state("300 200 640 480 2")},
                      {"look editor", {"look editor 300 200 640 480 hidden topmost toolwindow"}},
                  });
}

TEST(KorvelState, StoredValuesWithoutPluginAndVisSeven)
{
    World w;
    bound_setup(w);
    w.send("qzkorvel#1", "direct_state", "1 2 3 4 7");
    t_korvel *x = record(w);
    EXPECT_EQ(1, x->win_x);
    EXPECT_EQ(2, x->win_y);
    EXPECT_EQ(3, x->win_w);
    EXPECT_EQ(4, x->win_h);
    EXPECT_EQ(0, w.pass(2));
    EXPECT_TRUE(same_lines({}, w.lines()));
}

TEST(KorvelState, ShowsAtOnceEvenInTheBackground)
{
    World w;
    open_setup(w);
    play_steps(w, {
                      {"app background\nsend qzkorvel#1 state 100 200 3 4 1\npass 2\nlook editor",
                       state("100 200 640 480 1") + state("100 200 640 480 1") +
                           Lines{"look editor 100 200 640 480 visible topmost toolwindow"}},
                      /* shown in the background, it is in sight: a hidden list hides it */
                      {"send qzkorvel#1 state 100 200 3 4 2\npass 2\nlook editor",
                       {"look editor 100 200 640 480 hidden topmost toolwindow"}},
                  });
    EXPECT_EQ(1, record(w)->hidden);
    /* one to stay on top is hidden at once, as the hide gate would */
    play_steps(w, {
                      {"send qzkorvel#1 stayontop 1\nsend qzkorvel#1 state 100 200 3 4 1\npass 2",
                       state("100 200 640 480 2") + state("100 200 640 480 1")},
                      {"send qzkorvel#1 state 100 200 3 4 2\npass 3\nlook editor", editor_at_home(false)},
                  });
}

TEST(KorvelState, ReportedListSentBackReopensTheEditor)
{
    World w;
    HWND editor = open_setup(w);
    w.user_move(editor, 333, 222);
    w.pass();
    Lines lines = w.lines();
    ASSERT_EQ(1u, lines.size());
    std::string list = lines[0].substr(std::string("out qzkorvel#1 state ").size());
    EXPECT_EQ("333 222 640 480 1", list);
    play_steps(w, {
                      {"user close editor\npass", state("333 222 640 480 0")},
                      {"send qzkorvel#1 state " + list + "\npass 2", state("333 222 640 480 1")},
                      {"user close editor\npass", state("333 222 640 480 0")},
                      {"send qzkorvel#1 state 333 222 640 480 2\npass 3",
                       state("333 222 640 480 2")},
                  });
}

} // namespace

namespace {

std::string atoms_text(long ac, const t_atom *av)
{
    std::string text;
    for (long i = 0; i < ac; ++i)
        text += (i ? " " : "") + std::to_string(atom_getlong(av + i));
    return text;
}

} // namespace

/* The state system's value is the state list, measured now: in an array of
 * the host's (getbytes) or the caller's; a caller's array too short for it
 * is left alone. A value set is a "state" message, queued. */
TEST(KorvelState, ValueForTheStateSystemIsTheStateList)
{
    World w;
    HWND editor = open_setup(w);
    w.user_move(editor, 300, 250);
    t_object *x = w.object("qzkorvel#1");
    long ac = 0;
    t_atom *av = nullptr;
    ASSERT_EQ(MAX_ERR_NONE, object_getvalueof(x, &ac, &av));
    EXPECT_EQ("300 250 640 480 1", atoms_text(ac, av));
    freebytes(av, (t_getbytes_size)(ac * (long)sizeof(t_atom)));
    t_atom mine[5];
    t_atom *given = mine;
    ac = 3;
    atom_setlong(mine, 7);
    EXPECT_NE(MAX_ERR_NONE, object_getvalueof(x, &ac, &given));
    EXPECT_EQ(3, ac);
    EXPECT_EQ(7, atom_getlong(mine));
    ac = 5;
    ASSERT_EQ(MAX_ERR_NONE, object_getvalueof(x, &ac, &given));
    EXPECT_EQ(mine, given);
    EXPECT_EQ("300 250 640 480 1", atoms_text(ac, mine));
    w.pass();
    w.lines();
    atom_setlong(mine + 4, 0);
    ASSERT_EQ(MAX_ERR_NONE, object_setvalueof(x, 5, mine));
    EXPECT_TRUE(IsWindow(editor));
    play_steps(w, {{"pass 2", state("300 250 640 480 0")}, {"look editor", {"look editor none"}}});
}

namespace {

/* An observer of a qzkorvel object, as the state system's pattr is: at each
 * "modified" notification it reads the value again. */
struct Watcher {
    t_object ob;
};

std::vector<std::string> *told;

std::string value_of(t_object *x)
{
    long ac = 0;
    t_atom *av = nullptr;
    EXPECT_EQ(MAX_ERR_NONE, object_getvalueof(x, &ac, &av));
    std::string text = atoms_text(ac, av);
    freebytes(av, (t_getbytes_size)(ac * (long)sizeof(t_atom)));
    return text;
}

t_max_err watcher_notify(Watcher *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    if (msg == gensym("modified"))
        told->push_back(value_of((t_object *)sender));
    return MAX_ERR_NONE;
}

t_object *watch(t_object *x, std::vector<std::string> &log)
{
    told = &log;
    t_class *c = class_new("watcher", nullptr, nullptr, (long)sizeof(Watcher), nullptr, 0);
    class_addmethod(c, as_method(watcher_notify), "notify", A_CANT, 0);
    class_register(gensym("nobox"), c);
    t_object *w = (t_object *)object_alloc(c);
    object_attach_byptr_register(w, x, gensym("nobox"));
    return w;
}

void set_value(t_object *x, std::initializer_list<double> values)
{
    std::vector<t_atom> av;
    for (double v : values)
        av.push_back(testkit::float_atom(v));
    ASSERT_EQ(MAX_ERR_NONE, object_setvalueof(x, (long)av.size(), av.data()));
}

} // namespace

/* The host is told at each report, when the value already is the new list,
 * and never from inside setvalueof. */
TEST(KorvelState, HostIsToldAtEachReport)
{
    World w;
    HWND editor = open_setup(w);
    t_object *x = w.object("qzkorvel#1");
    std::vector<std::string> log;
    t_object *watcher = watch(x, log);
    w.user_move(editor, 300, 250);
    EXPECT_TRUE(log.empty());
    w.pass();
    EXPECT_TRUE(same_lines({"300 250 640 480 1"}, log));
    set_value(x, {300, 250, 640, 480, 2});
    EXPECT_TRUE(same_lines({"300 250 640 480 1"}, log));
    w.pass(3);
    EXPECT_TRUE(same_lines({"300 250 640 480 1", "300 250 640 480 2"}, log));
    object_detach_byptr(watcher, x);
    object_free(watcher);
}

/* A queued hide or show changes the value when it runs: until then the
 * state system reads the editor as it is. */
TEST(KorvelState, ValueFollowsTheEditorNotTheQueue)
{
    World w;
    open_setup(w);
    t_object *x = w.object("qzkorvel#1");
    const std::string shown = value_of(x), hidden = shown.substr(0, shown.size() - 1) + "2";
    ASSERT_EQ('1', shown.back());
    for (const char *message : {"hide", "show"}) {
        const std::string before = value_of(x);
        w.send("qzkorvel#1", message);
        EXPECT_EQ(before, value_of(x)) << message;
        w.pass(2);
        EXPECT_EQ(before == shown ? hidden : shown, value_of(x)) << message;
    }
}

/* A bound pattr that deletes our box when it hears of a new value (here
 * the first report's): the report stops there. */
TEST(KorvelState, ReportStopsWhenTheStateSystemDeletesTheBox)
{
    World w;
    wired_patch(w,
                R"({"box": {"id": "obj-3", "maxclass": "newobj", "text": "pattr layout @bindto ours"}},
        {"box": {"id": "obj-4", "maxclass": "message", "text": "script delete ours"}},
        {"box": {"id": "obj-5", "maxclass": "newobj", "text": "thispatcher"}})",
                R"({"patchline": {"source": ["obj-3", 0], "destination": ["obj-4", 0]}},
        {"patchline": {"source": ["obj-4", 0], "destination": ["obj-5", 0]}})",
                "ours");
    w.settle();
    EXPECT_TRUE(no_errors(w.lines()));
    EXPECT_EQ(0, simhost_object_count("qzkorvel"));
}

/* What setvalueof set is read back before the queue runs, rounded to whole
 * numbers (pattrstorage's interpolation gives floats); the window follows
 * on the queue, an open editor to the list's place. */
TEST(KorvelState, ValueSetIsReadBackAtOnceRounded)
{
    World w;
    bound_setup(w);
    t_object *x = w.object("qzkorvel#1");
    set_value(x, {100.6, 199.5, 640.4, -0.5, 0.6});
    EXPECT_EQ("101 200 640 -1 1", value_of(x));
    set_value(x, {NAN, 1e12, -1e12, 2.5, 0});
    EXPECT_EQ("0 2147483647 -2147483648 3 0", value_of(x));
    set_value(x, {100.6, 199.5, 640.4, -0.5, 0.6});
    EXPECT_TRUE(plays(w, "pass 2\nlook editor",
                      {"out qzkorvel#1 state 101 200 640 480 1",
                       "look editor 101 200 640 480 visible topmost toolwindow active"}));
    set_value(x, {5, 6, 7, 8, 2});
    EXPECT_EQ("5 6 7 8 2", value_of(x));
    EXPECT_TRUE(plays(w, "pass 3", state("5 6 640 480 1") + state("5 6 640 480 2")));
    EXPECT_EQ("5 6 640 480 2", value_of(x));
}

/* A visibility restored before the plug-in is loaded is applied when it
 * comes, unless close, clear or another state overrules it meanwhile. */
TEST(KorvelState, RestoredVisibilityWaitsForThePlugin)
{
    struct Row {
        const char *restore;
        const char *meanwhile;
        const char *look;
    };
    const Row rows[] = {
        {"1", "", "look editor 100 200 640 480 visible topmost toolwindow active"},
        {"2", "", "look editor 100 200 640 480 hidden topmost toolwindow"},
        {"1", "send qzkorvel#1 close", "look editor none"},
        {"1", "send qzkorvel#1 clear", "look editor none"},
        {"1", "send qzkorvel#1 state 100 200 640 480 0", "look editor none"},
        {"1", "send qzkorvel#1 state 100 200 640 480 7", "look editor none"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.restore) + " " + r.meanwhile);
        World w;
        w.plugin("PLUG", 640, 480, 64);
        testkit::Player(w).play("box synth = vst~\nbox qzkorvel synth\npass\nsend qzkorvel#1 state 100 200 640 480 " +
                                std::string(r.restore) + "\npass 2\n" + r.meanwhile + "\npass 3\nload synth PLUG");
        const Lines after = testkit::Player(w).play("pass 3\nlook editor");
        ASSERT_FALSE(after.empty());
        EXPECT_EQ(r.look, after.back());
    }
}
