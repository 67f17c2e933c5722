#include "LensFile.h"

#include "FileIo.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

namespace kadivo {

namespace {

constexpr const char* kFirstLine = "kadivo-lens 1";
// A lens file is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kLargestFile = 64 * 1024;

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

[[noreturn]] void Fail(int line, const std::string& what) {
    throw LensFileError("line " + std::to_string(line) + ": " + what);
}

double ParseNumber(const std::string& text, int line, const std::string& name) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        Fail(line, name + " is not a number: \"" + text + "\"");
    return value;
}

int ParseSize(const std::string& text, int line) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value <= 0 || value > kLargestLensPicture)
        Fail(line, "the picture size is not two whole numbers of pixels up to " + std::to_string(kLargestLensPicture));
    return value;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

}  // namespace

std::string FormatLensFile(const LensFile& file) {
    const LensModel& l = file.lens;
    std::string text = std::string(kFirstLine) + "\n";
    text += "picture " + std::to_string(l.width) + " " + std::to_string(l.height) + "\n";
    text += std::string("source ") + (l.source == LensSource::ControlPoints ? "control-points" : "checkerboard") + "\n";
    const std::array<std::pair<const char*, double>, 9> values{
        {{"fx", l.fx}, {"fy", l.fy}, {"cx", l.cx}, {"cy", l.cy}, {"k1", l.k1}, {"k2", l.k2}, {"k3", l.k3}, {"p1", l.p1}, {"p2", l.p2}}};
    for (const auto& [name, value] : values) text += std::string(name) + " " + Number(value) + "\n";
    if (file.rms) text += "rms " + Number(*file.rms) + "\n";
    return text;
}

LensFile ParseLensFile(const std::string& text) {
    if (text.size() > kLargestFile) throw LensFileError("too large for a lens file");
    LensFile file;
    LensModel& l = file.lens;
    const std::array<std::pair<const char*, double*>, 9> values{
        {{"fx", &l.fx}, {"fy", &l.fy}, {"cx", &l.cx}, {"cy", &l.cy}, {"k1", &l.k1}, {"k2", &l.k2}, {"k3", &l.k3}, {"p1", &l.p1}, {"p2", &l.p2}}};
    std::array<bool, 9> given{};
    bool picture = false;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1) {
            if (line != kFirstLine) throw LensFileError("not a lens file: the first line is not \"" + std::string(kFirstLine) + "\"");
            continue;
        }
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#') continue;
        const std::string& name = words[0];
        if (name == "picture") {
            if (words.size() != 3) Fail(number, "picture takes a width and a height");
            l.width = ParseSize(words[1], number);
            l.height = ParseSize(words[2], number);
            picture = true;
            continue;
        }
        if (name == "source") {
            if (words.size() != 2 || (words[1] != "checkerboard" && words[1] != "control-points"))
                Fail(number, "source is checkerboard or control-points");
            l.source = words[1] == "control-points" ? LensSource::ControlPoints : LensSource::Checkerboard;
            continue;
        }
        if (name == "rms") {
            if (words.size() != 2) Fail(number, "rms takes one number");
            file.rms = ParseNumber(words[1], number, name);
            continue;
        }
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (name != values[i].first) continue;
            if (words.size() != 2) Fail(number, name + " takes one number");
            *values[i].second = ParseNumber(words[1], number, name);
            given[i] = true;
        }
    }
    if (number == 0) throw LensFileError("the file is empty");
    if (!picture) throw LensFileError("the file gives no picture size");
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!given[i]) throw LensFileError(std::string("the file gives no ") + values[i].first);
    if (!LensModelIsUsable(l)) throw LensFileError("the focal lengths must be positive");
    return file;
}

LensFile ReadLensFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    try {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        if (!error && size > kLargestFile) throw LensFileError("\"" + path + "\" is too large for a lens file");
        bytes = ReadWholeFile(path);
    } catch (const LensFileError&) {
        throw;
    } catch (const std::exception& e) {
        throw LensFileError("\"" + path + "\": " + e.what());
    }
    try {
        return ParseLensFile(std::string(bytes.begin(), bytes.end()));
    } catch (const LensFileError& e) {
        throw LensFileError("\"" + path + "\" " + e.what());
    }
}

}  // namespace kadivo
