#!/bin/sh
# SPDX-License-Identifier: MIT
# The library index on generated libraries of song folders (6 charts and 10
# sounds each; 1,000 and 3,000 by default): per library, the first scan into
# a new index (.bms only) against `find -name '*.bms' -exec md5sum {} +`
# (and sha256sum: the index keeps both) over the same folders, then a
# second scan with nothing changed and its share of the first; the same
# first scan of all chart kinds, a scan after
# chart0.bms of every tenth song was touched, and bmslist-cli listing the
# library dropped as a folder (--hash, .bms only, archives inside left
# alone). Peak memory (RSS) of each from /usr/bin/time: the same for both
# sizes when memory does not grow with the number of charts. Warm page
# cache (each library is read once before the timings).
#
#   bench/library_index/run.sh [BUILD_DIR] [WORK_DIR] [SONGS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
work=${2:-/tmp/bmslist-library-bench}
[ $# -ge 2 ] && shift 2 || set --
[ $# -gt 0 ] || set -- 1000 3000
scan="$build/bin/bench_library_scan"
cli="$build/bin/bmslist-cli"
mkdir -p "$work"

seconds() { echo "$2 - $1" | bc; }

# Runs "$@" under /usr/bin/time; sets took (s) and peak (KB).
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out"
  read -r took peak <"$work/time"
}

for songs in "$@"; do
  lib="$work/songs-$songs"
  [ -d "$lib" ] || python3 "$here/make_library.py" "$lib" --songs "$songs"
  index="$work/library-$songs.sqlite"
  fresh() { rm -f "$index" "$index-wal" "$index-shm"; }
  find "$lib" -type f -exec cat {} + >/dev/null  # warm the cache

  echo "== $songs song folders ($(find "$lib" -name '*.bms' | wc -l) .bms of $(find "$lib" -type f | wc -l) files)"
  t0=$(date +%s.%N)
  find "$lib" -name '*.bms' -exec md5sum {} + >/dev/null
  t1=$(date +%s.%N)
  find "$lib" -name '*.bms' -exec sha256sum {} + >/dev/null
  t2=$(date +%s.%N)
  md5=$(seconds "$t0" "$t1")
  echo "find -name '*.bms' -exec md5sum {} +: $md5 s"
  # The index keeps both hashes of each chart.
  echo "  then sha256sum as well:    $(seconds "$t0" "$t2") s"

  fresh
  measure "$scan" "$index" "$lib" bms
  read -r charts hashed removed first <"$work/out"
  echo "first scan, .bms:            $first s ($charts charts, $hashed hashed; peak $peak KB)"
  echo "  against md5sum:            $(echo "scale=2; $first / $md5" | bc)x"
  measure "$scan" "$index" "$lib" bms
  read -r charts hashed removed second <"$work/out"
  echo "second scan (no change):     $second s ($hashed hashed; peak $peak KB)"
  echo "  share of the first:        $(echo "scale=3; $second / $first" | bc)"

  fresh
  measure "$scan" "$index" "$lib" bms bme bml
  read -r charts hashed removed all <"$work/out"
  echo "first scan, .bms .bme .bml:  $all s ($charts charts; peak $peak KB)"
  find "$lib" -path '*/song????0/chart0.bms' -exec touch {} +
  measure "$scan" "$index" "$lib" bms bme bml
  read -r charts hashed removed touched <"$work/out"
  echo "after touching $hashed charts:  $touched s (peak $peak KB)"

  if [ -x "$cli" ]; then
    measure "$cli" --hash --no-folder-archives "$lib"
    echo "bmslist-cli --hash FOLDER:   $took s ($(wc -l <"$work/out") rows; peak $peak KB)"
  fi
done
