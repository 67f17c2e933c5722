#pragma once

#include "AviWriter.h"
#include "SettingsStore.h"
#include "WindowState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

// Whole numbers in the settings store; a value that is not one reads as `fallback`.
int GetInt(const SettingsStore& settings, const std::string& section, const std::string& key, int fallback);
void SetInt(SettingsStore& settings, const std::string& section, const std::string& key, int value);

// A new analysis window: one graph, in the colours of the "DataWnd" settings.
GraphWindowState NewGraphWindowState(const SettingsStore& settings);

// The visibility of a secondary toolbar under "Toolbars" ("AviBar", "CAPBar", ...).
bool ToolbarVisible(const SettingsStore& settings, const std::string& key);
void StoreToolbarVisible(SettingsStore& settings, const std::string& key, bool visible);

// A most-recently-used list of `capacity` paths under `section` as "File1".."FileN".
class RecentFileList {
public:
    RecentFileList(SettingsStore& settings, std::string section, int capacity);
    // The paths, most recent first; empty entries are left out.
    std::vector<std::string> Paths() const;
    // Puts `path` first; an entry already listed moves up.
    void Add(const std::string& path);
    void Remove(const std::string& path);

private:
    void Store(const std::vector<std::string>& paths);

    SettingsStore& settings_;
    std::string section_;
    int capacity_;
};

// The recent sequences: five under "Recent File List".
RecentFileList RecentSequences(SettingsStore& settings);

// An entry of the recent-video drop-down of "Open Video".
struct RecentVideoEntry {
    std::string text;  // "&1 %s" .. "&5 %s" after "File1" .. "File5"
    std::string path;
    friend bool operator==(const RecentVideoEntry&, const RecentVideoEntry&) = default;
};

// "AVIFiles"/"File1".."File5" without the empty ones.
std::vector<RecentVideoEntry> RecentVideoEntries(const SettingsStore& settings);

// Where the capture window records before "Save Video As...", and the space given to the
// file before each recording: "Capture"/"Folder" and "Capture"/"Megabytes".
struct CaptureFileSettings {
    static constexpr int kMinMegabytes = 1, kMaxMegabytes = 65536;
    static constexpr int kDefaultMegabytes = static_cast<int>(kDefaultCaptureFileBytes >> 20);
    std::string folder;
    int megabytes = kDefaultMegabytes;

    std::string Path() const { return folder + "/captmp.avi"; }
    std::uint64_t Bytes() const { return static_cast<std::uint64_t>(megabytes) << 20; }
    friend bool operator==(const CaptureFileSettings&, const CaptureFileSettings&) = default;
};

// The stored settings; an empty folder is `defaultFolder`, a size out of range the default.
CaptureFileSettings CaptureFileSettingsOf(const SettingsStore& settings, const std::string& defaultFolder);
void StoreCaptureFileSettings(SettingsStore& settings, const CaptureFileSettings& capture);

}  // namespace kadivo
