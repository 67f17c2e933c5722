#pragma once

#include "WizardFlow.h"

#include <QDialog>

#include <map>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace kadivo {

class WizardPageWidget;

// The new-sequence wizard and the stand-alone model and calibration wizards: the pages of a
// `WizardFlow` one at a time under the page's title, with "< Back", "Next >", "Finish" and
// "Cancel". Finishing stores the defined profiles and saves their files.
class WizardDialog : public QDialog {
    Q_OBJECT
public:
    WizardDialog(WizardKind kind, ModelProfileList& models, CalibrationProfileList& calibrations, Prompts& prompts,
                 QWidget* parent = nullptr);
    ~WizardDialog() override;

    WizardFlow& Flow() { return flow_; }
    WizardPageWidget* PageWidget(WizardPage page) const;
    WizardPageWidget* CurrentPage() const;
    QPushButton* BackButton() const { return back_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* FinishButton() const { return finish_; }

    // "Next >": the page's edits go to the flow, which moves on or says why not.
    void GoNext();
    void GoBack();
    // "New Model" and "New Calibration" of the choice pages.
    void DefineNewModel();
    void DefineNewCalibration();
    void FinishWizard();

private:
    void ShowCurrentPage();

    WizardFlow flow_;
    Prompts& prompts_;
    std::map<WizardPage, WizardPageWidget*> pages_;
    QStackedWidget* stack_;
    QLabel* heading_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* finish_;
};

}  // namespace kadivo
