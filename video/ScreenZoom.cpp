#include "ScreenZoom.h"

#include "AviFile.h"
#include "ParallelFor.h"
#include "VectorClones.h"
#include "WidenedPixels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kadivo {

namespace {

constexpr int kChannels = 4;
// Below this many screen pixels a part is enlarged on the calling thread alone.
constexpr std::size_t kPixelsWorthThreads = 64 * 1024;

constexpr std::uint32_t kOpaque = 0xff000000u;

// The cubic's weights of the samples at −1, 0, 1, 2 for the point t past sample 0
// (Lagrange's polynomials through four points).
std::array<float, 4> CubicWeights(double t) {
    return {static_cast<float>(-t * (t - 1) * (t - 2) / 6), static_cast<float>((t + 1) * (t - 1) * (t - 2) / 2),
            static_cast<float>(-(t + 1) * t * (t - 2) / 2), static_cast<float>((t + 1) * t * (t - 1) / 6)};
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

// Two screen pixels of four channels, in vector registers (GCC and Clang vectors).
using Floats = float __attribute__((vector_size(32)));
using Pixel = float __attribute__((vector_size(16)));
constexpr std::size_t kLanes = 8;

inline Pixel LoadPixel(const float* at) {
    Pixel v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

inline std::uint8_t ToByte(float value) { return static_cast<std::uint8_t>(std::clamp(static_cast<int>(value + 0.5f), 0, 255)); }

// Screen words as four floats each, their bytes in memory order (as the words go back). On
// x86-64 four words at a time, widened through 16 bits.
KADIVO_VECTOR_CLONES void ToFloats(const std::uint32_t* __restrict words, std::size_t count, float* __restrict floats) {
    std::size_t w = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; w + 4 <= count; w += 4) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(words + w));
        const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
        float* out = floats + w * kChannels;
        _mm_storeu_ps(out, _mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)));
        _mm_storeu_ps(out + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)));
        _mm_storeu_ps(out + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)));
        _mm_storeu_ps(out + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero)));
    }
#endif
    for (; w < count; ++w) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(words + w);
        for (int c = 0; c < kChannels; ++c) floats[w * kChannels + c] = bytes[c];
    }
}

// Rounded to the nearest level and held within 0..255 (the cubic overshoots at edges). On
// x86-64 sixteen values at a time, the saturating packs doing the holding.
KADIVO_VECTOR_CLONES void ToBytes(const float* __restrict values, std::size_t count, std::uint8_t* __restrict bytes) {
    std::size_t b = 0;
#if defined(__SSE2__)
    const __m128 half = _mm_set1_ps(0.5f);
    const auto rounded = [&](std::size_t at) { return _mm_cvttps_epi32(_mm_add_ps(_mm_loadu_ps(values + at), half)); };
    for (; b + 16 <= count; b += 16) {
        const __m128i low = _mm_packs_epi32(rounded(b), rounded(b + 4)), high = _mm_packs_epi32(rounded(b + 8), rounded(b + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + b), _mm_packus_epi16(low, high));
    }
#endif
    for (; b < count; ++b) bytes[b] = ToByte(values[b]);
}

KADIVO_VECTOR_CLONES void Blend(const float* __restrict r0, const float* __restrict r1, const float* __restrict r2,
                                const float* __restrict r3, const std::array<float, 4>& w, std::size_t count,
                                float* __restrict out) {
    std::size_t b = 0;
    for (; b + kLanes <= count; b += kLanes) {
        Floats v0, v1, v2, v3;
        std::memcpy(&v0, r0 + b, sizeof v0);
        std::memcpy(&v1, r1 + b, sizeof v1);
        std::memcpy(&v2, r2 + b, sizeof v2);
        std::memcpy(&v3, r3 + b, sizeof v3);
        const Floats v = w[0] * v0 + w[1] * v1 + w[2] * v2 + w[3] * v3;
        std::memcpy(out + b, &v, sizeof v);
    }
    for (; b < count; ++b) out[b] = w[0] * r0[b] + w[1] * r1[b] + w[2] * r2[b] + w[3] * r3[b];
}

