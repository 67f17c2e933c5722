#include "DocumentFixture.h"
#include "Hints.h"
#include "FileIo.h"
#include "RawSequenceBuilder.h"
#include "TempDir.h"

namespace kadivo::test {
namespace {

class Lifecycle : public DocumentFixture {
protected:
    TempDir dir;
};

TEST_F(Lifecycle, OpeningAVideoTakesItsSizeAndRateAndNamesTheMenuEntry) {
    NewSequence(2);
    videos.files["walk.avi"] = {99, {720, 576}, 0.04f};
    doc->current().currentFrame = 5;
    ASSERT_EQ(doc->OpenVideoFile("walk.avi", true), 1);
    EXPECT_EQ(doc->current().frameSize, (FrameSize{720, 576}));
    EXPECT_FLOAT_EQ(doc->framePeriod, 0.04f);
    EXPECT_EQ(doc->current().currentFrame, 0);
    EXPECT_EQ(doc->current().frameStore.videoFileName, "walk.avi");
    EXPECT_EQ(views.menu.at(0).text, "1 walk.avi");
    EXPECT_EQ(views.menu.at(0).command, "Camera View 1");
    EXPECT_EQ(views.sliderMax, 99);
    EXPECT_EQ(views.hints.back(), hint::kNewFrameResized);
}

TEST_F(Lifecycle, OpeningAFileThatFailsKeepsTheView) {
    NewSequence(2);
    prompts.ExpectMessage("Unable to Open File");
    EXPECT_EQ(doc->OpenVideoFile("nowhere.avi", true), 0);
    EXPECT_TRUE(doc->current().frameStore.videoFileName.empty());
}

TEST_F(Lifecycle, ASecondVideoCanGoIntoANewCameraView) {
    NewSequence(2);
    OpenVideo("a.avi", 10);
    videos.files["b.avi"] = {};
    const std::string question =
        "The Current Active Window is already loaded with a AVI file.\nDo you want to add an additional Window and Camera View ?";
    prompts.ExpectQuestion(question, Answer::Yes);
    ASSERT_EQ(doc->OpenVideoFile("b.avi", true), 1);
    EXPECT_EQ(doc->viewCount(), 2);
    EXPECT_EQ(doc->currentView, 1);
    EXPECT_EQ(doc->views[1].frameStore.videoFileName, "b.avi");
    EXPECT_EQ(views.menu.at(1).text, "2 b.avi");
    EXPECT_EQ(prompts.askedButtons.back(), Buttons::YesNo);
    prompts.ExpectQuestion(question, Answer::No);
    videos.files["c.avi"] = {};
    ASSERT_EQ(doc->OpenVideoFile("c.avi", true), 1);
    EXPECT_EQ(doc->viewCount(), 2);
    EXPECT_EQ(doc->views[1].frameStore.videoFileName, "c.avi");
}

TEST_F(Lifecycle, CameraViewsBeyondTheSixthShareTheLastCommand) {
    NewSequence(1);
    for (int v = 1; v < 8; ++v) doc->AddCameraView();
    ASSERT_EQ(views.menu.size(), 8u);
    EXPECT_EQ(views.menu[5].command, "Camera View 6");
    EXPECT_EQ(views.menu[7].command, "Camera View 6");
    EXPECT_EQ(views.menu[7].view, 7);
    EXPECT_EQ(views.menu[7].text, "8 ");
    doc->AddCameraView();
    doc->AddCameraView();
    prompts.ExpectMessage("A sequence can hold at most 10 camera views.");
    EXPECT_EQ(doc->AddCameraView(), -1);
    EXPECT_EQ(doc->viewCount(), 10);
}

TEST_F(Lifecycle, RemovingAViewAsksAndRemovesOnlyOnYes) {
    NewSequence(1);
    doc->RemoveCameraView();  // the only view: nothing, no question
    EXPECT_EQ(doc->viewCount(), 1);
    doc->AddCameraView();
    doc->SetCurrentView(1);
    prompts.ExpectQuestion("Are you sure to remove the View", Answer::Cancel);
    doc->RemoveCameraView();
    EXPECT_EQ(doc->viewCount(), 2);
    doc->views[0].currentFrame = 4;
    prompts.ExpectQuestion("Are you sure to remove the View", Answer::Yes);
    doc->RemoveCameraView();
    EXPECT_EQ(doc->viewCount(), 1);
    EXPECT_EQ(doc->currentView, 0);
    EXPECT_EQ(views.menu.size(), 1u);
    EXPECT_EQ(views.hints.back(), hint::kNewFrameResized);
    EXPECT_EQ(prompts.askedButtons.back(), Buttons::YesNoCancel);
    EXPECT_FALSE(doc->CanRemoveCameraView());
}

TEST_F(Lifecycle, SavingAppendsTheExtensionOnlyWhenMissing) {
    NewSequence(2);
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("walk")));
    EXPECT_EQ(doc->pathName(), dir.Path("walk.kdv"));
    EXPECT_TRUE(dir.Exists("walk.kdv"));
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("Walk.KDV")));
    EXPECT_EQ(doc->pathName(), dir.Path("Walk.KDV"));
    EXPECT_TRUE(dir.Exists("Walk.KDV"));
    EXPECT_FALSE(dir.Exists("Walk.KDV.kdv"));
}

