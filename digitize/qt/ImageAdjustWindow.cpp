#include "ImageAdjustWindow.h"

#include "QtSettingsStore.h"
#include "SettingsValues.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace kadivo {

namespace {

const char* Name(int code) {
    switch (code) {
        case 0: return "Brightness";
        case 1: return "Contrast";
        case 2: return "Hue";
        case 3: return "Gamma";
        case 4: return "Highlight";
        case 5: return "Shadow";
        case 6: return "Midtone";
        default: return "Saturation";
    }
}

}  // namespace

ImageAdjustWindow::ImageAdjustWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowTitle("Image Adjust");
    setObjectName("imageAdjust");
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        const int code = kCodes[i];
        auto* slider = new QSlider(Qt::Vertical);
        slider->setObjectName(Name(code));
        slider->setRange(0, 200);
        slider->setValue(100);
        slider->setTickInterval(20);
        slider->setTickPosition(QSlider::TicksRight);
        slider->setMinimumHeight(120);
        auto* value = new QLabel("100");
        value->setAlignment(Qt::AlignCenter);
        auto* name = new QLabel(Name(code));
        name->setAlignment(Qt::AlignCenter);
        const int row = static_cast<int>(i / 4) * 3, column = static_cast<int>(i % 4);
        grid->addWidget(name, row, column);
        grid->addWidget(slider, row + 1, column, Qt::AlignHCenter);
        grid->addWidget(value, row + 2, column);
        sliders_[i] = slider;
        values_[i] = value;
        connect(slider, &QSlider::valueChanged, this, [this, i, code](int position) {
            values_[i]->setText(QString::number(position));
            emit adjusted(code, position);
        });
    }
    auto* reset = new QPushButton("Reset Image");
    connect(reset, &QPushButton::clicked, this, [this] {
        ResetSliders();
        emit resetRequested();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(reset);
    const QtSettingsStore settings;
    move(GetInt(settings, "ImageTool", "X", 1), GetInt(settings, "ImageTool", "Y", 1));
}

void ImageAdjustWindow::ResetSliders() {
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        const QSignalBlocker quiet(sliders_[i]);
        sliders_[i]->setValue(100);
        values_[i]->setText("100");
    }
}

QSlider* ImageAdjustWindow::Slider(int code) const {
    for (std::size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == code) return sliders_[i];
    return nullptr;
}

void ImageAdjustWindow::closeEvent(QCloseEvent* event) {
    QtSettingsStore settings;
    SetInt(settings, "ImageTool", "X", pos().x());
    SetInt(settings, "ImageTool", "Y", pos().y());
    QWidget::closeEvent(event);
}

}  // namespace kadivo
