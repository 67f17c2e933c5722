#pragma once

#include <string>

namespace kadivo {

class Prompts;

// Writes a profile database's text through a temporary file, creating the data folder
// when needed. On failure shows "The Model Configuration file can not be created!" and
// leaves the old file; returns whether it was written.
bool SaveProfileText(const std::string& path, const std::string& text, Prompts& prompts);

}  // namespace kadivo
