#include "RastelFixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace rastel_test {
namespace {

using RankFilters = RastelTest;

double Sample(const VopImage* image, int x, int y, int c) {
    if (x < 0 || y < 0 || x >= image->width || y >= image->height) return 0.0;  // the default black border
    return At(image, x, y, c);
}

using WindowFunction = std::function<double(const std::vector<double>&)>;

std::vector<double> Expected(const VopImage* src, int nCols, int nRows, int ax, int ay, int channels, const WindowFunction& f) {
    std::vector<double> out;
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < src->height; ++y)
            for (int x = 0; x < src->width; ++x) {
                std::vector<double> window;
                for (int j = 0; j < nRows; ++j)
                    for (int i = 0; i < nCols; ++i) window.push_back(Sample(src, x - ax + i, y - ay + j, c));
                out.push_back(f(window));
            }
    return out;
}

std::vector<double> All(const VopImage* image, int channels) {
    std::vector<double> out;
    for (int c = 0; c < channels; ++c)
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) out.push_back(At(image, x, y, c));
    return out;
}

const WindowFunction kMax = [](const std::vector<double>& w) { return *std::max_element(w.begin(), w.end()); };
const WindowFunction kMin = [](const std::vector<double>& w) { return *std::min_element(w.begin(), w.end()); };
const WindowFunction kMedian = [](std::vector<double> w) {
    std::sort(w.begin(), w.end());
    return w[w.size() / 2];
};

TEST_F(RankFilters, MaximumMinimumAndMedianMatchTheirDefinitions) {
    const int depths[] = {VOP_DEPTH_8U, VOP_DEPTH_8S, VOP_DEPTH_16U, VOP_DEPTH_16S, VOP_DEPTH_32S};
    unsigned seed = 300;
    for (int depth : depths) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{7, 5}, std::pair{13, 6}}) {
            for (auto [cols, rows, ax, ay] : {std::tuple{3, 3, 1, 1}, std::tuple{2, 2, 0, 1}, std::tuple{4, 1, 3, 0}, std::tuple{1, 5, 0, 2}}) {
                VopImage* src = Image(w, h, 3, depth, ++seed);
                VopImage* dst = Image(w, h, 3, depth, ++seed);
                vopMaxFilter(src, dst, cols, rows, ax, ay);
                ASSERT_EQ(All(dst, 3), Expected(src, cols, rows, ax, ay, 3, kMax)) << depth;
                vopMinFilter(src, dst, cols, rows, ax, ay);
                ASSERT_EQ(All(dst, 3), Expected(src, cols, rows, ax, ay, 3, kMin)) << depth;
                vopMedianFilter(src, dst, cols, rows, ax, ay);
                ASSERT_EQ(All(dst, 3), Expected(src, cols, rows, ax, ay, 3, kMedian)) << depth;
            }
        }
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RankFilters, MedianOfTwoByTwoTakesTheLargerMiddleValue) {
    VopImage* src = Image(2, 2, 1);
    VopImage* dst = Image(2, 2, 1);
    Put(src, 0, 0, 0, 10);
    Put(src, 1, 0, 0, 20);
    Put(src, 0, 1, 0, 30);
    Put(src, 1, 1, 0, 40);
    vopMedianFilter(src, dst, 2, 2, 0, 0);
    EXPECT_EQ(At(dst, 0, 0, 0), 30);
}

// The colour of the window with the least summed distance to all others, the earliest in
// scan order on equal sums.
std::vector<double> ExpectedColourMedian(const VopImage* src, int nCols, int nRows, int ax, int ay) {
    std::vector<std::vector<double>> planes(3);
    for (int y = 0; y < src->height; ++y)
        for (int x = 0; x < src->width; ++x) {
            std::vector<std::array<double, 3>> colours;
            for (int j = 0; j < nRows; ++j)
                for (int i = 0; i < nCols; ++i) {
                    const int sx = x - ax + i, sy = y - ay + j;
                    colours.push_back({Sample(src, sx, sy, 0), Sample(src, sx, sy, 1), Sample(src, sx, sy, 2)});
                }
            std::size_t best = 0;
            double bestSum = 1e300;
            for (std::size_t a = 0; a < colours.size(); ++a) {
                double sum = 0;
                for (const auto& b : colours)
                    for (int c = 0; c < 3; ++c) sum += std::fabs(colours[a][static_cast<std::size_t>(c)] - b[static_cast<std::size_t>(c)]);
                if (sum < bestSum) best = a, bestSum = sum;
            }
            for (int c = 0; c < 3; ++c) planes[static_cast<std::size_t>(c)].push_back(colours[best][static_cast<std::size_t>(c)]);
        }
    std::vector<double> all;
    for (const auto& plane : planes) all.insert(all.end(), plane.begin(), plane.end());
    return all;
}

