#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kadivo {

class CKadivoDoc;
struct ExportJoint;

// What the "Export Linear Data" dialog chose; rows are the model points and then "CG".
struct LinearExportOptions {
    std::vector<bool> rows;
    bool position = false, velocity = false, acceleration = false;
    bool x = false, y = false, z = false, distance = false;  // "3D"
    bool smoothed = true;
    bool header = false;
    bool halfWidths = false;  // each value's 95 % half-width in the column after it
};

// What the "Export Angular Data" dialog chose; rows are the joints of BuildJointList.
struct AngularExportOptions {
    std::vector<bool> rows;
    bool angle = false, angularVelocity = false, angularAcceleration = false;
    bool x = false, y = false, z = false, threeD = false;
    bool counterClockwise = false;
    bool smoothed = true;
    bool header = false;
    bool halfWidths = false;  // each value's 95 % half-width in the column after it
};

// What the "Image Data Export" dialog chose; rows are the model points (at most 50 kept).
struct PointsExportOptions {
    static constexpr int kMaxRows = 50;
    std::vector<bool> rows;
    bool header = false;
};

// The text of the "No Data To Export!" box when something is missing, else empty:
// "Orientation, Type, Points, has not been selected!\n\nContinue ?" and the like.
std::string ValidateLinearExport(const LinearExportOptions& options);
std::string ValidateAngularExport(const AngularExportOptions& options);
inline constexpr const char* kNoDataCaption = "No Data To Export!";

// The three text files. `now` is the local time the header shows.
std::string LinearExportText(const CKadivoDoc& doc, const LinearExportOptions& options, const std::tm& now);
std::string AngularExportText(const CKadivoDoc& doc, const AngularExportOptions& options, const std::tm& now);
std::string PointsExportText(const CKadivoDoc& doc, const PointsExportOptions& options, const std::tm& now);

// Writes an export's text to `path` (replacing a file only once everything is written);
// shows `failureMessage` with the system's reason on a second line and returns false when
// that fails.
bool WriteExportFile(CKadivoDoc& doc, const std::string& path, const std::string& text, const char* failureMessage);
bool WriteExportFile(CKadivoDoc& doc, const std::string& path, const std::vector<std::uint8_t>& bytes,
                     const char* failureMessage);
inline constexpr const char* kDataFileFailure = "The Data File could not be created!";

inline constexpr const char* kFramePeriodInvalid =
    "The frame period of the sequence is not valid; set the video frame rate first.";
// Exports that hold times, rates or derivatives need a usable frame period: false, with
// the message shown, when the sequence has none.
bool CheckFramePeriod(CKadivoDoc& doc);

// The time the exports' headers give: now, or the moment SOURCE_DATE_EPOCH names (seconds
// since 1970), so that the same export can be made twice byte for byte.
std::tm LocalTimeNow();

}  // namespace kadivo
