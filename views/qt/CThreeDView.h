#pragma once

#include "AnimationState.h"
#include "ChildWindow.h"
#include "FrameWheel.h"

#include <QTimer>

namespace kadivo {

class AnimationCanvas;
class CKadivoDoc;

// The 3D animation window: the reconstructed model of the current frame, or played at its
// own speed, turned, zoomed and shifted with the mouse.
class CThreeDView : public ChildWindow {
    Q_OBJECT
public:
    CThreeDView(DocumentSession& session, const AnimationWindowState& state);

    std::optional<WindowState> State() const override;
    bool HandleCommand(CommandId id) override;
    std::optional<CommandStatus> CommandStatusFor(CommandId id) const override;
    void OnDocumentChanged(const DocumentChange& change) override;
    void Activated() override;
    void Print(QPainter& painter, const QRect& page) override;

    AnimationState& Animation() { return state_; }
    AnimationCanvas* Canvas() const { return canvas_; }
    const QTimer& Timer() const { return timer_; }
    // Draws the frame the state chooses.
    void ShowFrame();
    // "Animation Options" on an options record as the dialog returns it.
    void ApplyOptions(const AnimationWindowState& options, bool wasRunning);
    bool SaveFrame(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKadivoDoc& Doc() const;
    void Play();
    void TogglePause();
    void StopPlaying();
    void EditOptions();
    void SaveFrameFromBox();

    AnimationState state_;
    FrameWheel wheel_;
    AnimationCanvas* canvas_;
    QTimer timer_;
    bool failureShown_ = false;
};

}  // namespace kadivo
