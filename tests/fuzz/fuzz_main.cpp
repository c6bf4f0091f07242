/* The fuzzer: random scenarios and mutated patch files played on the module
 * in the simulated host, with the module's invariants checked after every
 * step:
 *   - every "state" list has five whole numbers and a vis of 0, 1 or 2;
 *   - no output comes from an object whose box is gone;
 *   - nothing is sent to a freed object or through a freed outlet (the host
 *     says so on its console);
 *   - no record is "hidden" without a window;
 *   - a record's editor handle is NULL or names a live window;
 *   - the host's queue stays short: a loop the patch builds may go on, but
 *     each pass does a bounded amount of work.
 * Sanitizer reports end the process, which the caller sees.
 *
 *   fuzz_korvel scenarios SEED COUNT [--save DIR]
 *   fuzz_korvel patches SEED COUNT CORPUS_DIR... [--save DIR]
 *   fuzz_korvel loops SEED COUNT [--save DIR]
 *   fuzz_korvel replay DIR
 *
 * loops makes patches that wire qzkorvel's reports back into it: through
 * route and message boxes into its own inlet (public and direct_ messages)
 * and into a scripting box (fuzzscript) that retypes and renames the
 * qzkorvel and vst~ boxes while the report is going out. A loop case is
 * saved as a patch file whose "fuzzsteps" are the steps played on it.
 *
 * Scenario and patch cases are made from SEED, so a run is repeatable. With
 * --save, each case is written to DIR/current.ksim (or .maxpat) before it is
 * played, and a case that breaks an invariant stays there: a run that dies
 * leaves the case that killed it. replay plays every .ksim and .maxpat of
 * DIR, the kept regressions. The last line counts what was played. */
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "korvel.h"
#include "simhost.h"
#include "testkit.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using Lines = std::vector<std::string>;

/* A broken invariant. */
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Counts {
    long cases = 0, steps = 0, refused = 0;
};

/* More calls queued than any case makes by its own steps: the work of a
 * pass grows with the passes. */
constexpr long MAX_PENDING = 1000;

void check_queue()
{
    const long pending = simhost_queue_pending();
    if (pending > MAX_PENDING)
        throw Failure("the queue grows: " + std::to_string(pending) + " calls pending");
}

/* ---- the patch's scripting ----
 *
 * fuzzscript acts on the boxes of its patcher by scripting name, as a patch
 * does in Max with thispatcher's script messages: "retype NAME" gives the
 * box a new object from its own text, "rename NAME NEW" renames it. (A box
 * deleted behind the test kit's back would leave it a dangling entry; the
 * scenario's delete step deletes boxes.) */
struct t_script {
    t_object ob;
};

t_object *script_patcher(t_script *x)
{
    t_object *patcher = nullptr;
    object_obex_lookup(x, gensym("#P"), &patcher);
    return patcher;
}

t_object *script_box(t_script *x, long argc, t_atom *argv)
{
    t_object *patcher = script_patcher(x);
    if (!patcher || argc < 1 || atom_gettype(argv) != A_SYM)
        return nullptr;
    return (t_object *)object_method_imp(patcher, gensym("getnamedbox"), atom_getsym(argv), nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr);
}

void script_retype(t_script *x, t_symbol *s, long argc, t_atom *argv)
{
    t_object *box = script_box(x, argc, argv);
    if (box)
        simhost_box_retype(box, std::string(simhost_box_text(box)).c_str());
}

void script_rename(t_script *x, t_symbol *s, long argc, t_atom *argv)
{
    t_object *box = script_box(x, argc, argv);
    if (box && argc >= 2 && atom_gettype(argv + 1) == A_SYM)
        simhost_box_rename(box, atom_getsym(argv + 1)->s_name);
}

void *script_new(t_symbol *s, long argc, t_atom *argv)
{
    return object_alloc(simhost_class_find("box", "fuzzscript"));
}

/* Registers fuzzscript in the world's host. */
void script_setup()
{
    t_class *c = class_new("fuzzscript", as_method(script_new), nullptr, (long)sizeof(t_script), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(script_retype), "retype", A_GIMME, 0);
    class_addmethod(c, as_method(script_rename), "rename", A_GIMME, 0);
    class_register(gensym("box"), c);
}

