#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# scripts/spdx.sh [--check] [TREE]
# Puts the licence identifier on the first line of the project's own sources
# in TREE (default: this checkout): "// SPDX-License-Identifier: MIT" in
# C and C++ files ("/* ... */" where the file opens with such a comment, so
# the interface header stays readable by C89 callers), the "#" form in
# CMake, shell and Python files, after the "#!" line (and a Python coding
# line) where there is one, since those must stay first. Files are the ones git tracks, so build folders, the Windows
# dependencies' sources and test data are never touched. A file that has the
# line near its top already is left alone: running it twice changes nothing.
# --check changes nothing and lists the files that lack the line (exit 1).
set -euo pipefail
# The whole script is one block, read before it runs: it may be editing itself.
{
check=0
if [ "${1:-}" = --check ]; then check=1; shift; fi
tree="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
tag="SPDX-License-Identifier: MIT"

# Prints file $1 with line $2 added; $3 is 1 for Python, whose coding line
# must stay within the first two lines.
with_tag() {
  awk -v line="$2" -v python="$3" '
    function flush() { if (!done) { print line eol; done = 1 } }
    NR == 1 { eol = /\r$/ ? "\r" : "" }
    NR == 1 && /^#!/ { print; next }
    python && NR <= 2 && /^[ \t\f]*#.*coding[:=]/ { print; next }
    { flush(); print }
    END { flush() }
  ' "$1"
}

missing=0
tmp="$(mktemp)"
trap 'rm -f "$tmp"' EXIT
cd "$tree"
while IFS= read -r -d '' f; do
  case "$f" in
    *.cpp | *.h | *.c) mark="//" ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py) mark="#" ;;
    *) continue ;;
  esac
  [ -f "$f" ] && [ ! -L "$f" ] || continue
  if head -n 3 "$f" | grep -Eq "^(//|#|/\*) SPDX-License-Identifier:"; then continue; fi
  if [ "$check" = 1 ]; then
    echo "$f"
    missing=1
    continue
  fi
  line="$mark $tag"
  if [ "$mark" = "//" ] && head -n 1 "$f" | grep -q '^/\*'; then line="/* $tag */"; fi
  python=0
  case "$f" in *.py) python=1 ;; esac
  with_tag "$f" "$line" "$python" >"$tmp"
  cat "$tmp" >"$f"  # written over in place: the file keeps its mode
done < <(git ls-files -z)
exit "$missing"
}
