#include "CalibrationDefinition.h"

#include "ModelDefinition.h"

#include <cmath>

namespace kadivo {

CalibrationDefinition::CalibrationDefinition(CalibrationProfileList& calibrations) : calibrations_(calibrations) {
    Choose(calibrations_.selected);
}

std::vector<std::string> CalibrationDefinition::ProfileNames() const {
    std::vector<std::string> names;
    for (int i = 0; i <= calibrations_.lastIndex; ++i) names.push_back(calibrations_.GetName(i));
    return names;
}

void CalibrationDefinition::Choose(int index) {
    if (index < 0 || index > calibrations_.lastIndex) return;
    const CalibrationProfile& profile = calibrations_.profiles[static_cast<std::size_t>(index)];
    chosen_ = index;
    name_ = profile.profileName;
    method_ = profile.calibrationType;
    points_ = ControlPointTable(method_ == kPosture ? std::vector<Point3>{} : profile.points);
    height_ = method_ == kPosture && profile.pointCount() >= CalibrationProfile::kPosturePoints ? profile.GetY(3) : 0.0;
}

void CalibrationDefinition::TypeName(const std::string& name) {
    name_ = name;
    chosen_ = kNotChosen;
}

std::optional<std::string> CalibrationDefinition::AcceptNameAndMethod() {
    if (name_ == kNewProfileName) return kProfileNameNotUnique;
    if (name_.empty() || name_.front() == '*' || name_.find_first_of("\t\r\n") != std::string::npos)
        return "Please enter a name for the profile, without tabs and not beginning with '*'.";
    if (chosen_ == kNotChosen) {
        for (int i = 0; i <= calibrations_.lastIndex; ++i)
            if (calibrations_.GetName(i) == name_) return kProfileNameNotUnique;
    }
    if (method_ < kPosture || method_ > kFrame2D) return "Please choose a calibration method.";
    return std::nullopt;
}

std::optional<std::string> CalibrationDefinition::SetSubjectHeight(const std::string& text) {
    ControlPointTable cell({Point3{}});
    if (auto error = cell.SetCell(0, 0, text)) return error;
    height_ = cell.points()[0].x;
    return std::nullopt;
}

std::optional<std::string> CalibrationDefinition::AcceptPosture() const {
    if (!(height_ > 0.0)) return "Please enter the subject's height, above 0, in the units the results are wanted in.";
    return std::nullopt;
}

CalibrationProfile CalibrationDefinition::DraftProfile() const {
    CalibrationProfile profile;
    profile.profileName = name_;
    profile.SetType(method_);
    if (method_ == kPosture) profile.SetY(3, height_);
    else profile.points = points_.points();
    return profile;
}

void CalibrationDefinition::Store() {
    if (chosen_ != kNotChosen && chosen_ < calibrations_.lastIndex) {
        calibrations_.profiles[static_cast<std::size_t>(chosen_)] = DraftProfile();
        calibrations_.Select(chosen_);
        return;
    }
    calibrations_.profiles.insert(calibrations_.profiles.begin() + calibrations_.lastIndex, DraftProfile());
    calibrations_.Select(calibrations_.lastIndex);
    ++calibrations_.lastIndex;
    chosen_ = calibrations_.selected;
}

}  // namespace kadivo
