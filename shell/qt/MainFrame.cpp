#include "MainFrame.h"

#include "ChildWindow.h"
#include "DataDirectory.h"
#include "Icons.h"
#include "InstalledFiles.h"
#include "StartupRecovery.h"
#include "MainStatusBar.h"
#include "SettingsValues.h"
#include "dialogs/ProgramDialogs.h"
#include "WindowKinds.h"
#include "WindowModified.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace kadivo {

namespace {

using C = CommandId;

constexpr int kStatusMessageMs = 10000;  // how long a passing word stays in the status bar

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

// The settings value of each toolbar's visibility.
const char* ToolbarKey(CommandId toggle) {
    switch (toggle) {
        case C::DigitizingToolbar: return "AviBar";
        case C::CaptureToolbar: return "CAPBar";
        case C::AnimationToolbar: return "VCRBar";
        case C::ImageToolbar: return "ViewBar";
        case C::AnalysisToolbar: return "DataBar";
        case C::WindowToolbar: return "WindowBar";
        default: return nullptr;
    }
}

constexpr CommandId kToolbarToggles[] = {C::WindowToolbar, C::ImageToolbar, C::DigitizingToolbar,
                                         C::CaptureToolbar, C::AnimationToolbar, C::AnalysisToolbar};

}  // namespace

MainFrame::MainFrame(ShellServices services) : services_(std::move(services)) {
    setObjectName("MainFrame");
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    area_ = new QMdiArea(this);
    area_->setObjectName("windowArea");
    area_->setBackground(QColor(0x5a, 0x63, 0x70));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    connect(area_, &QMdiArea::subWindowActivated, this, &MainFrame::OnSubWindowActivated);
    CreateActions();
    CreateMenus();
    CreateToolbars();
    CreateStatusBar();
    RestoreToolbarVisibility();
    RestoreWindowPlace();
    UpdateTitle();
    UpdateCommands();
}

MainFrame::~MainFrame() {
    // The windows go before the sessions whose documents they observe, and the sessions go
    // before the frame's own members, without telling the frame of it any more.
    for (auto& session : sessions_) {
        session->CloseAllWindows();
        disconnect(session.get(), nullptr, this, nullptr);
    }
    sessions_.clear();
}

void MainFrame::CreateActions() {
    for (int i = 0; i < kCommandCount; ++i) {
        const CommandId id = static_cast<CommandId>(i);
        const CommandInfo& info = Command(id);
        auto* action = new QAction(CommandIcon(id), Text(info.text), this);
        action->setObjectName(Text(info.text));
        if (!info.shortcut.empty()) action->setShortcut(QKeySequence(Text(info.shortcut)));
        action->setStatusTip(Text(info.tip));
        action->setToolTip(Text(info.text));
        actions_[static_cast<std::size_t>(i)] = action;
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    }
    for (CommandId checkable : {C::LockViews, C::Movement, C::Calibration, C::ZoomQuarter, C::ZoomHalf, C::ZoomOne,
                                C::ZoomTwo, C::ZoomThree, C::ZoomFour, C::StatusBar, C::AutoScroll, C::UndistortedFrame, C::SneakZoom100,
                                C::SneakZoom50, C::SneakZoom33, C::SneakZoom25, C::SneakZoom20, C::SneakZoom10,
                                C::RangeDefine, C::ImageAdjust, C::ShowStatusWindow, C::GraphGrid, C::Overlay, C::Preview})
        Action(checkable)->setCheckable(true);
    for (CommandId toggle : kToolbarToggles) Action(toggle)->setCheckable(true);
    Action(C::ZoomIn)->setShortcuts({QKeySequence("Ctrl++"), QKeySequence("Ctrl+="), QKeySequence("+")});
    Action(C::ZoomOut)->setShortcuts({QKeySequence("Ctrl+-"), QKeySequence("-")});
    Action(C::HelpTopics)->setIconText("Help");
    Action(C::About)->setIconText("About");
}

