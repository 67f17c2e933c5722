// The wizards' pages without a widget: navigation, the checks of each page, and the profile
// files that finishing writes.

#include "FakePrompts.h"
#include "TempDir.h"
#include "WizardFlow.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kadivo::test {
namespace {

using P = WizardPage;

class Wizards : public ::testing::Test {
protected:
    TempDir dir;
    FakePrompts prompts;
    ModelProfileList models{dir.Path("model.ini")};
    CalibrationProfileList calibrations{dir.Path("calibration.ini")};

    void SetUp() override {
        models.Load();
        calibrations.Load();
    }
    // One model ("Arm", two points joined by a segment) and one 2D frame on file.
    void WriteProfiles() {
        std::ofstream(dir.Path("model.ini")) << "*Arm\n2\n1\tR\tShoulder\t2\tUpper arm\n2\tR\tElbow\n";
        std::ofstream(dir.Path("calibration.ini")) << "*Board\n2\n4\n0\t0\t0\n1\t0\t0\n1\t1\t0\n0\t1\t0\n";
        models.Load();
        calibrations.Load();
        ASSERT_EQ(models.lastIndex, 1);
        ASSERT_EQ(calibrations.lastIndex, 1);
    }
    static void Expect(WizardFlow& flow, P page) { EXPECT_EQ(static_cast<int>(flow.page()), static_cast<int>(page)); }
    static void NextTo(WizardFlow& flow, P page) {
        const std::optional<std::string> refused = flow.Next();
        EXPECT_FALSE(refused) << *refused;
        Expect(flow, page);
    }
};

TEST_F(Wizards, WithoutProfilesNextLeadsThroughTheDefinitions) {
    WizardFlow flow(WizardKind::NewSequence, models, calibrations);
    Expect(flow, P::ModelChoice);
    EXPECT_FALSE(flow.CanBack());
    NextTo(flow, P::ModelName);
    EXPECT_TRUE(flow.newModel());
    flow.model().TypeName("Walker");
    flow.model().SetPointCount(3);
    NextTo(flow, P::PointNames);
    NextTo(flow, P::Segments);
    NextTo(flow, P::CalibrationChoice);
    NextTo(flow, P::CalibrationName);
    EXPECT_TRUE(flow.newCalibration());
    flow.Back();
    Expect(flow, P::CalibrationChoice);
    EXPECT_FALSE(flow.newCalibration()) << "back on the choice page, the choice is open again";
    flow.Back();
    flow.Back();
    flow.Back();
    flow.Back();
    Expect(flow, P::ModelChoice);
    EXPECT_FALSE(flow.newModel());
}

TEST_F(Wizards, WithProfilesNextUsesTheChosenOnesAndBackRetracesThePath) {
    WriteProfiles();
    WizardFlow flow(WizardKind::NewSequence, models, calibrations);
    NextTo(flow, P::CalibrationChoice);
    EXPECT_FALSE(flow.newModel());
    NextTo(flow, P::Finished);
    EXPECT_TRUE(flow.IsLast());
    flow.Back();
    Expect(flow, P::CalibrationChoice);

    // A new posture calibration: page 5 leads to page 6, and back from the end returns there.
    flow.NewCalibration();
    Expect(flow, P::CalibrationName);
    flow.calibration().TypeName("Standing");
    flow.calibration().SetMethod(CalibrationDefinition::kPosture);
    NextTo(flow, P::Posture);
    EXPECT_TRUE(flow.Next());  // no height yet
    EXPECT_FALSE(flow.calibration().SetSubjectHeight("1.82"));
    NextTo(flow, P::Finished);
    flow.Back();
    Expect(flow, P::Posture);
    flow.Back();
    // The frame methods skip page 6.
    flow.calibration().SetMethod(CalibrationDefinition::kFrame2D);
    NextTo(flow, P::FramePoints);
    EXPECT_EQ(flow.calibration().Points().rowCount(), 4) << "the chosen profile's points to start from";
    flow.calibration().Points().RemoveRows({0, 1, 2, 3});
    EXPECT_TRUE(flow.Next()) << "a 2D frame without points";
    for (int i = 0; i < 4; ++i) flow.calibration().Points().Add();
    NextTo(flow, P::Finished);
    flow.Back();
    Expect(flow, P::FramePoints);

    // "New Model" on page 0 enters the definition even with profiles.
    WizardFlow again(WizardKind::NewSequence, models, calibrations);
    again.NewModel();
    Expect(again, P::ModelName);
    EXPECT_TRUE(again.newModel());
}

TEST_F(Wizards, NewModelAndNewCalibrationStartAsNewUnnamedProfiles) {
    WriteProfiles();
    WizardFlow flow(WizardKind::NewSequence, models, calibrations);
    flow.NewModel();
    EXPECT_EQ(flow.model().Name(), kNewProfileName) << "not the profile page 0 had selected";
    EXPECT_EQ(flow.Next(), std::optional<std::string>(kProfileNameNotUnique));
    Expect(flow, P::ModelName);
    flow.model().TypeName("Leg");
    flow.model().SetPointCount(3);
    NextTo(flow, P::PointNames);
    NextTo(flow, P::Segments);
    NextTo(flow, P::CalibrationChoice);
    flow.NewCalibration();
    EXPECT_EQ(flow.calibration().Name(), kNewProfileName);
    EXPECT_EQ(flow.Next(), std::optional<std::string>(kProfileNameNotUnique));
    flow.calibration().TypeName("Floor");
    flow.calibration().SetMethod(CalibrationDefinition::kFrame2D);
    NextTo(flow, P::FramePoints);
    for (int i = 0; i < 4; ++i) flow.calibration().Points().Add();
    NextTo(flow, P::Finished);
    ASSERT_TRUE(flow.Finish(prompts));

    // Both new profiles are added; the existing ones are as they were.
    models.Load();
    calibrations.Load();
    EXPECT_EQ(models.names(), (std::vector<std::string>{"Arm", "Leg", kNewProfileName}));
    EXPECT_EQ(models.profiles[0].pointCount(), 2);
    EXPECT_EQ(models.profiles[0].GetName(1), "Elbow");
    EXPECT_EQ(calibrations.lastIndex, 2);
    EXPECT_EQ(calibrations.GetName(0), "Board");
    EXPECT_EQ(calibrations.GetName(1), "Floor");
}

TEST_F(Wizards, NamesAndCountsAreChecked) {
    WriteProfiles();
    WizardFlow flow(WizardKind::Model, models, calibrations);
    ModelDefinition& definition = flow.model();
    definition.Choose(models.lastIndex);
    EXPECT_EQ(definition.Name(), "New Profile");
    EXPECT_FALSE(definition.CanRemoveFromList());
    EXPECT_EQ(flow.Next(), std::optional<std::string>(kProfileNameNotUnique));
    definition.TypeName("Arm");
    EXPECT_EQ(flow.Next(), std::optional<std::string>(kProfileNameNotUnique)) << "a typed name that exists";
    definition.TypeName("Leg");
    for (int count : {0, 50}) {
        definition.SetPointCount(count);
        EXPECT_TRUE(flow.Next()) << count;
    }
    definition.SetPointCount(49);
    NextTo(flow, P::PointNames);
    definition.SetPointName(3, "Point 1");
    const std::optional<std::string> duplicate = flow.Next();
    ASSERT_TRUE(duplicate);
    EXPECT_NE(duplicate->find("\"Point 1\""), std::string::npos);

    CalibrationDefinition& calibration = flow.calibration();
    calibration.TypeName("Board");
    EXPECT_EQ(calibration.AcceptNameAndMethod(), std::optional<std::string>(kProfileNameNotUnique));
    calibration.TypeName("Cube");
    calibration.SetMethod(CalibrationDefinition::kFrame3D);
    EXPECT_EQ(calibration.Points().rowCount(), 4);
    calibration.Points().Add();
    EXPECT_TRUE(calibration.AcceptPoints()) << "five points cannot calibrate a camera in space";
    calibration.Points().Add();
    EXPECT_FALSE(calibration.AcceptPoints());
}

TEST_F(Wizards, AnExistingModelGrowsAndShrinksAtTheEnd) {
    WriteProfiles();
    WizardFlow flow(WizardKind::Model, models, calibrations);
    ModelDefinition& model = flow.model();
    model.Choose(0);
    EXPECT_TRUE(model.CanRemoveFromList());
    model.SetPointCount(4);
    NextTo(flow, P::PointNames);
    ASSERT_EQ(model.Points().size(), 4u);
    EXPECT_EQ(model.Label(0), "R. Shoulder");
    EXPECT_EQ(model.Label(3), "N. Point 4");
    ASSERT_EQ(model.Segments().size(), 1u);
    flow.Back();
    model.SetPointCount(1);
    NextTo(flow, P::PointNames);
    EXPECT_EQ(model.Points().size(), 1u);
    EXPECT_TRUE(model.Segments().empty()) << "the segment lost its base point";
}

TEST_F(Wizards, ReorderingAndRemovingPointsKeepsTheSegmentsOnTheirPoints) {
    WizardFlow flow(WizardKind::Model, models, calibrations);
    ModelDefinition& model = flow.model();
    model.TypeName("Chain");
    model.SetPointCount(3);
    NextTo(flow, P::PointNames);
    model.SetPointName(0, "A");
    model.SetPointName(1, "B");
    model.SetPointName(2, "C");
    model.SetPointSide(0, kSideLeft);
    model.AddSegment();
    model.SetSegment(0, {"A-B", 0, 1});
    model.AddSegment();
    model.SetSegment(1, {"B-C", 1, 2});
    model.MoveDown(0);  // B A C
    EXPECT_EQ(model.Label(1), "L. A");
    EXPECT_EQ(model.Segments()[0].anchor, 1);
    EXPECT_EQ(model.Segments()[0].base, 0);
    EXPECT_EQ(model.Segments()[1].anchor, 0);
    model.RemovePoint(1);  // B C: A and its segment go
    ASSERT_EQ(model.Segments().size(), 1u);
    EXPECT_EQ(model.Segments()[0].name, "B-C");
    EXPECT_EQ(model.Segments()[0].anchor, 0);
    EXPECT_EQ(model.Segments()[0].base, 1);
    model.AddSegment();
    model.SetSegment(1, {"loop", 1, 1});
    NextTo(flow, P::Segments);
    EXPECT_TRUE(flow.Next()) << "a segment from a point to itself";
}

TEST_F(Wizards, RemovingSeveralControlPointsRemovesExactlyTheSelectedRows) {
    ControlPointTable table;
    for (int i = 0; i < 6; ++i) {
        table.Add();
        EXPECT_FALSE(table.SetCell(i, 0, std::to_string(i)));
    }
    table.RemoveRows({1, 4, 3});
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.Cell(0, 0), "0.000");
    EXPECT_EQ(table.Cell(1, 0), "2.000");
    EXPECT_EQ(table.Cell(2, 0), "5.000");
    EXPECT_TRUE(table.SetCell(0, 1, "1,5")) << "a comma is not a decimal point";
    EXPECT_TRUE(table.SetCell(0, 1, "nan"));
    EXPECT_TRUE(table.SetCell(0, 1, ""));
    EXPECT_FALSE(table.SetCell(0, 1, " -12.5e-1 "));
    EXPECT_EQ(table.Cell(0, 1), "-1.250");
}

