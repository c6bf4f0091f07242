#!/usr/bin/env bash
# Runs every test: the native build, the native build with AddressSanitizer and
# UndefinedBehaviorSanitizer, every benchmark once (a smoke run, no times
# asserted), the thread test with ThreadSanitizer, the
# Windows build under Wine in a virtual X server, and the Max package with its
# module built against the host's SDK. Installs what is missing first. Prints
# each test run's summary (the whole log when it fails) and a table of the
# steps; exits nonzero if any step failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh all || exit 1

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

# in_wine COMMAND...: runs COMMAND in one Wine session in a virtual X server.
# The prefix lives in the mingw build folder, where the tool chain file's
# emulator points Wine, so a run never depends on $HOME/.wine.
wine_prefix=$root/build/mingw/wineprefix
in_wine() {
  env WINEPREFIX="$wine_prefix" xvfb-run -a -s "-screen 0 1920x1080x24" scripts/wine-session.sh "$@"
}

# bench_smoke: every benchmark of the native build once, for as short a time
# as each allows: that none has stopped running to the end or fails its own
# checks (a count of allocations, of reports), not how fast it is.
bench_smoke() {
  local out status=0
  out=$(build/native/bin/korvel_bench --benchmark_min_time=0.001 --benchmark_color=false 2>&1) || status=1
  grep -q "ERROR OCCURRED" <<<"$out" && status=1
  if [[ $status == 0 ]]; then
    grep -c "^[A-Z][A-Za-z]*/" <<<"$out" | sed 's/$/ benchmarks ran/'
  else
    echo "$out"
  fi
  return $status
}

# native comes first: the mingw preset's transcript comparison plays every
# scenario with the native build's programs too.
windows_built=false
for preset in native sanitize tsan mingw; do
  step "$preset build" scripts/preset.sh "$preset" || continue
  if [[ $preset == mingw ]]; then
    windows_built=true
    step "$preset test" tests mingw in_wine
  else
    step "$preset test" tests "$preset"
    [[ $preset == native ]] && step "bench smoke" bench_smoke
  fi
done

# The host's SDK (max-sdk-base): $MAX_SDK_DIR, else shared/max-sdk-base beside
# the repository, where CI's clone has it (by the path as given or resolved).
sdk=${MAX_SDK_DIR:-}
for candidate in "$root/../shared/max-sdk-base" "$(pwd -P)/../shared/max-sdk-base"; do
  [[ -z $sdk && -f $candidate/c74support/max-includes/ext.h ]] && sdk=$(cd "$candidate" && pwd)
done

# The Max package as a user gets it. Its module is built alone, against the
# SDK when there is one; then it must compile to the mingw build's objects
# with the same imports, and play every scenario and the help patch's tour
# under Wine as the mingw build's module does (the test programs load it
# through KORVEL_MODULE).
objdump=x86_64-w64-mingw32-objdump
module=$root/build/package/qzkorvel/externals/qzkorvel.mxe64
if $windows_built && step "package" scripts/package.sh ${sdk:+"$sdk"}; then
  step "package test" python3 tests/package/check_package.py "$objdump" build/package
  if [[ -n $sdk ]]; then
    step "sdk test" python3 tests/build/check_sdk_build.py "$objdump" build/mingw build/mingw-module
  else
    echo "== sdk test skipped: no max-sdk-base in \$MAX_SDK_DIR or beside the repository (../shared/max-sdk-base)"
    results+=("$(printf '%-18s %-7s' "sdk test" skipped)")
  fi
  step "package wine" in_wine python3 tests/scenarios/compare_transcripts.py tests/scenarios/wine_differences.txt \
    build/native/bin build/mingw/bin env KORVEL_MODULE="$module" "$root/cmake/wine-run.sh" "$wine_prefix"
fi

echo
echo "== summary"
printf '%s\n' "${results[@]}"
exit $((failures > 0))
