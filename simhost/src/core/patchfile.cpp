/* Patch files (.maxpat, .maxhelp, Max's JSON) opened into a patcher and
 * saved from it. The whole file is read and checked first, so that a
 * malformed one is refused before the host holds any of its boxes; then the
 * boxes are made, level by level, and the patch cords joined. The host
 * knows the kinds of box (object, message, comment, panel, subpatcher) and
 * the attributes a class saves; what else a class keeps in the file goes
 * through its hooks (kit::PatchHooks), so no class is named here. */
#include "host.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <tuple>

namespace simhost {

namespace {

using nlohmann::json;

// Subpatchers inside subpatchers; real patches stay far below this, and a
// file nested deeper is refused rather than followed.
const int deepest = 32;

// Why the last simhost_patch_open refused its file.
std::string s_refusal;

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Kind {
    object,  // a newobj box of a class the host knows
    message, // a message box
    quiet,   // a box that does nothing in the host either: comments, panels, empty object boxes
    inert,   // a box the simulated host cannot run: warned about
    sub,     // a subpatcher
};

struct Level;

// A box as the file describes it.
struct Box {
    std::string id, maxclass, text, varname;
    long long inlets = -1, outlets = -1; // -1: not in the file
    double x = 0, y = 0;
    Kind kind = Kind::quiet;
    std::string cls;            // the class it is named and warned by
    const json *entry = nullptr; // the box's entry in the file, for its class's hooks
    // "saved_object_attributes": the attributes the class saves, as saved
    std::vector<std::pair<std::string, std::vector<t_atom>>> attributes;
    std::unique_ptr<Level> sub;
};

struct Cord {
    std::string src, dst;
    long long outlet, inlet;
};

// One patcher of the file: the top level or a subpatcher.
struct Level {
    std::string where; // "" for the top level, else "subpatcher obj-2/obj-7: "
    bool tab = false;  // a subpatcher shown on a tab of the window ("showontab")
    std::vector<Box> boxes;
    std::vector<Cord> cords;
};

std::string first_word(const std::string &text)
{
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return "";
    const size_t end = text.find_first_of(" \t\r\n", begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string after_first_word(const std::string &text)
{
    const std::string word = first_word(text);
    const size_t begin = text.find_first_not_of(" \t\r\n", text.find(word) + word.size());
    return begin == std::string::npos ? "" : text.substr(begin);
}

const json *member(const json &object, const char *key)
{
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// One end of a patch cord: [id, outlet or inlet].
bool cord_end(const json &line, const char *key, std::string &id, long long &index)
{
    const json *v = member(line, key);
    if (!v || !v->is_array() || v->size() != 2 || !(*v)[0].is_string() || !(*v)[1].is_number_unsigned() ||
        (*v)[1].get<unsigned long long>() > INT_MAX)
        return false;
    id = (*v)[0].get<std::string>();
    index = (*v)[1].get<long long>();
    return true;
}

class Reader {
public:
    explicit Reader(const std::string &file) : file_(file) {}

    Level patcher(const json &p, const std::string &where, int depth) const
    {
        if (depth > deepest)
            fail(where, "subpatchers nested deeper than " + std::to_string(deepest));
        Level level;
        level.where = where;
        const json *tab = member(p, "showontab");
        level.tab = tab && tab->is_number() && tab->get<double>() != 0;
        const json *boxes = member(p, "boxes");
        if (boxes && !boxes->is_array())
            fail(where, "\"boxes\" is not an array");
        std::set<std::string> ids;
        for (size_t i = 0; boxes && i < boxes->size(); ++i) {
            level.boxes.push_back(box((*boxes)[i], where, "boxes[" + std::to_string(i) + "]", depth));
            if (!ids.insert(level.boxes.back().id).second)
                fail(where, "box " + level.boxes.back().id + ": the id is used twice");
        }
        const json *lines = member(p, "lines");
        if (lines && !lines->is_array())
            fail(where, "\"lines\" is not an array");
        for (size_t i = 0; lines && i < lines->size(); ++i)
            level.cords.push_back(cord((*lines)[i], level, "lines[" + std::to_string(i) + "]"));
        return level;
    }

    [[noreturn]] void fail(const std::string &where, const std::string &what) const
    {
        throw Refused(file_ + ": " + where + what);
    }

private:
    // A count or an index: a whole number from 0 on, or -1 when absent.
    long long whole(const json &object, const char *key, const std::string &where, const std::string &what) const
    {
        const json *v = member(object, key);
        if (!v)
            return -1;
        if (!v->is_number_unsigned() || v->get<unsigned long long>() > INT_MAX)
            fail(where, what + ": \"" + key + "\" is not a whole number from 0 on");
        return v->get<long long>();
    }

    std::string text(const json &object, const char *key, const std::string &where, const std::string &what) const
    {
        const json *v = member(object, key);
        if (!v)
            return "";
        if (!v->is_string())
            fail(where, what + ": \"" + key + "\" is not a text");
        return v->get<std::string>();
    }

    // Only boxes that run need their text; the text of others (a comment's,
    // a user-interface object's) is kept when it is one.
    Box box(const json &entry, const std::string &where, const std::string &at, int depth) const
    {
        const json *b = entry.is_object() ? member(entry, "box") : nullptr;
        if (!b || !b->is_object())
            fail(where, at + ": not {\"box\": {...}}");
        Box box;
        box.entry = b;
        if (!member(*b, "id"))
            fail(where, at + ": no \"id\"");
        box.id = text(*b, "id", where, at);
        if (box.id.empty())
            fail(where, at + ": an empty \"id\"");
        const std::string what = "box " + box.id;
        if (!member(*b, "maxclass"))
            fail(where, what + ": no \"maxclass\"");
        box.maxclass = text(*b, "maxclass", where, what);
        if (box.maxclass == "newobj" && !member(*b, "text"))
            fail(where, what + ": a newobj box without \"text\"");
        if (box.maxclass == "newobj" || box.maxclass == "message")
            box.text = text(*b, "text", where, what);
        else if (const json *t = member(*b, "text"))
            box.text = t->is_string() ? t->get<std::string>() : "";
        box.varname = text(*b, "varname", where, what);
        box.inlets = whole(*b, "numinlets", where, what);
        box.outlets = whole(*b, "numoutlets", where, what);
        const json *rect = member(*b, "patching_rect");
        if (rect && rect->is_array() && rect->size() >= 2 && (*rect)[0].is_number() && (*rect)[1].is_number()) {
            box.x = (*rect)[0].get<double>();
            box.y = (*rect)[1].get<double>();
        }
        saved_attributes(*b, box);
        const json *sub = member(*b, "patcher");
        if (sub && !sub->is_object())
            fail(where, what + ": \"patcher\" is not an object");
        const std::string inside = (where.empty() ? "subpatcher " : where.substr(0, where.size() - 2) + "/") + box.id;
        if (sub)
            box.sub = std::make_unique<Level>(patcher(*sub, inside + ": ", depth + 1));
        classify(box);
        return box;
    }

    static void saved_attributes(const json &b, Box &box)
    {
        const json *a = member(b, "saved_object_attributes");
        if (!a || !a->is_object())
            return;
        for (auto it = a->begin(); it != a->end(); ++it) {
            std::vector<t_atom> atoms;
            if (kit::atoms_from(it->is_array() ? *it : json::array({*it}), atoms))
                box.attributes.emplace_back(it.key(), atoms);
        }
    }

    // A "p" box saved without its patcher gets an empty one, as Max gives it.
    static void classify(Box &box)
    {
        const bool newobj = box.maxclass == "newobj";
        const std::string word = first_word(box.text);
        box.cls = !newobj ? box.maxclass : word.empty() ? "newobj" : word;
        if (newobj && (word == "p" || word == "patcher") && !box.sub)
            box.sub = std::make_unique<Level>();
        if (box.sub)
            box.kind = Kind::sub;
        else if (newobj && word.empty())
            box.kind = Kind::quiet;
        else if (newobj)
            box.kind = class_lookup(_sym_box, sym(word.c_str())) ? Kind::object : Kind::inert;
        else if (box.maxclass == "message")
            box.kind = Kind::message;
        else
            box.kind = box.maxclass == "comment" || box.maxclass == "panel" ? Kind::quiet : Kind::inert;
    }

    Cord cord(const json &entry, const Level &level, const std::string &at) const
    {
        const std::string &where = level.where;
        const json *l = entry.is_object() ? member(entry, "patchline") : nullptr;
        if (!l || !l->is_object())
            fail(where, at + ": not {\"patchline\": {...}}");
        Cord cord;
        if (!cord_end(*l, "source", cord.src, cord.outlet))
            fail(where, at + ": \"source\" is not [id, outlet]");
        if (!cord_end(*l, "destination", cord.dst, cord.inlet))
            fail(where, at + ": \"destination\" is not [id, inlet]");
        const std::string what = "patch cord " + cord.src + ":" + std::to_string(cord.outlet) + " -> " + cord.dst +
                                 ":" + std::to_string(cord.inlet);
        const Box *src = find(level, cord.src);
        const Box *dst = find(level, cord.dst);
        if (!src)
            fail(where, what + ": no box " + cord.src);
        if (!dst)
            fail(where, what + ": no box " + cord.dst);
        if (src->outlets >= 0 && cord.outlet >= src->outlets)
            fail(where, what + ": box " + cord.src + " has " + std::to_string(src->outlets) + " outlets");
        if (dst->inlets >= 0 && cord.inlet >= dst->inlets)
            fail(where, what + ": box " + cord.dst + " has " + std::to_string(dst->inlets) + " inlets");
        return cord;
    }

    static const Box *find(const Level &level, const std::string &id)
    {
        for (const Box &b : level.boxes)
            if (b.id == id)
                return &b;
        return nullptr;
    }

    std::string file_;
};

// Boxes the simulated host cannot run, by class: how many the whole file
// holds, in the order their classes first appear.
void count_inert(const Level &level, std::vector<std::pair<std::string, int>> &counts)
{
    for (const Box &b : level.boxes) {
        if (b.kind == Kind::inert) {
            const auto found =
                std::find_if(counts.begin(), counts.end(), [&b](const auto &c) { return c.first == b.cls; });
            if (found == counts.end())
                counts.emplace_back(b.cls, 1);
            else
                ++found->second;
        }
        if (b.sub)
            count_inert(*b.sub, counts);
    }
}

const char *or_null(const std::string &s)
{
    return s.empty() ? nullptr : s.c_str();
}

// Builds one level: its boxes, each subpatcher's level in turn, then its
// cords, each checked against the ports of the objects made. When one
// outlet feeds several boxes, the host sends right to left (then bottom to
// top), so the cords are joined in that order.
struct Builder {
    const std::string &file;
    std::vector<std::pair<std::string, int>> inert;
    std::set<std::string> warned;
    std::vector<std::pair<t_object *, uint64_t>> loading; // objects with a "loaded" hook, and their serials

    void build(t_object *patcher, const Level &level)
    {
        std::map<std::string, std::pair<t_object *, const Box *>> made;
        for (const Box &b : level.boxes) {
            if (b.kind == Kind::inert && warned.insert(b.cls).second)
                warn_about(b.cls);
            t_object *inner = nullptr;
            t_object *box = make(patcher, b, inner);
            if (!box)
                throw Refused(file + ": " + level.where + "the host made no box for " + b.id);
            *box_file_id(box) = b.id;
            made[b.id] = {box, &b};
            if (b.sub)
                build(inner, *b.sub);
        }
        std::vector<const Cord *> order;
        for (const Cord &c : level.cords)
            order.push_back(&c);
        std::stable_sort(order.begin(), order.end(), [&made](const Cord *a, const Cord *b) {
            const Box *da = made.at(a->dst).second;
            const Box *db = made.at(b->dst).second;
            return da->x != db->x ? da->x > db->x : da->y > db->y;
        });
        for (const Cord *c : order) {
            check_ports(*c, made.at(c->src).first, made.at(c->dst).first, level.where);
            if (simhost_connect(made.at(c->src).first, long(c->outlet), made.at(c->dst).first, long(c->inlet)) !=
                MAX_ERR_NONE)
                throw Refused(file + ": " + level.where + "the host refused the patch cord " + c->src + " -> " +
                              c->dst);
        }
    }

    // A cord from an outlet or into an inlet that the made object's class
    // lacks, which the file may not have said (numoutlets, numinlets).
    void check_ports(const Cord &c, t_object *src, t_object *dst, const std::string &where) const
    {
        const std::string what = file + ": " + where + "patch cord " + c.src + ":" + std::to_string(c.outlet) +
                                 " -> " + c.dst + ":" + std::to_string(c.inlet) + ": box ";
        long in = 0, out = 0;
        if (simhost_box_ports(src, &in, &out) == MAX_ERR_NONE && out >= 0 && c.outlet >= out)
            throw Refused(what + c.src + " has " + std::to_string(out) + " outlets");
        if (simhost_box_ports(dst, &in, &out) == MAX_ERR_NONE && in >= 0 && c.inlet >= in)
            throw Refused(what + c.dst + " has " + std::to_string(in) + " inlets");
    }

    // The box for b; a subpatcher's own patcher goes to sub.
    t_object *make(t_object *patcher, const Box &b, t_object *&sub)
    {
        if (b.kind == Kind::message)
            return simhost_message_new(patcher, or_null(b.varname), b.text.c_str());
        if (b.kind != Kind::sub && b.maxclass == "newobj")
            return saved(simhost_box_new(patcher, or_null(b.varname), b.text.c_str()), b);
        t_object *box = nullptr;
        if (b.kind == Kind::sub) {
            sub = simhost_patcher_new(patcher, after_first_word(b.text).c_str());
            box = sub ? simhost_object_box(sub) : nullptr;
            if (box)
                box_set_text(box, b.text.empty() ? "p" : b.text);
            if (sub && b.sub->tab && simhost_patcher_show_on_tab(sub) != MAX_ERR_NONE)
                throw Refused(file + ": the host refused to show subpatcher " + b.id + " on a tab");
        } else {
            box = simhost_inert_new(patcher, b.maxclass.c_str(), b.text.c_str());
        }
        if (box && !b.varname.empty() && simhost_box_rename(box, b.varname.c_str()) != MAX_ERR_NONE)
            throw Refused(file + ": the host refused the scripting name of box " + b.id);
        return box;
    }

    // What the box's class keeps in the file, then the saved attributes
    // of those its class has; its "loaded" hook runs once all is made.
    t_object *saved(t_object *box, const Box &b)
    {
        t_object *obj = box ? box_object(box) : nullptr;
        t_class *c = obj ? class_of(obj) : nullptr;
        if (!c)
            return box;
        if (c->hooks.read && !c->hooks.read(obj, *b.entry))
            throw Refused(file + ": the host refused what box " + b.id + " saved");
        for (const auto &a : b.attributes)
            if (find_attr(c, sym(a.first.c_str())))
                simhost_send(obj, a.first.c_str(), long(a.second.size()), a.second.data());
        if (c->hooks.loaded)
            loading.emplace_back(obj, kit::serial(obj));
        return box;
    }

    void warn_about(const std::string &cls)
    {
        const int n =
            std::find_if(inert.begin(), inert.end(), [&cls](const auto &c) { return c.first == cls; })->second;
        const std::string name = file.substr(file.find_last_of("/\\") + 1);
        event(SIMHOST_WARN, nullptr, 0,
              name + ": \"" + cls + "\" is unknown to the simulated host: " + std::to_string(n) +
                  (n == 1 ? " box stays inert" : " boxes stay inert"));
    }
};

json parse(const char *text, long size, const std::string &file)
{
    const std::string all(text, size_t(size));
    // the parser would take a NUL byte for the end of the text
    const size_t nul = all.find('\0');
    if (nul != std::string::npos) {
        const size_t line_start = all.rfind('\n', nul);
        throw Refused(file + ": a NUL byte at line " +
                      std::to_string(1 + std::count(all.begin(), all.begin() + long(nul), '\n')) + ", column " +
                      std::to_string(line_start == std::string::npos ? nul + 1 : nul - line_start));
    }
    try {
        return json::parse(all);
    } catch (const json::exception &e) {
        std::string why = e.what();
        const size_t close = why.find("] ");
        if (why.rfind("[json.exception.", 0) == 0 && close != std::string::npos)
            why = why.substr(close + 2);
        throw Refused(file + ": not JSON: " + why);
    }
}

// A cord that the made objects refuse is found only once they are made:
// they go again, so that a refused file leaves nothing behind.
void open(t_object *patcher, const char *text, long size, const std::string &file)
{
    const json root = parse(text, size, file);
    const Reader reader(file);
    if (!root.is_object() || !root.contains("patcher") || !root["patcher"].is_object())
        reader.fail("", "no \"patcher\" object at the top");
    const Level top = reader.patcher(root["patcher"], "", 0);
    if (!patcher)
        return;
    const long before = simhost_patcher_boxcount(patcher);
    for (const Box &b : top.boxes)
        for (long n = 0; n < before; ++n)
            if (*box_file_id(simhost_patcher_box(patcher, n)) == b.id)
                reader.fail("", "box " + b.id + ": the id is taken by a box of a file opened before");
    Builder builder{file, {}, {}, {}};
    count_inert(top, builder.inert);
    try {
        builder.build(patcher, top);
    } catch (const Refused &) {
        for (long n = simhost_patcher_boxcount(patcher); n-- > before;)
            simhost_box_free(simhost_patcher_box(patcher, n));
        throw;
    }
    std::vector<double> rect;
    const json &r = root["patcher"].value("rect", json());
    for (size_t i = 0; r.is_array() && r.size() == 4 && i < 4 && r[i].is_number(); ++i)
        rect.push_back(r[i].get<double>());
    patcher_window_place(patcher, file.substr(file.find_last_of("/\\") + 1), rect);
    *patcher_file_text(patcher) = std::string(text, size_t(size));
    std::vector<t_object *> made;
    for (long n = before; n < simhost_patcher_boxcount(patcher); ++n)
        made.push_back(simhost_patcher_box(patcher, n));
    for (const auto &o : builder.loading)
        if (kit::serial(o.first) == o.second)
            class_of(o.first)->hooks.loaded(o.first);
    for (t_object *box : made)
        simhost_box_loadbang(box);
}

// The attributes the object's class saves with the patch.
void save_attributes(json &b, t_object *obj)
{
    t_class *c = class_of(obj);
    for (t_simattr *a : c->attrs) {
        if (!a->attrattrs || !a->attrattrs->count("save") || a->attrattrs->at("save") != "1")
            continue;
        std::vector<t_atom> value;
        attr_read(obj, a->name, value);
        const std::string type = a->type->s_name;
        if (type == "symbol")
            b["saved_object_attributes"][a->name->s_name] =
                !value.empty() && value[0].a_type == A_SYM ? value[0].a_w.w_sym->s_name : "";
        else if (type == "char" || type == "long")
            b["saved_object_attributes"][a->name->s_name] = value.empty() ? 0 : atom_value_long(value[0]);
    }
}

// A box that came from the file opened last keeps what that file said of
// it; what changed since (text, scripting name, saved attributes, what its
// class keeps) is written over it.
struct Saver {
    json level(json p, t_object *patcher)
    {
        std::map<std::string, json> originals;
        if (p.contains("boxes") && p["boxes"].is_array())
            for (const json &b : p["boxes"])
                if (b.is_object() && b.contains("box") && b["box"].is_object() && b["box"].contains("id") &&
                    b["box"]["id"].is_string())
                    originals[b["box"]["id"].get<std::string>()] = b["box"];
        json boxes = json::array();
        std::set<std::string> kept;
        std::vector<std::pair<t_object *, std::string>> ids;
        int fresh = 0;
        for (long n = 0; n < simhost_patcher_boxcount(patcher); ++n) {
            t_object *box = simhost_patcher_box(patcher, n);
            const std::string &own = *box_file_id(box);
            const bool known = !own.empty() && originals.count(own) && !kept.count(own);
            std::string id = known ? own : "";
            while (id.empty() || (!known && (originals.count(id) || kept.count(id))))
                id = "obj-" + std::to_string(++fresh);
            kept.insert(id);
            ids.emplace_back(box, id);
            boxes.push_back({{"box", entry(box, known ? originals[id] : json::object(), id, boxes.size())}});
        }
        p["boxes"] = boxes;
        p["lines"] = lines(p.contains("lines") && p["lines"].is_array() ? p["lines"] : json::array(), ids);
        return p;
    }

    // [source id, outlet, destination id, inlet]
    using Ends = std::tuple<std::string, long long, std::string, long long>;

    // The cords the patcher holds now, whoever made or cut them: a line of
    // the file that still joins the same ports is written as the file had
    // it, in its place; cords made since follow, in the order they were made.
    static json lines(const json &original, const std::vector<std::pair<t_object *, std::string>> &ids)
    {
        const auto id_of = [&ids](t_object *box) {
            return std::find_if(ids.begin(), ids.end(), [box](const auto &i) { return i.first == box; })->second;
        };
        std::vector<Ends> live;
        for (const auto &box : ids)
            for (const CordOut &c : box_cords(box.first))
                live.emplace_back(box.second, c.outlet, id_of(c.dst), c.inlet);
        json out = json::array();
        for (const json &l : original) {
            const auto at = std::find(live.begin(), live.end(), ends(l));
            if (at == live.end())
                continue;
            live.erase(at);
            out.push_back(l);
        }
        for (const Ends &e : live)
            out.push_back({{"patchline",
                            {{"source", {std::get<0>(e), std::get<1>(e)}},
                             {"destination", {std::get<2>(e), std::get<3>(e)}}}}});
        return out;
    }

    static Ends ends(const json &line)
    {
        Ends e{"", -1, "", -1};
        const json *pl = line.is_object() && line.contains("patchline") ? &line["patchline"] : nullptr;
        if (!pl || !pl->is_object())
            return e;
        cord_end(*pl, "source", std::get<0>(e), std::get<1>(e));
        cord_end(*pl, "destination", std::get<2>(e), std::get<3>(e));
        return e;
    }

    json entry(t_object *box, json b, const std::string &id, size_t index)
    {
        const bool fresh = !b.contains("id");
        b["id"] = id;
        b["maxclass"] = simhost_box_maxclass(box);
        if (b["maxclass"] == "newobj" || b["maxclass"] == "message")
            b["text"] = simhost_box_text(box);
        const std::string varname = simhost_box_varname(box);
        if (varname.empty())
            b.erase("varname");
        else
            b["varname"] = varname;
        if (fresh)
            b["patching_rect"] = {20.0, 20.0 + 30.0 * double(index), 200.0, 22.0};
        t_object *obj = box_object(box);
        if (obj && is_patcher(obj)) {
            b["patcher"] = level(b.contains("patcher") && b["patcher"].is_object() ? b["patcher"] : json::object(),
                                 obj);
        } else if (obj) {
            save_attributes(b, obj);
            if (class_of(obj)->hooks.save)
                class_of(obj)->hooks.save(obj, b);
        }
        return b;
    }
};

} // namespace

} // namespace simhost

using namespace simhost;

t_max_err simhost_patch_open(t_object *patcher, const char *text, long size, const char *file)
{
    s_refusal.clear();
    const std::string name = file && *file ? file : "Untitled.maxpat";
    if ((patcher && !is_patcher(patcher)) || !text || size < 0) {
        s_refusal = name + ": no patcher to open it in";
        return MAX_ERR_GENERIC;
    }
    try {
        open(patcher, text, size, name);
    } catch (const Refused &e) {
        s_refusal = e.what();
        return MAX_ERR_GENERIC;
    }
    return MAX_ERR_NONE;
}

const char *simhost_patch_refusal(void)
{
    return s_refusal.c_str();
}

const char *simhost_patch_text(t_object *patcher)
{
    static std::string text;
    if (!is_patcher(patcher))
        return nullptr;
    json root = json::object();
    if (!patcher_file_text(patcher)->empty())
        root = json::parse(*patcher_file_text(patcher));
    json top = root.contains("patcher") && root["patcher"].is_object() ? root["patcher"] : json::object();
    if (!top.contains("fileversion"))
        top["fileversion"] = 1;
    root["patcher"] = Saver{}.level(top, patcher);
    text = root.dump(1, '\t') + "\n";
    return text.c_str();
}

const char *simhost_box_id(t_object *box)
{
    const std::string *id = box_file_id(box);
    return id ? id->c_str() : nullptr;
}
