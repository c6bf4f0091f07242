/* Shared by the module's unit tests: a World with the module loaded, the
 * instance record of a qzkorvel box, and transcript checks that print a line
 * diff when they fail. */
#ifndef MODULE_TEST_H
#define MODULE_TEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvel.h"
#include "simhost.h"
#include "testkit.h"
#include "transcript.h"

namespace module_test {

using Lines = std::vector<std::string>;

/* A World whose load banner has been read already. */
class World : public testkit::World {
public:
    World() { lines(); }
};

/* Lines of one step after another. */
/* The passes of the host's clock that an open waits for a late editor. */
constexpr int late_passes = KORVEL_LATE_MS / SIMHOST_PASS_MS;

inline Lines operator+(Lines a, const Lines &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using testkit::report;
using testkit::state;

/* The editor of open_setup as qzkorvel#1 reports it and as it looks: at
 * (100, 200) in its plug-in's size, shown or hidden on request. */
inline Lines editor_at_home(bool shown)
{
    return {"out qzkorvel#1 state 100 200 640 480 " + std::string(shown ? "1" : "2"),
            "look editor 100 200 640 480 " + std::string(shown ? "visible" : "hidden") + " topmost toolwindow"};
}

inline t_korvel *record(testkit::World &w, const std::string &box = "qzkorvel#1")
{
    return (t_korvel *)w.object(box);
}

/* Plays a scenario fragment and checks every transcript line it makes. */
inline ::testing::AssertionResult plays(testkit::World &w, const std::string &scenario, const Lines &expected)
{
    testkit::Player player(w);
    return same_lines(expected, player.play(scenario));
}

/* A step of a table: a scenario fragment and the lines it must make. */
struct Step {
    std::string scenario;
    Lines expected;
};

inline void play_steps(testkit::World &w, const std::vector<Step> &steps)
{
    for (const Step &step : steps) {
        SCOPED_TRACE(step.scenario);
        EXPECT_TRUE(plays(w, step.scenario, step.expected));
    }
}

/* A vst~ box "synth" hosting PLUG (640x480, delay 64) and a bound qzkorvel,
 * with the binding report already read. */
inline void bound_setup(testkit::World &w, const std::string &korvel_text = "qzkorvel synth")
{
    w.plugin("PLUG", 640, 480, 64);
    w.box("vst~ PLUG", "synth");
    w.box(korvel_text);
    w.pass();
    w.lines();
}

/* bound_setup, then the editor opened at (100, 200) and its report read.
 * The vst object activates the editor it opens; the patcher window is made
 * the active window again, so that any activation of the editor shows. */
inline HWND open_setup(testkit::World &w, const std::string &korvel_text = "qzkorvel synth")
{
    bound_setup(w, korvel_text);
    w.send("qzkorvel#1", "open", "100 200");
    w.pass(2);
    w.user_activate((HWND)simhost_patcher_window(w.patcher()));
    w.pass();
    w.lines();
    return record(w)->editor_hwnd;
}

/* The editor is open and visible but no longer ours: neither the user's
 * moving nor closing it reports anything. */
inline void expect_let_go(testkit::World &w, HWND editor)
{
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_TRUE(testkit::World::visible(editor));
    w.user_move(editor, 300, 300);
    w.user_close(editor);
    w.pass(2);
    EXPECT_TRUE(same_lines({}, w.lines()));
}

/* A patch file of a vst~ "synth" hosting PLUG (BETA declared beside it),
 * qzkorvel#1 bound to it, then the boxes (obj-3 on) and cords given: for a
 * patch that answers our reports. Nothing has run yet. */
inline void wired_patch(testkit::World &w, const std::string &boxes, const std::string &lines,
                        const std::string &ours = "")
{
    w.plugin("PLUG", 640, 480, 64);
    w.plugin("BETA", 300, 200, 5);
    w.open_patch(R"({"patcher": {"boxes": [
        {"box": {"id": "obj-1", "maxclass": "newobj", "text": "vst~ PLUG", "varname": "synth"}},
        {"box": {"id": "obj-2", "maxclass": "newobj", "text": "qzkorvel synth", "varname": ")" + ours + R"("}},)" +
                     boxes + R"(], "lines": [)" + lines + "]}}",
                 "wired.maxpat");
}

} // namespace module_test

#endif
