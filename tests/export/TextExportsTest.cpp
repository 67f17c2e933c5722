#include "ExportFixture.h"
#include "ExportPath.h"
#include "FileIo.h"
#include "Kinematics.h"
#include "TempDir.h"
#include "TextExports.h"

namespace kadivo::test {
namespace {

using TextExports = ExportFixture;

TEST_F(TextExports, AnUnsavedSequenceProposesDotTxtAndAnAnsweredNoKeepsTheFile) {
    NewSequence(1);
    EXPECT_FALSE(ChooseExportPath(*doc, "txt", kTextFilter));
    EXPECT_EQ(prompts.proposedNames.back(), ".txt");
    EXPECT_EQ(prompts.lastSaveExtension, "txt");
    EXPECT_EQ(prompts.lastSaveFilter, "Text File (*.txt)|*.txt|All Files (*.*)|*.*||");
    TempDir dir;
    const std::string existing = dir.Write("old.txt", {'k', 'e', 'e', 'p'});
    prompts.saveFileAnswer = existing;
    prompts.ExpectQuestion("Overwrite exsisting File ?", Answer::No);
    EXPECT_FALSE(ChooseExportPath(*doc, "txt", kTextFilter));
    EXPECT_EQ(prompts.askedButtons.back(), Buttons::YesNoCancel);
    prompts.ExpectQuestion("Overwrite exsisting File ?", Answer::Yes);
    EXPECT_EQ(ChooseExportPath(*doc, "txt", kTextFilter), existing);
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("walk.kdv")));
    prompts.saveFileAnswer = dir.Path("new.bvh");
    ChooseExportPath(*doc, "bvh", kBvhFilter);
    EXPECT_EQ(prompts.proposedNames.back(), dir.Path("walk.bvh"));
}

TEST_F(TextExports, ValidationNamesWhatIsMissing) {
    LinearExportOptions linear;
    EXPECT_EQ(ValidateLinearExport(linear), "Orientation, Type, Points, has not been selected!\n\nContinue ?");
    linear.rows = {false, true};
    linear.distance = true;
    EXPECT_EQ(ValidateLinearExport(linear), "Type, has not been selected!\n\nContinue ?");
    linear.velocity = true;
    EXPECT_EQ(ValidateLinearExport(linear), "");
    AngularExportOptions angular;
    angular.threeD = true;
    EXPECT_EQ(ValidateAngularExport(angular), "Angle, Joint, has not been selected!\n\nContinue ?");
    EXPECT_STREQ(kNoDataCaption, "No Data To Export!");
}

TEST_F(TextExports, UniformAndAcceleratedMotionExportTheirRatesInEveryRow) {
    World(1, 12, [](int p, int f) {
        const double t = 0.04 * f;
        return p == 0 ? Point3{3.0 * t, 2.0 * t * t / 2.0, 0.0} : Point3{1.0, 2.0, 2.0};
    });
    LinearExportOptions options;
    options.rows = {true, false};
    options.velocity = options.acceleration = true;
    options.x = options.y = true;
    const std::vector<std::string> lines = Lines(LinearExportText(*doc, options, Noon()));
    ASSERT_EQ(lines.size(), 12u);
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = Fields(line, '\t');
        ASSERT_EQ(fields.size(), 5u) << "four fields, each ended by a tab";
        EXPECT_EQ(fields[0], "3.000");  // X velocity
        EXPECT_EQ(fields[3], "2.000");  // Y acceleration
        EXPECT_EQ(fields[4], "");
    }
}

TEST_F(TextExports, HeaderHeadingsAndTheCentreOfGravityRow) {
    World(1, 3, [](int p, int) { return p == 0 ? Point3{3, 4, 0} : Point3{0, 6, 8}; });
    doc->modelPoints[0].name = "Hip";
    LinearExportOptions options;
    options.rows = {false, true};
    options.position = true;
    options.x = options.distance = true;
    const std::string text = LinearExportText(*doc, options, Noon());
    EXPECT_EQ(text, "0.000\t10.000\t\n0.000\t10.000\t\n0.000\t10.000\t\n");
    options.header = true;
    options.rows = {true, true};
    const std::vector<std::string> lines = Lines(LinearExportText(*doc, options, Noon()));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Kadivo v1.0 Linear Data.");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Create Date 12/8/2026");
    EXPECT_EQ(lines[3], "Time 9:5:7");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Hip - X pos\tHip - 3D pos\tCG - X pos\tCG - 3D pos\t");
    EXPECT_EQ(lines[6], "3.000\t5.000\t0.000\t10.000\t");
}

