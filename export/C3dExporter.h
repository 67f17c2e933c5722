#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;

// Writes the smoothed trajectories of every model point as a C3D file that standard readers
// open: the 512-byte header, a parameter section (groups POINT and ANALOG, Intel byte
// order) and the floating-point point records of every frame. A record's fourth word is
// 0.0 for a reconstructed point and −1.0 for one that holds the missing marker.
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
