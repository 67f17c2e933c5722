#include "AnalysisWindowKind.h"

#include "CDataView.h"
#include "QtSettingsStore.h"
#include "SettingsValues.h"
#include "WindowKinds.h"

namespace kadivo {

void RegisterAnalysisWindow(WindowKinds& kinds) {
    kinds.Register(WindowKind::Analysis, [](DocumentSession& session, const WindowState* state) -> ChildWindow* {
        const auto* graph = state ? std::get_if<GraphWindowState>(state) : nullptr;
        return new CDataView(session, graph ? *graph : NewGraphWindowState(QtSettingsStore()));
    });
}

}  // namespace kadivo
