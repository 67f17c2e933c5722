#include "DocumentFixture.h"
#include "Hints.h"
#include "SequenceFile.h"
#include "TempDir.h"

namespace kadivo::test {
namespace {

TEST(UpdateHint, EveryValueTheDocumentSendsComesFromItsChange) {
    const struct {
        ChangeSet what;
        int hint;
    } cases[] = {
        {Change::Points, 1},
        {Change::Frame, 256},
        {Change::Frame | Change::NoVideo, 2304},
        {Change::Points | Change::Frame, 256},  // points of a frame shown anew are drawn with it
        {Change::Points | Change::PointsRemoved, 257},
        {Change::Options, 257},
        {Change::Options | Change::WorldData, 257},
        {Change::VideoOptions, 259},
        {Change::VideoOptions | Change::FitWindow, 1283},
        {Change::Video, 256},
        {Change::Video | Change::FitWindow, 1280},
        {Change::CameraViews | Change::FitWindow, 1280},
        {Change::Frame | Change::Redraw, 2305},
        {Change::Points | Change::Redraw, 2305},
        {Change::Zoom | Change::Redraw, 2305},
        {Change::Zoom | Change::Redraw | Change::FitWindow, 3329},
        {Change::SequenceOpened, 4352},
        {Change::SequenceOpened | Change::FitWindow, 5376},
        {Change::Mode, 256},
        {Change::SyncFrame, 256},
        {Change::WorldData, 0},
        {Change::FrameRate, 0},
        {Change::CurrentView, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(UpdateHint({c.what, 0}), c.hint) << std::hex << c.what.Bits();
}

// Counts changes and can act on the list while it is being told.
struct CountingObserver : DocumentObserver {
    int told = 0;
    std::function<void()> onChange;
    void OnDocumentChanged(const DocumentChange&) override {
        ++told;
        if (onChange) onChange();
    }
};

TEST(ObserverListTest, ObserversMayLeaveOrJoinWhileBeingTold) {
    ObserverList list;
    CountingObserver a, b, c;
    list.Add(a);
    list.Add(b);
    list.Add(a);  // once only
    a.onChange = [&] {
        list.Remove(b);  // b is not told any more, not even now
        list.Add(c);     // c hears from the next change on
    };
    list.Notify({Change::Points, 0});
    EXPECT_EQ(a.told, 1);
    EXPECT_EQ(b.told, 0);
    EXPECT_EQ(c.told, 0);
    a.onChange = [&] { list.Remove(a); };
    list.Notify({Change::Points, 0});
    EXPECT_EQ(a.told, 2);
    EXPECT_EQ(c.told, 1);
    EXPECT_EQ(list.Size(), 1u);
}

class Announcements : public DocumentFixture {};

TEST_F(Announcements, EachDocumentTellsOnlyItsOwnObservers) {
    NewSequence(2);
    FakeWindowHost otherWindows;
    RecordingObserver otherViews;
    auto other = std::make_unique<CKadivoDoc>(prompts, videos.Factory());
    other->SetWindowHost(otherWindows);
    otherViews.Attach(*other);
    OpenVideo("walk.avi", 10);
    doc->NextImage(true);
    EXPECT_FALSE(views.changes.empty());
    EXPECT_TRUE(otherViews.changes.empty());
    other->OnCloseDocument();
    EXPECT_EQ(otherWindows.closeAllCount, 1);
    EXPECT_EQ(windows.closeAllCount, 0) << "closing one document leaves the other's windows";
}

TEST_F(Announcements, ChangesWithoutAnOldHintAreAnnouncedToo) {
    NewSequence(2);
    OpenVideo("walk.avi", 10);
    views.changes.clear();
    doc->AddPoint({}, {5, 5}, true);
    ASSERT_EQ(views.changes.size(), 1u);
    EXPECT_TRUE(views.changes[0].what.Has(Change::Points));
    EXPECT_EQ(views.changes[0].view, 0);

    prompts.frameRateAnswer = 50.0;
    doc->OnSetVideoFrameRate();
    EXPECT_TRUE(views.changes.back().what.Has(Change::FrameRate));

    const int added = doc->AddCameraView();
    EXPECT_TRUE(views.changes.back().what.Has(Change::CameraViews));
    EXPECT_EQ(views.changes.back().view, added);
    EXPECT_EQ(views.menu.size(), 2u) << "the menu follows the announcement";
    doc->SetCurrentView(1);
    EXPECT_TRUE(views.changes.back().what.Has(Change::CurrentView));
    EXPECT_EQ(views.panes[4], "Image:1/11");

    ModelTable edited = doc->modelPoints;
    edited[0].name = "Heel";
    doc->SetModel(edited);
    EXPECT_TRUE(views.changes.back().what.Has(Change::Model));
    EXPECT_EQ(doc->modelPoints[0].name, "Heel");
    const std::size_t before = views.changes.size();
    doc->SetModel(edited);
    EXPECT_EQ(views.changes.size(), before) << "nothing changed, nothing announced";
}

TEST_F(Announcements, TransformAnnouncesTheWorldDataWithProgress) {
    NewSequence(2);
    doc->calibrationPoints.assign(5, Point3{});
    int frames = 0;
    doc->steps.calibrateViews = [](CKadivoDoc& d) { d.dltValid = true; };
    doc->steps.transformImageData = [&](CKadivoDoc&, const FrameProgress& frameDone) {
        for (; frames < 3; ++frames) frameDone();
    };
    doc->OnTransformImageData();
    EXPECT_TRUE(views.changes.back().what.Has(Change::WorldData));
    EXPECT_EQ(prompts.progressText, "Transformation of Image points...");
    EXPECT_EQ(prompts.progressSteps, 3);
    EXPECT_FALSE(prompts.progressShown);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(Announcements, SavingWritesTheWindowsAsTheHostHasThemNow) {
    NewSequence(2);
    ASSERT_EQ(windows.open.size(), 1u);
    GraphWindowState graph;
    graph.graphs[0].title = "Opened later";
    windows.OpenWindow(graph);
    TempDir dir;
    ASSERT_TRUE(doc->OnSaveDocument(dir.Path("two.kdv")));
    auto reread = MakeDocument();
    ReadSequenceFile(dir.Path("two.kdv"), *reread);
    ASSERT_EQ(reread->windows.size(), 2u);
    EXPECT_EQ(std::get<GraphWindowState>(reread->windows.back()).graphs[0].title, "Opened later");
}

}  // namespace
}  // namespace kadivo::test
