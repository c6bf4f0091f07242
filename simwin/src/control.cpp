// What the user and the rest of the desktop do, and the test controls.
#include <cstdio>
#include <cstdlib>

#include "world.h"

using namespace simwin;

void simwin_reset(void)
{
    reset_world();
}

void simwin_fail(const char *call, int count)
{
    if (!call || !known_call(call)) {
        std::fprintf(stderr, "simwin_fail: no such window call: %s\n", call ? call : "(null)");
        std::abort();
    }
    world().faults[call] = count;
}

void simwin_user_move(HWND hwnd, int x, int y)
{
    if (WindowPtr w = peek(hwnd))
        set_window_pos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void simwin_user_resize(HWND hwnd, int client_width, int client_height)
{
    WindowPtr w = peek(hwnd);
    if (!w)
        return;
    // The frame's bottom-right corner is dragged to where the frame, laid out
    // from the window's present styles, holds that client size; the
    // procedure may adjust the proposed frame, as Win32 lets it.
    const Insets in = insets_for(w->style, w->exstyle, w->menu);
    RECT r = w->frame;
    r.right = r.left + in.left + client_width + in.right;
    r.bottom = r.top + in.top + client_height + in.bottom;
    send(w, WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&r));
    if (w->alive)
        set_window_pos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void simwin_user_close(HWND hwnd)
{
    if (WindowPtr w = peek(hwnd))
        send(w, WM_CLOSE, 0, 0);
}

void simwin_app_activate(int active)
{
    World &g = world();
    if ((active != 0) == g.app_active)
        return;
    if (!active) {
        background_app();
        return;
    }
    // The window that was active is given back, hidden or not; when it has
    // gone, the highest visible window of the application. With neither
    // there is nothing to switch to.
    WindowPtr back = peek(g.saved_active);
    for (const Window *w = g.zorder.top(); !back && w; w = w->below)
        if (w->visible() && !w->foreign && !w->destroying)
            back = peek(w->hwnd);
    if (back)
        activate(back);
}

void simwin_set_virtual_screen(int x, int y, int width, int height)
{
    world().screen = RECT{x, y, x + width, y + height};
}

int simwin_app_active(void)
{
    return world().app_active ? 1 : 0;
}

void simwin_set_foreign(HWND hwnd, int foreign)
{
    if (WindowPtr w = peek(hwnd))
        w->foreign = foreign != 0;
}

int simwin_cursor_count(void)
{
    return world().cursor;
}

int simwin_times_shown(HWND hwnd)
{
    WindowPtr w = peek(hwnd);
    return w ? w->times_shown : 0;
}

void simwin_set_title(HWND hwnd, const char *title)
{
    if (WindowPtr w = peek(hwnd))
        w->title = title ? title : "";
}
