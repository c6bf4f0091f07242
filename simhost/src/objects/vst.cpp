/* The host's VST hosting objects "vst~" and "mcs.vst~", their plug-in
 * instances and the plug-in catalogue.
 *
 * vst~ is an ordinary class of the host, built only with the host API and
 * the Win32 calls: what the module sees of it is what a real vst~ shows.
 * Plug-ins are not real code: a catalogue entry gives a name, an editor
 * size and an initial delay, and the editor is an empty top-level window of
 * that client size. */
#include "kit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

const char *const EDITOR_CLASS = "SimhostVstEditor";

const char *const STANDIN_NAME = "Stand-in";
const int STANDIN_WIDTH = 640;
const int STANDIN_HEIGHT = 480;

struct t_vst {
    t_object ob;
    t_object *instance; /* the loaded plug-in, or NULL */
    t_object *wrapper;  /* the plug-in wrapper, a "jpluginwrapper" */
    t_symbol *savedpluginname;
    t_atom_long autosave; /* attributes a box text may set with @name value */
    t_atom_long bypass;
    t_symbol *prefer;
    HWND editor;
    void *late_qelem;        /* makes the editor passes after open (editor-late); made at the first such open */
    long long late_x, late_y; /* the point of that open, while late_qelem is set */
    long late_passes;         /* the passes still to go before it comes */
    bool late_pending;
    void *close_qelem;  /* closes the editor a pass after it was asked (editor-close-deferred) */
    void *resize_qelem; /* resizes the editor a pass after it opened (editor-resizes) */
    int behaviour;
    int dx, dy;
};

struct t_plugininstance {
    t_object ob;
    char *name; /* host memory */
    long noname; /* "getpluginname" leaves the pointer unset */
    t_atom_long initialdelay;
    t_rect rect; /* width and height: the editor's client size */
};

struct Plugin {
    int width;
    int height;
    long delay;
    int flags;
};

/* Everything kept between calls; emptied by simhost_vst_teardown. */
t_class *s_vst_class;
t_class *s_mcs_vst_class;
t_class *s_instance_class;
t_class *s_wrapper_class;
std::map<std::string, Plugin> s_catalogue;
std::vector<std::string> s_declared; /* the catalogue's names in the order they came */
std::vector<t_vst *> s_live;        /* every vst~ object not yet freed */
std::map<HWND, t_vst *> s_editors;  /* open editor window -> its vst~ */

bool ends_with_nocase(const std::string &s, const char *suffix)
{
    size_t n = std::strlen(suffix);
    if (s.size() <= n)
        return false;
    for (size_t i = 0; i < n; i++) {
        char a = s[s.size() - n + i];
        if (a >= 'A' && a <= 'Z')
            a = (char)(a - 'A' + 'a');
        if (a != suffix[i])
            return false;
    }
    return true;
}

/* "C:/a b/EWI USB VST_x64.dll" -> "EWI USB VST_x64", "C74_VST:/Jun-6 V" ->
 * "Jun-6 V". Only plug-in file extensions are taken off, so that a name
 * such as "Dexed 0.9" keeps its dot. */
std::string plugin_stem(const std::string &text)
{
    size_t cut = text.find_last_of("/\\:");
    std::string stem = cut == std::string::npos ? text : text.substr(cut + 1);
    static const char *const extensions[] = {".dll", ".vst3", ".vst", ".component"};
    for (const char *ext : extensions) {
        if (ends_with_nocase(stem, ext)) {
            stem.resize(stem.size() - std::strlen(ext));
            break;
        }
    }
    return stem;
}

/* The vst~ behind a pointer handed to a control call, or NULL. Looked up in
 * our own list, so that a wrong pointer is refused without being read and
 * the host's call log shows only what the module and the test called. */
t_vst *as_vst(t_object *obj)
{
    for (t_vst *x : s_live) {
        if (&x->ob == obj)
            return x;
    }
    return nullptr;
}

/* ---- the plug-in instance ---- */

void *instance_getpluginname(t_plugininstance *x, char **name)
{
    if (name && !x->noname)
        *name = x->name;
    return nullptr;
}

