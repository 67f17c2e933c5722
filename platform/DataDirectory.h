#pragma once

#include <string>

namespace kadivo {

// The folder of the profile databases and the program's data files: the environment
// variable "kadivodir" when it is set, otherwise the user's data folder
// ($XDG_DATA_HOME/Kadivo, or ~/.local/share/Kadivo).
std::string DataDirectory();

// `name` inside the data directory.
std::string DataFilePath(const std::string& name);

// The folder of files the program can make again, such as recordings not saved yet:
// $XDG_CACHE_HOME/Kadivo, or ~/.cache/Kadivo.
std::string CacheDirectory();

// The folder of the journals of unsaved edits, kept for recovery after a crash:
// $XDG_STATE_HOME/Kadivo/journal, or ~/.local/state/Kadivo/journal.
std::string JournalDirectory();

}  // namespace kadivo
