// Feeds arbitrary bytes as an AVI file through a video source: open, fetch in and out of
// order, and one adjustment and one filter on what was fetched.

#include "FrameFilters.h"
#include "HeadlessPrompts.h"
#include "ImageAdjustments.h"
#include "VideoSource.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// The source reads files by name, so each input goes through one file of this process.
const std::string& InputPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("kadivo-avi-fuzz-" + std::to_string(::getpid()) + ".avi")).string();
    return path;
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (!file) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteInput(data, size)) return 0;
    kadivo::HeadlessPrompts ui;
    kadivo::VideoSource source(ui);
    std::string name = InputPath();
    if (source.Open(name, "", 0, 0)) {
        const int last = source.LastFrame();
        for (int frame : {0, 1, last, last / 2, 2, 0}) source.FetchFrame(frame, true);
        if (source.HasFrame()) {
            source.Enhancement().Adjust(source.Pixels(), kadivo::kSaturation, 150);
            source.Enhancement().Filter(source.Pixels(), kadivo::kSharpen);
            source.FetchFrame(1, true);
            source.PrepareDisplayImage();
        }
    }
    std::remove(InputPath().c_str());
    return 0;
}
