#include "MainFrame.h"

#include "ChildWindow.h"
#include "DataDirectory.h"
#include "DltCoefficientsExport.h"
#include "DltCoefficientsImport.h"
#include "ExportDialogs.h"
#include "ImportCommand.h"
#include "LensFileCommands.h"
#include "MainStatusBar.h"
#include "ProfileWriter.h"
#include "RecentVideoFiles.h"
#include "SettingsValues.h"
#include "TipOfTheDay.h"
#include "VideoSource.h"
#include "VideoLinks.h"
#include "WindowKinds.h"
#include "dialogs/DltParametersDialog.h"
#include "dialogs/FilterEvidenceDialog.h"
#include "dialogs/ModelPropertiesDialog.h"
#include "dialogs/ProgramDialogs.h"
#include "dialogs/SynchronisationDialog.h"
#include "dialogs/WizardDialog.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

namespace kadivo {

namespace {

using C = CommandId;

constexpr const char* kSequenceFilter = "Kadivo Files (*.kdv)|*.kdv|All Files (*.*)|*.*||";
constexpr const char* kWebAddress = "https://kadivo.org";
constexpr double kNewAnimationTilt = 15.0;  // degrees about the X axis

// The frame the first view shows, for drawing a region on; null without one.
QImage FirstViewPicture(const CKadivoDoc& doc) {
    auto* source = dynamic_cast<VideoSource*>(doc.views.front().videoSource.get());
    if (!source || !source->IsOpen()) return {};
    // A view no window shows has not read its frame yet.
    if (!source->HasFrame() && !source->FetchFrame(doc.views.front().currentFrame, false)) return {};
    const FramePixels pixels = source->Pixels();
    const int bytes = pixels.bitCount / 8;
    if (!pixels.data || bytes < 3) return {};
    const int stride = BitmapRowStride(pixels.width, pixels.bitCount);
    QImage picture(pixels.width, pixels.height, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height; ++y) {
        // Rows are stored bottom row first, blue first.
        const std::uint8_t* row = pixels.data + static_cast<std::ptrdiff_t>(pixels.height - 1 - y) * stride;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < pixels.width; ++x, row += bytes) out[x] = qRgb(row[2], row[1], row[0]);
    }
    return picture;
}

bool IsToolbarToggle(CommandId id) {
    switch (id) {
        case C::WindowToolbar:
        case C::ImageToolbar:
        case C::DigitizingToolbar:
        case C::CaptureToolbar:
        case C::AnimationToolbar:
        case C::AnalysisToolbar:
            return true;
        default: return false;
    }
}

}  // namespace

ShellState MainFrame::State() const {
    ShellState state;
    state.doc = active_ ? &active_->doc() : nullptr;
    state.anyDocument = !sessions_.empty();
    state.activeWindow = area_->activeSubWindow() != nullptr;
    // One camera serves one capture window, whichever sequence it belongs to.
    state.captureOpen = std::any_of(sessions_.begin(), sessions_.end(), [](const auto& s) { return s->HasCaptureWindow(); });
    for (int k = 0; k < kWindowKindCount; ++k)
        state.kindAvailable[static_cast<std::size_t>(k)] = services_.kinds.Available(static_cast<WindowKind>(k));
    return state;
}

CommandStatus MainFrame::StatusOf(CommandId id) const {
    if (ChildWindow* child = ActiveChild())
        if (std::optional<CommandStatus> status = child->CommandStatusFor(id)) return *status;
    if (IsToolbarToggle(id)) return {true, id == C::ImageToolbar ? imageToolbarVisible_ : ToolbarOf(id)->isVisible()};
    if (id == C::StatusBar) return {true, status_->isVisible()};
    return ShellCommandStatus(id, State()).value_or(CommandStatus{});
}

void MainFrame::UpdateCommands() {
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandId id = static_cast<CommandId>(i);
        const CommandStatus status = StatusOf(id);
        QAction* action = Action(id);
        action->setEnabled(status.enabled);
        if (action->isCheckable()) action->setChecked(status.checked);
    }
    // "Undo Add Point", "Redo Move Point".
    const EditHistory* history = active_ ? &active_->doc().history() : nullptr;
    Action(C::Undo)->setText(history && history->CanUndo() ? QString::fromStdString("Undo " + history->UndoName()) : "Undo");
    Action(C::Redo)->setText(history && history->CanRedo() ? QString::fromStdString("Redo " + history->RedoName()) : "Redo");
}

