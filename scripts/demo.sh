#!/usr/bin/env bash
# The main job: builds the module and korvel-sim natively, opens the object's
# help patch in the simulated Max and clicks through it (examples/tour.ksim),
# printing the transcript; the tour's pictures of the desktop land in
# build/native/tour/. Installs the Debian packages it misses first.
set -euo pipefail
cd "$(dirname "$0")/.."

log=build/native/demo-build.log
echo "== building the module and korvel-sim (log: $log)"
scripts/preset.sh --log "$log" native korvel-sim qzkorvel

echo "== korvel-sim --pictures build/native/tour package/qzkorvel/help/qzkorvel.maxhelp examples/tour.ksim"
build/native/bin/korvel-sim --pictures build/native/tour package/qzkorvel/help/qzkorvel.maxhelp examples/tour.ksim
echo "== pictures: $(ls -- build/native/tour/*.svg | tr '\n' ' ')"
