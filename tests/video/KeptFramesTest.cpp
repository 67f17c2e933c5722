// The first frame of each video, kept between sessions: what its file holds, and a video
// that answers from it while the real file opens behind.

#include "ByteCursor.h"
#include "FakePrompts.h"
#include "FileIo.h"
#include "FrameCode.h"
#include "KeptAviFile.h"
#include "KeptFrameFile.h"
#include "TempDir.h"
#include "VideoSource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace kadivo::test {
namespace {

// A one-stream video of `length` frames whose frame n is filled with `shade + n`.
struct FakeVideoSpec {
    int width = 5, height = 3, length = 10;
    std::uint8_t shade = 40;
};

BitmapFormat FakeFormat(const FakeVideoSpec& spec) {
    BitmapFormat format;
    format.header.width = spec.width;
    format.header.height = spec.height;
    format.header.bitCount = 24;
    format.header.sizeImage = static_cast<std::uint32_t>(BitmapRowStride(spec.width, 24) * spec.height);
    return format;
}

class FakeDecoder final : public AviFrameDecoder {
public:
    explicit FakeDecoder(FakeVideoSpec spec) : spec_(spec) {}
    bool GetFrame(int position, BitmapFormat& format, std::uint8_t* rows) override {
        if (position < 0 || position >= spec_.length) return false;
        format = FakeFormat(spec_);
        std::fill_n(rows, format.header.sizeImage, static_cast<std::uint8_t>(spec_.shade + position));
        return true;
    }

private:
    FakeVideoSpec spec_;
};

class FakeStream final : public AviStream {
public:
    explicit FakeStream(FakeVideoSpec spec) : spec_(spec) {}
    AviStreamInfo Info() const override {
        AviStreamInfo info;
        info.type = kStreamTypeVideo;
        info.rate = 25;
        info.length = spec_.length;
        return info;
    }
    BitmapFormat ReadFormat() const override { return FakeFormat(spec_); }
    int Length() const override { return spec_.length; }
    int Start() const override { return 0; }
    std::unique_ptr<AviFrameDecoder> OpenFrameDecoder() override { return std::make_unique<FakeDecoder>(spec_); }

private:
    FakeVideoSpec spec_;
};

class FakeFile final : public AviFile {
public:
    explicit FakeFile(FakeVideoSpec spec) : spec_(spec) {}
    AviFileInfo Info() const override { return {1, 25, 1}; }
    std::unique_ptr<AviStream> GetStream(int index) override {
        return index == 0 ? std::make_unique<FakeStream>(spec_) : nullptr;
    }

private:
    FakeVideoSpec spec_;
};

class KeptFramesTest : public ::testing::Test {
protected:
    TempDir dir;
    const std::string video = dir.WriteText("clip.avi", "stands for the video: its identity is what counts");
    const std::string folder = dir.Path("kept");
    FakeVideoSpec spec;
    std::atomic<int> opens{0};

    AviFileOpener Opener() {
        return [this](const std::string& path) -> std::unique_ptr<AviFile> {
            EXPECT_EQ(path, video);
            ++opens;
            return std::make_unique<FakeFile>(spec);
        };
    }
    std::unique_ptr<AviFile> Open() { return OpenAviFileKeepingFrames(video, folder, Opener()); }

    // Opens the video the way a view does and shows frame `position`; the rows it got.
    std::vector<std::uint8_t> ShowFrame(AviFile& file, int position, bool& got) {
        std::unique_ptr<AviStream> stream = file.GetStream(0);
        EXPECT_TRUE(stream);
        if (!stream) return {};
        std::vector<std::uint8_t> rows(stream->ReadFormat().header.sizeImage);
        std::unique_ptr<AviFrameDecoder> decoder = stream->OpenFrameDecoder();
        BitmapFormat format;
        got = decoder && decoder->GetFrame(position, format, rows.data());
        return rows;
    }

