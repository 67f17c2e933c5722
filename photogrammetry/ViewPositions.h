#pragma once

#include "CDltCalibration.h"
#include "LensModel.h"

#include <memory>
#include <optional>
#include <vector>

namespace kadivo {

class CKadivoDoc;
class LensCorrection;

// How one view's stored positions become the positions calibration and reconstruction take:
// as stored or truncated to whole pixels (see PhotogrammetryPosition), then, with a lens
// model, corrected to where an ideal camera would have seen them.
class ViewPositions {
public:
    ViewPositions(bool exact, std::optional<LensModel> lens);

    // The position as calibration and reconstruction take it; (−1, −1) for a missing
    // position and for one the lens model cannot correct.
    ImagePoint Taken(Point2f stored) const;
    // The stored position as taken before the lens correction: what the picture shows.
    ImagePoint Seen(Point2f stored) const { return PhotogrammetryPosition(stored, exact_); }
    // Where the picture shows an ideal position (as the DLT projects it).
    ImagePoint InPicture(ImagePoint ideal) const;
    // The ideal position of what the picture shows at `shown`: the inverse of InPicture;
    // nothing where the lens model has none.
    std::optional<ImagePoint> Ideal(ImagePoint shown) const;

    bool exact() const { return exact_; }
    bool HasLens() const { return correction_ != nullptr; }

private:
    bool exact_;
    std::shared_ptr<const LensCorrection> correction_;  // none for an ideal camera
};

// View `view`'s (0-based) positions in the document.
ViewPositions PositionsOfView(const CKadivoDoc& doc, int view);
// Every view's, by 0-based view.
std::vector<ViewPositions> PositionsOfViews(const CKadivoDoc& doc);

}  // namespace kadivo
