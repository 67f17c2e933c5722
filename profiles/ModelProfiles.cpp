#include "ModelProfiles.h"

#include "DataDirectory.h"
#include "Prompts.h"
#include "ProfileText.h"
#include "ProfileWriter.h"

#include <algorithm>

namespace kadivo {

std::string ModelProfilePath() { return DataFilePath("model.ini"); }

// --- ModelProfile ---------------------------------------------------------------------------

void ModelProfile::SetPointCount(int n) {
    if (n < 1 || n > kMaxPoints) return;
    pointNames_.clear();
    for (int i = 1; i <= n; ++i) pointNames_.push_back("Point " + std::to_string(i));
    pointSides_.assign(static_cast<std::size_t>(n), kSideRight);
    segments_.assign(static_cast<std::size_t>(n), {});
}

void ModelProfile::AddPoint() {
    pointNames_.push_back("Point " + std::to_string(pointCount() + 1));
    pointSides_.push_back(kSideRight);
    segments_.emplace_back();
}

void ModelProfile::RemovePoint(int i) {
    if (!Valid(i)) return;
    pointNames_.erase(pointNames_.begin() + i);
    pointSides_.erase(pointSides_.begin() + i);
    segments_.erase(segments_.begin() + i);
}

void ModelProfile::SetName(int i, const std::string& name) {
    if (Valid(i)) pointNames_[static_cast<std::size_t>(i)] = name;
}

std::string ModelProfile::GetName(int i) const { return Valid(i) ? pointNames_[static_cast<std::size_t>(i)] : std::string(); }

void ModelProfile::SetSide(int i, int side) {
    if (Valid(i)) pointSides_[static_cast<std::size_t>(i)] = side;
}

int ModelProfile::GetSide(int i) const { return Valid(i) ? pointSides_[static_cast<std::size_t>(i)] : -1; }

char ModelProfile::GetSideChar(int i) const {
    switch (GetSide(i)) {
    case kSideRight: return 'R';
    case kSideLeft: return 'L';
    case kSideNone: return 'N';
    default: return ' ';
    }
}

void ModelProfile::AddSegment(const std::string& name, int i, int linked) {
    if (Valid(i) && Valid(linked)) segments_[static_cast<std::size_t>(i)].push_back({linked, name});
}

int ModelProfile::SegmentCount(int i) const {
    return Valid(i) ? static_cast<int>(segments_[static_cast<std::size_t>(i)].size()) : -1;
}

int ModelProfile::SegmentLinked(int i, int k) const {
    if (k < 0 || k >= SegmentCount(i)) return -1;
    return segments_[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)].linkedPoint;
}

std::string ModelProfile::SegmentName(int i, int k) const {
    if (k < 0 || k >= SegmentCount(i)) return {};
    return segments_[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)].segmentName;
}

void ModelProfile::ClearSegments() {
    for (auto& list : segments_) list.clear();
}

// --- ModelProfileList -----------------------------------------------------------------------

ModelProfileList::ModelProfileList(std::string path) : profiles(1), path_(std::move(path)) {}

std::vector<std::string> ModelProfileList::names() const {
    std::vector<std::string> list;
    for (const ModelProfile& profile : profiles) list.push_back(profile.profileName);
    return list;
}

std::vector<int> ModelProfileList::counts() const {
    std::vector<int> list;
    for (const ModelProfile& profile : profiles) list.push_back(profile.pointCount());
    return list;
}

bool ModelProfileList::ContainsName(const std::string& name) const {
    return std::any_of(profiles.begin(), profiles.end(), [&](const ModelProfile& p) { return p.profileName == name; });
}