void MainFrame::Execute(CommandId id) {
    if (!StatusOf(id).enabled) return;
    ChildWindow* child = ActiveChild();
    if (child && child->HandleCommand(id)) {
        UpdateCommands();
        return;
    }
    if (IsToolbarToggle(id)) {
        ToggleToolbar(id, !StatusOf(id).checked);
        return;
    }
    DocumentSession* session = active_;
    switch (id) {
        case C::NewSequence: NewSequence(); break;
        case C::OpenSequence: OpenSequenceFromBox(); break;
        case C::CloseSequence: CloseSession(session); break;
        case C::Save: Save(session); break;
        case C::SaveAs: SaveAs(session); break;
        case C::SaveAll: SaveAll(); break;
        case C::OpenVideo: OpenVideoFromBox(); break;
        case C::Print: Print(false); break;
        case C::PrintPreview: Print(true); break;
        case C::PageSetup: PageSetup(); break;
        case C::Preferences: ShowPreferences(); break;
        case C::Exit: close(); break;
        case C::StatusBar: status_->setVisible(!status_->isVisible()); break;
        case C::SequenceInfoPane: ShowSequenceInfoPane(); break;
        case C::NewDigitizingWindow: OpenNewWindow(WindowKind::Digitizing); break;
        case C::NewAnalysisWindow: OpenNewWindow(WindowKind::Analysis); break;
        case C::LinearKinematics: AddKinematicsCurves(C::AddLinearCurve); break;
        case C::AngularKinematics: AddKinematicsCurves(C::AddAngularCurve); break;
        case C::NewAnimationWindow: OpenNewWindow(WindowKind::Animation); break;
        case C::EnableVideoCapture:
            if (session) session->OpenCaptureWindow();
            break;
        case C::CascadeWindows: area_->cascadeSubWindows(); break;
        case C::TileWindows: area_->tileSubWindows(); break;
        case C::HelpTopics: ShowHelp(); break;
        case C::TipOfTheDay: ShowTipOfTheDay(false); break;
        case C::WebSite: QDesktopServices::openUrl(QUrl(kWebAddress)); break;
        case C::About: AboutDialog(this).exec(); break;
        case C::DigitizingModel:
        case C::DigitizingModels:
            RunProfileWizard(WizardKind::Model);
            break;
        case C::CalibrationSetup:
        case C::CalibrationObjects:
            RunProfileWizard(WizardKind::Calibration);
            break;
        default:
            if (session) RunDocumentCommand(id, session->doc());
            break;
    }
    UpdateCommands();
}

void MainFrame::RunDocumentCommand(CommandId id, CKadivoDoc& doc) {
    if (const int code = ZoomCodeOf(id)) {
        doc.SetZoom(code);
        return;
    }
    if (const int page = OptionsPageOf(id); page >= 0) {
        doc.OnSequenceOptions(page);
        return;
    }
    ExportDialogs& dialogs = services_.exportDialogs;
    switch (id) {
        case C::ModelParameters: ShowModelProperties(); break;
        case C::SetVideoFrameRate: doc.OnSetVideoFrameRate(); break;
        case C::VideoOptions: doc.OnVideoOptions(); break;
        case C::TransformImageData: doc.OnTransformImageData(); break;
        case C::ViewDltParameters: ShowDltParameters(); break;
        case C::FilterEvidence: ShowFilterEvidence(); break;
        case C::ImportDltCoefficients: ImportDltCoefficientsFromBox(doc); break;
        case C::ExportDltCoefficients: ExportDltCoefficientsFile(doc); break;
        case C::ForgetDltCoefficients: doc.SetImportedDlt(std::nullopt); break;
        case C::PreviousImage: doc.OnPreviousImage(); break;
        case C::NextImage: doc.NextImage(true); break;
        case C::NextUnfinishedImage: doc.OnNextUnfinishedImage(); break;
        case C::JumpToStart: doc.OnJumpToStart(); break;
        case C::JumpToEnd: doc.OnJumpToEnd(); break;
        case C::PointMissing: doc.OnPointMissing(); break;
        case C::PointStatic: doc.OnPointStatic(); break;
        case C::ClearAllPoints: doc.OnClearAllPoints(); break;
        case C::SyncImage: doc.OnSyncImage(); break;
        case C::LockViews: doc.OnLockViews(); break;
        case C::ZoomIn: doc.ZoomIn(); break;
        case C::ZoomOut: doc.ZoomOut(); break;
        case C::RemoveView: doc.RemoveCameraView(); break;
        case C::LensCalibration: doc.OnLensCalibration(); break;
        case C::Synchronisation: ShowSynchronisation(); break;
        case C::OpenLensFile: OpenLensFileFromBox(doc); break;
        case C::SaveLensFile: SaveLensFileFromBox(doc); break;
        case C::ForgetLens: doc.OnForgetLens(); break;
        case C::Undo: doc.Undo(); break;
        case C::Redo: doc.Redo(); break;
        case C::ExportLinear: ExportLinearData(doc, dialogs); break;
        case C::ExportAngular: ExportAngularData(doc, dialogs); break;
        case C::ExportPoints: ExportDigitizedPoints(doc, dialogs); break;
        case C::ExportBvh: ExportBvhFile(doc); break;
        case C::ExportCsm: ExportCsmFile(doc, dialogs); break;
        case C::ExportC3d: ExportC3dFile(doc); break;
        case C::ExportTrc: ExportTrcFile(doc, dialogs); break;
        case C::ExportMot: ExportMotFile(doc, dialogs); break;
        case C::ImportPoints: ImportTrackFileFromBox(doc); break;
        default: break;
    }
}