void MainFrame::CreateMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            if (id == kSeparator) menu->addSeparator();
            else menu->addAction(Action(id));
        }
    };
    QMenu* file = menuBar()->addMenu("&File");
    add(file, {C::NewSequence, C::OpenSequence, C::CloseSequence, kSeparator, C::Save, C::SaveAs, C::SaveAll, kSeparator,
               C::OpenVideo});
    recentVideos_ = file->addMenu("Recent Videos");
    connect(recentVideos_, &QMenu::aboutToShow, this, &MainFrame::RebuildRecentVideos);
    QMenu* exports = file->addMenu("Export...");
    add(exports, {C::ExportLinear, C::ExportAngular, C::ExportPoints, kSeparator, C::ExportBvh, C::ExportCsm, C::ExportC3d, kSeparator, C::ExportTrc, C::ExportMot});
    add(file, {kSeparator, C::Print, C::PrintPreview, C::PageSetup, kSeparator, C::Preferences, kSeparator});
    recentSequences_ = file->addMenu("Recent Sequences");
    connect(recentSequences_, &QMenu::aboutToShow, this, &MainFrame::RebuildRecentSequences);
    add(file, {kSeparator, C::Exit});

    QMenu* edit = menuBar()->addMenu("&Edit");
    add(edit, {C::Undo, C::Redo, kSeparator, C::EraseLastPoint, C::EditPoint, C::ClearAllPoints});

    QMenu* view = menuBar()->addMenu("&View");
    QMenu* toolbars = view->addMenu("Toolbars");
    add(toolbars, {C::WindowToolbar, C::ImageToolbar, C::DigitizingToolbar, C::CaptureToolbar, C::AnimationToolbar,
                   C::AnalysisToolbar});
    add(view, {C::StatusBar, C::SequenceInfoPane});

    QMenu* sequence = menuBar()->addMenu("&Sequence");
    add(sequence, {C::SequenceOptions, C::AutoSearchOptions, C::CaptureOptions, C::FilterOptions, C::PointsConfiguration,
                   C::CalibrationOptions, kSeparator, C::ModelParameters, C::SetVideoFrameRate, C::VideoOptions,
                   kSeparator, C::TransformImageData, C::ViewDltParameters, C::FilterEvidence, C::ImportDltCoefficients,
                   C::ExportDltCoefficients, C::ForgetDltCoefficients, kSeparator, C::DigitizingModels,
                   C::CalibrationObjects});

    QMenu* digitize = menuBar()->addMenu("&Digitize");
    add(digitize, {C::Movement, C::Calibration, kSeparator, C::PreviousImage, C::NextImage, C::NextUnfinishedImage,
                   C::JumpToStart, C::JumpToEnd, kSeparator, C::Missing, C::PointMissing, C::PointStatic, kSeparator,
                   C::ZoomIn, C::ZoomOut});
    QMenu* zoom = digitize->addMenu("Zoom");
    add(zoom, {C::ZoomQuarter, C::ZoomHalf, C::ZoomOne, C::ZoomTwo, C::ZoomThree, C::ZoomFour});
    QMenu* sneakZoom = digitize->addMenu("SneakZoom");
    add(sneakZoom, {C::SneakZoom100, C::SneakZoom50, C::SneakZoom33, C::SneakZoom25, C::SneakZoom20, C::SneakZoom10});
    add(digitize, {C::FreezeZoom, C::AutoScroll, C::UndistortedFrame, C::ResizeWindowToImage, kSeparator, C::Go, C::StopDigitizing,
                   C::SinglePoint, C::ShowStatusWindow, kSeparator, C::ImportPoints});

    QMenu* image = menuBar()->addMenu("&Image Processing");
    add(image, {C::ClearAllFiltering, C::AutoFilter});
    QMenu* range = image->addMenu("Range Of Interest");
    add(range, {C::RangeDefine, C::RangeClear});
    add(image, {kSeparator, C::FilterSharpen});
    QMenu* edges = image->addMenu("Edge Detection");
    add(edges, {C::FilterPrewittVertical, C::FilterPrewittHorizontal, C::FilterSobelVertical, C::FilterSobelHorizontal,
                C::FilterLaplacian3, C::FilterLaplacian5, C::FilterHighPass3, C::FilterHighPass5});
    QMenu* smoothing = image->addMenu("Smoothing");
    add(smoothing, {C::FilterGaussian3, C::FilterGaussian5, C::FilterBlur});
    QMenu* nonLinear = image->addMenu("Non Linear");
    add(nonLinear, {C::FilterMedian, C::FilterMax, C::FilterMin});
    QMenu* morphological = image->addMenu("Morphological");
    add(morphological, {C::FilterErode, C::FilterDilate, C::FilterOpen, C::FilterClose});
    add(image, {kSeparator, C::ImageAdjust});

    cameraViews_ = menuBar()->addMenu("&Camera Views");
    cameraViews_->setObjectName("cameraViewsMenu");
    add(cameraViews_, {C::AddView, C::RemoveView, kSeparator, C::LockViews, C::SyncImage, C::Synchronisation, kSeparator, C::LensCalibration,
                       C::OpenLensFile, C::SaveLensFile, C::ForgetLens});

    QMenu* analysis = menuBar()->addMenu("&Analysis");
    add(analysis, {C::LinearKinematics, C::AngularKinematics, kSeparator, C::NewGraph, C::RemoveGraph, C::AddLinearCurve,
                   C::AddAngularCurve, C::RemoveCurve, C::CurveProperties, C::GraphProperties, C::ClearGraph,
                   C::GraphGrid, C::OptimizeXAxis, C::OptimizeLeftYAxis, C::OptimizeRightYAxis, C::CopyDataToClipboard,
                   C::SaveGraphAs, kSeparator, C::CaptureVideo});

    QMenu* animation = menuBar()->addMenu("A&nimation");
    add(animation, {C::Play, C::Pause, C::Stop, C::ResetOrientation, kSeparator, C::AnimationOptions, C::SaveFrameAsImage});

    QMenu* capture = menuBar()->addMenu("Video &Capture");
    add(capture, {C::CaptureVideo, C::SaveVideoAs, kSeparator, C::VideoFormat, C::VideoSource, C::DisplaySettings,
                  kSeparator, C::Overlay, C::Preview, kSeparator, C::CaptureDriverInfo, kSeparator,
                  C::Preferences});

    QMenu* profiles = menuBar()->addMenu("&Profiles");
    add(profiles, {C::DigitizingModel, C::CalibrationSetup});

    windowMenu_ = menuBar()->addMenu("&Window");
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainFrame::RebuildWindowMenu);
    RebuildWindowMenu();

    QMenu* help = menuBar()->addMenu("&Help");
    add(help, {C::HelpTopics, C::TipOfTheDay, C::WebSite, kSeparator, C::About});
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &MainFrame::UpdateCommands);
}

