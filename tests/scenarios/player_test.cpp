// The player's own behaviour: its errors name file and line, its lines and
// comments are read as written, and boxes are named as scenarios name them.
#include <gtest/gtest.h>

#include "simhost.h"
#include "testkit.h"
#include "transcript.h"

namespace {

using Lines = std::vector<std::string>;

struct Fault {
    const char *text;
    std::string message;
};

const Fault faults[] = {
    {"frobnicate 1 2", "t.ksim:1: unknown command 'frobnicate' (korvel-sim --help lists the commands)"},
    {"pas 2", "t.ksim:1: unknown command 'pas'; did you mean 'pass'? (pass [N])"},
    {"snapshots x.svg", "t.ksim:1: unknown command 'snapshots'; did you mean 'snapshot'? (snapshot FILE.svg | "
                        "snapshot FILE.png)"},
    {"Look editor", "t.ksim:1: unknown command 'Look'; did you mean 'look'? (look editor [BOX] | look patch)"},
    {"# comment\n\nsend nosuch open", "t.ksim:3: unknown box 'nosuch'"},
    {"send vst~#2 open", "t.ksim:1: unknown box 'vst~#2'"},
    {"send qzkorvel#0 open", "t.ksim:1: unknown box 'qzkorvel#0'"},
    {"pass x", "t.ksim:1: malformed line: 'x' is not a whole number"},
    {"pass 0", "t.ksim:1: malformed line: '0' is not a positive number"},
    {"pass 1 2", "t.ksim:1: malformed line: usage: pass [N]"},
    {"pass 99999999999", "t.ksim:1: malformed line: '99999999999' is not a whole number"},
    {"display 0 0 1920", "t.ksim:1: malformed line: usage: display X Y W H [scale P] | display resize N X Y W H "
                         "[scale P] | display remove N"},
    {"display 0 0 1920 1080 size 150", "t.ksim:1: malformed line: usage: display X Y W H [scale P] | display resize "
                                       "N X Y W H [scale P] | display remove N"},
    {"display 0 0 1920 1080 scale", "t.ksim:1: malformed line: usage: display X Y W H [scale P] | display resize N X "
                                    "Y W H [scale P] | display remove N"},
    {"display remove 2", "t.ksim:1: no display 2 (there are 1)"},
    {"display remove 1", "t.ksim:1: the last display cannot go"},
    {"display resize 1 0 0 0 10", "t.ksim:1: malformed line: '0' is not a positive number"},
    {"mouse 1 2.5", "t.ksim:1: malformed line: '2.5' is not a whole number"},
    {"plugin P 640by480", "t.ksim:1: malformed line: '640by480' is not a size WxH"},
    {"plugin P 640x0", "t.ksim:1: malformed line: '0' is not a positive number"},
    {"plugin P 640x480 latency 3", "t.ksim:1: malformed line: usage: plugin NAME WxH [delay N]"},
    {"box", "t.ksim:1: malformed line: usage: box [NAME =] TEXT..."},
    {"box synth =", "t.ksim:1: malformed line: usage: box [NAME =] TEXT..."},
    {"box = vst~", "t.ksim:1: malformed line: usage: box [NAME =] TEXT..."},
    {"send qzkorvel#1", "t.ksim:1: malformed line: usage: send BOX SELECTOR ATOMS..."},
    {"load \"My Synth", "t.ksim:1: malformed line: unterminated quote"},
    {"user move editor 1 2", "t.ksim:1: no editor open"},
    {"look editor\nuser close editor", "t.ksim:2: no editor open"},
    {"user move window 1 2", "t.ksim:1: no window made"},
    {"user move frame 1 2", "t.ksim:1: unknown window 'frame' (the windows are 'editor', 'editor BOX' and 'window')"},
    {"user fly editor", "t.ksim:1: malformed line: usage: user move WINDOW X Y | user resize WINDOW W H | user "
                        "close WINDOW | user activate WINDOW | user minimise WINDOW | user restore WINDOW"},
    {"app sideways", "t.ksim:1: malformed line: usage: app background | app foreground"},
    {"box k = qzkorvel synth\nload k OTHER", "t.ksim:2: box 'k' holds no vst~ object"},
    {"box qzkorvel\nsend qzkorvel#1 open", "t.ksim:2: box 'qzkorvel#1' holds no object"},
    {"misbehave qzkorvel#9 noeditor", "t.ksim:1: unknown box 'qzkorvel#9'"},
    {"box s = vst~\nmisbehave s sideways", "t.ksim:2: malformed line: usage: misbehave BOX offset DX DY | "
                                           "misbehave BOX noeditor | misbehave BOX normal"},
    {"host no-such-variant", "t.ksim:1: the host has no variant \"no-such-variant\" (korvel-sim --host list shows "
                             "them)"},
    {"box s = vst~\nhost vst-quiet-change",
     "t.ksim:2: host vst-quiet-change: host variants are chosen before the first box"},
    {"window 1 2 3 4 0", "t.ksim:1: malformed line: '0' is not a positive number"},
    {"expect /[/", "t.ksim:1: malformed line: /[/ is no regular expression: Unexpected character within '[...]' "
                   "in regular expression"},
    {"box s = vst~\nuser close editor s", "t.ksim:2: no editor open for 's'"},
    {"box s = vst~\nlook editor nosuch", "t.ksim:2: unknown box 'nosuch'"},
    {"box q = qzkorvel other\nuser close editor q", "t.ksim:2: box 'q' is no vst~ box and names none"},
    {"window 1 2 3 4\nuser close window q", "t.ksim:2: malformed line: usage: user move WINDOW X Y | user resize "
                                            "WINDOW W H | user close WINDOW | user activate WINDOW | "
     "user minimise WINDOW | user restore WINDOW"},
    {"box s = vst~\nbox s/q = qzkorvel s", "t.ksim:2: box 's' is no subpatcher of the patch file"},
    {"display 2147483000 0 2147483647 100",
     "t.ksim:1: number out of range: '2147483000': a coordinate is -32768 to 32767"},
    {"display resize 1 0 0 32768 100", "t.ksim:1: number out of range: '32768': a width or height is 1 to 32767"},
    {"display 0 0 1920 1080 scale 99", "t.ksim:1: number out of range: '99': a display's scale is 100 to 500"},
    {"display resize 1 0 0 1920 1080 scale 501",
     "t.ksim:1: number out of range: '501': a display's scale is 100 to 500"},
    {"mouse 0 -32769", "t.ksim:1: number out of range: '-32769': a coordinate is -32768 to 32767"},
    {"plugin P 40000x480", "t.ksim:1: number out of range: '40000': a width or height is 1 to 32767"},
    {"window 1 2 3 4\nuser move window 2147483647 0",
     "t.ksim:2: number out of range: '2147483647': a coordinate is -32768 to 32767"},
    {"window 1 2 3 4\nuser resize window 100 2147483647",
     "t.ksim:2: number out of range: '2147483647': a width or height is 1 to 32767"},
    {"box s = vst~\nmisbehave s offset 0 99999", "t.ksim:2: number out of range: '99999': a coordinate is -32768 to 32767"},
    {"pass 2000000000", "t.ksim:1: number out of range: '2000000000': a count of passes is 1 to 100000"},
    {"window 1 2 3 4 2000000000", "t.ksim:1: number out of range: '2000000000': a count of windows is 1 to 10000"},
};

void PrintTo(const Fault &f, std::ostream *os)
{
    for (const char *c = f.text; *c; ++c)
        *os << (*c == '\n' ? " / " : std::string(1, *c));
}

/* The error that playing text as t.ksim stops with, "" for none; the
 * lines played before it go to seen. */
std::string play_error(testkit::Player &player, const std::string &text, Lines &seen)
{
    try {
        player.play(text, "t.ksim", [&seen](const std::string &l) { seen.push_back(l); });
    } catch (const testkit::Error &e) {
        return e.what();
    }
    return "";
}

class PlayerFault : public ::testing::TestWithParam<Fault> {};

TEST_P(PlayerFault, StopsWithFileAndLine)
{
    testkit::World world;
    testkit::Player player(world);
    Lines seen;
    EXPECT_EQ(play_error(player, GetParam().text, seen), GetParam().message) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Lines, PlayerFault, ::testing::ValuesIn(faults));

// What came before the faulty line has reached the sink, in order, and
// nothing after it ran.
TEST(Player, DeliversTheTranscriptUpToTheError)
{
    testkit::World world;
    Lines seen;
    const char *text = "box qzkorvel nosuch\npass\nfrobnicate\nbox qzkorvel other\npass\n";
    EXPECT_THROW(testkit::Player(world).play(text, "t.ksim", [&seen](const std::string &l) { seen.push_back(l); }),
                 testkit::Error);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].rfind("console post qzkorvel 2024/01/09 ", 0), 0u) << seen[0];
    EXPECT_EQ(seen[1], "console warn qzkorvel: there's currently no object with the specified scriptingname in "
                       "this patcher (nosuch)");
    EXPECT_TRUE(world.lines().empty());
}

