#pragma once

#include "CalibrationProfiles.h"
#include "ControlPointTable.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

// The calibration pages of the wizards — name and method, the subject height of the posture
// method, the frame's control points — working on a draft that finishing stores into the
// calibration database.
class CalibrationDefinition {
public:
    // Method codes of the radio buttons.
    static constexpr int kPosture = 0, kFrame3D = 1, kFrame2D = 2;

    explicit CalibrationDefinition(CalibrationProfileList& calibrations);

    // Page 5.
    std::vector<std::string> ProfileNames() const;
    void Choose(int index);
    void TypeName(const std::string& name);
    // "New Calibration": a new profile still to be named, starting from the method and the
    // points of the profile shown.
    void StartNew() { TypeName(kNewProfileName); }
    void SetMethod(int method) { method_ = method; }
    const std::string& Name() const { return name_; }
    int Method() const { return method_; }
    bool IsPosture() const { return method_ == kPosture; }
    // "Next" on page 5: the message to show, or nothing.
    std::optional<std::string> AcceptNameAndMethod();

    // Page 6: the subject's height, the y of the fourth posture point.
    double SubjectHeight() const { return height_; }
    std::optional<std::string> SetSubjectHeight(const std::string& text);
    std::optional<std::string> AcceptPosture() const;

    // Page 7.
    ControlPointTable& Points() { return points_; }
    const ControlPointTable& Points() const { return points_; }
    std::optional<std::string> AcceptPoints() const { return CheckControlPointCount(method_, points_.rowCount()); }

    CalibrationProfile DraftProfile() const;
    // Into the database, replacing the chosen profile or added before the placeholder, and
    // selected there.
    void Store();

private:
    static constexpr int kNotChosen = -1;

    CalibrationProfileList& calibrations_;
    std::string name_;
    int method_ = kFrame3D;
    int chosen_ = kNotChosen;
    double height_ = 0.0;
    ControlPointTable points_;
};

}  // namespace kadivo
