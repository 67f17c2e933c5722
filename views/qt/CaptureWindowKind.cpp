#include "CaptureWindowKind.h"

#include "CCaptureView.h"
#include "DataDirectory.h"
#include "QtSettingsStore.h"
#include "WindowKinds.h"

namespace kadivo {

void RegisterCaptureWindow(WindowKinds& kinds, const CaptureDrivers& drivers) {
    kinds.Register(WindowKind::Capture, [&drivers](DocumentSession& session, const WindowState*) -> ChildWindow* {
        return new CCaptureView(session, drivers, [] { return CaptureFileSettingsOf(QtSettingsStore(), CacheDirectory()); });
    });
}

}  // namespace kadivo
