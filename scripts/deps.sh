#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the
# Debian package (scripts/package.sh) need, skipping apt entirely when every
# one of them is already present.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libsqlite3-dev
          libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev liburing-dev fonts-dejavu-core
          diffutils patch time
          dpkg-dev file desktop-file-utils appstream man-db lintian)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
