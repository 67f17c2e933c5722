#pragma once

// The demo scene digitized where its two cameras show every point, to the float's precision,
// optionally through a radial lens, and the error of a reconstruction against its true motion.

#include "CKadivoDoc.h"
#include "DemoScene.h"
#include "LensDistortion.h"

#include <cmath>

namespace kadivo::test {

// The calibration frame and every frame of both views of `doc` (a sequence of the demo's
// markers, control points and two views), as the cameras show them behind a lens of radial
// strength `k1` centred on their principal point; no filtering, so the world data is the
// reconstruction itself.
inline void DigitizeDemoScene(CKadivoDoc& doc, double k1) {
    using Scene = samples::DemoScene;
    const auto cameras = Scene::Cameras();
    const auto control = Scene::ControlPoints();
    doc.calibrationType = 1;
    doc.calibrationPointCount = Scene::kControlPoints;
    doc.calibrationPoints.clear();
    for (const Scene::Point& c : control) doc.calibrationPoints.push_back({c.x, c.y, c.z});
    doc.calibrationPoints.push_back({});
    doc.options.filtering = 0;
    LensModel lens;
    lens.width = Scene::kWidth;
    lens.height = Scene::kHeight;
    lens.fx = lens.fy = 850.0;
    lens.cx = Scene::kWidth / 2.0;
    lens.cy = Scene::kHeight / 2.0;
    lens.k1 = k1;
    auto image = [&](const Scene::Camera& camera, Scene::Point p) {
        const Scene::Image at = Scene::Project(camera, p);
        const ImagePoint shown = PositionOfPicture(lens, DistortPicturePoint(lens, PictureOfPosition(lens, {at.u, at.v})));
        return Point2f{static_cast<float>(shown.x), static_cast<float>(shown.y)};
    };
    for (int v = 0; v < 2; ++v) {
        ViewFrameStore& store = doc.views[static_cast<std::size_t>(v)].frameStore;
        store.calibrationPointCount = Scene::kControlPoints;
        for (int i = 0; i < Scene::kControlPoints; ++i)
            store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] = image(cameras[static_cast<std::size_t>(v)], control[static_cast<std::size_t>(i)]);
        store.calibrationRecord.digitizedCount = Scene::kControlPoints;
        for (int f = 0; f < Scene::kFrames; ++f) {
            FrameRecord& record = store.NewRecord(f);
            record.digitizedCount = Scene::kMarkers;
            const auto markers = Scene::Markers(f);
            for (int p = 0; p < Scene::kMarkers; ++p)
                record.imagePos[static_cast<std::size_t>(p)] = image(cameras[static_cast<std::size_t>(v)], markers[static_cast<std::size_t>(p)]);
        }
    }
}

// The RMS distance in millimetres of `doc`'s reconstruction from the demo's true motion.
inline double DemoSceneErrorMillimetres(const CKadivoDoc& doc) {
    using Scene = samples::DemoScene;
    double sum = 0.0;
    int count = 0;
    for (int f = 0; f < Scene::kFrames && f < doc.worldFrameCount; ++f) {
        const auto markers = Scene::Markers(f);
        for (int p = 0; p < Scene::kMarkers; ++p) {
            const Point3 got = doc.worldRaw[f][p];
            const Scene::Point want = markers[static_cast<std::size_t>(p)];
            sum += std::pow(got.x - want.x, 2) + std::pow(got.y - want.y, 2) + std::pow(got.z - want.z, 2);
            ++count;
        }
    }
    return count == Scene::kFrames * Scene::kMarkers ? 1000.0 * std::sqrt(sum / count) : HUGE_VAL;
}

}  // namespace kadivo::test