    KeptVideo ParsedKeptFile(std::vector<std::uint8_t>& bytes) {
        bytes = ReadWholeFile(KeptFramePath(folder, video));
        return ParseKeptVideo(bytes.data(), bytes.size());
    }
};

TEST(KeptFrameFile, WritesAndReadsBackAndRefusesWhatItDidNotWrite) {
    KeptVideo video;
    video.identity = {"/videos/trial 3.avi", 123456789, 1733900000123456789, 42};
    video.file = {1, 25, 2};
    KeptStream colour{{kStreamTypeVideo, FourCc('M', 'J', 'P', 'G'), 1, 25, 0, 50, 0.039, 0.041, true}, {}, 50, 0};
    colour.format.header.width = 4;
    colour.format.header.height = 2;
    colour.format.header.bitCount = 24;
    colour.format.header.sizeImage = 24;
    KeptStream grey{{kStreamTypeVideo, 0, 1, 50, 0, 100, 0.0, 0.0, false}, {}, 100, 3};
    grey.format.header.bitCount = 8;
    grey.format.header.clrUsed = 2;
    grey.format.palette = {PaletteEntry{0, 0, 0, 0}, PaletteEntry{255, 255, 255, 0}};
    video.streams = {colour, grey};
    video.stream = 0;
    video.position = 7;
    video.frameFormat = colour.format;
    std::vector<std::uint8_t> rows(24);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(3 * i);
    video.rows = rows;

    std::vector<std::uint8_t> bytes = FormatKeptVideo(video);
    const KeptVideo back = ParseKeptVideo(bytes.data(), bytes.size());
    EXPECT_EQ(back.identity, video.identity);
    EXPECT_EQ(back.file.rate, 25u);
    EXPECT_EQ(back.file.streamCount, 2);
    ASSERT_EQ(back.streams.size(), 2u);
    EXPECT_EQ(back.streams[0].info.handler, FourCc('M', 'J', 'P', 'G'));
    EXPECT_TRUE(back.streams[0].info.variableRate);
    EXPECT_DOUBLE_EQ(back.streams[0].info.longestInterval, 0.041);
    EXPECT_EQ(back.streams[1].format.palette, grey.format.palette);
    EXPECT_EQ(back.streams[1].start, 3);
    EXPECT_EQ(back.position, 7);
    EXPECT_TRUE(std::equal(back.rows.begin(), back.rows.end(), rows.begin(), rows.end()));
    EXPECT_EQ(FormatKeptVideo(back), bytes);

    const auto refused = [](std::vector<std::uint8_t> damaged, const char* what) {
        EXPECT_THROW(ParseKeptVideo(damaged.data(), damaged.size()), FileFormatError) << what;
    };
    std::vector<std::uint8_t> flipped = bytes;
    flipped[bytes.size() - 10] ^= 0x01;
    refused(flipped, "a changed pixel");
    refused({bytes.begin(), bytes.end() - 5}, "a short file");
    refused({}, "an empty file");
    refused({bytes.begin(), bytes.begin() + 8}, "the magic alone");

    KeptVideo unlike = back;
    const std::vector<std::uint8_t> fewer(rows.begin(), rows.end() - 4);
    unlike.rows = fewer;
    refused(FormatKeptVideo(unlike), "rows that do not fill the stream's frame");
    unlike = back;
    unlike.stream = 2;
    refused(FormatKeptVideo(unlike), "a frame of a stream it does not describe");
}

TEST_F(KeptFramesTest, TheFirstOpenKeepsTheFirstFrameItShows) {
    {
        const std::unique_ptr<AviFile> file = Open();
        ASSERT_TRUE(file);
        EXPECT_EQ(opens, 1) << "nothing is kept yet: the real file opens at once";
        bool got = false;
        const std::vector<std::uint8_t> rows = ShowFrame(*file, 3, got);
        ASSERT_TRUE(got);
        EXPECT_EQ(rows.front(), spec.shade + 3);
    }
    std::vector<std::uint8_t> bytes;
    const KeptVideo kept = ParsedKeptFile(bytes);
    EXPECT_EQ(kept.identity, *IdentifyVideoFile(video));
    EXPECT_EQ(kept.position, 3);
    ASSERT_EQ(kept.streams.size(), 1u);
    EXPECT_EQ(kept.streams[0].length, spec.length);
    EXPECT_EQ(kept.rows.size(), FakeFormat(spec).header.sizeImage);
    EXPECT_EQ(kept.rows.front(), spec.shade + 3);
}

TEST_F(KeptFramesTest, AKeptVideoAnswersAtOnceAndOpensOnlyWhenAnotherFrameIsAskedFor) {
    bool got = false;
    const std::vector<std::uint8_t> decoded = ShowFrame(*Open(), 3, got);
    ASSERT_TRUE(got);
    opens = 0;

    VideoOpeningsHeldBack held;
    const std::unique_ptr<AviFile> file = Open();
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Info().streamCount, 1);
    std::unique_ptr<AviStream> stream = file->GetStream(0);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Length(), spec.length);
    EXPECT_EQ(stream->ReadFormat().header.width, spec.width);
    std::unique_ptr<AviFrameDecoder> decoder = stream->OpenFrameDecoder();
    ASSERT_TRUE(decoder);
    std::vector<std::uint8_t> rows(decoded.size());
    BitmapFormat format;
    ASSERT_TRUE(decoder->GetFrame(3, format, rows.data()));
    EXPECT_EQ(rows, decoded);
    EXPECT_EQ(format.header.sizeImage, FakeFormat(spec).header.sizeImage);
    EXPECT_EQ(opens, 0) << "the kept frame needs no decoder";

    ASSERT_TRUE(decoder->GetFrame(4, format, rows.data()));
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(rows.front(), spec.shade + 4);
    ASSERT_TRUE(decoder->GetFrame(3, format, rows.data()));
    EXPECT_EQ(rows, decoded) << "the real decoder gives what was kept";
    EXPECT_FALSE(decoder->GetFrame(spec.length, format, rows.data()));

    decoder.reset();
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ParsedKeptFile(bytes).position, 3) << "the frame shown first stays the kept one";
}

