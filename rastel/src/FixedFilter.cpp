#include "Checks.h"
#include "Multiversion.h"
#include "Neighbourhood.h"

#include <cfenv>
#include <array>
#include <algorithm>
#include <cmath>
#include <vector>
#include <utility>

namespace rastel {

namespace {

struct FixedKernel {
    int size;
    int weights[25];
    int shift;  // divide by 2^shift with the rounding below; 0 for none
};

// Rows in memory order, the first row applying to the row before the centre.
constexpr FixedKernel kKernels[] = {
    {3, {1, 0, -1, 1, 0, -1, 1, 0, -1}, 0},                  // 0 Prewitt vertical
    {3, {-1, -1, -1, 0, 0, 0, 1, 1, 1}, 0},                  // 1 Prewitt horizontal
    {3, {1, 0, -1, 2, 0, -2, 1, 0, -1}, 0},                  // 2 Sobel vertical
    {3, {-1, -2, -1, 0, 0, 0, 1, 2, 1}, 0},                  // 3 Sobel horizontal
    {3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 0},             // 4 Laplacian 3x3
    {5, {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4, -3, 0, 6, 0, -3, -1, -3, -4, -3, -1}, 0},  // 5
    {3, {1, 2, 1, 2, 4, 2, 1, 2, 1}, 4},                     // 6 Gaussian 3x3, / 16
    {5, {2, 7, 12, 7, 2, 7, 31, 52, 31, 7, 12, 52, 127, 52, 12, 7, 31, 52, 31, 7, 2, 7, 12, 7, 2}, 0},  // 7, / 571
    {3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 0},             // 8 high pass 3x3
    {5, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 24, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, 0},  // 9
    {3, {-1, -1, -1, -1, 16, -1, -1, -1, -1}, 3},            // 10 sharpen, / 8
};
constexpr int kGaussian3 = 6;
constexpr int kGaussian5 = 7;

// The 5 × 5 Gaussian's weights, each divided by 571 in single precision.
constexpr std::array<float, 25> kGaussian5Weights = [] {
    std::array<float, 25> w{};
    for (int i = 0; i < 25; ++i) w[static_cast<std::size_t>(i)] = static_cast<float>(kKernels[kGaussian5].weights[i]) / 571.0f;
    return w;
}();

// The exact integer 5 × 5 Gaussian sum S of 8-bit values divided by 571 and rounded to the
// nearest integer: (S + 285.5) / 571 truncated, whose float error is far below its distance
// of at least 1/1142 from the next integer.
inline std::uint8_t RoundedGaussian5(int sum) {
    return static_cast<std::uint8_t>(static_cast<int>((static_cast<float>(sum) + 285.5f) * (1.0f / 571.0f)));
}

// Rounds to the nearest integer, ties to even, in the round-to-nearest mode the filter sets:
// adding and taking away 1.5·2^23 leaves no fraction bits (for |x| < 2^22).
inline float RoundToEven(float x) {
    volatile float shifted = x + 12582912.0f;
    return shifted - 12582912.0f;
}

// Division by 2^k rounding to nearest with ties to even: add 2^(k−1) when bit k is set,
// 2^(k−1) − 1 otherwise, then shift with sign.
long long RoundShift(long long sum, int k) {
    const long long half = 1LL << (k - 1);
    return (sum + ((sum >> k) & 1 ? half : half - 1)) >> k;
}

template <typename T>
T Filter(const FixedKernel& kernel, int kind, const Window<T>& window) {
    const int n = kernel.size;
    if constexpr (std::is_floating_point_v<T>) {
        float sum = 0.0f;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) sum += static_cast<float>(kernel.weights[j * n + i]) * window(i, j);
        if (kind == kGaussian5) return sum / 571.0f;
        return kernel.shift ? sum / static_cast<float>(1 << kernel.shift) : sum;
    } else {
        if (kind == kGaussian5) {
            // Three single-precision combinations per row, summed over the rows.
            float total = 0.0f;
            for (int j = 0; j < n; ++j) {
                float row = 0.0f;
                for (int i = 0; i < n; ++i)
                    row += kGaussian5Weights[static_cast<std::size_t>(j * n + i)] * static_cast<float>(window(i, j));
                total += row;
            }
            return Saturate<T>(static_cast<long long>(RoundToEven(total)));
        }
        long long sum = 0;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) sum += static_cast<long long>(kernel.weights[j * n + i]) * window(i, j);
        if (kernel.shift) sum = RoundShift(sum, kernel.shift);
        return Saturate<T>(sum);
    }
}

