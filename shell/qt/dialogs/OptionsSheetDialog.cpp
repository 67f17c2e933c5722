#include "OptionsSheetDialog.h"

#include "CalibrationProfiles.h"
#include "ControlPointEditor.h"
#include "ProfileWriter.h"
#include "SequenceOptions.h"
#include "DialogParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kadivo {

namespace {

QCheckBox* Check(const char* label, bool checked) {
    auto* box = new QCheckBox(label);
    box->setObjectName(label);
    box->setChecked(checked);
    return box;
}

QSpinBox* Spin(const char* label, int low, int high, int value) {
    auto* spin = new QSpinBox;
    spin->setObjectName(label);
    spin->setRange(low, high);
    spin->setValue(std::clamp(value, low, high));
    return spin;
}

QDoubleSpinBox* DoubleSpin(const char* label, double low, double high, int decimals, double value) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(label);
    spin->setDecimals(decimals);
    spin->setRange(low, high);
    spin->setSingleStep(decimals == 0 ? 1.0 : 0.1);
    spin->setValue(std::clamp(value, low, high));
    return spin;
}

// A titled group of radio buttons whose ids are their positions; `checked` is ticked.
QGroupBox* Choices(const char* title, std::initializer_list<const char*> labels, int checked, QButtonGroup*& group,
                   QWidget* owner) {
    auto* box = new QGroupBox(title);
    box->setObjectName(title);
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(owner);
    int id = 0;
    for (const char* label : labels) {
        auto* radio = new QRadioButton(label);
        radio->setObjectName(label);
        group->addButton(radio, id);
        layout->addWidget(radio);
        if (id == checked) radio->setChecked(true);
        ++id;
    }
    return box;
}

// A number box with its unit after it, as "(Sec)".
QWidget* WithUnit(QWidget* field, const char* unit) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    layout->addWidget(new QLabel(unit));
    layout->addStretch();
    return row;
}

QListWidget* PointChecks(const char* name, const std::vector<std::string>& points, const std::vector<int>& flags) {
    auto* list = new QListWidget;
    list->setObjectName(name);
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(points[i]), list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(i < flags.size() && flags[i] ? Qt::Checked : Qt::Unchecked);
    }
    return list;
}

std::vector<int> Flags(const QListWidget* list) {
    std::vector<int> flags;
    for (int i = 0; i < list->count(); ++i) flags.push_back(list->item(i)->checkState() == Qt::Checked ? 1 : 0);
    return flags;
}

// The ticked button's position, or `unchanged` when a value read from a file matched none.
int Chosen(const QButtonGroup* group, int unchanged) {
    const int id = group->checkedId();
    return id >= 0 ? id : unchanged;
}

template <typename Control>
Control* Named(const QWidget* dialog, const char* name) {
    return dialog->findChild<Control*>(name);
}

constexpr int kPosture = 0;

}  // namespace

