// The window actions under Windows, made with the real USER32 calls that the
// user's own actions end in.
//
// Switching applications: under Wine, bringing the desktop window to the
// foreground deactivates the application in one thread, without a message
// loop: every top-level window of the thread, hidden ones too, receives
// WM_ACTIVATEAPP 0 at once, and SetForegroundWindow on one of its windows
// brings it back with WM_ACTIVATEAPP 1. So nothing is faked here.
//
// Windows of other applications belong to another process, korvel-foreign,
// which the World commands through a pipe.
#include "testkit.h"

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

// Wine without an X display makes no window at all; said once, plainly,
// before the module's own windows fail one by one.
void require_display()
{
    HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe)
        throw Error("no display: windows cannot be made here; under Wine, set DISPLAY to an X display or run under "
                    "xvfb-run (scripts/wine-sim.sh does)");
    DestroyWindow(probe);
}

// The other application: started at the first window asked of it, it lives
// as long as this program, and ends when its input pipe closes with it.
class ForeignApp {
public:
    bool running() const { return to_ != nullptr; }

    // One command line; its one-line answer.
    std::string ask(const std::string &command)
    {
        if (!running())
            start();
        const std::string line = command + "\n";
        DWORD n = 0;
        if (!WriteFile(to_, line.data(), DWORD(line.size()), &n, nullptr) || n != line.size())
            throw Error("korvel-foreign does not take commands any more");
        std::string answer;
        char c = 0;
        while (ReadFile(from_, &c, 1, &n, nullptr) && n == 1 && c != '\n')
            answer += c;
        if (c != '\n')
            throw Error("korvel-foreign ended");
        if (!answer.empty() && answer.back() == '\r')
            answer.pop_back();
        return answer;
    }

private:
    void start()
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE child_in = nullptr, child_out = nullptr;
        if (!CreatePipe(&child_in, &to_, &inherit, 0))
            throw Error("no pipe for korvel-foreign");
        if (!CreatePipe(&from_, &child_out, &inherit, 0)) {
            CloseHandle(child_in);
            stop();
            throw Error("no pipe for korvel-foreign");
        }
        SetHandleInformation(to_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(from_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = child_in;
        si.hStdOutput = child_out;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION pi = {};
        const std::string path = World::program_folder() + "korvel-foreign.exe";
        const BOOL made = CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
        CloseHandle(child_in);
        CloseHandle(child_out);
        if (!made) {
            stop();
            throw Error("cannot start " + path);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    void stop()
    {
        for (HANDLE *h : {&to_, &from_}) {
            if (*h)
                CloseHandle(*h);
            *h = nullptr;
        }
    }

    HANDLE to_ = nullptr;
    HANDLE from_ = nullptr;
};

ForeignApp &foreign_app()
{
    static ForeignApp app;
    return app;
}

BOOL CALLBACK display_changed(HWND hwnd, LPARAM size)
{
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, size);
    return TRUE;
}

} // namespace

// The windows of korvel-foreign are another program's, which Windows tells
// itself.
void World::broadcast_display_change()
{
    EnumThreadWindows(GetCurrentThreadId(), display_changed, primary_display_size());
}

bool World::simulated()
{
    return false;
}

std::string World::program_folder()
{
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe)
        return "";
    const std::string self(exe, n);
    return self.substr(0, self.find_last_of("\\/") + 1);
}

std::string World::module_path()
{
    if (const char *path = std::getenv("KORVEL_MODULE"))
        return path;
    return program_folder() + "qzkorvel.mxe64";
}

HWND World::foreign_window(int x, int y, int w, int h)
{
    const std::string answer = foreign_app().ask("window " + std::to_string(x) + " " + std::to_string(y) + " " +
                                                 std::to_string(w) + " " + std::to_string(h));
    HWND hwnd = reinterpret_cast<HWND>(uintptr_t(std::strtoull(answer.c_str(), nullptr, 10)));
    if (!hwnd)
        throw Error("korvel-foreign made no window: " + answer);
    foreign_.push_back(hwnd);
    sync();
    return hwnd;
}

// Windows that outlived the host's reset would keep window procedures of an
// unloaded module; the helper class is registered on the program's instance,
// so it outlives the module too.
void World::reset_windows()
{
    require_display();
    std::vector<HWND> left;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&left));
    for (HWND hwnd : left)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    UnregisterClassA("korvel_helperwindowclass", GetModuleHandleA(nullptr));
    // A helper that has ended took its windows with it.
    try {
        if (foreign_app().running())
            foreign_app().ask("clear");
    } catch (const Error &) {
    }
    foreign_.clear();
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
    background_ = true;
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
    background_ = false;
    if (app_active())
        return;
    HWND to = active_before_background_;
    if (!to || !IsWindow(to)) {
        std::vector<HWND> all;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
        to = nullptr;
        for (HWND hwnd : all)
            if (!to && IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
                to = hwnd;
    }
    active_before_background_ = nullptr;
    if (to)
        SetForegroundWindow(to);
    sync();
}

} // namespace testkit
