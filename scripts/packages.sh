# Debian packages the build needs, sourced by the set-up scripts.
BUILD_PACKAGES=(cmake ninja-build g++ make pkg-config libavformat-dev libavcodec-dev libswscale-dev libavutil-dev)
TEST_PACKAGES=(libgtest-dev googletest)
# The benchmarks measure against these peers; nothing else uses them.
BENCH_PACKAGES=(libeigen3-dev libopencv-imgproc-dev)
