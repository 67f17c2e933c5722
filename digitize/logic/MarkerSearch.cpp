#include "MarkerSearch.h"

#include "LevelCorrelation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace kadivo {
namespace {

constexpr int kGreyStep = 16;  // grey value of one level
constexpr int kBrightGrey = 100;
constexpr float kConvolutionStart = -1000000.0f;
constexpr float kSavdStart = 1000000.0f;

// Grey values are level × 16, so every sum below is an exact integer sum of level products
// scaled afterwards.
struct Levels {
    const std::uint8_t* data;
    int size;
    int at(int column, int row) const { return data[row * size + column]; }
};

// Sums of the window levels and of their squares over every template placement.
struct PlacementSums {
    std::vector<std::int32_t> sum, squares;
};

PlacementSums SumPlacements(Levels window, int templateSize, int placements) {
    const int n = window.size + 1;
    std::vector<std::int32_t> prefix(static_cast<std::size_t>(n * n), 0), prefixSquares(prefix.size(), 0);
    for (int r = 0; r < window.size; ++r)
        for (int c = 0; c < window.size; ++c) {
            const int value = window.at(c, r);
            const int at = (r + 1) * n + c + 1;
            prefix[at] = value + prefix[at - 1] + prefix[at - n] - prefix[at - n - 1];
            prefixSquares[at] = value * value + prefixSquares[at - 1] + prefixSquares[at - n] - prefixSquares[at - n - 1];
        }
    PlacementSums sums{std::vector<std::int32_t>(static_cast<std::size_t>(placements * placements)),
                       std::vector<std::int32_t>(static_cast<std::size_t>(placements * placements))};
    const int t = templateSize;
    for (int v = 0; v < placements; ++v)
        for (int u = 0; u < placements; ++u) {
            const int a = v * n + u, b = v * n + u + t, c = (v + t) * n + u, d = (v + t) * n + u + t;
            sums.sum[v * placements + u] = prefix[d] - prefix[b] - prefix[c] + prefix[a];
            sums.squares[v * placements + u] = prefixSquares[d] - prefixSquares[b] - prefixSquares[c] + prefixSquares[a];
        }
    return sums;
}

std::vector<std::uint8_t> TemplateLevels(const MarkerTemplate& marker) {
    std::vector<std::uint8_t> levels(marker.values.size());
    for (std::size_t i = 0; i < levels.size(); ++i)
        levels[i] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(marker.values[i]) / kGreyStep, 0, 15));
    return levels;
}

// Scores every placement into the response map at the placement's centre.
void ScorePlacements(Levels window, Levels templ, TemplateMethod method, std::vector<float>& response) {
    const int t = templ.size;
    const int placements = window.size - t;
    if (placements <= 0) return;
    std::vector<std::int32_t> cross(static_cast<std::size_t>(placements * placements));
    CorrelateLevels(window.data, window.size, templ.data, t, cross.data());
    const PlacementSums sums = SumPlacements(window, t, placements);

    std::int64_t templateSum = 0, templateSquares = 0;
    for (int i = 0; i < t * t; ++i) {
        templateSum += templ.data[i];
        templateSquares += templ.data[i] * templ.data[i];
    }
    const int n = t * t;
    const double scale = kGreyStep * kGreyStep;
    // Σ (T − mT)², and the whole window's mean mS, in grey values.
    const auto templateSpread =
        static_cast<float>(scale * (static_cast<double>(templateSquares) - static_cast<double>(templateSum * templateSum) / n));
    std::int64_t windowSum = 0;
    for (int i = 0; i < window.size * window.size; ++i) windowSum += window.data[i];
    const double windowMean = kGreyStep * static_cast<double>(windowSum) / (window.size * window.size);

    for (int v = 0; v < placements; ++v)
        for (int u = 0; u < placements; ++u) {
            const int i = v * placements + u;
            float value;
            if (method == TemplateMethod::Savd) {
                const std::int64_t differences = std::int64_t{sums.squares[i]} - 2 * std::int64_t{cross[i]} + templateSquares;
                value = static_cast<float>(scale * static_cast<double>(differences)) / static_cast<float>(n);
            } else {
                const auto products = static_cast<float>(scale * cross[i]);
                const double spread = scale * sums.squares[i] - 2.0 * windowMean * kGreyStep * sums.sum[i] + n * windowMean * windowMean;
                value = products / templateSpread * static_cast<float>(spread);
            }
            response[static_cast<std::size_t>((v + t / 2) * window.size + u + t / 2)] = value;
        }
}

