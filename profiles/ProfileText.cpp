#include "ProfileText.h"

#include "FileIo.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <sys/stat.h>

namespace kadivo {

namespace {

constexpr std::size_t kLineBuffer = 254;

}  // namespace

ProfileFileContent ReadProfileFile(const std::string& path) {
    ProfileFileContent content;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) return content;
    try {
        content.bytes = ReadWholeFile(path);
    } catch (const FileIoError& error) {
        content.error = error.what();
    }
    return content;
}

std::vector<std::string> SplitProfileLines(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string line;
    auto finish = [&] {
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
        lines.push_back(std::move(line));
        line.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = static_cast<char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        line.push_back(c);
        if (c == '\n' || line.size() == kLineBuffer - 1) finish();
    }
    if (!line.empty()) finish();
    return lines;
}

int LeadingInt(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : static_cast<int>(value));
}

std::optional<int> PointIndexOf(const std::string& field, int count) {
    const int number = LeadingInt(field);
    if (number < 1 || number > count) return std::nullopt;
    return number - 1;
}

double LeadingDouble(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == '\t') fields.emplace_back();
        else if (c != '\n' && c != '\r') fields.back().push_back(c);
    }
    return fields;
}

}  // namespace kadivo
