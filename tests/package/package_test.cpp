// The Max package: package-info.json, the help patch and the reference page,
// checked against the class as the module registers it in the host, so that
// none of them can drift from what the object accepts.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "simhost.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

const std::string kPackage = KORVEL_PACKAGE_DIR;

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

json read_json(const std::string &path)
{
    return json::parse(read_file(path));
}

std::vector<std::string> words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string first_word(const std::string &text)
{
    std::vector<std::string> w = words(text);
    return w.empty() ? "" : w[0];
}

// Names given by name="..." on every <TAG ...> element inside <LIST>...</LIST>.
std::set<std::string> xml_names(const std::string &xml, const std::string &list, const std::string &tag)
{
    std::set<std::string> names;
    size_t begin = xml.find("<" + list + ">");
    size_t end = xml.find("</" + list + ">");
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        return names;
    std::string section = xml.substr(begin, end - begin);
    std::regex element("<" + tag + "\\s[^>]*\\bname=\"([^\"]*)\"");
    for (std::sregex_iterator it(section.begin(), section.end(), element), stop; it != stop; ++it)
        names.insert((*it)[1].str());
    return names;
}

// Runs the host's low-priority queue until nothing is left, as the host's
// main loop would; a bound keeps a queue that refills itself from hanging.
void drain()
{
    for (int pass = 0; pass < 100 && simhost_queue_pass() > 0; ++pass) {
    }
    EXPECT_EQ(simhost_queue_pending(), 0);
}

std::string xml_attribute(const std::string &xml, const std::string &tag, const std::string &name,
                          const std::string &attribute)
{
    std::regex element("<" + tag + "\\s[^>]*\\bname=\"" + name + "\"[^>]*>");
    std::smatch m;
    if (!std::regex_search(xml, m, element))
        return "";
    std::string start = m[0].str();
    std::smatch value;
    if (!std::regex_search(start, value, std::regex("\\b" + attribute + "=\"([^\"]*)\"")))
        return "";
    return value[1].str();
}

// The class as the host knows it after loading the module: the messages a
// patch may send (neither host-only nor undocumented) and the attributes.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        simhost_reset();
        loaded_ = simhost_load_module(KORVEL_MODULE_PATH) == 0;
    }

    void SetUp() override
    {
        ASSERT_TRUE(loaded_) << "cannot load " << KORVEL_MODULE_PATH;
        cls_ = simhost_class_find("box", "qzkorvel");
        ASSERT_NE(cls_, nullptr);
        for (long i = 0; i < simhost_class_attr_count(cls_); ++i)
            attributes_.insert(simhost_class_attr_name(cls_, i));
        for (long i = 0; i < simhost_class_method_count(cls_); ++i) {
            std::string name = simhost_class_method_name(cls_, i);
            short types[8] = {0};
            long ntypes = simhost_class_method_types(cls_, name.c_str(), types);
            const char *undocumented = simhost_class_method_attr(cls_, name.c_str(), "undocumented");
            bool host_only = ntypes > 0 && types[0] == A_CANT;
            bool hidden = undocumented && std::string(undocumented) == "1";
            if (!host_only && !hidden && !attributes_.count(name))
                messages_.insert(name);
        }
    }

    static bool loaded_;
    t_class *cls_ = nullptr;
    std::set<std::string> messages_;
    std::set<std::string> attributes_;
};

bool Package::loaded_ = false;

TEST_F(Package, InfoNamesTheClassItsVersionAndWindowsX64)
{
    json info = read_json(kPackage + "/package-info.json");
    EXPECT_EQ(info.at("name"), "qzkorvel");
    EXPECT_NE(simhost_class_find("box", info.at("name").get<std::string>().c_str()), nullptr);
    EXPECT_EQ(info.at("version"), KORVEL_VERSION);
    for (const char *field : {"displayname", "author", "description", "website", "max_version_min"})
        EXPECT_FALSE(info.at(field).get<std::string>().empty()) << field;
    EXPECT_FALSE(info.at("tags").empty());
    const json &platforms = info.at("os").at("windows").at("platform");
    EXPECT_NE(std::find(platforms.begin(), platforms.end(), "x64"), platforms.end());
}

