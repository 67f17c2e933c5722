// The demo sequence from end to end without a window: the first frame's markers clicked in
// both views, tracking to the end, "Transform Image Data", and the world coordinates against
// the known motion.

#include "BatchTracking.h"
#include "CKadivoDoc.h"
#include "DemoScene.h"
#include "FakePrompts.h"
#include "VideoSource.h"
#include "WorldCompletion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace kadivo::test {
namespace {

using samples::DemoScene;

TEST(Demo, ClickTheFirstFrameGoAndTransformGivesTheKnownMotion) {
    FakePrompts prompts;
    CKadivoDoc doc(prompts, MakeVideoSourceFactory(prompts));
    InstallSequenceSteps(doc.steps);
    ASSERT_TRUE(doc.OnOpenDocument(std::string(KADIVO_SOURCE_DIR) + "/samples/demo.kdv"));
    ASSERT_EQ(doc.viewCount(), 2);

    const auto cameras = DemoScene::Cameras();
    HeadlessTrackingHost host;
    for (int v = 0; v < 2; ++v) {
        ASSERT_TRUE(doc.HasVideo(v));
        AutomaticDigitizing tracking(doc, host);
        tracking.SetCamera(v);
        // Each marker clicked on the pixel nearest its centre.
        for (const auto& marker : DemoScene::Markers(0)) {
            const auto at = DemoScene::Project(cameras[static_cast<std::size_t>(v)], marker);
            ASSERT_TRUE(tracking.Digitize({static_cast<float>(std::round(at.u)), static_cast<float>(std::round(at.v))}));
        }
        tracking.Go();
        while (tracking.Running()) tracking.Tick();
        EXPECT_EQ(tracking.LastStop(), AutomaticDigitizing::Stop::End) << "view " << v + 1;
        const auto& records = doc.views[static_cast<std::size_t>(v)].frameStore.records();
        ASSERT_EQ(records.size(), static_cast<std::size_t>(DemoScene::kFrames)) << "view " << v + 1;
        for (const FrameRecord& record : records) EXPECT_EQ(record.digitizedCount, DemoScene::kMarkers) << "frame " << record.frame;
    }

    ASSERT_TRUE(doc.CanTransformImageData());
    doc.OnTransformImageData();
    ASSERT_TRUE(doc.dltValid);
    ASSERT_GE(doc.worldFiltered.frames(), DemoScene::kFrames);
    double worst = 0.0, sum = 0.0;
    for (int f = 0; f < DemoScene::kFrames; ++f) {
        const auto truth = DemoScene::Markers(f);
        for (int m = 0; m < DemoScene::kMarkers; ++m) {
            const Point3 found = doc.worldFiltered[f][m];
            const auto& known = truth[static_cast<std::size_t>(m)];
            const double error = std::sqrt((found.x - known.x) * (found.x - known.x) + (found.y - known.y) * (found.y - known.y) +
                                           (found.z - known.z) * (found.z - known.z));
            worst = std::max(worst, error);
            sum += error;
        }
    }
    std::printf("demo: largest error %.1f mm, mean %.1f mm, figure %.2f m tall\n", worst * 1000.0,
                sum * 1000.0 / (DemoScene::kFrames * DemoScene::kMarkers), DemoScene::kFigureHeight);
    EXPECT_LT(worst, 0.01 * DemoScene::kFigureHeight);
}

}  // namespace
}  // namespace kadivo::test
