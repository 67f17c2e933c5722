#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

// `kadivo-cli export FILE.kdv --linear|--angular|--points|--bvh|--csm|--c3d OUT [options]`:
// the export dialogs' choices as options. Throws std::invalid_argument for bad options and
// std::runtime_error when the export cannot be written.
void RunExport(CKadivoDoc& doc, const std::vector<std::string>& options);

inline constexpr const char* kExportUsage =
    "       kadivo-cli export FILE.kdv --linear|--angular|--points|--bvh|--csm|--c3d|--trc|--mot OUT [--force]\n"
    "           [--select all|NAME|INDEX,...] [--kinds pos,vel,acc|angle] [--directions x,y,z,3d]\n"
    "           [--raw] [--header] [--ci] [--ccw] [--actor TEXT] [--comment TEXT] [--label INDEX=TEXT]\n"
    "           [--mm] [--axes x,z,-y]  (TRC: millimetres, and the world axes that become the file's X, Y, Z)\n";

}  // namespace kadivo::cli
