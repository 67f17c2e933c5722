#include "DocumentFixture.h"
#include "Hints.h"

namespace kadivo::test {
namespace {

class Options : public DocumentFixture {
protected:
    void SetUp() override {
        NewSequence(3, 4);
        OpenVideo("walk.avi", 50);
    }
};

TEST_F(Options, TheSheetShowsTheDocumentAndCancelChangesNothing) {
    doc->options.frameStep = 2;
    doc->options.autoDigitizeInterval = 750;
    doc->current().missingFlags[1] = 1;
    const SequenceOptions before = doc->options;
    doc->OnSequenceOptions(3);
    ASSERT_EQ(prompts.shownSheets.size(), 1u);
    const SequenceOptionsSheet& shown = prompts.shownSheets[0];
    EXPECT_EQ(shown.startPage, 3);
    EXPECT_EQ(shown.frameStep, 2);
    EXPECT_DOUBLE_EQ(shown.autoDigitizeSeconds, 0.75);
    EXPECT_EQ(shown.pointNames, (std::vector<std::string>{"P1", "P2", "P3"}));
    EXPECT_EQ(shown.missingFlags, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(shown.calibrationPoints.size(), 5u);
    EXPECT_EQ(doc->options, before);
    EXPECT_TRUE(views.hints.empty());
}

TEST_F(Options, AButterworthCutOffAtHalfTheFrameRateIsRefused) {
    doc->framePeriod = 0.02f;
    prompts.editSheet = [](SequenceOptionsSheet& s) {
        s.filtering = kButterworthFiltering;
        s.cutOffFrequency = 25.0f;
    };
    prompts.ExpectMessage("The cut-off frequency of the Butterworth filter must lie above 0 Hz and below half the frame rate "
                          "(25 Hz). The filtering was not changed.");
    const int before = doc->options.filtering;
    doc->OnSequenceOptions(0);
    EXPECT_EQ(doc->options.filtering, before);
    prompts.editSheet = [](SequenceOptionsSheet& s) {
        s.filtering = kButterworthFiltering;
        s.cutOffFrequency = 8.0f;
    };
    doc->OnSequenceOptions(0);
    EXPECT_EQ(doc->options.filtering, kButterworthFiltering);
    EXPECT_EQ(doc->options.cutOffFrequency, 8.0f);
}

TEST_F(Options, OkStoresTheValuesInBothWidthAndHeight) {
    prompts.editSheet = [](SequenceOptionsSheet& s) {
        s.sequenceTitle = "Long jump";
        s.templateSize = 21;
        s.searchSize = 70;
        s.autoDigitizeSeconds = 1.2345;
        s.staticFlags = {0, 0, 1};
        s.tracking = {6, true, true};
        s.captureRate = 50;
    };
    doc->OnSequenceOptions(0);
    EXPECT_EQ(doc->options.sequenceTitle, "Long jump");
    EXPECT_EQ(doc->options.templateWidth, 21);
    EXPECT_EQ(doc->options.templateHeight, 21);
    EXPECT_EQ(doc->options.searchWidth, 70);
    EXPECT_EQ(doc->options.searchHeight, 70);
    EXPECT_EQ(doc->options.autoDigitizeInterval, 1234);
    EXPECT_EQ(doc->current().staticFlags[2], 1);
    EXPECT_EQ(Source(0).Tracking(), (TrackingSettings{6, true, true}));
    EXPECT_EQ(doc->options.captureRate, 50);
    EXPECT_EQ(views.hints.back(), hint::kPointsRemoved);
}

TEST_F(Options, ChangingTheCalibrationDiscardsWorldDataAndCalibrationPoints) {
    doc->worldFrameCount = 5;
    doc->worldRaw = WorldData(6, 4);
    doc->worldFiltered = WorldData(6, 4);
    doc->dltValid = true;
    doc->SwitchToCalibration();
    doc->AddPoint({}, {1, 1}, false);
    doc->SwitchToMovement();
    doc->SetModifiedFlag(false);
    prompts.editSheet = [](SequenceOptionsSheet& s) {
        s.calibrationPointCount = 6;
        s.calibrationPoints.assign(7, Point3{1, 2, 3});
    };
    doc->OnSequenceOptions(5);
    EXPECT_EQ(doc->worldFrameCount, 0);
    EXPECT_TRUE(doc->worldRaw.empty());
    EXPECT_TRUE(doc->worldFiltered.empty());
    EXPECT_FALSE(doc->dltValid);
    EXPECT_EQ(doc->current().frameStore.calibrationRecord.digitizedCount, 0);
    EXPECT_FALSE(doc->current().frameStore.calibrationDirty);
    EXPECT_EQ(doc->current().frameStore.calibrationPointCount, 6);
    EXPECT_EQ(doc->calibrationPoints.size(), 7u);
    EXPECT_EQ(doc->calibrationPoints[6], (Point3{1, 2, 3}));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(Options, EditingCalibrationCoordinatesKeepsTheWorldData) {
    doc->worldFrameCount = 5;
    doc->worldRaw = WorldData(6, 4);
    prompts.editSheet = [](SequenceOptionsSheet& s) { s.calibrationPoints[2] = {4, 5, 6}; };
    doc->OnSequenceOptions(5);
    EXPECT_EQ(doc->worldFrameCount, 5);
    EXPECT_EQ(doc->calibrationPoints[2], (Point3{4, 5, 6}));
}

TEST_F(Options, TemplateMethodIsCopiedIntoEveryViewsSource) {
    doc->AddCameraView();
    prompts.editSheet = [](SequenceOptionsSheet& s) { s.templateMethod = 2; };
    doc->OnSequenceOptions(1);
    EXPECT_EQ(Source(0).templateMethod, 2);
    EXPECT_EQ(Source(1).templateMethod, 2);
}

TEST_F(Options, ChangedFilteringReRunsTheConditioning) {
    int refreshed = 0, calibrated = 0;
    doc->steps.refreshWorldData = [&](CKadivoDoc&) { ++refreshed; };
    doc->steps.calibrateViews = [&](CKadivoDoc&) { ++calibrated; };
    prompts.editSheet = [](SequenceOptionsSheet& s) { s.recalculate = true; };
    doc->OnSequenceOptions(3);
    EXPECT_EQ(refreshed, 0) << "nothing changed";
    EXPECT_EQ(calibrated, 0) << "no valid calibration to recompute";
    prompts.editSheet = [](SequenceOptionsSheet& s) { s.cutOffFrequency = 8.0f; };
    doc->OnSequenceOptions(3);
    EXPECT_EQ(refreshed, 1);
    EXPECT_FLOAT_EQ(doc->options.cutOffFrequency, 8.0f);
}

TEST_F(Options, FrameStepFromTheSheet) {
    doc->current().currentFrame = 7;
    prompts.editSheet = [](SequenceOptionsSheet& s) { s.frameStep = 5; };
    doc->OnSequenceOptions(0);
    EXPECT_EQ(doc->current().currentFrame, 5);
    EXPECT_EQ(views.sliderMax, 50);
}

TEST_F(Options, VideoOptionsTakeTheFirstFieldAndClampTheFrame) {
    doc->current().currentFrame = 40;
    Source(0).SetImageOptions(1, 1);
    prompts.imageOptionsAnswer = {{0, 0}};
    Source(0).lastFrameAfterImageOptions = 25;
    doc->OnVideoOptions();
    EXPECT_EQ(prompts.shownImageOptions.at(0), (std::pair<int, int>{1, 1})) << "preset from the source";
    EXPECT_EQ(Source(0).ImageType(), 0);
    EXPECT_EQ(doc->options.firstField, 0);
    EXPECT_EQ(doc->current().currentFrame, 25);
    EXPECT_EQ(views.hints.back(), hint::kVideoOptionsResized);
}

TEST_F(Options, FrameRateDialogShowsAndSetsTheRate) {
    doc->framePeriod = 0.04f;
    prompts.frameRateAnswer = 50.0;
    doc->OnSetVideoFrameRate();
    ASSERT_EQ(prompts.shownFrameRates.size(), 1u);
    EXPECT_NEAR(prompts.shownFrameRates[0], 25.0, 1e-4);
    EXPECT_FLOAT_EQ(doc->framePeriod, 0.02f);
    prompts.frameRateAnswer = 0.0;
    doc->OnSetVideoFrameRate();
    EXPECT_FLOAT_EQ(doc->framePeriod, 0.02f) << "a rate of zero is ignored";
}

}  // namespace
}  // namespace kadivo::test
