#include "WizardFlow.h"

namespace kadivo {

const char* WizardPageTitle(WizardPage page) {
    switch (page) {
        case WizardPage::ModelChoice: return "New Wizard - Starting a Digitizing Project";
        case WizardPage::ModelName: return "Model Wizard - Defining number of Points to be digitized";
        case WizardPage::PointNames: return "Model Wizard - Assigning of Point names and side tags";
        case WizardPage::Segments: return "Model Wizard - Segment Definition";
        case WizardPage::CalibrationChoice: return "New Wizard - Selecting the Calibration setup";
        case WizardPage::CalibrationName: return "Calibration Wizard - Profile Name and Calibration Type";
        case WizardPage::Posture: return "Calibration Wizard - Posture Calibration";
        case WizardPage::FramePoints: return "Calibration Wizard - 2D/3D Calibration Frame";
        case WizardPage::Finished: return "New Wizard - Finished";
        case WizardPage::ModelFinished: return "Model Wizard - Finished";
        case WizardPage::CalibrationFinished: return "Calibration Wizard - Finished";
    }
    return "";
}

namespace {

WizardPage FirstPage(WizardKind kind) {
    switch (kind) {
        case WizardKind::NewSequence: return WizardPage::ModelChoice;
        case WizardKind::Model: return WizardPage::ModelName;
        case WizardKind::Calibration: return WizardPage::CalibrationName;
    }
    return WizardPage::ModelChoice;
}

}  // namespace

WizardFlow::WizardFlow(WizardKind kind, ModelProfileList& models, CalibrationProfileList& calibrations)
    : kind_(kind), models_(models), calibrations_(calibrations), model_(models), calibration_(calibrations),
      newModel_(kind == WizardKind::Model), newCalibration_(kind == WizardKind::Calibration) {
    history_.push_back(FirstPage(kind));
}

bool WizardFlow::IsLast() const {
    const WizardPage shown = page();
    return shown == WizardPage::Finished || shown == WizardPage::ModelFinished || shown == WizardPage::CalibrationFinished;
}

void WizardFlow::NewModel() {
    if (page() != WizardPage::ModelChoice) return;
    newModel_ = true;
    // "Next" asks for a name instead of editing whichever profile page 0 had selected.
    model_.StartNew();
    Show(WizardPage::ModelName);
}

void WizardFlow::NewCalibration() {
    if (page() != WizardPage::CalibrationChoice) return;
    newCalibration_ = true;
    calibration_.StartNew();
    Show(WizardPage::CalibrationName);
}

std::optional<std::string> WizardFlow::CheckPage() {
    switch (page()) {
        case WizardPage::ModelName: return model_.AcceptNameAndCount();
        case WizardPage::PointNames: return model_.AcceptPoints();
        case WizardPage::Segments: return model_.AcceptSegments();
        case WizardPage::CalibrationName: return calibration_.AcceptNameAndMethod();
        case WizardPage::Posture: return calibration_.AcceptPosture();
        case WizardPage::FramePoints: return calibration_.AcceptPoints();
        default: return std::nullopt;
    }
}

WizardPage WizardFlow::Following() const {
    const bool alone = kind_ != WizardKind::NewSequence;
    switch (page()) {
        case WizardPage::ModelChoice:
            return models_.lastIndex > 0 ? WizardPage::CalibrationChoice : WizardPage::ModelName;
        case WizardPage::ModelName: return WizardPage::PointNames;
        case WizardPage::PointNames: return WizardPage::Segments;
        case WizardPage::Segments: return alone ? WizardPage::ModelFinished : WizardPage::CalibrationChoice;
        case WizardPage::CalibrationChoice:
            return calibrations_.lastIndex > 0 ? WizardPage::Finished : WizardPage::CalibrationName;
        case WizardPage::CalibrationName:
            return calibration_.IsPosture() ? WizardPage::Posture : WizardPage::FramePoints;
        case WizardPage::Posture:
        case WizardPage::FramePoints:
            return alone ? WizardPage::CalibrationFinished : WizardPage::Finished;
        default: return page();
    }
}

std::optional<std::string> WizardFlow::Next() {
    if (IsLast()) return std::nullopt;
    if (std::optional<std::string> refused = CheckPage()) return refused;
    const WizardPage next = Following();
    // "Next" on a choice page uses the chosen profile, or defines one when there is none.
    if (page() == WizardPage::ModelChoice) newModel_ = next == WizardPage::ModelName;
    if (page() == WizardPage::CalibrationChoice) newCalibration_ = next == WizardPage::CalibrationName;
    Show(next);
    return std::nullopt;
}

void WizardFlow::Back() {
    if (CanBack()) history_.pop_back();
    // Back on the choice pages: the choice is made again.
    if (page() == WizardPage::ModelChoice) newModel_ = false;
    if (page() == WizardPage::CalibrationChoice) newCalibration_ = false;
}

bool WizardFlow::Finish(Prompts& prompts) {
    bool saved = true;
    if (newModel_) {
        model_.Store();
        saved = models_.Save(prompts) && saved;
    }
    if (newCalibration_) {
        calibration_.Store();
        saved = calibrations_.Save(prompts) && saved;
    }
    return saved;
}

NewSequenceSetup WizardFlow::Setup() const {
    NewSequenceSetup setup = SetupFromProfiles(models_, calibrations_);
    // New sequences take positions as stored; whole pixels are kept for the files of before.
    setup.exactPositions = true;
    return setup;
}

}  // namespace kadivo
