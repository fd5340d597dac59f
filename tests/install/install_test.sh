#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# install_test.sh CMAKE BUILD_DIR SOURCE_DIR
# Installs the build into a scratch prefix, moves the prefix (so nothing can
# lean on the path it was installed to), and runs the installed bmslist-cli
# on a song archive as an installed copy is run: settings and working folder
# in the XDG folders. Every shared object the run loads must come from the
# moved prefix or the system, none from the build folder.
set -euo pipefail
cmake="$1" build="$(cd "$2" && pwd)" src="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$scratch/staged" >/dev/null
mv "$scratch/staged" "$scratch/usr"
prefix="$scratch/usr"

# The layout: executables in bin/, every library in lib/bmslist/.
for f in bin/bmslist-cli lib/bmslist/libbmsplatform.so lib/bmslist/UNLHA32.DLL lib/bmslist/UNZIP32.DLL \
         lib/bmslist/ZIP32J.DLL lib/bmslist/LMZIP32.DLL lib/bmslist/CAB32.DLL lib/bmslist/UNARJ32J.DLL \
         lib/bmslist/tar32.dll lib/bmslist/UNRAR32.DLL lib/bmslist/7-ZIP32.DLL share/man/man1/bmslist-cli.1.gz \
         share/doc/bmslist/copyright share/doc/bmslist/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "missing $f"
done
[ -z "$(ls "$prefix/bin" | grep -v '^bmslist')" ] || fail "bin/ holds more than the executables: $(ls "$prefix/bin")"
# Run paths relative to each file, never the build folder's.
for f in "$prefix"/bin/* "$prefix"/lib/bmslist/*; do
  runpath="$(readelf -d "$f" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')"
  case "$runpath" in
    *"$build"*) fail "$f keeps the build folder in its run path: $runpath" ;;
    '$ORIGIN'*) ;;
    *) fail "$f has no run path relative to itself: '$runpath'" ;;
  esac
done

# A song archive with one chart whose title is Shift-JIS.
mkdir "$scratch/songs" "$scratch/config" "$scratch/cache"
printf '#ARTIST taro\r\n#TITLE %s\r\n#BPM 150\r\n#WAV01 a.wav\r\n' "$(printf '\xb6\xdd\xc3\xdd')" > "$scratch/songs/a.bms"
(cd "$scratch/songs" && bsdtar -cf song.zip --format zip a.bms && rm a.bms)

export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache"
LD_DEBUG=libs,files LD_DEBUG_OUTPUT="$scratch/ld" "$prefix/bin/bmslist-cli" --csv "$scratch/list.csv" "$scratch/songs/song.zip" \
  2>"$scratch/err" || fail "bmslist-cli failed: $(cat "$scratch/err")"
expected="$(printf '"a.bms","taro","","\xb6\xdd\xc3\xdd","","","150","","\x81\x9b","","' )"
head -c ${#expected} "$scratch/list.csv" | cmp -s - <(printf '%s' "$expected") \
  || fail "unexpected list: $(od -c "$scratch/list.csv" | head)"
grep -q '"song.zip","'"$scratch"'/songs/"'$'\r''$' "$scratch/list.csv" || fail "archive columns wrong: $(cat "$scratch/list.csv")"
[ -d "$scratch/cache/bmslist/work" ] || fail "no working folder under XDG_CACHE_HOME"
[ -z "$(ls -A "$scratch/cache/bmslist/work")" ] || fail "working folder not emptied"
[ -z "$(ls -A "$prefix/bin" | grep -v '^bmslist')" ] || fail "the run wrote beside the executable: $(ls "$prefix/bin")"

# Where the loader looked for each library and what it initialised: the
# build folder must never even be tried.
ld="$(cat "$scratch"/ld.*)"
loaded="$(sed -n 's/.*calling init: //p' <<<"$ld" | sort -u)"
grep -q "^$prefix/lib/bmslist/UNZIP32.DLL$" <<<"$loaded" || fail "UNZIP32.DLL not loaded from the prefix: $loaded"
grep -Eq "calling init: $prefix/(bin/\.\./)?lib/bmslist/libbmsplatform.so$" <<<"$ld" ||
  fail "libbmsplatform.so not from the prefix: $loaded"
if grep -q "$build" <<<"$ld"; then fail "the loader went to the build folder: $(grep "$build" <<<"$ld" | head -3)"; fi

# Both executables answer --version and --help without a display.
for exe in bmslist-cli bmslist; do
  [ -x "$prefix/bin/$exe" ] || continue
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$exe" --version | grep -qx "$exe [0-9.]*" || fail "$exe --version"
  env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$exe" --help | grep -q "^Usage: $exe" || fail "$exe --help"
done

# The desktop files, when the window was built.
if [ -x "$prefix/bin/bmslist" ]; then
  for f in share/applications/bmslist.desktop share/metainfo/io.github.bmslist.metainfo.xml \
           share/icons/hicolor/48x48/apps/bmslist.png share/icons/hicolor/256x256/apps/bmslist.png \
           share/man/man1/bmslist.1.gz; do
    [ -e "$prefix/$f" ] || fail "missing $f"
  done
  if command -v desktop-file-validate >/dev/null; then
    out="$(desktop-file-validate "$prefix/share/applications/bmslist.desktop")" || fail "desktop file: $out"
    [ -z "$out" ] || fail "desktop file: $out"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/io.github.bmslist.metainfo.xml" >/dev/null \
      || fail "AppStream metadata: $(appstreamcli validate --no-net "$prefix/share/metainfo/io.github.bmslist.metainfo.xml")"
  fi
fi
echo "install_test: ok ($prefix)"
