#include "FileIo.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kadivo {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw FileIoError(FileErrorText(what, path, error));
}

mode_t NewFileMode(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string FileErrorText(const std::string& what, const std::string& path, int error) {
    return what + " \"" + path + "\": " + std::strerror(error);
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
    // A file that changes size meanwhile is read as it ends. The buffer grows only when the
    // file proves longer than it was: a copy of a large buffer costs as much as the read.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // Full: one small read tells whether there is more.
            std::uint8_t probe[4096];
            const std::size_t more = file.Read(probe, sizeof probe);
            if (more == 0) break;
            bytes.resize(filled + more + (1 << 16));
            std::memcpy(bytes.data() + filled, probe, more);
            filled += more;
        }
        const std::size_t got = file.Read(bytes.data() + filled, bytes.size() - filled);
        if (got == 0) break;
        filled += got;
    }
    bytes.resize(filled);
    return bytes;
}

namespace {

// The folder a file goes into, as a path that names it.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A free name for a temporary file in `folder`: short, whatever the target's name.
std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + "/.kadivo-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)), folder_(FolderOf(path_)) {
    // An unnamed file gets its name through /proc at Commit.
    if (::access("/proc/self/fd", X_OK) == 0) {
        fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail("Cannot create a file next to", path_, errno);
    }
    // This file system cannot hold files without a name.
    temp_ = folder_ + "/.kadivo-XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) Fail("Cannot create a file next to", path_, errno);
    removal_ = std::make_unique<RemovedOnSignal>(temp_);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Write(const std::uint8_t* data, std::size_t size) {
    if (!WriteAll(fd_, data, size)) Fail("Cannot write", path_, errno);
}

// Gives the unnamed file a temporary name beside the target, ready to be renamed.
void AtomicFile::Place(const std::string& procPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName(folder_);
        removal_ = std::make_unique<RemovedOnSignal>(name);
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp_ = std::move(name);
            return;
        }
        if (errno != EEXIST) Fail("Cannot write", path_, errno);
    }
    Fail("Cannot write", path_, EEXIST);
}

void AtomicFile::Commit(Flush flush) {
    if (::fchmod(fd_, NewFileMode(path_)) != 0 || (flush == Flush::ToDisk && ::fsync(fd_) != 0))
        Fail("Cannot write", path_, errno);
    if (temp_.empty()) Place("/proc/self/fd/" + std::to_string(fd_));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("Cannot write", path_, errno);
    if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail("Cannot replace", path_, errno);
    temp_.clear();
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, Flush flush) {
    AtomicFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit(flush);
}

void CopyFileAtomically(const std::string& from, const std::string& to) {
    InputFile input(from);
    AtomicFile output(to);
    std::vector<std::uint8_t> chunk(1 << 20);
    while (const std::size_t read = input.Read(chunk.data(), chunk.size())) output.Write(chunk.data(), read);
    output.Commit();
}

}  // namespace kadivo
