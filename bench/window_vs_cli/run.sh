#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window against bmslist-cli on the same drop, wall clock, the window
# through Qt's offscreen platform. Prints both times and the ratio
# window/cli (the window should stay within 1.2).
#
#   [RUNS=3] bench/window_vs_cli/run.sh [ARCHIVES] [ENTRIES_OF_ONE_BIG_ARCHIVE]
#   defaults: 100 song archives, and no big archive (try 100000)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
require_built bmslist-cli bench_window_drop
count="${1:-100}"
big="${2:-0}"

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

# One run of each, alternated RUNS times (default 1); on a busy machine the
# median of a few runs is the figure to trust. The window's own figure is
# the time from the drop to the last row; "whole" adds starting Qt.
measure() {  # label, then the archives
  local label="$1"; shift
  local runs="${RUNS:-1}" i t0 t1 t2 own ratios=()
  echo "$label"
  for i in $(seq 1 "$runs"); do
    t0=$(date +%s.%N)
    "$bin/bmslist-cli" "$@" > "$data/../cli.csv"
    t1=$(date +%s.%N)
    own=$("$bin/bench_window_drop" "$@" 2>/dev/null)
    t2=$(date +%s.%N)
    ratios+=("$(awk -v a="$t0" -v b="$t1" -v c="$t2" -v own="${own%% s*}" -v rows="$(wc -l < "$data/../cli.csv")" -v w="$own" 'BEGIN {
      cli = b - a; win = c - b;
      printf "  bmslist-cli %.2f s (%d rows), window %.2f s whole, drop %s; ratio drop/cli %.2f, whole/cli %.2f\n",
             cli, rows, win, w, own / cli, win / cli > "/dev/stderr";
      printf "%.3f", own / cli }')")
  done
  printf '%s\n' "${ratios[@]}" | sort -n | awk '{ r[NR] = $1 } END { printf "  median ratio window/cli (drop): %.2f\n", r[int((NR + 1) / 2)] }'
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
