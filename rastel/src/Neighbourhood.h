#pragma once

#include "Image.h"

#include <array>
#include <cstring>
#include <vector>

namespace rastel {

// A window of source values around one output pixel: (i, j) counts columns and rows of
// the neighbourhood from its first column and row in memory order.
template <typename T>
class Window {
public:
    Window() = default;
    Window(const T* const* rows, int column) : rows_(rows), column_(column) {}
    T operator()(int i, int j) const { return rows_[j][column_ + i]; }

private:
    const T* const* rows_ = nullptr;
    int column_ = 0;
};

struct Kernel {
    int columns, rows, anchorX, anchorY;
    int left() const { return anchorX; }
    int right() const { return columns - 1 - anchorX; }
    int top() const { return anchorY; }
    int bottom() const { return rows - 1 - anchorY; }
};

// The part of the processed rectangle whose neighbourhoods stay inside the source image,
// in rectangle coordinates; the rest is the edge strips.
struct Interior {
    int x0, x1, y0, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

inline Interior InteriorOf(const VopImage* src, const Rect& rect, const Kernel& k) {
    const int w = rect.width, h = rect.height;
    const int stripL = std::clamp(k.left() - rect.srcX, 0, w);
    const int stripR = std::clamp(w - (src->width - rect.srcX - k.right()), 0, w - stripL);
    const int stripT = std::clamp(k.top() - rect.srcY, 0, h);
    const int stripB = std::clamp(h - (src->height - rect.srcY - k.bottom()), 0, h - stripT);
    return {stripL, w - stripR, stripT, h - stripB};
}

// Runs a neighbourhood operation on N channel pairs together: first the edge strips whose
// neighbourhoods reach beyond the source image (left, right, top, bottom), each from a
// bordered copy of the source taken when the strip is done; then the interior, from the
// source rows, each read once before any destination row that needs it is written. When
// source and destination share pixels the interior therefore sees the strips filtered.
// `compute` takes one window per channel and returns the N output values.
template <typename T, std::size_t N, typename PlaneType = Plane<T>, typename Compute>
void RunNeighbourhoodPixels(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k,
                            const std::array<int, N>& srcChannels, const std::array<int, N>& dstChannels, Compute compute) {
    std::vector<PlaneType> in, out;
    for (std::size_t c = 0; c < N; ++c) {
        in.emplace_back(src, srcChannels[c]);
        out.emplace_back(dst, dstChannels[c]);
    }
    const int w = rect.width, h = rect.height;
    const Interior interior = InteriorOf(src, rect, k);
    const int stripL = interior.x0, stripR = w - interior.x1, stripT = interior.y0, stripB = h - interior.y1;
    std::vector<const T*> rows(static_cast<std::size_t>(k.rows) * N);
    auto emit = [&](int x, int y, int column) {
        std::array<Window<T>, N> windows;
        for (std::size_t c = 0; c < N; ++c) windows[c] = Window<T>(&rows[c * static_cast<std::size_t>(k.rows)], column);
        const std::array<T, N> values = compute(windows);
        for (std::size_t c = 0; c < N; ++c) out[c].Set(rect.dstX + x, rect.dstY + y, values[c]);
    };

    // One block of output pixels [x0, x1) × [y0, y1) from a bordered copy.
    auto block = [&](int x0, int x1, int y0, int y1) {
        if (x0 >= x1 || y0 >= y1) return;
        const int cw = x1 - x0 + k.columns - 1;
        const int ch = y1 - y0 + k.rows - 1;
        const std::size_t plane = static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch);
        std::vector<T> copy(plane * N);
        for (std::size_t c = 0; c < N; ++c)
            for (int j = 0; j < ch; ++j)
                for (int i = 0; i < cw; ++i)
                    copy[c * plane + static_cast<std::size_t>(j) * cw + i] =
                        SampleWithBorder<T>(src, in[c], rect.srcX + x0 - k.left() + i, rect.srcY + y0 - k.top() + j);
        for (int y = y0; y < y1; ++y) {
            for (std::size_t c = 0; c < N; ++c)
                for (int r = 0; r < k.rows; ++r)
                    rows[c * static_cast<std::size_t>(k.rows) + static_cast<std::size_t>(r)] = &copy[c * plane + static_cast<std::size_t>(y - y0 + r) * cw];
            for (int x = x0; x < x1; ++x) emit(x, y, x - x0);
        }
    };
    block(0, stripL, 0, h);
    block(w - stripR, w, 0, h);
    block(stripL, w - stripR, 0, stripT);
    block(stripL, w - stripR, h - stripB, h);

