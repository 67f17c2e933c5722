#pragma once

#include "ImportedPositions.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QTreeWidget;

namespace kadivo {

// "Import 2D Points": for each point of the file, the model point it becomes or "(not
// imported)"; and the likelihood under which a sample counts as not found.
class TrackImportDialog : public QDialog {
    Q_OBJECT
public:
    TrackImportDialog(const TrackImportPlan& plan, const std::vector<std::string>& theirNames,
                      const std::vector<std::string>& modelNames, bool hasLikelihood, QWidget* parent);
    TrackImportPlan Plan() const;

    QTreeWidget* pairs;
    std::vector<QComboBox*> choices;
    QDoubleSpinBox* likelihood;
};

}  // namespace kadivo
