#include "WizardPages.h"

#include "ControlPointEditor.h"
#include "WizardDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace kadivo {

namespace {

QLabel* Explanation(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Side tags as the combo boxes list them, in the order of the side codes.
const char* const kSides[] = {"Right", "Left", "None"};

// Colours that tell the segments apart in the list (the list only; they are not stored).
const QColor kSegmentColours[] = {QColor(70, 190, 255), QColor(255, 160, 40), QColor(120, 220, 90),
                                  QColor(255, 80, 220), QColor(255, 240, 80), QColor(160, 120, 255)};

QVBoxLayout* Column(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

QPushButton* Button(const char* text, QHBoxLayout* row) {
    auto* button = new QPushButton(text);
    row->addWidget(button);
    return button;
}

// The two choice pages: what is chosen, the list, what the chosen entry holds, and a
// button at the bottom right to define a new one, which is returned.
QPushButton* LayOutChoice(QWidget* page, const char* explanation, const char* label, QComboBox* list, QLabel* details,
                          const char* newText) {
    details->setWordWrap(true);
    auto* layout = Column(page);
    layout->addWidget(Explanation(explanation));
    auto* form = new QFormLayout;
    form->addRow(label, list);
    layout->addLayout(form);
    layout->addWidget(details);
    layout->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    QPushButton* fresh = Button(newText, row);
    layout->addLayout(row);
    return fresh;
}

}  // namespace

// --- page 0 ---------------------------------------------------------------------------------

ModelChoicePage::ModelChoicePage(WizardFlow& flow, WizardDialog& wizard)
    : WizardPageWidget(flow), models_(new QComboBox), points_(new QLabel) {
    QPushButton* fresh = LayOutChoice(this,
                                      "A digitizing project starts with the model: the points you will digitize in "
                                      "every frame, with their side tags and the segments between them.\n\nChoose a "
                                      "model from the list and press Next, or define a new one.",
                                      "Digitizing Model:", models_, points_, "New Model");
    connect(models_, &QComboBox::activated, this, [this](int index) {
        flow_.ChooseModel(index);
        ShowPoints();
    });
    connect(fresh, &QPushButton::clicked, &wizard, &WizardDialog::DefineNewModel);
}

void ModelChoicePage::Enter() {
    const ModelProfileList& models = flow_.models();
    models_->clear();
    for (int i = 0; i < models.lastIndex; ++i) models_->addItem(Text(models.profiles[static_cast<std::size_t>(i)].profileName));
    models_->setEnabled(models.lastIndex > 0);
    if (models.selected < models.lastIndex) models_->setCurrentIndex(models.selected);
    ShowPoints();
}

void ModelChoicePage::ShowPoints() {
    const ModelProfileList& models = flow_.models();
    if (models.lastIndex == 0) {
        points_->setText("There is no model yet: Next defines one.");
        return;
    }
    const ModelProfile& profile = models.Selected();
    QStringList names;
    for (int i = 0; i < profile.pointCount(); ++i) names << Text(profile.GetName(i));
    points_->setText(QString("%1 points: %2").arg(profile.pointCount()).arg(names.join(", ")));
}

// --- page 1 ---------------------------------------------------------------------------------

ModelNamePage::ModelNamePage(WizardFlow& flow)
    : WizardPageWidget(flow), names_(new QComboBox), count_(new QSpinBox), remove_(new QPushButton("Remove From List")) {
    names_->setEditable(true);
    names_->setInsertPolicy(QComboBox::NoInsert);
    count_->setRange(1, ModelDefinition::kMaxPoints);
    auto* layout = Column(this);
    layout->addWidget(Explanation("Type a name for the new model, or choose a model to change. Then give the number "
                                  "of points to digitize in every frame (up to 49)."));
    auto* form = new QFormLayout;
    form->addRow("Profile Name:", names_);
    form->addRow("Number of Points:", count_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(remove_);
    layout->addLayout(row);
    layout->addStretch();
    ModelDefinition& model = flow_.model();
    connect(names_, &QComboBox::activated, this, [this, &model](int index) {
        model.Choose(index);
        Refresh();
    });
    connect(names_->lineEdit(), &QLineEdit::textEdited, this, [this, &model](const QString& text) {
        model.TypeName(text.toStdString());
        remove_->setEnabled(false);
    });
    connect(remove_, &QPushButton::clicked, this, [this, &model] {
        model.RemoveFromList();
        Enter();
    });
}

void ModelNamePage::Enter() {
    names_->clear();
    for (const std::string& name : flow_.model().ProfileNames()) names_->addItem(Text(name));
    Refresh();
}

void ModelNamePage::Refresh() {
    const ModelDefinition& model = flow_.model();
    if (model.ChosenIndex() >= 0) names_->setCurrentIndex(model.ChosenIndex());
    names_->setEditText(Text(model.Name()));
    count_->setValue(std::clamp(model.PointCount(), 1, ModelDefinition::kMaxPoints));
    remove_->setEnabled(model.CanRemoveFromList());
}

void ModelNamePage::Leave() {
    ModelDefinition& model = flow_.model();
    if (Text(model.Name()) != names_->currentText()) model.TypeName(names_->currentText().toStdString());
    model.SetPointCount(count_->value());
}

// --- page 2 ---------------------------------------------------------------------------------

PointNamesPage::PointNamesPage(WizardFlow& flow) : WizardPageWidget(flow), table_(new QTableWidget(0, 2)) {
    table_->setObjectName("points");
    table_->setHorizontalHeaderLabels({"Name", "Side"});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = Column(this);
    layout->addWidget(Explanation("Name the points in the order you will digitize them, and tag each with its side "
                                  "of the body. Up and Down change the order."));
    layout->addWidget(table_);
    auto* buttons = new QHBoxLayout;
    QPushButton* up = Button("Up", buttons);
    QPushButton* down = Button("Down", buttons);
    QPushButton* add = Button("Add", buttons);
    QPushButton* remove = Button("Remove", buttons);
    buttons->addStretch();
    layout->addLayout(buttons);
    // Each button changes the model at the current row and says which row to select then.
    ModelDefinition& model = flow_.model();
    auto act = [this](const std::function<int(int)>& change) {
        Leave();
        Fill(change(table_->currentRow()));
    };
    connect(up, &QPushButton::clicked, this, [&model, act] {
        act([&model](int current) {
            model.MoveUp(current);
            return std::max(0, current - 1);
        });
    });
    connect(down, &QPushButton::clicked, this, [&model, act] {
        act([&model](int current) {
            model.MoveDown(current);
            return std::min(current + 1, static_cast<int>(model.Points().size()) - 1);
        });
    });
    connect(add, &QPushButton::clicked, this, [&model, act] {
        act([&model](int) {
            if (static_cast<int>(model.Points().size()) < ModelDefinition::kMaxPoints) model.AddPoint();
            return static_cast<int>(model.Points().size()) - 1;
        });
    });
    connect(remove, &QPushButton::clicked, this, [&model, act] {
        act([&model](int current) {
            if (model.Points().size() > 1) model.RemovePoint(current);
            return current;
        });
    });
}

void PointNamesPage::Enter() { Fill(0); }

void PointNamesPage::Fill(int selectRow) {
    const std::vector<ModelDefinition::Point>& points = flow_.model().Points();
    table_->setRowCount(static_cast<int>(points.size()));
    for (int row = 0; row < static_cast<int>(points.size()); ++row) {
        const ModelDefinition::Point& point = points[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(Text(point.name)));
        auto* side = new QComboBox;
        for (const char* name : kSides) side->addItem(name);
        side->setCurrentIndex(std::clamp(point.side, 0, 2));
        table_->setCellWidget(row, 1, side);
    }
    if (!points.empty()) table_->setCurrentCell(std::clamp(selectRow, 0, static_cast<int>(points.size()) - 1), 0);
}

void PointNamesPage::Leave() {
    ModelDefinition& model = flow_.model();
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (QTableWidgetItem* item = table_->item(row, 0)) model.SetPointName(row, item->text().trimmed().toStdString());
        if (auto* side = qobject_cast<QComboBox*>(table_->cellWidget(row, 1))) model.SetPointSide(row, side->currentIndex());
    }
}

// --- page 3 ---------------------------------------------------------------------------------

SegmentsPage::SegmentsPage(WizardFlow& flow) : WizardPageWidget(flow), table_(new QTableWidget(0, 4)) {
    table_->setObjectName("segments");
    table_->setHorizontalHeaderLabels({"Name", "Anchor Point", "Base Point", "Color"});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* layout = Column(this);
    layout->addWidget(Explanation("Segments join two points: the graphs measure joint angles between them and the "
                                  "animation draws them. A segment starts at its anchor point and leads to its base "
                                  "point; at most four start at one point."));
    layout->addWidget(table_);
    auto* row = new QHBoxLayout;
    QPushButton* add = Button("Add", row);
    QPushButton* remove = Button("Remove", row);
    row->addStretch();
    layout->addLayout(row);
    connect(add, &QPushButton::clicked, this, [this] {
        Leave();
        flow_.model().AddSegment();
        Fill();
        table_->setCurrentCell(table_->rowCount() - 1, 0);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        Leave();
        flow_.model().RemoveSegment(table_->currentRow());
        Fill();
    });
}

void SegmentsPage::Enter() { Fill(); }

void SegmentsPage::Fill() {
    const ModelDefinition& model = flow_.model();
    const std::vector<ModelDefinition::Segment>& segments = model.Segments();
    table_->setRowCount(static_cast<int>(segments.size()));
    for (int row = 0; row < static_cast<int>(segments.size()); ++row) {
        const ModelDefinition::Segment& segment = segments[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(Text(segment.name)));
        for (int column : {1, 2}) {
            auto* points = new QComboBox;
            for (int i = 0; i < static_cast<int>(model.Points().size()); ++i) points->addItem(Text(model.Label(i)));
            points->setCurrentIndex(column == 1 ? segment.anchor : segment.base);
            table_->setCellWidget(row, column, points);
        }
        auto* colour = new QTableWidgetItem("      ");
        colour->setBackground(kSegmentColours[static_cast<std::size_t>(row) % std::size(kSegmentColours)]);
        colour->setFlags(Qt::ItemIsEnabled);
        table_->setItem(row, 3, colour);
    }
}

void SegmentsPage::AddSegment(const QString& name, int anchor, int base) {
    Leave();
    ModelDefinition& model = flow_.model();
    model.AddSegment();
    model.SetSegment(static_cast<int>(model.Segments().size()) - 1, {name.toStdString(), anchor, base});
    Fill();
}

void SegmentsPage::Leave() {
    ModelDefinition& model = flow_.model();
    for (int row = 0; row < table_->rowCount(); ++row) {
        ModelDefinition::Segment segment;
        if (QTableWidgetItem* item = table_->item(row, 0)) segment.name = item->text().trimmed().toStdString();
        if (auto* anchor = qobject_cast<QComboBox*>(table_->cellWidget(row, 1))) segment.anchor = anchor->currentIndex();
        if (auto* base = qobject_cast<QComboBox*>(table_->cellWidget(row, 2))) segment.base = base->currentIndex();
        model.SetSegment(row, segment);
    }
}

// --- page 4 ---------------------------------------------------------------------------------

CalibrationChoicePage::CalibrationChoicePage(WizardFlow& flow, WizardDialog& wizard)
    : WizardPageWidget(flow), calibrations_(new QComboBox), description_(new QLabel) {
    QPushButton* fresh = LayOutChoice(this,
                                      "The calibration setup tells Kadivo how image points become world coordinates: "
                                      "a frame of control points at known positions (2D or 3D), or the subject's "
                                      "height (posture).\n\nChoose a setup and press Next, or define a new one.",
                                      "Calibration Setup:", calibrations_, description_, "New Calibration");
    connect(calibrations_, &QComboBox::activated, this, [this](int index) {
        flow_.ChooseCalibration(index);
        ShowDescription();
    });
    connect(fresh, &QPushButton::clicked, &wizard, &WizardDialog::DefineNewCalibration);
}

void CalibrationChoicePage::Enter() {
    // Another program may have changed the file since the wizard opened.
    CalibrationProfileList& calibrations = flow_.calibrations();
    const int selected = calibrations.selected;
    calibrations.Load();
    calibrations.Select(selected);
    calibrations_->clear();
    for (int i = 0; i < calibrations.lastIndex; ++i) calibrations_->addItem(Text(calibrations.GetName(i)));
    calibrations_->setEnabled(calibrations.lastIndex > 0);
    if (calibrations.selected < calibrations.lastIndex) calibrations_->setCurrentIndex(calibrations.selected);
    ShowDescription();
}

void CalibrationChoicePage::ShowDescription() {
    const CalibrationProfileList& calibrations = flow_.calibrations();
    if (calibrations.lastIndex == 0) {
        description_->setText("There is no calibration setup yet: Next defines one.");
        return;
    }
    const char* const kinds[] = {"Posture calibration", "3D frame", "2D frame"};
    const int type = std::clamp(calibrations.SelectedType(), 0, 2);
    description_->setText(type == 0 ? QString("%1, subject height %2").arg(kinds[type]).arg(calibrations.Selected().GetY(3))
                                    : QString("%1 of %2 control points").arg(kinds[type]).arg(calibrations.SelectedCount()));
}

// --- page 5 ---------------------------------------------------------------------------------

CalibrationNamePage::CalibrationNamePage(WizardFlow& flow) : WizardPageWidget(flow), names_(new QComboBox) {
    names_->setEditable(true);
    names_->setInsertPolicy(QComboBox::NoInsert);
    const char* const labels[] = {"Posture Calibration", "3D Frame Calibration", "2D Frame Calibration"};
    auto* group = new QGroupBox("Calibration Type");
    auto* radios = new QVBoxLayout(group);
    for (int code = 0; code < 3; ++code) {
        methods_[code] = new QRadioButton(labels[code]);
        radios->addWidget(methods_[code]);
    }
    auto* layout = Column(this);
    layout->addWidget(Explanation("Type a name for the new calibration setup, or choose one to change, and pick its "
                                  "method. A 3D frame needs at least 6 control points that are not all in one plane, "
                                  "a 2D frame at least 4 in the plane of the movement."));
    auto* form = new QFormLayout;
    form->addRow("Profile Name:", names_);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addStretch();
    CalibrationDefinition& calibration = flow_.calibration();
    connect(names_, &QComboBox::activated, this, [this, &calibration](int index) {
        calibration.Choose(index);
        Enter();
    });
    connect(names_->lineEdit(), &QLineEdit::textEdited, this,
            [&calibration](const QString& text) { calibration.TypeName(text.toStdString()); });
}

void CalibrationNamePage::Enter() {
    const CalibrationDefinition& calibration = flow_.calibration();
    const QSignalBlocker quiet(names_);
    names_->clear();
    for (const std::string& name : calibration.ProfileNames()) names_->addItem(Text(name));
    names_->setEditText(Text(calibration.Name()));
    methods_[std::clamp(calibration.Method(), 0, 2)]->setChecked(true);
}

void CalibrationNamePage::Leave() {
    CalibrationDefinition& calibration = flow_.calibration();
    if (Text(calibration.Name()) != names_->currentText()) calibration.TypeName(names_->currentText().toStdString());
    for (int code = 0; code < 3; ++code)
        if (methods_[code]->isChecked()) calibration.SetMethod(code);
}

// --- page 6 ---------------------------------------------------------------------------------

PosturePage::PosturePage(WizardFlow& flow) : WizardPageWidget(flow), height_(new QLineEdit) {
    height_->setObjectName("subjectHeight");
    auto* layout = Column(this);
    layout->addWidget(Explanation("The posture calibration scales the picture by the subject's height: you will "
                                  "digitize four points of the standing subject. Enter the height in the units the "
                                  "results should have (for example 1.80 for metres)."));
    auto* form = new QFormLayout;
    form->addRow("Subject Height:", height_);
    layout->addLayout(form);
    layout->addStretch();
}

void PosturePage::Enter() {
    const double height = flow_.calibration().SubjectHeight();
    height_->setText(height > 0.0 ? QString::number(height, 'f', 3) : QString());
}

void PosturePage::Leave() { flow_.calibration().SetSubjectHeight(height_->text().toStdString()); }

// --- page 7 ---------------------------------------------------------------------------------

FramePointsPage::FramePointsPage(WizardFlow& flow) : WizardPageWidget(flow), editor_(new ControlPointEditor) {
    auto* layout = Column(this);
    layout->addWidget(Explanation("Enter the world position of every control point of the frame, in the order you "
                                  "will digitize them. Add appends a point; Remove deletes the selected rows."));
    layout->addWidget(editor_);
}

void FramePointsPage::Enter() { editor_->SetTable(&flow_.calibration().Points()); }

// --- finished pages ---------------------------------------------------------------------------

FinishedPage::FinishedPage(WizardFlow& flow, WizardPage page) : WizardPageWidget(flow), page_(page), text_(new QLabel) {
    text_->setWordWrap(true);
    text_->setObjectName("summary");
    auto* layout = Column(this);
    layout->addWidget(text_);
    layout->addStretch();
}

void FinishedPage::Enter() {
    if (page_ == WizardPage::ModelFinished) {
        text_->setText("Thats it! The new Model has been created and added to the profile list.");
        return;
    }
    if (page_ == WizardPage::CalibrationFinished) {
        text_->setText("Thats it!");
        return;
    }
    const QString model = flow_.newModel()
                              ? QString("the new model \"%1\" (%2 points)").arg(Text(flow_.model().Name())).arg(flow_.model().Points().size())
                              : QString("the model \"%1\" (%2 points)")
                                    .arg(Text(flow_.models().Selected().profileName))
                                    .arg(flow_.models().Selected().pointCount());
    const QString calibration = flow_.newCalibration()
                                    ? QString("the new calibration setup \"%1\"").arg(Text(flow_.calibration().Name()))
                                    : QString("the calibration setup \"%1\"").arg(Text(flow_.calibrations().Selected().profileName));
    text_->setText(QString("The new sequence digitizes %1 and calibrates with %2.\n\nPress Finish to create it, then "
                           "load the video of the first camera with File → Open Video.")
                       .arg(model, calibration));
}

}  // namespace kadivo
