// Feeds arbitrary text to the track file readers: each either reads it, with every frame as
// wide as the names, or throws its own error.

#include "TrackSet.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int reader = 0; reader < 3; ++reader) {
        try {
            const kadivo::TrackSet tracks = reader == 0 ? kadivo::ReadDeepLabCutCsv(text, "fuzz.csv")
                                                        : kadivo::ReadDltdvXypts(text, "fuzz.csv", reader);
            for (const auto& frame : tracks.frames)
                if (frame.size() != tracks.names.size()) std::abort();
        } catch (const kadivo::TrackFileError&) {
        }
    }
    return 0;
}