// The interior of an 8-bit interleaved image, a row at a time with the kernel known at
// compile time, so the loop over the row vectorises.
template <int Kind>
RASTEL_MULTIVERSION void FixedRow(const std::uint8_t* const* ringRows, std::uint8_t* __restrict out, int count, int nc) {
    constexpr FixedKernel kernel = kKernels[Kind];
    constexpr int n = kernel.size;
    // Local row pointers: the loop must not reload them from memory the output might touch.
    const std::uint8_t* rows[n];
    for (int j = 0; j < n; ++j) rows[j] = ringRows[j];
    if constexpr (Kind == kGaussian5) {
        // On 8-bit values the single-precision sum always rounds to the integer nearest the
        // exact quotient S / 571 of the integer weighted sum S: that quotient lies at least
        // 1/1142 from any half, while the float sum strays from it by less than 2e-4. So S is
        // summed exactly, the 25 pixels grouped by their six distinct weights, and rounded.
        // (The edge strips come here; the interior goes through Gaussian5Interior.)
        static_assert(kernel.weights[0] == 2 && kernel.weights[1] == 7 && kernel.weights[2] == 12 && kernel.weights[6] == 31 &&
                      kernel.weights[7] == 52 && kernel.weights[12] == 127);
        const std::uint8_t* __restrict r0 = rows[0];
        const std::uint8_t* __restrict r1 = rows[1];
        const std::uint8_t* __restrict r2 = rows[2];
        const std::uint8_t* __restrict r3 = rows[3];
        const std::uint8_t* __restrict r4 = rows[4];
        const int n1 = nc, n2 = 2 * nc, n3 = 3 * nc, n4 = 4 * nc;
        for (int b = 0; b < count; ++b) {
            const int corners = r0[b] + r0[b + n4] + r4[b] + r4[b + n4];
            const int sevens = r0[b + n1] + r0[b + n3] + r4[b + n1] + r4[b + n3] + r1[b] + r1[b + n4] + r3[b] + r3[b + n4];
            const int twelves = r0[b + n2] + r4[b + n2] + r2[b] + r2[b + n4];
            const int thirtyOnes = r1[b + n1] + r1[b + n3] + r3[b + n1] + r3[b + n3];
            const int fiftyTwos = r1[b + n2] + r3[b + n2] + r2[b + n1] + r2[b + n3];
            const int sum = 2 * corners + 7 * sevens + 12 * twelves + 31 * thirtyOnes + 52 * fiftyTwos + 127 * r2[b + n2];
            out[b] = RoundedGaussian5(sum);
        }
    } else if constexpr (Kind == kGaussian3) {
        // 1 2 1 down the three rows, then 1 2 1 along the sums, a block of the row at a time so
        // the column sums stay in the first cache; the sums (at most 16 · 255) stay in 16 bits.
        const std::uint8_t* __restrict r0 = rows[0];
        const std::uint8_t* __restrict r1 = rows[1];
        const std::uint8_t* __restrict r2 = rows[2];
        constexpr int kBlock = 512;
        thread_local std::vector<std::uint16_t> sums;
        sums.resize(static_cast<std::size_t>(kBlock + 2 * nc));
        std::uint16_t* __restrict down = sums.data();
        for (int first = 0; first < count; first += kBlock) {
            const int block = std::min(kBlock, count - first), span = block + 2 * nc;
            for (int b = 0; b < span; ++b)
                down[b] = static_cast<std::uint16_t>(r0[first + b] + 2 * r1[first + b] + r2[first + b]);
            for (int b = 0; b < block; ++b) {
                const auto sum = static_cast<std::uint16_t>(down[b] + 2 * down[b + nc] + down[b + 2 * nc]);
                out[first + b] = static_cast<std::uint8_t>((sum + 7 + ((sum >> 4) & 1)) >> 4);
            }
        }
    } else {
        for (int b = 0; b < count; ++b) {
            int sum = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) sum += kernel.weights[j * n + i] * rows[j][b + i * nc];
            if constexpr (kernel.shift != 0) {
                constexpr int half = 1 << (kernel.shift - 1);
                sum = (sum + (((sum >> kernel.shift) & 1) ? half : half - 1)) >> kernel.shift;
            }
            out[b] = static_cast<std::uint8_t>(sum < 0 ? 0 : (sum > 255 ? 255 : sum));
        }
    }
}

template <int... Kinds>
constexpr auto MakeRowTable(std::integer_sequence<int, Kinds...>) {
    return std::array<void (*)(const std::uint8_t* const*, std::uint8_t*, int, int), sizeof...(Kinds)>{&FixedRow<Kinds>...};
}
constexpr auto kFixedRows = MakeRowTable(std::make_integer_sequence<int, 11>{});

