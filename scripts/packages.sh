# Debian packages the build needs, sourced by the set-up scripts.
BUILD_PACKAGES=(cmake ninja-build g++ make pkg-config libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libavdevice-dev
                qt6-base-dev qt6-svg-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libhdf5-dev nlohmann-json3-dev libopencv-calib3d-dev fonts-dejavu-core
                fonts-liberation2)
# The program's tests run it under a virtual X server with Mesa's software renderer, read the
# PDF files it writes with poppler, validate the desktop files, build the Debian package and
# run the Snakemake workflow.
TEST_PACKAGES=(libgtest-dev googletest xvfb xauth libgl1-mesa-dri poppler-utils
               desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl dpkg-dev file snakemake)
# cpack's Debian generator finds the libraries the programs need with these.
PACKAGE_PACKAGES=(dpkg-dev file)
# The benchmarks measure against these peers; nothing else uses them.
BENCH_PACKAGES=(libeigen3-dev)
