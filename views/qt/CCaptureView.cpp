#include "CCaptureView.h"

#include "CKadivoDoc.h"
#include "CaptureDialogs.h"
#include "CaptureReport.h"
#include "DocumentSession.h"
#include "FileIo.h"
#include "dialogs/ProgramDialogs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

#include <filesystem>

namespace kadivo {

namespace {

using C = CommandId;

constexpr int kCreationDelayMs = 200;
constexpr int kPreviewRateMs = 100;
constexpr int kProgressRateMs = 50;
constexpr const char* kVideoFilter = "Video Files (*.avi)|*.avi|All Files (*.*)|*.*||";

// The newest picture, as large as the window allows without changing its shape.
class PictureArea : public QWidget {
public:
    PictureArea(const QImage& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
        setObjectName("capturePicture");
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (picture_.isNull()) return;
        const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, picture_);
    }

private:
    const QImage& picture_;
};

// Bottom-up BGR rows as a picture the right way up.
QImage PictureOf(const CapturedFrame& frame) {
    const int stride = ((frame.width * 24 + 31) / 32) * 4;
    const QImage rows(frame.rows.data(), frame.width, frame.height, stride, QImage::Format_BGR888);
    return rows.mirrored(false, true);
}

}  // namespace

CCaptureView::CCaptureView(DocumentSession& session, const CaptureDrivers& drivers,
                           std::function<CaptureFileSettings()> captureFile)
    : ChildWindow(session), drivers_(drivers), captureFile_(std::move(captureFile)),
      pictureArea_(new PictureArea(picture_, this)), progress_(new QProgressBar(this)) {
    setObjectName("captureWindow");
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pictureArea_, 1);
    progress_->setObjectName("captureProgress");
    progress_->setFormat("%v of %m frames");
    progress_->hide();
    layout->addWidget(progress_);
    pictureArea_->setAttribute(Qt::WA_TransparentForMouseEvents);

    creationTimer_.setSingleShot(true);
    connect(&creationTimer_, &QTimer::timeout, this, &CCaptureView::CreateCaptureWindow);
    connect(&previewTimer_, &QTimer::timeout, this, &CCaptureView::ShowNewestFrame);
    connect(&progressTimer_, &QTimer::timeout, this, &CCaptureView::PollCapture);
    setMinimumSize(240, 180);
}

CCaptureView::~CCaptureView() {
    if (session_) session_->Cancel();
    if (worker_.joinable()) worker_.join();
    preview_.reset();
    device_.reset();  // disconnects the driver
}

void CCaptureView::showEvent(QShowEvent* event) {
    ChildWindow::showEvent(event);
    if (!created_ && !creationTimer_.isActive()) creationTimer_.start(kCreationDelayMs);
}

void CCaptureView::CreateCaptureWindow() {
    if (created_) return;
    created_ = true;
    // The progress box keeps the program painting while a driver takes its time to answer.
    startProgress_ = new ProgressBox(this);
    startProgress_->setObjectName("captureStartProgress");
    startProgress_->SetMessage("Create capture window...");
    startProgress_->SetRange(0, 2);
    startProgress_->SetStep(1);
    startProgress_->show();
    startProgress_->SetPosition(0);
    driverNames_ = ListCaptureDrivers(drivers_);
    startProgress_->SetMessage("Testing driver");
    startProgress_->StepIt();
    std::string error;
    device_ = drivers_.Connect(0, error);
    startProgress_->StepIt();
    startProgress_->hide();
    if (!device_) {
        Say(QString::fromStdString("No capture driver could be connected: " + error));
        return;
    }
    preview_ = std::make_unique<LivePreview>(*device_);
    captureReady_ = true;
    StartPreview();
    Say(QString::fromStdString("Connected to " + device_->Name().name));
}

void CCaptureView::StartPreview() {
    if (!preview_) return;
    CaptureSettings settings;
    settings.framesPerSecond = session().doc().options.captureRate;
    std::string error;
    if (!preview_->Start(settings.MicrosecondsPerFrame() > 0 ? settings.MicrosecondsPerFrame() : 40000, error)) {
        Say(QString::fromStdString("The camera shows no picture: " + error));
        return;
    }
    previewTimer_.start(kPreviewRateMs);
}

void CCaptureView::StopPreview() {
    previewTimer_.stop();
    if (preview_) preview_->Stop();
}

void CCaptureView::ShowNewestFrame() {
    if (!preview_) return;
    if (const std::string error = preview_->TakeError(); !error.empty()) {
        previewTimer_.stop();
        Say(QString::fromStdString("The camera stopped: " + error));
        return;
    }
    if (!preview_->TakeNewest(frame_)) return;
    picture_ = PictureOf(frame_);
    pictureArea_->update();
}

void CCaptureView::CaptureVideo() {
    if (!captureReady_ || Capturing()) return;
    const SequenceOptions& options = session().doc().options;
    CaptureSettings settings;
    settings.framesPerSecond = options.captureRate;
    settings.seconds = options.captureTime;
    settings.delayMilliseconds = options.captureDelay;

    StopPreview();
    captureOk_ = false;
    const CaptureFileSettings file = captureFile_();
    scratch_ = file.Path();
    std::error_code ignored;
    std::filesystem::create_directories(file.folder, ignored);
    session_ = std::make_unique<CaptureSession>(
        *device_, settings,
        [path = scratch_](int width, int height, int rate, std::string& error) {
            return CreateMjpegAviFile(path, width, height, rate, error, AviFileSpace::Reserved);
        },
        [path = scratch_, bytes = file.Bytes()](std::string& error) { return ReserveFileSpace(path, bytes, error); });
    progress_->setRange(0, settings.FramesWanted());
    progress_->setValue(0);
    progress_->show();
    Say("Capturing: right button or Esc cancels");
    workerDone_ = false;
    worker_ = std::thread([this] {
        outcome_ = session_->Run();
        workerDone_ = true;
    });
    progressTimer_.start(kProgressRateMs);
    setFocus();
}

