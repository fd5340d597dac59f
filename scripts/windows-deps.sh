#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the libraries the Windows programs link (zlib, bzip2,
# libdeflate, liblzma, libzstd, libarchive, liblhasa, libmspack, SQLite;
# nlohmann-json's header) as static 32-bit Windows
# libraries, from Debian's own source packages (apt-get source). Sources,
# build trees and the result stay in build-windows/deps/; a library already
# built there is not built again. Their licences, and those of the compiler
# runtime every binary links statically, go to prefix/licenses/ for the zip. (libunarr is not among them: the package
# mirror serves its source description but not its tarball, so the Windows
# engine reads RAR 1.5-4 through libarchive instead.)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="${BMSLIST_WINDOWS_DEPS:-$root/build-windows/deps}"
src="$deps/src"
prefix="$deps/prefix"
host=i686-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-gcc-ar-posix RANLIB=$host-gcc-ranlib-posix
jobs="${JOBS:-$(nproc)}"
mkdir -p "$src" "$prefix/include" "$prefix/lib"
toolchain="$root/cmake/mingw-i686.cmake"

# Unpacks Debian's source package $1 once; prints its folder.
fetch() {
  local pkg=$1
  local dir
  dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -1)
  if [ -z "$dir" ]; then
    (cd "$src" && apt-get source -q "$pkg" >"$src/$pkg.log" 2>&1) \
      || { cat "$src/$pkg.log" >&2; echo "windows-deps: apt-get source $pkg failed (are deb-src lines enabled?)" >&2; exit 1; }
    dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$2-*" | head -1)
  fi
  echo "$dir"
}

# The licence of a library shipped in the programs: Debian's copyright file
# of its source package, the upstream licence files, and a line in the
# folder's index naming the source package (the libraries' sources, as
# the LGPL asks for libmspack's, are that package's: apt-get source).
licenses="$prefix/licenses"
mkdir -p "$licenses"
index_head="The libraries built into bmslist's programs and archiver DLLs, each
with its licence in the folder of its name. Each was built from the Debian
source package named here (on Debian, apt-get source NAME=VERSION gives its
source); bmslist's own source (LICENSE) and its scripts/windows-deps.sh and
scripts/build-windows.sh rebuild the programs with a changed library.
"
printf '%s\n' "$index_head" >"$licenses/README.txt.new"
license_of() {  # name source-dir
  local name=$1 dir=$2 f
  rm -rf "${licenses:?}/$name"
  mkdir -p "$licenses/$name"
  cp "$dir/debian/copyright" "$licenses/$name/copyright.txt"
  for f in "$dir"/COPYING* "$dir"/LICENSE* "$dir"/LICENCE*; do
    [ -f "$f" ] && cp "$f" "$licenses/$name/$(basename "$f").txt"
  done
  printf '%-34s %s %s\n' "$name" "$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Source)" \
    "$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)" >>"$licenses/README.txt.new"
}
# The compiler's runtime (libgcc, libstdc++, the mingw-w64 C runtime and
# winpthreads), linked into every binary by -static: Debian's copyright
# files of the installed cross toolchain.
runtime_licenses() {
  local pkg
  for pkg in gcc-mingw-w64-i686-posix-runtime mingw-w64-i686-dev; do
    [ -f "/usr/share/doc/$pkg/copyright" ] || { echo "windows-deps: $pkg is not installed" >&2; exit 1; }
    mkdir -p "$licenses/$pkg"
    cp "/usr/share/doc/$pkg/copyright" "$licenses/$pkg/copyright.txt"
    printf '%-34s %s\n' "$pkg" "$(dpkg-query -W -f='${source:Package} ${source:Version}' "$pkg") (the compiler's runtime)" \
      >>"$licenses/README.txt.new"
  done
}

done_mark() { [ -f "$prefix/.built-$1" ]; }
mark() { touch "$prefix/.built-$1"; }

cmake_lib() {  # name source-dir cmake-args...
  local name=$1 dir=$2; shift 2
  cmake -S "$dir" -B "$deps/build/$name" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DBMSLIST_DEPS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POLICY_DEFAULT_CMP0074=NEW "$@" >"$deps/build/$name.log" 2>&1 \
    && cmake --build "$deps/build/$name" -j"$jobs" >>"$deps/build/$name.log" 2>&1 \
    && cmake --install "$deps/build/$name" >>"$deps/build/$name.log" 2>&1 \
    || { tail -40 "$deps/build/$name.log" >&2; exit 1; }
}
mkdir -p "$deps/build"

