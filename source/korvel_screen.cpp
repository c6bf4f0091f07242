/* The displays in Windows pixels. The module measures, keeps and moves the
 * editor in Windows pixels, the state list's units; the host's display and
 * mouse calls, and the vst object's open, take the host's own units, scaled
 * display by display. Every point crosses between the two here, with the
 * host's own conversions. */
#include <cmath>

#include "korvel.h"

/* How far inside a rectangle's far edges its far corner is converted from:
 * a point on the edge may lie on the display beside it. At 5 times (Windows'
 * largest scale) it is under a tenth of a pixel. */
#define KORVEL_CORNER_INSET (1.0 / 64)

static int32_t korvel_round32(double v)
{
    return (int32_t)std::lround(std::clamp(v, (double)INT32_MIN, (double)INT32_MAX));
}

t_pt korvel_host_point(int32_t x, int32_t y)
{
    return jmonitor_scale_pt(t_pt{(double)x, (double)y});
}

POINT korvel_pixel_point(t_pt host)
{
    t_pt p = jmonitor_unscale_pt(host);
    return POINT{korvel_round32(p.x), korvel_round32(p.y)};
}

RECT korvel_work_area(t_pt host)
{
    t_rect d = {};
    jmonitor_getdisplayrect_forpoint(1, host, &d);
    POINT from = korvel_pixel_point(t_pt{d.x, d.y});
    POINT to = korvel_pixel_point(t_pt{d.x + d.width - KORVEL_CORNER_INSET, d.y + d.height - KORVEL_CORNER_INSET});
    return RECT{from.x, from.y, to.x, to.y};
}

bool korvel_in_view(int32_t x, int32_t y)
{
    RECT work = korvel_work_area(korvel_host_point(x, y));
    return work.left <= x && x < work.right && work.top <= y && y < work.bottom;
}

/* An editor left on no display (one that went, or shrank) is a tool window
 * without a taskbar button: the user could not get it back. */
void korvel_keep_in_view(t_korvel *x)
{
    POINT o = {};
    if (!x->editor_hwnd || !ClientToScreen(x->editor_hwnd, &o) || korvel_in_view(o.x, o.y))
        return;
    korvel_trace(x, "the editor is out of view, centre it");
    t_atom av[2];
    atom_setlong(av, KORVEL_CENTRE_SENTINEL);
    atom_setlong(av + 1, 0);
    korvel_pos(x, NULL, 2, av);
}
