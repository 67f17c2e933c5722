#pragma once

#include <functional>

namespace kadivo {

class WindowKinds;

// The program: start-up in its order, the main frame, the start-up action after the splash
// screen, then the event loop until the user quits. `registerWindowKinds` gives the window
// classes of the window kinds that exist. Returns the exit status.
int RunKadivo(int argc, char** argv, const std::function<void(WindowKinds&)>& registerWindowKinds);

}  // namespace kadivo
