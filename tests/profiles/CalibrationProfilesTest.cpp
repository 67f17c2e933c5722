#include "CalibrationProfiles.h"
#include "Prompts.h"
#include "FakePrompts.h"
#include "FileIo.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class CalibrationProfilesTest : public ::testing::Test {
protected:
    TempDir dir;
    FakePrompts prompts;
    CalibrationProfileList Load(const std::string& text) {
        CalibrationProfileList list(dir.Write("calibration.ini", Bytes(text)));
        list.Load();
        return list;
    }
};

TEST_F(CalibrationProfilesTest, PostureProfileWritesTheHeightAndReadsItBack) {
    CalibrationProfileList list(dir.Path("calibration.ini"));
    list.Load();
    list.Selected().profileName = "Runner";
    list.Selected().SetY(3, 1.8);
    list.profiles.emplace_back();
    list.lastIndex = 1;
    EXPECT_EQ(list.Text(), "*Runner\n0\n4\n1\t1.800000\n");
    ASSERT_TRUE(list.Save(prompts));
    CalibrationProfileList back(list.path());
    back.Load();
    EXPECT_EQ(back.SelectedType(), 0);
    EXPECT_EQ(back.SelectedCount(), 4);
    EXPECT_EQ(back.Selected().GetPoint(3), (Point3{0, 1.8, 0}));
}

TEST_F(CalibrationProfilesTest, FramesFillPointsInLineOrderAndRoundTrip) {
    const std::string text =
        "*Cube\n1\n2\n7\t0.000000\t1.500000\t2.250000\n3\t-1.000000\t0.000000\t4.000000\n"
        "*Plane\n2\n2\n1\t1.000000\t2.000000\n2\t3.000000\t4.000000\n";
    CalibrationProfileList list = Load(text);
    ASSERT_EQ(list.lastIndex, 2);
    EXPECT_EQ(list.profiles[0].GetPoint(0), (Point3{0, 1.5, 2.25})) << "the line's own number is not used";
    EXPECT_EQ(list.profiles[0].GetPoint(1), (Point3{-1, 0, 4}));
    EXPECT_EQ(list.profiles[1].GetPoint(1), (Point3{3, 4, 0}));
    EXPECT_EQ(list.GetName(1), "Plane");
    EXPECT_EQ(list.GetName(5), "");
    std::string renumbered = text;
    renumbered.replace(renumbered.find("\n7\t"), 3, "\n1\t");
    renumbered.replace(renumbered.find("\n3\t"), 3, "\n2\t");
    EXPECT_EQ(list.Text(), renumbered) << "points are written with their own numbers";
}

TEST_F(CalibrationProfilesTest, CountsAndTypesOutOfRange) {
    CalibrationProfileList list = Load("*Many\n1\n80\n*Negative\n2\n-3\n*Posture\n0\n9\n*Odd\n7\n2\n1\t1\t2\t3\n*Few\n1\n1\n1\t1\t1\t1\n2\t2\t2\t2\n");
    EXPECT_EQ(list.profiles[0].pointCount(), 50);
    EXPECT_EQ(list.profiles[1].pointCount(), 50);
    EXPECT_EQ(list.profiles[2].pointCount(), 4);
    EXPECT_EQ(list.profiles[3].calibrationType, 1);
    EXPECT_EQ(list.profiles[3].GetPoint(0), (Point3{1, 2, 3}));
    EXPECT_EQ(list.profiles[4].pointCount(), 1) << "the surplus line is ignored";
    EXPECT_EQ(list.profiles[4].GetPoint(0), (Point3{1, 1, 1}));
}

TEST_F(CalibrationProfilesTest, NonNumericFieldsAndGarbageReadAsZero) {
    CalibrationProfileList list = Load("1\t5\t5\t5\n*Text\n1\n1\n1\tx\ty\tz\n");
    EXPECT_EQ(list.profiles[0].GetPoint(0), (Point3{0, 0, 0}));
    CalibrationProfileList missing(dir.Path("missing.ini"));
    missing.Load();
    EXPECT_EQ(missing.lastIndex, 0);
    EXPECT_EQ(missing.SelectedType(), 0);
    EXPECT_EQ(missing.SelectedCount(), 4);
}

TEST_F(CalibrationProfilesTest, SwitchingToPostureLeavesFourZeroPoints) {
    CalibrationProfile profile;
    profile.SetType(1);
    profile.SetPointCount(8);
    profile.SetPoint(5, 1, 2, 3);
    profile.SetType(0);
    EXPECT_EQ(profile.pointCount(), 4);
    EXPECT_EQ(profile.GetPoint(3), Point3{});
    EXPECT_EQ(profile.GetX(9), 0.0);
    profile.RemovePoint(0);
    EXPECT_EQ(profile.pointCount(), 3);
}

TEST_F(CalibrationProfilesTest, ThePlaceholderNameIsNeverWritten) {
    CalibrationProfileList list = Load("*New Profile\n1\n1\n1\t1\t1\t1\n");
    EXPECT_EQ(list.Text(), "");
}

TEST_F(CalibrationProfilesTest, NewSequenceSetupStaysWithinTheSequenceLimits) {
    ModelProfileList models(dir.Path("none.ini"));
    models.Load();
    models.Selected().SetPointCount(3);
    CalibrationProfileList calibrations(dir.Path("none.ini"));
    calibrations.Load();
    calibrations.Selected().SetType(1);
    calibrations.Selected().SetPointCount(50);
    calibrations.Selected().SetPoint(48, 7, 8, 9);
    const NewSequenceSetup setup = SetupFromProfiles(models, calibrations);
    EXPECT_EQ(setup.pointCount, 3);
    EXPECT_EQ(setup.calibrationType, 1);
    EXPECT_EQ(setup.calibrationPointCount, 49);
    ASSERT_EQ(setup.calibrationPoints.size(), 50u);
    EXPECT_EQ(setup.calibrationPoints[48], (Point3{7, 8, 9}));
}

}  // namespace
}  // namespace kadivo::test
