#!/usr/bin/env python3
"""The referee: plays every scenario natively and under Wine and compares the
two transcripts line for line.

    compare_transcripts.py DIFFERENCES NATIVE_BIN WINDOWS_BIN EMULATOR...

The scenario tests print their transcripts when KORVEL_TRANSCRIPTS=1 (see
tests/transcript.h): every example of examples/ and every case of
scenario_test.cpp (scenario_tests), and the help patch's tour (patch_tests).
NATIVE_BIN holds the native build's programs, WINDOWS_BIN the Windows
build's, which run through EMULATOR.

DIFFERENCES declares where the two may differ, each with its reason:

    [SCENARIO] why they differ, on one line
    - a native line
    + the line under Wine in its place

Each declared pair must be found, in order, in that scenario's transcripts;
everything else must be identical. Exits 1 on any other difference, on a
declared one that no longer occurs, and when a scenario is missing on
either side."""
import difflib
import os
import subprocess
import sys

import differences

PROGRAMS = [
    ("scenario_tests", "*/Scenario.*:*/Example.*"),
    ("patch_tests", "HelpPatch.TourPrintsTheReviewedTranscript"),
]


def transcripts(command, where):
    """{scenario: [lines]} from the marked lines of the programs' output. They
    run in the folder where, which gets the pictures the examples take."""
    found = {}
    env = dict(os.environ, KORVEL_TRANSCRIPTS="1")
    for program, tests in PROGRAMS:
        run = subprocess.run(command(program) + ["--gtest_filter=" + tests], env=env, cwd=where,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        current = None
        if "@transcript " not in run.stdout:
            sys.exit(f"{' '.join(command(program))} played no scenario:\n{run.stdout[-2000:]}")
        for line in run.stdout.splitlines():
            line = line.rstrip("\r")
            if line.startswith("@transcript "):
                current = found.setdefault(line[len("@transcript "):], [])
            elif line.startswith("@| ") and current is not None:
                current.append(line[3:])
    return found


def declared(path):
    """{scenario: (reason, [(native, [wine]), ...])}"""
    return differences.read(path, "neither [SCENARIO] reason, '- native' nor '+ wine' after it")


def diff(expected, actual):
    return "\n".join(difflib.unified_diff(expected, actual, "native (declared differences applied)", "wine",
                                          lineterm="", n=2))


def compare(native, wine, table):
    """The faults: every difference that the table does not declare."""
    faults = []
    for scenario in sorted(set(native) | set(wine)):
        if scenario not in native or scenario not in wine:
            faults.append(f"{scenario}: played {'natively' if scenario in native else 'under Wine'} only")
            continue
        _, pairs = table.get(scenario, ("", []))
        expected, missing = differences.apply(native[scenario], pairs)
        for before, after in missing:
            faults.append(f"{scenario}: the declared difference no longer occurs:\n- {before}\n+ " + "\n+ ".join(after))
        if expected != wine[scenario]:
            faults.append(f"{scenario}: the transcripts differ:\n{diff(expected, wine[scenario])}")
    for scenario in sorted(set(table) - set(native)):
        faults.append(f"{scenario}: declared, but no such scenario")
    return faults


def main():
    declarations, emulator = sys.argv[1], sys.argv[4:]
    native_bin, windows_bin = os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    if not os.path.exists(os.path.join(native_bin, PROGRAMS[0][0])):
        sys.exit(f"no {PROGRAMS[0][0]} in {native_bin}: build the native preset first")
    table = declared(declarations)
    native = transcripts(lambda program: [os.path.join(native_bin, program)], os.path.dirname(native_bin))
    wine = transcripts(lambda program: emulator + [os.path.join(windows_bin, program + ".exe")],
                       os.path.dirname(windows_bin))
    faults = compare(native, wine, table)
    print(f"{len(native)} scenarios natively, {len(wine)} under Wine, "
          f"{sum(len(p) for _, p in table.values())} declared differences in {len(table)} of them")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
