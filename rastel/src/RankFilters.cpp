#include "Checks.h"
#include "Multiversion.h"
#include "Neighbourhood.h"
#include "Rank.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace rastel {

namespace {

enum class Rank { Maximum, Minimum, Median };

bool CheckRankArguments(const Checks& check, const VopImage* src, const VopImage* dst, int nCols, int nRows, int anchorX,
                        int anchorY) {
    return check.Header(src) && check.Header(dst) &&
           check.Require(anchorX < nCols && anchorX >= 0, VOP_StsBadArg, "(anchorX>=nCols)||(anchorX<0)") &&
           check.Require(anchorY < nRows && anchorY >= 0, VOP_StsBadArg, "(anchorY>=nRows)||(anchorY<0)") &&
           check.Require(src != dst, VOP_StsBadArg, "(srcImage==dstImage)") &&
           check.Require(src->depth == dst->depth, VOP_StsBadArg, "srcImage->depth!=dstImage->depth");
}

void RankFilter(const char* name, Rank rank, const VopImage* src, VopImage* dst, int nCols, int nRows, int anchorX, int anchorY) {
    const Checks check{name};
    if (!CheckRankArguments(check, src, dst, nCols, nRows, anchorX, anchorY) ||
        !check.Require(src->depth != VOP_DEPTH_32F, VOP_StsBadArg, "srcImage->depth==32") ||
        !check.Require(src->nChannels == dst->nChannels, VOP_StsBadArg, "srcImage->nChannels!=dstImage->nChannels") ||
        !check.Require(src->alphaChannel == dst->alphaChannel, VOP_StsBadArg, "srcImage->alphaChannel!=dstImage->alphaChannel") ||
        !check.Require(src->alphaChannel == 0 || src->alphaChannel == src->nChannels, VOP_StsBadArg,
                       "(srcImage->alphaChannel!=0)&&(srcImage->alphaChannel!=srcImage->nChannels)") ||
        !check.Require(src->depth == VOP_DEPTH_1U || src->dataOrder == dst->dataOrder, VOP_StsBadArg,
                       "srcImage->dataOrder!=dstImage->dataOrder") ||
        !check.Channels(src, dst, VOP_StsBadArg) || !check.Plain(src) || !check.Plain(dst))
        return;
    const std::vector<int> srcChannels = ProcessedChannels(src), dstChannels = ProcessedChannels(dst);
    if (srcChannels.empty()) return;
    const Rect rect = ProcessedRect(src, dst);
    const Kernel kernel{nCols, nRows, anchorX, anchorY};
    const std::size_t count = static_cast<std::size_t>(nCols) * static_cast<std::size_t>(nRows);
    const bool flat = rank != Rank::Median && FlatBytes(src, dst);
    auto run = [&]<typename T, typename PlaneType>() {
        std::vector<T> values(count);
        for (std::size_t c = 0; c < srcChannels.size(); ++c) {
            RunNeighbourhood<T, PlaneType>(src, dst, rect, kernel, srcChannels[c], dstChannels[c], [&](const Window<T>& w) {
                T best = w(0, 0);
                std::size_t n = 0;
                for (int j = 0; j < nRows; ++j) {
                    for (int i = 0; i < nCols; ++i) {
                        const T v = w(i, j);
                        if (rank == Rank::Maximum) best = std::max(best, v);
                        else if (rank == Rank::Minimum) best = std::min(best, v);
                        else values[n++] = v;
                    }
                }
                if (rank != Rank::Median) return best;
                // The value of rank n/2 + 1: the middle one, or the larger middle one.
                std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count / 2), values.end());
                return values[count / 2];
            });
        }
    };
    if (!flat) {
        if (src->depth == VOP_DEPTH_1U) run.template operator()<std::uint8_t, BitPlane>();
        else ForDepth(src->depth, [&]<typename T>() { run.template operator()<T, Plane<T>>(); });
        return;
    }
    // The interior of 8-bit interleaved images a row at a time, the row innermost so that
    // the loop vectorises.
    std::vector<std::uint8_t> columns;
    RunFlat(src, dst, rect, kernel, [&](const std::uint8_t* const* rows, std::uint8_t* __restrict out, int bytes, int nc) {
        // Down the rows first, then along them: the square's extremum in two passes.
        const std::size_t span = static_cast<std::size_t>(bytes) + static_cast<std::size_t>(nCols - 1) * nc;
        if (nCols == 3 && nRows == 3) {  // the program's neighbourhood
            columns.resize(span);
            Extremum3x3Row(rank == Rank::Maximum, rows[0], rows[1], rows[2], columns.data(), out, static_cast<std::size_t>(bytes), nc);
            return;
        }
        columns.assign(rows[0], rows[0] + span);
        std::uint8_t* __restrict column = columns.data();
        for (int j = 1; j < nRows; ++j) {
            const std::uint8_t* __restrict in = rows[j];
            if (rank == Rank::Maximum)
                for (std::size_t b = 0; b < span; ++b) column[b] = std::max(column[b], in[b]);
            else
                for (std::size_t b = 0; b < span; ++b) column[b] = std::min(column[b], in[b]);
        }
        std::memcpy(out, column, static_cast<std::size_t>(bytes));
        for (int i = 1; i < nCols; ++i) {
            const std::uint8_t* __restrict in = column + i * nc;
            if (rank == Rank::Maximum)
                for (int b = 0; b < bytes; ++b) out[b] = std::max(out[b], in[b]);
            else
                for (int b = 0; b < bytes; ++b) out[b] = std::min(out[b], in[b]);
        }
    });
}

