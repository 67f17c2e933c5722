#include "LensCalibrationDialog.h"

#include "HeadlessPrompts.h"
#include "LensReport.h"
#include "VideoLinks.h"
#include "VideoBoardFrames.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kadivo {

LensCalibrationDialog::LensCalibrationDialog(Prompts& prompts, const std::string& videoName, FrameSize viewPicture, QWidget* parent)
    : QDialog(parent), prompts_(prompts), size_(viewPicture) {
    setWindowTitle("Lens Calibration");
    video = new QLineEdit(QString::fromStdString(videoName));
    video->setObjectName("Checkerboard video");
    auto* browse = new QPushButton("Browse...");
    auto* videoRow = new QHBoxLayout;
    videoRow->addWidget(video, 1);
    videoRow->addWidget(browse);
    columns = new QSpinBox;
    columns->setObjectName("Squares across");
    columns->setRange(3, 100);
    columns->setValue(9);
    rows = new QSpinBox;
    rows->setObjectName("Squares down");
    rows->setRange(3, 100);
    rows->setValue(7);
    square = new QDoubleSpinBox;
    square->setObjectName("Square size");
    square->setRange(0.001, 10000.0);
    square->setDecimals(3);
    square->setValue(30.0);
    auto* form = new QFormLayout;
    form->addRow("Checkerboard video", videoRow);
    form->addRow("Squares across", columns);
    form->addRow("Squares down", rows);
    form->addRow("Square size", square);
    calibrate = new QPushButton("Calibrate");
    progress = new QProgressBar;
    progress->setTextVisible(false);
    auto* run = new QHBoxLayout;
    run->addWidget(calibrate);
    run->addWidget(progress, 1);
    report = new QPlainTextEdit;
    report->setObjectName("Lens report");
    report->setReadOnly(true);
    report->setMinimumWidth(300);
    picture = new QLabel("The frame as the corrected camera sees it appears here.");
    picture->setObjectName("Undistorted frame");
    picture->setMinimumSize(320, 240);
    picture->setAlignment(Qt::AlignCenter);
    auto* results = new QHBoxLayout;
    results->addWidget(report);
    results->addWidget(picture, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(run);
    layout->addLayout(results, 1);
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, &LensCalibrationDialog::Browse);
    connect(calibrate, &QPushButton::clicked, this, [this, buttons] {
        if (running_) {
            cancelled_ = true;
            return;
        }
        Calibrate();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(lens_.has_value());
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] {
        if (running_) cancelled_ = true;
        else reject();
    });
}

void LensCalibrationDialog::Browse() {
    if (const std::optional<std::string> name = prompts_.ChooseOpenFile(video->text().toStdString(), "avi", kVideoFileFilter))
        video->setText(QString::fromStdString(*name));
}

void LensCalibrationDialog::Calibrate() {
    lens_.reset();
    report->clear();
    const CheckerboardSpec board{columns->value(), rows->value(), square->value()};
    HeadlessPrompts quiet;
    running_ = true;
    cancelled_ = false;
    calibrate->setText("Cancel");
    std::optional<LensCalibration> result;
    std::string failure;
    try {
        result = CalibrateLensFromVideo(quiet, video->text().toStdString(), 0, board, [this](int searched, int total) {
            progress->setRange(0, total);
            progress->setValue(searched);
            QApplication::processEvents();
            return !cancelled_;
        });
        if (!result) failure = "The lens calibration was cancelled.";
    } catch (const LensCalibrationError& e) {
        failure = e.what();
    }
    running_ = false;
    calibrate->setText("Calibrate");
    if (!result) {
        report->setPlainText(QString::fromStdString(failure));
        return;
    }
    if (size_.width > 0 && (result->lens.width != size_.width || result->lens.height != size_.height)) {
        report->setPlainText(QString("The checkerboard video's pictures are %1 × %2 pixels; this camera view's are %3 × %4.")
                                 .arg(result->lens.width).arg(result->lens.height).arg(size_.width).arg(size_.height));
        return;
    }
    QStringList lines;
    for (const std::string& line : LensCalibrationReport(*result)) lines << QString::fromStdString(line);
    if (const std::string warning = CoverageWarning(*result); !warning.empty()) lines << "" << QString::fromStdString(warning);
    report->setPlainText(lines.join('\n'));
    lens_ = result->lens;
    // The first frame the board was found in, corrected.
    VideoBoardFrames frames(quiet, video->text().toStdString());
    GreyPicture frame;
    if (!result->frames.empty() && frames.Fetch(result->frames.front().frame, frame)) {
        const GreyPicture corrected = UndistortPicture(result->lens, frame);
        const QImage image(corrected.pixels.data(), corrected.width, corrected.height, corrected.width, QImage::Format_Grayscale8);
        picture->setPixmap(QPixmap::fromImage(image.copy()).scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
}

}  // namespace kadivo
