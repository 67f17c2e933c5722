#pragma once

#include "CurveSources.h"
#include "GraphModel.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// What "Graph Properties" edits: the selected graph's title and axis limits, and the window's
// default colours (0x00BBGGRR).
struct GraphProperties {
    struct Axis {
        bool manual = false;
        float max = 1.0f, min = 0.0f;
    };
    std::string title;
    std::int32_t background = 0, curves = 0xFFFFFF, graphs = 0xFFFFFF;
    Axis x, left, right;
    bool rightAxisUsed = false;
};

// What "Curve Properties" edits.
struct CurveProperties {
    static constexpr int kMaxNameLength = 20;
    std::string name;
    bool showLegend = true;
    int lineType = 0, lineWidth = 2, tagMark = 0;
    std::int32_t color = 0xFFFFFF;
    bool showBand = false;  // the 95 % band around the curve
    bool hasBand = false;   // the curve was added with its band
};

// The message for limits that cannot be drawn, or nothing.
std::optional<std::string> CheckGraphProperties(const GraphProperties& properties);

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

    // The selected graph's properties with the given colours, and the new ones stored: every
    // graph takes the colours, each axis its mode and, when manual, its limits.
    GraphProperties PropertiesOfSelectedGraph(std::int32_t background, std::int32_t curves, std::int32_t graphs) const;
    void ApplyGraphProperties(const GraphProperties& properties);
    std::optional<CurveProperties> PropertiesOfSelectedCurve() const;
    void ApplyCurveProperties(const CurveProperties& properties);

    // A click: the graph under (x, y) is selected, and its curve under the point.
    enum class ClickOutcome { Selected, GraphProperties, CurveProperties };
    ClickOutcome Click(double x, double y, bool shift);
    // What Enter opens.
    ClickOutcome EnterKey() const;
    // What Delete asks, if anything.
    std::optional<std::string> DeleteQuestion() const;
    // Delete answered Yes.
    void Delete();

private:
    void Select(int graph, int curve);

    GraphWindowState state_;
};

}  // namespace kadivo