// The colour of the window whose summed distance to all others is least (the earlier one
// in scan order on equal sums); distances add the absolute differences of three channels.
void ColorMedian(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& kernel) {
    const int nCols = kernel.columns, nRows = kernel.rows;
    ForDepth(src->depth, [&]<typename T>() {
        using Distance = std::conditional_t<std::is_floating_point_v<T>, float, long long>;
        const std::size_t count = static_cast<std::size_t>(nCols) * static_cast<std::size_t>(nRows);
        std::vector<std::array<T, 3>> colours(count);
        RunNeighbourhoodPixels<T, 3>(src, dst, rect, kernel, std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 1, 2},
                                     [&](const std::array<Window<T>, 3>& w) {
                                         std::size_t n = 0;
                                         for (int j = 0; j < nRows; ++j)
                                             for (int i = 0; i < nCols; ++i) colours[n++] = {w[0](i, j), w[1](i, j), w[2](i, j)};
                                         std::size_t best = 0;
                                         Distance bestSum = 0;
                                         for (std::size_t a = 0; a < count; ++a) {
                                             Distance sum = 0;
                                             for (std::size_t b = 0; b < count; ++b)
                                                 for (int c = 0; c < 3; ++c) {
                                                     const Distance d = static_cast<Distance>(colours[a][static_cast<std::size_t>(c)]) -
                                                                        static_cast<Distance>(colours[b][static_cast<std::size_t>(c)]);
                                                     sum += d < 0 ? -d : d;
                                                 }
                                             if (a == 0 || sum < bestSum) {
                                                 best = a;
                                                 bestSum = sum;
                                             }
                                         }
                                         return colours[best];
                                     });
    });
}

// The same on 8-bit three-channel interleaved images, a row at a time: the window's rows are
// taken apart into channel planes, the distance of every pair of window positions is added
// to both their sums across the row, then the least sum is chosen in scan order.
// Sums stay below 2^16 while the window holds at most kFlatColourMedianCount colours.
constexpr int kFlatColourMedianCount = 85;

// Adds the colour distance of window positions a and b, across a row, to both their sums.
RASTEL_MULTIVERSION void AddPairDistance(
    const std::uint8_t* __restrict a0, const std::uint8_t* __restrict a1, const std::uint8_t* __restrict a2,
    const std::uint8_t* __restrict b0, const std::uint8_t* __restrict b1, const std::uint8_t* __restrict b2,
    std::uint16_t* __restrict sumA, std::uint16_t* __restrict sumB, std::size_t n) {
    for (std::size_t p = 0; p < n; ++p) {
        const auto d = static_cast<std::uint16_t>(std::abs(a0[p] - b0[p]) + std::abs(a1[p] - b1[p]) + std::abs(a2[p] - b2[p]));
        sumA[p] = static_cast<std::uint16_t>(sumA[p] + d);
        sumB[p] = static_cast<std::uint16_t>(sumB[p] + d);
    }
}

// Where a later window position's sum is strictly less, its colour and sum are taken.
RASTEL_MULTIVERSION void TakeLesserSums(
    const std::uint16_t* __restrict sum, const std::uint8_t* __restrict c0, const std::uint8_t* __restrict c1,
    const std::uint8_t* __restrict c2, std::uint16_t* __restrict best, std::uint8_t* __restrict chosen0,
    std::uint8_t* __restrict chosen1, std::uint8_t* __restrict chosen2, std::size_t n) {
    for (std::size_t p = 0; p < n; ++p) {
        const bool less = sum[p] < best[p];
        chosen0[p] = less ? c0[p] : chosen0[p];
        chosen1[p] = less ? c1[p] : chosen1[p];
        chosen2[p] = less ? c2[p] : chosen2[p];
        best[p] = less ? sum[p] : best[p];
    }
}

