#pragma once

#include <string>

namespace kadivo {

// The folder of the running program (from /proc/self/exe).
std::string ProgramFolder();

// Where a file the program ships is found: beside the program in the build tree, or in
// the installed tree's share/kadivo relative to the program's bin folder. Empty when it
// is in neither.
std::string ShippedDataFile(const std::string& programFolder, const std::string& name);

// The folder of the video module in the installed tree, relative to the program's folder.
std::string InstalledModuleFolder(const std::string& programFolder);

}  // namespace kadivo
