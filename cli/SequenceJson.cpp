#include "SequenceJson.h"

#include "CKadivoDoc.h"
#include "JsonWriter.h"

#include <type_traits>

namespace kadivo::cli {

namespace {

void IntArray(JsonWriter& json, const char* key, const auto& values, int count) {
    json.Key(key).BeginArray();
    for (int i = 0; i < count; ++i) json.Int(values[static_cast<std::size_t>(i)]);
    json.EndArray();
}

void Record(JsonWriter& json, const FrameRecord& record, int entries) {
    json.BeginObject();
    json.Key("flag").Int(record.flag);
    json.Key("frame").Int(record.frame);
    json.Key("digitizedCount").Int(record.digitizedCount);
    json.Key("imagePos").BeginArray();
    for (int i = 0; i < entries; ++i) {
        json.BeginArray();
        json.Float(record.imagePos[static_cast<std::size_t>(i)].x);
        json.Float(record.imagePos[static_cast<std::size_t>(i)].y);
        json.EndArray();
    }
    json.EndArray();
    json.Key("scrollPos").BeginArray();
    for (int i = 0; i < entries; ++i) {
        json.BeginArray();
        json.Int(record.scrollPos[static_cast<std::size_t>(i)].x);
        json.Int(record.scrollPos[static_cast<std::size_t>(i)].y);
        json.EndArray();
    }
    json.EndArray();
    IntArray(json, "zoomAt", record.zoomAt, entries);
    json.EndObject();
}

void Options(JsonWriter& json, const SequenceOptions& o) {
    json.Key("options").BeginObject();
    json.Key("sequenceTitle").String(o.sequenceTitle);
    json.Key("autoAdvance").Int(o.autoAdvance);
    json.Key("frameStep").Int(o.frameStep);
    json.Key("smartScroll").Int(o.smartScroll);
    json.Key("autoResize").Int(o.autoResize);
    json.Key("autoDigitizeInterval").Int(o.autoDigitizeInterval);
    json.Key("autoCenterOnZoom").Int(o.autoCenterOnZoom);
    json.Key("showPointTags").Int(o.showPointTags);
    json.Key("locateMethod").Int(o.locateMethod);
    json.Key("templateMethod").Int(o.templateMethod);
    json.Key("thresholdMovement").Int(o.thresholdMovement);
    json.Key("templateWidth").Int(o.templateWidth);
    json.Key("templateHeight").Int(o.templateHeight);
    json.Key("searchWidth").Int(o.searchWidth);
    json.Key("searchHeight").Int(o.searchHeight);
    json.Key("captureDelay").Int(o.captureDelay);
    json.Key("captureTime").Int(o.captureTime);
    json.Key("captureRate").Int(o.captureRate);
    json.Key("interpolation").Int(o.interpolation);
    json.Key("filtering").Int(o.filtering);
    json.Key("cutOffFrequency").Float(o.cutOffFrequency);
    json.Key("cutOffMethod").Int(o.cutOffMethod);
    json.Key("digitizingError").Double(o.digitizingError);
    json.Key("splineOrder").Int(o.splineOrder);
    json.Key("smoothError").Double(o.smoothError);
    json.Key("lockViews").Int(o.lockViews);
    json.Key("firstField").Int(o.firstField);
    json.Key("exactPositions").Int(o.exactPositions);
    json.Key("lensFromControlPoints").Int(o.lensFromControlPoints);
    json.EndObject();
}

void Views(JsonWriter& json, const CKadivoDoc& doc) {
    json.Key("views").BeginArray();
    for (const CameraView& view : doc.views) {
        const ViewFrameStore& store = view.frameStore;
        json.BeginObject();
        json.Key("currentFrame").Int(view.currentFrame);
        json.Key("zoomCode").Int(view.zoomCode);
        json.Key("syncFrame").Int(view.syncFrame);
        json.Key("syncFraction").Double(view.syncFraction);
        json.Key("streamIndex").Int(view.videoSource->StreamIndex());
        IntArray(json, "missingFlags", view.missingFlags, doc.pointCount);
        IntArray(json, "staticFlags", view.staticFlags, doc.pointCount);
        json.Key("headerValue").Int(store.headerValue);
        json.Key("recordCount").Int(store.recordCount());
        json.Key("videoFileName").String(store.videoFileName);
        json.Key("calibrationVideoName").String(store.calibrationVideoName);
        json.Key("records").BeginArray();
        for (const FrameRecord& record : store.records()) Record(json, record, doc.pointCount);
        json.EndArray();
        json.Key("calibrationPointCount").Int(store.calibrationPointCount);
        json.Key("calibrationRecord");
        Record(json, store.calibrationRecord, store.calibrationPointCount + 1);
        if (view.lens) {
            const LensModel& l = *view.lens;
            json.Key("lens").BeginObject();
            json.Key("source").String(l.source == LensSource::ControlPoints ? "control-points" : "checkerboard");
            json.Key("width").Int(l.width);
            json.Key("height").Int(l.height);
            for (const auto& [name, value] : {std::pair<const char*, double>{"fx", l.fx}, {"fy", l.fy}, {"cx", l.cx}, {"cy", l.cy},
                                              {"k1", l.k1}, {"k2", l.k2}, {"k3", l.k3}, {"p1", l.p1}, {"p2", l.p2}})
                json.Key(name).Double(value);
            json.EndObject();
        }
        json.EndObject();
    }
    json.EndArray();
}

void ModelPoints(JsonWriter& json, const CKadivoDoc& doc) {
    json.Key("modelPoints").BeginArray();
    for (int p = 0; p < doc.pointCount; ++p) {
        const ModelPoint& point = doc.modelPoints[static_cast<std::size_t>(p)];
        json.BeginObject();
        json.Key("name").String(point.name);
        json.Key("side").Int(point.side);
        json.Key("segmentCount").Int(point.segmentCount);
        json.Key("segments").BeginArray();
        for (int s = 0; s < point.segmentCount; ++s) {
            const auto slot = static_cast<std::size_t>(s);
            json.BeginObject();
            json.Key("linkedPoint").Int(point.linkedPoint[slot]);
            json.Key("segmentName").String(point.segmentName[slot]);
            json.Key("segmentParamA").Float(point.segmentParamA[slot]);
            json.Key("segmentParamB").Float(point.segmentParamB[slot]);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
}

void Placement(JsonWriter& json, const WindowPlacement& p) {
    json.Key("placement").BeginObject();
    json.Key("blockVersion").Int(p.blockVersion);
    json.Key("maxPosition").BeginArray();
    json.Int(p.maxX);
    json.Int(p.maxY);
    json.EndArray();
    json.Key("minPosition").BeginArray();
    json.Int(p.minX);
    json.Int(p.minY);
    json.EndArray();
    json.Key("normalRect").BeginObject();
    json.Key("bottom").Int(p.rectBottom);
    json.Key("top").Int(p.rectTop);
    json.Key("right").Int(p.rectRight);
    json.Key("left").Int(p.rectLeft);
    json.EndObject();
    json.Key("showState").Int(p.showState);
    json.EndObject();
}

void Graph(JsonWriter& json, const DataGraphState& g) {
    json.BeginObject();
    json.Key("blockVersion").Int(g.blockVersion);
    json.Key("xMin").Float(g.xMin);
    json.Key("xMax").Float(g.xMax);
    json.Key("leftMin").Float(g.leftMin);
    json.Key("leftMax").Float(g.leftMax);
    json.Key("rightMin").Float(g.rightMin);
    json.Key("rightMax").Float(g.rightMax);
    json.Key("gridOn").Int(g.gridOn);
    json.Key("xManual").Int(g.xManual);
    json.Key("leftManual").Int(g.leftManual);
    json.Key("rightManual").Int(g.rightManual);
    json.Key("divisions").Int(g.divisions);
    json.Key("leftUnit").Int(g.leftUnit);
    json.Key("rightUnit").Int(g.rightUnit);
    json.Key("curveColor").Int(g.curveColor);
    json.Key("sampleCount").Int(g.sampleCount);
    json.Key("graphColor").Int(g.graphColor);
    json.Key("extraFlag").Int(g.extraFlag);
    json.Key("rect").BeginObject();
    json.Key("bottom").Int(g.rectBottom);
    json.Key("top").Int(g.rectTop);
    json.Key("right").Int(g.rectRight);
    json.Key("left").Int(g.rectLeft);
    json.EndObject();
    json.Key("selectedCurve").Int(g.selectedCurve);
    json.Key("title").String(g.title);
    json.Key("workValue").Int(g.workValue);
    json.Key("unitCount").Int(g.unitCount);
    json.Key("rightAxisUsed").Int(g.rightAxisUsed);
    json.Key("curves").BeginArray();
    for (const DataCurveState& c : g.curves) {
        json.BeginObject();
        json.Key("blockVersion").Int(c.blockVersion);
        json.Key("color").Int(c.color);
        json.Key("lineType").Int(c.lineType);
        json.Key("lineWidth").Int(c.lineWidth);
        json.Key("tagMark").Int(c.tagMark);
        json.Key("valueMax").Float(c.valueMax);
        json.Key("valueMin").Float(c.valueMin);
        json.Key("name").String(c.name);
        json.Key("hasSamples").Int(c.hasSamples);
        json.Key("unit").Int(c.unit);
        json.Key("showLegend").Int(c.showLegend);
        json.Key("samples").BeginArray();
        for (float s : c.samples) json.Float(s);
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void Window(JsonWriter& json, const GraphWindowState& w) {
    json.Key("kind").Int(GraphWindowState::kKind);
    Placement(json, w.placement);
    json.Key("backgroundColor").Int(w.backgroundColor);
    json.Key("defaultCurveColor").Int(w.defaultCurveColor);
    json.Key("defaultGraphColor").Int(w.defaultGraphColor);
    json.Key("selectedCurve").Int(w.selectedCurve);
    json.Key("selectedGraph").Int(w.selectedGraph);
    json.Key("shiftDown").Int(w.shiftDown);
    json.Key("graphCount").Int(static_cast<long long>(w.graphs.size()));
    json.Key("graphs").BeginArray();
    for (const DataGraphState& g : w.graphs) Graph(json, g);
    json.EndArray();
}

void Window(JsonWriter& json, const DigitizingWindowState& w) {
    json.Key("kind").Int(DigitizingWindowState::kKind);
    Placement(json, w.placement);
    json.Key("cameraIndex").Int(w.cameraIndex());
    IntArray(json, "values", w.values, DigitizingWindowState::kValueCount);
}

void Window(JsonWriter& json, const AnimationWindowState& w) {
    json.Key("kind").Int(AnimationWindowState::kKind);
    Placement(json, w.placement);
    json.Key("speed").Int(w.speed);
    IntArray(json, "viewValuesA", w.viewValuesA, 2);
    json.Key("useUnfiltered").Int(w.useUnfiltered);
    json.Key("extrudeLeft").Int(w.extrudeLeft);
    json.Key("segmentStyle").Int(w.segmentStyle);
    json.Key("showMissing").Int(w.showMissing);
    json.Key("showFloor").Int(w.showFloor);
    json.Key("segmentColor").Int(w.segmentColor);
    json.Key("jointColor").Int(w.jointColor);
    IntArray(json, "viewValuesB", w.viewValuesB, 2);
    json.Key("showCenterOfGravity").Int(w.showCenterOfGravity);
    json.Key("viewValueC").Int(w.viewValueC);
    json.Key("rotX").Double(w.rotX);
    json.Key("rotY").Double(w.rotY);
    json.Key("rotZ").Double(w.rotZ);
    json.Key("panX").Float(w.panX);
    json.Key("panY").Float(w.panY);
    json.Key("distance").Double(w.distance);
}

}  // namespace

void PrintSequenceJson(const CKadivoDoc& doc, std::FILE* out) {
    JsonWriter json(out);
    json.BeginObject();
    json.Key("fileVersion").Int(doc.fileVersion);
    json.Key("viewCount").Int(doc.viewCount());
    json.Key("currentView").Int(doc.currentView);
    json.Key("pointCount").Int(doc.pointCount);
    json.Key("framePeriod").Float(doc.framePeriod);
    json.Key("calibrationType").Int(doc.calibrationType);
    json.Key("calibrationPointCount").Int(doc.calibrationPointCount);
    json.Key("reservedText").String(doc.reservedText);
    json.Key("reservedA").Int(doc.reservedA);
    json.Key("reservedB").Int(doc.reservedB);
    Options(json, doc.options);
    ModelPoints(json, doc);
    Views(json, doc);
    json.Key("calibrationPoints").BeginArray();
    for (const Point3& p : doc.calibrationPoints) {
        json.BeginArray();
        json.Double(p.x);
        json.Double(p.y);
        json.Double(p.z);
        json.EndArray();
    }
    json.EndArray();
    json.Key("worldFrameCount").Int(doc.worldFrameCount);
    json.Key("worldPointsPerFrame").Int(doc.worldFrameCount > 0 ? doc.pointCount + 1 : 0);
    json.Key("windows").BeginArray();
    for (const WindowState& window : doc.windows) {
        json.BeginObject();
        std::visit([&](const auto& state) { Window(json, state); }, window);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
}

}  // namespace kadivo::cli
