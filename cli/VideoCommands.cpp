#include "VideoCommands.h"

#include "Arguments.h"
#include "BitmapFile.h"
#include "FieldSplitting.h"
#include "FileIo.h"
#include "HeadlessPrompts.h"
#include "VideoSource.h"

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace kadivo::cli {

const char* const kVideoUsage =
    "       kadivo-cli video-info VIDEO.avi [--stream K]\n"
    "       kadivo-cli frame VIDEO.avi INDEX[,INDEX...] OUT.bmp [--type normal|interlaced|dual] [--first-field 0|1]"
    " [--stream K]\n"
    "         (OUT may hold %d, replaced by each index)\n";

namespace {

struct VideoRequest {
    std::vector<std::string> positional;
    std::optional<int> imageType, firstField, stream;
};

int ParseChoice(const std::string& option, const std::string& value, const std::vector<std::string>& choices) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (value == choices[i]) return static_cast<int>(i);
    throw std::invalid_argument(option + " takes one of its listed values, not \"" + value + "\"");
}

VideoRequest ParseVideoRequest(const std::vector<std::string>& args) {
    VideoRequest request;
    request.positional = SplitArguments(args, [&](const std::string& arg, const std::string& value) {
        if (arg == "--type") request.imageType = ParseChoice(arg, value, {"normal", "interlaced", "dual"});
        else if (arg == "--first-field") request.firstField = ParseChoice(arg, value, {"0", "1"});
        else if (arg == "--stream") {
            request.stream = ParseIndex(value);
            if (*request.stream < 0) throw std::invalid_argument("--stream takes a stream number from 0");
        } else throw std::invalid_argument("unknown option " + arg);
    });
    return request;
}

// Opens the video with its messages held back, so that a failure is one line with the reason.
void OpenVideo(VideoSource& source, const HeadlessPrompts& messages, const std::string& path, const VideoRequest& request) {
    std::string name = path;
    if (!source.Open(name, "", 0, request.stream.value_or(0)))
        throw std::runtime_error("cannot open \"" + path + "\" as video" +
                                 (messages.LastMessage().empty() ? "" : ": " + messages.LastMessage()));
    if (request.stream && source.StreamIndex() != *request.stream)
        throw std::runtime_error("\"" + path + "\" has no video stream " + std::to_string(*request.stream));
    if (request.imageType || request.firstField)
        source.SetImageOptions(request.imageType.value_or(source.ImageType()), request.firstField.value_or(source.FirstField()));
}

std::vector<int> ParseIndexList(const std::string& text) {
    std::vector<int> indices;
    for (const std::string& item : SplitList(text)) {
        const int index = ParseIndex(item);
        if (index < 0) throw std::invalid_argument("frame indices are whole numbers from 0, separated by commas");
        indices.push_back(index);
    }
    return indices;
}

std::string OutputName(const std::string& pattern, int index) {
    const std::size_t marker = pattern.find("%d");
    if (marker == std::string::npos) return pattern;
    return pattern.substr(0, marker) + std::to_string(index) + pattern.substr(marker + 2);
}

std::string FourCcText(std::uint32_t code) {
    if (code == 0) return "none";
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += c >= 32 && c < 127 ? c : '?';
    }
    return text;
}

}  // namespace

int RunFrameCommand(const std::vector<std::string>& args) {
    const VideoRequest request = ParseVideoRequest(args);
    if (request.positional.size() != 3) throw std::invalid_argument("frame takes a video, frame indices and an output file");
    const std::vector<int> indices = ParseIndexList(request.positional[1]);
    const std::string& pattern = request.positional[2];
    if (indices.size() > 1 && pattern.find("%d") == std::string::npos)
        throw std::invalid_argument("several frames need %d in the output name");

    HeadlessPrompts messages;
    VideoSource source(messages);
    OpenVideo(source, messages, request.positional[0], request);
    // Every index is checked before anything is written.
    for (int index : indices)
        if (index > source.LastFrame())
            throw std::runtime_error("frame " + std::to_string(index) + " is past the last frame " + std::to_string(source.LastFrame()));
    for (int index : indices) {
        if (!source.FetchFrame(index, true)) throw std::runtime_error("frame " + std::to_string(index) + " could not be decoded");
        WriteFileAtomically(OutputName(pattern, index), EncodeBitmapFile(source.Format(), source.FrameBuffer()));
    }
    return 0;
}

int RunVideoInfoCommand(const std::vector<std::string>& args) {
    const VideoRequest request = ParseVideoRequest(args);
    if (request.positional.size() != 1) throw std::invalid_argument("video-info takes one video");
    const std::string& path = request.positional[0];
    HeadlessPrompts messages;
    VideoSource source(messages);
    OpenVideo(source, messages, path, request);

    // The streams as the file lists them, then the chosen one as the program opens it.
    const std::unique_ptr<AviFile> file = OpenAviFile(path);
    if (!file) throw std::runtime_error("cannot open \"" + path + "\" as video");
    for (int s = 0; s < file->Info().streamCount; ++s) {
        const std::unique_ptr<AviStream> stream = file->GetStream(s);
        if (!stream) break;
        const AviStreamInfo info = stream->Info();
        std::printf("stream %d: %s %s, %d frames from %d, %u/%u s\n", s, FourCcText(info.type).c_str(),
                    FourCcText(info.handler).c_str(), info.length, info.start, info.scale, info.rate);
    }
    const BitmapInfoHeader& header = source.Format().header;
    static const char* const kTypes[] = {"Normal", "Interlaced", "Dual Horizontal Interlaced"};
    std::printf("video stream: %d\n", source.StreamIndex());
    std::printf("frame size: %d x %d\n", header.width, header.height);
    std::printf("bit count: %d\n", header.bitCount);
    std::printf("compression: %s\n", FourCcText(header.compression).c_str());
    std::printf("stream length: %d\n", source.StreamLength());
    std::printf("image type: %s\n", kTypes[source.ImageType()]);
    std::printf("first field: %d\n", source.FirstField());
    std::printf("lastFrame: %d\n", source.LastFrame());
    std::printf("FramePeriod: %.6f\n", static_cast<double>(source.FramePeriod()));
    if (const AviStreamInfo info = source.StreamInfo(); info.variableRate)
        std::printf("variable frame rate: intervals from %.1f to %.1f ms\n", 1000.0 * info.shortestInterval, 1000.0 * info.longestInterval);
    return 0;
}

}  // namespace kadivo::cli