if ! done_mark zlib; then
  echo "windows-deps: zlib" >&2
  d=$(fetch zlib zlib)
  mkdir -p "$deps/build/zlib"
  objs=()
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees uncompr zutil; do
    $CC -O2 -c "$d/$f.c" -o "$deps/build/zlib/$f.o"
    objs+=("$deps/build/zlib/$f.o")
  done
  rm -f "$prefix/lib/libz.a"
  $AR rcs "$prefix/lib/libz.a" "${objs[@]}"
  cp "$d/zlib.h" "$d/zconf.h" "$prefix/include/"
  mark zlib
fi

if ! done_mark bzip2; then
  echo "windows-deps: bzip2" >&2
  d=$(fetch bzip2 bzip2)
  mkdir -p "$deps/build/bzip2"
  objs=()
  for f in blocksort huffman crctable randtable compress decompress bzlib; do
    $CC -O2 -D_FILE_OFFSET_BITS=64 -c "$d/$f.c" -o "$deps/build/bzip2/$f.o"
    objs+=("$deps/build/bzip2/$f.o")
  done
  rm -f "$prefix/lib/libbz2.a"
  $AR rcs "$prefix/lib/libbz2.a" "${objs[@]}"
  cp "$d/bzlib.h" "$prefix/include/"
  mark bzip2
fi

if ! done_mark libdeflate; then
  echo "windows-deps: libdeflate" >&2
  d=$(fetch libdeflate libdeflate)
  mkdir -p "$deps/build/libdeflate"
  objs=()
  for f in "$d"/lib/*.c "$d"/lib/x86/*.c; do
    o="$deps/build/libdeflate/$(basename "$f" .c).o"
    $CC -O2 -I"$d" -c "$f" -o "$o"
    objs+=("$o")
  done
  rm -f "$prefix/lib/libdeflate.a"
  $AR rcs "$prefix/lib/libdeflate.a" "${objs[@]}"
  cp "$d/libdeflate.h" "$prefix/include/"
  mark libdeflate
fi

if ! done_mark libmspack; then
  echo "windows-deps: libmspack" >&2
  d=$(fetch libmspack libmspack)
  # 32-bit off_t, as the engine's callbacks (mspack_system) declare it.
  rm -rf "$deps/build/libmspack"
  mkdir -p "$deps/build/libmspack"
  (cd "$deps/build/libmspack" && "$d/configure" --host=$host --prefix="$prefix" --disable-shared --enable-static --disable-largefile \
     >"$deps/build/libmspack.log" 2>&1 && make -j"$jobs" install >>"$deps/build/libmspack.log" 2>&1) \
    || { tail -40 "$deps/build/libmspack.log" >&2; exit 1; }
  mark libmspack
fi

if ! done_mark lhasa; then
  echo "windows-deps: lhasa" >&2
  d=$(fetch lhasa lhasa)
  # The library part only, compiled file by file (its autotools files are
  # not generated in the source package and only the library is needed).
  mkdir -p "$deps/build/lhasa" "$prefix/include/liblhasa-1.0"
  objs=()
  for f in crc16 ext_header lha_arch_unix lha_arch_win32 lha_decoder lha_endian lha_file_header \
           lha_input_stream lha_basic_reader lha_reader macbinary null_decoder lh1_decoder lh5_decoder \
           lh6_decoder lh7_decoder lhx_decoder lz5_decoder lzs_decoder pm1_decoder pm2_decoder; do
    $CC -O2 -I"$d/lib" -I"$d/lib/public" -c "$d/lib/$f.c" -o "$deps/build/lhasa/$f.o"
    objs+=("$deps/build/lhasa/$f.o")
  done
  rm -f "$prefix/lib/liblhasa.a"
  $AR rcs "$prefix/lib/liblhasa.a" "${objs[@]}"
  cp "$d"/lib/public/*.h "$prefix/include/liblhasa-1.0/"
  mark lhasa
fi

# liblzma (xz-utils) and libzstd: tar32's xz, lzma and zstd streams and
# libarchive's LZMA and LZMA2 in 7z archives.
if ! done_mark xz-utils; then
  echo "windows-deps: xz-utils" >&2
  d=$(fetch xz-utils xz-utils)
  cmake_lib xz-utils "$d" -DBUILD_TESTING=OFF -DENABLE_NLS=OFF
  mark xz-utils
fi

if ! done_mark libzstd; then
  echo "windows-deps: libzstd" >&2
  d=$(fetch libzstd libzstd)
  cmake_lib libzstd "$d/build/cmake" -DZSTD_BUILD_PROGRAMS=OFF -DZSTD_BUILD_SHARED=OFF -DZSTD_BUILD_STATIC=ON \
    -DZSTD_BUILD_TESTS=OFF -DZSTD_MULTITHREAD_SUPPORT=OFF -DZSTD_LEGACY_SUPPORT=OFF
  mark libzstd
fi

# Marked under a new name since it links liblzma and libzstd and carries
# the guard below: a libarchive built before them is built again.
if ! done_mark libarchive-lzma-zstd-bcj2; then
  echo "windows-deps: libarchive" >&2
  d=$(fetch libarchive libarchive)
  # 3.6's 7z reader allocates a BCJ2 sub-stream buffer of the 64-bit size
  # the header claims, cast to size_t, and copies up to that size into it:
  # in a 32-bit process a forged size above 4 GiB gives a small buffer and
  # a heap overflow. Sizes the process cannot hold are refused first.
  f="$d/libarchive/archive_read_support_format_7zip.c"
  if ! grep -q 'bmslist: 32-bit guard' "$f"; then
    sed -i 's|^\(\t*\)b\[i\] = malloc((size_t)zip->folder_outbytes_remaining);|\1/* bmslist: 32-bit guard */\n\1if (zip->folder_outbytes_remaining > (uint64_t)(SIZE_MAX / 2)) {\n\1\tfree(b[0]); free(b[1]); free(b[2]);\n\1\tarchive_set_error(\&a->archive, ENOMEM, "No memory for 7-Zip decompression");\n\1\treturn (ARCHIVE_FATAL);\n\1}\n\1b[i] = malloc((size_t)zip->folder_outbytes_remaining);|' "$f"
    grep -q 'bmslist: 32-bit guard' "$f" || { echo "windows-deps: the 7z guard did not apply" >&2; exit 1; }
  fi
  cmake_lib libarchive "$d" -DENABLE_TEST=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_LIBB2=OFF -DENABLE_LZ4=OFF \
    -DENABLE_LZO=OFF -DENABLE_LZMA=ON -DENABLE_ZSTD=ON -DENABLE_LIBXML2=OFF -DENABLE_EXPAT=OFF \
    -DENABLE_PCREPOSIX=OFF -DENABLE_ICONV=OFF -DENABLE_ACL=OFF -DENABLE_XATTR=OFF -DENABLE_CNG=OFF \
    -DENABLE_ZLIB=ON -DENABLE_BZip2=ON -DZLIB_ROOT="$prefix" \
    -DBZIP2_INCLUDE_DIR="$prefix/include" -DBZIP2_LIBRARIES="$prefix/lib/libbz2.a" \
    -DLIBLZMA_INCLUDE_DIR="$prefix/include" -DLIBLZMA_LIBRARY="$prefix/lib/liblzma.a" \
    -DZSTD_INCLUDE_DIR="$prefix/include" -DZSTD_LIBRARY="$prefix/lib/libzstd.a" \
    -DCMAKE_C_FLAGS="-DLZMA_API_STATIC"
  mark libarchive-lzma-zstd-bcj2
