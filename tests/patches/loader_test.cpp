// Opening patch files: malformed files refused with a message that names the
// file and the fault, and what a well-formed file becomes in the host: boxes
// by kind, inert classes warned about once, names, the order of patch cords.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "simhost.h"
#include "testkit.h"

namespace {

using nlohmann::json;
using Lines = std::vector<std::string>;

json box(const std::string &id, const std::string &maxclass, const std::string &text = "", json extra = json::object())
{
    json b = extra;
    b["id"] = id;
    b["maxclass"] = maxclass;
    b["text"] = text;
    return json{{"box", b}};
}

json cord(const std::string &src, int outlet, const std::string &dst, int inlet)
{
    return json{{"patchline", {{"source", {src, outlet}}, {"destination", {dst, inlet}}}}};
}

std::string patch(const std::vector<json> &boxes, const std::vector<json> &lines = {})
{
    json p = json::object();
    p["fileversion"] = 1;
    p["boxes"] = boxes;
    p["lines"] = lines;
    return json{{"patcher", p}}.dump(1, '\t');
}

// The error a World gives for text, or "" when it opens.
std::string refusal(testkit::World &world, const std::string &text)
{
    try {
        world.open_patch(text, "bad.maxpat");
    } catch (const testkit::Error &e) {
        return e.what();
    }
    return "";
}

bool has(const Lines &lines, const std::string &line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

struct Malformed {
    std::string name;
    std::string text;
    std::string message; // what follows "bad.maxpat: "
};

const json message = box("obj-1", "message", "open", {{"numinlets", 2}, {"numoutlets", 1}});
const json printer = box("obj-2", "newobj", "print", {{"numinlets", 1}, {"numoutlets", 0}});

json nested(int depth)
{
    json p = {{"boxes", json::array()}};
    for (int i = 0; i < depth; ++i) {
        json b = box("obj-1", "newobj", "p");
        b["box"]["patcher"] = p;
        p = {{"boxes", json::array({b})}};
    }
    return json{{"patcher", p}};
}

// The path that names the subpatcher at that depth of nested().
std::string path_of_depth(int depth)
{
    std::string path = "obj-1";
    for (int i = 1; i < depth; ++i)
        path += "/obj-1";
    return path;
}

const std::vector<Malformed> malformed = {
    {"not_json", "{\n\"patcher\": {\n\"boxes\": [,]}}",
     "not JSON: parse error at line 3, column 11: syntax error while parsing value - unexpected ','; expected "
     "'[', '{', or a literal"},
    {"empty_file", "", "not JSON: parse error at line 1, column 1: "
                       "syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
    {"no_patcher", R"({"boxes": []})", R"(no "patcher" object at the top)"},
    {"patcher_not_object", R"({"patcher": [1, 2]})", R"(no "patcher" object at the top)"},
    {"top_not_object", "[1, 2]", R"(no "patcher" object at the top)"},
    {"boxes_not_array", R"({"patcher": {"boxes": {"box": {}}}})", R"("boxes" is not an array)"},
    {"lines_not_array", R"({"patcher": {"boxes": [], "lines": 3}})", R"("lines" is not an array)"},
    {"entry_not_box", R"({"patcher": {"boxes": [{"id": "obj-1"}]}})", R"(boxes[0]: not {"box": {...}})"},
    {"box_without_id", R"({"patcher": {"boxes": [{"box": {"maxclass": "comment"}}]}})", R"(boxes[0]: no "id")"},
    {"id_not_text", R"({"patcher": {"boxes": [{"box": {"id": 7, "maxclass": "comment"}}]}})",
     R"(boxes[0]: "id" is not a text)"},
    {"box_without_maxclass", R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "text": "print"}}]}})",
     R"(box obj-1: no "maxclass")"},
    {"newobj_without_text", R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "newobj"}}]}})",
     R"(box obj-1: a newobj box without "text")"},
    {"text_not_text", R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "message", "text": 5}}]}})",
     R"(box obj-1: "text" is not a text)"},
    {"varname_not_text",
     R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "newobj", "text": "print", "varname": []}}]}})",
     R"(box obj-1: "varname" is not a text)"},
    {"negative_outlets",
     R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "newobj", "text": "print", "numoutlets": -1}}]}})",
     R"(box obj-1: "numoutlets" is not a whole number from 0 on)"},
    {"duplicate_ids", patch({message, box("obj-1", "comment", "again")}), "box obj-1: the id is used twice"},
    {"cord_to_no_box", patch({message}, {cord("obj-1", 0, "obj-9", 0)}),
     "patch cord obj-1:0 -> obj-9:0: no box obj-9"},
    {"cord_from_no_box", patch({message}, {cord("obj-7", 0, "obj-1", 0)}),
     "patch cord obj-7:0 -> obj-1:0: no box obj-7"},
    {"cord_from_missing_outlet", patch({message, printer}, {cord("obj-1", 1, "obj-2", 0)}),
     "patch cord obj-1:1 -> obj-2:0: box obj-1 has 1 outlets"},
    {"cord_to_missing_inlet", patch({message, printer}, {cord("obj-1", 0, "obj-2", 1)}),
     "patch cord obj-1:0 -> obj-2:1: box obj-2 has 1 inlets"},
    // the same cords when the file leaves the counts out: the class's count
    {"cord_from_missing_outlet_of_the_class",
     patch({box("obj-1", "message", "open"), box("obj-2", "newobj", "print")}, {cord("obj-2", 0, "obj-1", 0)}),
     "patch cord obj-2:0 -> obj-1:0: box obj-2 has 0 outlets"},
    {"cord_to_missing_inlet_of_the_class",
     patch({box("obj-1", "message", "open"), box("obj-2", "newobj", "print")}, {cord("obj-1", 0, "obj-2", 1)}),
     "patch cord obj-1:0 -> obj-2:1: box obj-2 has 1 inlets"},
    {"nul_byte", std::string("{\"patcher\": {\"boxes\": []}}\n\0{}", 30), "a NUL byte at line 2, column 1"},
    {"cord_not_patchline", patch({message}, {{{"source", {"obj-1", 0}}}}), R"(lines[0]: not {"patchline": {...}})"},
    {"cord_source_malformed", patch({message, printer}, {{{"patchline", {{"source", {"obj-1"}},
                                                                          {"destination", {"obj-2", 0}}}}}}),
     R"(lines[0]: "source" is not [id, outlet])"},
    {"cord_negative_inlet", patch({message, printer}, {{{"patchline", {{"source", {"obj-1", 0}},
                                                                        {"destination", {"obj-2", -1}}}}}}),
     R"(lines[0]: "destination" is not [id, inlet])"},
    {"subpatcher_not_object",
     R"({"patcher": {"boxes": [{"box": {"id": "obj-1", "maxclass": "newobj", "text": "p", "patcher": 1}}]}})",
     R"(box obj-1: "patcher" is not an object)"},
    {"fault_inside_subpatchers",
     R"({"patcher": {"boxes": [{"box": {"id": "obj-3", "maxclass": "newobj", "text": "p outer", "patcher":
         {"boxes": [{"box": {"id": "obj-4", "maxclass": "newobj", "text": "p inner", "patcher":
           {"boxes": [{"box": {"id": "obj-5"}}]}}}]}}}]}})",
     R"(subpatcher obj-3/obj-4: box obj-5: no "maxclass")"},
    {"nested_too_deep", nested(40).dump(), "subpatcher " + path_of_depth(33) + ": subpatchers nested deeper than 32"},
};

