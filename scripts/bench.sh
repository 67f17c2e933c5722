#!/usr/bin/env bash
# Builds and runs every benchmark; each prints Kadivo's figure beside its peer's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
for bench in build/default/bench/*_bench; do
  echo "== $(basename "$bench")"
  "$bench"
done
