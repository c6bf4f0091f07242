// The help patch of the package in the simulated host: it opens with every
// box of its tabs known, its tour prints the reviewed transcript, and each
// of its message boxes, clicked, does what the object promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

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

// The boxes of a patcher and of all its subpatchers.
void walk(t_object *patcher, const std::function<void(t_object *)> &visit)
{
    for (long i = 0; i < simhost_patcher_boxcount(patcher); ++i) {
        t_object *box = simhost_patcher_box(patcher, i);
        visit(box);
        t_object *obj = jbox_get_object(box);
        if (obj && std::string(object_classname(obj)->s_name) == "patcher")
            walk(obj, visit);
    }
}

// Checks that each box of patcher, and of its subpatchers, ends within
// the width and height of the window the patcher opens in.
void fits(const nlohmann::json &patcher, const std::string &where)
{
    const double width = patcher["rect"][2], height = patcher["rect"][3];
    for (const nlohmann::json &item : patcher["boxes"]) {
        const nlohmann::json &box = item["box"];
        const nlohmann::json &r = box["patching_rect"];
        EXPECT_LE(r[0].get<double>() + r[2].get<double>(), width) << where << " " << box["id"];
        EXPECT_LE(r[1].get<double>() + r[3].get<double>(), height) << where << " " << box["id"];
        if (box.contains("patcher"))
            fits(box["patcher"], where + "/" + box["id"].get<std::string>());
    }
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

    // Every vst~ starts empty: the user clicks each tab's "plug" box and
    // chooses a plug-in, here MyPlugin. The lines that made.
    Lines choose()
    {
        world.plugin("MyPlugin", 640, 480);
        walk(world.patcher(), [](t_object *box) {
            if (std::string(simhost_box_maxclass(box)) == "message" && std::string(simhost_box_text(box)) == "plug")
                simhost_click(box);
        });
        world.settle();
        return world.lines();
    }
};

// The message boxes that the tests below click; the tour clicks the rest.
const std::set<std::string> clicked_by_tests = {"basics/obj-4",  "basics/obj-17", "basics/obj-18", "basics/obj-19",
                                                "basics/obj-20", "changes/obj-9", "changes/obj-10"};

TEST(HelpPatch, OpensWithEveryBoxKnown)
{
    Help help;
    for (const std::string &line : help.opened)
        EXPECT_EQ(line.rfind("console warn", 0), std::string::npos) << line;
    long boxes = 0;
    walk(help.world.patcher(), [&boxes](t_object *box) {
        ++boxes;
        if (std::string(simhost_box_maxclass(box)) != "comment") {
            EXPECT_NE(jbox_get_object(box), nullptr) << simhost_box_maxclass(box) << " " << simhost_box_text(box);
        }
    });
    EXPECT_GT(boxes, 4);
}

TEST(HelpPatch, EveryMessageBoxIsClicked)
{
    Help help;
    std::set<t_object *> clicked;
    for (const char *scenario : {"examples/tour.ksim", "tests/patches/data/help-promises.ksim"})
        for (const std::string &line : split(files().at(scenario)))
            if (line.rfind("click ", 0) == 0)
                clicked.insert(help.world.find(line.substr(6)));
    for (const std::string &id : clicked_by_tests)
        clicked.insert(help.world.find(id));
    walk(help.world.patcher(), [&clicked](t_object *box) {
        if (std::string(simhost_box_maxclass(box)) == "message") {
            EXPECT_EQ(clicked.count(box), 1u) << "nobody clicks the message box \"" << simhost_box_text(box) << "\"";
        }
    });
}

// The tour as korvel-sim plays it, against the reviewed transcript. Its
// pictures go to a folder of the test's own in the build tree (ctest runs
// the test there), which goes with the test: runs of other trees at the
// same time use folders of their own.
TEST(HelpPatch, TourPrintsTheReviewedTranscript)
{
    const std::filesystem::path pictures = std::filesystem::current_path() / "tour-pictures";
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
    EXPECT_TRUE(same_lines(expected, actual));
}

// What each tab's comments promise, played as a user reads them: the
// scenario quotes each promise above the expectations that check it.
TEST(HelpPatch, EveryTabKeepsItsPromises)
{
    Help help;
    testkit::Player player(help.world);
    player.before(help.opened);
    EXPECT_NO_THROW(player.play(files().at("tests/patches/data/help-promises.ksim"), "help-promises.ksim"));
}

