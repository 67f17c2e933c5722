#pragma once

#include "ProfileText.h"

#include "Geometry.h"
#include "ModelProfiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kadivo {

class Prompts;
struct NewSequenceSetup;

// "calibration.ini" in the data directory.
std::string CalibrationProfilePath();

// One calibration setup: the method and the known world positions of the control points.
// The posture method keeps four points, all at the origin but the fourth, whose y holds the
// subject height.
class CalibrationProfile {
public:
    static constexpr int kMaxPoints = 50;
    static constexpr int kPosturePoints = 4;

    std::string profileName = kNewProfileName;
    int calibrationType = 0;  // 0 posture, 1 3D frame, 2 2D frame
    std::vector<Point3> points = std::vector<Point3>(kPosturePoints);

    int pointCount() const { return static_cast<int>(points.size()); }
    void SetPointCount(int n) { points.assign(static_cast<std::size_t>(std::max(n, 0)), Point3{}); }
    void AddPoint() { points.emplace_back(); }
    void RemovePoint(int i);
    void SetPoint(int i, double x, double y, double z);
    void SetX(int i, double x);
    void SetY(int i, double y);
    void SetZ(int i, double z);
    Point3 GetPoint(int i) const;
    double GetX(int i) const { return GetPoint(i).x; }
    double GetY(int i) const { return GetPoint(i).y; }
    double GetZ(int i) const { return GetPoint(i).z; }
    // The posture method always has four points.
    void SetType(int type);

private:
    bool Valid(int i) const { return i >= 0 && i < pointCount(); }
};

// The calibration database "calibration.ini", with the placeholder "New Profile" last.
class CalibrationProfileList {
public:
    explicit CalibrationProfileList(std::string path);

    std::vector<CalibrationProfile> profiles;
    int lastIndex = 0;
    int selected = 0;

    const std::string& path() const { return path_; }
    bool ContainsName(const std::string& name) const;

    // Reads the database; a file that cannot be read leaves only the placeholder and its
    // reason in ReadError().
    void Load();
    void LoadText(const std::vector<std::uint8_t>& bytes);
    // As for the model database, with the same message on failure; a database that could
    // not be read is never overwritten.
    bool Save(Prompts& prompts) const;
    const std::string& ReadError() const { return readError_; }
    // The lines the last read left out or corrected: coordinates that are not finite
    // numbers (the point keeps 0), methods and point counts outside their ranges.
    const std::vector<SkippedProfileLine>& Skipped() const { return skipped_; }
    bool Select(int i);
    std::string GetName(int i) const;
    int SelectedType() const { return Selected().calibrationType; }
    int SelectedCount() const { return Selected().pointCount(); }
    CalibrationProfile& Selected() { return profiles[static_cast<std::size_t>(selected)]; }
    const CalibrationProfile& Selected() const { return profiles[static_cast<std::size_t>(selected)]; }

    // The point count a sequence takes from the selected profile: at most 49.
    int SelectedCountForSequence() const;
    // Fills a document's calibration points (count + 1 entries) from the selected profile;
    // nothing when the profile has no points.
    void CopySelectedTo(std::vector<Point3>& calibrationPoints) const;

    std::string Text() const;

private:
    std::string path_;
    std::string readError_;
    std::vector<SkippedProfileLine> skipped_;
};

// What a new sequence takes from the selected model and calibration profiles.
NewSequenceSetup SetupFromProfiles(const ModelProfileList& models, const CalibrationProfileList& calibrations);

}  // namespace kadivo
