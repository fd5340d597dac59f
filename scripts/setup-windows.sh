#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the Windows build and its tests need on Debian 12: the 32-bit
# mingw-w64 cross compiler, Wine (32-bit, so the i386 architecture), and the
# source lines apt-get source reads. Fast when everything is there already.
set -euo pipefail
sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
changed=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  changed=1
fi
if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  changed=1
fi
wanted=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix wine wine32:i386 dpkg-dev googletest xvfb xauth xdotool)
missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then missing+=("$p"); fi
done
if ((changed)) || ((${#missing[@]})); then
  $sudo apt-get update -q
fi
if ((${#missing[@]})); then
  echo "setup-windows: installing ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