TEST_F(Wizards, FinishingEachWizardWritesItsProfileFile) {
    {
        WizardFlow flow(WizardKind::Model, models, calibrations);
        ModelDefinition& model = flow.model();
        model.TypeName("Leg");
        model.SetPointCount(3);
        NextTo(flow, P::PointNames);
        model.SetPointName(0, "Hip");
        model.SetPointName(1, "Knee");
        model.SetPointName(2, "Ankle");
        model.SetPointSide(1, kSideRight);
        model.AddSegment();
        model.SetSegment(0, {"Thigh", 0, 1});
        NextTo(flow, P::Segments);
        NextTo(flow, P::ModelFinished);
        ASSERT_TRUE(flow.Finish(prompts));
    }
    {
        WizardFlow flow(WizardKind::Calibration, models, calibrations);
        CalibrationDefinition& calibration = flow.calibration();
        calibration.TypeName("Cube");
        calibration.SetMethod(CalibrationDefinition::kFrame3D);
        NextTo(flow, P::FramePoints);
        for (int i = 0; i < 8; ++i) {
            calibration.Points().Add();
            for (int axis = 0; axis < 3; ++axis) calibration.Points().SetCell(i, axis, std::to_string((i >> axis) & 1));
        }
        NextTo(flow, P::CalibrationFinished);
        ASSERT_TRUE(flow.Finish(prompts));
    }
    ModelProfileList readModels(dir.Path("model.ini"));
    readModels.Load();
    ASSERT_EQ(readModels.lastIndex, 1);
    const ModelProfile& leg = readModels.profiles[0];
    EXPECT_EQ(leg.profileName, "Leg");
    EXPECT_EQ(leg.GetName(1), "Knee");
    EXPECT_EQ(leg.GetSide(1), kSideRight);
    EXPECT_EQ(leg.GetSide(0), kSideNone);
    ASSERT_EQ(leg.SegmentCount(0), 1);
    EXPECT_EQ(leg.SegmentLinked(0, 0), 1);
    EXPECT_EQ(leg.SegmentName(0, 0), "Thigh");
    CalibrationProfileList readCalibrations(dir.Path("calibration.ini"));
    readCalibrations.Load();
    ASSERT_EQ(readCalibrations.lastIndex, 1);
    EXPECT_EQ(readCalibrations.profiles[0].calibrationType, 1);
    ASSERT_EQ(readCalibrations.profiles[0].pointCount(), 8);
    EXPECT_EQ(readCalibrations.profiles[0].GetPoint(7), (Point3{1, 1, 1}));

    // The new-sequence wizard then offers both and hands them to the document.
    models.Load();
    calibrations.Load();
    WizardFlow flow(WizardKind::NewSequence, models, calibrations);
    NextTo(flow, P::CalibrationChoice);
    NextTo(flow, P::Finished);
    ASSERT_TRUE(flow.Finish(prompts));
    const NewSequenceSetup setup = flow.Setup();
    EXPECT_EQ(setup.pointCount, 3);
    EXPECT_EQ(setup.modelPoints[2].name, "Ankle");
    EXPECT_EQ(setup.modelPoints[0].linkedPoint[0], 1);
    EXPECT_EQ(setup.calibrationType, 1);
    EXPECT_EQ(setup.calibrationPointCount, 8);
}

TEST_F(Wizards, APostureProfileKeepsTheHeightInItsFourthPoint) {
    WizardFlow flow(WizardKind::Calibration, models, calibrations);
    CalibrationDefinition& calibration = flow.calibration();
    calibration.TypeName("Standing");
    calibration.SetMethod(CalibrationDefinition::kPosture);
    NextTo(flow, P::Posture);
    EXPECT_TRUE(calibration.SetSubjectHeight("tall"));
    EXPECT_FALSE(calibration.SetSubjectHeight("1.75"));
    NextTo(flow, P::CalibrationFinished);
    ASSERT_TRUE(flow.Finish(prompts));
    calibrations.Load();
    ASSERT_EQ(calibrations.profiles[0].pointCount(), 4);
    EXPECT_EQ(calibrations.profiles[0].GetPoint(3), (Point3{0, 1.75, 0}));
    CalibrationDefinition again(calibrations);
    EXPECT_EQ(again.SubjectHeight(), 1.75);
}

}  // namespace
}  // namespace kadivo::test
