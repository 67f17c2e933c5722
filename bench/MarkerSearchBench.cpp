// One marker search — a 50 × 50 search window and a 15 × 15 template, as the document's
// defaults have them — with "SAVD" and "Convolution", beside OpenCV's matchTemplate with
// TM_SQDIFF and TM_CCORR and minMaxLoc on the same grey values, single-threaded. Kadivo's
// figure includes reading the window from a 24-bit frame; OpenCV's starts from grey data.

#include "MarkerSearch.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

using namespace kadivo;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 320, kHeight = 240, kSearch = 50, kTemplate = 15;
constexpr int kRepeats = 2000;

// Microseconds per call, the best of a few runs.
double Microseconds(const std::function<void()>& work) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        for (int i = 0; i < kRepeats; ++i) work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count() / kRepeats);
    }
    return best * 1e6;
}

}  // namespace

int main() {
    cv::setNumThreads(1);
    // A dark frame with a bright disc and noise, 24-bit bottom-up rows.
    const int stride = ((kWidth * 24 + 31) / 32) * 4;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride * kHeight));
    std::mt19937 random(3);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool disc = (x - 163) * (x - 163) + (y - 118) * (y - 118) <= 36;
            const auto grey = static_cast<std::uint8_t>(disc ? 250 : 30 + random() % 40);
            for (int c = 0; c < 3; ++c) pixels[static_cast<std::size_t>(y * stride + 3 * x + c)] = grey;
        }
    const GreyFrame frame{{pixels.data(), kWidth, kHeight, 24}, {}};
    MarkerTemplate marker;
    CaptureTemplate(frame, {160.0f, 120.0f}, kTemplate, 0, marker);
    const Point2f previous{160.0f, 120.0f};

    // The same grey values for OpenCV.
    const int x0 = static_cast<int>(previous.x) - kSearch / 2, y0 = static_cast<int>(previous.y) - kSearch / 2;
    cv::Mat window(kSearch, kSearch, CV_8U), templ(kTemplate, kTemplate, CV_8U);
    for (int r = 0; r < kSearch; ++r)
        for (int c = 0; c < kSearch; ++c) window.at<std::uint8_t>(r, c) = static_cast<std::uint8_t>(frame.LevelAt(x0 + c, y0 + r) * 16);
    for (int r = 0; r < kTemplate; ++r)
        for (int c = 0; c < kTemplate; ++c)
            templ.at<std::uint8_t>(r, c) = static_cast<std::uint8_t>(marker.values[static_cast<std::size_t>(r * kTemplate + c)]);

    std::printf("one search: %d x %d window, %d x %d template, microseconds per search\n", kSearch, kSearch, kTemplate, kTemplate);
    Point2f sink{};
    cv::Mat result;
    for (auto [method, name, cvMethod, cvName] :
         {std::tuple{TemplateMethod::Savd, "SAVD", cv::TM_SQDIFF, "TM_SQDIFF"},
          std::tuple{TemplateMethod::Convolution, "Convolution", cv::TM_CCORR, "TM_CCORR"}}) {
        SearchSettings settings;
        settings.method = method;
        const double ours = Microseconds([&] { sink = SearchMarker(frame, marker, previous, {25, 25}, settings); });
        const double theirs = Microseconds([&] {
            cv::matchTemplate(window, templ, result, cvMethod);
            double low, high;
            cv::Point lowAt, highAt;
            cv::minMaxLoc(result, &low, &high, &lowAt, &highAt);
        });
        std::printf("  %-12s kadivo %7.2f us   OpenCV %-9s %7.2f us   speed ratio %5.2f (target >= 1.00)\n", name, ours, cvName,
                    theirs, theirs / ours);
    }
    return sink.x < 0.0f ? 1 : 0;
}
