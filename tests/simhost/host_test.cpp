// The simulated host's core: symbols, classes and dispatch, attributes, the
// low-priority queue, observation, patchers and boxes, outlets, the console,
// displays, module loading and reset.
#include <gtest/gtest.h>

#include "fresh_host.h"
#include "simhost.h"
#include "testkit_host.h"
#include "win_api.h"
#ifndef _WIN32
#include "simwin.h"
#endif

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Longs as decimals, floats with an "f", symbols with blanks in quotes.
std::string show(long argc, const t_atom *argv)
{
    std::string text;
    for (long i = 0; i < argc; i++) {
        char buf[64];
        if (i)
            text += ' ';
        switch (argv[i].a_type) {
        case A_LONG:
            std::snprintf(buf, sizeof(buf), "%lld", (long long)argv[i].a_w.w_long);
            text += buf;
            break;
        case A_FLOAT:
            std::snprintf(buf, sizeof(buf), "%gf", argv[i].a_w.w_float);
            text += buf;
            break;
        case A_SYM: {
            std::string s = argv[i].a_w.w_sym->s_name;
            text += s.empty() || s.find(' ') != std::string::npos ? "'" + s + "'" : s;
            break;
        }
        default:
            text += "?";
        }
    }
    return text;
}

std::string with_atoms(std::string head, long argc, const t_atom *argv)
{
    return argc ? head + " " + show(argc, argv) : head;
}

// ---- "probe": a box class that writes down what the host does to it ----

struct t_probe {
    t_object ob;
    t_object *patcher;
    t_max_err patcher_err;
    t_object *box;
    t_max_err box_err;
    void *out;
    char flag;
    t_atom_long number;
    t_symbol *name;
    t_rect area;
};

t_class *g_probe;
t_object *g_detacher; // an observer that detaches g_victim when notified
t_object *g_victim;

void *probe_new(t_symbol *s, long argc, t_atom *argv)
{
    g_log.push_back(with_atoms(std::string("new ") + s->s_name, argc, argv));
    if (argc && atom_getsym(argv) == gensym("refuse"))
        return nullptr;
    t_probe *x = (t_probe *)object_alloc(g_probe);
    x->patcher_err = object_obex_lookup(x, gensym("#P"), &x->patcher);
    x->box_err = object_obex_lookup(x, gensym("#B"), &x->box);
    x->out = outlet_new(x, nullptr);
    attr_args_process(x, (short)argc, argv);
    return x;
}

void probe_free(t_probe *x)
{
    g_log.push_back("free method");
}

void *probe_sum(t_probe *x, void *a, void *b, void *c)
{
    return (void *)((intptr_t)a + (intptr_t)b + (intptr_t)c);
}

void probe_list(t_probe *x, t_symbol *s, long argc, t_atom *argv)
{
    g_log.push_back(with_atoms(std::string("gimme ") + s->s_name, argc, argv));
}

void probe_anything(t_probe *x, t_symbol *s, long argc, t_atom *argv)
{
    g_log.push_back(with_atoms(std::string("anything ") + s->s_name, argc, argv));
}

void probe_typed(t_probe *x, t_atom_long n, double f, t_symbol *s)
{
    char buf[128];
    std::snprintf(buf, sizeof(buf), "typed %lld %g '%s'", (long long)n, f, s->s_name);
    g_log.push_back(buf);
}

// "emit SELECTOR ATOMS..." sends SELECTOR ATOMS... out of the outlet.
void probe_emit(t_probe *x, t_symbol *s, long argc, t_atom *argv)
{
    if (argc)
        outlet_anything(x->out, atom_getsym(argv), (short)(argc - 1), argv + 1);
}

void probe_bounce(t_probe *x, t_symbol *s, long argc, t_atom *argv)
{
    outlet_anything(x->out, s, 0, nullptr);
}

t_max_err probe_notify(t_probe *x, t_symbol *s, t_symbol *msg, void *sender, void *data)
{
    g_log.push_back(std::string("notify ") + msg->s_name + " from " + object_classname(sender)->s_name + " as " +
                    s->s_name);
    if (&x->ob == g_detacher && g_victim)
        object_detach_byptr(g_victim, sender);
    return MAX_ERR_NONE;
}

void register_probe()
{
    t_class *c =
        class_new("probe", as_method(probe_new), as_method(probe_free), (long)sizeof(t_probe), nullptr, A_GIMME, 0);
    class_addmethod(c, as_method(probe_sum), "sum", A_CANT, 0);
    class_addmethod(c, as_method(probe_list), "list", A_GIMME, 0);
    class_addmethod(c, as_method(probe_typed), "typed", A_LONG, A_FLOAT, A_SYM, 0);
    class_addmethod(c, as_method(probe_emit), "emit", A_GIMME, 0);
    class_addmethod(c, as_method(probe_bounce), "bounce", A_GIMME, 0);
    class_addmethod(c, as_method(probe_anything), "anything", A_GIMME, 0);
    class_addmethod(c, as_method(probe_notify), "notify", A_CANT, 0);
    class_addattr(c, attr_offset_new("flag", gensym("char"), 0, nullptr, nullptr, (long)offsetof(t_probe, flag)));
    class_addattr(c, attr_offset_new("number", gensym("long"), 0, nullptr, nullptr, (long)offsetof(t_probe, number)));
    // ATTR_GET_OPAQUE | ATTR_SET_OPAQUE: the object's own, over the same field
    class_addattr(c, attr_offset_new("sealed", gensym("long"), 3, nullptr, nullptr, (long)offsetof(t_probe, number)));
    class_addattr(c, attr_offset_new("name", gensym("symbol"), 0, nullptr, nullptr, (long)offsetof(t_probe, name)));
    class_addattr(c, attr_offset_new("area", gensym("rect"), 0, nullptr, nullptr, (long)offsetof(t_probe, area)));
    class_register(gensym("box"), c);
    g_probe = c;
}

using testkit::call;

t_max_err send(t_object *x, const char *selector, const char *atoms = "")
{
    t_atom *argv = nullptr;
    long argc = simhost_parse_atoms(atoms, &argv);
    t_max_err err = simhost_send(x, selector, argc, argv);
    sysmem_freeptr(argv);
    return err;
}

