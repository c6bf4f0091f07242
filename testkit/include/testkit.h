/* Drives the module the way a patch and its user do, in either world: natively
 * against the simulated host and window system, or under Windows (Wine) with
 * the simulated host and the real USER32.
 *
 * A World is a fresh host with the module loaded and one top-level patcher.
 * Boxes are named as in scenarios: a box's scripting name, CLASS#N for the
 * Nth box of that class in creation order (qzkorvel#1), the id a patch file
 * gave it (obj-12), or, inside subpatchers, a path of ids or scripting names
 * from the top (obj-3/obj-8, obj-3/synth). Every console line and
 * outlet message becomes one transcript line, in order:
 *   console post TEXT | console error TEXT | console warn TEXT
 *       (TEXT led by "CLASS: " when the line is tied to an object)
 *   out BOX SELECTOR ATOMS...
 * Nothing runs by itself: the host's queue runs only in pass(). */
#ifndef TESTKIT_H
#define TESTKIT_H

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "max_api.h"
#include "as_method.h"
#include "testkit_atoms.h"
#include "win_api.h"

/* Sent to top-level windows when the displays change; the simulated window
 * system's header leaves it out, since no window of it handles it. */
#ifndef WM_DISPLAYCHANGE
#define WM_DISPLAYCHANGE 0x007E
#endif

namespace testkit {

/* A misuse of the kit or a faulty scenario line: unknown box or command,
 * malformed arguments, a window action with no window to act on. */
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/* The expectations of a scenario that were not met, all of them. */
class Unmet : public Error {
public:
    using Error::Error;
};

struct Point {
    int x, y;
};

struct Size {
    int width, height;
};

/* How a World's host is made: the host variants it runs with
 * (simhost_variant_set; korvel-sim --host list shows them). */
struct WorldOptions {
    std::vector<std::string> host;
};

class World {
public:
    /* Resets host and window system, loads the module (KORVEL_MODULE, or the
     * module file next to the running program) and makes the patcher. Only
     * one World lives at a time. Throws Error when the module does not load. */
    World();
    /* Throws Error for a host variant the host does not have. */
    explicit World(const WorldOptions &options);
    ~World();
    World(const World &) = delete;
    World &operator=(const World &) = delete;

    /* True natively (simulated windows), false under Windows. */
    static bool simulated();
    static std::string module_path();
    /* The folder of the running program, with its trailing separator. */
    static std::string program_folder();

    t_object *patcher() const { return patcher_; }
    /* The patch has changes not saved (Max's prompt on closing it). */
    bool patch_dirty() const;

    /* ---- boxes and messages ---- */

    /* A box from its text, with an optional scripting name. The first box
     * made brings the default display (0 0 1920 1080, work area 0 0 1920
     * 1040) unless display() was called before. */
    t_object *box(const std::string &text, const std::string &varname = "");
    t_object *find(const std::string &name);   /* the box; Error when unknown */
    t_object *object(const std::string &name); /* its object; Error when empty */
    std::string name_of(t_object *box) const;
    /* As a patch cord delivers: a number as selector makes the message an
     * int or a float (no atoms) or a list. */
    void send(const std::string &box, const std::string &selector, const std::string &atoms = "");
    void remove(const std::string &box);
    void rename(const std::string &box, const std::string &varname);
    /* New text typed into an object box, as the user edits it: the box gets
     * a new object and keeps its scripting name and its name here. */
    void retype(const std::string &box, const std::string &text);

    /* n passes of the low-priority queue; returns how many calls ran. */
    long pass(int n = 1);

    /* Transcript lines since the last call. */
    std::vector<std::string> lines();

    /* Passes until the queue is empty, at most max; returns the passes run. */
    int settle(int max = 100);

    /* ---- patch files ---- */

    /* Opens a Max patcher file (the JSON text of a .maxpat or .maxhelp)
     * into the patcher, as the host opens one: every box, subpatchers
     * included, then every patch cord. "newobj" boxes become the object
     * their text names; message boxes, comments and panels are the host's
     * own; any other box stays inert, and each class left inert gets one
     * console warning (at its first box) with the number of its boxes. A
     * constructor's refusal leaves its box empty and is no failure. Every
     * box, subpatchers' included, can be named by its path of file ids
     * (obj-3/obj-8); a scripting name used only inside subpatchers names
     * its box when one box alone carries it. The patcher's window takes
     * the file's name as its title and the file's "rect" as its client
     * area. A malformed file throws Error("FILE: what is wrong") before any
     * box is made. */
    void open_patch(const std::string &text, const std::string &file);

