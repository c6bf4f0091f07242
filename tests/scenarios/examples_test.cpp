// Every scenario in examples/ plays to its end, in this world too.
#include <gtest/gtest.h>

#include <filesystem>

#include "examples.h"
#include "testkit.h"
#include "transcript.h"

namespace {

std::vector<std::string> names()
{
    std::vector<std::string> out;
    // The tour plays over the help patch; tests/patches runs it there.
    for (const auto &file : examples())
        if (file.first != "tour.ksim")
            out.push_back(file.first);
    return out;
}

// A folder of the test's own for the pictures an example writes, in the
// build tree where ctest runs it (another build's run at the same time has
// its own), so that a test run leaves no files behind.
struct TempFolder {
    explicit TempFolder(const std::string &name) : path(std::filesystem::current_path() / name)
    {
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    const std::filesystem::path path;
};

class Example : public ::testing::TestWithParam<std::string> {};

TEST_P(Example, PlaysWithoutError)
{
    const TempFolder pictures("qzkorvel-example-" + GetParam());
    testkit::World world;
    world.picture_directory(pictures.path.string());
    const std::string &text = examples().at(GetParam());
    EXPECT_EQ(text.rfind("# ", 0), 0u) << GetParam() << " does not open with a comment saying what it shows";
    try {
        print_transcript(GetParam(), testkit::Player(world).play(text, GetParam()));
    } catch (const testkit::Error &e) {
        FAIL() << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Example, ::testing::ValuesIn(names()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             for (char &c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

TEST(Examples, IncludeTheDemo)
{
    EXPECT_EQ(examples().count("demo.ksim"), 1u);
}

} // namespace
