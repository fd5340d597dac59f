#!/usr/bin/env bash
# Configures (once) and builds build/ with Ninja.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
werror=OFF
if [ "${CI:-}" = true ]; then werror=ON; fi
if [ ! -f "$root/build/build.ninja" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DBMSLIST_WERROR=$werror >/dev/null
fi
cmake --build "$root/build" -- -j"$(nproc)"
