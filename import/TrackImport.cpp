#include "TrackImport.h"

#include "CKadivoDoc.h"
#include "FileIo.h"
#include "Hdf5TrackReader.h"
#include "IsolatedRead.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace kadivo {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameName(names[i], name)) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> ModelNames(const CKadivoDoc& doc) {
    std::vector<std::string> names;
    for (int p = 0; p < doc.pointCount; ++p) names.push_back(doc.modelPoints[static_cast<std::size_t>(p)].name);
    return names;
}

}  // namespace

bool ParseTrackFormat(const std::string& name, TrackFormat& format) {
    if (name == "deeplabcut-csv") format = TrackFormat::DeepLabCutCsv;
    else if (name == "deeplabcut-h5") format = TrackFormat::DeepLabCutH5;
    else if (name == "dltdv-xypts") format = TrackFormat::DltdvXypts;
    else if (name == "sleap-h5") format = TrackFormat::SleapH5;
    else if (name == "openpose-json") format = TrackFormat::OpenPoseJson;
    else return false;
    return true;
}

TrackFormat GuessTrackFormat(const std::string& leadingBytes) {
    if (leadingBytes.rfind("\x89HDF\r\n\x1a\n", 0) == 0)
        return leadingBytes.find("df_with_missing") != std::string::npos ? TrackFormat::DeepLabCutH5 : TrackFormat::SleapH5;
    const std::size_t first = leadingBytes.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && leadingBytes[first] == '{') return TrackFormat::OpenPoseJson;
    return leadingBytes.rfind("scorer,", 0) == 0 ? TrackFormat::DeepLabCutCsv : TrackFormat::DltdvXypts;
}

