// Feeds arbitrary bytes to the reader of kept frames, as they come and with their checksum
// made right (so that the fuzzer reaches past it): each either gives a frame whose file
// writes back as the same bytes, or throws its own error.

#include "ByteCursor.h"
#include "Crc32.h"
#include "KeptFrameFile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void ReadsBackOrRefuses(const std::uint8_t* data, std::size_t size) {
    try {
        const kadivo::KeptVideo video = kadivo::ParseKeptVideo(data, size);
        const std::vector<std::uint8_t> again = kadivo::FormatKeptVideo(video);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    } catch (const kadivo::FileFormatError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadsBackOrRefuses(data, size);
    if (size < 4) return 0;
    std::vector<std::uint8_t> checked(data, data + size);
    const std::uint32_t crc = kadivo::Crc32(checked.data(), size - 4);
    std::memcpy(checked.data() + size - 4, &crc, 4);
    ReadsBackOrRefuses(checked.data(), size);
    return 0;
}
