#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json, after installing
# what that build needs through scripts/setup.sh. Every script that builds
# goes through here.
#
#   scripts/preset.sh [--log FILE] [-DVAR=VALUE...] PRESET [TARGET...]
#
# TARGETs (all when none) are built with $KORVEL_JOBS jobs (one a core when
# unset). -D options go to the configure step. With --log, what the
# configure and build print goes into FILE, which is shown when either
# fails; without it, the build prints as it goes. Exits nonzero when either
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."

log=
configure=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --log) log=$2; shift 2 ;;
    -D*) configure+=("$1"); shift ;;
    *) break ;;
  esac
done
[[ $# -ge 1 ]] || { echo "usage: scripts/preset.sh [--log FILE] [-DVAR=VALUE...] PRESET [TARGET...]" >&2; exit 2; }
preset=$1
shift

case $preset in
  native | sanitize | tsan | release) needs=native ;;
  package) needs=package ;;
  mingw) needs=all ;;
  *) echo "preset.sh: no preset '$preset' in CMakePresets.json" >&2; exit 2 ;;
esac
scripts/setup.sh "$needs"

build=(cmake --build --preset "$preset" -j "${KORVEL_JOBS:-$(nproc)}")
[[ $# -eq 0 ]] || build+=(--target "$@")

if [[ -z $log ]]; then
  cmake --preset "$preset" "${configure[@]}" >/dev/null
  exec "${build[@]}"
fi
mkdir -p "$(dirname "$log")"
if ! { cmake --preset "$preset" "${configure[@]}" && "${build[@]}"; } >"$log" 2>&1; then
  cat "$log"
  exit 1
fi
