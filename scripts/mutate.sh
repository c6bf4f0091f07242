#!/usr/bin/env bash
# Mutation testing of the module: scripts/mutate.sh [N] puts N small faults
# (all when N is left out) into a copy of source/, one at a time, builds each
# with the native build's commands and runs the native suite on it (and the
# sanitize suite on what survives, when that build is there). Prints each
# verdict, then killed, survived, equivalent and the survivors; exits 1 when
# a mutant not declared equivalent in scripts/mutate-equivalent.txt survives.
# Takes minutes: it is not part of scripts/test.sh (the native suite only
# checks that each entry of mutate-equivalent.txt still names a mutant). Lock
# deletions are played against the tsan build when there is one. The
# worktree stays as it is; the mutants are built in build/mutants/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/preset.sh --log build/native/mutate-build.log native
exec nice -n 19 python3 scripts/mutate.py "$PWD" "$@"
