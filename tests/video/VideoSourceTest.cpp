#include "VideoSource.h"

#include "FieldSplitting.h"
#include "FileIo.h"

#include "FakePrompts.h"
#include "FrameCode.h"
#include "MiniJson.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <random>

namespace kadivo::test {
namespace {

class VideoSourceTest : public ::testing::Test {
protected:
    FakePrompts prompts;
    VideoSource source{prompts};

    void OpenFile(const std::string& name, int storedStream = 0) {
        std::string path = VideoTestFile(name);
        ASSERT_TRUE(source.Open(path, "", 0, storedStream)) << name;
    }
    int FetchedIndex(int frame) {
        EXPECT_TRUE(source.FetchFrame(frame, true)) << "frame " << frame;
        return ReadFrameIndex(source.Format(), source.FrameBuffer());
    }
};

TEST_F(VideoSourceTest, EveryFrameOfEachFormatArrivesInOrderAndOutOfOrder) {
    struct Case {
        const char* file;
        int frames, bitCount, bytesPerPixel, rowLength;
        float period;
    };
    for (const Case& c : {Case{"raw_bgr24_320x240_30fps_30f.avi", 30, 24, 3, 960, 1.0f / 30},
                          Case{"pal8_160x120_25fps_16f.avi", 16, 8, 1, 160, 0.04f},
                          Case{"mjpeg_320x240_50fps_50f.avi", 50, 24, 3, 960, 0.02f}}) {
        SCOPED_TRACE(c.file);
        OpenFile(c.file);
        EXPECT_EQ(source.ImageType(), kImageNormal);
        EXPECT_EQ(source.StreamLength(), c.frames);
        EXPECT_EQ(source.LastFrame(), c.frames - 1);
        EXPECT_EQ(source.Format().header.bitCount, c.bitCount);
        EXPECT_EQ(source.BytesPerPixel(), c.bytesPerPixel);
        EXPECT_EQ(source.RowLength(), c.rowLength);
        EXPECT_FLOAT_EQ(source.FramePeriod(), c.period);
        for (int frame = 0; frame < c.frames; ++frame) ASSERT_EQ(FetchedIndex(frame), frame);
        std::mt19937 random(7);
        for (int i = 0; i < 60; ++i) {
            const int frame = static_cast<int>(random() % static_cast<unsigned>(c.frames));
            ASSERT_EQ(FetchedIndex(frame), frame);
        }
        EXPECT_EQ(FetchedIndex(c.frames + 5), c.frames - 1) << "a frame past the stream shows the last one";
        EXPECT_EQ(ReadStreamTag(source.Format(), source.FrameBuffer()), 1);
    }
}

// H.264 with B-frames in AVI (no presentation stamps) and MP4, and variable-rate Matroska:
// frame n is the n-th picture in display order, the first and the last included.
TEST_F(VideoSourceTest, EveryFrameOfReorderingCodecsIsTheFrameOfItsIndex) {
    struct Case {
        const char* file;
        float period;
        bool variable;
    };
    for (const Case& c : {Case{"h264_bframes_320x240_25fps_60f.avi", 0.04f, false}, Case{"h264_bframes_320x240_25fps_60f.mp4", 0.04f, false},
                          Case{"vfr_h264_320x240_60f.mkv", 0.0f, true}}) {
        SCOPED_TRACE(c.file);
        // Matroska keeps milliseconds: the 20 ms intervals are 19 to 21.
        if (c.variable) prompts.ExpectMessageStartingWith("The video has a variable frame rate: frame intervals from 19.0 to 40.0 ms.");
        OpenFile(c.file);
        EXPECT_EQ(source.StreamLength(), 60);
        EXPECT_EQ(source.LastFrame(), 59);
        if (!c.variable) {
            EXPECT_FLOAT_EQ(source.FramePeriod(), c.period);
        }
        for (int frame = 0; frame < 60; ++frame) ASSERT_EQ(FetchedIndex(frame), frame);
        for (int frame = 59; frame >= 0; --frame) ASSERT_EQ(FetchedIndex(frame), frame);
        std::vector<int> order(60);
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), std::mt19937(11));
        for (int frame : order) ASSERT_EQ(FetchedIndex(frame), frame);
    }
    // The variable rate's period is the mean interval: 29 × 40 ms and 30 × about 20 ms.
    EXPECT_NEAR(source.FramePeriod(), 0.0302, 0.0005);
}

