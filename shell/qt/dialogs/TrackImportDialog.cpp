#include "TrackImportDialog.h"

#include "DialogParts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kadivo {

TrackImportDialog::TrackImportDialog(const TrackImportPlan& plan, const std::vector<std::string>& theirNames,
                                     const std::vector<std::string>& modelNames, bool hasLikelihood, QWidget* parent)
    : QDialog(parent), pairs(new QTreeWidget), likelihood(new QDoubleSpinBox) {
    setWindowTitle("Import 2D Points");
    pairs->setRootIsDecorated(false);
    pairs->setHeaderLabels({"Point in the File", "Model Point"});
    pairs->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (std::size_t i = 0; i < theirNames.size(); ++i) {
        auto* item = new QTreeWidgetItem(pairs, {QString::fromStdString(theirNames[i])});
        auto* choice = new QComboBox;
        choice->addItem("(not imported)");
        for (const std::string& name : modelNames) choice->addItem(QString::fromStdString(name));
        const int chosen = i < plan.modelPointOf.size() ? plan.modelPointOf[i] : -1;
        choice->setCurrentIndex(chosen + 1);
        pairs->setItemWidget(item, 1, choice);
        choices.push_back(choice);
    }
    likelihood->setRange(0.0, 1.0);
    likelihood->setSingleStep(0.05);
    likelihood->setDecimals(2);
    likelihood->setValue(plan.minimumLikelihood);
    likelihood->setEnabled(hasLikelihood);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Points of the same name are paired; choose the model point of the others."));
    layout->addWidget(pairs, 1);
    auto* form = new QFormLayout;
    form->addRow("Missing below likelihood", likelihood);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
    resize(420, 360);
}

TrackImportPlan TrackImportDialog::Plan() const {
    TrackImportPlan plan;
    for (const QComboBox* choice : choices) plan.modelPointOf.push_back(choice->currentIndex() - 1);
    plan.minimumLikelihood = static_cast<float>(likelihood->value());
    return plan;
}

}  // namespace kadivo
