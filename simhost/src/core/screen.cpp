/* Displays and the mouse. Without declared displays the host has one
 * primary display of 1920 x 1080 with a task bar of 40 pixels.
 *
 * Displays are declared in Windows pixels, each with a scale. The host's
 * display and mouse calls answer in its scaled units, as its SDK says most
 * of its calls do: each display is its pixel size divided by its scale,
 * laid beside the first earlier display it touches (else placed from the
 * primary), the primary at its pixel origin divided by its scale. At 100%
 * everywhere the scaled units are the pixels. */
#include "host.h"

#include "kit.h"

#include <algorithm>
#include <cmath>
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

// The rectangle around every one of the rectangles.
t_rect span(const std::vector<t_rect> &all)
{
    double left = 0, top = 0, right = 0, bottom = 0;
    for (size_t i = 0; i < all.size(); i++) {
        const t_rect &r = all[i];
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

// The scale the host's calls divide by: none where Max works in pixels.
double unit(const Display &d)
{
    return kit::variant(simhost_variant::max_pixel_units) ? 1.0 : d.scale;
}

// Two displays that share a stretch of an edge.
bool touches(const t_rect &a, const t_rect &b)
{
    const bool rows = a.y < b.y + b.height && b.y < a.y + a.height;
    const bool columns = a.x < b.x + b.width && b.x < a.x + a.width;
    return (rows && (a.x == b.x + b.width || a.x + a.width == b.x)) ||
           (columns && (a.y == b.y + b.height || a.y + a.height == b.y));
}

// One coordinate of a display laid beside its neighbour: one that ends
// where the neighbour starts ends there in scaled units too; any other
// keeps its distance from the neighbour's origin, in the neighbour's units.
double beside(double at, double size, double scale, double neighbour_at, double neighbour_scaled_at, double neighbour_scale)
{
    if (at + size == neighbour_at)
        return neighbour_scaled_at - size / scale;
    return neighbour_scaled_at + (at - neighbour_at) / neighbour_scale;
}

struct Screen {
    std::vector<Display> all;
    std::vector<t_rect> scaled; // each display in the host's units
};

Screen screen()
{
    Screen s{displays(), {}};
    for (size_t i = 0; i < s.all.size(); ++i) {
        const Display &d = s.all[i];
        const double k = unit(d);
        t_rect r = {d.rect.x / k, d.rect.y / k, d.rect.width / k, d.rect.height / k};
        size_t n = 0;
        while (n < i && !touches(d.rect, s.all[n].rect))
            ++n;
        if (i > 0) {
            const Display &neighbour = s.all[n == i ? 0 : n];
            const t_rect &neighbour_scaled = s.scaled[n == i ? 0 : n];
            r.x = beside(d.rect.x, d.rect.width, k, neighbour.rect.x, neighbour_scaled.x, unit(neighbour));
            r.y = beside(d.rect.y, d.rect.height, k, neighbour.rect.y, neighbour_scaled.y, unit(neighbour));
        }
        s.scaled.push_back(r);
    }
    return s;
}

// The rectangle holding the point, else the nearest one.
size_t holding(const std::vector<t_rect> &all, t_pt pt)
{
    size_t best = 0;
    double best_distance = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const t_rect &r = all[i];
        if (inside(pt, r))
            return i;
        const double dx = std::max({r.x - pt.x, 0.0, pt.x - (r.x + r.width)});
        const double dy = std::max({r.y - pt.y, 0.0, pt.y - (r.y + r.height)});
        if (i == 0 || dx * dx + dy * dy < best_distance) {
            best = i;
            best_distance = dx * dx + dy * dy;
        }
    }
    return best;
}

// The display (by the point in the host's units) that the point is on, else
// the primary one, as the host's display calls answer.
size_t display_at(const Screen &s, t_pt scaled)
{
    for (size_t i = 0; i < s.scaled.size(); ++i)
        if (inside(scaled, s.scaled[i]))
            return i;
    return 0;
}

// A display's work area in the host's units.
t_rect scaled_work(const Screen &s, size_t i)
{
    const Display &d = s.all[i];
    const double k = unit(d);
    return t_rect{s.scaled[i].x + (d.work.x - d.rect.x) / k, s.scaled[i].y + (d.work.y - d.rect.y) / k,
                  d.work.width / k, d.work.height / k};
}

t_pt to_scaled(const Screen &s, t_pt pixel)
{
    std::vector<t_rect> rects;
    for (const Display &d : s.all)
        rects.push_back(d.rect);
    const size_t i = holding(rects, pixel);
    const double k = unit(s.all[i]);
    return t_pt{s.scaled[i].x + (pixel.x - s.all[i].rect.x) / k, s.scaled[i].y + (pixel.y - s.all[i].rect.y) / k};
}

t_pt to_pixels(const Screen &s, t_pt scaled)
{
    const size_t i = holding(s.scaled, scaled);
    const double k = unit(s.all[i]);
    return t_pt{s.all[i].rect.x + (scaled.x - s.scaled[i].x) * k, s.all[i].rect.y + (scaled.y - s.scaled[i].y) * k};
}

} // namespace

} // namespace simhost

