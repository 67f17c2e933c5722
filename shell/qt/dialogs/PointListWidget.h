#pragma once

#include "ExportDialogs.h"

#include <QWidget>

#include <vector>

class QTreeWidget;

namespace kadivo {

// A list of points or joints with a check box a row, and "All" and "None" buttons.
class PointListWidget : public QWidget {
    Q_OBJECT
public:
    PointListWidget(const std::vector<ExportListRow>& rows, const QString& nameHeading, int nameWidth, int sideWidth,
                    bool fullRowSelection, QWidget* parent = nullptr);
    std::vector<bool> Checked() const;
    void SetAll(bool checked);
    QTreeWidget* List() const { return list_; }

private:
    QTreeWidget* list_;
};

}  // namespace kadivo
