#pragma once

#include "AviFile.h"
#include "FrameEnhancement.h"
#include "MarkerTemplate.h"
#include "Prompts.h"
#include "VideoSourceInterface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kadivo {

// Told once when a video opens whose frame intervals vary by more than 1 %.
std::string VariableRateMessage(const AviStreamInfo& info);

// Bytes per pixel of a bit count: 1, 4 and 8 give 1 (palettes), 12 and 24 give 3, 16 gives 2, 32 gives 4.
int BytesPerPixelOf(int bitCount);

// The part of the frame buffer a window of `destination` pixels shows from (x, y) on, and
// the size it is stretched to.
struct DrawRectangle {
    int sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
    int stretchedWidth = 0, stretchedHeight = 0;
    friend bool operator==(const DrawRectangle&, const DrawRectangle&) = default;
};

// A camera view's AVI file: the chosen video stream, its decoder and the current frame, split
// into fields for interlaced material, with the enhancement chain of the view.
class VideoSource final : public VideoSourceInterface {
public:
    // With a `keptFramesFolder`, each video's first frame is kept there, and shown from there
    // the next time while the video opens behind it.
    explicit VideoSource(Prompts& prompts, std::string keptFramesFolder = {});
    ~VideoSource() override;

    bool Open(std::string& name, const std::string& sequencePath, int firstFieldValue, int storedStream) override;
    void Close();
    // The file and its chosen video stream are open together, with the stream's decoder.
    bool IsOpen() const override { return decoder_ != nullptr; }
    std::string FileName() const override { return IsOpen() ? fileName_ : std::string(); }
    bool HasFrame() const override { return hasFrame_; }
    bool FetchFrame(int frame, bool force) override;
    // Runs the enhancement history on the freshly fetched frame.
    void PrepareDisplayImage() override;
    int LastFrame() const override { return lastFrame_; }
    kadivo::FrameSize FrameSize() const;
    kadivo::FrameSize DisplaySize() const override;
    float FramePeriod() const override;
    float Zoom() const override { return zoom_; }
    void SetZoom(float factor) override { zoom_ = factor; }
    int FirstField() const override { return firstField_; }
    void SetFirstField(int value) override { firstField_ = static_cast<std::int16_t>(value); }
    int StreamIndex() const override { return streamIndex_; }
    void SetStreamIndex(int index) override { streamIndex_ = index; }
    void SetTemplateMethod(int method) override { templateMethod_ = method; }
    TrackingSettings Tracking() const override { return tracking_; }
    void SetTracking(const TrackingSettings& settings) override { tracking_ = settings; }
    int ImageType() const override { return imageType_; }
    void SetImageOptions(int imageType, int firstField) override;
    int StreamLength() const { return streamLength_; }
    // The chosen video stream as the file describes it.
    AviStreamInfo StreamInfo() const { return videoStream_ ? videoStream_->Info() : AviStreamInfo{}; }
    int FirstStreamFrame() const { return firstStreamFrame_; }
    int CachedFrame() const { return cachedFrame_; }
    int BytesPerPixel() const { return BytesPerPixelOf(format_.header.bitCount); }
    int TemplateMethod() const { return templateMethod_; }
    const BitmapFormat& Format() const { return format_; }
    // Width × bytes per pixel: the bytes of picture in a row (rows are padded to four bytes).
    int RowLength() const { return format_.header.width * BytesPerPixel(); }
    const std::vector<std::uint8_t>& FrameBuffer() const { return frameBuffer_; }
    FramePixels Pixels();
    FrameEnhancement& Enhancement() { return enhancement_; }
    // The template of model point `point` for tracking it into the next frame.
    MarkerTemplate& TemplateOf(int point);
    // Whether the search status window shows this source's searches.
    bool StatusDisplay() const { return statusDisplay_; }
    void SetStatusDisplay(bool on) { statusDisplay_ = on; }

    // "Clear All Filtering": neutral values, no history, the frame as the video holds it.
    void ClearAllFiltering();
    DrawRectangle DrawSource(int destinationWidth, int destinationHeight, int sourceX, int sourceY) const;

private:
    std::unique_ptr<AviFile> OpenFirstFound(std::string& name, const std::string& sequencePath);
    int ChooseStream(int count);
    void RecomputeLastFrame();
    bool FetchStoredFrame(int stored);

    Prompts& prompts_;
    std::string keptFramesFolder_;
    std::string fileName_;
    std::unique_ptr<AviFile> file_;
    std::vector<std::unique_ptr<AviStream>> streams_;
    AviStream* videoStream_ = nullptr;
    std::unique_ptr<AviFrameDecoder> decoder_;
    int streamIndex_ = 0;
    BitmapFormat format_;
    std::vector<std::uint8_t> frameBuffer_;
    // The last stored frame decoded for field splitting.
    BitmapFormat storedFormat_;
    std::vector<std::uint8_t> storedRows_;
    int storedPosition_ = -1;
    int streamLength_ = 0;
    int firstStreamFrame_ = 0;
    int lastFrame_ = 0;
    int imageType_ = 0;
    std::int16_t firstField_ = 0;
    float zoom_ = 1.0f;
    std::uint32_t scale_ = 1, rate_ = 0;
    int cachedFrame_ = -1;
    bool hasFrame_ = false;
    int templateMethod_ = 0;
    TrackingSettings tracking_;
    std::vector<MarkerTemplate> templates_;
    bool statusDisplay_ = false;
    FrameEnhancement enhancement_;
};

VideoSourceFactory MakeVideoSourceFactory(Prompts& prompts, const std::string& keptFramesFolder = {});

}  // namespace kadivo
