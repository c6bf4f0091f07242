"""Pictures as a user gets them: runs korvel-sim with --svg on a scenario,
parses the SVG with a real XML parser and checks that the windows stand where
the object reported them.

usage: check_svg.py CASE KORVEL_SIM [EMULATOR...]
Scenarios come from data/ beside this file and from the examples folder
(KORVEL_EXAMPLES)."""
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
SVG = "{http://www.w3.org/2000/svg}"
COMMAND = sys.argv[2:]


def korvel_sim(cwd, *args):
    return subprocess.run(COMMAND[1:] + [COMMAND[0], *args], cwd=cwd, capture_output=True, text=True, check=False)


def play(scenario, cwd):
    """Runs korvel-sim with --svg in cwd, which is its pictures folder too;
    returns its stdout and the parsed picture."""
    run = korvel_sim(cwd, "--svg", "end.svg", "--pictures", cwd, scenario)
    assert run.returncode == 0, run.stderr
    return run.stdout.replace("\r\n", "\n"), ET.parse(os.path.join(cwd, "end.svg")).getroot()


def last_state(transcript):
    states = re.findall(r"^out qzkorvel#1 state (-?\d+) (-?\d+) (\d+) (\d+) (\d)$", transcript, re.M)
    return " ".join(states[-1][:4])


def windows(root):
    return [g for g in root.iter(SVG + "g") if "window" in g.get("class", "").split()]


def window(root, title):
    found = [g for g in windows(root) if g.get("data-title") == title]
    assert len(found) == 1, f"{len(found)} windows titled {title!r}"
    return found[0]


def classes(element):
    return set(element.get("class", "").split())


def part(win, name):
    return next(r for r in win.iter(SVG + "rect") if r.get("class") == name)


def xywh(rect):
    return " ".join(rect.get(k) for k in ("x", "y", "width", "height"))


def numbers(text):
    return [int(v) for v in text.split()]


class Pictures(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def play(self, name, folder=os.path.join(HERE, "data")):
        return play(os.path.join(folder, name), self.dir.name)

    def test_placement(self):
        transcript, root = self.play("placement.ksim")
        editor = window(root, "SOMEPLUGIN")
        self.assertEqual(last_state(transcript), "100 200 640 480")
        self.assertEqual(editor.get("data-client"), "100 200 640 480")
        self.assertEqual(xywh(part(editor, "client")), "100 200 640 480")
        self.assertEqual(xywh(part(editor, "frame")), editor.get("data-frame"))
        self.assertTrue({"topmost", "toolwindow"} <= classes(editor))
        self.assertNotIn("hidden", classes(editor))
        patcher = window(root, "Untitled")
        self.assertFalse({"topmost", "toolwindow", "hidden"} & classes(patcher))
        # z-order: the topmost editor is drawn after (over) the patcher window
        drawn = windows(root)
        self.assertLess(drawn.index(patcher), drawn.index(editor))
        mouse = next(g for g in root.iter(SVG + "g") if g.get("class") == "mouse")
        self.assertEqual(mouse.get("data-mouse"), "700 500")

    def test_displays_and_off_view_windows(self):
        _, root = self.play("placement.ksim")
        displays = [g for g in root.iter(SVG + "g") if "display" in classes(g)]
        self.assertEqual([d.get("data-display") for d in displays], ["0 0 1920 1080", "1920 0 1280 1024"])
        self.assertIn("primary", classes(displays[0]))
        # The untitled helper windows at -32000,-32000 are neither drawn nor
        # listed, and the view stays around the displays.
        x, y, w, h = numbers(root.get("data-view"))
        self.assertTrue(-400 <= x < 0 and -400 <= y < 0 and 3200 < x + w <= 3600 and 1080 < y + h <= 1500, (x, y, w, h))
        self.assertEqual([t for t in root.iter(SVG + "text") if t.get("class") == "offview"], [])
        self.assertTrue(windows(root) and all(numbers(g.get("data-frame"))[0] > -32000 for g in windows(root)))

    def test_work_area_distinct_from_display(self):
        _, root = self.play("hidden.ksim")
        display = next(g for g in root.iter(SVG + "g") if "display" in classes(g))
        self.assertEqual((display.get("data-display"), display.get("data-workarea")),
                         ("0 0 1920 1080", "0 0 1920 1040"))
        self.assertEqual(xywh(part(display, "display-area")), "0 0 1920 1080")
        self.assertEqual(xywh(part(display, "workarea")), "0 0 1920 1040")
        self.assertNotEqual(part(display, "display-area").get("fill"), part(display, "workarea").get("fill"))

    def test_hidden_window_dashed(self):
        transcript, root = self.play("hidden.ksim")
        self.assertTrue(transcript.endswith("state 300 150 640 480 2\n"), transcript)
        editor = window(root, "SOMEPLUGIN")
        self.assertIn("hidden", classes(editor))
        self.assertEqual(editor.get("data-client"), "300 150 640 480")
        self.assertIsNotNone(part(editor, "frame").get("stroke-dasharray"))
        patcher = window(root, "Untitled")
        self.assertIsNone(part(patcher, "frame").get("stroke-dasharray"))

    def test_titles_escaped(self):
        transcript, root = self.play("escaping.ksim")
        name = "<R&D> 'synth' & co"
        self.assertIn(f"pluginname {name}\n", transcript)
        editor = window(root, name)
        title = next(t for t in editor.iter(SVG + "text") if t.get("class") == "title")
        self.assertEqual(title.text, name)
        self.assertEqual(editor.get("data-client"), last_state(transcript))

    def test_example_left_display(self):
        transcript, root = self.play("left-display.ksim", os.environ["KORVEL_EXAMPLES"])
        self.assertEqual(last_state(transcript), "-650 212 501 400")
        self.assertEqual(window(root, "SMALLSYNTH").get("data-client"), "-650 212 501 400")
        self.assertLess(numbers(root.get("data-view"))[0], -800)
        # the example's own snapshot line wrote into the pictures folder
        ET.parse(os.path.join(self.dir.name, "left-display.svg"))

    def test_failed_run_pictured_misuse_refused(self):
        faulty = os.path.join(HERE, "data", "faulty.ksim")
        run = korvel_sim(self.dir.name, faulty, "--svg", "end.svg")
        self.assertEqual(run.returncode, 1, run.stderr)
        self.assertIn("faulty.ksim:6: unknown box 'synht'", run.stderr)
        self.assertEqual(window(ET.parse(os.path.join(self.dir.name, "end.svg")).getroot(),
                                "SOMEPLUGIN").get("data-client"), "100 200 640 480")
        run = korvel_sim(self.dir.name, faulty, "--svg")
        self.assertEqual(run.returncode, 2)
        self.assertTrue(run.stderr.startswith("korvel-sim: --svg needs a value\nusage: korvel-sim"), run.stderr)


if __name__ == "__main__":
    suite = unittest.TestSuite([Pictures("test_" + sys.argv[1])])
    sys.exit(0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1)
