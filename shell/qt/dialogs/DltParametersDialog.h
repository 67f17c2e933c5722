#pragma once

#include "DltParameterTable.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

namespace kadivo {

// "DLT Reconstruction Parameters": the parameters of one view at a time; changes nothing.
class DltParametersDialog : public QDialog {
    Q_OBJECT
public:
    DltParametersDialog(const DltParameterTable& table, QWidget* parent);
    // Lists the view chosen (1-based).
    void ShowView(int view);

private:
    const DltParameterTable& table_;
    QComboBox* views_;
    QTreeWidget* rows_;
};

}  // namespace kadivo
