#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up a fresh Debian 12 machine, builds, and runs every test: the
# fuzzers for a short bounded time, then the whole suite through ctest,
# then the 32-bit Windows build's own tests under Wine (the Linux suite
# already compares the Windows programs with the Linux ones).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
scripts/fuzz.sh
scripts/build-windows.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
ctest --test-dir build-windows --output-on-failure
