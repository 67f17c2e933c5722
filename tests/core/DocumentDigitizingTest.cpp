#include "DocumentFixture.h"
#include "Hints.h"

namespace kadivo::test {
namespace {

using Digitizing = DocumentFixture;

TEST_F(Digitizing, FreshDocumentHasOneViewAndTheDefaults) {
    EXPECT_EQ(doc->viewCount(), 1);
    EXPECT_EQ(doc->pointCount, 0);
    EXPECT_EQ(doc->current().zoomCode, 3);
    EXPECT_EQ(doc->current().frameSize, (FrameSize{0, 0}));
    EXPECT_EQ(doc->current().missingFlags.size(), 1u);
    // Every option's default by value, as a new sequence starts.
    const SequenceOptions& o = doc->options;
    EXPECT_EQ(o.sequenceTitle, "");
    EXPECT_EQ(o.autoAdvance, 1);
    EXPECT_EQ(o.frameStep, 1);
    EXPECT_EQ(o.smartScroll, 0);
    EXPECT_EQ(o.autoResize, 1);
    EXPECT_EQ(o.autoDigitizeInterval, 500);
    EXPECT_EQ(o.autoCenterOnZoom, 0);
    EXPECT_EQ(o.showPointTags, 0);
    EXPECT_EQ(o.locateMethod, 1) << "Computer Vision";
    EXPECT_EQ(o.templateMethod, 1) << "SAVD";
    EXPECT_EQ(o.thresholdMovement, 20);
    EXPECT_EQ(o.templateWidth, 15);
    EXPECT_EQ(o.templateHeight, 15);
    EXPECT_EQ(o.searchWidth, 50);
    EXPECT_EQ(o.searchHeight, 50);
    EXPECT_EQ(o.captureDelay, 500);
    EXPECT_EQ(o.captureTime, 3);
    EXPECT_EQ(o.captureRate, 25);
    EXPECT_EQ(o.interpolation, 0) << "None";
    EXPECT_EQ(o.filtering, 1) << "Spline";
    EXPECT_FLOAT_EQ(o.cutOffFrequency, 6.0f);
    EXPECT_EQ(o.splineOrder, 2) << "Quintic";
    EXPECT_EQ(o.smoothError, -1.0);
    EXPECT_EQ(o.lockViews, 0);
    EXPECT_EQ(o.firstField, 1) << "Odd Line Numbers";
    EXPECT_EQ(doc->calibrationType, 0);
    EXPECT_EQ(doc->calibrationPointCount, 2);
    EXPECT_TRUE(doc->calibrationPoints.empty());
    EXPECT_EQ(doc->framePeriod, 1.0f);
    EXPECT_EQ(doc->fileVersion, 0);
    EXPECT_EQ(doc->modelPoints[0].name, "Point 1");
    EXPECT_EQ(doc->modelPoints[49].segmentName[3], "Segment 4");
    EXPECT_EQ(doc->modelPoints[0].side, kSideNone);
}

TEST_F(Digitizing, NewSequenceTakesTheWizardsModelAndSetsTheCentreOfGravity) {
    NewSequence(3, 6);
    EXPECT_EQ(doc->pointCount, 3);
    EXPECT_EQ(doc->modelPoints[2].name, "P3");
    EXPECT_EQ(doc->modelPoints[3].name, "CG");
    EXPECT_EQ(doc->modelPoints[3].linkedPoint[0], -1);
    EXPECT_EQ(doc->calibrationPointCount, 6);
    EXPECT_EQ(doc->calibrationPoints.size(), 7u);
    EXPECT_EQ(doc->current().missingFlags.size(), 4u);
    ASSERT_EQ(windows.opened.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<DigitizingWindowState>(windows.opened[0]));
}

TEST_F(Digitizing, CancelledWizardOrEmptyModelCreatesNoDocument) {
    EXPECT_FALSE(doc->OnNewDocument());
    prompts.wizardResult = NewSequenceSetup{};
    EXPECT_FALSE(doc->OnNewDocument());
}

TEST_F(Digitizing, CompletingAFrameAdvancesPastCompleteFramesAndReturnsTwo) {
    NewSequence(2);
    OpenVideo("walk.avi", 5);
    EXPECT_EQ(DigitizeFrame(), 2);
    EXPECT_EQ(doc->current().currentFrame, 1);
    // Complete frames 2 and 3 ahead, then go back to frame 1 and finish it.
    for (int frame : {2, 3}) {
        doc->GoToFrame(frame, false);
        DigitizeFrame();
    }
    doc->GoToFrame(1, false);
    EXPECT_EQ(DigitizeFrame(), 2);
    EXPECT_EQ(doc->current().currentFrame, 4) << "skips the complete frames 2 and 3";
    EXPECT_EQ(Source(0).fetched.back(), 4);
    EXPECT_GE(Source(0).prepared, 1);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(Digitizing, AdvanceStopsOneStepBeforeTheLastFrame) {
    NewSequence(1);
    OpenVideo("walk.avi", 3);
    doc->SetFrameStep(2);
    EXPECT_EQ(DigitizeFrame(), 2);
    EXPECT_EQ(doc->current().currentFrame, 2);
    EXPECT_EQ(DigitizeFrame(), 0) << "frame 2 is the last reachable: the next add is refused";
    EXPECT_EQ(doc->current().currentFrame, 2);
}

TEST_F(Digitizing, MissingPointsAreFilledAndRemovedWithThePointBeforeThem) {
    NewSequence(4);
    OpenVideo("walk.avi", 10);
    doc->current().missingFlags[1] = 1;
    doc->current().missingFlags[2] = 1;
    EXPECT_EQ(doc->AddPoint({5, 6}, {1, 1}, true), 1);
    const FrameRecord* record = doc->current().frameStore.currentRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->digitizedCount, 3);
    EXPECT_EQ(record->imagePos[1], kNoPosition);
    EXPECT_EQ(record->imagePos[2], kNoPosition);
    EXPECT_EQ(views.panes[3], "P4");
    doc->options.autoAdvance = 0;
    doc->AddPoint({}, {4, 4}, true);
    EXPECT_EQ(record->digitizedCount, 4);
    doc->RemoveLastPoint();
    EXPECT_EQ(record->digitizedCount, 1) << "the filled points before the removed one go too";
    EXPECT_EQ(views.hints.back(), hint::kPointsRemoved);
}

TEST_F(Digitizing, WithoutAutoAdvanceAtMostOneFlaggedPointIsFilledPerAdd) {
    NewSequence(4);
    OpenVideo("walk.avi", 10);
    doc->options.autoAdvance = 0;
    doc->current().missingFlags[1] = 1;
    doc->current().missingFlags[2] = 1;
    doc->AddPoint({}, {1, 1}, true);
    EXPECT_EQ(doc->current().frameStore.NextIndex(kMovement), 2);
}

TEST_F(Digitizing, StaticPointsAreCopiedFromThePreviousFrame) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    DigitizeFrame();
    doc->current().staticFlags[1] = 1;
    EXPECT_EQ(doc->AddPoint({}, {3, 3}, true), 2) << "the copy completes frame 1";
    const FrameRecord* record = doc->current().frameStore.FindRecord(1, kMovement);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->imagePos[1], (Point2f{10.0f, 20.0f}));
    EXPECT_EQ(record->digitizedCount, 2);
}