// "#" opens a comment only at the start of a word; CRLF endings and blank
// lines are read as any other; quoted words keep their blanks.
TEST(Player, ReadsCommentsQuotesAndLineEndings)
{
    testkit::World world;
    world.lines();
    const char *text = "# a vst~ box and two qzkorvel boxes\r\n"
                       "plugin \"My Synth\" 320x240 delay 5   # quoted name\r\n"
                       "\r\n"
                       "   box synth = vst~ \"My Synth\"\r\n"
                       "box qzkorvel synth\t#bound\r\n"
                       "box qzkorvel nosuch\r\n"
                       "pass#this is no comment, so this line is faulty\r\n";
    Lines seen;
    testkit::Player player(world);
    EXPECT_EQ(play_error(player, text, seen),
              "t.ksim:7: unknown command 'pass#this' (korvel-sim --help lists the commands)");
    EXPECT_TRUE(same_lines({}, seen));
    const Lines after = testkit::Player(world).play("pass\n", "t.ksim");
    const Lines expected = {
        "out qzkorvel#1 pluginname My Synth",
        "out qzkorvel#1 savedpluginname My Synth",
        "out qzkorvel#1 delay 5",
        "out qzkorvel#1 state -12345 0 0 0 0",
        "console warn qzkorvel: there's currently no object with the specified scriptingname in this patcher "
        "(nosuch)",
    };
    EXPECT_TRUE(same_lines(expected, after));
}