/* ---- invariants ---- */

bool whole_number(const std::string &word)
{
    char *end = nullptr;
    errno = 0;
    std::strtoll(word.c_str(), &end, 10);
    return !word.empty() && *end == '\0' && errno == 0;
}

std::vector<std::string> words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

void check_state_line(const std::vector<std::string> &w, const std::string &line)
{
    if (w.size() != 8)
        throw Failure("a state list without five numbers: " + line);
    for (size_t i = 3; i < 8; i++)
        if (!whole_number(w[i]))
            throw Failure("a state list with a word that is no whole number: " + line);
    if (w[7] != "0" && w[7] != "1" && w[7] != "2")
        throw Failure("a state list whose vis is not 0, 1 or 2: " + line);
}

/* Outputs of one step: state lists well formed and, when owners are known,
 * only from boxes that are alive or that this step deleted. */
void check_lines(testkit::World &world, const Lines &lines, const std::string &deleted, bool named_owners)
{
    for (const std::string &line : lines) {
        if (line.rfind("console violation ", 0) == 0)
            throw Failure(line);
        for (const char *misuse : {"to something that is not an object", "to an outlet that does not exist",
                                   "object_free: not an object"})
            if (line.rfind("console error ", 0) == 0 && line.find(misuse) != std::string::npos)
                throw Failure("a freed object used: " + line);
        const std::vector<std::string> w = words(line);
        if (w.size() < 3 || w[0] != "out")
            continue;
        /* the boxes a loop patch feeds pass on whatever they are sent */
        const bool passes_on = w[1].rfind("message#", 0) == 0 || w[1].rfind("route#", 0) == 0;
        if (w[2] == "state" && !passes_on)
            check_state_line(w, line);
        if (!named_owners || w[1] == deleted)
            continue;
        try {
            world.find(w[1].substr(0, w[1].find(':')));
        } catch (const testkit::Error &) {
            throw Failure("output from an object whose box is gone: " + line);
        }
    }
}

void check_records(t_object *patcher)
{
    for (long i = 0; i < simhost_patcher_boxcount(patcher); i++) {
        t_object *obj = jbox_get_object(simhost_patcher_box(patcher, i));
        t_symbol *cls = obj ? object_classname(obj) : nullptr;
        if (!cls)
            continue;
        if (std::strcmp(cls->s_name, "patcher") == 0) {
            check_records(obj);
            continue;
        }
        if (std::strcmp(cls->s_name, "qzkorvel") != 0)
            continue;
        const t_korvel *x = (const t_korvel *)obj;
        if (x->hidden && !x->editor_hwnd)
            throw Failure("a record is hidden without a window");
        if (x->editor_hwnd && !IsWindow(x->editor_hwnd))
            throw Failure("a record's editor handle names no window");
    }
}

/* ---- playing ---- */

/* Plays a scenario a line at a time. Lines the player refuses (a box that
 * is gone, no editor to move) are part of fuzzing and are skipped. */
void play(testkit::World &world, const Lines &scenario, bool named_owners, Counts &counts)
{
    testkit::Player player(world);
    world.lines();
    for (const std::string &line : scenario) {
        const std::vector<std::string> w = words(line);
        const std::string deleted = w.size() == 2 && w[0] == "delete" ? w[1] : "";
        Lines out;
        try {
            player.play(line, "step", [&out](const std::string &l) { out.push_back(l); });
        } catch (const testkit::Error &) {
            counts.refused++;
        }
        counts.steps++;
        try {
            check_lines(world, out, deleted, named_owners);
            check_records(world.patcher());
            check_queue();
        } catch (const Failure &f) {
            throw Failure("after '" + line + "': " + f.what());
        }
    }
}

/* ---- the scenario generator ---- */

class Generator {
public:
    explicit Generator(uint64_t seed) : rng_(seed) {}

    Lines scenario()
    {
        Lines out;
        korvels_ = 0;
        vsts_ = 0;
        named_.clear();
        setup(out);
        const int steps = 20 + pick(101);
        for (int i = 0; i < steps; i++)
            out.push_back(step());
        return out;
    }

