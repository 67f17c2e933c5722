#pragma once

#include <exception>
#include <string>

// How a module's entry points are exported: by their C names, the only symbols a module
// (built with hidden visibility) shows.
#define KADIVO_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace kadivo {

// Nothing may be thrown across a module's edge: an entry point runs `work` through this,
// which gives 1 when it ends, else 0 with what it threw in `error`.
template <typename Work>
int AtModuleEdge(std::string& error, Work work) {
    try {
        work();
        return 1;
    } catch (const std::exception& failure) {
        error = failure.what();
        return 0;
    }
}

}  // namespace kadivo
