// The analysis window's rules without a widget.

#include "CKadivoDoc.h"
#include "FakePrompts.h"
#include "FrameWheel.h"
#include "GraphWindowModel.h"
#include "Kinematics.h"
#include "SequenceFile.h"
#include "WorldCompletion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace kadivo::test {
namespace {

TEST(GraphLayout, FiveGraphsAreTwoRowsOfTwoAndAFullWidthLastRow) {
    const std::vector<GraphRect> rects = LayOutGraphs(5, 1000, 600);
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0], (GraphRect{0, 0, 500, 200}));
    EXPECT_EQ(rects[1], (GraphRect{500, 0, 1000, 200}));
    EXPECT_EQ(rects[3], (GraphRect{500, 200, 1000, 400}));
    EXPECT_EQ(rects[4], (GraphRect{0, 400, 1000, 600}));
    EXPECT_EQ(LayOutGraphs(1, 800, 300)[0], (GraphRect{0, 0, 800, 300}));
    EXPECT_EQ(LayOutGraphs(6, 800, 300)[5], (GraphRect{400, 200, 800, 300}));

    // The plot area is the middle 70 %, the marker moves over it with the frame.
    const PlotArea area = PlotAreaOf({0, 0, 1000, 600});
    EXPECT_DOUBLE_EQ(area.left, 150.0);
    EXPECT_DOUBLE_EQ(area.top, 60.0);
    EXPECT_DOUBLE_EQ(area.right(), 850.0);
    EXPECT_DOUBLE_EQ(area.bottom(), 480.0);
    EXPECT_DOUBLE_EQ(*MarkerX({0, 0, 1000, 600}, 0, 11), 150.0);
    EXPECT_DOUBLE_EQ(*MarkerX({0, 0, 1000, 600}, 5, 11), 500.0);
    EXPECT_FALSE(MarkerX({0, 0, 1000, 600}, 11, 11));
    EXPECT_FALSE(MarkerX({0, 0, 1000, 600}, -1, 11));
}

TEST(GraphCurves, TwoUnitsAtMostTheSecondOnTheRightAxis) {
    DataGraphState graph = NewGraph(0xFFFFFF, 0x00FF00);
    EXPECT_TRUE(AddCurve(graph, {10, 20, 30}, "Knee", 3));
    EXPECT_TRUE(AddCurve(graph, {0.1f, 0.2f, 0.3f}, "Hip - X pos", 0));
    EXPECT_FALSE(AddCurve(graph, {1, 2, 3}, "Hip - X vel", 1));
    EXPECT_TRUE(AddCurve(graph, {5, 6, 7}, "Ankle", 3)) << "a known unit is still welcome";
    EXPECT_EQ(graph.curves.size(), 3u);
    EXPECT_EQ(graph.leftUnit, 3);
    EXPECT_EQ(graph.rightUnit, 0);
    EXPECT_EQ(graph.rightAxisUsed, 1);
    EXPECT_EQ(graph.unitCount, 2);
    EXPECT_FALSE(OnLeftAxis(graph, graph.curves[1]));
    EXPECT_EQ(graph.curves[0].color, 0x00FF00);

    // Equal samples still span one unit.
    AddCurve(graph, {4, 4, 4, 4}, "Still", 3);
    EXPECT_EQ(graph.curves.back().valueMin, 4.0f);
    EXPECT_EQ(graph.curves.back().valueMax, 5.0f);
    EXPECT_EQ(graph.sampleCount, 4);

    UpdateAutomaticLimits(graph, 0.04f);
    EXPECT_EQ(graph.leftMin, 4.0f);
    EXPECT_EQ(graph.leftMax, 30.0f);
    EXPECT_FLOAT_EQ(graph.rightMax, 0.3f);
    EXPECT_FLOAT_EQ(graph.xMax, 0.12f);
    graph.leftManual = 1;
    graph.leftMax = 100.0f;
    UpdateAutomaticLimits(graph, 0.04f);
    EXPECT_EQ(graph.leftMax, 100.0f) << "a manual axis keeps its limits";

    // "Clear Graph": a new graph's values, but the colours and the grid stay.
    graph.gridOn = 0;
    graph.graphColor = 0x123456;
    graph.title = "Hips";
    ClearGraph(graph);
    EXPECT_TRUE(graph.curves.empty());
    EXPECT_EQ(graph.leftUnit, -1);
    EXPECT_EQ(graph.leftManual, 0);
    EXPECT_EQ(graph.title, "Data Graph");
    EXPECT_EQ(graph.gridOn, 0);
    EXPECT_EQ(graph.graphColor, 0x123456);
    EXPECT_EQ(graph.curveColor, 0x00FF00);
}