void CCaptureView::CancelCapture() {
    if (session_ && Capturing()) session_->Cancel();
}

void CCaptureView::PollCapture() {
    if (!session_) return;
    progress_->setValue(session_->FramesCaptured());
    if (workerDone_) FinishCapture();
}

void CCaptureView::FinishCapture() {
    progressTimer_.stop();
    worker_.join();
    session_.reset();
    progress_->hide();
    using Status = CaptureOutcome::Status;
    captureOk_ = outcome_.status == Status::Captured;
    switch (outcome_.status) {
        case Status::Captured:
            Say(QString("Captured %1 frames: Save Video As... keeps them").arg(outcome_.framesCaptured));
            break;
        case Status::Cancelled: Say("Capture cancelled"); break;
        case Status::Dropped:
        case Status::NoSpace:
        case Status::Refused:
        case Status::DeviceFailed:
        case Status::FileFailed:
            Say(QString("Captured %1 frames, %2 dropped").arg(outcome_.framesCaptured).arg(outcome_.framesDropped));
            session().prompts().ShowMessage(CaptureFailureMessage(outcome_), {"", true, 0});
            break;
    }
    StartPreview();
    emit captureFinished();
}

void CCaptureView::SaveVideoAs() {
    if (!captureOk_ || Capturing()) return;
    Prompts& prompts = session().prompts();
    const std::optional<std::string> path = prompts.ChooseSaveFile("", "avi", kVideoFilter);
    if (!path || path->empty()) return;
    try {
        CopyFileAtomically(scratch_, *path);
    } catch (const FileIoError& error) {
        prompts.ShowMessage(std::string("The video could not be saved.\n") + error.what());
        return;
    }
    Say(QString::fromStdString("Video saved as " + *path));
    if (prompts.Ask("Open the recording as the video of a camera view?", Buttons::YesNo, {"", false, 0}) == Answer::Yes)
        session().doc().OpenVideoFile(*path, true);
}

QString CCaptureView::DriverReport() const {
    return QString::fromStdString(CaptureDriverReport(driverNames_, device_.get()));
}

void CCaptureView::EditVideoFormat() {
    if (!device_) return;
    const std::optional<FrameSize> size = RunVideoFormatDialog(this, device_->Abilities(), device_->Format());
    if (!size) return;
    StopPreview();
    std::string error;
    if (!device_->SetFrameSize(*size, error)) session().prompts().ShowMessage(error);
    StartPreview();
    updateGeometry();
}

void CCaptureView::EditVideoSource() {
    if (!device_) return;
    std::vector<CaptureControl> controls = device_->Controls();
    if (!RunVideoSourceDialog(this, controls)) return;
    StopPreview();
    for (const CaptureControl& control : controls) device_->SetControl(control.name, control.value);
    StartPreview();
}

bool CCaptureView::HandleCommand(CommandId id) {
    switch (id) {
        case C::CaptureVideo: CaptureVideo(); return true;
        case C::SaveVideoAs: SaveVideoAs(); return true;
        case C::VideoFormat: EditVideoFormat(); return true;
        case C::VideoSource:
        case C::DisplaySettings:  // no camera offers a display dialog of its own: its settings instead
            EditVideoSource();
            return true;
        case C::Overlay:
        case C::Preview:
            overlayMode_ = !overlayMode_;
            Say(overlayMode_ ? "Overlay display" : "Preview display");
            return true;
        case C::CaptureDriverInfo: ShowCaptureDriverReport(this, DriverReport()); return true;
        default: return false;
    }
}

std::optional<CommandStatus> CCaptureView::CommandStatusFor(CommandId id) const {
    const bool idle = !Capturing();
    switch (id) {
        case C::CaptureVideo: return CommandStatus{captureReady_ && idle, false};
        case C::SaveVideoAs: return CommandStatus{captureOk_ && idle, false};
        case C::VideoFormat:
        case C::VideoSource:
        case C::DisplaySettings: return CommandStatus{captureReady_ && idle, false};
        case C::Overlay: return CommandStatus{captureReady_, overlayMode_};
        case C::Preview: return CommandStatus{captureReady_, !overlayMode_};
        case C::CaptureDriverInfo: return CommandStatus{idle, false};
        default: return std::nullopt;
    }
}

void CCaptureView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && Capturing()) {
        CancelCapture();
        return;
    }
    ChildWindow::keyPressEvent(event);
}

void CCaptureView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && Capturing()) {
        CancelCapture();
        return;
    }
    ChildWindow::mousePressEvent(event);
}

void CCaptureView::Print(QPainter& painter, const QRect& page) {
    if (picture_.isNull()) return;
    const QSize fitted = picture_.size().scaled(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), fitted), picture_);
}

}  // namespace kadivo
