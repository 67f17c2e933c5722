#include "ExportCommand.h"

#include "Arguments.h"
#include "BvhExporter.h"
#include "C3dExporter.h"
#include "CKadivoDoc.h"
#include "CsmExporter.h"
#include "Kinematics.h"
#include "OpenSimExports.h"
#include "ReportedError.h"
#include "TextExports.h"

#include <filesystem>
#include <set>
#include <stdexcept>

namespace kadivo::cli {

namespace {

struct ExportRequest {
    std::string format;  // linear, angular, points, bvh, csm, c3d, trc, mot
    std::string out;
    bool force = false;
    std::vector<std::string> select;
    std::set<std::string> kinds, directions;
    bool raw = false, header = false, ccw = false, millimetres = false, halfWidths = false;
    AxisMapping axes = kZUpToYUp;
    std::string actor, comment;
    std::vector<std::pair<int, std::string>> labels;
};

ExportRequest Parse(const std::vector<std::string>& options) {
    ExportRequest r;
    const std::set<std::string> formats = {"--linear", "--angular", "--points", "--bvh", "--csm", "--c3d", "--trc", "--mot"};
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        auto value = [&]() -> const std::string& { return OptionValue(options, i); };
        if (formats.count(option)) {
            if (!r.format.empty()) throw std::invalid_argument("name one export format");
            r.format = option.substr(2);
            r.out = value();
        } else if (option == "--force") r.force = true;
        else if (option == "--select") r.select = SplitList(value());
        else if (option == "--kinds") for (const std::string& k : SplitList(value())) r.kinds.insert(k);
        else if (option == "--directions") for (const std::string& d : SplitList(value())) r.directions.insert(d);
        else if (option == "--raw") r.raw = true;
        else if (option == "--header") r.header = true;
        else if (option == "--ci") r.halfWidths = true;
        else if (option == "--ccw") r.ccw = true;
        else if (option == "--mm") r.millimetres = true;
        else if (option == "--axes") {
            const std::optional<AxisMapping> axes = ParseAxisMapping(value());
            if (!axes) throw std::invalid_argument("--axes takes each of x, y and z once, as x,z,-y");
            r.axes = *axes;
        }
        else if (option == "--actor") r.actor = value();
        else if (option == "--comment") r.comment = value();
        else if (option == "--label") {
            const std::string& text = value();
            const std::size_t equals = text.find('=');
            const int index = equals == std::string::npos ? -1 : ParseIndex(text.substr(0, equals));
            if (index < 0) throw std::invalid_argument("--label takes INDEX=TEXT: " + text);
            r.labels.emplace_back(index, text.substr(equals + 1));
        } else {
            throw std::invalid_argument("unknown option " + option);
        }
    }
    if (r.format.empty()) throw std::invalid_argument("name an export format, as --linear OUT");
    return r;
}

// The rows `select` names among `names`: "all", names, or 0-based indices.
std::vector<bool> SelectRows(const std::vector<std::string>& select, const std::vector<std::string>& names) {
    std::vector<bool> rows(names.size(), false);
    for (const std::string& item : select) {
        if (item == "all") {
            rows.assign(names.size(), true);
            continue;
        }
        bool found = false;
        for (std::size_t n = 0; n < names.size(); ++n) {
            if (names[n] == item) rows[n] = found = true;
        }
        const int index = ParseIndex(item);
        if (!found && index >= 0 && index < static_cast<int>(names.size())) rows[static_cast<std::size_t>(index)] = found = true;
        if (!found) throw std::invalid_argument("nothing to select by \"" + item + "\"");
    }
    return rows;
}

std::vector<std::string> PointNames(const CKadivoDoc& doc, bool withCentreOfGravity) {
    std::vector<std::string> names;
    for (int p = 0; p < doc.pointCount; ++p) names.push_back(doc.modelPoints[static_cast<std::size_t>(p)].name);
    if (withCentreOfGravity) names.push_back("CG");
    return names;
}

void RequireEmpty(const std::string& problem) {
    if (!problem.empty()) throw std::invalid_argument(problem.substr(0, problem.find('!')));
}

void Write(CKadivoDoc& doc, const std::string& path, const std::string& text) {
    if (!WriteExportFile(doc, path, text, kDataFileFailure)) throw ReportedError();
}

}  // namespace

