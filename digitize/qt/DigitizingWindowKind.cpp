#include "DigitizingWindowKind.h"

#include "CKadivoView.h"
#include "WindowKinds.h"

namespace kadivo {

void RegisterDigitizingWindow(WindowKinds& kinds) {
    kinds.Register(WindowKind::Digitizing, [](DocumentSession& session, const WindowState* state) -> ChildWindow* {
        const auto* digitizing = state ? std::get_if<DigitizingWindowState>(state) : nullptr;
        return new CKadivoView(session, digitizing ? *digitizing : DigitizingWindowState{});
    });
}

}  // namespace kadivo
