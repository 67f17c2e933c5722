// Feeds arbitrary text to the text track file readers (DeepLabCut's CSV, DLTdv's xypts for
// two cameras, one frame of OpenPose's JSON), to the reader of pickled column names and to
// the reader of DLT coefficients for one and three views:
// each either reads it, with every frame as wide as the names, or throws its own error.

#include "DltCoefficientsImport.h"
#include "PickledTuples.h"
#include "TrackSet.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int reader = 0; reader < 4; ++reader) {
        try {
            const kadivo::TrackSet tracks = reader == 0   ? kadivo::ReadDeepLabCutCsv(text, "fuzz.csv")
                                            : reader == 3 ? kadivo::ReadOpenPoseJson({text}, {"fuzz.json"})
                                                          : kadivo::ReadDltdvXypts(text, "fuzz.csv", reader);
            for (const auto& frame : tracks.frames)
                if (frame.size() != tracks.names.size()) std::abort();
        } catch (const kadivo::TrackFileError&) {
        }
    }
    try {
        kadivo::ReadPickledTuples(text);
    } catch (const std::invalid_argument&) {
    }
    for (int views = 1; views <= 3; views += 2) {
        try {
            const kadivo::DltParameterTable table = kadivo::ReadDltCoefficients(text, "fuzz.csv", views);
            if (table.values.size() != static_cast<std::size_t>(views) * kadivo::DltParameterTable::kColumns) std::abort();
        } catch (const kadivo::DltCoefficientsError&) {
        }
    }
    return 0;
}
