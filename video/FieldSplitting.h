#pragma once

#include <cstdint>

namespace kadivo {

// "Video Image Type": how many images one stored frame holds.
enum ImageType { kImageNormal = 0, kImageInterlaced = 1, kImageDualInterlaced = 2 };

int ImagesPerStoredFrame(int imageType);

// The stream position that holds image `frame`.
int StoredFrameFor(int imageType, int frame, int firstStreamFrame);

// A bottom-up frame buffer: `height` rows of `stride` bytes, row 0 first in memory.
struct FrameRows {
    std::uint8_t* data;
    int height;
    int stride;
    std::uint8_t* Row(int row) const { return data + static_cast<std::ptrdiff_t>(row) * stride; }
};

// Image `frame` of an interlaced stored frame: one field, each of its rows doubled.
// Rows the field does not reach keep what they held.
void CopyInterlacedField(const std::uint8_t* stored, const FrameRows& out, int frame, int firstField);

// Image `frame` of a stored frame holding an interlaced image in each half: the half and
// field `frame` selects, each row written four times, between blank bands.
void CopyDualInterlacedField(const std::uint8_t* stored, const FrameRows& out, int frame, int firstField);

}  // namespace kadivo
