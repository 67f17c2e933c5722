#pragma once

#include "SettingsStore.h"

#include <string>

namespace kadivo {

// Puts `path` first in the "AVIFiles" list ("File1".."File5"), moving the others down one.
void RememberRecentVideoFile(SettingsStore& settings, const std::string& path);

}  // namespace kadivo
