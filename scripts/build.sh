#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures (once) and builds build/ with Ninja.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
werror=OFF
if [ "${CI:-}" = true ]; then werror=ON; fi
# ccache, where installed, makes rebuilds in other checkouts of the tree cheap.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$root/build/build.ninja" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DBMSLIST_WERROR=$werror "${launcher[@]}" >/dev/null
fi
cmake --build "$root/build" -- -j"$(nproc)"
