#include "DocumentFixture.h"
#include "DocumentJournal.h"
#include "JournalRecovery.h"
#include "TempDir.h"
#include "IncrementalTransform.h"
#include "SequenceFile.h"
#include "SequenceImage.h"
#include "SyntheticCameras.h"
#include "WorldCompletion.h"

#include <cmath>
#include <random>

namespace kadivo::test {
namespace {

constexpr int kPoints = 4;
constexpr int kFrames = 60;

// A point of a limb swinging in space.
Point3 Truth(int point, int frame) {
    const double angle = 0.05 * frame + 0.4 * point;
    return {0.5 + 0.3 * std::cos(angle), 0.4 + 0.3 * std::sin(angle), 0.6 + 0.1 * point};
}

Point2f Pixel(const Camera& camera, const Point3& p) {
    const auto [u, v] = camera.Project(p);
    return {static_cast<float>(u), static_cast<float>(v)};
}

class Incremental : public DocumentFixture {
protected:
    // Two calibrated views of kPoints points over kFrames frames, the world data following
    // each edit.
    // With `gapInFirstView`, the first view has no record of that frame (and one of frame
    // kFrames instead).
    void TwoViews(int filtering, double secondViewLate = 0.0, int gapInFirstView = -1) {
        NewSequence(kPoints, 8);
        InstallSequenceSteps(doc->steps);
        InstallWorldDataUpdate(doc->steps);
        UseUnitCubeControlPoints();
        doc->options.filtering = filtering;
        doc->framePeriod = 0.01f;
        OpenVideo("a.avi", kFrames + 20);
        doc->AddCameraView();
        doc->SetCurrentView(1);
        OpenVideo("b.avi", kFrames + 20);
        const Camera* cameras[] = {&kLeft, &kRight};
        for (int v = 0; v < 2; ++v) {
            ViewFrameStore& store = doc->views[static_cast<std::size_t>(v)].frameStore;
            store.calibrationPointCount = 8;
            for (int i = 0; i < 8; ++i)
                store.calibrationRecord.imagePos[static_cast<std::size_t>(i)] =
                    Pixel(*cameras[v], doc->calibrationPoints[static_cast<std::size_t>(i)]);
            store.calibrationRecord.digitizedCount = 8;
            for (int f = 0; f < kFrames; ++f) {
                const int frame = v == 0 && f == gapInFirstView ? kFrames : f;
                FrameRecord& record = store.NewRecord(frame);
                record.digitizedCount = kPoints;
                for (int p = 0; p < kPoints; ++p) record.imagePos[static_cast<std::size_t>(p)] = Pixel(*cameras[v], Truth(p, frame));
            }
        }
        doc->SetCurrentView(0);
        if (secondViewLate != 0.0) {
            ASSERT_TRUE(doc->SetSyncFractions({0.0, secondViewLate}));
        }
        doc->OnTransformImageData();
        ASSERT_TRUE(doc->dltValid);
    }

    ByteBlock Saved() {
        doc->windows = windows.WindowStates();
        return WriteSequence(*doc, "trial.kdv");
    }

