#pragma once

#include <stdexcept>

namespace kadivo::cli {

// A failure the prompts have reported already: the program ends with status 1 and says
// nothing more.
class ReportedError : public std::runtime_error {
public:
    ReportedError() : std::runtime_error("") {}
};

}  // namespace kadivo::cli
