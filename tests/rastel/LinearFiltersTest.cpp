#include "RastelFixture.h"

#include <cmath>
#include <functional>
#include <map>

namespace rastel_test {
namespace {

using LinearFilters = RastelTest;

const int kKernelSize[11] = {3, 3, 3, 3, 3, 5, 3, 5, 3, 5, 3};
const std::vector<int> kWeights[11] = {
    {1, 0, -1, 1, 0, -1, 1, 0, -1},
    {-1, -1, -1, 0, 0, 0, 1, 1, 1},
    {1, 0, -1, 2, 0, -2, 1, 0, -1},
    {-1, -2, -1, 0, 0, 0, 1, 2, 1},
    {-1, -1, -1, -1, 8, -1, -1, -1, -1},
    {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4, -3, 0, 6, 0, -3, -1, -3, -4, -3, -1},
    {1, 2, 1, 2, 4, 2, 1, 2, 1},
    {2, 7, 12, 7, 2, 7, 31, 52, 31, 7, 12, 52, 127, 52, 12, 7, 31, 52, 31, 7, 2, 7, 12, 7, 2},
    {-1, -1, -1, -1, 8, -1, -1, -1, -1},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 24, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {-1, -1, -1, -1, 16, -1, -1, -1, -1},
};
const double kDivisor[11] = {1, 1, 1, 1, 1, 1, 16, 571, 1, 1, 8};

// A source value with the image's borders: constant, replicate, mirror or wrap by side.
double Sample(const VopImage* image, int x, int y, int c) {
    auto fold = [](int i, int n, int mode) -> int {
        if (i >= 0 && i < n) return i;
        switch (mode) {
        case 1: return i < 0 ? 0 : n - 1;
        case 2: {
            while (i < 0 || i >= n) i = i < 0 ? -1 - i : 2 * n - 1 - i;
            return i;
        }
        case 3: return ((i % n) + n) % n;
        default: return -1;
        }
    };
    const int side = y < 0 ? 0 : (y >= image->height ? 1 : (x < 0 ? 2 : 3));
    const int fy = fold(y, image->height, image->borderMode[y < 0 ? 0 : 1]);
    if (fy < 0) return std::clamp<double>(image->borderValue[y < 0 ? 0 : 1], 0, 255);
    const int fx = fold(x, image->width, image->borderMode[x < 0 ? 2 : 3]);
    if (fx < 0) return std::clamp<double>(image->borderValue[x < 0 ? 2 : 3], 0, 255);
    (void)side;
    return At(image, fx, fy, c);
}

double FixedValue(int kind, int depth, const std::function<double(int, int)>& window) {
    const int n = kKernelSize[kind];
    double sum = 0;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) sum += kWeights[kind][static_cast<std::size_t>(j * n + i)] * window(i, j);
    if (depth == VOP_DEPTH_32F) return sum / kDivisor[kind];
    const double rounded = kDivisor[kind] == 1 ? sum : std::nearbyint(sum / kDivisor[kind]);
    double low, high;
    Range(depth, low, high);
    return std::clamp(rounded, low, high);
}

struct Region {
    int sx, sy, dx, dy, w, h;
};

Region ProcessedRegion(const VopImage* src, const VopImage* dst) {
    auto region = [](const VopImage* image, int& x, int& y, int& w, int& h) {
        x = image->roi ? image->roi->offsetX : 0;
        y = image->roi ? image->roi->offsetY : 0;
        w = image->roi ? std::min(image->roi->width, image->width - x) : image->width;
        h = image->roi ? std::min(image->roi->height, image->height - y) : image->height;
    };
    Region r;
    int sw, sh, dw, dh;
    region(src, r.sx, r.sy, sw, sh);
    region(dst, r.dx, r.dy, dw, dh);
    r.w = std::min(sw, dw);
    r.h = std::min(sh, dh);
    return r;
}

std::vector<std::pair<int, int>> ChannelPairs(const VopImage* src, const VopImage* dst) {
    auto channels = [](const VopImage* image) {
        std::vector<int> list;
        if (image->roi && image->roi->coi) return std::vector<int>{image->roi->coi - 1};
        for (int c = 0; c < image->nChannels - (image->alphaChannel ? 1 : 0); ++c) list.push_back(c);
        return list;
    };
    std::vector<std::pair<int, int>> pairs;
    const auto s = channels(src), d = channels(dst);
    for (std::size_t i = 0; i < s.size(); ++i) pairs.emplace_back(s[i], d[i]);
    return pairs;
}

// Brute force: every destination pixel from the source as it was.
std::vector<double> ExpectedFixed(const VopImage* src, VopImage* dst, int kind) {
    std::vector<double> expected;
    const Region r = ProcessedRegion(src, dst);
    const int half = kKernelSize[kind] / 2;
    for (auto [sc, dc] : ChannelPairs(src, dst))
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x)
                expected.push_back(FixedValue(kind, src->depth, [&](int i, int j) {
                    return Sample(src, r.sx + x - half + i, r.sy + y - half + j, sc);
                }));
    return expected;
}

