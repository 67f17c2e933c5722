#include "DocumentFixture.h"
#include "SequenceFile.h"

#include <random>

namespace kadivo::test {
namespace {

class Undo : public DocumentFixture {
protected:
    std::vector<std::uint8_t> Saved() { return WriteSequence(*doc); }
};

TEST_F(Undo, UndoOfAnAddIsEraseLastPointAndRedoPutsItBack) {
    NewSequence(3);
    OpenVideo("walk.avi", 10);
    doc->AddPoint({1, 1}, {5, 6}, true);
    const std::vector<std::uint8_t> added = Saved();
    EXPECT_EQ(doc->history().UndoName(), "Add Point");
    doc->Undo();
    EXPECT_EQ(doc->current().frameStore.NextIndex(kMovement), 0);
    doc->Redo();
    EXPECT_EQ(Saved(), added);
    doc->RemoveLastPoint();
    const std::vector<std::uint8_t> erased = Saved();
    doc->Undo();
    EXPECT_EQ(Saved(), added);
    doc->Undo();
    doc->Redo();
    doc->Redo();
    EXPECT_EQ(Saved(), erased);
    EXPECT_FALSE(doc->history().CanRedo());
}

TEST_F(Undo, UndoingTheLastPointOfAFrameGoesBackToThatFrame) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->AddPoint({}, {1, 1}, true);
    EXPECT_EQ(doc->AddPoint({}, {2, 2}, true), 2);
    EXPECT_EQ(doc->current().currentFrame, 1);
    doc->Undo();
    EXPECT_EQ(doc->current().currentFrame, 0);
    EXPECT_EQ(doc->current().frameStore.NextIndex(kMovement), 1);
    EXPECT_EQ(views.panes[3], "P2") << "the main frame is told";
    EXPECT_TRUE(views.changes.back().what.Has(Change::Frame));
}

TEST_F(Undo, EditsThatChangeNothingLeaveNoStep) {
    NewSequence(1);
    OpenVideo("walk.avi", 10);
    doc->options.autoAdvance = 0;
    doc->AddPoint({}, {1, 1}, false);
    const std::size_t steps = doc->history().UndoCount();
    doc->AddPoint({}, {1, 1}, false);  // the frame is complete: refused
    doc->SetModel(doc->modelPoints);
    doc->OnPointStatic();  // no previous frame
    EXPECT_EQ(doc->history().UndoCount(), steps);
}

TEST_F(Undo, ModelEditsAndMovesAreUndone) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->AddPoint({}, {1, 1}, false);
    doc->MovePoint(0, {7, 8});
    EXPECT_EQ(doc->current().frameStore.GetPoint(0, kMovement), (Point2f{7, 8}));
    ModelTable model = doc->modelPoints;
    model[1].name = "Knee";
    doc->SetModel(model);
    doc->Undo();
    EXPECT_EQ(doc->modelPoints[1].name, "P2");
    doc->Undo();
    EXPECT_EQ(doc->current().frameStore.GetPoint(0, kMovement), (Point2f{1, 1}));
}

TEST_F(Undo, OpeningASequenceForgetsTheHistory) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    doc->AddPoint({}, {1, 1}, false);
    ASSERT_TRUE(doc->history().CanUndo());
    doc->AddCameraView();
    EXPECT_FALSE(doc->history().CanUndo()) << "steps of other views cannot be put back";
}

// A thousand random edits of every kind, with frame steps between them: undone they give the
// original file, redone the edited one, byte for byte.
TEST_F(Undo, AThousandRandomEditsAreUndoneAndRedoneExactly) {
    NewSequence(4, 4);
    OpenVideo("a.avi", 40);
    doc->AddCameraView();
    doc->SetCurrentView(1);
    OpenVideo("b.avi", 40);
    for (int v = 0; v < 2; ++v) {
        // Each view's calibration video is named before the original is saved.
        doc->SetCurrentView(v);
        doc->SwitchToCalibration();
        doc->SwitchToMovement();
    }
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto position = [&] { return Point2f{static_cast<float>(pick(320)), static_cast<float>(pick(240))}; };
    for (int i = 0; i < 30; ++i) doc->AddPoint({pick(9), pick(9)}, position(), true);
    doc->history().Clear();
    const std::vector<std::uint8_t> original = Saved();

    int edits = 0;
    for (int tries = 0; edits < 1000 && tries < 100000; ++tries) {
        const int before = static_cast<int>(doc->history().UndoCount());
        switch (pick(16)) {
            case 0: doc->NextImage(true); break;
            case 1: doc->OnPreviousImage(); break;
            case 2: doc->SetCurrentView(pick(2)); break;
            case 3: doc->GoToFrame(pick(40), true); break;
            case 4: doc->RemoveLastPoint(); break;
            case 5: doc->MarkPointMissingInFrame(); break;
            case 6: doc->OnPointMissing(); break;
            case 7: doc->OnPointStatic(); break;
            case 8: doc->OnClearAllPoints(); break;
            case 9: doc->OnSyncImage(); break;
            case 10: doc->MovePoint(pick(4), position()); break;
            case 11: doc->FreezeZoomAndScroll({pick(50), pick(50)}); break;
            case 12: {
                ModelTable model = doc->modelPoints;
                model[static_cast<std::size_t>(pick(4))].name = "N" + std::to_string(pick(1000));
                model[static_cast<std::size_t>(pick(4))].segmentParamA[0] = static_cast<float>(pick(100)) / 100.0f;
                doc->SetModel(model);
                break;
            }
            default: doc->AddPoint({pick(9), pick(9)}, position(), pick(2) == 0); break;
        }
        edits += static_cast<int>(doc->history().UndoCount()) - before;
    }
    ASSERT_EQ(doc->history().UndoCount(), 1000u);
    const std::vector<std::uint8_t> edited = Saved();
    std::vector<int> editedFrames;
    for (const CameraView& view : doc->views) editedFrames.push_back(view.currentFrame);
    ASSERT_NE(edited, original);
    for (int i = 0; i < 1000; ++i) doc->Undo();
    EXPECT_EQ(Saved(), original);
    std::vector<int> shown;
    for (const CameraView& view : doc->views) shown.push_back(view.currentFrame);
    for (int i = 0; i < 1000; ++i) {
        doc->Redo();
        for (std::size_t v = 0; v < shown.size(); ++v) ASSERT_EQ(doc->views[v].currentFrame, shown[v]) << "redo " << i;
    }
    // The frames shown are the user's; everything else is as edited.
    for (std::size_t v = 0; v < shown.size(); ++v) doc->views[v].currentFrame = editedFrames[v];
    EXPECT_EQ(Saved(), edited);
}

}  // namespace
}  // namespace kadivo::test
