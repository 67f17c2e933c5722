#include "SequenceExtensions.h"

#include "ByteCursor.h"
#include "CKadivoDoc.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace kadivo {

namespace {

constexpr char kBlockTag[4] = {'K', 'D', 'V', 'X'};
constexpr char kImportedDltTag[4] = {'D', 'L', 'T', 'C'};
constexpr char kExactPositionsTag[4] = {'E', 'X', 'P', 'O'};
constexpr char kLensTag[4] = {'L', 'E', 'N', 'S'};
constexpr char kLensFromControlPointsTag[4] = {'L', 'N', 'C', 'P'};
constexpr char kSnapTag[4] = {'S', 'N', 'A', 'P'};
constexpr char kKeptOptionsTag[4] = {'O', 'P', 'T', 'S'};
constexpr char kButterworthTag[4] = {'B', 'U', 'T', 'W'};
constexpr char kSyncFractionsTag[4] = {'S', 'Y', 'N', 'F'};
constexpr char kDigitizingErrorTag[4] = {'D', 'E', 'R', 'R'};
constexpr char kRecomputeTag[4] = {'R', 'C', 'M', 'P'};
constexpr char kBandTag[4] = {'B', 'A', 'N', 'D'};
constexpr char kCurveSourceTag[4] = {'C', 'S', 'R', 'C'};

// Each graph curve with a band: its window, graph and curve indices.
template <typename Windows, typename Visit>
void ForEachBandedCurve(Windows& windows, Visit visit) {
    int w = 0;
    for (auto& window : windows) {
        if (auto* graphs = std::get_if<GraphWindowState>(&window))
            for (std::size_t g = 0; g < graphs->graphs.size(); ++g)
                for (std::size_t c = 0; c < graphs->graphs[g].curves.size(); ++c)
                    if (!graphs->graphs[g].curves[c].halfWidths.empty())
                        visit(w, static_cast<int>(g), static_cast<int>(c), graphs->graphs[g].curves[c]);
        ++w;
    }
}

void WriteBands(ByteWriter& out, const std::list<WindowState>& windows) {
    ForEachBandedCurve(windows, [&](int w, int g, int c, const DataCurveState& curve) {
        out.Bytes(kBandTag, 4);
        out.U32(static_cast<std::uint32_t>(5 * 4 + curve.halfWidths.size() * 4));
        for (int value : {w, g, c, static_cast<int>(curve.showBand)}) out.I32(value);
        out.U32(static_cast<std::uint32_t>(curve.halfWidths.size()));
        for (float half : curve.halfWidths) out.F32(half);
    });
}

// Curve c of graph g of window w (0-based, in the order of the window records), if there is one.
DataCurveState* CurveAt(CKadivoDoc& doc, int w, int g, int c) {
    if (w < 0 || w >= static_cast<int>(doc.windows.size())) return nullptr;
    auto* graphs = std::get_if<GraphWindowState>(&*std::next(doc.windows.begin(), w));
    if (!graphs || g < 0 || g >= static_cast<int>(graphs->graphs.size()) || c < 0 ||
        c >= static_cast<int>(graphs->graphs[static_cast<std::size_t>(g)].curves.size()))
        return nullptr;
    return &graphs->graphs[static_cast<std::size_t>(g)].curves[static_cast<std::size_t>(c)];
}

void ReadBand(ByteReader& in, std::uint32_t size, CKadivoDoc& doc) {
    const char* what = "a curve's band";
    if (size < 5 * 4) throw FileFormatError("A curve's band is damaged");
    const int w = in.I32(what), g = in.I32(what), c = in.I32(what), shown = in.I32(what);
    const std::uint32_t count = in.U32(what);
    if (size != 5 * 4 + static_cast<std::uint64_t>(count) * 4) throw FileFormatError("A curve's band is damaged");
    DataCurveState* curve = CurveAt(doc, w, g, c);
    if (!curve || count != curve->samples.size()) throw FileFormatError("A curve's band does not fit the graphs");
    curve->halfWidths.resize(count);
    for (float& half : curve->halfWidths) half = in.F32(what);
    curve->showBand = shown != 0 ? 1 : 0;
}
constexpr std::uint32_t kCurveSourceSize = 9 * 4;

void WriteCurveSources(ByteWriter& out, const std::list<WindowState>& windows) {
    int w = 0;
    for (const WindowState& window : windows) {
        if (const auto* graphs = std::get_if<GraphWindowState>(&window))
            for (std::size_t g = 0; g < graphs->graphs.size(); ++g)
                for (std::size_t c = 0; c < graphs->graphs[g].curves.size(); ++c) {
                    const std::optional<CurveSource>& source = graphs->graphs[g].curves[c].source;
                    if (!source) continue;
                    out.Bytes(kCurveSourceTag, 4);
                    out.U32(kCurveSourceSize);
                    for (int value : {w, static_cast<int>(g), static_cast<int>(c), static_cast<int>(source->angular),
                                      static_cast<int>(source->entry), static_cast<int>(source->quantity),
                                      static_cast<int>(source->component), static_cast<int>(source->smoothed),
                                      static_cast<int>(source->counterClockwise)})
                        out.I32(value);
                }
        ++w;
    }
}

void ReadCurveSource(ByteReader& in, std::uint32_t size, CKadivoDoc& doc) {
    const char* what = "a curve's source";
    if (size != kCurveSourceSize) throw FileFormatError("A curve's source is damaged");
    const int w = in.I32(what), g = in.I32(what), c = in.I32(what);
    CurveSource source;
    source.angular = in.I32(what);
    source.entry = in.I32(what);
    source.quantity = in.I32(what);
    source.component = in.I32(what);
    source.smoothed = in.I32(what) != 0 ? 1 : 0;
    source.counterClockwise = in.I32(what) != 0 ? 1 : 0;
    const bool sound = (source.angular == 0 || source.angular == 1) && source.entry >= 0 && source.entry <= kModelTableSize &&
                       source.quantity >= 0 && source.quantity <= 2 && source.component >= 0 &&
                       source.component <= (source.angular ? 2 : 3);
    if (!sound) throw FileFormatError("A curve's source is damaged");
    DataCurveState* curve = CurveAt(doc, w, g, c);
    if (!curve) throw FileFormatError("A curve's source does not fit the graphs");
    curve->source = source;
}

constexpr std::uint32_t kLensSize = 4 * 4 + 9 * 8;

// A chunk that holds one 32-bit number.
void WriteNumberChunk(ByteWriter& out, const char (&tag)[4], int value) {
    out.Bytes(tag, 4);
    out.U32(4);
    out.I32(value);
}

void WriteLens(ByteWriter& out, int view, const LensModel& lens) {
    out.Bytes(kLensTag, 4);
    out.U32(kLensSize);
    out.I32(view);
    out.I32(static_cast<int>(lens.source));
    out.I32(lens.width);
    out.I32(lens.height);
    for (double value : {lens.fx, lens.fy, lens.cx, lens.cy, lens.k1, lens.k2, lens.k3, lens.p1, lens.p2}) out.F64(value);
}

// The tracking, digitizing and capture values the version-3 fields have no room for.
bool KeptOptionsDiffer(const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    const SequenceOptions d;
    if (o.locateMethod != d.locateMethod || o.thresholdMovement != d.thresholdMovement ||
        o.autoDigitizeInterval != d.autoDigitizeInterval || o.captureDelay != d.captureDelay ||
        o.captureTime != d.captureTime || o.captureRate != d.captureRate || !o.sequenceTitle.empty())
        return true;
    return std::any_of(doc.views.begin(), doc.views.end(),
                       [](const CameraView& v) { return !(v.videoSource->Tracking() == TrackingSettings{}); });
}

void WriteKeptOptions(ByteWriter& out, const CKadivoDoc& doc) {
    const SequenceOptions& o = doc.options;
    const std::string title = o.sequenceTitle.substr(0, SequenceOptions::kMaxTitleLength);
    out.Bytes(kKeptOptionsTag, 4);
    out.U32(static_cast<std::uint32_t>(6 * 4 + 4 + title.size() + 4 + doc.views.size() * 3 * 4));
    for (int value : {o.locateMethod, o.thresholdMovement, o.autoDigitizeInterval, o.captureDelay, o.captureTime, o.captureRate})
        out.I32(value);
    out.U32(static_cast<std::uint32_t>(title.size()));
    out.Bytes(title.data(), title.size());
    out.I32(static_cast<int>(doc.views.size()));
    for (const CameraView& view : doc.views) {
        const TrackingSettings t = view.videoSource->Tracking();
        out.I32(t.markerSize);
        out.I32(t.brightMarker ? 1 : 0);
        out.I32(t.useVelocity ? 1 : 0);
    }
}

// Values outside the ranges the options sheet allows are brought into them.
void ReadKeptOptions(ByteReader& in, std::uint32_t size, CKadivoDoc& doc) {
    const char* what = "the kept options";
    SequenceOptions& o = doc.options;
    if (size < 6 * 4 + 4) throw FileFormatError("The kept options are damaged");
    o.locateMethod = std::clamp(in.I32(what), 0, 2);
    o.thresholdMovement = std::clamp(in.I32(what), 1, 100);
    o.autoDigitizeInterval = std::clamp(in.I32(what), 0, 60000);
    o.captureDelay = std::clamp(in.I32(what), 0, 60000);
    o.captureTime = std::clamp(in.I32(what), 1, 3600);
    o.captureRate = std::clamp(in.I32(what), 1, 1000);
    const std::uint32_t length = in.U32(what);
    if (length > SequenceOptions::kMaxTitleLength || size != 6 * 4 + 4 + length + 4 + static_cast<std::uint64_t>(doc.views.size()) * 12)
        throw FileFormatError("The kept options are damaged");
    std::string title(length, '\0');
    in.Bytes(title.data(), length, what);
    o.sequenceTitle = title;
    if (in.I32(what) != doc.viewCount()) throw FileFormatError("The kept options do not fit the camera views");
    for (CameraView& view : doc.views) {
        TrackingSettings t;
        t.markerSize = std::clamp(in.I32(what), 1, 50);
        t.brightMarker = in.I32(what) != 0;
        t.useVelocity = in.I32(what) != 0;
        view.videoSource->SetTracking(t);
    }
}

void ReadLens(ByteReader& in, std::uint32_t size, CKadivoDoc& doc) {
    if (size != kLensSize) throw FileFormatError("A camera view's lens model is damaged");
    const int view = in.I32("a lens model");
    LensModel lens;
    const int source = in.I32("a lens model");
    lens.width = in.I32("a lens model");
    lens.height = in.I32("a lens model");
    for (double* value : {&lens.fx, &lens.fy, &lens.cx, &lens.cy, &lens.k1, &lens.k2, &lens.k3, &lens.p1, &lens.p2})
        *value = in.F64("a lens model");
    lens.source = source == static_cast<int>(LensSource::ControlPoints) ? LensSource::ControlPoints : LensSource::Checkerboard;
    const bool known = source == static_cast<int>(LensSource::ControlPoints) || source == static_cast<int>(LensSource::Checkerboard);
    if (view < 0 || view >= doc.viewCount() || !known || !LensModelIsUsable(lens))
        throw FileFormatError("A camera view's lens model is damaged");
    doc.views[static_cast<std::size_t>(view)].lens = lens;
}

bool AnySyncFraction(const CKadivoDoc& doc) {
    return std::any_of(doc.views.begin(), doc.views.end(), [](const CameraView& v) { return v.syncFraction != 0.0; });
}

// The views' sync fractions, a double each, in view order.
void WriteSyncFractions(ByteWriter& out, const CKadivoDoc& doc) {
    out.Bytes(kSyncFractionsTag, 4);
    out.U32(static_cast<std::uint32_t>(4 + doc.views.size() * 8));
    out.I32(doc.viewCount());
    for (const CameraView& view : doc.views) out.F64(view.syncFraction);
}

void ReadSyncFractions(ByteReader& in, std::uint32_t size, CKadivoDoc& doc) {
    const char* what = "the sync fractions";
    if (size != 4 + static_cast<std::uint64_t>(doc.views.size()) * 8 || in.I32(what) != doc.viewCount())
        throw FileFormatError("The sync fractions do not fit the camera views");
    for (CameraView& view : doc.views) {
        const double fraction = in.F64(what);
        if (!std::isfinite(fraction) || std::abs(fraction) > kMaxSyncFraction) throw FileFormatError("A sync fraction is damaged");
        view.syncFraction = fraction;
    }
    doc.views.front().syncFraction = 0.0;
}

void WriteImportedDlt(ByteWriter& out, const DltParameterTable& table) {
    out.Bytes(kImportedDltTag, 4);
    out.U32(static_cast<std::uint32_t>(8 + table.values.size() * sizeof(double)));
    out.I32(table.parameterCount);
    out.I32(table.viewCount);
    for (double value : table.values) out.F64(value);
}

DltParameterTable ReadImportedDlt(ByteReader& in, std::uint32_t size, const CKadivoDoc& doc) {
    DltParameterTable table;
    table.parameterCount = in.I32("the imported DLT coefficients");
    table.viewCount = in.I32("the imported DLT coefficients");
    const bool shaped = (table.parameterCount == 8 || table.parameterCount == 11) && table.viewCount == doc.viewCount() &&
                        size == 8 + static_cast<std::uint64_t>(table.viewCount) * DltParameterTable::kColumns * sizeof(double);
    if (!shaped) throw FileFormatError("The imported DLT coefficients do not fit the camera views");
    table.values.resize(static_cast<std::size_t>(table.viewCount) * DltParameterTable::kColumns);
    for (double& value : table.values) {
        value = in.F64("the imported DLT coefficients");
        if (!std::isfinite(value)) throw FileFormatError("An imported DLT coefficient is not a number");
    }
    table.residuals.assign(static_cast<std::size_t>(table.viewCount), 0.0);
    table.imported = true;
    return table;
}

}  // namespace

