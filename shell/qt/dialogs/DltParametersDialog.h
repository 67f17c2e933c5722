#pragma once

#include "CalibrationReport.h"
#include "DltParameterTable.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QTreeWidget;

namespace kadivo {

// "DLT Reconstruction Parameters": the parameters of one view at a time, and how well each
// control point fits that view (worst leave-one-out error first); changes nothing.
class DltParametersDialog : public QDialog {
    Q_OBJECT
public:
    // `report` holds the control points' errors of each view, in view order; `degenerate`
    // says of each view whether its control points determine no camera.
    DltParametersDialog(const DltParameterTable& table, std::vector<std::vector<ControlPointError>> report,
                        std::vector<bool> degenerate, QWidget* parent);
    // Lists the view chosen (1-based).
    void ShowView(int view);
    QTreeWidget* Parameters() const { return rows_; }
    QTreeWidget* ControlPoints() const { return points_; }
    QLabel* Warning() const { return warning_; }

private:
    const DltParameterTable& table_;
    std::vector<std::vector<ControlPointError>> report_;
    std::vector<bool> degenerate_;
    QComboBox* views_;
    QTreeWidget* rows_;
    QTreeWidget* points_;
    QLabel* warning_;
};

}  // namespace kadivo
