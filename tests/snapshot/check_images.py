"""The pictures in docs/images are what scripts/pictures.sh makes now: each
example it plays gives the committed SVG byte for byte, and the committed
PNG is rsvg-convert's picture of it.

usage: check_images.py KORVEL_SIM SOURCE_DIR"""
import os
import subprocess
import sys
import tempfile

EXAMPLES = ["centred-open", "out-of-view", "left-display"]


def same(made, committed):
    with open(made, "rb") as a, open(committed, "rb") as b:
        return a.read() == b.read()


def main():
    sim, source = sys.argv[1], sys.argv[2]
    images = os.path.join(source, "docs", "images")
    stale = []
    with tempfile.TemporaryDirectory(prefix="qzkorvel-images-") as folder:
        for name in EXAMPLES:
            subprocess.run([sim, "--pictures", folder, os.path.join(source, "examples", name + ".ksim")],
                           stdout=subprocess.DEVNULL, check=True)
            svg, png = os.path.join(folder, name + ".svg"), os.path.join(folder, name + ".png")
            subprocess.run(["rsvg-convert", svg, "-o", png], check=True)
            stale += [f"docs/images/{os.path.basename(f)}" for f in (svg, png)
                      if not same(f, os.path.join(images, os.path.basename(f)))]
    for name in stale:
        print(f"{name} is stale: run scripts/pictures.sh and commit what it makes")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