void WriteSequenceExtensions(ByteWriter& out, const CKadivoDoc& doc, const std::list<WindowState>& windows) {
    const bool anyLens = std::any_of(doc.views.begin(), doc.views.end(), [](const CameraView& v) { return v.lens.has_value(); });
    const SequenceOptions& o = doc.options;
    const bool keptOptions = KeptOptionsDiffer(doc);
    const bool butterworth = o.filtering == kButterworthFiltering;
    const bool syncFractions = AnySyncFraction(doc);
    const bool digitizingError = o.digitizingError != kDefaultDigitizingError;
    const bool recomputeOff = o.recomputeAfterChange == 0;
    bool curveExtras = false;
    ForEachBandedCurve(windows, [&](int, int, int, const DataCurveState&) { curveExtras = true; });
    for (const WindowState& window : windows)
        if (const auto* graphs = std::get_if<GraphWindowState>(&window))
            for (const DataGraphState& graph : graphs->graphs)
                for (const DataCurveState& curve : graph.curves) curveExtras = curveExtras || curve.source.has_value();
    if (!doc.importedDlt && o.exactPositions == 0 && o.lensFromControlPoints == 0 && o.snapToMarkerCentre == 0 && !anyLens &&
        !keptOptions && !butterworth && !syncFractions && !digitizingError && !recomputeOff && !curveExtras)
        return;
    out.Bytes(kBlockTag, 4);
    if (o.exactPositions != 0) WriteNumberChunk(out, kExactPositionsTag, o.exactPositions);
    if (doc.importedDlt) WriteImportedDlt(out, *doc.importedDlt);
    if (o.lensFromControlPoints != 0) WriteNumberChunk(out, kLensFromControlPointsTag, o.lensFromControlPoints);
    for (std::size_t v = 0; v < doc.views.size(); ++v)
        if (doc.views[v].lens) WriteLens(out, static_cast<int>(v), *doc.views[v].lens);
    if (o.snapToMarkerCentre != 0) WriteNumberChunk(out, kSnapTag, 1);
    if (keptOptions) WriteKeptOptions(out, doc);
    // 1 with the given cut-off, 2 by residual analysis, 3 by the whiteness of the residual.
    if (butterworth) WriteNumberChunk(out, kButterworthTag, 1 + o.cutOffMethod);
    if (syncFractions) WriteSyncFractions(out, doc);
    if (digitizingError) {
        out.Bytes(kDigitizingErrorTag, 4);
        out.U32(8);
        out.F64(o.digitizingError);
    }
    if (recomputeOff) WriteNumberChunk(out, kRecomputeTag, 0);
    WriteBands(out, windows);
    WriteCurveSources(out, windows);
}

