#!/usr/bin/env bash
# Renders the demo anew: the two camera videos and the truth file from the known motion and
# cameras in samples/DemoScene.h, then the sequence samples/demo.kdv that goes with them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target make_demo kadivo_core_tests
build/default/samples/make_demo samples
KADIVO_REGENERATE_SAMPLES=1 build/default/tests/kadivo_core_tests --gtest_filter='DemoSequence.*'
