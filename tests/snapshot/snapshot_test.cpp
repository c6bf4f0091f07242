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
        dir = fs::temp_directory_path() /
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

} // namespace
