#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kadivo::test {

// Little-endian field appender for crafting sequence files by hand in tests, independent
// of the program's own writer.
class RawBytes {
public:
    RawBytes& u8(std::uint8_t v) { bytes.push_back(v); return *this; }
    RawBytes& u16(std::uint16_t v) { return raw(&v, 2); }
    RawBytes& i32(std::int32_t v) { return raw(&v, 4); }
    RawBytes& f32(float v) { return raw(&v, 4); }
    RawBytes& f64(double v) { return raw(&v, 8); }
    RawBytes& str(const std::string& s) {
        if (s.size() < 255) {
            u8(static_cast<std::uint8_t>(s.size()));
        } else if (s.size() < 0xFFFE) {
            u8(0xFF).u16(static_cast<std::uint16_t>(s.size()));
        } else {
            u8(0xFF).u16(0xFFFF).i32(static_cast<std::int32_t>(s.size()));
        }
        return raw(s.data(), s.size());
    }
    RawBytes& raw(const void* p, std::size_t n) {
        const auto* c = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), c, c + n);
        return *this;
    }
    std::vector<std::uint8_t> bytes;
};

// What a crafted file holds; the defaults give a one-view, two-point version 3 sequence.
struct CraftedSequence {
    int version = 3;
    int views = 1;
    int points = 2;
    int calibrationPoints = 4;
    int recordsPerView = 1;
    int digitizedCount = 2;
    int worldFrames = 0;
    int windows = 1;  // digitizing windows on view 0
    std::string videoName = "walk.avi";
    std::string title;
    int frameStep = 1;
    int zoomCode = 3;
    int streamChoice = 0;
};

inline std::vector<std::uint8_t> CraftSequence(const CraftedSequence& c) {
    RawBytes f;
    f.i32(c.views).i32(c.points);
    for (int v = 0; v < c.views; ++v) f.i32(7 + v);  // current frames
    f.i32(0).i32(1).i32(15).i32(15).i32(50).i32(50).str("");
    f.i32(0).i32(1).i32(0).f32(0.04f).i32(0).i32(1).i32(1).f32(6.0f).i32(0).i32(2).f64(-1.0);
    f.i32(c.version).i32(c.zoomCode).i32(1);
    for (int v = 0; v < c.views; ++v) f.i32(0).i32(c.recordsPerView);
    f.i32(c.calibrationPoints).i32(1).i32(c.frameStep);
    for (int v = 0; v < c.views; ++v)
        for (int p = 0; p < c.points; ++p) f.i32(p == 0 ? 1 : 0).i32(0);
    f.i32(0).i32(1);
    for (int p = 0; p < c.points; ++p) {
        f.str("Point " + std::to_string(p + 1)).i32(p % 3);
        if (p + 1 < c.points) {
            f.i32(1).i32(p + 1).str("Segment 1").f32(0.5f).f32(0.25f);
        } else {
            f.i32(0);
        }
    }
    for (int v = 0; v < c.views; ++v) {
        f.i32(v);
        for (int r = 0; r < c.recordsPerView; ++r) {
            f.u8(0).i32(r);
            for (int p = 0; p < c.points; ++p) f.f32(1.5f * static_cast<float>(p)).f32(2.5f).i32(3).i32(4).i32(3);
            f.i32(c.digitizedCount);
        }
        f.u8(0).i32(-1).i32(c.calibrationPoints);
        for (int p = 0; p <= c.calibrationPoints; ++p) f.f32(-1.0f).f32(-1.0f).i32(-1).i32(-1).i32(3);
        f.i32(0).str(v == 0 ? c.videoName : "").str("");
    }
    if (c.calibrationPoints > 0)
        for (int p = 0; p <= c.calibrationPoints; ++p) f.f64(p).f64(2.0 * p).f64(0.0);
    f.i32(c.worldFrames);
    for (int array = 0; array < 2; ++array)
        for (int w = 0; w < c.worldFrames; ++w)
            for (int p = 0; p <= c.points; ++p) f.f64(w + array).f64(p).f64(0.5);
    if (c.version == 2 || c.version == 3) {
        f.i32(c.windows);
        for (int v = 0; v < c.views; ++v) f.i32(c.zoomCode).i32(c.streamChoice);
        for (int w = 0; w < c.windows; ++w) {
            f.i32(2).i32(1).i32(-4).i32(-4).i32(-1).i32(-1).i32(500).i32(0).i32(700).i32(0).i32(1);
            for (int k = 0; k < 41; ++k) f.i32(k == 1 || k == 2 ? 25 : (k == 20 ? -1 : 0));
        }
    }
    if (c.version == 3) {
        for (int v = 0; v < c.views; ++v) f.i32(0).i32(c.streamChoice);
        f.i32(0).i32(0);
    }
    return f.bytes;
}

}  // namespace kadivo::test
