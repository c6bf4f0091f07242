// The ordinary objects of a patch: message boxes, print, prepend, route and
// the inert boxes. Each test reads what happened as lines, one per console
// line or outlet message, so that a failure reads like a diff.
#include <gtest/gtest.h>

#include <algorithm>

#include "fresh_host.h"
#include "simhost.h"
#include "testkit_atoms.h"
#include "testkit_host.h"
#include "win_api.h"
#ifndef _WIN32
#include "simwin.h"
#endif

#include <string>
#include <vector>

using testkit::float_atom;
using testkit::long_atom;
using testkit::sym_atom;

namespace {

typedef std::vector<std::string> Lines;

// Frees the box named by its argument's scripting name when any message
// arrives: a patch that deletes a box while the box is sending.
struct t_remover {
    t_object ob;
    t_symbol *victim;
};

t_class *g_remover_class;

void *remover_new(t_symbol *s, long argc, t_atom *argv)
{
    t_remover *x = (t_remover *)object_alloc(g_remover_class);
    x->victim = argc > 0 ? atom_getsym(argv) : gensym("");
    return x;
}

void remover_anything(t_remover *x, t_symbol *s, long argc, t_atom *argv)
{
    t_object *patcher = nullptr;
    object_obex_lookup(x, gensym("#P"), &patcher);
    for (long i = 0; i < simhost_patcher_boxcount(patcher); i++) {
        t_object *box = simhost_patcher_box(patcher, i);
        if (std::string(simhost_box_varname(box)) == x->victim->s_name) {
            simhost_box_free(box);
            return;
        }
    }
}

class BasicObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_host();
        patcher_ = simhost_patcher_new(nullptr, "patch");
        mark();
    }

    void mark() { mark_ = simhost_event_count(); }

    // The lines since the last mark; sets a new mark.
    Lines lines()
    {
        Lines out;
        for (int i = mark_; i < simhost_event_count(); i++)
            out.push_back(testkit::event_line(*simhost_event_get(i)));
        mark();
        return out;
    }

    t_object *message(const char *text, const char *varname = nullptr)
    {
        return simhost_message_new(patcher_, varname, text);
    }

    t_object *box(const char *text, const char *varname = nullptr) { return simhost_box_new(patcher_, varname, text); }

    void send(t_object *box, const char *selector, std::vector<t_atom> atoms = {})
    {
        simhost_send(jbox_get_object(box), selector, (long)atoms.size(), atoms.data());
    }

    t_object *patcher_ = nullptr;
    int mark_ = 0;
};

TEST_F(BasicObjects, ClickingSendsTheTextAsTheHostWould)
{
    struct Case {
        const char *text;
        Lines out;
    };
    const Case cases[] = {
        {"open", {"out message open"}},
        {"open 100 200", {"out message open 100 200"}},
        {"100 200", {"out message list 100 200"}},
        {"5", {"out message int 5"}},
        {"0.5", {"out message float 0.500000"}},
        {"29 0.", {"out message list 29 0.000000"}},
        {"\"My Plugin\" 1", {"out message My Plugin 1"}},
        {"", {}},
        {"   ", {}},
        {"1, 2 3, open", {"out message int 1", "out message list 2 3", "out message open"}},
        {"a ,, b", {"out message a", "out message b"}},
        {"\"x, y\" z", {"out message x, y z"}},
        {"a; r b", {"out message a"}},
        {"; r b", {}},
        {"set $1, $2 foo", {"out message set 0", "out message list 0 foo"}},
    };
    for (const Case &c : cases) {
        t_object *b = message(c.text);
        ASSERT_NE(b, nullptr);
        mark();
        EXPECT_EQ(simhost_click(b), MAX_ERR_NONE) << c.text;
        EXPECT_EQ(lines(), c.out) << "text: " << c.text;
        EXPECT_STREQ(simhost_box_text(b), c.text);
        EXPECT_STREQ(simhost_box_maxclass(b), "message");
        EXPECT_STREQ(object_classname(jbox_get_object(b))->s_name, "message");
    }
}

