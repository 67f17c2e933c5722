#include "DltParametersDialog.h"

#include "CDltCalibration.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kadivo {

DltParametersDialog::DltParametersDialog(const DltParameterTable& table, std::vector<std::vector<ControlPointError>> report,
                                         std::vector<bool> degenerate, QWidget* parent)
    : QDialog(parent), table_(table), report_(std::move(report)), degenerate_(std::move(degenerate)),
      views_(new QComboBox(this)), rows_(new QTreeWidget(this)), points_(new QTreeWidget(this)),
      warning_(new QLabel(QString::fromUtf8(kDegenerateCalibration), this)) {
    setWindowTitle("DLT Reconstruction Parameters");
    for (int view = 1; view <= table.viewCount; ++view) views_->addItem(QString("View %1").arg(view));
    rows_->setRootIsDecorated(false);
    rows_->setColumnCount(2);
    rows_->setHeaderLabels({"ID", "Value"});
    rows_->setColumnWidth(0, 50);
    rows_->setColumnWidth(1, 120);
    rows_->setMinimumHeight(300);
    points_->setRootIsDecorated(false);
    points_->setColumnCount(3);
    points_->setHeaderLabels({"Control point", "Reprojection", "Leave-one-out"});
    points_->setColumnWidth(0, 100);
    points_->setToolTip("The distance in pixels between where each control point was digitized and where the view's "
                        "parameters put it: with every point, and with the view calibrated without this point.");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(views_);
    warning_->setObjectName("degenerateWarning");
    warning_->setStyleSheet("color: #b00020; font-weight: bold;");
    layout->addWidget(warning_);
    auto* lists = new QHBoxLayout;
    lists->addWidget(rows_);
    lists->addWidget(points_, 1);
    layout->addLayout(lists);
    layout->addWidget(buttons);
    connect(views_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowView(index + 1); });
    ShowView(1);
}

void DltParametersDialog::ShowView(int view) {
    warning_->setVisible(view >= 1 && view <= static_cast<int>(degenerate_.size()) && degenerate_[static_cast<std::size_t>(view - 1)]);
    rows_->clear();
    for (const auto& [id, value] : DltParameterRows(table_, view))
        rows_->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(id), QString::fromStdString(value)}));
    points_->clear();
    if (view < 1 || view > static_cast<int>(report_.size())) return;
    for (const ControlPointError& error : report_[static_cast<std::size_t>(view - 1)])
        points_->addTopLevelItem(new QTreeWidgetItem({QString("Point %1").arg(error.point + 1),
                                                      QString::asprintf("%.3f px", error.reprojection),
                                                      QString::asprintf("%.3f px", error.leaveOneOut)}));
}

}  // namespace kadivo
