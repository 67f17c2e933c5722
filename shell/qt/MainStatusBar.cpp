#include "MainStatusBar.h"

#include "CachedGrooveStyle.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScrollBar>

namespace kadivo {

namespace {

constexpr const char* kInitialTexts[5] = {"Calibration", "Right", "Point to digitize Next", "Image 000/000",
                                          "0.00s 0.00m/s^2 0.00d/s^2"};
constexpr const char* kPaneNames[5] = {"mode", "side", "point", "image", "readout"};

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent)
    : QStatusBar(parent), progressText_(new QLabel(this)), progress_(new QProgressBar(this)),
      slider_(new QScrollBar(Qt::Horizontal, this)) {
    progressText_->hide();
    progress_->hide();
    progress_->setMaximumWidth(220);
    progress_->setTextVisible(false);
    addWidget(progressText_);
    addWidget(progress_);
    for (int i = 0; i < 5; ++i) {
        panes_[i] = new QLabel(kInitialTexts[i], this);
        panes_[i]->setObjectName(kPaneNames[i]);
        panes_[i]->setFrameShape(QFrame::StyledPanel);
        panes_[i]->setMinimumWidth(i == 2 ? 150 : (i == 4 ? 170 : 80));
        panes_[i]->setAlignment(Qt::AlignCenter);
        addPermanentWidget(panes_[i]);
    }
    slider_->setObjectName("frameSlider");
    auto* style = new CachedGrooveStyle;
    style->setParent(slider_);
    slider_->setStyle(style);
    slider_->setFixedWidth(200);
    slider_->setRange(0, 0);
    slider_->setToolTip("Frame");
    addPermanentWidget(slider_);
    connect(slider_, &QAbstractSlider::actionTriggered, this, &MainStatusBar::OnSliderAction);
}

QLabel* MainStatusBar::Pane(int index) const { return panes_[std::clamp(index, 1, 5) - 1]; }

void MainStatusBar::ShowStatus(const StatusTexts& texts) {
    panes_[0]->setText(QString::fromStdString(texts.mode));
    panes_[1]->setText(QString::fromStdString(texts.side));
    panes_[2]->setText(QString::fromStdString(texts.point));
    panes_[3]->setText(QString::fromStdString(texts.image));
}

void MainStatusBar::ShowInitialTexts() {
    for (int i = 0; i < 5; ++i) panes_[i]->setText(kInitialTexts[i]);
    SetFrameSlider({});
}

void MainStatusBar::ShowReadout(const QString& text) { panes_[4]->setText(text); }

void MainStatusBar::SetFrameSlider(const FrameSliderState& slider) {
    const QSignalBlocker quiet(slider_);
    slider_->setRange(0, std::max(0, slider.rangeMax));
    slider_->setSingleStep(std::max(1, frameStep_));
    slider_->setPageStep(10);
    slider_->setValue(slider.position);
}

void MainStatusBar::OnSliderAction(int action) {
    SliderAction request = SliderAction::Thumb;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: request = SliderAction::LineRight; break;
        case QAbstractSlider::SliderSingleStepSub: request = SliderAction::LineLeft; break;
        case QAbstractSlider::SliderPageStepAdd: request = SliderAction::PageRight; break;
        case QAbstractSlider::SliderPageStepSub: request = SliderAction::PageLeft; break;
        case QAbstractSlider::SliderToMinimum: request = SliderAction::Home; break;
        case QAbstractSlider::SliderToMaximum: request = SliderAction::End; break;
        case QAbstractSlider::SliderMove: request = SliderAction::Thumb; break;
        default: return;
    }
    const SliderMove move = MoveFrameSlider(request, slider_->value(), {slider_->minimum(), slider_->maximum()},
                                            frameStep_, slider_->sliderPosition());
    slider_->setSliderPosition(move.position);
    if (move.goToFrame) emit goToFrame(move.position);
}

void MainStatusBar::BeginProgress(const QString& text, int range) {
    progressText_->setText(text);
    progress_->setRange(0, std::max(1, range));
    progress_->setValue(0);
    progressText_->show();
    progress_->show();
    sinceRepaint_.start();
    repaint();
}

void MainStatusBar::StepProgress() {
    progress_->setValue(std::min(progress_->value() + 1, progress_->maximum()));
    // Repaints a few times a second; every frame would cost more than the work.
    if (sinceRepaint_.elapsed() > 100) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceRepaint_.restart();
    }
}

void MainStatusBar::EndProgress() {
    progressText_->hide();
    progress_->hide();
    clearMessage();
}

}  // namespace kadivo
