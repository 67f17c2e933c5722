#include "DltParametersDialog.h"

#include "CDltCalibration.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kadivo {

DltParametersDialog::DltParametersDialog(const DltParameterTable& table, QWidget* parent)
    : QDialog(parent), table_(table), views_(new QComboBox(this)), rows_(new QTreeWidget(this)) {
    setWindowTitle("DLT Reconstruction Parameters");
    for (int view = 1; view <= table.viewCount; ++view) views_->addItem(QString("View %1").arg(view));
    rows_->setRootIsDecorated(false);
    rows_->setColumnCount(2);
    rows_->setHeaderLabels({"ID", "Value"});
    rows_->setColumnWidth(0, 50);
    rows_->setColumnWidth(1, 120);
    rows_->setMinimumHeight(300);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(views_);
    layout->addWidget(rows_);
    layout->addWidget(buttons);
    connect(views_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowView(index + 1); });
    ShowView(1);
}

void DltParametersDialog::ShowView(int view) {
    rows_->clear();
    for (const auto& [id, value] : DltParameterRows(table_, view))
        rows_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(id), QString::fromStdString(value)}));
}

}  // namespace kadivo
