#include "CaptureDevice.h"

namespace kadivo {

std::vector<CaptureDriverName> ListCaptureDrivers(const std::function<std::optional<CaptureDriverName>(int)>& describe) {
    constexpr int kMaxDrivers = 10;
    std::vector<CaptureDriverName> drivers;
    for (int index = 0; index < kMaxDrivers; ++index) {
        std::optional<CaptureDriverName> driver = describe(index);
        if (!driver) break;
        drivers.push_back(std::move(*driver));
    }
    return drivers;
}

std::vector<CaptureDriverName> ListCaptureDrivers(const CaptureDrivers& drivers) {
    return ListCaptureDrivers([&drivers](int index) { return drivers.Description(index); });
}

}  // namespace kadivo
