#pragma once

#include "rastel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace rastel {

// Where an operation reads and writes: the smallest of the images' regions, starting at
// each image's own region offset.
struct Rect {
    int srcX = 0, srcY = 0, dstX = 0, dstY = 0, width = 0, height = 0;
};

// The region of an image: its ROI clipped to the image, or the whole image.
inline void Region(const VopImage* image, int& x, int& y, int& w, int& h) {
    if (const VopROI* roi = image->roi) {
        x = roi->offsetX;
        y = roi->offsetY;
        w = std::min(roi->width, image->width - x);
        h = std::min(roi->height, image->height - y);
    } else {
        x = y = 0;
        w = image->width;
        h = image->height;
    }
    w = std::max(w, 0);
    h = std::max(h, 0);
}

inline Rect ProcessedRect(const VopImage* src, const VopImage* dst) {
    Rect r;
    int sw, sh, dw, dh;
    Region(src, r.srcX, r.srcY, sw, sh);
    Region(dst, r.dstX, r.dstY, dw, dh);
    r.width = std::min(sw, dw);
    r.height = std::min(sh, dh);
    return r;
}

// The 0-based channels an image contributes: its channel of interest, or every channel
// but the alpha channel.
inline std::vector<int> ProcessedChannels(const VopImage* image) {
    std::vector<int> channels;
    if (image->roi && image->roi->coi > 0) {
        channels.push_back(image->roi->coi - 1);
        return channels;
    }
    const int count = image->alphaChannel ? image->nChannels - 1 : image->nChannels;
    for (int c = 0; c < count; ++c) channels.push_back(c);
    return channels;
}

// Whether the pixel memory of two images overlaps, so that writing one may change the other.
inline bool SharePixels(const VopImage* a, const VopImage* b) {
    return a->imageData < b->imageData + b->imageSize && b->imageData < a->imageData + a->imageSize;
}

// Typed access to one channel of an image's pixels, in memory order.
template <typename T>
class Plane {
public:
    Plane(const VopImage* image, int channel)
        : data_(reinterpret_cast<std::uint8_t*>(image->imageData)), step_(image->widthStep) {
        if (image->dataOrder == VOP_DATA_ORDER_PIXEL) {
            stride_ = image->nChannels;
            data_ += static_cast<std::ptrdiff_t>(channel) * static_cast<std::ptrdiff_t>(sizeof(T));
        } else {
            stride_ = 1;
            data_ += static_cast<std::ptrdiff_t>(channel) * image->height * step_;
        }
    }
    T Get(int x, int y) const {
        T value;
        std::memcpy(&value, Address(x, y), sizeof(T));
        return value;
    }
    void Set(int x, int y, T value) const { std::memcpy(Address(x, y), &value, sizeof(T)); }

private:
    std::uint8_t* Address(int x, int y) const {
        return data_ + static_cast<std::ptrdiff_t>(y) * step_ + static_cast<std::ptrdiff_t>(x) * stride_ * static_cast<std::ptrdiff_t>(sizeof(T));
    }
    std::uint8_t* data_;
    std::ptrdiff_t step_;
    int stride_ = 1;
};

// Access to a 1-bit image (one channel, most significant bit first) as values 0 and 1.
class BitPlane {
public:
    BitPlane(const VopImage* image, int) : data_(reinterpret_cast<std::uint8_t*>(image->imageData)), step_(image->widthStep) {}
    std::uint8_t Get(int x, int y) const { return (data_[y * step_ + x / 8] >> (7 - x % 8)) & 1; }
    void Set(int x, int y, std::uint8_t value) const {
        std::uint8_t& byte = data_[y * step_ + x / 8];
        const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
        byte = static_cast<std::uint8_t>(value ? byte | bit : byte & ~bit);
    }

private:
    std::uint8_t* data_;
    std::ptrdiff_t step_;
};

// Saturation to the element type's range (floats unchanged).
template <typename T, typename V>
T Saturate(V value) {
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(value);
    } else {
        const V low = static_cast<V>(std::numeric_limits<T>::min());
        const V high = static_cast<V>(std::numeric_limits<T>::max());
        return static_cast<T>(value < low ? low : (value > high ? high : value));
    }
}

// The border constant of a side, limited to the depth's range.
template <typename T>
T BorderConstant(const VopImage* image, int side) {
    const long long value = image->borderValue[side];
    if (image->depth == VOP_DEPTH_1U) return static_cast<T>(value > 0 ? 1 : 0);
    return Saturate<T>(value);
}

// Index i along an axis of `size` folded into it by a side's border mode, or −1 where the
// side gives its constant.
inline int FoldedIndex(int i, int size, int mode) {
    switch (mode & 3) {
    case VOP_BORDER_REPLICATE: return std::clamp(i, 0, size - 1);
    case VOP_BORDER_REFLECT: {
        const int period = 2 * size;
        const int k = ((i % period) + period) % period;
        return k < size ? k : period - 1 - k;
    }
    case VOP_BORDER_WRAP: return ((i % size) + size) % size;
    default: return -1;
    }
}

// A source value at image coordinates that may lie outside the image, made up by the
// border mode of the side it lies beyond.
template <typename T, typename PlaneType>
T SampleWithBorder(const VopImage* image, const PlaneType& plane, int x, int y) {
    if (y < 0 || y >= image->height) {
        const int side = y < 0 ? VOP_SIDE_TOP : VOP_SIDE_BOTTOM;
        y = FoldedIndex(y, image->height, image->borderMode[side]);
        if (y < 0) return BorderConstant<T>(image, side);
    }
    if (x < 0 || x >= image->width) {
        const int side = x < 0 ? VOP_SIDE_LEFT : VOP_SIDE_RIGHT;
        x = FoldedIndex(x, image->width, image->borderMode[side]);
        if (x < 0) return BorderConstant<T>(image, side);
    }
    return plane.Get(x, y);
}

}  // namespace rastel
