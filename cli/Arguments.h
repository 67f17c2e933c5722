#pragma once

#include <string>

namespace kadivo::cli {

// A whole decimal number from 0 up, or −1 when `text` is not one.
inline int ParseIndex(const std::string& text) {
    if (text.empty() || text.size() > 9) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace kadivo::cli
