#!/usr/bin/env bash
# Makes the Max package that a user installs: a release build of the Windows
# module alone (mingw-w64, the `package` preset), installed stripped with the
# package's files into build/package/qzkorvel/ and zipped as
# build/package/qzkorvel-VERSION.zip (the version is package-info.json's).
#
#   scripts/package.sh [MAX_SDK_DIR]
#
# MAX_SDK_DIR (or $MAX_SDK_DIR) is a checkout of the host's SDK,
# max-sdk-base: the module then compiles against the SDK's headers and links
# its import library. Without it, against our declarations of the same API.
# Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

sdk=${1:-${MAX_SDK_DIR:-}}
if [[ -n $sdk ]]; then
  sdk=$(cd "$sdk" && pwd)
fi
version=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["version"])' \
  package/qzkorvel/package-info.json)
out=build/package
zip=qzkorvel-$version.zip

scripts/preset.sh -DMAX_SDK_DIR="$sdk" package
rm -rf "$out"
cmake --install build/mingw-module --prefix "$out" --strip >/dev/null
(cd "$out" && python3 -m zipfile -c "$zip" qzkorvel)

dll=$out/qzkorvel/externals/qzkorvel.mxe64
echo "package: $out/$zip; the module is $(stat -c %s "$dll") bytes, compiled against ${sdk:-our own host header}"
