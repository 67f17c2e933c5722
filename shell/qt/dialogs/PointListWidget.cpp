#include "PointListWidget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kadivo {

PointListWidget::PointListWidget(const std::vector<ExportListRow>& rows, const QString& nameHeading, int nameWidth,
                                 int sideWidth, bool fullRowSelection, QWidget* parent)
    : QWidget(parent), list_(new QTreeWidget(this)) {
    list_->setRootIsDecorated(false);
    list_->setColumnCount(2);
    list_->setHeaderLabels({nameHeading, "Side ID"});
    list_->setColumnWidth(0, nameWidth);
    list_->setColumnWidth(1, sideWidth);
    list_->setSelectionBehavior(fullRowSelection ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    list_->setMinimumHeight(180);
    for (const ExportListRow& row : rows) {
        auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(row.name), QString::fromStdString(row.side)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    auto* all = new QPushButton("All");
    auto* none = new QPushButton("None");
    connect(all, &QPushButton::clicked, this, [this] { SetAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { SetAll(false); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    layout->addLayout(buttons);
}

std::vector<bool> PointListWidget::Checked() const {
    std::vector<bool> checked;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) checked.push_back(list_->topLevelItem(i)->checkState(0) == Qt::Checked);
    return checked;
}

void PointListWidget::SetAll(bool checked) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        list_->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace kadivo