    /* COUNT steps on a patch that has KORVELS qzkorvel boxes and vst~ boxes
     * v1 to vVSTS. */
    Lines steps(int korvels, int vsts, int count)
    {
        korvels_ = korvels;
        vsts_ = vsts;
        named_.clear();
        Lines out;
        for (int i = 0; i < count; i++)
            out.push_back(step());
        return out;
    }

private:
    std::mt19937_64 rng_;
    int korvels_ = 0;           /* qzkorvel boxes made: qzkorvel#1 ... */
    int vsts_ = 0;              /* vst~ boxes made: v1 ... */
    std::vector<std::string> named_; /* self-named qzkorvel boxes */

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }
    const char *any(std::initializer_list<const char *> list) { return list.begin()[pick((int)list.size())]; }

    std::string coordinate()
    {
        if (chance(60))
            return std::to_string(pick(4400) - 1200);
        return any({"-12345", "0", "32767", "32768", "-32769", "40000", "2147483647", "2147483648", "-2147483649",
                    "4294954951", "9223372036854775807", "-9223372036854775808", "1e300", "-1e300", "0.5", "-0.5",
                    "nan", "foo", "\"\""});
    }

    std::string size() { return std::to_string(1 + pick(2400)); }

    std::string numbers(int n)
    {
        std::string s;
        for (int i = 0; i < n; i++)
            s += " " + coordinate();
        return s;
    }

    std::string korvel()
    {
        if (!named_.empty() && chance(30))
            return named_[pick((int)named_.size())];
        return "qzkorvel#" + std::to_string(1 + pick(korvels_ + 1));
    }

    std::string vst() { return "v" + std::to_string(1 + pick(vsts_ + 1)); }
    std::string plugin() { return any({"SYNTH", "BIG", "123", "TINY"}); }

    std::string new_vst()
    {
        const std::string name = "v" + std::to_string(++vsts_);
        return "box " + name + " = vst~" + (chance(80) ? " " + plugin() : std::string());
    }

    std::string new_korvel()
    {
        ++korvels_;
        switch (pick(8)) {
        case 0: {
            const std::string name = "q" + std::to_string(korvels_);
            named_.push_back(name);
            return "box " + name + " = qzkorvel " + name;
        }
        case 1:
            return std::string("box qzkorvel ") + any({"5", "@debug 1", "-2.5", "\"\"", ""});
        case 2:
            return "box qzkorvel " + vst() + " @stayontop 1";
        case 3:
            return "box qzkorvel " + vst() + " @debug 1";
        default:
            return "box qzkorvel " + vst();
        }
    }

    void setup(Lines &out)
    {
        switch (pick(4)) {
        case 0:
            out.push_back("display 0 0 1920 1080");
            out.push_back("display 1920 -1080 1920 1080");
            break;
        case 1:
            out.push_back("display 0 0 1920 1040");
            out.push_back("display -800 0 800 984");
            break;
        default:
            break;
        }
        out.push_back("mouse " + std::to_string(pick(3000) - 900) + " " + std::to_string(pick(1600) - 600));
        out.push_back("plugin SYNTH 640x480 delay 64");
        out.push_back("plugin BIG 2000x1200");
        out.push_back("plugin 123 300x200 delay 5");
        out.push_back("plugin TINY 1x1 delay 2147483647");
        for (int i = 1 + pick(3); i > 0; i--)
            out.push_back(new_vst());
        for (int i = 1 + pick(4); i > 0; i--)
            out.push_back(new_korvel());
        out.push_back("pass");
    }

    std::string message()
    {
        const std::string k = korvel();
        const std::string direct = chance(30) ? "direct_" : "";
        switch (pick(12)) {
        case 0:
        case 1:
            return "send " + k + " " + direct + "open" + (chance(70) ? numbers(2) : numbers(pick(4)));
        case 2:
            return "send " + k + " " + direct + "pos" + (chance(80) ? numbers(2) : numbers(pick(4)));
        case 3:
        case 4: {
            const std::string vis = chance(80) ? any({"0", "1", "2"}) : coordinate();
            return "send " + k + " " + direct + "state" + numbers(2) + " " + size() + " " + size() + " " + vis;
        }
        case 5:
            return "send " + k + " " + direct + "state" + numbers(pick(7));
        case 6:
            return "send " + k + " " + direct + any({"hide", "show"}) + numbers(pick(2));
        case 7:
            return "send " + k + " " + direct + "close";
        case 8:
            return "send " + k + " " + direct + "clear" + numbers(pick(2));
        case 9:
            return "send " + k + " " + any({"debug", "stayontop"}) + " " + any({"0", "1", "2", "-1", "foo"});
        case 10:
            return "send " + k + " " + any({"bang", "notify", "assist", "foo", "int 3"});
        default:
            return "send " + k + " open";
        }
    }

    std::string user()
    {
        switch (pick(4)) {
        case 0:
            return "user move editor " + std::to_string(pick(4000) - 1000) + " " + std::to_string(pick(2000) - 500);
        case 1:
            return "user resize editor " + size() + " " + size();
        case 2:
            return "user close editor";
        default:
            return "user activate editor";
        }
    }

    std::string target()
    {
        switch (pick(9)) {
        case 0:
            return "load " + vst() + " " + plugin();
        case 1:
            return "unload " + vst();
        case 2:
            return "latency " + vst() + " " + std::to_string(pick(5000) - 10);
        case 3:
            return "rename " + vst() + " v" + std::to_string(1 + pick(vsts_ + 2));
        case 4:
            return "delete " + (chance(50) ? vst() : korvel());
        case 5:
            return "misbehave " + vst() + " offset " + std::to_string(pick(61) - 30) + " " +
                   std::to_string(pick(61) - 30);
        case 6:
            return "misbehave " + vst() + " " + any({"noeditor", "normal"});
        case 7:
            return new_vst();
        default:
            return new_korvel();
        }
    }

    std::string step()
    {
        const int roll = pick(100);
        if (roll < 40)
            return message();
        if (roll < 60)
            return "pass " + std::to_string(1 + pick(3));
        if (roll < 70)
            return user();
        if (roll < 76)
            return std::string("app ") + any({"background", "foreground"});
        if (roll < 90)
            return target();
        if (roll < 95)
            return "window " + coordinate() + " " + coordinate() + " " + size() + " " + size() +
                   (chance(5) ? " 260" : "");
        return "mouse " + std::to_string(pick(5000) - 1500) + " " + std::to_string(pick(3000) - 1000);
    }
};