TEST_F(TextExports, HalfWidthsFollowTheirValuesAndAreEmptyWithoutImagesBehindThem) {
    World(1, 3, [](int p, int) { return p == 0 ? Point3{3, 4, 0} : Point3{0, 6, 8}; });
    doc->modelPoints[0].name = "Hip";
    LinearExportOptions options;
    options.rows = {true, false};
    options.position = true;
    options.x = options.distance = true;
    options.header = options.halfWidths = true;
    const std::vector<std::string> lines = Lines(LinearExportText(*doc, options, Noon()));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[5], "Hip - X pos\tHip - X pos +-95%\tHip - 3D pos\tHip - 3D pos +-95%\t");
    EXPECT_EQ(lines[6], "3.000\t\t5.000\t\t") << "world data written without digitized images have no known spread";
}

TEST_F(TextExports, AngularExportWithOnlyTheThreeDAxisWritesEmptyRows) {
    World(3, 4, [](int p, int f) { return Point3{static_cast<double>(p), static_cast<double>(p * f), 0}; });
    doc->modelPoints[0].linkedPoint[0] = 1;
    doc->modelPoints[0].segmentCount = 1;
    doc->modelPoints[1].linkedPoint[0] = 2;
    doc->modelPoints[1].segmentCount = 1;
    doc->modelPoints[1].name = "Knee";
    AngularExportOptions options;
    options.rows = {true};
    options.angle = true;
    options.threeD = true;
    EXPECT_EQ(AngularExportText(*doc, options, Noon()), "\n\n\n\n\n");
    options.z = true;
    options.header = true;
    const std::vector<std::string> lines = Lines(AngularExportText(*doc, options, Noon()));
    ASSERT_EQ(lines.size(), 5u + 1u + 4u);
    EXPECT_EQ(lines[0], "Kadivo v1.0 Angular Data.");
    EXPECT_EQ(lines[5], "Knee Angle Z\t");
    const std::vector<float> angles = JointAngleSeries(doc->worldFiltered, BuildJointList(*doc)[0], 4, 2, false);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%2.3f\t", static_cast<double>(angles[2]));
    EXPECT_EQ(lines[8], expected);
}

TEST_F(TextExports, DigitizedPointsFollowTheFrameStepUntilAFrameIsMissing) {
    NewSequence(2);
    doc->modelPoints[1].name = "Toe";
    ViewFrameStore& store = doc->current().frameStore;
    store.frameStep = 2;
    for (int frame : {0, 2, 4, 8}) {
        FrameRecord& record = store.NewRecord(frame);
        record.imagePos[1] = {static_cast<float>(frame) + 0.5f, -1.0f};
    }
    PointsExportOptions options;
    options.rows = {false, true};
    EXPECT_EQ(PointsExportText(*doc, options, Noon()), "0.500000\t-1.000000\t\n2.500000\t-1.000000\t\n4.500000\t-1.000000\t\n");
    options.header = true;
    options.rows = {false, false};
    const std::vector<std::string> lines = Lines(PointsExportText(*doc, options, Noon()));
    EXPECT_EQ(lines[0], "Kadivo v1.0 Raw Image coordinates.");
    EXPECT_EQ(lines[5], "") << "an empty heading line";
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines.size(), 10u) << "header, heading, blank and one empty row per frame";
}

TEST_F(TextExports, AFileThatCannotBeCreatedIsReported) {
    NewSequence(1);
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder.txt"));
    prompts.ExpectMessageStartingWith("The Data File could not be created!\n");
    EXPECT_FALSE(WriteExportFile(*doc, dir.Path("folder.txt"), "x", kDataFileFailure));
    EXPECT_NE(prompts.shownMessages.back().find("folder.txt"), std::string::npos) << "the reason names the file";
    // A full disk: the fixed text, then the system's reason.
    prompts.ExpectMessageStartingWith("The Data File could not be created!\n");
    {
        FileSizeLimit full(4);
        EXPECT_FALSE(WriteExportFile(*doc, dir.Path("full.txt"), std::string(100, 'x'), kDataFileFailure));
    }
    EXPECT_NE(prompts.shownMessages.back().find("File too large"), std::string::npos);
    EXPECT_FALSE(dir.Exists("full.txt"));
    EXPECT_TRUE(WriteExportFile(*doc, dir.Path("ok.txt"), "x\n", kDataFileFailure));
    EXPECT_EQ(ReadWholeFile(dir.Path("ok.txt")), (std::vector<std::uint8_t>{'x', '\n'}));
}

}  // namespace
}  // namespace kadivo::test
