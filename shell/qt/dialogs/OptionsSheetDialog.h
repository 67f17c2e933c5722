#pragma once

#include "ControlPointTable.h"
#include "Prompts.h"
#include "SequenceOptionsSheet.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTabWidget;

namespace kadivo {

class ControlPointEditor;

// "Sequence Properties": the six pages of a sequence's options — General, Automatic Search,
// Video Capture, Filtering/Interpolation, Point Configuration and Calibration — on a copy of
// the document's values; OK writes them back into the record, anything else leaves it.
class OptionsSheetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTabs[] = {"General",         "Automatic Search",    "Video Capture",
                                            "Filtering/Interpolation", "Point Configuration", "Calibration"};

    OptionsSheetDialog(SequenceOptionsSheet& sheet, Prompts& prompts, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return tabs_; }
    // The page's control labelled `label` (its object name).
    template <typename Control>
    Control* Find(const char* label) const { return findChild<Control*>(label); }
    ControlPointEditor* ControlPoints() const { return points_; }

    void accept() override;

private:
    QWidget* GeneralPage();
    QWidget* SearchPage();
    QWidget* CapturePage();
    QWidget* FilteringPage();
    QWidget* PointPage();
    QWidget* CalibrationPage();
    void ShowCalibrationType(int type);
    void SelectCalibrationProfile();
    void WriteBack();

    SequenceOptionsSheet& sheet_;
    Prompts& prompts_;
    QTabWidget* tabs_;
    ControlPointTable table_;
    std::vector<Point3> pointsAsOpened_;
    ControlPointEditor* points_ = nullptr;
    QButtonGroup* locate_ = nullptr;
    QButtonGroup* templateMethod_ = nullptr;
    QButtonGroup* interpolation_ = nullptr;
    QButtonGroup* filtering_ = nullptr;
    QButtonGroup* splineOrder_ = nullptr;
    QButtonGroup* cutOffMethod_ = nullptr;
    QButtonGroup* calibrationType_ = nullptr;
    QListWidget* missing_ = nullptr;
    QListWidget* static_ = nullptr;
    QComboBox* profiles_ = nullptr;
    QLineEdit* height_ = nullptr;
};

}  // namespace kadivo
