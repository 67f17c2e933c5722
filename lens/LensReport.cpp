#include "LensReport.h"

#include "LensDistortion.h"

#include <cmath>
#include <cstdio>

namespace kadivo {

namespace {

template <typename... Values>
std::string Line(const char* format, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

}  // namespace

std::vector<std::string> LensCalibrationReport(const LensCalibration& c) {
    const LensModel& l = c.lens;
    std::vector<std::string> lines{Line("picture: %d x %d", l.width, l.height)};
    const std::pair<const char*, double> values[] = {{"fx", l.fx}, {"fy", l.fy}, {"cx", l.cx}, {"cy", l.cy}, {"k1", l.k1},
                                                     {"k2", l.k2}, {"k3", l.k3}, {"p1", l.p1}, {"p2", l.p2}};
    for (std::size_t i = 0; i < std::size(values); ++i)
        lines.push_back(Line("%s: %.9g ± %.3g", values[i].first, values[i].second, c.deviations[i]));
    lines.push_back(Line("frames used: %zu of %d searched", c.frames.size(), c.framesSearched));
    for (const BoardFrame& frame : c.frames) lines.push_back(Line("frame %d: rms %.3f px", frame.frame, frame.rms));
    lines.push_back(Line("rms: %.3f px", c.rms));
    lines.push_back(Line("coverage: %.0f %%", 100.0 * c.coverage));
    return lines;
}

GreyPicture UndistortPicture(const LensModel& lens, const GreyPicture& picture) {
    GreyPicture out{picture.width, picture.height, std::vector<std::uint8_t>(picture.pixels.size(), 128)};
    auto at = [&](int x, int y) { return static_cast<double>(picture.pixels[static_cast<std::size_t>(y * picture.width + x)]); };
    for (int v = 0; v < picture.height; ++v)
        for (int u = 0; u < picture.width; ++u) {
            const PicturePoint seen = DistortPicturePoint(lens, {static_cast<double>(u), static_cast<double>(v)});
            const int x0 = static_cast<int>(std::floor(seen.u)), y0 = static_cast<int>(std::floor(seen.v));
            if (x0 < 0 || y0 < 0 || x0 + 1 >= picture.width || y0 + 1 >= picture.height) continue;
            const double fx = seen.u - x0, fy = seen.v - y0;
            const double value = (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x0 + 1, y0)) + fy * ((1 - fx) * at(x0, y0 + 1) + fx * at(x0 + 1, y0 + 1));
            out.pixels[static_cast<std::size_t>(v * picture.width + u)] = static_cast<std::uint8_t>(std::lround(value));
        }
    return out;
}

}  // namespace kadivo
