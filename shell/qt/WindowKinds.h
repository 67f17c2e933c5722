#pragma once

#include "ShellState.h"
#include "WindowState.h"

#include <array>
#include <functional>

namespace kadivo {

class ChildWindow;
class DocumentSession;

// The window classes of the four window kinds. A kind without a class has no window yet:
// its commands stay disabled and its saved windows are kept as records.
class WindowKinds {
public:
    // Makes the window of a saved or new state; `state` is null for a capture window.
    using Factory = std::function<ChildWindow*(DocumentSession& session, const WindowState* state)>;

    void Register(WindowKind kind, Factory factory) { factories_[Index(kind)] = std::move(factory); }
    bool Available(WindowKind kind) const { return static_cast<bool>(factories_[Index(kind)]); }
    // Null when the kind has no class or the window cannot be made.
    ChildWindow* Create(WindowKind kind, DocumentSession& session, const WindowState* state) const {
        return Available(kind) ? factories_[Index(kind)](session, state) : nullptr;
    }

private:
    static std::size_t Index(WindowKind kind) { return static_cast<std::size_t>(kind); }
    std::array<Factory, kWindowKindCount> factories_;
};

}  // namespace kadivo
