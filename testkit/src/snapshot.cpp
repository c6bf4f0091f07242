// A picture of the desktop as SVG, read only through the host's control
// calls for its displays and mouse (in Windows pixels) and the Win32 window
// calls, so that it shows the same thing
// natively and under Windows.
//
// Elements are placed in desktop pixels (the viewBox is a piece of the
// desktop) and carry their rectangles as data attributes, so that a test or a
// script can find a window where the object said it would be.
#include "testkit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "simhost.h"
#include "xml_text.h"

namespace testkit {

namespace {

// Wide enough that no sum of window or display coordinates overflows.
struct Box {
    long long x, y, w, h;

    long long right() const { return x + w; }
    long long bottom() const { return y + h; }
    // Overlap, with an empty box taken as its top-left pixel.
    bool meets(const Box &o) const
    {
        return x < o.x + std::max(o.w, 1LL) && o.x < x + std::max(w, 1LL) && y < o.y + std::max(o.h, 1LL) &&
               o.y < y + std::max(h, 1LL);
    }
};

Box unite(const Box &a, const Box &b)
{
    const long long x = std::min(a.x, b.x);
    const long long y = std::min(a.y, b.y);
    return Box{x, y, std::max(a.right(), b.right()) - x, std::max(a.bottom(), b.bottom()) - y};
}

// The host's rectangles are doubles; anything beyond a billion pixels (or
// not a number) is held at that bound.
long long whole(double v)
{
    return v > -1e9 ? v < 1e9 ? (long long)v : 1000000000LL : -1000000000LL;
}

Box from_rect(const t_rect &r)
{
    return Box{whole(r.x), whole(r.y), whole(r.width), whole(r.height)};
}

std::string numbers(const Box &b)
{
    return std::to_string(b.x) + " " + std::to_string(b.y) + " " + std::to_string(b.w) + " " + std::to_string(b.h);
}

// "x,y w×h", for people.
std::string placement(const Box &b)
{
    return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.w) + "\u00d7" +
           std::to_string(b.h);
}

std::string rect(const Box &b)
{
    return "x=\"" + std::to_string(b.x) + "\" y=\"" + std::to_string(b.y) + "\" width=\"" + std::to_string(b.w) +
           "\" height=\"" + std::to_string(b.h) + "\"";
}

// The smallest multiple of step that is not below v.
long long round_up(long long v, long long step)
{
    const long long q = v / step * step;
    return q < v ? q + step : q;
}

std::string num(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// Length of the UTF-8 sequence that starts at s[i], or 0 when it is not one.
size_t utf8_length(const std::string &s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

#ifdef _WIN32
// Under Windows the desktop also holds other programs' windows (Wine's own
// among them); the picture is of this program's.
bool ours(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}
#else
bool ours(HWND)
{
    return true;
}
#endif

BOOL CALLBACK collect(HWND hwnd, LPARAM list)
{
    if (ours(hwnd))
        reinterpret_cast<std::vector<HWND> *>(list)->push_back(hwnd);
    return TRUE;
}

struct Window {
    HWND hwnd;
    std::string title;
    Box frame, client;
    bool visible, topmost, toolwindow, active;
};

Window measure(HWND hwnd)
{
    char title[256] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &frame);
    const Point origin = World::client_origin(hwnd);
    const Size size = World::client_size(hwnd);
    return Window{hwnd,
                  title,
                  Box{frame.left, frame.top, (long long)frame.right - frame.left, (long long)frame.bottom - frame.top},
                  Box{origin.x, origin.y, size.width, size.height},
                  World::visible(hwnd),
                  World::topmost(hwnd),
                  World::toolwindow(hwnd),
                  World::active_window() == hwnd};
}

std::string marks(const Window &w)
{
    std::string out;
    for (const auto &[on, name] : {std::pair<bool, const char *>{w.topmost, "topmost"}, {w.toolwindow, "tool window"},
                                   {!w.visible, "hidden"}, {w.active, "active"}})
        if (on)
            out += std::string(out.empty() ? "" : " \u00b7 ") + name;
    return out;
}

// What the boxes of the shown patcher show now, by id.
using Texts = std::map<std::string, std::string>;

// A box of the shown patcher where it lies on the desktop.
struct Placed {
    Box at;
    const nlohmann::json *json;
};

// The boxes of a patcher that the window's content shows, by id.
std::map<std::string, Placed> placed(const Window &w, const nlohmann::json &patcher)
{
    std::map<std::string, Placed> out;
    const auto boxes = patcher.find("boxes"); // by reference: the boxes placed point into patcher
    if (boxes == patcher.end() || !boxes->is_array())
        return out;
    for (const nlohmann::json &item : *boxes) {
        if (!item.is_object() || !item.value("box", nlohmann::json()).is_object())
            continue;
        const nlohmann::json &b = item["box"];
        const nlohmann::json &r = b.value("patching_rect", nlohmann::json::array());
        if (r.size() < 4 || !r[0].is_number() || !r[1].is_number() || !r[2].is_number() || !r[3].is_number())
            continue;
        const Box at{w.client.x + whole(r[0].get<double>()), w.client.y + whole(r[1].get<double>()),
                     std::max(whole(r[2].get<double>()), 1LL), std::max(whole(r[3].get<double>()), 1LL)};
        if (at.meets(w.client))
            out.emplace(b.value("id", ""), Placed{at, &b});
    }
    return out;
}

// One end of a patch cord: the box and its outlet or inlet.
struct End {
    std::string id;
    long long port;
    const Placed *box;
};

std::optional<End> end_of(const nlohmann::json &cord, const char *key, const std::map<std::string, Placed> &at)
{
    const nlohmann::json &e = cord.is_object() ? cord.value(key, nlohmann::json()) : nlohmann::json();
    if (!e.is_array() || e.size() < 2 || !e[0].is_string() || !e[1].is_number_integer())
        return std::nullopt;
    const auto box = at.find(e[0].get<std::string>());
    if (box == at.end())
        return std::nullopt;
    return End{box->first, e[1].get<long long>(), &box->second};
}

// Draws in desktop pixels; lengths meant as screen sizes (text, strokes)
// are divided by the scale, so that they look the same on any desktop.
class Canvas {
public:
    Canvas(const Box &desktop, const Point &mouse)
        : scale_(std::min({0.5, 1400.0 / std::max(desktop.w, 1LL), 900.0 / std::max(desktop.h, 1LL)})),
          desktop_(desktop), mouse_(mouse)
    {
        const long long margin = px(56);
        view_ = Box{desktop.x - margin, desktop.y - margin, desktop.w + 2 * margin, desktop.h + 2 * margin};
    }

    const Box &view() const { return view_; }
    long long px(double screen) const { return (long long)(screen / scale_ + 0.5); }

    // The picture is the view with the legend's lines below it.
    void begin(std::ostream &out, size_t legend_lines, bool background)
    {
        picture_ = Box{view_.x, view_.y, view_.w, view_.h + px(18) * (long long)(legend_lines + 1)};
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << (long long)(picture_.w * scale_ + 0.5)
            << "\" height=\"" << (long long)(picture_.h * scale_ + 0.5) << "\" viewBox=\"" << numbers(picture_)
            << "\" data-view=\"" << numbers(view_) << "\" data-app=\"" << (background ? "background" : "foreground")
            << "\" font-family=\"DejaVu Sans, sans-serif\" font-size=\""
            << px(12) << "\">\n"
            << "<title>Simulated desktop</title>\n"
            << "<rect class=\"background\" " << rect(picture_) << " fill=\"#f7f7f4\"/>\n";
        if (background)
            out << "<text class=\"app\" x=\"" << view_.right() - px(8) << "\" y=\"" << view_.y + px(20)
                << "\" text-anchor=\"end\" fill=\"#b03030\" font-weight=\"bold\">Max is in the background: "
                   "another application is active</text>\n";
    }

    // Lines every step across the displays, labelled on the top and left
    // margins, and the origin marked. The step is the smallest of 100, 200,
    // 500, 1000, 2000, ... that leaves 40 screen pixels between labels.
    void axes(std::ostream &out) const
    {
        long long step = 100;
        for (int k = 0; step * scale_ < 40; ++k)
            step = k % 3 == 1 ? step * 5 / 2 : step * 2;
        const long long first_x = round_up(desktop_.x, step);
        const long long first_y = round_up(desktop_.y, step);
        out << "<g class=\"axes\" data-step=\"" << step << "\" stroke=\"#8a8f98\" stroke-opacity=\"0.35\" stroke-width=\""
            << num(1 / scale_) << "\">\n";
        for (long long x = first_x; x <= desktop_.right(); x += step)
            out << "<line x1=\"" << x << "\" y1=\"" << desktop_.y << "\" x2=\"" << x << "\" y2=\""
                << desktop_.bottom() << "\"/>\n";
        for (long long y = first_y; y <= desktop_.bottom(); y += step)
            out << "<line x1=\"" << desktop_.x << "\" y1=\"" << y << "\" x2=\"" << desktop_.right() << "\" y2=\"" << y
                << "\"/>\n";
        out << "</g>\n<g class=\"ticks\" fill=\"#40444c\" font-size=\"" << px(10) << "\">\n";
        for (long long x = first_x; x <= desktop_.right(); x += step)
            out << "<text class=\"tick\" data-x=\"" << x << "\" x=\"" << x << "\" y=\"" << desktop_.y - px(8)
                << "\" text-anchor=\"middle\">" << x << "</text>\n";
        for (long long y = first_y; y <= desktop_.bottom(); y += step)
            out << "<text class=\"tick\" data-y=\"" << y << "\" x=\"" << desktop_.x - px(6) << "\" y=\"" << y + px(4)
                << "\" text-anchor=\"end\">" << y << "</text>\n";
        out << "</g>\n";
        if (!view_.meets(Box{0, 0, 1, 1}))
            return;
        out << "<g class=\"origin\" fill=\"#b03030\">\n<circle cx=\"0\" cy=\"0\" r=\"" << px(4) << "\"/>\n"
            << "<text x=\"" << px(6) << "\" y=\"" << px(15) << "\" font-size=\"" << px(10) << "\">0,0</text>\n</g>\n";
    }

    // The whole display dark, its work area light: what is left dark is the
    // taskbar's strip.
    void display(std::ostream &out, long index, const Box &display, const Box &workarea) const
    {
        const long percent = std::lround(simhost_display_scale(index) * 100);
        out << "<g class=\"display" << (index == 0 ? " primary" : "") << "\" data-display=\"" << numbers(display)
            << "\" data-workarea=\"" << numbers(workarea) << "\">\n"
            << "<rect class=\"display-area\" " << rect(display) << " fill=\"#4b5563\"/>\n"
            << "<rect class=\"workarea\" " << rect(workarea) << " fill=\"#dde5ee\" stroke=\"#4b5563\" stroke-width=\""
            << num(1 / scale_) << "\"/>\n"
            << "<text x=\"" << workarea.x + px(6) << "\" y=\"" << workarea.bottom() - px(6)
            << "\" fill=\"#4b5563\">display " << index + 1 << (index == 0 ? " (primary) " : " ")
            << placement(display) << (percent != 100 ? ", scale " + std::to_string(percent) + "%" : "")
            << ", work area " << placement(workarea) << "</text>\n</g>\n";
    }

    // A patch window names the patcher it shows (its path of ids) in
    // data-shows.
    void window(std::ostream &out, int id, const Window &w, const nlohmann::json *patcher = nullptr,
                const std::string &shows = "", const std::string &clicked = "", const Texts &texts = {}) const
    {
        out << "<g class=\"window" << (w.visible ? "" : " hidden") << (w.topmost ? " topmost" : "")
            << (w.toolwindow ? " toolwindow" : "") << (w.active ? " active" : "") << "\" data-title=\""
            << xml_text(w.title) << "\" data-frame=\"" << numbers(w.frame) << "\" data-client=\"" << numbers(w.client)
            << "\"" << (patcher ? " data-shows=\"" + xml_text(shows) + "\"" : "")
            << (w.visible ? "" : " opacity=\"0.6\"") << ">\n"
            << "<clipPath id=\"window" << id << "\"><rect " << rect(w.frame) << "/></clipPath>\n";
        const std::string dashes =
            w.visible ? "" : " stroke-dasharray=\"" + num(6 / scale_) + " " + num(4 / scale_) + "\"";
        const std::string stroke = " stroke=\"#1f2937\" stroke-width=\"" + num((w.active ? 2.5 : 1.5) / scale_) + "\"";
        out << "<rect class=\"frame\" " << rect(w.frame) << " fill=\"" << (w.topmost ? "#f0b44c" : "#9db4d0") << "\""
            << (w.visible ? "" : " fill-opacity=\"0.35\"") << stroke << dashes << "/>\n"
            << "<rect class=\"client\" " << rect(w.client) << " fill=\"#ffffff\""
            << (w.visible ? "" : " fill-opacity=\"0.35\"") << stroke << dashes << "/>\n"
            << "<g clip-path=\"url(#window" << id << ")\" fill=\"#111827\">\n";
        if (patcher) {
            cords(out, w, *patcher);
            boxes(out, w, *patcher, clicked, texts);
        }
        // The title goes in the caption when the caption is as high as the
        // text, else just above the frame.
        const bool in_caption = w.client.y - w.frame.y >= px(12);
        const std::string title = "<text class=\"title\" x=\"" + std::to_string(w.frame.x + px(5)) + "\" y=\"" +
                                  std::to_string(in_caption ? w.client.y - px(3) : w.frame.y - px(3)) +
                                  "\" font-weight=\"bold\">" + xml_text(w.title) + "</text>\n";
        // over a patch's boxes the labels go to the bottom of the content
        const long long label = patcher ? w.client.bottom() - px(26) : w.client.y + px(15);
        out << (in_caption ? title : "")
            << "<text class=\"coords\" x=\"" << w.client.x + px(5) << "\" y=\"" << label << "\">"
            << "client " << placement(w.client) << "</text>\n";
        if (!marks(w).empty())
            out << "<text class=\"marks\" x=\"" << w.client.x + px(5) << "\" y=\"" << label + px(16)
                << "\" font-style=\"italic\">" << marks(w) << "</text>\n";
        out << "</g>\n" << (in_caption ? "" : title) << "</g>\n";
    }

    // The boxes of the patcher the window shows, where the file lays them
    // out in its content, each with the text it shows now; the box clicked
    // last framed in red. An object or message box grows to hold its text,
    // a comment wraps at its width and runs down as far as it needs.
    void boxes(std::ostream &out, const Window &w, const nlohmann::json &patcher, const std::string &clicked,
               const Texts &texts) const
    {
        out << "<g class=\"boxes\">\n";
        for (const auto &[id, b] : placed(w, patcher)) {
            const std::string cls = b.json->value("maxclass", "");
            const bool mark = id == clicked, comment = cls == "comment";
            const auto now = texts.find(id);
            const nlohmann::json &file_text = b.json->value("text", nlohmann::json());
            const std::string text = now != texts.end() ? now->second
                                     : file_text.is_string() ? file_text.get<std::string>() : cls;
            const nlohmann::json &size = b.json->value("fontsize", nlohmann::json(box_font));
            const long long font = size.is_number() ? std::clamp<long long>(whole(size.get<double>()), 6, 72) : box_font;
            const std::vector<std::string> lines =
                comment ? wrapped(text, b.at.w, font) : std::vector<std::string>{text};
            const long long width = comment ? b.at.w : std::max(b.at.w, text_width(text, font) + 6);
            out << "<g class=\"box" << (mark ? " clicked" : "") << "\" data-id=\"" << xml_text(id)
                << "\" data-text=\"" << xml_text(text) << "\"><rect " << rect(Box{b.at.x, b.at.y, width, b.at.h})
                << " fill=\"" << (comment ? "none" : cls == "message" ? "#e5e7eb" : "#ffffff") << "\" stroke=\""
                << (mark ? "#b03030" : comment ? "none" : "#6b7280") << "\" stroke-width=\""
                << num((mark ? 3 : 1) / scale_) << "\"/><text fill=\"#111827\" font-size=\"" << font << "\"";
            out << (b.json->value("fontface", nlohmann::json(0)) == nlohmann::json(1) ? " font-weight=\"bold\">" : ">");
            for (size_t i = 0; i < lines.size(); ++i)
                out << "<tspan x=\"" << b.at.x + 3 << "\" y=\"" << b.at.y + font + 3 + (font + 2) * (long long)i
                    << "\">" << xml_text(lines[i]) << "</tspan>";
            out << "</text></g>\n";
        }
        out << "</g>\n";
    }

    // A patch cord from the bottom of its source's outlet to the top of its
    // destination's inlet, the outlets and inlets spread over the box.
    void cords(std::ostream &out, const Window &w, const nlohmann::json &patcher) const
    {
        const std::map<std::string, Placed> at = placed(w, patcher);
        out << "<g class=\"cords\" stroke=\"#4b5563\" stroke-width=\"" << num(1 / scale_) << "\">\n";
        for (const nlohmann::json &item : patcher.value("lines", nlohmann::json::array())) {
            const nlohmann::json cord = item.is_object() ? item.value("patchline", nlohmann::json()) : nlohmann::json();
            const std::optional<End> from = end_of(cord, "source", at), to = end_of(cord, "destination", at);
            if (!from || !to)
                continue;
            const long long x1 = port(*from, "numoutlets"), x2 = port(*to, "numinlets");
            out << "<line class=\"cord\" data-cord=\"" << xml_text(from->id) << ":" << from->port << " "
                << xml_text(to->id) << ":" << to->port << "\" x1=\"" << x1 << "\" y1=\"" << from->box->at.bottom()
                << "\" x2=\"" << x2 << "\" y2=\"" << to->box->at.y << "\"/>\n";
        }
        out << "</g>\n";
    }

    // The x of an end's outlet or inlet: the first at the box's left, the
    // last at its right, the others evenly between.
    long long port(const End &e, const char *count_key) const
    {
        const nlohmann::json &n = e.box->json->value(count_key, nlohmann::json(1));
        const long long count = n.is_number_integer() ? std::max(n.get<long long>(), 1LL) : 1;
        const long long span = std::max(e.box->at.w - px(6), 0LL), port = std::min(e.port, count - 1);
        return e.box->at.x + px(3) + (count > 1 ? span * std::max(port, 0LL) / (count - 1) : 0);
    }

    // Text widths are guessed from the font size: DejaVu Sans averages a
    // little under six tenths of an em a character.
    static long long text_width(const std::string &text, long long font)
    {
        return box_char * font / box_font * (long long)text.size();
    }

    // A comment's text in lines that fit width, broken at blanks.
    static std::vector<std::string> wrapped(const std::string &text, long long width, long long font)
    {
        const size_t fit = (size_t)std::max(width / std::max(box_char * font / box_font, 1LL), 8LL);
        std::vector<std::string> lines;
        std::istringstream words(text);
        for (std::string word; words >> word;) {
            if (!lines.empty() && lines.back().size() + 1 + word.size() <= fit)
                lines.back() += " " + word;
            else
                lines.push_back(word);
        }
        return lines.empty() ? std::vector<std::string>{""} : lines;
    }

    // A cross on the centre of a work area, the point centred editors are
    // placed by; drawn over the windows, since a centred editor covers it.
    void centre(std::ostream &out, const Box &workarea) const
    {
        const long long cx = workarea.x + workarea.w / 2, cy = workarea.y + workarea.h / 2;
        out << "<path class=\"centre\" data-centre=\"" << cx << " " << cy << "\" d=\"M" << cx - px(8) << " " << cy
            << "h" << px(16) << "M" << cx << " " << cy - px(8) << "v" << px(16)
            << "\" stroke=\"#b03030\" stroke-width=\"" << num(1.5 / scale_) << "\"/>\n";
    }

    // An arrow pointer with its tip on the mouse position.
    void mouse(std::ostream &out) const
    {
        if (!view_.meets(Box{mouse_.x, mouse_.y, 1, 1}))
            return;
        const long long x = mouse_.x, y = mouse_.y;
        out << "<g class=\"mouse\" data-mouse=\"" << x << " " << y << "\">\n<polygon points=\"" << x << "," << y
            << " " << x << "," << y + px(21) << " " << x + px(5) << "," << y + px(16) << " " << x + px(9) << ","
            << y + px(24) << " " << x + px(12) << "," << y + px(22) << " " << x + px(8) << "," << y + px(15) << " "
            << x + px(15) << "," << y + px(15) << "\" fill=\"#ffffff\" stroke=\"#000000\" stroke-width=\""
            << num(1.5 / scale_) << "\" stroke-linejoin=\"round\"/>\n</g>\n";
    }

    void legend(std::ostream &out, const std::vector<Window> &off_view) const
    {
        const bool mouse_shown = view_.meets(Box{mouse_.x, mouse_.y, 1, 1});
        out << "<g class=\"legend\" fill=\"#1f2937\" font-size=\"" << px(11) << "\">\n"
            << "<text x=\"" << view_.x + px(8) << "\" y=\"" << view_.bottom() + px(14)
            << "\">Dark: display; light: its work area, + its centre. Orange frame: topmost; dashed: hidden. Mouse "
            << (mouse_shown ? "" : "(off view) ") << "at " << mouse_.x << "," << mouse_.y << ".</text>\n";
        int line = 1;
        for (const Window &w : off_view)
            out << "<text class=\"offview\" data-title=\"" << xml_text(w.title) << "\" data-frame=\""
                << numbers(w.frame) << "\" data-client=\"" << numbers(w.client) << "\" x=\"" << view_.x + px(8)
                << "\" y=\"" << view_.bottom() + px(14) + px(18) * line++ << "\">Off view: "
                << xml_text(w.title) << ", frame " << placement(w.frame)
                << (marks(w).empty() ? "" : " (" + marks(w) + ")") << "</text>\n";
        out << "</g>\n";
    }

private:
    // A patch's boxes are drawn in its own pixels, as Max draws them at
    // 100%: their texts keep the patch's proportions, not the labels' size.
    static constexpr long long box_font = 12, box_char = 7;

    double scale_;
    Box desktop_;
    Point mouse_;
    Box view_{}, picture_{};
};

} // namespace

// Text for XML content and attribute values. Window titles are whatever a
// program set: bytes that are no UTF-8 (an ANSI title) and control
// characters, which XML cannot hold at all, become '?'.
std::string xml_text(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const size_t n = utf8_length(s, i);
            out += n ? s.substr(i, n) : "?";
            i += n ? n : 1;
            continue;
        }
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c < 0x20 ? '?' : char(c);
        }
        ++i;
    }
    return out;
}

