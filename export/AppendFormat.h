#pragma once

#include <string>

namespace kadivo {

// printf-style formatting appended to `text`, whatever the length of the result.
void AppendFormat(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace kadivo
