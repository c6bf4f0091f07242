// The window actions of the native world: the simulated window system does
// what the user and the rest of the desktop do.
#include "testkit.h"

#include <unistd.h>

#include <cstdlib>

#include "simhost.h"
#include "simwin.h"

namespace testkit {

bool World::simulated()
{
    return true;
}

std::string World::program_folder()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "";
    const std::string self(exe, size_t(n));
    return self.substr(0, self.rfind('/') + 1);
}

std::string World::module_path()
{
    if (const char *path = std::getenv("KORVEL_MODULE"))
        return path;
    return program_folder() + "qzkorvel.so";
}

void World::reset_windows()
{
    simwin_reset();
}

void World::begin()
{
}

namespace {

BOOL CALLBACK display_changed(HWND hwnd, LPARAM size)
{
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, size);
    return TRUE;
}

} // namespace

// Every window here is this program's, foreign ones included.
void World::broadcast_display_change()
{
    EnumWindows(display_changed, primary_display_size());
}

HWND World::foreign_window(int x, int y, int w, int h)
{
    HWND hwnd = static_cast<HWND>(simhost_foreign_window(x, y, w, h, "foreign"));
    if (!hwnd)
        throw Error("the host made no foreign window");
    foreign_.push_back(hwnd);
    sync();
    return hwnd;
}

void World::user_move(HWND hwnd, int x, int y)
{
    const Point frame = frame_for_client(hwnd, x, y);
    simwin_user_move(hwnd, frame.x, frame.y);
    sync();
}

void World::user_resize(HWND hwnd, int width, int height)
{
    simwin_user_resize(hwnd, width, height);
    sync();
}

void World::user_close(HWND hwnd)
{
    simwin_user_close(hwnd);
    sync();
}

void World::app_background()
{
    background_ = true;
    simwin_app_activate(0);
    sync();
}

void World::app_foreground()
{
    background_ = false;
    simwin_app_activate(1);
    sync();
}

} // namespace testkit
