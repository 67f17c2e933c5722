#include "ProgramPreferences.h"

namespace kadivo {

ProgramPreferences LoadPreferences(const SettingsStore& settings, const std::string& defaultCaptureFolder) {
    return {PreferencesStartupOption(settings), CaptureFileSettingsOf(settings, defaultCaptureFolder)};
}

void StorePreferences(SettingsStore& settings, const ProgramPreferences& preferences) {
    StoreStartupOption(settings, preferences.startup);
    StoreCaptureFileSettings(settings, preferences.capture);
}

}  // namespace kadivo
