#pragma once

namespace kadivo {

class CaptureDrivers;
class WindowKinds;

// Makes capture windows the window class of their kind, over `drivers`; recordings go to
// the cache folder until they are saved.
void RegisterCaptureWindow(WindowKinds& kinds, const CaptureDrivers& drivers);

}  // namespace kadivo
