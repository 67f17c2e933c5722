#include "VideoSource.h"

#include "FieldSplitting.h"
#include "KeptAviFile.h"
#include "VideoLinks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kadivo {
namespace {

constexpr int kMaxStreams = 10;
constexpr const char* kNoDecompressor = "Error Reading the AVI file.\nNo suitable decompressor found!";

bool IsMotionJpeg(std::uint32_t code) {
    char text[4];
    for (int i = 0; i < 4; ++i) text[i] = static_cast<char>(std::tolower(static_cast<int>((code >> (8 * i)) & 0xFF)));
    return std::memcmp(text, "mjpg", 4) == 0;
}

}  // namespace

std::string VariableRateMessage(const AviStreamInfo& info) {
    const double period = info.rate > 0 ? static_cast<double>(info.scale) / info.rate : 0.0;
    char text[200];
    std::snprintf(text, sizeof text,
                  "The video has a variable frame rate: frame intervals from %.1f to %.1f ms. Velocities assume a constant "
                  "frame period of %.3f s.",
                  1000.0 * info.shortestInterval, 1000.0 * info.longestInterval, period);
    return text;
}

int BytesPerPixelOf(int bitCount) {
    switch (bitCount) {
        case 12:
        case 24: return 3;
        case 16: return 2;
        case 32: return 4;
        default: return 1;
    }
}

VideoSource::VideoSource(Prompts& prompts, std::string keptFramesFolder)
    : prompts_(prompts), keptFramesFolder_(std::move(keptFramesFolder)) {}

VideoSource::~VideoSource() { Close(); }

std::unique_ptr<AviFile> VideoSource::OpenFirstFound(std::string& name, const std::string& sequencePath) {
    for (const std::string& candidate : VideoCandidates(name, sequencePath)) {
        auto file = keptFramesFolder_.empty() ? OpenAviFile(candidate) : OpenAviFileKeepingFrames(candidate, keptFramesFolder_);
        if (file) {
            // Kept absolute: the sequence stores the link that suits the place it is saved at.
            name = std::filesystem::absolute(candidate).lexically_normal().string();
            return file;
        }
    }
    return nullptr;
}

int VideoSource::ChooseStream(int count) { return std::clamp(prompts_.ChooseStream(count), 0, count - 1); }

bool VideoSource::Open(std::string& name, const std::string& sequencePath, int firstFieldValue, int storedStream) {
    if (name.empty()) return false;
    Close();
    std::string used = name;
    std::unique_ptr<AviFile> file = OpenFirstFound(used, sequencePath);
    if (!file) return false;

    std::vector<std::unique_ptr<AviStream>> streams;
    std::vector<AviStream*> videoStreams;
    for (int s = 0; s < std::min(file->Info().streamCount, kMaxStreams); ++s) {
        std::unique_ptr<AviStream> stream = file->GetStream(s);
        if (!stream) break;
        if (stream->Info().type == kStreamTypeVideo) videoStreams.push_back(stream.get());
        streams.push_back(std::move(stream));
    }
    const int videoCount = static_cast<int>(videoStreams.size());
    if (videoCount == 0) return false;

    int chosen = 0;
    if ((videoCount >= 2 && storedStream < 1) || storedStream >= videoCount) chosen = ChooseStream(videoCount);
    else if (storedStream >= 1) chosen = storedStream;
    AviStream& stream = *videoStreams[static_cast<std::size_t>(chosen)];

    BitmapFormat format = stream.ReadFormat();
    std::unique_ptr<AviFrameDecoder> decoder = stream.OpenFrameDecoder();
    if (!decoder) {
        prompts_.ShowMessage(kNoDecompressor);
        return false;
    }

    const AviStreamInfo info = stream.Info();
    file_ = std::move(file);
    streams_ = std::move(streams);
    videoStream_ = &stream;
    decoder_ = std::move(decoder);
    streamIndex_ = chosen;
    format_ = std::move(format);
    streamLength_ = stream.Length();
    lastFrame_ = streamLength_ - 1;
    frameBuffer_.assign(format_.header.sizeImage, 0);
    firstStreamFrame_ = std::max(stream.Start(), 0);
    scale_ = info.scale;
    rate_ = info.rate;

    if (format_.header.height >= 401 && IsMotionJpeg(format_.header.compression)) {
        imageType_ = kImageInterlaced;
        firstField_ = 1;
        lastFrame_ = 2 * streamLength_ - 1;
    }
    if (firstFieldValue != 0) RecomputeLastFrame();

    enhancement_.ClearRange(format_.header.width, format_.header.height);
    fileName_ = used;
    name = used;
    if (info.variableRate) prompts_.ShowMessage(VariableRateMessage(info));
    return true;
}

