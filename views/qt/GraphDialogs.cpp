#include "GraphDialogs.h"

#include "dialogs/DialogParts.h"
#include "GraphPainter.h"
#include "Prompts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kadivo {

namespace {

QString Limit(float value) { return QString::asprintf("%2.2f", static_cast<double>(value)); }

// The axis group: "Auto" or the manual choice, with Max and Min usable only when manual.
GraphPropertiesDialog::AxisControls AxisGroup(const char* title, const char* manualText, const GraphProperties::Axis& axis) {
    GraphPropertiesDialog::AxisControls controls{new QGroupBox(title), new QRadioButton("Auto"), new QRadioButton(manualText),
                                                 new QLineEdit(Limit(axis.max)), new QLineEdit(Limit(axis.min))};
    controls.group->setObjectName(title);
    (axis.manual ? controls.manual : controls.automatic)->setChecked(true);
    auto* layout = new QGridLayout(controls.group);
    layout->addWidget(controls.automatic, 0, 0);
    layout->addWidget(controls.manual, 1, 0);
    layout->addWidget(new QLabel("Max"), 0, 1);
    layout->addWidget(controls.max, 0, 2);
    layout->addWidget(new QLabel("Min"), 1, 1);
    layout->addWidget(controls.min, 1, 2);
    auto enable = [controls] {
        controls.max->setEnabled(controls.manual->isChecked());
        controls.min->setEnabled(controls.manual->isChecked());
    };
    QObject::connect(controls.manual, &QRadioButton::toggled, controls.group, enable);
    enable();
    return controls;
}

std::optional<GraphProperties::Axis> AxisOf(const GraphPropertiesDialog::AxisControls& controls) {
    GraphProperties::Axis axis;
    axis.manual = controls.manual->isChecked();
    bool maxRead = false, minRead = false;
    axis.max = controls.max->text().toFloat(&maxRead);
    axis.min = controls.min->text().toFloat(&minRead);
    if (axis.manual && (!maxRead || !minRead)) return std::nullopt;
    return axis;
}

QIcon LineIcon(int lineType, int tagMark, const QColor& colour) {
    QPixmap picture(48, 14);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    painter.setPen(QPen(colour, 2, styles[std::clamp(lineType, 0, 4)]));
    painter.drawLine(2, 7, 46, 7);
    if (tagMark > 0) {
        painter.setPen(QPen(colour, 1.2));
        const QPointF at(24, 7);
        switch (tagMark) {
            case 1: painter.drawEllipse(at, 4, 4); break;
            case 2: painter.drawRect(QRectF(20, 3, 8, 8)); break;
            case 3: painter.drawPolygon(QPolygonF({QPointF(24, 2), QPointF(29, 11), QPointF(19, 11)})); break;
            case 4:
                painter.drawLine(20, 3, 28, 11);
                painter.drawLine(20, 11, 28, 3);
                break;
            default:
                painter.drawLine(20, 7, 28, 7);
                painter.drawLine(24, 3, 24, 11);
                break;
        }
    }
    return QIcon(picture);
}

QIcon Swatch(const QColor& colour) {
    QPixmap picture(32, 14);
    picture.fill(colour);
    return QIcon(picture);
}

// The colours the curve colour list offers, and the curve's own when it is none of them.
const std::int32_t kCurveColours[] = {0xFFFFFF, 0xC8C8C8, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                                      0xFF00FF, 0xFFFF00, 0x0080FF, 0xFF8000, 0x808080, 0x000000};

}  // namespace

ColourButton::ColourButton(const QString& label, std::int32_t colour, QWidget* parent) : QPushButton(label, parent) {
    setObjectName(label);
    SetColour(colour);
    connect(this, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(FromColorRef(colour_), this, text());
        if (chosen.isValid()) SetColour(ToColorRef(chosen));
    });
}

void ColourButton::SetColour(std::int32_t colour) {
    colour_ = colour;
    setIcon(Swatch(FromColorRef(colour)));
}

