#include "DocumentChange.h"

#include "Hints.h"

#include <algorithm>

namespace kadivo {

namespace {

struct HintBits {
    Change change;
    int bits;
};

// What each change adds to the hint. Zoom and Redraw draw the picture again from the data
// (refetch, data, points); a new frame is drawn whole, points included.
constexpr HintBits kHintBits[] = {
    {Change::Points, hint::kDigitizedData},
    {Change::PointsRemoved, hint::kDigitizedData | hint::kRefetchImage},
    {Change::Frame, hint::kRefetchImage},
    {Change::Zoom, hint::kNoVideo | hint::kRefetchImage | hint::kDigitizedData},
    {Change::Video, hint::kRefetchImage},
    {Change::CameraViews, hint::kRefetchImage},
    {Change::Mode, hint::kRefetchImage},
    {Change::SyncFrame, hint::kRefetchImage},
    {Change::VideoOptions, hint::kVideoOptions | hint::kRefetchImage | hint::kDigitizedData},
    {Change::Options, hint::kDigitizedData | hint::kRefetchImage},
    {Change::SequenceOpened, hint::kSequenceOpened | hint::kRefetchImage},
    {Change::FitWindow, hint::kResizeFrame},
    {Change::NoVideo, hint::kNoVideo},
    {Change::Redraw, hint::kNoVideo | hint::kRefetchImage | hint::kDigitizedData},
};

}  // namespace

int UpdateHint(const DocumentChange& change) {
    int hint = 0;
    for (const HintBits& entry : kHintBits)
        if (change.what.Has(entry.change)) hint |= entry.bits;
    // Points of a frame that is shown anew are drawn with it.
    if (change.what.Has(Change::Frame) && !change.what.HasAny(Change::PointsRemoved | Change::Redraw))
        hint &= ~hint::kDigitizedData;
    return hint;
}

void ObserverList::Add(DocumentObserver& observer) {
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end()) observers_.push_back(&observer);
}

void ObserverList::Remove(DocumentObserver& observer) {
    const auto found = std::find(observers_.begin(), observers_.end(), &observer);
    if (found == observers_.end()) return;
    if (notifying_ > 0) *found = nullptr;
    else observers_.erase(found);
}

void ObserverList::Notify(const DocumentChange& change) {
    ++notifying_;
    // Observers added while notifying are told from the next change on.
    const std::size_t count = observers_.size();
    for (std::size_t i = 0; i < count; ++i)
        if (observers_[i]) observers_[i]->OnDocumentChanged(change);
    if (--notifying_ == 0) std::erase(observers_, nullptr);
}

std::size_t ObserverList::Size() const {
    return static_cast<std::size_t>(std::count_if(observers_.begin(), observers_.end(), [](auto* o) { return o != nullptr; }));
}

}  // namespace kadivo
