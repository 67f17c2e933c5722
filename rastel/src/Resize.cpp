#include "Checks.h"
#include "Image.h"
#include "Multiversion.h"
#include "Neighbourhood.h"

#include <climits>
#include <limits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace rastel {

namespace {

// Source position of every destination index along one axis.
std::vector<double> Positions(int sourceSize, int destination, int numerator, int denominator, int mode) {
    const double target = static_cast<double>(numerator) * sourceSize / denominator;
    double step;
    if (mode == VOP_INTER_NN && denominator % numerator == 0) step = static_cast<double>(sourceSize) / target;
    else if (target > 1.0) step = (sourceSize - 1.0) / (target - 1.0);  // corners aligned
    else step = static_cast<double>(denominator) / numerator;
    std::vector<double> positions(static_cast<std::size_t>(destination));
    for (int i = 0; i < destination; ++i) positions[static_cast<std::size_t>(i)] = i * step;
    return positions;
}

// The cubic through four samples at −1, 0, 1, 2, at fraction t past sample 0:
// s−1 + (t + 1)·d1 + t(t + 1)/2·d2 + t(t + 1)(t − 1)/6·d3 with the forward differences
// d1..d3 of the samples. The polynomials of t are kept apart so that a row computes them once
// per position and the differences once per sample; the sums keep their order.
struct CubicTerms {
    float a, b, c;
};

CubicTerms TermsAt(float t) { return {t + 1.0f, t * (t + 1.0f) / 2.0f, t * (t + 1.0f) * (t - 1.0f) / 6.0f}; }

struct CubicDifferences {
    float d1, d2, d3;
};

inline CubicDifferences DifferencesOf(float sm1, float s0, float s1, float s2) {
    return {s0 - sm1, s1 - 2.0f * s0 + sm1, s2 - 3.0f * s1 + 3.0f * s0 - sm1};
}

inline float Cubic(float sm1, const CubicDifferences& d, const CubicTerms& k) { return sm1 + k.a * d.d1 + k.b * d.d2 + k.c * d.d3; }

// Truncated after a tiny lift, saturated (the bounds being integers, clamping first gives the
// same as truncating first, and lets the loop vectorise).
template <typename T>
T FromFloat(float value) {
    if constexpr (std::is_floating_point_v<T>) return value;
    else return static_cast<T>(std::clamp(value + 1e-7f, 0.0f, static_cast<float>(std::numeric_limits<T>::max())));
}

// The forward differences of one source row, each kind in its own array so that a pixel's
// channels lie side by side. One element more than the row holds, for the last pixel's
// four-lane loads.
struct RowDifferences {
    std::vector<float> d1, d2, d3;
    explicit RowDifferences(std::size_t count) : d1(count + 1), d2(count + 1), d3(count + 1) {}
    std::size_t size() const { return d1.size() - 1; }
};

RASTEL_MULTIVERSION void DifferencesOfRow(const float* __restrict source, std::size_t nc, std::size_t count, float* __restrict d1,
                                          float* __restrict d2, float* __restrict d3) {
    for (std::size_t k = 0; k < count; ++k) {
        const CubicDifferences d = DifferencesOf(source[k], source[k + nc], source[k + 2 * nc], source[k + 3 * nc]);
        d1[k] = d.d1;
        d2[k] = d.d2;
        d3[k] = d.d3;
    }
}

// One row of interleaved pixels of nc channels along the row: destination pixel i from the
// source pixel at x0s[i] (an element index) and its differences.
void HorizontalCubic(const float* __restrict source, const RowDifferences& differences, const std::vector<std::size_t>& x0s,
                     const std::vector<CubicTerms>& xTerms, std::size_t nc, float* __restrict row) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Three or four channels in the lanes of one register, with the sums each lane would make
    // alone; with three, the fourth lane's value is overwritten by the next pixel, so the
    // last pixel is left to the loop below.
    if (nc == 3 || nc == 4) {
        const std::size_t vectorPixels = nc == 4 ? x0s.size() : x0s.size() - std::min<std::size_t>(1, x0s.size());
        for (; i < vectorPixels; ++i) {
            const std::size_t k = x0s[i];
            const CubicTerms t = xTerms[i];
            const __m128 sum = _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_loadu_ps(source + k), _mm_mul_ps(_mm_set1_ps(t.a), _mm_loadu_ps(&differences.d1[k]))),
                                                     _mm_mul_ps(_mm_set1_ps(t.b), _mm_loadu_ps(&differences.d2[k]))),
                                          _mm_mul_ps(_mm_set1_ps(t.c), _mm_loadu_ps(&differences.d3[k])));
            _mm_storeu_ps(row + i * nc, sum);
        }
    }