/* ---- the patch mutator ---- */

/* Mostly changes what a patch says (box texts and names, ids, cords, extreme
 * numbers), so that most mutants still open; now and then changes its bytes,
 * so that the reader's refusals are tried too. */
class Mutator {
public:
    Mutator(uint64_t seed, const std::vector<std::string> &originals) : rng_(seed)
    {
        for (const std::string &text : originals)
            originals_.push_back(json::parse(text, nullptr, false));
        texts_ = originals;
    }

    std::string patch()
    {
        const size_t which = pick(texts_.size());
        if (pick(10) == 0) {
            std::string text = texts_[which];
            for (size_t n = 1 + pick(3); n > 0 && !text.empty(); n--)
                mutate_bytes(text);
            return text;
        }
        json doc = originals_[which];
        std::vector<json *> boxes, lines;
        collect(doc, boxes, lines);
        for (size_t n = 1 + pick(4); n > 0; n--)
            mutate(doc, boxes, lines);
        return doc.dump(1);
    }

private:
    std::mt19937_64 rng_;
    std::vector<json> originals_;
    std::vector<std::string> texts_;

    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    const char *any(std::initializer_list<const char *> list) { return list.begin()[pick(list.size())]; }

    static void collect(json &node, std::vector<json *> &boxes, std::vector<json *> &lines)
    {
        if (!node.is_object() && !node.is_array())
            return;
        if (node.is_object() && node.contains("box") && node["box"].is_object())
            boxes.push_back(&node["box"]);
        if (node.is_object() && node.contains("patchline") && node["patchline"].is_object())
            lines.push_back(&node["patchline"]);
        for (json &child : node)
            collect(child, boxes, lines);
    }

