#pragma once

#include "rastel.h"

#include <cstddef>
#include <cstdint>

namespace rastel {

// The maximum or minimum over an nCols × nRows neighbourhood, without argument checks;
// `name` is the function the caller reports under.
void ExtremumFilter(const char* name, bool maximum, const VopImage* src, VopImage* dst, int nCols, int nRows, int anchorX,
                    int anchorY);

// One byte run of a 3 × 3 maximum or minimum over interleaved rows (a pixel's neighbour
// `nc` bytes away): down the three rows into `column` (bytes + 2 · nc long), then along it.
// `column` and `out` share no byte with each other or with the rows.
void Extremum3x3Row(bool maximum, const std::uint8_t* r0, const std::uint8_t* r1, const std::uint8_t* r2,
                    std::uint8_t* column, std::uint8_t* out, std::size_t bytes, int nc);

}  // namespace rastel
