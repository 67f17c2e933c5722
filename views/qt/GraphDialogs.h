#pragma once

#include "GraphWindowModel.h"

#include <QDialog>
#include <QPushButton>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace kadivo {

class Prompts;

// A button that shows a colour and lets the user choose another.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    ColourButton(const QString& label, std::int32_t colour, QWidget* parent = nullptr);
    std::int32_t Colour() const { return colour_; }
    void SetColour(std::int32_t colour);

private:
    std::int32_t colour_;
};

// "Graph Properties": the title, the three default colours and the three axes' limits.
class GraphPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    GraphPropertiesDialog(const GraphProperties& properties, Prompts& prompts, QWidget* parent = nullptr);
    GraphProperties Properties() const;
    void accept() override;

    struct AxisControls {
        QGroupBox* group;
        QRadioButton* automatic;
        QRadioButton* manual;
        QLineEdit* max;
        QLineEdit* min;
    };
    QLineEdit* title;
    ColourButton *background, *curves, *graphs;
    AxisControls x, left, right;

private:
    Prompts& prompts_;
};

// "Curve Properties": name, legend, line type and width, tag mark and colour.
class CurvePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    CurvePropertiesDialog(const CurveProperties& properties, QWidget* parent = nullptr);
    CurveProperties Properties() const;

    QLineEdit* name;
    QCheckBox* showLegend;
    QComboBox* lineType;
    QSpinBox* lineWidth;
    QComboBox* tagMark;
    QComboBox* colour;
    QCheckBox* showBand;

private:
    bool hasBand_;
};

}  // namespace kadivo
