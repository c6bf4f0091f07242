#!/usr/bin/env bash
# Plays a patch or scenario on the packaged Windows module, under Wine:
#
#   scripts/wine-sim.sh [KORVEL-SIM OPTIONS] [PATCH] [SCENARIO]
#   scripts/wine-sim.sh package/qzkorvel/help/qzkorvel.maxhelp examples/tour.ksim
#
# The arguments are korvel-sim's (korvel-sim --help). It runs the Windows
# korvel-sim (build/mingw/bin) with the module of the Max package
# (build/package/), building either when missing. Without $DISPLAY it runs in
# a virtual X server of the size the tests use; without one of those either,
# it says so and exits with 2.
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
root=$PWD
module=$root/build/package/qzkorvel/externals/qzkorvel.mxe64
sim=$root/build/mingw/bin/korvel-sim.exe
prefix=$root/build/mingw/wineprefix

if [[ -z ${DISPLAY:-} ]] && ! command -v xvfb-run >/dev/null; then
  echo "wine-sim: no display: Wine needs an X display. Run this in a desktop session, or install" \
       "xvfb (scripts/setup.sh all) to play in a virtual one." >&2
  exit 2
fi
# The first run builds for a while and prints nothing meanwhile: say what,
# for how long, and where to follow it.
if [[ ! -x $sim || ! -x $root/build/mingw/bin/korvel-foreign.exe ]]; then
  log=$root/build/wine-sim-build.log
  echo "wine-sim: building the Windows korvel-sim and its helper program (build/mingw) with the mingw-w64" \
       "tool chain, installing what is missing; the first time takes about 10 minutes on two cores." \
       "Follow it with: tail -f $log" >&2
  mkdir -p "$root/build"
  scripts/preset.sh --log "$log" mingw korvel-sim korvel-foreign
fi
if [[ ! -f $module ]]; then
  echo "wine-sim: making the Max package with the Windows module (scripts/package.sh, build/package);" \
       "the first time takes a few minutes more" >&2
  scripts/package.sh >/dev/null
fi

# Relative files are the caller's; Wine runs korvel-sim from the repository.
args=()
for arg in "$@"; do
  if [[ $arg != -* && -e $here/$arg ]]; then args+=("$(cd "$here" && realpath "$arg")"); else args+=("$arg"); fi
done

export KORVEL_MODULE=$module
if [[ -n ${DISPLAY:-} ]]; then
  exec cmake/wine-run.sh "$prefix" "$sim" "${args[@]}"
fi
WINEPREFIX=$prefix exec xvfb-run -a -s "-screen 0 1920x1080x24" scripts/wine-session.sh \
  cmake/wine-run.sh "$prefix" "$sim" "${args[@]}"