fi
if ! done_mark sqlite3; then
  echo "windows-deps: sqlite3" >&2
  d=$(fetch sqlite3 sqlite3)
  # The one-file form (sqlite3.c) is generated from the source tree by the
  # host's compiler and tclsh, then compiled for Windows.
  rm -rf "$deps/build/sqlite3"
  mkdir -p "$deps/build/sqlite3"
  (cd "$deps/build/sqlite3" && env -u CC -u CXX -u AR -u RANLIB "$d/configure" >"$deps/build/sqlite3.log" 2>&1 \
     && make sqlite3.c >>"$deps/build/sqlite3.log" 2>&1) \
    || { tail -40 "$deps/build/sqlite3.log" >&2; exit 1; }
  $CC -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0 \
    -c "$deps/build/sqlite3/sqlite3.c" -o "$deps/build/sqlite3/sqlite3.o"
  rm -f "$prefix/lib/libsqlite3.a"
  $AR rcs "$prefix/lib/libsqlite3.a" "$deps/build/sqlite3/sqlite3.o"
  cp "$deps/build/sqlite3/sqlite3.h" "$prefix/include/"
  mark sqlite3
fi

if ! done_mark nlohmann-json3; then
  echo "windows-deps: nlohmann-json3" >&2
  d=$(fetch nlohmann-json3 nlohmann-json3)
  mkdir -p "$prefix/include/nlohmann"
  cp "$d"/single_include/nlohmann/*.hpp "$prefix/include/nlohmann/"
  mark nlohmann-json3
fi
# The licences, also for libraries built by an earlier run.
for lib in zlib bzip2 libdeflate xz-utils libzstd libmspack lhasa libarchive sqlite3 nlohmann-json3; do
  license_of "$lib" "$(fetch "$lib" "$lib")"
done
runtime_licenses
mv "$licenses/README.txt.new" "$licenses/README.txt"
# GoogleTest for the cross-built tests, from Debian's googletest package
# (it installs the sources under /usr/src/googletest).
if ! done_mark googletest; then
  echo "windows-deps: googletest" >&2
  [ -d /usr/src/googletest ] || { echo "windows-deps: install Debian's googletest package" >&2; exit 1; }
  cmake_lib googletest /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
  mark googletest
fi
echo "windows-deps: ready in $prefix" >&2