// Every box of every tab, and of the overview patch, lies inside the
// window its patcher opens in: no comment is cut off.
TEST(HelpPatch, EveryBoxFitsItsWindow)
{
    for (const char *file : {"package/qzkorvel/help/qzkorvel.maxhelp", "package/qzkorvel/extras/qzkorvel-overview.maxpat"})
        fits(nlohmann::json::parse(files().at(file))["patcher"], file);
}

// In the basics tab the report reaches the console through [print] and the
// four message boxes through [route] and [prepend set]; clicked, each sends
// what it shows.
TEST(HelpPatch, ReportShowsInTheMessageBoxes)
{
    Help help;
    EXPECT_TRUE(has(help.opened, "console post qzkorvel: pluginname free"));
    EXPECT_TRUE(has(help.choose(), "console post qzkorvel: pluginname MyPlugin"));
    EXPECT_EQ(help.shown("basics/obj-17"), "MyPlugin");
    EXPECT_EQ(help.shown("basics/obj-18"), "MyPlugin");
    EXPECT_EQ(help.shown("basics/obj-19"), "0");
    EXPECT_EQ(help.shown("basics/obj-20"), "-12345 0 0 0 0");
    help.click("basics/obj-5");
    EXPECT_EQ(help.shown("basics/obj-20"), "100 200 640 480 1");

    EXPECT_EQ(help.click("basics/obj-17"), (Lines{"out message#4 MyPlugin"}));
    EXPECT_EQ(help.click("basics/obj-18"), (Lines{"out message#5 MyPlugin"}));
    EXPECT_EQ(help.click("basics/obj-19"), (Lines{"out message#6 int 0"}));
    EXPECT_EQ(help.click("basics/obj-20"), (Lines{"out message#7 list 100 200 640 480 1"}));
}

// The state list shown in the placement tab is a message qzkorvel takes:
// stored by a click and restored by another, from any place and with the
// editor closed, it puts the editor back, and nothing goes unread.
TEST(HelpPatch, StoredStateRestoresTheEditor)
{
    Help help;
    help.choose();
    EXPECT_EQ(help.shown("placement/obj-14"), "state -12345 0 0 0 0");
    help.click("placement/obj-4");
    help.world.user_move(help.world.editor(), 420, 310);
    help.world.settle();
    EXPECT_EQ(help.shown("placement/obj-14"), "state 420 310 640 480 1");
    Lines lines = help.click("placement/obj-14");
    EXPECT_EQ(help.shown("placement/obj-17"), "state 420 310 640 480 1");

    for (const char *away : {"placement/obj-6", "placement/obj-7"})
        for (const std::string &line : help.click(away))
            lines.push_back(line);
    EXPECT_EQ(help.world.editor(), nullptr);
    for (const std::string &line : help.click("placement/obj-17"))
        lines.push_back(line);
    HWND editor = help.world.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(testkit::World::client_origin(editor).x, 420);
    EXPECT_EQ(testkit::World::client_origin(editor).y, 310);
    EXPECT_TRUE(testkit::World::visible(editor));
    for (const std::string &line : lines)
        EXPECT_EQ(line.find("doesn't understand"), std::string::npos) << line;
}

// "open" without a place centres the editor on the display under the mouse.
TEST(HelpPatch, OpenCentresOnTheDisplayUnderTheMouse)
{
    Help help;
    help.choose();
    help.world.display(1920, 0, 1280, 1024);
    help.world.mouse(2500, 500);
    help.click("basics/obj-4");
    HWND editor = help.world.editor();
    ASSERT_NE(editor, nullptr);
    const testkit::Point at = testkit::World::client_origin(editor);
    const testkit::Size size = testkit::World::client_size(editor);
    EXPECT_LE(std::abs(at.x + size.width / 2 - (1920 + 640)), 1) << at.x;
    EXPECT_GE(at.y, 0);
    EXPECT_LE(at.y + size.height, 1024);
}

// "debug 1" makes the object trace what it does; "debug 0" stops it.
TEST(HelpPatch, DebugTurnsTracesOnAndOff)
{
    Help help;
    help.choose();
    const std::string trace = "console post checkWindowState()";
    EXPECT_FALSE(has(help.click("changes/obj-4"), trace));
    help.click("changes/obj-7");
    help.click("changes/obj-9");
    help.choose();
    EXPECT_TRUE(has(help.click("changes/obj-4"), trace));
    help.click("changes/obj-7");
    help.click("changes/obj-10");
    help.choose();
    EXPECT_FALSE(has(help.click("changes/obj-4"), trace));
}

} // namespace