OptionsSheetDialog::OptionsSheetDialog(SequenceOptionsSheet& sheet, Prompts& prompts, QWidget* parent)
    : QDialog(parent), sheet_(sheet), prompts_(prompts), tabs_(new QTabWidget) {
    setWindowTitle("Sequence Properties");
    setObjectName("GeneralProperties");
    const int count = std::clamp(sheet.calibrationPointCount, 0, static_cast<int>(sheet.calibrationPoints.size()));
    pointsAsOpened_.assign(sheet.calibrationPoints.begin(), sheet.calibrationPoints.begin() + count);
    table_ = ControlPointTable(pointsAsOpened_);
    tabs_->addTab(GeneralPage(), kTabs[0]);
    tabs_->addTab(SearchPage(), kTabs[1]);
    tabs_->addTab(CapturePage(), kTabs[2]);
    tabs_->addTab(FilteringPage(), kTabs[3]);
    tabs_->addTab(PointPage(), kTabs[4]);
    tabs_->addTab(CalibrationPage(), kTabs[5]);
    tabs_->setCurrentIndex(std::clamp(sheet.startPage, 0, tabs_->count() - 1));
    // Every page's tab in sight.
    tabs_->setUsesScrollButtons(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(OkCancelButtons(this));
}

QWidget* OptionsSheetDialog::GeneralPage() {
    auto* page = new QWidget;
    auto* title = new QLineEdit(QString::fromStdString(sheet_.sequenceTitle));
    title->setObjectName("Sequence Title");
    title->setMaxLength(50);
    title->setMinimumWidth(320);
    auto* digitizing = new QGroupBox("Digitizing Functionality");
    auto* checks = new QVBoxLayout(digitizing);
    checks->addWidget(Check("Auto Advance Image", sheet_.autoAdvance));
    checks->addWidget(Check("Display Point Tags", sheet_.showPointTags));
    checks->addWidget(Check("Auto Resize", sheet_.autoResize));
    checks->addWidget(Check("Auto Center On Zoom", sheet_.autoCenterOnZoom));
    checks->addWidget(Check("Smart Scroll", sheet_.smartScroll));
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow("Sequence Title", title);
    form->addRow("Image Skip Factor", Spin("Image Skip Factor", 1, 100, sheet_.frameStep));
    form->addRow("Automatic Digitizing Speed",
                 WithUnit(DoubleSpin("Automatic Digitizing Speed", 0.1, 2.0, 1, sheet_.autoDigitizeSeconds), "(Sec)"));
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(digitizing);
    layout->addStretch();
    return page;
}

QWidget* OptionsSheetDialog::SearchPage() {
    auto* page = new QWidget;
    QGroupBox* locate = Choices("Locate Next Point Using", {"Previous Position", "Computer Vision", "None"},
                                sheet_.locateMethod, locate_, this);
    QGroupBox* method = Choices("Template Method", {"Convolution", "SAVD", "SSC"}, sheet_.templateMethod, templateMethod_, this);
    // "SSC" scores nothing, so it cannot be chosen.
    templateMethod_->button(2)->setEnabled(false);
    auto* threshold = new QFormLayout;
    threshold->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    threshold->addRow(Check("Manual Correct On beond treshold movemet", false));
    threshold->addRow("Threshold Movement (Pixels)", Spin("Threshold Movement (Pixels)", 1, 100, sheet_.thresholdMovement));
    auto* sizes = new QFormLayout;
    sizes->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    sizes->addRow("Search Size", Spin("Search Size", 30, 100, sheet_.searchSize));
    sizes->addRow("Template Size", Spin("Template Size", 1, 30, sheet_.templateSize));
    auto* marker = new QFormLayout;
    marker->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    marker->addRow(Check("Bright Marker", sheet_.tracking.brightMarker));
    marker->addRow("Size", Spin("Size", 1, 50, sheet_.tracking.markerSize));
    marker->addRow(Check("Use Velocity", sheet_.tracking.useVelocity));
    QCheckBox* snap = Check("Snap clicks to the marker centre", sheet_.snapToMarkerCentre != 0);
    snap->setToolTip("A click moves to the centroid of the marker under it, within Size pixels; bright or dark as Bright Marker says");
    marker->addRow(snap);
    auto* left = new QVBoxLayout;
    left->addWidget(locate);
    left->addLayout(threshold);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(method);
    right->addLayout(sizes);
    right->addLayout(marker);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(right);
    return page;
}

QWidget* OptionsSheetDialog::CapturePage() {
    auto* page = new QWidget;
    auto* device = new QComboBox;
    device->setObjectName("Device");
    for (const std::string& name : sheet_.captureDevices) device->addItem(QString::fromStdString(name));
    device->setEnabled(device->count() > 0);
    auto* form = new QFormLayout(page);
    form->addRow("Frame Rate", WithUnit(Spin("Frame Rate", 1, 120, sheet_.captureRate), "(Frames/Sec)"));
    form->addRow("Capture Time", WithUnit(Spin("Capture Time", 1, 30, sheet_.captureTime), "(Sec)"));
    form->addRow("Delay Capture Start", WithUnit(Spin("Delay Capture Start", 0, 1000, sheet_.captureDelay), "(mSec)"));
    form->addRow("Device", device);
    return page;
}

QWidget* OptionsSheetDialog::FilteringPage() {
    auto* page = new QWidget;
    QGroupBox* interpolation = Choices("Missing point interpolation (2D)", {"None", "Linear", "Cubic Spline"},
                                       sheet_.interpolation, interpolation_, this);
    QGroupBox* filtering = Choices("Filtering Parameters", {"No Filtering", "Spline", "Frequency", "Butterworth"}, sheet_.filtering,
                                   filtering_, this);
    QGroupBox* order = Choices("Spline Options", {"Linear", "Cubic", "Quintic", "Heptic"}, sheet_.splineOrder,
                               splineOrder_, this);
    // In the order of kGivenCutOff, kResidualAnalysisCutOff, kWhitenessCutOff.
    QGroupBox* cutOff = Choices("Butterworth Cut Off", {"Given Frequency", "Residual Analysis", "Whiteness of Residual"},
                                sheet_.cutOffMethod, cutOffMethod_, this);
    cutOff->setEnabled(sheet_.filtering == kButterworthFiltering);
    connect(filtering_, &QButtonGroup::idToggled, cutOff, [cutOff](int id, bool on) {
        if (on) cutOff->setEnabled(id == kButterworthFiltering);
    });
    // Radio labels repeat across groups ("None", "Linear"): find them through their group.
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow("Smooth Error Parameter", DoubleSpin("Smooth Error Parameter", -100.0, 100.0, 4, sheet_.smoothError));
    form->addRow("Low Pass Cut Off Frequency",
                 DoubleSpin("Low Pass Cut Off Frequency", 0.1, 1000.0, 2, static_cast<double>(sheet_.cutOffFrequency)));
    form->addRow(Check("Estimate Error", false));
    form->addRow("Digitizing Error (px)", DoubleSpin("Digitizing Error (px)", 0.0, kMaxDigitizingError, 2, sheet_.digitizingError));
    QCheckBox* recompute = Check("Recompute after each change", sheet_.recomputeAfterChange != 0);
    recompute->setToolTip("Keep the world data, the graphs and the animation current while digitizing a calibrated sequence");
    form->addRow(recompute);
    auto* left = new QVBoxLayout;
    left->addWidget(interpolation);
    left->addWidget(filtering);
    left->addWidget(cutOff);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(order);
    right->addLayout(form);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(right);
    return page;
}

QWidget* OptionsSheetDialog::PointPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    missing_ = PointChecks("Missing Points", sheet_.pointNames, sheet_.missingFlags);
    static_ = PointChecks("Static Points", sheet_.pointNames, sheet_.staticFlags);
    for (QListWidget* list : {missing_, static_}) {
        auto* group = new QGroupBox(list->objectName());
        auto* column = new QVBoxLayout(group);
        column->addWidget(list);
        auto* buttons = new QHBoxLayout;
        for (const auto& [label, state] : {std::pair{"Enable All", Qt::Checked}, std::pair{"Disable All", Qt::Unchecked}}) {
            auto* button = new QPushButton(label);
            connect(button, &QPushButton::clicked, this, [list, state] {
                for (int i = 0; i < list->count(); ++i) list->item(i)->setCheckState(state);
            });
            buttons->addWidget(button);
        }
        column->addLayout(buttons);
        layout->addWidget(group);
    }
    return page;
}

