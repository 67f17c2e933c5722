#include "ProfileWriter.h"

#include "Prompts.h"
#include "FileIo.h"

#include <filesystem>

namespace kadivo {

bool SaveProfileText(const std::string& path, const std::string& text, Prompts& prompts) {
    try {
        std::error_code ignored;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
        AtomicFile file(path);
        file.Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        file.Commit();
        return true;
    } catch (const FileIoError&) {
        prompts.ShowMessage("The Model Configuration file can not be created!");
        return false;
    }
}

}  // namespace kadivo
