// The snapshot command and the picture's text. Where the windows stand in
// the picture is checked by check_svg.py, with a real XML parser.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "simhost.h"
#include "testkit.h"
#include "transcript.h"

namespace {

namespace fs = std::filesystem;

const std::string road = "plugin SOMEPLUGIN 640x480\n"
                         "box synth = vst~ SOMEPLUGIN\n"
                         "box qzkorvel synth\n"
                         "pass\n"
                         "send qzkorvel#1 open 100 200\n"
                         "pass 2\n";

class Snapshot : public ::testing::Test {
protected:
    void SetUp() override
    {
        // in the build tree where ctest runs the test: another build's run
        // at the same time has its own
        dir = fs::current_path() /
              ("qzkorvel-snapshot-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> play(const std::string &text, const fs::path &pictures)
    {
        testkit::World world;
        world.picture_directory(pictures.string());
        return testkit::Player(world).play(text);
    }

    static std::string read(const fs::path &file)
    {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path dir;
};

TEST_F(Snapshot, WritesRelativePathsIntoThePictureDirectoryAndAddsNoTranscriptLine)
{
    fs::create_directories(dir / "pictures");
    const std::string absolute = (dir / "elsewhere.svg").string();
    const auto with = play(road + "snapshot road.svg\nsnapshot \"" + absolute + "\"\n", dir / "pictures");
    const auto without = play(road, dir / "pictures");
    EXPECT_TRUE(same_lines(without, with));
    const std::string picture = read(dir / "pictures" / "road.svg");
    EXPECT_EQ(picture.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u) << picture;
    EXPECT_NE(picture.find("data-client=\"100 200 640 480\""), std::string::npos) << picture;
    EXPECT_EQ(read(absolute), picture);
}

TEST_F(Snapshot, FaultyLinesNameFileAndLine)
{
    for (const auto &[text, message] :
         {std::pair<std::string, std::string>{"pass\nsnapshot x.svg\n", "scenario:2: cannot write the picture "},
          {"snapshot\n", "scenario:1: malformed line: usage: snapshot FILE.svg"},
          {"snapshot a.svg b.svg\n", "scenario:1: malformed line: usage: snapshot FILE.svg"}}) {
        try {
            play(text, dir / "missing");
            ADD_FAILURE() << text << " played";
        } catch (const testkit::Error &e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

// Titles are whatever a program set: XML's markup characters are escaped,
// and control characters and bytes that are no UTF-8, which an XML file
// cannot hold, become '?'.
TEST_F(Snapshot, TitlesAreEscaped)
{
    testkit::World world;
    world.display(0, 0, 1920, 1080);
    ASSERT_NE(simhost_foreign_window(300, 300, 400, 200, "a<b>&\"c'\x01\xff \xc3\xa9"), nullptr);
    const std::string picture = world.picture();
    EXPECT_NE(picture.find("data-title=\"a&lt;b&gt;&amp;&quot;c&apos;?? \xc3\xa9\""), std::string::npos) << picture;
    EXPECT_NE(picture.find(">a&lt;b&gt;&amp;&quot;c&apos;?? \xc3\xa9</text>"), std::string::npos) << picture;
    EXPECT_EQ(picture.find("<b>"), std::string::npos);
}

// A mouse far off the displays keeps the view around them and is named in
// the legend.
TEST_F(Snapshot, MouseOffTheDisplaysIsNamedNotDrawn)
{
    testkit::World world;
    world.display(0, 0, 1920, 1080);
    world.mouse(30000, -500);
    const std::string picture = world.picture();
    long long x = 0, y = 0, w = 0, h = 0;
    const size_t at = picture.find("data-view=\"");
    ASSERT_NE(at, std::string::npos) << picture;
    ASSERT_EQ(std::sscanf(picture.c_str() + at, "data-view=\"%lld %lld %lld %lld\"", &x, &y, &w, &h), 4);
    EXPECT_TRUE(x < 0 && x > -500 && x + w > 1920 && x + w < 2500) << x << " " << y << " " << w << " " << h;
    EXPECT_EQ(picture.find("data-mouse="), std::string::npos);
    EXPECT_NE(picture.find("Mouse (off view) at 30000,-500."), std::string::npos) << picture;
}

// A scaled display says its scale; the mouse is drawn where it is in
// pixels, not where Max's scaled units put it.
TEST_F(Snapshot, ScaledDisplaysAreLabelledAndTheMouseDrawnInPixels)
{
    testkit::World world;
    world.display(0, 0, 3840, 2160, 150);
    world.display(3840, 0, 1920, 1080);
    world.mouse(1000, 1000);
    const std::string picture = world.picture();
    EXPECT_NE(picture.find("display 1 (primary) 0,0 3840\u00d72160, scale 150%, work area"), std::string::npos)
        << picture;
    EXPECT_NE(picture.find("display 2 3840,0 1920\u00d71080, work area"), std::string::npos) << picture;
    EXPECT_NE(picture.find("data-mouse=\"1000 1000\""), std::string::npos) << picture;
}

// A window a user put off view is named in the legend; the host's untitled
// helper windows are not.
TEST_F(Snapshot, TitledWindowsOffViewAreListed)
{
    testkit::World world;
    world.display(0, 0, 1920, 1080);
    testkit::Player(world).play("plugin Lost 300x200\nbox s = vst~ Lost\nbox qzkorvel s\npass\n"
                                "send qzkorvel#1 open\npass 2\nuser move editor 20000 100\n", "t.ksim");
    const std::string picture = world.picture();
    EXPECT_NE(picture.find(">Off view: Lost, frame "), std::string::npos) << picture;
    EXPECT_EQ(picture.find(">Off view: ,"), std::string::npos) << picture;
    EXPECT_EQ(picture.find("(untitled)"), std::string::npos) << picture;
}

} // namespace

namespace {

struct ReportCase {
    const char *name;
    std::string scenario;
    const char *summary; // the summary's counts, as its data attributes give them
};

// Pictures go where a person looks and the desktop visibly changed: setup
// lines share one, a paragraph that changes nothing adds none.
const ReportCase report_cases[] = {
    {"setup_lines_share_one_picture",
     "display 0 0 1920 1080\ndisplay 1920 0 1280 1024\nplugin P 640x480\nbox s = vst~ P\nbox qzkorvel s\npass\n"
     "expect out qzkorvel#1 state -12345 0 0 0 0\n",
     "data-steps=\"7\" data-pictures=\"1\" data-failures=\"0\" data-expectations=\"1\" data-met=\"1\""},
    {"a_paragraph_without_change_adds_none",
     road + "# look again\nlook editor\n# and once more\nsend qzkorvel#1 open\npass\nlook editor\n",
     "data-steps=\"10\" data-pictures=\"1\" data-failures=\"0\" data-expectations=\"0\" data-met=\"0\""},
    {"each_move_seen_gets_one",
     road + "look editor\nuser move editor 300 300\nlook editor\nuser move editor 320 300\nuser move editor 340 300\n",
     "data-steps=\"11\" data-pictures=\"3\" data-failures=\"0\" data-expectations=\"0\" data-met=\"0\""},
    {"a_failure_is_pictured_and_linked",
     road + "expect out qzkorvel#1 state 1 2 3 4 5\nexpect no /console error/\n",
     "data-steps=\"8\" data-pictures=\"1\" data-failures=\"1\" data-expectations=\"2\" data-met=\"1\""},
};

void PrintTo(const ReportCase &c, std::ostream *os)
{
    *os << c.name;
}

class ReportPictures : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportPictures, GoWhereAPersonLooks)
{
    testkit::World world;
    testkit::Report report("t");
    testkit::Player player(world);
    player.observe([&](const testkit::Player::Step &step) { report.add(step, world.picture()); });
    try {
        player.play(GetParam().scenario, "t.ksim");
    } catch (const testkit::Unmet &) {
    }
    const std::string html = report.html();
    EXPECT_NE(html.find(GetParam().summary), std::string::npos) << html.substr(0, html.find("<section"));
    const bool failed = html.find("data-failures=\"0\"") == std::string::npos;
    EXPECT_EQ(html.find("<ul class=\"failures\">\n<li><a href=\"#step-7\">line 7: expect out") != std::string::npos,
              failed);
}

INSTANTIATE_TEST_SUITE_P(Steps, ReportPictures, ::testing::ValuesIn(report_cases),
                         [](const ::testing::TestParamInfo<ReportCase> &info) { return info.param.name; });

} // namespace