TEST_F(BasicObjects, SetReplacesTheTextSoThatItReadsBack)
{
    t_object *b = message("open 100 200");
    t_object *p = box("print shown");
    ASSERT_EQ(simhost_connect(b, 0, p, 0), MAX_ERR_NONE);

    send(b, "set", {float_atom(0.5), sym_atom("My Plugin"), float_atom(1), long_atom(-3), sym_atom("100")});
    EXPECT_EQ(lines(), Lines{});
    EXPECT_STREQ(simhost_box_text(b), "0.5 \"My Plugin\" 1. -3 \"100\"");
    simhost_click(b);
    EXPECT_EQ(lines(), (Lines{"out message list 0.500000 My Plugin 1.000000 -3 100",
                              "console post shown: 0.5 \"My Plugin\" 1. -3 \"100\""}));

    send(b, "set", {sym_atom("a,b"), sym_atom("say \"hi\""), sym_atom("")});
    EXPECT_STREQ(simhost_box_text(b), "\"a,b\" \"say \\\"hi\\\"\" \"\"");
    simhost_click(b);
    EXPECT_EQ(lines(), (Lines{"out message a,b say \"hi\" ", "console post shown: \"a,b\" \"say \\\"hi\\\"\" \"\""}));

    send(b, "set");
    EXPECT_STREQ(simhost_box_text(b), "");
    simhost_click(b);
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(BasicObjects, AnyOtherMessageMakesItSendWithDollarArguments)
{
    t_object *plain = message("open");
    t_object *dollars = message("got $1 $2");
    struct Case {
        const char *selector;
        std::vector<t_atom> atoms;
        Lines out;
    };
    const Case cases[] = {
        {"bang", {}, {"out message open", "out message got 0 0"}},
        {"int", {long_atom(7)}, {"out message open", "out message got 7 0"}},
        {"list", {long_atom(7), float_atom(0.25)}, {"out message open", "out message got 7 0.250000"}},
        {"symbol", {sym_atom("x")}, {"out message open", "out message got x 0"}},
        {"foo", {long_atom(1), long_atom(2)}, {"out message open", "out message got foo 1"}},
    };
    for (const Case &c : cases) {
        send(plain, c.selector, c.atoms);
        send(dollars, c.selector, c.atoms);
        EXPECT_EQ(lines(), c.out) << c.selector;
    }
    EXPECT_STREQ(simhost_box_text(dollars), "got $1 $2");
}

TEST_F(BasicObjects, PrintShowsEachMessageOnTheConsole)
{
    t_object *named = box("print qzkorvel");
    t_object *plain = box("print");
    t_object *attr = box("print midi @popup 1");
    t_object *only_attr = box("print @popup 1");
    ASSERT_NE(jbox_get_object(named), nullptr);
    send(named, "state", {long_atom(100), long_atom(200), long_atom(640), long_atom(480), long_atom(1)});
    send(plain, "list", {long_atom(1), long_atom(2)});
    send(plain, "int", {long_atom(5)});
    send(plain, "float", {float_atom(0.25)});
    send(plain, "symbol", {sym_atom("foo")});
    send(plain, "bang");
    send(plain, "list");
    send(attr, "pluginname", {sym_atom("My Plugin")});
    send(only_attr, "delay", {long_atom(64)});
    EXPECT_EQ(lines(), (Lines{
                           "console post qzkorvel: state 100 200 640 480 1",
                           "console post print: 1 2",
                           "console post print: 5",
                           "console post print: 0.25",
                           "console post print: foo",
                           "console post print: bang",
                           "console post print: list",
                           "console post midi: pluginname \"My Plugin\"",
                           "console post print: delay 64",
                       }));
    const simhost_event *e = simhost_event_get(simhost_event_count() - 1);
    EXPECT_EQ(e->object, nullptr);
    EXPECT_EQ(e->classname, nullptr);
}

TEST_F(BasicObjects, PrependPutsItsArgumentsFirst)
{
    t_object *set = box("prepend set");
    t_object *number = box("prepend 144");
    t_object *none = box("prepend");
    send(set, "state", {long_atom(1), long_atom(2), long_atom(3), long_atom(4), long_atom(5)});
    send(set, "list", {long_atom(1), long_atom(2)});
    send(set, "int", {long_atom(9)});
    send(set, "symbol", {sym_atom("x")});
    send(set, "bang");
    send(number, "int", {long_atom(60)});
    send(number, "foo");
    send(none, "int", {long_atom(5)});
    send(none, "float", {float_atom(1.5)});
    send(none, "bang");
    EXPECT_EQ(lines(), (Lines{
                           "out prepend set state 1 2 3 4 5",
                           "out prepend set 1 2",
                           "out prepend set 9",
                           "out prepend set x",
                           "out prepend set",
                           "out prepend list 144 60",
                           "out prepend list 144 foo",
                           "out prepend int 5",
                           "out prepend float 1.500000",
                           "out prepend bang",
                       }));
}

TEST_F(BasicObjects, PrependSetIntoAMessageBoxShowsTheLastOutput)
{
    t_object *prepend = box("prepend set");
    t_object *shown = message("");
    ASSERT_EQ(simhost_connect(prepend, 0, shown, 0), MAX_ERR_NONE);
    send(prepend, "list", {long_atom(1), long_atom(2)});
    EXPECT_STREQ(simhost_box_text(shown), "1 2");
    send(prepend, "float", {float_atom(64)});
    EXPECT_STREQ(simhost_box_text(shown), "64.");
    send(prepend, "symbol", {sym_atom("EWI USB VST_x64")});
    EXPECT_STREQ(simhost_box_text(shown), "\"EWI USB VST_x64\"");
    EXPECT_EQ(lines(), (Lines{"out prepend set 1 2", "out prepend set 64.000000", "out prepend set EWI USB VST_x64"}));
}

TEST_F(BasicObjects, RouteSendsMatchesWithoutTheKeyAndTheRestUnchanged)
{
    t_object *bysel = box("route pluginname savedpluginname delay state");
    t_object *bynum = box("route 1 0");
    t_object *bare = box("route");
    struct Case {
        t_object *route;
        const char *selector;
        std::vector<t_atom> atoms;
        const char *out;
    };
    const Case cases[] = {
        {bysel, "state", {long_atom(1), long_atom(2), long_atom(3), long_atom(4), long_atom(5)}, "out route:3 list 1 2 3 4 5"},
        {bysel, "pluginname", {sym_atom("My Plugin")}, "out route My Plugin"},
        {bysel, "savedpluginname", {sym_atom("a"), long_atom(2)}, "out route:1 a 2"},
        {bysel, "delay", {long_atom(64)}, "out route:2 int 64"},
        {bysel, "delay", {float_atom(0.5)}, "out route:2 float 0.500000"},
        {bysel, "pluginname", {}, "out route bang"},
        {bysel, "willchange", {}, "out route:4 willchange"},
        {bysel, "list", {long_atom(1), long_atom(2)}, "out route:4 list 1 2"},
        {bynum, "int", {long_atom(1)}, "out route bang"},
        {bynum, "list", {long_atom(0), long_atom(5), long_atom(6)}, "out route:1 list 5 6"},
        {bynum, "list", {float_atom(1), sym_atom("foo")}, "out route foo"},
        {bynum, "int", {long_atom(7)}, "out route:2 int 7"},
        {bynum, "list", {}, "out route:2 list"},
        {bynum, "state", {long_atom(1)}, "out route:2 state 1"},
        {bare, "state", {long_atom(1)}, "out route:1 state 1"},
        {bare, "int", {long_atom(0)}, "out route bang"},
    };
    for (const Case &c : cases) {
        send(c.route, c.selector, c.atoms);
        EXPECT_EQ(lines(), Lines{c.out}) << c.selector;
    }
}

// Cords into right inlets: a message box's sets its text without sending,
// a route's replaces its key; an inlet the object lacks takes no cord.
TEST_F(BasicObjects, RightInletsSetTheTextAndReplaceKeys)
{
    t_object *display = message("empty"), *route = box("route a b");
    t_object *text = message("new words"), *key = message("c");
    const struct {
        t_object *src, *dst;
        long inlet;
        bool joins;
    } cords[] = {{text, display, 1, true}, {key, route, 2, true}, {key, route, 3, false}, {key, display, 2, false}};
    for (const auto &c : cords)
        EXPECT_EQ(simhost_connect(c.src, 0, c.dst, c.inlet) == MAX_ERR_NONE, c.joins) << c.inlet;
    simhost_click(text);
    simhost_click(key);
    EXPECT_EQ(lines(), (Lines{"out message new words", "out message c"}));
    EXPECT_STREQ(simhost_box_text(display), "new words");
    send(route, "c", {long_atom(1)});
    send(route, "b", {long_atom(2)});
    EXPECT_EQ(lines(), (Lines{"out route:1 int 1", "out route:2 b 2"}));
}

// The help patch's display of its reports, small: a message box playing
// qzkorvel's outlet, route by selector, prepend set, message boxes showing
// the last report, and print beside them.
TEST_F(BasicObjects, ReportsRoutedIntoDisplayBoxes)
{
    t_object *report = message("state 100 200 640 480 1, pluginname \"My Plugin\", delay 64, willchange");
    t_object *route = box("route pluginname state");
    t_object *print = box("print qzkorvel");
    t_object *setname = box("prepend set");
    t_object *setstate = box("prepend set");
    t_object *name = message("");
    t_object *state = message("");
    t_object *echo = box("print echo");
    ASSERT_EQ(simhost_connect(report, 0, route, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(report, 0, print, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(route, 0, setname, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(route, 1, setstate, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(setname, 0, name, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(setstate, 0, state, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(state, 0, echo, 0), MAX_ERR_NONE);

    ASSERT_EQ(simhost_click(report), MAX_ERR_NONE);
    EXPECT_EQ(lines(), (Lines{
                           "out message state 100 200 640 480 1",
                           "out route:1 list 100 200 640 480 1",
                           "out prepend set 100 200 640 480 1",
                           "console post qzkorvel: state 100 200 640 480 1",
                           "out message pluginname My Plugin",
                           "out route My Plugin",
                           "out prepend set My Plugin",
                           "console post qzkorvel: pluginname \"My Plugin\"",
                           "out message delay 64",
                           "out route:2 delay 64",
                           "console post qzkorvel: delay 64",
                           "out message willchange",
                           "out route:2 willchange",
                           "console post qzkorvel: willchange",
                       }));
    EXPECT_STREQ(simhost_box_text(state), "100 200 640 480 1");
    EXPECT_STREQ(simhost_box_text(name), "\"My Plugin\"");

    // the display box sends what it shows, as the stored state list would
    simhost_click(state);
    EXPECT_EQ(lines(), (Lines{"out message list 100 200 640 480 1", "console post echo: 100 200 640 480 1"}));
}

TEST_F(BasicObjects, InertBoxesHoldTextAndNothingElse)
{
    t_object *comment = simhost_inert_new(patcher_, "comment", "qzkorvel synth opens the editor");
    t_object *panel = simhost_inert_new(patcher_, "panel", "");
    ASSERT_NE(comment, nullptr);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(jbox_get_object(comment), nullptr);
    EXPECT_EQ(jbox_get_object(panel), nullptr);
    EXPECT_STREQ(simhost_box_text(comment), "qzkorvel synth opens the editor");
    EXPECT_STREQ(simhost_box_maxclass(comment), "comment");
    EXPECT_STREQ(simhost_box_maxclass(panel), "panel");
    t_object *object = box("print");
    EXPECT_STREQ(simhost_box_maxclass(object), "newobj");
    EXPECT_EQ(simhost_inert_new(nullptr, "comment", "x"), nullptr);
    EXPECT_EQ(simhost_patcher_boxcount(patcher_), 3);

    // only message boxes can be clicked, and only patchers hold them
    EXPECT_EQ(simhost_click(comment), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_click(object), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_click(nullptr), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_click(patcher_), MAX_ERR_GENERIC);
    EXPECT_EQ(simhost_message_new(nullptr, nullptr, "open"), nullptr);
    EXPECT_EQ(simhost_message_new(object, nullptr, "open"), nullptr);
    EXPECT_EQ(lines(), Lines{});
}

// Retyping a message box or a comment in the patcher changes its text; it
// does not become an object box.
TEST_F(BasicObjects, EditingKeepsTheKindOfBox)
{
    t_object *b = message("open", "msg");
    t_object *comment = simhost_inert_new(patcher_, "comment", "print this");
    t_object *view = object_attr_getobj(patcher_, gensym("firstview"));
    ASSERT_NE(view, nullptr);
    t_object *obj = jbox_get_object(b);
    for (t_object *edited : {b, comment}) {
        testkit::call(view, "insertboxtext", edited, (void *)"print hello");
        testkit::call(view, "endeditbox");
        EXPECT_STREQ(simhost_box_text(edited), "print hello");
    }
    EXPECT_EQ(jbox_get_object(b), obj);
    EXPECT_EQ(jbox_get_object(comment), nullptr);
    EXPECT_STREQ(simhost_box_varname(b), "msg");
    simhost_click(b);
    EXPECT_EQ(lines(), Lines{"out message print hello"});
}

// A box freed by what its own message set off sends nothing more; a box
// feeding itself is stopped by the host, not by a crash.
TEST_F(BasicObjects, SendingSurvivesPatchesThatUndoThemselves)
{
    g_remover_class =
        class_new("remover", as_method(remover_new), nullptr, (long)sizeof(t_remover), nullptr, A_GIMME, 0);
    class_addmethod(g_remover_class, as_method(remover_anything), "anything", A_GIMME, 0);
    class_register(gensym("box"), g_remover_class);

    t_object *doomed = message("first, second", "doomed");
    t_object *remover = box("remover doomed");
    ASSERT_EQ(simhost_connect(doomed, 0, remover, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_click(doomed), MAX_ERR_NONE);
    EXPECT_EQ(lines(), Lines{"out message first"});
    EXPECT_EQ(simhost_patcher_boxcount(patcher_), 1);

    t_object *loop = message("again");
    ASSERT_EQ(simhost_connect(loop, 0, loop, 0), MAX_ERR_NONE);
    simhost_click(loop);
    Lines out = lines();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back(), "console error message: stack overflow: messages loop through the patch cords");
    EXPECT_STREQ(simhost_box_text(loop), "again");

    // a loop that branches at every level ends too: each of the click's two
    // messages is dropped at its first overflow
    t_object *branching = message("left, right");
    ASSERT_EQ(simhost_connect(branching, 0, branching, 0), MAX_ERR_NONE);
    simhost_click(branching);
    out = lines();
    EXPECT_EQ(std::count(out.begin(), out.end(), "console error message: stack overflow: messages loop through the patch cords"),
              2);
}

// Freeing a box drops every cord into and out of it, whatever order the
// boxes go in; what is left still carries messages.
TEST_F(BasicObjects, FreeingABoxDropsItsCords)
{
    t_object *a = message("from-a");
    t_object *c = message("from-c");
    t_object *b = box("print b");
    t_object *d = box("print d");
    t_object *bd = message("to-d");
    for (t_object *src : {a, c})
        ASSERT_EQ(simhost_connect(src, 0, b, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(a, 0, d, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(b, 0, d, 0), MAX_ERR_NONE);
    ASSERT_EQ(simhost_connect(bd, 0, d, 0), MAX_ERR_NONE);
    simhost_box_free(b);
    simhost_click(a);
    simhost_click(c);
    EXPECT_EQ(lines(), (Lines{"out message from-a", "console post d: from-a", "out message from-c"}));
    simhost_box_free(d);
    simhost_click(bd);
    simhost_click(a);
    EXPECT_EQ(lines(), (Lines{"out message to-d", "out message from-a"}));
    simhost_box_free(a);
    EXPECT_EQ(simhost_patcher_boxcount(patcher_), 2);
}

// The everyday objects as Max documents them: each case makes the object
// from its text, then clicks a message box into one of its inlets (or runs
// a queue pass, or the host's call at the end of loading); the lines are
// those of its outlets and the console.
TEST_F(BasicObjects, EverydayObjectsAsMaxDocumentsThem)
{
    const long pass = -1, loaded = -2;
    struct Step {
        long inlet;
        const char *text;
    };
    struct Case {
        const char *object;
        std::vector<Step> steps;
        Lines out;
    };
    const Case cases[] = {
        {"t b i f", {{0, "5.5"}}, {"out t:2 float 5.500000", "out t:1 int 5", "out t bang"}},
        {"t s l a", {{0, "foo 1 2"}}, {"out t:2 foo 1 2", "out t:1 foo 1 2", "out t symbol foo"}},
        {"t 2 l -1.", {{0, "3 4"}}, {"out t:2 float -1.000000", "out t:1 list 3 4", "out t int 2"}},
        {"trigger", {{0, "9"}}, {"out trigger:1 int 9", "out trigger int 9"}},
        {"sel 1 foo",
         {{0, "1"}, {0, "foo"}, {0, "3"}, {1, "3"}, {0, "3"}, {0, "1 2"}},
         {"out sel bang", "out sel:1 bang", "out sel:2 int 3", "out sel bang", "out sel:2 list 1 2"}},
        {"select", {{0, "0"}, {0, "bang"}}, {"out select bang", "out select:1 bang"}},
        {"pack 0 0.", {{1, "2.5"}, {0, "1"}, {1, "x"}, {0, "bang"}, {0, "3 4"}},
         {"out pack list 1 2.500000", "out pack list 1 2.500000", "out pack list 3 4.000000"}},
        {"pack midievent 0", {{0, "symbol note"}, {1, "7 8"}, {0, "bang"}}, {"out pack note 0", "out pack note 7"}},
        {"pack", {{0, "5"}}, {"out pack list 5 0"}},
        {"unpack s 0 0.", {{0, "foo 2 3"}, {0, "1 bar"}},
         {"out unpack:2 float 3.000000", "out unpack:1 int 2", "out unpack symbol foo"}},
        {"unpack", {{0, "1 2 3"}}, {"out unpack:1 int 2", "out unpack int 1"}},
        {"gate 2",
         {{1, "a"}, {0, "2"}, {1, "a 1"}, {0, "9"}, {1, "b"}, {0, "1"}, {1, "c"}, {0, "0"}, {1, "d"}, {0, "foo"}},
         {"out gate:1 a 1", "out gate:1 b", "out gate c",
          "console error gate: doesn't understand \"foo\" in its left inlet"}},
        {"gate 1 1", {{1, "5"}}, {"out gate int 5"}},
        {"int 3", {{0, "bang"}, {1, "7"}, {0, "bang"}, {0, "2.9"}, {0, "set 4"}, {0, "bang"}, {0, "foo"}},
         {"out int int 3", "out int int 7", "out int int 2", "out int int 4", "console error int: doesn't understand \"foo\""}},
        {"i", {{0, "bang"}}, {"out i int 0"}},
        {"deferlow", {{0, "a"}, {0, "1 2"}, {pass, ""}, {pass, ""}}, {"pass", "out deferlow a", "out deferlow list 1 2", "pass"}},
        {"delay 2", {{0, "bang"}, {pass, ""}, {pass, ""}, {pass, ""}}, {"pass", "pass", "out delay bang", "pass"}},
        {"del 1", {{0, "bang"}, {0, "stop"}, {pass, ""}, {1, "3"}, {0, "bang"}, {pass, ""}, {0, "bang"}, {pass, ""}, {pass, ""}, {pass, ""}},
         {"pass", "pass", "pass", "pass", "pass", "out del bang"}},
        {"delay", {{0, "0"}, {pass, ""}}, {"pass", "out delay bang"}},
        {"loadbang", {{loaded, ""}, {0, "bang"}}, {"out loadbang bang", "out loadbang bang"}},
        {"loadmess 275 0", {{loaded, ""}, {0, "bang"}}, {"out loadmess list 275 0", "out loadmess list 275 0"}},
        {"loadmess", {{loaded, ""}}, {"out loadmess bang"}},
    };
    for (const Case &c : cases) {
        t_object *obj = box(c.object);
        ASSERT_NE(jbox_get_object(obj), nullptr) << c.object;
        Lines out;
        for (const Step &step : c.steps) {
            mark();
            if (step.inlet == pass) {
                simhost_queue_pass();
                out.push_back("pass");
            } else if (step.inlet == loaded) {
                testkit::call(jbox_get_object(obj), "loadbang");
            } else {
                t_object *m = message(step.text);
                ASSERT_EQ(simhost_connect(m, 0, obj, step.inlet), MAX_ERR_NONE) << c.object << " inlet " << step.inlet;
                simhost_click(m);
            }
            for (const std::string &line : lines())
                if (line.rfind("out message", 0) != 0)
                    out.push_back(line);
        }
        EXPECT_EQ(out, c.out) << c.object;
        simhost_box_free(obj);
    }
}

// thispatcher's scripting of its own patcher, by scripting name.
TEST_F(BasicObjects, ThispatcherScriptsItsPatcher)
{
    t_object *script = box("thispatcher");
    t_object *source = message("hello", "source");
    const char *steps[] = {
        "script newobject newobj @text \"print made\" @varname made @patching_position 10 20",
        "script connect source 0 made 0",
        "script sendbox made varname shown",
        "script send shown symbol sent",
        "script disconnect source 0 shown 0",
        "script disconnect source 0 shown 0",
        "script delete shown",
        "script delete shown",
        "script newobject toggle",
        "script move shown",
    };
    Lines out;
    for (const char *step : steps) {
        t_object *m = message(step);
        ASSERT_EQ(simhost_connect(m, 0, script, 0), MAX_ERR_NONE);
        simhost_click(m);
        simhost_click(source);
        for (const std::string &line : lines())
            if (line.rfind("out message", 0) != 0 || line == "out message hello")
                out.push_back(line);
    }
    const std::string made = "console post made: hello";
    EXPECT_EQ(out, (Lines{
                       "out message hello",
                       "out message hello", made,
                       "out message hello", made,
                       "console post made: sent", "out message hello", made,
                       "out message hello",
                       "console error thispatcher: script disconnect: no such patch cord", "out message hello",
                       "out message hello",
                       "console error thispatcher: script: no box named shown", "out message hello",
                       "console error thispatcher: script newobject: only \"newobj @text TEXT\" boxes are simulated",
                       "out message hello",
                       "console error thispatcher: script move: not simulated", "out message hello",
                   }));
    EXPECT_EQ(simhost_patcher_boxcount(patcher_), 2 + 10);
}

} // namespace