// Each refused with the file and the fault named, before the host holds any
// box; the World stays usable. (One World for all: under Wine each costs
// seconds.)
TEST(Loader, RefusesMalformedFiles)
{
    testkit::World world;
    for (const Malformed &m : malformed) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(refusal(world, m.text), "bad.maxpat: " + m.message);
        EXPECT_EQ(simhost_patcher_boxcount(world.patcher()), 0);
    }
    EXPECT_EQ(refusal(world, patch({message})), "");
    EXPECT_NO_THROW(world.click("obj-1"));
}

TEST(Loader, NestingWithinTheLimitOpens)
{
    testkit::World world;
    EXPECT_EQ(refusal(world, nested(32).dump()), "");
}

TEST(Loader, OptionalFieldsMayBeMissing)
{
    testkit::World world;
    EXPECT_EQ(refusal(world, R"({"patcher": {}})"), "");
    EXPECT_EQ(refusal(world, R"({"patcher": {"boxes": [{"box": {"id": "a", "maxclass": "message"}}]}})"), "");
    EXPECT_EQ(simhost_box_text(world.find("a")), std::string());
}

// Each class the simulated host cannot run gets one warning, at its first
// box, counting all its boxes (subpatchers included). Comments, panels and
// empty object boxes do nothing in the host either and get none.
TEST(Loader, WarnsOncePerInertClass)
{
    testkit::World world;
    world.lines();
    json sub = box("obj-4", "newobj", "p inside");
    sub["box"]["patcher"] = {{"boxes", {box("obj-1", "toggle"), box("obj-2", "newobj", "dac~ 1 2")}}};
    world.open_patch(patch({box("obj-1", "newobj", "dac~"), box("obj-2", "comment", "a note"), box("obj-3", "panel"),
                            sub, box("obj-5", "newobj", ""), box("obj-6", "toggle"), box("obj-7", "newobj", "print")}),
                     "folder/three.maxpat");
    EXPECT_EQ(world.lines(), (Lines{
                                 "console warn three.maxpat: \"dac~\" is unknown to the simulated host: 2 boxes stay inert",
                                 "console warn three.maxpat: \"toggle\" is unknown to the simulated host: 2 boxes stay inert",
                             }));
    EXPECT_EQ(jbox_get_object(world.find("obj-1")), nullptr);
    EXPECT_STREQ(simhost_box_text(world.find("obj-1")), "dac~");
    EXPECT_STREQ(simhost_box_maxclass(world.find("obj-6")), "toggle");
    EXPECT_NE(jbox_get_object(world.find("obj-7")), nullptr);
}

