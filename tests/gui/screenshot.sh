#!/usr/bin/env bash
# Starts the real window under Xvfb from a copy of the program in a
# temporary folder (so its settings file and "work" folder land there),
# checks where and how big it appears, saves a screenshot with the file menu
# open, closes it like a window manager would, and checks the settings file
# that the close wrote.
# Usage: screenshot.sh BIN_DIR [OUT.png]
set -euo pipefail
bin="$1"
out="${2:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "screenshot: $*" >&2; exit 1; }

cp "$bin/bmslist" "$tmp/"
cp -P "$bin"/*.so* "$tmp/" 2>/dev/null || true

# A free display number, chosen by the server itself.
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x600x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$tmp/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

"$tmp/bmslist" >"$tmp/app.log" 2>&1 &
app_pid=$!
wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^bmslist ' | head -1)" || fail "no window appeared: $(cat "$tmp/app.log")"
sleep 1  # let the first paint finish

eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window $wid at $X,$Y size ${WIDTH}x$HEIGHT"
# No window manager: the outer size is the window's own.
[ "$WIDTH" = 633 ] && [ "$HEIGHT" = 378 ] || fail "size ${WIDTH}x$HEIGHT, expected 633x378"
[ "$X" = 10 ] && [ "$Y" = 10 ] || fail "position $X,$Y, expected 10,10"
[ -d "$tmp/work" ] || fail "the work folder was not created beside the program"

# Open the file menu so the picture shows the Japanese entries.
xdotool mousemove --window "$wid" 20 10 click 1
sleep 1
if [ -n "$out" ]; then
  /usr/bin/python3 "$here/xwin.py" shot "$out" "$X" "$Y" "$WIDTH" "$HEIGHT"
  [ -s "$out" ] || fail "no screenshot written"
  echo "screenshot: $out"
fi
xdotool key Escape
sleep 0.3

/usr/bin/python3 "$here/xwin.py" close "$wid"
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then fail "the window did not close"; fi
wait "$app_pid" || fail "the program exited with an error: $(cat "$tmp/app.log")"
app_pid=""

ini="$tmp/Bmslist.ini"
[ -f "$ini" ] || fail "closing wrote no settings file"
grep -qx 'Width12=50' "$ini" || fail "column widths missing: $(cat "$ini")"
grep -qx 'Property.X=10' "$ini" && grep -qx 'Property.XSize=643' "$ini" || fail "placement wrong: $(cat "$ini")"
echo "settings written on close:"
cat "$ini"
