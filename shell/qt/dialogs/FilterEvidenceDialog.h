#pragma once

#include "FilterEvidencePlots.h"

#include <QDialog>
#include <QWidget>

#include <vector>

class QComboBox;

namespace kadivo {

class CKadivoDoc;

// The plots of one point's evidence, a row a coordinate; draws what it is given.
class FilterEvidencePlots : public QWidget {
public:
    explicit FilterEvidencePlots(QWidget* parent = nullptr);
    void SetRows(std::vector<EvidenceRow> rows);
    const std::vector<EvidenceRow>& Rows() const { return rows_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<EvidenceRow> rows_;
};

// "Filter Evidence": for the point chosen, how each of its coordinates was smoothed: the
// trajectory before and after, the residual and the criterion the filter was chosen on.
class FilterEvidenceDialog : public QDialog {
    Q_OBJECT
public:
    FilterEvidenceDialog(const CKadivoDoc& doc, QWidget* parent);
    QComboBox* Points() const { return points_; }
    FilterEvidencePlots* Plots() const { return plots_; }

private:
    void ShowPoint(int entry);

    const CKadivoDoc& doc_;
    QComboBox* points_;
    FilterEvidencePlots* plots_;
};

}  // namespace kadivo
