#include "GraphWindowModel.h"

#include <algorithm>

namespace kadivo {

DataGraphState* GraphWindowModel::SelectedGraph() {
    const int g = state_.selectedGraph;
    return g >= 0 && g < graphCount() ? &state_.graphs[static_cast<std::size_t>(g)] : nullptr;
}

const DataGraphState* GraphWindowModel::SelectedGraph() const {
    return const_cast<GraphWindowModel*>(this)->SelectedGraph();
}

DataCurveState* GraphWindowModel::SelectedCurve() {
    DataGraphState* graph = SelectedGraph();
    if (!graph) return nullptr;
    const int c = graph->selectedCurve;
    return c >= 0 && c < static_cast<int>(graph->curves.size()) ? &graph->curves[static_cast<std::size_t>(c)] : nullptr;
}

std::vector<GraphRect> GraphWindowModel::LayOut(int width, int height) {
    std::vector<GraphRect> rects = LayOutGraphs(graphCount(), width, height);
    for (std::size_t g = 0; g < rects.size(); ++g) {
        DataGraphState& graph = state_.graphs[g];
        graph.rectLeft = rects[g].left;
        graph.rectTop = rects[g].top;
        graph.rectRight = rects[g].right;
        graph.rectBottom = rects[g].bottom;
    }
    return rects;
}

std::vector<GraphRect> GraphWindowModel::Rects() const {
    std::vector<GraphRect> rects;
    for (const DataGraphState& graph : state_.graphs)
        rects.push_back({graph.rectLeft, graph.rectTop, graph.rectRight, graph.rectBottom});
    return rects;
}

void GraphWindowModel::Select(int graph, int curve) {
    state_.selectedGraph = graph;
    state_.selectedCurve = curve;
    if (graph >= 0 && graph < graphCount()) state_.graphs[static_cast<std::size_t>(graph)].selectedCurve = curve;
}

int GraphWindowModel::AddCurves(std::vector<CurveData> curves) {
    if (state_.graphs.empty()) NewGraph();
    if (!SelectedGraph()) state_.selectedGraph = graphCount() - 1;
    DataGraphState& graph = *SelectedGraph();
    int added = 0;
    for (CurveData& curve : curves) {
        if (!AddCurve(graph, std::move(curve.samples), curve.name, curve.unit)) continue;
        ++added;
        DataCurveState& addedCurve = graph.curves.back();
        addedCurve.source = curve.source;
        if (curve.halfWidths.size() != addedCurve.samples.size()) continue;
        addedCurve.halfWidths = std::move(curve.halfWidths);
        addedCurve.showBand = 1;
        SetValueRange(addedCurve);
    }
    return added;
}

void GraphWindowModel::NewGraph() {
    if (graphCount() >= GraphWindowState::kMaxGraphs) return;
    state_.graphs.push_back(kadivo::NewGraph(state_.defaultGraphColor, state_.defaultCurveColor));
    Select(graphCount() - 1, -1);
}

void GraphWindowModel::RemoveSelectedGraph() {
    if (graphCount() < 2 || !SelectedGraph()) return;
    state_.graphs.erase(state_.graphs.begin() + state_.selectedGraph);
    Select(graphCount() - 1, -1);
}

void GraphWindowModel::RemoveSelectedCurve() {
    DataGraphState* graph = SelectedGraph();
    if (!graph || !SelectedCurve()) return;
    RemoveCurve(*graph, graph->selectedCurve);
    state_.selectedCurve = -1;
}

void GraphWindowModel::ClearSelectedGraph() {
    if (DataGraphState* graph = SelectedGraph()) {
        ClearGraph(*graph);
        state_.selectedCurve = -1;
    }
}

void GraphWindowModel::ToggleGrid() {
    if (DataGraphState* graph = SelectedGraph()) graph->gridOn = graph->gridOn ? 0 : 1;
}

void GraphWindowModel::Optimize(Axis axis) {
    DataGraphState* graph = SelectedGraph();
    if (!graph) return;
    (axis == Axis::X ? graph->xManual : (axis == Axis::Left ? graph->leftManual : graph->rightManual)) = 0;
}

GraphWindowModel::ClickOutcome GraphWindowModel::Click(double x, double y, bool shift) {
    const std::vector<GraphRect> rects = Rects();
    int graph = 0;
    for (int g = 0; g < static_cast<int>(rects.size()); ++g)
        if (rects[static_cast<std::size_t>(g)].Contains(x, y)) graph = g;
    const int before = state_.selectedGraph == graph ? state_.graphs[static_cast<std::size_t>(graph)].selectedCurve : -1;
    state_.selectedGraph = graph;
    const DataGraphState& chosen = state_.graphs[static_cast<std::size_t>(graph)];
    if (chosen.curves.empty()) return ClickOutcome::Selected;
    if (shift) return ClickOutcome::GraphProperties;
    const int curve = CurveAt(chosen, rects[static_cast<std::size_t>(graph)], x, y);
    if (curve >= 0 && curve == before) return ClickOutcome::CurveProperties;
    Select(graph, curve);
    return ClickOutcome::Selected;
}

GraphWindowModel::ClickOutcome GraphWindowModel::EnterKey() const {
    return const_cast<GraphWindowModel*>(this)->SelectedCurve() ? ClickOutcome::CurveProperties : ClickOutcome::GraphProperties;
}

std::optional<std::string> GraphWindowModel::DeleteQuestion() const {
    const DataGraphState* graph = SelectedGraph();
    if (graph && !graph->curves.empty() && const_cast<GraphWindowModel*>(this)->SelectedCurve()) return kRemoveCurveQuestion;
    if (graphCount() > 1) return kRemoveGraphQuestion;
    return std::nullopt;
}

void GraphWindowModel::Delete() {
    const std::optional<std::string> question = DeleteQuestion();
    if (!question) return;
    if (*question == kRemoveCurveQuestion) RemoveSelectedCurve();
    else RemoveSelectedGraph();
}

std::optional<std::string> CheckGraphProperties(const GraphProperties& p) {
    const struct {
        const GraphProperties::Axis& axis;
        const char* name;
    } axes[] = {{p.x, "X axis"}, {p.left, "Left Y axis"}, {p.right, "Right Y axis"}};
    for (const auto& [axis, name] : axes)
        if (axis.manual && !(axis.max > axis.min))
            return std::string("The ") + name + " needs a Max above its Min.";
    return std::nullopt;
}

GraphProperties GraphWindowModel::PropertiesOfSelectedGraph(std::int32_t background, std::int32_t curves,
                                                            std::int32_t graphs) const {
    GraphProperties p;
    p.background = background;
    p.curves = curves;
    p.graphs = graphs;
    if (const DataGraphState* graph = SelectedGraph()) {
        p.title = graph->title;
        p.x = {graph->xManual != 0, graph->xMax, graph->xMin};
        p.left = {graph->leftManual != 0, graph->leftMax, graph->leftMin};
        p.right = {graph->rightManual != 0, graph->rightMax, graph->rightMin};
        p.rightAxisUsed = graph->rightAxisUsed != 0;
    }
    return p;
}

void GraphWindowModel::ApplyGraphProperties(const GraphProperties& p) {
    state_.backgroundColor = p.background;
    state_.defaultCurveColor = p.curves;
    state_.defaultGraphColor = p.graphs;
    for (DataGraphState& graph : state_.graphs) {
        graph.graphColor = p.graphs;
        graph.curveColor = p.curves;
    }
    DataGraphState* graph = SelectedGraph();
    if (!graph) return;
    auto store = [](const GraphProperties::Axis& axis, std::int32_t& manual, float& max, float& min) {
        manual = axis.manual ? 1 : 0;
        if (!axis.manual) return;
        max = axis.max;
        min = axis.min;
    };
    store(p.x, graph->xManual, graph->xMax, graph->xMin);
    store(p.left, graph->leftManual, graph->leftMax, graph->leftMin);
    store(p.right, graph->rightManual, graph->rightMax, graph->rightMin);
    graph->title = p.title;
}

std::optional<CurveProperties> GraphWindowModel::PropertiesOfSelectedCurve() const {
    const DataCurveState* curve = const_cast<GraphWindowModel*>(this)->SelectedCurve();
    if (!curve) return std::nullopt;
    return CurveProperties{curve->name,    curve->showLegend != 0, curve->lineType,
                           curve->lineWidth, curve->tagMark,       curve->color,
                           curve->showBand != 0, !curve->halfWidths.empty()};
}

void GraphWindowModel::ApplyCurveProperties(const CurveProperties& p) {
    DataCurveState* curve = SelectedCurve();
    if (!curve) return;
    curve->name = p.name.substr(0, CurveProperties::kMaxNameLength);
    curve->showLegend = p.showLegend ? 1 : 0;
    curve->lineType = std::clamp(p.lineType, 0, 4);
    curve->lineWidth = std::clamp(p.lineWidth, 1, 4);
    curve->tagMark = std::clamp(p.tagMark, 0, 5);
    curve->color = p.color;
    curve->showBand = p.showBand && !curve->halfWidths.empty() ? 1 : 0;
    SetValueRange(*curve);
}

}  // namespace kadivo
