#include "ViewPositions.h"

#include "CKadivoDoc.h"
#include "LensDistortion.h"

namespace kadivo {

ViewPositions::ViewPositions(bool exact, std::optional<LensModel> lens)
    : exact_(exact), correction_(lens ? CorrectionFor(*lens) : nullptr) {}

ImagePoint ViewPositions::Taken(Point2f stored) const {
    const ImagePoint seen = Seen(stored);
    if (seen.x == -1) return seen;
    return Ideal(seen).value_or(ImagePoint{-1.0, -1.0});
}

std::optional<ImagePoint> ViewPositions::Ideal(ImagePoint shown) const {
    if (!correction_) return shown;
    const LensModel& lens = correction_->lens();
    const std::optional<PicturePoint> ideal = correction_->Undistort(PictureOfPosition(lens, shown));
    if (!ideal) return std::nullopt;
    return PositionOfPicture(lens, *ideal);
}

ImagePoint ViewPositions::InPicture(ImagePoint ideal) const {
    if (!correction_) return ideal;
    const LensModel& lens = correction_->lens();
    return PositionOfPicture(lens, DistortPicturePoint(lens, PictureOfPosition(lens, ideal)));
}

ViewPositions PositionsOfView(const CKadivoDoc& doc, int view) {
    const bool exact = doc.options.exactPositions != 0;
    if (view < 0 || view >= doc.viewCount()) return {exact, std::nullopt};
    return {exact, doc.views[static_cast<std::size_t>(view)].lens};
}

std::vector<ViewPositions> PositionsOfViews(const CKadivoDoc& doc) {
    std::vector<ViewPositions> positions;
    for (int v = 0; v < doc.viewCount(); ++v) positions.push_back(PositionsOfView(doc, v));
    return positions;
}

}  // namespace kadivo