TEST(GraphReadOut, OnlyInsideThePlotAreaWithTheUnitsOfTheAxes) {
    DataGraphState graph = NewGraph(0, 0);
    const GraphRect rect{0, 0, 1000, 600};
    EXPECT_FALSE(ReadOut(graph, rect, 500, 300)) << "no curves";
    AddCurve(graph, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "Hip - X pos", 0);
    UpdateAutomaticLimits(graph, 0.1f);
    EXPECT_EQ(ReadOut(graph, rect, 500, 270), std::optional<std::string>("0.50s 5.00m"));
    EXPECT_FALSE(ReadOut(graph, rect, 149, 270)) << "left of the plot area";
    EXPECT_FALSE(ReadOut(graph, rect, 500, 59)) << "above it";
    AddCurve(graph, {0, 90}, "Knee", 3);
    UpdateAutomaticLimits(graph, 0.1f);
    EXPECT_EQ(ReadOut(graph, rect, 150, 480), std::optional<std::string>("0.00s 0.00m 0.00d"));
}

TEST(GraphClipboard, ALineACurveAndATabAfterEverySample) {
    DataGraphState graph = NewGraph(0, 0);
    AddCurve(graph, {1.0f, -2.5f}, "a", 0);
    AddCurve(graph, {0.123456f}, "b", 0);
    EXPECT_EQ(ClipboardText(graph), "1.0000\t-2.5000\t\n0.1235\t\n");
    EXPECT_EQ(ClipboardText(NewGraph(0, 0)), "");
}

TEST(GraphCurves, FramesWithoutAValueStayOutOfTheRangeAndTheClipboard) {
    const float none = std::nanf("");
    DataGraphState graph = NewGraph(0, 0);
    AddCurve(graph, {none, 2.0f, none, -1.0f}, "gaps", 0);
    AddCurve(graph, {none, none}, "nothing", 0);
    EXPECT_EQ(graph.curves[0].valueMin, -1.0f);
    EXPECT_EQ(graph.curves[0].valueMax, 2.0f);
    EXPECT_EQ(graph.curves[1].valueMin, 0.0f);
    EXPECT_EQ(graph.curves[1].valueMax, 1.0f);
    EXPECT_EQ(ClipboardText(graph), "\t2.0000\t\t-1.0000\t\n\t\t\n");
}