TEST_F(RankFilters, ColourMedianPicksTheMostCentralColourEarliestOnTies) {
    unsigned seed = 400;
    for (auto [w, h] : {std::pair{6, 5}, std::pair{37, 19}}) {
        for (auto [cols, rows, ax, ay] : {std::tuple{3, 3, 1, 1}, std::tuple{5, 3, 4, 0}, std::tuple{2, 2, 0, 1}, std::tuple{10, 9, 5, 4}}) {
            for (bool fewColours : {false, true}) {  // few colours: many equal sums
                VopImage* src = Image(w, h, 3, VOP_DEPTH_8U, ++seed);
                if (fewColours)
                    for (int i = 0; i < src->imageSize; ++i) src->imageData[i] = static_cast<char>(100 * (static_cast<unsigned char>(src->imageData[i]) % 3));
                VopImage* dst = Image(w, h, 3);
                vopColorMedianFilter(src, dst, cols, rows, ax, ay);
                ASSERT_EQ(All(dst, 3), ExpectedColourMedian(src, cols, rows, ax, ay)) << w << "x" << h << " window " << cols << "x" << rows;
            }
        }
    }
    // Two colours in equal numbers: the first in scan order wins.
    VopImage* two = Image(2, 1, 3);
    VopImage* out = Image(2, 1, 3);
    for (int c = 0; c < 3; ++c) {
        Put(two, 0, 0, c, 50);
        Put(two, 1, 0, c, 200);
    }
    vopColorMedianFilter(two, out, 2, 1, 0, 0);
    EXPECT_EQ(At(out, 0, 0, 0), 50);
    EXPECT_EQ(At(out, 1, 0, 0), 200) << "the window of the last pixel holds it and the black border";
    VopImage* noAlpha = Image(3, 3, 4);
    VopImage* noAlphaDst = Image(3, 3, 4);
    vopColorMedianFilter(noAlpha, noAlphaDst, 3, 3, 1, 1);
    ASSERT_FALSE(Reports().empty());
    EXPECT_EQ(Reports().back().message, "(srcImage->nChannels==4)&&(srcImage->alphaChannel==0)");
}

// Erosion and dilation as defined: the region extended one pixel from the image (black
// beyond it), repeated further out.
std::vector<double> ExpectedMorphology(const VopImage* src, int n, bool erode) {
    auto padded = [&](int x, int y, int c) {
        return Sample(src, std::clamp(x, -1, src->width), std::clamp(y, -1, src->height), c);
    };
    std::vector<double> out;
    for (int c = 0; c < src->nChannels; ++c)
        for (int y = 0; y < src->height; ++y)
            for (int x = 0; x < src->width; ++x) {
                double best = padded(x, y, c);
                for (int j = -n; j <= n; ++j)
                    for (int i = -n; i <= n; ++i)
                        best = erode ? std::min(best, padded(x + i, y + j, c)) : std::max(best, padded(x + i, y + j, c));
                out.push_back(best);
            }
    return out;
}

TEST_F(RankFilters, ErosionAndDilationFollowTheirSquare) {
    unsigned seed = 500;
    for (int depth : {VOP_DEPTH_8U, VOP_DEPTH_16S}) {
        for (int n : {1, 2}) {
            VopImage* src = Image(9, 7, 3, depth, ++seed);
            VopImage* dst = Image(9, 7, 3, depth, ++seed);
            vopErode(src, dst, n);
            ASSERT_EQ(All(dst, 3), ExpectedMorphology(src, n, true));
            vopDilate(src, dst, n);
            ASSERT_EQ(All(dst, 3), ExpectedMorphology(src, n, false));
        }
    }
    VopImage* bright = Image(5, 4, 1);
    VopImage* out = Image(5, 4, 1);
    std::memset(bright->imageData, 200, static_cast<std::size_t>(bright->imageSize));
    vopErode(bright, out, 1);
    EXPECT_EQ(At(out, 0, 2, 0), 0);
    EXPECT_EQ(At(out, 2, 1, 0), 200);
    vopMinFilter(bright, out, 3, 3, 1, 1);
    EXPECT_EQ(At(out, 4, 3, 0), 0);
    EXPECT_EQ(At(out, 2, 2, 0), 200);
    vopDilate(bright, out, 1);
    EXPECT_EQ(At(out, 0, 0, 0), 200);
    EXPECT_TRUE(Reports().empty());
    vopErode(bright, out, 0);
    EXPECT_EQ(Reports().back().message, "Illegal number of iterations");
    VopImage* floats = Image(3, 3, 1, VOP_DEPTH_32F);
    VopImage* floatsOut = Image(3, 3, 1, VOP_DEPTH_32F);
    vopErode(floats, floatsOut, 1);
    EXPECT_EQ(Reports().back().message, "Illegal image depth");
    EXPECT_EQ(Reports().back().function, "vopErode");
}

