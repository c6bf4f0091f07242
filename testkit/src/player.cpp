// The scenario player: one command a line, each turned into World calls.
#include "testkit.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <map>

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
    size_t min, max; // argument counts
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
        throw Error("malformed line: usage: user move WINDOW X Y | user resize WINDOW W H | "
                    "user close WINDOW | user activate WINDOW");
}

void run_app(Context &c)
{
    if (c.text(1) == "background")
        c.world.app_background();
    else if (c.text(1) == "foreground")
        c.world.app_foreground();
    else
        throw Error("malformed line: usage: app background | app foreground");
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
        throw Error("malformed line: usage: misbehave BOX offset DX DY | misbehave BOX noeditor | "
                    "misbehave BOX normal");
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
            throw Error("malformed line: usage: box [NAME =] TEXT...");
        c.world.box(c.line.rest(3), c.text(1));
    } else {
        if (c.text(1) == "=")
            throw Error("malformed line: usage: box [NAME =] TEXT...");
        c.world.box(c.line.rest(1));
    }
}

void run_plugin(Context &c)
{
    long delay = 0;
    if (c.count() == 4) {
        if (c.text(3) != "delay")
            throw Error("malformed line: usage: plugin NAME WxH [delay N]");
        delay = number(c.word(4));
    } else if (c.count() != 2) {
        throw Error("malformed line: usage: plugin NAME WxH [delay N]");
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

const std::map<std::string, Command> &commands()
{
    static const std::map<std::string, Command> table = {
        {"display", {"display X Y W H", 4, 4, [](Context &c) {
             c.world.display(number(c.word(1)), number(c.word(2)), positive(c.word(3)), positive(c.word(4)));
         }}},
        {"mouse", {"mouse X Y", 2, 2, [](Context &c) { c.world.mouse(number(c.word(1)), number(c.word(2))); }}},
        {"box", {"box [NAME =] TEXT...", 1, SIZE_MAX, run_box}},
        {"send", {"send BOX SELECTOR ATOMS...", 2, SIZE_MAX,
                  [](Context &c) { c.world.send(c.text(1), c.text(2), c.line.rest(3)); }}},
        {"pass", {"pass [N]", 0, 1, [](Context &c) { c.world.pass(c.count() ? positive(c.word(1)) : 1); }}},
        {"delete", {"delete BOX", 1, 1, [](Context &c) { c.world.remove(c.text(1)); }}},
        {"plugin", {"plugin NAME WxH [delay N]", 2, 4, run_plugin}},
        {"load", {"load BOX NAME", 2, 2, [](Context &c) { c.world.load(c.text(1), c.text(2)); }}},
        {"unload", {"unload BOX", 1, 1, [](Context &c) { c.world.unload(c.text(1)); }}},
        {"latency", {"latency BOX N", 2, 2, [](Context &c) { c.world.latency(c.text(1), number(c.word(2))); }}},
        {"rename", {"rename BOX NEWNAME", 2, 2, [](Context &c) { c.world.rename(c.text(1), c.text(2)); }}},
        {"window", {"window X Y W H [COUNT]", 4, 5, run_window}},
        {"misbehave", {"misbehave BOX offset DX DY | misbehave BOX noeditor | misbehave BOX normal", 2, 4,
                       run_misbehave}},
        {"user", {"user move WINDOW X Y | user resize WINDOW W H | user close WINDOW | user activate WINDOW", 2, 4,
                  run_user}},
        {"app", {"app background | app foreground", 1, 1, run_app}},
        {"look", {"look editor", 1, 1, run_look}},
        {"click", {"click BOX", 1, 1, [](Context &c) { c.world.click(c.text(1)); }}},
        {"snapshot", {"snapshot FILE.svg", 1, 1, [](Context &c) { c.world.snapshot(c.text(1)); }}},
    };
    return table;
}

void run(World &world, const Line &line, const Player::Sink &sink)
{
    const std::string &name = line.words[0].text;
    const auto it = commands().find(name);
    if (it == commands().end())
        throw Error("unknown command '" + name + "'");
    const Command &command = it->second;
    const size_t count = line.words.size() - 1;
    if (count < command.min || count > command.max)
        throw Error(std::string("malformed line: usage: ") + command.usage);
    Context context{world, line, sink};
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

std::vector<std::string> Player::play(const std::string &text, const std::string &file)
{
    std::vector<std::string> transcript;
    play(text, file, [&transcript](const std::string &line) { transcript.push_back(line); });
    return transcript;
}

} // namespace testkit
