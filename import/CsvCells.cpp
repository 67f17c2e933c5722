#include "CsvCells.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace kadivo {

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void SplitCells(std::string_view line, std::vector<std::string_view>& cells) {
    cells.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        cells.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) return;
        start = comma + 1;
    }
}

bool CellNumber(std::string_view cell, float& value) {
    while (!cell.empty() && std::isspace(static_cast<unsigned char>(cell.front()))) cell.remove_prefix(1);
    while (!cell.empty() && std::isspace(static_cast<unsigned char>(cell.back()))) cell.remove_suffix(1);
    const bool nan = cell.size() == 3 && std::tolower(static_cast<unsigned char>(cell[0])) == 'n' &&
                     std::tolower(static_cast<unsigned char>(cell[1])) == 'a' && std::tolower(static_cast<unsigned char>(cell[2])) == 'n';
    if (cell.empty() || nan) {
        value = std::numeric_limits<float>::quiet_NaN();
        return true;
    }
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return error == std::errc() && end == cell.data() + cell.size() && std::isfinite(value);
}

}  // namespace kadivo
