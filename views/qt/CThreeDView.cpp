#include "CThreeDView.h"

#include "AnimationCanvas.h"
#include "AnimationOptionsDialog.h"
#include "CKadivoDoc.h"
#include "DocumentSession.h"
#include "GraphWindowModel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace kadivo {

namespace {

using C = CommandId;

}  // namespace

CThreeDView::CThreeDView(DocumentSession& session, const AnimationWindowState& state)
    : ChildWindow(session), state_(state), canvas_(new AnimationCanvas(this)) {
    setObjectName("animationWindow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas_);
    canvas_->installEventFilter(this);
    canvas_->setMouseTracking(false);
    connect(canvas_, &AnimationCanvas::failed, this, [this](const QString& reason) {
        if (failureShown_) return;
        failureShown_ = true;
        emit readoutChanged(reason);
    });
    connect(&timer_, &QTimer::timeout, this, [this] {
        state_.Tick(Doc().worldFrameCount);
        ShowFrame();
    });
    setMinimumSize(240, 180);
    resize(560, 440);
    ShowFrame();
}

CKadivoDoc& CThreeDView::Doc() const { return session().doc(); }

std::optional<WindowState> CThreeDView::State() const { return state_.record(); }

void CThreeDView::ShowFrame() {
    const std::optional<int> frame = state_.FrameToShow(Doc());
    const AnimationWindowState& o = state_.record();
    std::optional<AnimationScene> scene;
    if (frame) scene = BuildAnimationScene(Doc(), o, *frame);
    canvas_->Show(std::move(scene), {o.rotX, o.rotY, o.rotZ, o.distance, o.panX, o.panY});
}

void CThreeDView::OnDocumentChanged(const DocumentChange& change) {
    if (change.what.HasAny(Change::WorldData | Change::Model | Change::SequenceOpened) ||
        (state_.play() != AnimationState::Play::Playing &&
         change.what.HasAny(Change::Frame | Change::CurrentView | Change::SyncFrame | Change::Points)))
        ShowFrame();
}

void CThreeDView::Activated() { emit readoutChanged(QString::fromStdString(state_.ReadOut())); }

void CThreeDView::Print(QPainter& painter, const QRect& page) {
    const QImage picture = canvas_->grabFramebuffer();
    const QSize fitted = picture.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), fitted), picture);
}

void CThreeDView::Play() {
    state_.PlayFromStart();
    timer_.start(state_.TimerPeriod());
    ShowFrame();
}

void CThreeDView::TogglePause() {
    state_.TogglePause();
    if (state_.play() == AnimationState::Play::Playing) timer_.start(state_.TimerPeriod());
    else timer_.stop();
}

void CThreeDView::StopPlaying() {
    timer_.stop();
    state_.Stop();
    ShowFrame();
}

void CThreeDView::ApplyOptions(const AnimationWindowState& options, bool wasRunning) {
    state_.record() = options;
    if (wasRunning) Play();
    else ShowFrame();
}

void CThreeDView::EditOptions() {
    // The dialog stops the animation; OK starts it again from the first frame.
    const bool wasRunning = state_.play() != AnimationState::Play::Stopped;
    timer_.stop();
    state_.Stop();
    AnimationOptionsDialog dialog(state_.record(), this);
    if (dialog.exec() != QDialog::Accepted) {
        ShowFrame();
        return;
    }
    ApplyOptions(dialog.Options(), wasRunning);
    ContentsEdited();
}

bool CThreeDView::SaveFrame(const QString& path) { return canvas_->Usable() && canvas_->grabFramebuffer().save(path, "PNG"); }

void CThreeDView::SaveFrameFromBox() {
    const std::optional<std::string> chosen =
        session().prompts().ChooseSaveFile("Animation.png", "png", "PNG Picture (*.png)|*.png||");
    if (chosen && !SaveFrame(QString::fromStdString(*chosen)))
        session().prompts().ShowMessage("The picture could not be saved as " + *chosen + ".");
}

bool CThreeDView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != canvas_) return ChildWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) return false;
            state_.Press(mouse->position().toPoint().x(), mouse->position().toPoint().y());
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const Qt::KeyboardModifiers keys = mouse->modifiers();
            state_.SetDragMode(keys.testFlag(Qt::ControlModifier)  ? AnimationState::DragMode::Zoom
                               : keys.testFlag(Qt::ShiftModifier) ? AnimationState::DragMode::Shift
                                                                  : AnimationState::DragMode::Rotate);
            if (!state_.Move(mouse->position().toPoint().x(), mouse->position().toPoint().y())) return false;
            emit readoutChanged(QString::fromStdString(state_.ReadOut()));
            ShowFrame();
            return true;
        }
        case QEvent::MouseButtonRelease:
            state_.Release();
            return true;
        case QEvent::Wheel: {
            CKadivoDoc& doc = Doc();
            if (doc.views.empty()) return true;
            if (const std::optional<int> frame = wheel_.Turn(
                    doc.current().currentFrame, static_cast<QWheelEvent*>(event)->angleDelta().y(), doc.worldFrameCount))
                doc.ShowFrameInCurrentView(*frame);
            return true;
        }
        default: return false;
    }
}

bool CThreeDView::HandleCommand(CommandId id) {
    switch (id) {
        case C::Play: Play(); return true;
        case C::Pause: TogglePause(); return true;
        case C::Stop: StopPlaying(); return true;
        case C::ResetOrientation:
            state_.ResetOrientation();
            emit readoutChanged(QString::fromStdString(state_.ReadOut()));
            ShowFrame();
            return true;
        case C::AnimationOptions: EditOptions(); return true;
        case C::SaveFrameAsImage: SaveFrameFromBox(); return true;
        default: return false;
    }
}

std::optional<CommandStatus> CThreeDView::CommandStatusFor(CommandId id) const {
    const AnimationState::Play play = state_.play();
    switch (id) {
        case C::Play: return CommandStatus{play == AnimationState::Play::Stopped && Doc().worldFrameCount > 0, false};
        case C::Pause: return CommandStatus{play != AnimationState::Play::Stopped, play == AnimationState::Play::Paused};
        case C::Stop: return CommandStatus{play != AnimationState::Play::Stopped, false};
        case C::ResetOrientation:
        case C::AnimationOptions: return CommandStatus{true, false};
        case C::SaveFrameAsImage: return CommandStatus{canvas_->Usable(), false};
        default: return std::nullopt;
    }
}

}  // namespace kadivo
