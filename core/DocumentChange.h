#pragma once

#include <cstdint>
#include <vector>

namespace kadivo {

// What changed in a document. A change carries one or more of these, and the camera view
// it concerns.
enum class Change : std::uint32_t {
    Points = 1u << 0,          // digitized points were added, moved or filled
    PointsRemoved = 1u << 1,   // digitized points were taken away: marks must disappear
    Frame = 1u << 2,           // the view shows another frame
    Zoom = 1u << 3,
    Video = 1u << 4,           // a video was opened into the view
    CameraViews = 1u << 5,     // camera views were added or removed
    CurrentView = 1u << 6,     // another camera view became the current one
    Mode = 1u << 7,            // Movement or Calibration digitizing
    SyncFrame = 1u << 8,
    VideoOptions = 1u << 9,    // the video's image type or field order
    Options = 1u << 10,        // the sequence options
    Model = 1u << 11,          // names, sides or segments of the model points
    WorldData = 1u << 12,      // the reconstructed or smoothed world coordinates
    FrameRate = 1u << 13,
    SequenceOpened = 1u << 14,
    Transformed = 1u << 15,    // "Transform Image Data" made the world data anew from the images
    WindowContents = 1u << 16, // a window's saved contents (graphs, animation options) were edited
    Saved = 1u << 17,          // the sequence was written to its file
    // How views should show it:
    FitWindow = 1u << 20,      // resize the window to the frame (the Auto Resize option)
    NoVideo = 1u << 21,        // the view has no video: its picture comes from the data only
    Redraw = 1u << 22,         // draw the whole picture again
};

class ChangeSet {
public:
    constexpr ChangeSet() = default;
    constexpr ChangeSet(Change c) : bits_(static_cast<std::uint32_t>(c)) {}  // NOLINT: a single change is a set

    constexpr bool Has(Change c) const { return (bits_ & static_cast<std::uint32_t>(c)) != 0; }
    constexpr bool HasAny(ChangeSet other) const { return (bits_ & other.bits_) != 0; }
    // Every change of `other` is one of these.
    constexpr bool Covers(ChangeSet other) const { return (other.bits_ & ~bits_) == 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr ChangeSet& operator|=(ChangeSet other) {
        bits_ |= other.bits_;
        return *this;
    }
    friend constexpr ChangeSet operator|(ChangeSet a, ChangeSet b) { return a |= b; }
    friend constexpr bool operator==(ChangeSet, ChangeSet) = default;

private:
    std::uint32_t bits_ = 0;
};

constexpr ChangeSet operator|(Change a, Change b) { return ChangeSet(a) | ChangeSet(b); }

// The camera view a change concerns when it concerns all of them (or none in particular).
inline constexpr int kAllViews = -1;

struct DocumentChange {
    ChangeSet what;
    int view = kAllViews;
};

// The update hint the sequence file's readers and the views of old expect for a change.
int UpdateHint(const DocumentChange& change);

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void OnDocumentChanged(const DocumentChange& change) = 0;
};

// The observers of one document. An observer may add or remove observers, itself
// included, while it is told of a change; one removed is not told any more.
class ObserverList {
public:
    void Add(DocumentObserver& observer);
    void Remove(DocumentObserver& observer);
    void Notify(const DocumentChange& change);
    std::size_t Size() const;

private:
    std::vector<DocumentObserver*> observers_;  // null where one was removed during Notify
    int notifying_ = 0;
};

}  // namespace kadivo
