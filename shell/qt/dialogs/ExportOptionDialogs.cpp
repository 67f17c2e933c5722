#include "ExportOptionDialogs.h"

#include "DialogParts.h"
#include "PointListWidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace kadivo {

namespace {


QGroupBox* Group(const QString& title, std::initializer_list<QWidget*> widgets) {
    auto* group = new QGroupBox(title);
    auto* layout = new QVBoxLayout(group);
    for (QWidget* widget : widgets) layout->addWidget(widget);
    layout->addStretch();
    return group;
}

// The list on the left under "Curve Properties", the four option groups on the right, OK and
// Cancel below.
void LayOutKinematicsExport(QDialog* dialog, QWidget* list, QGroupBox* type, QGroupBox* axes, QGroupBox* filtering,
                            QGroupBox* header, KinematicsDialogUse use) {
    auto* curves = new QGroupBox("Curve Properties");
    (new QVBoxLayout(curves))->addWidget(list);
    auto* options = new QGridLayout;
    options->addWidget(type, 0, 0);
    options->addWidget(axes, 0, 1);
    options->addWidget(filtering, 1, 0);
    if (use == KinematicsDialogUse::Export) {
        options->addWidget(header, 1, 1);
    } else {
        // Not shown, but owned: its check box stays in the dialog's record.
        header->setParent(dialog);
        header->hide();
    }
    auto* columns = new QHBoxLayout;
    columns->addWidget(curves, 1);
    columns->addLayout(options);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(columns);
    QDialogButtonBox* buttons = OkCancelButtons(dialog);
    if (use == KinematicsDialogUse::AddCurves) buttons->button(QDialogButtonBox::Ok)->setText("Add Curve(s)");
    layout->addWidget(buttons);
}

// Where OK leads after the dialog's validation.
void Conclude(QDialog* dialog, const std::string& missing, Prompts& prompts) {
    switch (ConfirmExportOk(missing, prompts)) {
        case ExportOkOutcome::Accept: dialog->QDialog::accept(); break;
        case ExportOkOutcome::Reject: dialog->reject(); break;
        case ExportOkOutcome::Stay: break;
    }
}

}  // namespace

ExportLinearDialog::ExportLinearDialog(const std::vector<ExportListRow>& rows, Prompts& prompts, QWidget* parent,
                                       KinematicsDialogUse use)
    : QDialog(parent), points(new PointListWidget(rows, "Point Name", 120, 60, true)),
      position(new QCheckBox("Position")), velocity(new QCheckBox("Velocity")), acceleration(new QCheckBox("Acceleration")),
      x(new QCheckBox("X")), y(new QCheckBox("Y")), z(new QCheckBox("Z")), distance(new QCheckBox("3D")),
      smoothed(new QRadioButton("Smoothed")), unsmoothed(new QRadioButton("UnSmoothed")), header(new QCheckBox("Show")),
      halfWidths(new QCheckBox(use == KinematicsDialogUse::Export ? "95 % Half-Widths" : "95 % Band")), prompts_(prompts) {
    setWindowTitle(use == KinematicsDialogUse::Export ? "Export Linear Data" : "Add Curve of Kinematic Data");
    smoothed->setChecked(true);
    LayOutKinematicsExport(this, points, Group("Kinematic Type", {position, velocity, acceleration}),
                           Group("Direction", {x, y, z, distance}), Group("Filtering", {smoothed, unsmoothed, halfWidths}),
                           Group("Header", {header}), use);
}

LinearExportOptions ExportLinearDialog::Options() const {
    LinearExportOptions o;
    o.rows = points->Checked();
    o.position = position->isChecked();
    o.velocity = velocity->isChecked();
    o.acceleration = acceleration->isChecked();
    o.x = x->isChecked();
    o.y = y->isChecked();
    o.z = z->isChecked();
    o.distance = distance->isChecked();
    o.smoothed = smoothed->isChecked();
    o.header = header->isChecked();
    o.halfWidths = halfWidths->isChecked();
    return o;
}

void ExportLinearDialog::accept() { Conclude(this, ValidateLinearExport(Options()), prompts_); }

ExportAngularDialog::ExportAngularDialog(const std::vector<ExportListRow>& rows, Prompts& prompts, QWidget* parent,
                                         KinematicsDialogUse use)
    : QDialog(parent), joints(new PointListWidget(rows, "Joint", 100, 50, false)), angle(new QCheckBox("Angle (deg)")),
      angularVelocity(new QCheckBox("Angular Velocity")), angularAcceleration(new QCheckBox("Angular Acceleration")),
      x(new QCheckBox("X")), y(new QCheckBox("Y")), z(new QCheckBox("Z")), threeD(new QCheckBox("3D")),
      counterClockwise(new QCheckBox("Counter Clock Wise")), smoothed(new QRadioButton("Smoothed Data")),
      unsmoothed(new QRadioButton("UnSmoothed Data")), header(new QCheckBox("Show")),
      halfWidths(new QCheckBox(use == KinematicsDialogUse::Export ? "95 % Half-Widths" : "95 % Band")), prompts_(prompts) {
    const bool exporting = use == KinematicsDialogUse::Export;
    setWindowTitle(exporting ? "Export Angular Data" : "Add Curve of Angular data");
    // The text export writes angles only.
    angularVelocity->setEnabled(!exporting);
    angularAcceleration->setEnabled(!exporting);
    smoothed->setChecked(true);
    LayOutKinematicsExport(this, joints, Group("Angular Type", {angle, angularVelocity, angularAcceleration}),
                           Group("Axis of rotation", {x, y, z, threeD, counterClockwise}),
                           Group("Filtering", {smoothed, unsmoothed, halfWidths}), Group("Header", {header}), use);
}

