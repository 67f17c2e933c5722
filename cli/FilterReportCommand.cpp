#include "FilterReportCommand.h"

#include "CKadivoDoc.h"
#include "FilterEvidence.h"
#include "FilterOverride.h"
#include "JsonWriter.h"
#include "ReportedError.h"
#include "SeriesCommand.h"
#include "WorldSmoothing.h"

#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

const char* const kFilterReportUsage =
    "       kadivo-cli filter-report FILE.kdv --point NAME|CG [--filter spline|lowpass|butterworth]\n"
    "                  [--cutoff HZ|auto|whiteness]\n";

namespace {

constexpr const char* kAxisNames[] = {"x", "y", "z"};

void WriteCoordinate(JsonWriter& json, const CoordinateEvidence& evidence) {
    json.BeginObject();
    json.Key("axis").String(kAxisNames[evidence.axis]);
    json.Key("filter").String(FilterName(evidence.filtering));
    if (evidence.cutOffHz) json.Key("cutoff_hz").Double(*evidence.cutOffHz);
    if (evidence.smoothingParameter) json.Key("smoothing_parameter").Double(*evidence.smoothingParameter);
    json.Key("first_frame").Int(evidence.firstFrame);
    json.Key("frames").Int(static_cast<long long>(evidence.raw.size()));
    if (!evidence.curve.empty()) {
        json.Key("criterion").String(evidence.criterion);
        json.Key("parameter").String(evidence.parameter);
        if (evidence.noiseLine) {
            json.Key("noise_line").BeginObject();
            json.Key("intercept").Double(evidence.noiseLine->first);
            json.Key("slope").Double(evidence.noiseLine->second);
            json.EndObject();
        }
        if (evidence.limit) json.Key("limit").Double(*evidence.limit);
        json.Key("curve").BeginArray();
        for (const auto& [parameter, value] : evidence.curve) {
            json.BeginArray();
            json.Double(parameter);
            json.Double(value);
            json.EndArray();
        }
        json.EndArray();
    }
    json.EndObject();
}

}  // namespace

int RunFilterReportCommand(const std::vector<std::string>& args, CKadivoDoc& doc) {
    FilterOverride filter;
    const std::vector<std::string> rest = TakeFilterOverride(args, filter);
    std::string file, point;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == "--point") {
            if (i + 1 >= rest.size()) throw std::invalid_argument("--point takes a name");
            point = rest[++i];
        } else if (rest[i].rfind("--", 0) == 0) {
            throw std::invalid_argument("unknown option " + rest[i]);
        } else if (file.empty()) {
            file = rest[i];
        } else {
            throw std::invalid_argument("filter-report takes one file");
        }
    }
    if (file.empty() || point.empty()) throw std::invalid_argument("filter-report takes a file and --point NAME");
    if (!doc.OnOpenDocument(file)) throw ReportedError();
    if (doc.worldFrameCount <= 0 || doc.worldRaw.empty()) throw std::runtime_error("the sequence has no world data; transform it first");
    const int entry = WorldEntryNamed(doc, point);
    ApplyFilterOverride(filter, doc);
    SmoothWorldData(doc);
    JsonWriter json(stdout);
    json.BeginObject();
    json.Key("point").String(point);
    json.Key("frame_rate").Double(doc.HasUsableFramePeriod() ? 1.0 / doc.framePeriod : 0.0);
    json.Key("coordinates").BeginArray();
    for (const CoordinateEvidence& evidence : FilterEvidenceOf(doc, entry)) WriteCoordinate(json, evidence);
    json.EndArray();
    json.EndObject();
    json.Finish();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace kadivo::cli
