#include "KeptAviFile.h"

#include "FileIo.h"

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <mutex>
#include <system_error>

namespace kadivo {

namespace {

// The kept frames of the videos opened last stay within this much of the disk.
constexpr std::uintmax_t kFolderBudget = std::uintmax_t{256} << 20;
constexpr const char* kExtension = ".frame";

bool SameDescription(const KeptStream& a, const KeptStream& b) {
    const auto sameInfo = [](const AviStreamInfo& x, const AviStreamInfo& y) {
        return x.type == y.type && x.handler == y.handler && x.scale == y.scale && x.rate == y.rate && x.start == y.start &&
               x.length == y.length && x.variableRate == y.variableRate;
    };
    return sameInfo(a.info, b.info) && std::memcmp(&a.format.header, &b.format.header, sizeof a.format.header) == 0 &&
           a.format.palette == b.format.palette && a.length == b.length && a.start == b.start;
}

KeptStream DescriptionOf(const AviStream& stream) {
    return {stream.Info(), stream.ReadFormat(), stream.Length(), stream.Start()};
}

// A kept frame's file as read, and what it says; the video's rows stay in the bytes.
struct KeptFrameFile {
    std::vector<std::uint8_t> bytes;
    KeptVideo video;
};

std::optional<KeptFrameFile> ReadKeptFrame(const std::string& folder, const VideoFileIdentity& identity) {
    const std::string path = KeptFramePath(folder, identity.path);
    std::error_code absent;
    if (!std::filesystem::is_regular_file(path, absent)) return std::nullopt;
    try {
        KeptFrameFile file{ReadWholeFile(path), {}};
        file.video = ParseKeptVideo(file.bytes.data(), file.bytes.size());
        if (file.video.identity == identity) return file;
    } catch (const std::exception&) {
        // A frame that cannot be read is decoded again, and kept again.
    }
    return std::nullopt;
}

// The videos waiting to open behind wait on this: for their frames to be asked for, for the
// holds to be released, or for their file to be closed.
struct OpeningGate {
    std::mutex mutex;
    std::condition_variable changed;
    int holds = 0;
};

OpeningGate& Gate() {
    static OpeningGate gate;
    return gate;
}

// What a file's streams and decoders share: the real file, opened at once or behind, what it
// answered, and where its first frame is kept.
class OpenedVideo {
public:
    OpenedVideo(std::string folder, VideoFileIdentity identity) : folder_(std::move(folder)), identity_(std::move(identity)) {}

    ~OpenedVideo() {
        SetFlag(closed_);
        if (opening_.valid()) opening_.wait();
    }

    // The real file, waited for if it opens behind; null when it did not open.
    AviFile* Real() {
        if (opening_.valid()) {
            SetFlag(needed_);
            try {
                real_ = opening_.get();
            } catch (const std::exception&) {
                real_.reset();
            }
        }
        return real_.get();
    }

    // The real file's stream `index`; null when it has none, or when it no longer is the
    // stream the kept frame described (its frames would not fit the buffers).
    AviStream* RealStream(int index) {
        const auto at = static_cast<std::size_t>(index);
        if (at < realStreams_.size() && realStreams_[at]) return realStreams_[at].get();
        AviFile* file = Real();
        if (!file) return nullptr;
        std::unique_ptr<AviStream> stream = file->GetStream(index);
        if (!stream || (at < streams.size() && !SameDescription(DescriptionOf(*stream), streams[at]))) return nullptr;
        if (realStreams_.size() <= at) realStreams_.resize(at + 1);
        realStreams_[at] = std::move(stream);
        return realStreams_[at].get();
    }

    // Keeps the frame at `position` of stream `index` for the next time the video opens. A
    // frame that cannot be kept is decoded again then.
    void Keep(int index, int position, const BitmapFormat& format, const std::uint8_t* rows) noexcept {
        if (static_cast<std::size_t>(index) >= streams.size()) return;
        try {
            const std::uint32_t size = streams[static_cast<std::size_t>(index)].format.header.sizeImage;
            const KeptVideo video{identity_, info, streams, index, position, format, {rows, size}};
            std::error_code error;
            std::filesystem::create_directories(folder_, error);
            const std::string path = KeptFramePath(folder_, identity_.path);
            WriteFileAtomically(path, FormatKeptVideo(video), Flush::Skip);
            TrimKeptFrames(folder_, path, kFolderBudget);
        } catch (const std::exception&) {
        }
    }

