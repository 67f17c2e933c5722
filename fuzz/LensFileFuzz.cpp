// Feeds arbitrary text to the lens file reader: it either gives a usable model that writes
// and reads back as itself, or throws its own error.

#include "LensFile.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const kadivo::LensFile file = kadivo::ParseLensFile(text);
        if (!kadivo::LensModelIsUsable(file.lens)) std::abort();
        if (!(kadivo::ParseLensFile(kadivo::FormatLensFile(file)).lens == file.lens)) std::abort();
    } catch (const kadivo::LensFileError&) {
    }
    return 0;
}
