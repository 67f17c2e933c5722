#include "QtPrompts.h"

#include "CaptureDevice.h"
#include "FileFilters.h"
#include "MainStatusBar.h"
#include "ProfileWriter.h"
#include "dialogs/ExportOptionDialogs.h"
#include "dialogs/LensCalibrationDialog.h"
#include "dialogs/OptionsSheetDialog.h"
#include "dialogs/TrackImportDialog.h"
#include "dialogs/VideoDialogs.h"
#include "dialogs/WizardDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>

namespace kadivo {

namespace {

constexpr const char* kProgramName = "Kadivo";

std::vector<QMessageBox::StandardButton> ButtonsOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return {QMessageBox::Ok};
        case Buttons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
        case Buttons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

Answer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: return Answer::Ok;
    }
}

QString Caption(const std::string& caption) { return caption.empty() ? kProgramName : QString::fromStdString(caption); }

std::string WithExtension(const QString& chosen, const std::string& extension) {
    if (chosen.isEmpty() || extension.empty() || !QFileInfo(chosen).suffix().isEmpty()) return chosen.toStdString();
    return chosen.toStdString() + "." + extension;
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

Answer DefaultAnswer(Buttons buttons, int defaultButton) {
    const std::vector<QMessageBox::StandardButton> all = ButtonsOf(buttons);
    const auto index = static_cast<std::size_t>(std::clamp(defaultButton, 0, static_cast<int>(all.size()) - 1));
    return AnswerOf(all[index]);
}

void QtPrompts::ShowMessage(const std::string& text, const QuestionStyle& style) {
    QMessageBox box(style.warning ? QMessageBox::Warning : QMessageBox::Information, Caption(style.caption),
                    QString::fromStdString(text), QMessageBox::Ok, window_);
    box.exec();
}

Answer QtPrompts::Ask(const std::string& text, Buttons buttons, const QuestionStyle& style) {
    QMessageBox box(style.warning ? QMessageBox::Warning : QMessageBox::Question, Caption(style.caption),
                    QString::fromStdString(text), QMessageBox::NoButton, window_);
    const std::vector<QMessageBox::StandardButton> all = ButtonsOf(buttons);
    for (QMessageBox::StandardButton button : all) box.addButton(button);
    box.setDefaultButton(all[static_cast<std::size_t>(std::clamp(style.defaultButton, 0, static_cast<int>(all.size()) - 1))]);
    return AnswerOf(box.exec());
}

QString FileBoxStart(const std::string& name, const QString& lastFolder) {
    const QString given = QString::fromStdString(name);
    const bool pattern = name.find('*') != std::string::npos;
    const bool inFolder = name.find('/') != std::string::npos;
    const QString folder = inFolder ? QFileInfo(given).path() : lastFolder;
    if (pattern) return folder;
    if (inFolder || folder.isEmpty()) return given;
    return QDir(folder).filePath(given);
}

std::optional<std::string> QtPrompts::ChooseSaveFile(const std::string& proposedName, const std::string& defaultExtension,
                                                     const std::string& filter) {
    const QString chosen = QFileDialog::getSaveFileName(window_, "Save As", FileBoxStart(proposedName, lastFolder_),
                                                        QString::fromStdString(QtFileFilter(filter)), nullptr,
                                                        QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) return std::nullopt;
    lastFolder_ = QFileInfo(chosen).path();
    return WithExtension(chosen, defaultExtension);
}

std::optional<std::string> QtPrompts::ChooseOpenFile(const std::string& initialName, const std::string&,
                                                     const std::string& filter) {
    const QString chosen = QFileDialog::getOpenFileName(window_, "Open", FileBoxStart(initialName, lastFolder_),
                                                        QString::fromStdString(QtFileFilter(filter)));
    if (chosen.isEmpty()) return std::nullopt;
    lastFolder_ = QFileInfo(chosen).path();
    return chosen.toStdString();
}

int QtPrompts::ChooseStream(int count) {
    StreamSelectionDialog dialog(count, window_);
    return dialog.exec() == QDialog::Accepted ? dialog.Stream() : 0;
}

bool QtPrompts::EditVideoImageOptions(int& imageType, int& firstField) {
    VideoImageOptionsDialog dialog(imageType, firstField, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    imageType = dialog.ImageType();
    firstField = dialog.FirstField();
    return true;
}

bool ShowOptionsSheet(SequenceOptionsSheet& sheet, Prompts& prompts, QWidget* parent) {
    sheet.captureDevices.clear();
    for (const CaptureDriverName& driver : ListCaptureDrivers(SystemCaptureDrivers()))
        sheet.captureDevices.push_back(driver.name);
    OptionsSheetDialog dialog(sheet, prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<NewSequenceSetup> ShowNewSequenceWizard(Prompts& prompts, QWidget* parent) {
    ModelProfileList models(ModelProfilePath());
    models.Load();
    CalibrationProfileList calibrations(CalibrationProfilePath());
    calibrations.Load();
    ReportUnreadableDatabase(models.ReadError(), prompts);
    ReportUnreadableDatabase(calibrations.ReadError(), prompts);
    WizardDialog wizard(WizardKind::NewSequence, models, calibrations, prompts, parent);
    if (wizard.exec() != QDialog::Accepted) return std::nullopt;
    return wizard.Flow().Setup();
}

bool QtPrompts::RunOptionsSheet(SequenceOptionsSheet& sheet) { return ShowOptionsSheet(sheet, *this, window_); }

std::optional<NewSequenceSetup> QtPrompts::RunNewSequenceWizard() { return ShowNewSequenceWizard(*this, window_); }

std::optional<double> QtPrompts::EditFrameRate(double rate) {
    FrameRateDialog dialog(rate, window_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Rate();
}

void QtPrompts::BeginProgress(const std::string& text, int range) {
    if (status_) status_->BeginProgress(QString::fromStdString(text), range);
}

void QtPrompts::StepProgress() {
    if (status_) status_->StepProgress();
}

void QtPrompts::EndProgress() {
    if (status_) status_->EndProgress();
}

bool QtPrompts::EditLinearExport(LinearExportOptions& options, const std::vector<ExportListRow>& rows) {
    ExportLinearDialog dialog(rows, *this, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

bool QtPrompts::EditAngularExport(AngularExportOptions& options, const std::vector<ExportListRow>& rows) {
    ExportAngularDialog dialog(rows, *this, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

bool QtPrompts::EditPointsExport(PointsExportOptions& options, const std::vector<ExportListRow>& rows) {
    ImageDataExportDialog dialog(rows, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

bool QtPrompts::EditCsmExport(CsmExportOptions& options, const std::vector<std::string>& pointCells) {
    CsmExportDialog dialog(pointCells, options.mapping, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

std::optional<LensModel> QtPrompts::RunLensCalibration(const std::string& video, FrameSize picture) {
    LensCalibrationDialog dialog(*this, video, picture, window_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Lens();
}

bool QtPrompts::EditTrackImport(TrackImportPlan& plan, const std::vector<std::string>& theirNames,
                                const std::vector<std::string>& modelNames, bool hasLikelihood) {
    TrackImportDialog dialog(plan, theirNames, modelNames, hasLikelihood, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    plan = dialog.Plan();
    return true;
}

bool QtPrompts::EditTrcExport(TrcExportOptions& options, const std::vector<ExportListRow>& rows) {
    TrcExportDialog dialog(rows, options, window_);
    if (dialog.exec() != QDialog::Accepted) return false;
    options = dialog.Options();
    return true;
}

void UnattendedPrompts::Report(const std::string& text) {
    std::fprintf(stderr, "kadivo: %s\n", OneLine(text).c_str());
    failed_ = true;
}

bool UnattendedPrompts::Refuse(const char* dialog) {
    Report(std::string("the dialog \"") + dialog + "\" would open; cancelled");
    return false;
}

void UnattendedPrompts::ShowMessage(const std::string& text, const QuestionStyle&) { Report(text); }

Answer UnattendedPrompts::Ask(const std::string& text, Buttons buttons, const QuestionStyle& style) {
    Report(text);
    return DefaultAnswer(buttons, style.defaultButton);
}

std::optional<std::string> UnattendedPrompts::ChooseSaveFile(const std::string& proposedName, const std::string&,
                                                             const std::string&) {
    Report("a file box would ask where to save " + proposedName + "; cancelled");
    return std::nullopt;
}

std::optional<std::string> UnattendedPrompts::ChooseOpenFile(const std::string& initialName, const std::string&,
                                                             const std::string&) {
    Report("a file box would ask for " + initialName + "; cancelled");
    return std::nullopt;
}

int UnattendedPrompts::ChooseStream(int count) {
    Report("\"Stream Selection\" would ask for one of " + std::to_string(count) + " video streams; the first taken");
    return 0;
}

std::optional<double> UnattendedPrompts::EditFrameRate(double) {
    Refuse("Edit Video Frame Rate");
    return std::nullopt;
}

std::optional<NewSequenceSetup> UnattendedPrompts::RunNewSequenceWizard() {
    Refuse("New Wizard");
    return std::nullopt;
}

}  // namespace kadivo
