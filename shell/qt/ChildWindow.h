#pragma once

#include "Commands.h"
#include "DocumentChange.h"
#include "WindowState.h"

#include <QWidget>

#include <functional>

#include <optional>

class QAction;
class QPainter;

namespace kadivo {

class DocumentSession;

// The contents of a window on a sequence. The session places it in the main frame, tells it
// of the document's changes and asks it for its state when the sequence is saved.
class ChildWindow : public QWidget, public DocumentObserver {
    Q_OBJECT
public:
    explicit ChildWindow(DocumentSession& session, QWidget* parent = nullptr);
    ~ChildWindow() override;

    DocumentSession& session() const { return session_; }

    // The window's state as the sequence file keeps it; the session fills in the placement.
    // Nothing for windows that are not saved (capture).
    virtual std::optional<WindowState> State() const = 0;

    // The window's own commands: handles `id` and returns true, or returns false to leave it
    // to the main frame. The status is nothing for commands the window does not handle.
    virtual bool HandleCommand(CommandId) { return false; }
    virtual std::optional<CommandStatus> CommandStatusFor(CommandId) const { return std::nullopt; }
    // "Camera View %d" chosen in the menu; false to leave it to the document.
    virtual bool ShowCameraView(int) { return false; }
    // The window became the active one.
    virtual void Activated() {}
    // The program's commands, for a toolbar of the window's own; given once, when placed.
    virtual void AttachCommands(const std::function<QAction*(CommandId)>&) {}
    // The image toolbar of digitizing windows is shown or hidden everywhere at once.
    virtual void ShowImageToolbar(bool) {}

    // Draws what the window shows onto a printed page of `page` device pixels.
    virtual void Print(QPainter& painter, const QRect& page);

signals:
    // A read-out for the status bar's fifth pane.
    void readoutChanged(const QString& text);

protected:
    // The user changed what State() gives, which the sequence file keeps.
    void ContentsEdited();

private:
    DocumentSession& session_;
};

}  // namespace kadivo
