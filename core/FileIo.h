#pragma once

#include "SignalCleanup.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

class FileIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Cannot write "path": No space left on device": `what` the program tried, and the reason
// the system gave (an errno value).
std::string FileErrorText(const std::string& what, const std::string& path, int error);

// Writes all `size` bytes to `fd`, again after an interrupted or partial write; false, with
// errno set, when the system refuses.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size);

// A regular file opened for reading; errors throw FileIoError naming the file and the reason.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size when the file was opened.
    std::uint64_t size() const { return size_; }
    // Reads up to `max` bytes; 0 at the end of the file.
    std::size_t Read(std::uint8_t* into, std::size_t max);

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// The whole content of a file.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Whether a file is flushed to the disk before it replaces its target: a file the program
// can make again, and checks when it reads it, need not be.
enum class Flush { ToDisk, Skip };

// A file written next to its target and renamed over the target only by Commit, so a failed
// save never destroys the previous file. It is written without a name where the file system
// allows (nothing is left behind whatever ends the program), otherwise under a short name of
// its own, removed without Commit or when a signal ends the program.
class AtomicFile {
public:
    explicit AtomicFile(std::string path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(const std::uint8_t* data, std::size_t size);
    // Flushes the data to the disk, unless told to skip that, and replaces the target with it.
    void Commit(Flush flush = Flush::ToDisk);

private:
    void Place(const std::string& name);

    std::string path_;
    std::string folder_;
    std::string temp_;  // the named temporary file; empty while the file has no name
    int fd_ = -1;
    std::unique_ptr<RemovedOnSignal> removal_;
};

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, Flush flush = Flush::ToDisk);
// Copies `from` over `to` the same way: `to` is replaced whole or not at all.
void CopyFileAtomically(const std::string& from, const std::string& to);

}  // namespace kadivo
