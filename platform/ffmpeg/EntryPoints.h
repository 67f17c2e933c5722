#pragma once

// What the modules' entry points share: how they are exported, and how they hand text back.

#include "ModuleExport.h"

#include <cstring>
#include <string>

namespace kadivo::ffmpeg {

inline void CopyText(const std::string& text, char* buffer, int size) {
    if (size <= 0) return;
    std::strncpy(buffer, text.c_str(), static_cast<std::size_t>(size) - 1);
    buffer[size - 1] = '\0';
}

}  // namespace kadivo::ffmpeg
