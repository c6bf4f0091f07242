// Real patches from public repositories (tests/patches/corpus, SOURCES.md
// says where each comes from) open in the simulated host, subpatchers
// included, and a qzkorvel box added beside one of their vst~ boxes drives
// its editor.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "files.h"
#include "simhost.h"
#include "testkit.h"

namespace {

using nlohmann::json;
using Lines = std::vector<std::string>;

const std::string corpus_dir = "tests/patches/corpus/";

std::vector<std::string> corpus()
{
    std::vector<std::string> names;
    for (const auto &file : files())
        if (file.first.rfind(corpus_dir, 0) == 0)
            names.push_back(file.first.substr(corpus_dir.size()));
    return names;
}

std::string first_word(const std::string &text)
{
    return text.substr(0, text.find(' '));
}

bool is_patcher(t_object *obj)
{
    t_symbol *cls = obj ? object_classname(obj) : nullptr;
    return cls && std::string(cls->s_name) == "patcher";
}

// Walks a patcher of the file beside the host's patcher made from it: the
// same boxes in the same order, each holding an object exactly when its
// class is one the host knows. Collects the classes left inert.
void compare(const json &file, t_object *host, const std::string &where, std::set<std::string> &inert)
{
    const json &boxes = file.value("boxes", json::array());
    ASSERT_EQ(simhost_patcher_boxcount(host), long(boxes.size())) << where;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const json &b = boxes[i]["box"];
        const std::string id = b["id"];
        const std::string maxclass = b["maxclass"];
        const std::string text = b.value("text", "");
        t_object *box = simhost_patcher_box(host, long(i));
        t_object *obj = jbox_get_object(box);
        SCOPED_TRACE(where + id);
        EXPECT_EQ(simhost_box_varname(box), b.value("varname", ""));
        if (b.contains("patcher")) {
            ASSERT_TRUE(is_patcher(obj));
            compare(b["patcher"], obj, where + id + "/", inert);
        } else if (maxclass == "newobj") {
            EXPECT_EQ(simhost_box_text(box), text);
            const bool known = simhost_class_find("box", first_word(text).c_str()) != nullptr;
            EXPECT_EQ(obj != nullptr, known) << text;
            if (!known)
                inert.insert(first_word(text));
        } else if (maxclass == "message") {
            EXPECT_EQ(simhost_box_text(box), text);
            EXPECT_NE(obj, nullptr);
        } else {
            EXPECT_EQ(obj, nullptr);
            if (maxclass != "comment" && maxclass != "panel")
                inert.insert(maxclass);
        }
    }
}

class CorpusFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusFile, OpensWithEveryBoxInPlace)
{
    const std::string &text = files().at(corpus_dir + GetParam());
    testkit::World world;
    ASSERT_NO_THROW(world.open_patch(text, GetParam()));
    std::set<std::string> inert;
    compare(json::parse(text)["patcher"], world.patcher(), "", inert);

