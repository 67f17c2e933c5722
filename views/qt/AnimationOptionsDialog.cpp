#include "AnimationOptionsDialog.h"

#include "AnimationState.h"
#include "GraphDialogs.h"
#include "dialogs/DialogParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kadivo {

namespace {

QGroupBox* RadioGroup(const char* title, std::initializer_list<const char*> labels, int checked, QButtonGroup* group) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const char* label : labels) {
        auto* radio = new QRadioButton(label);
        group->addButton(radio, id);
        radio->setChecked(id == checked);
        layout->addWidget(radio);
        ++id;
    }
    return box;
}

}  // namespace

AnimationOptionsDialog::AnimationOptionsDialog(const AnimationWindowState& o, QWidget* parent)
    : QDialog(parent), dataType(new QButtonGroup(this)), segmentStyle(new QButtonGroup(this)),
      extrudeLeft(new QCheckBox("Extrude Left side in 2D")), showMissing(new QCheckBox("Display Missing Points")),
      showFloor(new QCheckBox("Display Textured Floor")), showCentreOfGravity(new QCheckBox("Display Centre of Gravity")),
      speed(new QSpinBox), joints(new ColourButton("Joints", o.jointColor)), segments(new ColourButton("Segments", o.segmentColor)),
      original_(o) {
    setWindowTitle("Animation Options");
    extrudeLeft->setChecked(o.extrudeLeft);
    showMissing->setChecked(o.showMissing);
    showFloor->setChecked(o.showFloor);
    showCentreOfGravity->setChecked(o.showCenterOfGravity);
    speed->setObjectName("Speed");
    speed->setRange(AnimationState::kMinSpeed, AnimationState::kMaxSpeed);
    speed->setValue(std::clamp(static_cast<int>(o.speed), AnimationState::kMinSpeed, AnimationState::kMaxSpeed));
    speed->setSuffix(" frames/s");
    auto* effects = new QGroupBox("Special Effects");
    auto* effectList = new QVBoxLayout(effects);
    for (QCheckBox* box : {extrudeLeft, showMissing, showFloor}) effectList->addWidget(box);
    auto* animation = new QGroupBox("Animation");
    (new QFormLayout(animation))->addRow("Speed", speed);
    auto* colours = new QGroupBox("Colors");
    auto* colourRow = new QHBoxLayout(colours);
    colourRow->addWidget(joints);
    colourRow->addWidget(segments);
    auto* grid = new QGridLayout;
    grid->addWidget(RadioGroup("Data Type", {"Filtered Data", "UnFiltered Data"}, o.useUnfiltered ? 1 : 0, dataType), 0, 0);
    grid->addWidget(RadioGroup("Segment View Configuration", {"3D Solid Objects", "3D Line Objects", "Simple Lines"},
                               std::clamp(static_cast<int>(o.segmentStyle), 0, 2), segmentStyle),
                    0, 1);
    grid->addWidget(effects, 1, 0);
    grid->addWidget(animation, 1, 1);
    grid->addWidget(colours, 2, 0);
    grid->addWidget(showCentreOfGravity, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(OkCancelButtons(this));
}

AnimationWindowState AnimationOptionsDialog::Options() const {
    AnimationWindowState o = original_;
    o.useUnfiltered = dataType->checkedId() == 1 ? 1 : 0;
    o.segmentStyle = std::max(0, segmentStyle->checkedId());
    o.extrudeLeft = extrudeLeft->isChecked();
    o.showMissing = showMissing->isChecked();
    o.showFloor = showFloor->isChecked();
    o.showCenterOfGravity = showCentreOfGravity->isChecked();
    o.speed = speed->value();
    o.jointColor = joints->Colour();
    o.segmentColor = segments->Colour();
    return o;
}

}  // namespace kadivo
