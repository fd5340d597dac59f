#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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
zip="$(ls -t "$out"/bmslist-*-win32.zip | head -1)"
# The zip carries the licences of everything linked into its binaries.
listing="$(unzip -Z1 "$zip")"
for f in LICENSE licenses/README.txt licenses/{zlib,bzip2,libdeflate,xz-utils,libzstd,libmspack,lhasa,libarchive,sqlite3,nlohmann-json3}/copyright.txt \
         licenses/{gcc-mingw-w64-i686-posix-runtime,mingw-w64-i686-dev}/copyright.txt; do
  grep -qx "$f" <<<"$listing" || { echo "build-windows: $f missing from $zip" >&2; exit 1; }
done
ls -l "$zip" >&2