TrackFormat GuessTrackFileFormat(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    // HDF5 keeps its group names near the start: a megabyte holds pandas' key.
    std::string start(1 << 20, '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    if (in.gcount() <= 0) throw TrackFileError(path + ": the file cannot be read");
    start.resize(static_cast<std::size_t>(in.gcount()));
    return GuessTrackFormat(start);
}

TrackSet ReadTrackText(TrackFormat format, const std::string& text, const std::string& fileName, int camera) {
    if (format == TrackFormat::SleapH5 || format == TrackFormat::DeepLabCutH5)
        throw TrackFileError(fileName + ": an HDF5 file is read from its path");
    if (format == TrackFormat::OpenPoseJson) return ReadOpenPoseJson({text}, {fileName});
    return format == TrackFormat::DeepLabCutCsv ? ReadDeepLabCutCsv(text, fileName) : ReadDltdvXypts(text, fileName, camera);
}

std::string ReadTrackFileText(const std::string& path) {
    try {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    } catch (const std::exception& error) {
        throw TrackFileError(path + ": " + error.what());
    }
}

TrackSet ReadTrackFile(TrackFormat format, const std::string& path, int camera) {
    // The HDF5 library can crash on a damaged file: it reads in a process of its own.
    if (format == TrackFormat::SleapH5 || format == TrackFormat::DeepLabCutH5) {
        const auto read = Hdf5TrackReader(format == TrackFormat::SleapH5, path);
        return ReadTracksInChildProcess(path, [&] { return read(path); });
    }
    if (format == TrackFormat::OpenPoseJson) {
        // One file a frame: the whole run of the chosen file.
        const std::vector<std::string> files = OpenPoseRunFiles(path);
        std::vector<std::string> texts;
        for (const std::string& file : files) texts.push_back(file.empty() ? std::string() : ReadTrackFileText(file));
        return ReadOpenPoseJson(texts, files);
    }
    return ReadTrackText(format, ReadTrackFileText(path), path, camera);
}

TrackImportPlan PlanByName(const TrackSet& tracks, const CKadivoDoc& doc) {
    TrackImportPlan plan;
    const std::vector<std::string> model = ModelNames(doc);
    for (const std::string& name : tracks.names) plan.modelPointOf.push_back(IndexOf(model, name));
    return plan;
}

void ApplyNameMap(TrackImportPlan& plan, const std::string& map, const TrackSet& tracks, const CKadivoDoc& doc) {
    const std::vector<std::string> model = ModelNames(doc);
    std::size_t start = 0;
    while (start < map.size()) {
        std::size_t end = map.find(',', start);
        if (end == std::string::npos) end = map.size();
        const std::string pair = map.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = pair.find('=');
        if (equals == std::string::npos) throw std::invalid_argument("--map takes THEIRS=OURS pairs: " + pair);
        const int theirs = IndexOf(tracks.names, pair.substr(0, equals));
        const int ours = IndexOf(model, pair.substr(equals + 1));
        if (theirs < 0) throw std::invalid_argument("the file has no point \"" + pair.substr(0, equals) + "\"");
        if (ours < 0) throw std::invalid_argument("the model has no point \"" + pair.substr(equals + 1) + "\"");
        plan.modelPointOf[static_cast<std::size_t>(theirs)] = ours;
    }
}

void CheckTrackImportPlan(const TrackImportPlan& plan, const TrackSet& tracks, const CKadivoDoc& doc, const std::string& fileName) {
    std::vector<int> pairedWith(static_cast<std::size_t>(doc.pointCount), -1);
    bool any = false;
    for (std::size_t theirs = 0; theirs < plan.modelPointOf.size() && theirs < tracks.names.size(); ++theirs) {
        const int ours = plan.modelPointOf[theirs];
        if (ours < 0) continue;
        if (ours >= doc.pointCount) throw TrackFileError(fileName + ": \"" + tracks.names[theirs] + "\" is paired with no point of the model");
        int& earlier = pairedWith[static_cast<std::size_t>(ours)];
        if (earlier >= 0)
            throw TrackFileError(fileName + ": \"" + tracks.names[static_cast<std::size_t>(earlier)] + "\" and \"" + tracks.names[theirs] +
                                 "\" are both paired with the model's point \"" + doc.modelPoints[static_cast<std::size_t>(ours)].name + "\"");
        earlier = static_cast<int>(theirs);
        any = true;
    }
    if (!any) throw TrackFileError(fileName + ": none of its points is paired with a point of the model");
}

void ImportTracks(CKadivoDoc& doc, int view, const TrackSet& tracks, const TrackImportPlan& plan, const std::string& fileName) {
    if (view < 0 || view >= doc.viewCount()) throw TrackFileError("the sequence has no camera view " + std::to_string(view + 1));
    CheckTrackImportPlan(plan, tracks, doc, fileName);
    if (!doc.HasVideo(view)) throw TrackFileError("camera view " + std::to_string(view + 1) + " has no video to import into");
    VideoSourceInterface& source = *doc.views[static_cast<std::size_t>(view)].videoSource;
    const double height = source.DisplaySize().height / static_cast<double>(source.Zoom());
    const int frames = static_cast<int>(tracks.frames.size());
    if (frames > doc.LastFrame(view) + 1)
        throw TrackFileError(fileName + ": " + std::to_string(frames) + " frames, but the video of camera view " +
                             std::to_string(view + 1) + " has " + std::to_string(doc.LastFrame(view) + 1));
    std::vector<ImportedFrame> imported;
    imported.reserve(tracks.frames.size());
    for (int f = 0; f < frames; ++f) {
        ImportedFrame& frame = imported.emplace_back();
        frame.frame = f;
        const std::vector<TrackSample>& samples = tracks.frames[static_cast<std::size_t>(f)];
        for (std::size_t p = 0; p < samples.size() && p < plan.modelPointOf.size(); ++p) {
            const int point = plan.modelPointOf[p];
            if (point < 0) continue;
            const TrackSample& s = samples[p];
            const bool found = !std::isnan(s.x) && !std::isnan(s.y) && s.likelihood >= plan.minimumLikelihood;
            frame.points.emplace_back(point, found ? Point2f{s.x, static_cast<float>(height - s.y)} : kNoPosition);
        }
        std::sort(frame.points.begin(), frame.points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    doc.ImportPositions(view, imported);
}

}  // namespace kadivo
