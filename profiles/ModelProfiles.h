#pragma once

#include "ModelPoint.h"
#include "ProfileText.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kadivo {

class Prompts;

inline constexpr const char* kNewProfileName = "New Profile";

// "model.ini" in the data directory.
std::string ModelProfilePath();

// One digitizing model: named points with side tags and the segments that start at each.
class ModelProfile {
public:
    static constexpr int kMaxPoints = 50;

    struct Segment {
        int linkedPoint = -1;  // 0-based
        std::string segmentName;
    };

    std::string profileName = kNewProfileName;

    ModelProfile() { SetPointCount(1); }

    int pointCount() const { return static_cast<int>(pointNames_.size()); }
    // 1..50 points "Point %d", all Right, without segments; other counts change nothing.
    void SetPointCount(int n);
    void AddPoint();
    void RemovePoint(int i);
    void SetName(int i, const std::string& name);
    std::string GetName(int i) const;
    void SetSide(int i, int side);
    int GetSide(int i) const;
    // 'R', 'L', 'N', or a blank for any other side value.
    char GetSideChar(int i) const;
    void AddSegment(const std::string& name, int i, int linked);
    int SegmentCount(int i) const;
    int SegmentLinked(int i, int k) const;
    std::string SegmentName(int i, int k) const;
    void ClearSegments();

private:
    bool Valid(int i) const { return i >= 0 && i < pointCount(); }

    std::vector<std::string> pointNames_;
    std::vector<int> pointSides_;
    std::vector<std::vector<Segment>> segments_;
};

// The model database "model.ini": the profiles read from it followed by the placeholder
// "New Profile", which stands for a model still to be defined.
class ModelProfileList {
public:
    explicit ModelProfileList(std::string path);

    std::vector<ModelProfile> profiles;
    int lastIndex = 0;
    int selected = 0;

    const std::string& path() const { return path_; }
    std::vector<std::string> names() const;
    std::vector<int> counts() const;
    bool ContainsName(const std::string& name) const;

    // Reads the database; a file that cannot be read leaves only the placeholder and its
    // reason in ReadError().
    void Load();
    void LoadText(const std::vector<std::uint8_t>& bytes);
    // Writes every profile but the placeholder through a temporary file; on failure shows
    // "The Model Configuration file can not be created!" with the reason and leaves the old
    // file. A database that could not be read is never overwritten.
    bool Save(Prompts& prompts) const;
    const std::string& ReadError() const { return readError_; }
    // The lines the last read left out or took in part: point numbers and segments to
    // points outside the profile's points, point counts outside 1..50.
    const std::vector<SkippedProfileLine>& Skipped() const { return skipped_; }
    void Select(int i);
    void RemoveSelected();
    ModelProfile& Selected() { return profiles[static_cast<std::size_t>(selected)]; }
    const ModelProfile& Selected() const { return profiles[static_cast<std::size_t>(selected)]; }

    // Copies the selected profile into a document's model table and returns its point
    // count. A sequence holds at most 49 points with 4 segments each: points beyond the
    // 49th, segments beyond the fourth and segments to dropped points are left out.
    int CopySelectedTo(ModelTable& modelPoints) const;

    // The profile file's text.
    std::string Text() const;

private:
    std::string path_;
    std::string readError_;
    std::vector<SkippedProfileLine> skipped_;
};

}  // namespace kadivo
