#include "FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kadivo {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw FileIoError(what + " \"" + path + "\": " + std::strerror(error));
}

mode_t NewFileMode(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) Fail("Cannot open", path, errno);
    struct stat info {};
    const bool statFailed = ::fstat(fd_, &info) != 0;
    if (statFailed || !S_ISREG(info.st_mode)) {
        const int error = statFailed ? errno : (S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        ::close(fd_);
        Fail("Cannot read", path, error);
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

InputFile::~InputFile() { ::close(fd_); }

std::size_t InputFile::Read(std::uint8_t* into, std::size_t max) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, max);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) Fail("Cannot read", path_, errno);
    }
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    InputFile file(path);
    // A file that changes size meanwhile is read as it ends.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) bytes.resize(filled + (1 << 16));
        const std::size_t got = file.Read(bytes.data() + filled, bytes.size() - filled);
        if (got == 0) break;
        filled += got;
    }
    bytes.resize(filled);
    return bytes;
}

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), temp_(path_ + ".XXXXXX") {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) Fail("Cannot create a file next to", path_, errno);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

void AtomicFile::Write(const std::uint8_t* data, std::size_t size) {
    if (!WriteAll(fd_, data, size)) Fail("Cannot write", path_, errno);
}

void AtomicFile::Commit() {
    if (::fchmod(fd_, NewFileMode(path_)) != 0 || ::fsync(fd_) != 0) Fail("Cannot write", path_, errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp_.c_str());
        Fail("Cannot write", path_, error);
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp_.c_str());
        Fail("Cannot replace", path_, error);
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    AtomicFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

void CopyFileAtomically(const std::string& from, const std::string& to) {
    InputFile input(from);
    AtomicFile output(to);
    std::vector<std::uint8_t> chunk(1 << 20);
    while (const std::size_t read = input.Read(chunk.data(), chunk.size())) output.Write(chunk.data(), read);
    output.Commit();
}

}  // namespace kadivo
