#include "TempDir.h"
#include "VideoLinks.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kadivo::test {
namespace {

TEST(VideoLinks, FileBoxesOfASequenceStartInItsFolder) {
    EXPECT_EQ(BesideSequence("/data/trials/walk.kdv", "*.avi"), "/data/trials/*.avi");
    EXPECT_EQ(BesideSequence("/walk.kdv", "*.avi"), "/*.avi");
    EXPECT_EQ(BesideSequence("", "*.avi"), "*.avi") << "not saved yet";
}

TEST(VideoLinks, TheStoredLinkSuitsThePlaceTheSequenceIsSavedAt) {
    EXPECT_EQ(VideoLinkFor("/data/trial/a.avi", "/data/trial/walk.kdv"), "a.avi");
    EXPECT_EQ(VideoLinkFor("/data/trial/video/a.avi", "/data/trial/walk.kdv"), "video/a.avi");
    EXPECT_EQ(VideoLinkFor("/data/video/a.avi", "/data/results/walk.kdv"), "../video/a.avi");
    EXPECT_EQ(VideoLinkFor("/media/camera/a.avi", "/home/me/results/walk.kdv"), "/media/camera/a.avi")
        << "far apart: absolute";
    EXPECT_EQ(VideoLinkFor("/data/trial/./x/../a.avi", "/data/trial/walk.kdv"), "a.avi");
    EXPECT_EQ(VideoLinkFor("a.avi", "/data/results/walk.kdv"), "a.avi") << "relative: kept";
    EXPECT_EQ(VideoLinkFor("/data/a.avi", ""), "/data/a.avi") << "no file yet";
    EXPECT_EQ(VideoLinkFor("", "/data/walk.kdv"), "");
}

TEST(VideoLinks, AStoredLinkIsLookedForBesideTheSequenceFirst) {
    EXPECT_EQ(VideoCandidates("video/a.avi", "/data/trial/walk.kdv"),
              (std::vector<std::string>{"/data/trial/video/a.avi", "video/a.avi", "/data/trial/a.avi", "a.avi"}));
    EXPECT_EQ(VideoCandidates("C:\\capture\\a.avi", "/data/walk.kdv").at(2), "/data/a.avi") << "another system's path";
    EXPECT_EQ(VideoCandidates("/old/a.avi", "").size(), 2u);
    EXPECT_TRUE(VideoCandidates("", "/data/walk.kdv").empty());

    TempDir dir;
    std::filesystem::create_directory(dir.Path("video"));
    dir.Write("video/a.avi", std::vector<std::uint8_t>{1});
    dir.Write("b.avi", std::vector<std::uint8_t>{1});
    EXPECT_EQ(FindVideo("video/a.avi", dir.Path("walk.kdv")), dir.Path("video/a.avi"));
    EXPECT_EQ(FindVideo("/old/place/b.avi", dir.Path("walk.kdv")), dir.Path("b.avi"));
    EXPECT_EQ(FindVideo("video", dir.Path("walk.kdv")), "") << "a folder is no video";
    EXPECT_EQ(FindVideo("gone.avi", dir.Path("walk.kdv")), "");
    EXPECT_EQ(UnfoundVideoPath("gone/c.avi", dir.Path("walk.kdv")), dir.Path("gone/c.avi"));
    EXPECT_EQ(UnfoundVideoPath("C:\\gone\\c.avi", dir.Path("walk.kdv")), "C:\\gone\\c.avi");
}

}  // namespace
}  // namespace kadivo::test
