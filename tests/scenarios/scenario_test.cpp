// Scenarios with their exact transcripts. Each case is a scenario (an example
// file or inline text) and the lines it must print after the load banner; a
// failure prints the difference. Examples that say what they expect in
// their own "expect" lines need no case here: examples_test.cpp plays them.
#include <gtest/gtest.h>

#include <regex>

#include "examples.h"
#include "testkit.h"
#include "transcript.h"

namespace {

using Lines = std::vector<std::string>;

struct Case {
    std::string name;
    std::string example; // a file of examples/, or empty
    std::string text;    // the scenario when there is no example file
    Lines expected;
};

// Test listings name a case, not its bytes.
void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

Lines operator+(Lines a, const Lines &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using testkit::report;
using testkit::state;

const Lines bound = report("SOMEPLUGIN", "64", "-12345 0 0 0 0");

// The same of a qzkorvel box named "editor".
const Lines editor_bound = report("SOMEPLUGIN", "64", "-12345 0 0 0 0", "editor");

// The same with the state list it took over: restored, or an adopted editor.
Lines restored_bound(const std::string &list)
{
    return report("SOMEPLUGIN", "64", list, "editor");
}

// A bound pattr's output of a list, alone, before the editor's report of
// it, and before the last line of the binding report.
Lines out_of(const std::string &pattr, const std::string &list)
{
    return Lines{"out " + pattr + " list " + list};
}

Lines with(const std::string &pattr, const std::string &list)
{
    return out_of(pattr, list) + state(list, "editor");
}

Lines bound_with(const std::string &pattr, const std::string &list)
{
    Lines lines = restored_bound(list);
    lines.insert(lines.end() - 1, out_of(pattr, list).front());
    return lines;
}

// The report of a qzkorvel box "q" bound to a box with no plug-in.
const Lines unbound_q = report("free", "0", "-12345 0 0 0 0", "q");

// A bound qzkorvel#1 beside a vst~ box "synth" that hosts SOMEPLUGIN.
const std::string bound_setup = R"(
plugin SOMEPLUGIN 640x480 delay 64
box synth = vst~ SOMEPLUGIN
box qzkorvel synth
pass
)";

// The same with stayontop on, and the editor open.
const std::string stayontop_open = R"(
plugin SOMEPLUGIN 640x480 delay 64
box synth = vst~ SOMEPLUGIN
box qzkorvel synth @stayontop 1
pass
send qzkorvel#1 open 100 200
pass 2
)";

// A bound qzkorvel#1 with its editor open and active, below it another
// application's window, which lies above the host's own.
const std::string foreign_above = bound_setup + R"(
window 900 100 300 200
send qzkorvel#1 open 100 200
pass 2
user activate editor
)";