struct Best {
    int x = 0, y = 0;
};

// The largest response, rows then columns, the first maximum winning.
Best Largest(const std::vector<float>& response, int size) {
    Best best;
    float top = kConvolutionStart;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (const float value = response[static_cast<std::size_t>(y * size + x)]; value > top) {
                top = value;
                best = {x, y};
            }
    return best;
}

// The smallest response above 0 inside [x0, x1) × [y0, y1): an exact match scores 0 and is
// never taken.
Best SmallestPositive(const std::vector<float>& response, int size, int x0, int x1, int y0, int y1) {
    Best best;
    float bottom = kSavdStart;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (const float value = response[static_cast<std::size_t>(y * size + x)]; value > 0.0f && value < bottom) {
                bottom = value;
                best = {x, y};
            }
    return best;
}

// The mean column and row of the bright window values around `best`.
Point2f BrightCentre(Levels window, Best best, int half) {
    int count = 0, columns = 0, rows = 0;
    for (int y = std::max(0, best.y - half); y <= std::min(window.size - 1, best.y + half); ++y)
        for (int x = std::max(0, best.x - half); x <= std::min(window.size - 1, best.x + half); ++x)
            if (window.at(x, y) * kGreyStep >= kBrightGrey) {
                ++count;
                columns += x;
                rows += y;
            }
    if (count == 0) return {static_cast<float>(best.x), static_cast<float>(best.y)};
    return {static_cast<float>(columns) / static_cast<float>(count), static_cast<float>(rows) / static_cast<float>(count)};
}

// Keys' cubic convolution weight (a = −½) at distance d from a pixel centre.
double CubicWeight(double d) {
    d = std::abs(d);
    if (d < 1.0) return (1.5 * d - 2.5) * d * d + 1.0;
    if (d < 2.0) return ((-0.5 * d + 2.5) * d - 4.0) * d + 2.0;
    return 0.0;
}

// The frame's luminance between pixel centres, by cubic convolution: bilinear weights would
// blur a shifted picture more than an unshifted one and bias the fraction.
double LuminanceBetween(const GreyFrame& frame, double x, double y) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double sum = 0.0;
    for (int j = -1; j <= 2; ++j) {
        const double wy = CubicWeight(y - (y0 + j));
        double row = 0.0;
        for (int i = -1; i <= 2; ++i) row += CubicWeight(x - (x0 + i)) * frame.LuminanceAt(x0 + i, y0 + j);
        sum += wy * row;
    }
    return sum;
}

// How a template fits the frame from a placement a fraction of a pixel off the best one.
struct Fit {
    double dx = 0.0, dy = 0.0;  // the shift from the placement it started at
    double residual = 0.0;      // mean squared luminance difference there
};

// The shift from the template placement whose top-left pixel is at (x0, y0) that minimises
// the squared differences between the template's unquantised luminance and the frame's, by
// Gauss–Newton steps on the template's gradients (the inverse compositional form). Nothing
// when the template has no gradient or the shift leaves the placement by a pixel.
std::optional<Fit> FitTemplate(const GreyFrame& frame, const std::vector<float>& luminance, int t, double x0, double y0) {
    if (t < 3 || luminance.size() != static_cast<std::size_t>(t * t)) return std::nullopt;
    auto templ = [&](int c, int r) { return static_cast<double>(luminance[static_cast<std::size_t>(r * t + c)]); };
    double hxx = 0.0, hxy = 0.0, hyy = 0.0;
    for (int r = 1; r < t - 1; ++r)
        for (int c = 1; c < t - 1; ++c) {
            const double gx = (templ(c + 1, r) - templ(c - 1, r)) / 2.0, gy = (templ(c, r + 1) - templ(c, r - 1)) / 2.0;
            hxx += gx * gx;
            hxy += gx * gy;
            hyy += gy * gy;
        }
    const double det = hxx * hyy - hxy * hxy;
    if (!(hxx + hyy > 0.0) || !(det > 1e-9 * (hxx + hyy) * (hxx + hyy))) return std::nullopt;
    Fit fit;
    for (int iteration = 0; iteration < 30; ++iteration) {
        double bx = 0.0, by = 0.0, squares = 0.0;
        for (int r = 1; r < t - 1; ++r)
            for (int c = 1; c < t - 1; ++c) {
                const double gx = (templ(c + 1, r) - templ(c - 1, r)) / 2.0, gy = (templ(c, r + 1) - templ(c, r - 1)) / 2.0;
                const double e = LuminanceBetween(frame, x0 + c + fit.dx, y0 + r + fit.dy) - templ(c, r);
                bx += gx * e;
                by += gy * e;
                squares += e * e;
            }
        fit.residual = squares / ((t - 2) * (t - 2));
        const double sx = (hyy * bx - hxy * by) / det, sy = (hxx * by - hxy * bx) / det;
        // The template's step is undone on the frame's side.
        fit.dx -= sx;
        fit.dy -= sy;
        if (std::abs(fit.dx) > 1.0 || std::abs(fit.dy) > 1.0) return std::nullopt;
        if (std::hypot(sx, sy) < 1e-4) break;
    }
    return fit;
}

