// Frame n is the n-th picture in display order for codecs and containers made in the test:
// open groups of pictures, MPEG-4 part 2 with B-frames in AVI, HEVC, MOV, and an AVI whose
// header counts the wrong number of frames.

#include "AviWriter.h"
#include "CodedVideoWriter.h"
#include "FakePrompts.h"
#include "FileIo.h"
#include "FrameCode.h"
#include "TempDir.h"
#include "VideoSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace kadivo::test {
namespace {

class CodecMatrix : public ::testing::Test {
protected:
    TempDir dir;
    FakePrompts prompts;

    // Every frame in order, backwards and shuffled shows its own index.
    void ExpectEveryFrame(const std::string& path, int frames) {
        VideoSource source(prompts);
        std::string name = path;
        ASSERT_TRUE(source.Open(name, "", 0, 0)) << path;
        ASSERT_EQ(source.StreamLength(), frames);
        std::vector<int> order(static_cast<std::size_t>(frames));
        std::iota(order.begin(), order.end(), 0);
        std::vector<int> backwards(order.rbegin(), order.rend());
        std::vector<int> shuffled = order;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));
        for (const std::vector<int>* sequence : {&order, &backwards, &shuffled})
            for (int frame : *sequence) {
                ASSERT_TRUE(source.FetchFrame(frame, true)) << path << " frame " << frame;
                ASSERT_EQ(ReadFrameIndex(source.Format(), source.FrameBuffer()), frame) << path;
            }
    }
};

TEST_F(CodecMatrix, ReorderingCodecsInEveryContainer) {
    struct Case {
        const char* file;
        const char* encoder;
        const char* optionName;
        const char* options;
    };
    const Case cases[] = {
        {"open_gop.mkv", "libx264", "x264-params", "open-gop=1:keyint=12:min-keyint=12:scenecut=0:bframes=2"},
        {"open_gop.mp4", "libx264", "x264-params", "open-gop=1:keyint=12:min-keyint=12:scenecut=0:bframes=3"},
        {"mpeg4_bframes.avi", "mpeg4", "", ""},
        {"mpeg4_bframes.mov", "mpeg4", "", ""},
        {"hevc.mp4", "libx265", "x265-params", "bframes=2:keyint=12:min-keyint=12:log-level=none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CodedVideo spec;
        spec.path = dir.Path(c.file);
        spec.encoder = c.encoder;
        spec.privateOptionName = c.optionName;
        spec.privateOptions = c.options;
        const std::string error = WriteCodedVideo(spec);
        if (error.rfind("no encoder", 0) == 0) {
            std::printf("%s: %s, skipped\n", c.file, error.c_str());
            continue;
        }
        ASSERT_EQ(error, "");
        ExpectEveryFrame(spec.path, spec.frames);
    }
}

// An AVI whose main and stream headers claim 20 frames where the file holds 40: the index wins.
TEST_F(CodecMatrix, AHeaderThatLiesAboutTheFrameCount) {
    constexpr int kWidth = 160, kHeight = 120, kFrames = 40;
    const std::string path = dir.Path("lying_header.avi");
    std::string error;
    auto writer = CreateMjpegAviFile(path, kWidth, kHeight, 25, error);
    ASSERT_TRUE(writer) << error;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(kWidth * 3 * kHeight));
    for (int f = 0; f < kFrames; ++f) {
        std::fill(rows.begin(), rows.end(), std::uint8_t{100});
        for (int bit = 0; bit < 16; ++bit)
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    // Row y from the top lies kHeight − 1 − y rows up in the bottom-up buffer.
                    const int row = kHeight - 1 - (8 * (bit / 8) + y), column = 8 * (bit % 8) + x;
                    for (int c = 0; c < 3; ++c)
                        rows[static_cast<std::size_t>((row * kWidth + column) * 3 + c)] = (f >> bit) & 1 ? 255 : 0;
                }
        ASSERT_TRUE(writer->WriteFrame(rows.data(), kWidth * 3));
    }
    ASSERT_TRUE(writer->Finish());
    std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    auto patch = [&](const char* chunk, std::size_t offset) {
        const auto found = std::search(bytes.begin(), bytes.end(), chunk, chunk + 4);
        ASSERT_NE(found, bytes.end()) << chunk;
        const std::uint32_t lie = kFrames / 2;
        std::memcpy(&*(found + 8 + static_cast<std::ptrdiff_t>(offset)), &lie, 4);
    };
    patch("avih", 16);  // dwTotalFrames
    patch("strh", 32);  // dwLength
    WriteFileAtomically(path, bytes);
    ExpectEveryFrame(path, kFrames);
}

}  // namespace
}  // namespace kadivo::test
