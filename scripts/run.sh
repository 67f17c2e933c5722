#!/usr/bin/env bash
# Builds Kadivo and starts it on the bundled sample sequence.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default --target kadivo-cli
exec build/default/cli/kadivo-cli info samples/walk.kdv