QToolBar* MainFrame::AddToolbar(const QString& title, const QString& objectName, const CommandId* buttons,
                                std::size_t count) {
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(objectName);
    bar->setIconSize(QSize(22, 22));
    for (std::size_t i = 0; i < count; ++i) {
        if (buttons[i] == kSeparator) bar->addSeparator();
        else bar->addAction(Action(buttons[i]));
    }
    return bar;
}

void MainFrame::CreateToolbars() {
    AddToolbar("Main", "mainToolbar", kMainToolbar.data(), kMainToolbar.size());
    toolbars_[static_cast<std::size_t>(C::DigitizingToolbar)] =
        AddToolbar("Digitizing", "digitizingToolbar", kDigitizingToolbar.data(), kDigitizingToolbar.size());
    toolbars_[static_cast<std::size_t>(C::CaptureToolbar)] =
        AddToolbar("Capture", "captureToolbar", kCaptureToolbar.data(), kCaptureToolbar.size());
    toolbars_[static_cast<std::size_t>(C::AnimationToolbar)] =
        AddToolbar("3D Animation", "animationToolbar", kAnimationToolbar.data(), kAnimationToolbar.size());
    toolbars_[static_cast<std::size_t>(C::AnalysisToolbar)] =
        AddToolbar("Analysis", "analysisToolbar", kAnalysisToolbar.data(), kAnalysisToolbar.size());
    toolbars_[static_cast<std::size_t>(C::WindowToolbar)] =
        AddToolbar("Window", "windowToolbar", kWindowToolbar.data(), kWindowToolbar.size());
    // "Open Video" drops down the recent videos.
    QToolBar* digitizing = ToolbarOf(C::DigitizingToolbar);
    if (auto* button = qobject_cast<QToolButton*>(digitizing->widgetForAction(Action(C::OpenVideo)))) {
        button->setMenu(recentVideos_);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    for (CommandId toggle : kToolbarToggles) {
        QToolBar* bar = ToolbarOf(toggle);
        if (!bar) continue;
        // Closing a bar from its own context menu counts as toggling it.
        connect(bar->toggleViewAction(), &QAction::triggered, this, [this, toggle](bool visible) { ToggleToolbar(toggle, visible); });
    }
}

QToolBar* MainFrame::ToolbarOf(CommandId toggle) const { return toolbars_[static_cast<std::size_t>(toggle)]; }

void MainFrame::CreateStatusBar() {
    status_ = new MainStatusBar(this);
    setStatusBar(status_);
    connect(status_, &MainStatusBar::goToFrame, this, [this](int frame) {
        if (active_) active_->doc().GoToFrame(frame, true);
    });
    Action(C::StatusBar)->setChecked(true);
}

void MainFrame::RestoreToolbarVisibility() {
    for (CommandId toggle : kToolbarToggles) {
        const bool visible = ToolbarVisible(services_.settings, ToolbarKey(toggle));
        Action(toggle)->setChecked(visible);
        if (QToolBar* bar = ToolbarOf(toggle)) bar->setVisible(visible);
        if (toggle == C::ImageToolbar) imageToolbarVisible_ = visible;
    }
}

void MainFrame::ToggleToolbar(CommandId toggle, bool visible) {
    if (QToolBar* bar = ToolbarOf(toggle)) bar->setVisible(visible);
    if (toggle == C::ImageToolbar) {
        imageToolbarVisible_ = visible;
        for (QMdiSubWindow* window : area_->subWindowList())
            if (auto* child = qobject_cast<ChildWindow*>(window->widget())) child->ShowImageToolbar(visible);
    }
    Action(toggle)->setChecked(visible);
    StoreToolbarVisible(services_.settings, ToolbarKey(toggle), visible);
}

void MainFrame::ShowSequenceInfoPane() {
    if (!infoPane_) {
        infoPane_ = new QDockWidget("Sequence Info", this);
        infoPane_->setObjectName("sequenceInfoPane");
        infoPane_->setAllowedAreas(Qt::AllDockWidgetAreas);
        auto* tree = new QTreeWidget(infoPane_);
        tree->setHeaderHidden(true);
        infoPane_->setWidget(tree);
        addDockWidget(Qt::LeftDockWidgetArea, infoPane_);
    }
    infoPane_->show();
}

// --- sessions -------------------------------------------------------------------------------

DocumentSession* MainFrame::AddSession() {
    auto session = std::make_unique<DocumentSession>(services_.prompts, services_.exportDialogs, services_.kinds, *this,
                                                      services_.keptFramesFolder);
    DocumentSession* added = session.get();
    connect(added, &DocumentSession::changed, this,
            [this, added](const DocumentChange& change) { OnDocumentChanged(added, change); });
    connect(added, &DocumentSession::windowsChanged, this, [this] { UpdateCommands(); });
    connect(added, &DocumentSession::journalProblem, this, [this](const QString& problem) { status_->showMessage(problem); });
    sessions_.push_back(std::move(session));
    return added;
}

void MainFrame::DropSession(DocumentSession* session) {
    std::erase_if(sessions_, [session](const auto& s) { return s.get() == session; });
}

DocumentSession* MainFrame::OpenSequence(const std::string& path) {
    const QString wanted = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    for (auto& session : sessions_) {
        if (!session->doc().pathName().empty() &&
            QFileInfo(QString::fromStdString(session->doc().pathName())).absoluteFilePath() == wanted) {
            Activate(session.get());
            return session.get();
        }
    }
    DocumentSession* session = AddSession();
    RecentFileList recent = RecentSequences(services_.settings);
    if (!session->doc().OnOpenDocument(wanted.toStdString())) {
        DropSession(session);
        recent.Remove(path);
        recent.Remove(wanted.toStdString());
        return nullptr;
    }
    recent.Add(wanted.toStdString());
    Activate(session);
    return session;
}

DocumentSession* MainFrame::NewSequence() {
    DocumentSession* session = AddSession();
    if (!session->doc().OnNewDocument()) {
        DropSession(session);
        return nullptr;
    }
    Activate(session);
    return session;
}

void MainFrame::OfferRecovery() {
    kadivo::OfferRecovery(services_.prompts, JournalDirectory(), [this](const RecoveredSequence& recovered) {
        DocumentSession* session = AddSession();
        if (!session->doc().OnRecoverDocument(recovered.header.sequencePath, recovered.bytes)) {
            DropSession(session);
            return false;
        }
        Activate(session);
        session->journal().Sync();
        return session->journal().IsKeeping();
    });
}

bool MainFrame::CloseSession(DocumentSession* session) {
    if (!session) return true;
    if (session->doc().IsModified()) {
        const Answer answer = services_.prompts.Ask("Save changes to " + session->DisplayName().toStdString() + "?",
                                                    Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::Yes && !Save(session)) return false;
    }
    session->doc().OnCloseDocument();
    const auto found = std::find_if(sessions_.begin(), sessions_.end(), [session](const auto& s) { return s.get() == session; });
    std::unique_ptr<DocumentSession> closing = std::move(*found);
    sessions_.erase(found);
    if (active_ == session) active_ = nullptr;
    closing.reset();
    if (!active_) {
        if (QMdiSubWindow* window = area_->activeSubWindow()) OnSubWindowActivated(window);
        else Activate(sessions_.empty() ? nullptr : sessions_.back().get());
    }
    RefreshFromActive();
    return true;
}

bool MainFrame::CloseAllSessions() {
    while (!sessions_.empty())
        if (!CloseSession(sessions_.back().get())) return false;
    return true;
}

void MainFrame::Activate(DocumentSession* session) {
    active_ = session;
    if (session) {
        const std::vector<QMdiSubWindow*> windows = session->Windows();
        if (!windows.empty() && !session->Owns(area_->activeSubWindow())) area_->setActiveSubWindow(windows.back());
    }
    RefreshFromActive();
}

void MainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    if (!window) return;
    for (auto& session : sessions_) {
        if (session->Owns(window)) {
            if (auto* child = qobject_cast<ChildWindow*>(window->widget())) child->Activated();
            if (active_ != session.get()) {
                active_ = session.get();
                RefreshFromActive();
            } else {
                UpdateCommands();
            }
            return;
        }
    }
}

