// The Max package: package-info.json, the help patch and the reference page,
// checked against the class as the module registers it in the host, so that
// none of them can drift from what the object accepts.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "simhost.h"

#include <algorithm>
#include <cctype>
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
    for (const char *field : {"displayname", "author", "description", "homepatch", "max_version_min"})
        EXPECT_FALSE(info.at(field).get<std::string>().empty()) << field;
    EXPECT_TRUE(std::ifstream(kPackage + "/extras/" + info.at("homepatch").get<std::string>()).good());
    // one spelling of the author wherever Max shows it
    const std::string author = info.at("author");
    EXPECT_EQ(info.at("authors"), json::array({author}));
    EXPECT_NE(read_file(kPackage + "/docs/qzkorvel.maxref.xml").find("<metadata name=\"author\">" + author + "<"),
              std::string::npos);
    EXPECT_FALSE(info.at("tags").empty());
    const json &platforms = info.at("os").at("windows").at("platform");
    EXPECT_NE(std::find(platforms.begin(), platforms.end(), "x64"), platforms.end());
}

TEST_F(Package, ReferencePageNamesExactlyTheRegisteredMessagesAndAttributes)
{
    std::string xml = read_file(kPackage + "/docs/qzkorvel.maxref.xml");
    ASSERT_FALSE(xml.empty());
    // Max's reference pages name one of Max's own modules; a control object's is max
    EXPECT_EQ(xml_attribute(xml, "c74object", "qzkorvel", "module"), "max");
    EXPECT_NE(xml.find("64-bit Windows"), std::string::npos);

    EXPECT_EQ(xml_names(xml, "methodlist", "method"), messages_);
    EXPECT_EQ(xml_names(xml, "attributelist", "attribute"), attributes_);
    for (const std::string &attr : attributes_)
        EXPECT_EQ(xml_attribute(xml, "attribute", attr, "type"), simhost_class_attr_type(cls_, attr.c_str()))
            << attr;

    EXPECT_EQ(xml_names(xml, "objarglist", "objarg"), std::set<std::string>{"scripting-name"});
    EXPECT_EQ(xml_attribute(xml, "objarg", "scripting-name", "optional"), "0");
    EXPECT_EQ(xml_names(xml, "seealsolist", "seealso"),
              (std::set<std::string>{"vst~", "autopattr", "pattr", "pattrstorage"}));
}

// The help patch, read as the host reads a patcher file: a top level that
// holds one subpatcher for each tab, as real packages' help files do.
class HelpPatch : public Package {
protected:
    struct Line {
        std::string from;
        int outlet;
        std::string to;
        int inlet;
    };

    // One tab: a subpatcher with its own boxes and cords.
    struct Tab {
        std::string name;
        json patcher;
        std::map<std::string, json> boxes;
        std::vector<Line> lines;

        std::string text(const std::string &id) const { return boxes.at(id).value("text", ""); }

        std::string newobj_class(const std::string &id) const
        {
            return boxes.at(id).at("maxclass") == "newobj" ? first_word(text(id)) : "";
        }

        std::vector<std::string> boxes_of_class(const std::string &cls) const
        {
            std::vector<std::string> ids;
            for (const auto &[id, box] : boxes)
                if (newobj_class(id) == cls)
                    ids.push_back(id);
            return ids;
        }

        std::vector<std::string> fed_by(const std::string &from, int outlet) const
        {
            std::vector<std::string> ids;
            for (const Line &l : lines)
                if (l.from == from && l.outlet == outlet)
                    ids.push_back(l.to);
            return ids;
        }

        bool feeds(const std::string &from, const std::string &to, int inlet) const
        {
            return std::any_of(lines.begin(), lines.end(),
                               [&](const Line &l) { return l.from == from && l.to == to && l.inlet == inlet; });
        }

        std::string the_object() const
        {
            std::vector<std::string> ids = boxes_of_class("qzkorvel");
            return ids.size() == 1 ? ids[0] : "";
        }
    };

    void SetUp() override
    {
        Package::SetUp();
        root_ = read_json(kPackage + "/help/qzkorvel.maxhelp").at("patcher");
        for (const json &entry : root_.at("boxes")) {
            const json &box = entry.at("box");
            if (!box.contains("patcher"))
                continue;
            Tab tab{box.value("varname", ""), box.at("patcher"), {}, {}};
            if (tab.name == "reference") { // comments only, as Max's own help patches have
                reference_ = tab.patcher;
                continue;
            }
            for (const json &e : tab.patcher.at("boxes"))
                tab.boxes[e.at("box").at("id").get<std::string>()] = e.at("box");
            for (const json &e : tab.patcher.at("lines")) {
                const json &line = e.at("patchline");
                tab.lines.push_back({line.at("source").at(0), line.at("source").at(1), line.at("destination").at(0),
                                     line.at("destination").at(1)});
            }
            tabs_.push_back(tab);
        }
    }