// The best placement refined to a fraction of a pixel on the unquantised luminance (sixteen
// grey levels are too coarse for it), as the centre pixel of this frame's template. Against
// the template last digitized by hand as well, when the marker still looks as it did then:
// this frame's template was placed by the step before, whose error would otherwise be
// carried on frame after frame.
Point2f RefinedPeak(const GreyFrame& frame, const MarkerTemplate& marker, SearchOffset origin, Best best) {
    const int t = marker.size;
    const double x0 = origin.x + best.x - t / 2, y0 = origin.y + best.y - t / 2;
    const std::optional<Fit> step = FitTemplate(frame, marker.luminance, t, x0, y0);
    if (!step) return {static_cast<float>(best.x), static_cast<float>(best.y)};
    Point2f refined{static_cast<float>(best.x + step->dx), static_cast<float>(best.y + step->dy)};
    // Where the hand-placed template's centre pixel lies if the point is where this step put it.
    const double ax = x0 + step->dx + marker.offsetX - marker.anchorOffsetX, ay = y0 + step->dy + marker.offsetY - marker.anchorOffsetY;
    const std::optional<Fit> anchored = FitTemplate(frame, marker.anchorLuminance, t, ax, ay);
    // A marker that turned or changed its size since fits its old look far worse than the last.
    if (anchored && anchored->residual <= 4.0 * step->residual + 1.0)
        refined = {static_cast<float>(ax + anchored->dx + marker.anchorOffsetX - marker.offsetX - origin.x + t / 2),
                   static_cast<float>(ay + anchored->dy + marker.anchorOffsetY - marker.offsetY - origin.y + t / 2)};
    return refined;
}

std::vector<float> GreyValues(const std::vector<std::uint8_t>& levels) {
    std::vector<float> values(levels.size());
    std::transform(levels.begin(), levels.end(), values.begin(), [](std::uint8_t level) { return static_cast<float>(level * kGreyStep); });
    return values;
}

}  // namespace

void CaptureTemplate(const GreyFrame& frame, Point2f at, int templateSize, int frameIndex, MarkerTemplate& result) {
    const int size = std::clamp(templateSize, SearchSettings::kMinTemplateSize, SearchSettings::kMaxTemplateSize);
    at = UsableOrMissing(at);
    const int x0 = static_cast<int>(at.x) - size / 2;
    const int y0 = static_cast<int>(at.y) - size / 2;
    result.offsetX = at.x - std::trunc(at.x);
    result.offsetY = at.y - std::trunc(at.y);
    result.luminance.resize(static_cast<std::size_t>(size * size));
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            result.luminance[static_cast<std::size_t>(r * size + c)] = static_cast<float>(frame.LuminanceAt(x0 + c, y0 + r));
    const std::vector<std::uint8_t> levels = frame.Block(x0, y0, size);
    if (result.size != size) result.values.assign(static_cast<std::size_t>(size * size), 0.0f);
    result.size = size;
    for (std::size_t i = 0; i < levels.size(); ++i) result.values[i] = static_cast<float>(levels[i] * kGreyStep);
    result.frame = frameIndex;
}

