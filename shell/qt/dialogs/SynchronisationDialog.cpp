#include "SynchronisationDialog.h"

#include "CKadivoDoc.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kadivo {

namespace {

constexpr int kOffsetColumn = 3;

}  // namespace

RegionPicker::RegionPicker(QImage picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture)) {
    setObjectName("Flash region picture");
    setMinimumSize(240, 180);
    setCursor(Qt::CrossCursor);
}

QSize RegionPicker::sizeHint() const { return {320, 240}; }

void RegionPicker::SetRegion(const SyncRegion& region) {
    region_ = region;
    update();
}

QRectF RegionPicker::Shown() const {
    if (picture_.isNull()) return rect();
    const QSizeF fitted = QSizeF(picture_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return {(width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted.width(), fitted.height()};
}

QPoint RegionPicker::InPicture(QPointF at) const {
    const QRectF shown = Shown();
    if (picture_.isNull() || shown.isEmpty()) return {};
    const double scale = picture_.width() / shown.width();
    return {std::clamp(static_cast<int>((at.x() - shown.left()) * scale), 0, picture_.width()),
            std::clamp(static_cast<int>((at.y() - shown.top()) * scale), 0, picture_.height())};
}

void RegionPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (picture_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, "The first view shows no picture.");
        return;
    }
    const QRectF shown = Shown();
    painter.drawImage(shown, picture_);
    const double scale = shown.width() / picture_.width();
    const QRectF region(shown.left() + region_.x * scale, shown.top() + region_.y * scale, region_.width * scale,
                        region_.height * scale);
    painter.setPen(QPen(QColor(255, 60, 0), 2));
    painter.drawRect(region);
}

void RegionPicker::mousePressEvent(QMouseEvent* event) {
    anchor_ = InPicture(event->position());
    SetRegion({anchor_.x(), anchor_.y(), 1, 1});
}

void RegionPicker::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint to = InPicture(event->position());
    SetRegion({std::min(anchor_.x(), to.x()), std::min(anchor_.y(), to.y()), std::max(1, std::abs(to.x() - anchor_.x())),
               std::max(1, std::abs(to.y() - anchor_.y()))});
    emit RegionDrawn(region_);
}

SynchronisationDialog::SynchronisationDialog(SyncSheet sheet, QImage firstPicture, SoundEstimate fromSound, FlashEstimate fromFlash,
                                             QWidget* parent)
    : QDialog(parent),
      sheet_(std::move(sheet)),
      estimateSound_(std::move(fromSound)),
      estimateFlash_(std::move(fromFlash)),
      table_(new QTableWidget(static_cast<int>(sheet_.rows.size()), 5)),
      fromSound_(new QPushButton("From Sound")),
      fromFlash_(new QPushButton("From Flash")),
      picker_(new RegionPicker(std::move(firstPicture))),
      x_(new QSpinBox), y_(new QSpinBox), width_(new QSpinBox), height_(new QSpinBox),
      note_(new QLabel) {
    setWindowTitle("Synchronisation");
    table_->setHorizontalHeaderLabels({"View", "Video", "Sync Image", "Offset (frames)", "Evidence"});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < table_->rowCount(); ++row) {
        auto* offset = new QDoubleSpinBox;
        offset->setObjectName("Offset " + QString::number(row + 1));
        offset->setDecimals(3);
        offset->setRange(-kMaxSyncFraction, kMaxSyncFraction);
        offset->setSingleStep(0.1);
        offset->setEnabled(row > 0);  // the first view is the reference
        table_->setCellWidget(row, kOffsetColumn, offset);
    }
    fromSound_->setToolTip("Line up the loudness of the videos' sound tracks (a clap or a beep)");
    fromFlash_->setToolTip("Find a flash, or a lamp switched on, in the region of every view's picture");
    connect(fromSound_, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const std::vector<ViewSyncEstimate> estimates = estimateSound_();
        QApplication::restoreOverrideCursor();
        Estimate(estimates, true);
    });
    connect(fromFlash_, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const std::vector<ViewSyncEstimate> estimates = estimateFlash_(sheet_.flashRegion = picker_->Region());
        QApplication::restoreOverrideCursor();
        Estimate(estimates, false);
    });

    // The region, drawn on the first view's picture or typed in.
    auto* region = new QFormLayout;
    for (auto [box, name] : {std::pair{x_, "X"}, {y_, "Y"}, {width_, "Width"}, {height_, "Height"}}) {
        box->setObjectName(name);
        box->setRange(name[0] == 'X' || name[0] == 'Y' ? 0 : 1, 100000);
        region->addRow(name, box);
        connect(box, &QSpinBox::valueChanged, this, [this] {
            picker_->SetRegion({x_->value(), y_->value(), width_->value(), height_->value()});
        });
    }
    region->addRow(fromFlash_);
    connect(picker_, &RegionPicker::RegionDrawn, this, &SynchronisationDialog::ShowRegion);
    auto* flash = new QGroupBox("Flash region (drag on the first view's picture)");
    auto* flashLayout = new QHBoxLayout(flash);
    flashLayout->addWidget(picker_, 1);
    flashLayout->addLayout(region);

    note_->setWordWrap(true);
    note_->setObjectName("Note");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* sound = new QHBoxLayout;
    sound->addWidget(fromSound_);
    sound->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Each view's lag behind the first view, in frames: when an event shows in the view "
                                 "less when it shows in the first view. The sync images give the whole frames."));
    layout->addWidget(table_);
    layout->addLayout(sound);
    layout->addWidget(flash, 1);
    layout->addWidget(note_);
    layout->addWidget(buttons);
    // The table as tall as its rows (ten views at most), the picture taking the rest.
    table_->setMaximumHeight(table_->horizontalHeader()->sizeHint().height() + 4 +
                             table_->verticalHeader()->defaultSectionSize() * std::max(2, table_->rowCount()));
    resize(780, 640);
    ShowSheet();
    ShowRegion(sheet_.flashRegion);
}

void SynchronisationDialog::ShowRegion(const SyncRegion& region) {
    for (QSpinBox* box : {x_, y_, width_, height_}) box->blockSignals(true);
    x_->setValue(region.x);
    y_->setValue(region.y);
    width_->setValue(region.width);
    height_->setValue(region.height);
    for (QSpinBox* box : {x_, y_, width_, height_}) box->blockSignals(false);
    picker_->SetRegion(region);
}

void SynchronisationDialog::ShowSheet() {
    for (int row = 0; row < table_->rowCount(); ++row) {
        const SyncSheetRow& r = sheet_.rows[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
        table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(r.video)));
        table_->setItem(row, 2, new QTableWidgetItem(QString::number(r.syncImage)));
        static_cast<QDoubleSpinBox*>(table_->cellWidget(row, kOffsetColumn))->setValue(r.offset);
        table_->setItem(row, 4, new QTableWidgetItem(QString::fromStdString(r.evidence)));
    }
    table_->resizeColumnsToContents();
}

void SynchronisationDialog::Estimate(const std::vector<ViewSyncEstimate>& estimates, bool sound) {
    sheet_ = Sheet();
    note_->setText(QString::fromStdString(TakeEstimates(sheet_, estimates, sound)));
    ShowSheet();
}

SyncSheet SynchronisationDialog::Sheet() const {
    SyncSheet sheet = sheet_;
    for (int row = 0; row < table_->rowCount(); ++row)
        sheet.rows[static_cast<std::size_t>(row)].offset = static_cast<QDoubleSpinBox*>(table_->cellWidget(row, kOffsetColumn))->value();
    sheet.flashRegion = picker_->Region();
    return sheet;
}

}  // namespace kadivo