void ColorMedianFlat(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& kernel) {
    const int count = kernel.columns * kernel.rows;
    std::vector<std::uint8_t> planes;
    std::vector<std::uint16_t> sums, bestSums;
    std::vector<std::uint8_t> bestColours;
    RunFlat(src, dst, rect, kernel, [&](const std::uint8_t* const* rows, std::uint8_t* __restrict out, int bytes, int nc) {
        const auto n = static_cast<std::size_t>(bytes / nc);
        const std::size_t span = n + static_cast<std::size_t>(kernel.columns - 1);
        planes.resize(static_cast<std::size_t>(kernel.rows) * 3 * span);
        for (int j = 0; j < kernel.rows; ++j)
            for (int c = 0; c < 3; ++c) {
                const std::uint8_t* __restrict from = rows[j] + c;
                std::uint8_t* __restrict to = &planes[(static_cast<std::size_t>(j) * 3 + static_cast<std::size_t>(c)) * span];
                for (std::size_t p = 0; p < span; ++p) to[p] = from[p * 3];
            }
        // Channel c of window position (i, j) across the row.
        auto channel = [&](int position, int c) -> const std::uint8_t* {
            const int j = position / kernel.columns, i = position % kernel.columns;
            return &planes[(static_cast<std::size_t>(j) * 3 + static_cast<std::size_t>(c)) * span + static_cast<std::size_t>(i)];
        };
        sums.assign(static_cast<std::size_t>(count) * n, 0);
        for (int a = 0; a < count; ++a)
            for (int b = a + 1; b < count; ++b) {
                AddPairDistance(channel(a, 0), channel(a, 1), channel(a, 2), channel(b, 0), channel(b, 1), channel(b, 2),
                                &sums[static_cast<std::size_t>(a) * n], &sums[static_cast<std::size_t>(b) * n], n);
            }
        bestSums.assign(sums.begin(), sums.begin() + static_cast<std::ptrdiff_t>(n));
        bestColours.resize(3 * n);
        for (int c = 0; c < 3; ++c) std::copy(channel(0, c), channel(0, c) + n, &bestColours[static_cast<std::size_t>(c) * n]);
        for (int a = 1; a < count; ++a)
            TakeLesserSums(&sums[static_cast<std::size_t>(a) * n], channel(a, 0), channel(a, 1), channel(a, 2), bestSums.data(),
                           &bestColours[0], &bestColours[n], &bestColours[2 * n], n);
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t c = 0; c < 3; ++c) out[p * 3 + c] = bestColours[c * n + p];
    });
}

// 64 bytes at a time: one AVX-512 register, two AVX2 or four SSE2 ones.
using Chunk = std::uint8_t __attribute__((vector_size(64)));

// Vectors are passed by reference: a 64-byte vector returned by value would change the
// calling convention between the builds.
template <bool kMaximum>
__attribute__((always_inline)) inline void KeepExtremum(Chunk& kept, const Chunk& v) {
    if constexpr (kMaximum) kept = kept > v ? kept : v;
    else kept = kept < v ? kept : v;
}

template <bool kMaximum>
__attribute__((always_inline)) inline std::uint8_t Extremum(std::uint8_t a, std::uint8_t b) {
    return kMaximum ? std::max(a, b) : std::min(a, b);
}

// out[i] = the extremum of a[i], b[i], c[i] for i < n; out shares no byte with the inputs.
// The last chunk ends at byte n and may go over bytes already written: it writes them again
// with the same values, which spares a byte-by-byte tail.
template <bool kMaximum>
__attribute__((always_inline)) inline void ExtremumOfThree(const std::uint8_t* a, const std::uint8_t* b,
                                                           const std::uint8_t* c, std::uint8_t* out, std::size_t n) {
    if (n < sizeof(Chunk)) {
        for (std::size_t i = 0; i < n; ++i) out[i] = Extremum<kMaximum>(Extremum<kMaximum>(a[i], b[i]), c[i]);
        return;
    }
    for (std::size_t i = 0;; i += sizeof(Chunk)) {
        if (i + sizeof(Chunk) > n) i = n - sizeof(Chunk);
        Chunk kept, v;
        std::memcpy(&kept, a + i, sizeof kept);
        std::memcpy(&v, b + i, sizeof v);
        KeepExtremum<kMaximum>(kept, v);
        std::memcpy(&v, c + i, sizeof v);
        KeepExtremum<kMaximum>(kept, v);
        std::memcpy(out + i, &kept, sizeof kept);
        if (i + sizeof(Chunk) == n) return;
    }
}