bool MainFrame::Save(DocumentSession* session) {
    if (!session) return false;
    if (session->doc().pathName().empty()) return SaveAs(session);
    if (!session->doc().OnSaveDocument(session->doc().pathName())) return false;
    RecentSequences(services_.settings).Add(session->doc().pathName());
    session->UpdateWindowTitles();
    UpdateTitle();
    return true;
}

bool MainFrame::SaveAs(DocumentSession* session) {
    if (!session) return false;
    const std::string current = session->doc().pathName();
    const std::string proposed = current.empty() ? "Untitled.kdv" : current;
    const std::optional<std::string> chosen = services_.prompts.ChooseSaveFile(proposed, "kdv", kSequenceFilter);
    if (!chosen) return false;
    if (*chosen != current && QFileInfo::exists(QString::fromStdString(*chosen)) &&
        services_.prompts.Ask(QFileInfo(QString::fromStdString(*chosen)).fileName().toStdString() +
                                  " already exists.\nDo you want to replace it?",
                              Buttons::YesNo, {"Save As", true, 1}) != Answer::Yes)
        return false;
    if (!session->doc().OnSaveDocument(*chosen)) return false;
    RecentSequences(services_.settings).Add(session->doc().pathName());
    session->UpdateWindowTitles();
    UpdateTitle();
    return true;
}

// Every sequence is offered its save, whatever became of the one before; those left unsaved
// are named at the end.
void MainFrame::SaveAll() {
    std::string unsaved;
    for (auto& each : sessions_)
        if (!Save(each.get())) unsaved += "\n" + each->DisplayName().toStdString();
    if (!unsaved.empty()) services_.prompts.ShowMessage("These sequences were not saved:" + unsaved);
}

void MainFrame::OpenSequenceFromBox() {
    const std::optional<std::string> chosen = services_.prompts.ChooseOpenFile("*.kdv", "kdv", kSequenceFilter);
    if (chosen) OpenSequence(*chosen);
}

void MainFrame::OpenVideoFromBox() {
    if (!active_) return;
    const std::optional<std::string> chosen =
        services_.prompts.ChooseOpenFile(BesideSequence(active_->doc().pathName(), "*.avi"), "avi", kVideoFileFilter);
    if (!chosen) return;
    const int views = active_->doc().viewCount();
    active_->doc().OpenVideoFile(*chosen, true);
    RememberRecentVideoFile(services_.settings, *chosen);
    // A view added for the video came with a window of its own: side by side with the others.
    if (active_->doc().viewCount() > views) area_->tileSubWindows();
}

void MainFrame::OpenNewWindow(WindowKind kind) {
    if (!active_) return;
    CKadivoDoc& doc = active_->doc();
    switch (kind) {
        case WindowKind::Digitizing: {
            DigitizingWindowState state;
            state.setCameraIndex(doc.currentView);
            active_->OpenWindow(state);
            break;
        }
        case WindowKind::Analysis: active_->OpenWindow(NewGraphWindowState(services_.settings)); break;
        case WindowKind::Animation: {
            // Tilted a little, so that the floor shows from above.
            AnimationWindowState state;
            state.rotX = kNewAnimationTilt;
            active_->OpenWindow(state);
            break;
        }
        case WindowKind::Capture: active_->OpenCaptureWindow(); break;
    }
}

