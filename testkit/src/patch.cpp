// Max patcher files (.maxpat, .maxhelp) opened into the World's patcher. The
// whole file is read and checked first, so that a malformed one is refused
// before the host holds any of its boxes; then the boxes are made, level by
// level, and the patch cords joined.
#include "testkit.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>

#include "simhost.h"

namespace testkit {

namespace {

using nlohmann::json;

// Subpatchers inside subpatchers; real patches stay far below this, and a
// file nested deeper is refused rather than followed.
const int deepest = 32;

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
    std::string cls; // the class it is named and warned by
    std::string plugin, saved; // a vst box's saved snapshot: display name and saved name
    // the values a pattr ("" and its value) or an autopattr (each name and
    // its value) saved; values that are not plain atoms are left to the file
    std::vector<std::pair<std::string, std::vector<t_atom>>> restore;
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
        throw Error(file_ + ": " + where + what);
    }

private:
    static const json *member(const json &object, const char *key)
    {
        const auto found = object.find(key);
        return found == object.end() ? nullptr : &*found;
    }

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
        snapshot(*b, box);
        restore(*b, box);
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

    // The plug-in a vst box held when the patch was saved: Max keeps it in
    // the box's snapshot, often with nothing in the box text. A snapshot
    // in a shape other than this one is left alone, as the host's own.
    static void snapshot(const json &b, Box &box)
    {
        const json *outer = member(b, "snapshot");
        const json *inner = outer && outer->is_object() ? member(*outer, "snapshot") : nullptr;
        if (!inner || !inner->is_object())
            return;
        const auto field = [inner](const char *key) {
            const json *v = member(*inner, key);
            return v && v->is_string() ? v->get<std::string>() : std::string();
        };
        box.plugin = field("plugindisplayname");
        box.saved = field("pluginsavedname");
    }

    // Numbers and texts; false for anything else (a dictionary, a list).
    static bool plain_atoms(const json &value, std::vector<t_atom> &atoms)
    {
        for (const json &v : value) {
            t_atom a{};
            if (v.is_number_integer())
                atom_setlong(&a, v.get<t_atom_long>());
            else if (v.is_number())
                atom_setfloat(&a, v.get<double>());
            else if (v.is_string())
                atom_setsym(&a, gensym(v.get<std::string>().c_str()));
            else
                return false;
            atoms.push_back(a);
        }
        return true;
    }

    // pattr saves "restore": [values], autopattr "restore": {name: [values]}.
    static void restore(const json &b, Box &box)
    {
        const json *r = member(b, "restore");
        if (!r)
            return;
        std::vector<t_atom> atoms;
        if (r->is_array() && plain_atoms(*r, atoms))
            box.restore.emplace_back("", atoms);
        if (!r->is_object())
            return;
        for (auto it = r->begin(); it != r->end(); ++it) {
            atoms.clear();
            if (it->is_array() && plain_atoms(*it, atoms))
                box.restore.emplace_back(it.key(), atoms);
        }
    }

