#pragma once

#include "CaptureDevice.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;

namespace kadivo {

// "Video Format": the frame size among the device's sizes; nothing when cancelled.
std::optional<FrameSize> RunVideoFormatDialog(QWidget* parent, const CaptureAbilities& abilities,
                                              const CaptureFormat& current);
// "Video Source": the device's picture settings; true on OK with the values edited.
bool RunVideoSourceDialog(QWidget* parent, std::vector<CaptureControl>& controls);
// "Capture device info": the driver report, read-only, and OK.
void ShowCaptureDriverReport(QWidget* parent, const QString& report);

}  // namespace kadivo