// Boxes are named by scripting name, by CLASS#N counting the boxes a
// scenario made before (subpatchers' boxes in file order), by their id, or
// inside subpatchers by a path of ids and scripting names. A scripting name
// that only subpatchers use names its box when one box alone has it.
TEST(Loader, NamesBoxesOnEveryLevel)
{
    testkit::World world;
    world.box("print first");
    json inner = box("obj-4", "newobj", "p deeper");
    inner["box"]["patcher"] = {{"boxes", json::array({box("obj-9", "message", "hi", {{"varname", "twin"}})})}};
    json sub = box("obj-3", "newobj", "p inside", {{"varname", "tab"}});
    sub["box"]["patcher"] = {
        {"boxes", json::array({box("obj-9", "newobj", "print deep", {{"varname", "deep"}}), inner,
                               box("obj-5", "message", "ho", {{"varname", "twin"}})})},
        {"lines", json::array({cord("obj-5", 0, "obj-9", 0)})}};
    world.open_patch(patch({box("obj-1", "newobj", "print second"), box("obj-2", "toggle", "", {{"varname", "tog"}}),
                            sub, box("obj-6", "newobj", "print third")}),
                     "names.maxpat");
    EXPECT_EQ(world.find("print#2"), world.find("obj-1"));
    EXPECT_EQ(world.find("print#3"), world.find("obj-3/obj-9"));
    EXPECT_EQ(world.find("print#4"), world.find("obj-6"));
    EXPECT_EQ(world.find("tog"), world.find("obj-2"));
    EXPECT_STREQ(simhost_box_varname(world.find("obj-2")), "tog");
    EXPECT_EQ(world.find("p#1"), world.find("obj-3"));

    t_object *deep = world.find("obj-3/obj-9");
    EXPECT_EQ(simhost_box_patcher(deep), jbox_get_object(world.find("obj-3")));
    EXPECT_STREQ(simhost_box_varname(deep), "deep");
    EXPECT_EQ(world.find("deep"), deep);
    EXPECT_EQ(world.find("tab/deep"), deep);
    EXPECT_EQ(world.find("obj-3/obj-4/obj-9"), world.find("obj-3/obj-4/twin"));
    EXPECT_NE(world.find("obj-3/twin"), world.find("obj-3/obj-4/twin"));
    EXPECT_THROW(world.find("obj-9"), testkit::Error);
    EXPECT_THROW(world.find("obj-3/obj-6"), testkit::Error);
    EXPECT_THROW(world.find("obj-3/"), testkit::Error);
    try {
        world.find("twin");
        ADD_FAILURE() << "an ambiguous name was taken";
    } catch (const testkit::Error &e) {
        EXPECT_STREQ(e.what(), "box name 'twin' is ambiguous (obj-3/obj-4/obj-9, obj-3/obj-5); name one by its path");
    }

    // a named box in a subpatcher shows in the transcript by its path
    world.lines();
    world.click("obj-3/twin");
    EXPECT_EQ(world.lines(), (Lines{"out obj-3/twin ho", "console post deep: ho"}));
    world.click("obj-3/obj-4/obj-9");
    EXPECT_EQ(world.lines(), (Lines{"out obj-3/obj-4/twin hi"}));

    EXPECT_EQ(refusal(world, patch({box("obj-2", "comment")})),
              "bad.maxpat: box obj-2: the id is taken by a box of a file opened before");
}

