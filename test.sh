#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds, and runs every test: the
# fuzzers for a short bounded time, then the whole suite through ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
scripts/fuzz.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
