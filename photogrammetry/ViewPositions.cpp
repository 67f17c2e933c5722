#include "ViewPositions.h"

#include "CKadivoDoc.h"
#include "LensDistortion.h"

namespace kadivo {

ViewPositions::ViewPositions(bool exact, std::optional<LensModel> lens)
    : exact_(exact), lens_(std::move(lens)), correction_(lens_ ? CorrectionFor(*lens_) : nullptr) {}

ImagePoint ViewPositions::Taken(Point2f stored) const {
    const ImagePoint seen = Seen(stored);
    if (seen.x == -1) return seen;
    return Ideal(seen).value_or(ImagePoint{-1.0, -1.0});
}

std::optional<ImagePoint> ViewPositions::Ideal(ImagePoint shown) const {
    if (!lens_) return shown;
    const std::optional<PicturePoint> ideal = correction_->Undistort(PictureOfPosition(*lens_, shown));
    if (!ideal) return std::nullopt;
    return PositionOfPicture(*lens_, *ideal);
}

ImagePoint ViewPositions::InPicture(ImagePoint ideal) const {
    if (!lens_) return ideal;
    return PositionOfPicture(*lens_, DistortPicturePoint(*lens_, PictureOfPosition(*lens_, ideal)));
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
