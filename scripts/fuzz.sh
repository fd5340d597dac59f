#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for a bounded time (FUZZ_SECONDS, default 10) on its seed corpus.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
secs="${FUZZ_SECONDS:-10}"
if [ ! -f "$root/build-fuzz/build.ninja" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$root/build-fuzz" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBMSLIST_FUZZ=ON -DBMSLIST_GUI=OFF \
    -DBMSLIST_TESTS=OFF -DBMSLIST_BENCH=OFF >/dev/null
fi
cmake --build "$root/build-fuzz" -- -j"$(nproc)"
shopt -s nullglob
for f in "$root"/build-fuzz/bin/fuzz_*; do
  name="$(basename "$f")"
  corpus="$root/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/${name#fuzz_}/seeds"
  echo "fuzz: $name for ${secs}s" >&2
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  "$f" -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 "${args[@]}" 2>"$root/build-fuzz/$name.log" \
    || { tail -50 "$root/build-fuzz/$name.log"; exit 1; }
done
