#include "CaptureDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kadivo {

namespace {

QDialogButtonBox* OkCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

std::optional<FrameSize> RunVideoFormatDialog(QWidget* parent, const CaptureAbilities& abilities,
                                              const CaptureFormat& current) {
    QDialog dialog(parent);
    dialog.setObjectName("videoFormatDialog");
    dialog.setWindowTitle("Video Format");
    auto* form = new QFormLayout;
    auto* sizes = new QComboBox(&dialog);
    sizes->setObjectName("frameSize");
    for (const FrameSize& size : abilities.frameSizes) {
        sizes->addItem(QString("%1x%2 pixels").arg(size.width).arg(size.height));
        if (size.width == current.width && size.height == current.height) sizes->setCurrentIndex(sizes->count() - 1);
    }
    sizes->setEnabled(!abilities.frameSizes.empty());
    form->addRow("Frame size", sizes);
    form->addRow("Bits per pixel", new QLabel(QString::number(current.bitsPerPixel), &dialog));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(OkCancel(dialog));
    if (dialog.exec() != QDialog::Accepted || sizes->currentIndex() < 0) return std::nullopt;
    return abilities.frameSizes[static_cast<std::size_t>(sizes->currentIndex())];
}

bool RunVideoSourceDialog(QWidget* parent, std::vector<CaptureControl>& controls) {
    QDialog dialog(parent);
    dialog.setObjectName("videoSourceDialog");
    dialog.setWindowTitle("Video Source");
    auto* form = new QFormLayout;
    std::vector<QSpinBox*> values;
    for (const CaptureControl& control : controls) {
        auto* slider = new QSlider(Qt::Horizontal, &dialog);
        auto* spin = new QSpinBox(&dialog);
        spin->setObjectName(QString::fromStdString(control.name));
        slider->setRange(control.minimum, control.maximum);
        spin->setRange(control.minimum, control.maximum);
        slider->setSingleStep(control.step);
        spin->setSingleStep(control.step);
        slider->setValue(control.value);
        spin->setValue(control.value);
        QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
        QObject::connect(spin, qOverload<int>(&QSpinBox::valueChanged), slider, &QSlider::setValue);
        auto* row = new QHBoxLayout;
        row->addWidget(slider, 1);
        row->addWidget(spin);
        form->addRow(QString::fromStdString(control.name), row);
        values.push_back(spin);
    }
    if (controls.empty()) form->addRow(new QLabel("The camera has no settings to change.", &dialog));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(OkCancel(dialog));
    dialog.resize(360, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return false;
    for (std::size_t k = 0; k < controls.size(); ++k) controls[k].value = values[k]->value();
    return true;
}

void ShowCaptureDriverReport(QWidget* parent, const QString& report) {
    QDialog dialog(parent);
    dialog.setObjectName("captureDeviceInfoDialog");
    dialog.setWindowTitle("Capture device info");
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName("report");
    text->setReadOnly(true);
    text->setTabStopDistance(4 * text->fontMetrics().horizontalAdvance(' ') * 2);
    text->setPlainText(QString(report).replace("\r\n", "\n"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(420, 460);
    dialog.exec();
}

}  // namespace kadivo
