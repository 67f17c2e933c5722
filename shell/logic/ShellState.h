#pragma once

#include "Commands.h"
#include "WindowState.h"

#include <array>
#include <optional>

namespace kadivo {

class CKadivoDoc;

// The four kinds of window on a sequence, in the order their templates are made.
enum class WindowKind { Digitizing = 0, Capture = 1, Animation = 2, Analysis = 3 };
inline constexpr int kWindowKindCount = 4;

WindowKind KindOf(const WindowState& state);

// What the main frame knows when it decides which commands can run.
struct ShellState {
    const CKadivoDoc* doc = nullptr;  // the active sequence, if any
    bool anyDocument = false;
    bool activeWindow = false;        // a window is active in the main frame
    bool captureOpen = false;
    std::array<bool, kWindowKindCount> kindAvailable{};  // a window class is registered for the kind

    bool KindAvailable(WindowKind kind) const { return kindAvailable[static_cast<std::size_t>(kind)]; }
};

// The rule of a command that the main frame or the active sequence handles; nothing for
// the commands of the windows, which the active window decides.
std::optional<CommandStatus> ShellCommandStatus(CommandId id, const ShellState& state);

}  // namespace kadivo