// The three symmetric combinations of one source row for the 5 × 5 Gaussian (its kernel
// rows 2 7 12 7 2, 7 31 52 31 7 and 12 52 127 52 12), each at most 255 · 255.
RASTEL_MULTIVERSION void Gaussian5Combinations(const std::uint8_t* __restrict in, int nc, std::size_t count,
                                               std::uint16_t* __restrict outer, std::uint16_t* __restrict middle,
                                               std::uint16_t* __restrict centre) {
    constexpr const int* w = kKernels[kGaussian5].weights;
    const std::size_t n1 = static_cast<std::size_t>(nc), n2 = 2 * n1, n3 = 3 * n1, n4 = 4 * n1;
    for (std::size_t b = 0; b < count; ++b) {
        const auto ends = static_cast<std::uint16_t>(in[b] + in[b + n4]);
        const auto inner = static_cast<std::uint16_t>(in[b + n1] + in[b + n3]);
        const std::uint16_t mid = in[b + n2];
        outer[b] = static_cast<std::uint16_t>(w[0] * ends + w[1] * inner + w[2] * mid);
        middle[b] = static_cast<std::uint16_t>(w[5] * ends + w[6] * inner + w[7] * mid);
        centre[b] = static_cast<std::uint16_t>(w[10] * ends + w[11] * inner + w[12] * mid);
    }
}

// One destination row from the combinations of its five source rows, rounded as FixedRow
// rounds the same sum S, in 16-bit lanes although S reaches 571 · 255: the quotient q0 of a
// quarter of S, taken a little low, is S / 571 or one less, so the remainder S − 571 · q0 lies
// in 0 .. 1141 and is exact in arithmetic modulo 2^16; it says whether to add 0, 1 or 2.
RASTEL_MULTIVERSION void Gaussian5Row(const std::uint16_t* __restrict outer0, const std::uint16_t* __restrict middle1,
                                      const std::uint16_t* __restrict centre2, const std::uint16_t* __restrict middle3,
                                      const std::uint16_t* __restrict outer4, std::size_t count, std::uint8_t* __restrict out) {
    for (std::size_t b = 0; b < count; ++b) {
        const auto outer = static_cast<std::uint16_t>(outer0[b] + outer4[b]);      // at most 15300
        const auto middle = static_cast<std::uint16_t>(middle1[b] + middle3[b]);   // at most 65280
        const std::uint16_t centre = centre2[b];                                   // at most 65025
        const auto quarter = static_cast<std::uint16_t>((outer >> 2) + (middle >> 2) + (centre >> 2));
        const auto q0 = static_cast<std::uint16_t>((std::uint32_t{quarter} * 459u) >> 16);
        const auto remainder = static_cast<std::uint16_t>(outer + middle + centre - 571u * q0);
        out[b] = static_cast<std::uint8_t>(q0 + (remainder >= 286) + (remainder >= 857));
    }
}

// The interior of the 8-bit 5 × 5 Gaussian: each source row's combinations are made once,
// when the row first enters the window, and kept for the five destination rows that use
// it. Rows are read in increasing order, each before any destination row that needs it is
// written, so a destination sharing the source's pixels is safe.
void Gaussian5Interior(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k) {
    const Interior in = InteriorOf(src, rect, k);
    if (in.empty()) return;
    const int nc = src->nChannels;
    const std::size_t count = static_cast<std::size_t>(in.x1 - in.x0) * static_cast<std::size_t>(nc);
    // Five slots of three combination rows each.
    std::vector<std::uint16_t> ring(count * 3 * 5);
    auto slot = [&](int y) { return &ring[static_cast<std::size_t>(((y % 5) + 5) % 5) * 3 * count]; };
    auto readRow = [&](int y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(src->imageData + static_cast<std::ptrdiff_t>(rect.srcY + y) * src->widthStep +
                                                                static_cast<std::ptrdiff_t>(rect.srcX + in.x0 - k.left()) * nc);
        std::uint16_t* combinations = slot(y);
        Gaussian5Combinations(row, nc, count, combinations, combinations + count, combinations + 2 * count);
    };
    for (int y = in.y0 - 2; y < in.y0 + 2; ++y) readRow(y);
    for (int y = in.y0; y < in.y1; ++y) {
        readRow(y + 2);
        auto* out = reinterpret_cast<std::uint8_t*>(dst->imageData + static_cast<std::ptrdiff_t>(rect.dstY + y) * dst->widthStep +
                                                    static_cast<std::ptrdiff_t>(rect.dstX + in.x0) * nc);
        Gaussian5Row(slot(y - 2), slot(y - 1) + count, slot(y) + 2 * count, slot(y + 1) + count, slot(y + 2), count, out);
    }
}

