#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -x build/bin/tarnwell ]; then
    exec build/bin/tarnwell "$@"
fi
exec build/bin/tarnwell-compare --help
