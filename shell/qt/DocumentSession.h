#pragma once

#include "CKadivoDoc.h"
#include "DocumentJournal.h"
#include "ExportDialogs.h"
#include "ShellState.h"
#include "WindowHost.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class QMdiSubWindow;

namespace kadivo {

class ChildWindow;
class WindowKinds;

// Where a session's windows go: the main frame's window area.
class WindowPlacer {
public:
    virtual ~WindowPlacer() = default;
    // Shows `child` in a new frame window; `placement` restores a saved one.
    virtual QMdiSubWindow* Place(ChildWindow* child, const WindowPlacement* placement) = 0;
};

// One open sequence: the document, and the windows open on it, which only it opens and
// closes. Saved windows of a kind that has no window class yet are kept as records and
// saved again in their place.
class DocumentSession : public QObject, public WindowHost, private DocumentObserver {
    Q_OBJECT
public:
    // `keptFramesFolder` keeps the videos' first frames between sessions (none when empty).
    DocumentSession(Prompts& prompts, ExportDialogs& exportDialogs, const WindowKinds& kinds, WindowPlacer& placer,
                    const std::string& keptFramesFolder = {});
    ~DocumentSession() override;

    CKadivoDoc& doc() { return *doc_; }
    const CKadivoDoc& doc() const { return *doc_; }
    // The journal of the unsaved edits, in the program's journal folder.
    DocumentJournal& journal() { return *journal_; }
    Prompts& prompts() { return prompts_; }
    ExportDialogs& exportDialogs() { return exportDialogs_; }

    bool OpenWindow(const WindowState& state) override;
    void CloseAllWindows() override;
    std::list<WindowState> WindowStates() const override;

    // The capture window, at most one: false when it is open already or cannot be made.
    bool OpenCaptureWindow();
    bool HasCaptureWindow() const;

    // The frame windows open now, in the order they were opened.
    std::vector<QMdiSubWindow*> Windows() const;
    bool Owns(const QMdiSubWindow* window) const;
    // "walk.kdv", or "Untitled" for a sequence never saved.
    QString DisplayName() const;
    // Names the windows "walk.kdv", or "walk.kdv:1", "walk.kdv:2" when there are several.
    void UpdateWindowTitles();

signals:
    void changed(const kadivo::DocumentChange& change);
    void windowsChanged();
    // The journal of unsaved edits failed; said once.
    void journalProblem(const QString& problem);

private:
    struct Entry {
        QPointer<QMdiSubWindow> window;
        const QObject* identity = nullptr;  // the window, for comparing while it is destroyed
        ChildWindow* child = nullptr;
        std::optional<WindowState> record;  // a window of a kind not shown
        QRect normalGeometry;  // the place a maximised or minimised window returns to
    };

    void OnDocumentChanged(const DocumentChange& change) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Track(Entry& entry);
    void Prune();

    Prompts& prompts_;
    ExportDialogs& exportDialogs_;
    const WindowKinds& kinds_;
    WindowPlacer& placer_;
    std::unique_ptr<CKadivoDoc> doc_;
    std::unique_ptr<DocumentJournal> journal_;
    // Edits have stopped when none came for a moment: the journal goes to the disk then.
    QTimer journalSync_;
    std::vector<Entry> entries_;
};

}  // namespace kadivo
