#pragma once

#include "Geometry.h"

#include <functional>
#include <memory>
#include <string>

namespace kadivo {

// Tracking values of the "Automatic Search" page that belong to a camera view's source.
struct TrackingSettings {
    int markerSize = 4;
    bool brightMarker = false;
    bool useVelocity = false;
    friend bool operator==(const TrackingSettings&, const TrackingSettings&) = default;
};

// What the document needs of a camera view's video source.
class VideoSourceInterface {
public:
    virtual ~VideoSourceInterface() = default;

    // Opens `name` at the first of its VideoCandidates that opens; on success `name` holds
    // the absolute path actually opened. `storedStream` 0 means no stored stream choice.
    virtual bool Open(std::string& name, const std::string& sequencePath, int firstField, int storedStream) = 0;
    virtual bool IsOpen() const = 0;
    // Path of the open file; empty when closed.
    virtual std::string FileName() const = 0;
    // At least one frame has been fetched: the view "has video".
    virtual bool HasFrame() const = 0;
    // Returns true when the frame was decoded into the source's buffer.
    virtual bool FetchFrame(int frame, bool force) = 0;
    // Lets the source build its display image from the fetched frame (adjustments, filters).
    virtual void PrepareDisplayImage() = 0;
    virtual int LastFrame() const = 0;
    virtual FrameSize DisplaySize() const = 0;
    virtual float FramePeriod() const = 0;
    virtual float Zoom() const = 0;
    virtual void SetZoom(float factor) = 0;
    virtual int FirstField() const = 0;
    virtual void SetFirstField(int value) = 0;
    // The stream chosen among the file's video streams; saved with the sequence.
    virtual int StreamIndex() const = 0;
    virtual void SetStreamIndex(int index) = 0;
    virtual void SetTemplateMethod(int method) = 0;
    virtual TrackingSettings Tracking() const = 0;
    virtual void SetTracking(const TrackingSettings& settings) = 0;
    // The "Video Image Options" values: normal, interlaced or dual interlaced images, and
    // which field comes first. Setting them recomputes the last frame.
    virtual int ImageType() const = 0;
    virtual void SetImageOptions(int imageType, int firstField) = 0;
};

using VideoSourceFactory = std::function<std::unique_ptr<VideoSourceInterface>()>;

// A source that never opens a file: for tools that read sequences without their videos.
class NoVideoSource final : public VideoSourceInterface {
public:
    bool Open(std::string&, const std::string&, int, int) override { return false; }
    bool IsOpen() const override { return false; }
    std::string FileName() const override { return {}; }
    bool HasFrame() const override { return false; }
    bool FetchFrame(int, bool) override { return false; }
    void PrepareDisplayImage() override {}
    int LastFrame() const override { return 0; }
    FrameSize DisplaySize() const override { return {}; }
    float FramePeriod() const override { return 1.0f; }
    float Zoom() const override { return zoom_; }
    void SetZoom(float factor) override { zoom_ = factor; }
    int FirstField() const override { return firstField_; }
    void SetFirstField(int value) override { firstField_ = value; }
    int StreamIndex() const override { return streamIndex_; }
    void SetStreamIndex(int index) override { streamIndex_ = index; }
    void SetTemplateMethod(int) override {}
    TrackingSettings Tracking() const override { return tracking_; }
    void SetTracking(const TrackingSettings& settings) override { tracking_ = settings; }
    int ImageType() const override { return 0; }
    void SetImageOptions(int, int firstField) override { firstField_ = firstField; }

private:
    float zoom_ = 1.0f;
    int firstField_ = 0;
    int streamIndex_ = 0;
    TrackingSettings tracking_;
};

inline VideoSourceFactory NoVideoSourceFactory() {
    return [] { return std::make_unique<NoVideoSource>(); };
}

}  // namespace kadivo
