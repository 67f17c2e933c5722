#pragma once

#include <cstdint>

namespace kadivo {

// Σ t·s for every placement of a square template of grey levels (0 … 15) inside a square
// window of levels: out[v · P + u] = Σ t(c, r) · s(u + c, v + r), with P = window − template
// placements a side. Both template methods are built from these sums.
void CorrelateLevels(const std::uint8_t* window, int windowSize, const std::uint8_t* templ, int templateSize,
                     std::int32_t* out);

}  // namespace kadivo
