#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installing songs: bmslist-cli --install-to against bsdtar -x into the same
# layout (one folder per song), on N song ZIPs of the seeded collection.
# Prints the files written and the median time of RUNS alternated runs.
#
#   [RUNS=5] bench/install/run.sh [ARCHIVES]     (default 20)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
require_built bmslist-cli
count="${1:-20}"
runs="${RUNS:-5}"
command -v bsdtar >/dev/null || { echo "missing bsdtar: see scripts/packages.txt" >&2; exit 1; }

data="$(realpath -m "${BENCH_DATA:-$root/build/bench-data}")/zip-$count"
if [ ! -f "$data/stats" ]; then
  echo "making $data ..." >&2
  rm -rf "$data.part"
  python3 "$root/bench/collection/make_songs.py" "$data.part" --archives "$count" --mixed 0
  mv "$data.part" "$data"
fi
mapfile -t archives < <(find "$data" -name '*.zip' | sort)

# The program in a tmpfs folder (its "work" beside it), the libraries on tmpfs too.
tmp="$(mktemp -d /dev/shm/bmslist-install-XXXXXX)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/bin"
cp "$bin/bmslist-cli" "$bin"/*.so "$bin"/*.DLL "$bin"/*.dll "$tmp/bin/"

ours() {  # bmslist-cli lists, then installs
  rm -rf "$tmp/ours" && mkdir "$tmp/ours"
  "$tmp/bin/bmslist-cli" --csv "$tmp/list.csv" --install-to "$tmp/ours" "${archives[@]}"
}
listing() {  # the same without installing
  "$tmp/bin/bmslist-cli" --csv "$tmp/list.csv" "${archives[@]}"
}
# Where each song goes, decided before timing: the reference then only unpacks.
dests=()
for a in "${archives[@]}"; do
  top="$(bsdtar --options hdrcharset=CP932 -tf "$a" | sed -n '1s|/.*||p')"
  if [ "$(bsdtar --options hdrcharset=CP932 -tf "$a" | awk -v t="$top/" 'index($0, t) != 1' | wc -l)" = 0 ]; then
    dests+=("")
  else
    dests+=("$(basename "$a" .zip)")
  fi
done
reference() {  # bsdtar: one folder per song, as an install lays it out
  rm -rf "$tmp/ref" && mkdir "$tmp/ref"
  for i in "${!archives[@]}"; do
    mkdir -p "$tmp/ref/${dests[$i]}"
    bsdtar --options hdrcharset=CP932 -xf "${archives[$i]}" -C "$tmp/ref/${dests[$i]}"
  done
}
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

o=(); l=(); r=()
for _ in $(seq "$runs"); do
  o+=("$(seconds ours)"); l+=("$(seconds listing)"); r+=("$(seconds reference)")
done
files_ours=$(find "$tmp/ours" -type f | wc -l)
files_ref=$(find "$tmp/ref" -type f | wc -l)
same=$(diff -r "$tmp/ours" "$tmp/ref" >/dev/null && echo "identical trees" || echo "trees differ")
mo=$(printf '%s\n' "${o[@]}" | median); ml=$(printf '%s\n' "${l[@]}" | median); mr=$(printf '%s\n' "${r[@]}" | median)
echo "$count song archives, load $(cut -d' ' -f1 /proc/loadavg)"
echo "  bmslist-cli --install-to: $mo s ($files_ours files; listing alone $ml s, so installing $(awk -v a="$mo" -v b="$ml" 'BEGIN { printf "%.3f", a - b }') s)"
echo "  bsdtar -x, same layout:   $mr s ($files_ref files; $same)"
echo "  ratio install / bsdtar:   $(awk -v a="$mo" -v b="$ml" -v c="$mr" 'BEGIN { printf "%.2f", (a - b) / c }')"
