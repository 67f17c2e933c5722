#pragma once

#include "Commands.h"
#include "DocumentSession.h"
#include "ShellState.h"
#include "WizardFlow.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <vector>

class QDockWidget;
class QMdiArea;
class QMenu;
class QPrinter;
class QToolBar;

namespace kadivo {

class ChildWindow;
class HelpWindow;
class MainStatusBar;
class SettingsStore;
class WindowKinds;

// What the main frame works with, made once for the program.
struct ShellServices {
    SettingsStore& settings;
    Prompts& prompts;
    ExportDialogs& exportDialogs;
    const WindowKinds& kinds;
    std::string programDirectory;
    // Where the first frame of each video shown is kept between sessions; empty keeps none.
    std::string keptFramesFolder = {};
};

// The program's main window: menus, toolbars, the status bar with the frame slider, the
// "Sequence Info" pane and the area of the windows on the open sequences. Its panes, slider
// and camera-view menu follow the active sequence.
class MainFrame : public QMainWindow, public WindowPlacer {
    Q_OBJECT
public:
    explicit MainFrame(ShellServices services);
    ~MainFrame() override;

    // Opens a sequence file, or brings forward the sequence when it is open already; null
    // when it cannot be read.
    DocumentSession* OpenSequence(const std::string& path);
    // A new sequence through the new-sequence wizard; null when it was cancelled.
    DocumentSession* NewSequence();
    // Offers the unsaved changes that sessions which did not end left in the journal folder.
    void OfferRecovery();
    // Closes a sequence and its windows, after asking to save changes; false when the user
    // kept it open.
    bool CloseSession(DocumentSession* session);
    bool CloseAllSessions();
    DocumentSession* ActiveSession() const { return active_; }
    const std::vector<std::unique_ptr<DocumentSession>>& Sessions() const { return sessions_; }

    // Runs a command as its menu item does.
    void Execute(CommandId id);
    CommandStatus StatusOf(CommandId id) const;
    void UpdateCommands();
    QAction* Action(CommandId id) const { return actions_[static_cast<std::size_t>(id)]; }
    QToolBar* ToolbarOf(CommandId toggle) const;
    QMenu* CameraViewsMenu() const { return cameraViews_; }
    QDockWidget* SequenceInfoPane() const { return infoPane_; }
    MainStatusBar* Status() const { return status_; }
    QMdiArea* WindowArea() const { return area_; }
    ChildWindow* ActiveChild() const;

    // Prints the active window into a PDF file; false when there is none or it fails.
    bool PrintActiveWindowToPdf(const QString& path);

    QMdiSubWindow* Place(ChildWindow* child, const WindowPlacement* placement) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolbars();
    QToolBar* AddToolbar(const QString& title, const QString& objectName, const CommandId* buttons, std::size_t count);
    void CreateStatusBar();
    void RestoreToolbarVisibility();
    void ToggleToolbar(CommandId toggle, bool visible);
    void ShowSequenceInfoPane();

    DocumentSession* AddSession();
    // Forgets a session whose sequence could not be made or opened.
    void DropSession(DocumentSession* session);
    void Activate(DocumentSession* session);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void OnDocumentChanged(DocumentSession* session, const DocumentChange& change);
    void RefreshFromActive();
    void UpdateTitle();
    void RebuildCameraViewsMenu();
    void RebuildRecentSequences();
    void RebuildRecentVideos();
    void RebuildWindowMenu();
    ShellState State() const;

    bool Save(DocumentSession* session);
    bool SaveAs(DocumentSession* session);
    void SaveAll();
    void OpenSequenceFromBox();
    void OpenVideoFromBox();
    void OpenNewWindow(WindowKind kind);
    void AddKinematicsCurves(CommandId add);
    void Print(bool preview);
    void PageSetup();
    QPrinter& Printer();
    void ShowTipOfTheDay(bool atStartup);
    void ShowHelp();
    void ShowModelProperties();
    void ShowDltParameters();
    void ShowFilterEvidence();
    void ShowSynchronisation();
    void ShowPreferences();
    void RunProfileWizard(WizardKind kind);
    void RunDocumentCommand(CommandId id, CKadivoDoc& doc);
    void SaveWindowPlace();
    void RestoreWindowPlace();

public:
    // The tip of the day, as at start-up when `atStartup` (only when asked for in the settings).
    void OfferTipOfTheDay() { ShowTipOfTheDay(true); }
    std::string TipsFilePath() const;

private:
    ShellServices services_;
    std::vector<std::unique_ptr<DocumentSession>> sessions_;
    DocumentSession* active_ = nullptr;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<QToolBar*, kCommandCount> toolbars_{};  // by their toggle command
    QMdiArea* area_ = nullptr;
    MainStatusBar* status_ = nullptr;
    QDockWidget* infoPane_ = nullptr;
    QMenu* cameraViews_ = nullptr;
    QMenu* recentSequences_ = nullptr;
    QMenu* recentVideos_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::vector<QAction*> cameraViewEntries_;
    std::vector<CameraViewMenuEntry> shownCameraViews_;
    std::unique_ptr<QPrinter> printer_;
    QPointer<HelpWindow> help_;
    bool imageToolbarVisible_ = false;
};

}  // namespace kadivo
