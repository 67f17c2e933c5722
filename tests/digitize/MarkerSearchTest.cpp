// Template capture and search on frames drawn in memory.

#include "MarkerSearch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace kadivo::test {
namespace {

// A 24-bit bottom-up frame of one grey value with squares painted into it.
class PaintedFrame {
public:
    PaintedFrame(int width, int height, std::uint8_t ground)
        : width_(width), height_(height), stride_(((width * 24 + 31) / 32) * 4),
          bytes_(static_cast<std::size_t>(stride_ * height), ground) {}

    void Set(int x, int y, std::uint8_t value) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        std::uint8_t* pixel = &bytes_[static_cast<std::size_t>(y * stride_ + 3 * x)];
        pixel[0] = pixel[1] = pixel[2] = value;
    }
    // A square of side `side` whose lower-left pixel is (x, y).
    void Square(int x, int y, int side, std::uint8_t value) {
        for (int row = y; row < y + side; ++row)
            for (int column = x; column < x + side; ++column) Set(column, row, value);
    }
    GreyFrame Grey() { return {{bytes_.data(), width_, height_, 24}, {}}; }

private:
    int width_, height_, stride_;
    std::vector<std::uint8_t> bytes_;
};

SearchSettings Settings(TemplateMethod method) {
    SearchSettings settings;
    settings.method = method;
    return settings;
}

TEST(GreyLevels, LuminanceQuantisedToSixteenLevels) {
    EXPECT_EQ(GreyLevel(0, 0, 255), 64);  // pure red: floor(76.245 / 16) · 16
    EXPECT_EQ(GreyLevel(0, 255, 0), 144);
    EXPECT_EQ(GreyLevel(255, 0, 0), 16);
    EXPECT_EQ(GreyLevel(255, 255, 255), 240);
    EXPECT_EQ(GreyLevel(15, 15, 15), 0);
    // Greys on a level boundary stay on it although the weights are inexact in binary.
    for (int value = 0; value < 256; ++value) {
        const auto v = static_cast<std::uint8_t>(value);
        EXPECT_EQ(GreyLevel(v, v, v), value / 16 * 16) << value;
    }
}

TEST(GreyLevels, PalettisedFramesReadTheirPalette) {
    std::vector<std::uint8_t> pixels(8, 1);  // 2 rows of 4 bytes, every pixel palette entry 1
    const std::vector<PaletteEntry> palette{{0, 0, 0, 0}, {0, 0, 255, 0}};
    const GreyFrame frame{{pixels.data(), 4, 2, 8}, palette};
    EXPECT_EQ(frame.LevelAt(3, 1), 4);
    pixels[0] = 9;  // an index past the palette reads as black
    EXPECT_EQ(frame.LevelAt(0, 0), 0);
}

TEST(CaptureTemplate, CentredOnTheTruncatedPositionAndZeroOutsideTheFrame) {
    PaintedFrame frame(60, 40, 0);
    frame.Set(20, 10, 255);
    MarkerTemplate marker;
    CaptureTemplate(frame.Grey(), {20.9f, 10.7f}, 5, 7, marker);
    EXPECT_EQ(marker.frame, 7);
    ASSERT_EQ(marker.size, 5);
    ASSERT_EQ(marker.values.size(), 25u);
    EXPECT_EQ(marker.values[2 * 5 + 2], 240.0f);  // the centre, rows bottom-up
    EXPECT_EQ(std::count(marker.values.begin(), marker.values.end(), 0.0f), 24);

    frame.Square(0, 0, 3, 255);
    CaptureTemplate(frame.Grey(), {0.0f, 0.0f}, 5, 8, marker);
    // The block reaches two pixels past the corner: those read 0, the frame's pixels 240.
    EXPECT_EQ(marker.values[0], 0.0f);
    EXPECT_EQ(marker.values[2 * 5 + 2], 240.0f);
    EXPECT_EQ(marker.values[4 * 5 + 4], 240.0f);
    EXPECT_EQ(std::count(marker.values.begin(), marker.values.end(), 240.0f), 9);

    CaptureTemplate(frame.Grey(), {30.0f, 20.0f}, 99, 9, marker);  // sizes are kept in range
    EXPECT_EQ(marker.size, SearchSettings::kMaxTemplateSize);
}