// An opening (erode first) or closing (dilate first) as defined: the source extended one
// pixel from the image and repeated beyond, the first pass over the region and one pixel
// around it, the second over the region.
std::vector<double> ExpectedOpenClose(const VopImage* src, bool open) {
    const int w = src->width, h = src->height;
    auto padded = [&](int x, int y, int c) { return Sample(src, std::clamp(x, -1, w), std::clamp(y, -1, h), c); };
    auto pass = [](bool erode, const std::function<double(int, int)>& in, int x, int y) {
        double best = in(x, y);
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) best = erode ? std::min(best, in(x + i, y + j)) : std::max(best, in(x + i, y + j));
        return best;
    };
    std::vector<double> out;
    for (int c = 0; c < src->nChannels; ++c)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out.push_back(pass(!open, [&](int u, int v) { return pass(open, [&](int s, int t) { return padded(s, t, c); }, u, v); }, x, y));
    return out;
}

// Rows long enough for the vector loops, at every length their last chunk can overlap.
TEST_F(RankFilters, WideRowsFollowTheDefinitionsToTheirLastByte) {
    unsigned seed = 700;
    for (int channels : {1, 3, 4})
        for (int width : {21, 22, 23, 31, 43, 64, 85, 100}) {
            VopImage* src = Image(width, 4, channels, VOP_DEPTH_8U, ++seed);
            VopImage* dst = Image(width, 4, channels, VOP_DEPTH_8U, ++seed);
            const std::string what = std::to_string(width) + " pixels of " + std::to_string(channels) + " channels";
            vopMaxFilter(src, dst, 3, 3, 1, 1);
            ASSERT_EQ(All(dst, channels), Expected(src, 3, 3, 1, 1, channels, kMax)) << what;
            vopMinFilter(src, dst, 3, 3, 1, 1);
            ASSERT_EQ(All(dst, channels), Expected(src, 3, 3, 1, 1, channels, kMin)) << what;
            vopErode(src, dst, 1);
            ASSERT_EQ(All(dst, channels), ExpectedMorphology(src, 1, true)) << what;
            vopDilate(src, dst, 1);
            ASSERT_EQ(All(dst, channels), ExpectedMorphology(src, 1, false)) << what;
            vopOpen(src, dst, 1);
            ASSERT_EQ(All(dst, channels), ExpectedOpenClose(src, true)) << what;
            vopClose(src, dst, 1);
            ASSERT_EQ(All(dst, channels), ExpectedOpenClose(src, false)) << what;
            vopClose(src, Alias(src), 1);
            ASSERT_EQ(All(src, channels), All(dst, channels)) << what << ", in place";
        }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RankFilters, MorphologyInPlaceReadsEverySourceRowBeforeWriting) {
    for (int n : {1, 2}) {
        VopImage* image = Image(10, 8, 3, VOP_DEPTH_8U, 900 + static_cast<unsigned>(n));
        VopImage* separate = Image(10, 8, 3);
        vopOpen(image, separate, n);
        vopOpen(image, Alias(image), n);
        EXPECT_EQ(All(image, 3), All(separate, 3)) << n;
        vopErode(image, separate, n);
        vopErode(image, Alias(image), n);
        EXPECT_EQ(All(image, 3), All(separate, 3)) << n;
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RankFilters, OpeningRemovesBrightSpecksAndClosingFillsDarkOnes) {
    VopImage* src = Image(7, 7, 1);
    VopImage* dst = Image(7, 7, 1);
    std::memset(src->imageData, 100, static_cast<std::size_t>(src->imageSize));
    Put(src, 3, 3, 0, 250);
    vopOpen(src, dst, 1);
    EXPECT_EQ(At(dst, 3, 3, 0), 100);
    Put(src, 3, 3, 0, 5);
    vopClose(src, dst, 1);
    EXPECT_EQ(At(dst, 3, 3, 0), 100);
    EXPECT_TRUE(Reports().empty());
}

TEST_F(RankFilters, SharedPixelsSeeTheStripsFilteredFirst) {
    // A maximum filter on one image through two headers, against the order of the work
    // done by hand: strips left, right, top, bottom from the image as it is then, then the
    // interior from rows as they were when first read.
    VopImage* image = Image(8, 7, 1, VOP_DEPTH_8U, 600);
    VopImage* expected = Image(8, 7, 1);
    std::memcpy(expected->imageData, image->imageData, static_cast<std::size_t>(image->imageSize));
    const int w = 8, h = 7;
    std::vector<std::vector<bool>> done(h, std::vector<bool>(w, false));
    auto maxAround = [&](const std::function<double(int, int)>& at, int x, int y) {
        double best = -1;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) best = std::max(best, at(x + i, y + j));
        return best;
    };
    for (char edge : {'L', 'R', 'T', 'B'}) {
        std::vector<char> snapshot(expected->imageData, expected->imageData + expected->imageSize);
        VopImage view = *expected;
        view.imageData = snapshot.data();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool reaches = edge == 'L' ? x == 0 : edge == 'R' ? x == w - 1 : edge == 'T' ? y == 0 : y == h - 1;
                if (!reaches || done[y][x]) continue;
                done[y][x] = true;
                Put(expected, x, y, 0, maxAround([&](int i, int j) { return Sample(&view, i, j, 0); }, x, y));
            }
    }
    std::map<int, std::vector<double>> rows;
    for (int y = 1; y < h - 1; ++y) {
        for (int r = y - 1; r <= y + 1; ++r)
            if (!rows.count(r))
                for (int x = 0; x < w; ++x) rows[r].push_back(At(expected, x, r, 0));
        for (int x = 1; x < w - 1; ++x)
            Put(expected, x, y, 0, maxAround([&](int i, int j) { return rows[j][static_cast<std::size_t>(i)]; }, x, y));
    }
    vopMaxFilter(image, Alias(image), 3, 3, 1, 1);
    EXPECT_EQ(All(image, 1), All(expected, 1));
}

