#pragma once

#include "ChildWindow.h"
#include "FrameWheel.h"
#include "GraphWindowModel.h"

#include <QImage>

namespace kadivo {

class CKadivoDoc;

// The analysis window: up to six graphs of kinematic curves, drawn once into an image and
// copied to the window, with the document's current frame marked on every graph.
class CDataView : public ChildWindow {
    Q_OBJECT
public:
    CDataView(DocumentSession& session, const GraphWindowState& state);

    std::optional<WindowState> State() const override;
    bool HandleCommand(CommandId id) override;
    std::optional<CommandStatus> CommandStatusFor(CommandId id) const override;
    void OnDocumentChanged(const DocumentChange& change) override;
    void AttachCommands(const std::function<QAction*(CommandId)>& action) override { action_ = action; }
    void Print(QPainter& painter, const QRect& page) override;

    GraphWindowModel& Model() { return model_; }
    // The frame the marker shows: the current view's frame from its sync frame.
    int MarkerFrame() const;
    // The window's whole picture as it is drawn, marker included.
    QImage Picture();
    // "Save Graph As...": the selected graph, or the whole window when `wholeWindow`, as PNG,
    // SVG or PDF by the file's extension; false when it could not be written.
    bool SaveGraph(const QString& path, bool wholeWindow);
    void AddLinearCurves();
    void AddAngularCurves();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CKadivoDoc& Doc() const;
    void Redraw();
    void UpdateMarkers();
    std::vector<QRect> MarkerRects(int frame) const;
    void EditGraphProperties();
    void EditCurveProperties();
    void Open(GraphWindowModel::ClickOutcome outcome);
    void CopyToClipboard();
    void SaveGraphFromBox();
    void DrawInto(QPainter& painter, QSize size, bool onlySelected) const;

    std::function<QAction*(CommandId)> action_;  // the program's commands, for the context menu
    GraphWindowModel model_;
    FrameWheel wheel_;
    QImage canvas_;
    bool dirty_ = true;
    int markedFrame_ = -1;
};

}  // namespace kadivo
