// Profile databases a user or another program got wrong: numbers at the limits of int,
// coordinates that are not numbers, files that exist and cannot be read, full disks.

#include "CalibrationProfiles.h"
#include "FakePrompts.h"
#include "FileIo.h"
#include "ModelProfiles.h"
#include "ProfileWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kadivo::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

const char* const kHostileNumbers[] = {"-2147483648", "2147483647", "0", "-1", "3", "51",
                                       "123456789012345678901234567890", "-123456789012345678901234567890"};

TEST(HostileProfiles, PointNumbersOutsideTheProfileSkipTheirLine) {
    for (const char* number : kHostileNumbers) {
        ModelProfileList list("");
        list.LoadText(Bytes(std::string("*A\n2\n") + number + "\tL\tWrong\n2\tL\tKnee\n"));
        const ModelProfile& profile = list.profiles[0];
        EXPECT_EQ(profile.GetName(0), "Point 1") << number;
        EXPECT_EQ(profile.GetSide(0), kSideRight) << number;
        EXPECT_EQ(profile.GetName(1), "Knee") << number;
        ASSERT_EQ(list.Skipped().size(), 1u) << number;
        EXPECT_EQ(list.Skipped()[0].line, 3);
        EXPECT_EQ(list.Skipped()[0].reason, "point number outside the profile's points");
    }
}

TEST(HostileProfiles, SegmentsToPointsOutsideTheProfileAreLeftOutAndListed) {
    for (const char* number : kHostileNumbers) {
        ModelProfileList list("");
        list.LoadText(Bytes(std::string("*A\n2\n1\tL\tHip\t2\tThigh\t") + number + "\tWrong\n"));
        EXPECT_EQ(list.profiles[0].GetName(0), "Hip") << number;
        ASSERT_EQ(list.profiles[0].SegmentCount(0), 1) << number;
        EXPECT_EQ(list.profiles[0].SegmentName(0, 0), "Thigh") << number;
        ASSERT_EQ(list.Skipped().size(), 1u) << number;
        EXPECT_EQ(list.Skipped()[0].reason, "segment to a point outside the profile's points left out");
    }
    ModelProfileList fine("");
    fine.LoadText(Bytes("*A\n2\n1\tL\tHip\t2\tThigh\n"));
    EXPECT_EQ(fine.profiles[0].SegmentLinked(0, 0), 1);
    EXPECT_TRUE(fine.Skipped().empty());
}

TEST(HostileProfiles, PointCountsOutsideOneToFiftyAreListed) {
    for (const char* count : {"-2147483648", "2147483647", "0", "51", "123456789012345678901234567890"}) {
        ModelProfileList list("");
        list.LoadText(Bytes(std::string("*A\n") + count + "\n"));
        EXPECT_EQ(list.profiles[0].pointCount(), 1) << count;
        ASSERT_EQ(list.Skipped().size(), 1u) << count;
        EXPECT_EQ(list.Skipped()[0].line, 2);
    }
    ModelProfileList fifty("");
    fifty.LoadText(Bytes("*A\n50\n"));
    EXPECT_EQ(fifty.profiles[0].pointCount(), 50);
    EXPECT_TRUE(fifty.Skipped().empty());
}

TEST(HostileProfiles, CoordinatesThatAreNotFiniteLeaveThePointAtZeroInItsPlace) {
    CalibrationProfileList list("");
    list.LoadText(Bytes("*F\n1\n4\n1\tnan\t1\t1\n2\t1\tinf\t1\n3\t1\t1\t-1e999\n4\t4\t5\t6\n"
                        "*P\n2\n1\n1\t7\t8\tnan\n*Posture\n0\n4\n1\t1.75\tnan\n"));
    const CalibrationProfile& frame = list.profiles[0];
    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame.GetPoint(i), (Point3{0, 0, 0})) << i;
    EXPECT_EQ(frame.GetPoint(3), (Point3{4, 5, 6}));
    EXPECT_EQ(list.profiles[1].GetPoint(0), (Point3{7, 8, 0})) << "a plane has no third coordinate";
    EXPECT_EQ(list.profiles[2].GetY(3), 1.75) << "the posture method reads the height alone";
    ASSERT_EQ(list.Skipped().size(), 3u);
    EXPECT_EQ(list.Skipped()[0].line, 4);
    EXPECT_EQ(list.Skipped()[2].line, 6);
    EXPECT_EQ(list.Skipped()[2].reason, "coordinate that is not a finite number");
}

