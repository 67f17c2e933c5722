// Times every rastel operation the program calls on 8-bit BGR frames (720×576 and
// 1920×1080, bottom-up, rows aligned to 4) beside the nearest OpenCV function and a memcpy
// of the frame, single-threaded, in megapixels per second.

#include "rastel.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Megapixels per second of the fastest of 15 runs: a call takes a millisecond or less, and
// with only a few runs one interruption on the machine could halve a line's figure.
double Throughput(int width, int height, const std::function<void()>& work) {
    double best = 1e30;
    for (int run = 0; run < 15; ++run) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return static_cast<double>(width) * height / 1e6 / best;
}

struct Frame {
    VopImage* header;
    std::vector<char> pixels;
    Frame(int width, int height) {
        header = vopCreateImageHeader(3, 0, VOP_DEPTH_8U, "RGB", "BGR", 0, 1, 4, width, height, nullptr, nullptr, nullptr, nullptr);
        pixels.resize(static_cast<std::size_t>(header->imageSize));
        header->imageData = pixels.data();
    }
    ~Frame() { vopDeallocate(header, VOP_FREE_HEADER); }
};

cv::Mat Kernel(int kind) {
    const float k3[][9] = {{1, 0, -1, 1, 0, -1, 1, 0, -1}, {-1, -1, -1, 0, 0, 0, 1, 1, 1}, {1, 0, -1, 2, 0, -2, 1, 0, -1},
                           {-1, -2, -1, 0, 0, 0, 1, 2, 1}, {-1, -1, -1, -1, 8, -1, -1, -1, -1}};
    if (kind <= 4 || kind == 8) return cv::Mat(3, 3, CV_32F, const_cast<float*>(k3[kind == 8 ? 4 : kind])).clone();
    if (kind == 5) {
        const float k[] = {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4, -3, 0, 6, 0, -3, -1, -3, -4, -3, -1};
        return cv::Mat(5, 5, CV_32F, const_cast<float*>(k)).clone();
    }
    if (kind == 9) {
        cv::Mat k(5, 5, CV_32F, cv::Scalar(-1));
        k.at<float>(2, 2) = 24;
        return k;
    }
    const float sharpen[] = {-1, -1, -1, -1, 16, -1, -1, -1, -1};
    return cv::Mat(3, 3, CV_32F, const_cast<float*>(sharpen)).clone() / 8.0;
}

}  // namespace

int main() {
    cv::setNumThreads(1);
    const char* kinds[] = {"Prewitt V", "Prewitt H", "Sobel V", "Sobel H", "Laplacian 3", "Laplacian 5", "Gaussian 3",
                           "Gaussian 5", "HighPass 3", "HighPass 5", "Sharpen"};
    for (auto [width, height] : {std::pair{720, 576}, std::pair{1920, 1080}}) {
        Frame src(width, height), dst(width, height), big(2 * width, 2 * height);
        std::mt19937 random(1);
        for (char& byte : src.pixels) byte = static_cast<char>(random());
        cv::Mat in(height, width, CV_8UC3, src.header->imageData, static_cast<std::size_t>(src.header->widthStep));
        cv::Mat out(height, width, CV_8UC3), outBig;
        const double copy = Throughput(width, height, [&] { std::memcpy(dst.pixels.data(), src.pixels.data(), src.pixels.size()); });
        std::printf("%dx%d: memcpy %.0f MP/s\n", width, height, copy);
        auto line = [&](const char* name, const std::function<void()>& ours, const std::function<void()>& theirs,
                        const char* target = "(target >= 1.00)") {
            const double a = Throughput(width, height, ours), b = Throughput(width, height, theirs);
            std::printf("  %-14s rastel %8.1f MP/s   OpenCV %8.1f MP/s   ratio %5.2f %s\n", name, a, b, a / b, target);
        };
        for (int kind = 0; kind <= 10; ++kind) {
            line(kinds[kind], [&] { vopFixedFilter(src.header, dst.header, kind); }, [&] {
                if (kind == 2) cv::Sobel(in, out, -1, 1, 0, 3, -1.0, 0, cv::BORDER_CONSTANT);
                else if (kind == 3) cv::Sobel(in, out, -1, 0, 1, 3, 1.0, 0, cv::BORDER_CONSTANT);
                else if (kind == 6) cv::GaussianBlur(in, out, cv::Size(3, 3), 0, 0, cv::BORDER_CONSTANT);
                else if (kind == 7) cv::GaussianBlur(in, out, cv::Size(5, 5), 0, 0, cv::BORDER_CONSTANT);
                else cv::filter2D(in, out, -1, Kernel(kind), cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);
            });
        }
        line("Blur 3x3", [&] { vopBlur(src.header, dst.header, 3, 3, 1, 1); },
             [&] { cv::blur(in, out, cv::Size(3, 3), cv::Point(-1, -1), cv::BORDER_CONSTANT); });
        // OpenCV has no colour median: its median takes each channel apart, a far smaller task.
        line("Colour median", [&] { vopColorMedianFilter(src.header, dst.header, 3, 3, 1, 1); }, [&] { cv::medianBlur(in, out, 3); },
             "(per-channel median beside it, no target)");
        const cv::Mat square = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
        line("Max 3x3", [&] { vopMaxFilter(src.header, dst.header, 3, 3, 1, 1); }, [&] { cv::dilate(in, out, square); });
        line("Min 3x3", [&] { vopMinFilter(src.header, dst.header, 3, 3, 1, 1); }, [&] { cv::erode(in, out, square); });
        line("Erode", [&] { vopErode(src.header, dst.header, 1); }, [&] { cv::erode(in, out, square); });
        line("Dilate", [&] { vopDilate(src.header, dst.header, 1); }, [&] { cv::dilate(in, out, square); });
        line("Open", [&] { vopOpen(src.header, dst.header, 1); }, [&] { cv::morphologyEx(in, out, cv::MORPH_OPEN, square); });
        line("Close", [&] { vopClose(src.header, dst.header, 1); }, [&] { cv::morphologyEx(in, out, cv::MORPH_CLOSE, square); });
        line("Resize x2 cubic", [&] { vopResize(src.header, big.header, 2, 1, 2, 1, VOP_INTER_CUBIC); },
             [&] { cv::resize(in, outBig, cv::Size(2 * width, 2 * height), 0, 0, cv::INTER_CUBIC); });
    }
    return 0;
}
