#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up a fresh Debian 12 machine, builds, and starts bmslist.
# With a display it opens the window; without one it runs the same pipeline
# through bmslist-cli on the paths given (or on a demo song archive it makes)
# and prints the list.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/bmslist ]; then
  exec build/bin/bmslist "$@"
fi
exec scripts/demo.sh "$@"
