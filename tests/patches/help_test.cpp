// The help patch of the package in the simulated host: it opens with every
// box known, its tour prints the reviewed transcript, and each of its message
// boxes, clicked, does what the object promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "files.h"
#include "simhost.h"
#include "testkit.h"
#include "transcript.h"

namespace {

using Lines = std::vector<std::string>;

const std::string help_file = "package/qzkorvel/help/qzkorvel.maxhelp";

Lines split(const std::string &text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool has(const Lines &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The help patch opened and settled, as korvel-sim leaves it before a
// scenario; the transcript so far is in `opened`.
struct Help {
    testkit::World world;
    Lines opened;

    Help()
    {
        world.open_patch(files().at(help_file), "qzkorvel.maxhelp");
        world.settle();
        opened = world.lines();
    }

    // Clicks a box and runs the queue dry; the lines that made.
    Lines click(const std::string &id)
    {
        world.click(id);
        world.settle();
        return world.lines();
    }

    std::string shown(const std::string &id) { return simhost_box_text(world.find(id)); }
};

// The message boxes that the tests below click; the tour clicks the rest.
const std::set<std::string> clicked_by_tests = {"obj-7",  "obj-10", "obj-11", "obj-20", "obj-21", "obj-23",
                                                "obj-24", "obj-32", "obj-34", "obj-36", "obj-38"};

TEST(HelpPatch, OpensWithEveryBoxKnown)
{
    Help help;
    for (const std::string &line : help.opened)
        EXPECT_EQ(line.rfind("console warn", 0), std::string::npos) << line;
    t_object *patcher = help.world.patcher();
    ASSERT_GT(simhost_patcher_boxcount(patcher), 0);
    for (long i = 0; i < simhost_patcher_boxcount(patcher); ++i) {
        t_object *box = simhost_patcher_box(patcher, i);
        const std::string maxclass = simhost_box_maxclass(box);
        if (maxclass != "comment") {
            EXPECT_NE(jbox_get_object(box), nullptr) << maxclass << " " << simhost_box_text(box);
        }
    }
}

TEST(HelpPatch, EveryMessageBoxIsClicked)
{
    Help help;
    std::set<t_object *> clicked;
    for (const std::string &line : split(files().at("examples/tour.ksim")))
        if (line.rfind("click ", 0) == 0)
            clicked.insert(help.world.find(line.substr(6)));
    for (const std::string &id : clicked_by_tests)
        clicked.insert(help.world.find(id));
    t_object *patcher = help.world.patcher();
    for (long i = 0; i < simhost_patcher_boxcount(patcher); ++i) {
        t_object *box = simhost_patcher_box(patcher, i);
        if (std::string(simhost_box_maxclass(box)) == "message") {
            EXPECT_EQ(clicked.count(box), 1u) << "nobody clicks the message box \"" << simhost_box_text(box) << "\"";
        }
    }
}

// The tour as korvel-sim plays it, against the reviewed transcript. Its
// pictures go to a folder of the test's own, which goes with the test.
TEST(HelpPatch, TourPrintsTheReviewedTranscript)
{
    const std::filesystem::path pictures = std::filesystem::temp_directory_path() / "qzkorvel-tour";
    std::filesystem::create_directories(pictures);
    Lines actual;
    {
        Help help;
        help.world.picture_directory(pictures.string());
        actual = help.opened;
        const Lines played = testkit::Player(help.world).play(files().at("examples/tour.ksim"), "tour.ksim");
        actual.insert(actual.end(), played.begin(), played.end());
    }
    print_transcript("tour.ksim", actual);
    EXPECT_TRUE(std::filesystem::exists(pictures / "tour-open.svg"));
    std::filesystem::remove_all(pictures);
    const Lines expected = split(files().at("tests/patches/tour.expected"));
    EXPECT_EQ(expected, actual) << testkit::diff(expected, actual);
}

// The report reaches the console through [print] and the four message boxes
// through [route] and [prepend set]; clicked, each sends what it shows.
TEST(HelpPatch, ReportShowsInTheMessageBoxes)
{
    Help help;
    EXPECT_TRUE(has(help.opened, "console post qzkorvel: pluginname MyPlugin"));
    EXPECT_EQ(help.shown("obj-32"), "MyPlugin");
    EXPECT_EQ(help.shown("obj-34"), "MyPlugin");
    EXPECT_EQ(help.shown("obj-36"), "0");
    EXPECT_EQ(help.shown("obj-38"), "-12345 0 0 0 0");
    help.click("obj-8");
    EXPECT_EQ(help.shown("obj-38"), "100 200 640 480 1");

    EXPECT_EQ(help.click("obj-32"), (Lines{"out message#14 MyPlugin"}));
    EXPECT_EQ(help.click("obj-34"), (Lines{"out message#15 MyPlugin"}));
    EXPECT_EQ(help.click("obj-36"), (Lines{"out message#16 int 0"}));
    EXPECT_EQ(help.click("obj-38"), (Lines{"out message#17 list 100 200 640 480 1"}));
}

// "open" without a place centres the editor on the display under the mouse.
TEST(HelpPatch, OpenCentresOnTheDisplayUnderTheMouse)
{
    Help help;
    help.world.display(1920, 0, 1280, 1024);
    help.world.mouse(2500, 500);
    help.click("obj-7");
    HWND editor = help.world.editor();
    ASSERT_NE(editor, nullptr);
    const testkit::Point at = testkit::World::client_origin(editor);
    const testkit::Size size = testkit::World::client_size(editor);
    EXPECT_LE(std::abs(at.x + size.width / 2 - (1920 + 640)), 1) << at.x;
    EXPECT_GE(at.y, 0);
    EXPECT_LE(at.y + size.height, 1024);
}

// "pos 300 200" moves the open editor there; "pos -12345 0" centres it.
TEST(HelpPatch, PosMovesTheEditor)
{
    Help help;
    help.click("obj-8");
    EXPECT_TRUE(has(help.click("obj-10"), "out qzkorvel#1 state 300 200 640 480 1"));
    HWND editor = help.world.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(testkit::World::client_origin(editor).x, 300);
    EXPECT_EQ(testkit::World::client_origin(editor).y, 200);

    help.click("obj-11");
    EXPECT_EQ(testkit::World::client_origin(editor).x, 960 - 320);
    EXPECT_EQ(help.world.editor(), editor);
}

// "debug 1" makes the object trace what it does; "debug 0" stops it.
TEST(HelpPatch, DebugTurnsTracesOnAndOff)
{
    Help help;
    const std::string trace = "console post close: window not opened";
    EXPECT_FALSE(has(help.click("obj-16"), trace));
    help.click("obj-20");
    EXPECT_TRUE(has(help.click("obj-16"), trace));
    help.click("obj-21");
    EXPECT_FALSE(has(help.click("obj-16"), trace));
}

// "stayontop 1" keeps the editor in sight while Max is in the background;
// "stayontop 0" lets it go out of sight with Max again.
TEST(HelpPatch, StayOnTopKeepsTheEditorInTheBackground)
{
    Help help;
    help.click("obj-8");
    HWND editor = help.world.editor();
    ASSERT_NE(editor, nullptr);
    help.click("obj-23");
    help.world.app_background();
    help.world.settle();
    EXPECT_TRUE(testkit::World::visible(editor));
    help.world.app_foreground();
    help.click("obj-24");
    help.world.app_background();
    help.world.settle();
    EXPECT_FALSE(testkit::World::visible(editor));
}

} // namespace
