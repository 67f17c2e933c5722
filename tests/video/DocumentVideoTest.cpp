// The sequence document on real video files.

#include "CKadivoDoc.h"
#include "FakePrompts.h"
#include "FrameCode.h"
#include "SequenceFile.h"
#include "TempDir.h"
#include "VideoSource.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kadivo::test {
namespace {

class DocumentVideoTest : public ::testing::Test {
protected:
    FakePrompts prompts;
    TempDir dir;
    std::unique_ptr<CKadivoDoc> doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));

    void NewSequence() {
        NewSequenceSetup setup;
        setup.pointCount = 2;
        prompts.wizardResult = setup;
        ASSERT_TRUE(doc->OnNewDocument());
    }
    VideoSource& Source(int v) { return static_cast<VideoSource&>(*doc->views[static_cast<std::size_t>(v)].videoSource); }
};

TEST_F(DocumentVideoTest, OpeningAVideoTakesItsSizeRateAndFrames) {
    NewSequence();
    const std::string path = VideoTestFile("mjpeg_720x576_25fps_100f.avi");
    ASSERT_EQ(doc->OpenVideoFile(path, true), 1);
    EXPECT_EQ(doc->current().frameStore.videoFileName, std::filesystem::path(path).lexically_normal().string());
    EXPECT_EQ(doc->current().frameSize, (FrameSize{720, 576}));
    EXPECT_FLOAT_EQ(doc->framePeriod, 0.04f);
    EXPECT_EQ(doc->LastFrame(0), 199);
    ASSERT_TRUE(Source(0).FetchFrame(7, false));
    EXPECT_EQ(ReadFrameIndex(Source(0).Format(), Source(0).FrameBuffer()), 3);

    prompts.ExpectMessage("Unable to Open File");
    EXPECT_EQ(doc->OpenVideoFile(VideoTestFile("not_a_video.avi"), false), 0);
    EXPECT_TRUE(prompts.openBoxNames.empty());
}

TEST_F(DocumentVideoTest, ASequenceFindsItsMovedVideoAndStoresTheNewPath) {
    NewSequence();
    std::filesystem::create_directory(dir.Path("capture"));
    std::filesystem::copy_file(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), dir.Path("capture/jump.avi"));
    ASSERT_EQ(doc->OpenVideoFile(dir.Path("capture/jump.avi"), false), 1);
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("jump.kdv")));

    // Sequence and video move to another folder together; the old folder is gone.
    std::filesystem::create_directory(dir.Path("moved"));
    std::filesystem::rename(dir.Path("jump.kdv"), dir.Path("moved/jump.kdv"));
    std::filesystem::rename(dir.Path("capture/jump.avi"), dir.Path("moved/jump.avi"));
    std::filesystem::remove(dir.Path("capture"));

    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("moved/jump.kdv")));
    EXPECT_EQ(doc->current().frameStore.videoFileName, dir.Path("moved/jump.avi"));
    EXPECT_TRUE(doc->HasVideo(0));
    EXPECT_EQ(Source(0).CachedFrame(), 0);
    EXPECT_TRUE(prompts.openBoxNames.empty());

    // Gone altogether: the user is asked, declines, and the view stays without video.
    std::filesystem::remove(dir.Path("moved/jump.avi"));
    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    prompts.ExpectQuestion("The video \"capture/jump.avi\" of camera view 1 was not found. Locate it?", Answer::No);
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("moved/jump.kdv")));
    EXPECT_FALSE(doc->HasVideo(0));
    EXPECT_TRUE(prompts.openBoxNames.empty());
    EXPECT_FALSE(doc->IsModified());
}

// Saved elsewhere, the sequence stores a link that still leads to its videos; a video not
// found is asked for, and the folder it is found in serves the other views too.
TEST_F(DocumentVideoTest, SaveAsElsewhereKeepsTheVideosFoundAndALocatedFolderServesEveryView) {
    NewSequence();
    std::filesystem::create_directories(dir.Path("trial/videos"));
    for (const char* name : {"a.avi", "b.avi"})
        std::filesystem::copy_file(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), dir.Path(std::string("trial/") + name));
    ASSERT_EQ(doc->OpenVideoFile(dir.Path("trial/a.avi"), false), 1);
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("trial/walk.kdv")));
    doc->AddCameraView();
    doc->SetCurrentView(1);
    ASSERT_EQ(doc->OpenVideoFile(dir.Path("trial/b.avi"), false), 1);
    std::filesystem::create_directory(dir.Path("results"));
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("results/walk.kdv")));

    CKadivoDoc stored(prompts, NoVideoSourceFactory());
    ReadSequenceFile(dir.Path("results/walk.kdv"), stored);
    EXPECT_EQ(stored.views[0].frameStore.videoFileName, "../trial/a.avi") << "a folder beside: relative";
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("trial/videos/walk.kdv")));
    ReadSequenceFile(dir.Path("trial/videos/walk.kdv"), stored);
    EXPECT_EQ(stored.views[1].frameStore.videoFileName, "../b.avi");
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("trial/walk.kdv")));
    ReadSequenceFile(dir.Path("trial/walk.kdv"), stored);
    EXPECT_EQ(stored.views[0].frameStore.videoFileName, "a.avi") << "beside: the bare name";

    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("results/walk.kdv")));
    EXPECT_TRUE(doc->HasVideo(0) && doc->HasVideo(1));
    EXPECT_FALSE(doc->IsModified());

    // Both videos moved away: located once, both come back.
    std::filesystem::create_directory(dir.Path("archive"));
    for (const char* name : {"a.avi", "b.avi"})
        std::filesystem::rename(dir.Path(std::string("trial/") + name), dir.Path(std::string("archive/") + name));
    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    prompts.ExpectQuestion("The video \"../trial/a.avi\" of camera view 1 was not found. Locate it?", Answer::Yes);
    prompts.openFileAnswer = dir.Path("archive/a.avi");
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("results/walk.kdv")));
    EXPECT_EQ(prompts.openBoxNames, std::vector<std::string>{dir.Path("results/a.avi")}) << "starts in the sequence's folder";
    EXPECT_TRUE(doc->HasVideo(0) && doc->HasVideo(1));
    EXPECT_EQ(doc->views[1].frameStore.videoFileName, dir.Path("archive/b.avi"));
    EXPECT_TRUE(doc->IsModified()) << "the new links are the user's to save";
}

TEST_F(DocumentVideoTest, ABareNameFoundBesideTheSequenceStaysBare) {
    NewSequence();
    std::filesystem::copy_file(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), dir.Path("jump.avi"));
    ASSERT_EQ(doc->OpenVideoFile(dir.Path("jump.avi"), false), 1);
    doc->current().frameStore.videoFileName = "jump.avi";
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("jump.kdv")));

    doc = std::make_unique<CKadivoDoc>(prompts, MakeVideoSourceFactory(prompts));
    ASSERT_TRUE(doc->OnOpenDocument(dir.Path("jump.kdv")));
    EXPECT_TRUE(doc->HasVideo(0));
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("jump.kdv")));
    CKadivoDoc stored(prompts, NoVideoSourceFactory());
    ReadSequenceFile(dir.Path("jump.kdv"), stored);
    EXPECT_EQ(stored.current().frameStore.videoFileName, "jump.avi") << "the pair still moves together";
}

}  // namespace
}  // namespace kadivo::test