void RunExport(CKadivoDoc& doc, const std::vector<std::string>& options) {
    const ExportRequest r = Parse(options);
    if (!r.force && std::filesystem::exists(r.out))
        throw std::runtime_error(r.out + " exists; --force replaces it");
    const bool needsWorld = r.format != "points";
    if (needsWorld && doc.worldRaw.empty()) throw std::runtime_error("the sequence has no world data; transform it first");
    if (needsWorld && !CheckFramePeriod(doc)) throw ReportedError();
    const std::tm now = LocalTimeNow();
    if (r.format == "linear") {
        LinearExportOptions o;
        o.rows = SelectRows(r.select, PointNames(doc, true));
        o.position = r.kinds.count("pos");
        o.velocity = r.kinds.count("vel");
        o.acceleration = r.kinds.count("acc");
        o.x = r.directions.count("x");
        o.y = r.directions.count("y");
        o.z = r.directions.count("z");
        o.distance = r.directions.count("3d");
        o.smoothed = !r.raw;
        o.header = r.header;
        o.halfWidths = r.halfWidths;
        RequireEmpty(ValidateLinearExport(o));
        Write(doc, r.out, LinearExportText(doc, o, now));
    } else if (r.format == "angular") {
        AngularExportOptions o;
        std::vector<std::string> joints;
        for (const ExportJoint& joint : BuildJointList(doc)) joints.push_back(joint.name);
        o.rows = SelectRows(r.select, joints);
        o.angle = r.kinds.count("angle");
        o.x = r.directions.count("x");
        o.y = r.directions.count("y");
        o.z = r.directions.count("z");
        o.threeD = r.directions.count("3d");
        o.counterClockwise = r.ccw;
        o.smoothed = !r.raw;
        o.header = r.header;
        o.halfWidths = r.halfWidths;
        RequireEmpty(ValidateAngularExport(o));
        Write(doc, r.out, AngularExportText(doc, o, now));
    } else if (r.format == "trc") {
        TrcExportOptions o;
        o.rows = r.select.empty() ? std::vector<bool>(static_cast<std::size_t>(doc.pointCount), true)
                                  : SelectRows(r.select, PointNames(doc, false));
        o.smoothed = !r.raw;
        o.millimetres = r.millimetres;
        o.axes = r.axes;
        Write(doc, r.out, TrcExportText(doc, o, std::filesystem::path(r.out).filename().string()));
    } else if (r.format == "mot") {
        AngularExportOptions o;
        std::vector<std::string> joints;
        for (const ExportJoint& joint : BuildJointList(doc)) joints.push_back(joint.name);
        o.rows = r.select.empty() ? std::vector<bool>(joints.size(), true) : SelectRows(r.select, joints);
        o.angle = true;
        o.x = r.directions.count("x");
        o.y = r.directions.count("y");
        o.z = r.directions.count("z") || r.directions.empty();
        o.counterClockwise = r.ccw;
        o.smoothed = !r.raw;
        Write(doc, r.out, MotExportText(doc, o, std::filesystem::path(r.out).stem().string()));
    } else if (r.format == "points") {
        PointsExportOptions o;
        o.rows = SelectRows(r.select, PointNames(doc, false));
        o.header = r.header;
        Write(doc, r.out, PointsExportText(doc, o, now));
    } else if (r.format == "bvh") {
        if (!WriteExportFile(doc, r.out, BvhExporter(doc).Text(), "The BVH File could not be created!"))
            throw ReportedError();
    } else if (r.format == "csm") {
        CsmExportOptions o;
        o.mapping = DefaultCsmMapping(doc);
        for (const auto& [index, label] : r.labels) {
            if (index >= static_cast<int>(o.mapping.size())) throw std::invalid_argument("--label names no model point");
            o.mapping[static_cast<std::size_t>(index)] = label;
        }
        o.actor = r.actor;
        o.comment = r.comment;
        if (!CsmExporter(doc).Write(o, r.out)) throw ReportedError();
    } else {
        if (!C3dExporter(doc).Write(r.out)) throw ReportedError();
    }
}

}  // namespace kadivo::cli