// CLASS#N counts the boxes of one class in creation order, empty boxes too,
// and keeps counting past deleted ones; a scripting name wins over it.
TEST(World, NamesBoxesAsScenariosDo)
{
    testkit::World world;
    t_object *a = world.box("qzkorvel");
    t_object *b = world.box("qzkorvel x");
    t_object *v = world.box("vst~", "synth");
    t_object *c = world.box("qzkorvel y", "third");
    EXPECT_EQ(world.find("qzkorvel#1"), a);
    EXPECT_EQ(world.find("qzkorvel#2"), b);
    EXPECT_EQ(world.find("vst~#1"), v);
    EXPECT_EQ(world.find("synth"), v);
    EXPECT_EQ(world.find("qzkorvel#3"), c);
    EXPECT_EQ(world.name_of(b), "qzkorvel#2");
    EXPECT_EQ(world.name_of(v), "synth");
    EXPECT_EQ(world.name_of(c), "third");
    EXPECT_EQ(jbox_get_object(a), nullptr);
    world.remove("qzkorvel#2");
    EXPECT_THROW(world.find("qzkorvel#2"), testkit::Error);
    t_object *d = world.box("qzkorvel z");
    EXPECT_EQ(world.name_of(d), "qzkorvel#4");
    world.rename("synth", "synth2");
    EXPECT_THROW(world.find("synth"), testkit::Error);
    EXPECT_EQ(world.find("synth2"), v);
    EXPECT_EQ(world.name_of(v), "synth2");
}

