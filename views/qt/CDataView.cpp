#include "CDataView.h"

#include "CKadivoDoc.h"
#include "DocumentSession.h"
#include "ExportDialogs.h"
#include "GraphDialogs.h"
#include "GraphPainter.h"
#include "QtSettingsStore.h"
#include "SettingsValues.h"
#include "dialogs/ExportOptionDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QWheelEvent>

namespace kadivo {

namespace {

using C = CommandId;

constexpr const char* kColourSection = "DataWnd";
const QColor kMarkerColour(255, 255, 0);

// The commands of the window's context menu, as in the "Analysis" menu.
constexpr CommandId kContextCommands[] = {C::AddLinearCurve, C::AddAngularCurve, C::RemoveCurve, C::CurveProperties,
                                          kSeparator,        C::NewGraph,        C::RemoveGraph, C::GraphProperties,
                                          C::ClearGraph,     C::GraphGrid,       kSeparator,     C::OptimizeXAxis,
                                          C::OptimizeLeftYAxis, C::OptimizeRightYAxis, kSeparator, C::NewAnalysisWindow,
                                          C::CopyDataToClipboard, C::SaveGraphAs};

}  // namespace

CDataView::CDataView(DocumentSession& session, const GraphWindowState& state) : ChildWindow(session), model_(state) {
    setObjectName("analysisWindow");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(240, 160);
    resize(640, 480);
}

CKadivoDoc& CDataView::Doc() const { return session().doc(); }

std::optional<WindowState> CDataView::State() const { return model_.state(); }

int CDataView::MarkerFrame() const {
    const CKadivoDoc& doc = Doc();
    if (doc.views.empty()) return -1;
    const CameraView& view = doc.current();
    return view.currentFrame - view.syncFrame;
}

void CDataView::Redraw() {
    dirty_ = true;
    update();
}

// Pages and files get their layout on a copy: the window's own rectangles serve its clicks,
// read-outs and frame marker, and are saved with the sequence.
void CDataView::DrawInto(QPainter& painter, QSize size, bool onlySelected) const {
    GraphWindowState drawn = model_.state();
    if (onlySelected) {
        const DataGraphState* selected = model_.SelectedGraph();
        drawn.graphs = {selected ? *selected : model_.state().graphs.front()};
        drawn.selectedGraph = -1;
    }
    GraphWindowModel copy(std::move(drawn));
    PaintGraphs(painter, copy, size, Doc().framePeriod);
}

void CDataView::paintEvent(QPaintEvent* event) {
    if (dirty_ || canvas_.size() != size()) {
        canvas_ = QImage(size(), QImage::Format_RGB32);
        QPainter painter(&canvas_);
        PaintGraphs(painter, model_, size(), Doc().framePeriod);
        dirty_ = false;
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
    // The frame marker over the picture: only its strips are painted again when the frame moves.
    markedFrame_ = MarkerFrame();
    painter.setPen(QPen(kMarkerColour, 1));
    const int frames = Doc().worldFrameCount;
    for (const GraphRect& rect : model_.Rects())
        if (const std::optional<double> x = MarkerX(rect, markedFrame_, frames)) {
            const PlotArea area = PlotAreaOf(rect);
            painter.drawLine(QPointF(*x, area.top), QPointF(*x, area.bottom()));
        }
}

std::vector<QRect> CDataView::MarkerRects(int frame) const {
    std::vector<QRect> rects;
    for (const GraphRect& rect : model_.Rects())
        if (const std::optional<double> x = MarkerX(rect, frame, Doc().worldFrameCount)) {
            const PlotArea area = PlotAreaOf(rect);
            rects.emplace_back(static_cast<int>(*x) - 2, static_cast<int>(area.top) - 1, 5, static_cast<int>(area.height) + 3);
        }
    return rects;
}

void CDataView::UpdateMarkers() {
    const int frame = MarkerFrame();
    if (frame == markedFrame_) return;
    for (const QRect& rect : MarkerRects(markedFrame_)) update(rect);
    for (const QRect& rect : MarkerRects(frame)) update(rect);
}

QImage CDataView::Picture() {
    QImage picture(size(), QImage::Format_RGB32);
    render(&picture);
    return picture;
}

void CDataView::resizeEvent(QResizeEvent* event) {
    ChildWindow::resizeEvent(event);
    dirty_ = true;
}

void CDataView::OnDocumentChanged(const DocumentChange& change) {
    // Curves keep their samples, unless the sequence keeps its world data current: then the
    // curves that know their source follow them.
    if (change.what.Has(Change::WorldData) && Doc().options.recomputeAfterChange != 0 && RemakeCurves(Doc(), model_.state()))
        ContentsEdited();
    if (change.what.HasAny(Change::Frame | Change::CurrentView | Change::SyncFrame | Change::WorldData)) UpdateMarkers();
    if (change.what.HasAny(Change::WorldData | Change::FrameRate | Change::SequenceOpened)) Redraw();
}

void CDataView::Print(QPainter& painter, const QRect& page) {
    painter.save();
    painter.translate(page.topLeft());
    DrawInto(painter, page.size(), false);
    painter.restore();
}

void CDataView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    Open(model_.Click(event->position().x(), event->position().y(), shift));
}

void CDataView::Open(GraphWindowModel::ClickOutcome outcome) {
    Redraw();
    if (outcome == GraphWindowModel::ClickOutcome::GraphProperties) EditGraphProperties();
    else if (outcome == GraphWindowModel::ClickOutcome::CurveProperties) EditCurveProperties();
}

void CDataView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    const std::vector<GraphRect> rects = model_.Rects();
    for (std::size_t g = rects.size(); g-- > 0;)
        if (rects[g].Contains(at.x(), at.y())) {
            const std::optional<std::string> text = ReadOut(model_.state().graphs[g], rects[g], at.x(), at.y());
            if (text) emit readoutChanged(QString::fromStdString(*text));
            return;
        }
}

