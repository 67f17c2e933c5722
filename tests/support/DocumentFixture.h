#pragma once

#include "CKadivoDoc.h"
#include "FakePrompts.h"
#include "FakeVideoSource.h"
#include "FakeWindowHost.h"
#include "RecordingObserver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kadivo::test {

// A document on fake prompts, fake windows and fake video sources, with an observer that
// records its changes.
class DocumentFixture : public ::testing::Test {
protected:
    FakePrompts prompts;
    FakeWindowHost windows;
    RecordingObserver views;
    FakeVideoLibrary videos;
    std::unique_ptr<CKadivoDoc> doc = MakeDocument();

    std::unique_ptr<CKadivoDoc> MakeDocument() {
        auto made = std::make_unique<CKadivoDoc>(prompts, videos.Factory());
        made->SetWindowHost(windows);
        views.Attach(*made);
        return made;
    }

    // A new sequence through the wizard with `points` model points "P1".."Pn".
    void NewSequence(int points, int calibrationPoints = 4) {
        NewSequenceSetup setup;
        setup.pointCount = points;
        for (int p = 0; p < points; ++p) setup.modelPoints[static_cast<std::size_t>(p)].name = "P" + std::to_string(p + 1);
        setup.calibrationPointCount = calibrationPoints;
        prompts.wizardResult = setup;
        ASSERT_TRUE(doc->OnNewDocument());
        views.hints.clear();
    }

    // A 3D frame calibration on the eight corners of the unit cube (and the empty entry the
    // control points end with).
    void UseUnitCubeControlPoints() {
        doc->calibrationType = 1;
        doc->calibrationPoints.clear();
        for (double x : {0.0, 1.0})
            for (double y : {0.0, 1.0})
                for (double z : {0.0, 1.0}) doc->calibrationPoints.push_back({x, y, z});
        doc->calibrationPoints.push_back({});
    }

    FakeVideoSource& Source(int v) { return static_cast<FakeVideoSource&>(*doc->views[static_cast<std::size_t>(v)].videoSource); }

    // Opens a fake video of frames 0..lastFrame into the current view and shows its first frame.
    void OpenVideo(const std::string& name, int lastFrame) {
        videos.files[name] = FakeVideoFile{lastFrame, {320, 240}, 0.04f};
        ASSERT_EQ(doc->OpenVideoFile(name, false), 1);
        Source(doc->currentView).FetchFrame(0, true);
        views.hints.clear();
    }

    // Digitizes points at (10 * index, 20) until the frame is complete or the document refuses.
    int DigitizeFrame() {
        int result = 1;
        while (result == 1) {
            const int next = doc->current().frameStore.NextIndex(kMovement);
            result = doc->AddPoint({1, 2}, {10.0f * static_cast<float>(next), 20.0f}, true);
        }
        return result;
    }
};

}  // namespace kadivo::test
