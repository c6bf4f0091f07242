#!/usr/bin/env python3
"""Plays every example on the default host and under each host variant, and
compares each variant's transcript with the default one.

    compare_host_variants.py DIFFERENCES KORVEL_SIM EXAMPLES_DIR HELP_PATCH PICTURES_DIR

DIFFERENCES declares where a variant's transcript may differ, each with its
reason:

    [VARIANT SCENARIO] why they differ, on one line
    - a line on the default host
    + the line(s) under the variant in its place (none: the line is gone)

Each declared line must be found, in order, in the default transcript;
everything else must be identical. [VARIANT *] declares what differs in
every example: each "- PATTERN" is a regular expression, each line of both
transcripts matching it rewritten as its "+ REPLACEMENT" says (re.sub)
before they are compared. Exits 1 on any other difference, on a
declared one that no longer occurs, and on a declaration of no example."""
import difflib
import glob
import os
import re
import subprocess
import sys

import differences


def declared(path):
    """{(variant, scenario): [(default line, [variant lines]), ...]}"""
    table = {}
    usage = "neither [VARIANT SCENARIO] reason, '- default' nor '+ variant' after it"
    for head, (_, edits) in differences.read(path, usage).items():
        variant, _, scenario = head.partition(" ")
        if not scenario:
            sys.exit(f"{path}: [{head}]: [VARIANT SCENARIO] expected")
        table[(variant, scenario)] = edits
    return table


def rewrite(lines, rules):
    """lines with each rule's pattern replaced by its replacement."""
    for pattern, replacement in rules:
        lines = [re.sub(pattern, replacement[0] if replacement else "", line) for line in lines]
    return lines


def play(korvel_sim, pictures, files, variant=None):
    command = [korvel_sim, "--pictures", pictures] + (["--host", variant] if variant else []) + files
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout.splitlines()


def main():
    declarations, korvel_sim, examples, help_patch, pictures = sys.argv[1:6]
    table = declared(declarations)
    variants = subprocess.run([korvel_sim, "--host", "list"], stdout=subprocess.PIPE, text=True,
                              check=True).stdout.split("\n")
    variants = [line.split()[0] for line in variants if line.strip()]
    scenarios = {}
    for path in sorted(glob.glob(os.path.join(examples, "*.ksim"))):
        name = os.path.basename(path)
        scenarios[name] = [help_patch, path] if name == "tour.ksim" else [path]
    faults = []
    for (variant, scenario) in sorted(set(table)):
        if variant not in variants or (scenario not in scenarios and scenario != "*"):
            faults.append(f"[{variant} {scenario}] declared, but no such variant or example")
    for scenario, files in scenarios.items():
        default = play(korvel_sim, pictures, files)
        for variant in variants:
            actual = rewrite(play(korvel_sim, pictures, files, variant), table.get((variant, "*"), []))
            expected, missing = differences.apply(rewrite(default, table.get((variant, "*"), [])),
                                                  table.get((variant, scenario), []))
            for before, _ in missing:
                faults.append(f"[{variant} {scenario}] the declared difference no longer occurs: - {before}")
            if expected != actual:
                faults.append(f"[{variant} {scenario}] the transcripts differ:\n" + "\n".join(
                    difflib.unified_diff(expected, actual, "default (declared differences applied)", variant,
                                         lineterm="", n=2)))
    print(f"{len(scenarios)} examples under {len(variants)} variants, "
          f"{sum(len(e) for e in table.values())} declared differences")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