void CDataView::wheelEvent(QWheelEvent* event) {
    CKadivoDoc& doc = Doc();
    if (doc.views.empty()) return;
    if (const std::optional<int> frame = wheel_.Turn(doc.current().currentFrame, event->angleDelta().y(), doc.worldFrameCount))
        doc.ShowFrameInCurrentView(*frame);
    event->accept();
}

void CDataView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: Open(model_.EnterKey()); return;
        case Qt::Key_Delete:
            if (const std::optional<std::string> question = model_.DeleteQuestion())
                if (session().prompts().Ask(*question, Buttons::YesNoCancel, {GraphWindowModel::kWarningCaption, true, 0}) ==
                    Answer::Yes) {
                    model_.Delete();
                    ContentsEdited();
                    Redraw();
                }
            return;
        default: ChildWindow::keyPressEvent(event);
    }
}

void CDataView::contextMenuEvent(QContextMenuEvent* event) {
    if (!action_) return;
    QMenu menu(this);
    for (CommandId id : kContextCommands) {
        if (id == kSeparator) {
            menu.addSeparator();
            continue;
        }
        QAction* action = action_(id);
        if (const std::optional<CommandStatus> status = CommandStatusFor(id)) action->setEnabled(status->enabled);
        menu.addAction(action);
    }
    menu.exec(event->globalPos());
}

void CDataView::AddLinearCurves() {
    CKadivoDoc& doc = Doc();
    ExportLinearDialog dialog(LinearExportRows(doc), session().prompts(), this, KinematicsDialogUse::AddCurves);
    if (dialog.exec() != QDialog::Accepted) return;
    model_.AddCurves(LinearCurves(doc, dialog.Options()));
    ContentsEdited();
    Redraw();
}

void CDataView::AddAngularCurves() {
    CKadivoDoc& doc = Doc();
    ExportAngularDialog dialog(AngularExportRows(doc), session().prompts(), this, KinematicsDialogUse::AddCurves);
    if (dialog.exec() != QDialog::Accepted) return;
    model_.AddCurves(AngularCurves(doc, dialog.Options()));
    ContentsEdited();
    Redraw();
}