// Console and outlet events as transcript lines.
std::vector<std::string> events()
{
    std::vector<std::string> lines;
    for (int i = 0; i < simhost_event_count(); i++)
        lines.push_back(testkit::event_line(*simhost_event_get(i)));
    return lines;
}

typedef std::vector<std::string> Lines;

class Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset();
        register_probe();
    }

    void TearDown() override { reset(); }

    static void reset()
    {
        fresh_host();
        g_log.clear();
        g_detacher = nullptr;
        g_victim = nullptr;
    }

    static t_probe *probe(const char *text = "probe")
    {
        return (t_probe *)simhost_object_new(text);
    }
};

// ---- symbols ----

TEST_F(Host, SymbolsAreInternedAndTheCommonTableHoldsTheirOwnTexts)
{
    t_symbol *a = gensym("synth");
    std::string copy = "synth";
    EXPECT_EQ(gensym(copy.c_str()), a);
    EXPECT_EQ(gensym_tr("synth"), a);
    EXPECT_NE(gensym("Synth"), a);
    EXPECT_STREQ(a->s_name, "synth");

    typedef t_symbol *t_common_symbols_table::*Field;
    const struct {
        Field field;
        const char *text;
    } rows[] = {
        {&t_common_symbols_table::s_nothing, ""},
        {&t_common_symbols_table::s_bang, "bang"},
        {&t_common_symbols_table::s_int, "int"},
        {&t_common_symbols_table::s_float, "float"},
        {&t_common_symbols_table::s_list, "list"},
        {&t_common_symbols_table::s_symbol, "symbol"},
        {&t_common_symbols_table::s_anything, "anything"},
        {&t_common_symbols_table::s_set, "set"},
        {&t_common_symbols_table::s_char, "char"},
        {&t_common_symbols_table::s_long, "long"},
        {&t_common_symbols_table::s_box, "box"},
        {&t_common_symbols_table::s_nobox, "nobox"},
        {&t_common_symbols_table::s_patcher, "patcher"},
        {&t_common_symbols_table::s_free, "free"},
        {&t_common_symbols_table::s_varname, "varname"},
        {&t_common_symbols_table::s_attr_modified, "attr_modified"},
        {&t_common_symbols_table::s_open, "open"},
        {&t_common_symbols_table::s_wclose, "wclose"},
        {&t_common_symbols_table::s_rect, "rect"},
        {&t_common_symbols_table::s_firstview, "firstview"},
        {&t_common_symbols_table::s_insertboxtext, "insertboxtext"},
        {&t_common_symbols_table::s_locked, "locked"},
        {&t_common_symbols_table::s_redraw, "redraw"},
        {&t_common_symbols_table::s_dirty, "dirty"},
    };
    t_common_symbols_table *table = common_symbols_gettable();
    ASSERT_NE(table, nullptr);
    for (const auto &row : rows)
        EXPECT_EQ(table->*row.field, gensym(row.text)) << row.text;
}

// ---- classes and dispatch ----

TEST_F(Host, CantMethodsGetNativeWordsAndUnknownSelectorsGiveNull)
{
    t_probe *x = probe();
    simhost_calls_clear();
    EXPECT_EQ((intptr_t)call(x, "sum", (void *)2, (void *)30, (void *)400), 432);
    EXPECT_EQ(call(x, "nosuch"), nullptr);
    EXPECT_EQ(call(nullptr, "sum", (void *)1), nullptr);
    EXPECT_EQ(simhost_call_count("object_method_imp"), 3);
    EXPECT_EQ(simhost_call_count("msg:sum"), 1);
    EXPECT_EQ(simhost_call_count("msg:nosuch"), 1);

    // A_CANT methods are not for patch cords
    EXPECT_NE(send(&x->ob, "sum", "1 2 3"), MAX_ERR_NONE);
    EXPECT_EQ(events(), Lines({"console error probe: doesn't understand \"sum\""}));
}

TEST_F(Host, TypedMessagesGetTheirArgumentsInTheirDeclaredTypes)
{
    t_probe *x = probe();
    const struct {
        const char *selector, *atoms, *expected;
    } rows[] = {
        {"list", "a 1 2.5 \"b c\"", "gimme list a 1 2.5f 'b c'"},
        {"list", "", "gimme list"},
        {"typed", "7 2.5 foo", "typed 7 2.5 'foo'"},
        {"typed", "-2.9 3 bar", "typed -2 3 'bar'"},
        {"typed", "", "typed 0 0 ''"},
        {"typed", "x y z", "typed 0 0 'z'"},
        {"zork", "1 two", "anything zork 1 two"},
    };
    for (const auto &row : rows) {
        g_log.clear();
        EXPECT_EQ(send(&x->ob, row.selector, row.atoms), MAX_ERR_NONE) << row.selector << " " << row.atoms;
        EXPECT_EQ(g_log, Lines({row.expected})) << row.selector << " " << row.atoms;
    }
    EXPECT_EQ(simhost_call_count("msg:typed"), 4);
    EXPECT_EQ(events(), Lines());
}

