#include "ModelPropertiesDialog.h"

#include "DialogParts.h"
#include "ModelPropertiesTree.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kadivo {

namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kShownRole = Qt::UserRole + 2;  // the label before an edit

// Small drawings of the items: a side, a point, a segment and its two parameters.
QIcon ItemIcon(const QStyle* style, int image) {
    if (image == ModelTreeItem::kSideImage) return style->standardIcon(QStyle::SP_DirIcon);
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x33, 0x47, 0x5b), accent(0x2f, 0x7d, 0xe1);
    switch (image) {
        case ModelTreeItem::kPointImage:
            painter.setPen(Qt::NoPen);
            painter.setBrush(accent);
            painter.drawEllipse(QPointF(8, 8), 5, 5);
            break;
        case ModelTreeItem::kSegmentImage:
            painter.setPen(QPen(ink, 2));
            painter.drawLine(3, 13, 13, 3);
            painter.setBrush(accent);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QPointF(3, 13), 2.5, 2.5);
            painter.drawEllipse(QPointF(13, 3), 2.5, 2.5);
            break;
        default:
            painter.setPen(QPen(ink, 1.2));
            painter.setBrush(image == ModelTreeItem::kParamAImage ? QColor(0xe6, 0xa2, 0x3c) : QColor(0x2e, 0x9d, 0x5b));
            painter.drawRect(QRectF(4.5, 4.5, 7, 7));
            break;
    }
    return QIcon(picture);
}

void AddItems(QTreeWidgetItem* parent, QTreeWidget* tree, const std::vector<ModelTreeItem>& items) {
    for (const ModelTreeItem& item : items) {
        auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        node->setText(0, QString::fromStdString(item.text));
        node->setIcon(0, ItemIcon(tree->style(), item.image));
        node->setData(0, kCodeRole, item.code);
        node->setData(0, kImageRole, item.image);
        node->setData(0, kShownRole, QString::fromStdString(item.text));
        if (CanEditModelItem(item)) node->setFlags(node->flags() | Qt::ItemIsEditable);
        if (item.image == ModelTreeItem::kParamAImage || item.image == ModelTreeItem::kParamBImage)
            node->setToolTip(0, item.image == ModelTreeItem::kParamAImage ? "Centre of mass ratio" : "Mass fraction");
        AddItems(node, tree, item.children);
    }
}

}  // namespace

ModelPropertiesDialog::ModelPropertiesDialog(const ModelTable& model, int pointCount, QWidget* parent)
    : QDialog(parent), model_(model), pointCount_(pointCount), tree_(new QTreeWidget(this)) {
    setWindowTitle("Model Properties");
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::DoubleClicked);
    AddItems(nullptr, tree_, BuildModelTree(model, pointCount));
    tree_->expandToDepth(0);
    tree_->setMinimumSize(320, 380);
    connect(tree_, &QTreeWidget::itemChanged, this, &ModelPropertiesDialog::OnItemChanged);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    layout->addWidget(OkCancelButtons(this));
}

void ModelPropertiesDialog::OnItemChanged(QTreeWidgetItem* item, int) {
    if (item->data(0, kImageRole).toInt() == ModelTreeItem::kSideImage) return;
    const QString text = item->text(0);
    if (text == item->data(0, kShownRole).toString()) return;
    const QSignalBlocker quiet(tree_);
    // An edit that ends without text changes nothing.
    if (text.isEmpty()) {
        item->setText(0, item->data(0, kShownRole).toString());
        return;
    }
    item->setData(0, kShownRole, text);
    ApplyModelItemEdit(model_, pointCount_, item->data(0, kCodeRole).toUInt(), text.toStdString());
}

}  // namespace kadivo
