#pragma once

#include <string>
#include <vector>

namespace kadivo {
class CKadivoDoc;
}

namespace kadivo::cli {

extern const char* const kFilterReportUsage;

// kadivo-cli filter-report FILE.kdv --point NAME|CG [--filter …] [--cutoff …]: how each
// coordinate of the point was smoothed, as JSON: the filter, its cut-off or smoothing
// parameter and the criterion it was chosen on, as [parameter, value] pairs.
int RunFilterReportCommand(const std::vector<std::string>& args, CKadivoDoc& doc);

}  // namespace kadivo::cli
