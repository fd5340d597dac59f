#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Which archive kinds come out whole: one small song folder packed each way
# (7z methods, branch filters, solid or not, encryption, volumes; the TAR
# family; ZIP and ZIP64; LZH, CAB, ARJ) by the tool that makes it, then
# unpacked by our archiver library (bench_unpack, through the command entry
# the drivers call), by 7zz x and by bsdtar -x, each tree compared with the
# folder. Prints one row per kind:
#   ok        the tree is the folder's, byte for byte
#   DIFFERS   it unpacked (or partly) but the tree is not the folder's
#   error     the tool failed and left nothing
#   refused   the tool failed, as it must without the password (encrypted rows)
#   n/a       no tool here makes that kind
#
#   bench/formats/run.sh [WORKDIR]
#
# Takes about half a minute; not part of ctest.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
require_built bench_unpack
for t in 7zz bsdtar python3 tar xz zstd lzma; do
  command -v "$t" >/dev/null || { echo "missing $t: see scripts/packages.txt" >&2; exit 1; }
done
work="$(realpath -m "${1:-$(mktemp -d /tmp/bmslist-formats-XXXXXX)}")"
mkdir -p "$work"
[ -n "${1:-}" ] || trap 'rm -rf "$work"' EXIT
src="$work/src"
arc="$work/arc"
rm -rf "$src" "$arc"
mkdir -p "$src" "$arc"

# The song: charts (text), key sounds half noise and half compressible, an
# image; one folder with a subfolder, as songs come.
python3 - "$src" <<'EOF'
import os, random, sys
root = os.path.join(sys.argv[1], "song")
os.makedirs(os.path.join(root, "wav"))
rng = random.Random(25)
for level in ("n", "h", "a"):
    lines = ["#PLAYER 1", "#TITLE song [%s]" % level, "#BPM 150"]
    lines += ["#WAV%02d wav/s%d.wav" % (i + 1, i) for i in range(6)]
    lines += ["#%03d11:%s" % (m, "".join("%02d" % rng.randint(0, 6) for _ in range(8))) for m in range(300)]
    open(os.path.join(root, "song_%s.bms" % level), "wb").write(("\r\n".join(lines) + "\r\n").encode())
