// kadivo: the desktop program.

#include "AnalysisWindowKind.h"
#include "AnimationWindowKind.h"
#include "CaptureDevice.h"
#include "CaptureWindowKind.h"
#include "DigitizingWindowKind.h"
#include "KadivoApplication.h"
#include "WindowKinds.h"

int main(int argc, char** argv) {
    return kadivo::RunKadivo(argc, argv, [](kadivo::WindowKinds& kinds) {
        kadivo::RegisterDigitizingWindow(kinds);
        kadivo::RegisterAnalysisWindow(kinds);
        kadivo::RegisterAnimationWindow(kinds);
        kadivo::RegisterCaptureWindow(kinds, kadivo::SystemCaptureDrivers());
    });
}
