#pragma once

#include "rastel.h"

namespace rastel {

// The maximum or minimum over an nCols × nRows neighbourhood, without argument checks;
// `name` is the function the caller reports under.
void ExtremumFilter(const char* name, bool maximum, const VopImage* src, VopImage* dst, int nCols, int nRows, int anchorX,
                    int anchorY);

}  // namespace rastel
