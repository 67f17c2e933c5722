#include "Checks.h"
#include "Image.h"
#include "Rank.h"

#include <functional>
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

// One channel: the passes run over a (2n + 1) square. The source around the region is
// taken one pixel deep from the image (or its border) and repeated beyond that; each
// source row is read once, before the destination rows that need it are written.
template <typename T, typename PlaneType>
void MorphChannel(const VopImage* src, VopImage* dst, const Rect& rect, int n, int srcChannel, int dstChannel,
                  std::initializer_list<Pass> passes) {
    const PlaneType in(src, srcChannel), out(dst, dstChannel);
    const int depth = static_cast<int>(passes.size()) * n;  // how far the first pass must reach
    const int w = rect.width, h = rect.height;
    auto source = [&](int x, int y) {
        return SampleWithBorder<T>(src, in, rect.srcX + std::clamp(x, -1, w), rect.srcY + std::clamp(y, -1, h));
    };
    auto reduce = [](Pass pass, T a, T b) { return pass == Pass::Erode ? std::min(a, b) : std::max(a, b); };
    // Rows of the current stage, each `w + 2·reach` wide, kept for the 2n + 1 rows a window needs.
    struct Stage {
        Pass pass;
        int reach;  // columns and rows beyond the region this stage produces
        std::vector<std::vector<T>> rows;
        int first = 0;  // region row of rows[0]
    };
    std::vector<Stage> stages;
    int reach = depth;
    for (Pass pass : passes) {
        reach -= n;
        stages.push_back({pass, reach, {}, 0});
    }
    // Input rows, read on demand; rows of later stages computed from the earlier stage.
    std::vector<std::vector<T>> input;
    int inputFirst = -depth;
    auto inputRow = [&](int y) -> const std::vector<T>& {
        while (inputFirst + static_cast<int>(input.size()) <= y) {
            const int row = inputFirst + static_cast<int>(input.size());
            std::vector<T> values(static_cast<std::size_t>(w + 2 * depth));
            for (int i = 0; i < w + 2 * depth; ++i) values[static_cast<std::size_t>(i)] = source(i - depth, row);
            input.push_back(std::move(values));
        }
        return input[static_cast<std::size_t>(y - inputFirst)];
    };
    // The stage value at region row y from the rows of the stage before it.
    std::function<std::vector<T>(std::size_t, int)> stageRow = [&](std::size_t s, int y) {
        const Stage& stage = stages[s];
        const int width = w + 2 * stage.reach;
        const int before = s == 0 ? depth : stages[s - 1].reach;
        std::vector<T> result(static_cast<std::size_t>(width));
        for (int dy = -n; dy <= n; ++dy) {
            const std::vector<T> row = s == 0 ? inputRow(y + dy) : stageRow(s - 1, y + dy);
            for (int x = 0; x < width; ++x) {
                const int centre = x - stage.reach + before;
                T best = row[static_cast<std::size_t>(centre - n)];
                for (int dx = -n + 1; dx <= n; ++dx) best = reduce(stage.pass, best, row[static_cast<std::size_t>(centre + dx)]);
                result[static_cast<std::size_t>(x)] = dy == -n ? best : reduce(stage.pass, result[static_cast<std::size_t>(x)], best);
            }
        }
        return result;
    };
    // Every source row the output needs is read before the first output row is written.
    for (int y = -depth; y < h + depth; ++y) inputRow(y);
    for (int y = 0; y < h; ++y) {
        const std::vector<T> row = stageRow(stages.size() - 1, y);
        for (int x = 0; x < w; ++x) out.Set(rect.dstX + x, rect.dstY + y, row[static_cast<std::size_t>(x)]);
    }
}

bool Overlap(const VopImage* a, const VopImage* b) {
    return a->imageData < b->imageData + b->imageSize && b->imageData < a->imageData + a->imageSize;
}

void Morphology(const char* name, const VopImage* src, VopImage* dst, int iterations, std::initializer_list<Pass> passes) {
    const Checks check{name};
    if (!CheckMorphology(check, src, dst, iterations)) return;
    ThreadContext().status = 0;
    // One pass over a 3 × 3 square reads only the ring one pixel around the region, which is
    // what the minimum and maximum filters read; with separate pixels the results agree.
    if (passes.size() == 1 && iterations == 1 && !Overlap(src, dst) && src->nChannels == dst->nChannels &&
        src->alphaChannel == dst->alphaChannel && src->depth != VOP_DEPTH_1U) {
        ExtremumFilter(name, *passes.begin() == Pass::Dilate, src, dst, 3, 3, 1, 1);
        return;
    }
    const Rect rect = ProcessedRect(src, dst);
    if (rect.width <= 0 || rect.height <= 0) return;
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
    Morphology("vopErode", srcImage, dstImage, iterations, {Pass::Erode});
}

void vopDilate(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Morphology("vopDilate", srcImage, dstImage, iterations, {Pass::Dilate});
}

void vopOpen(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Morphology("vopOpen", srcImage, dstImage, iterations, {Pass::Erode, Pass::Dilate});
}

void vopClose(const VopImage* srcImage, VopImage* dstImage, int iterations) {
    Morphology("vopClose", srcImage, dstImage, iterations, {Pass::Dilate, Pass::Erode});
}

}  // extern "C"
