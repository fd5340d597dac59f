#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program under Xvfb with the collection's columns on: a song
# folder holding one chart of the archive, a difficulty table read in by
# bmslist-cli into the same index, and the archive opened twice (under two
# names) from the command line, so the list shows Library, Table and the
# tinted duplicates. Checks the index the window scanned, saves a
# screenshot.
# Usage: library_screenshot.sh BIN_DIR [OUT.png]
set -euo pipefail
bin="$1"
out="${2:-}"
test_name=library_screenshot
. "$(dirname "${BASH_SOURCE[0]}")/../support/xvfb.sh"

for f in bmslist bmslist-cli UNZIP32.DLL; do [ -f "$bin/$f" ] || fail "$bin/$f is missing: build everything first"; done
mkdir -p "$tmp/app" "$tmp/songs" "$tmp/library/yoake" "$tmp/table"
cp "$bin/bmslist" "$bin/bmslist-cli" "$bin/UNZIP32.DLL" "$tmp/app/"
cp -P "$bin"/*.so* "$tmp/app/"

make_song_archives "$tmp/songs"
cp "$tmp/songs/yoake.zip" "$tmp/songs/yoake_mirror.zip"
# The HARD chart is in the library already; both are on the table.
/usr/bin/python3 - "$tmp" <<'PY'
import hashlib, json, sys, zipfile
tmp = sys.argv[1]
z = zipfile.ZipFile(tmp + "/songs/yoake.zip")
hard, normal = z.read("yoake_h.bms"), z.read("yoake_n.bms")
open(tmp + "/library/yoake/yoake_h.bms", "wb").write(hard)
open(tmp + "/table/index.html", "w").write('<meta name="bmstable" content="header.json">')
json.dump({"name": "Insane", "symbol": "★", "data_url": "body.json"},
          open(tmp + "/table/header.json", "w", encoding="utf-8"), ensure_ascii=False)
json.dump([{"md5": hashlib.md5(hard).hexdigest(), "level": "12"},
           {"md5": hashlib.md5(normal).hexdigest(), "level": "3"}], open(tmp + "/table/body.json", "w"))
PY
"$tmp/app/bmslist-cli" --table "$tmp/table/index.html" --csv-format utf8 "$tmp/songs/given.zip" >"$tmp/cli.csv" ||
  fail "bmslist-cli could not read the table"
[ -f "$tmp/app/library.sqlite" ] || fail "no index beside the program"

widths=(95 45 45 120 50 45 35 30 30 30 64 105 45)
{
  echo "[Clumns]"
  for i in "${!widths[@]}"; do echo "Width$i=${widths[$i]}"; done
  echo "[Forms]"
  printf 'Property.%s\n' Flags=0 Show=1 MaxX=-1 MaxY=-1 X=10 Y=10 XSize=1010 YSize=410
  echo "[Options]"
  printf '%s\n' LibraryColumns=1 LibraryFolders=1 "LibraryFolder1=$tmp/library" Width23=115 Width24=45 Width25=100
} >"$tmp/app/Bmslist.ini"
start_xvfb
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8

"$tmp/app/bmslist" "$tmp/songs/yoake.zip" "$tmp/songs/yoake_mirror.zip" >"$tmp/app.log" 2>&1 &
app_pid=$!
pids+=("$app_pid")
wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^bmslist ' | head -1)" || fail "no window: $(cat "$tmp/app.log")"
# The archives are read, then the library folder scanned.
indexed=
for _ in $(seq 100); do
  indexed="$(/usr/bin/python3 -c 'import sqlite3,sys; print(sqlite3.connect(sys.argv[1]).execute("select count(*) from charts").fetchone()[0])' "$tmp/app/library.sqlite" 2>/dev/null || true)"
  [ "$indexed" = 1 ] && break
  sleep 0.1
done
[ "$indexed" = 1 ] || fail "the window did not scan the library folder (charts indexed: $indexed)"
sleep 2  # the columns are drawn once the scan has ended

if [ -n "$out" ]; then
  xwin shot "$out" 10 10 1000 400
  [ -s "$out" ] || fail "no screenshot written"
  echo "screenshot: $out"
fi
xwin close "$wid"
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
wait "$app_pid" || fail "the program exited with an error: $(cat "$tmp/app.log")"
grep -q '^Width23=' "$tmp/app/Bmslist.ini" || fail "the Library column's width was not kept: $(cat "$tmp/app/Bmslist.ini")"
