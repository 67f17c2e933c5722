#include "DltCoefficientsExport.h"

#include "AppendFormat.h"
#include "CKadivoDoc.h"
#include "ExportPath.h"
#include "TextExports.h"

namespace kadivo {

std::string DltCoefficientsText(const DltParameterTable& table) {
    std::string text;
    for (int j = 1; j <= table.parameterCount; ++j) {
        for (int view = 1; view <= table.viewCount; ++view)
            AppendFormat(text, view == 1 ? "%.15g" : ",%.15g", table.GetParameter(j, view));
        text += "\n";
    }
    return text;
}

void ExportDltCoefficientsFile(CKadivoDoc& doc) {
    if (!doc.dltValid) {
        doc.prompts().ShowMessage("The camera views are not calibrated: transform the image data or import DLT coefficients first.");
        return;
    }
    const std::optional<std::string> path = ChooseExportPath(doc, "csv", kDltCoefficientsFilter);
    if (path) WriteExportFile(doc, *path, DltCoefficientsText(doc.dlt), kDataFileFailure);
}

}  // namespace kadivo
