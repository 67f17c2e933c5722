// Feeds arbitrary bytes to the SLEAP analysis file reader as an HDF5 file image, in the child
// process the program reads such files in: the reader gives tracks with every frame as wide
// as the names, or its own error, whatever the HDF5 library does with the bytes.

#include "IsolatedRead.h"
#include "TrackSet.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const std::vector<std::uint8_t> image(data, data + size);
        const kadivo::TrackSet tracks =
            kadivo::ReadTracksInChildProcess("fuzz.h5", [&] { return kadivo::ReadSleapH5Image(image, "fuzz.h5"); }, 10);
        for (const auto& frame : tracks.frames)
            if (frame.size() != tracks.names.size()) std::abort();
    } catch (const kadivo::TrackFileError&) {
    }
    return 0;
}
