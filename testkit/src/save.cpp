// Saving the World's patch as Max's JSON, and reopening it. A box that came
// from the file opened last keeps what that file said of it; what changed
// since (text, scripting name, saved attributes, the plug-in of a vst~ box,
// the values of pattr and autopattr) is written over it.
#include "testkit.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "simhost.h"

namespace testkit {

using nlohmann::json;

namespace {

json atoms_json(long argc, const t_atom *argv)
{
    json out = json::array();
    for (long i = 0; i < argc; ++i) {
        if (argv[i].a_type == A_LONG)
            out.push_back(argv[i].a_w.w_long);
        else if (argv[i].a_type == A_FLOAT)
            out.push_back(argv[i].a_w.w_float);
        else if (argv[i].a_type == A_SYM)
            out.push_back(argv[i].a_w.w_sym->s_name);
    }
    return out;
}

bool is_class(t_object *obj, const char *name)
{
    t_symbol *cls = obj ? object_classname(obj) : nullptr;
    return cls && std::strcmp(cls->s_name, name) == 0;
}

// The attributes the object's class saves with the patch.
void saved_attributes(json &b, t_object *obj)
{
    t_class *c = simhost_class_find("box", object_classname(obj)->s_name);
    for (long i = 0; c && i < simhost_class_attr_count(c); ++i) {
        const char *name = simhost_class_attr_name(c, i);
        const char *save = simhost_class_attr_attr(c, name, "save");
        const std::string type = simhost_class_attr_type(c, name);
        if (!save || std::strcmp(save, "1") != 0)
            continue;
        if (type == "symbol")
            b["saved_object_attributes"][name] = object_attr_getsym(obj, gensym(name))->s_name;
        else if (type == "char" || type == "long")
            b["saved_object_attributes"][name] = object_attr_getlong(obj, gensym(name));
    }
}

// What pattr and autopattr take now; an autopattr's saved values that the
// host could not hold (dictionaries) stay as the file had them.
void pattr_values(json &b, t_object *obj)
{
    const long n = simhost_pattr_store(obj);
    if (is_class(obj, "pattr")) {
        const char *name = nullptr;
        const t_atom *argv = nullptr;
        const long argc = n > 0 ? simhost_pattr_value(obj, 0, &name, &argv) : -1;
        if (argc >= 0)
            b["restore"] = atoms_json(argc, argv);
        return;
    }
    json restore = json::object();
    if (b.contains("restore") && b["restore"].is_object())
        for (auto it = b["restore"].begin(); it != b["restore"].end(); ++it)
            if (!it->is_array() || std::any_of(it->begin(), it->end(), [](const json &v) { return v.is_structured(); }))
                restore[it.key()] = *it;
    for (long i = 0; i < n; ++i) {
        const char *name = nullptr;
        const t_atom *argv = nullptr;
        const long argc = simhost_pattr_value(obj, i, &name, &argv);
        restore[name] = atoms_json(argc, argv);
    }
    b["restore"] = restore;
}

// The plug-in a vst~ box holds, where Max keeps it: the box's snapshot.
void vst_plugin(json &b, t_object *obj)
{
    t_object *instance = (t_object *)object_method_imp(obj, gensym("getinstance"), nullptr, nullptr, nullptr,
                                                       nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!instance) {
        b.erase("snapshot");
        return;
    }
    const char *name = nullptr;
    object_method_imp(instance, gensym("getpluginname"), &name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr);
    t_symbol *saved = object_attr_getsym(obj, gensym("savedpluginname"));
    if (!b.contains("snapshot") || !b["snapshot"].is_object())
        b["snapshot"] = json::object();
    json &inner = b["snapshot"]["snapshot"];
    if (!inner.is_object())
        inner = json::object();
    inner["plugindisplayname"] = name ? name : "";
    inner["pluginsavedname"] = saved ? saved->s_name : "";
}

} // namespace

struct World::Saver {
    World &w;

