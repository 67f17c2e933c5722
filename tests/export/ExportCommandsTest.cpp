#include "BvhExporter.h"
#include "C3dExporter.h"
#include "CsmExporter.h"
#include "ExportDialogs.h"
#include "ExportFixture.h"
#include "FakeExportDialogs.h"
#include "Kinematics.h"
#include "FileIo.h"
#include "TempDir.h"

#include <limits>

namespace kadivo::test {
namespace {

class ExportCommands : public ExportFixture {
protected:
    FakeExportDialogs dialogs;
    TempDir dir;

    void Line(int points, int frames) {
        World(points, frames, [](int p, int f) { return Point3{static_cast<double>(f), static_cast<double>(p), 0.0}; });
    }
};

TEST_F(ExportCommands, RowsNameThePointsTheCentreOfGravityAndTheJoints) {
    Line(3, 4);
    doc->modelPoints[0].side = kSideLeft;
    doc->modelPoints[1].name.clear();
    doc->modelPoints[0].segmentCount = 1;
    doc->modelPoints[0].linkedPoint[0] = 1;
    doc->modelPoints[1].segmentCount = 1;
    doc->modelPoints[1].linkedPoint[0] = 2;
    EXPECT_EQ(LinearExportRows(*doc), (std::vector<ExportListRow>{{"P1", "Left"}, {"Point 2", "None"}, {"P3", "None"},
                                                                  {"CG", "None"}}));
    EXPECT_EQ(PointsExportRows(*doc).size(), 3u);
    ASSERT_EQ(AngularExportRows(*doc).size(), BuildJointList(*doc).size());
    EXPECT_EQ(CsmPointCells(*doc).front(), "L P1");
}

TEST_F(ExportCommands, TheLinearDialogComesFirstAndCancelWritesNothing) {
    Line(2, 5);
    ExportLinearData(*doc, dialogs);
    EXPECT_EQ(dialogs.shown, 1);
    EXPECT_TRUE(prompts.proposedNames.empty()) << "no file box after Cancel";
    dialogs.linear = [](LinearExportOptions& o) {
        EXPECT_EQ(o.rows.size(), 3u) << "two points and CG, all unchecked";
        EXPECT_TRUE(o.smoothed);
        o.rows[2] = true;
        o.position = o.x = o.header = true;
    };
    prompts.saveFileAnswer = dir.Path("cg.txt");
    ExportLinearData(*doc, dialogs);
    const std::vector<std::uint8_t> bytes = ReadWholeFile(dir.Path("cg.txt"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("CG - X pos\t"), std::string::npos);
}

TEST_F(ExportCommands, AnEmptyWorldTableEndsTheLinearExportWithoutAFile) {
    Line(2, 5);
    doc->worldFiltered = {};
    dialogs.linear = [](LinearExportOptions& o) { o.rows[0] = o.position = o.x = true; };
    prompts.saveFileAnswer = dir.Path("none.txt");
    ExportLinearData(*doc, dialogs);
    EXPECT_FALSE(dir.Exists("none.txt"));
}

TEST_F(ExportCommands, DigitizedPointsAskForTheFileFirst) {
    Line(2, 5);
    ExportDigitizedPoints(*doc, dialogs);
    EXPECT_EQ(prompts.proposedNames.size(), 1u);
    EXPECT_EQ(dialogs.shown, 0) << "the file box was cancelled";
    prompts.saveFileAnswer = dir.Path("points.txt");
    dialogs.points = [](PointsExportOptions& o) { o.header = true; };
    ExportDigitizedPoints(*doc, dialogs);
    EXPECT_TRUE(dir.Exists("points.txt"));
}

TEST_F(ExportCommands, CsmShowsTheDefaultMappingAndWritesTheEditedOne) {
    Line(2, 5);
    prompts.saveFileAnswer = dir.Path("walk.csm");
    dialogs.csm = [](CsmExportOptions& o) {
        o.mapping[1] = "RKNE";
        o.actor = "Ann";
    };
    ExportCsmFile(*doc, dialogs);
    EXPECT_EQ(dialogs.shownMapping, (std::vector<std::string>{"NOTDEF", "NOTDEF"}));
    const std::vector<std::uint8_t> bytes = ReadWholeFile(dir.Path("walk.csm"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("$Actor Ann\n"), std::string::npos);
    EXPECT_NE(text.find("NOTDEF RKNE \n"), std::string::npos);
}

TEST_F(ExportCommands, OkOfAnIncompleteDialogAsksWhetherToGiveUp) {
    EXPECT_EQ(ConfirmExportOk("", prompts), ExportOkOutcome::Accept);
    const std::string missing = "Type, has not been selected!\n\nContinue ?";
    prompts.ExpectQuestion(missing, Answer::Yes);
    EXPECT_EQ(ConfirmExportOk(missing, prompts), ExportOkOutcome::Reject);
    EXPECT_EQ(prompts.askedStyles.back().caption, "No Data To Export!");
    EXPECT_TRUE(prompts.askedStyles.back().warning);
    EXPECT_EQ(prompts.askedStyles.back().defaultButton, 1) << "No is the default";
    prompts.ExpectQuestion(missing, Answer::No);
    EXPECT_EQ(ConfirmExportOk(missing, prompts), ExportOkOutcome::Stay);
    prompts.ExpectQuestion(missing, Answer::Cancel);
    EXPECT_EQ(ConfirmExportOk(missing, prompts), ExportOkOutcome::Stay);
}

TEST_F(ExportCommands, WithoutAUsableFramePeriodNothingWithTimesIsWritten) {
    for (float period : {0.0f, -0.04f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        Line(2, 5);
        doc->framePeriod = period;
        EXPECT_FALSE(doc->HasUsableFramePeriod()) << period;
        prompts.saveFileAnswer = dir.Path("out");
        for (int k = 0; k < 5; ++k) prompts.ExpectMessage(kFramePeriodInvalid);
        ExportLinearData(*doc, dialogs);
        ExportAngularData(*doc, dialogs);
        ExportBvhFile(*doc);
        ExportC3dFile(*doc);
        ExportCsmFile(*doc, dialogs);
        EXPECT_EQ(dialogs.shown, 0) << "the message comes before any dialog";
        EXPECT_TRUE(prompts.proposedNames.empty()) << "and before the file box";
        prompts.ExpectMessage(kFramePeriodInvalid);
        EXPECT_FALSE(C3dExporter(*doc).Write(dir.Path("direct.c3d")));
        prompts.ExpectMessage(kFramePeriodInvalid);
        EXPECT_FALSE(CsmExporter(*doc).Write(CsmExportOptions{}, dir.Path("direct.csm")));
        EXPECT_EQ(dir.FileCount(), 0);
    }
    // The digitized points hold no times: they are still exported.
    prompts.saveFileAnswer = dir.Path("points.txt");
    dialogs.points = [](PointsExportOptions&) {};
    ExportDigitizedPoints(*doc, dialogs);
    EXPECT_TRUE(dir.Exists("points.txt"));
}

}  // namespace
}  // namespace kadivo::test
