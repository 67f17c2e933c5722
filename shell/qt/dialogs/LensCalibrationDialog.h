#pragma once

#include "Geometry.h"
#include "LensModel.h"
#include "Prompts.h"

#include <QDialog>

#include <optional>
#include <string>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace kadivo {

// "Lens Calibration": a checkerboard video, the board's squares across and down and a
// square's side; Calibrate searches the frames with progress and Cancel and shows the lens,
// its errors and a frame as the corrected camera sees it. OK takes the lens.
class LensCalibrationDialog : public QDialog {
    Q_OBJECT
public:
    LensCalibrationDialog(Prompts& prompts, const std::string& video, FrameSize picture, QWidget* parent);
    const std::optional<LensModel>& Lens() const { return lens_; }

    QLineEdit* video;
    QSpinBox* columns;
    QSpinBox* rows;
    QDoubleSpinBox* square;
    QPushButton* calibrate;
    QProgressBar* progress;
    QPlainTextEdit* report;
    QLabel* picture;

private:
    void Browse();
    void Calibrate();

    Prompts& prompts_;
    FrameSize size_;
    std::optional<LensModel> lens_;
    bool cancelled_ = false;
    bool running_ = false;
};

}  // namespace kadivo
