#!/usr/bin/env bash
# Builds Kadivo and starts it on the demo sequence. Without a display it runs the
# same start under a virtual X server and saves a picture of the main window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/install-packages.sh "${BUILD_PACKAGES[@]}" xvfb xauth libgl1-mesa-dri
cmake --preset default -DKADIVO_TESTS=OFF -DKADIVO_BENCH=OFF >/dev/null
cmake --build --preset default --target kadivo kadivo-cli
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/default/app/kadivo samples/demo.kdv
fi
picture="$PWD/build/kadivo-screenshot.png"
echo "No display: starting Kadivo under a virtual X server and saving a picture of its main window."
xvfb-run -a -s "-screen 0 1280x1024x24" build/default/app/kadivo --screenshot "$picture" samples/demo.kdv
echo "The picture is $picture"
