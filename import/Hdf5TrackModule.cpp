#include "Hdf5TrackModule.h"

#include "Hdf5TracksModule.h"
#include "LoadableModule.h"

namespace kadivo {

namespace {

constexpr const char* kHdf5ModuleName = "libkadivo_hdf5.so";

struct Hdf5Module {
    KadivoReadHdf5TracksFunction read = nullptr;
    std::string error;
};

// Loaded once, by whichever thread asks first; the others wait for it.
const Hdf5Module& Module() {
    static const Hdf5Module module = [] {
        Hdf5Module loaded;
        LoadModule(
            kHdf5ModuleName,
            [&](void* handle) {
                loaded.read = ModuleEntry<KadivoReadHdf5TracksFunction>(handle, "KadivoReadHdf5Tracks");
                return loaded.read != nullptr;
            },
            loaded.error);
        return loaded;
    }();
    return module;
}

}  // namespace

std::function<TrackSet(const std::string& path)> Hdf5TrackReader(bool sleap, const std::string& fileName) {
    const Hdf5Module& module = Module();
    if (!module.read) throw TrackFileError(fileName + ": HDF5 files cannot be read: " + module.error);
    return [read = module.read, kind = sleap ? kKadivoSleapAnalysisFile : kKadivoDeepLabCutTable](const std::string& path) {
        TrackSet tracks;
        std::string error;
        if (!read(kind, path.c_str(), &tracks, &error)) throw TrackFileError(error);
        return tracks;
    };
}

}  // namespace kadivo