// A vst box loads the plug-in its saved snapshot names, whatever its text
// says; mcs.vst~ is one too; @attributes in the text are no part of the
// plug-in's name. A snapshot in another shape is left alone.
TEST(Loader, VstBoxesTakeTheirSnapshots)
{
    testkit::World world;
    const json snapshot = {
        {"snapshot", {{"snapshot", {{"pluginname", "Diva.vst"}, {"plugindisplayname", "Diva"},
                                    {"pluginsavedname", "/Library/Audio/Plug-Ins/VST/u-he/Diva.vst"}}}}}};
    json multi = box("obj-1", "newobj", "mcs.vst~ 4", snapshot);
    multi["box"]["varname"] = "multi";
    json odd = box("obj-3", "newobj", "vst~ Plain.dll", {{"varname", "odd"}, {"snapshot", {{"snapshot", "Diva"}}}});
    json rack = box("obj-2", "newobj", "vst~ 16 16 \"VCV Rack 2\" @autosave 0", {{"varname", "rack"}});
    world.open_patch(patch({multi, rack, odd}), "vsts.maxpat");
    world.settle();
    world.lines();
    const Lines lines = testkit::Player(world).play("box qzkorvel multi\nbox qzkorvel rack\nbox qzkorvel odd\npass");
    for (const char *expected :
         {"out qzkorvel#1 pluginname Diva", "out qzkorvel#1 savedpluginname /Library/Audio/Plug-Ins/VST/u-he/Diva.vst",
          "out qzkorvel#2 pluginname VCV Rack 2", "out qzkorvel#2 savedpluginname VCV Rack 2",
          "out qzkorvel#3 pluginname Plain"})
        EXPECT_TRUE(has(lines, expected)) << expected << "\n" << testkit::diff({}, lines);
    EXPECT_EQ(object_attr_getlong(world.object("rack"), gensym("autosave")), 0);
}

// One outlet into several boxes: the host sends right to left, then bottom
// to top, whatever order the file lists the cords in. Cords into other
// inlets than the left one carry nothing here.
TEST(Loader, CordsRunRightToLeft)
{
    testkit::World world;
    auto at = [](int x, int y) { return json{{"patching_rect", {x, y, 50, 22}}}; };
    world.open_patch(patch({box("obj-1", "message", "hello", at(100, 10)), box("obj-2", "newobj", "print left", at(10, 90)),
                            box("obj-3", "newobj", "print right", at(300, 90)),
                            box("obj-4", "newobj", "print lower", at(10, 200)),
                            box("obj-5", "newobj", "route hello", at(500, 90))},
                           {cord("obj-1", 0, "obj-2", 0), cord("obj-1", 0, "obj-4", 0), cord("obj-1", 0, "obj-3", 0),
                            cord("obj-1", 0, "obj-5", 1)}),
                     "order.maxpat");
    world.lines();
    world.click("obj-1");
    EXPECT_EQ(world.lines(), (Lines{"out message#1 hello", "console post right: hello", "console post lower: hello",
                                    "console post left: hello"}));
}

