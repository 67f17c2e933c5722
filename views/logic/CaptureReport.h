#pragma once

#include "CaptureDevice.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// NTSC when a supported frame size (the current one when none are listed) is 320, 640,
// 160 or 400 pixels wide; PAL/SECAM otherwise.
bool IsNtsc(const CaptureAbilities& abilities, const CaptureFormat& format);

// The text of "Capture Driver Info", lines ending in CR LF. `connected` is null when no
// driver is connected.
std::string CaptureDriverReport(const std::vector<CaptureDriverName>& drivers, const CaptureDevice* connected);

}  // namespace kadivo