TEST_F(Lifecycle, AFailedSaveLeavesThePreviousFile) {
    NewSequence(2);
    const std::string path = dir.Path("keep.kdv");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    const std::vector<std::uint8_t> before = ReadWholeFile(path);
    // Grow the sequence past a file size limit so that writing the new file fails.
    doc->worldFrameCount = 1000;
    doc->worldRaw = WorldData(1001, 3);
    doc->worldFiltered = WorldData(1001, 3);
    {
        FileSizeLimit limit(before.size() + 64);
        prompts.ExpectMessageStartingWith("The sequence could not be saved.\nCannot write");
        EXPECT_FALSE(doc->OnSaveDocument(path));
    }
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(dir.FileCount(), 1) << "no temporary file left behind";
}

TEST_F(Lifecycle, OpeningReopensVideosAndSelectsFrameZero) {
    const std::string path = dir.Write("seq.kdv", CraftSequence({}));
    videos.relocated["walk.avi"] = "/moved/walk.avi";
    videos.files["/moved/walk.avi"] = {200, {640, 480}, 0.02f};
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(doc->fileVersion, 3);
    EXPECT_EQ(doc->current().frameStore.videoFileName, "/moved/walk.avi") << "the sequence keeps the path found";
    ASSERT_EQ(Source(0).openCalls.size(), 1u);
    EXPECT_EQ(Source(0).openCalls[0].sequencePath, path);
    EXPECT_EQ(Source(0).openCalls[0].firstField, 1);
    EXPECT_EQ(Source(0).fetched, (std::vector<int>{0}));
    EXPECT_EQ(doc->current().frameSize, (FrameSize{640, 480}));
    EXPECT_EQ(doc->current().currentFrame, 0);
    ASSERT_NE(doc->current().frameStore.currentRecord(), nullptr);
    EXPECT_EQ(doc->current().frameStore.currentRecord()->frame, 0);
    EXPECT_EQ(doc->modelPoints[2].name, "CG");
    EXPECT_EQ(views.hints.back(), hint::kOpenedResized);
    EXPECT_EQ(windows.opened.size(), 1u);
    EXPECT_EQ(views.menu.at(0).text, "1 /moved/walk.avi");
    EXPECT_EQ(views.panes[4], "Image:1/201");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(Lifecycle, AMissingVideoIsAskedForAndTheRestLoads) {
    const std::string path = dir.Write("seq.kdv", CraftSequence({}));
    prompts.ExpectQuestion("The video \"walk.avi\" of camera view 1 was not found. Locate it?", Answer::No);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(doc->current().frameStore.recordCount(), 1);
    EXPECT_EQ(doc->current().frameStore.videoFileName, dir.Path("walk.avi")) << "where the link pointed";
}

TEST_F(Lifecycle, StoredStreamChoiceOfVersionThreeIsPassedToTheSource) {
    CraftedSequence crafted;
    crafted.streamChoice = 2;
    videos.files["walk.avi"] = {};
    ASSERT_TRUE(doc->OnOpenDocument(dir.Write("seq.kdv", CraftSequence(crafted))));
    EXPECT_EQ(Source(0).openCalls.at(0).storedStream, 2);
    crafted.version = 2;
    doc = MakeDocument();
    ASSERT_TRUE(doc->OnOpenDocument(dir.Write("v2.kdv", CraftSequence(crafted))));
    EXPECT_EQ(Source(0).openCalls.at(0).storedStream, 0) << "older files have no stored choice";
}

TEST_F(Lifecycle, VersionOneFileGetsOneDigitizingWindow) {
    CraftedSequence crafted;
    crafted.version = 1;
    crafted.views = 2;
    videos.files["walk.avi"] = {};
    ASSERT_TRUE(doc->OnOpenDocument(dir.Write("v1.kdv", CraftSequence(crafted))));
    EXPECT_EQ(doc->currentView, 0);
    ASSERT_EQ(doc->windows.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<DigitizingWindowState>(doc->windows.front()));
    EXPECT_EQ(Source(0).fetched, (std::vector<int>{0}));
}

TEST_F(Lifecycle, AWindowThatCannotBeCreatedIsDroppedAndLoadingGoesOn) {
    CraftedSequence crafted;
    crafted.windows = 2;
    videos.files["walk.avi"] = {};
    windows.canOpen = false;
    prompts.ExpectMessage("Failed to create empty document.");
    prompts.ExpectMessage("Failed to create empty document.");
    ASSERT_TRUE(doc->OnOpenDocument(dir.Write("seq.kdv", CraftSequence(crafted))));
    EXPECT_TRUE(doc->windows.empty());
    EXPECT_EQ(doc->current().frameStore.recordCount(), 1);
}

TEST_F(Lifecycle, AnUnreadableFileIsNotOpened) {
    NewSequence(3);
    std::vector<std::uint8_t> bytes = CraftSequence({});
    bytes.resize(bytes.size() / 2);
    prompts.ExpectMessageStartingWith("Unable to read the sequence file.\nThe file ends before");
    EXPECT_FALSE(doc->OnOpenDocument(dir.Write("cut.kdv", bytes)));
    EXPECT_EQ(doc->viewCount(), 1);
    EXPECT_EQ(doc->pointCount, 0) << "left as a fresh document";
    prompts.ExpectMessageStartingWith("Unable to read the sequence file.\nCannot open");
    EXPECT_FALSE(doc->OnOpenDocument(dir.Path("absent.kdv")));
    prompts.ExpectMessageStartingWith("Unable to read the sequence file.\nCannot read");
    EXPECT_FALSE(doc->OnOpenDocument(dir.Path("")));
}

TEST_F(Lifecycle, ClosingRemovesMenuAndWindows) {
    NewSequence(2);
    doc->OnCloseDocument();
    EXPECT_TRUE(doc->CameraViewMenuEntries().empty());
    EXPECT_EQ(windows.closeAllCount, 1);
    EXPECT_TRUE(doc->views.empty());
}

}  // namespace
}  // namespace kadivo::test
