#include "ShellState.h"

#include "CKadivoDoc.h"

namespace kadivo {

namespace {

using C = CommandId;

CommandStatus Enabled(bool on) { return {on, false}; }

}  // namespace

WindowKind KindOf(const WindowState& state) {
    if (std::holds_alternative<GraphWindowState>(state)) return WindowKind::Analysis;
    if (std::holds_alternative<AnimationWindowState>(state)) return WindowKind::Animation;
    return WindowKind::Digitizing;
}

std::optional<CommandStatus> ShellCommandStatus(CommandId id, const ShellState& s) {
    const bool doc = s.doc != nullptr;
    if (OptionsPageOf(id) >= 0) return Enabled(doc);
    switch (id) {
        case C::NewSequence:
        case C::OpenSequence:
        case C::PageSetup:
        case C::Preferences:
        case C::Exit:
        case C::SequenceInfoPane:
        case C::DigitizingModel:
        case C::CalibrationSetup:
        case C::DigitizingModels:
        case C::CalibrationObjects:
        case C::HelpTopics:
        case C::TipOfTheDay:
        case C::WebSite:
        case C::About:
            return Enabled(true);
        case C::CloseSequence:
        case C::Save:
        case C::SaveAs:
        case C::OpenVideo:
            return Enabled(doc);
        case C::SaveAll: return Enabled(s.anyDocument);
        case C::Print:
        case C::PrintPreview:
        case C::CascadeWindows:
        case C::TileWindows:
            return Enabled(s.activeWindow);
        case C::NewDigitizingWindow: return Enabled(doc && s.KindAvailable(WindowKind::Digitizing));
        case C::NewAnimationWindow: return Enabled(doc && s.KindAvailable(WindowKind::Animation));
        case C::NewAnalysisWindow:
        case C::LinearKinematics:
        case C::AngularKinematics:
            return Enabled(doc && s.KindAvailable(WindowKind::Analysis));
        case C::EnableVideoCapture: return Enabled(doc && s.KindAvailable(WindowKind::Capture) && !s.captureOpen);
        default:
            if (IsDocumentCommand(id)) return doc ? DocumentCommandStatus(id, *s.doc) : CommandStatus{};
            return std::nullopt;
    }
}

}  // namespace kadivo
