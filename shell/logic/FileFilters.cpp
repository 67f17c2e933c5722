#include "FileFilters.h"

#include <vector>

namespace kadivo {

namespace {

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// Qt separates patterns with spaces, the boxes of old with semicolons.
std::string QtPatterns(std::string patterns) {
    for (char& c : patterns)
        if (c == ';') c = ' ';
    std::string result;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(' ', start);
        if (end == std::string::npos) end = patterns.size();
        std::string pattern = patterns.substr(start, end - start);
        if (pattern == "*.*") pattern = "*";
        if (!pattern.empty()) result += (result.empty() ? "" : " ") + pattern;
        start = end + 1;
    }
    return result;
}

}  // namespace

std::string QtFileFilter(const std::string& filter) {
    const std::vector<std::string> parts = SplitBars(filter);
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string description = parts[i];
        const std::string patterns = QtPatterns(parts[i + 1]);
        const std::size_t bracket = description.find('(');
        if (bracket != std::string::npos) description = description.substr(0, bracket);
        while (!description.empty() && description.back() == ' ') description.pop_back();
        result += (result.empty() ? "" : ";;") + description + " (" + patterns + ")";
    }
    return result;
}

}  // namespace kadivo
