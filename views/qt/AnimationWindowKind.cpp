#include "AnimationWindowKind.h"

#include "CThreeDView.h"
#include "WindowKinds.h"

namespace kadivo {

void RegisterAnimationWindow(WindowKinds& kinds) {
    kinds.Register(WindowKind::Animation, [](DocumentSession& session, const WindowState* state) -> ChildWindow* {
        const auto* animation = state ? std::get_if<AnimationWindowState>(state) : nullptr;
        return new CThreeDView(session, animation ? *animation : AnimationWindowState{});
    });
}

}  // namespace kadivo