TEST(GraphWindow, ClicksSelectGraphsAndCurvesAndOpenTheirProperties) {
    GraphWindowModel window{GraphWindowState{}};
    window.NewGraph();
    ASSERT_EQ(window.graphCount(), 2);
    std::vector<GraphRect> rects = window.LayOut(1000, 400);
    EXPECT_EQ(window.Click(750, 200, false), GraphWindowModel::ClickOutcome::Selected);
    EXPECT_EQ(window.state().selectedGraph, 1);
    EXPECT_EQ(window.AddCurves({{{0, 10}, "rise", 0, {}, {}}}), 1);
    UpdateAutomaticLimits(window.state().graphs[1], 1.0f);
    // The curve runs from the plot area's bottom left to its top right.
    const PlotArea area = PlotAreaOf(rects[1]);
    const double midX = area.left + area.width / 2, midY = area.top + area.height / 2;
    EXPECT_EQ(window.Click(midX, midY + 2, false), GraphWindowModel::ClickOutcome::Selected);
    EXPECT_EQ(window.state().selectedCurve, 0);
    EXPECT_EQ(window.Click(midX, midY, false), GraphWindowModel::ClickOutcome::CurveProperties);
    EXPECT_EQ(window.Click(midX, midY, true), GraphWindowModel::ClickOutcome::GraphProperties);
    EXPECT_EQ(window.EnterKey(), GraphWindowModel::ClickOutcome::CurveProperties);
    EXPECT_EQ(window.DeleteQuestion(), std::optional<std::string>("Remove Curve ?"));
    window.Delete();
    EXPECT_TRUE(window.state().graphs[1].curves.empty());
    EXPECT_EQ(window.DeleteQuestion(), std::optional<std::string>("Remove Graph ?"));
    window.Delete();
    EXPECT_EQ(window.graphCount(), 1);
    EXPECT_FALSE(window.DeleteQuestion()) << "the last graph stays";
    EXPECT_EQ(window.EnterKey(), GraphWindowModel::ClickOutcome::GraphProperties);

    for (int i = 0; i < 8; ++i) window.NewGraph();
    EXPECT_EQ(window.graphCount(), 6);
    EXPECT_EQ(window.state().selectedGraph, 5);
    // Outside every graph the first is chosen.
    window.LayOut(600, 300);
    window.Click(-5, -5, false);
    EXPECT_EQ(window.state().selectedGraph, 0);
}

TEST(GraphWindow, TheWheelStepsFramesWithinTheData) {
    FrameWheel wheel;
    EXPECT_EQ(wheel.Turn(5, -120, 20), std::optional<int>(6));
    EXPECT_EQ(wheel.Turn(5, 120, 20), std::optional<int>(4));
    EXPECT_EQ(wheel.Turn(0, 120, 20), std::nullopt);
    EXPECT_EQ(wheel.Turn(18, -120, 20), std::nullopt) << "up to F − 2";
    EXPECT_EQ(wheel.Turn(5, 240, 20), std::optional<int>(3)) << "two notches";
}

TEST(GraphWindow, FractionsOfANotchAddUpAndATurnBackStartsAfresh) {
    FrameWheel wheel;
    EXPECT_EQ(wheel.Turn(5, 60, 20), std::nullopt) << "half a notch";
    EXPECT_EQ(wheel.Turn(5, 40, 20), std::nullopt);
    EXPECT_EQ(wheel.Turn(5, 30, 20), std::optional<int>(4)) << "130 of 120";
    EXPECT_EQ(wheel.Turn(4, 110, 20), std::optional<int>(3)) << "the 10 left over count";
    EXPECT_EQ(wheel.Turn(3, 90, 20), std::nullopt);
    EXPECT_EQ(wheel.Turn(3, -60, 20), std::nullopt) << "the other way forgets the 90";
    EXPECT_EQ(wheel.Turn(3, -60, 20), std::optional<int>(4));
    EXPECT_EQ(wheel.Turn(18, -120, 20), std::nullopt) << "a notch beyond the data is spent";
    EXPECT_EQ(wheel.Turn(18, 120, 20), std::optional<int>(17));
}