TEST_F(Host, ClassesShowTheirMethodsAttributesAndTheirAttributes)
{
    t_class *c = g_probe;
    EXPECT_EQ(simhost_class_find("box", "probe"), c);
    EXPECT_EQ(simhost_class_find(nullptr, "probe"), c);
    EXPECT_EQ(simhost_class_find("nobox", "probe"), nullptr);

    ASSERT_EQ(simhost_class_method_count(c), 7);
    EXPECT_STREQ(simhost_class_method_name(c, 0), "sum");
    EXPECT_STREQ(simhost_class_method_name(c, 6), "notify");
    short types[8] = {0};
    EXPECT_EQ(simhost_class_method_types(c, "typed", types), 3);
    EXPECT_EQ(std::vector<short>(types, types + 3), std::vector<short>({A_LONG, A_FLOAT, A_SYM}));
    EXPECT_EQ(simhost_class_method_types(c, "sum", types), 1);
    EXPECT_EQ(types[0], A_CANT);
    EXPECT_EQ(simhost_class_method_types(c, "nosuch", types), -1);

    // method attributes go on the method objects of the "methods" table
    t_hashtab *methods = (t_hashtab *)class_extra_lookup(c, gensym("methods"));
    ASSERT_NE(methods, nullptr);
    EXPECT_EQ(class_extra_lookup(c, gensym("other")), nullptr);
    t_object *mob = nullptr;
    ASSERT_EQ(hashtab_lookup(methods, gensym("list"), &mob), MAX_ERR_NONE);
    ASSERT_NE(mob, nullptr);
    EXPECT_EQ(object_addattr_parse(mob, "undocumented", gensym("long"), 0, "1"), MAX_ERR_NONE);
    EXPECT_STREQ(simhost_class_method_attr(c, "list", "undocumented"), "1");
    EXPECT_EQ(simhost_class_method_attr(c, "typed", "undocumented"), nullptr);
    EXPECT_NE(hashtab_lookup(methods, gensym("nosuch"), &mob), MAX_ERR_NONE);
    EXPECT_EQ(mob, nullptr);

    EXPECT_EQ(class_attr_addattr_parse(c, "flag", "style", gensym("symbol"), 0, "onoff"), MAX_ERR_NONE);
    EXPECT_EQ(class_attr_addattr_format(c, "flag", "label", gensym("symbol"), 0, "s", gensym_tr("Print this")),
              MAX_ERR_NONE);
    EXPECT_EQ(class_attr_addattr_format(c, "number", "range", gensym("long"), 0, "ld", 3L, 2.5), MAX_ERR_NONE);
    EXPECT_NE(class_attr_addattr_parse(c, "nosuch", "style", gensym("symbol"), 0, "onoff"), MAX_ERR_NONE);
    EXPECT_STREQ(simhost_class_attr_attr(c, "flag", "style"), "onoff");
    EXPECT_STREQ(simhost_class_attr_attr(c, "flag", "label"), "Print this");
    EXPECT_STREQ(simhost_class_attr_attr(c, "number", "range"), "3 2.500000");
    EXPECT_EQ(simhost_class_attr_attr(c, "flag", "save"), nullptr);
    ASSERT_EQ(simhost_class_attr_count(c), 5);
    EXPECT_STREQ(simhost_class_attr_name(c, 4), "area");
    EXPECT_STREQ(simhost_class_attr_type(c, "flag"), "char");
    EXPECT_STREQ(simhost_class_attr_type(c, "area"), "rect");

    t_class *again = class_new("probe", as_method(probe_new), nullptr, (long)sizeof(t_probe), nullptr, A_GIMME, 0);
    EXPECT_NE(class_register(gensym("box"), again), MAX_ERR_NONE);
    EXPECT_EQ(simhost_class_find("box", "probe"), c);
}

// ---- attributes ----

TEST_F(Host, AttributesLiveAtTheirOffsetsAndComeFromCreationArguments)
{
    t_probe *x = probe("probe 5 @flag 1 @name hello @area 1 2 3.5 4 @number -7");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(g_log, Lines({"new probe 5 @flag 1 @name hello @area 1 2 3.5f 4 @number -7"}));
    EXPECT_EQ(x->flag, 1);
    EXPECT_EQ(x->number, -7);
    EXPECT_EQ(x->name, gensym("hello"));
    EXPECT_EQ(x->area.width, 3.5);

    EXPECT_EQ(object_attr_getlong(x, gensym("flag")), 1);
    EXPECT_EQ(object_attr_getsym(x, gensym("name")), gensym("hello"));
    t_rect r = {0, 0, 0, 0};
    EXPECT_EQ(object_attr_get_rect(&x->ob, gensym("area"), &r), MAX_ERR_NONE);
    EXPECT_EQ(r.x + r.y + r.width + r.height, 10.5);
    long argc = 0;
    t_atom *argv = nullptr;
    ASSERT_EQ(object_attr_getvalueof(x, gensym("area"), &argc, &argv), MAX_ERR_NONE);
    EXPECT_EQ(show(argc, argv), "1f 2f 3.5f 4f");
    sysmem_freeptr(argv);

    EXPECT_EQ(object_attr_setlong(x, gensym("number"), 1234567890123LL), MAX_ERR_NONE);
    EXPECT_EQ(object_attr_getlong(x, gensym("number")), 1234567890123LL);
    EXPECT_EQ(send(&x->ob, "flag", "0"), MAX_ERR_NONE);
    EXPECT_EQ(x->flag, 0);

    EXPECT_EQ(object_attr_getsym(x, gensym("nosuch")), nullptr);
    EXPECT_EQ(object_attr_getlong(x, gensym("nosuch")), 0);
    EXPECT_NE(object_attr_setlong(x, gensym("nosuch"), 1), MAX_ERR_NONE);
    EXPECT_NE(object_attr_getvalueof(x, gensym("nosuch"), &argc, &argv), MAX_ERR_NONE);
    EXPECT_EQ(events(), Lines());

    probe("probe @bogus 3 @flag");
    EXPECT_EQ(events(), Lines({"console error probe: can't set attribute \"bogus\"", "console error probe: no value for attribute \"flag\""}));

    // opaque attributes: neither read nor set from outside
    EXPECT_EQ(object_attr_getlong(x, gensym("sealed")), 0);
    EXPECT_NE(object_attr_setlong(x, gensym("sealed"), 1), MAX_ERR_NONE);
    EXPECT_NE(send(&x->ob, "sealed", "1"), MAX_ERR_NONE);
    EXPECT_EQ(x->number, 1234567890123LL);
    EXPECT_EQ(events().back(), "console error probe: attribute \"sealed\" cannot be set by a message");
}

TEST_F(Host, ChangingAnAttributeThroughTheHostTellsTheObservers)
{
    t_probe *x = probe();
    t_probe *watcher = probe();
    ASSERT_EQ(object_attach_byptr_register(watcher, x, gensym("nobox")), MAX_ERR_NONE);
    g_log.clear();
    object_attr_setlong(x, gensym("number"), 3);
    send(&x->ob, "name", "fred");
    object_attr_setlong(x, gensym("nosuch"), 3);
    EXPECT_EQ(g_log, Lines({"notify attr_modified from probe as nobox", "notify attr_modified from probe as nobox"}));
}

// ---- the low-priority queue ----

