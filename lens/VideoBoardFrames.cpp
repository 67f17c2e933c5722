#include "VideoBoardFrames.h"

namespace kadivo {

VideoBoardFrames::VideoBoardFrames(Prompts& messages, const std::string& path, int stream) : source_(messages) {
    std::string name = path;
    if (!source_.Open(name, "", 0, stream)) throw LensCalibrationError("\"" + path + "\" cannot be opened as video");
    if (source_.StreamIndex() != stream) throw LensCalibrationError("\"" + path + "\" has no video stream " + std::to_string(stream));
}

FrameSize VideoBoardFrames::Size() const {
    const BitmapInfoHeader& header = source_.Format().header;
    return {header.width, header.height};
}

bool VideoBoardFrames::Fetch(int frame, GreyPicture& picture) {
    if (!source_.FetchFrame(frame, true)) return false;
    const FramePixels pixels = source_.Pixels();
    const int bytes = BytesPerPixelOf(pixels.bitCount);
    if (!pixels.data || (bytes != 3 && bytes != 4)) return false;
    const int stride = (pixels.width * bytes + 3) & ~3;
    picture.width = pixels.width;
    picture.height = pixels.height;
    picture.pixels.resize(static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height));
    // Frames are stored bottom row first, blue first; the board search wants the top row first.
    for (int y = 0; y < pixels.height; ++y) {
        const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(pixels.height - 1 - y) * stride;
        std::uint8_t* out = picture.pixels.data() + static_cast<std::ptrdiff_t>(y) * pixels.width;
        for (int x = 0; x < pixels.width; ++x, row += bytes)
            out[x] = static_cast<std::uint8_t>((29 * row[0] + 150 * row[1] + 77 * row[2] + 128) >> 8);
    }
    return true;
}

std::optional<LensCalibration> CalibrateLensFromVideo(Prompts& messages, const std::string& video, int stream,
                                                      const CheckerboardSpec& board, const LensCalibrationProgress& progress) {
    VideoBoardFrames frames(messages, video, stream);
    return CalibrateLensFromCheckerboard([&](int frame, GreyPicture& picture) { return frames.Fetch(frame, picture); },
                                         frames.FrameCount(), board, progress);
}

}  // namespace kadivo