Point2f SearchMarker(const GreyFrame& frame, const MarkerTemplate& marker, Point2f previous, SearchOffset predicted,
                     const SearchSettings& settings, SearchImages* images) {
    const int size = settings.searchSize;
    // Pixels of the window outside the frame read as 0, so a marker near the edge is still found.
    const SearchOffset origin = SearchWindowOrigin(previous, size);
    const std::vector<std::uint8_t> window = frame.Block(origin.x, origin.y, size);
    const std::vector<std::uint8_t> templ = TemplateLevels(marker);
    const Levels windowLevels{window.data(), size}, templateLevels{templ.data(), marker.size};

    std::vector<float> response(static_cast<std::size_t>(size * size), 0.0f);
    ScorePlacements(windowLevels, templateLevels, settings.method, response);

    Best best;
    if (settings.method == TemplateMethod::Convolution) {
        best = Largest(response, size);
    } else if (settings.useVelocity) {
        const int s = settings.markerSize;
        best = SmallestPositive(response, size, std::max(0, predicted.x - s), std::min(size, predicted.x + s),
                                std::max(0, predicted.y - s), std::min(size, predicted.y + s));
    } else {
        best = SmallestPositive(response, size, 0, size, 0, size);
    }
    Point2f match;
    if (settings.subPixel && settings.brightMarker) {
        const Point2f centre = MarkerCentroid(frame, {static_cast<float>(origin.x + best.x), static_cast<float>(origin.y + best.y)},
                                              std::max(settings.markerSize, 1));
        match = {centre.x - static_cast<float>(origin.x), centre.y - static_cast<float>(origin.y)};
    } else if (settings.subPixel && marker.luminance.size() == marker.values.size()) {
        match = RefinedPeak(frame, marker, origin, best);
    } else {
        match = settings.brightMarker ? BrightCentre(windowLevels, best, settings.markerSize)
                                      : Point2f{static_cast<float>(best.x), static_cast<float>(best.y)};
    }
    if (images) {
        images->searchSize = size;
        images->templateSize = marker.size;
        images->window = GreyValues(window);
        images->templ = marker.values;
        images->response = std::move(response);
    }
    return match;
}

Point2f MarkerCentroid(const GreyFrame& frame, Point2f at, int half, bool bright) {
    double cx = at.x, cy = at.y;
    for (int iteration = 0; iteration < 20; ++iteration) {
        const double left = cx - half - 0.5, right = cx + half + 0.5, bottom = cy - half - 0.5, top = cy + half + 0.5;
        const int x0 = static_cast<int>(std::floor(left + 0.5)), x1 = static_cast<int>(std::ceil(right - 0.5));
        const int y0 = static_cast<int>(std::floor(bottom + 0.5)), y1 = static_cast<int>(std::ceil(top - 0.5));
        double darkest = 255.0, brightest = 0.0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                darkest = std::min(darkest, frame.LuminanceAt(x, y));
                brightest = std::max(brightest, frame.LuminanceAt(x, y));
            }
        double weights = 0.0, sx = 0.0, sy = 0.0;
        for (int y = y0; y <= y1; ++y) {
            // The share of pixel row y (from y − ½ to y + ½) inside the box.
            const double rowShare = std::clamp(std::min(top, y + 0.5) - std::max(bottom, y - 0.5), 0.0, 1.0);
            for (int x = x0; x <= x1; ++x) {
                const double columnShare = std::clamp(std::min(right, x + 0.5) - std::max(left, x - 0.5), 0.0, 1.0);
                const double contrast = bright ? frame.LuminanceAt(x, y) - darkest : brightest - frame.LuminanceAt(x, y);
                const double w = rowShare * columnShare * contrast;
                weights += w;
                sx += w * x;
                sy += w * y;
            }
        }
        if (!(weights > 0.0)) return at;
        const double nx = sx / weights, ny = sy / weights;
        const bool settled = std::abs(nx - cx) < 1e-4 && std::abs(ny - cy) < 1e-4;
        cx = nx;
        cy = ny;
        if (settled) break;
    }
    return {static_cast<float>(cx), static_cast<float>(cy)};
}

std::vector<std::uint8_t> StretchToBytes(const std::vector<float>& values) {
    std::vector<std::uint8_t> bytes(values.size(), 0);
    if (values.empty()) return bytes;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double range = static_cast<double>(*high) - static_cast<double>(*low);
    if (!(range > 0.0)) return bytes;
    for (std::size_t i = 0; i < values.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(std::lround(255.0 * (static_cast<double>(values[i]) - *low) / range));
    return bytes;
}

}  // namespace kadivo
