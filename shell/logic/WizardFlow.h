#pragma once

#include "CalibrationDefinition.h"
#include "ModelDefinition.h"
#include "Prompts.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// The pages of the wizards, numbered as in the new-sequence wizard; the two stand-alone
// wizards end on pages of their own.
enum class WizardPage : int {
    ModelChoice = 0,
    ModelName = 1,
    PointNames = 2,
    Segments = 3,
    CalibrationChoice = 4,
    CalibrationName = 5,
    Posture = 6,
    FramePoints = 7,
    Finished = 8,
    ModelFinished = 9,
    CalibrationFinished = 10,
};

enum class WizardKind { NewSequence, Model, Calibration };

// The dialog title of a page.
const char* WizardPageTitle(WizardPage page);

// Which page follows which, what each page's "Next" checks, and what finishing stores: the
// new-sequence wizard and the stand-alone "Digitizing Model" and "Calibration Setup" wizards.
class WizardFlow {
public:
    WizardFlow(WizardKind kind, ModelProfileList& models, CalibrationProfileList& calibrations);

    WizardKind kind() const { return kind_; }
    WizardPage page() const { return history_.back(); }
    bool newModel() const { return newModel_; }
    bool newCalibration() const { return newCalibration_; }
    ModelDefinition& model() { return model_; }
    CalibrationDefinition& calibration() { return calibration_; }
    ModelProfileList& models() { return models_; }
    CalibrationProfileList& calibrations() { return calibrations_; }

    bool CanBack() const { return history_.size() > 1; }
    bool CanNext() const { return !IsLast(); }
    bool IsLast() const;

    // Page 0 and page 4 lists: the real profiles (the placeholder is not offered).
    void ChooseModel(int index) { models_.Select(index); }
    void ChooseCalibration(int index) { calibrations_.Select(index); }
    // "New Model" on page 0, "New Calibration" on page 4.
    void NewModel();
    void NewCalibration();
    // The message to show when the page refuses, or nothing once the next page shows.
    std::optional<std::string> Next();
    void Back();
    // Stores what the wizard defined and saves the databases it changed; false when a file
    // could not be written (the profile lists have said so).
    bool Finish(Prompts& prompts);
    // What a new sequence takes from the selected profiles, after Finish.
    NewSequenceSetup Setup() const;

private:
    void Show(WizardPage page) { history_.push_back(page); }
    std::optional<std::string> CheckPage();
    WizardPage Following() const;

    WizardKind kind_;
    ModelProfileList& models_;
    CalibrationProfileList& calibrations_;
    ModelDefinition model_;
    CalibrationDefinition calibration_;
    bool newModel_ = false;
    bool newCalibration_ = false;
    std::vector<WizardPage> history_;  // the pages shown, for "Back"
};

}  // namespace kadivo