    /* One line a vst~ (or mcs.vst~) box, in creation order:
     *   vst~ PATH name NAME plugin PLUGIN
     * PATH the box's path of ids (its name when it has no id), NAME its
     * scripting name and PLUGIN the plug-in it hosts, "-" for none. */
    std::vector<std::string> vst_boxes();
    /* The patch as Max saves it: every box (text, scripting name, the
     * attributes its class saves, a vst~ box's plug-in, the values pattr
     * and autopattr take now), subpatchers and patch cords; what the file
     * it came from held beyond that is kept. */
    std::string patch_text();
    /* Writes patch_text() to path, taken from the picture directory when
     * relative. Throws Error when the file cannot be written. */
    void save(const std::string &path);
    /* Closes the patch and opens what it saves, as a user who saves, closes
     * and opens it again; boxes are numbered afresh (CLASS#N). */
    void reopen();

    /* Clicks a message box. */
    void click(const std::string &box);
    /* What Max shows while the mouse rests on inlet (or outlet) n of the
     * object in box: its assist method's text, "" when it gives none. */
    std::string hover(const std::string &box, bool inlet, long n);

    /* ---- the desktop ---- */

    /* A display whose rectangle and work area are both x y w h (in
     * Windows pixels), at a scale of percent. */
    void display(int x, int y, int w, int h, int percent = 100);
    /* Display n (1 the primary) moved and resized, or removed, as when a
     * monitor is rearranged or unplugged; every top-level window of this
     * program then gets WM_DISPLAYCHANGE, as Windows broadcasts it. Windows
     * stay where they are. Error when there is no display n, or when the
     * last one would go. */
    void display_resize(int n, int x, int y, int w, int h, int percent = 100);
    void display_remove(int n);
    void mouse(int x, int y);
    /* A top-level window of another application with its client origin on
     * (x, y): natively the simulated host's, under Windows one of the
     * korvel-foreign process, which belongs to no one else. */
    HWND foreign_window(int x, int y, int w, int h);
    /* The foreign window made last, or NULL. */
    HWND last_foreign_window() const { return foreign_.empty() ? nullptr : foreign_.back(); }

    /* ---- plug-ins and the vst object ---- */

    void plugin(const std::string &name, int w, int h, long delay = 0);
    void load(const std::string &box, const std::string &plugin);
    void unload(const std::string &box);
    void latency(const std::string &box, long delay);
    /* One of SIMHOST_VST_NORMAL, _OFFSET (dx, dy) or _NOEDITOR. */
    void misbehave(const std::string &box, int behaviour, int dx = 0, int dy = 0);
    /* Turns a host variant on, before the patch has its first box: the
     * host stays one host for the boxes of a run. */
    void host(const std::string &variant);
    /* Every variant the host has: its name and a line about it. */
    static std::vector<std::pair<std::string, std::string>> host_variants();

    /* The most recently opened vst editor that is still open, or NULL. */
    HWND editor();
    /* The open editor of the vst~ object in box, or of the vst~ box that a
     * qzkorvel box names (by scripting name, in its own patcher). Error when
     * there is none and required, else NULL. */
    HWND editor_of(const std::string &box, bool required = true);

    /* ---- windows, read through the Win32 calls ---- */

    static Point client_origin(HWND hwnd);
    static Size client_size(HWND hwnd);
    static bool visible(HWND hwnd);
    static bool topmost(HWND hwnd);
    static bool toolwindow(HWND hwnd); /* a tool window off the taskbar */
    static HWND active_window();

    /* ---- pictures ---- */

    /* The desktop as an SVG picture, read through the host's display and
     * mouse calls and the Win32 window calls: the displays with their work
     * areas, every top-level window of this program in z-order (the top one
     * drawn last) with its frame, client area and title, and the mouse
     * pointer, in desktop pixels with the coordinates on the axes. Windows
     * outside the view (the displays plus a margin) are listed below it.
     * Elements carry their rectangles as "x y w h": data-display and
     * data-workarea on each display; data-frame, data-client and data-title
     * on each window, whose classes add hidden, topmost, toolwindow and
     * active; data-mouse on the pointer; data-app on the picture,
     * "background" while the user is in another application. */
    std::string picture() const;
    /* Writes picture() to path, taken from the picture directory when
     * relative. Throws Error when the file cannot be written. */
    void snapshot(const std::string &path) const;
    /* Where relative snapshot paths lead; the current directory when empty. */
    void picture_directory(const std::string &directory) { pictures_ = directory; }

