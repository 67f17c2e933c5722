#pragma once

#include "SynchronisationSheet.h"

#include <QDialog>
#include <QImage>
#include <QWidget>

#include <functional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace kadivo {

// The first view's picture, on which a region is drawn by dragging.
class RegionPicker : public QWidget {
    Q_OBJECT
public:
    explicit RegionPicker(QImage picture, QWidget* parent = nullptr);
    void SetRegion(const SyncRegion& region);
    const SyncRegion& Region() const { return region_; }
    QSize sizeHint() const override;

signals:
    void RegionDrawn(const SyncRegion& region);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRectF Shown() const;  // where the picture is drawn
    QPoint InPicture(QPointF at) const;

    QImage picture_;
    SyncRegion region_;
    QPoint anchor_;
};

// Camera Views > "Synchronisation": each view's lag behind the first view, in frames, typed
// in or estimated from the videos' sound or from a flash in a region of the pictures.
class SynchronisationDialog : public QDialog {
    Q_OBJECT
public:
    using SoundEstimate = std::function<std::vector<ViewSyncEstimate>()>;
    using FlashEstimate = std::function<std::vector<ViewSyncEstimate>(const SyncRegion&)>;

    SynchronisationDialog(SyncSheet sheet, QImage firstPicture, SoundEstimate fromSound, FlashEstimate fromFlash, QWidget* parent);
    // The sheet as the dialog leaves it.
    SyncSheet Sheet() const;

    QTableWidget* Table() const { return table_; }
    QPushButton* FromSoundButton() const { return fromSound_; }
    QPushButton* FromFlashButton() const { return fromFlash_; }
    RegionPicker* Picker() const { return picker_; }
    QLabel* Note() const { return note_; }

private:
    void Estimate(const std::vector<ViewSyncEstimate>& estimates, bool sound);
    void ShowSheet();
    void ShowRegion(const SyncRegion& region);

    SyncSheet sheet_;
    SoundEstimate estimateSound_;
    FlashEstimate estimateFlash_;
    QTableWidget* table_;
    QPushButton* fromSound_;
    QPushButton* fromFlash_;
    RegionPicker* picker_;
    QSpinBox* x_;
    QSpinBox* y_;
    QSpinBox* width_;
    QSpinBox* height_;
    QLabel* note_;
};

}  // namespace kadivo
