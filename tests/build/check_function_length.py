#!/usr/bin/env python3
"""Names every function in the given C++ files that runs over a number of
lines, by the start and end lines ctags gives it, and fails if there is one.
Usage: check_function_length.py CTAGS MAX_LINES FILE..."""

import subprocess
import sys


def functions(ctags, files):
    """(file, name, first line, last line) of each function definition."""
    out = subprocess.run([ctags, "--language-force=C++", "--kinds-C++=f", "--fields=+ne", "-o", "-"] + files,
                         check=True, capture_output=True, text=True).stdout
    found = []
    for line in out.splitlines():
        cols = line.split("\t")
        fields = dict(c.split(":", 1) for c in cols[3:] if ":" in c)
        if "line" in fields and "end" in fields:
            found.append((cols[1], cols[0], int(fields["line"]), int(fields["end"])))
    return found


def too_long(ctags, most, files):
    return [f"{path}:{first}: {name} runs {last - first + 1} lines, more than {most}"
            for path, name, first, last in functions(ctags, files) if last - first + 1 > most]


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    found = too_long(argv[1], int(argv[2]), argv[3:])
    for problem in found:
        print(problem)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