    // one warning for each class left inert, and nothing else but the banner,
    // a line for each plug-in the host stands in for and what the patch
    // sends once loaded (loadbang, loadmess)
    std::set<std::string> warned;
    for (const std::string &line : world.lines()) {
        const std::string warning = "console warn " + GetParam() + ": \"";
        if (line.rfind(warning, 0) == 0) {
            const std::string cls = line.substr(warning.size(), line.find('"', warning.size()) - warning.size());
            EXPECT_TRUE(warned.insert(cls).second) << line;
        } else if (line.rfind("console warn vst~: no plug-in \"", 0) != 0 && line.rfind("out ", 0) != 0) {
            EXPECT_EQ(line.rfind("console post qzkorvel ", 0), 0u) << line;
        }
    }
    EXPECT_EQ(warned, inert);
    EXPECT_LT(world.settle(), 100);
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusFile, ::testing::ValuesIn(corpus()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

TEST(Corpus, HoldsTheEightFiles)
{
    EXPECT_EQ(corpus().size(), 8u);
}

struct Beside {
    std::string file;
    std::string vst;    // the scripting name of a top-level vst~ box
    std::string plugin; // the display name in its snapshot
    std::string saved;  // the saved name in its snapshot, else the display name
};

void PrintTo(const Beside &b, std::ostream *os)
{
    *os << b.file << " " << b.vst;
}

// Every vst~ box here carries a saved snapshot, which names the plug-in
// the box loads whatever its text says (the last file's text names another
// one); none is in the catalogue, so each is a stand-in.
const std::vector<Beside> beside = {
    {"channels_2_2_phoenixverb.maxpat", "vst~[1]", "PhoenixVerb", "PhoenixVerb"},
    {"poly_ewi_quoted_path_spaces.maxpat", "vst~[1]", "EWI USB",
     "C:/Program Files/Akai/EWI USB/VST/EWI USB VST_x64.dll"},
    {"oculus_four_vst_bracket_varnames.maxpat", "vst~[3]", "OculusSpatializer", "OculusSpatializer"},
    {"small_vstcomp_vst1.maxpat", "vst~[1]", "Ozone 9 Vintage Compressor",
     "/Library/Audio/Plug-Ins/VST/Ozone 9 Vintage Compressor.vst"},
    {"custom_varname_vst_host.maxpat", "vst_host", "Diva", "/Library/Audio/Plug-Ins/VST/u-he/Diva.vst"},
    {"four_vst_timepatch_subpatchers.maxpat", "vst~[4]", "Ozone 9 Maximizer",
     "/Library/Audio/Plug-Ins/VST/Ozone 9 Maximizer.vst"},
    {"large_quoted_name_jun6_vst_exporter.maxpat", "vst~", "EP-1", "EP-1"},
};

class QzkorvelBeside : public ::testing::TestWithParam<Beside> {};

TEST_P(QzkorvelBeside, BindsAndOpensTheEditor)
{
    const Beside &b = GetParam();
    testkit::World world;
    world.open_patch(files().at(corpus_dir + b.file), b.file);
    world.settle();
    world.lines();
    const Lines lines = testkit::Player(world).play("box qzkorvel " + b.vst + R"(
pass
send qzkorvel#1 open 100 200
pass 2
look editor
)");
    EXPECT_EQ(lines, (Lines{
                         "out qzkorvel#1 pluginname " + b.plugin,
                         "out qzkorvel#1 savedpluginname " + b.saved,
                         "out qzkorvel#1 delay 0",
                         "out qzkorvel#1 state -12345 0 0 0 0",
                         "out qzkorvel#1 state 100 200 640 480 1",
                         "look editor 100 200 640 480 visible topmost toolwindow active",
                     }));
}

INSTANTIATE_TEST_SUITE_P(Files, QzkorvelBeside, ::testing::ValuesIn(beside),
                         [](const ::testing::TestParamInfo<Beside> &info) {
                             return info.param.file.substr(0, info.param.file.find('.'));
                         });

// A bare vst~ box without a snapshot hosts nothing until a plug-in is
// loaded into it; the binding follows the load.
TEST(Corpus, BareVstBoxReportsTheLoadedPlugin)
{
    testkit::World world;
    world.open_patch(files().at(corpus_dir + "four_vst_timepatch_subpatchers.maxpat"), "timepatch.maxpat");
    world.settle();
    world.lines();
    const Lines lines = testkit::Player(world).play(R"(
box qzkorvel vst~[2]
pass
plugin Delay 400x300
load vst~[2] Delay
pass
)");
    EXPECT_EQ(lines, (Lines{
                         "out qzkorvel#1 pluginname free",
                         "out qzkorvel#1 savedpluginname free",
                         "out qzkorvel#1 delay 0",
                         "out qzkorvel#1 state -12345 0 0 0 0",
                         "out qzkorvel#1 willchange",
                         "out qzkorvel#1 pluginname Delay",
                         "out qzkorvel#1 savedpluginname Delay",
                         "out qzkorvel#1 delay 0",
                         "out qzkorvel#1 state -12345 0 0 0 0",
                     }));
}

// The vst~ boxes of a subpatcher live there, with their plug-ins, under
// their own scripting names: a scenario names them by those or by their
// path, but a qzkorvel box on the top level does not see them, as in the
// host.
TEST(Corpus, VstBoxesInSubpatchersStayThere)
{
    testkit::World world;
    world.open_patch(files().at(corpus_dir + "nested_subpatcher_vst_random_sample.maxpat"), "random_sample.maxpat");
    t_object *vsts = jbox_get_object(world.find("obj-48"));
    ASSERT_TRUE(is_patcher(vsts));
    std::set<std::string> names;
    for (long i = 0; i < simhost_patcher_boxcount(vsts); ++i) {
        t_object *obj = jbox_get_object(simhost_patcher_box(vsts, i));
        if (obj && std::string(object_classname(obj)->s_name) == "vst~") {
            names.insert(simhost_box_varname(simhost_patcher_box(vsts, i)));
            EXPECT_NE(object_attr_getsym(obj, gensym("savedpluginname")), gensym(""));
        }
    }
    EXPECT_EQ(names, (std::set<std::string>{"vst~", "vst~[1]"}));
    EXPECT_EQ(world.find("vst~[1]"), world.find("obj-48/obj-8"));
    EXPECT_EQ(world.find("obj-48/vst~"), world.find("obj-48/obj-6"));
    EXPECT_EQ(object_attr_getsym(world.object("vst~[1]"), gensym("savedpluginname")), gensym("ValhallaShimmer"));

    world.settle();
    world.lines();
    const Lines lines = testkit::Player(world).play("box qzkorvel vst~[1]\npass");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("console warn qzkorvel: there's currently no object", 0), 0u) << lines[0];
}

} // namespace