void CDataView::EditGraphProperties() {
    const QtSettingsStore settings;
    GraphPropertiesDialog dialog(model_.PropertiesOfSelectedGraph(GetInt(settings, kColourSection, "Default Color", 0),
                                                                  GetInt(settings, kColourSection, "Default Curve Color", 0xFFFFFF),
                                                                  GetInt(settings, kColourSection, "Default Graph Color", 0xFFFFFF)),
                                 session().prompts(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const GraphProperties properties = dialog.Properties();
    model_.ApplyGraphProperties(properties);
    ContentsEdited();
    QtSettingsStore store;
    SetInt(store, kColourSection, "Default Color", properties.background);
    SetInt(store, kColourSection, "Default Curve Color", properties.curves);
    SetInt(store, kColourSection, "Default Graph Color", properties.graphs);
    Redraw();
}

void CDataView::EditCurveProperties() {
    const std::optional<CurveProperties> properties = model_.PropertiesOfSelectedCurve();
    if (!properties) return;
    CurvePropertiesDialog dialog(*properties, this);
    if (dialog.exec() != QDialog::Accepted) return;
    model_.ApplyCurveProperties(dialog.Properties());
    ContentsEdited();
    Redraw();
}

void CDataView::CopyToClipboard() {
    const DataGraphState* graph = model_.SelectedGraph();
    const std::string text = graph ? ClipboardText(*graph) : std::string();
    if (text.empty()) return;
    QApplication::clipboard()->setText(QString::fromStdString(text));
    session().prompts().ShowMessage(GraphWindowModel::kCopiedMessage, {"", false, 0});
}

bool CDataView::SaveGraph(const QString& path, bool wholeWindow) {
    const QString kind = QFileInfo(path).suffix().toLower();
    const QSize area = size();
    if (kind == "svg") {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(area);
        svg.setViewBox(QRect(QPoint(0, 0), area));
        svg.setTitle(QString::fromStdString(model_.SelectedGraph() ? model_.SelectedGraph()->title : "Data Graph"));
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        DrawInto(painter, area, !wholeWindow);
        return painter.end();
    }
    if (kind == "pdf") {
        QPdfWriter pdf(path);
        pdf.setPageOrientation(area.width() >= area.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
        QPainter painter;
        if (!painter.begin(&pdf)) return false;
        const QRect page = painter.viewport();
        const double scale = std::min(static_cast<double>(page.width()) / area.width(), static_cast<double>(page.height()) / area.height());
        // Drawn at the printer's resolution: the layout is made for the page, not scaled up.
        DrawInto(painter, QSize(static_cast<int>(area.width() * scale), static_cast<int>(area.height() * scale)), !wholeWindow);
        return painter.end();
    }
    QImage image(area, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawInto(painter, area, !wholeWindow);
    painter.end();
    return image.save(path, "PNG");
}

void CDataView::SaveGraphFromBox() {
    const std::optional<std::string> chosen = session().prompts().ChooseSaveFile(
        "Graph.png", "png", "PNG Picture (*.png)|*.png|SVG Drawing (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf||");
    if (!chosen) return;
    if (!SaveGraph(QString::fromStdString(*chosen), model_.SelectedGraph() == nullptr))
        session().prompts().ShowMessage("The graph could not be saved as " + *chosen + ".");
}

bool CDataView::HandleCommand(CommandId id) {
    switch (id) {
        case C::AddLinearCurve: AddLinearCurves(); return true;
        case C::AddAngularCurve: AddAngularCurves(); return true;
        case C::RemoveCurve: model_.RemoveSelectedCurve(); break;
        case C::CurveProperties: EditCurveProperties(); return true;
        case C::NewGraph: model_.NewGraph(); break;
        case C::RemoveGraph: model_.RemoveSelectedGraph(); break;
        case C::GraphProperties: EditGraphProperties(); return true;
        case C::ClearGraph: model_.ClearSelectedGraph(); break;
        case C::GraphGrid: model_.ToggleGrid(); break;
        case C::OptimizeXAxis: model_.Optimize(GraphWindowModel::Axis::X); break;
        case C::OptimizeLeftYAxis: model_.Optimize(GraphWindowModel::Axis::Left); break;
        case C::OptimizeRightYAxis: model_.Optimize(GraphWindowModel::Axis::Right); break;
        case C::CopyDataToClipboard: CopyToClipboard(); return true;
        case C::SaveGraphAs: SaveGraphFromBox(); return true;
        default: return false;
    }
    ContentsEdited();
    Redraw();
    return true;
}

std::optional<CommandStatus> CDataView::CommandStatusFor(CommandId id) const {
    const DataGraphState* graph = model_.SelectedGraph();
    const bool curve = const_cast<GraphWindowModel&>(model_).SelectedCurve() != nullptr;
    const bool world = CanExportWorldData(Doc());
    switch (id) {
        case C::AddLinearCurve:
        case C::AddAngularCurve: return CommandStatus{world, false};
        case C::RemoveCurve:
        case C::CurveProperties: return CommandStatus{curve, false};
        case C::NewGraph: return CommandStatus{model_.graphCount() < GraphWindowState::kMaxGraphs, false};
        case C::RemoveGraph: return CommandStatus{graph && model_.graphCount() > 1, false};
        case C::GraphProperties:
        case C::ClearGraph:
        case C::OptimizeXAxis:
        case C::OptimizeLeftYAxis:
        case C::OptimizeRightYAxis: return CommandStatus{graph != nullptr, false};
        case C::GraphGrid: return CommandStatus{graph != nullptr, graph && graph->gridOn};
        case C::CopyDataToClipboard: return CommandStatus{graph && !graph->curves.empty(), false};
        case C::SaveGraphAs: return CommandStatus{true, false};
        default: return std::nullopt;
    }
}

}  // namespace kadivo
