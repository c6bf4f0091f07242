/* The rebuild of the target box: against a stand-in patcher whose box, view
 * and attributes the test controls, and end to end in the simulated host. */
#include <cfloat>
#include <cstring>

#include "module_test.h"

using namespace module_test;
using testkit::float_atom;
using testkit::long_atom;
using testkit::sym_atom;

namespace {

/* A patcher, its view and one box, recording what the rebuild does to them. */
struct Fake {
    t_object ob;
    t_atom_long locked;
    t_atom_long dirty;
};

struct Stage {
    t_object *patcher = nullptr;
    t_object *view = nullptr;
    t_object *box = nullptr;
    bool has_view = true;
    bool has_box = true;
    std::vector<t_atom> atoms;
    Lines calls;
};

Stage *stage;

void *fake_getnamedbox(Fake *x, t_symbol *name)
{
    stage->calls.push_back(std::string("getnamedbox ") + name->s_name);
    return stage->has_box ? stage->box : nullptr;
}

/* The view is the patcher's attribute, as the host has it. */
t_max_err fake_firstview(Fake *x, t_object *attr, long *ac, t_atom **av)
{
    stage->calls.push_back("firstview");
    *ac = 1;
    *av = (t_atom *)sysmem_newptr(sizeof(t_atom));
    (*av)->a_type = A_OBJ;
    (*av)->a_w.w_obj = stage->has_view ? stage->view : nullptr;
    return MAX_ERR_NONE;
}

void *fake_insertboxtext(Fake *x, t_object *box, const char *text)
{
    stage->calls.push_back(std::string("insertboxtext ") + (box == stage->box ? "box " : "? ") + text);
    /* an edit marks the patcher changed, as in Max */
    ((Fake *)stage->patcher)->dirty = 1;
    return nullptr;
}

void *fake_endeditbox(Fake *x)
{
    stage->calls.push_back("endeditbox");
    return nullptr;
}

void *fake_wclose(Fake *x)
{
    stage->calls.push_back("view wclose");
    return nullptr;
}

void *fake_redraw(Fake *x)
{
    stage->calls.push_back("view redraw");
    return nullptr;
}

/* The box's atoms are host memory, for the reader to give back. */
t_max_err fake_boxatoms(Fake *x, t_object *attr, long *ac, t_atom **av)
{
    *ac = (long)stage->atoms.size();
    *av = (t_atom *)sysmem_newptr(sizeof(t_atom) * stage->atoms.size());
    if (!stage->atoms.empty())
        std::memcpy(*av, stage->atoms.data(), sizeof(t_atom) * stage->atoms.size());
    return MAX_ERR_NONE;
}

void make_stage(Stage &s)
{
    stage = &s;
    t_class *c = class_new("fakepatcher", nullptr, nullptr, (long)sizeof(Fake), nullptr, 0);
    class_addmethod(c, as_method(fake_getnamedbox), "getnamedbox", A_CANT, 0);
    class_addattr(c, attr_offset_new("firstview", gensym("object"), 0, as_method(fake_firstview), nullptr, 0));
    class_addattr(c, attr_offset_new("locked", gensym("long"), 0, nullptr, nullptr, offsetof(Fake, locked)));
    class_addattr(c, attr_offset_new("dirty", gensym("long"), 0, nullptr, nullptr, offsetof(Fake, dirty)));
    class_register(gensym("nobox"), c);
    s.patcher = (t_object *)object_alloc(c);

    c = class_new("fakeview", nullptr, nullptr, (long)sizeof(Fake), nullptr, 0);
    class_addmethod(c, as_method(fake_insertboxtext), "insertboxtext", A_CANT, 0);
    class_addmethod(c, as_method(fake_endeditbox), "endeditbox", A_CANT, 0);
    class_addmethod(c, as_method(fake_wclose), "wclose", A_CANT, 0);
    class_addmethod(c, as_method(fake_redraw), "redraw", A_CANT, 0);
    class_register(gensym("nobox"), c);
    s.view = (t_object *)object_alloc(c);

    c = class_new("fakebox", nullptr, nullptr, (long)sizeof(Fake), nullptr, 0);
    class_addattr(c, attr_offset_new("boxatoms", gensym("atom"), 0, as_method(fake_boxatoms), nullptr, 0));
    class_register(gensym("nobox"), c);
    s.box = (t_object *)object_alloc(c);
}

t_atom obj_atom()
{
    t_atom a;
    a.a_type = A_OBJ;
    a.a_w.w_obj = nullptr;
    return a;
}

/* ShowCursor's display counter, read through ShowCursor itself. */
int cursor_count()
{
    int count = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    return count;
}

/* A bound record whose patcher is the stand-in. */
struct Rebuild {
    World w;
    Stage s;
    t_korvel *x = nullptr;

