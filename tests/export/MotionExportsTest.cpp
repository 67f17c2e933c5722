#include "BvhExporter.h"
#include "C3dExporter.h"
#include "CsmExporter.h"
#include "ExportFixture.h"

#include <cmath>
#include <cstring>

namespace kadivo::test {
namespace {

using MotionExports = ExportFixture;

// A chain of eight points bending a little more every frame.
Point3 Chain(int p, int f) {
    const double a = 0.1 * p + 0.01 * f;
    return {0.3 * p + 0.1, 0.5 * std::sin(a) + 0.2 * p, 0.4 * std::cos(a * 1.3)};
}

// BVH as a reader sees it: channels declared by the hierarchy, values per motion line.
struct BvhFile {
    int declaredChannels = 0;
    int frames = -1;
    std::string frameTime;
    std::vector<std::vector<std::string>> motion;
};

BvhFile ReadBvh(const std::string& text) {
    BvhFile file;
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') lines.push_back(line), line.clear();
        else line.push_back(c);
    }
    std::size_t i = 0;
    for (; i < lines.size() && lines[i] != "MOTION"; ++i) {
        const std::size_t at = lines[i].find("CHANNELS ");
        if (at != std::string::npos) file.declaredChannels += std::stoi(lines[i].substr(at + 9));
    }
    if (i + 2 >= lines.size()) return file;
    file.frames = std::stoi(lines[i + 1].substr(std::string("Frames:\t").size()));
    file.frameTime = lines[i + 2].substr(std::string("Frame Time:\t").size());
    for (std::size_t k = i + 3; k < lines.size(); ++k) {
        std::vector<std::string> values(1);
        for (char c : lines[k]) {
            if (c == '\t') values.emplace_back();
            else values.back().push_back(c);
        }
        file.motion.push_back(values);
    }
    return file;
}

TEST_F(MotionExports, BvhMotionLinesCarryEveryDeclaredChannel) {
    World(8, 5, Chain);
    const BvhFile file = ReadBvh(BvhExporter(*doc).Text());
    EXPECT_EQ(file.declaredChannels, 57);
    EXPECT_EQ(file.frames, 5);
    EXPECT_EQ(file.frameTime, "0.040000");
    ASSERT_EQ(file.motion.size(), 5u);
    for (const auto& values : file.motion) {
        ASSERT_EQ(values.size(), 57u);
        for (const std::string& v : values) {
            EXPECT_FALSE(v.empty()) << "no trailing tab";
            EXPECT_EQ(v.find("nan"), std::string::npos);
        }
        EXPECT_EQ(values[0], "0.000000") << "the root's channels are zero";
        EXPECT_NE(values[6], "0.000000") << "LeftHip holds the first group";
    }
    const RotationGroup first = SegmentRotation(Chain(2, 0), Chain(1, 0), Chain(0, 0));
    char expected[32];
    std::snprintf(expected, sizeof expected, "%2.6f", static_cast<double>(first[1]));
    EXPECT_EQ(file.motion[0][7], expected);
}

TEST_F(MotionExports, BvhHierarchyTextIsFixed) {
    World(8, 1, Chain);
    const std::string text = BvhExporter(*doc).Text();
    EXPECT_EQ(text.rfind("HIERARCHY\nROOT Hips\n{\n\tOFFSET\t0.000000\t0.000000\t0.000000\n"
                         "\tCHANNELS 6 Xposition Yposition Zposition Zrotation Xrotation Yrotation\n\tJOINT LeftHip\n", 0),
              0u);
    EXPECT_NE(text.find("\t\t\t\tJOINT LeftElbow\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t\tJOINT LeftAnkle\n\t\t\t{\n\t\t\t\tOFFSET\t0.000000\t0.000000\t0.000000\n"
                        "\t\t\t\tCHANNELS 3 Zrotation Xrotation Yrotation\n\t\t\t\tEnd Site\n\t\t\t\t{\n"
                        "\t\t\t\t\tOFFSET\t0.000000\t0.000000\t0.000000\n\t\t\t\t}\n\t\t\t}\n"),
              std::string::npos);
    EXPECT_NE(text.find("JOINT LeftSholder"), std::string::npos);
    EXPECT_NE(text.find("\t}\n}\nMOTION\n"), std::string::npos);
}

TEST_F(MotionExports, DegenerateGeometryAndShortModelsWriteZeros) {
    EXPECT_EQ(SegmentRotation({0, 0, 0}, {1, 0, 0}, {2, 0, 0}), (RotationGroup{0, 0, 0})) << "collinear, v along X";
    EXPECT_EQ(SegmentRotation({1, 1, 1}, {1, 1, 1}, {0, 2, 0}), (RotationGroup{0, 0, 0})) << "coincident";
    World(5, 2, Chain);
    const BvhFile file = ReadBvh(BvhExporter(*doc).Text());
    ASSERT_EQ(file.motion.size(), 2u);
    EXPECT_EQ(file.motion[0].size(), 57u);
    EXPECT_EQ(file.motion[0][15], "0.000000") << "group 4 needs point 5";
}

TEST_F(MotionExports, CsmHeaderOrderAndEveryFrame) {
    World(3, 4, [](int p, int f) { return Point3{p + 0.5, f * 1.0, -2.25}; });
    doc->modelPoints[0].name = "back head";
    doc->modelPoints[0].side = kSideLeft;
    doc->modelPoints[1].name = "Front Head";
    doc->modelPoints[1].side = kSideRight;
    CsmExportOptions options;
    options.mapping = DefaultCsmMapping(*doc);
    EXPECT_EQ(options.mapping, (std::vector<std::string>{"LFHD", "NOTDEF", "NOTDEF"}));
    EXPECT_EQ(CsmPointCell(*doc, 0), "L back head");
    EXPECT_EQ(CsmPointCell(*doc, 1), "R. Front Head");
    options.mapping[2] = "";
    options.actor = "Anna";
    const std::vector<std::string> lines = Lines(CsmExporter(*doc).Text(options, "/data/run.csm", Noon()));
    const std::vector<std::string> expected = {"$Date 12/8/2026", "$Time 9:5:7", "$Filename /data/run.csm", "$Actor Anna", "",
                                               "$Comments ", "", "$FirstFrame 1", "$LastFrame 4", "$Rate 25.000000", "",
                                               "$Order", "LFHD NOTDEF  ", "1 0.500 0.000 -2.250 1.500 0.000 -2.250 2.500 0.000 -2.250 "};
    ASSERT_EQ(lines.size(), expected.size() + 3);
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]);
    EXPECT_EQ(lines.back().substr(0, 2), "4 ");
}