// Screen pixels along one frame row from the row's pixels `span` (as four floats each, the
// first at frame column spanFirst).
KADIVO_VECTOR_CLONES void AlongTheRow(const float* __restrict span, int spanFirst, const Axis& columns,
                                      const std::vector<std::array<float, 4>>& weights, float* __restrict out) {
    // Neighbouring screen pixels share their four frame pixels; they are loaded once.
    int loaded = INT32_MIN;
    Pixel a{}, b{}, c{}, d{};
    for (std::size_t i = 0; i < columns.below.size(); ++i) {
        if (columns.below[i] != loaded) {
            loaded = columns.below[i];
            const float* s = span + static_cast<std::size_t>(loaded - 1 - spanFirst) * kChannels;
            a = LoadPixel(s);
            b = LoadPixel(s + kChannels);
            c = LoadPixel(s + 2 * kChannels);
            d = LoadPixel(s + 3 * kChannels);
        }
        const int phase = columns.phase[i];
        const std::array<float, 4>& w = weights[static_cast<std::size_t>(phase)];
        const Pixel v = phase == 0 ? b : w[0] * a + w[1] * b + w[2] * c + w[3] * d;
        std::memcpy(out + i * kChannels, &v, sizeof v);
    }
}

// The rows of a part, each row of the frame enlarged along the row once
// and kept in a ring of four for the rows below.
class BandEnlarger {
public:
    BandEnlarger(const FramePixels& frame, const Axis& columns, const std::vector<std::array<float, 4>>& weights)
        : frame_(frame), columns_(columns), weights_(weights), stride_(BitmapRowStride(frame.width, frame.bitCount)),
          bytesPerPixel_(frame.bitCount / 8), spanFirst_(columns.below.front() - 1),
          words_(static_cast<std::size_t>(columns.below.back() + 3 - spanFirst_)), span_(words_.size() * kChannels),
          width_(columns.below.size() * kChannels), ring_(width_ * 4), blended_(width_) {}

    void Row(int below, int phase, std::uint8_t* out) {
        if (phase == 0) {
            ToBytes(Enlarged(below), width_, out);
            return;
        }
        Blend(Enlarged(below - 1), Enlarged(below), Enlarged(below + 1), Enlarged(below + 2),
              weights_[static_cast<std::size_t>(phase)], width_, blended_.data());
        ToBytes(blended_.data(), width_, out);
    }

private:
    const float* Enlarged(int row) {
        const int slot = ((row % 4) + 4) % 4;
        float* out = &ring_[static_cast<std::size_t>(slot) * width_];
        if (ringRows_[static_cast<std::size_t>(slot)] == row) return out;
        ringRows_[static_cast<std::size_t>(slot)] = row;
        // Rows are stored from the bottom; rows and columns beyond the frame repeat its edge.
        const int stored = frame_.height - 1 - std::clamp(row, 0, frame_.height - 1);
        const std::uint8_t* pixels = frame_.data + static_cast<std::ptrdiff_t>(stored) * stride_;
        const int span = static_cast<int>(words_.size());
        const int first = std::clamp(spanFirst_, 0, frame_.width - 1), last = std::clamp(spanFirst_ + span - 1, 0, frame_.width - 1);
        inFrame_.resize(static_cast<std::size_t>(last - first + 1));
        if (bytesPerPixel_ == 3) {
            WidenPixels(pixels + static_cast<std::ptrdiff_t>(first) * 3, last - first + 1, inFrame_.data());
        } else {
            std::memcpy(inFrame_.data(), pixels + static_cast<std::ptrdiff_t>(first) * 4, inFrame_.size() * 4);
            for (std::uint32_t& word : inFrame_) word |= kOpaque;
        }
        for (int x = 0; x < span; ++x)
            words_[static_cast<std::size_t>(x)] = inFrame_[static_cast<std::size_t>(std::clamp(spanFirst_ + x, first, last) - first)];
        ToFloats(words_.data(), words_.size(), span_.data());
        AlongTheRow(span_.data(), spanFirst_, columns_, weights_, out);
        return out;
    }