namespace {

// Each display with its work area, the primary one first.
std::vector<std::pair<Box, Box>> displays_now()
{
    std::vector<std::pair<Box, Box>> displays;
    for (long i = 0, n = simhost_display_count(); i < n; ++i) {
        t_rect display, workarea;
        simhost_display_get(i, &display, &workarea);
        displays.emplace_back(from_rect(display), from_rect(workarea));
    }
    return displays;
}

// The top-level windows, bottom first, as they are painted.
std::vector<Window> windows_now()
{
    std::vector<HWND> order; // top first, as EnumWindows gives them
    EnumWindows(collect, reinterpret_cast<LPARAM>(&order));
    std::vector<Window> windows;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        windows.push_back(measure(*it));
    return windows;
}

using nlohmann::json;

const json *box_patcher(const json &patcher, const std::string &id)
{
    const auto boxes = patcher.find("boxes");
    if (boxes == patcher.end() || !boxes->is_array())
        return nullptr;
    for (const json &item : *boxes) {
        const auto b = item.find("box");
        if (b != item.end() && b->is_object() && b->value("id", json()) == id && b->contains("patcher"))
            return &(*b)["patcher"];
    }
    return nullptr;
}

// The patcher a patch window shows: the one holding the box clicked last
// (a path of ids), else the first tab of a patch shown on tabs, else the top.
// path becomes its path of ids ("" for the top).
const json *shown_patcher(const json &root, const std::string &clicked, std::string &path)
{
    path = clicked.substr(0, clicked.rfind('/') == std::string::npos ? 0 : clicked.rfind('/'));
    const auto top = root.is_object() ? root.find("patcher") : root.end();
    if (!root.is_object() || top == root.end() || !top->is_object())
        return nullptr;
    const json *level = &*top;
    for (size_t from = 0, slash = clicked.find('/'); slash != std::string::npos;
         from = slash + 1, slash = clicked.find('/', from)) {
        level = box_patcher(*level, clicked.substr(from, slash - from));
        if (!level || !level->is_object())
            return nullptr;
    }
    if (!clicked.empty() || top->value("showrootpatcherontab", json(1)) != json(0))
        return level;
    const auto boxes = top->find("boxes");
    if (boxes == top->end() || !boxes->is_array())
        return level;
    for (const json &item : *boxes) // by reference: the patcher returned lives in root
        if (item.is_object() && item.value("box", json()).is_object() &&
            item["box"].value("patcher", json()).is_object() &&
            item["box"]["patcher"].value("showontab", json(0)) != json(0)) {
            path = item["box"].value("id", "");
            return &item["box"]["patcher"];
        }
    return level;
}

} // namespace

