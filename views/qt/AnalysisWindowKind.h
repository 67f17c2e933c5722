#pragma once

namespace kadivo {

class WindowKinds;

// Makes analysis windows the window class of their kind.
void RegisterAnalysisWindow(WindowKinds& kinds);

}  // namespace kadivo
