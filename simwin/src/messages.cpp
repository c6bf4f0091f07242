// Message delivery: the subclass chain (COMCTL32's rules), the window
// procedure and DefWindowProcA.
#include <algorithm>
#include <cstring>

#include "world.h"

namespace simwin {

namespace {

std::shared_ptr<Subclass> below(const Window &w, const std::shared_ptr<Subclass> &entry)
{
    auto it = std::find(w.chain.begin(), w.chain.end(), entry);
    if (it == w.chain.end() || ++it == w.chain.end())
        return nullptr;
    return *it;
}

std::vector<std::shared_ptr<Subclass>>::iterator find_entry(Window &w, SUBCLASSPROC proc, UINT_PTR id)
{
    return std::find_if(w.chain.begin(), w.chain.end(),
                        [&](const std::shared_ptr<Subclass> &s) { return s->proc == proc && s->id == id; });
}

} // namespace

// Each message that reaches a subclassed window gets a frame of its own, so
// that nested sends and entries removed mid-call each continue below the
// entry that is running.
LRESULT send(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (!w->alive)
        return 0;
    if (w->chain.empty())
        return w->proc(w->hwnd, msg, wp, lp);
    Frame frame{w->chain.front()};
    w->frames.push_back(&frame);
    const LRESULT result = call_next(w, msg, wp, lp);
    w->frames.erase(std::find(w->frames.begin(), w->frames.end(), &frame));
    return result;
}

LRESULT call_next(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (!w->alive || w->frames.empty())
        return 0;
    Frame *frame = w->frames.back();
    std::shared_ptr<Subclass> entry = frame->next;
    if (!entry)
        return w->proc(w->hwnd, msg, wp, lp);
    frame->next = below(*w, entry);
    return entry->proc(w->hwnd, msg, wp, lp, entry->id, entry->data);
}

void send_size_and_move(const WindowPtr &w)
{
    const RECT c = w->client_screen();
    send(w, WM_SIZE, SIZE_RESTORED, MAKELONG(c.right - c.left, c.bottom - c.top));
    if (w->alive)
        send(w, WM_MOVE, 0, MAKELONG(c.left, c.top));
}

LRESULT def_window_proc(const WindowPtr &w, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NCCREATE: {
        const auto *cs = reinterpret_cast<const CREATESTRUCTA *>(lp);
        if (cs && cs->lpszName)
            w->title = cs->lpszName;
        return TRUE;
    }
    case WM_GETTEXT: {
        auto *buf = reinterpret_cast<char *>(lp);
        if (!buf || wp == 0)
            return 0;
        const size_t n = std::min(w->title.size(), size_t(wp - 1));
        std::memcpy(buf, w->title.data(), n);
        buf[n] = '\0';
        return LRESULT(n);
    }
    case WM_CLOSE:
        destroy_window(w);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto *pos = reinterpret_cast<WINDOWPOS *>(lp);
        if (!pos || (pos->flags & SWP_NOSIZE))
            return 0;
        const Extent size = track(w->style, w->exstyle, w->menu, pos->cx, pos->cy);
        pos->cx = size.cx;
        pos->cy = size.cy;
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto *pos = reinterpret_cast<const WINDOWPOS *>(lp);
        if (!pos)
            return 0;
        if (!(pos->flags & SWP_NOCLIENTMOVE)) {
            const RECT c = w->client_screen();
            send(w, WM_MOVE, 0, MAKELONG(c.left, c.top));
        }
        if (w->alive && !(pos->flags & SWP_NOCLIENTSIZE)) {
            const RECT c = w->client_screen();
            send(w, WM_SIZE, SIZE_RESTORED, MAKELONG(c.right - c.left, c.bottom - c.top));
        }
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace simwin

using namespace simwin;

LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (fault("SendMessageA"))
        return 0;
    WindowPtr w = find(hwnd);
    return w ? send(w, msg, wp, lp) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (fault("DefWindowProcA"))
        return 0;
    WindowPtr w = find(hwnd);
    return w ? def_window_proc(w, msg, wp, lp) : 0;
}

BOOL WINAPI SetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data)
{
    if (fault("SetWindowSubclass"))
        return FALSE;
    WindowPtr w = find(hwnd);
    if (!w || !proc)
        return FALSE;
    auto it = find_entry(*w, proc, id);
    if (it != w->chain.end())
        (*it)->data = data;
    else
        w->chain.insert(w->chain.begin(), std::make_shared<Subclass>(Subclass{proc, id, data}));
    return TRUE;
}

BOOL WINAPI RemoveWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id)
{
    if (fault("RemoveWindowSubclass"))
        return FALSE;
    WindowPtr w = find(hwnd);
    if (!w)
        return FALSE;
    auto it = find_entry(*w, proc, id);
    if (it == w->chain.end())
        return FALSE;
    // Messages on their way down continue below the removed entry.
    std::shared_ptr<Subclass> next = below(*w, *it);
    for (Frame *frame : w->frames) {
        if (frame->next == *it)
            frame->next = next;
    }
    w->chain.erase(it);
    return TRUE;
}

LRESULT WINAPI DefSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (fault("DefSubclassProc"))
        return 0;
    WindowPtr w = find(hwnd);
    return w ? call_next(w, msg, wp, lp) : 0;
}