using namespace simhost;

void jmouse_getposition_global(int *x, int *y)
{
    count("jmouse_getposition_global");
    const t_pt p = to_scaled(screen(), t_pt{double(H().mouse_x), double(H().mouse_y)});
    if (x)
        *x = int(std::lround(p.x));
    if (y)
        *y = int(std::lround(p.y));
}

void jmonitor_getdisplayrect_forpoint(long workarea, t_pt pt, t_rect *rect)
{
    count("jmonitor_getdisplayrect_forpoint");
    if (!rect)
        return;
    const Screen s = screen();
    const size_t i = display_at(s, pt);
    *rect = workarea ? scaled_work(s, i) : s.scaled[i];
}

void jmonitor_getdisplayrect_foralldisplays(long workarea, t_rect *rect)
{
    count("jmonitor_getdisplayrect_foralldisplays");
    if (!rect)
        return;
    const Screen s = screen();
    std::vector<t_rect> all = s.scaled;
    for (size_t i = 0; workarea && i < all.size(); ++i)
        all[i] = scaled_work(s, i);
    *rect = span(all);
}

int jgraphics_ptinrect(t_pt pt, t_rect rect)
{
    count("jgraphics_ptinrect");
    return inside(pt, rect);
}

double jmonitor_getdisplayscalefactor(long displayindex)
{
    count("jmonitor_getdisplayscalefactor");
    return simhost_display_scale(displayindex);
}

double jmonitor_getdisplayscalefactor_forpoint(t_pt pt)
{
    count("jmonitor_getdisplayscalefactor_forpoint");
    const Screen s = screen();
    return s.all[display_at(s, pt)].scale;
}

t_pt jmonitor_scale_pt(t_pt unscaled_pt)
{
    count("jmonitor_scale_pt");
    return to_scaled(screen(), unscaled_pt);
}

t_pt jmonitor_unscale_pt(t_pt scaled_pt)
{
    count("jmonitor_unscale_pt");
    return to_pixels(screen(), scaled_pt);
}

namespace {

// Windows sizes windows by the virtual screen; under Wine that is the X
// screen, whatever the declared displays.
void displays_changed()
{
#ifndef _WIN32
    std::vector<t_rect> rects;
    for (const Display &d : displays())
        rects.push_back(d.rect);
    const t_rect all = span(rects);
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
    all[(size_t)index].rect = display;
    all[(size_t)index].work = workarea;
    displays_changed();
    return MAX_ERR_NONE;
}

t_max_err simhost_display_set_scale(long index, double scale)
{
    std::vector<Display> &all = H().displays;
    if (index < 0 || (size_t)index >= all.size() || !(scale > 0))
        return MAX_ERR_GENERIC;
    all[(size_t)index].scale = scale;
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

double simhost_display_scale(long index)
{
    const std::vector<Display> all = displays();
    return index >= 0 && (size_t)index < all.size() ? all[(size_t)index].scale : 1.0;
}

void simhost_mouse_set(int x, int y)
{
    H().mouse_x = x;
    H().mouse_y = y;
}

void simhost_mouse_get(int *x, int *y)
{
    if (x)
        *x = H().mouse_x;
    if (y)
        *y = H().mouse_y;
}