TEST_F(Digitizing, StaticPointWithoutPreviousFrameStopsFillingInsteadOfLooping) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->current().staticFlags[1] = 1;
    EXPECT_EQ(doc->AddPoint({}, {3, 3}, true), 1);
    EXPECT_EQ(doc->current().frameStore.NextIndex(kMovement), 1);
}

TEST_F(Digitizing, MissingInCalibrationModeOnlyShowsTheMessage) {
    NewSequence(2);
    doc->SwitchToCalibration();
    prompts.ExpectMessage("When digitizing the Calibration no points can be missing!");
    EXPECT_EQ(doc->MarkPointMissingInFrame(), 0);
    EXPECT_EQ(doc->current().frameStore.calibrationRecord.digitizedCount, 0);
}

TEST_F(Digitizing, MarkPointMissingUsesThePreviousScrollAndFillsOn) {
    NewSequence(3);
    OpenVideo("walk.avi", 10);
    DigitizeFrame();
    doc->current().missingFlags[1] = 1;
    EXPECT_EQ(doc->MarkPointMissingInFrame(), 1);
    const FrameRecord* record = doc->current().frameStore.currentRecord();
    EXPECT_EQ(record->imagePos[0], kNoPosition);
    EXPECT_EQ(record->scrollPos[0], (ScrollPos{1, 2}));
    EXPECT_EQ(record->digitizedCount, 2);
}

TEST_F(Digitizing, PointMissingCommandFlagsThePointForTheFollowingFrames) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->OnPointMissing();
    EXPECT_EQ(doc->current().missingFlags[0], 1);
    EXPECT_EQ(views.hints.back(), hint::kPointsAdded);
    EXPECT_EQ(doc->AddPoint({}, {4, 4}, true), 2);
    EXPECT_EQ(doc->current().currentFrame, 1);
    const FrameRecord* record = doc->current().frameStore.currentRecord();
    ASSERT_NE(record, nullptr) << "frame 1 got its missing point without a click";
    EXPECT_EQ(record->digitizedCount, 1);
    EXPECT_EQ(record->imagePos[0], kNoPosition);
}