std::vector<double> Actual(const VopImage* src, const VopImage* dst) {
    std::vector<double> actual;
    const Region r = ProcessedRegion(src, dst);
    for (auto [sc, dc] : ChannelPairs(src, dst))
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) actual.push_back(At(dst, r.dx + x, r.dy + y, dc));
    return actual;
}

void ExpectClose(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << what << " value " << i;
}

// The 5 × 5 Gaussian as defined for 8-bit images: each weight divided by 571 in single
// precision, three combinations per row summed over the rows, rounded to even.
float Gaussian5InSinglePrecision(const std::function<double(int, int)>& window) {
    float total = 0.0f;
    for (int j = 0; j < 5; ++j) {
        volatile float row = 0.0f;  // no wider intermediate
        for (int i = 0; i < 5; ++i)
            row = row + static_cast<float>(kWeights[7][static_cast<std::size_t>(j * 5 + i)]) / 571.0f * static_cast<float>(window(i, j));
        total = total + row;
    }
    return std::clamp(std::nearbyint(total), 0.0f, 255.0f);
}

TEST_F(LinearFilters, EightBitGaussian5EqualsItsSinglePrecisionDefinition) {
    // Random bytes, and sums crowded at the top, in the middle and at the bottom of the range
    // (the 16-bit quotient's remainder then takes every value).
    const std::function<char(std::mt19937&)> fills[] = {
        [](std::mt19937& r) { return static_cast<char>(r()); },
        [](std::mt19937& r) { return static_cast<char>(120 + r() % 16); },
        [](std::mt19937& r) { return static_cast<char>(r() & 1 ? 255 : 0); },
        [](std::mt19937& r) { return static_cast<char>(250 + r() % 6); },
        [](std::mt19937& r) { return static_cast<char>(r() % 3); },
    };
    unsigned seed = 7;
    for (const auto& fill : fills) {
        VopImage* src = Image(67, 41, 3, VOP_DEPTH_8U, ++seed);
        VopImage* dst = Image(67, 41, 3, VOP_DEPTH_8U, ++seed);
        std::mt19937 random(seed);
        for (int i = 0; i < src->imageSize; ++i) src->imageData[i] = fill(random);
        vopFixedFilter(src, dst, 7);
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 67; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(At(dst, x, y, c), Gaussian5InSinglePrecision([&](int i, int j) { return Sample(src, x - 2 + i, y - 2 + j, c); }))
                        << x << "," << y << " channel " << c;
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(LinearFilters, FixedKernelsMatchTheDefinitionsOnEveryDepthAndShape) {
    const int depths[] = {VOP_DEPTH_8U, VOP_DEPTH_8S, VOP_DEPTH_16U, VOP_DEPTH_16S, VOP_DEPTH_32S, VOP_DEPTH_32F};
    const std::pair<int, int> sizes[] = {{1, 1}, {2, 3}, {5, 7}, {13, 4}, {17, 9}};
    unsigned seed = 1;
    for (int depth : depths) {
        for (auto [w, h] : sizes) {
            for (int kind = 0; kind <= 10; ++kind) {
                VopImage* src = Image(w, h, 3, depth, ++seed);
                VopImage* dst = Image(w, h, 3, depth, ++seed);
                if (depth == VOP_DEPTH_32S) {  // keep sums inside the range a reference in double holds exactly
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x)
                            for (int c = 0; c < 3; ++c) Put(src, x, y, c, std::fmod(At(src, x, y, c), 1e6));
                }
                const std::vector<double> expected = ExpectedFixed(src, dst, kind);
                vopFixedFilter(src, dst, kind);
                // Float sums of values up to 100 cancel: compare them absolutely. The 5 × 5
                // Gaussian's single-precision sum may round off the exact quotient by one
                // above 8 bits.
                const bool wide = depth != VOP_DEPTH_8U && depth != VOP_DEPTH_8S;
                const double tolerance = depth == VOP_DEPTH_32F ? 1e-2 : (kind == 7 && wide ? 1.0 : 0.0);
                ExpectClose(Actual(src, dst), expected, tolerance,
                            "depth " + std::to_string(depth) + " " + std::to_string(w) + "x" + std::to_string(h) + " kind " + std::to_string(kind));
            }
        }
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(LinearFilters, RegionsChannelsOfInterestAndAlphaAreRespected) {
    VopImage* src = Image(11, 8, 4, VOP_DEPTH_8U, 5, 4);
    VopImage* dst = Image(11, 8, 4, VOP_DEPTH_8U, 6, 4);
    src->roi = Roi(0, 3, 2, 20, 20);  // reaches past the image: clipped
    dst->roi = Roi(0, 1, 1, 6, 5);
    const std::vector<char> before(dst->imageData, dst->imageData + dst->imageSize);
    const std::vector<double> expected = ExpectedFixed(src, dst, 6);
    vopFixedFilter(src, dst, 6);
    ExpectClose(Actual(src, dst), expected, 0.0, "roi");
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 11; ++x) {
            const bool inside = x >= 1 && x < 7 && y >= 1 && y < 6;
            for (int c = 0; c < 4; ++c) {
                if (inside && c < 3) continue;
                const std::size_t at = static_cast<std::size_t>(y * dst->widthStep + x * 4 + c);
                EXPECT_EQ(dst->imageData[at], before[at]) << "outside the region or the alpha channel";
            }
        }
    // One channel of interest into another.
    VopImage* other = Image(9, 9, 4, VOP_DEPTH_8U, 7, 4);
    other->roi = Roi(3, 0, 0, 9, 9);
    src->roi->coi = 2;
    Reports().clear();
    const std::vector<double> single = ExpectedFixed(src, other, 4);
    vopFixedFilter(src, other, 4);
    EXPECT_TRUE(Reports().empty());
    ExpectClose(Actual(src, other), single, 0.0, "coi");
}

TEST_F(LinearFilters, BorderModesMakeUpThePixelsBeyondTheImage) {
    for (int mode = 0; mode < 4; ++mode) {
        VopImage* src = Image(6, 5, 1, VOP_DEPTH_8U, 20 + static_cast<unsigned>(mode));
        VopImage* dst = Image(6, 5, 1);
        for (int side = 0; side < 4; ++side) {
            src->borderMode[side] = mode;
            src->borderValue[side] = 300;  // clamped to 255
        }
        const std::vector<double> expected = ExpectedFixed(src, dst, 5);
        vopFixedFilter(src, dst, 5);
        ExpectClose(Actual(src, dst), expected, 0.0, "mode " + std::to_string(mode));
    }
}

TEST_F(LinearFilters, WorkedExamples) {
    VopImage* src = Image(8, 7, 1);
    VopImage* dst = Image(8, 7, 1);
    std::memset(src->imageData, 90, static_cast<std::size_t>(src->imageSize));
    vopBlur(src, dst, 3, 3, 1, 1);
    EXPECT_EQ(At(dst, 0, 0, 0), 40);
    EXPECT_EQ(At(dst, 7, 6, 0), 40);
    EXPECT_EQ(At(dst, 1, 0, 0), 60);
    EXPECT_EQ(At(dst, 0, 1, 0), 60);
    EXPECT_EQ(At(dst, 1, 1, 0), 90);
    for (int kind : {6, 7, 10}) {
        vopFixedFilter(src, dst, kind);
        EXPECT_EQ(At(dst, 3, 3, 0), 90) << kind;
    }
    vopFixedFilter(src, dst, 0);
    EXPECT_EQ(At(dst, 1, 1, 0), 0);
    // Sharpen: 17·c − box sum = −12 → −12 / 8 rounds to −2 → clamped to 0; sums 8 and 9 blur to 0 and 1.
    std::memset(src->imageData, 0, static_cast<std::size_t>(src->imageSize));
    Put(src, 1, 1, 0, 1);
    Put(src, 2, 1, 0, 13);
    vopFixedFilter(src, dst, 10);
    EXPECT_EQ(At(dst, 1, 1, 0), 0);
    std::memset(src->imageData, 1, static_cast<std::size_t>(src->imageSize));
    Put(src, 1, 1, 0, 0);
    vopBlur(src, dst, 3, 3, 1, 1);
    EXPECT_EQ(At(dst, 1, 1, 0), 0);
    EXPECT_EQ(At(dst, 2, 1, 0), 0);
    Put(src, 1, 1, 0, 1);
    vopBlur(src, dst, 3, 3, 1, 1);
    EXPECT_EQ(At(dst, 1, 1, 0), 1);
}

TEST_F(LinearFilters, BlurMatchesTheMeanOfItsBox) {
    const int depths[] = {VOP_DEPTH_8U, VOP_DEPTH_8S, VOP_DEPTH_16U, VOP_DEPTH_16S, VOP_DEPTH_32S, VOP_DEPTH_32F};
    unsigned seed = 100;
    for (int depth : depths) {
        for (auto [cols, rows, ax, ay] : {std::tuple{3, 3, 1, 1}, std::tuple{1, 1, 0, 0}, std::tuple{4, 2, 3, 0}, std::tuple{5, 3, 0, 2}}) {
            VopImage* src = Image(7, 6, 3, depth, ++seed);
            VopImage* dst = Image(7, 6, 3, depth, ++seed);
            if (depth == VOP_DEPTH_32S)
                for (int y = 0; y < 6; ++y)
                    for (int x = 0; x < 7; ++x)
                        for (int c = 0; c < 3; ++c) Put(src, x, y, c, std::fmod(At(src, x, y, c), 1e5));
            const float factor = static_cast<float>(1.0 / (cols * rows));
            std::vector<double> expected;
            for (int c = 0; c < 3; ++c)
                for (int y = 0; y < 6; ++y)
                    for (int x = 0; x < 7; ++x) {
                        double sum = 0;
                        for (int j = 0; j < rows; ++j)
                            for (int i = 0; i < cols; ++i) sum += Sample(src, x - ax + i, y - ay + j, c);
                        const float mean = static_cast<float>(sum) * factor;
                        expected.push_back(depth == VOP_DEPTH_32F ? mean : std::trunc(mean));
                    }
            vopBlur(src, dst, cols, rows, ax, ay);
            ExpectClose(Actual(src, dst), expected, depth == VOP_DEPTH_32F ? 1e-4 : 0.0, "blur depth " + std::to_string(depth));
        }
    }
}

TEST_F(LinearFilters, BlurInPlaceWorksFromACopyOfTheWholeRegion) {
    for (auto [cols, rows] : {std::pair{3, 3}, std::pair{5, 2}}) {
        VopImage* image = Image(11, 9, 3, VOP_DEPTH_8U, 70 + static_cast<unsigned>(cols));
        VopImage* separate = Image(11, 9, 3);
        vopBlur(image, separate, cols, rows, 1, 1);
        vopBlur(image, Alias(image), cols, rows, 1, 1);
        EXPECT_EQ(Actual(image, image), Actual(separate, separate));
    }
    EXPECT_TRUE(Reports().empty());
}

// The order of the work when source and destination share pixels: the edge strips (left,
// right, top, bottom), each from the image as it is when the strip starts, then the
// interior rows, each source row as it was when it first entered a window.
void EmulateShared(VopImage* image, int kind) {
    const int half = kKernelSize[kind] / 2;
    const int w = image->width, h = image->height;
    auto reaches = [&](int x, int y, char edge) {
        switch (edge) {
        case 'L': return x - half < 0;
        case 'R': return x + half >= w;
        case 'T': return y - half < 0;
        default: return y + half >= h;
        }
    };
    std::vector<std::vector<bool>> done(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(w), false));
    for (char edge : {'L', 'R', 'T', 'B'}) {
        VopImage snapshot = *image;
        std::vector<char> pixels(image->imageData, image->imageData + image->imageSize);
        snapshot.imageData = pixels.data();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (done[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] || !reaches(x, y, edge)) continue;
                done[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
                Put(image, x, y, 0, FixedValue(kind, image->depth, [&](int i, int j) { return Sample(&snapshot, x - half + i, y - half + j, 0); }));
            }
    }
    std::map<int, std::vector<double>> rows;  // source rows as first read
    for (int y = 0; y < h; ++y) {
        bool any = false;
        for (int x = 0; x < w; ++x) any = any || !done[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        if (!any) continue;
        for (int r = y - half; r <= y + half; ++r) {
            if (rows.count(r)) continue;
            std::vector<double>& row = rows[r];
            for (int x = 0; x < w; ++x) row.push_back(At(image, x, r, 0));
        }
        for (int x = 0; x < w; ++x) {
            if (done[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) continue;
            Put(image, x, y, 0, FixedValue(kind, image->depth, [&](int i, int j) { return rows[y - half + j][static_cast<std::size_t>(x - half + i)]; }));
        }
    }
}

TEST_F(LinearFilters, SharedPixelsSeeTheStripsFilteredFirst) {
    for (int kind = 0; kind <= 10; ++kind) {
        VopImage* image = Image(9, 8, 1, VOP_DEPTH_8U, 50 + static_cast<unsigned>(kind));
        VopImage* alias = Alias(image);
        VopImage* expected = Image(9, 8, 1);
        std::memcpy(expected->imageData, image->imageData, static_cast<std::size_t>(image->imageSize));
        EmulateShared(expected, kind);
        vopFixedFilter(image, alias, kind);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_EQ(At(image, x, y, 0), At(expected, x, y, 0)) << kind << " at " << x << "," << y;
    }
}

}  // namespace
}  // namespace rastel_test
