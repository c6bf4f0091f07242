#!/usr/bin/env bash
# Fuzzes for longer than the suite does: random scenarios, mutated patch
# files and patches that wire qzkorvel's reports back into it, under
# AddressSanitizer and UndefinedBehaviorSanitizer, for SECONDS (60 by
# default), with seeds of its own every run. A case that breaks one of the
# module's invariants or makes a sanitizer report is kept in
# tests/fuzz/regressions/, which the suite replays (the fuzz_regressions
# test). Prints what it played; exits 1 when it kept a failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
budget=${1:-60}
[[ $budget =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }

scripts/preset.sh sanitize fuzz_korvel || exit 1

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
fuzz=$root/build/sanitize/bin/fuzz_korvel
corpus=("$root/tests/patches/corpus" "$root/package/qzkorvel/help")
kept=$root/tests/fuzz/regressions
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A cases=() steps=()
failures=0
first=$(( $(date +%s) % 100000 * 1000 ))
seed=$first
end=$((SECONDS + budget))

# round KIND COUNT EXT [ARGS...]: COUNT cases of one seed; keeps a failure.
round() {
  local kind=$1 count=$2 ext=$3 out status summary
  shift 3
  out=$("$fuzz" "$kind" "$seed" "$count" "$@" --save "$work" 2>"$work/stderr")
  status=$?
  summary=$(tail -n 1 <<<"$out")
  if [[ $status == 0 && $summary =~ ([0-9]+)\ cases,\ ([0-9]+)\ steps ]]; then
    cases[$kind]=$(( ${cases[$kind]:-0} + BASH_REMATCH[1] ))
    steps[$kind]=$(( ${steps[$kind]:-0} + BASH_REMATCH[2] ))
    return
  fi
  failures=$((failures + 1))
  cp "$work/current.$ext" "$kept/$kind-$seed.$ext"
  echo "fuzz: $kind seed $seed failed; kept as tests/fuzz/regressions/$kind-$seed.$ext"
  grep -v '^    #' "$work/stderr" | head -n 20
}

while (( SECONDS < end )); do
  round scenarios 20 ksim
  round patches 4 maxpat "${corpus[@]}"
  round loops 10 maxpat
  seed=$((seed + 1))
done

echo "fuzz: ${budget} s, seeds $first to $((seed - 1)):" \
  "${cases[scenarios]:-0} scenarios (${steps[scenarios]:-0} steps)," \
  "${cases[patches]:-0} patches (${steps[patches]:-0} steps)," \
  "${cases[loops]:-0} loops (${steps[loops]:-0} steps), $failures failures kept"
exit $((failures > 0))
