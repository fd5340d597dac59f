#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# deb_lintian_test.sh CPACK BUILD_DIR
# Makes the Debian package from the build into a scratch folder (the build's
# own files are left as they are) and has lintian check it: any error or
# warning fails, so an unstripped binary, a missing copyright file or
# changelog, or ldconfig calls in the maintainer scripts come back as
# failures here. Skipped (77) without lintian.
set -euo pipefail
cpack="$1" build="$(cd "$2" && pwd)"
command -v lintian >/dev/null || { echo "deb_lintian_test: lintian is not installed" >&2; exit 77; }
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && "$cpack" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log" >&2; exit 1; }
deb="$(ls "$scratch"/bmslist_*.deb)"
# Installed size in KiB: the unstripped binaries made it 56 MB.
size="$(dpkg-deb --field "$deb" Installed-Size)"
[ "$size" -lt 20000 ] || { echo "deb_lintian_test: $size KiB installed" >&2; exit 1; }
out="$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1)" ||
  { grep -v '^running with root privileges' <<<"$out" >&2; exit 1; }
echo "deb_lintian_test: ok ($size KiB installed)"
