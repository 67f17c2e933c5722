#include "ControlPointEditor.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace kadivo {

ControlPointEditor::ControlPointEditor(QWidget* parent)
    : QWidget(parent), list_(new QTableWidget(0, 3)), add_(new QPushButton("Add")), remove_(new QPushButton("Remove")),
      error_(new QLabel) {
    list_->setObjectName("controlPoints");
    list_->setHorizontalHeaderLabels({"X", "Y", "Z"});
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    error_->setObjectName("error");
    error_->setStyleSheet("color: #b00020");
    error_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    layout->addWidget(error_);
    connect(add_, &QPushButton::clicked, this, [this] {
        if (!table_) return;
        table_->Add();
        Fill();
        list_->setCurrentCell(table_->rowCount() - 1, 0);
        list_->editItem(list_->currentItem());
        emit edited();
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        if (!table_) return;
        std::set<int> rows;
        for (const QModelIndex& index : list_->selectionModel()->selectedIndexes()) rows.insert(index.row());
        table_->RemoveRows({rows.begin(), rows.end()});
        Fill();
        emit edited();
    });
    connect(list_, &QTableWidget::cellChanged, this, &ControlPointEditor::CellEdited);
}

void ControlPointEditor::SetTable(ControlPointTable* table) {
    table_ = table;
    Fill();
}

void ControlPointEditor::Fill() {
    filling_ = true;
    const int rows = table_ ? table_->rowCount() : 0;
    list_->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        for (int axis = 0; axis < 3; ++axis) {
            auto* item = new QTableWidgetItem(QString::fromStdString(table_->Cell(row, axis)));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            list_->setItem(row, axis, item);
        }
    filling_ = false;
}

void ControlPointEditor::CellEdited(int row, int column) {
    if (filling_ || !table_) return;
    QTableWidgetItem* item = list_->item(row, column);
    const std::optional<std::string> error = table_->SetCell(row, column, item->text().toStdString());
    error_->setText(error ? QString::fromStdString(*error) : QString());
    filling_ = true;
    item->setText(QString::fromStdString(table_->Cell(row, column)));
    filling_ = false;
    if (!error) emit edited();
}

}  // namespace kadivo
