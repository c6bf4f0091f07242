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
    "RegisterClassExA",    "UnregisterClassA",     "CreateWindowExA",   "DestroyWindow",     "DefWindowProcA",
    "SendMessageA",        "GetModuleHandleA",     "EnumWindows",       "IsWindow",          "IsWindowVisible",
    "GetClientRect",       "GetWindowRect",        "ClientToScreen",    "MapWindowPoints",   "AdjustWindowRectEx",
    "SetWindowPos",        "GetWindowLongPtrA",    "SetWindowLongPtrA", "GetWindowTextA",    "ShowWindow",
    "GetActiveWindow",     "SetActiveWindow",      "ShowCursor",        "GetLastError",      "SetLastError",
    "SetForegroundWindow", "SetWindowSubclass",    "RemoveWindowSubclass", "DefSubclassProc", "IsIconic",
    "GetWindowPlacement", "GetWindowThreadProcessId", "GetCurrentProcessId",
};

// The frame parts, with the system metrics that Wine's USER32 uses: a sizing
// frame is 4 pixels wide (SM_CXFRAME), a dialog frame 3 (SM_CXDLGFRAME), a
// caption 19 high (SM_CYCAPTION), a tool window's caption 16 (SM_CYSMCAPTION).
constexpr int OUTER_EDGE = 2;    // the raised edge around a dialog or sizing frame
constexpr int STATIC_EDGE = 1;
constexpr int SIZING_BORDER = 1; // what a sizing frame adds to a dialog frame
constexpr int THIN_BORDER = 1;
constexpr int CLIENT_EDGE = 2;
constexpr int CAPTION = 19;
constexpr int SMALL_CAPTION = 16;
constexpr int MENU = 19;
// SM_CXMINTRACK, SM_CYMINTRACK
constexpr int MIN_TRACK_WIDTH = 112;
constexpr int MIN_TRACK_HEIGHT = 27;
// SM_CXMAXTRACK is the virtual screen's width and this, twice SM_CXFRAME
// (4) and 4 more; the same for the height.
constexpr int MAX_TRACK_MARGIN = 12;

} // namespace

RECT Window::client_screen() const
{
    const int e = insets.edge;
    RECT r;
    r.left = frame.left + insets.left - e;
    r.top = frame.top + insets.top - e;
    r.right = frame.right - insets.right + e;
    r.bottom = frame.bottom - insets.bottom + e;
    if (r.right - r.left > 2 * e && r.bottom - r.top > 2 * e) {
        r.left += e;
        r.top += e;
        r.right -= e;
        r.bottom -= e;
    }
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
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

Window *lookup(HWND hwnd)
{
    const auto &windows = world().windows;
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second.get();
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
    const int edge = (exstyle & WS_EX_CLIENTEDGE) ? CLIENT_EDGE : 0;
    if ((exstyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
        border = STATIC_EDGE;
    else if ((exstyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
        border = OUTER_EDGE;
    if (style & WS_THICKFRAME)
        border += SIZING_BORDER;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exstyle & WS_EX_DLGMODALFRAME))
        border += THIN_BORDER;
    border += edge;

    Insets in{border, border, border, border, edge};
    if ((style & WS_CAPTION) == WS_CAPTION)
        in.top += (exstyle & WS_EX_TOOLWINDOW) ? SMALL_CAPTION : CAPTION;
    if (menu)
        in.top += MENU;
    return in;
}

bool keeps_track_size(DWORD style)
{
    return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD));
}

// A window with a border is at least as large as the system's minimum; a
// borderless sizing frame at least twice its frame parts.
Extent min_track_size(DWORD style, DWORD exstyle, bool menu)
{
    if (style & (WS_DLGFRAME | WS_BORDER))
        return Extent{MIN_TRACK_WIDTH, MIN_TRACK_HEIGHT};
    const Insets in = insets_for(style, exstyle, menu);
    return Extent{2 * in.left, 2 * in.top};
}

Extent max_track_size()
{
    const RECT &s = world().screen;
    return Extent{s.right - s.left + MAX_TRACK_MARGIN, s.bottom - s.top + MAX_TRACK_MARGIN};
}

// As Win32 does, the maximum first, then the minimum.
Extent track(DWORD style, DWORD exstyle, bool menu, int cx, int cy)
{
    if (!keeps_track_size(style))
        return Extent{cx, cy};
    const Extent most = max_track_size();
    const Extent least = min_track_size(style, exstyle, menu);
    return Extent{std::max(std::min(cx, most.cx), least.cx), std::max(std::min(cy, most.cy), least.cy)};
}

// Win32 keeps WS_EX_WINDOWEDGE in step with the frame styles.
DWORD fix_exstyle(DWORD style, DWORD exstyle)
{
    if ((exstyle & WS_EX_DLGMODALFRAME) ||
        (!(exstyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME))))
        return exstyle | WS_EX_WINDOWEDGE;
    return exstyle & ~DWORD(WS_EX_WINDOWEDGE);
}