TEST_F(Package, ReferencePageNamesExactlyTheRegisteredMessagesAndAttributes)
{
    std::string xml = read_file(kPackage + "/docs/qzkorvel.maxref.xml");
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ(xml_attribute(xml, "c74object", "qzkorvel", "module"), "max");

    EXPECT_EQ(xml_names(xml, "methodlist", "method"), messages_);
    EXPECT_EQ(xml_names(xml, "attributelist", "attribute"), attributes_);
    for (const std::string &attr : attributes_)
        EXPECT_EQ(xml_attribute(xml, "attribute", attr, "type"), simhost_class_attr_type(cls_, attr.c_str()))
            << attr;

    EXPECT_EQ(xml_names(xml, "objarglist", "objarg"), std::set<std::string>{"scripting-name"});
    EXPECT_EQ(xml_attribute(xml, "objarg", "scripting-name", "optional"), "0");
    EXPECT_EQ(xml_names(xml, "seealsolist", "seealso"), std::set<std::string>{"vst~"});
}

// The help patch, read as the host reads a patcher file.
class HelpPatch : public Package {
protected:
    void SetUp() override
    {
        Package::SetUp();
        patcher_ = read_json(kPackage + "/help/qzkorvel.maxhelp").at("patcher");
        for (const json &entry : patcher_.at("boxes")) {
            const json &box = entry.at("box");
            boxes_[box.at("id").get<std::string>()] = box;
        }
        for (const json &entry : patcher_.at("lines")) {
            const json &line = entry.at("patchline");
            lines_.push_back({line.at("source").at(0), line.at("source").at(1), line.at("destination").at(0),
                              line.at("destination").at(1)});
        }
    }

    struct Line {
        std::string from;
        int outlet;
        std::string to;
        int inlet;
    };

    std::string text(const std::string &id) { return boxes_.at(id).value("text", ""); }

    std::string newobj_class(const std::string &id)
    {
        return boxes_.at(id).at("maxclass") == "newobj" ? first_word(text(id)) : "";
    }

    std::vector<std::string> boxes_of_class(const std::string &cls)
    {
        std::vector<std::string> ids;
        for (const auto &[id, box] : boxes_)
            if (newobj_class(id) == cls)
                ids.push_back(id);
        return ids;
    }

    std::vector<std::string> fed_by(const std::string &from, int outlet)
    {
        std::vector<std::string> ids;
        for (const Line &l : lines_)
            if (l.from == from && l.outlet == outlet)
                ids.push_back(l.to);
        return ids;
    }

    bool feeds(const std::string &from, const std::string &to, int inlet)
    {
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const Line &l) { return l.from == from && l.to == to && l.inlet == inlet; });
    }

    std::string the_object()
    {
        std::vector<std::string> ids = boxes_of_class("qzkorvel");
        return ids.size() == 1 ? ids[0] : "";
    }

    json patcher_;
    std::map<std::string, json> boxes_;
    std::vector<Line> lines_;
};

TEST_F(HelpPatch, EveryBoxHasTheFieldsTheHostNeeds)
{
    EXPECT_EQ(patcher_.at("fileversion"), 1);
    EXPECT_TRUE(patcher_.at("appversion").is_object());
    EXPECT_EQ(patcher_.at("rect").size(), 4u);
    EXPECT_EQ(boxes_.size(), patcher_.at("boxes").size()) << "box ids are not unique";
    for (const auto &[id, box] : boxes_) {
        SCOPED_TRACE(id);
        EXPECT_EQ(id.rfind("obj-", 0), 0u);
        const json &rect = box.at("patching_rect");
        ASSERT_EQ(rect.size(), 4u);
        EXPECT_GT(rect[2].get<double>(), 0);
        EXPECT_GT(rect[3].get<double>(), 0);
        int outs = box.at("numoutlets");
        EXPECT_GE(box.at("numinlets").get<int>(), 0);
        EXPECT_EQ(box.value("outlettype", json::array()).size(), size_t(outs));
        if (box.at("maxclass") != "panel") {
            EXPECT_TRUE(box.at("text").is_string());
        }
    }
}

