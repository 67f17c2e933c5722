#pragma once

#include "CurveSources.h"
#include "GraphModel.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// The analysis window's graphs, their selection and their commands, on the record the
// sequence file keeps.
class GraphWindowModel {
public:
    static constexpr const char* kRemoveCurveQuestion = "Remove Curve ?";
    static constexpr const char* kRemoveGraphQuestion = "Remove Graph ?";
    static constexpr const char* kWarningCaption = "Warning";
    static constexpr const char* kCopiedMessage = "The Data is available on the clipboard.";

    explicit GraphWindowModel(GraphWindowState state) : state_(std::move(state)) {}

    const GraphWindowState& state() const { return state_; }
    GraphWindowState& state() { return state_; }
    int graphCount() const { return static_cast<int>(state_.graphs.size()); }
    DataGraphState* SelectedGraph();
    const DataGraphState* SelectedGraph() const;
    DataCurveState* SelectedCurve();

    // The graphs' rectangles for a client area, stored into each graph.
    std::vector<GraphRect> LayOut(int width, int height);
    std::vector<GraphRect> Rects() const;

    // Curves go to the selected graph, or to the last one when none is selected; a curve of
    // a third unit is dropped. The number added.
    int AddCurves(std::vector<CurveData> curves);
    void NewGraph();
    void RemoveSelectedGraph();
    void RemoveSelectedCurve();
    void ClearSelectedGraph();
    void ToggleGrid();
    enum class Axis { X, Left, Right };
    void Optimize(Axis axis);

    // A click: the graph under (x, y) is selected, and its curve under the point.
    enum class ClickOutcome { Selected, GraphProperties, CurveProperties };
    ClickOutcome Click(double x, double y, bool shift);
    // What Enter opens.
    ClickOutcome EnterKey() const;
    // What Delete asks, if anything.
    std::optional<std::string> DeleteQuestion() const;
    // Delete answered Yes.
    void Delete();

    // The frame the wheel moves to from `current`: one a notch, towards the start when the
    // wheel turns away from the user (positive delta), only within 0 .. frames − 2.
    static std::optional<int> WheelFrame(int current, int wheelDelta, int frames);

private:
    void Select(int graph, int curve);

    GraphWindowState state_;
};

}  // namespace kadivo
