#include "ProfileWriter.h"

#include "FileIo.h"
#include "Prompts.h"

#include <filesystem>
#include <mutex>
#include <set>

namespace kadivo {

bool SaveProfileText(const std::string& path, const std::string& text, const std::string& readError, Prompts& prompts) {
    if (!readError.empty()) {
        prompts.ShowMessage(std::string(kProfileSaveFailure) + "\nIt could not be read (" + readError +
                            "), so it is left as it is.");
        return false;
    }
    try {
        std::error_code ignored;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
        AtomicFile file(path);
        file.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        file.Commit();
        return true;
    } catch (const FileIoError& error) {
        prompts.ShowMessage(std::string(kProfileSaveFailure) + "\n" + error.what());
        return false;
    }
}

void ReportUnreadableDatabase(const std::string& readError, Prompts& prompts) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    if (readError.empty()) return;
    {
        std::lock_guard lock(mutex);
        if (!reported.insert(readError).second) return;
    }
    prompts.ShowMessage("A profile database could not be read:\n" + readError +
                        "\nIts profiles are left out, and it is not saved over until it can be read.");
}

}  // namespace kadivo