std::string World::picture() const
{
    const std::vector<std::pair<Box, Box>> displays = displays_now();
    Point mouse{0, 0};
    simhost_mouse_get(&mouse.x, &mouse.y);
    Box desktop{0, 0, 0, 0};
    for (size_t i = 0; i < displays.size(); ++i)
        desktop = i == 0 ? displays[i].first : unite(desktop, displays[i].first);
    const std::vector<Window> windows = windows_now();

    Canvas canvas(desktop, mouse);
    // Windows off view are listed by title; untitled ones are the host's
    // helper windows, which no user sees.
    std::vector<Window> off_view;
    for (const Window &w : windows)
        if (!w.frame.meets(canvas.view()) && !w.title.empty())
            off_view.push_back(w);

    std::ostringstream out;
    canvas.begin(out, off_view.size(), background_);
    out << "<g class=\"displays\">\n";
    for (size_t i = 0; i < displays.size(); ++i)
        canvas.display(out, long(i), displays[i].first, displays[i].second);
    out << "</g>\n";
    canvas.axes(out);
    out << "<g class=\"windows\">\n";
    const json patch = json::parse(source_, nullptr, false);
    std::string shown_path;
    const json *shown = shown_patcher(patch, clicked_, shown_path);
    Texts texts;
    for (const Entry &e : entries_)
        if (e.alive && !e.id.empty() && e.parent == shown_path)
            texts[e.id] = simhost_box_text(e.box);
    const HWND patch_window = static_cast<HWND>(simhost_patcher_window(patcher_));
    const std::string clicked_id = clicked_.substr(clicked_.rfind('/') + 1);
    int id = 0;
    for (const Window &w : windows)
        if (w.frame.meets(canvas.view()))
            canvas.window(out, ++id, w, w.hwnd == patch_window ? shown : nullptr, shown_path, clicked_id, texts);
    out << "</g>\n";
    for (const auto &d : displays)
        canvas.centre(out, d.second);
    canvas.mouse(out);
    canvas.legend(out, off_view);
    out << "</svg>\n";
    return out.str();
}