QWidget* OptionsSheetDialog::CalibrationPage() {
    auto* page = new QWidget;
    QGroupBox* type = Choices("Type", {"2D Posture", "3D Frame", "2D Frame"}, sheet_.calibrationType, calibrationType_, this);
    points_ = new ControlPointEditor;
    points_->SetTable(&table_);
    profiles_ = new QComboBox;
    profiles_->setObjectName("profiles");
    CalibrationProfileList calibrations(CalibrationProfilePath());
    calibrations.Load();
    ReportUnreadableDatabase(calibrations.ReadError(), prompts_);
    for (int i = 0; i < calibrations.lastIndex; ++i) profiles_->addItem(QString::fromStdString(calibrations.GetName(i)));
    auto* select = new QPushButton("Select Profile");
    select->setEnabled(profiles_->count() > 0);
    height_ = new QLineEdit;
    height_->setObjectName("Person Height");
    if (table_.rowCount() >= 4) height_->setText(QString::fromStdString(table_.Cell(3, 1)));
    auto* profileRow = new QHBoxLayout;
    profileRow->addWidget(profiles_, 1);
    profileRow->addWidget(select);
    auto* form = new QFormLayout;
    form->addRow("Calibration profiles", profileRow);
    form->addRow("Person Height", height_);
    QCheckBox* exact = Check("Exact positions", sheet_.exactPositions != 0);
    exact->setToolTip("Calibrate and reconstruct with the positions as digitized, not truncated to whole pixels");
    auto* lens = new QComboBox;
    lens->setObjectName("Lens from control points");
    lens->addItems({"None", "Radial (k1, k2)", "Radial and tangential (k1, k2, p1, p2)"});
    lens->setCurrentIndex(std::clamp(sheet_.lensFromControlPoints, 0, 2));
    lens->setToolTip("Solve each camera's lens distortion together with its calibration from the control points");
    form->addRow("Lens from control points", lens);
    auto* left = new QVBoxLayout;
    left->addWidget(type);
    left->addLayout(form);
    left->addWidget(exact);
    left->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addWidget(points_, 1);
    connect(calibrationType_, &QButtonGroup::idClicked, this, &OptionsSheetDialog::ShowCalibrationType);
    connect(select, &QPushButton::clicked, this, &OptionsSheetDialog::SelectCalibrationProfile);
    ShowCalibrationType(sheet_.calibrationType);
    return page;
}

// The posture method is set by the person's height; the frames by their points.
void OptionsSheetDialog::ShowCalibrationType(int type) {
    height_->setEnabled(type == kPosture);
    points_->setEnabled(type != kPosture);
}

