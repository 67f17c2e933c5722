#pragma once

#include <optional>
#include <string>

namespace kadivo {

class SettingsStore;

inline constexpr const char* kTipsFileMissing = "Tips file does not exist in the prescribed directory";
inline constexpr const char* kTipsFileUnreadable = "Trouble reading the tips file";

// The tips file, a tip a line, read on from where the last tip ended and round again at its
// end. The read position and the file's time stamp live under "Tip"; a file with another
// time stamp is read from its start again.
class TipOfTheDay {
public:
    TipOfTheDay(SettingsStore& settings, std::string path);

    // The next tip; nothing, with `error` set to the message to show, when the file is
    // missing or has no tip.
    std::optional<std::string> NextTip(std::string& error);

    bool ShowAtStartup() const;
    void SetShowAtStartup(bool show);

private:
    SettingsStore& settings_;
    std::string path_;
};

// The file's modification time as the C library writes it ("Wed Jun 30 21:49:08 1993"),
// empty when it has none.
std::string FileTimeStamp(const std::string& path);

}  // namespace kadivo