ChildWindow* MainFrame::ActiveChild() const {
    QMdiSubWindow* window = area_->activeSubWindow();
    return window ? qobject_cast<ChildWindow*>(window->widget()) : nullptr;
}

void MainFrame::OnDocumentChanged(DocumentSession* session, const DocumentChange& change) {
    session->UpdateWindowTitles();
    if (session == active_) RefreshFromActive();
    if (change.what.Has(Change::Transformed))
        status_->showMessage(QString::fromStdString(session->doc().TransformedText()), kStatusMessageMs);
}

void MainFrame::RefreshFromActive() {
    if (active_) {
        const CKadivoDoc& doc = active_->doc();
        status_->ShowStatus(doc.Status());
        status_->SetFrameStep(doc.options.frameStep);
        status_->SetFrameSlider(doc.FrameSlider());
    } else {
        status_->ShowInitialTexts();
    }
    RebuildCameraViewsMenu();
    UpdateTitle();
    UpdateCommands();
}

void MainFrame::UpdateTitle() {
    if (!active_) {
        setWindowTitle("Kadivo");
        MarkModified(*this, false);
        return;
    }
    setWindowTitle(active_->DisplayName() + "[*] - Kadivo");
    MarkModified(*this, active_->doc().IsModified());
}

void MainFrame::RebuildCameraViewsMenu() {
    const std::vector<CameraViewMenuEntry> entries = active_ ? active_->doc().CameraViewMenuEntries()
                                                             : std::vector<CameraViewMenuEntry>{};
    const int current = active_ ? active_->doc().currentView : -1;
    if (entries != shownCameraViews_) {
        for (QAction* action : cameraViewEntries_) {
            cameraViews_->removeAction(action);
            action->deleteLater();
        }
        cameraViewEntries_.clear();
        if (!entries.empty()) cameraViewEntries_.push_back(cameraViews_->addSeparator());
        for (const CameraViewMenuEntry& entry : entries) {
            QAction* action = cameraViews_->addAction(QString::fromStdString(entry.text));
            action->setCheckable(true);
            action->setData(entry.view);
            action->setObjectName(QString::fromStdString(entry.command));
            const int view = entry.view;
            connect(action, &QAction::triggered, this, [this, view] {
                if (!active_) return;
                ChildWindow* child = ActiveChild();
                if (!(child && active_->Owns(qobject_cast<QMdiSubWindow*>(child->parentWidget())) && child->ShowCameraView(view)))
                    active_->doc().SetCurrentView(view);
            });
            cameraViewEntries_.push_back(action);
        }
        shownCameraViews_ = entries;
    }
    for (QAction* action : cameraViewEntries_)
        if (action->isCheckable()) action->setChecked(action->data().toInt() == current);
}

