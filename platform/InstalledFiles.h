#pragma once

#include <string>

namespace kadivo {

// The running program's file, and its folder (from /proc/self/exe).
std::string ProgramPath();
std::string ProgramFolder();

// Where a file the program ships is found: beside the program in the build tree, or in
// the installed tree's share/kadivo relative to the program's bin folder. Empty when it
// is in neither.
std::string ShippedDataFile(const std::string& programFolder, const std::string& name);

// The folder of the modules in the installed tree, relative to the program's folder.
std::string InstalledModuleFolder(const std::string& programFolder);

}  // namespace kadivo