void ZOrder::insert_after(Window &w, Window *after)
{
    w.above = after;
    w.below = after ? after->below : top_;
    (w.below ? w.below->above : bottom_) = &w;
    (after ? after->below : top_) = &w;
    if (w.topmost() && last_topmost_ == after)
        last_topmost_ = &w;
}

void ZOrder::remove(Window &w)
{
    if (last_topmost_ == &w)
        last_topmost_ = w.above;
    (w.above ? w.above->below : top_) = w.below;
    (w.below ? w.below->above : bottom_) = w.above;
    w.above = nullptr;
    w.below = nullptr;
}

std::vector<HWND> snapshot()
{
    std::vector<HWND> order;
    order.reserve(world().windows.size());
    for (const Window *w = world().zorder.top(); w; w = w->below)
        order.push_back(w->hwnd);
    return order;
}

void send_activate_app(bool active)
{
    for (HWND hwnd : snapshot()) {
        WindowPtr w = peek(hwnd);
        if (w && !w->foreign)
            send(w, WM_ACTIVATEAPP, active ? 1 : 0, 0);
    }
}

bool is_active(const Window &w)
{
    const World &g = world();
    return g.app_active && g.active == w.hwnd;
}

// As Win32 does: the window losing activation hears of it first, then, when
// the application was in the background, every window of the application
// hears that it is back, then the window gaining activation.
void activate(const WindowPtr &w)
{
    World &g = world();
    if (w->foreign || is_active(*w))
        return;
    WindowPtr previous = g.app_active ? peek(g.active) : nullptr;
    if (previous) {
        send(previous, WM_ACTIVATE, WA_INACTIVE, LPARAM(w->hwnd));
        if (!w->alive)
            return;
    }
    World &now = world();
    now.active = w->hwnd;
    now.saved_active = nullptr;
    if (!now.app_active) {
        now.app_active = true;
        send_activate_app(true);
        if (!w->alive)
            return;
    }
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

void background_app()
{
    World &g = world();
    if (!g.app_active)
        return;
    WindowPtr previous = peek(g.active);
    if (previous)
        send(previous, WM_ACTIVATE, WA_INACTIVE, 0);
    World &now = world();
    now.saved_active = previous && previous->alive ? previous->hwnd : nullptr;
    now.active = nullptr;
    now.app_active = false;
    send_activate_app(false);
}

// The next window to take activation from `leaving`, searched as Win32
// does: the windows below it first, then from the top down to it, whichever
// application owns them. When that is another application's window, or
// there is none, this application goes to the background.
void activate_other(const WindowPtr &leaving)
{
    auto can_take = [&](const Window *w) { return w != leaving.get() && w->visible() && !w->destroying; };
    const Window *found = leaving->below;
    while (found && !can_take(found))
        found = found->below;
    for (const Window *w = world().zorder.top(); !found && w && w != leaving.get(); w = w->below)
        if (can_take(w))
            found = w;
    if (!found || found->foreign) {
        deactivate_app();
        return;
    }
    activate(peek(found->hwnd));
}

} // namespace simwin
