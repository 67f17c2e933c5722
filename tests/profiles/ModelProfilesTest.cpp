#include "FakePrompts.h"
#include "FileIo.h"
#include "ModelProfiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace kadivo::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class ModelProfilesTest : public ::testing::Test {
protected:
    TempDir dir;
    FakePrompts prompts;
    ModelProfileList Load(const std::string& text) {
        ModelProfileList list(dir.Write("model.ini", Bytes(text)));
        list.Load();
        return list;
    }
};

TEST_F(ModelProfilesTest, ReadsTheExampleAndWritesItBackExactly) {
    const std::string text = "*Arm\n2\n1\tR\tShoulder\t2\tUpper arm\n2\tR\tElbow\n";
    ModelProfileList list = Load(text);
    ASSERT_EQ(list.lastIndex, 1);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"Arm", "New Profile"}));
    EXPECT_EQ(list.counts(), (std::vector<int>{2, 1}));
    const ModelProfile& arm = list.profiles[0];
    EXPECT_EQ(arm.GetName(0), "Shoulder");
    EXPECT_EQ(arm.SegmentCount(0), 1);
    EXPECT_EQ(arm.SegmentLinked(0, 0), 1);
    EXPECT_EQ(arm.SegmentName(0, 0), "Upper arm");
    EXPECT_EQ(arm.SegmentCount(1), 0);
    EXPECT_EQ(list.Text(), text);
    ASSERT_TRUE(list.Save(prompts));
    EXPECT_EQ(ReadWholeFile(list.path()), Bytes(text));
}

TEST_F(ModelProfilesTest, PointLinesGoByTheirNumberAndSidesDefaultToNone) {
    ModelProfileList list = Load("*Leg\n3\n3\tL\tAnkle\n1\tX\tHip\t3\tThigh\t9\tNowhere\n7\tR\tBeyond\n");
    const ModelProfile& leg = list.profiles[0];
    EXPECT_EQ(leg.GetName(2), "Ankle");
    EXPECT_EQ(leg.GetSide(2), kSideLeft);
    EXPECT_EQ(leg.GetName(0), "Hip");
    EXPECT_EQ(leg.GetSide(0), kSideNone);
    EXPECT_EQ(leg.GetSideChar(0), 'N');
    EXPECT_EQ(leg.SegmentCount(0), 1) << "a segment to point 9 is ignored";
    EXPECT_EQ(leg.GetName(1), "Point 2");
    EXPECT_EQ(leg.GetSide(1), kSideRight);
}

TEST_F(ModelProfilesTest, BadInputLeavesProfilesAtTheirDefaults) {
    ModelProfileList list = Load("1\tR\tOrphan\n*Wild\n99\n1\tR\tOnly\n*Empty\nabc\n\n*Last");
    ASSERT_EQ(list.lastIndex, 3);
    EXPECT_EQ(list.profiles[0].pointCount(), 1) << "count 99 is out of range";
    EXPECT_EQ(list.profiles[0].GetName(0), "Only");
    EXPECT_EQ(list.profiles[1].pointCount(), 1);
    EXPECT_EQ(list.profiles[2].profileName, "Las") << "without a line end the last letter goes";
    EXPECT_EQ(list.profiles[3].profileName, "New Profile");
}

TEST_F(ModelProfilesTest, OverlongLinesArriveInPiecesOfTheReadBuffer) {
    const std::string longName(300, 'n');
    ModelProfileList list = Load("*Long\n2\n1\tR\t" + longName + "\n2\tL\tKnee\n");
    const ModelProfile& profile = list.profiles[0];
    EXPECT_EQ(profile.GetName(0).size(), 253u - 4u);
    EXPECT_EQ(profile.GetName(1), "Knee");
    EXPECT_EQ(profile.GetSide(1), kSideLeft);
}

TEST_F(ModelProfilesTest, GarbageMissingFilesAndFoldersGiveOnlyThePlaceholder) {
    std::vector<std::uint8_t> garbage(4000);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    ModelProfileList binary(dir.Write("garbage.ini", garbage));
    binary.Load();
    EXPECT_EQ(binary.profiles.back().profileName, "New Profile");
    for (const std::string& path : {dir.Path("absent.ini"), dir.Path("")}) {
        ModelProfileList list(path);
        list.Load();
        ASSERT_EQ(list.profiles.size(), 1u);
        EXPECT_EQ(list.lastIndex, 0);
        EXPECT_EQ(list.selected, 0);
        EXPECT_EQ(list.profiles[0].pointCount(), 1);
    }
}

