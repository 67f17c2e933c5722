#include "VideoLinks.h"

#include <filesystem>
#include <system_error>

namespace kadivo {

namespace fs = std::filesystem;

namespace {

fs::path SequenceFolder(const std::string& sequencePath) {
    return fs::absolute(fs::path(sequencePath)).lexically_normal().parent_path();
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

}  // namespace

std::string BesideSequence(const std::string& sequencePath, const std::string& name) {
    const std::size_t slash = sequencePath.rfind('/');
    return slash == std::string::npos ? name : sequencePath.substr(0, slash + 1) + name;
}

std::string VideoBareName(const std::string& stored) {
    const auto cut = stored.find_last_of("\\/");
    return cut == std::string::npos ? stored : stored.substr(cut + 1);
}

std::string VideoLinkFor(const std::string& videoPath, const std::string& sequencePath) {
    const fs::path video(videoPath);
    if (sequencePath.empty() || !video.is_absolute()) return videoPath;
    const fs::path relative = video.lexically_normal().lexically_relative(SequenceFolder(sequencePath));
    if (relative.empty()) return videoPath;
    int levelsUp = 0;
    for (const fs::path& part : relative) levelsUp += part == ".." ? 1 : 0;
    // Further up, the two are unlikely to move together.
    return levelsUp <= 1 ? relative.string() : videoPath;
}

std::vector<std::string> VideoCandidates(const std::string& stored, const std::string& sequencePath) {
    std::vector<std::string> candidates;
    if (stored.empty()) return candidates;
    const bool relative = !fs::path(stored).is_absolute();
    if (relative && !sequencePath.empty()) candidates.push_back((SequenceFolder(sequencePath) / stored).lexically_normal().string());
    candidates.push_back(stored);
    const std::string bare = VideoBareName(stored);
    if (!sequencePath.empty()) candidates.push_back((SequenceFolder(sequencePath) / bare).string());
    candidates.push_back(bare);
    return candidates;
}

std::string FindVideo(const std::string& stored, const std::string& sequencePath) {
    for (const std::string& candidate : VideoCandidates(stored, sequencePath))
        if (!candidate.empty() && IsFile(candidate)) return fs::absolute(candidate).lexically_normal().string();
    return {};
}

std::string UnfoundVideoPath(const std::string& stored, const std::string& sequencePath) {
    if (sequencePath.empty() || fs::path(stored).is_absolute() || stored.find('\\') != std::string::npos) return stored;
    return (SequenceFolder(sequencePath) / stored).lexically_normal().string();
}

}  // namespace kadivo
