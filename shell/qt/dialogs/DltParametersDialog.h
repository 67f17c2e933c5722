#pragma once

#include "CalibrationReport.h"
#include "DltParameterTable.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QTreeWidget;

namespace kadivo {

// "DLT Reconstruction Parameters": the parameters of one view at a time, and how well each
// control point fits that view (worst leave-one-out error first); changes nothing.
class DltParametersDialog : public QDialog {
    Q_OBJECT
public:
    // `report` holds the control points' errors of each view, in view order.
    DltParametersDialog(const DltParameterTable& table, std::vector<std::vector<ControlPointError>> report, QWidget* parent);
    // Lists the view chosen (1-based).
    void ShowView(int view);
    QTreeWidget* Parameters() const { return rows_; }
    QTreeWidget* ControlPoints() const { return points_; }

private:
    const DltParameterTable& table_;
    std::vector<std::vector<ControlPointError>> report_;
    QComboBox* views_;
    QTreeWidget* rows_;
    QTreeWidget* points_;
};

}  // namespace kadivo