AngularExportOptions ExportAngularDialog::Options() const {
    AngularExportOptions o;
    o.rows = joints->Checked();
    o.angle = angle->isChecked();
    o.angularVelocity = angularVelocity->isChecked();
    o.angularAcceleration = angularAcceleration->isChecked();
    o.x = x->isChecked();
    o.y = y->isChecked();
    o.z = z->isChecked();
    o.threeD = threeD->isChecked();
    o.counterClockwise = counterClockwise->isChecked();
    o.smoothed = smoothed->isChecked();
    o.header = header->isChecked();
    o.halfWidths = halfWidths->isChecked();
    return o;
}

void ExportAngularDialog::accept() { Conclude(this, ValidateAngularExport(Options()), prompts_); }

ImageDataExportDialog::ImageDataExportDialog(const std::vector<ExportListRow>& rows, QWidget* parent)
    : QDialog(parent), header(new QCheckBox("Write Header")), points(new PointListWidget(rows, "Point Name", 120, 60, true)) {
    setWindowTitle("Image Data Export");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group("Options", {header}));
    auto* list = new QGroupBox("Points");
    (new QVBoxLayout(list))->addWidget(points);
    layout->addWidget(list, 1);
    layout->addWidget(OkCancelButtons(this));
}

PointsExportOptions ImageDataExportDialog::Options() const {
    PointsExportOptions o;
    o.header = header->isChecked();
    o.rows = points->Checked();
    if (o.rows.size() > static_cast<std::size_t>(PointsExportOptions::kMaxRows)) o.rows.resize(PointsExportOptions::kMaxRows);
    return o;
}

namespace {

// The axes a TRC file can be written in; OpenSim wants y up.
const struct {
    const char* label;
    AxisMapping mapping;
} kTrcAxes[] = {{"Z up in the calibration: X, Z, -Y", kZUpToYUp}, {"Y up in the calibration: as calibrated", kAsCalibrated}};

}  // namespace

TrcExportDialog::TrcExportDialog(const std::vector<ExportListRow>& rows, const TrcExportOptions& start, QWidget* parent)
    : QDialog(parent), markers(new PointListWidget(rows, "Point Name", 120, 60, true)), smoothed(new QRadioButton("Smoothed")),
      unsmoothed(new QRadioButton("Unsmoothed")), units(new QComboBox), axes(new QComboBox) {
    setWindowTitle("TRC Export");
    markers->SetAll(true);
    (start.smoothed ? smoothed : unsmoothed)->setChecked(true);
    units->addItems({"Metres (m)", "Millimetres (mm)"});
    units->setCurrentIndex(start.millimetres ? 1 : 0);
    for (const auto& choice : kTrcAxes) {
        axes->addItem(choice.label);
        if (choice.mapping == start.axes) axes->setCurrentIndex(axes->count() - 1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group("Data", {smoothed, unsmoothed}));
    auto* file = new QGroupBox("File");
    auto* form = new QFormLayout(file);
    form->addRow("Units", units);
    form->addRow("Axes", axes);
    layout->addWidget(file);
    auto* list = new QGroupBox("Markers");
    (new QVBoxLayout(list))->addWidget(markers);
    layout->addWidget(list, 1);
    layout->addWidget(OkCancelButtons(this));
}

TrcExportOptions TrcExportDialog::Options() const {
    TrcExportOptions o;
    o.rows = markers->Checked();
    o.smoothed = smoothed->isChecked();
    o.millimetres = units->currentIndex() == 1;
    o.axes = kTrcAxes[std::clamp(axes->currentIndex(), 0, static_cast<int>(std::size(kTrcAxes)) - 1)].mapping;
    return o;
}

CsmExportDialog::CsmExportDialog(const std::vector<std::string>& pointCells, const std::vector<std::string>& labels,
                                 QWidget* parent)
    : QDialog(parent), mapping(new QTreeWidget(this)), actor(new QLineEdit(this)), comment(new QPlainTextEdit(this)) {
    setWindowTitle("CSM Export Properties");
    mapping->setRootIsDecorated(false);
    mapping->setColumnCount(2);
    mapping->setHeaderLabels({"Point Name", "CSM Name"});
    mapping->setColumnWidth(0, 80);
    mapping->setColumnWidth(1, 80);
    mapping->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed);
    for (std::size_t i = 0; i < pointCells.size(); ++i) {
        auto* item = new QTreeWidgetItem(mapping, {QString::fromStdString(pointCells[i]),
                                                   QString::fromStdString(i < labels.size() ? labels[i] : "NOTDEF")});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    // Only the "CSM Name" cells are edited.
    connect(mapping, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) { mapping->editItem(item, 1); });
    mapping->setEditTriggers(QAbstractItemView::NoEditTriggers);
    comment->setMaximumHeight(80);
    auto* group = new QGroupBox("Point Mapping");
    (new QVBoxLayout(group))->addWidget(mapping);
    auto* form = new QFormLayout;
    form->addRow("Actor", actor);
    form->addRow("Comment", comment);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

CsmExportOptions CsmExportDialog::Options() const {
    CsmExportOptions o;
    for (int i = 0; i < mapping->topLevelItemCount(); ++i) o.mapping.push_back(mapping->topLevelItem(i)->text(1).toStdString());
    o.actor = actor->text().toStdString();
    o.comment = comment->toPlainText().toStdString();
    return o;
}

}  // namespace kadivo
