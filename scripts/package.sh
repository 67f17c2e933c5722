#!/usr/bin/env bash
# Builds Kadivo's Debian package and installs it, with the packages it depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
cmake --preset default -DKADIVO_TESTS=OFF -DKADIVO_BENCH=OFF -DKADIVO_GUI=ON >/dev/null
cmake --build --preset default
rm -rf build/package
cpack -G DEB --config build/default/CPackConfig.cmake -B build/package
package=$(ls build/package/kadivo_*.deb)
DEBIAN_FRONTEND=noninteractive apt-get install -y "./$package"
echo "Installed $package: Kadivo is in the applications menu, or start it with kadivo."
