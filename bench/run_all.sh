#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every whole-program speed figure in one run, as ratios:
#  - bmslist-cli on a collection of song ZIPs against a script doing the same
#    job with bsdtar (unpack each archive flat into a folder, grep the chart
#    headers, empty the folder); also the charts-only scan, the same with
#    the chart facts, and one core against two, when this bmslist-cli has
#    those options; and the floor of a charts-only scan: a plain C program
#    inflating only the charts of each ZIP (bench/chart_inflate);
#  - each archiver library against its reference tool on the same archives;
#  - 7-ZIP32.DLL against 7zz x on the collection repacked as 7z.
# Each figure is the median of RUNS alternated runs after one warm-up run,
# with the machine's load printed beside them. Working folders are on tmpfs.
#
#   [QUICK=1] [RUNS=5] [MIXED=8] [PARTS="pipeline libraries sevenzip"] bench/run_all.sh [ARCHIVES]
#
# ARCHIVES: song ZIPs in the collection (default 60, about 550 MB; 200 is
# about 1.8 GB and 30,000 entries). MIXED: songs per format in the library
# comparisons. QUICK=1: 6 archives, 1 song per format, 3 runs (under a
# minute once the archives exist). The archives are made once and kept in
# BENCH_DATA (default build/bench-data); BENCH_TMP (default a new folder in
# /dev/shm) holds the program's copy, its working folder and the script's.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build/bin"
if [ "${QUICK:-0}" = 1 ]; then
  count="${1:-6}" runs="${RUNS:-3}" mixed="${MIXED:-1}"
else
  count="${1:-60}" runs="${RUNS:-5}" mixed="${MIXED:-8}"
fi
for b in bmslist-cli bench_unpack; do
  [ -x "$bin/$b" ] || { echo "build first: cmake --build build" >&2; exit 1; }
done
for t in bsdtar lhasa jlha unzip cabextract gcab arj unar 7zz python3; do
  command -v "$t" >/dev/null || { echo "missing $t: see scripts/packages.txt" >&2; exit 1; }
done

# The archives, made once.
data="$(realpath -m "${BENCH_DATA:-$root/build/bench-data}")"
make_set() {  # folder, generator arguments
  [ -f "$1/stats" ] && return
  echo "making $1 ..." >&2
  rm -rf "$1.part"
  python3 "$root/bench/collection/make_songs.py" "$1.part" "${@:2}"
  mv "$1.part" "$1"
}
zips="$data/zip-$count"
libs="$data/mixed-$mixed"
parts="${PARTS:-pipeline libraries sevenzip}"
[[ " $parts " != *" pipeline "* && " $parts " != *" sevenzip "* ]] || make_set "$zips" --archives "$count" --mixed 0
[[ " $parts " != *" libraries "* ]] || make_set "$libs" --archives 0 --mixed "$mixed"

