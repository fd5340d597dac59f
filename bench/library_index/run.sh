#!/bin/sh
# SPDX-License-Identifier: MIT
# The library index on a generated library of 3,000 song folders (6 charts
# and 10 sounds each): the first scan into a new index (.bms only,
# then .bms, .bme and .bml) against `find -name '*.bms' -exec md5sum {} +`
# (and sha256sum: the index keeps both) over the same folders, then a
# second scan with nothing changed, then one after chart0.bms of every tenth
# song was touched. Peak memory of each scan from /usr/bin/time. Warm page cache (the
# library is read once before the timings).
#
#   bench/library_index/run.sh [BUILD_DIR] [WORK_DIR] [SONGS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
work=${2:-/tmp/bmslist-library-bench}
songs=${3:-3000}
scan="$build/bin/bench_library_scan"
lib="$work/songs-$songs"
if [ ! -d "$lib" ]; then
  python3 "$here/make_library.py" "$lib" --songs "$songs"
fi
index="$work/library.sqlite"
rm -f "$index" "$index-wal" "$index-shm"

find "$lib" -type f -exec cat {} + >/dev/null  # warm the cache
t0=$(date +%s.%N)
find "$lib" -name '*.bms' -exec md5sum {} + >/dev/null
t1=$(date +%s.%N)
find "$lib" -name '*.bms' -exec sha256sum {} + >/dev/null
t2=$(date +%s.%N)
echo "find -name '*.bms' -exec md5sum {} +:    $(echo "$t1 - $t0" | bc) s"
echo "find -name '*.bms' -exec sha256sum {} +: $(echo "$t2 - $t1" | bc) s"

run() {
  label=$1
  shift
  /usr/bin/time -f '%M' -o "$work/rss" "$scan" "$index" "$lib" "$@" >"$work/out"
  read -r charts hashed removed seconds <"$work/out"
  echo "$label: $seconds s ($charts charts, $hashed hashed, $removed removed, peak $(cat "$work/rss") KB)"
}
run "first scan, .bms only      " bms
rm -f "$index" "$index-wal" "$index-shm"
set -- bms bme bml
run "first scan (new index)     " "$@"
run "second scan (no change)    " "$@"
find "$lib" -path '*/song????0/chart0.bms' -exec touch {} +
run "after touching 300 charts  " "$@"