TEST(World, OnlyOneAtATime)
{
    testkit::World world;
    EXPECT_THROW(testkit::World(), testkit::Error);
}

// Another application's windows: where they were asked for, not this
// program's (under Windows, another process's), and a click on one takes
// activation from this application; they go with the World.
TEST(World, ForeignWindowsBelongToAnotherApplication)
{
    HWND first = nullptr;
    {
        testkit::World world;
        world.box("vst~");
        first = world.foreign_window(10, 20, 300, 200);
        HWND last = world.foreign_window(40, 50, 200, 100);
        EXPECT_EQ(world.last_foreign_window(), last);
        EXPECT_TRUE(testkit::World::visible(first));
        EXPECT_EQ(testkit::World::client_origin(last).x, 40);
        EXPECT_EQ(testkit::World::client_origin(last).y, 50);
        EXPECT_EQ(testkit::World::client_size(last).width, 200);
#ifdef _WIN32
        DWORD process = 0;
        GetWindowThreadProcessId(first, &process);
        EXPECT_NE(process, GetCurrentProcessId());
#endif
        world.user_activate(static_cast<HWND>(simhost_patcher_window(world.patcher())));
        EXPECT_NE(testkit::World::active_window(), nullptr);
        world.user_activate(first);
        EXPECT_EQ(testkit::World::active_window(), nullptr);
    }
    EXPECT_FALSE(IsWindow(first));
}

const std::string two_synths = R"(
plugin ONE 300x200
plugin TWO 400x300
box a = vst~ ONE
box b = vst~ TWO
box qzkorvel a
box qzkorvel b
pass
send qzkorvel#1 open 100 100
send qzkorvel#2 open 600 100
pass 2
)";

// Expectations look at the lines since the last one met, in order, so a
// line met is not met again; a failed one does not stop the play, which ends
// with an error listing them all.
TEST(Player, ChecksExpectationsInOrderAndPlaysOn)
{
    testkit::World world;
    const std::string text = two_synths + R"(expect out qzkorvel#2 state 600 100 400 300 1
expect out qzkorvel#1 state 100 100 300 200 1
expect /^out qzkorvel#2 state 600/
expect no /qzkorvel#1/
look editor a
expect no /^look/
look editor b
expect look editor b 600 100 400 300 visible topmost toolwindow active
)";
    Lines seen;
    testkit::Player player(world);
    EXPECT_EQ(play_error(player, text, seen),
              "t.ksim:13: expect out qzkorvel#1 state 100 100 300 200 1\n"
              "  wanted a line 'out qzkorvel#1 state 100 100 300 200 1'\n"
              "  seen since the last expectation met: no lines\n"
              "  an earlier expectation, met, dropped a line it wants: out qzkorvel#1 state 100 100 300 200 1\n"
              "    t.ksim:12: expect out qzkorvel#2 state 600 100 400 300 1\n"
              "t.ksim:14: expect /^out qzkorvel#2 state 600/\n"
              "  wanted a line matching /^out qzkorvel#2 state 600/\n"
              "  seen since the last expectation met: no lines\n"
              "  an earlier expectation, met, dropped a line it wants: out qzkorvel#2 state 600 100 400 300 1\n"
              "    t.ksim:12: expect out qzkorvel#2 state 600 100 400 300 1\n"
              "t.ksim:17: expect no /^look/\n"
              "  wanted no line matching /^look/\n"
              "  seen since the last expectation met: 1 lines\n"
              "    > look editor a 100 100 300 200 visible topmost toolwindow");
    EXPECT_EQ(seen.back(), "look editor b 600 100 400 300 visible topmost toolwindow active");
}

