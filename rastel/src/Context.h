#pragma once

#include "rastel.h"

#include <new>
#include <stdexcept>

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

// What an operation does when memory for its copies and row buffers runs out.
enum class OnExhaustion {
    Stop,         // stops, reporting nothing
    StoreStatus,  // stops with status -4 in the thread's context, the handler not called
    Report,       // stops and reports -4 "Allocation failure"
};

// Runs the body of an exported operation. Memory exhaustion inside it stops the operation
// with the destination partly written; nothing is thrown across the C interface.
template <typename Body>
void Guarded(const char* function, OnExhaustion onExhaustion, Body&& body) noexcept {
    bool exhausted = false;
    try {
        body();
    } catch (const std::bad_alloc&) {
        exhausted = true;
    } catch (const std::length_error&) {
        exhausted = true;
    }
    if (!exhausted) return;
    if (onExhaustion == OnExhaustion::StoreStatus) ThreadContext().status = VOP_StsNoMem;
    else if (onExhaustion == OnExhaustion::Report) RASTEL_REPORT(VOP_StsNoMem, function, "Allocation failure");
}

}  // namespace rastel
