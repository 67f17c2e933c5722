#pragma once

#include "Image.h"

#include <vector>

namespace rastel {

// A window of source values around one output pixel: (i, j) counts columns and rows of
// the neighbourhood from its first column and row in memory order.
template <typename T>
class Window {
public:
    Window(const T* const* rows, int column) : rows_(rows), column_(column) {}
    T operator()(int i, int j) const { return rows_[j][column_ + i]; }

private:
    const T* const* rows_;
    int column_;
};

struct Kernel {
    int columns, rows, anchorX, anchorY;
    int left() const { return anchorX; }
    int right() const { return columns - 1 - anchorX; }
    int top() const { return anchorY; }
    int bottom() const { return rows - 1 - anchorY; }
};

// Runs a neighbourhood operation on one channel pair: first the edge strips whose
// neighbourhoods reach beyond the source image (left, right, top, bottom), each from a
// bordered copy of the source taken when the strip is done; then the interior, from the
// source rows, each read once before any destination row that needs it is written. When
// source and destination share pixels the interior therefore sees the strips filtered.
template <typename T, typename PlaneType = Plane<T>, typename Compute>
void RunNeighbourhood(const VopImage* src, VopImage* dst, const Rect& rect, const Kernel& k, int srcChannel,
                      int dstChannel, Compute compute) {
    const PlaneType in(src, srcChannel);
    const PlaneType out(dst, dstChannel);
    const int w = rect.width, h = rect.height;
    const int stripL = std::clamp(k.left() - rect.srcX, 0, w);
    const int stripR = std::clamp(w - (src->width - rect.srcX - k.right()), 0, w - stripL);
    const int stripT = std::clamp(k.top() - rect.srcY, 0, h);
    const int stripB = std::clamp(h - (src->height - rect.srcY - k.bottom()), 0, h - stripT);

    // One block of output pixels [x0, x1) × [y0, y1) from a bordered copy.
    auto block = [&](int x0, int x1, int y0, int y1) {
        if (x0 >= x1 || y0 >= y1) return;
        const int cw = x1 - x0 + k.columns - 1;
        const int ch = y1 - y0 + k.rows - 1;
        std::vector<T> copy(static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch));
        for (int j = 0; j < ch; ++j)
            for (int i = 0; i < cw; ++i)
                copy[static_cast<std::size_t>(j) * cw + i] =
                    SampleWithBorder<T>(src, in, rect.srcX + x0 - k.left() + i, rect.srcY + y0 - k.top() + j);
        std::vector<const T*> rows(static_cast<std::size_t>(k.rows));
        for (int y = y0; y < y1; ++y) {
            for (int r = 0; r < k.rows; ++r) rows[static_cast<std::size_t>(r)] = &copy[static_cast<std::size_t>(y - y0 + r) * cw];
            for (int x = x0; x < x1; ++x) out.Set(rect.dstX + x, rect.dstY + y, compute(Window<T>(rows.data(), x - x0)));
        }
    };
    block(0, stripL, 0, h);
    block(w - stripR, w, 0, h);
    block(stripL, w - stripR, 0, stripT);
    block(stripL, w - stripR, h - stripB, h);

    // Interior: a ring of source rows, each row read once when it first enters the window.
    const int x0 = stripL, x1 = w - stripR, y0 = stripT, y1 = h - stripB;
    if (x0 >= x1 || y0 >= y1) return;
    const int cw = x1 - x0 + k.columns - 1;
    std::vector<T> ring(static_cast<std::size_t>(cw) * static_cast<std::size_t>(k.rows));
    auto readRow = [&](int y) {  // source row y of the rect (may be outside [y0, y1) but inside the image)
        T* row = &ring[static_cast<std::size_t>(((y % k.rows) + k.rows) % k.rows) * cw];
        for (int i = 0; i < cw; ++i) row[i] = in.Get(rect.srcX + x0 - k.left() + i, rect.srcY + y);
    };
    for (int y = y0 - k.top(); y < y0 + k.bottom(); ++y) readRow(y);
    std::vector<const T*> rows(static_cast<std::size_t>(k.rows));
    for (int y = y0; y < y1; ++y) {
        readRow(y + k.bottom());
        for (int r = 0; r < k.rows; ++r) {
            const int sourceRow = y - k.top() + r;
            rows[static_cast<std::size_t>(r)] = &ring[static_cast<std::size_t>(((sourceRow % k.rows) + k.rows) % k.rows) * cw];
        }
        for (int x = x0; x < x1; ++x) out.Set(rect.dstX + x, rect.dstY + y, compute(Window<T>(rows.data(), x - x0)));
    }
}

}  // namespace rastel