// With echo, each command line and comment comes before what it makes; the
// step a report gets holds its comments, its lines and its failures.
TEST(Player, EchoesLinesAndReportsSteps)
{
    testkit::World world;
    testkit::Player player(world);
    player.echo(true);
    std::vector<testkit::Player::Step> steps;
    player.observe([&steps](const testkit::Player::Step &s) { steps.push_back(s); });
    Lines seen;
    const char *text =
        "# binding\nbox synth = vst~\n  box qzkorvel synth   # bound\npass\nsend qzkorvel#1 debug 0\nexpect nothing\n";
    EXPECT_THROW(player.play(text, "t.ksim", [&seen](const std::string &l) { seen.push_back(l); }), testkit::Error);
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(Lines(seen.begin() + 1, seen.begin() + 5),
              (Lines{"# binding", "> box synth = vst~", "> box qzkorvel synth   # bound", "> pass"}));
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].comments, "# binding\n");
    EXPECT_EQ(steps[2].number, 4u);
    EXPECT_EQ(steps[2].transcript.front(), "out qzkorvel#1 pluginname free");
    EXPECT_EQ(steps[4].failures.size(), 1u);
    // the box a line names, for the report's header
    EXPECT_EQ(steps[1].box, "");
    EXPECT_EQ(steps[3].box, "[qzkorvel synth]");
}

// "editor BOX" is the editor of that vst~ box, or of the one a qzkorvel box
// names; a box made at PATH/NAME lives in that subpatcher and binds there.
TEST(Player, NamesEditorsAndSubpatcherBoxes)
{
    testkit::World world;
    world.open_patch(R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "newobj", "text": "p inner",
        "patcher": {"boxes": [{"box": {"id": "obj-2", "maxclass": "newobj", "text": "vst~", "varname": "s"}}]}}}]}})",
                     "t.maxpat");
    const Lines lines = testkit::Player(world).play(two_synths + R"(user move editor qzkorvel#1 150 120
user close editor b
box obj-1/k = qzkorvel s
pass 3
look editor qzkorvel#1
look editor b
)");
    EXPECT_EQ(Lines(lines.end() - 7, lines.end()),
              (Lines{"out qzkorvel#2 state 600 100 400 300 0", "out obj-1/k pluginname free",
                     "out obj-1/k savedpluginname free", "out obj-1/k delay 0", "out obj-1/k state -12345 0 0 0 0",
                     "look editor qzkorvel#1 150 120 300 200 visible topmost toolwindow active",
                     "look editor b none"}));
    EXPECT_EQ(world.vst_boxes(), (Lines{"vst~ obj-1/obj-2 name s plugin -", "vst~ a name a plugin ONE",
                                        "vst~ b name b plugin TWO"}));
}

LPARAM display_change = 0;

LRESULT CALLBACK record_display_change(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DISPLAYCHANGE)
        display_change = lp;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A display that changes or goes: top-level windows hear of it with the
// primary display's new size, and stay where they were.
TEST(World, DisplayChangesAreBroadcast)
{
    testkit::World world;
    world.display(0, 0, 1600, 900);
    world.display(1600, 0, 300, 900);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = record_display_change;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "korvel_display_listener";
    ASSERT_NE(RegisterClassExA(&wc), 0);
    HWND hwnd = CreateWindowExA(0, "korvel_display_listener", "", WS_OVERLAPPEDWINDOW, 1650, 100, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
    display_change = 0;
    world.display_resize(1, 0, 0, 1280, 720);
    EXPECT_EQ(display_change, LPARAM(720 << 16 | 1280));
    world.display_remove(1);
    EXPECT_EQ(display_change, LPARAM(900 << 16 | 300));
    EXPECT_EQ(simhost_display_count(), 1);
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 1650);
    DestroyWindow(hwnd);
    UnregisterClassA("korvel_display_listener", wc.hInstance);
}

TEST(Diff, MarksWhatIsMissingAndWhatIsExtra)
{
    EXPECT_EQ(testkit::diff({"a", "b", "c", "d"}, {"a", "c", "x", "d", "e"}), "  a\n- b\n  c\n+ x\n  d\n+ e\n");
    EXPECT_EQ(testkit::diff({"a"}, {"b"}), "- a\n+ b\n");
    EXPECT_EQ(testkit::diff({}, {}), "");
}

} // namespace
