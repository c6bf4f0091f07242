/* The host's windows through the Win32 calls: its window classes, and the
 * top-level windows of other applications that tests put beside ours. */
#include "host.h"

#ifndef _WIN32
#include "simwin.h"
#endif

#include <algorithm>

namespace simhost {

namespace {

const char *const FOREIGN_CLASS = "SimhostForeignApp";

} // namespace

/* A class left registered by an earlier run in the same process makes the
 * call fail harmlessly. */
void window_class(const char *name, WNDPROC proc)
{
    State &h = H();
    if (h.window_classes.count(name))
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
    h.window_classes.insert(name);
}

void window_classes_drop()
{
    for (const std::string &name : H().window_classes)
        UnregisterClassA(name.c_str(), GetModuleHandleA(nullptr));
    H().window_classes.clear();
}

/* Kept to the coordinates a window can have. */
HWND client_window(const char *cls, WNDPROC proc, const char *title, long long x, long long y, long long w,
                   long long h, DWORD exstyle)
{
    window_class(cls, proc);
    const int left = (int)std::clamp(x, -32768LL, 32767LL);
    const int top = (int)std::clamp(y, -32768LL, 32767LL);
    RECT r = {left, top, left + (int)std::clamp(w, 0LL, 32767LL), top + (int)std::clamp(h, 0LL, 32767LL)};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, exstyle);
    return CreateWindowExA(exstyle, cls, title, WS_OVERLAPPEDWINDOW, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

/* They go at reset, as the window system of a real process is not reset
 * between runs. */
void foreign_windows_drop()
{
    for (HWND hwnd : H().foreign)
        DestroyWindow(hwnd);
    H().foreign.clear();
}

/* Held to window coordinates, as the window system takes them. */
void patcher_window_place(t_object *patcher, const std::string &title, const std::vector<double> &rect)
{
    HWND hwnd = (HWND)simhost_patcher_window(patcher);
    if (!hwnd)
        return;
#ifdef _WIN32
    SetWindowTextA(hwnd, title.c_str());
#else
    simwin_set_title(hwnd, title.c_str());
#endif
    if (rect.size() != 4)
        return;
    const auto held = [](double v, double low) { return int(std::min(std::max(v, low), 30000.0)); };
    RECT frame = {0, 0, held(rect[2], 1), held(rect[3], 1)};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, held(rect[0], -30000) + frame.left, held(rect[1], -30000) + frame.top,
                 frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace simhost

using namespace simhost;

void *simhost_foreign_window(int x, int y, int width, int height, const char *title)
{
    HWND hwnd = client_window(FOREIGN_CLASS, DefWindowProcA, title ? title : "", x, y, width, height);
    if (!hwnd)
        return nullptr;
#ifndef _WIN32
    simwin_set_foreign(hwnd, 1);
#endif
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    H().foreign.push_back(hwnd);
    return hwnd;
}
