#!/usr/bin/env bash
# The real program under Xvfb, run from a copy in a temporary folder (so its
# settings file and "work" folder land there): checks where and how big the
# window appears on a start without stored placement, drops a song archive onto it from a drag source as a file
# manager would, exports the list through the file menu and the save dialog,
# saves a screenshot, closes the window as a window manager would, and
# checks the settings file that the close wrote.
# Usage: screenshot.sh BIN_DIR [OUT.png]
set -euo pipefail
bin="$1"
out="${2:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "screenshot: $*" >&2; exit 1; }
xwin() { /usr/bin/python3 "$here/xwin.py" "$@"; }
# The save dialog's title, in Japanese once Qt's translations are installed.
save_title='^(Save As|名前を付けて保存)$'

[ -f "$bin/UNZIP32.DLL" ] || fail "$bin/UNZIP32.DLL is missing: build everything first"
mkdir "$tmp/app" "$tmp/songs"
cp "$bin/bmslist" "$bin/UNZIP32.DLL" "$tmp/app/"
cp -P "$bin"/*.so* "$tmp/app/"

# Two charts, Shift-JIS, in one ZIP.
/usr/bin/python3 - "$tmp/songs/yoake.zip" <<'PY'
import sys, zipfile
def chart(level, genre, title, extra):
    return ("#PLAYER 1\r\n#GENRE %s\r\n#TITLE %s\r\n#ARTIST 山田\r\n#BPM 150\r\n#PLAYLEVEL %s\r\n#WAV01 a.wav\r\n%s"
            % (genre, title, level, extra)).encode("cp932")
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("yoake_n.bms", chart(7, "テクノ", "夜明けの歌", ""))
    z.writestr("yoake_h.bms", chart(11, "テクノ", "夜明けの歌 [HARD]", "#BMP01 a.bmp\r\n"))
    z.writestr("a.wav", b"RIFF")
PY

# Column widths from an earlier run (so the picture is readable); the
# window's placement is left to the first-start defaults.
widths=(80 40 45 105 55 40 35 35 35 35 70 60 120)
{
  echo "[Clumns]"
  for i in "${!widths[@]}"; do echo "Width$i=${widths[$i]}"; done
} >"$tmp/app/Bmslist.ini"

# A free display number, chosen by the server itself.
exec 3>"$tmp/display"
Xvfb -displayfd 3 -screen 0 1024x600x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$tmp/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8

"$tmp/app/bmslist" >"$tmp/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^bmslist ' | head -1)" || fail "no window appeared: $(cat "$tmp/app.log")"
sleep 1  # let the first paint finish

eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "window $wid at $X,$Y size ${WIDTH}x$HEIGHT"
# No window manager: the outer size is the window's own.
[ "$WIDTH" = 633 ] && [ "$HEIGHT" = 378 ] || fail "size ${WIDTH}x$HEIGHT, expected 633x378"
[ "$X" = 10 ] && [ "$Y" = 10 ] || fail "position $X,$Y, expected 10,10"
[ -d "$tmp/app/work" ] || fail "the work folder was not created beside the program"

# Drag the archive from the source window into the list and let go.
xwin drag-source "file://$tmp/songs/yoake.zip" >"$tmp/source.log" 2>&1 &
source_pid=$!
pids+=("$source_pid")
swid="$(timeout 30 xdotool search --sync --onlyvisible --name '^drag-source$' | head -1)" || fail "no drag source"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$swid")"
xdotool mousemove $((X + 60)) $((Y + 30)) sleep 0.2 mousedown 1 sleep 0.2
for i in $(seq 10); do xdotool mousemove $((X + 60 - i * 60)) $((Y + 30 + i * 10)) sleep 0.1; done
xdotool mousemove 200 200 sleep 0.3 mousemove 210 205 sleep 0.3 mouseup 1
for _ in $(seq 100); do kill -0 "$source_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$source_pid" 2>/dev/null && fail "the drag did not end"
sleep 1  # the drop is handled once the drag has finished

if [ -n "$out" ]; then
  xwin shot "$out" 10 10 633 378
  [ -s "$out" ] || fail "no screenshot written"
  echo "screenshot: $out"
fi

# ファイル -> 一覧をCSVで出力 (the third entry, after 開く... and CSV追加読込), then
# a name without extension in place of the offered one in the save dialog.
xdotool mousemove --window "$wid" 20 10 click 1 sleep 0.5 key Down sleep 0.2 key Down sleep 0.2 key Down sleep 0.2 key Return
timeout 20 xdotool search --sync --onlyvisible --name "$save_title" >/dev/null || fail "no save dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$tmp/list"
xdotool key Return
for _ in $(seq 100); do [ -s "$tmp/list.csv" ] && break; sleep 0.1; done
[ -s "$tmp/list.csv" ] || fail "no list.csv exported"
printf '"yoake_h.bms","\x8eR\x93c","\x83e\x83N\x83m","\x96\xe9\x96\xbe\x82\xaf\x82\xcc\x89\xcc [HARD]","11","1","150","","\x81\x9b","\x81\x9b",' >"$tmp/expected"
head -c "$(stat -c %s "$tmp/expected")" "$tmp/list.csv" | cmp -s - "$tmp/expected" ||
  fail "unexpected first row: $(head -1 "$tmp/list.csv" | iconv -f cp932 -t utf-8)"
[ "$(grep -c $'\r$' "$tmp/list.csv")" = 2 ] || fail "expected two CR LF lines: $(iconv -f cp932 -t utf-8 "$tmp/list.csv")"
echo "exported:"
iconv -f cp932 -t utf-8 "$tmp/list.csv"

xwin close "$wid"
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the window did not close"
wait "$app_pid" || fail "the program exited with an error: $(cat "$tmp/app.log")"

ini="$tmp/app/Bmslist.ini"
[ -f "$ini" ] || fail "closing wrote no settings file"
grep -qx 'Width3=105' "$ini" && grep -qx 'Width12=120' "$ini" || fail "column widths not kept: $(cat "$ini")"
grep -qx 'Property.X=10' "$ini" && grep -qx 'Property.XSize=643' "$ini" || fail "placement wrong: $(cat "$ini")"
echo "settings written on close:"
cat "$ini"
