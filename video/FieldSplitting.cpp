#include "FieldSplitting.h"

#include <cstring>

namespace kadivo {

int ImagesPerStoredFrame(int imageType) {
    switch (imageType) {
        case kImageInterlaced: return 2;
        case kImageDualInterlaced: return 4;
        // Two further types of the table that no dialog offers.
        case 3: return 4;
        case 4: return 8;
        default: return 1;
    }
}

int StoredFrameFor(int imageType, int frame, int firstStreamFrame) {
    return firstStreamFrame + frame / ImagesPerStoredFrame(imageType);
}

void CopyInterlacedField(const std::uint8_t* stored, const FrameRows& out, int frame, int firstField) {
    const bool sameParity = frame % 2 == firstField;
    int source = sameParity ? 1 : 0;
    int target = sameParity ? 0 : 1;
    const auto bytes = static_cast<std::size_t>(out.stride);
    for (int pair = 0; pair < out.height / 2 - 1; ++pair, source += 2, target += 2) {
        const std::uint8_t* row = stored + static_cast<std::ptrdiff_t>(source) * out.stride;
        std::memcpy(out.Row(target), row, bytes);
        std::memcpy(out.Row(target + 1), row, bytes);
    }
}

void CopyDualInterlacedField(const std::uint8_t* stored, const FrameRows& out, int frame, int firstField) {
    const int H = out.height, h = H / 2;
    const auto bytes = static_cast<std::size_t>(out.stride);
    auto clear = [&](int from, int to) {
        for (int row = from; row <= to; ++row)
            if (row >= 0 && row < H) std::memset(out.Row(row), 0, bytes);
    };
    clear(0, 19);
    clear(H - 22, H - 3);

    const bool equal = (frame % 4) / 2 == firstField;
    const bool odd = frame % 2 == 1;
    // Odd images come from the lower half and are written downwards from the top band;
    // even images from the upper half, written upwards from the bottom band.
    int source = odd ? (equal ? h - 22 : h - 21) : (equal ? h + 20 : h + 21);
    int target = odd ? (equal ? H - 21 : H - 19) : (equal ? 20 : 21);
    const int direction = odd ? -1 : 1;
    const int steps = (h - 20) / 2 - 1;
    for (int step = 0; step < steps; ++step) {
        const std::uint8_t* row = stored + static_cast<std::ptrdiff_t>(source) * out.stride;
        for (int copy = 0; copy < 4; ++copy) {
            const int rowOut = target + direction * copy;
            if (rowOut >= 0 && rowOut < H) std::memcpy(out.Row(rowOut), row, bytes);
        }
        target += 4 * direction;
        source += 2 * direction;
    }
}

}  // namespace kadivo
