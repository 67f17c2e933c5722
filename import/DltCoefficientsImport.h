#pragma once

#include "DltParameterTable.h"

#include <stdexcept>
#include <string>

namespace kadivo {

class CKadivoDoc;

// A file of DLT coefficients that cannot be used: the message names the file and the line.
class DltCoefficientsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// DLT coefficients as DLTdv and Argus write them, for a sequence of `viewCount` camera views:
// a line a coefficient, a column a camera (commas, tabs or spaces between them), 11 lines for
// two or more views, 8 for the planar calibration of one view.
DltParameterTable ReadDltCoefficients(const std::string& text, const std::string& fileName, int viewCount);
// The same from the file at `path`; a file that cannot be read is a DltCoefficientsError too.
DltParameterTable ReadDltCoefficientsFile(const std::string& path, int viewCount);

// "Import DLT Coefficients...": a file chosen in the file box (beside the sequence) becomes
// the sequence's calibration; a file that does not fit is reported and nothing changes.
void ImportDltCoefficientsFromBox(CKadivoDoc& doc);

}  // namespace kadivo
