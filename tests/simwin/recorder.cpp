#include "recorder.h"

#include <cstdio>
#include <map>

namespace simwin_test {

Reaction g_react;

namespace {

Lines g_log;
// Windows by the title they were created with: a window has no title until
// DefWindowProcA handles its WM_NCCREATE.
std::map<HWND, std::string> g_names;

const char *const k_class = "recorder";

std::string flag_names(UINT flags)
{
    static const struct {
        UINT flag;
        const char *name;
    } names[] = {
        {SWP_NOMOVE, "nomove"},
        {SWP_NOSIZE, "nosize"},
        {SWP_NOZORDER, "nozorder"},
        {SWP_NOACTIVATE, "noactivate"},
        {SWP_FRAMECHANGED, "framechanged"},
        {SWP_SHOWWINDOW, "show"},
        {SWP_HIDEWINDOW, "hide"},
        {0x0800, "noclientsize"},
        {0x1000, "noclientmove"},
    };
    std::string s;
    for (const auto &n : names) {
        if (flags & n.flag)
            s += std::string(" ") + n.name;
    }
    return s;
}

LRESULT CALLBACK recording_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE)
        g_names[hwnd] = reinterpret_cast<const CREATESTRUCTA *>(lp)->lpszName;
    const std::string who = g_names[hwnd];
    /* the titles the test asks for itself are left out, as in Wine's tests */
    if (msg != WM_GETTEXT)
        note(describe(who.c_str(), msg, wp, lp));
    LRESULT result = 0;
    if (g_react && g_react(hwnd, msg, wp, lp, &result))
        return result;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

std::string message_name(UINT msg)
{
    switch (msg) {
    case WM_CREATE: return "WM_CREATE";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_MOVE: return "WM_MOVE";
    case WM_SIZE: return "WM_SIZE";
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP: return "WM_ACTIVATEAPP";
    case WM_WINDOWPOSCHANGING: return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED: return "WM_WINDOWPOSCHANGED";
    case WM_STYLECHANGING: return "WM_STYLECHANGING";
    case WM_STYLECHANGED: return "WM_STYLECHANGED";
    case WM_NCCREATE: return "WM_NCCREATE";
    case WM_NCDESTROY: return "WM_NCDESTROY";
    case WM_SIZING: return "WM_SIZING";
    default: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04x", msg);
        return buf;
    }
    }
}

std::string describe(const char *who, UINT msg, WPARAM wp, LPARAM lp)
{
    std::string s = std::string(who) + " " + message_name(msg);
    char buf[64];
    switch (msg) {
    case WM_WINDOWPOSCHANGED:
        return s + flag_names(reinterpret_cast<const WINDOWPOS *>(lp)->flags);
    case WM_ACTIVATE: {
        const std::string other = lp ? title_of(reinterpret_cast<HWND>(lp)) : "-";
        return s + (wp == WA_INACTIVE ? " WA_INACTIVE to " : " WA_ACTIVE from ") + other;
    }
    case WM_ACTIVATEAPP:
    case WM_SHOWWINDOW:
        return s + " " + std::to_string(wp);
    case WM_MOVE:
    case WM_SIZE:
        std::snprintf(buf, sizeof buf, " %d,%d", int16_t(LOWORD(lp)), int16_t(HIWORD(lp)));
        return s + buf;
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
        return s + (int(wp) == GWL_EXSTYLE ? " exstyle" : " style");
    default:
        return s;
    }
}

void note(const std::string &line)
{
    g_log.push_back(line);
}

std::string joined(const Lines &lines)
{
    std::string s;
    for (const auto &line : lines)
        s += line + "\n";
    return s;
}

std::string take()
{
    const std::string s = joined(g_log);
    g_log.clear();
    return s;
}

std::string title_of(HWND hwnd)
{
    char buf[64] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

HWND make_window(const char *title, DWORD style, DWORD exstyle, RECT frame)
{
    return CreateWindowExA(exstyle, k_class, title, style, frame.left, frame.top, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND make_visible(const char *title, DWORD exstyle)
{
    return make_window(title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, exstyle);
}

HWND find_titled(const char *title)
{
    struct Search {
        const char *title;
        HWND found;
    } search{title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto *s = reinterpret_cast<Search *>(lp);
            if (title_of(hwnd) != s->title)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

std::string order()
{
    std::string s;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto *out = reinterpret_cast<std::string *>(lp);
            *out += (out->empty() ? "" : " ") + title_of(hwnd);
            return TRUE;
        },
        LPARAM(&s));
    return s;
}

WNDCLASSEXA class_named(const char *name)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    return wc;
}

void SimwinTest::SetUp()
{
    simwin_reset();
    g_log.clear();
    g_names.clear();
    g_react = nullptr;
    WNDCLASSEXA wc = class_named(k_class);
    wc.lpfnWndProc = recording_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterClassExA(&wc), 0);
}

} // namespace simwin_test