void deferred(t_probe *x, t_symbol *s, long argc, t_atom *argv)
{
    g_log.push_back(with_atoms(std::string("deferred ") + (s ? s->s_name : "-"), argc, argv));
    if (argc && atom_getsym(argv) == gensym("again"))
        defer_low(x, as_method(deferred), gensym("later"), 0, nullptr);
}

void *g_self_setting; // a queue element whose task sets it once more
void *g_to_free;      // a queue element freed by the task of another

void task(t_probe *x)
{
    g_log.push_back("task");
    if (g_self_setting) {
        qelem_set(g_self_setting);
        g_self_setting = nullptr;
    }
    if (g_to_free) {
        qelem_free(g_to_free);
        g_to_free = nullptr;
    }
}

TEST_F(Host, DeferredCallsRunInOrderAndWhatAPassAddsRunsInTheNext)
{
    t_probe *x = probe();
    t_atom atoms[2];
    atom_setsym(atoms, gensym("again"));
    atom_setlong(atoms + 1, 5);
    g_log.clear();
    defer_low(x, as_method(deferred), gensym("first"), 2, atoms);
    atom_setlong(atoms + 1, 6); // the queue keeps its own copy
    defer_low(x, as_method(deferred), nullptr, 0, nullptr);
    defer_low(x, as_method(deferred), gensym("third"), 1, atoms + 1);
    EXPECT_EQ(g_log, Lines());
    EXPECT_EQ(simhost_queue_pending(), 3);

    EXPECT_EQ(simhost_queue_pass(), 3);
    EXPECT_EQ(g_log, Lines({"deferred first again 5", "deferred -", "deferred third 6"}));
    g_log.clear();
    EXPECT_EQ(simhost_queue_pass(), 1);
    EXPECT_EQ(g_log, Lines({"deferred later"}));
    EXPECT_EQ(simhost_queue_pass(), 0);
}

TEST_F(Host, QueueElementsCoalesceAndCanBeUnsetOrFreed)
{
    t_probe *x = probe();
    void *q = qelem_new(x, as_method(task));
    g_log.clear();
    qelem_set(q);
    qelem_set(q);
    qelem_set(q);
    EXPECT_EQ(simhost_queue_pending(), 1);
    EXPECT_EQ(simhost_queue_pass(), 1);
    EXPECT_EQ(g_log, Lines({"task"}));

    // set while it runs: once more, in the next pass
    g_log.clear();
    g_self_setting = q;
    qelem_set(q);
    EXPECT_EQ(simhost_queue_pass(), 1);
    EXPECT_EQ(simhost_queue_pass(), 1);
    EXPECT_EQ(simhost_queue_pass(), 0);
    EXPECT_EQ(g_log, Lines({"task", "task"}));

    qelem_set(q);
    qelem_unset(q);
    EXPECT_EQ(simhost_queue_pass(), 0);

    // a task frees an element that waits later in the same pass
    void *other = qelem_new(x, as_method(task));
    qelem_set(q);
    qelem_set(other);
    g_to_free = other;
    g_log.clear();
    EXPECT_EQ(simhost_queue_pass(), 1);
    EXPECT_EQ(g_log, Lines({"task"}));

    qelem_set(q);
    qelem_free(q);
    qelem_free(nullptr);
    EXPECT_EQ(simhost_queue_pending(), 0);
    EXPECT_EQ(simhost_queue_pass(), 0);
}

// ---- observation ----

TEST_F(Host, ObserversHearNotificationsUnlessDetachedMeanwhile)
{
    t_probe *target = probe();
    t_probe *a = probe();
    t_probe *b = probe();
    t_probe *c = probe();
    for (t_probe *o : {a, b, c})
        ASSERT_EQ(object_attach_byptr_register(o, target, gensym("nobox")), MAX_ERR_NONE);
    EXPECT_EQ(object_attach_byptr_register(a, target, gensym("nobox")), MAX_ERR_NONE);
    EXPECT_EQ(simhost_observer_count(&target->ob), 3);

    g_detacher = &a->ob;
    g_victim = &b->ob;
    g_log.clear();
    EXPECT_EQ(object_notify(target, gensym("ping"), nullptr), MAX_ERR_NONE);
    EXPECT_EQ(g_log, Lines({"notify ping from probe as nobox", "notify ping from probe as nobox"}));
    EXPECT_EQ(simhost_observer_count(&target->ob), 2);
    EXPECT_NE(object_detach_byptr(b, target), MAX_ERR_NONE);

    // the plug-in wrapper's way: another object notifies for the target
    g_detacher = nullptr;
    g_log.clear();
    t_object *other = (t_object *)string_new("");
    simhost_notify_observers_of(&target->ob, other, gensym("pong"), nullptr);
    EXPECT_EQ(g_log, Lines({"notify pong from string as nobox", "notify pong from string as nobox"}));
    EXPECT_EQ(simhost_call_count("msg:notify"), 4);
}

TEST_F(Host, ObserversHearFreeBeforeTheFreeMethodRuns)
{
    t_probe *target = probe();
    t_probe *watcher = probe();
    t_probe *gone = probe();
    object_attach_byptr_register(watcher, target, gensym("nobox"));
    object_attach_byptr_register(gone, target, gensym("nobox"));
    object_attach_byptr_register(watcher, gone, gensym("nobox"));
    object_free(gone);
    g_log.clear();
    EXPECT_EQ(object_free(target), MAX_ERR_NONE);
    EXPECT_EQ(g_log, Lines({"notify free from probe as nobox", "free method"}));
    EXPECT_EQ(simhost_observer_count(&watcher->ob), 0);
    g_log.clear();
    object_free(watcher);
    EXPECT_EQ(g_log, Lines({"free method"}));
    EXPECT_EQ(object_free(nullptr), MAX_ERR_GENERIC);
}

void probe_task(t_probe *x)
{
    g_log.push_back("task");
}

