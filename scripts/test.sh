#!/usr/bin/env bash
# Installs what is missing, builds, runs the whole test suite, and prints the
# tests' share of the code last.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/test-share.sh
