#include "DocumentFixture.h"
#include "RawSequenceBuilder.h"
#include "SequenceFile.h"
#include "HeadlessPrompts.h"
#include "TempDir.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

namespace kadivo::test {
namespace {

class SequenceFileErrors : public DocumentFixture {
protected:
    // Reads `bytes` and returns the error message, or "" when the file was read.
    std::string ReadError(const std::vector<std::uint8_t>& bytes) {
        try {
            ReadSequence(bytes.data(), bytes.size(), *doc);
            return "";
        } catch (const FileFormatError& error) {
            return error.what();
        }
    }

    static void Patch(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
        std::memcpy(bytes.data() + offset, &value, 4);
    }

    static std::size_t OffsetOf(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& pattern) {
        auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
        EXPECT_NE(at, bytes.end());
        return static_cast<std::size_t>(at - bytes.begin());
    }
};

TEST_F(SequenceFileErrors, EveryTruncationIsAnErrorNamingTheField) {
    CraftedSequence crafted;
    crafted.views = 2;
    crafted.worldFrames = 2;
    crafted.windows = 1;
    const std::vector<std::uint8_t> full = CraftSequence(crafted);
    for (std::size_t length = 0; length < full.size(); ++length) {
        const std::string error = ReadError({full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)});
        ASSERT_EQ(error.rfind("The file ends before ", 0), 0u) << "length " << length << ": " << error;
    }
    EXPECT_EQ(ReadError(full), "");
}

TEST_F(SequenceFileErrors, CountsBeyondTheFormatsLimitsAreRefused) {
    const std::vector<std::uint8_t> good = CraftSequence({});
    auto refused = [&](std::size_t offset, std::int32_t value, const std::string& expected) {
        std::vector<std::uint8_t> bytes = good;
        Patch(bytes, offset, value);
        EXPECT_EQ(ReadError(bytes), expected);
    };
    refused(0, 11, "Invalid view count in the sequence file: 11");
    refused(0, 0, "Invalid view count in the sequence file: 0");
    refused(4, 50, "Invalid point count in the sequence file: 50");
    refused(4, -1, "Invalid point count in the sequence file: -1");
    // The zoom code of view 0 follows 20 four-byte fields, the 1-byte empty text and the
    // 8-byte smooth error: 4 * 20 + 1 + 8 = 89 bytes from the start for one view.
    refused(89, 13, "Invalid zoom code in the sequence file: 13");
    refused(93, 3, "Invalid calibration type in the sequence file: 3");
    refused(101, -1, "Invalid record count in the sequence file: -1");
    refused(105, 50, "Invalid calibration point count in the sequence file: 50");
    refused(113, 0, "Invalid frame step in the sequence file: 0");
}

TEST_F(SequenceFileErrors, HugeCountsFailBeforeAnythingIsAllocated) {
    std::vector<std::uint8_t> bytes = CraftSequence({});
    Patch(bytes, 101, 0x7FFFFFFF);  // record count
    EXPECT_EQ(ReadError(bytes).rfind("The file ends before the movement records", 0), 0u);

    bytes = CraftSequence({});
    RawBytes worldCount;
    worldCount.f64(4).f64(8).f64(0).i32(0);  // the last calibration point, then W = 0
    const std::size_t w = OffsetOf(bytes, worldCount.bytes) + 24;
    Patch(bytes, w, 0x7FFFFFF0);
    EXPECT_EQ(ReadError(bytes).rfind("The file ends before the world data", 0), 0u);
    Patch(bytes, w, -2);
    EXPECT_EQ(ReadError(bytes), "Invalid world frame count in the sequence file: -2");
    Patch(bytes, w, 0);
    Patch(bytes, w + 4, 1'000'000);  // window count
    EXPECT_EQ(ReadError(bytes).rfind("The file ends before the window records", 0), 0u);
}

TEST_F(SequenceFileErrors, LongStringLengthsPastTheEndAreErrors) {
    std::vector<std::uint8_t> bytes = CraftSequence({});
    const std::size_t name = OffsetOf(bytes, {8, 'w', 'a', 'l', 'k', '.', 'a', 'v', 'i'});
    std::vector<std::uint8_t> hostile(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(name));
    for (int b : {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF}) hostile.push_back(static_cast<std::uint8_t>(b));
    EXPECT_EQ(ReadError(hostile).rfind("The file ends before the video file name", 0), 0u);
}

TEST_F(SequenceFileErrors, ModelAndWindowValuesThatWouldBreakTheDocument) {
    CraftedSequence crafted;
    crafted.points = 3;
    const std::vector<std::uint8_t> good = CraftSequence(crafted);
    // The first model point: name "Point 1", side 0, one segment linked to point 1.
    const std::size_t first = OffsetOf(good, {7, 'P', 'o', 'i', 'n', 't', ' ', '1'}) + 8;
    std::vector<std::uint8_t> bytes = good;
    Patch(bytes, first, 5);
    EXPECT_EQ(ReadError(bytes), "Invalid side tag in the sequence file: 5");
    bytes = good;
    Patch(bytes, first + 4, 5);
    EXPECT_EQ(ReadError(bytes), "Invalid segment count in the sequence file: 5");
    bytes = good;
    Patch(bytes, first + 8, 3);
    EXPECT_EQ(ReadError(bytes), "Invalid linked point in the sequence file: 3");

    // The digitizing window record is the last 4 + 40 + 164 bytes before the 16-byte tail.
    const std::size_t window = good.size() - 16 - 164 - 44;
    bytes = good;
    Patch(bytes, window, 3);
    EXPECT_EQ(ReadError(bytes), "Unknown window kind 3 at byte " + std::to_string(window));
    bytes = good;
    Patch(bytes, window + 44 + 37 * 4, 1);
    EXPECT_EQ(ReadError(bytes), "Invalid camera index of a digitizing window in the sequence file: 1");
}

TEST_F(SequenceFileErrors, RandomDamageNeverCrashes) {
    CraftedSequence crafted;
    crafted.views = 2;
    crafted.worldFrames = 1;
    const std::vector<std::uint8_t> good = CraftSequence(crafted);
    std::mt19937 random(20261208);
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<std::uint8_t> bytes = good;
        const int flips = 1 + trial % 4;
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        ReadError(bytes);  // either reads or reports; never crashes or hangs
    }
}