    void OpenBehind(const AviFileOpener& opener) {
        opening_ = std::async(std::launch::async, [this, opener]() -> std::unique_ptr<AviFile> {
            OpeningGate& gate = Gate();
            std::unique_lock lock(gate.mutex);
            gate.changed.wait(lock, [&] { return gate.holds == 0 || needed_ || closed_; });
            if (closed_) return nullptr;
            lock.unlock();
            return opener(identity_.path);
        });
    }
    void SetReal(std::unique_ptr<AviFile> file) { real_ = std::move(file); }

    // The kept frame, until the real frames take over.
    const KeptVideo* Kept() const { return kept_ ? &kept_->video : nullptr; }
    void SetKept(KeptFrameFile kept) { kept_ = std::move(kept); }
    void DropKept() { kept_.reset(); }

    AviFileInfo info;
    std::vector<KeptStream> streams;  // by index, as far as they were asked in order

private:
    void SetFlag(bool& flag) {
        OpeningGate& gate = Gate();
        {
            const std::lock_guard lock(gate.mutex);
            flag = true;
        }
        gate.changed.notify_all();
    }

    std::string folder_;
    VideoFileIdentity identity_;
    std::optional<KeptFrameFile> kept_;
    // Under the gate's mutex.
    bool needed_ = false, closed_ = false;
    std::future<std::unique_ptr<AviFile>> opening_;
    // The streams go before the file they belong to.
    std::unique_ptr<AviFile> real_;
    std::vector<std::unique_ptr<AviStream>> realStreams_;
};

// Gives the kept frame until any other is asked for, then the real decoder's frames; keeps
// the first frame the real decoder gives.
class KeepingDecoder final : public AviFrameDecoder {
public:
    KeepingDecoder(std::shared_ptr<OpenedVideo> video, int index, std::unique_ptr<AviFrameDecoder> real)
        : video_(std::move(video)), index_(index), real_(std::move(real)) {}

    bool GetFrame(int position, BitmapFormat& format, std::uint8_t* rows) override {
        const KeptVideo* kept = video_->Kept();
        if (!real_ && kept && kept->stream == index_ && kept->position == position) {
            format = kept->frameFormat;
            std::copy(kept->rows.begin(), kept->rows.end(), rows);
            firstGiven_ = true;
            return true;
        }
        if (!Real() || !real_->GetFrame(position, format, rows)) return false;
        if (!firstGiven_) video_->Keep(index_, position, format, rows);
        firstGiven_ = true;
        return true;
    }

private:
    AviFrameDecoder* Real() {
        if (!real_ && !realMissing_) {
            if (AviStream* stream = video_->RealStream(index_)) real_ = stream->OpenFrameDecoder();
            realMissing_ = !real_;
            // The real frames take over: the kept one is no longer needed.
            if (real_) video_->DropKept();
        }
        return real_.get();
    }

    std::shared_ptr<OpenedVideo> video_;
    int index_;
    std::unique_ptr<AviFrameDecoder> real_;
    bool realMissing_ = false;
    bool firstGiven_ = false;
};

class KeepingStream final : public AviStream {
public:
    KeepingStream(std::shared_ptr<OpenedVideo> video, int index, KeptStream description)
        : video_(std::move(video)), index_(index), description_(std::move(description)) {}

    AviStreamInfo Info() const override { return description_.info; }
    BitmapFormat ReadFormat() const override { return description_.format; }
    int Length() const override { return description_.length; }
    int Start() const override { return description_.start; }

