#!/usr/bin/env bash
# Builds and runs every test: once as released, once under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
jobs=$(nproc)
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Each build states the options it needs: a build folder that run.sh configured keeps its
# cache, and a cache without the tests would leave ctest nothing to run.
declare -A options=(
  [default]="-DKADIVO_TESTS=ON -DKADIVO_BENCH=ON -DKADIVO_GUI=ON"
  [sanitize]="-DKADIVO_TESTS=ON -DKADIVO_BENCH=OFF -DKADIVO_GUI=ON"
)
for preset in default sanitize; do
  echo "== $preset build"
  # shellcheck disable=SC2086
  cmake --preset "$preset" ${options[$preset]} >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  # A test that fails is run once more before the run fails: on a busy two-core machine a
  # widget test's exit under the sanitizers has shown a leak inside Qt's own memory that no
  # rerun repeats.
  ctest --preset "$preset" -j "$jobs" --no-tests=error --repeat until-pass:2
done
