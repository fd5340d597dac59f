#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Without a display: run the same pipeline as the window through bmslist-cli
# on the paths given, or on a demo song archive made here, and print the list.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cli="$root/build/bin/bmslist-cli"
echo "bmslist: no display found, so the window is not opened; listing through bmslist-cli instead." >&2

if (($# == 0)); then
  demo="$root/build/demo"
  if [ ! -f "$demo/demo-song.lzh" ] || [ ! -f "$demo/demo-song.zip" ]; then
    rm -rf "$demo" && mkdir -p "$demo/src/demo-song"
    # Chart files are Shift-JIS text with CR LF line ends, as players have them.
    printf '#PLAYER 1\r\n#GENRE TECHNO\r\n#TITLE %s\r\n#ARTIST %s\r\n#BPM 150\r\n#PLAYLEVEL 7\r\n#WAV01 kick.wav\r\n#BMP01 back.bmp\r\n#00111:01010101\r\n' \
      "$(printf 'デモ曲 [NORMAL]' | iconv -f UTF-8 -t CP932)" "$(printf 'ビーエムエス太郎' | iconv -f UTF-8 -t CP932)" \
      > "$demo/src/demo-song/normal.bms"
    printf '#PLAYER 1\r\n#GENRE TECHNO\r\n#TITLE %s\r\n#ARTIST %s\r\n#BPM 150\r\n#PLAYLEVEL 12\r\n#WAV01 kick.wav\r\n#MIDIFILE demo.mid\r\n' \
      "$(printf 'デモ曲 [ANOTHER]' | iconv -f UTF-8 -t CP932)" "$(printf 'ビーエムエス太郎' | iconv -f UTF-8 -t CP932)" \
      > "$demo/src/demo-song/another.bme.bms"
    head -c 20000 /dev/urandom > "$demo/src/demo-song/kick.wav"
    printf 'demo song for bmslist\r\n' > "$demo/src/demo-song/readme.txt"
    (cd "$demo/src" && bsdtar --format zip -cf "$demo/demo-song.zip" demo-song && jlha a "$demo/demo-song.lzh" demo-song/* >/dev/null)
    echo "bmslist: made demo archives in $demo" >&2
  fi
  set -- "$demo/demo-song.lzh" "$demo/demo-song.zip"
fi

echo "bmslist-cli $*" >&2
# The CSV is code page 932, as the window exports it; shown here in UTF-8.
"$cli" "$@" | iconv -f CP932 -t UTF-8 | sed 's/\r$//'
