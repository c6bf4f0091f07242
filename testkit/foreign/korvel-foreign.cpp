// korvel-foreign: another application on the desktop, for the Windows test
// runs. The test driver (testkit's World) starts it and commands it through
// its standard input, one line at a time, and reads one line of answer:
//   window X Y W H    a visible, not activated overlapped window whose client
//                     origin is on (X, Y), of client size W x H; answers its
//                     handle as a decimal number
//   clear             destroys every window it made; answers "ok"
// It ends when its input does. Its windows belong to a process of their own,
// as another application's do, so that activation and the host's background
// gate meet them as on Windows.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const UINT COMMAND = WM_APP + 1; // lParam: a std::string * with the line
const UINT INPUT_ENDED = WM_APP + 2;
const char *const WINDOW_CLASS = "KorvelForeignApp";

std::vector<HWND> g_windows;

std::string make_window(int x, int y, int w, int h)
{
    RECT r = {x, y, x + w, y + h};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND hwnd = CreateWindowExA(0, WINDOW_CLASS, "foreign", WS_OVERLAPPEDWINDOW, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        return "0";
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    g_windows.push_back(hwnd);
    return std::to_string(reinterpret_cast<uintptr_t>(hwnd));
}

std::string run(const std::string &line)
{
    int x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(line.c_str(), "window %d %d %d %d", &x, &y, &w, &h) == 4)
        return make_window(x, y, w, h);
    if (line == "clear") {
        for (HWND hwnd : g_windows)
            DestroyWindow(hwnd);
        g_windows.clear();
        return "ok";
    }
    return "error: unknown command: " + line;
}

// Input is read on a thread of its own, so that the windows' thread keeps
// answering the messages that other processes send them.
void read_input(DWORD windows_thread)
{
    char buf[256];
    while (std::fgets(buf, sizeof buf, stdin)) {
        buf[std::strcspn(buf, "\r\n")] = '\0';
        PostThreadMessageA(windows_thread, COMMAND, 0, reinterpret_cast<LPARAM>(new std::string(buf)));
    }
    PostThreadMessageA(windows_thread, INPUT_ENDED, 0, 0);
}

} // namespace

int main()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassExA(&wc))
        return 1;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, before anything is posted to it
    std::thread reader(read_input, GetCurrentThreadId());
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != INPUT_ENDED) {
        if (msg.message == COMMAND && !msg.hwnd) {
            const std::string *line = reinterpret_cast<std::string *>(msg.lParam);
            std::printf("%s\n", run(*line).c_str());
            std::fflush(stdout);
            delete line;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    reader.join();
    return 0;
}