void instance_free(t_plugininstance *x)
{
    sysmem_freeptr(x->name);
}

/* A catalogue entry by the name as written, else by its file name; a name
 * the catalogue does not know gives a stand-in with a default editor. */
t_plugininstance *instance_make(const std::string &text)
{
    std::string name = text;
    Plugin plugin = {STANDIN_WIDTH, STANDIN_HEIGHT, 0, 0};
    auto found = s_catalogue.find(text);
    if (found == s_catalogue.end()) {
        name = plugin_stem(text);
        found = s_catalogue.find(name);
    }
    if (found != s_catalogue.end())
        plugin = found->second;

    char *copy = sysmem_newptr(name.size() + 1);
    if (!copy)
        return nullptr;
    std::memcpy(copy, name.c_str(), name.size() + 1);
    t_plugininstance *x = (t_plugininstance *)object_alloc(s_instance_class);
    if (!x) {
        sysmem_freeptr(copy);
        return nullptr;
    }
    x->name = copy;
    x->noname = (plugin.flags & SIMHOST_PLUGIN_NONAME) != 0;
    x->initialdelay = plugin.delay;
    x->rect.x = 0;
    x->rect.y = 0;
    x->rect.width = plugin.width;
    x->rect.height = plugin.height;
    return x;
}

/* ---- the editor window ---- */

/* Closing the editor on the run's host: its window hidden, or destroyed. */
void editor_shut(t_vst *x)
{
    if (!x->editor)
        return;
    if (kit::variant(simhost_variant::editor_hides_on_close) || kit::variant(simhost_variant::editor_open_reshows))
        ShowWindow(x->editor, SW_HIDE);
    else
        DestroyWindow(x->editor);
}

/* A close asked for (wclose, the close button): done now, or a pass later
 * where the run's host posts it to itself. */
void editor_close_asked(t_vst *x)
{
    if (!kit::variant(simhost_variant::editor_close_deferred)) {
        editor_shut(x);
        return;
    }
    if (!x->close_qelem)
        x->close_qelem = qelem_new(x, as_method(editor_shut));
    qelem_set(x->close_qelem);
}

