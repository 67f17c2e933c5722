#include "TrackSet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>

namespace kadivo {

namespace {

// The keypoints of OpenPose's body models, in the order of their triples.
const std::vector<std::string> kBody25 = {"Nose",   "Neck",      "RShoulder", "RElbow", "RWrist",  "LShoulder", "LElbow",
                                          "LWrist", "MidHip",    "RHip",      "RKnee",  "RAnkle",  "LHip",      "LKnee",
                                          "LAnkle", "REye",      "LEye",      "REar",   "LEar",    "LBigToe",   "LSmallToe",
                                          "LHeel",  "RBigToe",   "RSmallToe", "RHeel"};
const std::vector<std::string> kCoco = {"Nose", "Neck",  "RShoulder", "RElbow", "RWrist", "LShoulder", "LElbow", "LWrist", "RHip",
                                        "RKnee", "RAnkle", "LHip",    "LKnee",  "LAnkle", "REye",      "LEye",   "REar",   "LEar"};
const std::vector<std::string> kMpi = {"Head", "Neck", "RShoulder", "RElbow", "RWrist", "LShoulder", "LElbow", "LWrist",
                                       "RHip", "RKnee", "RAnkle",   "LHip",   "LKnee",  "LAnkle",    "Chest"};

std::vector<std::string> KeypointNames(std::size_t count) {
    for (const std::vector<std::string>* model : {&kBody25, &kCoco, &kMpi})
        if (model->size() == count) return *model;
    std::vector<std::string> names;
    for (std::size_t k = 1; k <= count; ++k) names.push_back("Keypoint" + std::to_string(k));
    return names;
}

constexpr std::size_t kMostKeypoints = 1000;
const std::string kEnding = "_keypoints.json";

// The first person's triples, or none for a frame without people.
std::vector<TrackSample> FirstPerson(const std::string& text, const std::string& fileName) {
    nlohmann::json frame;
    try {
        frame = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& error) {
        throw TrackFileError(fileName + ", byte " + std::to_string(error.byte) + ": not JSON; this is no OpenPose file");
    } catch (const nlohmann::json::exception&) {
        // A number too large for a double, for one.
        throw TrackFileError(fileName + ": JSON that cannot be read; this is no OpenPose file");
    }
    if (!frame.is_object() || !frame.contains("people") || !frame["people"].is_array())
        throw TrackFileError(fileName + ": no list \"people\"; this is no OpenPose file");
    const nlohmann::json& people = frame["people"];
    if (people.empty()) return {};
    const nlohmann::json& person = people[0];
    if (!person.is_object() || !person.contains("pose_keypoints_2d") || !person["pose_keypoints_2d"].is_array())
        throw TrackFileError(fileName + ": people[0] has no list \"pose_keypoints_2d\"");
    const nlohmann::json& values = person["pose_keypoints_2d"];
    if (values.empty() || values.size() % 3 != 0 || values.size() / 3 > kMostKeypoints)
        throw TrackFileError(fileName + ": people[0].pose_keypoints_2d is not a list of x, y, confidence triples");
    std::vector<TrackSample> samples(values.size() / 3);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        float triple[3];
        for (std::size_t i = 0; i < 3; ++i) {
            const nlohmann::json& value = values[3 * k + i];
            if (!value.is_number() || !std::isfinite(value.get<double>()))
                throw TrackFileError(fileName + ": people[0].pose_keypoints_2d[" + std::to_string(3 * k + i) + "] is not a number");
            triple[i] = static_cast<float>(value.get<double>());
        }
        samples[k] = {triple[0], triple[1], triple[2]};
        if (triple[2] <= 0.0f) samples[k].x = samples[k].y = std::numeric_limits<float>::quiet_NaN();
    }
    return samples;
}

// "run_000000000042_keypoints.json" → run "run", frame 42.
bool SplitRunName(const std::string& name, std::string& run, std::uint64_t& frame) {
    if (name.size() <= kEnding.size() || name.compare(name.size() - kEnding.size(), kEnding.size(), kEnding) != 0) return false;
    const std::string stem = name.substr(0, name.size() - kEnding.size());
    const std::size_t underscore = stem.rfind('_');
    if (underscore == std::string::npos || underscore + 1 == stem.size() || stem.size() - underscore > 13) return false;
    const char* digits = stem.data() + underscore + 1;
    const char* end = stem.data() + stem.size();
    const auto [stop, error] = std::from_chars(digits, end, frame);
    if (error != std::errc() || stop != end) return false;
    run = stem.substr(0, underscore);
    return true;
}

}  // namespace

std::vector<std::string> OpenPoseRunFiles(const std::string& path) {
    namespace fs = std::filesystem;
    std::string run;
    std::uint64_t chosen = 0;
    if (!SplitRunName(fs::path(path).filename().string(), run, chosen)) return {path};
    std::map<std::uint64_t, std::string> frames;
    std::error_code error;
    const fs::path folder = fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        std::string entryRun;
        std::uint64_t frame = 0;
        if (SplitRunName(entry->path().filename().string(), entryRun, frame) && entryRun == run)
            frames[frame] = (fs::path(path).parent_path() / entry->path().filename()).string();
    }
    if (error) throw TrackFileError(folder.string() + ": " + error.message());
    if (frames.empty()) return {path};
    constexpr std::uint64_t kMostFrames = 10'000'000;
    if (frames.rbegin()->first >= kMostFrames)
        throw TrackFileError(frames.rbegin()->second + ": a frame number past " + std::to_string(kMostFrames));
    std::vector<std::string> files(frames.rbegin()->first + 1);
    for (auto& [frame, file] : frames) files[frame] = std::move(file);
    return files;
}

TrackSet ReadOpenPoseJson(const std::vector<std::string>& texts, const std::vector<std::string>& fileNames) {
    std::vector<std::vector<TrackSample>> people(texts.size());
    std::size_t keypoints = 0;
    std::string firstWithPeople;
    for (std::size_t f = 0; f < texts.size(); ++f) {
        if (texts[f].empty()) continue;  // a frame whose file is not there
        people[f] = FirstPerson(texts[f], fileNames[f]);
        if (people[f].empty()) continue;
        if (keypoints == 0) {
            keypoints = people[f].size();
            firstWithPeople = fileNames[f];
        } else if (people[f].size() != keypoints) {
            throw TrackFileError(fileNames[f] + ": " + std::to_string(people[f].size()) + " keypoints where " + firstWithPeople +
                                 " has " + std::to_string(keypoints));
        }
    }
    if (keypoints == 0) throw TrackFileError(fileNames.empty() ? "OpenPose: no file" : fileNames[0] + ": no frame shows a person");
    TrackSet tracks;
    tracks.hasLikelihood = true;
    tracks.names = KeypointNames(keypoints);
    const float none = std::numeric_limits<float>::quiet_NaN();
    for (std::vector<TrackSample>& frame : people) {
        if (frame.empty()) frame.assign(keypoints, TrackSample{none, none, 0.0f});
        tracks.frames.push_back(std::move(frame));
    }
    return tracks;
}

}  // namespace kadivo
