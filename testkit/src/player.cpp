// The scenario player: one command a line, each turned into World calls.
#include "testkit.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

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

// Win32 carries window positions and sizes in 16-bit words (WM_MOVE,
// WM_SIZE) and clamps them there; within these limits the window system's
// sums, differences and areas fit its 32-bit arithmetic.
constexpr int coordinate_limit = 32767;
// Counts that run or allocate per unit: past these a slip of a finger would
// run for hours or grow memory without bound.
constexpr int pass_limit = 100000, window_limit = 10000;

int within(int v, const Word &w, int low, int high, const char *what)
{
    if (v < low || v > high)
        throw Error("number out of range: '" + w.text + "': " + what + " is " + std::to_string(low) + " to " +
                    std::to_string(high));
    return v;
}

// A position or offset on the desktop.
int coordinate(const Word &w)
{
    return within(number(w), w, -coordinate_limit - 1, coordinate_limit, "a coordinate");
}

// A width or height.
int extent(const Word &w)
{
    return within(positive(w), w, 1, coordinate_limit, "a width or height");
}

Size size_of(const Word &w)
{
    const size_t x = w.text.find('x');
    if (x == std::string::npos)
        throw Error("malformed line: '" + w.text + "' is not a size WxH");
    return Size{extent(Word{w.text.substr(0, x), 0}), extent(Word{w.text.substr(x + 1), 0})};
}

struct Context {
    World &world;
    const Line &line;
    const Player::Sink &sink;
    const char *usage; // the command's forms, as the table gives them
    Player::Record &record;
    const std::string &file; // the scenario, as named to the player

    // The error for a line that fits none of the command's forms.
    Error malformed() const { return Error(std::string("malformed line: usage: ") + usage); }

    const Word &word(size_t i) const { return line.words[i]; }
    const std::string &text(size_t i) const { return line.words[i].text; }
    size_t count() const { return line.words.size() - 1; } // arguments after the command

    // The window that word i names: "window", "editor", or "editor BOX"
    // when the line has one more word than its form ("extra"); the word
    // after the window's comes back in next.
    HWND window(size_t i, size_t extra, size_t &next) const
    {
        next = i + 1;
        if (text(i) == "window") {
            if (extra)
                throw malformed();
            if (HWND hwnd = world.last_foreign_window())
                return hwnd;
            throw Error("no window made");
        }
        if (text(i) != "editor")
            throw Error("unknown window '" + text(i) + "' (the windows are 'editor', 'editor BOX' and 'window')");
        if (extra == 0) {
            if (HWND hwnd = world.editor())
                return hwnd;
            throw Error("no editor open");
        }
        next = i + 2;
        return world.editor_of(text(i + 1));
    }
};

// The point in words i and i + 1, and the size; braces read them in order,
// so that the first out of range is the one named.
Point point_at(const Context &c, size_t i)
{
    return Point{coordinate(c.word(i)), coordinate(c.word(i + 1))};
}

Size size_at(const Context &c, size_t i)
{
    return Size{extent(c.word(i)), extent(c.word(i + 1))};
}

struct Command {
    const char *usage;
    const char *what; // one line for korvel-sim --help, a " | " between forms as in usage
    size_t min, max;  // argument counts
    void (*run)(Context &);
};