// A bright square marker of side 5 centred on (60, 60) in one frame and on `to` in the next,
// a shade darker there (so that no placement matches exactly, as in real video).
struct MovedMarker {
    MarkerTemplate marker;
    Point2f previous{60.0f, 60.0f};
    PaintedFrame next{140, 120, 40};

    explicit MovedMarker(Point2f to, std::uint8_t value = 230) {
        PaintedFrame first(140, 120, 40);
        first.Square(58, 58, 5, 255);
        CaptureTemplate(first.Grey(), previous, 15, 0, marker);
        next.Square(static_cast<int>(to.x) - 2, static_cast<int>(to.y) - 2, 5, value);
    }
    // The frame position the search finds.
    Point2f Found(const SearchSettings& settings, SearchOffset predicted = {}) {
        const Point2f m = SearchMarker(next.Grey(), marker, previous, predicted, settings);
        const float half = static_cast<float>(settings.searchSize / 2);
        return {previous.x - half + m.x, previous.y - half + m.y};
    }
};

TEST(SearchMarker, BothMethodsFindAMovedMarker) {
    for (TemplateMethod method : {TemplateMethod::Savd, TemplateMethod::Convolution}) {
        MovedMarker moved({67.0f, 52.0f});
        EXPECT_EQ(moved.Found(Settings(method)), (Point2f{67.0f, 52.0f})) << static_cast<int>(method);
    }
}

TEST(SearchMarker, SavdNeverTakesAnExactMatch) {
    // The marker unchanged at (70, 60) scores 0; a dimmer copy at (50, 60) is the best
    // positive score.
    MovedMarker moved({70.0f, 60.0f}, 255);
    moved.next.Square(48, 58, 5, 200);
    EXPECT_EQ(moved.Found(Settings(TemplateMethod::Savd)), (Point2f{50.0f, 60.0f}));
}

TEST(SearchMarker, EqualScoresGoToTheFirstInScanOrderUnlessUseVelocityPointsElsewhere) {
    MovedMarker moved({63.0f, 60.0f});
    moved.next.Square(46, 58, 5, 230);
    SearchSettings settings = Settings(TemplateMethod::Savd);
    EXPECT_EQ(moved.Found(settings), (Point2f{48.0f, 60.0f}));
    settings.useVelocity = true;
    // The prediction: window column 63 − 35, row 60 − 35.
    EXPECT_EQ(moved.Found(settings, {28, 25}), (Point2f{63.0f, 60.0f}));
}

TEST(SearchMarker, BrightMarkerTakesTheCentroidOfBrightPixels) {
    // A 4 × 4 marker has no centre pixel: the match lands on one of the middle pixels, the
    // centroid between them.
    PaintedFrame first(140, 120, 40), next(140, 120, 40);
    first.Square(58, 58, 4, 255);
    next.Square(64, 54, 4, 255);
    MarkerTemplate marker;
    CaptureTemplate(first.Grey(), {60.0f, 60.0f}, 15, 0, marker);
    SearchSettings settings = Settings(TemplateMethod::Savd);
    settings.brightMarker = true;
    const Point2f m = SearchMarker(next.Grey(), marker, {60.0f, 60.0f}, {}, settings);
    EXPECT_FLOAT_EQ(m.x, 25.0f - 60.0f + 65.5f);
    EXPECT_FLOAT_EQ(m.y, 25.0f - 60.0f + 55.5f);
}

