#include "FilterEvidenceDialog.h"

#include "CKadivoDoc.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace kadivo {

namespace {

QPen PenOf(EvidenceLine kind) {
    switch (kind) {
        case EvidenceLine::Raw: return QPen(QColor(150, 150, 150), 1.0);
        case EvidenceLine::Filtered: return QPen(QColor(0, 70, 200), 1.6);
        case EvidenceLine::Residual: return QPen(QColor(120, 60, 0), 1.0);
        case EvidenceLine::Criterion: return QPen(QColor(0, 120, 40), 1.6);
        case EvidenceLine::NoiseLine: return QPen(QColor(90, 90, 90), 1.0, Qt::DashLine);
        case EvidenceLine::Limit: return QPen(QColor(90, 90, 90), 1.0, Qt::DashLine);
    }
    return {};
}

QString Label(double value) { return QString::number(value, 'g', 4); }

void DrawPlot(QPainter& painter, const EvidencePlot& plot, const QRectF& cell) {
    const QFontMetricsF metrics(painter.font());
    const double text = metrics.height();
    // A plot without an x label shares the time axis of the plot below it.
    const bool xAxis = !plot.xLabel.empty();
    const QRectF area = cell.adjusted(metrics.horizontalAdvance("-0.0000e+00") + 4, text + 2, -6, xAxis ? -2 * text - 2 : -4);
    if (area.width() < 10 || area.height() < 10) return;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), cell.top(), area.width(), text), Qt::AlignLeft, QString::fromStdString(plot.title));
    painter.drawRect(area);
    const auto x = [&](double v) { return area.left() + (v - plot.xMin) / (plot.xMax - plot.xMin) * area.width(); };
    const auto y = [&](double v) { return area.bottom() - (v - plot.yMin) / (plot.yMax - plot.yMin) * area.height(); };
    const double labelWidth = area.left() - cell.left() - 4;
    painter.drawText(QRectF(cell.left(), area.top(), labelWidth, text), Qt::AlignRight, Label(plot.yMax));
    painter.drawText(QRectF(cell.left(), area.bottom() - text, labelWidth, text), Qt::AlignRight, Label(plot.yMin));
    if (xAxis) {
        painter.drawText(QRectF(area.left(), area.bottom() + 1, area.width(), text), Qt::AlignLeft, Label(plot.xMin));
        painter.drawText(QRectF(area.left(), area.bottom() + 1, area.width(), text), Qt::AlignRight, Label(plot.xMax));
        painter.drawText(QRectF(area.left(), area.bottom() + 1 + text, area.width(), text), Qt::AlignHCenter,
                         QString::fromStdString(plot.xLabel));
    }
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const EvidencePlotLine& line : plot.lines) {
        QPainterPath path;
        bool first = true;
        for (const auto& [px, py] : line.points) {
            if (!std::isfinite(px) || !std::isfinite(py)) {
                first = true;
                continue;
            }
            const QPointF point(x(px), y(py));
            if (first) path.moveTo(point);
            else path.lineTo(point);
            first = false;
        }
        painter.setPen(PenOf(line.kind));
        painter.drawPath(path);
    }
    if (plot.marker) {
        painter.setPen(QPen(QColor(200, 0, 0), 1.4, Qt::DashLine));
        painter.drawLine(QPointF(x(*plot.marker), area.top()), QPointF(x(*plot.marker), area.bottom()));
    }
    painter.restore();
}

}  // namespace

FilterEvidencePlots::FilterEvidencePlots(QWidget* parent) : QWidget(parent) {
    setMinimumSize(720, 560);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void FilterEvidencePlots::SetRows(std::vector<EvidenceRow> rows) {
    rows_ = std::move(rows);
    update();
}

void FilterEvidencePlots::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetricsF metrics(painter.font());
    if (rows_.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, "The point was not reconstructed in any frame.");
        return;
    }
    const double rowHeight = height() / static_cast<double>(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const EvidenceRow& row = rows_[i];
        const QRectF band(0, static_cast<double>(i) * rowHeight, width(), rowHeight);
        QFont bold = painter.font();
        bold.setBold(true);
        painter.save();
        painter.setFont(bold);
        painter.drawText(band.adjusted(6, 2, -6, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(row.heading));
        painter.restore();
        const QRectF plots = band.adjusted(0, metrics.height() + 4, 0, 0);
        const double split = row.hasCriterion ? 0.58 : 1.0;
        const QRectF left(plots.left(), plots.top(), plots.width() * split, plots.height());
        DrawPlot(painter, row.trajectory, QRectF(left.left(), left.top(), left.width(), left.height() * 0.55));
        DrawPlot(painter, row.residual, QRectF(left.left(), left.top() + left.height() * 0.55, left.width(), left.height() * 0.45));
        if (row.hasCriterion)
            DrawPlot(painter, row.criterion, QRectF(left.right(), plots.top(), plots.width() - left.width(), plots.height()));
    }
}

FilterEvidenceDialog::FilterEvidenceDialog(const CKadivoDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), points_(new QComboBox), plots_(new FilterEvidencePlots) {
    setWindowTitle("Filter Evidence");
    points_->setObjectName("Point");
    for (int p = 0; p < doc.pointCount; ++p) points_->addItem(QString::fromStdString(doc.modelPoints[static_cast<std::size_t>(p)].name));
    points_->addItem("Centre of Gravity");
    auto* form = new QFormLayout;
    form->addRow("Point", points_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(plots_, 1);
    layout->addWidget(buttons);
    connect(points_, &QComboBox::currentIndexChanged, this, &FilterEvidenceDialog::ShowPoint);
    ShowPoint(0);
}

void FilterEvidenceDialog::ShowPoint(int entry) {
    plots_->SetRows(EvidenceRows(FilterEvidenceOf(doc_, entry), doc_.options.splineOrder, doc_.options.cutOffMethod, doc_.framePeriod));
}

}  // namespace kadivo