void OptionsSheetDialog::SelectCalibrationProfile() {
    CalibrationProfileList calibrations(CalibrationProfilePath());
    calibrations.Load();
    if (!calibrations.Select(profiles_->currentIndex())) return;
    const CalibrationProfile& profile = calibrations.Selected();
    table_ = ControlPointTable(profile.points);
    points_->SetTable(&table_);
    calibrationType_->button(std::clamp(profile.calibrationType, 0, 2))->setChecked(true);
    ShowCalibrationType(profile.calibrationType);
    if (profile.calibrationType == kPosture && profile.pointCount() >= 4) height_->setText(QString::number(profile.GetY(3), 'f', 3));
}

void OptionsSheetDialog::accept() {
    const int type = Chosen(calibrationType_, sheet_.calibrationType);
    if (type == kPosture) {
        ControlPointTable posture(std::vector<Point3>(4));
        if (std::optional<std::string> error = posture.SetCell(3, 1, height_->text().toStdString())) {
            tabs_->setCurrentIndex(5);
            prompts_.ShowMessage("Person Height: " + *error, {"", false, 0});
            return;
        }
        table_ = posture;
    } else if (std::optional<std::string> error = CheckControlPointCount(type, table_.rowCount())) {
        tabs_->setCurrentIndex(5);
        prompts_.ShowMessage(*error, {"", false, 0});
        return;
    }
    WriteBack();
    QDialog::accept();
}

void OptionsSheetDialog::WriteBack() {
    SequenceOptionsSheet& s = sheet_;
    s.sequenceTitle = Named<QLineEdit>(this, "Sequence Title")->text().toStdString();
    s.autoAdvance = Named<QCheckBox>(this, "Auto Advance Image")->isChecked();
    s.showPointTags = Named<QCheckBox>(this, "Display Point Tags")->isChecked();
    s.autoResize = Named<QCheckBox>(this, "Auto Resize")->isChecked();
    s.autoCenterOnZoom = Named<QCheckBox>(this, "Auto Center On Zoom")->isChecked();
    s.smartScroll = Named<QCheckBox>(this, "Smart Scroll")->isChecked();
    s.frameStep = Named<QSpinBox>(this, "Image Skip Factor")->value();
    s.autoDigitizeSeconds = Named<QDoubleSpinBox>(this, "Automatic Digitizing Speed")->value();

    s.locateMethod = Chosen(locate_, s.locateMethod);
    s.templateMethod = Chosen(templateMethod_, s.templateMethod);
    s.thresholdMovement = Named<QSpinBox>(this, "Threshold Movement (Pixels)")->value();
    s.searchSize = Named<QSpinBox>(this, "Search Size")->value();
    s.templateSize = Named<QSpinBox>(this, "Template Size")->value();
    s.tracking.brightMarker = Named<QCheckBox>(this, "Bright Marker")->isChecked();
    s.tracking.markerSize = Named<QSpinBox>(this, "Size")->value();
    s.tracking.useVelocity = Named<QCheckBox>(this, "Use Velocity")->isChecked();
    s.snapToMarkerCentre = Named<QCheckBox>(this, "Snap clicks to the marker centre")->isChecked() ? 1 : 0;

    s.captureRate = Named<QSpinBox>(this, "Frame Rate")->value();
    s.captureTime = Named<QSpinBox>(this, "Capture Time")->value();
    s.captureDelay = Named<QSpinBox>(this, "Delay Capture Start")->value();

    s.interpolation = Chosen(interpolation_, s.interpolation);
    s.filtering = Chosen(filtering_, s.filtering);
    s.splineOrder = Chosen(splineOrder_, s.splineOrder);
    s.cutOffMethod = Chosen(cutOffMethod_, s.cutOffMethod);
    s.digitizingError = Named<QDoubleSpinBox>(this, "Digitizing Error (px)")->value();
    s.recomputeAfterChange = Named<QCheckBox>(this, "Recompute after each change")->isChecked() ? 1 : 0;
    s.smoothError = Named<QDoubleSpinBox>(this, "Smooth Error Parameter")->value();
    s.cutOffFrequency = static_cast<float>(Named<QDoubleSpinBox>(this, "Low Pass Cut Off Frequency")->value());

    s.missingFlags = Flags(missing_);
    s.staticFlags = Flags(static_);

    const std::vector<Point3>& points = table_.points();
    s.calibrationType = Chosen(calibrationType_, s.calibrationType);
    s.exactPositions = Named<QCheckBox>(this, "Exact positions")->isChecked() ? 1 : 0;
    s.lensFromControlPoints = Named<QComboBox>(this, "Lens from control points")->currentIndex();
    s.calibrationPointCount = static_cast<int>(points.size());
    s.recalculate = points != pointsAsOpened_;
    s.calibrationPoints = points;
    s.calibrationPoints.emplace_back();
}

}  // namespace kadivo
