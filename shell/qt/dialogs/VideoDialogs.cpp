#include "VideoDialogs.h"

#include <QComboBox>
#include "DialogParts.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kadivo {

StreamSelectionDialog::StreamSelectionDialog(int count, QWidget* parent) : QDialog(parent), streams_(new QComboBox(this)) {
    setWindowTitle("Stream Selection");
    for (int s = 1; s <= count; ++s) streams_->addItem(QString("Stream %1").arg(s));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Video stream:", streams_);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

int StreamSelectionDialog::Stream() const { return streams_->currentIndex(); }

VideoImageOptionsDialog::VideoImageOptionsDialog(int imageType, int firstField, QWidget* parent)
    : QDialog(parent), type_(new QComboBox(this)), even_(new QRadioButton("Even Line Numbers")),
      odd_(new QRadioButton("Odd Line Numbers")) {
    setWindowTitle("Video Image Options");
    type_->addItems({"Normal", "Interlaced", "Dual Horizontal Interlaced"});
    type_->setCurrentIndex(std::clamp(imageType, 0, 2));
    (firstField == 0 ? even_ : odd_)->setChecked(true);
    auto* fields = new QGroupBox("First Interlaced Image");
    auto* fieldLayout = new QVBoxLayout(fields);
    fieldLayout->addWidget(even_);
    fieldLayout->addWidget(odd_);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Video Image Type", type_);
    layout->addLayout(form);
    layout->addWidget(fields);
    layout->addWidget(OkCancelButtons(this));
}

int VideoImageOptionsDialog::ImageType() const { return type_->currentIndex(); }
int VideoImageOptionsDialog::FirstField() const { return odd_->isChecked() ? 1 : 0; }

FrameRateDialog::FrameRateDialog(double rate, QWidget* parent) : QDialog(parent), rate_(new QDoubleSpinBox(this)) {
    setWindowTitle("Edit Video Frame Rate");
    rate_->setRange(0.001, 100000.0);
    rate_->setDecimals(3);
    rate_->setValue(rate);
    rate_->setSuffix(" frames/s");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Frame Rate", rate_);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

double FrameRateDialog::Rate() const { return rate_->value(); }

}  // namespace kadivo
