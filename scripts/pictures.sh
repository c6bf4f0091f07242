#!/usr/bin/env bash
# Makes the desktop pictures in docs/images: plays the examples that write a
# picture (centring on the display under the mouse, an out-of-view position
# sent back to the centre, a display left of the primary one) in korvel-sim
# there, and converts each SVG to PNG with rsvg-convert.
#
# Uses the native build (build/native, or the build folder in $KORVEL_BUILD):
# configures it first when there is none, and brings korvel-sim and the module
# up to date, which costs nothing when they are.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KORVEL_BUILD:-$root/build/native}
examples=(centred-open out-of-view left-display)

# as_root COMMAND...: runs a command as root, through sudo when needed.
as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "pictures: $* needs root, and there is no sudo" >&2
    exit 1
  fi
}

if [[ ! -e $build/build.ninja ]]; then
  scripts/setup.sh native
  cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
fi
cmake --build "$build" --target korvel-sim qzkorvel >/dev/null
if ! command -v rsvg-convert >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update
  as_root apt-get install -y librsvg2-bin
fi

for name in "${examples[@]}"; do
  "$build/bin/korvel-sim" --pictures docs/images "examples/$name.ksim" >/dev/null
  rsvg-convert "docs/images/$name.svg" -o "docs/images/$name.png"
  echo "docs/images/$name.svg docs/images/$name.png"
done
