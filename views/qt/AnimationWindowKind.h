#pragma once

namespace kadivo {

class WindowKinds;

// Makes animation windows the window class of their kind.
void RegisterAnimationWindow(WindowKinds& kinds);

}  // namespace kadivo