    // Interior: a ring of source rows, each row read once when it first enters the window.
    const int x0 = stripL, x1 = w - stripR, y0 = stripT, y1 = h - stripB;
    if (interior.empty()) return;
    const int cw = x1 - x0 + k.columns - 1;
    const std::size_t plane = static_cast<std::size_t>(cw) * static_cast<std::size_t>(k.rows);
    std::vector<T> ring(plane * N);
    auto slot = [&](int y) { return static_cast<std::size_t>(((y % k.rows) + k.rows) % k.rows) * cw; };
    auto readRow = [&](int y) {  // row y of the rect: it may lie outside [y0, y1) but inside the image
        for (std::size_t c = 0; c < N; ++c) {
            T* row = &ring[c * plane + slot(y)];
            for (int i = 0; i < cw; ++i) row[i] = in[c].Get(rect.srcX + x0 - k.left() + i, rect.srcY + y);
        }
    };
    for (int y = y0 - k.top(); y < y0 + k.bottom(); ++y) readRow(y);
    for (int y = y0; y < y1; ++y) {
        readRow(y + k.bottom());
        for (std::size_t c = 0; c < N; ++c)
            for (int r = 0; r < k.rows; ++r)
                rows[c * static_cast<std::size_t>(k.rows) + static_cast<std::size_t>(r)] = &ring[c * plane + slot(y - k.top() + r)];
        for (int x = x0; x < x1; ++x) emit(x, y, x - x0);
    }
}

// The same for one channel pair.
template <typename T, typename PlaneType = Plane<T>, typename Compute>
void RunNeighbourhood(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k, int srcChannel,
                      int dstChannel, Compute compute) {
    RunNeighbourhoodPixels<T, 1, PlaneType>(src, dst, rect, k, std::array<int, 1>{srcChannel}, std::array<int, 1>{dstChannel},
                                            [&](const std::array<Window<T>, 1>& w) { return std::array<T, 1>{compute(w[0])}; });
}

// Rows of an 8-bit interleaved image from pixel `firstX` on, `count` pixels each: the pixels
// inside the image are copied as they are, those beyond it made up from the borders. Which
// column a made-up pixel repeats is worked out once for all rows.
class BorderedRows {
public:
    BorderedRows(const VopImage* src, int firstX, int count)
        : src_(src), firstX_(firstX), count_(count), insideFrom_(std::clamp(-firstX, 0, count)),
          insideTo_(std::clamp(src->width - firstX, insideFrom_, count)) {
        for (int i = 0; i < count; ++i) {
            if (i >= insideFrom_ && i < insideTo_) continue;
            const int x = firstX + i, side = x < 0 ? VOP_SIDE_LEFT : VOP_SIDE_RIGHT;
            const int folded = FoldedIndex(x, src->width, src->borderMode[side]);
            madeUp_.push_back({i, folded, BorderConstant<std::uint8_t>(src, side)});
        }
    }

