#pragma once

#include "SettingsValues.h"
#include "StartupRules.h"

namespace kadivo {

// What "Kadivo Preferences" edits: the start-up action and the capture file.
struct ProgramPreferences {
    StartupOption startup = StartupOption::DoNothing;
    CaptureFileSettings capture;
    friend bool operator==(const ProgramPreferences&, const ProgramPreferences&) = default;
};

// The stored preferences as the dialog shows them; the capture file defaults to
// `defaultCaptureFolder`.
ProgramPreferences LoadPreferences(const SettingsStore& settings, const std::string& defaultCaptureFolder);
void StorePreferences(SettingsStore& settings, const ProgramPreferences& preferences);

}  // namespace kadivo
