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

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fail("Cannot open", path, errno);
    struct stat info {};
    const bool statFailed = ::fstat(fd, &info) != 0;
    if (statFailed || !S_ISREG(info.st_mode)) {
        const int error = statFailed ? errno : (S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        Fail("Cannot read", path, error);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            Fail("Cannot read", path, error);
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    return bytes;
}

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) Fail("Cannot create a file next to", path, errno);
    const bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fchmod(fd, NewFileMode(path)) == 0 &&
                    ::fsync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !ok) {
        ::unlink(temp.c_str());
        Fail("Cannot write", path, ok ? errno : error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temp.c_str());
        Fail("Cannot replace", path, renameError);
    }
}

}  // namespace kadivo