    json level(json p, const std::string &path)
    {
        std::map<std::string, json> originals;
        if (p.contains("boxes") && p["boxes"].is_array())
            for (const json &b : p["boxes"])
                if (b.is_object() && b.contains("box") && b["box"].is_object() && b["box"].contains("id") &&
                    b["box"]["id"].is_string())
                    originals[b["box"]["id"].get<std::string>()] = b["box"];
        json boxes = json::array();
        std::set<std::string> kept;
        int fresh = 0;
        for (Entry &e : w.entries_) {
            if (!e.alive || e.parent != path)
                continue;
            const bool known = !e.id.empty() && originals.count(e.id) && !kept.count(e.id);
            std::string id = known ? e.id : "";
            while (id.empty() || (!known && (originals.count(id) || kept.count(id))))
                id = "obj-" + std::to_string(++fresh);
            kept.insert(id);
            boxes.push_back({{"box", box(e, known ? originals[id] : json::object(), path, id, boxes.size())}});
        }
        p["boxes"] = boxes;
        json lines = json::array();
        if (p.contains("lines") && p["lines"].is_array())
            for (const json &l : p["lines"])
                if (kept.count(end(l, "source")) && kept.count(end(l, "destination")))
                    lines.push_back(l);
        p["lines"] = lines;
        return p;
    }

    static std::string end(const json &line, const char *key)
    {
        const json *pl = line.is_object() && line.contains("patchline") ? &line["patchline"] : nullptr;
        if (!pl || !pl->is_object() || !pl->contains(key) || !(*pl)[key].is_array() || (*pl)[key].empty() ||
            !(*pl)[key][0].is_string())
            return "";
        return (*pl)[key][0].get<std::string>();
    }

    json box(Entry &e, json b, const std::string &path, const std::string &id, size_t index)
    {
        const bool fresh = !b.contains("id");
        b["id"] = id;
        b["maxclass"] = simhost_box_maxclass(e.box);
        if (b["maxclass"] == "newobj" || b["maxclass"] == "message")
            b["text"] = simhost_box_text(e.box);
        const std::string varname = simhost_box_varname(e.box);
        if (varname.empty())
            b.erase("varname");
        else
            b["varname"] = varname;
        if (fresh)
            b["patching_rect"] = {20.0, 20.0 + 30.0 * double(index), 200.0, 22.0};
        t_object *obj = jbox_get_object(e.box);
        if (is_class(obj, "patcher")) {
            const json inner = b.contains("patcher") && b["patcher"].is_object() ? b["patcher"] : json::object();
            b["patcher"] = level(inner, path.empty() ? e.id : path + "/" + e.id);
        } else if (obj) {
            saved_attributes(b, obj);
            if (is_class(obj, "pattr") || is_class(obj, "autopattr"))
                pattr_values(b, obj);
            if (is_class(obj, "vst~") || is_class(obj, "mcs.vst~"))
                vst_plugin(b, obj);
        }
        return b;
    }
};

std::string World::patch_text()
{
    sync();
    json root = json::object();
    if (!source_.empty())
        root = json::parse(source_);
    json top = root.contains("patcher") && root["patcher"].is_object() ? root["patcher"] : json::object();
    if (!top.contains("fileversion"))
        top["fileversion"] = 1;
    root["patcher"] = Saver{*this}.level(top, "");
    return root.dump(1, '\t') + "\n";
}

void World::save(const std::string &path)
{
    write_out(path, patch_text(), "patch");
}

void World::reopen()
{
    const std::string text = patch_text();
    const std::string file = source_file_.empty() ? "Untitled.maxpat" : source_file_;
    // the last box first, as Max closes a patcher; a subpatcher's boxes go
    // with it, and the lines of their freeing name them as deleted boxes
    for (size_t i = entries_.size(); i-- > 0;) {
        if (!entries_[i].alive || !entries_[i].parent.empty())
            continue;
        const std::string inside = entries_[i].id + "/";
        simhost_box_free(entries_[i].box);
        for (Entry &e : entries_)
            if (&e == &entries_[i] || (!entries_[i].id.empty() && (e.parent + "/").rfind(inside, 0) == 0))
                e.alive = false;
        sync();
    }
    entries_.clear();
    class_count_.clear();
    open_patch(text, file);
}

} // namespace testkit
