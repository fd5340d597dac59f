#!/usr/bin/env bash
# The window against bmslist-cli on the same drop: both whole programs timed
# once each, wall clock, the window through Qt's offscreen platform. Prints
# both times and the ratio window/cli (the window should stay within 1.2).
#
#   bench/window_vs_cli/run.sh [ARCHIVES] [ENTRIES_OF_ONE_BIG_ARCHIVE]
#   defaults: 100 song archives, and no big archive (try 100000)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
count="${1:-100}"
big="${2:-0}"
bin="$root/build/bin"
for b in bmslist-cli bench_window_drop; do
  [ -x "$bin/$b" ] || { echo "build first: cmake --build build" >&2; exit 1; }
done

data="$root/build/bench-window/songs-$count"
if [ ! -d "$data/done" ]; then
  rm -rf "$data" && mkdir -p "$data/src"
  echo "making $count song archives..." >&2
  for i in $(seq 1 "$count"); do
    s="$data/src/song$i"; mkdir -p "$s"
    for d in 5 7 9 12; do
      { printf '#PLAYER 1\r\n#GENRE BENCH\r\n#TITLE song %d [%d]\r\n#ARTIST artist%d\r\n#BPM 150\r\n#PLAYLEVEL %d\r\n' "$i" "$d" "$i" "$d"
        for m in $(seq 1 300); do printf '#%03d11:01010101\r\n' "$m"; done
      } > "$s/chart$d.bms"
    done
    for w in $(seq 1 60); do head -c 2000 /dev/urandom > "$s/k$w.wav"; done
    case $((i % 2)) in
      0) (cd "$data/src" && bsdtar --format zip -cf "$data/song$i.zip" "song$i") ;;
      1) (cd "$data/src" && jlha a "$data/song$i.lzh" "song$i"/* >/dev/null) ;;
    esac
    rm -rf "$s"
  done
  rmdir "$data/src"; mkdir "$data/done"
fi

measure() {  # label, then the archives
  local label="$1"; shift
  local t0 t1 t2 t3 own
  t0=$(date +%s.%N)
  "$bin/bmslist-cli" "$@" > "$data/../cli.csv"
  t1=$(date +%s.%N)
  own=$("$bin/bench_window_drop" "$@")
  t2=$(date +%s.%N)
  awk -v l="$label" -v a="$t0" -v b="$t1" -v c="$t2" -v own="$own" -v rows="$(wc -l < "$data/../cli.csv")" 'BEGIN {
    cli = b - a; win = c - b;
    printf "%s\n  bmslist-cli: %.2f s (%d rows)\n  window:      %.2f s (drop itself: %s)\n  ratio window/cli: %.2f\n",
           l, cli, rows, win, own, win / cli;
  }'
}

measure "$count song archives" "$data"/song*.*

if [ "$big" -gt 0 ]; then
  bigzip="$root/build/bench-window/big-$big.zip"
  if [ ! -f "$bigzip" ]; then
    echo "making one archive of $big entries..." >&2
    src="$root/build/bench-window/big-src"; rm -rf "$src"; mkdir -p "$src/big"
    (cd "$src/big" && seq 1 "$big" | sed 's/$/.wav/' | xargs touch && printf '#TITLE big\r\n' > song.bms)
    (cd "$src" && bsdtar --format zip -cf "$bigzip" big)
    rm -rf "$src"
  fi
  measure "one archive of $big entries" "$bigzip"
fi
