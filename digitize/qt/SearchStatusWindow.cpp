#include "SearchStatusWindow.h"

#include "QtSettingsStore.h"
#include "SettingsValues.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <algorithm>

namespace kadivo {

namespace {

constexpr const char* kSection = "SearchStatTool";

// A square of grey bytes, rows bottom-up as in the frame, enlarged for the eye.
QPixmap Picture(const std::vector<std::uint8_t>& grey, int side) {
    QImage image(side, side, QImage::Format_Grayscale8);
    for (int row = 0; row < side; ++row)
        std::copy_n(grey.begin() + static_cast<std::ptrdiff_t>(row) * side, side, image.scanLine(side - 1 - row));
    const int shown = side * SearchStatusWindow::kEnlargement;
    return QPixmap::fromImage(image.scaled(shown, shown, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

std::vector<std::uint8_t> Bytes(const std::vector<float>& greyValues) {
    std::vector<std::uint8_t> bytes(greyValues.size());
    std::transform(greyValues.begin(), greyValues.end(), bytes.begin(),
                   [](float value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f)); });
    return bytes;
}

}  // namespace

SearchStatusWindow::SearchStatusWindow(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setWindowTitle("Search Status");
    setObjectName(kSection);
    auto* grid = new QGridLayout(this);
    const char* titles[] = {"Search Window", "Template", "Response"};
    for (int i = 0; i < 3; ++i) {
        panes_[i] = new QLabel;
        panes_[i]->setObjectName(titles[i]);
        panes_[i]->setAlignment(Qt::AlignCenter);
        panes_[i]->setMinimumSize(200, 200);
        panes_[i]->setStyleSheet("background: #202020");
        grid->addWidget(new QLabel(titles[i]), 0, i, Qt::AlignHCenter);
        grid->addWidget(panes_[i], 1, i);
    }
    range_ = new QLabel("No search yet");
    grid->addWidget(range_, 2, 0, 1, 3);
    const QtSettingsStore settings;
    move(GetInt(settings, kSection, "X", 1), GetInt(settings, kSection, "Y", 1));
}

void SearchStatusWindow::Show(const SearchImages& images) {
    if (images.window.empty()) return;
    panes_[0]->setPixmap(Picture(Bytes(images.window), images.searchSize));
    panes_[1]->setPixmap(Picture(Bytes(images.templ), images.templateSize));
    panes_[2]->setPixmap(Picture(StretchToBytes(images.response), images.searchSize));
    const auto [low, high] = std::minmax_element(images.response.begin(), images.response.end());
    range_->setText(QString("Response from %1 (black) to %2 (white)").arg(*low, 0, 'g', 6).arg(*high, 0, 'g', 6));
}

void SearchStatusWindow::closeEvent(QCloseEvent* event) {
    QtSettingsStore settings;
    SetInt(settings, kSection, "X", pos().x());
    SetInt(settings, kSection, "Y", pos().y());
    emit closed();
    event->accept();
}

}  // namespace kadivo
