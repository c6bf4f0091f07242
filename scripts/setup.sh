#!/usr/bin/env bash
# Installs the Debian packages that qzkorvel's builds and scripts need, and
# only those that are missing: on a machine that has them all, apt is not
# called at all. Every script of scripts/ installs through this one, as root
# or through sudo.
#
#   scripts/setup.sh          the native build (simulated host and windows),
#                             the pictures (rsvg-convert) and the check of
#                             function lengths (ctags)
#   scripts/setup.sh package  the Windows build of the module and its package
#                             (scripts/package.sh)
#   scripts/setup.sh all      also the Windows build, Wine in a virtual X
#                             server with a window manager, and the browser
#                             (headless Chromium) that checks korvel-sim's
#                             HTML report
set -euo pipefail

native=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev
        nlohmann-json3-dev python3 librsvg2-bin universal-ctags)
windows_build=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
windows=("${windows_build[@]}" wine wine64 xvfb xauth openbox)
browser=(chromium)

case "${1:-native}" in
  native) wanted=("${native[@]}") ;;
  package) wanted=(cmake ninja-build python3 librsvg2-bin "${windows_build[@]}") ;;
  all) wanted=("${native[@]}" "${windows[@]}" "${browser[@]}") ;;
  *) echo "usage: scripts/setup.sh [native|package|all]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
  [[ "$status" == ii* ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup: missing packages ${missing[*]}, and neither root nor sudo to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y "${missing[@]}"
