// Feeds arbitrary bytes as a video file to the reader of its sound, then lines the sound up
// with itself as the synchronisation does.

#include "AudioSync.h"
#include "AudioTrackReader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// The reader takes files by name, so each input goes through one file of this process.
const std::string& InputPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("kadivo-audio-fuzz-" + std::to_string(::getpid()))).string();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (!file) return 0;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;
    std::string error;
    // A few seconds are enough to reach every part of the reader.
    if (const std::optional<kadivo::AudioTrack> track = kadivo::ReadAudioTrack(InputPath(), 4.0, error))
        kadivo::LagBetween(*track, *track);
    std::remove(InputPath().c_str());
    return 0;
}