namespace {

// A point line: number, side, name, then pairs of linked point and segment name. Nothing is
// taken from a line whose number names a point outside the profile, and a segment to such a
// point is left out; the reason comes back.
std::string ReadPointLine(ModelProfile& profile, const std::string& line) {
    const std::vector<std::string> fields = SplitFields(line);
    const std::optional<int> i = PointIndexOf(fields[0], profile.pointCount());
    if (!i) return "point number outside the profile's points";
    profile.SetSide(*i, kSideNone);
    if (fields.size() > 1 && !fields[1].empty()) {
        if (fields[1][0] == 'R') profile.SetSide(*i, kSideRight);
        if (fields[1][0] == 'L') profile.SetSide(*i, kSideLeft);
    }
    if (fields.size() > 2) profile.SetName(*i, fields[2]);
    std::string reason;
    for (std::size_t f = 3; f + 1 < fields.size(); f += 2) {
        if (const std::optional<int> linked = PointIndexOf(fields[f], profile.pointCount()))
            profile.AddSegment(fields[f + 1], *i, *linked);
        else reason = "segment to a point outside the profile's points left out";
    }
    return reason;
}

}  // namespace

void ModelProfileList::Load() {
    ProfileFileContent content = ReadProfileFile(path_);
    LoadText(content.bytes);
    readError_ = std::move(content.error);
}

void ModelProfileList::LoadText(const std::vector<std::uint8_t>& bytes) {
    const std::vector<std::string> lines = SplitProfileLines(bytes);
    profiles.clear();
    skipped_.clear();
    readError_.clear();
    const auto skip = [&](std::size_t n, std::string reason) {
        skipped_.push_back({static_cast<int>(n) + 1, std::move(reason)});
    };
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.size() <= 1) continue;
        if (line[0] == '*') {
            // The line end is the last character; a final line without one loses a letter.
            ModelProfile& profile = profiles.emplace_back();
            profile.profileName = line.substr(1, line.size() - 2);
            if (++n < lines.size()) {
                const int count = LeadingInt(lines[n]);
                if (count < 1 || count > ModelProfile::kMaxPoints) skip(n, "point count outside 1..50");
                profile.SetPointCount(count);
            }
        } else if (!profiles.empty()) {
            if (std::string reason = ReadPointLine(profiles.back(), line); !reason.empty()) skip(n, std::move(reason));
        }
    }
    lastIndex = static_cast<int>(profiles.size());
    profiles.emplace_back();
    selected = 0;
}

std::string ModelProfileList::Text() const {
    std::string text;
    for (int e = 0; e <= lastIndex && e < static_cast<int>(profiles.size()); ++e) {
        const ModelProfile& profile = profiles[static_cast<std::size_t>(e)];
        if (profile.profileName == kNewProfileName) continue;
        text += "*" + profile.profileName + "\n" + std::to_string(profile.pointCount()) + "\n";
        for (int i = 0; i < profile.pointCount(); ++i) {
            text += std::to_string(i + 1) + "\t" + profile.GetSideChar(i) + "\t" + profile.GetName(i);
            for (int k = 0; k < profile.SegmentCount(i); ++k)
                text += "\t" + std::to_string(profile.SegmentLinked(i, k) + 1) + "\t" + profile.SegmentName(i, k);
            text += "\n";
        }
    }
    return text;
}

bool ModelProfileList::Save(Prompts& prompts) const { return SaveProfileText(path_, Text(), readError_, prompts); }

void ModelProfileList::Select(int i) {
    if (i >= 0 && i <= lastIndex) selected = i;
}

void ModelProfileList::RemoveSelected() {
    if (lastIndex <= 1 || selected >= lastIndex) return;
    profiles.erase(profiles.begin() + selected);
    --lastIndex;
    selected = std::min(selected, lastIndex);
}

int ModelProfileList::CopySelectedTo(ModelTable& modelPoints) const {
    const ModelProfile& profile = Selected();
    const int count = std::min(profile.pointCount(), kMaxModelPoints);
    for (int i = 0; i < count; ++i) {
        ModelPoint& point = modelPoints[static_cast<std::size_t>(i)];
        point.name = profile.GetName(i);
        point.side = profile.GetSide(i);
        int used = 0;
        for (int k = 0; k < profile.SegmentCount(i) && used < kMaxSegments; ++k) {
            const int linked = profile.SegmentLinked(i, k);
            if (linked >= count) continue;
            point.linkedPoint[static_cast<std::size_t>(used)] = linked;
            point.segmentName[static_cast<std::size_t>(used)] = profile.SegmentName(i, k);
            ++used;
        }
        point.segmentCount = used;
        point.linkedPoint[static_cast<std::size_t>(used)] = -1;
    }
    return count;
}

}  // namespace kadivo
