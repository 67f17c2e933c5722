#include "Checks.h"
#include "Image.h"
#include "Neighbourhood.h"
#include "Rank.h"

#include <cstring>
#include <vector>

namespace rastel {

namespace {

enum class Pass { Erode, Dilate };

bool CheckMorphology(const Checks& check, const VopImage* src, const VopImage* dst, int iterations) {
    const int bits = src ? DepthBits(src->depth) : 0;
    return check.Header(src) && check.Header(dst) &&
           check.Require(iterations > 0, VOP_StsBadArg, "Illegal number of iterations") &&
           check.Require(bits == 1 || bits == 8 || bits == 16, VOP_StsBadArg, "Illegal image depth") &&
           check.Require(src->depth == dst->depth, VOP_StsBadArg, "SRC and DST depth are different") &&
           check.Require(src->dataOrder == dst->dataOrder, VOP_StsBadArg, "SRC and DST order are different") &&
           check.Require(src->origin == dst->origin, VOP_StsBadArg, "SRC and DST orign are different") &&
           check.Require(ProcessedChannels(src).size() == ProcessedChannels(dst).size(), VOP_StsBadArg,
                         "SRC and DST number of channels are different") &&
           check.Plain(src) && check.Plain(dst);
}

// One channel. The passes run over a (2n + 1) square, each as a row pass and a column
// pass. The source around the region is taken one pixel deep from the image (or its
// border) and repeated beyond that; it is copied whole before anything is written, so a
// destination that shares the source's pixels does not disturb the result.
template <typename T, typename PlaneType>
void MorphChannel(const VopImage* src, VopImage* dst, const Rect& rect, int n, int srcChannel, int dstChannel,
                  std::initializer_list<Pass> passes) {
    const PlaneType in(src, srcChannel), out(dst, dstChannel);
    const int w = rect.width, h = rect.height;
    int margin = static_cast<int>(passes.size()) * n;
    int bw = w + 2 * margin, bh = h + 2 * margin;
    std::vector<T> buffer(static_cast<std::size_t>(bw) * static_cast<std::size_t>(bh));
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x)
            buffer[static_cast<std::size_t>(y) * bw + x] = SampleWithBorder<T>(
                src, in, rect.srcX + std::clamp(x - margin, -1, w), rect.srcY + std::clamp(y - margin, -1, h));
    std::vector<T> rowPass, next;
    for (Pass pass : passes) {
        const bool erode = pass == Pass::Erode;
        // Rows: the reduction over 2n + 1 columns narrows the buffer by 2n.
        const int nw = bw - 2 * n;
        rowPass.assign(static_cast<std::size_t>(nw) * bh, T{});
        for (int y = 0; y < bh; ++y) {
            const T* row = &buffer[static_cast<std::size_t>(y) * bw];
            T* to = &rowPass[static_cast<std::size_t>(y) * nw];
            std::copy(row, row + nw, to);
            for (int dx = 1; dx <= 2 * n; ++dx)
                for (int x = 0; x < nw; ++x) to[x] = erode ? std::min(to[x], row[x + dx]) : std::max(to[x], row[x + dx]);
        }
        // Columns: the same over 2n + 1 rows.
        const int nh = bh - 2 * n;
        next.assign(static_cast<std::size_t>(nw) * nh, T{});
        for (int y = 0; y < nh; ++y) {
            T* to = &next[static_cast<std::size_t>(y) * nw];
            std::copy(&rowPass[static_cast<std::size_t>(y) * nw], &rowPass[static_cast<std::size_t>(y) * nw] + nw, to);
            for (int dy = 1; dy <= 2 * n; ++dy) {
                const T* row = &rowPass[static_cast<std::size_t>(y + dy) * nw];
                for (int x = 0; x < nw; ++x) to[x] = erode ? std::min(to[x], row[x]) : std::max(to[x], row[x]);
            }
        }
        buffer.swap(next);
        bw = nw;
        bh = nh;
        margin -= n;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.Set(rect.dstX + x, rect.dstY + y, buffer[static_cast<std::size_t>(y) * bw + x]);
}

// One iteration on 8-bit interleaved images with every channel processed, all channels at
// once over byte rows (a pixel's neighbour is `nChannels` bytes away). Stage 0 is the source
// padded by its border, stage k the k-th pass; each stage's rows are kept in a ring of three
// and made as soon as the rows above them allow, the last stage's straight into the
// destination. Source rows are read in increasing order, each before any destination row at
// or below it is written, which keeps shared pixels safe.
void MorphFlatStreaming(const VopImage* src, VopImage* dst, const Rect& rect, std::initializer_list<Pass> passes) {
    const int nc = src->nChannels, w = rect.width, h = rect.height;
    const int stages = static_cast<int>(passes.size());
    // Stage k covers region columns and rows −(stages − k) .. size + stages − k − 1.
    struct Ring {
        std::size_t bytes = 0;
        std::vector<std::uint8_t> rows;
        std::uint8_t* Row(int y) { return &rows[static_cast<std::size_t>(((y % 3) + 3) % 3) * bytes]; }
    };
    std::vector<Ring> rings(static_cast<std::size_t>(stages));
    for (int k = 0; k < stages; ++k) {
        rings[static_cast<std::size_t>(k)].bytes = static_cast<std::size_t>(w + 2 * (stages - k)) * nc;
        rings[static_cast<std::size_t>(k)].rows.resize(rings[static_cast<std::size_t>(k)].bytes * 3);
    }
    std::vector<std::uint8_t> column(rings[0].bytes);
    const std::vector<Pass> order(passes);
    // The source one pixel deep around the region, repeated beyond.
    const BorderedRows bordered(src, rect.srcX - 1, w + 2);
    auto sourceRow = [&](int y) {
        std::uint8_t* to = rings[0].Row(y);
        std::uint8_t* deep = to + static_cast<std::size_t>(stages - 1) * nc;
        bordered.Copy(rect.srcY + std::clamp(y, -1, h), deep);
        for (int x = 1; x < stages; ++x) {
            std::memcpy(deep - static_cast<std::size_t>(x) * nc, deep, static_cast<std::size_t>(nc));
            std::memcpy(deep + static_cast<std::size_t>(w + 1 + x) * nc, deep + static_cast<std::size_t>(w + 1) * nc, static_cast<std::size_t>(nc));
        }
    };
    for (int t = -stages; t < h + stages; ++t) {
        sourceRow(t);
        for (int k = 1; k <= stages; ++k) {
            const int y = t - k, margin = stages - k;
            if (y < -margin || y >= h + margin) break;
            Ring& above = rings[static_cast<std::size_t>(k - 1)];
            std::uint8_t* to = k == stages ? reinterpret_cast<std::uint8_t*>(dst->imageData + static_cast<std::ptrdiff_t>(rect.dstY + y) * dst->widthStep +
                                                                            static_cast<std::ptrdiff_t>(rect.dstX) * nc)
                                           : rings[static_cast<std::size_t>(k)].Row(y);
            const std::size_t bytes = k == stages ? static_cast<std::size_t>(w) * nc : rings[static_cast<std::size_t>(k)].bytes;
            Extremum3x3Row(order[static_cast<std::size_t>(k - 1)] == Pass::Dilate, above.Row(y - 1), above.Row(y), above.Row(y + 1),
                           column.data(), to, bytes, nc);
        }
    }
}

void Morphology(const char* name, const VopImage* src, VopImage* dst, int iterations, std::initializer_list<Pass> passes) {
    const Checks check{name};
    if (!CheckMorphology(check, src, dst, iterations)) return;
    ThreadContext().status = 0;
    // One pass over a 3 × 3 square reads only the ring one pixel around the region, which is
    // what the minimum and maximum filters read; with separate pixels the results agree.
    if (passes.size() == 1 && iterations == 1 && !SharePixels(src, dst) && src->nChannels == dst->nChannels &&
        src->alphaChannel == dst->alphaChannel && src->depth != VOP_DEPTH_1U) {
        ExtremumFilter(name, *passes.begin() == Pass::Dilate, src, dst, 3, 3, 1, 1);
        return;
    }
    const Rect rect = ProcessedRect(src, dst);
    if (rect.width <= 0 || rect.height <= 0) return;
    if (iterations == 1 && FlatBytes(src, dst)) {
        MorphFlatStreaming(src, dst, rect, passes);
        return;
    }
    const std::vector<int> srcChannels = ProcessedChannels(src), dstChannels = ProcessedChannels(dst);
    for (std::size_t c = 0; c < srcChannels.size(); ++c) {
        if (src->depth == VOP_DEPTH_1U) {
            MorphChannel<std::uint8_t, BitPlane>(src, dst, rect, iterations, srcChannels[c], dstChannels[c], passes);
            continue;
        }
        ForDepth(src->depth, [&]<typename T>() {
            MorphChannel<T, Plane<T>>(src, dst, rect, iterations, srcChannels[c], dstChannels[c], passes);
        });
    }
}

}  // namespace

}  // namespace rastel

using namespace rastel;

extern "C" {

void vopErode(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Guarded("vopErode", OnExhaustion::StoreStatus,
            [&] { Morphology("vopErode", srcImage, dstImage, iterations, {Pass::Erode}); });
}

void vopDilate(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Guarded("vopDilate", OnExhaustion::StoreStatus,
            [&] { Morphology("vopDilate", srcImage, dstImage, iterations, {Pass::Dilate}); });
}

void vopOpen(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Guarded("vopOpen", OnExhaustion::StoreStatus,
            [&] { Morphology("vopOpen", srcImage, dstImage, iterations, {Pass::Erode, Pass::Dilate}); });
}

void vopClose(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Guarded("vopClose", OnExhaustion::StoreStatus,
            [&] { Morphology("vopClose", srcImage, dstImage, iterations, {Pass::Dilate, Pass::Erode}); });
}

}  // extern "C"