void ReadSequenceExtensions(ByteReader& in, CKadivoDoc& doc) {
    char tag[4];
    // Bytes after the last field that are no block were ignored by earlier versions too.
    if (in.remaining() < 4) return;
    in.Bytes(tag, 4, "the extension block");
    if (std::memcmp(tag, kBlockTag, 4) != 0) return;
    while (in.remaining() > 0) {
        in.Bytes(tag, 4, "an extension's tag");
        const std::uint32_t size = in.U32("an extension's size");
        in.Require(size, 1, "an extension");
        if (std::memcmp(tag, kImportedDltTag, 4) == 0) {
            doc.importedDlt = ReadImportedDlt(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kLensTag, 4) == 0) {
            ReadLens(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kLensFromControlPointsTag, 4) == 0 && size == 4) {
            const int terms = in.I32("the lens from control points option");
            doc.options.lensFromControlPoints = terms == 1 || terms == 2 ? terms : 0;
            continue;
        }
        if (std::memcmp(tag, kKeptOptionsTag, 4) == 0) {
            ReadKeptOptions(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kSnapTag, 4) == 0 && size == 4) {
            doc.options.snapToMarkerCentre = in.I32("the snap to marker centre option") != 0 ? 1 : 0;
            continue;
        }
        if (std::memcmp(tag, kButterworthTag, 4) == 0 && size == 4) {
            // Only where the version-3 field kept the stand-in.
            const int kept = in.I32("the Butterworth filter option");
            if (kept != 0 && doc.options.filtering == kFrequencyFiltering) {
                doc.options.filtering = kButterworthFiltering;
                doc.options.cutOffMethod = kept == 2 ? kResidualAnalysisCutOff : kept == 3 ? kWhitenessCutOff : kGivenCutOff;
            }
            continue;
        }
        if (std::memcmp(tag, kDigitizingErrorTag, 4) == 0 && size == 8) {
            const double error = in.F64("the digitizing error");
            if (!(error >= 0 && error <= kMaxDigitizingError)) throw FileFormatError("The digitizing error is damaged");
            doc.options.digitizingError = error;
            continue;
        }
        if (std::memcmp(tag, kRecomputeTag, 4) == 0 && size == 4) {
            doc.options.recomputeAfterChange = in.I32("the recompute after each change option") != 0 ? 1 : 0;
            continue;
        }
        if (std::memcmp(tag, kBandTag, 4) == 0) {
            ReadBand(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kCurveSourceTag, 4) == 0) {
            ReadCurveSource(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kSyncFractionsTag, 4) == 0) {
            ReadSyncFractions(in, size, doc);
            continue;
        }
        if (std::memcmp(tag, kExactPositionsTag, 4) == 0 && size == 4) {
            doc.options.exactPositions = in.I32("the exact positions option") != 0 ? 1 : 0;
            continue;
        }
        for (std::uint32_t left = size; left > 0;) {
            const std::uint32_t piece = std::min<std::uint32_t>(left, ByteReader::kWindow);
            in.Take(piece, "an extension");
            left -= piece;
        }
    }
}

}  // namespace kadivo