GraphPropertiesDialog::GraphPropertiesDialog(const GraphProperties& p, Prompts& prompts, QWidget* parent)
    : QDialog(parent), title(new QLineEdit(QString::fromStdString(p.title))),
      background(new ColourButton("Background", p.background)), curves(new ColourButton("Curves", p.curves)),
      graphs(new ColourButton("Graphs", p.graphs)), x(AxisGroup("X axis limits", "Manual", p.x)),
      left(AxisGroup("Left Y axis limits", "Manuel", p.left)), right(AxisGroup("Right Y axis limits", "Manuel", p.right)),
      prompts_(prompts) {
    setWindowTitle("Graph Properties");
    title->setObjectName("Title");
    right.group->setEnabled(p.rightAxisUsed);
    auto* form = new QFormLayout;
    form->addRow("Title", title);
    auto* colours = new QGroupBox("Default Colors");
    auto* row = new QHBoxLayout(colours);
    for (ColourButton* button : {background, curves, graphs}) row->addWidget(button);
    auto* axes = new QHBoxLayout;
    for (QGroupBox* group : {x.group, left.group, right.group}) axes->addWidget(group);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(colours);
    layout->addLayout(axes);
    layout->addWidget(OkCancelButtons(this));
}

GraphProperties GraphPropertiesDialog::Properties() const {
    GraphProperties p;
    p.title = title->text().toStdString();
    p.background = background->Colour();
    p.curves = curves->Colour();
    p.graphs = graphs->Colour();
    p.x = AxisOf(x).value_or(GraphProperties::Axis{});
    p.left = AxisOf(left).value_or(GraphProperties::Axis{});
    p.right = AxisOf(right).value_or(GraphProperties::Axis{});
    p.rightAxisUsed = right.group->isEnabled();
    return p;
}

void GraphPropertiesDialog::accept() {
    for (const AxisControls* axis : {&x, &left, &right})
        if (!AxisOf(*axis)) {
            prompts_.ShowMessage("Max and Min of " + axis->group->title().toStdString() + " must be numbers.", {"", false, 0});
            return;
        }
    if (const std::optional<std::string> error = CheckGraphProperties(Properties())) {
        prompts_.ShowMessage(*error, {"", false, 0});
        return;
    }
    QDialog::accept();
}

CurvePropertiesDialog::CurvePropertiesDialog(const CurveProperties& p, QWidget* parent)
    : QDialog(parent), name(new QLineEdit(QString::fromStdString(p.name))), showLegend(new QCheckBox("Show Legend")),
      lineType(new QComboBox), lineWidth(new QSpinBox), tagMark(new QComboBox), colour(new QComboBox),
      showBand(new QCheckBox("Show 95 % Band")), hasBand_(p.hasBand) {
    setWindowTitle("Curve Properties");
    showBand->setChecked(p.showBand);
    showBand->setEnabled(p.hasBand);
    if (!p.hasBand) showBand->setToolTip("Add the curve with its 95 % band to draw one");
    name->setObjectName("Name");
    name->setMaxLength(CurveProperties::kMaxNameLength);
    showLegend->setChecked(p.showLegend);
    const QColor shown = FromColorRef(p.color);
    for (int i = 0; i < static_cast<int>(std::size(kLineTypes)); ++i) lineType->addItem(LineIcon(i, 0, Qt::black), kLineTypes[i]);
    lineType->setCurrentIndex(std::clamp(p.lineType, 0, lineType->count() - 1));
    for (int i = 0; i < static_cast<int>(std::size(kTagMarks)); ++i) tagMark->addItem(LineIcon(0, i, Qt::black), kTagMarks[i]);
    tagMark->setCurrentIndex(std::clamp(p.tagMark, 0, tagMark->count() - 1));
    lineWidth->setRange(1, 4);
    lineWidth->setValue(std::clamp(p.lineWidth, 1, 4));
    for (std::int32_t value : kCurveColours) colour->addItem(Swatch(FromColorRef(value)), "", value);
    if (colour->findData(p.color) < 0) colour->addItem(Swatch(shown), "", p.color);
    colour->setCurrentIndex(colour->findData(p.color));
    colour->setIconSize(QSize(32, 14));
    lineType->setIconSize(QSize(48, 14));
    tagMark->setIconSize(QSize(48, 14));
    auto* form = new QFormLayout;
    form->addRow("Name", name);
    form->addRow("", showLegend);
    form->addRow("Line Type", lineType);
    form->addRow("Line Width", lineWidth);
    form->addRow("Tag Mark", tagMark);
    form->addRow("Color", colour);
    form->addRow("", showBand);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

CurveProperties CurvePropertiesDialog::Properties() const {
    return {name->text().toStdString(), showLegend->isChecked(), lineType->currentIndex(), lineWidth->value(),
            tagMark->currentIndex(), colour->currentData().toInt(), showBand->isChecked(), hasBand_};
}

}  // namespace kadivo
