#pragma once

#include <string>

namespace kadivo {

class Prompts;

inline constexpr const char* kProfileSaveFailure = "The Model Configuration file can not be created!";

// Writes a profile database's text through a temporary file, creating the data folder
// when needed. On failure shows "The Model Configuration file can not be created!" with the
// system's reason on a second line and leaves the old file; returns whether it was written.
// `readError` is the reason the database could not be read when it was loaded: such a file
// is refused, since writing would replace profiles this run never saw.
bool SaveProfileText(const std::string& path, const std::string& text, const std::string& readError, Prompts& prompts);

// Tells the user that a database exists but could not be read (`readError` names the file
// and the reason), once per file and reason in a run of the program; nothing when
// `readError` is empty.
void ReportUnreadableDatabase(const std::string& readError, Prompts& prompts);

}  // namespace kadivo