namespace {

void write(const std::filesystem::path &file, const std::string &text, const std::string &what)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        throw Error("cannot write the " + what + " " + file.string());
}

bool is_png(const std::string &path)
{
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
}

#ifdef _WIN32
void convert(const std::filesystem::path &, const std::filesystem::path &)
{
    throw Error("PNG pictures are made natively only, with rsvg-convert; under Windows ask for FILE.svg");
}
#else
// rsvg-convert (librsvg) draws the SVG; the same picture gives the same PNG.
void convert(const std::filesystem::path &svg, const std::filesystem::path &png)
{
    const std::string out = png.string(), in = svg.string();
    const char *argv[] = {"rsvg-convert", "-o", out.c_str(), in.c_str(), nullptr};
    pid_t child = 0;
    int status = 0;
    const bool ran = posix_spawnp(&child, "rsvg-convert", nullptr, nullptr, const_cast<char *const *>(argv),
                                  environ) == 0 &&
                     waitpid(child, &status, 0) == child;
    std::error_code ignored;
    std::filesystem::remove(svg, ignored);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error("rsvg-convert could not make the picture " + out);
}
#endif

} // namespace

void World::write_out(const std::string &path, const std::string &text, const std::string &what) const
{
    write(std::filesystem::path(pictures_) / path, text, what);
}

// FILE.png is drawn from the SVG picture, which is kept beside it meanwhile.
void World::snapshot(const std::string &path) const
{
    const std::filesystem::path file = std::filesystem::path(pictures_) / path;
    if (!is_png(path)) {
        write(file, picture(), "picture");
        return;
    }
    std::filesystem::path svg = file;
    svg += ".svg";
    write(svg, picture(), "picture");
    convert(svg, file);
}

} // namespace testkit