// Where Max would crash on a dangling pointer or read atoms that are not
// there, the host reports a violation, its own kind of console line, and
// goes on soundly.
TEST_F(Host, ViolationsOfTheContractAreReportedAndSurviveTheReset)
{
    const long before = simhost_violation_count();
    t_probe *target = probe();
    t_probe *x = probe();
    object_attach_byptr_register(x, target, gensym("nobox"));
    qelem_new(x, as_method(probe_task));
    qelem_set(qelem_new(x, as_method(probe_task)));
    void *out = x->out;
    object_free(x);
    EXPECT_EQ(simhost_queue_pass(), 0); // the tasks of a freed object do not run
    EXPECT_EQ(simhost_observer_count(&target->ob), 0);

    outlet_anything(target->out, gensym("willchange"), 1, nullptr);
    simhost_send(&target->ob, "list", 2, nullptr);
    defer_low(target, as_method(probe_list), nullptr, 1, nullptr);
    defer_low(x, as_method(probe_list), nullptr, 0, nullptr);
    call(x, "sum");
    EXPECT_EQ(object_attr_getlong(x, gensym("number")), 0);
    EXPECT_NE(object_attr_setlong(x, gensym("number"), 1), MAX_ERR_NONE);
    outlet_anything(out, gensym("bang"), 0, nullptr);
    void *q = qelem_new(target, as_method(probe_task));
    qelem_free(q);
    qelem_set(q);
    Lines violations;
    for (const std::string &line : events())
        if (line.rfind("console violation", 0) == 0)
            violations.push_back(line);
    EXPECT_EQ(violations,
              Lines({"console violation probe: freed while still attached to probe",
                     "console violation probe: freed with 2 queue element(s) still allocated, 1 of them set",
                     "console violation probe: outlet message \"willchange\" with a count of 1 and no atoms",
                     "console violation probe: message \"list\" with a count of 2 and no atoms",
                     "console violation probe: defer_low with a count of 1 and no atoms",
                     "console violation defer_low names a freed object", "console violation message \"sum\" names a freed object",
                     "console violation read of attribute \"number\" names a freed object",
                     "console violation write of attribute \"number\" names a freed object",
                     "console violation message to an outlet that does not exist (or whose object was freed)",
                     "console violation qelem_set names no queue element (freed, or never made)"}));
    EXPECT_EQ(simhost_violation_count(), before + 11);
    object_attach_byptr_register(target, probe(), gensym("nobox"));
    simhost_reset();
    EXPECT_EQ(simhost_violation_count(), before + 12);
}

// A pointer that is no object (a field never set, full of the pattern new
// objects come with) is refused by the calls that attach, detach and
// notify, as a violation: Max would read through it.
TEST_F(Host, ObserverCallsRefuseWhatIsNoObject)
{
    const long before = simhost_violation_count();
    t_probe *x = probe();
    void *none = (void *)(uintptr_t)0xA5A5A5A5A5A5A5A5u;
    EXPECT_NE(object_attach_byptr_register(x, none, gensym("nobox")), MAX_ERR_NONE);
    EXPECT_NE(object_attach_byptr_register(none, x, gensym("nobox")), MAX_ERR_NONE);
    EXPECT_NE(object_detach_byptr(x, none), MAX_ERR_NONE);
    EXPECT_NE(object_notify(none, gensym("modified"), nullptr), MAX_ERR_NONE);
    EXPECT_EQ(simhost_observer_count(&x->ob), 0);
    EXPECT_EQ(events(), Lines({"console violation object_attach_byptr_register names no object",
                               "console violation object_attach_byptr_register names no object",
                               "console violation object_detach_byptr names no object",
                               "console violation object_notify names no object"}));
    EXPECT_EQ(simhost_violation_count(), before + 4);
}

// ---- patchers and boxes ----

TEST_F(Host, ConstructorsFindTheirPatcherAndBoxThroughTheObex)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(p, "thing", "probe 1");
    t_probe *x = (t_probe *)jbox_get_object(box);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->patcher_err, MAX_ERR_NONE);
    EXPECT_EQ(x->patcher, p);
    EXPECT_EQ(x->box_err, MAX_ERR_NONE);
    EXPECT_EQ(x->box, box);
    EXPECT_EQ(simhost_object_box(&x->ob), box);
    EXPECT_EQ(simhost_box_patcher(box), p);
    t_object *later = nullptr;
    EXPECT_EQ(object_obex_lookup(x, gensym("#B"), &later), MAX_ERR_NONE);
    EXPECT_EQ(later, box);

    t_object *sub = simhost_patcher_new(p, "sub");
    t_probe *deep = (t_probe *)jbox_get_object(simhost_box_new(sub, nullptr, "probe"));
    EXPECT_EQ(deep->patcher, sub);
    EXPECT_STREQ(simhost_box_text(simhost_object_box(sub)), "p sub");

    t_probe *loose = probe();
    EXPECT_NE(loose->patcher_err, MAX_ERR_NONE);
    EXPECT_EQ(loose->patcher, nullptr);
    EXPECT_NE(loose->box_err, MAX_ERR_NONE);
    EXPECT_EQ(simhost_object_box(&loose->ob), nullptr);
}

TEST_F(Host, BoxTextIsParsedAsTheHostParsesIt)
{
    const struct {
        const char *text, *atoms;
    } rows[] = {
        {"vst~ 2 2 \"C:/Program Files/X/Y Z.dll\"", "vst~ 2 2 'C:/Program Files/X/Y Z.dll'"},
        {"a -3 2.5 -0.5 .5 3. 1e3 -x - 12abc 1.2.3", "a -3 2.5f -0.5f 0.5f 3f 1000f -x - 12abc 1.2.3"},
        {"  spaced \t out  ", "spaced out"},
        {"\"\" \"say \\\"hi\\\"\" \"open", "'' 'say \"hi\"' open"},
        {"99999999999999999999", "1e+20f"},
        {"", ""},
    };
    for (const auto &row : rows) {
        t_atom *argv = nullptr;
        long argc = simhost_parse_atoms(row.text, &argv);
        EXPECT_EQ(show(argc, argv), row.atoms) << row.text;
        sysmem_freeptr(argv);
    }

    t_object *p = simhost_patcher_new(nullptr, "main");
    simhost_box_new(p, nullptr, "probe \"C74_VST:/Jun-6 V\" -1 0.25");
    EXPECT_EQ(g_log, Lines({"new probe 'C74_VST:/Jun-6 V' -1 0.25f"}));
}

