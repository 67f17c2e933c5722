// kadivo-cli: inspect, transform and export sequences without a display.

#include "BatchCommand.h"
#include "CDltCalibration.h"
#include "CaptureCommands.h"
#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "CalibrationReport.h"
#include "DltCommands.h"
#include "ExportCommand.h"
#include "ImportCommand.h"
#include "LensCommand.h"
#include "PhotogrammetryOverrides.h"
#include "FileIo.h"
#include "FilterOverride.h"
#include "FilterReportCommand.h"
#include "HeadlessPrompts.h"
#include "ProfilesCommand.h"
#include "RecoverCommand.h"
#include "ReportedError.h"
#include "SequenceFile.h"
#include "SequenceJson.h"
#include "SeriesCommand.h"
#include "SyncCommand.h"
#include "TrackCommand.h"
#include "TrialCommand.h"
#include "VideoCommands.h"
#include "VideoSource.h"
#include "WorldCompletion.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kadivo;

constexpr const char* kUsage =
    "usage: kadivo-cli info FILE.kdv\n"
    "       kadivo-cli resave IN.kdv OUT.kdv\n"
    "       kadivo-cli calibrate FILE.kdv [--points] [--exact-positions] [--lens-from-control-points[=tangential]]\n"
    "                  [--lens VIEW=FILE]...\n"
    "       kadivo-cli transform IN.kdv OUT.kdv [--exact-positions] [--lens-from-control-points[=tangential]]\n"
    "                  [--lens VIEW=FILE]... [--filter spline|lowpass|butterworth] [--cutoff HZ|auto|whiteness]\n"
    "       kadivo-cli series FILE.kdv --point NAME|CG --quantity pos|vel|acc --axis x|y|z|3d [--raw] [--ci]\n"
    "       kadivo-cli series FILE.kdv --joint INDEX --axis x|y|z [--quantity pos|vel|acc] [--ccw] [--raw] [--ci]\n";

std::string Usage() {
    return std::string(kUsage) + cli::kDltUsage + cli::kTrackUsage + cli::kTrialUsage + cli::kBatchUsage + cli::kExportUsage + cli::kImportUsage + cli::kVideoUsage + cli::kLensUsage + cli::kCaptureUsage + cli::kRecoverUsage + cli::kFilterReportUsage + cli::kSyncUsage +
           cli::kProfilesUsage;
}

// Opens a sequence file the way the program does; its windows are kept as records.
void LoadSequence(const std::string& path, CKadivoDoc& doc) {
    if (!doc.OnOpenDocument(path)) throw cli::ReportedError();
}