    // What the document saves now, and what it saves after "Transform Image Data" made its
    // world data anew, must be the same bytes.
    void ExpectTheWholeTransformationsBytes(int edit) {
        const ByteBlock incremental = Saved();
        const WorldData raw = doc->worldRaw, filtered = doc->worldFiltered;
        doc->OnTransformImageData();
        EXPECT_EQ(Saved(), incremental) << "after edit " << edit;
        EXPECT_TRUE(doc->worldRaw == raw && doc->worldFiltered == filtered) << "after edit " << edit;
    }
};

// Edits of the image data of every kind, with frame steps, undo and redo between them, now
// and then one that changes more than positions (a sync image, a calibration frame point,
// the filtering).
void RandomEdit(CKadivoDoc& doc, FakePrompts& prompts, std::mt19937& random) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto position = [&] { return Point2f{static_cast<float>(100 + pick(300)), static_cast<float>(50 + pick(300))}; };
    switch (pick(30)) {
        case 0: doc.NextImage(true); break;
        case 1: doc.OnPreviousImage(); break;
        case 2: doc.SetCurrentView(pick(2)); break;
        case 3:
        case 4: doc.GoToFrame(pick(kFrames + 5), true); break;
        case 5: doc.RemoveLastPoint(); break;
        case 6: doc.MarkPointMissingInFrame(); break;
        case 7: doc.OnPointMissing(); break;
        case 8: doc.OnClearAllPoints(); break;
        case 9:
        case 10:
        case 11: doc.Undo(); break;
        case 12: doc.Redo(); break;
        case 13: doc.ImportPositions(pick(2), {{pick(kFrames), {{pick(kPoints), position()}}}}); break;
        case 14:
            if (pick(4) == 0) doc.OnSyncImage();
            break;
        case 15:
            if (pick(4) == 0) {
                doc.SwitchToCalibration();
                doc.MovePoint(pick(8), position());
                doc.SwitchToMovement();
            }
            break;
        case 16:
            if (pick(4) == 0) {
                const int filtering = pick(4);
                prompts.editSheet = [filtering](SequenceOptionsSheet& sheet) { sheet.filtering = filtering; };
                doc.OnSequenceOptions(0);
            }
            break;
        case 17:
        case 18:
        case 19: doc.AddPoint({pick(9), pick(9)}, position(), true); break;
        default: doc.MovePoint(pick(kPoints), position()); break;
    }
}

// With the spline and with the Butterworth filter, and with the second view a fraction of a
// frame late (its positions taken between frames, so an edit reaches the frames beside it).
TEST_F(Incremental, TwoHundredRandomEditsLeaveTheBytesOfTheWholeTransformation) {
    for (const auto& [filtering, late] : {std::pair{1, 0.0}, std::pair{kButterworthFiltering, 0.0}, std::pair{1, 1.4}}) {
        TwoViews(filtering, late);
        std::mt19937 random(20261210 + filtering + static_cast<int>(10 * late));
        for (int i = 0; i < 200; ++i) {
            RandomEdit(*doc, prompts, random);
            if (i % 20 == 19) ExpectTheWholeTransformationsBytes(i);
        }
        ExpectTheWholeTransformationsBytes(200);
    }
}

// The journal keeps the recomputed world data as the spans that changed, and replays to the
// bytes a save writes.
TEST_F(Incremental, TheJournalKeepsTheRecomputedWorldDataInFewBytes) {
    TwoViews(1);
    TempDir dir;
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("trial.kdv")));
    DocumentJournal journal(*doc, dir.Path("journal"));
    std::mt19937 random(5);
    for (int i = 0; i < 30; ++i) {
        doc->GoToFrame(static_cast<int>(random() % kFrames), true);
        doc->MovePoint(static_cast<int>(random() % kPoints), {200.0f + static_cast<float>(random() % 50), 150.0f});
    }
    doc->windows = windows.WindowStates();
    EXPECT_EQ(RecoverFromJournal(journal.path()).bytes, WriteSequence(*doc, doc->pathName()));
    // A point's smoothed coordinates change in every frame (24 bytes each), its raw ones in one.
    const std::uint64_t worldDataBytes = 2ull * (kFrames + 1) * (kPoints + 1) * sizeof(Point3);
    EXPECT_LT(journal.bytes(), 30u * worldDataBytes / 2);
}

TEST_F(Incremental, AMovedPointRedoesItsFramesAloneAndTellsTheWindows) {
    TwoViews(1);
    doc->GoToFrame(30, true);
    const WorldData before = doc->worldFiltered;
    views.changes.clear();
    doc->MovePoint(2, {250.0f, 180.0f});
    ASSERT_FALSE(views.changes.empty());
    EXPECT_TRUE(views.changes.back().what.Has(Change::WorldData));
    // Point 2 moved in frame 30 of the first view: its raw position there changed, and only
    // its smoothing; the other points kept theirs to the bit.
    for (int f = 0; f < kFrames; ++f)
        for (int p = 0; p < kPoints; ++p)
            if (p != 2) {
                EXPECT_EQ(doc->worldFiltered[f][p], before[f][p]) << "point " << p << " frame " << f;
            }
    EXPECT_NE(doc->worldFiltered[30][2], before[30][2]);
    ExpectTheWholeTransformationsBytes(0);
}

