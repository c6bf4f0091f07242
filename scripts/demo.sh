#!/usr/bin/env bash
# The main job: builds the module and korvel-sim natively, then plays
# examples/demo.ksim on the module in the simulated Max and prints the
# transcript. Installs the Debian packages it misses first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh native
cmake --preset native >/dev/null
cmake --build --preset native --target korvel-sim qzkorvel
echo
echo "== korvel-sim examples/demo.ksim"
exec build/native/bin/korvel-sim examples/demo.ksim
