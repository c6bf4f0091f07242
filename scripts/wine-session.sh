#!/usr/bin/env bash
# Runs a command inside one Wine session on the prefix in $WINEPREFIX (made
# when missing), in the X display given by $DISPLAY (run it under xvfb-run):
#
#   WINEPREFIX=build/mingw/wineprefix xvfb-run -a scripts/wine-session.sh ctest --preset mingw
#
# - A window manager (openbox) runs in the display first. Wine's windows are
#   managed, as on a desktop; without a manager Wine would wait two seconds
#   for one at every hide or destroy of a visible window. It gives a new
#   window no focus, as Windows gives another application's new window no
#   activation.
# - One persistent wineserver serves the whole command, so that each Windows
#   program starts in about two seconds instead of four.
# - No crash dialog: a crashing program ends with a backtrace instead of
#   waiting for a click that never comes.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to the Wine prefix to use}"
: "${DISPLAY:?run under xvfb-run: Wine needs an X display}"
export WINEPREFIX WINEDEBUG=-all

mkdir -p "$WINEPREFIX"
# Windows shows another application's new window without activating it; a
# window manager that focused it would move the foreground there, behind the
# back of the program under test.
cat >"$WINEPREFIX/openbox-rc.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>no</focusNew><followMouse>no</followMouse></focus>
</openbox_config>
XML
openbox --sm-disable --config-file "$WINEPREFIX/openbox-rc.xml" </dev/null >"$WINEPREFIX/openbox.log" 2>&1 &
openbox_pid=$!
# Wine's own processes outlive their parents for a while; kept off our output
# so that whoever reads it is not left waiting for them.
wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be running already
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true; kill "$openbox_pid" 2>/dev/null || true' EXIT
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
# A prefix made by an earlier version of this script may hold unmanaged windows.
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f \
  </dev/null >>"$WINEPREFIX/wineboot.log" 2>&1 || true

"$@"
