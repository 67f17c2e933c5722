#pragma once

#include "CKadivoDoc.h"
#include "ProgressRules.h"

#include <QElapsedTimer>
#include <QStatusBar>

#include <functional>

class QLabel;
class QProgressBar;
class QScrollBar;

namespace kadivo {

// The status bar: the message pane, the digitizing mode, the side and name of the next
// point, the image counter, the read-outs of graph and animation windows, and the frame
// slider. Long work shows its progress in the message pane.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MainStatusBar(QWidget* parent);

    // The texts of the active sequence, or the initial texts without one.
    void ShowStatus(const StatusTexts& texts);
    void ShowInitialTexts();
    void ShowReadout(const QString& text);
    void SetFrameSlider(const FrameSliderState& slider);
    // The frame step the slider's line steps take.
    void SetFrameStep(int step) { frameStep_ = step; }

    void BeginProgress(const QString& text, int range);
    void StepProgress();
    void EndProgress();

    QLabel* Pane(int index) const;  // 1..5
    QScrollBar* FrameSlider() const { return slider_; }
    QProgressBar* Progress() const { return progress_; }

signals:
    // The slider asks the sequence to go to `frame`.
    void goToFrame(int frame);

private:
    void OnSliderAction(int action);

    QLabel* progressText_;
    QProgressBar* progress_;
    QLabel* panes_[5];
    QScrollBar* slider_;
    int frameStep_ = 1;
    QElapsedTimer sinceRepaint_;
};

}  // namespace kadivo
