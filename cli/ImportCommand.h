#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

inline constexpr const char* kImportUsage =
    "       kadivo-cli import FILE.kdv --view V --format deeplabcut-csv|deeplabcut-h5|sleap-h5|openpose-json|dltdv-xypts\n"
    "           IN OUT.kdv [--likelihood L] [--map THEIRS=OURS,...] [--camera C]  (C: DLTdv's camera, 1 by default)\n";

// Opens FILE.kdv, imports the 2D tracks of IN into camera view V (1-based) and saves OUT.kdv;
// prints how many frames and points came in.
int RunImportCommand(const std::vector<std::string>& args, CKadivoDoc& doc);

}  // namespace kadivo::cli