TEST_F(ModelProfilesTest, ThePlaceholderNameIsNeverWritten) {
    ModelProfileList list = Load("*Arm\n1\n1\tR\tHand\n");
    list.profiles[0].profileName = "New Profile";
    EXPECT_EQ(list.Text(), "");
}

TEST_F(ModelProfilesTest, AFailedSaveShowsTheMessageAndKeepsTheOldFile) {
    ModelProfileList list = Load("*Arm\n1\n1\tR\tHand\n");
    std::filesystem::create_directory(dir.Path("model-folder.ini"));
    ModelProfileList blocked(dir.Path("model-folder.ini"));
    blocked.profiles = list.profiles;
    blocked.lastIndex = list.lastIndex;
    prompts.ExpectMessageStartingWith("The Model Configuration file can not be created!\n");
    EXPECT_FALSE(blocked.Save(prompts));
    EXPECT_NE(prompts.shownMessages.back().find("model-folder.ini"), std::string::npos) << "the reason names the file";
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("model-folder.ini")));
    EXPECT_EQ(dir.FileCount(), 2) << "no temporary file left behind";
}

TEST_F(ModelProfilesTest, RemovingNeedsTwoRealProfilesAndARealSelection) {
    ModelProfileList list = Load("*A\n1\n*B\n1\n");
    list.Select(2);
    list.RemoveSelected();
    EXPECT_EQ(list.lastIndex, 2) << "the placeholder is selected";
    list.Select(0);
    list.RemoveSelected();
    EXPECT_EQ(list.names(), (std::vector<std::string>{"B", "New Profile"}));
    list.RemoveSelected();
    EXPECT_EQ(list.lastIndex, 1) << "the only real profile stays";
}

TEST_F(ModelProfilesTest, EditingOperationsKeepIndicesInRange) {
    ModelProfile profile;
    profile.SetPointCount(3);
    EXPECT_EQ(profile.GetName(2), "Point 3");
    profile.SetPointCount(51);
    EXPECT_EQ(profile.pointCount(), 3);
    profile.AddPoint();
    EXPECT_EQ(profile.GetName(3), "Point 4");
    profile.AddSegment("s", 0, 3);
    profile.AddSegment("bad", 0, 4);
    EXPECT_EQ(profile.SegmentCount(0), 1);
    profile.RemovePoint(1);
    EXPECT_EQ(profile.GetName(1), "Point 3");
    EXPECT_EQ(profile.GetSide(7), -1);
    EXPECT_EQ(profile.SegmentCount(7), -1);
    EXPECT_EQ(profile.SegmentLinked(0, 5), -1);
    profile.SetSide(0, 9);
    EXPECT_EQ(profile.GetSideChar(0), ' ');
    profile.ClearSegments();
    EXPECT_EQ(profile.SegmentCount(0), 0);
}

TEST_F(ModelProfilesTest, CopyIntoTheDocumentKeepsWithinTheSequenceLimits) {
    ModelProfileList list(dir.Path("none.ini"));
    list.Load();
    ModelProfile& big = list.Selected();
    big.SetPointCount(50);
    for (int k = 0; k < 5; ++k) big.AddSegment("S" + std::to_string(k), 0, k + 1);
    big.AddSegment("to the 50th", 1, 49);
    ModelTable model = DefaultModelTable();
    EXPECT_EQ(list.CopySelectedTo(model), 49);
    EXPECT_EQ(model[0].segmentCount, 4);
    EXPECT_EQ(model[0].linkedPoint[3], 4);
    EXPECT_EQ(model[0].linkedPoint[4], -1);
    EXPECT_EQ(model[1].segmentCount, 0) << "the segment to the dropped 50th point goes";
    EXPECT_EQ(model[1].linkedPoint[0], -1);
    EXPECT_EQ(model[48].name, "Point 49");
}

}  // namespace
}  // namespace kadivo::test
