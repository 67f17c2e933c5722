#pragma once

#include "ModelPoint.h"

#include <QDialog>

class QTreeWidget;
class QTreeWidgetItem;

namespace kadivo {

// "Model Properties": the sequence's model as a tree of sides, points, segments and their
// two parameters, with the labels edited in place. Edits are stored in the dialog's copy
// of the model at once; OK and Cancel both keep them.
class ModelPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ModelPropertiesDialog(const ModelTable& model, int pointCount, QWidget* parent);
    const ModelTable& Model() const { return model_; }
    QTreeWidget* Tree() const { return tree_; }

private:
    void OnItemChanged(QTreeWidgetItem* item, int column);

    ModelTable model_;
    int pointCount_;
    QTreeWidget* tree_;
};

}  // namespace kadivo
