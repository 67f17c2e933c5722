#include "CalibrationProfiles.h"

#include "DataDirectory.h"
#include "Prompts.h"
#include "Limits.h"
#include "ProfileText.h"
#include "ProfileWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kadivo {

std::string CalibrationProfilePath() { return DataFilePath("calibration.ini"); }

// --- CalibrationProfile ---------------------------------------------------------------------

void CalibrationProfile::RemovePoint(int i) {
    if (Valid(i)) points.erase(points.begin() + i);
}

void CalibrationProfile::SetPoint(int i, double x, double y, double z) {
    if (Valid(i)) points[static_cast<std::size_t>(i)] = {x, y, z};
}
void CalibrationProfile::SetX(int i, double x) {
    if (Valid(i)) points[static_cast<std::size_t>(i)].x = x;
}
void CalibrationProfile::SetY(int i, double y) {
    if (Valid(i)) points[static_cast<std::size_t>(i)].y = y;
}
void CalibrationProfile::SetZ(int i, double z) {
    if (Valid(i)) points[static_cast<std::size_t>(i)].z = z;
}

Point3 CalibrationProfile::GetPoint(int i) const { return Valid(i) ? points[static_cast<std::size_t>(i)] : Point3{}; }

void CalibrationProfile::SetType(int type) {
    calibrationType = type;
    if (type == 0 && pointCount() != kPosturePoints) SetPointCount(kPosturePoints);
}

// --- CalibrationProfileList -----------------------------------------------------------------

CalibrationProfileList::CalibrationProfileList(std::string path) : profiles(1), path_(std::move(path)) {}

bool CalibrationProfileList::ContainsName(const std::string& name) const {
    return std::any_of(profiles.begin(), profiles.end(), [&](const CalibrationProfile& p) { return p.profileName == name; });
}

namespace {

// A point line: the first field (the point's own number) is skipped, the others are numbers.
// A line with a coordinate that is not a finite number gives nothing but keeps its place;
// the reason comes back.
std::string ReadPointLine(CalibrationProfile& profile, int& counter, const std::string& line) {
    const std::vector<std::string> fields = SplitFields(line);
    auto value = [&](std::size_t f) { return f < fields.size() ? LeadingDouble(fields[f]) : 0.0; };
    const int place = counter++;
    if (place >= profile.pointCount()) return {};
    const Point3 p{value(1), value(2), value(3)};
    const int used = profile.calibrationType == 0 ? 1 : (profile.calibrationType == 1 ? 3 : 2);
    const bool finite = std::isfinite(p.x) && (used < 2 || std::isfinite(p.y)) && (used < 3 || std::isfinite(p.z));
    if (!finite) return "coordinate that is not a finite number";
    switch (profile.calibrationType) {
    case 0: profile.SetPoint(3, 0.0, p.x, 0.0); break;
    case 1: profile.SetPoint(place, p.x, p.y, p.z); break;
    default: profile.SetPoint(place, p.x, p.y, 0.0); break;
    }
    return {};
}

}  // namespace

void CalibrationProfileList::Load() {
    ProfileFileContent content = ReadProfileFile(path_);
    LoadText(content.bytes);
    readError_ = std::move(content.error);
}

void CalibrationProfileList::LoadText(const std::vector<std::uint8_t>& bytes) {
    const std::vector<std::string> lines = SplitProfileLines(bytes);
    profiles.clear();
    skipped_.clear();
    readError_.clear();
    const auto skip = [&](std::size_t n, std::string reason) {
        skipped_.push_back({static_cast<int>(n) + 1, std::move(reason)});
    };
    int counter = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.size() <= 1) continue;
        if (line[0] != '*') {
            if (profiles.empty()) continue;
            if (std::string reason = ReadPointLine(profiles.back(), counter, line); !reason.empty())
                skip(n, std::move(reason));
            continue;
        }
        CalibrationProfile& profile = profiles.emplace_back();
        profile.profileName = line.substr(1, line.size() - 2);
        const int type = ++n < lines.size() ? LeadingInt(lines[n]) : 0;
        // Only the three methods exist; anything else is read as a 3D frame, which keeps
        // every coordinate of its points.
        profile.calibrationType = type >= 0 && type <= 2 ? type : 1;
        if (profile.calibrationType != type) skip(n, "calibration method outside 0..2, read as 1");
        int count = ++n < lines.size() ? LeadingInt(lines[n]) : 0;
        if (count < 0 || count > CalibrationProfile::kMaxPoints) {
            count = CalibrationProfile::kMaxPoints;
            skip(n, "point count outside 0.." + std::to_string(CalibrationProfile::kMaxPoints) + ", read as " +
                        std::to_string(count));
        }
        if (profile.calibrationType == 0) count = CalibrationProfile::kPosturePoints;
        profile.SetPointCount(count);
        counter = 0;
    }
    lastIndex = static_cast<int>(profiles.size());
    profiles.emplace_back();
    selected = 0;
}

std::string CalibrationProfileList::Text() const {
    std::string text;
    char line[512];
    for (int e = 0; e <= lastIndex && e < static_cast<int>(profiles.size()); ++e) {
        const CalibrationProfile& profile = profiles[static_cast<std::size_t>(e)];
        if (profile.profileName == kNewProfileName) continue;
        text += "*" + profile.profileName + "\n" + std::to_string(profile.calibrationType) + "\n" +
                std::to_string(profile.pointCount()) + "\n";
        if (profile.calibrationType == 0) {
            std::snprintf(line, sizeof line, "%d\t%2.6f\n", 1, profile.GetY(3));
            text += line;
            continue;
        }
        for (int i = 0; i < profile.pointCount(); ++i) {
            const Point3 p = profile.GetPoint(i);
            if (profile.calibrationType == 1) std::snprintf(line, sizeof line, "%d\t%2.6f\t%2.6f\t%2.6f\n", i + 1, p.x, p.y, p.z);
            else std::snprintf(line, sizeof line, "%d\t%2.6f\t%2.6f\n", i + 1, p.x, p.y);
            text += line;
        }
    }
    return text;
}

bool CalibrationProfileList::Save(Prompts& prompts) const { return SaveProfileText(path_, Text(), readError_, prompts); }

bool CalibrationProfileList::Select(int i) {
    if (i < 0 || i > lastIndex) return false;
    selected = i;
    return true;
}

std::string CalibrationProfileList::GetName(int i) const {
    return i >= 0 && i <= lastIndex ? profiles[static_cast<std::size_t>(i)].profileName : std::string();
}

int CalibrationProfileList::SelectedCountForSequence() const { return std::min(SelectedCount(), kMaxCalibrationPoints); }

void CalibrationProfileList::CopySelectedTo(std::vector<Point3>& calibrationPoints) const {
    const int count = SelectedCountForSequence();
    if (count < 1) return;
    calibrationPoints.assign(static_cast<std::size_t>(count) + 1, Point3{});
    std::copy_n(Selected().points.begin(), count, calibrationPoints.begin());
}

NewSequenceSetup SetupFromProfiles(const ModelProfileList& models, const CalibrationProfileList& calibrations) {
    NewSequenceSetup setup;
    setup.pointCount = models.CopySelectedTo(setup.modelPoints);
    setup.calibrationType = calibrations.SelectedType();
    setup.calibrationPointCount = calibrations.SelectedCountForSequence();
    calibrations.CopySelectedTo(setup.calibrationPoints);
    return setup;
}

}  // namespace kadivo
