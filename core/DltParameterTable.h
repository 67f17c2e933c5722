#pragma once

#include <cstddef>
#include <vector>

namespace kadivo {

// The DLT parameters of every camera view, as the last calibration left them, with the RMS
// reprojection residual of each view's control points. Not part of the sequence file.
struct DltParameterTable {
    static constexpr int kColumns = 11;

    int viewCount = 0;
    int parameterCount = 0;      // 8 planar, 11 spatial
    std::vector<double> values;  // viewCount rows of kColumns
    std::vector<double> residuals;
    bool imported = false;       // read from another program's coefficients: no residuals

    bool empty() const { return values.empty(); }

    // L_j of `view`, both 1-based; 0.0 without a table or outside it.
    double GetParameter(int j, int view) const {
        if (values.empty() || view < 1 || view > viewCount || j < 1 || j > parameterCount) return 0.0;
        return values[static_cast<std::size_t>(view - 1) * kColumns + static_cast<std::size_t>(j - 1)];
    }
    // RMS residual in pixels of `view` (1-based); 0.0 outside the table.
    double Residual(int view) const {
        if (view < 1 || view > static_cast<int>(residuals.size())) return 0.0;
        return residuals[static_cast<std::size_t>(view - 1)];
    }
};

}  // namespace kadivo
