// The one window system of the process: every window, class and setting, and
// the helpers that the Win32 entry points share. Entry points check their
// arguments and injected faults; the helpers here do the work, so that work
// the system does on its own (DefWindowProcA destroying a window, say) is not
// subject to faults injected for programs.
#ifndef SIMWIN_WORLD_H
#define SIMWIN_WORLD_H

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "simwin.h"

namespace simwin {

// Flags that Win32 puts in the WM_WINDOWPOSCHANGED of a change that left the
// client area in place or at its size; DefWindowProcA reads them.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDPROC proc = nullptr;
    int windows = 0;
};

struct Subclass {
    SUBCLASSPROC proc;
    UINT_PTR id;
    DWORD_PTR data;
};

// One message on its way down a window's subclass chain: the entry that
// DefSubclassProc calls next (none: the window procedure).
struct Frame {
    std::shared_ptr<Subclass> next;
};

// From the frame to the client area on each side; `edge` is the part of each
// that a client edge takes, which gives way when the client area is too
// small to hold it.
struct Insets {
    int left = 0, top = 0, right = 0, bottom = 0;
    int edge = 0;
};

struct Extent {
    int cx = 0, cy = 0;
};

struct Window {
    // What a walk down the z-order reads comes first, in one cache line.
    HWND hwnd = nullptr;
    Window *above = nullptr; // neighbours in the z-order
    Window *below = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exstyle = 0;
    bool menu = false;
    RECT frame = {0, 0, 0, 0};
    RECT normal = {0, 0, 0, 0}; // while minimised: the frame it comes back to
    Insets insets;
    bool foreign = false;
    bool need_size = false; // WM_SIZE and WM_MOVE wait for the first ShowWindow
    bool destroying = false;
    bool alive = true;
    int times_shown = 0;
    std::vector<std::shared_ptr<Subclass>> chain; // newest first
    std::vector<Frame *> frames;                  // innermost last

    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool minimised() const { return (style & WS_MINIMIZE) != 0; }
    bool topmost() const { return (exstyle & WS_EX_TOPMOST) != 0; }
    RECT client_screen() const;
};

using WindowPtr = std::shared_ptr<Window>;

// Every live window from the top down, the topmost band before the rest. The
// list runs through the windows themselves, so that placing, adding or
// removing one costs the same however many there are, as in Win32.
class ZOrder {
public:
    Window *top() const { return top_; }
    Window *bottom() const { return bottom_; }
    // The lowest window of the topmost band; null when the band is empty.
    Window *last_topmost() const { return last_topmost_; }
    // Puts w just below `after` (at the top when null), in the band that w's
    // WS_EX_TOPMOST names; `after` must lie where that band allows.
    void insert_after(Window &w, Window *after);
    void remove(Window &w);

private:
    Window *top_ = nullptr;
    Window *bottom_ = nullptr;
    Window *last_topmost_ = nullptr;
};

// SM_CXVIRTUALSCREEN and friends before any display is declared: Xvfb's
// screen in the Windows test runs, and the host's default display.
constexpr RECT DEFAULT_SCREEN = {0, 0, 1920, 1080};

struct World {
    std::map<std::string, std::shared_ptr<WindowClass>> classes; // by lower-case name
    std::unordered_map<HWND, WindowPtr> windows;
    ZOrder zorder;
    RECT screen = DEFAULT_SCREEN; // the virtual screen: every display
    // looked up by a call's name as given: a lookup allocates nothing, as Win32's calls do not
    std::map<std::string, int, std::less<>> faults;
    HWND active = nullptr;
    HWND saved_active = nullptr; // given back when the application returns
    bool app_active = false;     // no window active until the first activation
    int cursor = 0;
};

World &world();
void reset_world();

// Consumes one injected fault of `call`; true when the call is to fail.
bool fault(const char *call);
bool known_call(const char *call);
void set_error(DWORD code);
DWORD last_error();

// The live window behind a handle, or null after setting
// ERROR_INVALID_WINDOW_HANDLE.
WindowPtr find(HWND hwnd);
WindowPtr peek(HWND hwnd);
// The same without sharing ownership, for walks over many windows.
Window *lookup(HWND hwnd);

Insets insets_for(DWORD style, DWORD exstyle, bool menu);
DWORD fix_exstyle(DWORD style, DWORD exstyle);
// Overlapped windows and sizing frames keep their frame between the minimum
// and the maximum tracking size.
bool keeps_track_size(DWORD style);
Extent min_track_size(DWORD style, DWORD exstyle, bool menu);
Extent max_track_size();
// cx, cy brought within the tracking sizes of a window with these styles.
Extent track(DWORD style, DWORD exstyle, bool menu, int cx, int cy);

LRESULT send(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT call_next(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT def_window_proc(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp);
// WM_SIZE then WM_MOVE with the client area as it is.
void send_size_and_move(const WindowPtr &w);

BOOL set_window_pos(const WindowPtr &w, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL show_window(const WindowPtr &w, int cmd);
BOOL destroy_window(const WindowPtr &w);

// Activation inside the application. Activating a window while the
// application is in the background brings the application back.
void activate(const WindowPtr &w);
void activate_other(const WindowPtr &leaving);
void deactivate_app();
// The user switches to another application: the active window is given back
// when the user returns.
void background_app();
void send_activate_app(bool active);
bool is_active(const Window &w);

// The z-order's handles as they are now, for walks during which windows may
// come and go.
std::vector<HWND> snapshot();

} // namespace simwin

#endif
