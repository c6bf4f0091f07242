#!/bin/sh
# The emulator through which ctest runs the Windows programs:
#   wine-run.sh DEFAULT_PREFIX PROGRAM ARGS...
# Wine's prefix is $WINEPREFIX when the caller set one, else the build
# folder's.
default_prefix=$1
shift
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$default_prefix}"
exec wine "$@"