// The sample sequence, transformed.
class TransformedSample : public ::testing::Test {
protected:
    FakePrompts prompts;
    CKadivoDoc doc{prompts, NoVideoSourceFactory()};
    void SetUp() override {
        InstallSequenceSteps(doc.steps);
        prompts.ExpectMessage("Unable to Open Video File");  // no videos are read here
        ASSERT_TRUE(doc.OnOpenDocument(std::string(KADIVO_SOURCE_DIR) + "/samples/walk.kdv"));
        doc.OnTransformImageData();
        ASSERT_GT(doc.worldFrameCount, 2);
    }
    // The columns of an export text, as written.
    static std::vector<std::vector<std::string>> Columns(const std::string& text) {
        std::vector<std::vector<std::string>> columns;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream cells(line);
            std::string cell;
            for (std::size_t c = 0; std::getline(cells, cell, '\t'); ++c) {
                if (columns.size() <= c) columns.resize(c + 1);
                columns[c].push_back(cell);
            }
        }
        return columns;
    }
    static std::string AsExported(float value) {
        if (std::isnan(value)) return "";
        char text[64];
        std::snprintf(text, sizeof text, "%2.3f", static_cast<double>(value));
        return text;
    }
    static void ExpectSameValues(const std::vector<CurveData>& curves, const std::string& exported) {
        const std::vector<std::vector<std::string>> columns = Columns(exported);
        ASSERT_EQ(curves.size(), columns.size());
        for (std::size_t c = 0; c < curves.size(); ++c) {
            ASSERT_EQ(curves[c].samples.size(), columns[c].size()) << curves[c].name;
            for (std::size_t f = 0; f < columns[c].size(); ++f)
                ASSERT_EQ(AsExported(curves[c].samples[f]), columns[c][f]) << curves[c].name << " frame " << f;
        }
    }
};

TEST_F(TransformedSample, LinearCurvesAreTheColumnsOfTheLinearExport) {
    LinearExportOptions options;
    options.rows.assign(static_cast<std::size_t>(doc.pointCount + 1), false);
    options.rows[1] = options.rows[3] = options.rows[static_cast<std::size_t>(doc.pointCount)] = true;
    options.position = options.velocity = options.acceleration = true;
    options.x = options.y = options.distance = true;
    const std::vector<CurveData> curves = LinearCurves(doc, options);
    ASSERT_EQ(curves.size(), 27u);
    EXPECT_EQ(curves[0].name, "Shoulder - X pos");
    EXPECT_EQ(curves[2].name, "Shoulder - Abs pos");
    EXPECT_EQ(curves[5].name, "Shoulder 3D vel");
    EXPECT_EQ(curves[8].name, "Shoulder - 3D accel");
    EXPECT_EQ(curves[5].unit, 1);
    EXPECT_EQ(curves[26].name, "CG - 3D accel");
    ExpectSameValues(curves, LinearExportText(doc, options, LocalTimeNow()));
}

TEST_F(TransformedSample, AngleCurvesAreTheColumnsOfTheAngularExport) {
    AngularExportOptions options;
    options.rows.assign(BuildJointList(doc).size(), true);
    ASSERT_FALSE(options.rows.empty());
    options.angle = true;
    options.z = true;
    const std::vector<CurveData> curves = AngularCurves(doc, options);
    std::string exported = AngularExportText(doc, options, LocalTimeNow());
    exported.erase(0, exported.find('\n') + 1);  // the line the export starts with
    ExpectSameValues(curves, exported);
    EXPECT_EQ(curves[0].unit, 3);

    options.angularVelocity = options.angularAcceleration = true;
    const std::vector<CurveData> rates = AngularCurves(doc, options);
    ASSERT_EQ(rates.size(), 3 * curves.size());
    EXPECT_EQ(rates[1].name, curves[0].name + " - Z vel");
    EXPECT_EQ(rates[2].name, curves[0].name + " - Z accel");
    EXPECT_EQ(rates[2].unit, 5);
}

