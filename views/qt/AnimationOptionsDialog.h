#pragma once

#include "WindowState.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QSpinBox;

namespace kadivo {

class ColourButton;

// "Animation Options": the data, the segment style, the special effects, the speed and the
// colours of an animation window.
class AnimationOptionsDialog : public QDialog {
    Q_OBJECT
public:
    AnimationOptionsDialog(const AnimationWindowState& options, QWidget* parent = nullptr);
    // The record with the dialog's values; the orientation and the other values stay.
    AnimationWindowState Options() const;

    QButtonGroup* dataType;
    QButtonGroup* segmentStyle;
    QCheckBox *extrudeLeft, *showMissing, *showFloor, *showCentreOfGravity;
    QSpinBox* speed;
    ColourButton *joints, *segments;

private:
    AnimationWindowState original_;
};

}  // namespace kadivo