    std::string some_name(const std::vector<json *> &boxes)
    {
        for (size_t tries = 0; tries < 4 && !boxes.empty(); tries++) {
            const json &b = *boxes[pick(boxes.size())];
            if (b.contains("varname") && b["varname"].is_string())
                return b["varname"];
        }
        return any({"synth", "q", "123", "nosuch"});
    }

    json extreme()
    {
        switch (pick(5)) {
        case 0: return 1e308;
        case 1: return -9223372036854775807LL;
        case 2: return 4294954951LL;
        case 3: return -1;
        default: return "x";
        }
    }

    void mutate(json &doc, std::vector<json *> &boxes, std::vector<json *> &lines)
    {
        if (boxes.empty())
            return;
        json &box = *boxes[pick(boxes.size())];
        const std::string name = some_name(boxes);
        /* most mutants still open: refusals are a few of the cases */
        switch (pick(16)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6:
            box["maxclass"] = "newobj";
            box["text"] = "qzkorvel " + name + any({"", " @debug 1", " @stayontop 1"});
            break;
        case 7:
            box["maxclass"] = "newobj";
            box["varname"] = "self";
            box["text"] = "qzkorvel self";
            break;
        case 8:
            box["text"] = any({"qzkorvel 5", "qzkorvel @debug 1", "qzkorvel", "vst~ 123", "vst~ \"a \\\"b\\\"\\\\\"",
                               "vst~ 2 2 \"C:/VST/My Synth.dll\""});
            break;
        case 9:
            box["varname"] = name;
            break;
        case 10:
            box.erase(any({"id", "maxclass", "text", "varname"}));
            break;
        case 11:
            box["id"] = (*boxes[pick(boxes.size())])["id"];
            break;
        case 12:
            box[any({"numinlets", "numoutlets", "patching_rect"})] = extreme();
            break;
        case 13:
            if (!lines.empty()) {
                json &line = *lines[pick(lines.size())];
                line[any({"source", "destination"})] = json::array({(*boxes[pick(boxes.size())])["id"], extreme()});
            }
            break;
        case 14: case 15:
            if (doc.contains("patcher") && doc["patcher"].is_object() && doc["patcher"].contains("boxes") &&
                doc["patcher"]["boxes"].is_array())
                doc["patcher"]["boxes"].push_back(
                    {{"box", {{"id", "obj-fuzz"}, {"maxclass", "newobj"}, {"text", "qzkorvel " + name}}}});
            /* the array may have moved */
            boxes.clear();
            lines.clear();
            collect(doc, boxes, lines);
            break;
        }
    }

    void mutate_bytes(std::string &text)
    {
        const size_t at = pick(text.size());
        const size_t span = std::min(text.size() - at, 1 + pick(64));
        switch (pick(3)) {
        case 0:
            text[at] = "{}[]\",:0123456789-e.aZ \\"[pick(24)];
            break;
        case 1:
            text.erase(at, span);
            break;
        default:
            text.insert(pick(text.size()), text.substr(at, span));
            break;
        }
    }
};

/* ---- the loop maker ---- */

/* A patch whose qzkorvel boxes' reports run back into them: each qzkorvel
 * feeds a route by report, and some of the route's outlets feed message
 * boxes that send a message to a qzkorvel or a script to fuzzscript. */
class LoopMaker {
public:
    explicit LoopMaker(uint64_t seed) : rng_(seed), generator_(seed) {}