void VideoSource::Close() {
    decoder_.reset();
    videoStream_ = nullptr;
    streams_.clear();
    file_.reset();
    frameBuffer_.clear();
    frameBuffer_.shrink_to_fit();
    storedRows_.clear();
    storedRows_.shrink_to_fit();
    storedPosition_ = -1;
    cachedFrame_ = -1;
    // Templates name frames of this file only.
    templates_.clear();
}

MarkerTemplate& VideoSource::TemplateOf(int point) {
    const auto index = static_cast<std::size_t>(std::max(point, 0));
    if (index >= templates_.size()) templates_.resize(index + 1);
    return templates_[index];
}

void VideoSource::RecomputeLastFrame() { lastFrame_ = streamLength_ * ImagesPerStoredFrame(imageType_) - 1; }

bool VideoSource::FetchFrame(int frame, bool force) {
    if (!decoder_ || (frame == cachedFrame_ && !force) || frame < 0) return false;
    const int lastStored = firstStreamFrame_ + streamLength_ - 1;
    const int stored = std::min(StoredFrameFor(imageType_, frame, firstStreamFrame_), lastStored);
    RecomputeLastFrame();
    if (imageType_ == kImageNormal) {
        // Whole frames are decoded straight into the frame buffer.
        BitmapFormat delivered;
        if (!decoder_->GetFrame(stored, delivered, frameBuffer_.data())) return false;
        format_ = std::move(delivered);
    } else {
        if (!FetchStoredFrame(stored)) return false;
        format_ = storedFormat_;
        const BitmapInfoHeader& header = format_.header;
        const FrameRows out{frameBuffer_.data(), header.height, BitmapRowStride(header.width, header.bitCount)};
        if (imageType_ == kImageInterlaced) CopyInterlacedField(storedRows_.data(), out, frame, firstField_);
        else CopyDualInterlacedField(storedRows_.data(), out, frame, firstField_);
    }
    cachedFrame_ = frame;
    hasFrame_ = true;
    return true;
}

// The fields of one stored frame are cut from a single decoded copy of it.
bool VideoSource::FetchStoredFrame(int stored) {
    if (stored == storedPosition_) return true;
    storedRows_.resize(frameBuffer_.size());
    if (!decoder_->GetFrame(stored, storedFormat_, storedRows_.data())) return false;
    storedPosition_ = stored;
    return true;
}

FramePixels VideoSource::Pixels() {
    if (frameBuffer_.empty()) return {};
    return {frameBuffer_.data(), format_.header.width, format_.header.height, format_.header.bitCount};
}

void VideoSource::PrepareDisplayImage() {
    if (IsOpen()) enhancement_.Replay(Pixels());
}

void VideoSource::ClearAllFiltering() {
    enhancement_.Reset();
    if (IsOpen() && cachedFrame_ >= 0) FetchFrame(cachedFrame_, true);
}

kadivo::FrameSize VideoSource::FrameSize() const {
    if (!IsOpen()) return {};
    return {format_.header.width, format_.header.height};
}

kadivo::FrameSize VideoSource::DisplaySize() const {
    if (!IsOpen()) return {};
    return {static_cast<int>(static_cast<float>(format_.header.width) * zoom_),
            static_cast<int>(static_cast<float>(format_.header.height) * zoom_)};
}

float VideoSource::FramePeriod() const {
    if (!IsOpen() || rate_ == 0) return 1.0f;
    return static_cast<float>(static_cast<double>(scale_) / rate_);
}

void VideoSource::SetImageOptions(int imageType, int firstField) {
    imageType_ = std::clamp(imageType, 0, 2);
    firstField_ = static_cast<std::int16_t>(firstField == 0 ? 0 : 1);
    RecomputeLastFrame();
}

DrawRectangle VideoSource::DrawSource(int destinationWidth, int destinationHeight, int sourceX, int sourceY) const {
    if (!IsOpen() || zoom_ <= 0) return {};
    DrawRectangle r;
    r.sourceX = sourceX;
    r.sourceY = sourceY;
    r.sourceWidth = static_cast<int>(static_cast<float>(destinationWidth) / zoom_);
    r.sourceHeight = static_cast<int>(static_cast<float>(destinationHeight) / zoom_);
    r.sourceWidth = std::max(0, std::min(r.sourceWidth, format_.header.width - sourceX));
    r.sourceHeight = std::max(0, std::min(r.sourceHeight, format_.header.height - sourceY));
    r.stretchedWidth = static_cast<int>(static_cast<float>(r.sourceWidth) * zoom_);
    r.stretchedHeight = static_cast<int>(static_cast<float>(r.sourceHeight) * zoom_);
    return r;
}

VideoSourceFactory MakeVideoSourceFactory(Prompts& prompts, const std::string& keptFramesFolder) {
    return [&prompts, keptFramesFolder] { return std::make_unique<VideoSource>(prompts, keptFramesFolder); };
}

}  // namespace kadivo
