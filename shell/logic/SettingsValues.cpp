#include "SettingsValues.h"

#include <algorithm>
#include <charconv>

namespace kadivo {

int GetInt(const SettingsStore& settings, const std::string& section, const std::string& key, int fallback) {
    const std::string text = settings.GetString(section, key, "");
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}

void SetInt(SettingsStore& settings, const std::string& section, const std::string& key, int value) {
    settings.SetString(section, key, std::to_string(value));
}

bool ToolbarVisible(const SettingsStore& settings, const std::string& key) {
    return GetInt(settings, "Toolbars", key, 0) != 0;
}

void StoreToolbarVisible(SettingsStore& settings, const std::string& key, bool visible) {
    SetInt(settings, "Toolbars", key, visible ? 1 : 0);
}

RecentFileList::RecentFileList(SettingsStore& settings, std::string section, int capacity)
    : settings_(settings), section_(std::move(section)), capacity_(capacity) {}

std::vector<std::string> RecentFileList::Paths() const {
    std::vector<std::string> paths;
    for (int k = 1; k <= capacity_; ++k) {
        std::string path = settings_.GetString(section_, "File" + std::to_string(k), "");
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

void RecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string> paths = Paths();
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    Store(paths);
}

void RecentFileList::Remove(const std::string& path) {
    std::vector<std::string> paths = Paths();
    std::erase(paths, path);
    Store(paths);
}

void RecentFileList::Store(const std::vector<std::string>& paths) {
    for (int k = 1; k <= capacity_; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        settings_.SetString(section_, "File" + std::to_string(k), i < paths.size() ? paths[i] : std::string());
    }
}

RecentFileList RecentSequences(SettingsStore& settings) { return RecentFileList(settings, "Recent File List", 5); }

std::vector<RecentVideoEntry> RecentVideoEntries(const SettingsStore& settings) {
    std::vector<RecentVideoEntry> entries;
    for (int k = 1; k <= 5; ++k) {
        const std::string path = settings.GetString("AVIFiles", "File" + std::to_string(k), "");
        if (!path.empty()) entries.push_back({"&" + std::to_string(k) + " " + path, path});
    }
    return entries;
}

GraphWindowState NewGraphWindowState(const SettingsStore& settings) {
    GraphWindowState state;
    state.backgroundColor = GetInt(settings, "DataWnd", "Default Color", 0);
    state.defaultCurveColor = GetInt(settings, "DataWnd", "Default Curve Color", 0xC8C8C8);
    state.defaultGraphColor = GetInt(settings, "DataWnd", "Default Graph Color", 0xC8C8C8);
    DataGraphState graph;
    graph.graphColor = state.defaultGraphColor;
    graph.curveColor = state.defaultCurveColor;
    state.graphs = {graph};
    return state;
}

CaptureFileSettings CaptureFileSettingsOf(const SettingsStore& settings, const std::string& defaultFolder) {
    CaptureFileSettings capture;
    capture.folder = settings.GetString("Capture", "Folder", "");
    if (capture.folder.empty()) capture.folder = defaultFolder;
    const int megabytes = GetInt(settings, "Capture", "Megabytes", CaptureFileSettings::kDefaultMegabytes);
    if (megabytes >= CaptureFileSettings::kMinMegabytes && megabytes <= CaptureFileSettings::kMaxMegabytes)
        capture.megabytes = megabytes;
    return capture;
}

void StoreCaptureFileSettings(SettingsStore& settings, const CaptureFileSettings& capture) {
    settings.SetString("Capture", "Folder", capture.folder);
    SetInt(settings, "Capture", "Megabytes", capture.megabytes);
}

}  // namespace kadivo
