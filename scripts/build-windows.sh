#!/usr/bin/env bash
# Builds the 32-bit Windows programs into build-windows/bin/ (executables
# and archiver DLLs side by side, ready to copy to a Windows machine) and a
# zip of them (CPack). Installs the cross compiler and Wine when missing,
# cross-builds the libraries from Debian's source packages once
# (scripts/windows-deps.sh), then configures and builds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup-windows.sh"
"$root/scripts/windows-deps.sh"
out="$root/build-windows"
werror=OFF
if [ "${CI:-}" = true ]; then werror=ON; fi
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$out/build.ninja" ]; then
  cmake -S "$root" -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DBMSLIST_DEPS_PREFIX="$out/deps/prefix" -DCMAKE_BUILD_TYPE=Release -DBMSLIST_WERROR=$werror "${launcher[@]}" >/dev/null
fi
cmake --build "$out" -- -j"${JOBS:-$(nproc)}"
(cd "$out" && cpack -G ZIP >/dev/null)
ls -l "$out"/bmslist-*-win32.zip >&2
