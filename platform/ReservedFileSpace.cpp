#include "AviWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kadivo {

bool ReserveFileSpace(const std::string& path, std::uint64_t bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    int code = ::fstat(fd, &status) == 0 ? 0 : errno;
    // posix_fallocate gives real blocks (a sparse file could still run out of space while
    // frames arrive); it returns its error instead of setting errno.
    if (code == 0 && static_cast<std::uint64_t>(status.st_size) < bytes)
        code = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes));
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code != 0) {
        error = path + ": " + std::strerror(code);
        return false;
    }
    return true;
}

}  // namespace kadivo
