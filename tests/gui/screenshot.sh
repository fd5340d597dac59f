#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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
test_name=screenshot
. "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"
# The save dialog's title, in Japanese once Qt's translations are installed.
save_title='^(Save As|名前を付けて保存)$'

[ -f "$bin/UNZIP32.DLL" ] || fail "$bin/UNZIP32.DLL is missing: build everything first"
mkdir "$tmp/app" "$tmp/songs"
cp "$bin/bmslist" "$bin/UNZIP32.DLL" "$tmp/app/"
cp -P "$bin"/*.so* "$tmp/app/"

# Two charts, Shift-JIS, in one ZIP.
make_song_archives "$tmp/songs"
write_column_widths "$tmp/app/Bmslist.ini"
start_xvfb
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8

"$tmp/app/bmslist" >"$tmp/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
first_window "$tmp/app.log" "$tmp/app" ""

# Drag the archive from the source window into the list and let go.
drag_file "$tmp/songs/yoake.zip" "$tmp/source.log"
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