TEST(HostileProfiles, MethodsAndCountsOutOfRangeAreListedWithWhatWasRead) {
    CalibrationProfileList list("");
    list.LoadText(Bytes("*Odd\n-2147483648\n2147483647\n"));
    EXPECT_EQ(list.profiles[0].calibrationType, 1);
    EXPECT_EQ(list.profiles[0].pointCount(), 50);
    ASSERT_EQ(list.Skipped().size(), 2u);
    EXPECT_EQ(list.Skipped()[0].reason, "calibration method outside 0..2, read as 1");
    EXPECT_EQ(list.Skipped()[1].reason, "point count outside 0..50, read as 50");
}

class UnreadableDatabase : public ::testing::Test {
protected:
    TempDir dir;
    FakePrompts prompts;
};

TEST_F(UnreadableDatabase, AMissingFileIsEmptyAndAFolderOrALoopIsAnError) {
    ModelProfileList missing(dir.Path("model.ini"));
    missing.Load();
    EXPECT_EQ(missing.ReadError(), "");

    std::filesystem::create_directory(dir.Path("model.ini"));
    ModelProfileList folder(dir.Path("model.ini"));
    folder.Load();
    EXPECT_NE(folder.ReadError().find(dir.Path("model.ini")), std::string::npos);
    EXPECT_NE(folder.ReadError().find("Is a directory"), std::string::npos);
    EXPECT_EQ(folder.lastIndex, 0);

    std::filesystem::create_symlink(dir.Path("b.ini"), dir.Path("calibration.ini"));
    std::filesystem::create_symlink(dir.Path("calibration.ini"), dir.Path("b.ini"));
    CalibrationProfileList loop(dir.Path("calibration.ini"));
    loop.Load();
    EXPECT_NE(loop.ReadError().find("Too many levels of symbolic links"), std::string::npos);
}

TEST_F(UnreadableDatabase, ASaveAfterAFailedReadIsRefusedAndTheFileKeepsItsBytes) {
    std::filesystem::create_directory(dir.Path("model.ini"));
    ModelProfileList models(dir.Path("model.ini"));
    models.Load();
    ASSERT_FALSE(models.ReadError().empty());
    // The file becomes readable meanwhile, with profiles this run never saw.
    std::filesystem::remove(dir.Path("model.ini"));
    const std::string theirs = dir.Write("model.ini", Bytes("*Theirs\n1\n1\tR\tHead\n"));
    models.profiles.insert(models.profiles.begin(), ModelProfile{});
    models.profiles[0].profileName = "Mine";
    models.lastIndex = 1;
    prompts.ExpectMessageStartingWith("The Model Configuration file can not be created!\nIt could not be read (");
    EXPECT_FALSE(models.Save(prompts));
    EXPECT_EQ(ReadWholeFile(theirs), Bytes("*Theirs\n1\n1\tR\tHead\n"));

    std::filesystem::create_directory(dir.Path("calibration.ini"));
    CalibrationProfileList calibrations(dir.Path("calibration.ini"));
    calibrations.Load();
    prompts.ExpectMessageStartingWith("The Model Configuration file can not be created!\nIt could not be read (");
    EXPECT_FALSE(calibrations.Save(prompts));
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("calibration.ini")));
}

TEST_F(UnreadableDatabase, TheFailureIsReportedOncePerFileAndReason) {
    const std::string reason = "Cannot read \"" + dir.Path("model.ini") + "\": Is a directory";
    prompts.ExpectMessage("A profile database could not be read:\n" + reason +
                          "\nIts profiles are left out, and it is not saved over until it can be read.");
    ReportUnreadableDatabase(reason, prompts);
    ReportUnreadableDatabase(reason, prompts);
    ReportUnreadableDatabase("", prompts);
    EXPECT_EQ(prompts.shownMessages.size(), 1u);
}

TEST_F(UnreadableDatabase, AFullDiskKeepsTheOldFileAndSaysWhy) {
    const std::string path = dir.Write("model.ini", Bytes("*Old\n1\n1\tR\tHead\n"));
    ModelProfileList models(path);
    models.Load();
    models.profiles[0].SetPointCount(50);
    prompts.ExpectMessageStartingWith("The Model Configuration file can not be created!\n");
    {
        FileSizeLimit full(64);
        EXPECT_FALSE(models.Save(prompts));
    }
    EXPECT_NE(prompts.shownMessages.back().find("File too large"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(path), Bytes("*Old\n1\n1\tR\tHead\n"));
    EXPECT_EQ(dir.FileCount(), 1) << "no temporary file left behind";
}

}  // namespace
}  // namespace kadivo::test
