#include "Hdf5TrackReader.h"

#include "Hdf5Module.h"
#include "LoadableModule.h"

namespace kadivo {

namespace {

struct Hdf5Module {
    static constexpr const char* kName = "libkadivo_hdf5.so";
    KadivoReadHdf5TracksFunction read = nullptr;
    std::string error;

    bool Take(void* handle) {
        read = ModuleEntry<KadivoReadHdf5TracksFunction>(handle, "KadivoReadHdf5Tracks");
        return read != nullptr;
    }
};

}  // namespace

std::function<TrackSet(const std::string& path)> Hdf5TrackReader(bool sleap, const std::string& fileName) {
    const Hdf5Module& module = LoadedModule<Hdf5Module>();
    if (!module.read) throw TrackFileError(fileName + ": HDF5 files cannot be read: " + module.error);
    return [read = module.read, kind = sleap ? kKadivoSleapAnalysisFile : kKadivoDeepLabCutTable](const std::string& path) {
        TrackSet tracks;
        std::string error;
        if (!read(kind, path.c_str(), &tracks, &error)) throw TrackFileError(error);
        return tracks;
    };
}

}  // namespace kadivo
