#include "UndistortedFrame.h"

#include "LensDistortion.h"

#include <cmath>

namespace kadivo {

const std::vector<std::uint8_t>& FrameUndistortion::Apply(const LensModel& lens, const FramePixels& frame) {
    out_.clear();
    if (!frame.data || (frame.bitCount != 24 && frame.bitCount != 32) || frame.width <= 0 || frame.height <= 0) return out_;
    const int w = frame.width, h = frame.height;
    if (map_.empty() || !(lens == lens_) || width_ != w || height_ != h) {
        lens_ = lens;
        width_ = w;
        height_ = h;
        map_.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), {});
        // Memory row r holds picture row h − 1 − r (the picture counts from the top).
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                const PicturePoint seen = DistortPicturePoint(lens, {static_cast<double>(c), static_cast<double>(h - 1 - r)});
                const double row = h - 1 - seen.v;
                if (seen.u < 0.0 || row < 0.0 || seen.u > w - 1 || row > h - 1) continue;
                map_[static_cast<std::size_t>(r) * static_cast<std::size_t>(w) + static_cast<std::size_t>(c)] = {
                    static_cast<float>(seen.u), static_cast<float>(row)};
            }
    }
    const int bytes = frame.bitCount / 8;
    const int stride = ((w * frame.bitCount + 31) / 32) * 4;
    out_.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h), 0);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const Source s = map_[static_cast<std::size_t>(r) * static_cast<std::size_t>(w) + static_cast<std::size_t>(c)];
            if (s.x < 0.0f) continue;
            const int x0 = std::min(static_cast<int>(s.x), w - 2 < 0 ? 0 : w - 2), y0 = std::min(static_cast<int>(s.y), h - 2 < 0 ? 0 : h - 2);
            const float fx = s.x - static_cast<float>(x0), fy = s.y - static_cast<float>(y0);
            const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
            std::uint8_t* out = out_.data() + static_cast<std::ptrdiff_t>(r) * stride + c * bytes;
            auto at = [&](int x, int y, int channel) {
                return static_cast<float>(frame.data[static_cast<std::ptrdiff_t>(y) * stride + x * bytes + channel]);
            };
            for (int channel = 0; channel < bytes; ++channel) {
                const float value = (1 - fy) * ((1 - fx) * at(x0, y0, channel) + fx * at(x1, y0, channel)) +
                                    fy * ((1 - fx) * at(x0, y1, channel) + fx * at(x1, y1, channel));
                out[channel] = static_cast<std::uint8_t>(std::lround(value));
            }
        }
    return out_;
}

}  // namespace kadivo