void MainFrame::RebuildRecentSequences() {
    recentSequences_->clear();
    const std::vector<std::string> paths = RecentSequences(services_.settings).Paths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const QString path = QString::fromStdString(paths[i]);
        QAction* action = recentSequences_->addAction(QString("&%1 %2").arg(i + 1).arg(path));
        connect(action, &QAction::triggered, this, [this, path] { OpenSequence(path.toStdString()); });
    }
    recentSequences_->setEnabled(!paths.empty());
}

void MainFrame::RebuildRecentVideos() {
    recentVideos_->clear();
    for (const RecentVideoEntry& entry : RecentVideoEntries(services_.settings)) {
        QAction* action = recentVideos_->addAction(QString::fromStdString(entry.text));
        const std::string path = entry.path;
        action->setEnabled(active_ != nullptr);
        connect(action, &QAction::triggered, this, [this, path] {
            if (active_) active_->doc().OpenVideoFile(path, true);
        });
    }
}

void MainFrame::RebuildWindowMenu() {
    windowMenu_->clear();
    for (CommandId id : {C::NewDigitizingWindow, C::NewAnalysisWindow, C::NewAnimationWindow, C::EnableVideoCapture})
        windowMenu_->addAction(Action(id));
    windowMenu_->addSeparator();
    windowMenu_->addAction(Action(C::CascadeWindows));
    windowMenu_->addAction(Action(C::TileWindows));
    const QList<QMdiSubWindow*> windows = area_->subWindowList();
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QString title = window->windowTitle();
        title.replace("[*]", window->isWindowModified() ? "*" : "");
        QAction* action = windowMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(title));
        action->setCheckable(true);
        action->setChecked(window == area_->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window] { area_->setActiveSubWindow(window); });
    }
}