TEST(SearchMarker, AMarkerNearTheFrameEdgeIsStillFound) {
    PaintedFrame first(140, 120, 40), next(140, 120, 40);
    first.Square(6, 98, 5, 255);
    next.Square(3, 104, 5, 230);
    MarkerTemplate marker;
    CaptureTemplate(first.Grey(), {8.0f, 100.0f}, 15, 0, marker);
    const Point2f m = SearchMarker(next.Grey(), marker, {8.0f, 100.0f}, {}, Settings(TemplateMethod::Savd));
    EXPECT_EQ(8.0f - 25.0f + m.x, 5.0f);
    EXPECT_EQ(100.0f - 25.0f + m.y, 106.0f);
}

// The scores of a placement computed the plain way, in double precision.
double PlainScore(TemplateMethod method, const SearchImages& images, int u, int v) {
    const int t = images.templateSize, s = images.searchSize, n = t * t;
    double windowMean = 0.0, templateMean = 0.0;
    for (float value : images.window) windowMean += value;
    for (float value : images.templ) templateMean += value;
    windowMean /= s * s;
    templateMean /= n;
    double differences = 0.0, products = 0.0, templateSpread = 0.0, windowSpread = 0.0;
    for (int r = 0; r < t; ++r)
        for (int c = 0; c < t; ++c) {
            const double S = images.window[static_cast<std::size_t>((v + r) * s + u + c)];
            const double T = images.templ[static_cast<std::size_t>(r * t + c)];
            differences += (S - T) * (S - T);
            products += S * T;
            templateSpread += (T - templateMean) * (T - templateMean);
            windowSpread += (S - windowMean) * (S - windowMean);
        }
    return method == TemplateMethod::Savd ? differences / n : products / templateSpread * windowSpread;
}

TEST(SearchMarker, EveryScoreMatchesThePlainSums) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> grey(0, 255);
    for (int templateSize : {15, 17, 18, 30}) {
        PaintedFrame frame(120, 120, 0), first(120, 120, 0);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x) {
                frame.Set(x, y, static_cast<std::uint8_t>(grey(random)));
                first.Set(x, y, static_cast<std::uint8_t>(grey(random)));
            }
        MarkerTemplate marker;
        CaptureTemplate(first.Grey(), {60.0f, 60.0f}, templateSize, 0, marker);
        for (TemplateMethod method : {TemplateMethod::Savd, TemplateMethod::Convolution}) {
            SearchSettings settings = Settings(method);
            settings.templateSize = templateSize;
            settings.searchSize = 64;
            SearchImages images;
            SearchMarker(frame.Grey(), marker, {60.0f, 60.0f}, {}, settings, &images);
            const int placements = settings.searchSize - templateSize;
            for (int v = 0; v < settings.searchSize; ++v)
                for (int u = 0; u < settings.searchSize; ++u) {
                    const float score = images.response[static_cast<std::size_t>(v * settings.searchSize + u)];
                    const int pu = u - templateSize / 2, pv = v - templateSize / 2;
                    if (pu < 0 || pv < 0 || pu >= placements || pv >= placements) {
                        ASSERT_EQ(score, 0.0f) << "unscored cell " << u << "," << v;
                        continue;
                    }
                    const double plain = PlainScore(method, images, pu, pv);
                    ASSERT_NEAR(score, plain, std::abs(plain) * 1e-5) << templateSize << " " << u << "," << v;
                }
        }
    }
}

TEST(SearchMarker, TheStatusImagesShowWhatWasSearched) {
    MovedMarker moved({62.0f, 61.0f});
    SearchImages images;
    SearchMarker(moved.next.Grey(), moved.marker, moved.previous, {}, Settings(TemplateMethod::Savd), &images);
    EXPECT_EQ(images.searchSize, 50);
    EXPECT_EQ(images.templateSize, 15);
    EXPECT_EQ(images.window.size(), 2500u);
    EXPECT_EQ(images.templ, moved.marker.values);
    // The window from (35, 35): the marker's lower-left pixel (60, 59) is window pixel (25, 24).
    EXPECT_EQ(images.window[24 * 50 + 25], 224.0f);
    EXPECT_EQ(images.window[0], 32.0f);
}

}  // namespace
}  // namespace kadivo::test
