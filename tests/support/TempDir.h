#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>
#include <csignal>
#include <sys/resource.h>

namespace kadivo::test {

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kadivo-test-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(root_ / name); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(root_ / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return Path(name);
    }
    std::string WriteText(const std::string& name, const std::string& text) const {
        return Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    int FileCount() const {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root_)) ++count;
        return count;
    }

private:
    std::filesystem::path root_;
};

// Lowers the largest file size this process may write, for testing failed writes; the
// signal that exceeding it would raise is ignored so that the write just fails.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace kadivo::test
