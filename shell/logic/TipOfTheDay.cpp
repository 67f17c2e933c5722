#include "TipOfTheDay.h"

#include "SettingsValues.h"

#include <sys/stat.h>

#include <ctime>
#include <fstream>

namespace kadivo {

namespace {

constexpr const char* kSection = "Tip";

// The next line that holds text, from `in`'s position on; false at the end of the file.
bool NextLine(std::ifstream& in, std::string& line) {
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::string FileTimeStamp(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    char text[32] = {};
    if (!ctime_r(&info.st_mtime, text)) return {};
    std::string stamp = text;
    while (!stamp.empty() && stamp.back() == '\n') stamp.pop_back();
    return stamp;
}

TipOfTheDay::TipOfTheDay(SettingsStore& settings, std::string path) : settings_(settings), path_(std::move(path)) {}

std::optional<std::string> TipOfTheDay::NextTip(std::string& error) {
    std::ifstream in(path_, std::ios::binary);
    const std::string stamp = FileTimeStamp(path_);
    if (!in || stamp.empty()) {
        error = kTipsFileMissing;
        return std::nullopt;
    }
    if (settings_.GetString(kSection, "TimeStamp", "") != stamp) {
        SetInt(settings_, kSection, "FilePos", 0);
        settings_.SetString(kSection, "TimeStamp", stamp);
    }
    const int position = GetInt(settings_, kSection, "FilePos", 0);
    in.seekg(position < 0 ? 0 : position);
    std::string tip;
    if (!in || !NextLine(in, tip)) {
        in.clear();
        in.seekg(0);
        if (!NextLine(in, tip)) {
            error = kTipsFileUnreadable;
            return std::nullopt;
        }
    }
    in.clear();
    const std::streamoff next = in.tellg();
    SetInt(settings_, kSection, "FilePos", next < 0 ? 0 : static_cast<int>(next));
    return tip;
}

bool TipOfTheDay::ShowAtStartup() const { return GetInt(settings_, kSection, "StartUp", 0) != 0; }

void TipOfTheDay::SetShowAtStartup(bool show) { SetInt(settings_, kSection, "StartUp", show ? 1 : 0); }

}  // namespace kadivo
