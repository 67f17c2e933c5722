// Estimating the views' lag from the sound and the pictures of real videos.

#include "CKadivoDoc.h"
#include "FakePrompts.h"
#include "SequenceFile.h"
#include "SyncSceneVideo.h"
#include "TempDir.h"
#include "VideoSource.h"
#include "ViewSynchronisation.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace kadivo::test {
namespace {

constexpr int kRate = kSyncSceneRate;
constexpr double kLag = 3.4;  // the second camera's lag, in frames
const SyncRegion kLamp = kSyncSceneLamp;

std::string SceneVideo(const TempDir& dir, const std::string& name, double lampOn, double beep, bool withSound, unsigned seed) {
    const std::string path = dir.Path(name);
    EXPECT_EQ(WriteSyncSceneVideo(path, lampOn, beep, withSound, seed), "");
    return path;
}

class ViewSynchronisationTest : public ::testing::Test {
protected:
    FakePrompts prompts;
    TempDir dir;
    std::unique_ptr<CKadivoDoc> doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));

    // A sequence of the two cameras' videos (the second without sound unless `secondSounds`).
    std::string Sequence(bool secondSounds = true) {
        NewSequenceSetup setup;
        setup.pointCount = 1;
        prompts.wizardResult = setup;
        EXPECT_TRUE(doc->OnNewDocument());
        EXPECT_EQ(doc->OpenVideoFile(SceneVideo(dir, "left.mkv", 20.3, 0.5, true, 1), false), 1);
        doc->SetCurrentView(doc->AddCameraView());
        EXPECT_EQ(doc->OpenVideoFile(SceneVideo(dir, "right.mkv", 20.3 + kLag, 0.5 + kLag / kRate, secondSounds, 2), false), 1);
        const std::string path = dir.Path("scene.kdv");
        EXPECT_TRUE(doc->OnSaveDocument(path));
        return path;
    }
};

TEST_F(ViewSynchronisationTest, TheSoundAndTheLampBothGiveTheLagToAFractionOfAFrame) {
    Sequence();
    const std::vector<ViewSyncEstimate> audio = EstimateOffsetsFromAudio(*doc);
    ASSERT_EQ(audio.size(), 2u);
    EXPECT_EQ(audio[0].offsetFrames, 0.0);
    ASSERT_TRUE(audio[1].found) << audio[1].problem;
    EXPECT_TRUE(audio[1].trusted) << audio[1].problem;
    EXPECT_NEAR(audio[1].offsetFrames, kLag, 0.05);
    EXPECT_EQ(audio[1].evidence.rfind("correlation peak 0.", 0), 0u) << audio[1].evidence;

    const std::vector<ViewSyncEstimate> flash = EstimateOffsetsFromFlash(*doc, kLamp, prompts);
    EXPECT_EQ(prompts.progressSteps, 200) << "a step a frame of both videos";
    EXPECT_FALSE(prompts.progressShown);
    ASSERT_TRUE(flash[1].found) << flash[1].problem;
    EXPECT_NEAR(flash[1].offsetFrames, kLag, 0.05);
    EXPECT_EQ(doc->views[0].currentFrame, 0) << "the views keep the frames they show";

    // The fractions that make these the sequence's offsets keep the sync images.
    doc->views[1].syncFrame = 3;
    EXPECT_NEAR(FractionsFor(*doc, {0.0, audio[1].offsetFrames})[1], audio[1].offsetFrames - 3, 1e-12);
    ASSERT_TRUE(doc->SetSyncFractions(FractionsFor(*doc, {0.0, kLag})));
    EXPECT_NEAR(SequenceOffsets(*doc)[1], kLag, 1e-12);
}

TEST_F(ViewSynchronisationTest, WhatCannotBeMeasuredIsSaid) {
    Sequence(false);
    const std::vector<ViewSyncEstimate> audio = EstimateOffsetsFromAudio(*doc);
    EXPECT_FALSE(audio[1].found);
    EXPECT_EQ(audio[1].problem, "the video has no audio track");
    const std::vector<ViewSyncEstimate> outside = EstimateOffsetsFromFlash(*doc, {150, 100, 40, 40}, prompts);
    EXPECT_FALSE(outside[1].found);
    EXPECT_EQ(outside[1].problem, "the flash region lies outside the picture (160 x 120)");
    const std::vector<ViewSyncEstimate> dark = EstimateOffsetsFromFlash(*doc, {0, 80, 40, 40}, prompts);
    EXPECT_EQ(dark[0].problem, "no flash stands out of the region's brightness");
}

std::string RunSync(const std::string& arguments, int& status) {
    const std::string command = std::string(KADIVO_CLI) + " sync " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    status = pipe ? pclose(pipe) : -1;
    return output;
}

TEST_F(ViewSynchronisationTest, TheCommandLinePrintsEachViewsOffsetAndWritesThem) {
    const std::string sequence = Sequence();
    int status = 0;
    const std::string out = dir.Path("synchronised.kdv");
    const std::string printed = RunSync(sequence + " --write " + out, status);
    EXPECT_EQ(status, 0) << printed;
    EXPECT_EQ(printed.rfind("view 1: offset 0.000 frames\nview 2: offset 3.", 0), 0u) << printed;
    EXPECT_NE(printed.find("view 2: correlation peak"), std::string::npos) << printed;
    CKadivoDoc written(prompts, MakeVideoSourceFactory(prompts));
    ASSERT_TRUE(written.OnOpenDocument(out));
    EXPECT_NEAR(written.views[1].syncFraction, kLag, 0.05);

    const std::string flash = RunSync(sequence + " --flash 100,20,40,40", status);
    EXPECT_EQ(status, 0) << flash;
    EXPECT_NE(flash.find("view 2: flash at frame 23."), std::string::npos) << flash;
}

TEST_F(ViewSynchronisationTest, TheCommandLineSaysWhatItCouldNotMeasureAndKeepsTheOffset) {
    const std::string sequence = Sequence(false);
    int status = 0;
    const std::string printed = RunSync(sequence, status);
    EXPECT_NE(status, 0);
    EXPECT_NE(printed.find("view 2: offset 0.000 frames\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("view 2: the video has no audio track; the offset is kept (try --flash X,Y,W,H)"), std::string::npos)
        << printed;
    EXPECT_NE(RunSync(sequence + " --flash 1,2,3", status).find("--flash takes X,Y,W,H"), std::string::npos);
}

}  // namespace
}  // namespace kadivo::test