// Address sanitizer reserves more address space than any ceiling a test could set.
#if !defined(__SANITIZE_ADDRESS__)
// Reads `path` in a child process whose address space is limited to `megabytes`: 0 when it
// was read, 1 when it was refused with the message naming it, 2 otherwise.
int ReadUnderCeiling(const std::string& path, std::size_t megabytes) {
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit ceiling{megabytes << 20, megabytes << 20};
        ::setrlimit(RLIMIT_AS, &ceiling);
        HeadlessPrompts messages;
        CKadivoDoc doc(messages, NoVideoSourceFactory());
        if (doc.OnOpenDocument(path) && doc.views[0].frameStore.recordCount() == 3000000) ::_exit(0);
        const bool said = messages.LastMessage() == "Unable to read the sequence file. \"" + path +
                                                        "\" holds more than the memory available can take.";
        ::_exit(said ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST_F(SequenceFileErrors, RecordsTakeMemoryByTheirPointsAndAFileTooLargeSaysSo) {
    CraftedSequence crafted;
    crafted.points = 0;
    crafted.digitizedCount = 0;
    crafted.recordsPerView = 3000000;  // 27 MB on disk
    TempDir dir;
    const std::string path = dir.Write("huge.kdv", CraftSequence(crafted));
    EXPECT_EQ(ReadUnderCeiling(path, 1024), 0) << "three million records of no points fit in a gigabyte";
    EXPECT_EQ(ReadUnderCeiling(path, 128), 1) << "with less memory the file is refused, by name";
}
#endif

}  // namespace
}  // namespace kadivo::test