// A refusing constructor is no fault of the file: the box stays empty, the
// console shows what the class printed, and the rest of the file opens.
TEST(Loader, RefusedObjectLeavesItsBoxEmpty)
{
    testkit::World world;
    world.open_patch(patch({box("obj-1", "newobj", "qzkorvel"), box("obj-2", "newobj", "print after")}),
                     "refusal.maxpat");
    const Lines lines = world.lines();
    EXPECT_EQ(jbox_get_object(world.find("obj-1")), nullptr);
    EXPECT_NE(jbox_get_object(world.find("obj-2")), nullptr);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("console error ", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find("qzkorvel"), std::string::npos) << lines.back();
    for (const std::string &line : lines) {
        EXPECT_EQ(line.find("console warn"), std::string::npos) << line;
    }
}

// Saving writes what changed over what the file said: texts, names, saved
// attributes, the values the state system takes, the cords between boxes
// still there; what the host cannot hold (a dictionary in "restore", a cord
// into a right inlet) is kept. What is saved opens as it was.
TEST(Loader, SavedPatchOpensAsItWasSaved)
{
    testkit::World world;
    world.plugin("SYNTH", 400, 300);
    json store = box("obj-3", "newobj", "autopattr",
                     {{"restore", {{"editor", {300, 200, 400, 300, 1}}, {"other", {{{"dict", 1}}}}}}});
    world.open_patch(patch({box("obj-1", "newobj", "vst~ SYNTH", {{"varname", "synth"}}),
                            box("obj-2", "newobj", "qzkorvel synth", {{"varname", "editor"}}), store,
                            box("obj-4", "message", "open"), box("obj-5", "newobj", "route a b", {{"numinlets", 2}}),
                            box("obj-6", "comment", "gone")},
                           {cord("obj-4", 0, "obj-2", 0), cord("obj-4", 0, "obj-5", 1), cord("obj-6", 0, "obj-5", 0)}),
                     "saved.maxpat");
    world.settle();
    ASSERT_NE(world.editor(), nullptr);
    world.user_move(world.editor(), 500, 400);
    world.send("editor", "stayontop", "1");
    world.remove("obj-6");
    world.rename("obj-5", "router");
    world.settle();
    const json saved = json::parse(world.patch_text()).at("patcher");
    const json &boxes = saved.at("boxes");
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[1]["box"]["saved_object_attributes"]["stayontop"], 1);
    EXPECT_EQ(boxes[2]["box"]["restore"]["editor"], json({500, 400, 400, 300, 1}));
    EXPECT_EQ(boxes[2]["box"]["restore"]["other"], json::array({{{"dict", 1}}}));
    EXPECT_EQ(boxes[4]["box"]["varname"], "router");
    EXPECT_EQ(saved.at("lines"), json::array({cord("obj-4", 0, "obj-2", 0), cord("obj-4", 0, "obj-5", 1)}));

    world.reopen();
    world.settle();
    ASSERT_NE(world.editor(), nullptr);
    EXPECT_EQ(testkit::World::client_origin(world.editor()).x, 500);
    EXPECT_EQ(testkit::World::client_origin(world.editor()).y, 400);
    EXPECT_EQ(object_attr_getlong(world.object("editor"), gensym("stayontop")), 1);
    EXPECT_EQ(json::parse(world.patch_text()).at("patcher"), saved);
}

TEST(Loader, ClickTakesMessageBoxesOnly)
{
    testkit::World world;
    world.open_patch(patch({message, printer}, {cord("obj-1", 0, "obj-2", 0)}), "click.maxpat");
    world.lines();
    world.click("obj-1");
    EXPECT_EQ(world.lines(), (Lines{"out message#1 open", "console post print: open"}));
    EXPECT_THROW(world.click("obj-2"), testkit::Error);
    EXPECT_THROW(world.click("obj-3"), testkit::Error);
    EXPECT_TRUE(has(testkit::Player(world).play("click message#1"), "console post print: open"));
}

} // namespace
