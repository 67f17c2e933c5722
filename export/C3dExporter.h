#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// Writes the smoothed trajectories of every model point as a C3D file that standard readers
// open: the 512-byte header with an empty event section, a parameter section (groups POINT
// with labels, descriptions and units, ANALOG, TRIAL with the first and last frame as two
// words each, for trials longer than a 16-bit count, and EVENT; Intel byte order) and the
// floating-point point records of every frame. A reconstructed point has a residual of 0.0;
// a missing one is invalid: coordinates 0.0 and residual −1.0.
class C3dExporter {
public:
    explicit C3dExporter(CKadivoDoc& doc) : doc_(doc) {}
    std::vector<std::uint8_t> Bytes() const;
    // Writes `path`; shows "The C3D File could not be created!" when it cannot be created.
    bool Write(const std::string& path) const;

private:
    CKadivoDoc& doc_;
};

}  // namespace kadivo