void Copy1U(const VopImage* src, VopImage* dst, const Rect& rect) {
    const BitPlane in(src, 0), out(dst, 0);
    for (int y = 0; y < rect.height; ++y)
        for (int x = 0; x < rect.width; ++x) out.Set(rect.dstX + x, rect.dstY + y, in.Get(rect.srcX + x, rect.srcY + y));
}

}  // namespace

}  // namespace rastel

using namespace rastel;

namespace {

// Sets the rounding mode for a call and gives the caller's back on the way out.
class RoundingModeScope {
public:
    explicit RoundingModeScope(int mode) : previous_(std::fegetround()) { std::fesetround(mode); }
    ~RoundingModeScope() { std::fesetround(previous_); }
    RoundingModeScope(const RoundingModeScope&) = delete;
    RoundingModeScope& operator=(const RoundingModeScope&) = delete;

private:
    int previous_;
};

void FixedFilter(const VopImage* srcImage, VopImage* dstImage, int kind) {
    const Checks check{"vopFixedFilter"};
    if (!check.Header(srcImage) || !check.Header(dstImage)) return;
    if (!check.Require(srcImage != dstImage, VOP_StsBadArg, "(srcImage==dstImage)") ||
        !check.Require(srcImage->depth == dstImage->depth, VOP_StsBadArg, "srcImage->depth!=dstImage->depth") ||
        !check.Require(srcImage->nChannels == dstImage->nChannels, VOP_StsBadArg, "srcImage->nChannels!=dstImage->nChannels") ||
        !check.Require(srcImage->alphaChannel == dstImage->alphaChannel, VOP_StsBadArg, "srcImage->alphaChannel!=dstImage->alphaChannel") ||
        !check.Require(srcImage->depth == VOP_DEPTH_1U || srcImage->dataOrder == dstImage->dataOrder, VOP_StsBadArg,
                       "srcImage->dataOrder!=dstImage->dataOrder") ||
        !check.Channels(srcImage, dstImage, VOP_BadCOI) ||
        !check.Require(kind >= 0 && kind <= 10, VOP_StsBadArg, "Unknow filter.") || !check.Plain(srcImage) || !check.Plain(dstImage))
        return;
    const Rect rect = ProcessedRect(srcImage, dstImage);
    if (srcImage->depth == VOP_DEPTH_1U && kind == 10) {
        Copy1U(srcImage, dstImage, rect);
        return;
    }
    const RoundingModeScope rounding(FE_TONEAREST);
    const FixedKernel& kernel = kKernels[kind];
    const Kernel geometry{kernel.size, kernel.size, kernel.size / 2, kernel.size / 2};
    const std::vector<int> srcChannels = ProcessedChannels(srcImage), dstChannels = ProcessedChannels(dstImage);
    if (FlatBytes(srcImage, dstImage)) {
        if (kind == kGaussian5) {
            RunFlatStrips(srcImage, dstImage, rect, geometry, kFixedRows[static_cast<std::size_t>(kind)]);
            Gaussian5Interior(srcImage, dstImage, rect, geometry);
        } else {
            RunFlat(srcImage, dstImage, rect, geometry, kFixedRows[static_cast<std::size_t>(kind)]);
        }
        return;
    }
    for (std::size_t c = 0; c < srcChannels.size(); ++c) {
        if (srcImage->depth == VOP_DEPTH_1U) {
            RunNeighbourhood<std::uint8_t, BitPlane>(srcImage, dstImage, rect, geometry, srcChannels[c], dstChannels[c],
                                                     [&](const Window<std::uint8_t>& w) {
                                                         return static_cast<std::uint8_t>(std::clamp<int>(Filter(kernel, kind, w), 0, 1));
                                                     });
            continue;
        }
        ForDepth(srcImage->depth, [&]<typename T>() {
            RunNeighbourhood<T>(srcImage, dstImage, rect, geometry, srcChannels[c], dstChannels[c],
                                [&](const Window<T>& w) { return Filter(kernel, kind, w); });
        });
    }
}

}  // namespace

extern "C" void vopFixedFilter(const VopImage* srcImage, VopImage* dstImage, int kind) {
    Guarded("vopFixedFilter", OnExhaustion::Stop, [&] { FixedFilter(srcImage, dstImage, kind); });
}