const std::vector<Case> cases = {
    {"binding_report", "binding-report.ksim", "", bound},
    {"plugin_change", "plugin-change.ksim", "",
     bound + Lines{"out qzkorvel#1 willchange"} + report("OTHERSYNTH", "32", "-12345 0 0 0 0") +
         Lines{"out qzkorvel#1 willchange"} + report("free", "0", "-12345 0 0 0 0")},
    {"delay_change", "delay-change.ksim", "", bound + Lines{"out qzkorvel#1 delay 256"}},
    {"target_renamed", "target-renamed.ksim", "",
     bound +
         Lines{"console warn qzkorvel: there's currently no object with the specified scriptingname in this "
               "patcher (synth)"} +
         bound + state("100 200 640 480 1")},
    {"target_deleted", "target-deleted.ksim", "",
     bound +
         Lines{"console warn qzkorvel: there's currently no object with the specified scriptingname in this "
               "patcher (synth)"} +
         report("OTHERSYNTH", "32", "-12345 0 0 0 0") + state("100 200 800 600 1")},
    {"out_of_view", "out-of-view.ksim", "",
     Lines{"console post ATTACHED TO OBJ", "console post PLUG LOADED"} +
         Lines{"out qzkorvel#1 pluginname SOMEPLUGIN", "out qzkorvel#1 savedpluginname SOMEPLUGIN",
               "out qzkorvel#1 delay 64", "console post checkWindowState()"} +
         state("-12345 0 0 0 0") +
         Lines{"console post predefined POS is out of view, open centered",
               "console post FOUND NEW OPEN WINDOW --> attach", "console post korvel_pos()",
               "console post finding centered pos for window", "console post vstsize: 640 480 ",
               "console post open centered", "console post 50  50", "console post --> attach window observer",
               "console post checkWindowState()"} +
         state("640 200 640 480 1") + Lines{"look editor 640 200 640 480 visible topmost toolwindow active"}},
    {"hide_show", "hide-show.ksim", "",
     bound + state("100 200 640 480 1") + state("100 200 640 480 2") +
         Lines{"look editor 100 200 640 480 hidden topmost toolwindow"} + state("100 200 640 480 1") +
         Lines{"look editor 100 200 640 480 visible topmost toolwindow"}},
    {"background", "background.ksim", "",
     bound + state("100 200 640 480 1") +
         // out of sight with the host, back with it
         // (the application gives activation back to the editor, which had it)
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         // hidden by request while in the background, and reported so: stays hidden
         state("100 200 640 480 1") + state("100 200 640 480 2") +
         Lines{"look editor 100 200 640 480 hidden topmost toolwindow active"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         // away again; a state list with vis 1 brings it back in sight
         state("100 200 640 480 1") + state("100 200 640 480 1") +
         Lines{"look editor 100 200 640 480 visible topmost toolwindow"} +
         // closed, then restored while still away: opening it brings the
         // host back (the observer, not yet in place, does not hear of it)
         state("100 200 640 480 0") + state("300 250 640 480 1") +
         Lines{"look editor 300 250 640 480 visible topmost toolwindow active"}},
    {"other_application", "other-application.ksim", "",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"}},
    {"state_restore", "state-restore.ksim", "",
     bound + state("300 250 640 480 1") + state("300 250 640 480 0") + state("300 250 640 480 2") +
         Lines{"look editor 300 250 640 480 hidden topmost toolwindow"} + state("300 250 640 480 1") +
         Lines{"look editor 300 250 640 480 visible topmost toolwindow"}},
    {"clear_and_rebind", "clear.ksim", "",
     bound + state("100 200 640 480 1") + state("100 200 640 480 0") + report("SOMEPLUGIN", "64", "100 200 0 0 0") +
         state("100 200 640 480 1")},
    // A plug-in path with blanks survives the retyping of its box.
    {"clear_keeps_a_quoted_plugin_path", "", R"(
plugin "EWI USB" 640x480
box synth = vst~ 2 2 "C:/Program Files/Acme/EWI USB.dll"
box qzkorvel synth
pass
send qzkorvel#1 clear
pass 2
)",
     report("EWI USB", "0", "-12345 0 0 0 0") + report("EWI USB", "0", "-12345 0 0 0 0")},
    // A plug-in whose name reads as a number keeps it through the retyping.
    {"clear_keeps_a_numeric_plugin_name", "", R"(
plugin 123 640x480
box synth = vst~ "123"
box qzkorvel synth
pass
send qzkorvel#1 clear
pass 2
)",
     report("123", "0", "-12345 0 0 0 0") + report("123", "0", "-12345 0 0 0 0")},
    // A box named after itself: clear retypes the box that holds the clearing
    // object, which the host frees before clear returns.
    {"clear_of_its_own_box", "", R"(
box q = qzkorvel q
pass
send q clear
pass 2
send q direct_clear
pass 2
)",
     unbound_q + unbound_q + unbound_q},
    {"demo", "demo.ksim", "",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         state("260 190 640 480 1") + state("260 190 640 480 1") +
         Lines{"look editor 260 190 640 480 hidden topmost toolwindow"} + state("260 190 640 480 1") +
         state("260 190 640 480 2") + state("260 190 640 480 1") + state("260 190 640 480 0") +
         Lines{"look editor none"}},

    // Without a scripting name nothing is made; the message says why.
    {"no_scripting_name", "", "box qzkorvel\npass\n",
     {"console error Please use the scripting name of the target vst object as first argument when you create the "
      "qzkorvel object."}},

    // A first argument that names no box: the object is made, says what it
    // needs, keeps its attributes and binds to nothing.
    {"first_argument_not_a_name", "", R"(
box synth = vst~
box qzkorvel 5
box qzkorvel @debug 1
box qzkorvel -2.5 @stayontop 1
pass 2
send qzkorvel#2 open 100 200
pass 2
)",
     {"console error qzkorvel: the first argument must be the scripting name of the target vst object, not the "
      "number 5",
      "console error qzkorvel: the first argument must be the scripting name of the target vst object, not "
      "\"@debug\"",
      "console error qzkorvel: the first argument must be the scripting name of the target vst object, not the "
      "number -2.5",
      "console error qzkorvel: can't find the vst object with this scriptingname in this patcher ()"}},

    // Binding without a target, or with one that hosts no plug-in.
    {"missing_box_warns_once", "", R"(
box qzkorvel nosuch
pass 3
)",
     {"console warn qzkorvel: there's currently no object with the specified scriptingname in this patcher "
      "(nosuch)"}},
    {"no_plugin_loaded", "", R"(
box synth = vst~
box qzkorvel synth
pass
send qzkorvel#1 open 100 200
pass 2
look editor
)",
     report("free", "0", "-12345 0 0 0 0") + Lines{"console error qzkorvel: open: No plugin loaded.", "look editor none"}},

    // The editor opened elsewhere is the one window of the process that
    // appeared, taken and moved onto the point; none at all is said.
    {"editor_elsewhere_taken", "", bound_setup + R"(
misbehave synth offset 30 0
send qzkorvel#1 open 100 200
pass 3
user close editor
pass
misbehave synth noeditor
send qzkorvel#1 open 100 200
pass 301
)",
     bound + state("100 200 640 480 1") + state("100 200 640 480 0") +
         Lines{"console error critical: NEW WINDOW NOT FOUND"}},

    // Windows of other applications already on the point are never taken.
    {"known_windows_skipped", "", bound_setup + R"(
window 100 200 300 100 3
send qzkorvel#1 open 100 200
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"}},

    // Centring on a display left of the primary one: -650.5 truncates to -650.
    {"centred_on_left_display", "", R"(
display 0 0 1920 1040
display -800 0 800 984
mouse -400 500
plugin SMALL 501x400
box synth = vst~ SMALL
box qzkorvel synth
pass
send qzkorvel#1 open
pass 2
look editor
)",
     report("SMALL", "0", "-12345 0 0 0 0") + state("-650 212 501 400 1") +
         Lines{"look editor -650 212 501 400 visible topmost toolwindow active"}},

    // A point inside the rectangle around both displays but on neither is
    // out of view: the editor is centred. A point on the upper display is
    // kept.
    {"point_between_displays", "", R"(
display 0 0 1920 1080
display 1920 -1080 1920 1080
mouse 500 500
plugin SOMEPLUGIN 640x480 delay 64
box synth = vst~ SOMEPLUGIN
box qzkorvel synth
pass
send qzkorvel#1 open 100 -500
pass 2
send qzkorvel#1 close
pass 2
send qzkorvel#1 state 2000 -500 640 480 1
pass 2
)",
     bound + state("640 220 640 480 1") + state("640 220 640 480 0") + state("2000 -500 640 480 1")},

    // "pos" moves the client origin exactly onto the point, without activating.
    {"pos_moves_client_origin", "", bound_setup + R"(
send qzkorvel#1 open 100 200
pass 2
send qzkorvel#1 pos 333 222
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + state("333 222 640 480 1") +
         Lines{"look editor 333 222 640 480 visible topmost toolwindow active"}},

    // Extreme numbers saturate instead of wrapping, and a point is brought
    // into the range of window coordinates before it reaches the vst object
    // or a window call: the frame stops at 32767 (caption and border put
    // the client origin a little further).
    {"extreme_coordinates_saturate", "", bound_setup + R"(
send qzkorvel#1 open 100 200
pass 2
send qzkorvel#1 pos 40000 40000
pass 2
send qzkorvel#1 pos 4294954951 2147483648
pass 2
send qzkorvel#1 close
pass 2
send qzkorvel#1 open 1e300 200
pass 2
send qzkorvel#1 close
pass 2
send qzkorvel#1 state 4294967396 300 640 480 1
pass 2
)",
     bound + state("100 200 640 480 1") + state("32771 32787 640 480 1") + state("32771 32787 640 480 1") +
         state("32771 32787 640 480 0") + state("640 200 640 480 1") + state("640 200 640 480 0") +
         state("640 200 640 480 1")},

    // A resize after the capture keeps the client area where it starts: the
    // frame was laid out for the tool window's caption at the capture. Two
    // resizes before a pass give one report; a move to where it is, none.
    {"user_resize_after_capture", "", bound_setup + R"(
send qzkorvel#1 open 100 200
pass 2
user resize editor 700 520
user resize editor 720 530
pass
look editor
user move editor 100 200
pass
look editor
)",
     bound + state("100 200 640 480 1") + state("100 200 720 530 1") +
         Lines{"look editor 100 200 720 530 visible topmost toolwindow active",
               "look editor 100 200 720 530 visible topmost toolwindow active"}},

    // No frame grows beyond the virtual screen, all displays together, plus
    // 12 pixels: a tool window's client area holds at most 1924x1068 on one
    // display of 1920x1080 (examples/wide-desktop.ksim has two).
    {"user_resize_beyond_the_screen", "", bound_setup + R"(
send qzkorvel#1 open 100 200
pass 2
user resize editor 2500 1200
pass
look editor
)",
     bound + state("100 200 640 480 1") + state("100 200 1924 1068 1") +
         Lines{"look editor 100 200 1924 1068 visible topmost toolwindow active"}},
    // With stayontop the editor stays in sight while the host is away, and
    // "hide" and "show" act at once, as if the host were active.
    {"stayontop_keeps_editor", "", stayontop_open + R"(
app background
pass
look editor
send qzkorvel#1 hide
pass 2
look editor
send qzkorvel#1 show
pass 2
look editor
app foreground
pass
)",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow"} +
         state("100 200 640 480 2") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow"}},

    // Another application's window takes activation; with stayontop the
    // editor stays in sight.
    {"other_application_with_stayontop", "", stayontop_open + R"(
window 900 100 300 200
user activate window
pass
look editor
app foreground
pass
look editor
)",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow"} +
         Lines{"look editor 100 200 640 480 visible topmost toolwindow active"}},

    // A click on the editor brings the host back from the background, as
    // a click does: the next switch away hides the editor again.
    {"user_activate_brings_the_host_back", "", stayontop_open + R"(
app background
pass
user activate editor
pass
look editor
send qzkorvel#1 stayontop 0
app background
pass
look editor
)",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"}},

    // Hiding the active editor hands activation on.
    // The state system stores the editor's state list with the patch and
    // gives it back when the patch opens again; the editor reopens where
    // it was, hidden when it was hidden, and stays closed when it was.
    // After a reopen the binding report shows the restored list, which the
    // state system reads back at once; the editor follows in the next pass.
    {"layout_autopattr", "layout-autopattr.ksim", "",
     editor_bound + state("300 200 640 480 1", "editor") + restored_bound("300 200 640 480 1") +
         state("300 200 640 480 1", "editor") + Lines{"look editor 300 200 640 480 visible topmost toolwindow active"} +
         state("500 400 640 480 1", "editor") + restored_bound("500 400 640 480 1") +
         state("500 400 640 480 1", "editor") + Lines{"look editor 500 400 640 480 visible topmost toolwindow active"} +
         state("500 400 640 480 0", "editor") + restored_bound("500 400 640 480 0") + Lines{"look editor none"}},
    // A bound pattr sends each list the editor reports out of its outlet,
    // and the restored one.
    {"layout_pattr", "layout-pattr.ksim", "",
     bound_with("pattr#1", "-12345 0 0 0 0") + with("pattr#1", "120 160 640 480 1") +
         with("pattr#1", "120 160 640 480 2") + out_of("pattr#1", "120 160 640 480 2") +
         bound_with("pattr#1", "120 160 640 480 2") + with("pattr#1", "120 160 640 480 2") +
         Lines{"look editor 120 160 640 480 hidden topmost toolwindow"}},
    // A recall sends the preset's list out of the pattr at once, and again
    // when the editor's report follows.
    {"layout_presets", "layout-presets.ksim", "",
     bound_with("layout", "-12345 0 0 0 0") + with("layout", "100 200 640 480 1") +
         with("layout", "600 300 640 480 1") + with("layout", "600 300 640 480 0") +
         out_of("layout", "100 200 640 480 1") + with("layout", "100 200 640 480 1") +
         Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         // preset 2 moves the open editor
         out_of("layout", "600 300 640 480 1") + with("layout", "600 300 640 480 1") +
         Lines{"look editor 600 300 640 480 visible topmost toolwindow active"} +
         out_of("layout", "600 300 640 480 0") + with("layout", "600 300 640 480 0") + Lines{"look editor none"}},
    // The new object of a retyped box takes over the editor the old one
    // left open as it binds: its report shows it, pos moves it and close
    // closes it.
    {"retype_keeps_the_editor", "retype.ksim", "",
     editor_bound + state("100 200 640 480 1", "editor") + restored_bound("100 200 640 480 1") +
         Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         state("400 300 640 480 1", "editor") +
         Lines{"look editor 400 300 640 480 visible topmost toolwindow active"} +
         state("400 300 640 480 0", "editor") + Lines{"look editor none"}},
    {"hide_active_editor", "", bound_setup + R"(
send qzkorvel#1 open 100 200
pass 2
user activate editor
look editor
send qzkorvel#1 hide
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow active"} +
         state("100 200 640 480 2") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"}},

    // Another application's window lies above the host's: when the active
    // editor goes (hidden, closed by the user, destroyed by the plug-in),
    // that window is next in z-order and takes activation, and the host
    // goes to the background. An editor reopened then brings the host back,
    // and a "hide" hides it.
    {"hide_active_editor_under_another_application", "", foreign_above + R"(
send qzkorvel#1 hide
pass 2
look editor
send qzkorvel#1 show
pass 2
look editor
app foreground
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + state("100 200 640 480 2") +
         Lines{"look editor 100 200 640 480 hidden topmost toolwindow",
               "look editor 100 200 640 480 hidden topmost toolwindow"} +
         state("100 200 640 480 1") + Lines{"look editor 100 200 640 480 visible topmost toolwindow"}},
    {"user_closes_active_editor_under_another_application", "", foreign_above + R"(
user close editor
pass 2
send qzkorvel#1 open 100 200
pass 2
send qzkorvel#1 hide
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + state("100 200 640 480 0") + state("100 200 640 480 1") +
         state("100 200 640 480 2") + Lines{"look editor 100 200 640 480 hidden topmost toolwindow"}},
    {"plugin_destroys_active_editor_under_another_application", "", foreign_above + R"(
unload synth
pass 2
load synth SOMEPLUGIN
pass 3
send qzkorvel#1 open 100 200
pass 2
send qzkorvel#1 hide
pass 2
look editor
)",
     bound + state("100 200 640 480 1") + Lines{"out qzkorvel#1 willchange"} +
         report("free", "0", "100 200 640 480 0") + Lines{"out qzkorvel#1 willchange"} +
         report("SOMEPLUGIN", "64", "100 200 0 0 0") +
         state("100 200 640 480 1") + state("100 200 640 480 2") +
         Lines{"look editor 100 200 640 480 hidden topmost toolwindow"}},
};

class Scenario : public ::testing::TestWithParam<Case> {};

TEST_P(Scenario, PrintsItsTranscript)
{
    const Case &c = GetParam();
    std::string text = c.text;
    if (!c.example.empty()) {
        const auto it = examples().find(c.example);
        ASSERT_NE(it, examples().end()) << "no example " << c.example;
        text = it->second;
    }
    testkit::World world;
    const Lines load = world.lines();
    ASSERT_EQ(load.size(), 1u) << testkit::diff({"(the banner)"}, load);
    EXPECT_TRUE(std::regex_match(load[0], std::regex("console post qzkorvel 2024/01/09 [^ ]+ ")))
        << "banner: '" << load[0] << "'";
    const Lines actual = testkit::Player(world).play(text, c.example.empty() ? c.name : c.example);
    print_transcript(c.name, actual);
    EXPECT_TRUE(same_lines(c.expected, actual));
}

INSTANTIATE_TEST_SUITE_P(All, Scenario, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case> &info) { return info.param.name; });

} // namespace