    /* ---- what the user does ---- */

    /* A drag step that lands the window's client origin on (x, y). */
    void user_move(HWND hwnd, int x, int y);
    /* A resize by the frame's border to the given client size. */
    void user_resize(HWND hwnd, int width, int height);
    /* The close button. */
    void user_close(HWND hwnd);
    /* A click on the window: SetForegroundWindow, which brings the
     * application back from the background too. */
    void user_activate(HWND hwnd);
    /* The minimise button, and a click on the minimised window's button
     * that restores it. */
    void user_minimise(HWND hwnd);
    void user_restore(HWND hwnd);
    /* Switching to another application and back. Coming back gives
     * activation to the window that had it, or else to the topmost visible
     * window of the application. */
    void app_background();
    void app_foreground();

private:
    struct Entry {
        t_object *box;
        std::string cls;
        int number;          /* N of CLASS#N */
        bool alive;
        t_object *object;    /* last object seen in the box, for lines about freed objects */
        HWND editor;         /* vst boxes: the editor last seen open */
        unsigned long opened; /* when that editor was first seen, for editor() */
        std::string id;      /* the box's id in the patch file it came from, or "" */
        std::string parent;  /* the path of the subpatcher box holding it, "" on the top level */
    };

    /* Writes text to path, taken from the picture directory when relative;
     * Error "cannot write the WHAT FILE" when it cannot. */
    void write_out(const std::string &path, const std::string &text, const std::string &what) const;

    Entry &adopt(t_object *box, const std::string &cls, const std::string &id, const std::string &parent = "");
    void default_display();
    Entry *entry_named(const std::string &name);
    Entry *entry_in(const std::string &parent, const std::string &segment);
    Entry *entry_by_path(const std::string &path);
    Entry *entry_by_inner_varname(const std::string &name);
    Entry *entry_by_number(const std::string &name);
    Entry &entry(const std::string &name);
    std::string name_of(const Entry &e) const;
    std::string event_owner(t_object *obj, const char *classname) const;
    t_object *vst(const std::string &name);
    void display_with_workarea(int x, int y, int w, int h, int workarea_h);
    static Point frame_for_client(HWND hwnd, int x, int y);
    void sync();

    /* The parts that differ between the two worlds. */
    void reset_windows();
    void begin();
    /* WM_DISPLAYCHANGE to every top-level window of this program: 32 bits
     * a pixel, the primary display's size. */
    void broadcast_display_change();
    static LPARAM primary_display_size();
    /* The boxes a patch file made in patcher from box index from on. */
    void adopt_file_boxes(t_object *patcher, long from, const std::string &parent);

    t_object *patcher_ = nullptr;
    std::vector<Entry> entries_;                 /* boxes alive, in creation order */
    std::map<std::string, int> class_count_;     /* boxes ever made, by class: the N of CLASS#N */
    std::vector<std::string> pending_;
    int events_seen_ = 0;
    unsigned long clock_ = 0;
    bool displays_ = false;
    std::vector<HWND> foreign_;                  /* windows of "other applications" */
    HWND active_before_background_ = nullptr;    /* given back by app_foreground() */
    bool background_ = false;                    /* the user switched to another application */
    std::string pictures_;                       /* picture_directory() */
    std::string source_;                         /* the text of the patch file opened last */
    std::string source_file_;                    /* and its name */
    std::string clicked_;                        /* the box clicked last: its path of ids in that file */
};

/* Plays scenario text (one command a line, "#" at the start of a word opens
 * a comment) on a World. reference() lists the commands; docs/SCENARIOS.md
 * explains them. WINDOW is "editor" (the editor opened last), "editor BOX"
 * (the editor of the vst~ object in BOX, or of the one a qzkorvel box in
 * BOX names) or "window" (the foreign window made last); activating a
 * foreign window sends the host to the background. "look editor [BOX]" adds
 * a transcript line with what the editor window shows:
 *   look editor [BOX] X Y W H visible|hidden [topmost] [toolwindow] [active]
 * (or "look editor [BOX] none"). "snapshot FILE.svg" writes World::snapshot()
 * and adds no transcript line, so that a transcript reads the same with and
 * without pictures. "expect LINE" and "expect no LINE" check the transcript
 * since the last expectation met. A faulty line throws Error("FILE:LINE:
 * message") after the lines before it have reached the sink; failed
 * expectations do not stop the play, which throws Unmet listing them all at
 * its end. */
class Player {
public:
    using Sink = std::function<void(const std::string &)>;

