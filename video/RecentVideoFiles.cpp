#include "RecentVideoFiles.h"

namespace kadivo {

void RememberRecentVideoFile(SettingsStore& settings, const std::string& path) {
    const std::string section = "AVIFiles";
    for (int k = 4; k >= 1; --k)
        settings.SetString(section, "File" + std::to_string(k + 1), settings.GetString(section, "File" + std::to_string(k), ""));
    settings.SetString(section, "File1", path);
}

}  // namespace kadivo
