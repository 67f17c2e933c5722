#include "ImageAdjustments.h"

#include "AviFile.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kadivo {
namespace {

using ByteTable = std::array<std::uint8_t, 256>;

std::uint8_t ToByte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Integer divisions by 100 truncate toward zero, as C's do.
ByteTable ScaleTable(int value) {
    ByteTable table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = ToByte(c * value / 100);
    return table;
}

ByteTable ContrastTable(int value) {
    ByteTable table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = ToByte(128 + (c - 128) * value / 100);
    return table;
}

ByteTable GammaTable(int value) {
    const double gamma = value / 100.0;
    const double scale = std::pow(255.0, gamma) / 255.0;
    ByteTable table{};
    for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = ToByte(static_cast<int>(std::pow(c, gamma) / scale + 0.5));
    return table;
}

struct Hsl {
    double h = 0, s = 0, l = 0;
};

Hsl ToHsl(const std::uint8_t* bgr) {
    const double b = bgr[0] / 255.0, g = bgr[1] / 255.0, r = bgr[2] / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    Hsl out;
    out.l = (high + low) / 2;
    if (high == low) return out;
    const double span = high - low;
    out.s = out.l < 0.5 ? span / (high + low) : span / (2 - high - low);
    double h = r == high ? (g - b) / span : g == high ? 2 + (b - r) / span : 4 + (r - g) / span;
    h /= 6;
    if (h < 0) h += 1;
    out.h = h;
    return out;
}

double HueToChannel(double p, double q, double t) {
    t -= std::floor(t);
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

std::uint8_t ChannelByte(double value) { return ToByte(static_cast<int>(value * 255)); }

void FromHsl(const Hsl& c, std::uint8_t* bgr) {
    if (c.s == 0) {
        bgr[0] = bgr[1] = bgr[2] = ChannelByte(c.l);
        return;
    }
    const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
    const double p = 2 * c.l - q;
    bgr[2] = ChannelByte(HueToChannel(p, q, c.h + 1.0 / 3));
    bgr[1] = ChannelByte(HueToChannel(p, q, c.h));
    bgr[0] = ChannelByte(HueToChannel(p, q, c.h - 1.0 / 3));
}

// Calls `change(pixel)` for every pixel of the range inside the frame.
template <typename Change>
void ForEachPixel(const FramePixels& frame, const RangeOfInterest& range, Change change) {
    const int bytesPerPixel = frame.bitCount / 8;
    const int stride = BitmapRowStride(frame.width, frame.bitCount);
    const RangeOfInterest inside = ClippedToFrame(range, frame);
    for (int row = inside.bottom; row < inside.top; ++row) {
        std::uint8_t* pixel = frame.data + static_cast<std::ptrdiff_t>(row) * stride + inside.left * bytesPerPixel;
        for (int x = inside.left; x < inside.right; ++x, pixel += bytesPerPixel) change(pixel);
    }
}

void ApplyTable(const FramePixels& frame, const RangeOfInterest& range, const ByteTable& table) {
    ForEachPixel(frame, range, [&](std::uint8_t* p) {
        p[0] = table[p[0]];
        p[1] = table[p[1]];
        p[2] = table[p[2]];
    });
}

// Hue or saturation (`component`) times `factor`, through lightness and back.
void ScaleHslComponent(const FramePixels& frame, const RangeOfInterest& range, double Hsl::*component, double factor) {
    ForEachPixel(frame, range, [&](std::uint8_t* p) {
        Hsl c = ToHsl(p);
        c.*component *= factor;
        FromHsl(c, p);
    });
}

// Brightness limited to the pixels whose byte sum passes `selects`.
template <typename Selects>
void ApplyTonalTable(const FramePixels& frame, const RangeOfInterest& range, const ByteTable& table, Selects selects) {
    ForEachPixel(frame, range, [&](std::uint8_t* p) {
        if (!selects(p[0] + p[1] + p[2])) return;
        p[0] = table[p[0]];
        p[1] = table[p[1]];
        p[2] = table[p[2]];
    });
}

}  // namespace

void ApplyAdjustment(const FramePixels& frame, const RangeOfInterest& range, int code, int value) {
    if (frame.bitCount < 24 || !frame.data) return;
    const double factor = value * 0.01;
    switch (code) {
        case kBrightness: ApplyTable(frame, range, ScaleTable(value)); break;
        case kContrast: ApplyTable(frame, range, ContrastTable(value)); break;
        case kGamma: ApplyTable(frame, range, GammaTable(value)); break;
        case kHighlight: ApplyTonalTable(frame, range, ScaleTable(value), [](int sum) { return sum > 510; }); break;
        case kMidtone: ApplyTonalTable(frame, range, ScaleTable(value), [](int sum) { return sum >= 255 && sum <= 510; }); break;
        case kShadow: ApplyTonalTable(frame, range, ScaleTable(value), [](int sum) { return sum < 255; }); break;
        case kHue: ScaleHslComponent(frame, range, &Hsl::h, factor); break;
        case kSaturation: ScaleHslComponent(frame, range, &Hsl::s, factor); break;
        default: break;
    }
}

}  // namespace kadivo
