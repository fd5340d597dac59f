#!/usr/bin/env bash
# No display: show what the tool does in the terminal.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
echo "bmslist: no display found, so the window is not opened." >&2
if [ -x "$root/build/bin/bmslist-cli" ]; then
  exec "$root/build/bin/bmslist-cli" "$@"
fi
echo "bmslist: built into $root/build/bin; run it with a display to see the window." >&2
