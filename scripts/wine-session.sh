#!/usr/bin/env bash
# Runs a command inside one Wine session on the prefix in $WINEPREFIX (made
# when missing): one persistent wineserver for the whole command, so that each
# Windows program starts in about two seconds instead of four, and no crash
# dialog, so that a crashing program ends with a backtrace instead of waiting
# for a click that never comes. Needs an X display: run it under xvfb-run.
#
#   WINEPREFIX=build/mingw/wineprefix xvfb-run -a scripts/wine-session.sh ctest --preset mingw
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix to use}"
export WINEPREFIX WINEDEBUG=-all

mkdir -p "$WINEPREFIX"
# Wine's own processes outlive their parents for a while; kept off our output
# so that whoever reads it is not left waiting for them.
wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be running already
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
# Making a new prefix now and then fails while another Wine session is still
# winding down; a second try has always worked.
for try in 1 2 3; do
  wineboot -i </dev/null >"$WINEPREFIX/wineboot.log" 2>&1 && break
  echo "wine-session: wineboot failed (try $try):" >&2
  cat "$WINEPREFIX/wineboot.log" >&2
  [[ $try == 3 ]] && exit 1
  sleep 2
done
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  </dev/null >>"$WINEPREFIX/wineboot.log" 2>&1
# Without a window manager Wine waits two seconds for one at every hide or
# destroy of a visible window. Unmanaged windows skip the wait, but then Wine
# deactivates the application as soon as its active window is hidden, which
# Windows does not do. So the whole suite runs unmanaged, and the window
# scenarios run once more with Wine's default managed windows
# (KORVEL_WINE_MANAGED=1), the behaviour that the hide step is built on.
managed=N
[[ ${KORVEL_WINE_MANAGED:-0} == 1 ]] && managed=Y
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f \
  </dev/null >>"$WINEPREFIX/wineboot.log" 2>&1

"$@"
