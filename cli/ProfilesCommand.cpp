#include "ProfilesCommand.h"

#include "CalibrationProfiles.h"
#include "JsonWriter.h"
#include "ModelProfiles.h"

#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

const char* const kProfilesUsage = "       kadivo-cli profiles   (the databases of $kadivodir or the data folder)\n";

namespace {

void Skipped(JsonWriter& json, const std::vector<SkippedProfileLine>& lines) {
    json.Key("skipped").BeginArray();
    for (const SkippedProfileLine& skipped : lines) {
        json.BeginObject();
        json.Key("line").Int(skipped.line);
        json.Key("reason").String(skipped.reason);
        json.EndObject();
    }
    json.EndArray();
}

void Models(JsonWriter& json, const ModelProfileList& models) {
    json.BeginObject();
    json.Key("file").String(models.path());
    json.Key("profiles").BeginArray();
    for (int p = 0; p < models.lastIndex; ++p) {
        const ModelProfile& profile = models.profiles[static_cast<std::size_t>(p)];
        json.BeginObject();
        json.Key("name").String(profile.profileName);
        json.Key("points").BeginArray();
        for (int i = 0; i < profile.pointCount(); ++i) {
            json.BeginObject();
            json.Key("number").Int(i + 1);
            json.Key("side").String(std::string(1, profile.GetSideChar(i)));
            json.Key("name").String(profile.GetName(i));
            json.Key("segments").BeginArray();
            for (int k = 0; k < profile.SegmentCount(i); ++k) {
                json.BeginObject();
                json.Key("linked").Int(profile.SegmentLinked(i, k) + 1);
                json.Key("name").String(profile.SegmentName(i, k));
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    Skipped(json, models.Skipped());
    json.EndObject();
}

void Calibrations(JsonWriter& json, const CalibrationProfileList& calibrations) {
    json.BeginObject();
    json.Key("file").String(calibrations.path());
    json.Key("profiles").BeginArray();
    for (int p = 0; p < calibrations.lastIndex; ++p) {
        const CalibrationProfile& profile = calibrations.profiles[static_cast<std::size_t>(p)];
        json.BeginObject();
        json.Key("name").String(profile.profileName);
        json.Key("method").Int(profile.calibrationType);
        json.Key("points").BeginArray();
        for (const Point3& point : profile.points) {
            json.BeginArray();
            json.Double(point.x);
            json.Double(point.y);
            json.Double(point.z);
            json.EndArray();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    Skipped(json, calibrations.Skipped());
    json.EndObject();
}

}  // namespace

int RunProfilesCommand(const std::vector<std::string>& args) {
    if (!args.empty()) throw std::invalid_argument("profiles takes no arguments");
    ModelProfileList models(ModelProfilePath());
    models.Load();
    if (!models.ReadError().empty()) throw std::runtime_error(models.ReadError());
    CalibrationProfileList calibrations(CalibrationProfilePath());
    calibrations.Load();
    if (!calibrations.ReadError().empty()) throw std::runtime_error(calibrations.ReadError());

    JsonWriter json(stdout);
    json.BeginObject();
    json.Key("model");
    Models(json, models);
    json.Key("calibration");
    Calibrations(json, calibrations);
    json.EndObject();
    json.Finish();
    return 0;
}

}  // namespace kadivo::cli
