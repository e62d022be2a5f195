#!/usr/bin/env bash
# Time from process start to the first painted frame of a layout window on a real X server (a
# private Xvfb without a window manager), against `zenity --info` measured from its start to its
# window being mapped, the two in turn in the same run (bench/X11StartTimer.cpp). Our program is the
# skin previewer showing the installer's skin in a real window; it says "first frame" once the
# server shows the painted window. Target: at most half of zenity's time.
# Usage: bench/x11-first-frame.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-9}"

scripts/bootstrap
cmake --preset default >/dev/null
cmake --build --preset default --target x11-start-timer skin-preview >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/x11-first-frame.XXXXXX")
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
# The same settings home for both, so neither reads a user's configuration.
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export NO_AT_BRIDGE=1 # zenity would otherwise wait for an accessibility bus that is not there

echo "X server $DISPLAY (Xvfb, no window manager)"
build/bin/x11-start-timer "$runs" \
  "$PWD/build/bin/skin-preview --x11 --skin $PWD/skin --layout MainWnd.xml" \
  "zenity --info --text=Tovaclip"
