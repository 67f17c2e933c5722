#include "InstalledFiles.h"

#include <filesystem>

namespace kadivo {

std::string ProgramPath() {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).string();
}

std::string ProgramFolder() { return std::filesystem::path(ProgramPath()).parent_path().string(); }

std::string ShippedDataFile(const std::string& programFolder, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    for (const fs::path& candidate : {fs::path(programFolder) / name, fs::path(programFolder) / KADIVO_BIN_TO_DATA / name})
        if (fs::is_regular_file(candidate, ignored)) return candidate.lexically_normal().string();
    return {};
}

std::string InstalledModuleFolder(const std::string& programFolder) {
    return (std::filesystem::path(programFolder) / KADIVO_BIN_TO_MODULES).lexically_normal().string();
}

}  // namespace kadivo
