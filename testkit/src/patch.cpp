// Max patcher files (.maxpat, .maxhelp): the host opens and saves them; the
// World names the boxes a file made, keeps the file's text for its
// pictures, and closes and opens a patch again.
#include "testkit.h"

#include <cstring>
#include <sstream>

#include "simhost.h"

namespace testkit {

namespace {

// The class a box is named by: an object box's first word ("newobj" for
// an empty one), else the kind of box.
std::string class_of_box(t_object *box)
{
    const std::string maxclass = simhost_box_maxclass(box);
    if (maxclass != "newobj")
        return maxclass;
    std::istringstream in(simhost_box_text(box));
    std::string word;
    in >> word;
    return word.empty() ? "newobj" : word;
}

} // namespace

// The host reads and checks the whole file before the first box, which
// brings the default display, is made.
void World::open_patch(const std::string &text, const std::string &file)
{
    if (simhost_patch_open(nullptr, text.data(), long(text.size()), file.c_str()) != MAX_ERR_NONE)
        throw Error(simhost_patch_refusal());
    default_display();
    const long before = simhost_patcher_boxcount(patcher_);
    if (simhost_patch_open(patcher_, text.data(), long(text.size()), file.c_str()) != MAX_ERR_NONE)
        throw Error(simhost_patch_refusal());
    adopt_file_boxes(patcher_, before, "");
    source_ = text;
    source_file_ = file;
    sync();
}

// A subpatcher's boxes after its own, as the host made them.
void World::adopt_file_boxes(t_object *patcher, long from, const std::string &parent)
{
    for (long n = from; n < simhost_patcher_boxcount(patcher); ++n) {
        t_object *box = simhost_patcher_box(patcher, n);
        const std::string id = simhost_box_id(box);
        adopt(box, class_of_box(box), id, parent);
        t_object *obj = jbox_get_object(box);
        t_symbol *cls = obj ? object_classname(obj) : nullptr;
        if (cls && std::strcmp(cls->s_name, "patcher") == 0)
            adopt_file_boxes(obj, 0, parent.empty() ? id : parent + "/" + id);
    }
}

std::string World::patch_text()
{
    sync();
    return simhost_patch_text(patcher_);
}

void World::save(const std::string &path)
{
    write_out(path, patch_text(), "patch");
    object_attr_setlong(patcher_, gensym("dirty"), 0);
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