    std::unique_ptr<AviFrameDecoder> OpenFrameDecoder() override {
        if (const KeptVideo* kept = video_->Kept(); kept && kept->stream == index_) return std::make_unique<KeepingDecoder>(video_, index_, nullptr);
        AviStream* real = video_->RealStream(index_);
        std::unique_ptr<AviFrameDecoder> decoder = real ? real->OpenFrameDecoder() : nullptr;
        if (!decoder) return nullptr;
        return std::make_unique<KeepingDecoder>(video_, index_, std::move(decoder));
    }

private:
    std::shared_ptr<OpenedVideo> video_;
    int index_;
    KeptStream description_;
};

class KeepingFile final : public AviFile {
public:
    explicit KeepingFile(std::shared_ptr<OpenedVideo> video) : video_(std::move(video)) {}

    AviFileInfo Info() const override { return video_->info; }

    std::unique_ptr<AviStream> GetStream(int index) override {
        if (index < 0) return nullptr;
        const auto at = static_cast<std::size_t>(index);
        if (at < video_->streams.size()) return std::make_unique<KeepingStream>(video_, index, video_->streams[at]);
        AviStream* real = video_->RealStream(index);
        if (!real) return nullptr;
        KeptStream description = DescriptionOf(*real);
        if (at == video_->streams.size()) video_->streams.push_back(description);
        return std::make_unique<KeepingStream>(video_, index, std::move(description));
    }

private:
    std::shared_ptr<OpenedVideo> video_;
};

}  // namespace

VideoOpeningsHeldBack::VideoOpeningsHeldBack() {
    const std::lock_guard lock(Gate().mutex);
    ++Gate().holds;
}

void VideoOpeningsHeldBack::Release() {
    if (!held_) return;
    held_ = false;
    {
        const std::lock_guard lock(Gate().mutex);
        --Gate().holds;
    }
    Gate().changed.notify_all();
}

void TrimKeptFrames(const std::string& folder, const std::string& spared, std::uintmax_t budget) {
    struct Kept {
        std::filesystem::file_time_type written;
        std::uintmax_t size;
        std::filesystem::path path;
    };
    std::vector<Kept> kept;
    std::uintmax_t total = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != kExtension || entry.path() == spared) continue;
        const std::uintmax_t size = entry.file_size(error);
        const auto written = entry.last_write_time(error);
        if (error) continue;
        kept.push_back({written, size, entry.path()});
        total += size;
    }
    total += std::filesystem::file_size(spared, error);
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) { return a.written < b.written; });
    for (const Kept& old : kept) {
        if (total <= budget) break;
        if (std::filesystem::remove(old.path, error)) total -= old.size;
    }
}

std::string KeptFramePath(const std::string& folder, const std::string& path) {
    // FNV-1a of the path names the file; the file names the path again, for the rare clash.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : path) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    char name[24];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return folder + "/" + name + kExtension;
}

std::optional<VideoFileIdentity> IdentifyVideoFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return VideoFileIdentity{path, static_cast<std::uint64_t>(status.st_size),
                             static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
                             static_cast<std::uint64_t>(status.st_ino)};
}

std::unique_ptr<AviFile> OpenAviFileKeepingFrames(const std::string& path, const std::string& folder,
                                                  const AviFileOpener& opener) {
    std::optional<VideoFileIdentity> identity =
        IdentifyVideoFile(std::filesystem::absolute(path).lexically_normal().string());
    if (!identity) return opener(path);
    auto video = std::make_shared<OpenedVideo>(folder, *identity);
    if (std::optional<KeptFrameFile> kept = ReadKeptFrame(folder, *identity)) {
        video->info = kept->video.file;
        video->streams = kept->video.streams;
        video->SetKept(std::move(*kept));
        try {
            video->OpenBehind(opener);
            return std::make_unique<KeepingFile>(std::move(video));
        } catch (const std::system_error&) {
            // No thread to spare: the real file opens now.
        }
    }
    std::unique_ptr<AviFile> real = opener(path);
    if (!real) return nullptr;
    video->info = real->Info();
    video->SetReal(std::move(real));
    return std::make_unique<KeepingFile>(std::move(video));
}

}  // namespace kadivo