int Info(const std::vector<std::string>& args, CKadivoDoc& doc) {
    if (args.size() != 1) throw std::invalid_argument("info takes one file");
    LoadSequence(args[0], doc);
    cli::PrintSequenceJson(doc, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Resave(const std::vector<std::string>& args, CKadivoDoc& doc) {
    if (args.size() != 2) throw std::invalid_argument("resave takes an input and an output file");
    LoadSequence(args[0], doc);
    SaveSequenceFile(doc, args[1]);
    return 0;
}

// Calibrates the views as "Transform Image Data" does and prints each view's parameters as
// the parameters dialog shows them, with the residual of its control points; with --points,
// each control point's reprojection and leave-one-out errors in the picture's pixels (after
// the lens correction), worst first.
int Calibrate(const std::vector<std::string>& args, CKadivoDoc& doc) {
    bool points = false;
    cli::PhotogrammetryOverrides overrides;
    std::vector<std::string> files;
    for (const std::string& arg : cli::TakePhotogrammetryOverrides(args, overrides)) {
        if (arg == "--points") points = true;
        else if (arg.rfind("--", 0) == 0) throw std::invalid_argument("unknown option " + arg);
        else files.push_back(arg);
    }
    if (files.size() != 1) throw std::invalid_argument("calibrate takes one file and its options");
    LoadSequence(files[0], doc);
    cli::ApplyPhotogrammetryOverrides(overrides, doc);
    // Imported coefficients are the calibration as the sequence opened.
    if (!doc.importedDlt) {
        if (doc.calibrationPoints.empty()) throw std::runtime_error("the sequence has no calibration profile");
        doc.steps.calibrateViews(doc);
    }
    if (!doc.dltValid && PosturePointsLevel(doc))
        throw std::runtime_error("the posture points are level: the first and fourth lie on the same image row");
    if (!doc.dltValid) throw std::runtime_error("no view has a complete calibration frame to calibrate");
    for (int view = 1; view <= doc.dlt.viewCount; ++view) {
        std::printf("View %d\n", view);
        if (CalibrationIsDegenerate(doc, view)) std::printf("%s\n", kDegenerateCalibration);
        for (const auto& [id, value] : DltParameterRows(doc.dlt, view)) std::printf("%s\t%s\n", id.c_str(), value.c_str());
        const int documentView = doc.dlt.viewCount == 1 ? doc.currentView : view - 1;
        if (const std::string lens = cli::LensLine(doc, documentView); !lens.empty()) std::printf("%s\n", lens.c_str());
        if (points)
            for (const ControlPointError& error : CalibrationReport(doc, view))
                std::printf("%s\n", ControlPointErrorLine(error).c_str());
    }
    return 0;
}

// "Transform Image Data" without a display: calibration, reconstruction and the
// completion of the world data, then the sequence is saved.
int Transform(const std::vector<std::string>& args, CKadivoDoc& doc) {
    cli::PhotogrammetryOverrides overrides;
    cli::FilterOverride filter;
    const std::vector<std::string> files = cli::TakeFilterOverride(cli::TakePhotogrammetryOverrides(args, overrides), filter);
    if (files.size() != 2 || files[0].rfind("--", 0) == 0 || files[1].rfind("--", 0) == 0)
        throw std::invalid_argument("transform takes an input and an output file and its options");
    LoadSequence(files[0], doc);
    cli::ApplyPhotogrammetryOverrides(overrides, doc);
    cli::ApplyFilterOverride(filter, doc);
    if (const char* obstacle = cli::TransformObstacle(doc)) throw std::runtime_error(obstacle);
    doc.OnTransformImageData();
    if (!doc.dltValid) throw std::runtime_error("the views could not be calibrated");
    SaveSequenceFile(doc, files[1]);
    return 0;
}

int Export(const std::vector<std::string>& args, CKadivoDoc& doc) {
    if (args.empty()) throw std::invalid_argument("export takes a file");
    LoadSequence(args[0], doc);
    cli::RunExport(doc, {args.begin() + 1, args.end()});
    return 0;
}

int Series(const std::vector<std::string>& args, CKadivoDoc& doc) {
    if (args.empty()) throw std::invalid_argument("series takes a file");
    const cli::SeriesRequest request = cli::ParseSeriesRequest({args.begin() + 1, args.end()});
    LoadSequence(args[0], doc);
    const std::vector<float> values = cli::ComputeSeries(doc, request);
    if (!request.halfWidths) {
        for (float value : values) std::printf("%.9g\n", static_cast<double>(value));
        return 0;
    }
    // The value and the half-width of its 95 % band, a tab between.
    const std::vector<float> halfWidths = cli::ComputeHalfWidths(doc, request);
    for (std::size_t f = 0; f < values.size(); ++f)
        std::printf("%.9g\t%.9g\n", static_cast<double>(values[f]), static_cast<double>(f < halfWidths.size() ? halfWidths[f] : NAN));
    return 0;
}

// Tracks markers through the videos without a display and saves the result.
int Track(const std::vector<std::string>& args, CKadivoDoc& doc) {
    const cli::TrackRequest request = cli::ParseTrackRequest(args);
    LoadSequence(request.in, doc);
    return cli::RunTrack(request, doc);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Usage().c_str(), stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    HeadlessPrompts prompts(stderr, "kadivo-cli: ");
    CKadivoDoc doc(prompts, MakeVideoSourceFactory(prompts));
    InstallSequenceSteps(doc.steps);
    try {
        if (command == "info") return Info(args, doc);
        if (command == "resave") return Resave(args, doc);
        if (command == "calibrate") return Calibrate(args, doc);
        if (command == "dlt-export") return cli::RunDltExport(args, doc);
        if (command == "dlt-import") return cli::RunDltImport(args, doc);
        if (command == "transform") return Transform(args, doc);
        if (command == "series") return Series(args, doc);
        if (command == "filter-report") return cli::RunFilterReportCommand(args, doc);
        if (command == "sync") return cli::RunSyncCommand(args, doc);
        if (command == "export") return Export(args, doc);
        if (command == "track") return Track(args, doc);
        if (command == "trial") return cli::RunTrial(cli::ParseTrialRequest(args), doc);
        if (command == "batch") return cli::RunBatchCommand(args);
        if (command == "import") return cli::RunImportCommand(args, doc);
        if (command == "frame") return cli::RunFrameCommand(args);
        if (command == "lens") return cli::RunLensCommand(args);
        if (command == "video-info") return cli::RunVideoInfoCommand(args);
        if (command == "capture-info") return cli::RunCaptureInfoCommand(args);
        if (command == "capture") return cli::RunCaptureCommand(args);
        if (command == "profiles") return cli::RunProfilesCommand(args);
        if (command == "recover") return cli::RunRecoverCommand(args);
        std::fprintf(stderr, "kadivo-cli: unknown command \"%s\"\n%s", command.c_str(), Usage().c_str());
        return 2;
    } catch (const cli::ReportedError&) {
        return 1;
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "kadivo-cli: %s\n%s", error.what(), Usage().c_str());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kadivo-cli: %s\n", error.what());
        return 1;
    }
}