    std::string patch()
    {
        boxes_ = json::array();
        lines_ = json::array();
        ids_ = 0;
        const int vsts = 1 + pick(2), korvels = 1 + pick(2);
        for (int i = 1; i <= vsts; i++)
            add("vst~" + std::string(chance(85) ? any({" SYNTH", " BIG", " 123"}) : ""), "v" + std::to_string(i));
        std::vector<std::string> routes;
        for (int i = 1; i <= korvels; i++) {
            const bool self = chance(25);
            const std::string name = self ? "q" + std::to_string(i) : "v" + std::to_string(1 + pick(vsts));
            korvels_.push_back(add("qzkorvel " + name + (chance(20) ? " @debug 1" : ""), self ? name : ""));
            names_.push_back(name);
            routes.push_back(add("route pluginname savedpluginname delay state willchange"));
            connect(korvels_.back(), 0, routes.back());
        }
        script_ = add("fuzzscript");
        for (int n = 1 + pick(3); n > 0; n--)
            feedback(routes[pick(korvels)], vsts);
        json doc = {{"patcher", {{"boxes", boxes_}, {"lines", lines_}}}};
        doc["fuzzsteps"] = generator_.steps(korvels, vsts, 10 + pick(40));
        korvels_.clear();
        names_.clear();
        return doc.dump(1);
    }

private:
    std::mt19937_64 rng_;
    Generator generator_;
    json boxes_, lines_;
    int ids_ = 0;
    std::vector<std::string> korvels_, names_;
    std::string script_;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return pick(100) < percent; }
    std::string any(std::initializer_list<const char *> list) { return list.begin()[pick((int)list.size())]; }

    std::string add(const std::string &text, const std::string &varname = "", const char *maxclass = "newobj")
    {
        const std::string id = "obj-" + std::to_string(++ids_);
        json box = {{"id", id}, {"maxclass", maxclass}, {"text", text}};
        if (!varname.empty())
            box["varname"] = varname;
        boxes_.push_back({{"box", box}});
        return id;
    }

    void connect(const std::string &from, int outlet, const std::string &to)
    {
        lines_.push_back({{"patchline", {{"source", {from, outlet}}, {"destination", {to, 0}}}}});
    }

    /* A message to a qzkorvel, public or direct_. */
    std::string korvel_message()
    {
        const std::string direct = chance(40) ? "direct_" : "";
        return direct + any({"open", "open 100 200", "close", "clear", "state $1 $2 $3 $4 $5", "state 0 0 10 10 2",
                             "hide", "show", "pos -12345 0"});
    }

    /* A script on one of the boxes: a vst~, or a qzkorvel named after itself. */
    std::string script(int vsts)
    {
        const std::string vst = "v" + std::to_string(1 + pick(vsts));
        const std::string other = "v" + std::to_string(1 + pick(vsts + 1));
        const std::string korvel = names_[pick((int)names_.size())];
        switch (pick(4)) {
        case 0: return "retype " + vst;
        case 1: return "rename " + vst + " " + other;
        case 2: return "retype " + korvel;
        default: return "rename " + korvel + " " + other;
        }
    }

    void feedback(const std::string &route, int vsts)
    {
        const bool scripted = chance(40);
        const std::string message = add(scripted ? script(vsts) : korvel_message(), "", "message");
        connect(route, pick(6), message);
        connect(message, 0, scripted ? script_ : korvels_[pick((int)korvels_.size())]);
    }
};

/* What a user does with an opened patch. */
const Lines patch_steps = {"send qzkorvel#1 open 100 200", "pass 2", "send qzkorvel#1 pos 40000 -40000", "pass",
                           "send qzkorvel#1 clear", "pass 2", "send qzkorvel#2 state 1e300 0 640 480 2", "pass 3",
                           "send qzkorvel#1 close", "pass 2"};

/* The steps a loop case keeps in its file, or the user's usual ones. */
Lines steps_of(const std::string &text)
{
    const json doc = json::parse(text, nullptr, false);
    if (doc.is_object() && doc.contains("fuzzsteps") && doc["fuzzsteps"].is_array()) {
        Lines steps;
        for (const json &step : doc["fuzzsteps"])
            if (step.is_string())
                steps.push_back(step);
        return steps;
    }
    return patch_steps;
}

/* Runs the queue as a patch file's opening does, the queue checked after
 * every pass. */
void settle(testkit::World &world)
{
    for (int i = 0; i < 100 && simhost_queue_pending() > 0; i++) {
        world.pass();
        check_queue();
    }
}

