#include "ExportPath.h"

#include "CKadivoDoc.h"

#include <fstream>

namespace kadivo {

std::optional<std::string> ChooseExportPath(CKadivoDoc& doc, const std::string& extension, const std::string& filter) {
    const std::string& path = doc.pathName();
    const std::string stem = path.size() > 4 ? path.substr(0, path.size() - 4) : path;
    std::optional<std::string> chosen = doc.prompts().ChooseSaveFile(stem + "." + extension, extension, filter);
    if (!chosen) return std::nullopt;
    if (std::ifstream(*chosen).good() &&
        doc.prompts().Ask("Overwrite exsisting File ?", Buttons::YesNoCancel) != Answer::Yes)
        return std::nullopt;
    return chosen;
}

}  // namespace kadivo
