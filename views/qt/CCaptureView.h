#pragma once

#include "CaptureDevice.h"
#include "CaptureSession.h"
#include "ChildWindow.h"
#include "SettingsValues.h"
#include "LivePreview.h"

#include <QImage>
#include <QTimer>

#include <functional>

#include <atomic>
#include <memory>
#include <thread>

class QProgressBar;

namespace kadivo {

class ProgressBox;

// The live video window of a sequence: connects to the first capture driver, shows the
// camera's picture, records the sequence's capture time at its capture rate into a scratch
// file on a worker thread, and saves a recording without dropped frames under a name of
// the user's. Linux has no overlay display: overlay mode shows the same live picture.
class CCaptureView : public ChildWindow {
    Q_OBJECT
public:
    // `captureFile` says where to record and how much space to give the file, at each capture.
    CCaptureView(DocumentSession& session, const CaptureDrivers& drivers,
                 std::function<CaptureFileSettings()> captureFile);
    ~CCaptureView() override;

    std::optional<WindowState> State() const override { return std::nullopt; }
    bool HandleCommand(CommandId id) override;
    std::optional<CommandStatus> CommandStatusFor(CommandId id) const override;
    void OnDocumentChanged(const DocumentChange&) override {}
    void Print(QPainter& painter, const QRect& page) override;
    QSize sizeHint() const override { return {660, 520}; }

    bool CaptureReady() const { return captureReady_; }
    bool CaptureOk() const { return captureOk_; }
    bool OverlayMode() const { return overlayMode_; }
    bool Capturing() const { return worker_.joinable(); }
    const QImage& Picture() const { return picture_; }
    CaptureDevice* Device() const { return device_.get(); }
    QString DriverReport() const;

    // Creates the capture window and connects to driver 0: done 200 ms after the window is
    // first shown.
    void CreateCaptureWindow();
    // "Capture Video": starts a recording; the window stays usable while it runs.
    void CaptureVideo();
    void CancelCapture();
    void SaveVideoAs();

signals:
    // A recording ended, whatever its outcome.
    void captureFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void StartPreview();
    void StopPreview();
    void ShowNewestFrame();
    void PollCapture();
    void FinishCapture();
    void EditVideoFormat();
    void EditVideoSource();
    void Say(const QString& text) { emit readoutChanged(text); }

    const CaptureDrivers& drivers_;
    std::function<CaptureFileSettings()> captureFile_;
    ProgressBox* startProgress_ = nullptr;  // shown while the driver is connected, then hidden
    std::string scratch_;  // where the last capture was recorded
    std::vector<CaptureDriverName> driverNames_;
    std::unique_ptr<CaptureDevice> device_;
    std::unique_ptr<LivePreview> preview_;
    std::unique_ptr<CaptureSession> session_;
    std::thread worker_;
    std::atomic<bool> workerDone_{false};
    CaptureOutcome outcome_;

    QTimer creationTimer_;
    QTimer previewTimer_;
    QTimer progressTimer_;
    QWidget* pictureArea_;
    QProgressBar* progress_;
    QImage picture_;
    CapturedFrame frame_;
    bool created_ = false;
    bool captureReady_ = false;
    bool captureOk_ = false;
    bool overlayMode_ = false;
};

}  // namespace kadivo
