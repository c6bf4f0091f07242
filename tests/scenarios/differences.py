"""Declared differences between two transcripts of the same scenario, as the
Wine referee and the host variants' comparison read them:

    [HEAD] why they differ, on one line
    - a line of the first transcript
    + the line(s) of the second in its place (none: the line is gone)

Blank lines and lines starting with # are left out."""
import sys


def read(path, usage):
    """{HEAD: (reason, [(line, [lines in its place]), ...])}; exits with
    usage (what the file's lines may be) on a line that is none of them."""
    table = {}
    head = None
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                head, _, reason = line[1:].partition("] ")
                if not reason.strip() or not head:
                    sys.exit(f"{path}:{number}: a difference without its reason")
                table[head] = (reason, [])
            elif line.startswith("- ") and head:
                table[head][1].append((line[2:], []))
            elif line.startswith("+ ") and head and table[head][1]:
                table[head][1][-1][1].append(line[2:])
            else:
                sys.exit(f"{path}:{number}: {usage}")
    return table


def apply(lines, edits):
    """lines with each declared line replaced, found in order; the edits
    whose line was not found."""
    lines = list(lines)
    at = 0
    missing = []
    for before, after in edits:
        try:
            at = lines.index(before, at)
        except ValueError:
            missing.append((before, after))
            continue
        lines[at:at + 1] = after
        at += len(after)
    return lines, missing