QMdiSubWindow* MainFrame::Place(ChildWindow* child, const WindowPlacement* placement) {
    const QSize wanted = child->size();  // what the window made itself, before the area places it
    QMdiSubWindow* window = area_->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(ProgramIcon());
    window->installEventFilter(this);
    // The window's own Close takes Ctrl+W too, which would make File → Close's shortcut
    // ambiguous and leave both dead; the window keeps Ctrl+F4.
    for (QAction* action : window->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0) action->setShortcuts(keys);
    }
    connect(child, &ChildWindow::readoutChanged, this, [this, window](const QString& text) {
        if (area_->activeSubWindow() == window) status_->ShowReadout(text);
    });
    child->AttachCommands([this](CommandId id) { return Action(id); });
    child->ShowImageToolbar(imageToolbarVisible_);
    const bool placed = placement && placement->rectRight > placement->rectLeft && placement->rectBottom > placement->rectTop;
    if (placed)
        window->setGeometry(placement->rectLeft, placement->rectTop, placement->rectRight - placement->rectLeft,
                            placement->rectBottom - placement->rectTop);
    if (placement && placement->showState == 3) window->showMaximized();
    else if (placement && placement->showState == 2) window->showMinimized();
    else window->show();
    // A new window gets the size it asked for, within the area.
    if (!placed && !window->isMaximized() && !window->isMinimized())
        window->resize((wanted + (window->size() - child->size())).boundedTo(area_->viewport()->size()));
    return window;
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        for (auto& session : sessions_) {
            if (!window || !session->Owns(window)) continue;
            // Closing the last window of a sequence closes the sequence.
            if (session->Windows().size() == 1) {
                event->ignore();
                DocumentSession* closing = session.get();
                QTimer::singleShot(0, this, [this, closing] {
                    for (auto& each : sessions_)
                        if (each.get() == closing) CloseSession(closing);
                });
                return true;
            }
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!CloseAllSessions()) {
        event->ignore();
        return;
    }
    SaveWindowPlace();
    if (help_) help_->close();
    event->accept();
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) OpenSequence(url.toLocalFile().toStdString());
}

void MainFrame::SaveWindowPlace() {
    services_.settings.SetString("MainFrame", "geometry", saveGeometry().toBase64().toStdString());
    services_.settings.SetString("MainFrame", "state", saveState().toBase64().toStdString());
}

void MainFrame::RestoreWindowPlace() {
    const std::string geometry = services_.settings.GetString("MainFrame", "geometry", "");
    if (geometry.empty() || !restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(geometry)))) resize(1100, 760);
    const std::string state = services_.settings.GetString("MainFrame", "state", "");
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    // The toolbars' visibility is the "Toolbars" section's; the saved layout only places them.
    RestoreToolbarVisibility();
}

std::string MainFrame::TipsFilePath() const {
    const std::string inData = DataFilePath("tips.txt");
    if (QFileInfo::exists(QString::fromStdString(inData))) return inData;
    const std::string shipped = ShippedDataFile(services_.programDirectory, "tips.txt");
    return shipped.empty() ? services_.programDirectory + "/tips.txt" : shipped;
}

}  // namespace kadivo