    static void saved_attributes(const json &b, Box &box)
    {
        const json *a = member(b, "saved_object_attributes");
        if (!a || !a->is_object())
            return;
        for (auto it = a->begin(); it != a->end(); ++it) {
            std::vector<t_atom> atoms;
            if (plain_atoms(it->is_array() ? *it : json::array({*it}), atoms))
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
            box.kind = simhost_class_find("box", word.c_str()) ? Kind::object : Kind::inert;
        else if (box.maxclass == "message")
            box.kind = Kind::message;
        else
            box.kind = box.maxclass == "comment" || box.maxclass == "panel" ? Kind::quiet : Kind::inert;
    }

    // One end of a patch cord: [id, outlet or inlet].
    bool end(const json &line, const char *key, std::string &id, long long &index) const
    {
        const json *v = member(line, key);
        if (!v || !v->is_array() || v->size() != 2 || !(*v)[0].is_string() || !(*v)[1].is_number_unsigned() ||
            (*v)[1].get<unsigned long long>() > INT_MAX)
            return false;
        id = (*v)[0].get<std::string>();
        index = (*v)[1].get<long long>();
        return true;
    }

    Cord cord(const json &entry, const Level &level, const std::string &at) const
    {
        const std::string &where = level.where;
        const json *l = entry.is_object() ? member(entry, "patchline") : nullptr;
        if (!l || !l->is_object())
            fail(where, at + ": not {\"patchline\": {...}}");
        Cord cord;
        if (!end(*l, "source", cord.src, cord.outlet))
            fail(where, at + ": \"source\" is not [id, outlet]");
        if (!end(*l, "destination", cord.dst, cord.inlet))
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
    std::function<void(const std::string &)> warn;   // a console warning
    std::function<void(t_object *, const Box &, const std::string &)> made_box; // a box and its patcher's path
    std::vector<std::pair<std::string, int>> inert;
    std::set<std::string> warned;
    std::vector<t_object *> stateful; // pattr and autopattr objects, which restore once all is made

    // path: the ids of the subpatcher boxes that lead to this level, "" on top.
    void build(t_object *patcher, const Level &level, const std::string &path)
    {
        std::map<std::string, std::pair<t_object *, const Box *>> made;
        for (const Box &b : level.boxes) {
            if (b.kind == Kind::inert && warned.insert(b.cls).second)
                warn_about(b.cls);
            t_object *inner = nullptr;
            t_object *box = make(patcher, b, inner);
            if (!box)
                throw Error(file + ": " + level.where + "the host made no box for " + b.id);
            made[b.id] = {box, &b};
            made_box(box, b, path);
            if (b.sub)
                build(inner, *b.sub, path.empty() ? b.id : path + "/" + b.id);
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
                throw Error(file + ": " + level.where + "the host refused the patch cord " + c->src + " -> " + c->dst);
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
            throw Error(what + c.src + " has " + std::to_string(out) + " outlets");
        if (simhost_box_ports(dst, &in, &out) == MAX_ERR_NONE && in >= 0 && c.inlet >= in)
            throw Error(what + c.dst + " has " + std::to_string(in) + " inlets");
    }

    // The box for b; a subpatcher's own patcher goes to sub.
    t_object *make(t_object *patcher, const Box &b, t_object *&sub)
    {
        if (b.kind == Kind::message)
            return simhost_message_new(patcher, or_null(b.varname), b.text.c_str());
        if (b.kind != Kind::sub && b.maxclass == "newobj")
            return saved_values(vst_snapshot(simhost_box_new(patcher, or_null(b.varname), b.text.c_str()), b), b);
        t_object *box = nullptr;
        if (b.kind == Kind::sub) {
            sub = simhost_patcher_new(patcher, after_first_word(b.text).c_str());
            box = sub ? simhost_object_box(sub) : nullptr;
            if (sub && b.sub->tab && simhost_patcher_show_on_tab(sub) != MAX_ERR_NONE)
                throw Error(file + ": the host refused to show subpatcher " + b.id + " on a tab");
        } else {
            box = simhost_inert_new(patcher, b.maxclass.c_str(), b.text.c_str());
        }
        if (box && !b.varname.empty() && simhost_box_rename(box, b.varname.c_str()) != MAX_ERR_NONE)
            throw Error(file + ": the host refused the scripting name of box " + b.id);
        return box;
    }

    // A box's saved attributes, of those its class has, and its saved pattr
    // values, which its object restores once the whole patch is made.
    t_object *saved_values(t_object *box, const Box &b)
    {
        t_object *obj = box ? jbox_get_object(box) : nullptr;
        t_class *c = obj ? simhost_class_find("box", b.cls.c_str()) : nullptr;
        for (const auto &a : b.attributes)
            if (c && simhost_class_attr_type(c, a.first.c_str()))
                simhost_send(obj, a.first.c_str(), long(a.second.size()), a.second.data());
        if (obj && (b.cls == "pattr" || b.cls == "autopattr")) {
            for (const auto &r : b.restore)
                simhost_pattr_saved(obj, r.first.empty() ? nullptr : r.first.c_str(), long(r.second.size()),
                                    r.second.data());
            stateful.push_back(obj);
        }
        return box;
    }

    t_object *vst_snapshot(t_object *box, const Box &b)
    {
        if (box && !b.plugin.empty() && (b.cls == "vst~" || b.cls == "mcs.vst~") && jbox_get_object(box) &&
            simhost_vst_snapshot(jbox_get_object(box), b.plugin.c_str(), b.saved.c_str()) != MAX_ERR_NONE)
            throw Error(file + ": the host refused the snapshot of box " + b.id);
        return box;
    }

    void warn_about(const std::string &cls)
    {
        const int n =
            std::find_if(inert.begin(), inert.end(), [&cls](const auto &c) { return c.first == cls; })->second;
        const std::string name = file.substr(file.find_last_of("/\\") + 1);
        warn(name + ": \"" + cls + "\" is unknown to the simulated host: " + std::to_string(n) +
             (n == 1 ? " box stays inert" : " boxes stay inert"));
    }
};

} // namespace

void World::open_patch(const std::string &text, const std::string &file)
{
    // the parser would take a NUL byte for the end of the text
    const size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        const size_t line_start = text.rfind('\n', nul);
        throw Error(file + ": a NUL byte at line " + std::to_string(1 + std::count(text.begin(), text.begin() + nul, '\n')) +
                    ", column " + std::to_string(line_start == std::string::npos ? nul + 1 : nul - line_start));
    }
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception &e) {
        std::string why = e.what();
        const size_t close = why.find("] ");
        if (why.rfind("[json.exception.", 0) == 0 && close != std::string::npos)
            why = why.substr(close + 2);
        throw Error(file + ": not JSON: " + why);
    }
    const Reader reader(file);
    if (!root.is_object() || !root.contains("patcher") || !root["patcher"].is_object())
        reader.fail("", "no \"patcher\" object at the top");
    const Level top = reader.patcher(root["patcher"], "", 0);
    for (const Box &b : top.boxes)
        for (const Entry &e : entries_)
            if (e.alive && e.parent.empty() && e.id == b.id)
                reader.fail("", "box " + b.id + ": the id is taken by a box of a file opened before");

