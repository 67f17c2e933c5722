// The function ReadTrackFile finds by name in the loaded HDF5 module.

#include "Hdf5TrackFiles.h"
#include "Hdf5Module.h"
#include "ModuleExport.h"

#include <type_traits>

KADIVO_MODULE_EXPORT int KadivoReadHdf5Tracks(int kind, const char* path, kadivo::TrackSet* tracks, std::string* error) {
    return kadivo::AtModuleEdge(*error, [&] {
        *tracks = kind == kKadivoSleapAnalysisFile ? kadivo::ReadSleapH5(path) : kadivo::ReadDeepLabCutH5(path);
    });
}

// The type the caller looks the entry point up as.
static_assert(std::is_same_v<decltype(&KadivoReadHdf5Tracks), KadivoReadHdf5TracksFunction>);
