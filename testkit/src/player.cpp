// The scenario player: one command a line, each turned into World calls.
#include "testkit.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "simhost.h"

namespace testkit {

namespace {

struct Word {
    std::string text; // without the quotes of a quoted word
    size_t begin;     // where the word starts in the line
};

struct Line {
    std::string raw; // up to the comment
    std::vector<Word> words;

    // The line from word i on, as written: box text and atoms are parsed by
    // the host itself.
    std::string rest(size_t i) const
    {
        if (i >= words.size())
            return "";
        const size_t end = raw.find_last_not_of(" \t");
        return raw.substr(words[i].begin, end + 1 - words[i].begin);
    }
};

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

// Words are split at blanks; a double-quoted word may hold blanks; a word that
// starts with '#' opens a comment ("qzkorvel#1" is a word, not a comment).
Line split(const std::string &raw)
{
    Line line;
    size_t i = 0;
    while (true) {
        while (i < raw.size() && blank(raw[i]))
            ++i;
        if (i == raw.size() || raw[i] == '#') {
            line.raw = raw.substr(0, i);
            return line;
        }
        const size_t begin = i;
        if (raw[i] == '"') {
            const size_t close = raw.find('"', i + 1);
            if (close == std::string::npos)
                throw Error("malformed line: unterminated quote");
            line.words.push_back(Word{raw.substr(i + 1, close - i - 1), begin});
            i = close + 1;
        } else {
            while (i < raw.size() && !blank(raw[i]))
                ++i;
            line.words.push_back(Word{raw.substr(begin, i - begin), begin});
        }
    }
}

int number(const Word &w)
{
    errno = 0;
    char *end = nullptr;
    const long long v = std::strtoll(w.text.c_str(), &end, 10);
    if (w.text.empty() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        throw Error("malformed line: '" + w.text + "' is not a whole number");
    return int(v);
}

int positive(const Word &w)
{
    const int v = number(w);
    if (v < 1)
        throw Error("malformed line: '" + w.text + "' is not a positive number");
    return v;
}

Size size_of(const Word &w)
{
    const size_t x = w.text.find('x');
    if (x == std::string::npos)
        throw Error("malformed line: '" + w.text + "' is not a size WxH");
    return Size{positive(Word{w.text.substr(0, x), 0}), positive(Word{w.text.substr(x + 1), 0})};
}

struct Context {
    World &world;
    const Line &line;
    const Player::Sink &sink;
    const char *usage; // the command's forms, as the table gives them

    // The error for a line that fits none of the command's forms.
    Error malformed() const { return Error(std::string("malformed line: usage: ") + usage); }

    const Word &word(size_t i) const { return line.words[i]; }
    const std::string &text(size_t i) const { return line.words[i].text; }
    size_t count() const { return line.words.size() - 1; } // arguments after the command

    HWND window(size_t i) const
    {
        if (text(i) == "window") {
            if (HWND hwnd = world.last_foreign_window())
                return hwnd;
            throw Error("no window made");
        }
        if (text(i) != "editor")
            throw Error("unknown window '" + text(i) + "' (the windows are 'editor' and 'window')");
        HWND hwnd = world.editor();
        if (!hwnd)
            throw Error("no editor open");
        return hwnd;
    }
};

struct Command {
    const char *usage;
    const char *what; // one line for korvel-sim --help, a " | " between forms as in usage
    size_t min, max;  // argument counts
    void (*run)(Context &);
};

void run_user(Context &c)
{
    const std::string &action = c.text(1);
    if (action == "move" && c.count() == 4)
        c.world.user_move(c.window(2), number(c.word(3)), number(c.word(4)));
    else if (action == "resize" && c.count() == 4)
        c.world.user_resize(c.window(2), positive(c.word(3)), positive(c.word(4)));
    else if (action == "close" && c.count() == 2)
        c.world.user_close(c.window(2));
    else if (action == "activate" && c.count() == 2)
        c.world.user_activate(c.window(2));
    else
        throw c.malformed();
}

void run_app(Context &c)
{
    if (c.text(1) == "background")
        c.world.app_background();
    else if (c.text(1) == "foreground")
        c.world.app_foreground();
    else
        throw c.malformed();
}

void run_misbehave(Context &c)
{
    const std::string &how = c.text(2);
    if (how == "offset" && c.count() == 4)
        c.world.misbehave(c.text(1), SIMHOST_VST_OFFSET, number(c.word(3)), number(c.word(4)));
    else if (how == "noeditor" && c.count() == 2)
        c.world.misbehave(c.text(1), SIMHOST_VST_NOEDITOR);
    else if (how == "normal" && c.count() == 2)
        c.world.misbehave(c.text(1), SIMHOST_VST_NORMAL);
    else
        throw c.malformed();
}

void run_look(Context &c)
{
    if (c.text(1) != "editor")
        throw Error("unknown window '" + c.text(1) + "' (the one window is 'editor')");
    HWND hwnd = c.world.editor();
    if (!hwnd) {
        c.sink("look editor none");
        return;
    }
    const Point at = World::client_origin(hwnd);
    const Size size = World::client_size(hwnd);
    std::string line = "look editor " + std::to_string(at.x) + " " + std::to_string(at.y) + " " +
                       std::to_string(size.width) + " " + std::to_string(size.height) +
                       (World::visible(hwnd) ? " visible" : " hidden");
    if (World::topmost(hwnd))
        line += " topmost";
    if (World::toolwindow(hwnd))
        line += " toolwindow";
    if (World::active_window() == hwnd)
        line += " active";
    c.sink(line);
}

void run_box(Context &c)
{
    if (c.count() >= 2 && c.text(2) == "=") {
        if (c.count() < 3 || c.text(1) == "=")
            throw c.malformed();
        c.world.box(c.line.rest(3), c.text(1));
    } else {
        if (c.text(1) == "=")
            throw c.malformed();
        c.world.box(c.line.rest(1));
    }
}

void run_plugin(Context &c)
{
    long delay = 0;
    if (c.count() == 4) {
        if (c.text(3) != "delay")
            throw c.malformed();
        delay = number(c.word(4));
    } else if (c.count() != 2) {
        throw c.malformed();
    }
    const Size size = size_of(c.word(2));
    c.world.plugin(c.text(1), size.width, size.height, delay);
}

void run_window(Context &c)
{
    const int count = c.count() == 5 ? positive(c.word(5)) : 1;
    for (int i = 0; i < count; ++i)
        c.world.foreign_window(number(c.word(1)), number(c.word(2)), positive(c.word(3)), positive(c.word(4)));
}

struct Named {
    const char *name;
    Command command;
};

// The scenario language: the player dispatches on this table and
// korvel-sim --help prints it, so the two cannot disagree.
const std::vector<Named> &commands()
{
    static const std::vector<Named> table = {
        {"display", {"display X Y W H", "add a display (the first is the primary one)", 4, 4, [](Context &c) {
             c.world.display(number(c.word(1)), number(c.word(2)), positive(c.word(3)), positive(c.word(4)));
         }}},
        {"mouse", {"mouse X Y", "put the mouse pointer at X Y", 2, 2,
                   [](Context &c) { c.world.mouse(number(c.word(1)), number(c.word(2))); }}},
        {"plugin", {"plugin NAME WxH [delay N]", "declare a plug-in: its editor's size and its delay in samples", 2, 4,
                    run_plugin}},
        {"box", {"box [NAME =] TEXT...", "make an object box from its text, with scripting name NAME", 1, SIZE_MAX,
                 run_box}},
        {"send", {"send BOX SELECTOR ATOMS...", "send a message to the object in BOX, as a patch cord would", 2,
                  SIZE_MAX, [](Context &c) { c.world.send(c.text(1), c.text(2), c.line.rest(3)); }}},
        {"click", {"click BOX", "click a message box: it sends what it shows", 1, 1,
                   [](Context &c) { c.world.click(c.text(1)); }}},
        {"pass", {"pass [N]", "run N passes of the host's low-priority queue (1 by default)", 0, 1,
                  [](Context &c) { c.world.pass(c.count() ? positive(c.word(1)) : 1); }}},
        {"delete", {"delete BOX", "delete a box and its object", 1, 1, [](Context &c) { c.world.remove(c.text(1)); }}},
        {"retype", {"retype BOX TEXT...", "type new text into an object box: a new object takes the old one's place",
                    2, SIZE_MAX, [](Context &c) { c.world.retype(c.text(1), c.line.rest(2)); }}},
        {"rename", {"rename BOX NEWNAME", "give a box another scripting name", 2, 2,
                    [](Context &c) { c.world.rename(c.text(1), c.text(2)); }}},
        {"load", {"load BOX NAME", "load a plug-in into the vst~ object in BOX", 2, 2,
                  [](Context &c) { c.world.load(c.text(1), c.text(2)); }}},
        {"unload", {"unload BOX", "take the plug-in out of the vst~ object in BOX", 1, 1,
                    [](Context &c) { c.world.unload(c.text(1)); }}},
        {"latency", {"latency BOX N", "change the delay of the plug-in in BOX's vst~ to N samples", 2, 2,
                     [](Context &c) { c.world.latency(c.text(1), number(c.word(2))); }}},
        {"misbehave", {"misbehave BOX offset DX DY | misbehave BOX noeditor | misbehave BOX normal",
                       "BOX's plug-in opens its editor DX DY off the point | BOX's plug-in opens no editor | "
                       "BOX's plug-in behaves again", 2, 4,
                       run_misbehave}},
        {"window", {"window X Y W H [COUNT]", "open COUNT windows of another application with their content at X Y",
                    4, 5, run_window}},
        {"user", {"user move WINDOW X Y | user resize WINDOW W H | user close WINDOW | user activate WINDOW",
                  "drag WINDOW (editor, or window: the other application's made last) until its content is at X Y | "
                  "resize WINDOW's content to W H | click WINDOW's close button | click WINDOW, making it active",
                  2, 4, run_user}},
        {"app", {"app background | app foreground", "switch to another application | switch back to Max", 1, 1,
                 run_app}},
        {"look", {"look editor", "add a transcript line with where the editor is and how it shows", 1, 1, run_look}},
        {"save", {"save FILE", "write the patch as a Max patch file (relative: in the pictures folder)", 1, 1,
                  [](Context &c) { c.world.save(c.text(1)); }}},
        {"reopen", {"reopen", "save the patch, close it and open what was saved", 0, 0,
                    [](Context &c) { c.world.reopen(); }}},
        {"snapshot", {"snapshot FILE.svg", "draw the desktop into FILE.svg (relative: in the pictures folder)", 1, 1,
                      [](Context &c) { c.world.snapshot(c.text(1)); }}},
    };
    return table;
}

// Edit distance, for suggesting the command that a mistyped one meant.
size_t distance(const std::string &a, const std::string &b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A name a few edits from a command (a third of its length, two at least)
// is taken for a slip of that command.
std::string unknown(const std::string &name)
{
    const Named *nearest = nullptr;
    size_t best = SIZE_MAX;
    for (const Named &n : commands()) {
        const size_t d = distance(name, n.name);
        if (d < best) {
            best = d;
            nearest = &n;
        }
    }
    std::string message = "unknown command '" + name + "'";
    if (nearest && best <= std::max<size_t>(2, name.size() / 3))
        return message + "; did you mean '" + nearest->name + "'? (" + nearest->command.usage + ")";
    return message + " (korvel-sim --help lists the commands)";
}

// The forms of a usage, "a | b" being two.
std::vector<std::string> forms(const std::string &usage)
{
    std::vector<std::string> out;
    for (size_t from = 0; from <= usage.size();) {
        const size_t bar = std::min(usage.find(" | ", from), usage.size());
        out.push_back(usage.substr(from, bar - from));
        from = bar + 3;
    }
    return out;
}

void run(World &world, const Line &line, const Player::Sink &sink)
{
    const std::string &name = line.words[0].text;
    const auto it = std::find_if(commands().begin(), commands().end(),
                                 [&name](const Named &n) { return name == n.name; });
    if (it == commands().end())
        throw Error(unknown(name));
    const Command &command = it->command;
    Context context{world, line, sink, command.usage};
    if (context.count() < command.min || context.count() > command.max)
        throw context.malformed();
    command.run(context);
}

} // namespace

void Player::play(const std::string &text, const std::string &file, const Sink &sink)
{
    for (const std::string &s : world_.lines())
        sink(s);
    size_t number = 0;
    size_t from = 0;
    while (from <= text.size()) {
        size_t to = text.find('\n', from);
        if (to == std::string::npos)
            to = text.size();
        std::string raw = text.substr(from, to - from);
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        from = to + 1;
        ++number;
        try {
            const Line line = split(raw);
            if (!line.words.empty())
                run(world_, line, sink);
        } catch (const Error &e) {
            for (const std::string &s : world_.lines())
                sink(s);
            throw Error(file + ":" + std::to_string(number) + ": " + e.what());
        }
        for (const std::string &s : world_.lines())
            sink(s);
    }
}

std::string Player::reference()
{
    size_t width = 0;
    for (const Named &n : commands())
        for (const std::string &form : forms(n.command.usage))
            width = std::max(width, form.size());
    std::string text;
    for (const Named &n : commands()) {
        const std::vector<std::string> all = forms(n.command.usage);
        const std::vector<std::string> what = forms(n.command.what);
        for (size_t i = 0; i < all.size(); ++i)
            text += "  " + all[i] + std::string(width + 2 - all[i].size(), ' ') + what.at(i) + "\n";
    }
    return text;
}

std::vector<std::string> Player::play(const std::string &text, const std::string &file)
{
    std::vector<std::string> transcript;
    play(text, file, [&transcript](const std::string &line) { transcript.push_back(line); });
    return transcript;
}

} // namespace testkit
