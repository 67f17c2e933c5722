#include "CKadivoDoc.h"
#include "VideoLinks.h"

#include <cstdio>
#include <filesystem>

namespace kadivo {

void CKadivoDoc::ReopenVideos(bool useStoredStreams) {
    for (int v = 0; v < viewCount(); ++v) {
        CameraView& view = views[static_cast<std::size_t>(v)];
        ViewFrameStore& store = view.frameStore;
        if (!store.calibrationVideoName.empty()) store.calibrationVideoName = LinkedVideoPath(store.calibrationVideoName);
        if (store.videoFileName.empty()) continue;
        const int stream = useStoredStreams ? view.videoSource->StreamIndex() : 0;
        std::string name = store.videoFileName;
        const LinkedVideo opened = OpenLinkedVideo(view, v, name, stream);
        store.videoFileName = name;
        if (opened != LinkedVideo::Opened) {
            if (opened == LinkedVideo::Unreadable) prompts_.ShowMessage("Unable to Open Video File");
            continue;
        }
        view.videoSource->SetFirstField(options.firstField);
        view.frameSize = view.videoSource->DisplaySize();
        view.videoSource->FetchFrame(0, false);
    }
}

std::string CKadivoDoc::LinkedVideoPath(const std::string& stored) const {
    if (std::string found = FindVideo(stored, path_); !found.empty()) return found;
    for (const std::string& folder : locatedFolders_)
        if (std::string found = FindVideo((std::filesystem::path(folder) / VideoBareName(stored)).string(), {}); !found.empty())
            return found;
    return UnfoundVideoPath(stored, path_);
}

CKadivoDoc::LinkedVideo CKadivoDoc::OpenLinkedVideo(CameraView& view, int v, std::string& name, int storedStream) {
    const auto open = [&](std::string candidate) {
        if (!view.videoSource->Open(candidate, path_, options.firstField, storedStream)) return LinkedVideo::Unreadable;
        name = candidate;
        return LinkedVideo::Opened;
    };
    std::string opened = name;
    if (open(opened) == LinkedVideo::Opened) return LinkedVideo::Opened;
    // A file that is there but does not open is no question of where it is.
    if (!FindVideo(name, path_).empty()) return LinkedVideo::Unreadable;
    const std::string bare = VideoBareName(name);
    for (const std::string& folder : locatedFolders_) {
        const std::string there = FindVideo((std::filesystem::path(folder) / bare).string(), {});
        if (there.empty()) continue;
        if (open(there) != LinkedVideo::Opened) return LinkedVideo::Unreadable;
        relinked_ = true;
        return LinkedVideo::Opened;
    }
    char question[1200];
    std::snprintf(question, sizeof question, "The video \"%s\" of camera view %d was not found. Locate it?", name.c_str(), v + 1);
    const std::optional<std::string> chosen = prompts_.Ask(question, Buttons::YesNo) == Answer::Yes
                                                  ? prompts_.ChooseOpenFile(BesideSequence(path_, bare), "avi", kVideoFileFilter)
                                                  : std::nullopt;
    if (!chosen) {
        name = UnfoundVideoPath(name, path_);
        return LinkedVideo::NotLocated;
    }
    if (open(*chosen) != LinkedVideo::Opened) return LinkedVideo::Unreadable;
    locatedFolders_.push_back(std::filesystem::path(name).parent_path().string());
    relinked_ = true;
    return LinkedVideo::Opened;
}

}  // namespace kadivo