/* Opens a patch: refused with its file name, or opened, settled and checked. */
void open_patch(const std::string &text, const std::string &file, Counts &counts)
{
    testkit::World world;
    script_setup();
    try {
        world.open_patch(text, file);
    } catch (const testkit::Error &e) {
        if (std::string(e.what()).rfind(file + ": ", 0) != 0)
            throw Failure(std::string("a refusal that does not name the file: ") + e.what());
        counts.refused++;
        return;
    }
    try {
        settle(world);
    } catch (const Failure &f) {
        throw Failure(std::string("while the patch opened: ") + f.what());
    }
    check_lines(world, world.lines(), "", false);
    check_records(world.patcher());
    play(world, steps_of(text), false, counts);
}

/* ---- the program ---- */

std::string read_file(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Lines split_lines(const std::string &text)
{
    Lines out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string join(const Lines &lines)
{
    std::string text;
    for (const std::string &l : lines)
        text += l + "\n";
    return text;
}

void save(const std::string &dir, const std::string &name, const std::string &text)
{
    if (dir.empty())
        return;
    std::ofstream(fs::path(dir) / name, std::ios::binary) << text;
}

int replay(const fs::path &dir, Counts &counts)
{
    std::vector<fs::path> files;
    for (const auto &entry : fs::directory_iterator(dir))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path &file : files) {
        try {
            if (file.extension() == ".ksim") {
                testkit::World world;
                play(world, split_lines(read_file(file)), true, counts);
            } else if (file.extension() == ".maxpat") {
                open_patch(read_file(file), file.filename().string(), counts);
            } else {
                continue;
            }
        } catch (const Failure &f) {
            std::fprintf(stderr, "%s: %s\n", file.string().c_str(), f.what());
            return 1;
        }
        counts.cases++;
    }
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: fuzz_korvel scenarios SEED COUNT [--save DIR]\n"
                         "       fuzz_korvel patches SEED COUNT CORPUS_DIR... [--save DIR]\n"
                         "       fuzz_korvel loops SEED COUNT [--save DIR]\n"
                         "       fuzz_korvel replay DIR\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string save_dir;
    for (size_t i = 0; i + 1 < args.size(); i++) {
        if (args[i] == "--save") {
            save_dir = args[i + 1];
            args.erase(args.begin() + (long)i, args.begin() + (long)i + 2);
            break;
        }
    }
    Counts counts;
    int code = 0;
    if (args.size() == 2 && args[0] == "replay") {
        code = replay(args[1], counts);
    } else if (args.size() >= 3 && (args[0] == "scenarios" || args[0] == "patches" || args[0] == "loops")) {
        const uint64_t seed = std::strtoull(args[1].c_str(), nullptr, 10);
        const long count = std::strtol(args[2].c_str(), nullptr, 10);
        std::vector<std::string> originals;
        for (size_t i = 3; i < args.size(); i++)
            for (const auto &entry : fs::directory_iterator(args[i]))
                if (entry.path().extension() == ".maxpat" || entry.path().extension() == ".maxhelp")
                    originals.push_back(read_file(entry.path()));
        if (args[0] == "patches" && originals.empty())
            return usage();
        Generator generator(seed);
        Mutator mutator(seed, originals);
        LoopMaker loops(seed);
        for (long i = 0; i < count && code == 0; i++, counts.cases++) {
            const bool scenarios = args[0] == "scenarios";
            const std::string text = scenarios ? join(generator.scenario())
                                     : args[0] == "loops" ? loops.patch()
                                                          : mutator.patch();
            const std::string name = scenarios ? "current.ksim" : "current.maxpat";
            save(save_dir, name, text);
            try {
                if (scenarios) {
                    testkit::World world;
                    play(world, split_lines(text), true, counts);
                } else {
                    open_patch(text, name, counts);
                }
            } catch (const Failure &f) {
                std::fprintf(stderr, "seed %llu case %ld: %s\n", (unsigned long long)seed, i, f.what());
                code = 1;
            }
        }
    } else {
        return usage();
    }
    std::printf("%s: %ld cases, %ld steps (%ld refused by the player or host), %s\n",
                args[0].c_str(), counts.cases, counts.steps, counts.refused, code ? "FAILED" : "clean");
    return code;
}
