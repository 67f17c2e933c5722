#include "MarkerSearch.h"

#include "LevelCorrelation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    const std::vector<std::uint8_t> window =
        frame.Block(static_cast<int>(previous.x - static_cast<float>(size / 2)), static_cast<int>(previous.y - static_cast<float>(size / 2)), size);
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
    const Point2f match = settings.brightMarker ? BrightCentre(windowLevels, best, settings.markerSize)
                                                : Point2f{static_cast<float>(best.x), static_cast<float>(best.y)};
    if (images) {
        images->searchSize = size;
        images->templateSize = marker.size;
        images->window = GreyValues(window);
        images->templ = marker.values;
        images->response = std::move(response);
    }
    return match;
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