# A copy of the program in a tmpfs folder: it unpacks into "work" beside
# itself (a folder it can write and no installed copy), and reads no
# settings but its own defaults.
tmp="${BENCH_TMP:-$(mktemp -d /dev/shm/bmslist-bench-XXXXXX)}"
mkdir -p "$tmp"
trap 'rm -rf "$tmp"' EXIT
[ "$(stat -f -c %T "$tmp")" = tmpfs ] || echo "warning: $tmp is not on tmpfs" >&2
mkdir -p "$tmp/bin" "$tmp/script" "$tmp/out"
cp "$bin/bmslist-cli" "$bin"/*.so "$bin"/*.DLL "$bin"/*.dll "$tmp/bin/"
cli="$tmp/bin/bmslist-cli"
help="$("$cli" --help)"
has_option() { grep -q -e "$1" <<<"$help"; }

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b + 0 == 0) print "n/a"; else printf "%.2f", a / b }'; }
# Seconds taken by a command (its output dropped); empty when it failed.
timed() {
  local t0=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || return 0
  awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f\n", b - a }'
}

shopt -s nullglob nocaseglob
row() { printf '%-38s %9s %9s   %s\n' "$@"; }

# ---- The whole pipeline ----------------------------------------------------
pipeline_part() {
  archives=("$zips"/zip/*.zip)
  read -r _ bytes entries charts < "$zips/stats"

  # The job as a script: each archive unpacked flat (as the pipeline does) by
  # bsdtar into a tmpfs folder, the chart headers grepped, the folder emptied.
  # LC_ALL=C keeps the Shift-JIS names as the bytes they are.
  bsdtar_script() {
    local a w="$tmp/script" c
    for a in "$@"; do
      LC_ALL=C bsdtar -xf "$a" -C "$w" -s ',.*/,,' 2>/dev/null || true
      c=("$w"/*.bms)
      [ ${#c[@]} -eq 0 ] || grep -a -h -i -E '^#(PLAYER|GENRE|TITLE|ARTIST|BPM|PLAYLEVEL|MIDI|WAV|BMP)' "${c[@]}" >/dev/null || true
      rm -rf "${w:?}"/*
    done
  }
  cli_full() { "$cli" --csv "$tmp/full.csv" "$@"; }
  cli_charts() { "$cli" --charts-only --csv "$tmp/charts.csv" "$@"; }
  cli_one_core() { "$cli" --jobs 1 --csv "$tmp/one.csv" "$@"; }
  cli_facts() { "$cli" --charts-only --facts --csv "$tmp/facts.csv" "$@"; }
  floor() { "$bin/bench_chart_inflate" "$@"; }

  # A run's fixed cost: one archive of one small chart.
  printf '#TITLE start\r\n' > "$tmp/start.bms"
  (cd "$tmp" && bsdtar --format zip -cf start.zip start.bms)
  cli_start() { "$cli" --csv "$tmp/start.csv" "$tmp/start.zip"; }

  pipeline=(bsdtar_script cli_full cli_start)
  has_option --charts-only && pipeline+=(cli_charts)
  has_option --jobs && pipeline+=(cli_one_core)
  has_option --facts && pipeline+=(cli_facts)
  [ -x "$bin/bench_chart_inflate" ] && pipeline+=(floor)

  declare -gA took
  for round in $(seq 0 "$runs"); do
    n=${#pipeline[@]}
    for k in $(seq 0 $((n - 1))); do  # a different one first each round
      what=${pipeline[$(((k + round) % n))]}
      t=$(timed "$what" "${archives[@]}")
      [ "$round" -eq 0 ] || took[$what]+="${t:-fail} "
    done
  done
  med() { tr ' ' '\n' <<<"${took[$1]:-}" | grep -v -e '^$' -e fail | median; }
  failed() { grep -q fail <<<"${took[$1]:-}"; }

  script_s=$(med bsdtar_script) full_s=$(med cli_full) start_s=$(med cli_start)
  charts_s="" one_s="" facts_s="" floor_s=""
  [ -x "$bin/bench_chart_inflate" ] && floor_s=$(med floor)
  has_option --charts-only && charts_s=$(med cli_charts)
  has_option --facts && facts_s=$(med cli_facts)
  has_option --jobs && one_s=$(med cli_one_core)
  rows=$(cat "$tmp/full.csv" 2>/dev/null | wc -l)
  same() {  # a CSV against the full pipeline's
    if [ ! -f "$1" ]; then echo "n/a"; elif cmp -s "$1" "$tmp/full.csv"; then echo "rows equal"; else echo "ROWS DIFFER"; fi
  }

  awk -v n="${#archives[@]}" -v b="$bytes" -v e="$entries" -v c="$charts" -v r="$rows" -v runs="$runs" 'BEGIN {
    printf "\nCollection: %d song ZIPs, %.0f MB, %d entries, %d charts; %d rows listed. Median of %d runs.\n\n", n, b / 1048576, e, c, r, runs }'
  row "pipeline" "seconds" "ratio" ""
  row "bsdtar script" "${script_s:-fail}" "1.00" ""
  row "bmslist-cli" "${full_s:-fail}" "$(ratio "$full_s" "$script_s")" "$(failed cli_full && echo 'some runs failed')"
  if has_option --charts-only; then
    row "bmslist-cli --charts-only" "${charts_s:-fail}" "$(ratio "$charts_s" "$script_s")" \
      "$(ratio "$charts_s" "$full_s") of the full run, $(same "$tmp/charts.csv")"
  else
    row "bmslist-cli --charts-only" "n/a" "n/a" "(no such option)"
  fi
  if has_option --facts; then
    # The facts are the last eight fields and hold no quote: without them
    # the lines must be the charts-only scan's.
    sed -E 's/(,"[^"]*"){8}\r$/\r/' "$tmp/facts.csv" > "$tmp/facts13.csv" 2>/dev/null || true
    same13=$(cmp -s "$tmp/facts13.csv" "$tmp/charts.csv" && echo "thirteen columns equal" || echo "COLUMNS DIFFER")
    row "bmslist-cli --charts-only --facts" "${facts_s:-fail}" "$(ratio "$facts_s" "$script_s")" \
      "$(ratio "$facts_s" "$charts_s") of the charts-only scan, $same13"
  fi
  if has_option --jobs; then
    row "bmslist-cli --jobs 1" "${one_s:-fail}" "$(ratio "$one_s" "$script_s")" \
      "two cores take $(ratio "$full_s" "$one_s") of one core's time, $(same "$tmp/one.csv")"
  else
    row "bmslist-cli --jobs 1" "n/a" "n/a" "(no such option)"
  fi
  if [ -n "$floor_s" ]; then
    row "plain C: inflate the charts only" "$floor_s" "$(ratio "$floor_s" "$script_s")" \
      "$(ratio "$floor_s" "$full_s") of the full run; the charts-only scan takes $(ratio "$charts_s" "$floor_s") times this"
  fi
  row "bmslist-cli on one small archive" "${start_s:-fail}" "$(ratio "$start_s" "$script_s")" "(what every run costs)"

}

# ---- Each library against its reference tool ------------------------------
# The library's time is bench_unpack's own: each archive unpacked with its
# folders into a folder of its own, then all of them deleted. The tool's is
# a loop doing the same, the tool started once per archive as it would be.
out="$tmp/out"
each() {  # a command run in $out/<n> for the n-th archive
  local cmd="$1" a n=0 dirs=(); shift
  for ((n = 1; n <= $#; n++)); do dirs+=("$out/$n"); done
  mkdir -p "${dirs[@]}"
  n=0
  for a in "$@"; do
    n=$((n + 1))
    cd "$out/$n" && eval "$cmd" '"$a"' || return 1
  done
  cd "$tmp" && rm -rf "$out"
}
ref_7zz() { each '7zz x -bso0 -bsp0 -y' "$@"; }
ours() { local t; t=$("$bin/bench_unpack" "$1" "$out" "${@:2}" 2>/dev/null) && echo "$t"; }

libraries_part() {
  ref_bsdtar() { each 'bsdtar -xf' "$@"; }
  ref_bsdtar_charts() { each 'bsdtar -x --include "*.[bB][mM][sS]" -f' "$@"; }
  ref_lhasa() { each 'lhasa xq' "$@"; }
  ref_unzip() { each 'unzip -qq -o' "$@"; }
  ref_cabextract() { each 'cabextract -q' "$@"; }
  ref_arj() { each 'arj x -y' "$@"; }
  ref_unar() { each 'unar -q -f' "$@"; }

  echo
  row "library against its reference tool" "library" "tool" "ratio (library/tool)"
  # label | bench_unpack format (and --charts) | set | reference | at most
  # this many archives (bzip2 is slow to decode whoever does it)
  while IFS='|' read -r label format set ref most; do
    [ -d "$libs/mixed/$set" ] || continue  # a set made before the format was added
    files=("$libs/mixed/$set"/*)
    [ ${#files[@]} -gt 0 ] || continue
    files=("${files[@]:0:${most:-${#files[@]}}}")
    lib_t="" ref_t=""
    for round in $(seq 0 "$runs"); do
      if [ $((round % 2)) -eq 0 ]; then
        a=$(ours $format "${files[@]}" || true); b=$(timed "$ref" "${files[@]}")
      else
        b=$(timed "$ref" "${files[@]}"); a=$(ours $format "${files[@]}" || true)
      fi
      [ "$round" -eq 0 ] && continue
      lib_t+="${a:-fail} " ref_t+="${b:-fail} "
    done
    l=$(tr ' ' '\n' <<<"$lib_t" | grep -v -e '^$' -e fail | median)
    r=$(tr ' ' '\n' <<<"$ref_t" | grep -v -e '^$' -e fail | median)
    note="$(ratio "$l" "$r")"
    grep -q fail <<<"$lib_t$ref_t" && note+=" (some runs failed)"
    row "$label" "${l:-fail}" "${r:-fail}" "$note"
  done <<'EOF'
UNLHA32 vs lhasa (stored)|lzh|lzh|ref_lhasa
UNLHA32 vs bsdtar (stored)|lzh|lzh|ref_bsdtar
UNLHA32 vs lhasa (lh5)|lzh|lzh5|ref_lhasa
UNLHA32 vs bsdtar (lh5)|lzh|lzh5|ref_bsdtar
UNLHA32 *.bms vs bsdtar *.bms (lh5)|lzh --charts|lzh5|ref_bsdtar_charts
UNZIP32 vs bsdtar|zip|zip|ref_bsdtar
UNZIP32 vs unzip|zip|zip|ref_unzip
UNZIP32 *.bms vs bsdtar *.bms|zip --charts|zip|ref_bsdtar_charts
tar32 vs bsdtar (tar)|tar|tar|ref_bsdtar
tar32 vs bsdtar (tgz)|tgz|tgz|ref_bsdtar
tar32 vs bsdtar (tar.bz2)|bz2|bz2|ref_bsdtar|2
CAB32 vs cabextract|cab|cab|ref_cabextract
CAB32 *.bms vs bsdtar *.bms|cab --charts|cab|ref_bsdtar_charts
UNARJ32J vs arj|arj|arj|ref_arj
UNRAR32 vs unar|rar|rar|ref_unar
UNRAR32 *.bms vs bsdtar *.bms|rar --charts|rar|ref_bsdtar_charts
tar32 vs bsdtar (tar.xz)|txz|txz|ref_bsdtar
tar32 vs bsdtar (tar.zst)|tzst|tzst|ref_bsdtar
7-ZIP32 vs 7zz x|7z|7z|ref_7zz
7-ZIP32 vs bsdtar|7z|7z|ref_bsdtar
7-ZIP32 *.bms vs bsdtar *.bms|7z --charts|7z|ref_bsdtar_charts
EOF
  awk -v m="$mixed" -v b="$(du -cb "$libs"/mixed/zip/* | tail -1 | cut -f1)" 'BEGIN {
    printf "(each row: %d song archive(s), %.0f MB as ZIP, tar.bz2 at most 2; below 1 the library is faster)\n", m, b / 1048576 }'
}

# ---- The collection as 7z: 7-ZIP32 against 7zz x --------------------------
sevenzip_part() {
  # Each song ZIP repacked by 7zz with its defaults (LZMA2, solid), made once
  # beside the ZIPs. bsdtar unpacks the Shift-JIS names as code page 932 into
  # UTF-8 ones, so the 7z holds them as Unicode, as one made on Windows does.
  local sevens="$data/7z-$count" z
  if [ ! -f "$sevens/stats" ]; then
    echo "repacking $zips as 7z ..." >&2
    rm -rf "$sevens.part" && mkdir -p "$sevens.part/7z"
    for z in "$zips"/zip/*.zip; do
      rm -rf "$tmp/repack" && mkdir -p "$tmp/repack"
      (cd "$tmp/repack" && LC_ALL=C.UTF-8 bsdtar -xf "$z" --options hdrcharset=CP932 &&
        7zz a -bso0 -bsp0 "$sevens.part/7z/$(basename "${z%.*}").7z" .) >/dev/null || return 1
    done
    rm -rf "$tmp/repack"
    du -cb "$sevens.part"/7z/*.7z | tail -1 | cut -f1 > "$sevens.part/stats"
    mv "$sevens.part" "$sevens"
  fi
  local files=("$sevens"/7z/*.7z) lib_t="" ref_t="" a b round
  for round in $(seq 0 "$runs"); do
    if [ $((round % 2)) -eq 0 ]; then
      a=$(ours 7z "${files[@]}" || true); b=$(timed ref_7zz "${files[@]}")
    else
      b=$(timed ref_7zz "${files[@]}"); a=$(ours 7z "${files[@]}" || true)
    fi
    [ "$round" -eq 0 ] && continue
    lib_t+="${a:-fail} " ref_t+="${b:-fail} "
  done
  local l r note
  l=$(tr ' ' '\n' <<<"$lib_t" | grep -v -e '^$' -e fail | median)
  r=$(tr ' ' '\n' <<<"$ref_t" | grep -v -e '^$' -e fail | median)
  note="$(ratio "$l" "$r")"
  grep -q fail <<<"$lib_t$ref_t" && note+=" (some runs failed)"
  awk -v n="${#files[@]}" -v b="$(cat "$sevens/stats")" -v runs="$runs" 'BEGIN {
    printf "\nThe collection repacked as 7z: %d archives, %.0f MB. Median of %d runs.\n\n", n, b / 1048576, runs }'
  row "7z collection" "library" "7zz x" "ratio (library/tool)"
  row "7-ZIP32 vs 7zz x (per archive)" "${l:-fail}" "${r:-fail}" "$note"
}

echo "load before: $(uptime)"
[[ " $parts " != *" pipeline "* ]] || pipeline_part
[[ " $parts " != *" libraries "* ]] || libraries_part
[[ " $parts " != *" sevenzip "* ]] || sevenzip_part
echo "load after: $(uptime)"
