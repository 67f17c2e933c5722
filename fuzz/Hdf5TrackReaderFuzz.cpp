// Feeds arbitrary bytes to the HDF5 track file readers (SLEAP's analysis files and
// DeepLabCut's pandas tables) as an HDF5 file image, in the child process the program reads
// such files in: each reader gives tracks with every frame as wide as the names, or its own
// error, whatever the HDF5 library does with the bytes.

#include "Hdf5TrackFiles.h"
#include "IsolatedRead.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image(data, data + size);
    for (auto* reader : {&kadivo::ReadSleapH5Image, &kadivo::ReadDeepLabCutH5Image}) {
        try {
            const kadivo::TrackSet tracks =
                kadivo::ReadTracksInChildProcess("fuzz.h5", [&] { return reader(image, "fuzz.h5"); }, 10);
            for (const auto& frame : tracks.frames)
                if (frame.size() != tracks.names.size()) std::abort();
        } catch (const kadivo::TrackFileError&) {
        }
    }
    return 0;
}
