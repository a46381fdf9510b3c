#!/usr/bin/env bash
# Builds the Release tree in build/ and packs it as a Debian package there:
# build/tarnwell_<version>-1_<arch>.deb, installed with
#   apt install ./build/tarnwell_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
# An older package left beside the new one would be installed with it by the
# glob above.
rm -f tarnwell_*.deb
cpack -G DEB
packages=(tarnwell_*.deb)
if [ ! -f "${packages[0]}" ]; then
    echo "package.sh: cpack made no tarnwell_*.deb in $PWD" >&2
    exit 1
fi
echo "Package: $PWD/${packages[0]}"
