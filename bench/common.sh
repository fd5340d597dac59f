# SPDX-License-Identifier: MIT
# Sourced by the benchmark scripts: the checkout's root, the built programs,
# and a clear word when one is not built yet.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$root/build/bin"
require_built() {
  local b
  for b in "$@"; do
    [ -x "$bin/$b" ] || { echo "build first: scripts/build.sh ($b is missing)" >&2; exit 1; }
  done
}
