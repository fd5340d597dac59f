#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows window (bmslist.exe) under Wine on Xvfb, put through the same
# steps as the Qt window, each from a copy in a temporary folder: it must
# appear at 10,10 with 633x378, list an archive given on its command line,
# take a song archive dragged from a file manager and list its rows, open
# the system's dialog on Ctrl+O, export the list through ファイル -> 一覧を
# CSVで出力 and the save dialog, and on closing write the settings file. The
# CSV must equal the Qt window's (the archive-folder column in each system's
# path form) and Bmslist.ini must be byte-identical to the Qt window's.
# Usage: window.sh LINUX_BIN WINDOWS_BIN [OUT.png]
set -euo pipefail
linux_bin="$1"
windows_bin="$2"
out="${3:-}"
test_name="wine window"
. "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"

[ -f "$windows_bin/bmslist.exe" ] || { echo "wine window: no Windows build (scripts/build-windows.sh); skipped"; exit 0; }
[ -x "$linux_bin/bmslist" ] || { echo "wine window: no Qt window in $linux_bin; skipped"; exit 0; }

mkdir "$tmp/songs" "$tmp/linux" "$tmp/windows"
make_song_archives "$tmp/songs"
cp "$linux_bin/bmslist" "$linux_bin/UNZIP32.DLL" "$tmp/linux/"
cp -P "$linux_bin"/*.so* "$tmp/linux/"
cp "$windows_bin/bmslist.exe" "$windows_bin/UNZIP32.DLL" "$tmp/windows/"
for app in linux windows; do write_column_widths "$tmp/$app/Bmslist.ini"; done
start_xvfb
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 TZ=UTC WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
# A Wine prefix of this test's own, kept in the Windows build folder: there
# Wine draws the frames itself (unmanaged windows), so without a window
# manager the X window is the whole Windows window, frame included.
export WINEPREFIX="$(cd "$windows_bin/.." && pwd)/wine-window-prefix"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Wine has no Japanese UI font of its own: the window's fonts drawn with IPA's.
for font in "ＭＳ Ｐゴシック" "MS UI Gothic"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAPGothic /f >/dev/null 2>&1
  # Hangul from Nanum, as Windows links its own Korean font behind the Japanese one.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$font" \
    /t REG_MULTI_SZ /d 'NanumGothic.ttf,NanumGothic' /f >/dev/null 2>&1
done

# run_app KIND COMMAND...: start, check the window, drop, export, close.
run_app() {
  local kind="$1"; shift
  local dir="$tmp/$kind"
  (cd "$dir" && exec "$@") >"$dir/app.log" 2>&1 &
  local app_pid=$!
  pids+=("$app_pid")
  first_window "$dir/app.log" "$dir" "$kind: " 120

  drag_file "$tmp/songs/yoake.zip" "$dir/source.log"
  sleep 2

  if [ "$kind" = windows ] && [ -n "$out" ]; then
    xwin shot "$out" 10 10 633 378
    # Every row checked with Ctrl+Shift+A (no column of the CSV shows it),
    # then the 編集 menu opened from ファイル with Right, for the record.
    xdotool mousemove --window "$wid" 300 200 click 1 sleep 0.3 key ctrl+shift+a sleep 0.3
    xdotool mousemove --window "$wid" 20 24 click 1 sleep 0.5 key Right sleep 0.5
    xwin shot "${out%.png}-edit-menu.png" 10 10 633 378
    xdotool key Escape sleep 0.2 key Escape sleep 0.3
  fi

  # Ctrl+O: the system's open dialog, closed again unused.
  xdotool mousemove --window "$wid" 300 200 click 1 sleep 0.3 key ctrl+o
  local od
  od="$(timeout 30 xdotool search --sync --onlyvisible --name '^(Open|開く|ファイルを開く)$' | head -1)" ||
    fail "$kind: Ctrl+O opened no dialog"
  sleep 1
  xdotool windowactivate --sync "$od" 2>/dev/null || true
  xdotool key Escape
  for _ in $(seq 50); do xdotool search --onlyvisible --name '^(Open|開く|ファイルを開く)$' >/dev/null || break; sleep 0.1; done
  sleep 0.5

  # ファイル -> 一覧をCSVで出力, the third entry after 開く... and
  # CSV追加読込 in both windows, then a name without extension in place of
  # whatever the dialog offers.
  # The Qt window's menu bar is at its top; Wine's frame puts the caption above it.
  local menu_y=10 downs=3
  [ "$kind" = windows ] && menu_y=24
  xdotool mousemove --window "$wid" 20 "$menu_y" click 1 sleep 0.5
  for _ in $(seq "$downs"); do xdotool key Down sleep 0.2; done
  xdotool key Return
  timeout 30 xdotool search --sync --onlyvisible --name '^(Save As|名前を付けて保存)$' >/dev/null ||
    fail "$kind: no save dialog"
  sleep 1
  xdotool key ctrl+a
  if [ "$kind" = windows ]; then
    xdotool type --delay 20 "Z:${tmp//\//\\}\\$kind\\list"
  else
    xdotool type --delay 20 "$dir/list"
  fi
  xdotool key Return
  for _ in $(seq 150); do [ -s "$dir/list.csv" ] && break; sleep 0.1; done
  [ -s "$dir/list.csv" ] || fail "$kind: no list.csv exported"

  xwin close "$wid"
  for _ in $(seq 150); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "$kind: the window did not close"
  wait "$app_pid" || fail "$kind: the program exited with an error: $(cat "$dir/app.log")"
}

run_app linux "$tmp/linux/bmslist" "$tmp/songs/given.zip"
run_app windows wine "$tmp/windows/bmslist.exe" "Z:${tmp//\//\\}\\songs\\given.zip"

# same_but_for LINUX WINDOWS FROM TO: the Windows file equals the Linux one
# with FROM put as TO (each system's path form).
same_but_for() {
  python3 - "$@" <<'PY'
import sys
linux, windows = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
if linux.replace(sys.argv[3].encode(), sys.argv[4].encode()) != windows:
    print("linux:", linux, "\nwindows:", windows, file=sys.stderr)
    sys.exit(1)
PY
}
linux_folder="$tmp/songs/"
windows_folder="Z:${linux_folder//\//\\}"
same_but_for "$tmp/linux/list.csv" "$tmp/windows/list.csv" "\"$linux_folder\"" "\"$windows_folder\"" || fail "the CSVs differ"
# The archive given on the command line and the dragged one.
rows="$(grep -c $'\r$' "$tmp/windows/list.csv")"
[ "$rows" = 3 ] || fail "expected 3 rows, got $rows"
echo "$rows rows, identical"
# The export folder is the one value each system writes in its own path
# form (each program exported into its own folder); every other byte must
# be the same.
same_but_for "$tmp/linux/Bmslist.ini" "$tmp/windows/Bmslist.ini" "Folder=$tmp/linux/"$'\n' \
  "Folder=Z:${tmp//\//\\}\\windows\\"$'\n' || fail "Bmslist.ini differs"
echo "Bmslist.ini identical:"
cat "$tmp/windows/Bmslist.ini"