// The picture lands bottom-up: the disc's centre, found in the buffer, is where the sidecar
// puts it, counted from the bottom row.
TEST_F(VideoSourceTest, RowsAreStoredBottomUp) {
    OpenFile("raw_bgr24_320x240_30fps_30f.avi");
    const Json sidecar = Json::ParseFile(VideoTestFile("raw_bgr24_320x240_30fps_30f.json"));
    for (int frame : {0, 11, 29}) {
        ASSERT_TRUE(source.FetchFrame(frame, true));
        long sumX = 0, sumY = 0, count = 0;
        for (int row = 0; row < 240; ++row)
            for (int column = 0; column < 320; ++column) {
                const std::uint8_t* p = source.FrameBuffer().data() + row * 960 + column * 3;
                if (row >= 240 - 24 && column < 64) continue;  // the code block
                if (p[1] < 128) continue;
                sumX += column;
                sumY += row;
                ++count;
            }
        ASSERT_GT(count, 0);
        const Json& centre = sidecar["centres"].items[static_cast<std::size_t>(frame)];
        EXPECT_EQ(sumX / count, static_cast<long>(centre["x"].number));
        EXPECT_EQ(sumY / count, static_cast<long>(centre["y_bottom"].number));
    }
}

TEST_F(VideoSourceTest, TallMotionJpegOpensAsInterlacedFields) {
    OpenFile("mjpeg_720x576_25fps_100f.avi");
    EXPECT_EQ(source.ImageType(), kImageInterlaced);
    EXPECT_EQ(source.FirstField(), 1);
    EXPECT_EQ(source.LastFrame(), 199);
    EXPECT_EQ(source.RowLength(), 2160);
    EXPECT_EQ(FetchedIndex(7), 3);
    for (int frame = 0; frame <= 199; ++frame) ASSERT_EQ(FetchedIndex(frame), frame / 2);
    for (int frame : {198, 3, 150, 0, 77}) ASSERT_EQ(FetchedIndex(frame), frame / 2);

    // Options back to "Normal": one image per stored frame again.
    source.SetImageOptions(kImageNormal, 0);
    EXPECT_EQ(source.LastFrame(), 99);
    EXPECT_EQ(FetchedIndex(7), 7);
}

TEST_F(VideoSourceTest, AStoredFirstFieldRecomputesTheLastFrame) {
    std::string path = VideoTestFile("mjpeg_320x240_50fps_50f.avi");
    ASSERT_TRUE(source.Open(path, "", 0, 0));
    source.SetImageOptions(kImageDualInterlaced, 1);
    EXPECT_EQ(source.LastFrame(), 199);
    ASSERT_TRUE(source.Open(path, "", 1, 0));
    EXPECT_EQ(source.LastFrame(), 199) << "the image type outlives the file";
    ASSERT_TRUE(source.Open(path, "", 0, 0));
    EXPECT_EQ(source.LastFrame(), 49);
}

TEST_F(VideoSourceTest, TheCachedFrameIsNotFetchedAgainUnlessForced) {
    OpenFile("mjpeg_320x240_50fps_50f.avi");
    ASSERT_TRUE(source.FetchFrame(4, false));
    EXPECT_EQ(source.CachedFrame(), 4);
    EXPECT_TRUE(source.HasFrame());
    source.Enhancement().Filter(source.Pixels(), 1);  // changes the buffer
    const std::vector<std::uint8_t> changed = source.FrameBuffer();
    EXPECT_FALSE(source.FetchFrame(4, false));
    EXPECT_EQ(source.FrameBuffer(), changed);
    EXPECT_TRUE(source.FetchFrame(4, true));
    EXPECT_NE(source.FrameBuffer(), changed);
}

TEST_F(VideoSourceTest, TwoVideoStreamsAskUnlessAChoiceIsStored) {
    prompts.streamAnswer = 1;
    OpenFile("two_streams_mjpeg_25fps_25f.avi");
    EXPECT_EQ(prompts.streamChoiceCounts, std::vector<int>{2});
    EXPECT_EQ(source.StreamIndex(), 1);
    EXPECT_EQ(source.FrameSize(), (FrameSize{240, 180}));
    ASSERT_TRUE(source.FetchFrame(3, true));
    EXPECT_EQ(ReadStreamTag(source.Format(), source.FrameBuffer()), 2);
    EXPECT_EQ(ReadFrameIndex(source.Format(), source.FrameBuffer()), 3);

    prompts.streamChoiceCounts.clear();
    OpenFile("two_streams_mjpeg_25fps_25f.avi", 1);
    EXPECT_TRUE(prompts.streamChoiceCounts.empty()) << "a stored choice of 1 is used";
    EXPECT_EQ(source.StreamIndex(), 1);

    prompts.streamAnswer = 0;  // Cancel
    OpenFile("two_streams_mjpeg_25fps_25f.avi", 2);
    EXPECT_EQ(prompts.streamChoiceCounts, std::vector<int>{2}) << "a stored choice past the streams asks";
    EXPECT_EQ(source.FrameSize(), (FrameSize{320, 240}));
    ASSERT_TRUE(source.FetchFrame(0, true));
    EXPECT_EQ(ReadStreamTag(source.Format(), source.FrameBuffer()), 1);

    prompts.streamChoiceCounts.clear();
    OpenFile("mjpeg_320x240_50fps_50f.avi", 0);
    EXPECT_TRUE(prompts.streamChoiceCounts.empty()) << "one video stream never asks";
}