// C3D as a reader sees it: header words, the parameter section and the data behind it.
struct C3dFile {
    std::map<std::string, std::vector<std::uint8_t>> parameters;  // "GROUP:NAME" → data
    std::map<std::string, std::vector<int>> dimensions;
    int parameterBlock = 0, dataStart = 0;
};

std::uint16_t Word(const std::vector<std::uint8_t>& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
float Float(const std::vector<std::uint8_t>& b, std::size_t at) {
    float f;
    std::memcpy(&f, &b[at], 4);
    return f;
}

C3dFile ReadC3d(const std::vector<std::uint8_t>& b) {
    C3dFile file;
    file.parameterBlock = b[0];
    file.dataStart = Word(b, 16);
    std::size_t at = static_cast<std::size_t>(file.parameterBlock - 1) * 512;
    EXPECT_EQ(b[at + 1], 0x50);
    EXPECT_EQ(b[at + 3], 84) << "Intel";
    at += 4;
    std::map<int, std::string> groups;
    for (;;) {
        const int nameLength = std::abs(static_cast<std::int8_t>(b[at]));
        const int id = static_cast<std::int8_t>(b[at + 1]);
        const std::string name(b.begin() + static_cast<std::ptrdiff_t>(at + 2), b.begin() + static_cast<std::ptrdiff_t>(at + 2 + nameLength));
        const std::size_t offsetAt = at + 2 + static_cast<std::size_t>(nameLength);
        const std::uint16_t next = Word(b, offsetAt);
        if (id < 0) {
            groups[-id] = name;
        } else {
            const int type = static_cast<std::int8_t>(b[offsetAt + 2]);
            const int dims = b[offsetAt + 3];
            std::size_t elements = 1;
            std::vector<int> sizes;
            for (int d = 0; d < dims; ++d) {
                sizes.push_back(b[offsetAt + 4 + static_cast<std::size_t>(d)]);
                elements *= sizes.back();
            }
            const std::size_t dataAt = offsetAt + 4 + static_cast<std::size_t>(dims);
            const std::string key = groups[id] + ":" + name;
            file.parameters[key] = {b.begin() + static_cast<std::ptrdiff_t>(dataAt),
                                    b.begin() + static_cast<std::ptrdiff_t>(dataAt + elements * static_cast<std::size_t>(std::abs(type)))};
            file.dimensions[key] = sizes;
        }
        if (next == 0) break;
        at = offsetAt + next;
    }
    return file;
}

TEST_F(MotionExports, C3dFileParsesAndHoldsEveryFrame) {
    // 1.0f + 2⁻¹⁹·5 has the byte 0x0A in its encoding: written unchanged.
    float withLineFeed;
    const std::uint32_t bits = 0x3F80000A;
    std::memcpy(&withLineFeed, &bits, 4);
    World(12, 100, [&](int p, int f) { return Point3{withLineFeed, p * 0.1, f * 0.01}; }, 0.02f);
    doc->worldFiltered[3][5] = kMissingWorldPoint;
    doc->modelPoints[0].name = "LFHD";
    const std::vector<std::uint8_t> bytes = C3dExporter(*doc).Bytes();
    EXPECT_EQ(Word(bytes, 2), 12);
    EXPECT_EQ(Word(bytes, 4), 0);
    EXPECT_EQ(Word(bytes, 6), 1);
    EXPECT_EQ(Word(bytes, 8), 100);
    EXPECT_EQ(Word(bytes, 10), 100);
    EXPECT_EQ(Float(bytes, 12), -1.0f);
    EXPECT_EQ(Word(bytes, 18), 1);
    EXPECT_EQ(Float(bytes, 20), 50.0f);
    const C3dFile file = ReadC3d(bytes);
    EXPECT_EQ(file.parameterBlock, 2);
    ASSERT_TRUE(file.parameters.count("POINT:USED"));
    EXPECT_EQ(Word(file.parameters.at("POINT:USED"), 0), 12);
    EXPECT_EQ(Float(file.parameters.at("POINT:SCALE"), 0), -1.0f);
    EXPECT_EQ(Float(file.parameters.at("POINT:RATE"), 0), 50.0f);
    EXPECT_EQ(Word(file.parameters.at("POINT:DATA_START"), 0), file.dataStart);
    const int frames = Word(file.parameters.at("POINT:FRAMES"), 0);
    EXPECT_EQ(frames, 100);
    EXPECT_EQ(file.dimensions.at("POINT:LABELS"), (std::vector<int>{4, 12})) << "as wide as the longest name";
    const std::vector<std::uint8_t>& labels = file.parameters.at("POINT:LABELS");
    EXPECT_EQ(std::string(labels.begin(), labels.begin() + 8), "LFHDP2  ");
    const std::size_t data = static_cast<std::size_t>(file.dataStart - 1) * 512;
    ASSERT_EQ(bytes.size(), data + static_cast<std::size_t>(frames) * 12 * 16);
    EXPECT_EQ(bytes[data], 0x0A);
    EXPECT_EQ(Float(bytes, data + 4), 0.0f);
    EXPECT_EQ(Float(bytes, data + 12), 0.0f) << "a reconstructed point";
    const std::size_t missing = data + (3 * 12 + 5) * 16;
    EXPECT_EQ(Float(bytes, missing + 12), -1.0f);
    EXPECT_EQ(Float(bytes, missing), 0.0f) << "an invalid point has zero coordinates";
    EXPECT_EQ(Float(bytes, missing + 8), 0.0f);
    EXPECT_EQ(file.dimensions.at("POINT:DESCRIPTIONS").at(1), 12);
    EXPECT_EQ(file.dimensions.at("POINT:UNITS"), (std::vector<int>{1}));
    EXPECT_EQ(Word(bytes, 298), 12345) << "the event section is laid out";
    EXPECT_EQ(Word(bytes, 300), 0) << "and empty";
    EXPECT_EQ(Word(file.parameters.at("EVENT:USED"), 0), 0);
    EXPECT_EQ(Word(file.parameters.at("TRIAL:ACTUAL_START_FIELD"), 0), 1);
    EXPECT_EQ(Word(file.parameters.at("TRIAL:ACTUAL_END_FIELD"), 0), 100);
    EXPECT_EQ(Float(bytes, data + (99 * 12 + 11) * 16 + 8), 0.99f);
}

TEST_F(MotionExports, C3dLongerThanASixteenBitCountKeepsEveryFrame) {
    constexpr int kFrames = 70000;
    World(2, kFrames, [](int p, int f) { return Point3{static_cast<double>(f) * 1e-4, static_cast<double>(p), 0.5}; }, 0.01f);
    doc->worldFiltered[kFrames - 1][1] = kMissingWorldPoint;
    const std::vector<std::uint8_t> bytes = C3dExporter(*doc).Bytes();
    const C3dFile file = ReadC3d(bytes);
    EXPECT_EQ(Word(bytes, 8), 65535);
    const std::vector<std::uint8_t>& end = file.parameters.at("TRIAL:ACTUAL_END_FIELD");
    const int frames = Word(end, 0) | Word(end, 2) << 16;
    ASSERT_EQ(frames, kFrames);
    const std::size_t data = static_cast<std::size_t>(file.dataStart - 1) * 512;
    ASSERT_EQ(bytes.size(), data + static_cast<std::size_t>(frames) * 2 * 16);
    for (int f = 0; f < frames; f += 6997)
        EXPECT_FLOAT_EQ(Float(bytes, data + static_cast<std::size_t>(f) * 32), static_cast<float>(f * 1e-4)) << f;
    const std::size_t last = data + static_cast<std::size_t>(frames - 1) * 32 + 16;
    EXPECT_EQ(Float(bytes, last + 12), -1.0f) << "the missing point comes back invalid";
    EXPECT_EQ(Float(bytes, last - 16 + 12), 0.0f);
}

TEST_F(MotionExports, C3dOfAnEmptyWorldIsHeaderAndParameters) {
    NewSequence(2);
    const std::vector<std::uint8_t> bytes = C3dExporter(*doc).Bytes();
    const C3dFile file = ReadC3d(bytes);
    EXPECT_EQ(Word(file.parameters.at("POINT:FRAMES"), 0), 0);
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(file.dataStart - 1) * 512);
}

}  // namespace
}  // namespace kadivo::test