void run_user(Context &c)
{
    const std::string &action = c.text(1);
    const bool sized = action == "move" || action == "resize";
    const size_t plain = sized ? 4 : 2; // the arguments of the form with a bare WINDOW
    const bool bare = action == "close" || action == "activate" || action == "minimise" || action == "restore";
    if ((!sized && !bare) || c.count() < plain || c.count() > plain + 1)
        throw c.malformed();
    size_t at = 0;
    HWND hwnd = c.window(2, c.count() - plain, at);
    if (action == "move")
        c.world.user_move(hwnd, point_at(c, at).x, point_at(c, at).y);
    else if (action == "resize")
        c.world.user_resize(hwnd, size_at(c, at).width, size_at(c, at).height);
    else if (action == "close")
        c.world.user_close(hwnd);
    else if (action == "minimise")
        c.world.user_minimise(hwnd);
    else if (action == "restore")
        c.world.user_restore(hwnd);
    else
        c.world.user_activate(hwnd);
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
        c.world.misbehave(c.text(1), SIMHOST_VST_OFFSET, point_at(c, 3).x, point_at(c, 3).y);
    else if (how == "noeditor" && c.count() == 2)
        c.world.misbehave(c.text(1), SIMHOST_VST_NOEDITOR);
    else if (how == "normal" && c.count() == 2)
        c.world.misbehave(c.text(1), SIMHOST_VST_NORMAL);
    else
        throw c.malformed();
}

void run_hover(Context &c)
{
    if (c.text(2) != "inlet" && c.text(2) != "outlet")
        throw c.malformed();
    const int n = number(c.word(3));
    c.sink("hover " + c.text(1) + " " + c.text(2) + " " + c.text(3) + ": " +
           c.world.hover(c.text(1), c.text(2) == "inlet", n));
}