TEST_F(Host, BoxesStayWhenTheirObjectCannotBeMade)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    const char *texts[] = {"nosuchclass 1", "probe refuse", "", "7 probe"};
    for (const char *text : texts) {
        t_object *box = simhost_box_new(p, nullptr, text);
        ASSERT_NE(box, nullptr) << text;
        EXPECT_EQ(jbox_get_object(box), nullptr) << text;
        EXPECT_STREQ(simhost_box_text(box), text);
    }
    EXPECT_EQ(simhost_patcher_boxcount(p), 4);
    EXPECT_STREQ(simhost_box_text(simhost_patcher_box(p, 1)), "probe refuse");
    EXPECT_EQ(simhost_patcher_box(p, 4), nullptr);
}

TEST_F(Host, PatchersFindNamedBoxesOfTheirOwnAndAnswerWithTheirView)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *synth = simhost_box_new(p, "synth", "probe 2 2 foo");
    t_object *unnamed = simhost_box_new(p, nullptr, "probe");
    t_object *sub = simhost_patcher_new(p, "sub");
    t_object *deep = simhost_box_new(sub, "deep", "probe");

    EXPECT_EQ(call(p, "getnamedbox", gensym("synth")), synth);
    EXPECT_EQ(call(p, "getnamedbox", gensym("deep")), nullptr);
    EXPECT_EQ(call(sub, "getnamedbox", gensym("deep")), deep);
    EXPECT_EQ(call(p, "getnamedbox", gensym("")), nullptr);
    EXPECT_EQ(call(p, "getnamedbox", gensym("nosuch")), nullptr);

    // the view is a read-only attribute, as the SDK reads it; no message
    EXPECT_NE(object_attr_getobj(p, gensym("firstview")), nullptr);
    EXPECT_EQ(object_attr_getobj(sub, gensym("firstview")), nullptr);
    EXPECT_EQ(call(p, "firstview"), nullptr);
    EXPECT_NE(object_attr_setlong(p, gensym("firstview"), 0), MAX_ERR_NONE);
    EXPECT_NE(object_attr_getobj(p, gensym("firstview")), nullptr);

    EXPECT_EQ(object_attr_getsym(synth, gensym("varname")), gensym("synth"));
    EXPECT_EQ(object_attr_getsym(unnamed, gensym("varname")), gensym(""));
    long argc = 0;
    t_atom *argv = nullptr;
    ASSERT_EQ(object_attr_getvalueof(synth, gensym("boxatoms"), &argc, &argv), MAX_ERR_NONE);
    EXPECT_EQ(show(argc, argv), "probe 2 2 foo");
    sysmem_freeptr(argv);

    EXPECT_EQ(object_attr_setlong(p, gensym("locked"), 1), MAX_ERR_NONE);
    EXPECT_EQ(object_attr_getlong(p, gensym("locked")), 1);
    EXPECT_EQ(object_attr_setlong(p, gensym("dirty"), 0), MAX_ERR_NONE);
    EXPECT_EQ(object_attr_getlong(p, gensym("dirty")), 0);

    HWND window = (HWND)simhost_patcher_window(p);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(simhost_patcher_window(sub), nullptr);
}

// Names are unique within a patcher, as in the host: a box made or renamed
// with a name in use gets the stem's first free "[N]"; a subpatcher's names
// are its own, and a freed box's name is free again.
TEST_F(Host, ScriptingNamesStayUniqueWithinAPatcher)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *a = simhost_box_new(p, "synth", "probe");
    t_object *b = simhost_box_new(p, "synth", "probe");
    t_object *c = simhost_box_new(p, "synth[1]", "probe");
    t_object *inner = simhost_box_new(simhost_patcher_new(p, "sub"), "synth", "probe");
    EXPECT_EQ(std::string(simhost_box_varname(b)) + " " + simhost_box_varname(c) + " " + simhost_box_varname(inner),
              "synth[1] synth[2] synth");
    EXPECT_EQ(simhost_box_rename(c, "synth"), MAX_ERR_NONE);
    EXPECT_STREQ(simhost_box_varname(c), "synth[2]");
    EXPECT_EQ(call(p, "getnamedbox", gensym("synth")), a);
    simhost_box_free(a);
    EXPECT_EQ(simhost_box_rename(b, "synth"), MAX_ERR_NONE);
    EXPECT_EQ(call(p, "getnamedbox", gensym("synth")), b);
    EXPECT_EQ(call(p, "getnamedbox", gensym("synth[1]")), nullptr);
}

// A subpatcher shown on a tab has a view of its own, which edits its boxes
// as the view of a window does; it has no window. A patcher is shown once.
TEST_F(Host, SubpatcherOnATabHasAViewAndNoWindow)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *tab = simhost_patcher_new(p, "basics");
    t_object *box = simhost_box_new(tab, "synth", "probe 1");
    ASSERT_EQ(simhost_patcher_show_on_tab(tab), MAX_ERR_NONE);
    void *view = object_attr_getobj(tab, gensym("firstview"));
    ASSERT_NE(view, nullptr);
    EXPECT_NE(view, object_attr_getobj(p, gensym("firstview")));
    EXPECT_EQ(simhost_patcher_window(tab), nullptr);

    call(view, "insertboxtext", box, (void *)"probe 2");
    call(view, "endeditbox");
    EXPECT_STREQ(simhost_box_text(box), "probe 2");

    EXPECT_EQ(simhost_patcher_show_on_tab(tab), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_patcher_show_on_tab(p), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_patcher_show_on_tab(box), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_patcher_show_on_tab(nullptr), MAX_ERR_GENERIC);
}

TEST_F(Host, RenamingABoxTellsTheObserversOfItsObject)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(p, "synth", "probe");
    t_probe *watcher = probe();
    object_attach_byptr_register(watcher, jbox_get_object(box), gensym("nobox"));
    g_log.clear();

    EXPECT_EQ(simhost_box_rename(box, "other"), MAX_ERR_NONE);
    EXPECT_EQ(simhost_box_rename(box, "other"), MAX_ERR_NONE);
    EXPECT_EQ(g_log, Lines({"notify attr_modified from probe as other"}));
    EXPECT_STREQ(simhost_box_varname(box), "other");
    EXPECT_EQ(call(p, "getnamedbox", gensym("other")), box);
    EXPECT_EQ(call(p, "getnamedbox", gensym("synth")), nullptr);
    EXPECT_NE(simhost_box_rename(&watcher->ob, "x"), MAX_ERR_NONE);
}

