#pragma once

#include "rastel.h"

namespace rastel {

// The calling thread's library state.
struct Context {
    int status = 0;
    int errorMode = VOP_ErrModeLeaf;
    VopErrorCallback handler = nullptr;  // null: the default handler
    int reserved = -1;
};

Context& ThreadContext();

// Reports a failure: the status is stored (unless it is a trace code), then the thread's
// handler is called. Returns the handler's answer.
int Report(int status, const char* function, const char* message, const char* file, int line);

#define RASTEL_REPORT(status, function, message) ::rastel::Report((status), (function), (message), __FILE__, __LINE__)

}  // namespace rastel