template <bool kMaximum>
__attribute__((always_inline)) inline void Extremum3x3RowOf(const std::uint8_t* r0, const std::uint8_t* r1, const std::uint8_t* r2,
                                                            std::uint8_t* column, std::uint8_t* out, std::size_t bytes, int nc) {
    const auto step = static_cast<std::size_t>(nc);
    ExtremumOfThree<kMaximum>(r0, r1, r2, column, bytes + 2 * step);
    ExtremumOfThree<kMaximum>(column, column + step, column + 2 * step, out, bytes);
}

}  // namespace

// Down the three rows into `column`, then along it; built for the processor the library
// runs on.
RASTEL_MULTIVERSION void Extremum3x3Row(bool maximum, const std::uint8_t* r0, const std::uint8_t* r1,
                                        const std::uint8_t* r2, std::uint8_t* column, std::uint8_t* out, std::size_t bytes, int nc) {
    if (maximum) Extremum3x3RowOf<true>(r0, r1, r2, column, out, bytes, nc);
    else Extremum3x3RowOf<false>(r0, r1, r2, column, out, bytes, nc);
}

void ExtremumFilter(const char* name, bool maximum, const VopImage* src, VopImage* dst, int nCols, int nRows, int anchorX,
                    int anchorY) {
    RankFilter(name, maximum ? Rank::Maximum : Rank::Minimum, src, dst, nCols, nRows, anchorX, anchorY);
}

}  // namespace rastel

using namespace rastel;

extern "C" {

void vopMaxFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    Guarded("vopMaxFilter", OnExhaustion::Stop,
            [&] { RankFilter("vopMaxFilter", Rank::Maximum, srcImage, dstImage, nCols, nRows, anchorX, anchorY); });
}

void vopMinFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    Guarded("vopMinFilter", OnExhaustion::Stop,
            [&] { RankFilter("vopMinFilter", Rank::Minimum, srcImage, dstImage, nCols, nRows, anchorX, anchorY); });
}

void vopMedianFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    Guarded("vopMedianFilter", OnExhaustion::Stop,
            [&] { RankFilter("vopMedianFilter", Rank::Median, srcImage, dstImage, nCols, nRows, anchorX, anchorY); });
}

void vopColorMedianFilter(const VopImage* srcImage, VopImage* dstImage, int nCols, int nRows, int anchorX, int anchorY) {
    const Checks check{"vopColorMedianFilter"};
    const VopImage* src = srcImage;
    VopImage* dst = dstImage;
    if (!CheckRankArguments(check, src, dst, nCols, nRows, anchorX, anchorY) ||
        !check.Require(src->depth != VOP_DEPTH_1U, VOP_StsBadArg, "srcImage->depth==1") ||
        !check.Require(src->depth != VOP_DEPTH_32S, VOP_StsBadArg, "srcImage->depth==(0x80000000|32)") ||
        !check.Require(src->nChannels == dst->nChannels, VOP_StsBadArg, "srcImage->nChannels!=dstImage->nChannels") ||
        !check.Require(src->nChannels >= 3, VOP_StsBadArg, "srcImage->nChannels<3") ||
        !check.Require(src->nChannels <= 4, VOP_StsBadArg, "srcImage->nChannels>4") ||
        !check.Require(!(src->nChannels == 3 && src->alphaChannel != 0), VOP_StsBadArg,
                       "(srcImage->nChannels==3)&&(srcImage->alphaChannel!=0)") ||
        !check.Require(!(src->nChannels == 4 && src->alphaChannel == 0), VOP_StsBadArg,
                       "(srcImage->nChannels==4)&&(srcImage->alphaChannel==0)") ||
        !check.Require(!src->roi || src->roi->coi == 0, VOP_StsBadArg, "srcImage->roi->coi!=0") ||
        !check.Require(!dst->roi || dst->roi->coi == 0, VOP_StsBadArg, "dstImage->roi->coi!=0") || !check.Plain(src) ||
        !check.Plain(dst))
        return;
    const Rect rect = ProcessedRect(src, dst);
    const Kernel kernel{nCols, nRows, anchorX, anchorY};
    Guarded("vopColorMedianFilter", OnExhaustion::Stop, [&] {
        if (FlatBytes(src, dst) && src->nChannels == 3 && nCols * nRows <= kFlatColourMedianCount)
            ColorMedianFlat(src, dst, rect, kernel);
        else
            ColorMedian(src, dst, rect, kernel);
    });
}

}  // extern "C"