TEST_F(Digitizing, PointStaticCommandNeedsAPreviousRecord) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->OnPointStatic();
    EXPECT_EQ(doc->current().frameStore.recordCount(), 0);
    EXPECT_EQ(doc->current().staticFlags[0], 0);
    DigitizeFrame();
    doc->OnPointStatic();
    EXPECT_EQ(doc->current().staticFlags[0], 1);
    EXPECT_EQ(doc->current().frameStore.currentRecord()->imagePos[0], (Point2f{0.0f, 20.0f}));
}

TEST_F(Digitizing, CalibrationPointsClearTheCalibrationAndShowTheirCount) {
    NewSequence(2, 4);
    doc->dltValid = true;
    doc->SwitchToCalibration();
    EXPECT_EQ(views.panes[1], "Calibration");
    EXPECT_EQ(views.panes[3], "Point 0/4");
    EXPECT_EQ(doc->AddPoint({}, {1, 1}, true), 1);
    EXPECT_FALSE(doc->dltValid);
    EXPECT_EQ(views.panes[2], "None");
    EXPECT_EQ(views.panes[3], "Point 1/4");
    doc->dltValid = true;
    doc->RemoveLastPoint();
    EXPECT_FALSE(doc->dltValid);
    EXPECT_EQ(doc->current().frameStore.calibrationRecord.digitizedCount, 0);
}

TEST_F(Digitizing, StatusBarShowsSideNameAndImageCounter) {
    NewSequence(2);
    doc->modelPoints[0].side = kSideLeft;
    OpenVideo("walk.avi", 49);
    EXPECT_EQ(views.panes[1], "Movement");
    EXPECT_EQ(views.panes[2], "Left");
    EXPECT_EQ(views.panes[3], "P1");
    EXPECT_EQ(views.panes[4], "Image:1/50");
    doc->options.autoAdvance = 0;
    DigitizeFrame();
    EXPECT_EQ(views.panes[3], "Finished");
}

TEST_F(Digitizing, ClearAllPointsEmptiesTheFrame) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->AddPoint({}, {1, 1}, true);
    doc->OnClearAllPoints();
    EXPECT_EQ(doc->current().frameStore.NextIndex(kMovement), 0);
    EXPECT_EQ(views.hints.back(), hint::kRedrawFromData);
}

TEST_F(Digitizing, ModeSwitchOpensTheCalibrationVideoAndBack) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    videos.files["frame.avi"] = {};
    doc->current().frameStore.calibrationVideoName = "frame.avi";
    doc->SwitchToCalibration();
    EXPECT_EQ(Source(0).FileName(), "frame.avi");
    EXPECT_EQ(doc->current().frameStore.videoFileName, "walk.avi");
    doc->SwitchToMovement();
    EXPECT_EQ(Source(0).FileName(), "walk.avi");
    EXPECT_EQ(doc->digitizeMode, kMovement);
    EXPECT_EQ(views.hints.back(), hint::kNewFrame);
}

TEST_F(Digitizing, FirstSwitchToCalibrationRemembersTheOpenVideo) {
    NewSequence(2, 6);
    OpenVideo("walk.avi", 10);
    doc->SwitchToCalibration();
    EXPECT_EQ(doc->current().frameStore.calibrationVideoName, "walk.avi");
    EXPECT_EQ(doc->current().frameStore.calibrationPointCount, 6);
}

TEST_F(Digitizing, LeavingAnUnfinishedCalibrationAsksAndNoStays) {
    NewSequence(2, 4);
    OpenVideo("walk.avi", 10);
    doc->OnCalibrationCommand();
    doc->AddPoint({}, {1, 1}, false);
    const std::string question = "The Calibration frame is not finished!\nProced to digitize movement ?";
    prompts.ExpectQuestion(question, Answer::No);
    doc->OnMovementCommand();
    EXPECT_EQ(doc->digitizeMode, kCalibration);
    prompts.ExpectQuestion(question, Answer::Yes);
    doc->OnMovementCommand();
    EXPECT_EQ(doc->digitizeMode, kMovement) << "incomplete: no transformation is offered";
}

TEST_F(Digitizing, ACompletedCalibrationOffersTheTransformation) {
    NewSequence(2, 4);
    OpenVideo("walk.avi", 10);
    doc->calibrationPoints.assign(5, Point3{});
    int transformed = 0;
    doc->steps.calibrateViews = [](CKadivoDoc& d) { d.dltValid = true; };
    doc->steps.transformImageData = [&](CKadivoDoc&, const FrameProgress&) { ++transformed; };
    doc->OnCalibrationCommand();
    for (int i = 0; i < 4; ++i) doc->AddPoint({}, {static_cast<float>(10 * i), 5}, false);
    prompts.ExpectQuestion("Transform Data Now ?", Answer::Yes);
    doc->OnMovementCommand();
    EXPECT_EQ(transformed, 1);
    doc->OnCalibrationCommand();
    doc->OnMovementCommand();  // nothing changed since: no question
    EXPECT_EQ(prompts.askedButtons.back(), Buttons::YesNo);
}

}  // namespace
}  // namespace kadivo::test
