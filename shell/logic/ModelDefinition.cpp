#include "ModelDefinition.h"

#include <algorithm>
#include <set>

namespace kadivo {

namespace {

std::string DefaultPointName(int i) { return "Point " + std::to_string(i + 1); }

}  // namespace

ModelDefinition::ModelDefinition(ModelProfileList& models) : models_(models) {
    Choose(models_.selected);
}

void ModelDefinition::Choose(int index) {
    if (index < 0 || index >= static_cast<int>(models_.profiles.size())) return;
    const ModelProfile& profile = models_.profiles[static_cast<std::size_t>(index)];
    chosen_ = index;
    name_ = profile.profileName;
    count_ = profile.pointCount();
}

void ModelDefinition::TypeName(const std::string& name) {
    name_ = name;
    chosen_ = kNotChosen;
}

bool ModelDefinition::CanRemoveFromList() const { return chosen_ != kNotChosen && name_ != kNewProfileName; }

void ModelDefinition::RemoveFromList() {
    if (!CanRemoveFromList()) return;
    models_.Select(chosen_);
    models_.RemoveSelected();
    Choose(models_.selected);
}

std::optional<std::string> ModelDefinition::AcceptNameAndCount() {
    if (name_ == kNewProfileName) return kProfileNameNotUnique;
    if (name_.empty() || name_.front() == '*' || name_.find_first_of("\t\r\n") != std::string::npos)
        return "Please enter a name for the profile, without tabs and not beginning with '*'.";
    if (count_ < 1 || count_ > kMaxPoints)
        return "A model has from 1 to " + std::to_string(kMaxPoints) + " points.\nPlease enter a number in that range.";
    if (chosen_ == kNotChosen) {
        if (models_.ContainsName(name_)) return kProfileNameNotUnique;
        points_.clear();
        segments_.clear();
        for (int i = 0; i < count_; ++i) points_.push_back({DefaultPointName(i), kSideNone});
        return std::nullopt;
    }
    // An existing profile: its points and segments, grown or cut at the end.
    const ModelProfile& profile = models_.profiles[static_cast<std::size_t>(chosen_)];
    points_.clear();
    segments_.clear();
    for (int i = 0; i < profile.pointCount(); ++i) {
        points_.push_back({profile.GetName(i), profile.GetSide(i)});
        for (int k = 0; k < profile.SegmentCount(i); ++k)
            segments_.push_back({profile.SegmentName(i, k), i, profile.SegmentLinked(i, k)});
    }
    const int wanted = count_;
    while (static_cast<int>(points_.size()) < wanted) AddPoint();
    while (static_cast<int>(points_.size()) > wanted) RemovePoint(static_cast<int>(points_.size()) - 1);
    return std::nullopt;
}

std::string ModelDefinition::Label(int i) const {
    if (!ValidPoint(i)) return {};
    const Point& point = points_[static_cast<std::size_t>(i)];
    const char side = point.side == kSideLeft ? 'L' : (point.side == kSideRight ? 'R' : 'N');
    return std::string(1, side) + ". " + point.name;
}

void ModelDefinition::SetPointName(int i, const std::string& name) {
    if (ValidPoint(i)) points_[static_cast<std::size_t>(i)].name = name;
}

void ModelDefinition::SetPointSide(int i, int side) {
    if (ValidPoint(i)) points_[static_cast<std::size_t>(i)].side = side;
}

// Segments follow their points when the digitizing order changes.
void ModelDefinition::SwapPoints(int a, int b) {
    std::swap(points_[static_cast<std::size_t>(a)], points_[static_cast<std::size_t>(b)]);
    for (Segment& segment : segments_)
        for (int* end : {&segment.anchor, &segment.base}) *end = *end == a ? b : (*end == b ? a : *end);
}

void ModelDefinition::MoveUp(int i) {
    if (ValidPoint(i) && i > 0) SwapPoints(i - 1, i);
}

void ModelDefinition::AddPoint() {
    const int i = static_cast<int>(points_.size());
    points_.push_back({DefaultPointName(i), kSideNone});
    count_ = static_cast<int>(points_.size());
}

void ModelDefinition::RemovePoint(int i) {
    if (!ValidPoint(i)) return;
    points_.erase(points_.begin() + i);
    std::erase_if(segments_, [i](const Segment& s) { return s.anchor == i || s.base == i; });
    for (Segment& segment : segments_) {
        if (segment.anchor > i) --segment.anchor;
        if (segment.base > i) --segment.base;
    }
    count_ = static_cast<int>(points_.size());
}

std::optional<std::string> ModelDefinition::AcceptPoints() const {
    if (points_.empty() || static_cast<int>(points_.size()) > kMaxPoints)
        return "A model has from 1 to " + std::to_string(kMaxPoints) + " points.";
    std::set<std::string> seen;
    for (const Point& point : points_) {
        if (point.name.empty() || point.name.find('\t') != std::string::npos)
            return "Every point needs a name, without tabs.";
        if (!seen.insert(point.name).second)
            return "Two points are named \"" + point.name + "\".\nPlease give every point a name of its own.";
    }
    return std::nullopt;
}

void ModelDefinition::AddSegment() {
    const int last = std::max(0, static_cast<int>(points_.size()) - 1);
    segments_.push_back({"Segment ?", 0, std::min(1, last)});
}

void ModelDefinition::RemoveSegment(int row) {
    if (row >= 0 && row < static_cast<int>(segments_.size())) segments_.erase(segments_.begin() + row);
}

void ModelDefinition::SetSegment(int row, const Segment& segment) {
    if (row >= 0 && row < static_cast<int>(segments_.size())) segments_[static_cast<std::size_t>(row)] = segment;
}

std::optional<std::string> ModelDefinition::AcceptSegments() const {
    std::vector<int> perAnchor(points_.size(), 0);
    for (const Segment& segment : segments_) {
        if (!ValidPoint(segment.anchor) || !ValidPoint(segment.base) || segment.anchor == segment.base)
            return "The segment \"" + segment.name + "\" must join two different points.";
        if (segment.name.empty() || segment.name.find('\t') != std::string::npos)
            return "Every segment needs a name, without tabs.";
        if (++perAnchor[static_cast<std::size_t>(segment.anchor)] > kMaxSegments)
            return "At most " + std::to_string(kMaxSegments) + " segments can start at one point (" +
                   points_[static_cast<std::size_t>(segment.anchor)].name + ").";
    }
    return std::nullopt;
}

ModelProfile ModelDefinition::DraftProfile() const {
    ModelProfile profile;
    profile.profileName = name_;
    profile.SetPointCount(static_cast<int>(points_.size()));
    for (int i = 0; i < static_cast<int>(points_.size()); ++i) {
        profile.SetName(i, points_[static_cast<std::size_t>(i)].name);
        profile.SetSide(i, points_[static_cast<std::size_t>(i)].side);
    }
    for (const Segment& segment : segments_) profile.AddSegment(segment.name, segment.anchor, segment.base);
    return profile;
}

void ModelDefinition::Store() {
    if (chosen_ != kNotChosen && chosen_ < models_.lastIndex) {
        models_.profiles[static_cast<std::size_t>(chosen_)] = DraftProfile();
        models_.Select(chosen_);
        return;
    }
    // A new profile goes before the placeholder, which stays last.
    models_.profiles.insert(models_.profiles.begin() + models_.lastIndex, DraftProfile());
    models_.Select(models_.lastIndex);
    ++models_.lastIndex;
    chosen_ = models_.selected;
}

}  // namespace kadivo
