#!/usr/bin/env bash
# Runs every test: the native build, the native build with AddressSanitizer and
# UndefinedBehaviorSanitizer, the thread test with ThreadSanitizer, and the
# Windows build under Wine in a virtual X server. Installs what is missing first. Prints each test run's summary (the
# whole log when it fails) and a table of the steps; exits nonzero if any
# step failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh all || exit 1

jobs=$(nproc)
results=()
failures=0

# step NAME COMMAND...: runs one step, timed, and records how it went.
step() {
  local name=$1 start=$SECONDS status=ok
  shift
  echo "== $name"
  "$@" || status=FAILED
  results+=("$(printf '%-18s %-7s %5ds' "$name" "$status" $((SECONDS - start)))")
  [[ $status == ok ]] || { failures=$((failures + 1)); return 1; }
}

# tests PRESET [WRAPPER...]: ctest for a preset, its log kept in the build
# folder, a line as each test program finishes. The preset says how many
# tests may run at once.
tests() {
  local preset=$1 log=$root/build/$1/ctest.log
  shift
  if "$@" ctest --preset "$preset" 2>&1 | tee "$log" | python3 scripts/progress.py "$preset"; then
    sed -n '/tests passed/,$p' "$log"
  else
    cat "$log"
    return 1
  fi
}

# native comes first: the mingw preset's transcript comparison plays every
# scenario with the native build's programs too.
for preset in native sanitize tsan mingw; do
  step "$preset configure" cmake --preset "$preset" || continue
  step "$preset build" cmake --build --preset "$preset" -j "$jobs" || continue
  if [[ $preset == mingw ]]; then
    # The prefix lives in the build folder, where the tool chain file's
    # emulator points Wine, so a run never depends on $HOME/.wine.
    step "$preset test" tests mingw env WINEPREFIX="$root/build/mingw/wineprefix" \
      xvfb-run -a -s "-screen 0 1920x1080x24" scripts/wine-session.sh
  else
    step "$preset test" tests "$preset"
  fi
done

echo
echo "== summary"
printf '%s\n' "${results[@]}"
exit $((failures > 0))