    // Row y, which may lie beyond the image, into `row`.
    void Copy(int y, std::uint8_t* row) const {
        const int nc = src_->nChannels;
        if (y < 0 || y >= src_->height) {
            const int side = y < 0 ? VOP_SIDE_TOP : VOP_SIDE_BOTTOM;
            y = FoldedIndex(y, src_->height, src_->borderMode[side]);
            if (y < 0) {
                std::memset(row, BorderConstant<std::uint8_t>(src_, side), static_cast<std::size_t>(count_) * nc);
                return;
            }
        }
        const auto* pixels = reinterpret_cast<const std::uint8_t*>(src_->imageData + static_cast<std::ptrdiff_t>(y) * src_->widthStep);
        for (const MadeUp& m : madeUp_) {
            std::uint8_t* to = row + static_cast<std::size_t>(m.index) * nc;
            if (m.column < 0) std::memset(to, m.constant, static_cast<std::size_t>(nc));
            else std::memcpy(to, pixels + static_cast<std::size_t>(m.column) * nc, static_cast<std::size_t>(nc));
        }
        if (insideTo_ > insideFrom_)
            std::memcpy(row + static_cast<std::size_t>(insideFrom_) * nc, pixels + static_cast<std::ptrdiff_t>(firstX_ + insideFrom_) * nc,
                        static_cast<std::size_t>(insideTo_ - insideFrom_) * nc);
    }

private:
    struct MadeUp {
        int index;   // in the row
        int column;  // of the image it repeats, or −1 for the side's constant
        std::uint8_t constant;
    };
    const VopImage* src_;
    int firstX_, count_, insideFrom_, insideTo_;
    std::vector<MadeUp> madeUp_;
};

// The interior of an 8-bit interleaved operation on every channel at once: rows are byte
// runs in which a pixel's neighbour is `nChannels` bytes away. `rowOp` gets the ring rows
// (each starting `left` pixels before the interior) and writes one destination byte run.
// Each source row is copied into the ring once, before any row that needs it is written.
inline bool FlatBytes(const VopImage* src, const VopImage* dst) {
    const bool allChannels = src->alphaChannel == 0 && (!src->roi || src->roi->coi == 0) && (!dst->roi || dst->roi->coi == 0);
    return src->depth == VOP_DEPTH_8U && src->dataOrder == VOP_DATA_ORDER_PIXEL && dst->dataOrder == VOP_DATA_ORDER_PIXEL &&
           allChannels && src->nChannels == dst->nChannels;
}

template <typename RowOp>
void RunFlatInterior(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k, RowOp rowOp) {
    const Interior in = InteriorOf(src, rect, k);
    if (in.empty()) return;
    const int nc = src->nChannels;
    const std::size_t rowBytes = static_cast<std::size_t>(in.x1 - in.x0 + k.columns - 1) * nc;
    auto sourceRow = [&](int y) {
        return reinterpret_cast<const std::uint8_t*>(src->imageData + static_cast<std::ptrdiff_t>(rect.srcY + y) * src->widthStep +
                                                     static_cast<std::ptrdiff_t>(rect.srcX + in.x0 - k.left()) * nc);
    };
    // Rows are copied into the ring only when the destination could overwrite them.
    const bool shared = SharePixels(src, dst);
    std::vector<std::uint8_t> ring(shared ? rowBytes * static_cast<std::size_t>(k.rows) : 0);
    auto slot = [&](int y) { return &ring[static_cast<std::size_t>(((y % k.rows) + k.rows) % k.rows) * rowBytes]; };
    auto readRow = [&](int y) {
        if (shared) std::memcpy(slot(y), sourceRow(y), rowBytes);
    };
    for (int y = in.y0 - k.top(); y < in.y0 + k.bottom(); ++y) readRow(y);
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(k.rows));
    const int count = (in.x1 - in.x0) * nc;
    for (int y = in.y0; y < in.y1; ++y) {
        readRow(y + k.bottom());
        for (int r = 0; r < k.rows; ++r) rows[static_cast<std::size_t>(r)] = shared ? slot(y - k.top() + r) : sourceRow(y - k.top() + r);
        auto* out = reinterpret_cast<std::uint8_t*>(dst->imageData + static_cast<std::ptrdiff_t>(rect.dstY + y) * dst->widthStep +
                                                    static_cast<std::ptrdiff_t>(rect.dstX + in.x0) * nc);
        rowOp(rows.data(), out, count, nc);
    }
}

// The edge strips of such images, each from a bordered byte copy taken when the strip is done.
// A row op's byte i reads only bytes i + j · nc of its rows, so the copy's rows stacked end to
// end are run as one long row, and the bytes of each strip row are taken out of the result:
// the narrow side strips then cost one call each rather than one per row.
template <typename RowOp>
void RunFlatStrips(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k, RowOp rowOp) {
    const Interior in = InteriorOf(src, rect, k);
    const int nc = src->nChannels, w = rect.width, h = rect.height;
    std::vector<std::uint8_t> copy, stacked;
    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(k.rows));
    auto block = [&](int x0, int x1, int y0, int y1) {
        if (x0 >= x1 || y0 >= y1) return;
        const int cw = x1 - x0 + k.columns - 1, ch = y1 - y0 + k.rows - 1;
        const std::size_t rowBytes = static_cast<std::size_t>(cw) * nc, stripBytes = static_cast<std::size_t>(x1 - x0) * nc;
        copy.resize(rowBytes * static_cast<std::size_t>(ch));
        const BorderedRows bordered(src, rect.srcX + x0 - k.left(), cw);
        for (int j = 0; j < ch; ++j) bordered.Copy(rect.srcY + y0 - k.top() + j, &copy[static_cast<std::size_t>(j) * rowBytes]);
        for (int r = 0; r < k.rows; ++r) rows[static_cast<std::size_t>(r)] = &copy[static_cast<std::size_t>(r) * rowBytes];
        const std::size_t count = static_cast<std::size_t>(y1 - y0 - 1) * rowBytes + stripBytes;
        stacked.resize(count);
        rowOp(rows.data(), stacked.data(), static_cast<int>(count), nc);
        for (int y = y0; y < y1; ++y)
            std::memcpy(dst->imageData + static_cast<std::ptrdiff_t>(rect.dstY + y) * dst->widthStep + static_cast<std::ptrdiff_t>(rect.dstX + x0) * nc,
                        &stacked[static_cast<std::size_t>(y - y0) * rowBytes], stripBytes);
    };
    block(0, in.x0, 0, h);
    block(in.x1, w, 0, h);
    block(in.x0, in.x1, 0, in.y0);
    block(in.x0, in.x1, in.y1, h);
}

// The whole neighbourhood procedure on such images: the edge strips, then the interior, all
// through the same row op.
template <typename RowOp>
void RunFlat(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k, RowOp rowOp) {
    RunFlatStrips(src, dst, rect, k, rowOp);
    RunFlatInterior(src, dst, rect, k, rowOp);
}

}  // namespace rastel