#endif
    for (; i < x0s.size(); ++i) {
        const std::size_t k = x0s[i];
        const CubicTerms terms = xTerms[i];
        for (std::size_t c = 0; c < nc; ++c)
            row[i * nc + c] = Cubic(source[k + c], {differences.d1[k + c], differences.d2[k + c], differences.d3[k + c]}, terms);
    }
}

// The cubic zoom of a region's rows of `nc` interleaved values: along the rows once per
// source row, kept in a ring of four, then down the columns. `readRow(y, source)` fills
// `source` with region row y (clamped to the region) from column −1 to column sw + 1;
// `writeRow(j, values)` stores destination row j.
template <typename T, typename ReadRow, typename WriteRow>
RASTEL_MULTIVERSION void CubicZoom(int sw, int dw, int dh, std::size_t nc, const std::vector<double>& xs, const std::vector<double>& ys,
                                   ReadRow readRow, WriteRow writeRow) {
    const auto width = static_cast<std::size_t>(dw) * nc;
    std::vector<std::size_t> x0s(static_cast<std::size_t>(dw));
    std::vector<CubicTerms> xTerms(static_cast<std::size_t>(dw));
    for (std::size_t i = 0; i < x0s.size(); ++i) {
        const int x0 = static_cast<int>(std::floor(xs[i]));
        // source[k] holds column k − 1; positions never lie beyond the region's last column.
        x0s[i] = static_cast<std::size_t>(std::clamp(x0, 0, sw - 1)) * nc;
        xTerms[i] = TermsAt(static_cast<float>(xs[i] - x0));
    }
    std::vector<float> ring(width * 4);
    int ringRows[4] = {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    std::vector<float> source((static_cast<std::size_t>(sw) + 3) * nc);
    RowDifferences differences(static_cast<std::size_t>(sw) * nc);
    auto horizontal = [&](int y) -> const float* {
        const int slot = ((y % 4) + 4) % 4;
        float* row = &ring[static_cast<std::size_t>(slot) * width];
        if (ringRows[slot] == y) return row;
        ringRows[slot] = y;
        readRow(y, source.data());
        DifferencesOfRow(source.data(), nc, differences.size(), differences.d1.data(), differences.d2.data(), differences.d3.data());
        HorizontalCubic(source.data(), differences, x0s, xTerms, nc, row);
        return row;
    };
    std::vector<T> values(width);
    for (int j = 0; j < dh; ++j) {
        const double py = ys[static_cast<std::size_t>(j)];
        const int y0 = static_cast<int>(std::floor(py));
        const CubicTerms yTerms = TermsAt(static_cast<float>(py - y0));
        const float* __restrict r0 = horizontal(y0 - 1);
        const float* __restrict r1 = horizontal(y0);
        const float* __restrict r2 = horizontal(y0 + 1);
        const float* __restrict r3 = horizontal(y0 + 2);
        T* __restrict out = values.data();
        for (std::size_t b = 0; b < width; ++b) out[b] = FromFloat<T>(Cubic(r0[b], DifferencesOf(r0[b], r1[b], r2[b], r3[b]), yTerms));
        writeRow(j, values.data());
    }
}

template <typename T, typename PlaneType>
void ResizeChannel(const VopImage* src, VopImage* dst, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
                   int xDst, int xSrc, int yDst, int ySrc, int mode, int srcChannel, int dstChannel) {
    const PlaneType in(src, srcChannel), out(dst, dstChannel);
    const std::vector<double> xs = Positions(sw, dw, xDst, xSrc, mode), ys = Positions(sh, dh, yDst, ySrc, mode);
    auto sample = [&](int x, int y) {
        return static_cast<float>(in.Get(sx + std::clamp(x, 0, sw - 1), sy + std::clamp(y, 0, sh - 1)));
    };
    if (mode == VOP_INTER_CUBIC) {
        CubicZoom<T>(sw, dw, dh, 1, xs, ys,
                     [&](int y, float* source) {
                         for (int x = -1; x <= sw + 1; ++x) source[x + 1] = sample(x, y);
                     },
                     [&](int j, const T* values) {
                         for (int i = 0; i < dw; ++i) out.Set(dx + i, dy + j, values[i]);
                     });
        return;
    }
    for (int j = 0; j < dh; ++j) {
        const double py = ys[static_cast<std::size_t>(j)];
        const int y0 = static_cast<int>(std::floor(py));
        const float ty = static_cast<float>(py - y0);
        for (int i = 0; i < dw; ++i) {
            const double px = xs[static_cast<std::size_t>(i)];
            const int x0 = static_cast<int>(std::floor(px));
            const float tx = static_cast<float>(px - x0);
            T value;
            if (mode == VOP_INTER_NN) {
                value = static_cast<T>(in.Get(sx + std::clamp(static_cast<int>(std::lround(px)), 0, sw - 1),
                                              sy + std::clamp(static_cast<int>(std::lround(py)), 0, sh - 1)));
            } else {
                const float top = sample(x0, y0) + tx * (sample(x0 + 1, y0) - sample(x0, y0));
                const float bottom = sample(x0, y0 + 1) + tx * (sample(x0 + 1, y0 + 1) - sample(x0, y0 + 1));
                const float v = top + ty * (bottom - top);
                if constexpr (std::is_floating_point_v<T>) value = v;
                else value = Saturate<T>(static_cast<long long>(std::floor(v + 0.5f)));
            }
            out.Set(dx + i, dy + j, value);
        }
    }
}

// The cubic zoom of 8-bit interleaved images with every channel processed, all channels at
// once: the same sums in the same order as a channel at a time, over whole pixel rows.
void CubicFlat(const VopImage* src, VopImage* dst, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
               const std::vector<double>& xs, const std::vector<double>& ys) {
    const auto nc = static_cast<std::size_t>(src->nChannels);
    CubicZoom<std::uint8_t>(
        sw, dw, dh, nc, xs, ys,
        [&](int y, float* source) {
            const auto* pixels = reinterpret_cast<const std::uint8_t*>(src->imageData + static_cast<std::ptrdiff_t>(sy + std::clamp(y, 0, sh - 1)) * src->widthStep) +
                                 static_cast<std::size_t>(sx) * nc;
            // Column −1 repeats column 0, columns sw and sw + 1 repeat the last.
            const std::size_t rowBytes = static_cast<std::size_t>(sw) * nc;
            for (std::size_t c = 0; c < nc; ++c) source[c] = pixels[c];
            for (std::size_t b = 0; b < rowBytes; ++b) source[nc + b] = pixels[b];
            for (std::size_t c = 0; c < 2 * nc; ++c) source[nc + rowBytes + c] = pixels[rowBytes - nc + c % nc];
        },
        [&](int j, const std::uint8_t* values) {
            std::memcpy(dst->imageData + static_cast<std::ptrdiff_t>(dy + j) * dst->widthStep + static_cast<std::ptrdiff_t>(dx) * static_cast<std::ptrdiff_t>(nc),
                        values, static_cast<std::size_t>(dw) * nc);
        });
}

// Area averaging for reductions: each destination pixel is the mean of the source pixels
// it covers.
template <typename T, typename PlaneType>
void DecimateChannel(const VopImage* src, VopImage* dst, int sx, int sy, int sw, int sh, int dx, int dy, int dw, int dh,
                     int xDst, int xSrc, int yDst, int ySrc, int srcChannel, int dstChannel) {
    const PlaneType in(src, srcChannel), out(dst, dstChannel);
    for (int j = 0; j < dh; ++j) {
        const int y0 = static_cast<int>(static_cast<long long>(j) * ySrc / yDst);
        const int y1 = std::min(sh, std::max(y0 + 1, static_cast<int>(static_cast<long long>(j + 1) * ySrc / yDst)));
        for (int i = 0; i < dw; ++i) {
            const int x0 = static_cast<int>(static_cast<long long>(i) * xSrc / xDst);
            const int x1 = std::min(sw, std::max(x0 + 1, static_cast<int>(static_cast<long long>(i + 1) * xSrc / xDst)));
            double sum = 0.0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) sum += static_cast<double>(in.Get(sx + x, sy + y));
            const double mean = sum / ((x1 - x0) * (y1 - y0));
            if constexpr (std::is_floating_point_v<T>) out.Set(dx + i, dy + j, static_cast<T>(mean));
            else out.Set(dx + i, dy + j, Saturate<T>(static_cast<long long>(std::floor(mean + 0.5))));
        }
    }
}