// Curves that know their source are made again from changed world data, their bands with
// them, and only those whose values changed; a curve of an older file (no source) stays as
// drawn. The sources go through the sequence file.
TEST_F(TransformedSample, CurvesThatKnowTheirSourceFollowTheWorldData) {
    LinearExportOptions linear;
    linear.rows.assign(static_cast<std::size_t>(doc.pointCount + 1), false);
    linear.rows[1] = linear.rows[2] = true;
    linear.velocity = linear.x = true;
    linear.halfWidths = true;
    AngularExportOptions angular;
    angular.rows.assign(1, true);
    angular.angle = angular.z = true;
    GraphWindowModel window{GraphWindowState{}};
    ASSERT_EQ(window.AddCurves(LinearCurves(doc, linear)), 2);
    window.NewGraph();
    ASSERT_EQ(window.AddCurves(AngularCurves(doc, angular)), 1);
    std::vector<CurveData> plain = LinearCurves(doc, linear);
    plain[0].source.reset();
    window.AddCurves({plain[0]});
    GraphWindowState state = window.state();
    EXPECT_FALSE(RemakeCurves(doc, state)) << "nothing changed";

    // Point 1 moves in frame 10; point 2 does not.
    for (int f = 0; f < doc.worldFrameCount; ++f) doc.worldFiltered[f][1].x += f == 10 ? 0.05 : 0.0;
    const GraphWindowState before = state;
    ASSERT_TRUE(RemakeCurves(doc, state));
    const DataCurveState& moved = state.graphs[0].curves[0];
    EXPECT_NE(moved.samples, before.graphs[0].curves[0].samples);
    EXPECT_EQ(moved.samples, LinearSeries(doc, 1, true, Quantity::Velocity, Component::X));
    EXPECT_EQ(moved.halfWidths.size(), moved.samples.size());
    EXPECT_EQ(state.graphs[0].curves[1], before.graphs[0].curves[1]) << "point 2 kept its curve";
    EXPECT_EQ(state.graphs[1].curves.back(), before.graphs[1].curves.back()) << "the curve without a source";

    doc.windows.push_back(state);
    const std::vector<std::uint8_t> bytes = WriteSequence(doc);
    CKadivoDoc reread(prompts, NoVideoSourceFactory());
    ReadSequence(bytes.data(), bytes.size(), reread);
    ASSERT_EQ(reread.windows.size(), doc.windows.size());
    const auto* kept = std::get_if<GraphWindowState>(&reread.windows.back());
    ASSERT_TRUE(kept != nullptr && kept->graphs.size() == 2 && kept->graphs[1].curves.size() == 2);
    EXPECT_EQ(kept->graphs[0].curves[0].source, (CurveSource{0, 1, 1, 0, 1, 0}));
    EXPECT_EQ(kept->graphs[1].curves[0].source, (CurveSource{1, 0, 0, 2, 1, 0}));
    EXPECT_FALSE(kept->graphs[1].curves.back().source.has_value());
}

TEST(GraphWindowModel, ACurveAddedWithItsBandShowsItUntilThePropertiesHideIt) {
    GraphWindowModel window{GraphWindowState{}};
    EXPECT_EQ(window.AddCurves({{{1, 2, 3}, "banded", 0, {0.1f, 0.2f, 0.3f}, {}}, {{1, 2, 3}, "plain", 0, {}, {}},
                                {{1, 2, 3}, "short band", 0, {0.1f}, {}}}),
              3);
    const std::vector<DataCurveState>& curves = window.state().graphs[0].curves;
    EXPECT_EQ(curves[0].showBand, 1);
    EXPECT_EQ(curves[0].halfWidths, (std::vector<float>{0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(curves[1].showBand, 0);
    EXPECT_TRUE(curves[2].halfWidths.empty()) << "a band that does not fit its samples is dropped";
    const auto select = [&](int curve) {
        window.state().selectedGraph = 0;
        window.state().selectedCurve = window.state().graphs[0].selectedCurve = curve;
    };
    select(0);
    CurveProperties properties = *window.PropertiesOfSelectedCurve();
    EXPECT_TRUE(properties.hasBand);
    EXPECT_TRUE(properties.showBand);
    properties.showBand = false;
    window.ApplyCurveProperties(properties);
    EXPECT_EQ(window.state().graphs[0].curves[0].showBand, 0);
    // A curve without a band cannot be given one by its properties.
    select(1);
    properties = *window.PropertiesOfSelectedCurve();
    EXPECT_FALSE(properties.hasBand);
    properties.showBand = true;
    window.ApplyCurveProperties(properties);
    EXPECT_EQ(window.state().graphs[0].curves[1].showBand, 0);
}

}  // namespace
}  // namespace kadivo::test
