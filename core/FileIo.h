#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kadivo {

class FileIoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole content of a file; throws FileIoError naming the file and the reason.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Writes `bytes` to a temporary file next to `path` and renames it over `path` only when
// everything was written, so a failed save never destroys the previous file.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kadivo