void run_look(Context &c)
{
    if (c.text(1) == "patch" && c.count() == 1) {
        c.sink(std::string("look patch dirty ") + (c.world.patch_dirty() ? "1" : "0"));
        return;
    }
    if (c.text(1) != "editor")
        throw Error("unknown window '" + c.text(1) + "' (the one window is 'editor')");
    const std::string head = c.count() == 2 ? "look editor " + c.text(2) + " " : "look editor ";
    HWND hwnd = c.count() == 2 ? c.world.editor_of(c.text(2), false) : c.world.editor();
    if (!hwnd) {
        c.sink(head + "none");
        return;
    }
    const Point at = World::client_origin(hwnd);
    const Size size = World::client_size(hwnd);
    std::string line = head + std::to_string(at.x) + " " + std::to_string(at.y) + " " +
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

// "expect LINE", "expect /PATTERN/" and their "expect no" forms. A pattern
// is an ECMAScript regular expression found anywhere in a line; plain text
// must be the whole line.
class Wanted {
public:
    explicit Wanted(const std::string &text) : text_(text)
    {
        if (text.size() < 2 || text.front() != '/' || text.back() != '/')
            return;
        try {
            pattern_ = std::regex(text.substr(1, text.size() - 2));
            is_pattern_ = true;
        } catch (const std::regex_error &e) {
            throw Error("malformed line: " + text + " is no regular expression: " + e.what());
        }
    }

    bool matches(const std::string &line) const
    {
        return is_pattern_ ? std::regex_search(line, pattern_) : line == text_;
    }

    std::string describe() const { return is_pattern_ ? "matching " + text_ : "'" + text_ + "'"; }

private:
    std::string text_;
    std::regex pattern_;
    bool is_pattern_ = false;
};

// What an expectation that failed saw: the lines since the last one met,
// the last 30 of them at most; "> " marks the lines an "expect no" found.
std::string seen(const std::vector<std::string> &lines, const Wanted *marked)
{
    const size_t shown = 30, from = lines.size() > shown ? lines.size() - shown : 0;
    std::string out = "\n  seen since the last expectation met: " +
                      (lines.empty() ? std::string("no lines") : std::to_string(lines.size()) + " lines");
    if (from)
        out += ", the last " + std::to_string(shown) + " here";
    for (size_t i = from; i < lines.size(); ++i)
        out += std::string("\n    ") + (marked && marked->matches(lines[i]) ? "> " : "") + lines[i];
    return out;
}

// A wanted line that an earlier expectation met took (or passed over, as
// it looked for its own): the last such, with that expectation.
std::string taken_before(const Player::Record &record, const Wanted &wanted)
{
    for (auto it = record.taken.rbegin(); it != record.taken.rend(); ++it)
        if (wanted.matches(it->first))
            return "\n  an earlier expectation, met, dropped a line it wants: " + it->first + "\n    " + it->second;
    return "";
}

// A met "expect" drops the lines up to the one it matched, so that the next
// looks after it; "expect no" keeps them.
void run_expect(Context &c)
{
    std::vector<std::string> &lines = c.record.seen;
    const bool negative = c.text(1) == "no" && c.count() >= 2;
    const Wanted wanted(c.line.rest(negative ? 2 : 1));
    const auto found = std::find_if(lines.begin(), lines.end(), [&](const std::string &l) { return wanted.matches(l); });
    if (negative && found != lines.end())
        c.record.failures.push_back("wanted no line " + wanted.describe() + seen(lines, &wanted));
    else if (!negative && found == lines.end())
        c.record.failures.push_back("wanted a line " + wanted.describe() + seen(lines, nullptr) +
                                    taken_before(c.record, wanted));
    if (negative || found == lines.end())
        return;
    for (auto it = lines.begin(); it != found + 1; ++it)
        c.record.taken.emplace_back(*it, c.record.where);
    lines.erase(lines.begin(), found + 1);
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

// A display's scale in percent, as Windows offers it.
int percent(const Word &w)
{
    return within(number(w), w, 100, 500, "a display's scale");
}

// "display X Y W H" adds; the other forms number the displays from 1. The
// numbers are read left to right, so that the first out of range is named.
// Either form may end in "scale P".
void run_display(Context &c)
{
    const std::string &how = c.text(1);
    if (how == "remove" && c.count() == 2) {
        c.world.display_remove(positive(c.word(2)));
        return;
    }
    const size_t at = how == "resize" ? 3 : 1;
    const bool scaled = c.count() == at + 5 && c.text(at + 4) == "scale";
    if (how == "remove" || (c.count() != at + 3 && !scaled))
        throw c.malformed();
    const int n = at == 3 ? positive(c.word(2)) : 0, x = coordinate(c.word(at)), y = coordinate(c.word(at + 1)),
              w = extent(c.word(at + 2)), h = extent(c.word(at + 3));
    const int scale = scaled ? percent(c.word(at + 5)) : 100;
    if (n)
        c.world.display_resize(n, x, y, w, h, scale);
    else
        c.world.display(x, y, w, h, scale);
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

// Opens a patch file as korvel-sim opens one given before the scenario: its
// vst~ boxes listed, then the queue run until it is empty. A relative FILE
// lies beside the scenario, so that a scenario and its patch travel
// together.
void run_patch(Context &c)
{
    // Max opens a file as a patcher of its own; poured into the scenario's
    // patcher, its boxes would take names and bind beside boxes made before.
    if (simhost_patcher_boxcount(c.world.patcher()) > 0)
        throw Error("a patch opens before the first box: this patcher holds boxes already, and Max opens a file as "
                    "a patcher of its own");
    std::filesystem::path path(c.text(1));
    if (path.is_relative())
        path = std::filesystem::path(c.file).parent_path() / path;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in)
        throw Error("cannot read the patch " + path.string());
    c.world.open_patch(text.str(), path.string());
    for (const std::string &box : c.world.vst_boxes())
        c.sink("patch " + box);
    c.world.settle();
}

void run_window(Context &c)
{
    const int count = c.count() == 5 ? within(positive(c.word(5)), c.word(5), 1, window_limit, "a count of windows") : 1;
    const int x = coordinate(c.word(1)), y = coordinate(c.word(2)), w = extent(c.word(3)), h = extent(c.word(4));
    for (int i = 0; i < count; ++i)
        c.world.foreign_window(x, y, w, h);
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
        {"display", {"display X Y W H [scale P] | display resize N X Y W H [scale P] | display remove N",
                     "add a display (the first is the primary one), at P percent (100 by default) | move or resize "
                     "display N (1 is the primary), its scale P percent | "
                     "remove display N (windows stay where they are)", 2, 8, run_display}},
        {"mouse", {"mouse X Y", "put the mouse pointer at X Y", 2, 2,
                   [](Context &c) { c.world.mouse(point_at(c, 1).x, point_at(c, 1).y); }}},
        {"plugin", {"plugin NAME WxH [delay N]", "declare a plug-in: its editor's size and its delay in samples", 2, 4,
                    run_plugin}},
        {"patch", {"patch FILE",
                   "open a Max patch file here, before any box (relative: beside the scenario), then run the queue dry",
                   1, 1, run_patch}},
        {"box", {"box [NAME =] TEXT...",
                 "make an object box from its text, with scripting name NAME (PATH/NAME: in the subpatcher at PATH)",
                 1, SIZE_MAX, run_box}},
        {"send", {"send BOX SELECTOR ATOMS...",
                  "send a message to the object in BOX, as a patch cord would (a number first: int, float or list)", 2,
                  SIZE_MAX, [](Context &c) { c.world.send(c.text(1), c.text(2), c.line.rest(3)); }}},
        {"click", {"click BOX", "click a message box: it sends what it shows", 1, 1,
                   [](Context &c) { c.world.click(c.text(1)); }}},
        {"pass", {"pass [N]", "run N passes of the host's low-priority queue (1 by default)", 0, 1,
                  [](Context &c) {
                      c.world.pass(c.count() ? within(positive(c.word(1)), c.word(1), 1, pass_limit, "a count of passes")
                                             : 1);
                  }}},
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
        {"host", {"host VARIANT", "run with the host variant VARIANT, before the first box (korvel-sim --host list shows them)",
                  1, 1, [](Context &c) { c.world.host(c.text(1)); }}},
        {"misbehave", {"misbehave BOX offset DX DY | misbehave BOX noeditor | misbehave BOX normal",
                       "BOX's plug-in opens its editor DX DY off the point | BOX's plug-in opens no editor | "
                       "BOX's plug-in behaves again", 2, 4,
                       run_misbehave}},
        {"window", {"window X Y W H [COUNT]", "open COUNT windows of another application with their content at X Y",
                    4, 5, run_window}},
        {"user", {"user move WINDOW X Y | user resize WINDOW W H | user close WINDOW | user activate WINDOW | "
                  "user minimise WINDOW | user restore WINDOW",
                  "drag WINDOW (editor [BOX], or window: the other application's made last) until its content is at X Y | "
                  "resize WINDOW's content to W H | click WINDOW's close button | click WINDOW, making it active | "
                  "click WINDOW's minimise button | restore the minimised WINDOW, making it active",
                  2, 5, run_user}},
        {"app", {"app background | app foreground", "switch to another application | switch back to Max", 1, 1,
                 run_app}},
        {"hover", {"hover BOX inlet N | hover BOX outlet N",
                   "add a transcript line with the text Max shows over inlet N of BOX's object | ... over outlet N",
                   3, 3, run_hover}},
        {"look", {"look editor [BOX] | look patch",
                  "add a transcript line with where the editor (BOX's) is and how it shows | ... with whether the "
                  "patch has unsaved changes (look patch dirty 0|1)", 1, 2, run_look}},
        {"snapshot", {"snapshot FILE.svg | snapshot FILE.png",
                      "draw the desktop into FILE.svg (relative: in the pictures folder) | ... as PNG (natively)", 1,
                      1, [](Context &c) { c.world.snapshot(c.text(1)); }}},
        {"expect", {"expect LINE | expect /PATTERN/ | expect no LINE",
                    "the transcript since the last expectation met holds LINE (later ones look after it) | ... a line "
                    "that PATTERN (a regular expression) matches | ... no LINE (or /PATTERN/)", 1, SIZE_MAX,
                    run_expect}},
        {"save", {"save FILE", "write the patch as a Max patch file (relative: in the pictures folder)", 1, 1,
                  [](Context &c) { c.world.save(c.text(1)); }}},
        {"reopen", {"reopen", "save the patch, close it and open what was saved", 0, 0,
                    [](Context &c) { c.world.reopen(); }}},
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

void run(World &world, const Line &line, const Player::Sink &sink, Player::Record &record, const std::string &file)
{
    const std::string &name = line.words[0].text;
    const auto it = std::find_if(commands().begin(), commands().end(),
                                 [&name](const Named &n) { return name == n.name; });
    if (it == commands().end())
        throw Error(unknown(name));
    const Command &command = it->command;
    Context context{world, line, sink, command.usage, record, file};
    if (context.count() < command.min || context.count() > command.max)
        throw context.malformed();
    command.run(context);
}

// The box a command names in its first argument, as the box shows now:
// "[TEXT]" for an object box, "[TEXT(" for a message box, as patches are
// written in text; "" when the line names no box or no such box is there.
std::string named_box(World &world, const Line &line)
{
    static const std::set<std::string> naming = {"click",  "send", "delete",  "retype",    "rename", "load",
                                                 "unload", "latency", "hover", "misbehave"};
    if (line.words.size() < 2 || !naming.count(line.words[0].text))
        return "";
    try {
        t_object *box = world.find(line.words[1].text);
        const std::string cls = simhost_box_maxclass(box), text = simhost_box_text(box);
        return "[" + text + (cls == "message" ? "(" : "]");
    } catch (const Error &) {
        return "";
    }
}

std::string trimmed(const std::string &s)
{
    const size_t begin = s.find_first_not_of(" \t");
    return begin == std::string::npos ? "" : s.substr(begin, s.find_last_not_of(" \t") + 1 - begin);
}

// The lines of a scenario, LF or CRLF ended.
std::vector<std::string> text_lines(const std::string &text)
{
    std::vector<std::string> out;
    for (size_t from = 0; from <= text.size();) {
        const size_t to = std::min(text.find('\n', from), text.size());
        out.push_back(text.substr(from, to - from));
        if (!out.back().empty() && out.back().back() == '\r')
            out.back().pop_back();
        from = to + 1;
    }
    return out;
}

} // namespace

// Each line's transcript goes to the sink, to the step and to what the
// next expectation looks at.
void Player::play(const std::string &text, const std::string &file, const Sink &sink)
{
    Step step{0, "", "", "", {}, {}};
    const Sink emit = [&](const std::string &line) {
        sink(line);
        step.transcript.push_back(line);
        record_.seen.push_back(line);
    };
    const auto flush = [&] {
        for (const std::string &s : world_.lines())
            emit(s);
    };
    flush();
    std::string failed;
    for (const std::string &raw : text_lines(text)) {
        ++step.number;
        const std::string where = file + ":" + std::to_string(step.number) + ": ";
        const std::string shown = trimmed(raw);
        if (shown.empty() || shown[0] == '#') {
            if (echo_ && !shown.empty())
                sink(shown);
            step.comments += shown.empty() ? "" : shown + "\n";
            continue;
        }
        if (echo_)
            sink("> " + shown);
        step.line = shown;
        record_.where = where + shown;
        try {
            const Line line = split(raw);
            step.box = named_box(world_, line);
            if (!line.words.empty())
                run(world_, line, emit, record_, file);
        } catch (const Error &e) {
            flush();
            throw Error(where + e.what());
        }
        flush();
        for (const std::string &f : record_.failures)
            failed += (failed.empty() ? "" : "\n") + where + shown + "\n  " + f;
        step.failures.swap(record_.failures);
        record_.failures.clear();
        if (observer_)
            observer_(step);
        step.comments.clear();
        step.transcript.clear();
    }
    if (!failed.empty())
        throw Unmet(failed);
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
