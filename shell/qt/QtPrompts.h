#pragma once

#include "ExportDialogs.h"
#include "Prompts.h"

#include <QPointer>
#include <QWidget>

namespace kadivo {

class MainStatusBar;

// The program's prompts as Qt message boxes, file boxes and dialogs over the main window;
// progress shows in the status bar's first pane.
class QtPrompts final : public Prompts, public ExportDialogs {
public:
    void SetWindow(QWidget* window, MainStatusBar* status) {
        window_ = window;
        status_ = status;
    }

    void ShowMessage(const std::string& text, const QuestionStyle& style = {"", true, 0}) override;
    Answer Ask(const std::string& text, Buttons buttons, const QuestionStyle& style) override;
    std::optional<std::string> ChooseSaveFile(const std::string& proposedName, const std::string& defaultExtension,
                                              const std::string& filter) override;
    std::optional<std::string> ChooseOpenFile(const std::string& initialName, const std::string& defaultExtension,
                                              const std::string& filter) override;
    int ChooseStream(int count) override;
    bool EditVideoImageOptions(int& imageType, int& firstField) override;
    bool RunOptionsSheet(SequenceOptionsSheet& sheet) override;
    std::optional<double> EditFrameRate(double rate) override;
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override;
    std::optional<LensModel> RunLensCalibration(const std::string& video, FrameSize picture) override;
    bool EditTrackImport(TrackImportPlan& plan, const std::vector<std::string>& theirNames,
                         const std::vector<std::string>& modelNames, bool hasLikelihood) override;
    void BeginProgress(const std::string& text, int range) override;
    void StepProgress() override;
    void EndProgress() override;

    bool EditLinearExport(LinearExportOptions& options, const std::vector<ExportListRow>& rows) override;
    bool EditAngularExport(AngularExportOptions& options, const std::vector<ExportListRow>& rows) override;
    bool EditPointsExport(PointsExportOptions& options, const std::vector<ExportListRow>& rows) override;
    bool EditCsmExport(CsmExportOptions& options, const std::vector<std::string>& pointCells) override;
    bool EditTrcExport(TrcExportOptions& options, const std::vector<ExportListRow>& rows) override;

private:
    QPointer<QWidget> window_;
    QPointer<MainStatusBar> status_;
    QString lastFolder_;  // of the file last chosen in a file box
};

// Prompts for a run nobody watches (--screenshot): every message, question and dialog is
// written to standard error instead, questions take their default answer, dialogs are
// cancelled, and the run counts as failed.
class UnattendedPrompts final : public Prompts, public ExportDialogs {
public:
    bool Failed() const { return failed_; }

    void ShowMessage(const std::string& text, const QuestionStyle& style = {"", true, 0}) override;
    Answer Ask(const std::string& text, Buttons buttons, const QuestionStyle& style) override;
    std::optional<std::string> ChooseSaveFile(const std::string& proposedName, const std::string&, const std::string&) override;
    std::optional<std::string> ChooseOpenFile(const std::string& initialName, const std::string&, const std::string&) override;
    int ChooseStream(int count) override;
    bool EditVideoImageOptions(int&, int&) override { return Refuse("Video Image Options"); }
    bool RunOptionsSheet(SequenceOptionsSheet&) override { return Refuse("Sequence Properties"); }
    std::optional<double> EditFrameRate(double) override;
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override;
    bool EditTrackImport(TrackImportPlan&, const std::vector<std::string>&, const std::vector<std::string>&, bool) override {
        return Refuse("Import 2D Points");
    }
    std::optional<LensModel> RunLensCalibration(const std::string&, FrameSize) override {
        Refuse("Lens Calibration");
        return std::nullopt;
    }
    void BeginProgress(const std::string&, int) override {}
    void StepProgress() override {}
    void EndProgress() override {}

    bool EditLinearExport(LinearExportOptions&, const std::vector<ExportListRow>&) override { return Refuse("Export Linear Data"); }
    bool EditAngularExport(AngularExportOptions&, const std::vector<ExportListRow>&) override { return Refuse("Export Angular Data"); }
    bool EditPointsExport(PointsExportOptions&, const std::vector<ExportListRow>&) override { return Refuse("Image Data Export"); }
    bool EditCsmExport(CsmExportOptions&, const std::vector<std::string>&) override { return Refuse("CSM Export Properties"); }
    bool EditTrcExport(TrcExportOptions&, const std::vector<ExportListRow>&) override { return Refuse("TRC Export"); }

private:
    void Report(const std::string& text);
    bool Refuse(const char* dialog);

    bool failed_ = false;
};

// The options sheet and the new-sequence wizard over `parent`; what they tell the user goes
// to `prompts`.
bool ShowOptionsSheet(SequenceOptionsSheet& sheet, Prompts& prompts, QWidget* parent);
std::optional<NewSequenceSetup> ShowNewSequenceWizard(Prompts& prompts, QWidget* parent);

// Where a file box starts for `name`: its folder and file; a pattern such as "*.avi" names
// only its folder; a name without a folder goes into `lastFolder`, when there is one.
QString FileBoxStart(const std::string& name, const QString& lastFolder);

// The default answer of a question box: its `defaultButton`-th button.
Answer DefaultAnswer(Buttons buttons, int defaultButton);

}  // namespace kadivo