bool SupportedResizeDepth(int depth) {
    return depth == VOP_DEPTH_1U || depth == VOP_DEPTH_8U || depth == VOP_DEPTH_16U || depth == VOP_DEPTH_32F;
}

template <typename Run>
void ForResizeDepth(int depth, Run&& run) {
    switch (depth) {
    case VOP_DEPTH_1U: run.template operator()<std::uint8_t, BitPlane>(); break;
    case VOP_DEPTH_8U: run.template operator()<std::uint8_t, Plane<std::uint8_t>>(); break;
    case VOP_DEPTH_16U: run.template operator()<std::uint16_t, Plane<std::uint16_t>>(); break;
    default: run.template operator()<float, Plane<float>>(); break;
    }
}

}  // namespace

}  // namespace rastel

using namespace rastel;

namespace {

void Resize(const VopImage* src, VopImage* dst, int xDst, int xSrc, int yDst, int ySrc, int interpolation) {
    const bool decimate = interpolation == VOP_INTER_SUPER;
    const Checks check{decimate ? "Decimate" : "vopZoom"};
    if (decimate) {
        if (!check.Header(src) || !check.Header(dst) ||
            !check.Require(src != dst, VOP_StsBadArg, "srcImage == dstImage") ||
            !check.Require(src->depth == dst->depth, VOP_BadDepth, "srcImage->depth != dstImage->depth") ||
            !check.Require(SupportedResizeDepth(src->depth), VOP_BadDepth, "depth != 1U, 8U, 16U or 32F") ||
            !check.Require(src->origin == dst->origin, VOP_BadOrigin, "srcImage->origin != dstImage->origin") ||
            !check.Require(src->dataOrder == dst->dataOrder, VOP_BadOrder, "srcImage->dataOrder != dstImage->dataOrder") ||
            !check.Require(!(src->roi && src->roi->coi > 0 && !(dst->roi && dst->roi->coi > 0)), VOP_BadCOI,
                           "srcImage->roi->coi > 0 && dstImage->roi->coi == 0") ||
            !check.Require(!(dst->roi && dst->roi->coi > 0 && !(src->roi && src->roi->coi > 0)), VOP_BadCOI,
                           "dstImage->roi->coi > 0 && srcImage->roi->coi == 0") ||
            !check.Require(src->nChannels == dst->nChannels, VOP_BadNumChannels, "srcImage->nChannels != dstImage->nChannels") ||
            !check.Require(xDst > 0, VOP_StsBadArg, "xDst <= 0") || !check.Require(xSrc > 0, VOP_StsBadArg, "xSrc <= 0") ||
            !check.Require(yDst > 0, VOP_StsBadArg, "yDst <= 0") || !check.Require(ySrc > 0, VOP_StsBadArg, "ySrc <= 0") ||
            !check.Require(xDst <= xSrc && yDst <= ySrc, VOP_StsBadArg, "(xDst > xSrc || yDst > ySrc)"))
            return;
    } else {
        if (!check.Header(src) || !check.Header(dst) ||
            !check.Require(interpolation == VOP_INTER_NN || interpolation == VOP_INTER_LINEAR || interpolation == VOP_INTER_CUBIC,
                           VOP_StsBadArg,
                           "interpolate != VOP_INTER_NN && interpolate != VOP_INTER_LINEAR && interpolate != VOP_INTER_CUBIC") ||
            !check.Require(src->depth == dst->depth, VOP_StsBadArg, "srcImage->depth != dstImage->depth") ||
            !check.Require(SupportedResizeDepth(src->depth), VOP_StsBadArg,
                           "srcImage->depth != VOP_DEPTH_1U && srcImage->depth != VOP_DEPTH_8U && srcImage->depth != "
                           "VOP_DEPTH_16U && srcImage->depth != VOP_DEPTH_32F") ||
            !check.Require(src->dataOrder == dst->dataOrder, VOP_StsBadArg, "srcImage->dataOrder != dstImage->dataOrder") ||
            !check.Require(xDst >= 1 && xSrc >= 1, VOP_StsBadArg, "xDst <= 0 || xSrc <= 0") ||
            !check.Require(yDst >= 1 && ySrc >= 1, VOP_StsBadArg, "yDst <= 0 || ySrc <= 0") ||
            !check.Require((src->roi ? src->roi->coi : 0) == (dst->roi ? dst->roi->coi : 0), -2, "srcImage COI != dstImage COI") ||
            !check.Require(src != dst, VOP_StsBadArg, "This function isn`t in-plase function"))
            return;
    }
    if (!check.Plain(src) || !check.Plain(dst)) return;
    // Only what goes wrong from here is reported again at the end.
    ThreadContext().status = 0;
    int sx, sy, sw, sh, dx, dy, dw, dh;
    Region(src, sx, sy, sw, sh);
    Region(dst, dx, dy, dw, dh);
    dw = std::min(dw, static_cast<int>(static_cast<double>(xDst) * sw / xSrc));
    dh = std::min(dh, static_cast<int>(static_cast<double>(yDst) * sh / ySrc));
    int mode = interpolation;
    if (!decimate) {
        if (src->depth == VOP_DEPTH_1U || sw < 2 || sh < 2) mode = VOP_INTER_NN;
        else if (mode == VOP_INTER_CUBIC && (sw < 4 || sh < 4)) mode = VOP_INTER_LINEAR;
    }
    if (!decimate && mode == VOP_INTER_CUBIC && FlatBytes(src, dst) && !SharePixels(src, dst)) {
        CubicFlat(src, dst, sx, sy, sw, sh, dx, dy, dw, dh, Positions(sw, dw, xDst, xSrc, mode), Positions(sh, dh, yDst, ySrc, mode));
        return;
    }
    const std::vector<int> srcChannels = ProcessedChannels(src), dstChannels = ProcessedChannels(dst);
    for (std::size_t c = 0; c < srcChannels.size() && c < dstChannels.size(); ++c) {
        ForResizeDepth(src->depth, [&]<typename T, typename PlaneType>() {
            if (decimate)
                DecimateChannel<T, PlaneType>(src, dst, sx, sy, sw, sh, dx, dy, dw, dh, xDst, xSrc, yDst, ySrc, srcChannels[c], dstChannels[c]);
            else
                ResizeChannel<T, PlaneType>(src, dst, sx, sy, sw, sh, dx, dy, dw, dh, xDst, xSrc, yDst, ySrc, mode,
                                            srcChannels[c], dstChannels[c]);
        });
    }
    if (ThreadContext().status < 0) RASTEL_REPORT(VOP_StsBackTrace, check.function, "");
}

}  // namespace

extern "C" void vopResize(const VopImage* src, VopImage* dst, int xDst, int xSrc, int yDst, int ySrc, int interpolation) {
    Guarded("vopResize", OnExhaustion::StoreStatus, [&] { Resize(src, dst, xDst, xSrc, yDst, ySrc, interpolation); });
}
