#pragma once

namespace kadivo {

class WindowKinds;

// Gives the digitizing window kind its window class.
void RegisterDigitizingWindow(WindowKinds& kinds);

}  // namespace kadivo
