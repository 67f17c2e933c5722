#pragma once

#include "VideoSourceInterface.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kadivo::test {

// A video file the fake sources can open.
struct FakeVideoFile {
    int lastFrame = 99;
    FrameSize size{320, 240};
    float framePeriod = 0.04f;
};

// The files the fake sources know, and every source made so far.
struct FakeVideoLibrary {
    std::map<std::string, FakeVideoFile> files;
    // Names found under another path, as a search next to the sequence would.
    std::map<std::string, std::string> relocated;
    std::vector<class FakeVideoSource*> sources;

    VideoSourceFactory Factory();
};

class FakeVideoSource : public VideoSourceInterface {
public:
    explicit FakeVideoSource(FakeVideoLibrary& library) : library_(library) {}

    bool Open(std::string& name, const std::string& sequencePath, int firstField, int storedStream) override {
        openCalls.push_back({name, sequencePath, firstField, storedStream});
        auto moved = library_.relocated.find(name);
        if (moved != library_.relocated.end()) name = moved->second;
        auto file = library_.files.find(name);
        if (file == library_.files.end()) return false;
        file_ = file->second;
        fileName_ = name;
        open_ = true;
        return true;
    }
    bool IsOpen() const override { return open_; }
    std::string FileName() const override { return fileName_; }
    bool HasFrame() const override { return hasFrame_; }
    bool FetchFrame(int frame, bool force) override {
        if (!open_ || (frame == cachedFrame && !force)) return false;
        cachedFrame = frame;
        hasFrame_ = true;
        fetched.push_back(frame);
        return true;
    }
    void PrepareDisplayImage() override { ++prepared; }
    int LastFrame() const override { return open_ ? file_.lastFrame : 0; }
    FrameSize DisplaySize() const override {
        if (!open_) return {};
        return {static_cast<int>(static_cast<float>(file_.size.width) * zoom_),
                static_cast<int>(static_cast<float>(file_.size.height) * zoom_)};
    }
    float FramePeriod() const override { return open_ ? file_.framePeriod : 1.0f; }
    float Zoom() const override { return zoom_; }
    void SetZoom(float factor) override { zoom_ = factor; }
    int FirstField() const override { return firstField_; }
    void SetFirstField(int value) override { firstField_ = value; }
    int StreamIndex() const override { return streamIndex_; }
    void SetStreamIndex(int index) override { streamIndex_ = index; }
    void SetTemplateMethod(int method) override { templateMethod = method; }
    TrackingSettings Tracking() const override { return tracking_; }
    void SetTracking(const TrackingSettings& settings) override { tracking_ = settings; }
    int ImageType() const override { return imageType_; }
    void SetImageOptions(int imageType, int firstField) override {
        imageType_ = imageType;
        firstField_ = firstField;
        if (lastFrameAfterImageOptions >= 0) file_.lastFrame = lastFrameAfterImageOptions;
    }

    // Marks the source as having shown a frame without going through FetchFrame.
    void SetHasFrame() { hasFrame_ = true; }

    struct OpenCall {
        std::string name, sequencePath;
        int firstField, storedStream;
    };
    std::vector<OpenCall> openCalls;
    std::vector<int> fetched;
    int cachedFrame = -1;
    int prepared = 0;
    int templateMethod = -1;
    int lastFrameAfterImageOptions = -1;  // what new image options make of the last frame; -1 keeps it

private:
    FakeVideoLibrary& library_;
    FakeVideoFile file_;
    std::string fileName_;
    bool open_ = false;
    bool hasFrame_ = false;
    float zoom_ = 1.0f;
    int firstField_ = 0;
    int imageType_ = 0;
    int streamIndex_ = 0;
    TrackingSettings tracking_;
};

inline VideoSourceFactory FakeVideoLibrary::Factory() {
    return [this] {
        auto source = std::make_unique<FakeVideoSource>(*this);
        sources.push_back(source.get());
        return source;
    };
}

}  // namespace kadivo::test