TEST_F(Host, EndeditboxRebuildsTheObjectKeepingTheScriptingName)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(p, "synth", "probe 1");
    t_probe *watcher = probe();
    object_attach_byptr_register(watcher, jbox_get_object(box), gensym("nobox"));
    void *view = object_attr_getobj(p, gensym("firstview"));
    ASSERT_NE(view, nullptr);

    g_log.clear();
    call(view, "insertboxtext", box, (void *)"probe 2 @number 5");
    EXPECT_EQ(g_log, Lines());
    call(view, "endeditbox");
    EXPECT_EQ(g_log, Lines({"notify free from probe as synth", "free method", "new probe 2 @number 5"}));
    t_probe *fresh = (t_probe *)jbox_get_object(box);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->number, 5);
    EXPECT_EQ(fresh->box, box);
    EXPECT_STREQ(simhost_box_varname(box), "synth");
    EXPECT_STREQ(simhost_box_text(box), "probe 2 @number 5");
    EXPECT_EQ(simhost_observer_count(&fresh->ob), 0);

    // an edit whose box goes before it ends changes nothing
    g_log.clear();
    call(view, "endeditbox");
    call(view, "insertboxtext", box, (void *)"probe 3");
    simhost_box_free(box);
    call(view, "endeditbox");
    EXPECT_EQ(g_log, Lines({"free method"}));
    EXPECT_EQ(simhost_patcher_boxcount(p), 0);

    call(view, "wclose");
    call(view, "redraw");
    EXPECT_EQ(simhost_call_count("msg:wclose"), 1);
    EXPECT_EQ(simhost_call_count("msg:redraw"), 1);
}

TEST_F(Host, FreeingABoxFreesItsObjectAfterTellingItsObservers)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *box = simhost_box_new(p, "synth", "probe");
    t_object *keep = simhost_box_new(p, nullptr, "probe");
    t_probe *watcher = probe();
    object_attach_byptr_register(watcher, jbox_get_object(box), gensym("nobox"));
    ASSERT_EQ(simhost_connect(keep, 0, box, 0), MAX_ERR_NONE);
    g_log.clear();
    simhost_box_free(box);
    EXPECT_EQ(g_log, Lines({"notify free from probe as synth", "free method"}));
    EXPECT_EQ(simhost_patcher_boxcount(p), 1);
    EXPECT_EQ(call(p, "getnamedbox", gensym("synth")), nullptr);

    // the cord went with the box
    g_log.clear();
    send(jbox_get_object(keep), "emit", "list 1");
    EXPECT_EQ(g_log, Lines());
}

// ---- outlets ----

TEST_F(Host, OutletMessagesAreWrittenDownAndFollowTheCords)
{
    t_object *p = simhost_patcher_new(nullptr, "main");
    t_object *a = simhost_box_new(p, nullptr, "probe");
    t_object *b = simhost_box_new(p, nullptr, "probe");
    ASSERT_EQ(simhost_connect(a, 0, b, 0), MAX_ERR_NONE);
    EXPECT_NE(simhost_connect(a, 0, b, 1), MAX_ERR_NONE);
    t_object *other = simhost_patcher_new(nullptr, "other");
    EXPECT_NE(simhost_connect(a, 0, simhost_box_new(other, nullptr, "probe"), 0), MAX_ERR_NONE);
    g_log.clear();

    send(jbox_get_object(a), "emit", "state -12345 0 2.5 foo");
    send(jbox_get_object(a), "emit", "willchange");
    EXPECT_EQ(events(), Lines({"out probe state -12345 0 2.500000 foo", "out probe willchange"}));
    EXPECT_EQ(simhost_event_get(0)->object, jbox_get_object(a));
    EXPECT_EQ(g_log, Lines({"anything state -12345 0 2.5f foo", "anything willchange"}));

    // a cord from a box to itself: the host stops the loop
    ASSERT_EQ(simhost_connect(b, 0, b, 0), MAX_ERR_NONE);
    send(jbox_get_object(b), "bounce");
    int errors = 0;
    for (const std::string &line : events())
        errors += line.find("console error probe: stack overflow") == 0;
    EXPECT_EQ(errors, 1);
}

// ---- console ----

TEST_F(Host, ConsoleLinesKeepTheirKindObjectAndClass)
{
    t_probe *x = probe();
    post("a %d", 1);
    error("b %s", "x");
    object_post(&x->ob, "c");
    object_error(&x->ob, "d %.1f", 2.5);
    object_warn(&x->ob, "there's no object (%s)", "synth");
    object_post(nullptr, "f ");
    EXPECT_EQ(events(), Lines({"console post a 1", "console error b x", "console post probe: c", "console error probe: d 2.5",
                               "console warn probe: there's no object (synth)", "console post f "}));
    EXPECT_EQ(simhost_event_get(2)->object, &x->ob);
    EXPECT_EQ(simhost_event_get(5)->object, nullptr);
    EXPECT_EQ(simhost_event_get(6), nullptr);
}

// ---- displays and mouse ----

