#pragma once

#include "DltParameterTable.h"

#include <string>

namespace kadivo {

class CKadivoDoc;

// The DLT coefficients of every camera view as DLTdv and Argus share them: a line a
// coefficient (11, or 8 for a planar calibration), a column a camera, separated by commas,
// each number to 15 significant digits.
std::string DltCoefficientsText(const DltParameterTable& table);

// "Export DLT Coefficients...": the views' calibration into a file chosen in the file box;
// says so when the sequence has no valid calibration.
void ExportDltCoefficientsFile(CKadivoDoc& doc);

}  // namespace kadivo