// Only the kinds of box that the simulated host knows, with the inlets and
// outlets the host gives them.
TEST_F(HelpPatch, EveryBoxIsAKnownKindWithItsInletsAndOutlets)
{
    for (const auto &[id, box] : boxes_) {
        SCOPED_TRACE(id + " " + text(id));
        std::string maxclass = box.at("maxclass");
        int ins = box.at("numinlets"), outs = box.at("numoutlets");
        if (maxclass == "message") {
            EXPECT_EQ(ins, 2);
            EXPECT_EQ(outs, 1);
        } else if (maxclass == "comment" || maxclass == "panel") {
            EXPECT_EQ(ins, 1);
            EXPECT_EQ(outs, 0);
        } else {
            ASSERT_EQ(maxclass, "newobj");
            std::string cls = newobj_class(id);
            int args = int(words(text(id)).size()) - 1;
            if (cls == "qzkorvel" || cls == "prepend") {
                EXPECT_EQ(ins, 1);
                EXPECT_EQ(outs, 1);
            } else if (cls == "print") {
                EXPECT_EQ(ins, 1);
                EXPECT_EQ(outs, 0);
            } else if (cls == "route") {
                EXPECT_EQ(ins, args + 1);
                EXPECT_EQ(outs, args + 1);
            } else {
                EXPECT_EQ(cls, "vst~");
            }
        }
    }
}

TEST_F(HelpPatch, LinesJoinExistingOutletsToExistingInlets)
{
    ASSERT_FALSE(lines_.empty());
    for (const Line &l : lines_) {
        SCOPED_TRACE(l.from + " -> " + l.to);
        ASSERT_TRUE(boxes_.count(l.from));
        ASSERT_TRUE(boxes_.count(l.to));
        EXPECT_GE(l.outlet, 0);
        EXPECT_LT(l.outlet, boxes_.at(l.from).at("numoutlets").get<int>());
        EXPECT_GE(l.inlet, 0);
        EXPECT_LT(l.inlet, boxes_.at(l.to).at("numinlets").get<int>());
    }
}

TEST_F(HelpPatch, BoxesDoNotOverlap)
{
    std::vector<std::pair<std::string, json>> placed;
    for (const auto &[id, box] : boxes_)
        if (box.at("maxclass") != "panel")
            placed.push_back({id, box.at("patching_rect")});
    for (size_t i = 0; i < placed.size(); ++i)
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const json &a = placed[i].second, &b = placed[j].second;
            bool apart = a[0].get<double>() + a[2].get<double>() <= b[0].get<double>() ||
                         b[0].get<double>() + b[2].get<double>() <= a[0].get<double>() ||
                         a[1].get<double>() + a[3].get<double>() <= b[1].get<double>() ||
                         b[1].get<double>() + b[3].get<double>() <= a[1].get<double>();
            EXPECT_TRUE(apart) << placed[i].first << " overlaps " << placed[j].first;
        }
}

TEST_F(HelpPatch, TheObjectNamesAVstBoxByItsScriptingName)
{
    std::string object = the_object();
    ASSERT_FALSE(object.empty()) << "the help patch needs exactly one qzkorvel box";
    std::vector<std::string> args = words(text(object));
    ASSERT_GE(args.size(), 2u);
    std::vector<std::string> vsts = boxes_of_class("vst~");
    EXPECT_TRUE(std::any_of(vsts.begin(), vsts.end(),
                            [&](const std::string &id) { return boxes_.at(id).value("varname", "") == args[1]; }))
        << "no vst~ box has the scripting name " << args[1];
}

// Each public message and each attribute has a message box wired to the
// object, and every message box wired to it sends something it understands.
TEST_F(HelpPatch, EveryMessageAndAttributeHasAMessageBoxWiredToTheObject)
{
    std::string object = the_object();
    ASSERT_FALSE(object.empty());
    ASSERT_FALSE(messages_.empty());
    std::set<std::string> wired;
    for (const auto &[id, box] : boxes_) {
        if (box.at("maxclass") != "message" || !feeds(id, object, 0))
            continue;
        std::string selector = first_word(text(id));
        EXPECT_TRUE(messages_.count(selector) || attributes_.count(selector))
            << id << " sends \"" << text(id) << "\", which qzkorvel does not understand";
        wired.insert(selector);
    }
    for (const std::string &name : messages_)
        EXPECT_TRUE(wired.count(name)) << "no message box sends " << name;
    for (const std::string &name : attributes_)
        EXPECT_TRUE(wired.count(name)) << "no message box sets " << name;
}

