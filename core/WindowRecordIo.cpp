#include "WindowRecordIo.h"

#include "ArchiveTransfer.h"

#include <type_traits>

namespace kadivo {

namespace {

// Item sizes without their variable parts, for checking counts before allocating.
constexpr std::uint64_t kMinCurveBytes = 4 * 5 + 4 * 2 + 1 + 4 * 3 + 4;
constexpr std::uint64_t kMinGraphBytes = 4 + 4 * 6 + 4 * 11 + 4 * 4 + 4 + 1 + 4 * 3 + 4;
constexpr std::int32_t kMaxItems = 0x7FFFFFFF;

template <class Ar, class P>
void TransferPlacement(Ar& ar, P& p) {
    ar.I32(p.blockVersion, "the window placement");
    ar.I32(p.maxX, "the window placement");
    ar.I32(p.maxY, "the window placement");
    ar.I32(p.minX, "the window placement");
    ar.I32(p.minY, "the window placement");
    ar.I32(p.rectBottom, "the window placement");
    ar.I32(p.rectTop, "the window placement");
    ar.I32(p.rectRight, "the window placement");
    ar.I32(p.rectLeft, "the window placement");
    ar.I32(p.showState, "the window placement");
}

template <class Ar, class C>
void TransferCurve(Ar& ar, C& c) {
    const char* what = "a graph curve";
    ar.I32(c.blockVersion, what);
    ar.I32(c.color, what);
    ar.I32(c.lineType, what);
    ar.I32(c.lineWidth, what);
    ar.I32(c.tagMark, what);
    ar.F32(c.valueMax, what);
    ar.F32(c.valueMin, what);
    ar.String(c.name, what);
    ar.I32(c.hasSamples, what);
    ar.I32(c.unit, what);
    ar.I32(c.showLegend, what);
    ar.Items(c.samples, 4, kMaxItems, "curve sample count", [&](auto& s) { ar.F32(s, "the curve samples"); });
}

template <class Ar, class G>
void TransferGraph(Ar& ar, G& g) {
    const char* what = "a graph record";
    ar.I32(g.blockVersion, what);
    ar.F32(g.xMin, what);
    ar.F32(g.xMax, what);
    ar.F32(g.leftMin, what);
    ar.F32(g.leftMax, what);
    ar.F32(g.rightMin, what);
    ar.F32(g.rightMax, what);
    ar.I32(g.gridOn, what);
    ar.I32(g.xManual, what);
    ar.I32(g.leftManual, what);
    ar.I32(g.rightManual, what);
    ar.I32(g.divisions, what);
    ar.I32(g.leftUnit, what);
    ar.I32(g.rightUnit, what);
    ar.I32(g.curveColor, what);
    ar.I32(g.sampleCount, what);
    ar.I32(g.graphColor, what);
    ar.I32(g.extraFlag, what);
    ar.I32(g.rectBottom, what);
    ar.I32(g.rectTop, what);
    ar.I32(g.rectRight, what);
    ar.I32(g.rectLeft, what);
    ar.I32(g.selectedCurve, what);
    ar.String(g.title, what);
    ar.I32(g.workValue, what);
    ar.I32(g.unitCount, what);
    ar.I32(g.rightAxisUsed, what);
    ar.Items(g.curves, kMinCurveBytes, kMaxItems, "graph curve count", [&](auto& c) { TransferCurve(ar, c); });
}

template <class Ar, class W>
void TransferGraphWindow(Ar& ar, W& w) {
    const char* what = "a graph window record";
    TransferPlacement(ar, w.placement);
    ar.I32(w.backgroundColor, what);
    ar.I32(w.defaultCurveColor, what);
    ar.I32(w.defaultGraphColor, what);
    ar.I32(w.selectedCurve, what);
    ar.I32(w.selectedGraph, what);
    ar.I32(w.shiftDown, what);
    ar.Items(w.graphs, kMinGraphBytes, GraphWindowState::kMaxGraphs, "graph count",
             [&](auto& g) { TransferGraph(ar, g); });
}

template <class Ar, class W>
void TransferDigitizingWindow(Ar& ar, W& w) {
    TransferPlacement(ar, w.placement);
    for (auto& value : w.values) ar.I32(value, "a digitizing window record");
}

template <class Ar, class W>
void TransferAnimationWindow(Ar& ar, W& w) {
    const char* what = "an animation window record";
    TransferPlacement(ar, w.placement);
    ar.I32(w.speed, what);
    for (auto& value : w.viewValuesA) ar.I32(value, what);
    ar.I32(w.useUnfiltered, what);
    ar.I32(w.extrudeLeft, what);
    ar.I32(w.segmentStyle, what);
    ar.I32(w.showMissing, what);
    ar.I32(w.showFloor, what);
    ar.I32(w.segmentColor, what);
    ar.I32(w.jointColor, what);
    for (auto& value : w.viewValuesB) ar.I32(value, what);
    ar.I32(w.showCenterOfGravity, what);
    ar.I32(w.viewValueC, what);
    ar.F64(w.rotX, what);
    ar.F64(w.rotY, what);
    ar.F64(w.rotZ, what);
    ar.F32(w.panX, what);
    ar.F32(w.panY, what);
    ar.F64(w.distance, what);
}

template <class Ar, class S>
void TransferWindow(Ar& ar, S& state) {
    using T = std::remove_const_t<S>;
    if constexpr (std::is_same_v<T, GraphWindowState>) TransferGraphWindow(ar, state);
    else if constexpr (std::is_same_v<T, DigitizingWindowState>) TransferDigitizingWindow(ar, state);
    else TransferAnimationWindow(ar, state);
}

template <class T>
WindowState LoadWindow(ByteReader& in) {
    LoadArchive ar(in);
    T state;
    TransferWindow(ar, state);
    return state;
}

}  // namespace

WindowState ReadWindowRecord(ByteReader& in) {
    const std::int32_t kind = in.I32("a window kind");
    switch (kind) {
    case GraphWindowState::kKind: return LoadWindow<GraphWindowState>(in);
    case DigitizingWindowState::kKind: return LoadWindow<DigitizingWindowState>(in);
    case AnimationWindowState::kKind: return LoadWindow<AnimationWindowState>(in);
    default:
        throw FileFormatError("Unknown window kind " + std::to_string(kind) + " at byte " +
                              std::to_string(in.offset() - 4));
    }
}

void WriteWindowRecord(ByteWriter& out, const WindowState& state) {
    StoreArchive ar(out);
    std::visit(
        [&](const auto& s) {
            out.I32(std::remove_cvref_t<decltype(s)>::kKind);
            TransferWindow(ar, s);
        },
        state);
}

}  // namespace kadivo
