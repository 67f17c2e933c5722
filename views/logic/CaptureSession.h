#pragma once

#include "AviWriter.h"
#include "CaptureDevice.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kadivo {

// What a capture asks of the device, from the sequence's capture options.
struct CaptureSettings {
    int framesPerSecond = 25;
    int seconds = 3;              // the time limit
    int delayMilliseconds = 0;    // before the first frame is taken
    int percentDropForError = 10; // more dropped frames than this end the capture early

    // 1,000,000 / rate microseconds, truncated: 40000 at 25 fps, 33333 at 30.
    int MicrosecondsPerFrame() const;
    // The frames of the time limit.
    int FramesWanted() const;
};

// The frames a device skipped between two of its frames `period` microseconds apart,
// judged from their timestamps.
int FramesMissingBetween(std::int64_t previousMicroseconds, std::int64_t currentMicroseconds, int periodMicroseconds);

struct CaptureOutcome {
    // NoSpace: the video file could not be given its space before the device started.
    // Refused: the device would not start. DeviceFailed: it stopped delivering frames.
    // FileFailed: a frame or the end of the file could not be written.
    enum class Status { Captured, Dropped, Cancelled, NoSpace, Refused, DeviceFailed, FileFailed };
    Status status = Status::Refused;
    int framesCaptured = 0;
    int framesDropped = 0;
    std::string error;  // the reason of a failure
};

// One recording: takes the frames of the time limit from the device and hands each to
// the video file, counting the frames the device dropped. Run() works on the calling
// thread and touches nothing but the device and the file; the counters and Cancel() may
// be used from any thread meanwhile.
class CaptureSession {
public:
    using WriterFactory =
        std::function<std::unique_ptr<AviVideoWriter>(int width, int height, int framesPerSecond, std::string& error)>;
    // Gives the video file its space before the device starts; false with the reason.
    using SpaceReserver = std::function<bool(std::string& error)>;

    CaptureSession(CaptureDevice& device, CaptureSettings settings, WriterFactory createWriter,
                   SpaceReserver reserveSpace = nullptr)
        : device_(device), settings_(settings), createWriter_(std::move(createWriter)),
          reserveSpace_(std::move(reserveSpace)) {}

    CaptureOutcome Run();
    void Cancel() { cancelled_ = true; }

    int FramesCaptured() const { return captured_; }
    int FramesDropped() const { return dropped_; }
    const CaptureSettings& Settings() const { return settings_; }

private:
    bool Wait(int milliseconds) const;

    CaptureDevice& device_;
    CaptureSettings settings_;
    WriterFactory createWriter_;
    SpaceReserver reserveSpace_;
    std::atomic<bool> cancelled_{false};
    std::atomic<int> captured_{0};
    std::atomic<int> dropped_{0};
};

// The text of a failed capture's outcome for a message box: the fixed text, then the reason.
std::string CaptureFailureMessage(const CaptureOutcome& outcome);

inline constexpr const char* kCaptureFileMessage =
    "Error Allocating space for temporary file\nPlease allocate new space for temporary file\nusing the preference "
    "dialog selecteable under the Capture menu";
inline constexpr const char* kCaptureRefusedMessage = "Error Capturing video";
inline constexpr const char* kCameraStoppedMessage = "The camera stopped during the capture.";
inline constexpr const char* kRecordingNotWrittenMessage = "The recording could not be written.";
inline constexpr const char* kFramesDroppedMessage =
    "Frames droped during capturing.\nVideo sequence can not be used for analysis!";

}  // namespace kadivo