// The outlet goes to a print and, split by selector, through [prepend set]
// into message boxes that show the last value of each report.
TEST_F(HelpPatch, ReportsAreRoutedBySelectorIntoDisplays)
{
    std::string object = the_object();
    ASSERT_FALSE(object.empty());
    std::vector<std::string> fed = fed_by(object, 0);
    EXPECT_TRUE(std::any_of(fed.begin(), fed.end(), [&](const std::string &id) { return newobj_class(id) == "print"; }));

    auto route = std::find_if(fed.begin(), fed.end(), [&](const std::string &id) { return newobj_class(id) == "route"; });
    ASSERT_NE(route, fed.end());
    std::vector<std::string> selectors = words(text(*route));
    selectors.erase(selectors.begin());
    EXPECT_EQ(selectors, (std::vector<std::string>{"pluginname", "savedpluginname", "delay", "state"}));
    for (size_t i = 0; i < selectors.size(); ++i) {
        SCOPED_TRACE(selectors[i]);
        std::vector<std::string> prepends = fed_by(*route, int(i));
        ASSERT_EQ(prepends.size(), 1u);
        EXPECT_EQ(text(prepends[0]), "prepend set");
        std::vector<std::string> displays = fed_by(prepends[0], 0);
        ASSERT_EQ(displays.size(), 1u);
        EXPECT_EQ(boxes_.at(displays[0]).at("maxclass"), "message");
    }
}

// Built in the host from the file's own text and scripting name, the
// object binds to the vst~ box and reports, and every message box of the
// patch is accepted.
TEST_F(HelpPatch, BindsInTheHostAndAcceptsEveryMessageBox)
{
    std::string object = the_object();
    ASSERT_FALSE(object.empty());
    std::vector<std::string> vsts = boxes_of_class("vst~");
    ASSERT_EQ(vsts.size(), 1u);

    simhost_display_add({0, 0, 1920, 1080}, {0, 0, 1920, 1040});
    simhost_mouse_set(960, 540);
    t_object *patcher = simhost_patcher_new(nullptr, "qzkorvel.maxhelp");
    t_object *vst_box = simhost_box_new(patcher, boxes_.at(vsts[0]).value("varname", "").c_str(), text(vsts[0]).c_str());
    t_object *box = simhost_box_new(patcher, nullptr, text(object).c_str());
    ASSERT_NE(jbox_get_object(vst_box), nullptr);
    t_object *x = jbox_get_object(box);
    ASSERT_NE(x, nullptr);
    drain();

    bool reported = false;
    for (int i = 0; i < simhost_event_count(); ++i) {
        const simhost_event *e = simhost_event_get(i);
        EXPECT_NE(e->kind, SIMHOST_WARN) << e->text;
        reported |= e->kind == SIMHOST_OUTLET && e->object == x && first_word(e->text) == "pluginname";
    }
    EXPECT_TRUE(reported) << "qzkorvel did not report the plug-in of its vst~";

    for (const auto &[id, b] : boxes_) {
        if (b.at("maxclass") != "message" || !feeds(id, object, 0))
            continue;
        SCOPED_TRACE(text(id));
        t_atom *argv = nullptr;
        long argc = simhost_parse_atoms(text(id).c_str(), &argv);
        ASSERT_GE(argc, 1);
        int before = simhost_event_count();
        EXPECT_EQ(simhost_send(x, atom_getsym(argv)->s_name, argc - 1, argv + 1), MAX_ERR_NONE);
        sysmem_freeptr(argv);
        drain();
        for (int i = before; i < simhost_event_count(); ++i)
            EXPECT_EQ(std::string(simhost_event_get(i)->text).find("doesn't understand"), std::string::npos)
                << simhost_event_get(i)->text;
    }
}

} // namespace
