#include "ScreenZoom.h"

#include "AviFile.h"
#include "ParallelFor.h"
#include "VectorClones.h"
#include "WidenedPixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <thread>

namespace kadivo {

namespace {

constexpr int kChannels = 4;
// Below this many screen pixels a part is enlarged on the calling thread alone.
constexpr std::size_t kPixelsWorthThreads = 64 * 1024;

// Levels are enlarged in 16-bit fixed point: a level is 64 units, so the cubic's overshoot
// stays far inside 16 bits, and weights are fractions of 2^15.
constexpr int kUnitBits = 6;
constexpr int kWeightBits = 15;
using Weights = std::array<std::int16_t, 4>;

// The cubic's weights of the samples at −1, 0, 1, 2 for the point t past sample 0, with
// 0 < t < 1 (Lagrange's polynomials through four points, each then below one), rounded to
// 2^−15 with their sum kept at one, so that a flat region stays flat.
Weights CubicWeights(double t) {
    const double exact[4] = {-t * (t - 1) * (t - 2) / 6, (t + 1) * (t - 1) * (t - 2) / 2, -(t + 1) * t * (t - 2) / 2,
                             (t + 1) * t * (t - 1) / 6};
    Weights w{};
    int sum = 0;
    for (int k = 0; k < 4; ++k) {
        w[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(std::lround(exact[k] * (1 << kWeightBits)));
        sum += w[static_cast<std::size_t>(k)];
    }
    const std::size_t largest = exact[1] >= exact[2] ? 1 : 2;
    w[largest] = static_cast<std::int16_t>(w[largest] + (1 << kWeightBits) - sum);
    return w;
}

// The product of a value and a weight, rounded: (v·w + 2^14) / 2^15, written in the form the
// compiler makes one vector instruction of (pmulhrsw).
inline std::int16_t Weighted(std::int16_t value, std::int16_t weight) {
    return static_cast<std::int16_t>((((static_cast<std::int32_t>(value) * weight) >> (kWeightBits - 1)) + 1) >> 1);
}

// One screen axis of a part: for each screen index its frame index below and its phase
// (index modulo the zoom), which picks the weights.
struct Axis {
    std::vector<int> below, phase;
    Axis(int first, int end, int corner, int zoom) {
        for (int i = first; i < end; ++i) {
            below.push_back(corner + i / zoom);
            phase.push_back(i % zoom);
        }
    }
};

// Screen words as units, their bytes in memory order (as the words go back).
KADIVO_VECTOR_CLONES void ToUnits(const std::uint8_t* __restrict bytes, std::size_t count, std::int16_t* __restrict units) {
    for (std::size_t b = 0; b < count; ++b) units[b] = static_cast<std::int16_t>(bytes[b] << kUnitBits);
}

// The four-sample blend at element e of runs a, b, c, d.
inline std::int16_t BlendAt(const std::int16_t* a, const std::int16_t* b, const std::int16_t* c, const std::int16_t* d,
                            const Weights& w, std::size_t e) {
    return static_cast<std::int16_t>(Weighted(a[e], w[0]) + Weighted(b[e], w[1]) + Weighted(c[e], w[2]) + Weighted(d[e], w[3]));
}

// Units rounded to the nearest level and held within 0..255 (the cubic overshoots at edges).
// The sum stays in 16 bits (the two blends overshoot a level of 255 by well under a half), so
// it is worked out in 16-bit lanes, and the hold is the pack to bytes.
inline std::uint8_t LevelOf(std::int16_t units) {
    const auto level = static_cast<std::int16_t>(static_cast<std::int16_t>(units + (1 << (kUnitBits - 1))) >> kUnitBits);
    return static_cast<std::uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
}

KADIVO_VECTOR_CLONES void Blend(const std::int16_t* __restrict a, const std::int16_t* __restrict b, const std::int16_t* __restrict c,
                                const std::int16_t* __restrict d, Weights w, std::size_t count, std::int16_t* __restrict out) {
    for (std::size_t e = 0; e < count; ++e) out[e] = BlendAt(a, b, c, d, w, e);
}

KADIVO_VECTOR_CLONES void ToBytes(const std::int16_t* __restrict units, std::size_t count, std::uint8_t* __restrict bytes) {
    for (std::size_t e = 0; e < count; ++e) bytes[e] = LevelOf(units[e]);
}

// The blend of four rows, straight to bytes.
KADIVO_VECTOR_CLONES void BlendToBytes(const std::int16_t* __restrict a, const std::int16_t* __restrict b,
                                       const std::int16_t* __restrict c, const std::int16_t* __restrict d, Weights w,
                                       std::size_t count, std::uint8_t* __restrict bytes) {
    for (std::size_t e = 0; e < count; ++e) bytes[e] = LevelOf(BlendAt(a, b, c, d, w, e));
}

// Groups of `zoom` screen pixels, one of each phase for one frame column: pixel p of group g
// takes the four units at sources[p] + 4g of `units`.
__attribute__((always_inline)) inline void InterleaveGroups(std::size_t zoom, const std::int16_t* __restrict units,
                                                            const std::size_t* __restrict sources, std::size_t groups,
                                                            std::int16_t* __restrict out) {
    for (std::size_t g = 0; g < groups; ++g)
        for (std::size_t p = 0; p < zoom; ++p)
            std::memcpy(out + (g * zoom + p) * kChannels, units + sources[p] + g * kChannels, kChannels * sizeof(std::int16_t));
}

// With each zoom the menu offers known when compiled, the copies become vector shuffles.
KADIVO_VECTOR_CLONES void Interleave(std::size_t zoom, const std::int16_t* units, const std::size_t* sources, std::size_t groups,
                                     std::int16_t* out) {
    switch (zoom) {
    case 2: return InterleaveGroups(2, units, sources, groups, out);
    case 3: return InterleaveGroups(3, units, sources, groups, out);
    case 4: return InterleaveGroups(4, units, sources, groups, out);
    case 5: return InterleaveGroups(5, units, sources, groups, out);
    case 6: return InterleaveGroups(6, units, sources, groups, out);
    case 7: return InterleaveGroups(7, units, sources, groups, out);
    case 8: return InterleaveGroups(8, units, sources, groups, out);
    case 9: return InterleaveGroups(9, units, sources, groups, out);
    case 10: return InterleaveGroups(10, units, sources, groups, out);
    default: return InterleaveGroups(zoom, units, sources, groups, out);
    }
}

// The rows of a part, each row of the frame enlarged along the row once and kept in a ring
// of four for the rows below. Along a row, each phase of the zoom is blended for every frame
// column at once, then the screen pixels take theirs.
class BandEnlarger {
public:
    BandEnlarger(const FramePixels& frame, const Axis& columns, const std::vector<Weights>& weights)
        : frame_(frame), weights_(weights), stride_(BitmapRowStride(frame.width, frame.bitCount)),
          bytesPerPixel_(frame.bitCount / 8), spanFirst_(columns.below.front() - 1),
          words_(static_cast<std::size_t>(columns.below.back() + 3 - spanFirst_)), blended_((words_.size() - 3) * kChannels),
          units_(words_.size() * kChannels + (weights.size() - 1) * blended_), width_(columns.below.size() * kChannels),
          ring_(width_ * 4) {
        // Where a screen pixel of a row finds its units: phase 0 in the row's own, the others
        // in their phase's blend (both in units_). Whole groups of one pixel of each phase, a
        // frame column each, go at once; the pixels before the first and after the last one
        // by one.
        const std::size_t zoom = weights.size(), pixels = columns.below.size();
        const auto sourceOf = [&](std::size_t i) {
            const auto column = static_cast<std::size_t>(columns.below[i] - spanFirst_);
            const auto phase = static_cast<std::size_t>(columns.phase[i]);
            return phase == 0 ? column * kChannels : PhaseOffset(phase) + (column - 1) * kChannels;
        };
        lead_ = std::min(pixels, (zoom - static_cast<std::size_t>(columns.phase.front())) % zoom);
        groups_ = (pixels - lead_) / zoom;
        if (groups_ > 0)
            for (std::size_t p = 0; p < zoom; ++p) groupSources_.push_back(sourceOf(lead_ + p));
        for (std::size_t i = 0; i < pixels; ++i)
            if (i < lead_ || i >= lead_ + groups_ * zoom) loose_.push_back({i, sourceOf(i)});
    }

    void Row(int below, int phase, std::uint8_t* out) {
        if (phase == 0) {
            ToBytes(Enlarged(below), width_, out);
            return;
        }
        BlendToBytes(Enlarged(below - 1), Enlarged(below), Enlarged(below + 1), Enlarged(below + 2),
                     weights_[static_cast<std::size_t>(phase)], width_, out);
    }

private:
    std::size_t PhaseOffset(std::size_t phase) const { return words_.size() * kChannels + (phase - 1) * blended_; }

    const std::int16_t* Enlarged(int row) {
        const int slot = ((row % 4) + 4) % 4;
        std::int16_t* out = &ring_[static_cast<std::size_t>(slot) * width_];
        if (ringRows_[static_cast<std::size_t>(slot)] == row) return out;
        ringRows_[static_cast<std::size_t>(slot)] = row;
        ReadRow(row);
        // Phase 0 is the frame's own pixel; the others blend the four around it.
        const std::int16_t* s = units_.data();
        for (std::size_t phase = 1; phase < weights_.size(); ++phase)
            Blend(s, s + kChannels, s + 2 * kChannels, s + 3 * kChannels, weights_[phase], blended_, &units_[PhaseOffset(phase)]);
        if (groups_ > 0) Interleave(weights_.size(), s, groupSources_.data(), groups_, out + lead_ * kChannels);
        for (const LoosePixel& pixel : loose_)
            std::memcpy(out + pixel.index * kChannels, s + pixel.source, kChannels * sizeof(std::int16_t));
        return out;
    }

    // The frame row's pixels from column spanFirst_ on, as units; rows are stored from the
    // bottom, and rows and columns beyond the frame repeat its edge.
    void ReadRow(int row) {
        const int stored = frame_.height - 1 - std::clamp(row, 0, frame_.height - 1);
        const std::uint8_t* pixels = frame_.data + static_cast<std::ptrdiff_t>(stored) * stride_;
        const int span = static_cast<int>(words_.size());
        const int first = std::clamp(spanFirst_, 0, frame_.width - 1), last = std::clamp(spanFirst_ + span - 1, 0, frame_.width - 1);
        inFrame_.resize(static_cast<std::size_t>(last - first + 1));
        const auto widen = bytesPerPixel_ == 3 ? WidenPixels : OpaquePixels;
        widen(pixels + static_cast<std::ptrdiff_t>(first) * bytesPerPixel_, last - first + 1, inFrame_.data());
        // Span position x shows frame column clamp(spanFirst_ + x, first, last).
        const int x0 = std::clamp(first - spanFirst_, 0, span), from = std::max(first, spanFirst_);
        const int middle = std::clamp(std::min(last, spanFirst_ + span - 1) - from + 1, 0, span - x0);
        std::fill(words_.begin(), words_.begin() + x0, inFrame_.front());
        if (middle > 0) std::copy_n(inFrame_.begin() + (from - first), middle, words_.begin() + x0);
        std::fill(words_.begin() + x0 + middle, words_.end(), inFrame_.back());
        ToUnits(reinterpret_cast<const std::uint8_t*>(words_.data()), words_.size() * kChannels, units_.data());
    }

    const FramePixels& frame_;
    const std::vector<Weights>& weights_;
    const int stride_, bytesPerPixel_, spanFirst_;
    std::vector<std::uint32_t> inFrame_, words_;
    const std::size_t blended_;  // units of the frame columns the part's pixels lie in
    // The row's units from spanFirst_ on, then those columns blended for each phase but 0.
    std::vector<std::int16_t> units_;
    // A screen pixel outside the whole groups, and where its units are.
    struct LoosePixel {
        std::size_t index, source;
    };
    std::size_t lead_ = 0, groups_ = 0;
    std::vector<std::size_t> groupSources_;
    std::vector<LoosePixel> loose_;
    const std::size_t width_;
    std::vector<std::int16_t> ring_;
    std::array<int, 4> ringRows_{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
};

}  // namespace

bool ScreenZoom::Takes(const FramePixels& frame, int zoom, const ScreenPixels& screen) {
    return frame.data && frame.width > 0 && frame.height > 0 && zoom >= 1 && screen.data && screen.width > 0 &&
           screen.height > 0 && (frame.bitCount == 24 || frame.bitCount == 32);
}

void ScreenZoom::Draw(const FramePixels& frame, int zoom, int left, int top, ScreenPixels screen, bool sameFrame) {
    lastEnlarged_ = 0;
    if (!Takes(frame, zoom, screen)) {
        width_ = height_ = zoom_ = 0;
        return;
    }
    left = std::clamp(left, 0, frame.width - 1);
    top = std::clamp(top, 0, frame.height - 1);
    const int width = screen.width, height = screen.height;
    const bool moved = sameFrame && zoom == zoom_ && width == width_ && height == height_;
    const int dx = (left - left_) * zoom, dy = (top - top_) * zoom;
    left_ = left;
    top_ = top;
    const auto enlarge = [&](Part part) { Enlarge(frame, WordAt(screen, part.x0, part.y0), screen.wordsPerRow, part); };
    if (moved && MoveBy(screen, dx, dy)) {
        // What came into view: a band of rows across the picture, then the columns beside the
        // rows that stayed.
        const int keptTop = std::max(0, -dy), keptBottom = height - std::max(0, dy);
        if (dy > 0) enlarge({0, keptBottom, width, height});
        if (dy < 0) enlarge({0, 0, width, keptTop});
        if (dx > 0) enlarge({width - dx, keptTop, width, keptBottom});
        if (dx < 0) enlarge({0, keptTop, -dx, keptBottom});
        return;
    }
    zoom_ = zoom;
    width_ = width;
    height_ = height;
    enlarge({0, 0, width, height});
}

void ScreenZoom::DrawPart(const FramePixels& frame, int zoom, int left, int top, ScreenPixels part, int x, int y) {
    lastEnlarged_ = 0;
    // No whole picture is kept to move afterwards.
    width_ = height_ = zoom_ = 0;
    if (!Takes(frame, zoom, part) || x < 0 || y < 0) return;
    zoom_ = zoom;
    left_ = std::clamp(left, 0, frame.width - 1);
    top_ = std::clamp(top, 0, frame.height - 1);
    Enlarge(frame, part.data, part.wordsPerRow, {x, y, x + part.width, y + part.height});
}

std::uint32_t* ScreenZoom::WordAt(const ScreenPixels& screen, int x, int y) {
    return screen.data + static_cast<std::ptrdiff_t>(y) * screen.wordsPerRow + x;
}

// Moves the picture by (−dx, −dy) screen pixels; false when nothing of it stays in view.
bool ScreenZoom::MoveBy(ScreenPixels screen, int dx, int dy) {
    if (std::abs(dx) >= screen.width || std::abs(dy) >= screen.height) return false;
    const int keptWidth = screen.width - std::abs(dx);
    const auto moveRow = [&](int to) {
        std::memmove(WordAt(screen, std::max(0, -dx), to), WordAt(screen, std::max(0, dx), to + dy),
                     static_cast<std::size_t>(keptWidth) * sizeof(std::uint32_t));
    };
    // Rows are taken in the order that reads each before it is overwritten.
    if (dy >= 0)
        for (int y = 0; y < screen.height - dy; ++y) moveRow(y);
    else
        for (int y = screen.height - 1; y >= -dy; --y) moveRow(y);
    return true;
}

void ScreenZoom::Enlarge(const FramePixels& frame, std::uint32_t* at, std::ptrdiff_t wordsPerRow, Part part) {
    if (part.x1 <= part.x0 || part.y1 <= part.y0) return;
    const Axis columns(part.x0, part.x1, left_, zoom_), rows(part.y0, part.y1, top_, zoom_);
    // Phase 0 is the frame's own pixel and has no weights.
    std::vector<Weights> weights(static_cast<std::size_t>(zoom_));
    for (int phase = 1; phase < zoom_; ++phase) weights[static_cast<std::size_t>(phase)] = CubicWeights(static_cast<double>(phase) / zoom_);
    const std::size_t pixels = static_cast<std::size_t>(part.x1 - part.x0) * static_cast<std::size_t>(part.y1 - part.y0);
    lastEnlarged_ += pixels;
    const int rowCount = part.y1 - part.y0;
    const int bands = pixels < kPixelsWorthThreads
                          ? 1
                          : std::min(rowCount, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    ParallelFor(bands, [&](int band) {
        BandEnlarger enlarger(frame, columns, weights);
        for (int r = rowCount * band / bands; r < rowCount * (band + 1) / bands; ++r) {
            auto* out = reinterpret_cast<std::uint8_t*>(at + static_cast<std::ptrdiff_t>(r) * wordsPerRow);
            enlarger.Row(rows.below[static_cast<std::size_t>(r)], rows.phase[static_cast<std::size_t>(r)], out);
        }
    });
}

}  // namespace kadivo
