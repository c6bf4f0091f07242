#!/usr/bin/env python3
"""Reads ctest's output on stdin and prints a line as each test program
finishes (all of its tests have run), with the running count of tests.

usage: ctest --preset P [-R REGEX] | scripts/progress.py P [REGEX]

The tests of a program are found with ctest --show-only: a GoogleTest
program's tests share its executable; the other tests (korvel-sim runs,
scripts) are grouped by their name up to the first dot. Nothing here may
fail the pipeline: without the list, only the running count is printed."""
import json
import os
import re
import subprocess
import sys

# "  12/292 Test  #45: NAME .....   Passed    0.01 sec"; a NAME may hold blanks.
DONE = re.compile(r"^\s*(\d+)/(\d+) Test\s+#\d+: (.*?) \.*\s*\**(\w[\w ]*?)\s+[\d.]+ sec\s*$")


def programs(preset, regex):
    """Maps each test's name to the program it belongs to."""
    command = ["ctest", "--preset", preset, "--show-only=json-v1"] + (["-R", regex] if regex else [])
    try:
        listing = json.loads(subprocess.run(command, capture_output=True, text=True, check=True).stdout)
    except (OSError, ValueError, subprocess.CalledProcessError):
        return {}
    owner = {}
    for test in listing.get("tests", []):
        command = test.get("command") or [""]
        executable = os.path.basename(command[0])
        gtest = any(arg.startswith("--gtest_filter=") for arg in command)
        owner[test["name"]] = executable if gtest else test["name"].split(".")[0]
    return owner


def main():
    owner = programs(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "")
    left = {}
    for program in owner.values():
        left[program] = left.get(program, 0) + 1
    failed = {}
    for line in sys.stdin:
        match = DONE.match(line)
        if not match:
            continue
        count, total, name, result = match.groups()
        program = owner.get(name, name)
        if result != "Passed":
            failed[program] = failed.get(program, 0) + 1
        left[program] = left.get(program, 1) - 1
        if left[program] == 0:
            bad = failed.get(program, 0)
            how = f"{bad} FAILED" if bad else "ok"
            print(f"  {count:>4}/{total} tests  {program}: {how}", flush=True)


if __name__ == "__main__":
    main()
