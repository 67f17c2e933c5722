#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

inline constexpr const char* kDltUsage =
    "       kadivo-cli dlt-export FILE.kdv OUT.csv [--force]\n"
    "       kadivo-cli dlt-import FILE.kdv IN.csv OUT.kdv\n"
    "         (the 11 DLT coefficients a camera, a column each, as DLTdv and Argus share them; 8 for one view)\n";

// The views' calibration (imported, or made from the calibration frames as "Transform Image
// Data" makes it) written as coefficients.
int RunDltExport(const std::vector<std::string>& args, CKadivoDoc& doc);

// Coefficients read from a file become the sequence's calibration, saved as OUT.
int RunDltImport(const std::vector<std::string>& args, CKadivoDoc& doc);

}  // namespace kadivo::cli
