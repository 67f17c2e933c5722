#!/usr/bin/env bash
# Builds and runs every benchmark; each prints Kadivo's figure beside its peer's. The
# start-up and animation benchmarks run under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset default -DKADIVO_TESTS=ON -DKADIVO_BENCH=ON -DKADIVO_GUI=ON >/dev/null
cmake --build --preset default -j "$(nproc)"
for bench in build/default/bench/*_bench; do
  echo "== $(basename "$bench")"
  if [ "$(basename "$bench")" = startup_bench ] || [ "$(basename "$bench")" = animation_bench ]; then
    QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$bench"
  else
    "$bench"
  fi
done
