// The TRC and MOT files read back by readers that hold them to OpenSim's layout strictly.

#include "DocumentFixture.h"
#include "Kinematics.h"
#include "OpenSimExports.h"

#include <cmath>
#include <sstream>

namespace kadivo::test {
namespace {

// The fields of a line, split at every tab: empty fields count, nothing is trimmed.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A number as OpenSim's readers take it: the whole field, no blanks, finite.
double Number(const std::string& field) {
    EXPECT_EQ(field.find_first_of(" \r"), std::string::npos) << '"' << field << '"';
    std::size_t used = 0;
    const double value = std::stod(field, &used);
    EXPECT_EQ(used, field.size()) << field;
    EXPECT_TRUE(std::isfinite(value)) << field;
    return value;
}

class OpenSimExports : public DocumentFixture {
protected:
    // Three linked points over five frames at 50 Hz; point 1 unsolved in frame 2.
    void SetUp() override {
        NewSequence(3);
        const char* names[] = {"Hip", "Knee", "Ankle"};
        for (int p = 0; p < 3; ++p) doc->modelPoints[static_cast<std::size_t>(p)].name = names[p];
        for (int p = 0; p < 2; ++p) {
            doc->modelPoints[static_cast<std::size_t>(p)].linkedPoint[0] = p + 1;
            doc->modelPoints[static_cast<std::size_t>(p)].segmentCount = 1;
        }
        doc->framePeriod = 0.02f;
        doc->worldFrameCount = 5;
        doc->worldRaw = WorldData(6, 4);
        for (int f = 0; f < 5; ++f)
            for (int p = 0; p < 3; ++p) doc->worldRaw[f][p] = {0.1 * f + p, 0.25 * p, 1.0 - 0.5 * p + 0.01 * f};
        doc->worldRaw[2][1] = kMissingWorldPoint;
        doc->worldFiltered = doc->worldRaw;
    }
};

TEST_F(OpenSimExports, TrcFollowsTheLayoutAndHoldsTheWorldData) {
    TrcExportOptions options;
    options.rows = {true, true, false};
    options.millimetres = true;
    const std::vector<std::string> lines = Lines(TrcExportText(*doc, options, "walk.trc"));
    ASSERT_EQ(lines.size(), 5u + 5u);
    EXPECT_EQ(lines[0], "PathFileType\t4\t(X/Y/Z)\twalk.trc");
    EXPECT_EQ(lines[1], "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\tOrigDataStartFrame\tOrigNumFrames");
    const std::vector<std::string> values = Fields(lines[2]);
    ASSERT_EQ(values.size(), 8u);
    EXPECT_NEAR(Number(values[0]), 50.0, 1e-3);
    EXPECT_EQ(values[2], "5");
    EXPECT_EQ(values[3], "2");
    EXPECT_EQ(values[4], "mm");
    EXPECT_EQ(values[6], "1");
    EXPECT_EQ(Fields(lines[3]), (std::vector<std::string>{"Frame#", "Time", "Hip", "", "", "Knee", "", ""}));
    EXPECT_EQ(Fields(lines[4]), (std::vector<std::string>{"", "", "X1", "Y1", "Z1", "X2", "Y2", "Z2"}));
    for (int f = 0; f < 5; ++f) {
        const std::vector<std::string> row = Fields(lines[static_cast<std::size_t>(5 + f)]);
        ASSERT_EQ(row.size(), 2u + 3u * 2u) << "frame " << f;
        EXPECT_EQ(row[0], std::to_string(f + 1));
        EXPECT_NEAR(Number(row[1]), 0.02 * f, 1e-6);
        for (int m = 0; m < 2; ++m) {
            const Point3& w = doc->worldFiltered[f][m];
            const auto cell = [&](int axis) { return row[static_cast<std::size_t>(2 + 3 * m + axis)]; };
            if (w == kMissingWorldPoint) {
                EXPECT_TRUE(cell(0).empty() && cell(1).empty() && cell(2).empty()) << "a missing marker is empty";
                continue;
            }
            // OpenSim's y is the calibration's z; its z the calibration's −y.
            EXPECT_NEAR(Number(cell(0)), 1000 * w.x, 1e-6);
            EXPECT_NEAR(Number(cell(1)), 1000 * w.z, 1e-6);
            EXPECT_NEAR(Number(cell(2)), -1000 * w.y, 1e-6);
        }
    }
    options.axes = kAsCalibrated;
    options.millimetres = false;
    options.smoothed = false;
    const std::vector<std::string> asIs = Fields(Lines(TrcExportText(*doc, options, "walk.trc"))[6]);
    EXPECT_NEAR(Number(asIs[3]), doc->worldRaw[1][0].y, 1e-6);
}

TEST_F(OpenSimExports, MotHasTheHeaderOpenSimReadsAndAColumnAJointAndAxis) {
    AngularExportOptions options;
    options.rows = {true};
    options.angle = options.x = options.z = true;
    const std::vector<std::string> lines = Lines(MotExportText(*doc, options, "walk"));
    ASSERT_EQ(lines.size(), 7u + 5u);
    EXPECT_EQ(lines[0], "walk");
    EXPECT_EQ(lines[1], "version=1");
    EXPECT_EQ(lines[2], "nRows=5");
    EXPECT_EQ(lines[3], "nColumns=3");
    EXPECT_EQ(lines[4], "inDegrees=yes");
    EXPECT_EQ(lines[5], "endheader");
    EXPECT_EQ(Fields(lines[6]), (std::vector<std::string>{"time", "Knee_X", "Knee_Z"}));
    const std::vector<ExportJoint> joints = BuildJointList(*doc);
    const std::vector<float> angles = JointAngleSeries(doc->worldFiltered, joints.at(0), 5, 2, false);
    for (int f = 0; f < 5; ++f) {
        const std::vector<std::string> row = Fields(lines[static_cast<std::size_t>(7 + f)]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_NEAR(Number(row[0]), 0.02 * f, 1e-6);
        if (f == 2) {
            EXPECT_EQ(row[2], "NaN") << "the knee is missing";
        } else {
            EXPECT_NEAR(Number(row[2]), angles[static_cast<std::size_t>(f)], 1e-5);
        }
    }
}

TEST(AxisMappings, EachAxisOnceWithASignWhereWanted) {
    EXPECT_EQ(ParseAxisMapping("x,z,-y"), kZUpToYUp);
    EXPECT_EQ(ParseAxisMapping("X,+Y,Z"), kAsCalibrated);
    EXPECT_EQ(AxisMappingText(kZUpToYUp), "x,z,-y");
    for (const char* bad : {"", "x,y", "x,x,z", "x,y,z,", "x;y;z", "a,b,c", "x,y,--z"}) EXPECT_EQ(ParseAxisMapping(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace kadivo::test
