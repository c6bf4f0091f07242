// Window classes, creating and destroying windows, and what a program can
// ask about a window as a whole.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "world.h"

namespace simwin {

namespace {

// Handles are never reused within a process, so a stale handle stays
// detectably invalid across windows and across resets.
uintptr_t g_next_handle = 0x10000;
ATOM g_next_atom = 0xC000;

HINSTANCE const k_module = reinterpret_cast<HINSTANCE>(uintptr_t(0x400000));

// The ids of this program's process and thread, and of the other application.
constexpr DWORD k_process = 0x100, k_thread = 0x104;
constexpr DWORD k_other_process = 0x200, k_other_thread = 0x204;

constexpr int DEFAULT_X = 100;
constexpr int DEFAULT_Y = 100;
constexpr int DEFAULT_W = 640;
constexpr int DEFAULT_H = 480;

bool is_atom(LPCSTR name)
{
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

std::string lower(LPCSTR name)
{
    std::string s(name);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::map<std::string, std::shared_ptr<WindowClass>>::iterator find_class(LPCSTR name)
{
    auto &classes = world().classes;
    if (!name)
        return classes.end();
    if (is_atom(name)) {
        const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(name));
        return std::find_if(classes.begin(), classes.end(), [&](const auto &c) { return c.second->atom == atom; });
    }
    return classes.find(lower(name));
}

void unlink(const WindowPtr &w)
{
    World &g = world();
    g.zorder.remove(*w);
    g.windows.erase(w->hwnd);
    if (g.active == w->hwnd)
        g.active = nullptr;
    if (g.saved_active == w->hwnd)
        g.saved_active = nullptr;
    w->alive = false;
    w->chain.clear();
    --w->cls->windows;
}

// The end of every window: WM_NCDESTROY, then the subclasses go and the
// handle becomes invalid.
void finish(const WindowPtr &w)
{
    send(w, WM_NCDESTROY, 0, 0);
    if (w->alive)
        unlink(w);
}

} // namespace

BOOL destroy_window(const WindowPtr &w)
{
    if (w->destroying)
        return FALSE;
    w->destroying = true;
    if (w->visible())
        set_window_pos(w, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    if (w->alive && is_active(*w))
        activate_other(w);
    send(w, WM_DESTROY, 0, 0);
    finish(w);
    return TRUE;
}

} // namespace simwin

using namespace simwin;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *wc)
{
    if (fault("RegisterClassExA"))
        return 0;
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName ||
        is_atom(wc->lpszClassName) || !*wc->lpszClassName) {
        set_error(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto &classes = world().classes;
    const std::string key = lower(wc->lpszClassName);
    if (classes.count(key)) {
        set_error(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->atom = g_next_atom++;
    cls->proc = wc->lpfnWndProc;
    classes[key] = cls;
    return cls->atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE inst)
{
    if (fault("UnregisterClassA"))
        return FALSE;
    auto it = find_class(name);
    if (it == world().classes.end()) {
        set_error(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (it->second->windows > 0) {
        set_error(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    world().classes.erase(it);
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name)
{
    if (fault("GetModuleHandleA"))
        return nullptr;
    if (name) {
        set_error(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return k_module;
}

namespace simwin {

namespace {

// The class a new window is made of, or null when CreateWindowExA is to
// fail; the last error says why.
std::shared_ptr<WindowClass> creatable(LPCSTR classname, DWORD style, HWND parent)
{
    auto cls = find_class(classname);
    if (cls == world().classes.end()) {
        set_error(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    // Only top-level windows live here; a parent is an owner.
    if (style & WS_CHILD) {
        set_error(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (parent && !find(parent))
        return nullptr;
    return cls->second;
}

// Top-level windows clip their siblings, and overlapped ones always get a
// caption, as Win32 gives them; the window starts hidden (CreateWindowExA
// shows it at the end when WS_VISIBLE asks).
WindowPtr new_window(const std::shared_ptr<WindowClass> &cls, DWORD exstyle, DWORD style, HMENU menu)
{
    auto win = std::make_shared<Window>();
    win->hwnd = reinterpret_cast<HWND>(g_next_handle);
    g_next_handle += 4;
    win->cls = cls;
    win->proc = cls->proc;
    const bool popup = (style & WS_POPUP) != 0;
    win->style = (style & ~DWORD(WS_VISIBLE)) | WS_CLIPSIBLINGS;
    if (!popup)
        win->style |= WS_CAPTION;
    win->exstyle = fix_exstyle(win->style, exstyle);
    win->menu = menu != nullptr;
    win->need_size = !popup;
    return win;
}

// The frame asked for, with the defaults of an overlapped window (a pop-up
// gets none) and within the tracking sizes.
void lay_out(Window &win, CREATESTRUCTA &cs)
{
    const bool popup = (win.style & WS_POPUP) != 0;
    if (cs.x == CW_USEDEFAULT) {
        cs.x = popup ? 0 : DEFAULT_X;
        cs.y = popup ? 0 : DEFAULT_Y;
    }
    if (cs.cx == CW_USEDEFAULT) {
        cs.cx = popup ? 0 : DEFAULT_W;
        cs.cy = popup ? 0 : DEFAULT_H;
    }
    const Extent size = track(win.style, win.exstyle, win.menu, std::max(cs.cx, 0), std::max(cs.cy, 0));
    cs.cx = size.cx;
    cs.cy = size.cy;
    win.frame = {cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    win.insets = insets_for(win.style, win.exstyle, win.menu);
}

void link(const WindowPtr &win)
{
    World &g = world();
    g.windows[win->hwnd] = win;
    g.zorder.insert_after(*win, win->topmost() ? nullptr : g.zorder.last_topmost());
    ++win->cls->windows;
}

// WM_NCCREATE and WM_CREATE, then the first size and place and the showing
// that WS_VISIBLE asks for; false when the window did not survive them.
bool create(const WindowPtr &win, CREATESTRUCTA &cs, bool show)
{
    if (!send(win, WM_NCCREATE, 0, LPARAM(&cs))) {
        if (win->alive)
            finish(win);
        return false;
    }
    if (!win->alive)
        return false;
    if (send(win, WM_CREATE, 0, LPARAM(&cs)) == -1) {
        if (win->alive)
            destroy_window(win);
        return false;
    }
    if (!win->need_size && win->alive)
        send_size_and_move(win);
    if (show && win->alive)
        show_window(win, SW_SHOW);
    return win->alive;
}

} // namespace

} // namespace simwin

HWND WINAPI CreateWindowExA(DWORD exstyle, LPCSTR classname, LPCSTR title, DWORD style, int x, int y, int w, int h,
                            HWND parent, HMENU menu, HINSTANCE inst, LPVOID param)
{
    if (fault("CreateWindowExA"))
        return nullptr;
    const std::shared_ptr<WindowClass> cls = creatable(classname, style, parent);
    if (!cls)
        return nullptr;
    WindowPtr win = new_window(cls, exstyle, style, menu);
    CREATESTRUCTA cs;
    cs.lpCreateParams = param;
    cs.hInstance = inst;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = w;
    cs.cy = h;
    cs.x = x;
    cs.y = y;
    cs.style = LONG(style);
    cs.lpszName = title;
    cs.lpszClass = classname;
    cs.dwExStyle = exstyle;
    lay_out(*win, cs);
    link(win);
    return create(win, cs, (style & WS_VISIBLE) != 0) ? win->hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    if (fault("DestroyWindow"))
        return FALSE;
    WindowPtr w = find(hwnd);
    return w ? destroy_window(w) : FALSE;
}

BOOL WINAPI IsWindow(HWND hwnd)
{
    if (fault("IsWindow"))
        return FALSE;
    return peek(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    if (fault("IsWindowVisible"))
        return FALSE;
    WindowPtr w = peek(hwnd);
    return w && w->visible() ? TRUE : FALSE;
}

/* This program is one process with one thread; other applications' windows
 * are another's. */
DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, DWORD *process)
{
    if (fault("GetWindowThreadProcessId"))
        return 0;
    WindowPtr w = peek(hwnd);
    if (!w) {
        set_error(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (process)
        *process = w->foreign ? k_other_process : k_process;
    return w->foreign ? k_other_thread : k_thread;
}

DWORD WINAPI GetCurrentProcessId(void)
{
    if (fault("GetCurrentProcessId"))
        return 0;
    return k_process;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buf, int max)
{
    if (fault("GetWindowTextA"))
        return 0;
    WindowPtr w = find(hwnd);
    if (!w || !buf || max <= 0)
        return 0;
    /* a window of this process is asked, through its procedure and its
     * subclasses, as in Win32 */
    return int(send(w, WM_GETTEXT, WPARAM(max), LPARAM(buf)));
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lp)
{
    if (fault("EnumWindows"))
        return FALSE;
    if (!proc) {
        set_error(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The callback may create and destroy windows: walk the order as it was.
    for (HWND hwnd : snapshot()) {
        if (lookup(hwnd) && !proc(hwnd, lp))
            return FALSE;
    }
    return TRUE;
}

HWND WINAPI GetActiveWindow(void)
{
    if (fault("GetActiveWindow"))
        return nullptr;
    World &g = world();
    return g.app_active ? g.active : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hwnd)
{
    if (fault("SetActiveWindow"))
        return nullptr;
    World &g = world();
    const HWND previous = g.app_active ? g.active : nullptr;
    // No active window at all: the application goes to the background.
    if (!hwnd) {
        if (previous)
            deactivate_app();
        return previous;
    }
    WindowPtr w = find(hwnd);
    if (!w)
        return nullptr;
    if (w->foreign) {
        set_error(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    activate(w);
    return previous;
}

// What a click on the window does: its application comes to the foreground
// with the window active. A window of another application takes the
// foreground from this one, as another application's window would.
BOOL WINAPI SetForegroundWindow(HWND hwnd)
{
    if (fault("SetForegroundWindow"))
        return FALSE;
    WindowPtr w = find(hwnd);
    if (!w)
        return FALSE;
    if (w->foreign)
        background_app();
    else
        activate(w);
    return TRUE;
}

int WINAPI ShowCursor(BOOL show)
{
    if (fault("ShowCursor"))
        return 0;
    int &cursor = world().cursor;
    cursor += show ? 1 : -1;
    return cursor;
}

DWORD WINAPI GetLastError(void)
{
    if (fault("GetLastError"))
        return 0;
    return last_error();
}

void WINAPI SetLastError(DWORD code)
{
    if (fault("SetLastError"))
        return;
    set_error(code);
}
