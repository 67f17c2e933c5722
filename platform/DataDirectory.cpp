#include "DataDirectory.h"

#include <cstdlib>
#include <filesystem>

namespace kadivo {

std::string DataDirectory() {
    if (const char* dir = std::getenv("kadivodir"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/Kadivo";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/Kadivo";
}

std::string CacheDirectory() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) return std::string(xdg) + "/Kadivo";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.cache/Kadivo";
}

std::string JournalDirectory() {
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg) return std::string(xdg) + "/Kadivo/journal";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/state/Kadivo/journal";
}

std::string DataFilePath(const std::string& name) {
    return (std::filesystem::path(DataDirectory()) / name).string();
}

}  // namespace kadivo