bool same(const t_rect &a, const t_rect &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST_F(Host, DisplaysAnswerForAPointAndAsAWhole)
{
    t_rect r;
    EXPECT_EQ(simhost_display_count(), 1);
    jmonitor_getdisplayrect_forpoint(1, t_pt{5000, 5000}, &r);
    EXPECT_TRUE(same(r, {0, 0, 1920, 1040}));
    jmonitor_getdisplayrect_foralldisplays(0, &r);
    EXPECT_TRUE(same(r, {0, 0, 1920, 1080}));

    simhost_display_add({0, 0, 1920, 1080}, {0, 0, 1920, 1040});
    simhost_display_add({-800, 0, 800, 1024}, {-800, 0, 800, 984});
    EXPECT_EQ(simhost_display_count(), 2);
    jmonitor_getdisplayrect_forpoint(1, t_pt{-400, 500}, &r);
    EXPECT_TRUE(same(r, {-800, 0, 800, 984}));
    jmonitor_getdisplayrect_forpoint(0, t_pt{-1, 1023}, &r);
    EXPECT_TRUE(same(r, {-800, 0, 800, 1024}));
    jmonitor_getdisplayrect_forpoint(0, t_pt{-1, 1024}, &r); // below the left display: the primary
    EXPECT_TRUE(same(r, {0, 0, 1920, 1080}));
    jmonitor_getdisplayrect_foralldisplays(1, &r);
    EXPECT_TRUE(same(r, {-800, 0, 2720, 1040}));

    const t_rect area = {10, 20, 100, 50};
    const struct {
        double x, y;
        int inside;
    } points[] = {{10, 20, 1}, {109.5, 69.5, 1}, {110, 30, 0}, {50, 70, 0}, {9.9, 30, 0}, {50, 19.9, 0}};
    for (const auto &pt : points)
        EXPECT_EQ(jgraphics_ptinrect(t_pt{pt.x, pt.y}, area) != 0, pt.inside != 0) << pt.x << "," << pt.y;

    int mx = -1, my = -1;
    jmouse_getposition_global(&mx, &my);
    EXPECT_EQ(mx + my, 0);
    simhost_mouse_set(-300, 200);
    jmouse_getposition_global(&mx, &my);
    EXPECT_EQ(mx, -300);
    EXPECT_EQ(my, 200);
}

// ---- modules and reset ----

TEST_F(Host, ModulesLoadThroughExtMainAndGoWithTheReset)
{
    EXPECT_EQ(simhost_load_module(SIMHOST_TESTMODULE), 0);
    EXPECT_EQ(events(), Lines({"console post loaded module"}));
    EXPECT_NE(simhost_class_find("box", "loaded"), nullptr);
    EXPECT_NE(simhost_object_new("loaded"), nullptr);

    EXPECT_EQ(simhost_load_module("/nonexistent/nothing.so"), -1);
    EXPECT_EQ(simhost_event_count(), 2);
    EXPECT_EQ(simhost_event_get(1)->kind, SIMHOST_ERROR);

    reset();
    EXPECT_EQ(simhost_class_find("box", "loaded"), nullptr);
    EXPECT_EQ(simhost_load_module(SIMHOST_TESTMODULE), 0);
    EXPECT_NE(simhost_object_new("loaded"), nullptr);
}

std::vector<std::string> method_names(const char *name_space, const char *name)
{
    std::vector<std::string> names;
    t_class *c = simhost_class_find(name_space, name);
    for (long i = 0; i < simhost_class_method_count(c); i++)
        names.push_back(simhost_class_method_name(c, i));
    return names;
}

TEST_F(Host, ResetFreesEverythingAndRenewsTheHostClasses)
{
    const std::vector<std::string> vst = method_names("box", "vst~");
    const std::vector<std::string> patcher = method_names("nobox", "patcher");
    ASSERT_FALSE(vst.empty());

    t_object *p = simhost_patcher_new(nullptr, "main");
    simhost_box_new(p, "a", "probe");
    simhost_box_new(simhost_patcher_new(p, "sub"), "b", "probe");
    t_probe *loose = probe();
    HWND window = (HWND)simhost_patcher_window(p);
    defer_low(loose, as_method(deferred), nullptr, 0, nullptr);
    qelem_set(qelem_new(loose, as_method(task)));
    simhost_display_add({0, 0, 800, 600}, {0, 0, 800, 560});
    simhost_mouse_set(5, 5);
    post("something");
    g_log.clear();

    simhost_reset();
    EXPECT_EQ(g_log, Lines({"free method", "free method", "free method"}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(simhost_queue_pending(), 0);
    EXPECT_EQ(simhost_queue_pass(), 0);
    EXPECT_EQ(simhost_event_count(), 0);
    EXPECT_EQ(simhost_call_count("defer_low"), 0);
    EXPECT_EQ(simhost_display_count(), 1);
    int mx = -1, my = -1;
    jmouse_getposition_global(&mx, &my);
    EXPECT_EQ(mx + my, 0);
    EXPECT_EQ(simhost_class_find("box", "probe"), nullptr);
    EXPECT_EQ(simhost_object_new("probe"), nullptr);
    EXPECT_EQ(method_names("box", "vst~"), vst);
    EXPECT_EQ(method_names("nobox", "patcher"), patcher);
    EXPECT_EQ(common_symbols_gettable()->s_free, gensym("free"));
}

} // namespace

#ifdef KORVEL_SIMHOST_DOC
// docs/SIMHOST.md's table holds a row for each registry entry, naming the
// class and its aliases, and the attributes the class registers.
TEST(SimhostDoc, ListsEveryRegisteredClass)
{
    simhost_reset();
    std::ifstream in(KORVEL_SIMHOST_DOC);
    ASSERT_TRUE(in) << KORVEL_SIMHOST_DOC;
    const auto ticked = [](const std::string &cell) {
        std::vector<std::string> names;
        for (size_t at = cell.find('`'); at != std::string::npos; at = cell.find('`', at + 1)) {
            const size_t end = cell.find('`', at + 1);
            names.push_back(cell.substr(at + 1, end - at - 1));
            at = end;
        }
        return names;
    };
    std::map<std::string, std::vector<std::string>> documented; // "vst~ mcs.vst~" -> attributes
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        for (size_t at = 0; (at = line.find('|', at)) != std::string::npos && line.rfind("| `", 0) == 0; ++at)
            cells.push_back(line.substr(at + 1, line.find('|', at + 1) - at - 1));
        if (cells.size() >= 5 && line.find("vst-quiet-change") == std::string::npos) {
            std::string names;
            for (const std::string &n : ticked(cells[0]))
                names += (names.empty() ? "" : " ") + n;
            documented[names] = ticked(cells[3]);
        }
    }
    std::map<std::string, std::vector<std::string>> registered;
    for (long i = 0; i < simhost_registry_count(); ++i) {
        const std::string name = simhost_registry_name(i), aliases = simhost_registry_aliases(i);
        t_class *c = simhost_class_find("box", name.c_str());
        c = c ? c : simhost_class_find("nobox", name.c_str());
        ASSERT_NE(c, nullptr) << name;
        std::vector<std::string> attrs;
        for (long a = 0; a < simhost_class_attr_count(c); ++a)
            attrs.push_back(simhost_class_attr_name(c, a));
        registered[aliases.empty() ? name : name + " " + aliases] = attrs;
    }
    EXPECT_EQ(documented, registered);
}
#endif
