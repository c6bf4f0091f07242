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

const char style[] = R"(<style>
body { font-family: DejaVu Sans, sans-serif; margin: 1.5em; color: #1f2937; background: #ffffff; }
h1 { font-size: 1.4em; }
.summary { font-weight: bold; }
.summary.failed, .step.failed h2 { color: #b03030; }
section.step { border-left: 4px solid #9db4d0; margin: 0.8em 0; padding: 0.2em 0.8em; }
section.step.failed { border-left-color: #b03030; background: #fdf0f0; }
section.step.quiet { border-left-color: #e5e7eb; }
section.step h2 { font-size: 1em; margin: 0.3em 0; font-weight: normal; }
section.step h2 .number { color: #6b7280; display: inline-block; min-width: 3em; }
pre { margin: 0.2em 0; white-space: pre-wrap; }
pre.comments { color: #4b5563; font-style: italic; }
pre.transcript { background: #f3f4f6; padding: 0.3em; }
pre.failure { color: #b03030; font-weight: bold; }
figure { margin: 0.5em 0; }
figure svg { max-width: min(100%, 760px); height: auto; border: 1px solid #d1d5db; }
</style>
)";

} // namespace

void Report::add(const Player::Step &step, const std::string &picture)
{
    const bool changed = picture != last_picture_;
    failures_ += step.failures.size();
    std::string cls = "step";
    if (!step.failures.empty())
        cls += " failed";
    if (!changed && step.transcript.empty() && step.failures.empty())
        cls += " quiet";
    const std::string id = "step-" + std::to_string(++steps_);
    body_ += "<section class=\"" + cls + "\" id=\"" + id + "\" data-line=\"" + std::to_string(step.number) + "\">\n";
    if (!step.comments.empty())
        body_ += "<pre class=\"comments\">" + html_escape(step.comments) + "</pre>\n";
    body_ += "<h2><span class=\"number\">" + (step.number ? std::to_string(step.number) : std::string()) +
             "</span><code class=\"line\">" + html_escape(step.line) + "</code></h2>\n";
    if (!step.transcript.empty())
        body_ += lines_block("transcript", step.transcript);
    for (const std::string &f : step.failures)
        body_ += "<pre class=\"failure\">expectation failed: " + html_escape(f) + "</pre>\n";
    if (changed) {
        body_ += "<figure class=\"desktop\">" + inline_svg(picture, id) + "</figure>\n";
        last_picture_ = picture;
        ++pictures_;
    }
    body_ += "</section>\n";
}

void Report::stop(const std::string &error)
{
    ++failures_;
    body_ += "<section class=\"step failed stopped\">\n<pre class=\"failure\">stopped: " + html_escape(error) +
             "</pre>\n</section>\n";
}

std::string Report::html() const
{
    const std::string summary = std::to_string(steps_) + " steps, " + std::to_string(pictures_) + " pictures, " +
                                (failures_ ? std::to_string(failures_) + " failed" : std::string("nothing failed"));
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + html_escape(title_) +
           "</title>\n" + style + "</head>\n<body>\n<h1>" + html_escape(title_) + "</h1>\n<p class=\"summary" +
           (failures_ ? " failed" : "") + "\" data-steps=\"" + std::to_string(steps_) + "\" data-pictures=\"" +
           std::to_string(pictures_) + "\" data-failures=\"" + std::to_string(failures_) + "\">" + summary +
           "</p>\n" + body_ + "</body>\n</html>\n";
}

} // namespace testkit
