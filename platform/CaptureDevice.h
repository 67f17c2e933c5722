#pragma once

#include "Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// A driver's name and version as the driver list shows them.
struct CaptureDriverName {
    std::string name;
    std::string version;
};

// What a connected driver can do.
struct CaptureAbilities {
    int bufferCount = 0;
    bool compression = false;           // the device delivers compressed frames
    std::vector<FrameSize> frameSizes;  // in the device's order
    std::vector<int> bitDepths;         // bits per pixel the device offers
};

// The format frames are delivered in now.
struct CaptureFormat {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// A setting of the picture the device lets the user change (brightness, contrast, ...).
struct CaptureControl {
    std::string name;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int value = 0;
    int defaultValue = 0;
};

// One captured picture: 24-bit BGR rows, bottom row first, each row padded to four bytes,
// and the moment the device took it.
struct CapturedFrame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rows;
    std::int64_t timestampMicroseconds = 0;
};

// A connected capture driver. Frames come from one thread at a time; the settings are
// changed only while no frames are being taken.
class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;

    virtual CaptureDriverName Name() const = 0;
    virtual CaptureAbilities Abilities() const = 0;
    virtual CaptureFormat Format() const = 0;
    // Chooses the size of the frames to come; false with `error` set when the device refuses.
    virtual bool SetFrameSize(FrameSize size, std::string& error) = 0;
    virtual std::vector<CaptureControl> Controls() const = 0;
    virtual bool SetControl(const std::string& name, int value) = 0;

    // Starts taking a frame every `microsecondsPerFrame`; false with `error` set.
    virtual bool Start(int microsecondsPerFrame, std::string& error) = 0;
    // Waits for the next frame; false with `error` set when the device fails.
    virtual bool NextFrame(CapturedFrame& frame, std::string& error) = 0;
    virtual void Stop() = 0;
};

// The installed capture drivers, by index as a capture window connects to them.
class CaptureDrivers {
public:
    virtual ~CaptureDrivers() = default;
    // Nothing when no driver has this index.
    virtual std::optional<CaptureDriverName> Description(int index) const = 0;
    // Null with `error` set when the driver cannot be connected.
    virtual std::unique_ptr<CaptureDevice> Connect(int index, std::string& error) const = 0;
};

// The installed drivers by index 0 to 9, up to the first index without one.
std::vector<CaptureDriverName> ListCaptureDrivers(const std::function<std::optional<CaptureDriverName>(int)>& describe);
std::vector<CaptureDriverName> ListCaptureDrivers(const CaptureDrivers& drivers);

// The drivers of this computer: every Video4Linux2 device that captures, then the Test Pattern.
const CaptureDrivers& SystemCaptureDrivers();

}  // namespace kadivo
