#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

// transform's --filter spline|lowpass|butterworth and --cutoff HZ|auto|whiteness: the
// smoothing of the world data in place of the sequence's own. auto chooses the Butterworth
// cut-off per coordinate by residual analysis, whiteness by the whiteness of the residual.
struct FilterOverride {
    std::optional<int> filtering;
    std::optional<float> cutOff;
    std::optional<int> cutOffMethod;
};

// The arguments without the filter options, which go into `filter`. Throws
// std::invalid_argument for a value it cannot read.
std::vector<std::string> TakeFilterOverride(const std::vector<std::string>& args, FilterOverride& filter);
// Throws std::runtime_error for a given Butterworth cut-off outside (0, half the frame rate).
void ApplyFilterOverride(const FilterOverride& filter, CKadivoDoc& doc);

}  // namespace kadivo::cli
