#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole-pipeline benchmark: bmslist-cli on a generated collection of song
# archives against a shell script doing the same job with bsdtar per archive
# plus a header grep. Prints archives/s, MB/s of archive input and the ratio.
#
#   bench/pipeline/run.sh [ARCHIVES] [MB_PER_ARCHIVE]   (defaults: 200 and 1.5)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
require_built bmslist-cli
count="${1:-200}"
mb="${2:-1.5}"

data="$root/build/bench-pipeline/data-$count-$mb"
if [ ! -d "$data/done" ]; then
  rm -rf "$data" && mkdir -p "$data/src"
  echo "making $count song archives of about $mb MB each..." >&2
  title=$(printf '曲名' | iconv -f UTF-8 -t CP932)
  wavbytes=$(awk -v m="$mb" 'BEGIN { printf "%d", m * 1048576 / 12 }')
  for i in $(seq 1 "$count"); do
    s="$data/src/song$i"; mkdir -p "$s"
    for d in 5 7 9 12; do
      { printf '#PLAYER 1\r\n#GENRE BENCH\r\n#TITLE %s %d [%d]\r\n#ARTIST artist%d\r\n#BPM 150\r\n#PLAYLEVEL %d\r\n' "$title" "$i" "$d" "$i" "$d"
        for w in $(seq 1 200); do printf '#WAV%02X k%d.wav\r\n' $((w % 256)) "$w"; done
        for m in $(seq 1 1500); do printf '#%03d11:0101010100000000\r\n' $((m % 999)); done
      } > "$s/chart$d.bms"
    done
    for w in $(seq 1 12); do head -c "$wavbytes" /dev/urandom > "$s/k$w.wav"; done
    case $((i % 4)) in
      0) (cd "$data/src" && bsdtar --format zip -cf "$data/song$i.zip" "song$i") ;;
      1) (cd "$data/src" && jlha a "$data/song$i.lzh" "song$i"/* >/dev/null) ;;
      2) (cd "$data/src" && bsdtar -czf "$data/song$i.tgz" "song$i") ;;
      3) (cd "$data/src" && bsdtar -cf "$data/song$i.tar" "song$i") ;;
    esac
    rm -rf "$s"
  done
  rmdir "$data/src"; mkdir "$data/done"
fi

archives=("$data"/song*.*)
inputmb=$(du -cm "${archives[@]}" | tail -1 | cut -f1)

t0=$(date +%s.%N)
"$bin/bmslist-cli" "${archives[@]}" > "$data/../bmslist.csv"
t1=$(date +%s.%N)

# The same job as a script: bsdtar unpacks each archive flat into a folder,
# grep picks the header lines of the charts, the folder is emptied.
work="$data/../script-work"; rm -rf "$work"; mkdir -p "$work"
t2=$(date +%s.%N)
for a in "${archives[@]}"; do
  if [[ "$a" == *.lzh ]]; then (cd "$work" && lhasa xq "$a" >/dev/null 2>&1 || true)
  else bsdtar -xf "$a" -C "$work" -s ',.*/,,' 2>/dev/null || true; fi
  for c in "$work"/*.bms "$work"/*/*.bms; do
    [ -f "$c" ] && grep -a -i -E '^#(ARTIST|GENRE|TITLE|PLAYLEVEL|PLAYER|BPM|MIDI|WAV|BMP)' "$c" >/dev/null || true
  done
  rm -rf "${work:?}"/*
done
t3=$(date +%s.%N)

rows=$(wc -l < "$data/../bmslist.csv")
awk -v n="${#archives[@]}" -v mb="$inputmb" -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v rows="$rows" 'BEGIN {
  ours = b - a; script = d - c;
  printf "archives: %d, input: %d MB, rows listed: %d\n", n, mb, rows;
  printf "bmslist-cli:        %.2f s  (%.1f archives/s, %.1f MB/s)\n", ours, n / ours, mb / ours;
  printf "bsdtar+grep script: %.2f s  (%.1f archives/s, %.1f MB/s)\n", script, n / script, mb / script;
  printf "ratio script/bmslist-cli: %.2f\n", script / ours;
}'