TEST_F(KeptFramesTest, AVideoClosedBeforeItsFramesWereNeededNeverOpens) {
    bool got = false;
    ShowFrame(*Open(), 0, got);
    opens = 0;
    {
        VideoOpeningsHeldBack held;
        const std::unique_ptr<AviFile> file = Open();
        ShowFrame(*file, 0, got);
        EXPECT_TRUE(got);
    }
    EXPECT_EQ(opens, 0);
}

TEST_F(KeptFramesTest, WithNothingHeldBackTheRealFileOpensBehindAtOnce) {
    bool got = false;
    ShowFrame(*Open(), 0, got);
    opens = 0;
    const std::unique_ptr<AviFile> file = Open();
    for (int wait = 0; wait < 500 && opens == 0; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(opens, 1);
}

TEST_F(KeptFramesTest, AChangedVideoOpensAtOnceAndIsKeptAgain) {
    bool got = false;
    ShowFrame(*Open(), 2, got);
    opens = 0;
    dir.WriteText("clip.avi", "another recording under the same name");
    spec.shade = 90;

    VideoOpeningsHeldBack held;
    const std::unique_ptr<AviFile> file = Open();
    EXPECT_EQ(opens, 1) << "the kept frame belongs to the old file";
    const std::vector<std::uint8_t> rows = ShowFrame(*file, 2, got);
    ASSERT_TRUE(got);
    EXPECT_EQ(rows.front(), 90 + 2);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ParsedKeptFile(bytes).rows.front(), 90 + 2);
}

TEST_F(KeptFramesTest, ARealStreamUnlikeItsKeptDescriptionGivesNoFrames) {
    bool got = false;
    ShowFrame(*Open(), 0, got);
    // The same file, as far as the file system tells, now decodes to larger frames: they
    // would not fit the buffers made for the kept description.
    spec.width = 64;
    const std::unique_ptr<AviFile> file = Open();
    const std::vector<std::uint8_t> rows = ShowFrame(*file, 0, got);
    EXPECT_TRUE(got) << "the kept frame itself";
    std::unique_ptr<AviFrameDecoder> decoder = file->GetStream(0)->OpenFrameDecoder();
    std::vector<std::uint8_t> buffer(rows.size());
    BitmapFormat format;
    EXPECT_FALSE(decoder->GetFrame(1, format, buffer.data()));
}