LRESULT CALLBACK editor_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE: {
        auto found = s_editors.find(hwnd);
        if (found != s_editors.end())
            editor_close_asked(found->second);
        else
            DestroyWindow(hwnd);
        return 0;
    }
    case WM_DESTROY: {
        auto found = s_editors.find(hwnd);
        if (found != s_editors.end()) {
            found->second->editor = nullptr;
            s_editors.erase(found);
        }
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void editor_close(t_vst *x)
{
    if (x->editor)
        DestroyWindow(x->editor);
}

/* ---- the vst~ object ---- */

void vst_unplug(t_vst *x)
{
    editor_close(x);
    if (x->late_pending) {
        qelem_unset(x->late_qelem);
        x->late_pending = false;
    }
    if (x->instance) {
        object_free(x->instance);
        x->instance = nullptr;
    }
}

/* Frees what belongs to one vst~ besides its own record. An editor that
 * would not go is no longer tied to the record, which is about to go. */
void vst_forget(t_vst *x)
{
    vst_unplug(x);
    if (x->editor) {
        s_editors.erase(x->editor);
        x->editor = nullptr;
    }
    if (x->wrapper) {
        object_free(x->wrapper);
        x->wrapper = nullptr;
    }
}

/* Loads a plug-in; its saved name is the one it goes by unless saved says
 * otherwise. */
void vst_plugin(t_vst *x, const std::string &name, const std::string &saved = "")
{
    if (name.empty())
        return;
    if (!s_catalogue.count(name) && !s_catalogue.count(plugin_stem(name)))
        object_warn(&x->ob, "no plug-in \"%s\" was declared: a stand-in takes its place (editor %dx%d)",
                    name.c_str(), STANDIN_WIDTH, STANDIN_HEIGHT);
    t_plugininstance *plugin = instance_make(name);
    if (!plugin) {
        object_error(&x->ob, "can't load %s", name.c_str());
        return;
    }
    x->instance = &plugin->ob;
    x->savedpluginname = gensym(saved.empty() ? plugin->name : saved.c_str());
}

/* Replaces the plug-in as the real object does: observers hear that the
 * contained view goes before anything changes, and that it is rebuilt once
 * the new plug-in is in. What they do meanwhile may delete or retype our
 * box: the object is held through the change, so that it is freed after
 * it, and a doomed object changes nothing more. */
void vst_replace(t_vst *x, const std::string &name, const std::string &saved = "")
{
    kit::hold(x);
    if (!kit::variant(simhost_variant::vst_quiet_change))
        object_notify(x, gensym("freecontainedview"), nullptr);
    if (!kit::doomed(x)) {
        vst_unplug(x);
        vst_plugin(x, name, saved);
        object_notify(x, gensym("rebuildcontainedview"), nullptr);
    }
    kit::release(x);
}

bool is_number(const t_atom *a)
{
    return atom_gettype(a) == A_LONG || atom_gettype(a) == A_FLOAT;
}

bool is_attribute(const t_atom *a)
{
    return atom_gettype(a) == A_SYM && atom_getsym(a)->s_name[0] == '@';
}

void *vst_new(t_symbol *s, long argc, t_atom *argv)
{
    t_vst *x = (t_vst *)object_alloc(s == gensym("mcs.vst~") ? s_mcs_vst_class : s_vst_class);
    if (!x)
        return nullptr;
    x->savedpluginname = gensym("");
    x->autosave = 1;
    x->prefer = gensym("");
    x->wrapper = (t_object *)object_alloc(s_wrapper_class);
    s_live.push_back(x);

    /* leading numbers are channel counts (mcs.vst~ has one, vst~ up to two);
     * the plug-in's name runs up to the first @attribute */
    long first = 0;
    while (first < argc && is_number(argv + first))
        first++;
    long end = first;
    while (end < argc && !is_attribute(argv + end))
        end++;
    vst_plugin(x, kit::text(end - first, argv + first, false));
    /* vst~ IN OUT (2 2 by default): a signal inlet per input, a signal outlet
     * per output and six outlets more (as Max saves "vst~" with 2 inlets and
     * 8 outlets) */
    if (s == gensym("vst~")) {
        const long ins = first > 0 ? (long)atom_getlong(argv) : 2;
        const long outs = first > 1 ? (long)atom_getlong(argv + 1) : 2;
        kit::ports(x, std::max(ins, 1L), std::max(outs, 0L) + 6);
    } else {
        kit::ports(x, -2, -2);
    }
    attr_args_process(x, (short)(argc - end), argv + end);
    return x;
}

void vst_free(t_vst *x)
{
    vst_forget(x);
    for (void *q : {x->late_qelem, x->close_qelem, x->resize_qelem})
        if (q)
            qelem_free(q);
    s_live.erase(std::remove(s_live.begin(), s_live.end(), x), s_live.end());
}

void *vst_getinstance(t_vst *x)
{
    return x->instance;
}

/* "plug" alone opens Max's plug-in chooser; here the user chooses the
 * first plug-in declared, or a stand-in when none was. */
void vst_plug(t_vst *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc > 0 && argv)
        vst_replace(x, kit::text(argc, argv, false));
    else
        vst_replace(x, s_declared.empty() ? STANDIN_NAME : s_declared.front());
}

/* Its value in the state system is its plug-in snapshot: here the
 * plug-in's name and its saved name, nothing without a plug-in. */
t_max_err vst_getvalueof(t_vst *x, long *ac, t_atom **av)
{
    if (!ac || !av)
        return MAX_ERR_GENERIC;
    *ac = 0;
    if (!x->instance)
        return MAX_ERR_NONE;
    *av = (t_atom *)getbytes((t_getbytes_size)(2 * sizeof(t_atom)));
    if (!*av)
        return MAX_ERR_GENERIC;
    *ac = 2;
    atom_setsym(*av, gensym(((t_plugininstance *)x->instance)->name));
    atom_setsym(*av + 1, x->savedpluginname);
    return MAX_ERR_NONE;
}

/* A snapshot given (a preset recalled, a patch restored) loads its
 * plug-in again, as Max does. */
