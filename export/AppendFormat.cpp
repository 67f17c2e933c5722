#include "AppendFormat.h"

#include <cstdarg>
#include <cstdio>

namespace kadivo {

void AppendFormat(std::string& text, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        text.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(length) + 1);
    va_start(args, format);
    std::vsnprintf(text.data() + start, static_cast<std::size_t>(length) + 1, format, args);
    va_end(args);
    text.resize(start + static_cast<std::size_t>(length));
}

}  // namespace kadivo