    /* One command line played: the comment lines just before it, the line,
     * the box it names as the box showed before the line ("[qzkorvel
     * synth]", "[open 100 200(" for a message box; "" for none), the
     * transcript lines it made and the expectations it failed. */
    struct Step {
        size_t number;
        std::string line, comments, box;
        std::vector<std::string> transcript, failures;
    };

    /* What expectations look at: the transcript lines since the last one
     * met, and those failed in the present step. */
    struct Record {
        std::vector<std::string> seen, failures;
        /* Lines met expectations took, each with the expectation's place
         * and line, for a failure that wants one of them again. */
        std::vector<std::pair<std::string, std::string>> taken;
        std::string where; /* FILE:LINE: expect ... of the present line */
    };

    explicit Player(World &world) : world_(world) {}

    /* With echo on, the sink gets each command line as "> LINE" and each
     * comment line as written, before the line's effects. */
    void echo(bool on) { echo_ = on; }
    /* Lines shown before the play (a patch's opening), for the first
     * expectations to look at. */
    void before(const std::vector<std::string> &lines)
    {
        record_.seen.insert(record_.seen.end(), lines.begin(), lines.end());
    }
    /* Called after each command line, for a report. */
    void observe(std::function<void(const Step &)> observer) { observer_ = std::move(observer); }

    /* Every transcript line goes to sink as it is made, starting with the
     * lines the World holds from before. */
    void play(const std::string &text, const std::string &file, const Sink &sink);
    std::vector<std::string> play(const std::string &text, const std::string &file = "scenario");

    /* Every command with its arguments and one line on what it does, a
     * line each form ("  pass [N]   run N passes ..."), in the order of a
     * typical scenario. An unknown command in play() names the nearest
     * known one when it is near enough to be a slip. */
    static std::string reference();

private:
    World &world_;
    bool echo_ = false;
    std::function<void(const Step &)> observer_;
    Record record_;
};

/* A play as one self-contained HTML page: a section a command line (class
 * "step", "failed" when an expectation failed, "quiet" when the step made
 * no line and left the desktop as it was) with its comments, its line, its
 * transcript and, when the desktop changed, a picture of it (inline SVG).
 * The summary paragraph carries data-steps, data-pictures and
 * data-failures. */
class Report {
public:
    explicit Report(std::string title) : title_(std::move(title)) {}
    /* A step played, with World::picture() after it. */
    void add(const Player::Step &step, const std::string &picture);
    /* The play stopped at a faulty line. */
    void stop(const std::string &error);
    /* The page; a picture still waiting goes under the last step. */
    std::string html();

private:
    struct Section {
        std::string id, cls; /* the anchor and the classes of the step's section */
        size_t number;       /* the scenario line, 0 for the patch's opening */
        std::string line;    /* the command as written, "" for a stop */
        std::string html;    /* the section's content */
    };

    void draw(const std::string &picture, Section *section, bool always = false);
    std::string summary() const;

    std::string title_, last_picture_;
    std::string pending_; /* the desktop after the last step, not drawn yet */
    std::vector<Section> sections_;
    size_t pictures_ = 0, failures_ = 0, expectations_ = 0, met_ = 0;
};

/* The lines of expected and actual as a line diff: "  " both, "- " expected
 * only, "+ " actual only. */
std::string diff(const std::vector<std::string> &expected, const std::vector<std::string> &actual);

/* Expected transcript lines of a qzkorvel box's reports. */
inline std::vector<std::string> state(const std::string &list, const std::string &box = "qzkorvel#1")
{
    return {"out " + box + " state " + list};
}

/* The report of a binding: the plug-in's name and saved name, its delay,
 * then the state. */
inline std::vector<std::string> report(const std::string &plugin, const std::string &delay, const std::string &state,
                                       const std::string &box = "qzkorvel#1")
{
    return {"out " + box + " pluginname " + plugin, "out " + box + " savedpluginname " + plugin,
            "out " + box + " delay " + delay, "out " + box + " state " + state};
}

} // namespace testkit

#endif