TEST_F(VideoSourceTest, BrokenFilesFailWithoutHarm) {
    for (const char* name : {"empty.avi", "not_a_video.avi"}) {
        std::string path = VideoTestFile(name);
        EXPECT_FALSE(source.Open(path, "", 0, 0)) << name;
        EXPECT_FALSE(source.IsOpen());
        EXPECT_EQ(source.FrameSize(), (FrameSize{0, 0}));
        EXPECT_FLOAT_EQ(source.FramePeriod(), 1.0f);
        EXPECT_FALSE(source.FetchFrame(0, true));
    }
    EXPECT_TRUE(prompts.openBoxNames.empty()) << "a file that is there is not looked for";

    // What is left of a cut file is delivered; past it, fetches fail and keep the buffer.
    OpenFile("truncated_40pct_mjpeg_320x240.avi");
    EXPECT_LT(source.LastFrame(), 49);
    int delivered = 0;
    for (int frame = 0; frame <= source.LastFrame(); ++frame) {
        if (!source.FetchFrame(frame, true)) continue;
        EXPECT_EQ(ReadFrameIndex(source.Format(), source.FrameBuffer()), frame);
        ++delivered;
    }
    EXPECT_GE(delivered, 15);
    EXPECT_TRUE(source.FetchFrame(0, true));
}

TEST_F(VideoSourceTest, AFileWithoutDecoderReportsIt) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = ReadWholeFile(VideoTestFile("mjpeg_320x240_50fps_50f.avi"));
    // Renames the codec in the stream header and the bitmap header.
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (std::equal(bytes.begin() + static_cast<long>(i), bytes.begin() + static_cast<long>(i) + 4, "MJPG")) std::copy_n("QQQQ", 4, bytes.begin() + static_cast<long>(i));
    std::string path = dir.Write("unknown.avi", bytes);
    prompts.ExpectMessage("Error Reading the AVI file.\nNo suitable decompressor found!");
    EXPECT_FALSE(source.Open(path, "", 0, 0));
    EXPECT_FALSE(source.IsOpen());
}

TEST_F(VideoSourceTest, AMovedFileIsFoundNextToTheSequence) {
    TempDir dir;
    std::filesystem::copy_file(VideoTestFile("mjpeg_320x240_50fps_50f.avi"), dir.Path("walk.avi"));
    std::string name = "C:\\capture\\old\\walk.avi";
    ASSERT_TRUE(source.Open(name, dir.Path("walk.kdv"), 0, 0));
    EXPECT_EQ(name, dir.Path("walk.avi"));
    EXPECT_EQ(source.FileName(), dir.Path("walk.avi"));
    EXPECT_TRUE(prompts.openBoxNames.empty());

    std::filesystem::create_directory(dir.Path("videos"));
    std::filesystem::rename(dir.Path("walk.avi"), dir.Path("videos/walk.avi"));
    name = "videos/walk.avi";
    ASSERT_TRUE(source.Open(name, dir.Path("walk.kdv"), 0, 0)) << "relative to the sequence, not the working folder";
    EXPECT_EQ(name, dir.Path("videos/walk.avi"));

    name = "/nowhere/else.avi";
    EXPECT_FALSE(source.Open(name, dir.Path("walk.kdv"), 0, 0));
    name.clear();
    EXPECT_FALSE(source.Open(name, "", 0, 0)) << "an empty name fails at once";
    EXPECT_TRUE(prompts.openBoxNames.empty()) << "looking for a video is the document's question";
}

TEST_F(VideoSourceTest, SizesFollowTheZoomAndTheDrawRectangleStaysInside) {
    OpenFile("mjpeg_320x240_50fps_50f.avi");
    source.SetZoom(1.5f);
    EXPECT_EQ(source.DisplaySize(), (FrameSize{480, 360}));
    EXPECT_EQ(source.FrameSize(), (FrameSize{320, 240}));
    source.SetZoom(2.0f);
    // A 500 x 300 window scrolled to (100, 20) shows 220 x 150 source pixels, stretched twice.
    EXPECT_EQ(source.DrawSource(500, 300, 100, 20), (DrawRectangle{100, 20, 220, 150, 440, 300}));
    EXPECT_EQ(source.DrawSource(200, 100, 0, 0), (DrawRectangle{0, 0, 100, 50, 200, 100}));
    source.Close();
    EXPECT_EQ(source.DisplaySize(), (FrameSize{0, 0}));
    EXPECT_EQ(source.CachedFrame(), -1);
}

}  // namespace
}  // namespace kadivo::test