    /* host: a host variant, or NULL */
    explicit Rebuild(const char *host = nullptr)
    {
        if (host)
            w.host(host);
        bound_setup(w);
        make_stage(s);
        x = record(w);
        x->patcher = s.patcher;
    }
    ~Rebuild()
    {
        x->patcher = w.patcher();
        object_free(s.patcher);
        object_free(s.view);
        object_free(s.box);
        stage = nullptr;
    }
    Fake *patcher() { return (Fake *)s.patcher; }
};

/* Symbols belong to the host of one World, so each row makes its atoms once
 * its World exists. */
TEST(KorvelClear, BuildsTheBoxTextFromItsAtoms)
{
    using Atoms = std::vector<t_atom>;
    struct Row {
        const char *what;
        Atoms (*atoms)();
        std::string text;
    };
    const Row rows[] = {
        {"symbol long float", [] { return Atoms{sym_atom("vst~"), long_atom(2), float_atom(0.5)}; },
         "vst~ 2 0.500000"},
        {"other types add only their blank",
         [] { return Atoms{sym_atom("a"), obj_atom(), obj_atom(), sym_atom("b"), obj_atom()}; }, "a   b "},
        {"full signed longs",
         [] { return Atoms{long_atom(-7), long_atom((t_atom_long)INT64_MIN), long_atom((t_atom_long)INT64_MAX)}; },
         "-7 -9223372036854775808 9223372036854775807"},
        {"huge floats", [] { return Atoms{float_atom(-DBL_MAX), sym_atom("x"), float_atom(1e308)}; },
         std::to_string(-DBL_MAX) + " x " + std::to_string(1e308)},
        {"one atom", [] { return Atoms{float_atom(1.0 / 3)}; }, "0.333333"},
        {"a symbol with blanks stays one atom",
         [] { return Atoms{sym_atom("vst~"), sym_atom("C:/Program Files/EWI USB.dll")}; },
         "vst~ \"C:/Program Files/EWI USB.dll\""},
        {"a name that only starts like a number is no number", [] { return Atoms{sym_atom("4Front.dll")}; },
         "4Front.dll"},
        {"a symbol that reads as a number stays a symbol",
         [] { return Atoms{sym_atom("vst~"), sym_atom("123"), sym_atom("-1.5e3"), long_atom(123)}; },
         "vst~ \"123\" \"-1.5e3\" 123"},
        {"quotes and backslashes are escaped inside quotes",
         [] { return Atoms{sym_atom("My \"Q\" Synth"), sym_atom("C:/VST dir\\"), sym_atom("a\"b")}; },
         "\"My \\\"Q\\\" Synth\" \"C:/VST dir\\\\\" \"a\\\"b\""},
        {"a backslash path without blanks stays as it is, an empty symbol is kept",
         [] { return Atoms{sym_atom("C:\\VST\\X.dll"), sym_atom("")}; }, "C:\\VST\\X.dll \"\""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Rebuild rb;
        rb.s.atoms = r.atoms();
        const long strings = simhost_object_count("string");
        rb.w.send("qzkorvel#1", "direct_clear");
        ASSERT_GE(rb.s.calls.size(), 3u);
        EXPECT_EQ("insertboxtext box " + r.text, rb.s.calls[2]);
        EXPECT_EQ(strings, simhost_object_count("string")) << "the text's string freed";
    }
}

TEST(KorvelClear, CallsInOrderAndModeChoosesTheViewMessage)
{
    struct Row {
        t_atom_long locked;
        const char *view_message;
    };
    /* the patcher's dirty flag is left as it was: unsaved changes keep Max's prompt */
    const Row rows[] = {{1, "view wclose"}, {0, "view redraw"}, {2, "view redraw"}, {-1, "view redraw"}};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.locked);
        Rebuild rb;
        rb.s.atoms = {sym_atom("vst~"), sym_atom("PLUG")};
        rb.patcher()->locked = r.locked;
        rb.patcher()->dirty = r.locked & 1;
        int cursor = cursor_count();
        rb.w.send("qzkorvel#1", "clear");
        EXPECT_TRUE(rb.s.calls.empty());
        rb.w.pass();
        EXPECT_TRUE(same_lines({"getnamedbox synth", "firstview", "insertboxtext box vst~ PLUG", "endeditbox",
                                r.view_message},
                               rb.s.calls));
        EXPECT_EQ(r.locked & 1, rb.patcher()->dirty);
        EXPECT_EQ(cursor + 1, cursor_count());
    }
}

