#pragma once

#include "WizardFlow.h"

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace kadivo {

class ControlPointEditor;
class WizardDialog;

// One page of a wizard: shows the flow's state when it appears and hands its edits back
// before the flow moves on.
class WizardPageWidget : public QWidget {
    Q_OBJECT
public:
    explicit WizardPageWidget(WizardFlow& flow, QWidget* parent = nullptr) : QWidget(parent), flow_(flow) {}
    virtual void Enter() {}
    virtual void Leave() {}

protected:
    WizardFlow& flow_;
};

// Page 0: the digitizing models to start from, or "New Model".
class ModelChoicePage : public WizardPageWidget {
    Q_OBJECT
public:
    ModelChoicePage(WizardFlow& flow, WizardDialog& wizard);
    void Enter() override;
    QComboBox* Models() const { return models_; }

private:
    void ShowPoints();
    QComboBox* models_;
    QLabel* points_;
};

// Page 1: the model's name, chosen or typed, and its number of points.
class ModelNamePage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit ModelNamePage(WizardFlow& flow);
    void Enter() override;
    void Leave() override;
    QComboBox* Names() const { return names_; }
    QSpinBox* Count() const { return count_; }

private:
    void Refresh();
    QComboBox* names_;
    QSpinBox* count_;
    QPushButton* remove_;
};

// Page 2: point names and side tags in digitizing order.
class PointNamesPage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit PointNamesPage(WizardFlow& flow);
    void Enter() override;
    void Leave() override;
    QTableWidget* Table() const { return table_; }

private:
    void Fill(int selectRow);
    QTableWidget* table_;
};

// Page 3: the segments between the points.
class SegmentsPage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit SegmentsPage(WizardFlow& flow);
    void Enter() override;
    void Leave() override;
    QTableWidget* Table() const { return table_; }
    void AddSegment(const QString& name, int anchor, int base);

private:
    void Fill();
    QTableWidget* table_;
};

// Page 4: the calibration setups to use, or "New Calibration".
class CalibrationChoicePage : public WizardPageWidget {
    Q_OBJECT
public:
    CalibrationChoicePage(WizardFlow& flow, WizardDialog& wizard);
    void Enter() override;
    QComboBox* Calibrations() const { return calibrations_; }

private:
    void ShowDescription();
    QComboBox* calibrations_;
    QLabel* description_;
};

// Page 5: the calibration's name and method.
class CalibrationNamePage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit CalibrationNamePage(WizardFlow& flow);
    void Enter() override;
    void Leave() override;
    QComboBox* Names() const { return names_; }
    QRadioButton* Method(int code) const { return methods_[code]; }

private:
    QComboBox* names_;
    QRadioButton* methods_[3];
};

// Page 6: the subject's height for the posture method.
class PosturePage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit PosturePage(WizardFlow& flow);
    void Enter() override;
    void Leave() override;
    QLineEdit* Height() const { return height_; }

private:
    QLineEdit* height_;
};

// Page 7: the world positions of the frame's control points.
class FramePointsPage : public WizardPageWidget {
    Q_OBJECT
public:
    explicit FramePointsPage(WizardFlow& flow);
    void Enter() override;
    ControlPointEditor* Editor() const { return editor_; }

private:
    ControlPointEditor* editor_;
};

// The last page: what finishing will do.
class FinishedPage : public WizardPageWidget {
    Q_OBJECT
public:
    FinishedPage(WizardFlow& flow, WizardPage page);
    void Enter() override;

private:
    WizardPage page_;
    QLabel* text_;
};

}  // namespace kadivo
