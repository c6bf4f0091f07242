"""The HTML report as people see it: korvel-sim plays the help patch's tour
with --report, headless Chromium loads the page from disk (no network),
dumps the DOM it built and takes a screenshot; the DOM must hold every step,
the pictures where the desktop changed and the editor where the tour put it.
A scenario whose expectation fails gives a page that marks it; a snapshot
named .png is a PNG.

usage: check_report.py KORVEL_SIM HELP_PATCH TOUR FAILING_SCENARIO
Exits 77 (skipped) when there is no chromium: scripts/setup.sh all installs it."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync"]
WIDTH, HEIGHT = 1000, 1400
# Seconds after which a chromium run counts as hung: each takes a few seconds,
# and on a 2-core machine busy with other work some ten times that.
HUNG = 600


class Dom(HTMLParser):
    """The elements with their attributes, and the text of each step's line
    and transcript, in document order."""

    def __init__(self, text):
        super().__init__()
        self.elements, self.steps, self.open = [], [], []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.elements.append((tag, attrs))
        classes = attrs.get("class", "").split()
        if tag == "section" and "step" in classes:
            self.steps.append({"classes": classes, "id": attrs.get("id"), "line": "", "transcript": "", "failure": "",
                               "mark": "", "box": "", "windows": [], "boxes": [], "cords": 0, "app": []})
        elif tag == "g" and "window" in classes and self.steps:
            self.steps[-1]["windows"].append(attrs)
        elif tag == "g" and "box" in classes and self.steps:
            self.steps[-1]["boxes"].append(attrs)
        elif tag == "line" and "cord" in classes and self.steps:
            self.steps[-1]["cords"] += 1
        elif tag == "svg" and "data-app" in attrs and self.steps:
            self.steps[-1]["app"].append(attrs["data-app"])
        self.open.append(next((k for k in ("line", "transcript", "failure", "box") if k in classes and tag != "g"),
                              "mark" if "met" in classes and tag == "span" else None))

    def handle_endtag(self, tag):
        if self.open:
            self.open.pop()

    def handle_data(self, data):
        field = next((f for f in reversed(self.open) if f), None)
        if field and self.steps:
            self.steps[-1][field] += data


def page_text(page):
    with open(page, encoding="utf-8") as file:
        return file.read()


def fail(message):
    print(message)
    sys.exit(1)


def chromium(folder, page, *args):
    run = subprocess.run(["chromium", *CHROMIUM_FLAGS, "--user-data-dir=" + os.path.join(folder, "profile"),
                          *args, "file://" + page], capture_output=True, text=True, check=False, timeout=HUNG)
    if run.returncode != 0:
        fail(f"chromium exited with {run.returncode}:\n{run.stderr[-2000:]}")
    return run.stdout


def report(folder, name, *files):
    page = os.path.join(folder, name)
    run = subprocess.run([sys.argv[1], "--pictures", folder, "--report", page, *files],
                         capture_output=True, text=True, check=False)
    return run, page


def check_tour(folder):
    run, page = report(folder, "tour.html", sys.argv[2], sys.argv[3])
    if run.returncode != 0:
        fail(f"the tour failed:\n{run.stderr}")
    dom = Dom(chromium(folder, page, "--dump-dom"))
    summary = next(a for t, a in dom.elements if t == "p" and "summary" in a.get("class", ""))
    if summary["data-failures"] != "0" or int(summary["data-steps"]) != len(dom.steps):
        fail(f"summary {summary} against {len(dom.steps)} steps")
    pictures = sum(1 for t, a in dom.elements if t == "figure")
    # a picture where the desktop changed as a person sees it, not one a line
    if pictures != int(summary["data-pictures"]) or not 10 <= pictures <= 30 \
            or sum(t == "svg" for t, a in dom.elements) != pictures:
        fail(f"{pictures} figures, summary says {summary['data-pictures']}")
    expects = [s for s in dom.steps if s["line"].startswith("expect ")]
    if not expects or any("met" not in s["classes"] or "\u2713" not in s["mark"] for s in expects) \
            or not summary["data-met"] == summary["data-expectations"] == str(len(expects)) or len(expects) < 15:
        fail(f"expectations met unmarked: {expects}, summary {summary}")
    # every tab expects something; each click names its box as it shows
    for tab in ("basics", "placement", "visibility", "changes", "persistence"):
        if not any(s["line"].startswith("expect ") and any(p["line"].startswith(f"click {tab}/") for p in dom.steps[
                :dom.steps.index(s)][-12:]) for s in expects):
            fail(f"no expectation in the tab {tab}")
    clicks = [s for s in dom.steps if s["line"].startswith("click ")]
    if not clicks or any(not (s["box"].startswith("[") and s["box"].endswith("(")) for s in clicks) \
            or not any(s["box"] == "[open 100 200(" for s in clicks):
        fail(f"click steps without their message box: {[(s['line'], s['box']) for s in clicks]}")
    # Max in the background pictured, and the patch drawn with its cords
    if not any("background" in s["app"] for s in dom.steps) or not any(s["cords"] >= 10 for s in dom.steps):
        fail("no picture of Max in the background, or no cords drawn")
    if "Off view: (untitled)" in page_text(page) or "max-width" in page_text(page).split("figure svg")[-1][:80]:
        fail("helper windows listed, or pictures squeezed below their size")
    ids = [a["id"] for t, a in dom.elements if t == "clippath" and "id" in a]
    if len(ids) != len(set(ids)):
        fail("clip paths share ids across the pictures")
    if not dom.steps[0]["line"].startswith("open ") or "patch vst~ obj-1/obj-9 name synth plugin -" \
            not in dom.steps[0]["transcript"]:
        fail(f"the first step is not the patch's opening: {dom.steps[0]}")
    # The first open: the first picture after its report shows the editor there.
    at = next((i for i, s in enumerate(dom.steps) if "out qzkorvel#1 state 100 200 640 480 1" in s["transcript"]), 0)
    opened = next((s for s in dom.steps[at:] if s["windows"]), None)
    if not at or not opened or not any(w.get("data-title") == "MyPlugin" and w.get("data-client") == "100 200 640 480"
                             for w in opened["windows"]):
        fail(f"no picture of the editor at 100,200 with the report of it: {opened}")
    # the patch window drawn with its boxes, the one just clicked marked
    clicked = [b.get("data-id") for b in opened["boxes"] if "clicked" in b.get("class", "")]
    if len(opened["boxes"]) < 10 or clicked != ["obj-5"]:
        fail(f"the patch window's boxes: {len(opened['boxes'])}, clicked {clicked}")
    shot = os.path.join(folder, "tour.png")
    chromium(folder, page, f"--window-size={WIDTH},{HEIGHT}", "--screenshot=" + shot)
    with open(shot, "rb") as file:
        head = file.read(24)
        size = os.path.getsize(shot)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", head[16:24]) != (WIDTH, HEIGHT) or size < 20000:
        fail(f"the screenshot is no {WIDTH}x{HEIGHT} picture of a page ({size} bytes)")


def check_failure(folder):
    run, page = report(folder, "failed.html", sys.argv[4])
    if run.returncode != 1 or "wanted a line" not in run.stderr:
        fail(f"a failed expectation: exit {run.returncode}\n{run.stderr}")
    with open(page, encoding="utf-8") as file:
        dom = Dom(file.read())
    failed = [s for s in dom.steps if "failed" in s["classes"]]
    if len(failed) != 1 or not failed[0]["line"].startswith("expect ") or "wanted" not in failed[0]["failure"]:
        fail(f"the page does not mark the one failed expectation: {failed}")
    # the summary at the top links the failure
    links = [a.get("href") for t, a in dom.elements if t == "a"]
    first_step = next(i for i, (t, a) in enumerate(dom.elements) if t == "section")
    top = [a.get("href") for t, a in dom.elements[:first_step] if t == "a"]
    if top != links or top != ["#" + failed[0]["id"]]:
        fail(f"the summary links {top}, the failed step is {failed[0]['id']}")


def check_png(folder):
    """snapshot FILE.png: a PNG of the picture's size, and no SVG left over."""
    scenario = os.path.join(folder, "png.ksim")
    with open(scenario, "w", encoding="utf-8") as file:
        file.write("box synth = vst~\nsnapshot desktop.png\n")
    run = subprocess.run([sys.argv[1], "--pictures", folder, scenario], capture_output=True, text=True, check=False)
    with open(os.path.join(folder, "desktop.png"), "rb") as file:
        head = file.read(24)
    if run.returncode != 0 or head[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", head[16:24])[0] < 500 \
            or os.path.exists(os.path.join(folder, "desktop.png.svg")):
        fail(f"snapshot desktop.png: exit {run.returncode} {run.stderr}, header {head!r}")


def main():
    if not shutil.which("chromium"):
        print("no chromium (scripts/setup.sh all installs it)")
        return 77
    with tempfile.TemporaryDirectory(prefix="qzkorvel-report-") as folder:
        check_tour(folder)
        check_failure(folder)
        check_png(folder)
    print("the tour's report and a failed one check out in Chromium")
    return 0


if __name__ == "__main__":
    sys.exit(main())
