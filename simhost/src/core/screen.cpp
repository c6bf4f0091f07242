/* Displays and the mouse. Without declared displays the host has one
 * primary display of 1920 x 1080 with a task bar of 40 pixels. */
#include "host.h"
#ifndef _WIN32
#include "simwin.h"
#endif

namespace simhost {

namespace {

std::vector<Display> displays()
{
    const std::vector<Display> &declared = H().displays;
    if (!declared.empty())
        return declared;
    return {Display{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}};
}

bool inside(t_pt pt, const t_rect &r)
{
    return r.x <= pt.x && pt.x < r.x + r.width && r.y <= pt.y && pt.y < r.y + r.height;
}

// The rectangle around every display (or every work area).
t_rect span(bool workarea)
{
    std::vector<Display> all = displays();
    double left = 0, top = 0, right = 0, bottom = 0;
    for (size_t i = 0; i < all.size(); i++) {
        const t_rect &r = workarea ? all[i].work : all[i].rect;
        if (i == 0 || r.x < left)
            left = r.x;
        if (i == 0 || r.y < top)
            top = r.y;
        if (i == 0 || r.x + r.width > right)
            right = r.x + r.width;
        if (i == 0 || r.y + r.height > bottom)
            bottom = r.y + r.height;
    }
    return t_rect{left, top, right - left, bottom - top};
}

} // namespace

} // namespace simhost

using namespace simhost;

void jmouse_getposition_global(int *x, int *y)
{
    count("jmouse_getposition_global");
    if (x)
        *x = H().mouse_x;
    if (y)
        *y = H().mouse_y;
}

void jmonitor_getdisplayrect_forpoint(long workarea, t_pt pt, t_rect *rect)
{
    count("jmonitor_getdisplayrect_forpoint");
    if (!rect)
        return;
    std::vector<Display> all = displays();
    const Display *found = &all[0];
    for (const Display &d : all) {
        if (inside(pt, d.rect)) {
            found = &d;
            break;
        }
    }
    *rect = workarea ? found->work : found->rect;
}

void jmonitor_getdisplayrect_foralldisplays(long workarea, t_rect *rect)
{
    count("jmonitor_getdisplayrect_foralldisplays");
    if (rect)
        *rect = span(workarea != 0);
}

int jgraphics_ptinrect(t_pt pt, t_rect rect)
{
    count("jgraphics_ptinrect");
    return inside(pt, rect);
}

namespace {

// Windows sizes windows by the virtual screen; under Wine that is the X
// screen, whatever the declared displays.
void displays_changed()
{
#ifndef _WIN32
    const t_rect all = span(false);
    simwin_set_virtual_screen(int(all.x), int(all.y), int(all.width), int(all.height));
#endif
}

} // namespace

void simhost_display_add(t_rect display, t_rect workarea)
{
    H().displays.push_back(Display{display, workarea});
    displays_changed();
}

t_max_err simhost_display_set(long index, t_rect display, t_rect workarea)
{
    std::vector<Display> &all = H().displays;
    if (index < 0 || (size_t)index >= all.size())
        return MAX_ERR_GENERIC;
    all[(size_t)index] = Display{display, workarea};
    displays_changed();
    return MAX_ERR_NONE;
}

t_max_err simhost_display_remove(long index)
{
    std::vector<Display> &all = H().displays;
    if (index < 0 || (size_t)index >= all.size() || all.size() == 1)
        return MAX_ERR_GENERIC;
    all.erase(all.begin() + index);
    displays_changed();
    return MAX_ERR_NONE;
}

long simhost_display_count(void)
{
    return (long)displays().size();
}

void simhost_display_get(long index, t_rect *display, t_rect *workarea)
{
    std::vector<Display> all = displays();
    if (index < 0 || (size_t)index >= all.size())
        return;
    if (display)
        *display = all[(size_t)index].rect;
    if (workarea)
        *workarea = all[(size_t)index].work;
}

void simhost_mouse_set(int x, int y)
{
    H().mouse_x = x;
    H().mouse_y = y;
}