// The late view's positions at frame k + 0.4 come from its frames k − 1 .. k + 2, so a point
// moved there changes four world frames.
TEST_F(Incremental, AnEditInAViewLateByAFractionReachesTheFramesBesideIt) {
    TwoViews(1, 1.4);
    ASSERT_EQ(doc->views[1].syncFraction, 1.4);
    doc->SetCurrentView(1);
    doc->GoToFrame(30, true);
    doc->MovePoint(2, {250.0f, 180.0f});
    ExpectTheWholeTransformationsBytes(0);
}

// Frames digitized past the end grow the world data; a view that had a gap where a frame is
// added sees the frames after it again.
TEST_F(Incremental, FramesAddedAtTheEndGrowTheWorldData) {
    TwoViews(1);
    for (int v = 0; v < 2; ++v) {
        doc->SetCurrentView(v);
        doc->GoToFrame(kFrames, true);
        for (int p = 0; p < kPoints; ++p) doc->AddPoint({}, {200.0f + 3.0f * static_cast<float>(p), 150.0f + static_cast<float>(v)}, false);
    }
    EXPECT_EQ(doc->worldFrameCount, kFrames + 1);
    ExpectTheWholeTransformationsBytes(0);

    // The first view stops at its gap at frame 30 until the frame is digitized.
    TwoViews(1, 0.0, 30);
    EXPECT_EQ(doc->worldFiltered[40][1], kMissingWorldPoint);
    doc->SetCurrentView(0);
    doc->GoToFrame(30, true);
    for (int p = 0; p < kPoints; ++p) doc->AddPoint({}, Pixel(kLeft, Truth(p, 30)), false);
    EXPECT_NE(doc->worldFiltered[40][1], kMissingWorldPoint);
    ExpectTheWholeTransformationsBytes(0);
}

TEST_F(Incremental, TheOptionOffLeavesTheWorldDataAsTheyWereAndIsKeptInTheFile) {
    TwoViews(1);
    prompts.editSheet = [](SequenceOptionsSheet& sheet) { sheet.recomputeAfterChange = 0; };
    doc->OnSequenceOptions(0);
    ASSERT_EQ(doc->options.recomputeAfterChange, 0);
    const WorldData before = doc->worldFiltered;
    doc->GoToFrame(10, true);
    doc->MovePoint(1, {200.0f, 200.0f});
    EXPECT_TRUE(doc->worldFiltered == before);

    auto reread = MakeDocument();
    const ByteBlock saved = Saved();
    ReadSequence(saved.data(), saved.size(), *reread);
    EXPECT_EQ(reread->options.recomputeAfterChange, 0);
    // Turned on again, the world data catch up with the edit at once.
    prompts.editSheet = [](SequenceOptionsSheet& sheet) { sheet.recomputeAfterChange = 1; };
    doc->OnSequenceOptions(0);
    EXPECT_FALSE(doc->worldFiltered == before);
    ExpectTheWholeTransformationsBytes(0);
}

// A recomputation that fails (memory running out) leaves the world data as they were, says
// so once, and the edit is still made and told.
TEST_F(Incremental, ARecomputationThatFailsIsSaidOnceAndTheEditIsStillMade) {
    TwoViews(1);
    doc->steps.updateWorldData = [](CKadivoDoc&) -> bool { throw std::bad_alloc(); };
    prompts.ExpectMessageStartingWith("The world data could not be recomputed after the change: ");
    doc->GoToFrame(10, true);
    views.changes.clear();
    doc->MovePoint(1, {200.0f, 200.0f});
    doc->MovePoint(2, {210.0f, 200.0f});
    EXPECT_EQ(doc->current().frameStore.ActiveRecord(kMovement)->imagePos[2].x, 210.0f);
    ASSERT_EQ(views.changes.size(), 2u);
    EXPECT_TRUE(views.changes[0].what.Has(Change::Points));
    EXPECT_FALSE(views.changes[0].what.Has(Change::WorldData));
}

TEST_F(Incremental, WithoutACalibrationNothingIsComputed) {
    NewSequence(kPoints, 8);
    InstallSequenceSteps(doc->steps);
    InstallWorldDataUpdate(doc->steps);
    OpenVideo("a.avi", 20);
    doc->AddPoint({}, {10.0f, 10.0f}, true);
    EXPECT_FALSE(doc->dltValid);
    EXPECT_EQ(doc->worldFrameCount, 0);
}

}  // namespace
}  // namespace kadivo::test