for i in range(6):
    if i % 2:
        data = bytes(rng.getrandbits(8) for _ in range(60000))
    else:
        data = bytes((k * k // 7 + rng.getrandbits(2)) & 0xFF for k in range(120000))
    open(os.path.join(root, "wav", "s%d.wav" % i), "wb").write(b"RIFF" + data)
open(os.path.join(root, "stage.bmp"), "wb").write(b"BM" + bytes(rng.getrandbits(8) for _ in range(30000)))
EOF
find "$src" -exec touch -d "2024-03-09 21:30:00" {} +

# kind | our library's format word | the archive (in $arc) | how to make it
# (run in $src; @ARC@ is the archive, @DIR@ the folder of the archives)
kinds() {
  cat <<'EOF'
7z LZMA|7z|lzma.7z|7zz a -bso0 -m0=LZMA @ARC@ song
7z LZMA2|7z|lzma2.7z|7zz a -bso0 -m0=LZMA2 @ARC@ song
7z PPMd|7z|ppmd.7z|7zz a -bso0 -m0=PPMd @ARC@ song
7z BZip2|7z|bzip2.7z|7zz a -bso0 -m0=BZip2 @ARC@ song
7z Deflate|7z|deflate.7z|7zz a -bso0 -m0=Deflate @ARC@ song
7z Deflate64|7z|deflate64.7z|7zz a -bso0 -m0=Deflate64 @ARC@ song
7z Copy|7z|copy.7z|7zz a -bso0 -m0=Copy @ARC@ song
7z BCJ + LZMA2|7z|bcj.7z|7zz a -bso0 -mf=BCJ @ARC@ song
7z BCJ2 + LZMA|7z|bcj2.7z|7zz a -bso0 -mf=BCJ2 @ARC@ song
7z ARM + LZMA2|7z|arm.7z|7zz a -bso0 -mf=ARM @ARC@ song
7z ARM64 + LZMA2|7z|arm64.7z|7zz a -bso0 -mf=ARM64 @ARC@ song
7z ARMT + LZMA2|7z|armt.7z|7zz a -bso0 -mf=ARMT @ARC@ song
7z PPC + LZMA2|7z|ppc.7z|7zz a -bso0 -mf=PPC @ARC@ song
7z SPARC + LZMA2|7z|sparc.7z|7zz a -bso0 -mf=SPARC @ARC@ song
7z IA64 + LZMA2|7z|ia64.7z|7zz a -bso0 -mf=IA64 @ARC@ song
7z Delta:4 + LZMA2|7z|delta.7z|7zz a -bso0 -mf=Delta:4 @ARC@ song
7z BCJ + PPMd|7z|bcj-ppmd.7z|7zz a -bso0 -m0=BCJ -m1=PPMd @ARC@ song
7z zstd|7z|zstd.7z|
7z solid|7z|solid.7z|7zz a -bso0 -ms=on @ARC@ song
7z non-solid|7z|nonsolid.7z|7zz a -bso0 -ms=off @ARC@ song
7z encrypted entries|7z|enc.7z|7zz a -bso0 -pbms @ARC@ song
7z encrypted header|7z|enchdr.7z|7zz a -bso0 -pbms -mhe=on @ARC@ song
7z volumes .7z.001|7z|vol.7z.001|7zz a -bso0 -v100k @DIR@/vol.7z song
tar|tar|plain.tar|tar -cf @ARC@ song
tar.gz|tar|t.tar.gz|tar -czf @ARC@ song
tar.bz2|tar|t.tar.bz2|tar -cjf @ARC@ song
tar.xz|tar|t.tar.xz|tar -cJf @ARC@ song
.txz|tar|t.txz|tar -cJf @ARC@ song
tar.zst|tar|t.tar.zst|tar --zstd -cf @ARC@ song
tar.lzma|tar|t.tar.lzma|tar --lzma -cf @ARC@ song
zip (deflate)|zip|deflate.zip|7zz a -bso0 -tzip @ARC@ song
zip (stored)|zip|stored.zip|7zz a -bso0 -tzip -mx=0 @ARC@ song
zip64|zip|z64.zip|make_zip64 @ARC@
zip volumes .zip.001|zip|vol.zip.001|7zz a -bso0 -tzip -v100k @DIR@/vol.zip song
rar5|rar|r5.rar|
lzh (lh5)|lzh|t.lzh|jlha a @ARC@ $(find song -type f | sort)
cab (mszip)|cab|t.cab|gcab -c -z @ARC@ $(find song -type f | sort)
arj|arj|t.arj|arj a -r -y @ARC@ song
EOF
}

# Every entry with ZIP64 sizes, as writers of large archives leave them.
make_zip64() {
  python3 - "$1" <<'PY'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for d, _, names in sorted(os.walk("song")):
        for n in sorted(names):
            with open(os.path.join(d, n), "rb") as f, z.open(os.path.join(d, n), "w", force_zip64=True) as out:
                out.write(f.read())
PY
}

# Unpacks with one tool into its own folder; echoes the verdict.
verdict() {  # tool rc folder encrypted
  local tool="$1" rc="$2" out="$3" enc="$4"
  if diff -r -q "$src" "$out" >/dev/null 2>&1; then
    [ "$rc" = 0 ] && echo ok || echo "ok (rc $rc)"
  elif [ -z "$(find "$out" -type f | head -1)" ]; then
    [ "$enc" = 1 ] && echo refused || echo "error"
  else
    echo DIFFERS
  fi
}

printf '%-22s %-10s %-10s %-10s\n' "kind" "library" "7zz x" "bsdtar -x"
while IFS='|' read -r kind format file make; do
  a="$arc/$file"
  if [ -z "$make" ] || ! command -v "${make%% *}" >/dev/null; then
    printf '%-22s %-10s %-10s %-10s\n' "$kind" n/a n/a n/a
    continue
  fi
  make="${make//@DIR@/$arc}"
  (cd "$src" && eval "${make//@ARC@/\"$a\"}") >/dev/null 2>&1 || { printf '%-22s %s\n' "$kind" "(could not make it)"; continue; }
  enc=0; [[ "$kind" == *encrypted* ]] && enc=1
  out="$work/out"
  rm -rf "$out"; mkdir -p "$out/7zz" "$out/bsdtar"
  "$bin/bench_unpack" "$format" "$out/lib" --keep "$a" >/dev/null 2>&1; lib_rc=$?
  mkdir -p "$out/lib/1"
  (cd "$out/7zz" && 7zz x -bso0 -bse0 -bsp0 -y -pbms "$a" </dev/null >/dev/null 2>&1); z_rc=$?
  # 7zz takes one layer at a time: a compressed tar gives the tar.
  inner=("$out/7zz"/*.tar)
  if [ -f "${inner[0]}" ] && [ "$z_rc" = 0 ]; then
    (cd "$out/7zz" && 7zz x -bso0 -bse0 -bsp0 -y "${inner[0]}" >/dev/null 2>&1 && rm -f "${inner[0]}"); z_rc=$?
  fi
  (cd "$out/bsdtar" && bsdtar -xf "$a" >/dev/null 2>&1); b_rc=$?
  printf '%-22s %-10s %-10s %-10s\n' "$kind" "$(verdict lib $lib_rc "$out/lib/1" $enc)" \
    "$(verdict 7zz $z_rc "$out/7zz" $enc)" "$(verdict bsdtar $b_rc "$out/bsdtar" $enc)"
done < <(kinds)
echo "(encrypted rows: 7zz is given the password; the library and bsdtar are not, and must refuse)"
