#pragma once

#include <functional>
#include <string>

namespace kadivo::test {

// The message of the `Error` that `run` throws, or "no error" when it throws none. An
// exception of another type is not caught: the test fails on it.
template <typename Error>
std::string ErrorMessage(const std::function<void()>& run) {
    try {
        run();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

}  // namespace kadivo::test
