#pragma once

#include "ModelProfiles.h"

#include <optional>
#include <string>
#include <vector>

namespace kadivo {

inline constexpr const char* kProfileNameNotUnique =
    "If you create a new profile the name must be unike!\nPlease enter a new name for the profile.";

// The model pages of the wizards — name and number of points, point names and sides,
// segments — working on a draft that finishing stores into the model database.
class ModelDefinition {
public:
    static constexpr int kMaxPoints = 49;  // a sequence keeps the centre of gravity behind the last point

    struct Point {
        std::string name;
        int side = kSideNone;
    };
    struct Segment {
        std::string name = "Segment ?";
        int anchor = 0;  // the point the segment starts at
        int base = 0;    // the point it leads to
    };

    explicit ModelDefinition(ModelProfileList& models);

    // Page 1: an existing profile chosen from the list, or a name typed for a new one.
    std::vector<std::string> ProfileNames() const { return models_.names(); }
    void Choose(int index);
    void TypeName(const std::string& name);
    // "New Model": a new profile still to be named; the point count of the profile shown is
    // where the count starts.
    void StartNew() { TypeName(kNewProfileName); }
    void SetPointCount(int count) { count_ = count; }
    const std::string& Name() const { return name_; }
    int PointCount() const { return count_; }
    int ChosenIndex() const { return chosen_; }
    bool CanRemoveFromList() const;
    // "Remove From List": the chosen profile leaves the database.
    void RemoveFromList();
    // "Next" on page 1: the message to show, or nothing when the draft is made.
    std::optional<std::string> AcceptNameAndCount();

    // Page 2.
    const std::vector<Point>& Points() const { return points_; }
    // "L. %s", "R. %s", or the side letter, as in "N. %s".
    std::string Label(int i) const;
    void SetPointName(int i, const std::string& name);
    void SetPointSide(int i, int side);
    void MoveUp(int i);
    void MoveDown(int i) { MoveUp(i + 1); }
    void AddPoint();
    void RemovePoint(int i);
    std::optional<std::string> AcceptPoints() const;

    // Page 3.
    const std::vector<Segment>& Segments() const { return segments_; }
    void AddSegment();
    void RemoveSegment(int row);
    void SetSegment(int row, const Segment& segment);
    std::optional<std::string> AcceptSegments() const;

    // The draft as a profile, stored into the database (replacing the chosen profile or
    // added before the placeholder) and selected there.
    ModelProfile DraftProfile() const;
    void Store();

private:
    static constexpr int kNotChosen = -1;

    bool ValidPoint(int i) const { return i >= 0 && i < static_cast<int>(points_.size()); }
    void SwapPoints(int a, int b);

    ModelProfileList& models_;
    std::string name_;
    int count_ = 1;
    int chosen_ = kNotChosen;  // the profile the draft came from; typed names make a new one
    std::vector<Point> points_;
    std::vector<Segment> segments_;
};

}  // namespace kadivo