    default_display();
    Builder builder{file,
                    [this](const std::string &line) {
                        sync();
                        pending_.push_back("console warn " + line);
                    },
                    [this](t_object *box, const Box &b, const std::string &path) { adopt(box, b.cls, b.id, path); },
                    {},
                    {},
                    {}};
    count_inert(top, builder.inert);
    // A cord that the made objects refuse is found only once they are made:
    // they go again, so that a refused file leaves nothing behind.
    const size_t before = entries_.size();
    try {
        builder.build(patcher_, top, "");
    } catch (const Error &) {
        for (size_t k = entries_.size(); k-- > before;)
            if (entries_[k].parent.empty())
                simhost_box_free(entries_[k].box);
        entries_.resize(before);
        throw;
    }
    std::vector<double> rect;
    const json &r = root["patcher"].value("rect", json());
    for (size_t i = 0; r.is_array() && r.size() == 4 && i < 4 && r[i].is_number(); ++i)
        rect.push_back(r[i].get<double>());
    place_patch_window(file, rect);
    for (t_object *obj : builder.stateful)
        simhost_pattr_restore(obj);
    std::vector<t_object *> made;
    for (size_t k = before; k < entries_.size(); ++k)
        if (entries_[k].parent.empty())
            made.push_back(entries_[k].box);
    for (t_object *box : made)
        simhost_box_loadbang(box);
    source_ = text;
    source_file_ = file;
    sync();
}

} // namespace testkit