t_max_err vst_setvalueof(t_vst *x, long ac, t_atom *av)
{
    if (ac < 1 || !av || atom_gettype(av) != A_SYM)
        return MAX_ERR_NONE;
    vst_replace(x, atom_getsym(av)->s_name, ac > 1 && atom_gettype(av + 1) == A_SYM ? atom_getsym(av + 1)->s_name : "");
    return MAX_ERR_NONE;
}

/* An editor that lays itself out once shown grows by SIMHOST_EDITOR_GROWTH
 * each way, its frame's origin kept. */
void editor_grow(t_vst *x)
{
    RECT frame = {};
    if (!x->editor || !GetWindowRect(x->editor, &frame))
        return;
    SetWindowPos(x->editor, nullptr, 0, 0, frame.right - frame.left + SIMHOST_EDITOR_GROWTH,
                 frame.bottom - frame.top + SIMHOST_EDITOR_GROWTH, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

/* The editor's client-area origin at (left, top), or its frame's where the
 * run's host puts the frame there. A plug-in's editor is a top-level window
 * of its own, shown on the taskbar until its holder says otherwise. */
void editor_make(t_vst *x, long long left, long long top)
{
    t_plugininstance *plugin = (t_plugininstance *)x->instance;
    /* Windows stretches a window unaware of display scales by its display's */
    double stretch = 1.0;
    if (kit::variant(simhost_variant::editor_dpi_unaware))
        stretch = jmonitor_getdisplayscalefactor_forpoint(jmonitor_scale_pt(t_pt{(double)left, (double)top}));
    HWND hwnd = kit::window(EDITOR_CLASS, editor_proc, plugin->name, left, top,
                            (int)std::lround(plugin->rect.width * stretch),
                            (int)std::lround(plugin->rect.height * stretch), WS_EX_APPWINDOW);
    if (!hwnd) {
        object_error(&x->ob, "can't open the plug-in editor");
        return;
    }
    if (kit::variant(simhost_variant::editor_frame_at_point))
        SetWindowPos(hwnd, nullptr, (int)std::clamp(left, -32768LL, 32767LL), (int)std::clamp(top, -32768LL, 32767LL),
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    x->editor = hwnd;
    s_editors[hwnd] = x;
    ShowWindow(hwnd, SW_SHOW);
    if (!kit::variant(simhost_variant::editor_resizes))
        return;
    if (!x->resize_qelem)
        x->resize_qelem = qelem_new(x, as_method(editor_grow));
    qelem_set(x->resize_qelem);
}

void editor_make_late(t_vst *x)
{
    if (--x->late_passes > 0) {
        qelem_set(x->late_qelem);
        return;
    }
    x->late_pending = false;
    if (x->instance && !x->editor)
        editor_make(x, x->late_x, x->late_y);
}

/* The point of an open in Windows pixels: vst~ reads it in Max's scaled
 * units, or as pixels where the run's host is so. Held far beyond any
 * screen, where the window system holds it further. */
t_pt editor_point(long long x, long long y)
{
    t_pt p = {(double)std::clamp(x, -1000000000LL, 1000000000LL), (double)std::clamp(y, -1000000000LL, 1000000000LL)};
    if (!kit::variant(simhost_variant::vst_open_pixels))
        p = jmonitor_unscale_pt(p);
    return t_pt{std::round(p.x), std::round(p.y)};
}

/* The open-editor message: the editor at (x, y), at once or, where the run's
 * host is so, N queue passes later. */
void *vst_open(t_vst *x, void *px, void *py)
{
    /* shown where it was: such a host does not move it */
    if (x->editor && !IsWindowVisible(x->editor) && kit::variant(simhost_variant::editor_open_reshows)) {
        ShowWindow(x->editor, SW_SHOW);
        return nullptr;
    }
    if (!x->instance || x->editor || x->late_pending || x->behaviour == SIMHOST_VST_NOEDITOR)
        return nullptr;
    const t_pt at = editor_point((intptr_t)px, (intptr_t)py);
    long long left = (long long)at.x;
    long long top = (long long)at.y;
    if (x->behaviour == SIMHOST_VST_OFFSET) {
        left += x->dx;
        top += x->dy;
    }
    if (!kit::variant(simhost_variant::editor_late)) {
        editor_make(x, left, top);
        return nullptr;
    }
    if (!x->late_qelem)
        x->late_qelem = qelem_new(x, as_method(editor_make_late));
    x->late_x = left;
    x->late_y = top;
    x->late_passes = kit::variant_value(simhost_variant::editor_late);
    x->late_pending = true;
    qelem_set(x->late_qelem);
    return nullptr;
}

void vst_wclose(t_vst *x)
{
    if (x->behaviour == SIMHOST_VST_KEEPSOPEN)
        return;
    if (x->editor && kit::variant(simhost_variant::wclose_by_message))
        SendMessageA(x->editor, WM_CLOSE, 0, 0);
    else
        editor_close_asked(x);
}

/* "PARAMETER VALUE" sets a plug-in parameter in Max; parameters are not
 * simulated, so the list is taken without effect. */
void vst_list(t_vst *x, t_symbol *s, long argc, t_atom *argv)
{
}

} // namespace

/* ---- setup and teardown ---- */

namespace {

void vst_attribute(t_class *c, const char *name, t_symbol *type, long offset)
{
    class_addattr(c, attr_offset_new(name, type, 0, nullptr, nullptr, offset));
}

/* The plug-in a box held when the patch was saved: Max keeps it in the
 * box's snapshot, often with nothing in the box text. A snapshot in
 * another shape is left alone, as the host's own. */
bool vst_read(t_object *obj, const nlohmann::json &box)
{
    const auto outer = box.find("snapshot");
    if (outer == box.end() || !outer->is_object() || !outer->contains("snapshot") || !(*outer)["snapshot"].is_object())
        return true;
    const nlohmann::json &inner = (*outer)["snapshot"];
    const auto field = [&inner](const char *key) {
        const auto v = inner.find(key);
        return v != inner.end() && v->is_string() ? v->get<std::string>() : std::string();
    };
    const std::string plugin = field("plugindisplayname");
    if (!plugin.empty())
        vst_replace((t_vst *)obj, plugin, field("pluginsavedname"));
    return true;
}

void vst_save(t_object *obj, nlohmann::json &box)
{
    t_plugininstance *instance = (t_plugininstance *)((t_vst *)obj)->instance;
    if (!instance) {
        box.erase("snapshot");
        return;
    }
    if (!box.contains("snapshot") || !box["snapshot"].is_object())
        box["snapshot"] = nlohmann::json::object();
    nlohmann::json &inner = box["snapshot"]["snapshot"];
    if (!inner.is_object())
        inner = nlohmann::json::object();
    inner["plugindisplayname"] = instance->noname || !instance->name ? "" : instance->name;
    inner["pluginsavedname"] = ((t_vst *)obj)->savedpluginname->s_name;
}

/* vst~ and its multichannel twin mcs.vst~ are the same object to a patch. */
t_class *vst_class(const char *name)
{
    t_class *c = class_new(name, as_method(vst_new), as_method(vst_free), (long)sizeof(t_vst), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(vst_getinstance), "getinstance", A_CANT, 0);
    class_addmethod(c, as_method(vst_plug), "plug", A_GIMME, 0);
    class_addmethod(c, as_method(vst_open), _sym_open->s_name, A_CANT, 0);
    class_addmethod(c, as_method(vst_wclose), _sym_wclose->s_name, 0);
    class_addmethod(c, as_method(vst_getvalueof), "getvalueof", A_CANT, 0);
    class_addmethod(c, as_method(vst_setvalueof), "setvalueof", A_CANT, 0);
    class_addmethod(c, as_method(vst_list), _sym_list->s_name, A_GIMME, 0);
    vst_attribute(c, "savedpluginname", _sym_symbol, (long)offsetof(t_vst, savedpluginname));
    vst_attribute(c, "autosave", _sym_long, (long)offsetof(t_vst, autosave));
    vst_attribute(c, "bypass", _sym_long, (long)offsetof(t_vst, bypass));
    vst_attribute(c, "prefer", _sym_symbol, (long)offsetof(t_vst, prefer));
    kit::patch_hooks(c, {vst_read, nullptr, vst_save});
    class_register(_sym_box, c);
    return c;
}

} // namespace

/* vst~ and mcs.vst~ are one entry of the registry; the helper classes come
 * with the first. */
void vst_setup(t_symbol *name)
{
    if (name == gensym("mcs.vst~")) {
        s_mcs_vst_class = vst_class(name->s_name);
        return;
    }
    s_vst_class = vst_class(name->s_name);

    t_class *c =
        class_new("vstplugininstance", nullptr, as_method(instance_free), (long)sizeof(t_plugininstance), nullptr, 0);
    class_addmethod(c, as_method(instance_getpluginname), "getpluginname", A_CANT, 0);
    class_addattr(c, attr_offset_new("initialdelay", _sym_long, 0, nullptr, nullptr,
                                     (long)offsetof(t_plugininstance, initialdelay)));
    class_addattr(c, attr_offset_new(_sym_rect->s_name, _sym_rect, 0, nullptr, nullptr,
                                     (long)offsetof(t_plugininstance, rect)));
    class_register(_sym_nobox, c);
    s_instance_class = c;

    c = class_new("jpluginwrapper", nullptr, nullptr, (long)sizeof(t_object), nullptr, 0);
    class_register(_sym_nobox, c);
    s_wrapper_class = c;
}

void vst_teardown(void)
{
    /* The host frees the vst~ objects after this; they find nothing left to
     * free. Windows go now, as the window system of a real process is not
     * reset between runs. */
    std::vector<t_vst *> live = s_live;
    for (t_vst *x : live)
        vst_forget(x);
    s_live.clear();
    s_editors.clear();
    s_catalogue.clear();
    s_declared.clear();
    s_vst_class = nullptr;
    s_mcs_vst_class = nullptr;
    s_instance_class = nullptr;
    s_wrapper_class = nullptr;
}

/* ---- control calls ---- */

void simhost_plugin_declare(const char *name, int width, int height, long delay)
{
    simhost_plugin_declare_flags(name, width, height, delay, 0);
}

void simhost_plugin_declare_flags(const char *name, int width, int height, long delay, int flags)
{
    if (!name || !*name || width < 0 || height < 0)
        return;
    if (!s_catalogue.count(name))
        s_declared.push_back(name);
    s_catalogue[name] = Plugin{width, height, delay, flags};
}

t_max_err simhost_vst_load(t_object *vst, const char *name)
{
    t_vst *x = as_vst(vst);
    if (!x)
        return MAX_ERR_GENERIC;
    vst_replace(x, name ? name : "");
    return MAX_ERR_NONE;
}

t_max_err simhost_vst_snapshot(t_object *vst, const char *displayname, const char *savedname)
{
    t_vst *x = as_vst(vst);
    if (!x || !displayname || !*displayname)
        return MAX_ERR_GENERIC;
    vst_replace(x, displayname, savedname ? savedname : "");
    return MAX_ERR_NONE;
}

t_max_err simhost_vst_set_delay(t_object *vst, long delay)
{
    t_vst *x = as_vst(vst);
    if (!x || !x->instance)
        return MAX_ERR_GENERIC;
    ((t_plugininstance *)x->instance)->initialdelay = delay;
    object_notify(x, _sym_attr_modified, nullptr);
    return MAX_ERR_NONE;
}

void simhost_vst_misbehave(t_object *vst, int behaviour, int dx, int dy)
{
    t_vst *x = as_vst(vst);
    if (!x)
        return;
    x->behaviour = behaviour;
    x->dx = dx;
    x->dy = dy;
}

void *simhost_vst_editor(t_object *vst)
{
    t_vst *x = as_vst(vst);
    return x ? x->editor : nullptr;
}

void simhost_vst_wrapper_notify(t_object *vst, const char *msg)
{
    t_vst *x = as_vst(vst);
    if (!x || !x->wrapper || !msg)
        return;
    simhost_notify_observers_of(&x->ob, x->wrapper, gensym(msg), nullptr);
}