TEST(KorvelClear, WithoutViewOrBoxTheTextIsLeftAlone)
{
    /* no view, no box, no atoms, no atoms but an array */
    for (int missing = 0; missing < 4; missing++) {
        SCOPED_TRACE(missing);
        Rebuild rb(missing == 3 ? "attr-empty-array" : nullptr);
        rb.s.has_view = missing != 0;
        rb.s.has_box = missing != 1;
        rb.s.atoms = missing >= 2 ? std::vector<t_atom>{} : std::vector<t_atom>{sym_atom("vst~")};
        rb.patcher()->locked = 1;
        rb.patcher()->dirty = 1;
        int cursor = cursor_count();
        rb.w.send("qzkorvel#1", "direct_clear");
        Lines expected = {"getnamedbox synth", "firstview"};
        if (missing != 0)
            expected.push_back("view wclose");
        EXPECT_TRUE(same_lines(expected, rb.s.calls));
        EXPECT_EQ(1, rb.patcher()->dirty);
        EXPECT_EQ(cursor + 1, cursor_count());
    }
}

TEST(KorvelClear, UnboundRefusesOnceWhenTheQueuedCallRuns)
{
    World w;
    w.box("qzkorvel synth @debug 1");
    w.pass();
    w.lines();
    EXPECT_TRUE(plays(w, "send qzkorvel#1 clear", {}));
    EXPECT_TRUE(plays(w, "pass\npass", {"console error qzkorvel: not attached to a vst object"}));
}

/* End to end: the editor closes, the box is retyped, the host replaces the
 * object and the record binds to the new one. */
TEST(KorvelClear, RebuildClosesTheEditorAndBindsTheNewObject)
{
    World w;
    open_setup(w);
    t_object *old = w.object("synth");
    play_steps(w, {
                      {"send qzkorvel#1 clear\npass", {}},
                      {"pass",
                       {"out qzkorvel#1 state 100 200 640 480 0", "out qzkorvel#1 pluginname PLUG",
                        "out qzkorvel#1 savedpluginname PLUG", "out qzkorvel#1 delay 64",
                        "out qzkorvel#1 state 100 200 0 0 0"}},
                  });
    EXPECT_NE(old, record(w)->target);
    EXPECT_EQ(w.object("synth"), record(w)->target);
    EXPECT_EQ(nullptr, w.editor());
}

/* A clear that the patch sends while the target changes its plug-in waits
 * until the change is done: retyping the box then would free the target
 * inside its own method, even when the patch first changes another
 * target's plug-in inside the change. A clear of another target runs at
 * once. */
TEST(KorvelClear, SentDuringAPluginChangeItWaitsForTheChange)
{
    World w;
    wired_patch(w, R"({"box": {"id": "obj-3", "maxclass": "newobj", "text": "route willchange"}},
        {"box": {"id": "obj-4", "maxclass": "message", "text": "direct_clear"}},
        {"box": {"id": "obj-5", "maxclass": "newobj", "text": "vst~ PLUG", "varname": "other"}},
        {"box": {"id": "obj-6", "maxclass": "newobj", "text": "qzkorvel other"}},
        {"box": {"id": "obj-7", "maxclass": "message", "text": "plug BETA"}})",
                R"({"patchline": {"source": ["obj-2", 0], "destination": ["obj-3", 0]}},
        {"patchline": {"source": ["obj-3", 0], "destination": ["obj-7", 0]}},
        {"patchline": {"source": ["obj-7", 0], "destination": ["obj-5", 0]}},
        {"patchline": {"source": ["obj-3", 0], "destination": ["obj-4", 0]}},
        {"patchline": {"source": ["obj-4", 0], "destination": ["obj-2", 0]}},
        {"patchline": {"source": ["obj-4", 0], "destination": ["obj-6", 0]}})");
    w.settle();
    t_object *old = w.object("synth"), *other = w.object("other");
    w.load("synth", "BETA");
    EXPECT_EQ(old, w.object("synth"));
    EXPECT_NE(other, w.object("other"));
    const uint32_t bound = record(w)->binding;
    w.settle();
    // rebuilt now: the record let the old object go and bound the new one,
    // which the allocator may have put at the old one's address
    EXPECT_NE(bound, record(w)->binding);
    EXPECT_EQ(w.object("synth"), record(w)->target);
}

} // namespace
