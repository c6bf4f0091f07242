#include "world.h"

#include <algorithm>
#include <cstring>

namespace simwin {

namespace {

std::unique_ptr<World> g_world;

// Last error is per thread, as in Win32.
thread_local DWORD t_last_error = 0;

// The calls of win_api.h, the names that simwin_fail accepts.
const char *const k_calls[] = {
    "RegisterClassExA",  "UnregisterClassA",     "CreateWindowExA", "DestroyWindow",     "DefWindowProcA",
    "SendMessageA",      "GetModuleHandleA",     "EnumWindows",     "IsWindow",          "IsWindowVisible",
    "GetClientRect",     "GetWindowRect",        "ClientToScreen",  "MapWindowPoints",   "AdjustWindowRectEx",
    "SetWindowPos",      "GetWindowLongPtrA",    "SetWindowLongPtrA", "GetWindowTextA",  "ShowWindow",
    "GetActiveWindow",   "SetActiveWindow",      "ShowCursor",      "GetLastError",      "SetLastError",
    "SetWindowSubclass", "RemoveWindowSubclass", "DefSubclassProc",
};

// Win32's system metrics for the frame parts.
constexpr int CAPTION = 23;
constexpr int SMALL_CAPTION = 17;
constexpr int MENU = 20;
constexpr int SIZING_FRAME = 8;
constexpr int DIALOG_FRAME = 3;
constexpr int THIN_BORDER = 1;
constexpr int CLIENT_EDGE = 2;

} // namespace

RECT Window::client_screen() const
{
    RECT r;
    r.left = frame.left + insets.left;
    r.top = frame.top + insets.top;
    r.right = std::max<LONG>(r.left, frame.right - insets.right);
    r.bottom = std::max<LONG>(r.top, frame.bottom - insets.bottom);
    return r;
}

World &world()
{
    if (!g_world)
        g_world = std::make_unique<World>();
    return *g_world;
}

void reset_world()
{
    if (g_world) {
        for (auto &entry : g_world->windows)
            entry.second->alive = false;
    }
    g_world = std::make_unique<World>();
    t_last_error = 0;
}

void set_error(DWORD code)
{
    t_last_error = code;
}

DWORD last_error()
{
    return t_last_error;
}

bool known_call(const char *call)
{
    for (const char *name : k_calls) {
        if (std::strcmp(name, call) == 0)
            return true;
    }
    return false;
}

bool fault(const char *call)
{
    auto &faults = world().faults;
    auto it = faults.find(call);
    if (it == faults.end() || it->second == 0)
        return false;
    if (it->second > 0)
        --it->second;
    if (std::strcmp(call, "GetLastError") != 0 && std::strcmp(call, "SetLastError") != 0)
        set_error(ERROR_ACCESS_DENIED);
    return true;
}

WindowPtr peek(HWND hwnd)
{
    auto &windows = world().windows;
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second;
}

WindowPtr find(HWND hwnd)
{
    WindowPtr w = peek(hwnd);
    if (!w)
        set_error(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

Insets insets_for(DWORD style, DWORD exstyle, bool menu)
{
    int border = 0;
    if (style & WS_THICKFRAME)
        border = SIZING_FRAME;
    else if ((style & WS_DLGFRAME) || (exstyle & WS_EX_DLGMODALFRAME))
        border = DIALOG_FRAME;
    else if (style & WS_BORDER)
        border = THIN_BORDER;
    if (exstyle & WS_EX_CLIENTEDGE)
        border += CLIENT_EDGE;

    Insets in{border, border, border, border};
    if ((style & WS_CAPTION) == WS_CAPTION)
        in.top += (exstyle & WS_EX_TOOLWINDOW) ? SMALL_CAPTION : CAPTION;
    if (menu)
        in.top += MENU;
    return in;
}

// Win32 keeps WS_EX_WINDOWEDGE in step with the frame styles.
DWORD fix_exstyle(DWORD style, DWORD exstyle)
{
    if ((exstyle & WS_EX_DLGMODALFRAME) ||
        (!(exstyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME))))
        return exstyle | WS_EX_WINDOWEDGE;
    return exstyle & ~DWORD(WS_EX_WINDOWEDGE);
}

size_t band_start(const World &g)
{
    size_t i = 0;
    while (i < g.zorder.size()) {
        WindowPtr w = g.windows.at(g.zorder[i]);
        if (!w->topmost())
            break;
        ++i;
    }
    return i;
}

std::vector<HWND> snapshot()
{
    return world().zorder;
}

void send_activate_app(bool active)
{
    for (HWND hwnd : snapshot()) {
        WindowPtr w = peek(hwnd);
        if (w && !w->foreign)
            send(w, WM_ACTIVATEAPP, active ? 1 : 0, 0);
    }
}

void activate(const WindowPtr &w)
{
    World &g = world();
    if (w->foreign)
        return;
    if (!g.app_active) {
        g.saved_active = w->hwnd;
        return;
    }
    if (g.active == w->hwnd)
        return;
    WindowPtr previous = peek(g.active);
    if (previous)
        send(previous, WM_ACTIVATE, WA_INACTIVE, LPARAM(w->hwnd));
    if (!w->alive)
        return;
    world().active = w->hwnd;
    // The active window comes to the top of its band.
    set_window_pos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (w->alive)
        send(w, WM_ACTIVATE, WA_ACTIVE, LPARAM(previous ? previous->hwnd : nullptr));
}

void deactivate_app()
{
    World &g = world();
    WindowPtr previous = peek(g.active);
    if (previous)
        send(previous, WM_ACTIVATE, WA_INACTIVE, 0);
    World &now = world();
    now.active = nullptr;
    now.saved_active = nullptr;
    now.app_active = false;
    send_activate_app(false);
}

// The next window to take activation from `leaving`: the highest visible
// window of the application; with none, the application goes to the
// background.
void activate_other(const WindowPtr &leaving)
{
    World &g = world();
    if (!g.app_active) {
        if (g.saved_active == leaving->hwnd)
            g.saved_active = nullptr;
        return;
    }
    for (HWND hwnd : g.zorder) {
        WindowPtr w = peek(hwnd);
        if (w != leaving && w->visible() && !w->foreign && !w->destroying) {
            activate(w);
            return;
        }
    }
    deactivate_app();
}

} // namespace simwin
