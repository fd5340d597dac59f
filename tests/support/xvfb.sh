# SPDX-License-Identifier: MIT
# Sourced by the tests that drive a real window on Xvfb. Set test_name first.
# Gives: $tmp (removed at exit, with every process whose id is in $pids),
# fail, xwin, the song archives, the stored column widths, the display and
# a drag from a file manager.
support_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "$test_name: $*" >&2; exit 1; }
xwin() { /usr/bin/python3 "$support_dir/../gui/xwin.py" "$@"; }

# make_song_archives DIR: yoake.zip (two Shift-JIS charts and a sound) and
# given.zip (one chart).
make_song_archives() {
  /usr/bin/python3 - "$1" <<'PY'
import sys, zipfile
def chart(level, genre, title, extra):
    return ("#PLAYER 1\r\n#GENRE %s\r\n#TITLE %s\r\n#ARTIST 山田\r\n#BPM 150\r\n#PLAYLEVEL %s\r\n#WAV01 a.wav\r\n%s"
            % (genre, title, level, extra)).encode("cp932")
with zipfile.ZipFile(sys.argv[1] + "/yoake.zip", "w") as z:
    z.writestr("yoake_n.bms", chart(7, "テクノ", "夜明けの歌", ""))
    z.writestr("yoake_h.bms", chart(11, "テクノ", "夜明けの歌 [HARD]", "#BMP01 a.bmp\r\n"))
    z.writestr("a.wav", b"RIFF")
with zipfile.ZipFile(sys.argv[1] + "/given.zip", "w") as z:
    z.writestr("given.bms", chart(3, "ポップ", "コマンドラインの曲", ""))
PY
}

# write_column_widths INI: column widths from an earlier run (so the picture
# is readable); the window's placement is left to the first-start defaults.
write_column_widths() {
  local widths=(80 40 45 105 55 40 35 35 35 35 70 60 120) i
  {
    echo "[Clumns]"
    for i in "${!widths[@]}"; do echo "Width$i=${widths[$i]}"; done
  } >"$1"
}

# start_xvfb: a server on a free display number (chosen by the server
# itself), exported as DISPLAY.
start_xvfb() {
  exec 3>"$tmp/display"
  Xvfb -displayfd 3 -screen 0 1024x600x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
  [ -s "$tmp/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -1 "$tmp/display")"
  unset WAYLAND_DISPLAY
}

# first_window LOG APP_DIR LABEL [SECONDS]: waits for the program's window
# (its id in $wid) and checks the first-start placement, 633x378 at 10,10,
# and the work folder beside the program.
first_window() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  wid="$(timeout "${4:-30}" xdotool search --sync --onlyvisible --name '^bmslist ' | head -1)" ||
    fail "$3no window appeared: $(cat "$1")"
  sleep 2  # let the first paint finish
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo "${3}window $wid at $X,$Y size ${WIDTH}x$HEIGHT"
  # No window manager: the outer size is the window's own.
  [ "$WIDTH" = 633 ] && [ "$HEIGHT" = 378 ] || fail "${3}size ${WIDTH}x$HEIGHT, expected 633x378"
  [ "$X" = 10 ] && [ "$Y" = 10 ] || fail "${3}position $X,$Y, expected 10,10"
  [ -d "$2/work" ] || fail "${3}the work folder was not created beside the program"
}

# drag_file FILE LOG: drags FILE from a drag source window into the window
# at 200,200 as a file manager would and lets go; back once the drag ended.
drag_file() {
  xwin drag-source "file://$1" >"$2" 2>&1 &
  local source_pid=$! swid X Y WIDTH HEIGHT SCREEN WINDOW i
  pids+=("$source_pid")
  swid="$(timeout 30 xdotool search --sync --onlyvisible --name '^drag-source$' | head -1)" || fail "no drag source"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$swid")"
  xdotool mousemove $((X + 60)) $((Y + 30)) sleep 0.2 mousedown 1 sleep 0.2
  for i in $(seq 10); do xdotool mousemove $((X + 60 - i * 60)) $((Y + 30 + i * 10)) sleep 0.1; done
  xdotool mousemove 200 200 sleep 0.3 mousemove 210 205 sleep 0.3 mouseup 1
  for _ in $(seq 100); do kill -0 "$source_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$source_pid" 2>/dev/null && fail "the drag did not end"
  return 0
}
