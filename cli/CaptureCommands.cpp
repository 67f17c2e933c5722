#include "CaptureCommands.h"

#include "Arguments.h"
#include "AviWriter.h"
#include "CaptureReport.h"
#include "CaptureSession.h"
#include "DataDirectory.h"
#include "FileIo.h"
#include "SequenceOptions.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace kadivo::cli {

const char* const kCaptureUsage =
    "       kadivo-cli capture-info [--device N|NAME]\n"
    "       kadivo-cli capture OUT.avi [--device N|NAME] [--rate R] [--seconds S] [--size WxH]\n"
    "         (drivers by number from 0 or by name, as \"Test Pattern\")\n";

namespace {

struct CaptureRequest {
    std::vector<std::string> positional;
    int device = 0;
    CaptureSettings settings;
    std::optional<FrameSize> size;
};

int ParseBounded(const std::string& option, const std::string& value, int lowest, int highest) {
    const int number = ParseIndex(value);
    if (number < lowest || number > highest)
        throw std::invalid_argument(option + " takes a whole number from " + std::to_string(lowest) + " to " +
                                    std::to_string(highest));
    return number;
}

FrameSize ParseSize(const std::string& value) {
    const std::size_t x = value.find('x');
    const int width = x == std::string::npos ? -1 : ParseIndex(value.substr(0, x));
    const int height = x == std::string::npos ? -1 : ParseIndex(value.substr(x + 1));
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
        throw std::invalid_argument("--size takes WIDTHxHEIGHT, as 640x480");
    return {width, height};
}

// A driver by its number, or by its name among the installed drivers.
int DriverIndex(const std::string& value) {
    if (const int number = ParseIndex(value); number >= 0) return number;
    const CaptureDrivers& drivers = SystemCaptureDrivers();
    const std::vector<CaptureDriverName> names = ListCaptureDrivers(drivers);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].name == value) return static_cast<int>(i);
    throw std::invalid_argument("no capture driver is called \"" + value + "\"");
}

CaptureRequest ParseCaptureRequest(const std::vector<std::string>& args) {
    CaptureRequest request;
    const SequenceOptions defaults;
    request.settings.framesPerSecond = defaults.captureRate;
    request.settings.seconds = defaults.captureTime;
    request.positional = SplitArguments(args, [&](const std::string& arg, const std::string& value) {
        if (arg == "--device") request.device = DriverIndex(value);
        else if (arg == "--rate") request.settings.framesPerSecond = ParseBounded(arg, value, 1, 1000);
        else if (arg == "--seconds") request.settings.seconds = ParseBounded(arg, value, 1, 3600);
        else if (arg == "--size") request.size = ParseSize(value);
        else throw std::invalid_argument("unknown option " + arg);
    });
    return request;
}

std::unique_ptr<CaptureDevice> ConnectDriver(int index) {
    std::string error;
    std::unique_ptr<CaptureDevice> device = SystemCaptureDrivers().Connect(index, error);
    if (!device) throw std::runtime_error("capture driver " + std::to_string(index) + " cannot be connected: " + error);
    return device;
}

// Removed whatever becomes of the recording.
struct ScratchFile {
    std::string path;
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

// A one-line form of a message box's text.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

int RunCaptureInfoCommand(const std::vector<std::string>& args) {
    const CaptureRequest request = ParseCaptureRequest(args);
    if (!request.positional.empty()) throw std::invalid_argument("capture-info takes no file");
    const CaptureDrivers& drivers = SystemCaptureDrivers();
    const std::unique_ptr<CaptureDevice> device = ConnectDriver(request.device);
    std::fputs(CaptureDriverReport(ListCaptureDrivers(drivers), device.get()).c_str(),
               stdout);
    return 0;
}

int RunCaptureCommand(const std::vector<std::string>& args) {
    const CaptureRequest request = ParseCaptureRequest(args);
    if (request.positional.size() != 1) throw std::invalid_argument("capture takes one output file");
    const std::string& out = request.positional[0];
    const std::unique_ptr<CaptureDevice> device = ConnectDriver(request.device);
    if (request.size) {
        std::string error;
        if (!device->SetFrameSize(*request.size, error)) throw std::runtime_error(error);
    }

    // Recorded into the cache first: the output is only written when the recording is usable.
    std::error_code ignored;
    std::filesystem::create_directories(CacheDirectory(), ignored);
    const std::string scratch = CacheDirectory() + "/captmp-" + std::to_string(::getpid()) + ".avi";
    CaptureSession session(
        *device, request.settings,
        [&](int width, int height, int rate, std::string& error) {
            return CreateMjpegAviFile(scratch, width, height, rate, error, AviFileSpace::Reserved);
        },
        [&](std::string& error) { return ReserveFileSpace(scratch, kDefaultCaptureFileBytes, error); });
    const CaptureOutcome outcome = session.Run();
    const ScratchFile remover{scratch};

    using Status = CaptureOutcome::Status;
    if (outcome.status == Status::FileFailed || outcome.status == Status::NoSpace)
        throw std::runtime_error("cannot record into " + scratch + ": " + outcome.error);
    if (outcome.status == Status::Refused || outcome.status == Status::DeviceFailed)
        throw std::runtime_error(OneLine(CaptureFailureMessage(outcome)));
    if (outcome.status == Status::Dropped) {
        std::fprintf(stderr, "%s\n", kFramesDroppedMessage);
        std::fflush(stderr);
    }
    std::printf("frames captured: %d\nframes dropped: %d\n", outcome.framesCaptured, outcome.framesDropped);
    if (outcome.status != Status::Captured) return 1;
    CopyFileAtomically(scratch, out);
    return 0;
}

}  // namespace kadivo::cli
