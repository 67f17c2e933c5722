#include "IsolatedRead.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <limits>

namespace kadivo {

namespace {

// The tracks as the child writes them: a status byte (0 tracks, 1 message), then whether
// they carry likelihoods, the names,
// the frames and their samples, every count as 64 bits.
class Packet {
public:
    void Count(std::uint64_t n) { Raw(&n, sizeof n); }
    void Text(const std::string& text) {
        Count(text.size());
        Raw(text.data(), text.size());
    }
    void Raw(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    const std::string& bytes() const { return buffer_; }

private:
    std::string buffer_;
};

class Unpacker {
public:
    explicit Unpacker(const std::string& bytes) : bytes_(bytes) {}
    bool Raw(void* out, std::size_t size) {
        if (bytes_.size() - at_ < size) return false;
        std::memcpy(out, bytes_.data() + at_, size);
        at_ += size;
        return true;
    }
    bool Count(std::uint64_t& n, std::uint64_t most) { return Raw(&n, sizeof n) && n <= most; }
    bool Text(std::string& text) {
        std::uint64_t size = 0;
        if (!Count(size, bytes_.size() - at_)) return false;
        text.assign(bytes_, at_, size);
        at_ += size;
        return true;
    }
    std::size_t left() const { return bytes_.size() - at_; }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

std::string Pack(const TrackSet& tracks) {
    Packet packet;
    packet.Raw("\0", 1);
    packet.Raw(tracks.hasLikelihood ? "\1" : "\0", 1);
    packet.Count(tracks.names.size());
    for (const std::string& name : tracks.names) packet.Text(name);
    packet.Count(tracks.frames.size());
    for (const std::vector<TrackSample>& frame : tracks.frames) packet.Raw(frame.data(), frame.size() * sizeof(TrackSample));
    return packet.bytes();
}

[[noreturn]] void WriteAndExit(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) _exit(3);
        done += static_cast<std::size_t>(written);
    }
    _exit(0);
}

}  // namespace

TrackSet ReadTracksInChildProcess(const std::string& fileName, const std::function<TrackSet()>& read, int seconds) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) throw TrackFileError(fileName + ": " + std::strerror(errno));
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        throw TrackFileError(fileName + ": " + std::strerror(errno));
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        try {
            WriteAndExit(pipeEnds[1], Pack(read()));
        } catch (const TrackFileError& error) {
            Packet packet;
            packet.Raw("\1", 1);
            packet.Text(error.what());
            WriteAndExit(pipeEnds[1], packet.bytes());
        } catch (...) {
            _exit(4);
        }
    }
    ::close(pipeEnds[1]);
    std::string bytes;
    char chunk[65536];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd wait{pipeEnds[0], POLLIN, 0};
        const int ready = left > 0 ? ::poll(&wait, 1, static_cast<int>(std::min<long long>(left, 1000))) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            if (left > 0) continue;
            timedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t got = ::read(pipeEnds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) throw TrackFileError(fileName + ": reading it did not finish; the file may be damaged");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || bytes.empty())
        throw TrackFileError(fileName + ": the file is damaged; it could not be read");
    Unpacker in(bytes);
    char kind = 0;
    in.Raw(&kind, 1);
    if (kind == 1) {
        std::string message;
        in.Text(message);
        throw TrackFileError(message);
    }
    TrackSet tracks;
    std::uint64_t names = 0, frames = 0;
    char likelihood = 0;
    bool whole = in.Raw(&likelihood, 1) && in.Count(names, in.left());
    tracks.hasLikelihood = likelihood == 1;
    for (std::uint64_t n = 0; whole && n < names; ++n) whole = in.Text(tracks.names.emplace_back());
    const std::size_t frameBytes = tracks.names.size() * sizeof(TrackSample);
    whole = whole && in.Count(frames, frameBytes == 0 ? 0 : in.left() / frameBytes);
    for (std::uint64_t f = 0; whole && f < frames; ++f) {
        std::vector<TrackSample>& frame = tracks.frames.emplace_back(tracks.names.size());
        whole = in.Raw(frame.data(), frameBytes);
    }
    if (!whole || in.left() != 0) throw TrackFileError(fileName + ": the file is damaged; it could not be read");
    return tracks;
}

}  // namespace kadivo