    json root_, reference_;
    std::vector<Tab> tabs_;
};

// Every box of the top level is a subpatcher "p NAME", shown on a tab of
// the help window, under the scripting name NAME; the top level itself is
// no tab.
TEST_F(HelpPatch, TopLevelHoldsTheTabs)
{
    EXPECT_EQ(root_.at("showrootpatcherontab"), 0);
    ASSERT_EQ(tabs_.size() + 1, root_.at("boxes").size());
    std::vector<std::string> names;
    for (const json &entry : root_.at("boxes")) {
        const json &box = entry.at("box");
        SCOPED_TRACE(box.value("text", ""));
        EXPECT_EQ(box.at("text"), "p " + box.value("varname", ""));
        EXPECT_EQ(box.at("patcher").at("showontab"), 1);
        names.push_back(box.at("varname"));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"basics", "placement", "visibility", "changes", "persistence", "reference"}));
}

// The reference tab names every related object of the reference page, and
// every message the object takes.
TEST_F(HelpPatch, ReferenceTabNamesTheRelatedObjectsAndMessages)
{
    std::string text;
    for (const json &entry : reference_.at("boxes"))
        text += entry.at("box").value("text", "") + "\n";
    for (const char *name : {"vst~", "autopattr", "pattr", "pattrstorage"})
        EXPECT_NE(text.find(name), std::string::npos) << name;
    for (const std::set<std::string> &names : {messages_, attributes_})
        for (const std::string &name : names)
            EXPECT_NE(text.find(name), std::string::npos) << name;
}

// Each tab opens with the standard header: the object's name in large bold
// type, then the digest of the reference page.
TEST_F(HelpPatch, EveryTabHasTheHeader)
{
    const std::string xml = read_file(kPackage + "/docs/qzkorvel.maxref.xml");
    std::smatch digest;
    ASSERT_TRUE(std::regex_search(xml, digest, std::regex("<digest>([^<]*)</digest>")));
    for (const Tab &tab : tabs_) {
        SCOPED_TRACE(tab.name);
        const json &title = tab.boxes.at("obj-1");
        EXPECT_EQ(title.at("maxclass"), "comment");
        EXPECT_EQ(title.at("text"), "qzkorvel");
        EXPECT_EQ(title.at("fontface"), 1);
        EXPECT_GE(title.at("fontsize").get<double>(), 20);
        EXPECT_EQ(tab.text("obj-2"), digest[1].str());
    }
}

