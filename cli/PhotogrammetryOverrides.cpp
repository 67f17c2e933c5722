#include "PhotogrammetryOverrides.h"

#include "Arguments.h"
#include "CKadivoDoc.h"
#include "CalibrateViews.h"
#include "LensFile.h"

#include <cstdio>
#include <stdexcept>

namespace kadivo::cli {

std::vector<std::string> TakePhotogrammetryOverrides(const std::vector<std::string>& args, PhotogrammetryOverrides& overrides) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--exact-positions") {
            overrides.exactPositions = true;
        } else if (arg == "--lens-from-control-points") {
            overrides.lensFromControlPoints = 1;
        } else if (arg == "--lens-from-control-points=tangential") {
            overrides.lensFromControlPoints = 2;
        } else if (arg == "--lens") {
            const std::string& value = OptionValue(args, i);
            const std::size_t equals = value.find('=');
            const int view = equals == std::string::npos ? -1 : ParseIndex(value.substr(0, equals));
            if (view < 1 || equals + 1 >= value.size()) throw std::invalid_argument("--lens takes VIEW=FILE with a view from 1");
            overrides.lensFiles.emplace_back(view, value.substr(equals + 1));
        } else {
            rest.push_back(arg);
        }
    }
    return rest;
}

void ApplyPhotogrammetryOverrides(const PhotogrammetryOverrides& overrides, CKadivoDoc& doc) {
    std::vector<std::pair<int, LensModel>> lenses;
    for (const auto& [view, path] : overrides.lensFiles) {
        if (view > doc.viewCount())
            throw std::runtime_error("--lens " + std::to_string(view) + "=…: the sequence has " + std::to_string(doc.viewCount()) +
                                     (doc.viewCount() == 1 ? " camera view" : " camera views"));
        LensModel lens;
        try {
            lens = ReadLensFile(path).lens;
        } catch (const LensFileError& e) {
            throw std::runtime_error(std::string("the lens file ") + e.what());
        }
        const FrameSize picture = doc.views[static_cast<std::size_t>(view - 1)].frameSize;
        if (picture.width > 0 && (picture.width != lens.width || picture.height != lens.height))
            throw std::runtime_error("the lens in \"" + path + "\" belongs to pictures of " + std::to_string(lens.width) + " × " +
                                     std::to_string(lens.height) + " pixels; camera view " + std::to_string(view) + "'s are " +
                                     std::to_string(picture.width) + " × " + std::to_string(picture.height));
        lenses.emplace_back(view, lens);
    }
    if (overrides.lensFromControlPoints != 0) {
        const int before = doc.options.lensFromControlPoints;
        doc.options.lensFromControlPoints = overrides.lensFromControlPoints;
        if (const std::string obstacle = LensFromControlPointsObstacle(doc); !obstacle.empty()) {
            doc.options.lensFromControlPoints = before;
            throw std::runtime_error(obstacle);
        }
    }
    if (overrides.exactPositions) doc.options.exactPositions = 1;
    for (const auto& [view, lens] : lenses) doc.views[static_cast<std::size_t>(view - 1)].lens = lens;
}

std::string LensLine(const CKadivoDoc& doc, int view) {
    if (view < 0 || view >= doc.viewCount() || !doc.views[static_cast<std::size_t>(view)].lens) return {};
    const LensModel& l = *doc.views[static_cast<std::size_t>(view)].lens;
    char text[320];
    std::snprintf(text, sizeof text, "lens\t%s fx %.3f fy %.3f cx %.3f cy %.3f k1 %.6f k2 %.6f k3 %.6f p1 %.6f p2 %.6f",
                  l.source == LensSource::ControlPoints ? "from control points" : "from a checkerboard", l.fx, l.fy, l.cx,
                  l.cy, l.k1, l.k2, l.k3, l.p1, l.p2);
    return text;
}

}  // namespace kadivo::cli
