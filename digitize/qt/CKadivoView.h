#pragma once

#include "ChildWindow.h"
#include "DigitizingWindowValues.h"
#include "ImageAdjustWindow.h"
#include "SearchStatusWindow.h"

#include <QPointer>

class QToolBar;

namespace kadivo {

class FrameCanvas;

// The digitizing window: one camera view of a sequence, its frame, its points, and the
// commands of digitizing and image enhancement.
class CKadivoView : public ChildWindow {
    Q_OBJECT
public:
    CKadivoView(DocumentSession& session, const DigitizingWindowState& state);
    ~CKadivoView() override;

    std::optional<WindowState> State() const override;
    bool HandleCommand(CommandId id) override;
    std::optional<CommandStatus> CommandStatusFor(CommandId id) const override;
    bool ShowCameraView(int view) override;
    void Activated() override;
    void AttachCommands(const std::function<QAction*(CommandId)>& action) override;
    void ShowImageToolbar(bool visible) override;
    void OnDocumentChanged(const DocumentChange& change) override;

    FrameCanvas* Canvas() const { return canvas_; }
    int Camera() const;
    ImageAdjustWindow* ImageAdjust() const { return adjust_; }
    SearchStatusWindow* SearchStatus() const { return status_; }

private:
    CKadivoDoc& Doc() const;
    bool HasVideo() const;
    void Enhance(const std::function<void()>& change);
    void ClearAllFiltering();
    void ToggleImageAdjust();
    void ToggleSearchStatus();
    void SetStatusDisplay(bool on);
    void AddView();
    void ResizeToImage();

    DigitizingWindowState saved_;  // the record this window came from: its display words go back
    FrameCanvas* canvas_;
    QToolBar* imageToolbar_ = nullptr;
    QPointer<ImageAdjustWindow> adjust_;
    QPointer<SearchStatusWindow> status_;
};

}  // namespace kadivo