TEST_F(RankFilters, OneBitImagesAreFilteredAsZerosAndOnes) {
    VopImage* src = vopCreateImageHeader(1, 0, VOP_DEPTH_1U, "GRAY", "GRAY", 0, 0, 4, 12, 5, nullptr, nullptr, nullptr, nullptr);
    VopImage* dst = vopCreateImageHeader(1, 0, VOP_DEPTH_1U, "GRAY", "GRAY", 0, 0, 4, 12, 5, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> a(static_cast<std::size_t>(src->imageSize)), b(static_cast<std::size_t>(dst->imageSize));
    src->imageData = a.data();
    dst->imageData = b.data();
    images_.push_back(src);
    images_.push_back(dst);
    std::mt19937 random(77);
    for (char& byte : a) byte = static_cast<char>(random());
    vopFixedFilter(src, dst, 10);
    EXPECT_EQ(All(dst, 1), All(src, 1)) << "kind 10 copies bits";
    vopMaxFilter(src, dst, 3, 3, 1, 1);
    EXPECT_EQ(All(dst, 1), Expected(src, 3, 3, 1, 1, 1, kMax));
    vopMedianFilter(src, dst, 3, 1, 1, 0);
    EXPECT_EQ(All(dst, 1), Expected(src, 3, 1, 1, 0, 1, kMedian));
    vopErode(src, dst, 1);
    EXPECT_EQ(All(dst, 1), ExpectedMorphology(src, 1, true));
    EXPECT_TRUE(Reports().empty());
}

using Resize = RastelTest;

// The cubic through four samples as a Lagrange polynomial, an independent form.
double Lagrange(double sm1, double s0, double s1, double s2, double t) {
    return sm1 * (-t * (t - 1) * (t - 2) / 6) + s0 * ((t + 1) * (t - 1) * (t - 2) / 2) + s1 * (-(t + 1) * t * (t - 2) / 2) +
           s2 * ((t + 1) * t * (t - 1) / 6);
}

TEST_F(Resize, CubicZoomFollowsTheFourPointPolynomial) {
    VopImage* src = Image(9, 7, 3, VOP_DEPTH_8U, 700);
    VopImage* dst = Image(18, 14, 3);
    vopResize(src, dst, 2, 1, 2, 1, VOP_INTER_CUBIC);
    ASSERT_TRUE(Reports().empty());
    const double step = 8.0 / 17.0, stepY = 6.0 / 13.0;
    auto sample = [&](int x, int y, int c) { return At(src, std::clamp(x, 0, 8), std::clamp(y, 0, 6), c); };
    for (int c = 0; c < 3; ++c)
        for (int j = 0; j < 14; ++j)
            for (int i = 0; i < 18; ++i) {
                const double px = i * step, py = j * stepY;
                const int x0 = static_cast<int>(std::floor(px)), y0 = static_cast<int>(std::floor(py));
                double rows[4];
                for (int r = 0; r < 4; ++r)
                    rows[r] = Lagrange(sample(x0 - 1, y0 - 1 + r, c), sample(x0, y0 - 1 + r, c), sample(x0 + 1, y0 - 1 + r, c),
                                       sample(x0 + 2, y0 - 1 + r, c), px - x0);
                const double value = std::clamp(std::trunc(Lagrange(rows[0], rows[1], rows[2], rows[3], py - y0) + 1e-7), 0.0, 255.0);
                ASSERT_NEAR(At(dst, i, j, c), value, 1.0) << i << "," << j;
            }
}

// All channels of an interleaved image at once give exactly what each channel alone, through
// a channel of interest, gives; also with regions inside both images.
TEST_F(Resize, CubicZoomOfAllChannelsEqualsEachChannelAlone) {
    for (int channels : {1, 2, 3, 4}) {
        VopImage* src = Image(23, 17, channels, VOP_DEPTH_8U, 900 + static_cast<unsigned>(channels));
        for (bool region : {false, true}) {
            VopImage* whole = Image(60, 45, channels);
            VopImage* single = Image(60, 45, channels);
            if (region) {
                src->roi = Roi(0, 3, 2, 15, 11);
                whole->roi = Roi(0, 1, 4, 50, 40);
            }
            vopResize(src, whole, 5, 2, 5, 2, VOP_INTER_CUBIC);
            for (int c = 1; c <= channels; ++c) {
                VopROI* srcChannel = Roi(c, region ? 3 : 0, region ? 2 : 0, region ? 15 : 23, region ? 11 : 17);
                VopROI* dstChannel = Roi(c, region ? 1 : 0, region ? 4 : 0, region ? 50 : 60, region ? 40 : 45);
                VopROI* kept = src->roi;
                src->roi = srcChannel;
                single->roi = dstChannel;
                vopResize(src, single, 5, 2, 5, 2, VOP_INTER_CUBIC);
                src->roi = kept;
                single->roi = nullptr;
            }
            src->roi = nullptr;
            whole->roi = nullptr;
            ASSERT_EQ(All(whole, channels), All(single, channels)) << channels << " channels" << (region ? ", regions" : "");
        }
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Resize, NarrowSourcesDowngradeAndBadCallsAreRefused) {
    VopImage* narrow = Image(3, 5, 1, VOP_DEPTH_8U, 800);
    VopImage* cubic = Image(6, 10, 1);
    VopImage* linear = Image(6, 10, 1);
    vopResize(narrow, cubic, 2, 1, 2, 1, VOP_INTER_CUBIC);
    vopResize(narrow, linear, 2, 1, 2, 1, VOP_INTER_LINEAR);
    EXPECT_EQ(All(cubic, 1), All(linear, 1)) << "a source 3 wide is resized bilinearly";
    EXPECT_TRUE(Reports().empty());
    vopResize(narrow, linear, 2, 1, 2, 1, VOP_INTER_SUPER);
    EXPECT_EQ(Reports().back().message, "(xDst > xSrc || yDst > ySrc)");
    EXPECT_EQ(Reports().back().function, "Decimate");
    vopResize(narrow, narrow, 2, 1, 2, 1, VOP_INTER_CUBIC);
    EXPECT_EQ(Reports().back().message, "This function isn`t in-plase function");
    EXPECT_EQ(Reports().back().function, "vopZoom");
    vopResize(narrow, linear, 2, 1, 2, 1, 7);
    EXPECT_EQ(Reports().back().status, -5);
}

TEST_F(Resize, AreaAveragingHalvesAnImage) {
    VopImage* src = Image(4, 2, 1);
    VopImage* dst = Image(2, 1, 1);
    const int values[8] = {10, 20, 30, 40, 50, 60, 70, 80};
    for (int i = 0; i < 8; ++i) Put(src, i % 4, i / 4, 0, values[i]);
    vopResize(src, dst, 1, 2, 1, 2, VOP_INTER_SUPER);
    EXPECT_EQ(At(dst, 0, 0, 0), 35);
    EXPECT_EQ(At(dst, 1, 0, 0), 55);
}

}  // namespace
}  // namespace rastel_test
