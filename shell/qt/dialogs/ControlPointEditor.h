#pragma once

#include "ControlPointTable.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kadivo {

// The control points of a calibration frame as an editable list: X, Y and Z cells, "Add"
// and "Remove" (of every selected row). A cell that is not a number is put back, and the
// reason shows under the list.
class ControlPointEditor : public QWidget {
    Q_OBJECT
public:
    explicit ControlPointEditor(QWidget* parent = nullptr);
    // The table the editor shows and changes; it must outlive the editor's use of it.
    void SetTable(ControlPointTable* table);
    QTableWidget* Table() const { return list_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }
    QLabel* Error() const { return error_; }

signals:
    void edited();

private:
    void Fill();
    void CellEdited(int row, int column);

    ControlPointTable* table_ = nullptr;
    QTableWidget* list_;
    QPushButton* add_;
    QPushButton* remove_;
    QLabel* error_;
    bool filling_ = false;
};

}  // namespace kadivo