    const FramePixels& frame_;
    const Axis& columns_;
    const std::vector<std::array<float, 4>>& weights_;
    const int stride_, bytesPerPixel_, spanFirst_;
    std::vector<std::uint32_t> inFrame_, words_;
    std::vector<float> span_;
    const std::size_t width_;
    std::vector<float> ring_, blended_;
    std::array<int, 4> ringRows_{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
};

}  // namespace

void ScreenZoom::Draw(const FramePixels& frame, int zoom, int left, int top, ScreenPixels screen, bool sameFrame) {
    lastEnlarged_ = 0;
    if (!frame.data || frame.width <= 0 || frame.height <= 0 || zoom < 1 || !screen.data || screen.width <= 0 ||
        screen.height <= 0 || (frame.bitCount != 24 && frame.bitCount != 32)) {
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
    if (moved && MoveBy(screen, dx, dy)) {
        // What came into view: a band of rows across the picture, then the columns beside the
        // rows that stayed.
        const int keptTop = std::max(0, -dy), keptBottom = height - std::max(0, dy);
        if (dy > 0) Enlarge(frame, screen, {0, keptBottom, width, height});
        if (dy < 0) Enlarge(frame, screen, {0, 0, width, keptTop});
        if (dx > 0) Enlarge(frame, screen, {width - dx, keptTop, width, keptBottom});
        if (dx < 0) Enlarge(frame, screen, {0, keptTop, -dx, keptBottom});
        return;
    }
    zoom_ = zoom;
    width_ = width;
    height_ = height;
    Enlarge(frame, screen, {0, 0, width, height});
}

// Moves the picture by (−dx, −dy) screen pixels; false when nothing of it stays in view.
bool ScreenZoom::MoveBy(ScreenPixels screen, int dx, int dy) {
    if (std::abs(dx) >= screen.width || std::abs(dy) >= screen.height) return false;
    const int keptWidth = screen.width - std::abs(dx);
    const auto rowAt = [&](int y) { return screen.data + static_cast<std::ptrdiff_t>(y) * screen.wordsPerRow; };
    const auto moveRow = [&](int to) {
        std::memmove(rowAt(to) + std::max(0, -dx), rowAt(to + dy) + std::max(0, dx),
                     static_cast<std::size_t>(keptWidth) * sizeof(std::uint32_t));
    };
    // Rows are taken in the order that reads each before it is overwritten.
    if (dy >= 0)
        for (int y = 0; y < screen.height - dy; ++y) moveRow(y);
    else
        for (int y = screen.height - 1; y >= -dy; --y) moveRow(y);
    return true;
}

void ScreenZoom::Enlarge(const FramePixels& frame, ScreenPixels screen, Part part) {
    if (part.x1 <= part.x0 || part.y1 <= part.y0) return;
    const Axis columns(part.x0, part.x1, left_, zoom_), rows(part.y0, part.y1, top_, zoom_);
    std::vector<std::array<float, 4>> weights;
    for (int phase = 0; phase < zoom_; ++phase) weights.push_back(CubicWeights(static_cast<double>(phase) / zoom_));
    const std::size_t pixels = static_cast<std::size_t>(part.x1 - part.x0) * static_cast<std::size_t>(part.y1 - part.y0);
    lastEnlarged_ += pixels;
    const int rowCount = part.y1 - part.y0;
    const int bands = pixels < kPixelsWorthThreads
                          ? 1
                          : std::min(rowCount, static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    ParallelFor(bands, [&](int band) {
        BandEnlarger enlarger(frame, columns, weights);
        for (int r = rowCount * band / bands; r < rowCount * (band + 1) / bands; ++r) {
            auto* out = reinterpret_cast<std::uint8_t*>(screen.data + static_cast<std::ptrdiff_t>(part.y0 + r) * screen.wordsPerRow + part.x0);
            enlarger.Row(rows.below[static_cast<std::size_t>(r)], rows.phase[static_cast<std::size_t>(r)], out);
        }
    });
}

}  // namespace kadivo
