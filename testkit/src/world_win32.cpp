// The window actions under Windows, made with the real USER32 calls that the
// user's own actions end in.
//
// Switching applications: under Wine, bringing the desktop window to the
// foreground deactivates the application in one thread, without a message
// loop: every top-level window of the thread, hidden ones too, receives
// WM_ACTIVATEAPP 0 at once, and SetForegroundWindow on one of its windows
// brings it back with WM_ACTIVATEAPP 1. So nothing is faked here.
#include "testkit.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "simhost.h"

namespace testkit {

namespace {

BOOL CALLBACK collect(HWND hwnd, LPARAM list)
{
    reinterpret_cast<std::vector<HWND> *>(list)->push_back(hwnd);
    return TRUE;
}

// The application is active while the foreground window is one of this
// thread's windows.
bool app_active()
{
    HWND fg = GetForegroundWindow();
    return fg && GetWindowThreadProcessId(fg, nullptr) == GetCurrentThreadId();
}

} // namespace

bool World::simulated()
{
    return false;
}

std::string World::module_path()
{
    if (const char *path = std::getenv("KORVEL_MODULE"))
        return path;
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe)
        return "qzkorvel.mxe64";
    const std::string self(exe, n);
    return self.substr(0, self.find_last_of("\\/") + 1) + "qzkorvel.mxe64";
}

// Windows that outlived the host's reset would keep window procedures of an
// unloaded module; the helper class is registered on the program's instance,
// so it outlives the module too.
void World::reset_windows()
{
    std::vector<HWND> left;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&left));
    for (HWND hwnd : left)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    UnregisterClassA("korvel_helperwindowclass", GetModuleHandleA(nullptr));
    active_before_background_ = nullptr;
}

// A previous World may have left the application in the background.
void World::begin()
{
    if (!app_active())
        SetForegroundWindow(static_cast<HWND>(simhost_patcher_window(patcher_)));
}

void World::user_move(HWND hwnd, int x, int y)
{
    const Point frame = frame_for_client(hwnd, x, y);
    SetWindowPos(hwnd, nullptr, frame.x, frame.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    sync();
}

// The frame size comes from the window's present styles, as Windows lays the
// frame out anew on a size change: a frame restyled without SWP_FRAMECHANGED
// (a tool window caption) gets its new caption height only now.
void World::user_resize(HWND hwnd, int width, int height)
{
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &frame);
    RECT wanted = {0, 0, width, height};
    AdjustWindowRectEx(&wanted, DWORD(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    OffsetRect(&wanted, frame.left - wanted.left, frame.top - wanted.top);
    SendMessageA(hwnd, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&wanted));
    SetWindowPos(hwnd, nullptr, 0, 0, wanted.right - wanted.left, wanted.bottom - wanted.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sync();
}

void World::user_close(HWND hwnd)
{
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    sync();
}

void World::app_background()
{
    if (!app_active())
        return;
    active_before_background_ = GetActiveWindow();
    SetForegroundWindow(GetDesktopWindow());
    sync();
}

// Back to the window that was active, as Windows gives it back when the user
// returns to the application; when it has gone, to the topmost visible window
// of the application.
void World::app_foreground()
{
    if (app_active())
        return;
    HWND to = active_before_background_;
    if (!to || !IsWindow(to)) {
        std::vector<HWND> all;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
        to = nullptr;
        for (HWND hwnd : all)
            if (!to && IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId() &&
                std::find(foreign_.begin(), foreign_.end(), hwnd) == foreign_.end())
                to = hwnd;
    }
    active_before_background_ = nullptr;
    if (to)
        SetForegroundWindow(to);
    sync();
}

} // namespace testkit