TEST_F(HelpPatch, EveryBoxHasTheFieldsTheHostNeeds)
{
    EXPECT_EQ(root_.at("fileversion"), 1);
    for (const Tab &tab : tabs_) {
        SCOPED_TRACE(tab.name);
        EXPECT_EQ(tab.patcher.at("fileversion"), 1);
        EXPECT_TRUE(tab.patcher.at("appversion").is_object());
        EXPECT_EQ(tab.patcher.at("rect").size(), 4u);
        EXPECT_EQ(tab.boxes.size(), tab.patcher.at("boxes").size()) << "box ids are not unique";
        for (const auto &[id, box] : tab.boxes) {
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
}

// Only the kinds of box that the simulated host knows, with the inlets and
// outlets the host gives them.
TEST_F(HelpPatch, EveryBoxIsAKnownKindWithItsInletsAndOutlets)
{
    for (const Tab &tab : tabs_) {
        for (const auto &[id, box] : tab.boxes) {
            SCOPED_TRACE(tab.name + "/" + id + " " + tab.text(id));
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
                std::string cls = tab.newobj_class(id);
                int args = int(words(tab.text(id)).size()) - 1;
                if (cls == "qzkorvel" || cls == "prepend") {
                    EXPECT_EQ(ins, 1);
                    EXPECT_EQ(outs, 1);
                } else if (cls == "autopattr") {
                    EXPECT_EQ(ins, 1);
                    EXPECT_EQ(outs, 4);
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
}

TEST_F(HelpPatch, LinesJoinExistingOutletsToExistingInlets)
{
    for (const Tab &tab : tabs_) {
        ASSERT_FALSE(tab.lines.empty()) << tab.name;
        for (const Line &l : tab.lines) {
            SCOPED_TRACE(tab.name + ": " + l.from + " -> " + l.to);
            ASSERT_TRUE(tab.boxes.count(l.from));
            ASSERT_TRUE(tab.boxes.count(l.to));
            EXPECT_GE(l.outlet, 0);
            EXPECT_LT(l.outlet, tab.boxes.at(l.from).at("numoutlets").get<int>());
            EXPECT_GE(l.inlet, 0);
            EXPECT_LT(l.inlet, tab.boxes.at(l.to).at("numinlets").get<int>());
        }
    }
}

TEST_F(HelpPatch, BoxesDoNotOverlap)
{
    for (const Tab &tab : tabs_) {
        std::vector<std::pair<std::string, json>> placed;
        for (const auto &[id, box] : tab.boxes)
            if (box.at("maxclass") != "panel")
                placed.push_back({id, box.at("patching_rect")});
        for (size_t i = 0; i < placed.size(); ++i)
            for (size_t j = i + 1; j < placed.size(); ++j) {
                const json &a = placed[i].second, &b = placed[j].second;
                bool apart = a[0].get<double>() + a[2].get<double>() <= b[0].get<double>() ||
                             b[0].get<double>() + b[2].get<double>() <= a[0].get<double>() ||
                             a[1].get<double>() + a[3].get<double>() <= b[1].get<double>() ||
                             b[1].get<double>() + b[3].get<double>() <= a[1].get<double>();
                EXPECT_TRUE(apart) << tab.name << ": " << placed[i].first << " overlaps " << placed[j].first;
            }
    }
}

// Each tab has one qzkorvel box, naming a vst~ box of the same tab: the
// object finds its vst~ in its own patcher only.
TEST_F(HelpPatch, EveryTabsObjectNamesAVstBoxOfItsTab)
{
    for (const Tab &tab : tabs_) {
        SCOPED_TRACE(tab.name);
        std::string object = tab.the_object();
        ASSERT_FALSE(object.empty()) << "a tab needs exactly one qzkorvel box";
        std::vector<std::string> args = words(tab.text(object));
        ASSERT_GE(args.size(), 2u);
        std::vector<std::string> vsts = tab.boxes_of_class("vst~");
        EXPECT_TRUE(std::any_of(vsts.begin(), vsts.end(), [&](const std::string &id) {
            return tab.boxes.at(id).value("varname", "") == args[1];
        })) << "no vst~ box has the scripting name "
            << args[1];
    }
}

// The help works in Max as installed: no vst~ box names a plug-in, which
// the user may not have; a "plug" message box (Max's plug-in chooser) is
// wired into each tab's vst~.
TEST_F(HelpPatch, EveryVstStartsEmptyWithAPlugBox)
{
    for (const Tab &tab : tabs_) {
        SCOPED_TRACE(tab.name);
        for (const std::string &vst : tab.boxes_of_class("vst~")) {
            for (const std::string &arg : words(tab.text(vst)))
                EXPECT_TRUE(arg == "vst~" || std::isdigit((unsigned char)arg[0])) << tab.text(vst);
            EXPECT_TRUE(std::any_of(tab.boxes.begin(), tab.boxes.end(), [&](const auto &b) {
                return b.second.at("maxclass") == "message" && tab.text(b.first) == "plug" && tab.feeds(b.first, vst, 0);
            })) << "no plug box into " << vst;
        }
    }
}

// Each public message and each attribute has a message box wired to the
// object of some tab, and every message box wired to one sends something it
// understands.
TEST_F(HelpPatch, EveryMessageAndAttributeHasAMessageBoxWiredToTheObject)
{
    ASSERT_FALSE(messages_.empty());
    std::set<std::string> wired;
    for (const Tab &tab : tabs_) {
        std::string object = tab.the_object();
        ASSERT_FALSE(object.empty()) << tab.name;
        for (const auto &[id, box] : tab.boxes) {
            if (box.at("maxclass") != "message" || !tab.feeds(id, object, 0))
                continue;
            std::string selector = first_word(tab.text(id));
            EXPECT_TRUE(messages_.count(selector) || attributes_.count(selector))
                << tab.name << "/" << id << " sends \"" << tab.text(id) << "\", which qzkorvel does not understand";
            wired.insert(selector);
        }
    }
    for (const std::string &name : messages_)
        EXPECT_TRUE(wired.count(name)) << "no message box sends " << name;
    for (const std::string &name : attributes_)
        EXPECT_TRUE(wired.count(name)) << "no message box sets " << name;
}

// In the basics tab the outlet goes to a print and, split by selector,
// through [prepend set] into message boxes that show the last value of each
// report.
TEST_F(HelpPatch, ReportsAreRoutedBySelectorIntoDisplays)
{
    const Tab &tab = tabs_.at(0);
    std::string object = tab.the_object();
    ASSERT_FALSE(object.empty());
    std::vector<std::string> fed = tab.fed_by(object, 0);
    EXPECT_TRUE(
        std::any_of(fed.begin(), fed.end(), [&](const std::string &id) { return tab.newobj_class(id) == "print"; }));

    auto route =
        std::find_if(fed.begin(), fed.end(), [&](const std::string &id) { return tab.newobj_class(id) == "route"; });
    ASSERT_NE(route, fed.end());
    std::vector<std::string> selectors = words(tab.text(*route));
    selectors.erase(selectors.begin());
    EXPECT_EQ(selectors, (std::vector<std::string>{"pluginname", "savedpluginname", "delay", "state"}));
    for (size_t i = 0; i < selectors.size(); ++i) {
        SCOPED_TRACE(selectors[i]);
        std::vector<std::string> prepends = tab.fed_by(*route, int(i));
        ASSERT_EQ(prepends.size(), 1u);
        EXPECT_EQ(tab.text(prepends[0]), "prepend set");
        std::vector<std::string> displays = tab.fed_by(prepends[0], 0);
        ASSERT_EQ(displays.size(), 1u);
        EXPECT_EQ(tab.boxes.at(displays[0]).at("maxclass"), "message");
    }
}

// In the placement tab the state list goes, with its selector, into a
// message box; clicked, that box stores its list in a second one, which
// sends it back to the object: a round trip of one message qzkorvel takes.
TEST_F(HelpPatch, StateListIsStoredAndSentBackWithItsSelector)
{
    const Tab &tab = tabs_.at(1);
    std::string object = tab.the_object();
    ASSERT_FALSE(object.empty());
    std::vector<std::string> fed = tab.fed_by(object, 0);
    auto route =
        std::find_if(fed.begin(), fed.end(), [&](const std::string &id) { return tab.text(id) == "route state"; });
    ASSERT_NE(route, fed.end());
    std::vector<std::string> keep = tab.fed_by(*route, 0);
    ASSERT_EQ(keep.size(), 1u);
    EXPECT_EQ(tab.text(keep[0]), "prepend set state");
    std::vector<std::string> last = tab.fed_by(keep[0], 0);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_FALSE(tab.feeds(last[0], object, 0)) << "showing the last state must not send it";
    std::vector<std::string> store = tab.fed_by(last[0], 0);
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(tab.text(store[0]), "prepend set");
    std::vector<std::string> stored = tab.fed_by(store[0], 0);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(first_word(tab.text(stored[0])), "state");
    EXPECT_TRUE(tab.feeds(stored[0], object, 0));
}

// Built in the host from a tab's own text and scripting names, each tab's
// object binds to its vst~ box and reports, and every message box wired to
// it is accepted.
TEST_F(HelpPatch, BindsInTheHostAndAcceptsEveryMessageBox)
{
    simhost_display_add({0, 0, 1920, 1080}, {0, 0, 1920, 1040});
    simhost_mouse_set(960, 540);
    for (const Tab &tab : tabs_) {
        SCOPED_TRACE(tab.name);
        std::string object = tab.the_object();
        ASSERT_FALSE(object.empty());
        std::vector<std::string> vsts = tab.boxes_of_class("vst~");
        ASSERT_EQ(vsts.size(), 1u);

        const int first = simhost_event_count();
        t_object *patcher = simhost_patcher_new(nullptr, tab.name.c_str());
        t_object *vst_box =
            simhost_box_new(patcher, tab.boxes.at(vsts[0]).value("varname", "").c_str(), tab.text(vsts[0]).c_str());
        t_object *box = simhost_box_new(patcher, nullptr, tab.text(object).c_str());
        ASSERT_NE(jbox_get_object(vst_box), nullptr);
        t_object *x = jbox_get_object(box);
        ASSERT_NE(x, nullptr);
        drain();

        bool reported = false;
        for (int i = first; i < simhost_event_count(); ++i) {
            const simhost_event *e = simhost_event_get(i);
            EXPECT_NE(e->kind, SIMHOST_WARN) << e->text;
            reported |= e->kind == SIMHOST_OUTLET && e->object == x && first_word(e->text) == "pluginname";
        }
        EXPECT_TRUE(reported) << "qzkorvel did not report the plug-in of its vst~";

        for (const auto &[id, b] : tab.boxes) {
            if (b.at("maxclass") != "message" || !tab.feeds(id, object, 0))
                continue;
            SCOPED_TRACE(tab.text(id));
            t_atom *argv = nullptr;
            long argc = simhost_parse_atoms(tab.text(id).c_str(), &argv);
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
}

} // namespace