TEST_F(KeptFramesTest, ADamagedOrForeignKeptFrameIsDecodedAgain) {
    bool got = false;
    ShowFrame(*Open(), 0, got);
    std::vector<std::uint8_t> bytes = ReadWholeFile(KeptFramePath(folder, video));
    bytes[bytes.size() / 2] ^= 0xFF;
    WriteFileAtomically(KeptFramePath(folder, video), bytes);
    opens = 0;
    VideoOpeningsHeldBack held;
    const std::vector<std::uint8_t> rows = ShowFrame(*Open(), 0, got);
    EXPECT_EQ(opens, 1);
    ASSERT_TRUE(got);
    EXPECT_EQ(rows.front(), spec.shade);
}

TEST(KeptFrameFolder, TheOldestKeptFramesGoFirstAndOnlyKeptFramesGo) {
    TempDir dir;
    const auto written = [&](const std::string& name, int ageSeconds) {
        const std::string path = dir.Write(name, std::vector<std::uint8_t>(1000, 1));
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
        return path;
    };
    const std::string oldest = written("a.frame", 300), older = written("b.frame", 200), newer = written("c.frame", 100);
    const std::string other = written("notes.txt", 400);
    const std::string spared = written("d.frame", 500);
    TrimKeptFrames(dir.Path(""), spared, 2500);
    EXPECT_FALSE(std::filesystem::exists(oldest));
    EXPECT_FALSE(std::filesystem::exists(older));
    EXPECT_TRUE(std::filesystem::exists(newer));
    EXPECT_TRUE(std::filesystem::exists(spared)) << "the one just written, however old its time";
    EXPECT_TRUE(std::filesystem::exists(other));
}

TEST(KeptVideoFrames, AVideoSourceShowsTheKeptFirstFrameAndThenTheVideosOwn) {
    FakePrompts prompts;
    TempDir dir;
    const std::string folder = dir.Path("kept");
    const std::string path = VideoTestFile("mjpeg_720x576_25fps_100f.avi");
    VideoSource direct(prompts);
    std::string name = path;
    ASSERT_TRUE(direct.Open(name, {}, 0, 0));
    ASSERT_TRUE(direct.FetchFrame(0, false));
    const std::vector<std::uint8_t> first = direct.FrameBuffer();
    ASSERT_TRUE(direct.FetchFrame(7, false));
    const std::vector<std::uint8_t> seventh = direct.FrameBuffer();

    {
        VideoSource keeping(prompts, folder);
        name = path;
        ASSERT_TRUE(keeping.Open(name, {}, 0, 0));
        ASSERT_TRUE(keeping.FetchFrame(0, false));
    }
    VideoOpeningsHeldBack held;
    VideoSource kept(prompts, folder);
    name = path;
    ASSERT_TRUE(kept.Open(name, {}, 0, 0));
    EXPECT_EQ(kept.FrameSize(), direct.FrameSize());
    EXPECT_EQ(kept.LastFrame(), direct.LastFrame());
    EXPECT_FLOAT_EQ(kept.FramePeriod(), direct.FramePeriod());
    ASSERT_TRUE(kept.FetchFrame(0, false));
    EXPECT_EQ(kept.FrameBuffer(), first);
    ASSERT_TRUE(kept.FetchFrame(7, false));
    EXPECT_EQ(kept.FrameBuffer(), seventh);
}

TEST(WholeFileRead, ReadsFilesWhoseSizeTheSystemDoesNotKnowOrThatEndOnTheirSize) {
    TempDir dir;
    const std::vector<std::uint8_t> exact(70000, 0x2A);
    EXPECT_EQ(ReadWholeFile(dir.Write("exact", exact)), exact);
    EXPECT_TRUE(ReadWholeFile(dir.Write("empty", {})).empty());
    // The kernel's files say they are empty and are not.
    const std::vector<std::uint8_t> status = ReadWholeFile("/proc/self/status");
    const std::string text(status.begin(), status.end());
    EXPECT_NE(text.find("VmRSS"), std::string::npos);
}

}  // namespace
}  // namespace kadivo::test