// "Linear Kinematics" and "Angular Kinematics": the sequence's analysis window (a new one
// when it has none) comes forward and adds curves.
void MainFrame::AddKinematicsCurves(CommandId add) {
    if (!active_) return;
    auto isAnalysis = [](QMdiSubWindow* window) {
        auto* child = qobject_cast<ChildWindow*>(window->widget());
        const std::optional<WindowState> state = child ? child->State() : std::nullopt;
        return state && std::holds_alternative<GraphWindowState>(*state);
    };
    std::vector<QMdiSubWindow*> windows = active_->Windows();
    auto found = std::find_if(windows.begin(), windows.end(), isAnalysis);
    if (found == windows.end()) {
        OpenNewWindow(WindowKind::Analysis);
        windows = active_->Windows();
        found = std::find_if(windows.begin(), windows.end(), isAnalysis);
        if (found == windows.end()) return;
    }
    area_->setActiveSubWindow(*found);
    qobject_cast<ChildWindow*>((*found)->widget())->HandleCommand(add);
    UpdateCommands();
}

QPrinter& MainFrame::Printer() {
    // Made on first use: the printing system takes long to load.
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void MainFrame::Print(bool preview) {
    ChildWindow* child = ActiveChild();
    if (!child) return;
    auto paint = [child](QPrinter* printer) {
        QPainter painter(printer);
        child->Print(painter, painter.viewport());
    };
    if (preview) {
        QPrintPreviewDialog dialog(&Printer(), this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted) paint(&Printer());
}

bool MainFrame::PrintActiveWindowToPdf(const QString& path) {
    ChildWindow* child = ActiveChild();
    if (!child) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    child->Print(painter, painter.viewport());
    return painter.end();
}

void MainFrame::PageSetup() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void MainFrame::ShowTipOfTheDay(bool atStartup) {
    TipOfTheDay tips(services_.settings, TipsFilePath());
    if (atStartup && !tips.ShowAtStartup()) return;
    TipDialog dialog(tips, this);
    std::string error;
    if (!dialog.ShowNextTip(error)) {
        services_.prompts.ShowMessage(error);
        return;
    }
    dialog.exec();
}

void MainFrame::ShowHelp() {
    if (!help_) help_ = new HelpWindow(this);
    help_->ShowContents();
    help_->show();
    help_->raise();
}

void MainFrame::ShowModelProperties() {
    if (!active_) return;
    CKadivoDoc& doc = active_->doc();
    ModelPropertiesDialog dialog(doc.modelPoints, doc.pointCount, this);
    dialog.exec();
    // OK and Cancel both keep the edits.
    doc.SetModel(dialog.Model());
}

void MainFrame::ShowDltParameters() {
    if (!active_) return;
    const CKadivoDoc& doc = active_->doc();
    std::vector<std::vector<ControlPointError>> report;
    std::vector<bool> degenerate;
    for (int view = 1; view <= doc.dlt.viewCount; ++view) {
        report.push_back(CalibrationReport(doc, view));
        degenerate.push_back(CalibrationIsDegenerate(doc, view));
    }
    DltParametersDialog dialog(doc.dlt, std::move(report), std::move(degenerate), this);
    dialog.exec();
}

void MainFrame::ShowSynchronisation() {
    if (!active_) return;
    CKadivoDoc& doc = active_->doc();
    SynchronisationDialog dialog(
        SyncSheetOf(doc), FirstViewPicture(doc), [&doc] { return EstimateOffsetsFromAudio(doc); },
        [&doc](const SyncRegion& region) { return EstimateOffsetsFromFlash(doc, region, doc.prompts()); }, this);
    if (dialog.exec() != QDialog::Accepted) return;
    doc.SetSyncFractions(FractionsFor(doc, SheetOffsets(dialog.Sheet())));
}

void MainFrame::ShowFilterEvidence() {
    if (!active_) return;
    FilterEvidenceDialog dialog(active_->doc(), this);
    dialog.exec();
}

// "Digitizing Model" and "Calibration Setup": the stand-alone wizards on the profile files.
void MainFrame::RunProfileWizard(WizardKind kind) {
    ModelProfileList models(ModelProfilePath());
    models.Load();
    CalibrationProfileList calibrations(CalibrationProfilePath());
    calibrations.Load();
    ReportUnreadableDatabase(models.ReadError(), services_.prompts);
    ReportUnreadableDatabase(calibrations.ReadError(), services_.prompts);
    WizardDialog wizard(kind, models, calibrations, services_.prompts, this);
    wizard.exec();
}

void MainFrame::ShowPreferences() {
    PreferencesDialog dialog(LoadPreferences(services_.settings, CacheDirectory()), this);
    if (dialog.exec() == QDialog::Accepted) StorePreferences(services_.settings, dialog.Preferences());
}

}  // namespace kadivo
