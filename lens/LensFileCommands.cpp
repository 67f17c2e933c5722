#include "LensFileCommands.h"

#include "CKadivoDoc.h"
#include "ExportPath.h"
#include "LensFile.h"
#include "TextExports.h"
#include "VideoLinks.h"

namespace kadivo {

void OpenLensFileFromBox(CKadivoDoc& doc) {
    Prompts& prompts = doc.prompts();
    const std::optional<std::string> path = prompts.ChooseOpenFile(BesideSequence(doc.pathName(), "*.lens"), "lens", kLensFileFilter);
    if (!path) return;
    try {
        doc.SetViewLens(doc.currentView, ReadLensFile(*path).lens);
    } catch (const LensFileError& error) {
        prompts.ShowMessage(std::string("The lens could not be read.\n") + error.what());
    }
}

void SaveLensFileFromBox(CKadivoDoc& doc) {
    const std::optional<LensModel>& lens = doc.current().lens;
    if (!lens) {
        doc.prompts().ShowMessage("The camera view has no lens: calibrate it from a checkerboard or open a lens file first.");
        return;
    }
    const std::optional<std::string> path = ChooseExportPath(doc, "lens", kLensFileFilter);
    if (path) WriteExportFile(doc, *path, FormatLensFile({*lens, std::nullopt}), kDataFileFailure);
}

}  // namespace kadivo
