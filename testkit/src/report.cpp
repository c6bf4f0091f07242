// A play as one HTML page: every command line with the transcript lines it
// made, a picture of the desktop wherever the desktop changed, and failed
// expectations marked. The page holds everything (inline SVG, its own
// style), so that it opens anywhere without a network.
#include <algorithm>

#include "testkit.h"
#include "xml_text.h"

namespace testkit {

namespace {

// Text of one or more lines: each line as XML text, the line ends kept.
std::string html_escape(const std::string &s)
{
    std::string out;
    for (size_t start = 0, end = 0; start <= s.size(); start = end + 1) {
        end = std::min(s.find('\n', start), s.size());
        out += xml_text(s.substr(start, end - start)) + (end < s.size() ? "\n" : "");
    }
    return out;
}

// One page holds many pictures: their clip path ids get the section's id in
// front, and the XML declaration goes, as inline SVG has none.
std::string inline_svg(std::string svg, const std::string &prefix)
{
    if (svg.rfind("<?xml", 0) == 0)
        svg.erase(0, svg.find('\n') + 1);
    for (const std::string &from : {std::string("id=\"window"), std::string("url(#window")}) {
        const std::string to = from.substr(0, from.size() - 6) + prefix + "-window";
        for (size_t at = svg.find(from); at != std::string::npos; at = svg.find(from, at + to.size()))
            svg.replace(at, from.size(), to);
    }
    return svg;
}

std::string lines_block(const char *cls, const std::vector<std::string> &lines)
{
    std::string out = std::string("<pre class=\"") + cls + "\">";
    for (const std::string &l : lines)
        out += html_escape(l) + "\n";
    return out + "</pre>\n";
}

// What a person sees in a picture: the windows shown and where, the
// displays, the mouse, whether Max is in the background, which of the
// patch's patchers its window shows; read back from the picture's own data
// attributes.
// Hidden windows, activation and the helper windows off view do not count.
std::string visible(const std::string &svg)
{
    std::string seen;
    for (const char *key : {"<g class=\"window", "data-display=\"", "data-mouse=\"", "data-app=\""})
        for (size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
            const std::string element = svg.substr(at, svg.find('>', at) - at);
            const std::string cls = element.substr(0, element.find("\" ")); // a window's classes
            if (element.rfind("<g ", 0) == 0 && cls.find(" hidden") != std::string::npos)
                continue;
            const size_t client = element.find("data-client=");
            seen += (client == std::string::npos ? element : element.substr(element.find("data-title="))) + "\n";
        }
    return seen;
}

bool observes(const Player::Step &step)
{
    const std::string word = step.line.substr(0, step.line.find(' '));
    return step.number == 0 || word == "look" || word == "expect" || word == "snapshot";
}

bool expectation(const Player::Step &step)
{
    return step.line.rfind("expect ", 0) == 0;
}

const char style[] = R"(<style>
body { font-family: DejaVu Sans, sans-serif; margin: 1.5em; color: #1f2937; background: #ffffff; }
h1 { font-size: 1.4em; }
.summary { font-weight: bold; }
.summary.failed, .step.failed h2, ul.failures a { color: #b03030; }
section.step { border-left: 4px solid #9db4d0; margin: 0.8em 0; padding: 0.2em 0.8em; }
section.step.failed { border-left-color: #b03030; background: #fdf0f0; }
section.step.quiet { border-left-color: #e5e7eb; }
section.step h2 { font-size: 1em; margin: 0.3em 0; font-weight: normal; }
section.step h2 .number { color: #6b7280; display: inline-block; min-width: 3em; }
section.step h2 .box { color: #374151; background: #eef2f7; padding: 0 0.3em; }
section.step h2 .met { color: #15803d; font-weight: bold; margin-left: 0.5em; }
pre { margin: 0.2em 0; white-space: pre-wrap; }
pre.comments { color: #4b5563; font-style: italic; }
pre.transcript { background: #f3f4f6; padding: 0.3em; }
pre.failure { color: #b03030; font-weight: bold; }
figure { margin: 0.5em 0; overflow-x: auto; }
figure svg { border: 1px solid #d1d5db; }
</style>
)";

} // namespace

// A picture goes where a person looks (an expectation, a look, a snapshot,
// the end of a commented paragraph, a failure) and only when what shows
// differs from the last picture drawn; so setup lines share one.
void Report::add(const Player::Step &step, const std::string &picture)
{
    if (!step.comments.empty())
        draw(pending_, sections_.empty() ? nullptr : &sections_.back());
    pending_ = picture;
    failures_ += step.failures.size();
    if (expectation(step))
        ++expectations_;
    const bool met = expectation(step) && step.failures.empty();
    met_ += met;
    Section section{"step-" + std::to_string(sections_.size() + 1), step.failures.empty() ? "step" : "step failed",
                    step.number, step.line, ""};
    if (!step.comments.empty())
        section.html += "<pre class=\"comments\">" + html_escape(step.comments) + "</pre>\n";
    section.html += "<h2><span class=\"number\">" + (step.number ? std::to_string(step.number) : std::string()) +
                    "</span><code class=\"line\">" + html_escape(step.line) + "</code>" +
                    (step.box.empty() ? "" : " <code class=\"box\">" + html_escape(step.box) + "</code>") +
                    (met ? "<span class=\"met\" title=\"expectation met\">\u2713</span>" : "") + "</h2>\n";
    if (!step.transcript.empty())
        section.html += lines_block("transcript", step.transcript);
    for (const std::string &f : step.failures)
        section.html += "<pre class=\"failure\">expectation failed: " + html_escape(f) + "</pre>\n";
    if (met)
        section.cls += " met";
    if (step.transcript.empty() && step.failures.empty() && !expectation(step))
        section.cls += " quiet";
    sections_.push_back(section);
    if (observes(step) || !step.failures.empty())
        draw(pending_, &sections_.back(), !step.failures.empty());
}

// Puts the picture under section when it shows something new, or always.
void Report::draw(const std::string &picture, Section *section, bool always)
{
    if (!section || picture.empty() || (!always && visible(picture) == visible(last_picture_)))
        return;
    section->html += "<figure class=\"desktop\">" + inline_svg(picture, section->id) + "</figure>\n";
    if (section->cls.find(" quiet") != std::string::npos)
        section->cls.erase(section->cls.find(" quiet"));
    last_picture_ = picture;
    pending_.clear();
    ++pictures_;
}

void Report::stop(const std::string &error)
{
    draw(pending_, sections_.empty() ? nullptr : &sections_.back());
    ++failures_;
    sections_.push_back(Section{"stopped", "step failed stopped", 0, "",
                                "<pre class=\"failure\">stopped: " + html_escape(error) + "</pre>\n"});
}

// The summary: expectations met, and a link to each failure.
std::string Report::summary() const
{
    const auto count = [](size_t n, const std::string &what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    std::string text = std::to_string(met_) + " of " + count(expectations_, "expectation") + " met; " +
                       count(sections_.size(), "step") + ", " + count(pictures_, "picture") + ", " +
                       (failures_ ? std::to_string(failures_) + " failed" : std::string("nothing failed"));
    std::string out = "<p class=\"summary" + std::string(failures_ ? " failed" : "") + "\" data-steps=\"" +
                      std::to_string(sections_.size()) + "\" data-pictures=\"" + std::to_string(pictures_) +
                      "\" data-failures=\"" + std::to_string(failures_) + "\" data-expectations=\"" +
                      std::to_string(expectations_) + "\" data-met=\"" + std::to_string(met_) + "\">" + text +
                      "</p>\n";
    if (!failures_)
        return out;
    out += "<ul class=\"failures\">\n";
    for (const Section &s : sections_)
        if (s.cls.find("failed") != std::string::npos)
            out += "<li><a href=\"#" + s.id + "\">" +
                   (s.line.empty() ? std::string("stopped") : "line " + std::to_string(s.number) + ": " +
                                                                 html_escape(s.line)) +
                   "</a></li>\n";
    return out + "</ul>\n";
}

std::string Report::html()
{
    draw(pending_, sections_.empty() ? nullptr : &sections_.back());
    std::string body;
    for (const Section &s : sections_)
        body += "<section class=\"" + s.cls + "\" id=\"" + s.id + "\"" +
                (s.line.empty() ? std::string() : " data-line=\"" + std::to_string(s.number) + "\"") + ">\n" +
                s.html + "</section>\n";
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + html_escape(title_) +
           "</title>\n" + style + "</head>\n<body>\n<h1>" + html_escape(title_) + "</h1>\n" + summary() + body +
           "</body>\n</html>\n";
}

} // namespace testkit
