// Saves cut short by a signal, and target names as long as the file system allows.

#include "FileIo.h"
#include "SignalCleanup.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kadivo::test {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// Runs `work` in a child process and ends it with `signal` after `delay`; the child's status.
template <typename Work>
int InterruptChild(Work work, int signal, std::chrono::milliseconds delay) {
    const pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    std::this_thread::sleep_for(delay);
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(InterruptedSave, ASignalDuringASaveLeavesOnlyTheOldFile) {
    TempDir dir;
    const std::string path = dir.Write("walk.kdv", Bytes("old contents"));
    const int status = InterruptChild(
        [&] {
            AtomicFile file(path);
            const std::vector<std::uint8_t> chunk(1 << 16, 0x5A);
            for (;;) {  // until the signal comes
                file.Write(chunk.data(), chunk.size());
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        SIGINT, std::chrono::milliseconds(200));
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_EQ(dir.FileCount(), 1) << "no temporary file left behind";
    EXPECT_EQ(ReadWholeFile(path), Bytes("old contents"));
}

TEST(InterruptedSave, ANamedTemporaryIsRemovedWhenASignalEndsTheProgram) {
    TempDir dir;
    const std::string temporary = dir.Write(".kadivo-abcdef", Bytes("partial"));
    const std::string kept = dir.Write("kept", Bytes("x"));
    const int status = InterruptChild(
        [&] {
            RemovedOnSignal removal(temporary);
            for (;;) ::pause();
        },
        SIGTERM, std::chrono::milliseconds(100));
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM) << "the program still ends by the signal";
    EXPECT_FALSE(dir.Exists(".kadivo-abcdef"));
    EXPECT_TRUE(dir.Exists("kept"));

    // Released, a file is no longer removed.
    const std::string released = dir.Write("released", Bytes("x"));
    InterruptChild([&] { RemovedOnSignal removal(released); }, SIGTERM, std::chrono::milliseconds(100));
    EXPECT_TRUE(dir.Exists("released"));
}

TEST(InterruptedSave, NamesAsLongAsTheFileSystemAllowsCanBeSaved) {
    TempDir dir;
    for (std::size_t length : {249u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".kdv";
        WriteFileAtomically(dir.Path(name), Bytes("saved"));
        EXPECT_EQ(ReadWholeFile(dir.Path(name)), Bytes("saved")) << length;
        WriteFileAtomically(dir.Path(name), Bytes("saved again"));
        EXPECT_EQ(ReadWholeFile(dir.Path(name)), Bytes("saved again")) << length;
    }
    EXPECT_EQ(dir.FileCount(), 3);
    EXPECT_THROW(WriteFileAtomically(dir.Path(std::string(256, 'n')), Bytes("x")), FileIoError);
    EXPECT_EQ(dir.FileCount(), 3);
}

TEST(InterruptedSave, AFailedCommitLeavesNothingBehind) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("folder.kdv"));
    {
        AtomicFile file(dir.Path("folder.kdv"));
        file.Write(Bytes("x").data(), 1);
        EXPECT_THROW(file.Commit(), FileIoError);
    }
    EXPECT_EQ(dir.FileCount(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("folder.kdv")));
}

}  // namespace
}  // namespace kadivo::test
