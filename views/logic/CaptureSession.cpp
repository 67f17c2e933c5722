#include "CaptureSession.h"

#include <chrono>
#include <algorithm>
#include <cmath>
#include <thread>

namespace kadivo {

int CaptureSettings::MicrosecondsPerFrame() const { return framesPerSecond > 0 ? 1000000 / framesPerSecond : 0; }

int CaptureSettings::FramesWanted() const {
    const int period = MicrosecondsPerFrame();
    if (period <= 0 || seconds <= 0) return 0;
    return static_cast<int>(std::llround(static_cast<double>(seconds) * 1e6 / period));
}

int FramesMissingBetween(std::int64_t previousMicroseconds, std::int64_t currentMicroseconds, int periodMicroseconds) {
    if (periodMicroseconds <= 0 || currentMicroseconds <= previousMicroseconds) return 0;
    const double periods = static_cast<double>(currentMicroseconds - previousMicroseconds) / periodMicroseconds;
    return std::max(0, static_cast<int>(std::llround(periods)) - 1);
}

bool CaptureSession::Wait(int milliseconds) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!cancelled_ && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(std::chrono::milliseconds(10),
                                                                                  end - std::chrono::steady_clock::now()));
    return !cancelled_;
}

CaptureOutcome CaptureSession::Run() {
    using Status = CaptureOutcome::Status;
    CaptureOutcome outcome;
    const int period = settings_.MicrosecondsPerFrame();
    const int wanted = settings_.FramesWanted();
    if (period <= 0 || wanted <= 0) {
        outcome.error = "the capture frame rate and time must be positive";
        return outcome;
    }
    if (reserveSpace_ && !reserveSpace_(outcome.error)) {
        outcome.status = Status::NoSpace;
        return outcome;
    }
    if (settings_.delayMilliseconds > 0 && !Wait(settings_.delayMilliseconds)) {
        outcome.status = Status::Cancelled;
        return outcome;
    }
    if (!device_.Start(period, outcome.error)) {
        outcome.status = Status::Refused;
        return outcome;
    }

    std::unique_ptr<AviVideoWriter> writer;
    CapturedFrame frame;
    std::int64_t first = 0, previous = 0, previousSlot = -1;
    outcome.status = Status::Captured;
    while (!cancelled_) {
        if (!device_.NextFrame(frame, outcome.error)) {
            outcome.status = Status::DeviceFailed;
            break;
        }
        if (!writer) {
            writer = createWriter_(frame.width, frame.height, settings_.framesPerSecond, outcome.error);
            if (!writer) {
                outcome.status = Status::FileFailed;
                break;
            }
            first = previous = frame.timestampMicroseconds;
        }
        // A clock that steps back cannot give a frame an earlier place than its predecessor.
        const std::int64_t slot = std::max<std::int64_t>(
            previousSlot + 1, std::llround(static_cast<double>(frame.timestampMicroseconds - first) / period));
        if (slot >= wanted) {
            // The frames the device skipped before the time limit ran out.
            dropped_ += static_cast<int>(wanted - 1 - previousSlot);
            break;
        }
        if (previousSlot >= 0) dropped_ += FramesMissingBetween(previous, frame.timestampMicroseconds, period);
        previous = frame.timestampMicroseconds;
        previousSlot = slot;
        const int stride = ((frame.width * 24 + 31) / 32) * 4;
        if (!writer->WriteFrame(frame.rows.data(), stride)) {
            outcome.status = Status::FileFailed;
            outcome.error = "the frame could not be written";
            break;
        }
        ++captured_;
        if (captured_ >= wanted) break;
        if (static_cast<long long>(dropped_) * 100 > static_cast<long long>(wanted) * settings_.percentDropForError) break;
    }
    device_.Stop();
    if (writer && !writer->Finish() && outcome.status == Status::Captured) {
        outcome.status = Status::FileFailed;
        outcome.error = "the video file could not be completed";
    }
    outcome.framesCaptured = captured_;
    outcome.framesDropped = dropped_;
    if (cancelled_ && outcome.status == Status::Captured) outcome.status = Status::Cancelled;
    if (outcome.status == Status::Captured && outcome.framesDropped > 0) outcome.status = Status::Dropped;
    return outcome;
}

std::string CaptureFailureMessage(const CaptureOutcome& outcome) {
    using Status = CaptureOutcome::Status;
    switch (outcome.status) {
        case Status::Dropped: return kFramesDroppedMessage;
        case Status::NoSpace: return std::string(kCaptureFileMessage) + "\n" + outcome.error;
        case Status::Refused: return std::string(kCaptureRefusedMessage) + "\n" + outcome.error;
        case Status::DeviceFailed: return std::string(kCameraStoppedMessage) + "\n" + outcome.error;
        case Status::FileFailed: return std::string(kRecordingNotWrittenMessage) + "\n" + outcome.error;
        case Status::Captured:
        case Status::Cancelled: return "";
    }
    return "";
}

}  // namespace kadivo
