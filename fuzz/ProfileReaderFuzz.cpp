// Feeds arbitrary bytes to both profile database readers, and what they make of it through
// the writers and readers again.

#include "CalibrationProfiles.h"
#include "ModelProfiles.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    kadivo::ModelProfileList models("");
    models.LoadText(bytes);
    const std::string modelText = models.Text();
    models.LoadText({modelText.begin(), modelText.end()});
    kadivo::ModelTable table = kadivo::DefaultModelTable();
    for (int i = 0; i <= models.lastIndex; ++i) {
        models.Select(i);
        models.CopySelectedTo(table);
    }
    kadivo::CalibrationProfileList calibrations("");
    calibrations.LoadText(bytes);
    const std::string calibrationText = calibrations.Text();
    calibrations.LoadText({calibrationText.begin(), calibrationText.end()});
    return 0;
}
