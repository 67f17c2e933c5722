// The digitizing window, driven with the mouse on a real video. Set KADIVO_TEST_PICTURES to a
// folder to keep pictures of it.

#include "CKadivoView.h"
#include "DigitizingWindowKind.h"
#include "FrameCanvas.h"
#include "ImageAdjustWindow.h"
#include "MainStatusBar.h"
#include "MarkerTracker.h"
#include "ShellTestSupport.h"
#include "SyntheticCameras.h"
#include "VideoSource.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QFile>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

namespace kadivo::test {

namespace {

const QString kVideo = QStringLiteral(KADIVO_SHARED_DIR "/testdata/video/mjpeg_320x240_50fps_50f.avi");

struct DiscCentre {
    int x, yTop, yClick;
};

std::vector<DiscCentre> DiscCentres() {
    QFile file(QStringLiteral(KADIVO_SHARED_DIR "/testdata/video/mjpeg_320x240_50fps_50f.json"));
    file.open(QIODevice::ReadOnly);
    std::vector<DiscCentre> centres;
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).object()["centres"].toArray()) {
        const QJsonObject centre = value.toObject();
        centres.push_back({centre["x"].toInt(), centre["y_top"].toInt(), centre["y_click"].toInt()});
    }
    return centres;
}

}  // namespace

class DigitizingWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    // A new sequence of `points` points on the test video, its digitizing window shown.
    static DocumentSession* NewSequenceOnVideo(FrameFixture& f, int points) {
        NewSequenceSetup setup;
        setup.pointCount = points;
        for (int p = 0; p < points; ++p) setup.modelPoints[static_cast<std::size_t>(p)].name = "P" + std::to_string(p + 1);
        setup.modelPoints[0].linkedPoint[0] = points > 1 ? 1 : -1;
        setup.calibrationPointCount = 4;
        f.prompts.wizardResult = setup;
        f.frame->resize(1000, 800);
        f.frame->show();
        DocumentSession* session = f.frame->NewSequence();
        if (!session) return nullptr;
        f.prompts.openFileAnswer = kVideo.toStdString();
        f.frame->Action(CommandId::OpenVideo)->trigger();
        return session;
    }

    static CKadivoView* Window(DocumentSession* session, std::size_t index = 0) {
        return qobject_cast<CKadivoView*>(session->Windows().at(index)->widget());
    }

    static void Click(CKadivoView* window, QPoint at, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(window->Canvas()->viewport(), Qt::LeftButton, keys, at);
    }

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void clicksOnTheDiscDigitizeItsCentre() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        QVERIFY(window);
        QCOMPARE(window->Canvas()->FrameDisplaySize(), QSize(320, 240));
        // "Auto Resize" fits the window to the frame exactly, without scroll bars.
        QCOMPARE(window->Canvas()->viewport()->size(), QSize(320, 240));
        QVERIFY(!window->Canvas()->horizontalScrollBar()->isVisible());
        QVERIFY(!window->Canvas()->verticalScrollBar()->isVisible());
        const std::vector<DiscCentre> centres = DiscCentres();
        for (int frame = 0; frame < 10; ++frame) {
            QCOMPARE(session->doc().current().currentFrame, frame);
            Click(window, {centres[static_cast<std::size_t>(frame)].x, centres[static_cast<std::size_t>(frame)].yTop});
        }
        const std::vector<FrameRecord>& records = session->doc().current().frameStore.records();
        QCOMPARE(records.size(), std::size_t{10});
        for (int frame = 0; frame < 10; ++frame) {
            const DiscCentre& centre = centres[static_cast<std::size_t>(frame)];
            QCOMPARE(records[static_cast<std::size_t>(frame)].imagePos[0],
                     (Point2f{static_cast<float>(centre.x), static_cast<float>(centre.yClick)}));
        }
        QCOMPARE(f.frame->Status()->Pane(4)->text(), QString("Image:11/50"));
    }

    void aClickAtZoomTwoMapsAsTheFormulaSays() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        f.frame->Action(CommandId::ZoomTwo)->trigger();
        CKadivoView* window = Window(session);
        QCOMPARE(window->Canvas()->FrameDisplaySize(), QSize(640, 480));
        window->Canvas()->SetScroll({0, 0});
        Click(window, {100, 50});
        QCOMPARE(session->doc().current().frameStore.GetPoint(0, kMovement), (Point2f{50, 215}));
        QCOMPARE(session->doc().current().frameStore.records()[0].zoomAt[0], 4);
    }

    // At zoom 4 every fourth screen pixel is the frame's own pixel under it, and scrolling with
    // the scroll bars (the window drawn as it would be on the screen) moves the enlarged picture to what a fresh enlargement gives.
    void theEnlargedPictureLinesUpWithTheFrameAndScrollsWithTheScrollBars() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        f.frame->Action(CommandId::ZoomFour)->trigger();
        CKadivoView* window = Window(session);
        FrameCanvas* canvas = window->Canvas();
        QVERIFY(canvas->horizontalScrollBar()->maximum() > 20 && canvas->verticalScrollBar()->maximum() > 20);
        const FramePixels frame = static_cast<VideoSource*>(session->doc().current().videoSource.get())->Pixels();
        const int stride = BitmapRowStride(frame.width, frame.bitCount);
        auto framePixel = [&](int x, int yFromTop) {
            const std::uint8_t* p = frame.data + static_cast<std::ptrdiff_t>(frame.height - 1 - yFromTop) * stride + x * 3;
            return qRgb(p[2], p[1], p[0]);
        };
        auto onTheGrid = [&](int left, int top) {
            const QImage& shown = canvas->DisplayedFrame();
            for (int y = 0; y < shown.height(); y += 4 * 7)
                for (int x = 0; x < shown.width(); x += 4 * 5)
                    if (shown.pixel(x, y) != framePixel(left + x / 4, top + y / 4)) return false;
            return true;
        };
        canvas->horizontalScrollBar()->setValue(0);
        canvas->verticalScrollBar()->setValue(0);
        canvas->viewport()->grab();
        QVERIFY(!canvas->DisplayedFrame().isNull());
        QVERIFY(onTheGrid(0, 0));
        for (const QPoint to : {QPoint(9, 0), QPoint(9, 13), QPoint(4, 20), QPoint(60, 60), QPoint(2, 3)}) {
            canvas->horizontalScrollBar()->setValue(to.x());
            canvas->verticalScrollBar()->setValue(to.y());
            canvas->viewport()->grab();
            const QImage scrolled = canvas->DisplayedFrame().copy();
            QVERIFY(onTheGrid(to.x(), to.y()));
            canvas->Refresh(false);
            canvas->viewport()->grab();
            QVERIFY2(scrolled == canvas->DisplayedFrame(), "the moved picture is the picture enlarged afresh");
        }
        KeepPicture(*window, "digitizing-zoom-four-scrolled");
    }

    // A step writes the new frame straight into the window's backing store: as the screen holds
    // it, the window shows what it draws from the picture it keeps for repaints, at zoom 1, 2
    // and 4, and where the window is partly out of sight.
    void aStepShowsOnTheScreenWhatTheKeptPictureShows() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QWidget* viewport = Window(session)->Canvas()->viewport();
        auto alike = [&](const QRect& part) {
            viewport->repaint();
            const QPoint at = viewport->mapTo(f.frame.get(), part.topLeft());
            const QImage screen = f.frame->screen()->grabWindow(f.frame->winId(), at.x(), at.y(), part.width(), part.height()).toImage();
            const QImage kept = viewport->grab(part).toImage();
            return !screen.isNull() && screen.convertToFormat(QImage::Format_RGB32) == kept.convertToFormat(QImage::Format_RGB32);
        };
        for (const CommandId zoom : {CommandId::ZoomOne, CommandId::ZoomTwo, CommandId::ZoomFour}) {
            f.frame->Action(zoom)->trigger();
            f.frame->Action(CommandId::NextImage)->trigger();
            QVERIFY2(alike(viewport->rect()), qPrintable(QString("zoom code %1").arg(ZoomCodeOf(zoom))));
        }
        // The window pushed past the top left corner of the area the windows live in.
        QMdiSubWindow* sub = session->Windows().front();
        sub->move(-70, -45);
        f.frame->Action(CommandId::NextImage)->trigger();
        const QWidget* area = sub->parentWidget();
        const QRect inSight = QRect(viewport->mapFrom(area, QPoint(0, 0)), area->size()) & viewport->rect();
        QVERIFY(!inSight.isEmpty() && inSight != viewport->rect());
        QVERIFY2(alike(inSight), "partly out of sight");
    }

    void aPointIsDraggedAndTheMenuUndoesAndRedoesIt() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        CKadivoDoc& doc = session->doc();
        doc.options.autoAdvance = 0;
        Click(window, {100, 100});
        Click(window, {150, 120});
        QVERIFY(doc.current().frameStore.IsComplete(kMovement));
        QWidget* canvas = window->Canvas()->viewport();
        QTest::mousePress(canvas, Qt::LeftButton, {}, {101, 101});
        QTest::mouseMove(canvas, {120, 90});
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, {121, 90});
        QCOMPARE(doc.current().frameStore.GetPoint(0, kMovement), (Point2f{121, 150}));
        QCOMPARE(f.frame->Action(CommandId::Undo)->text(), QString("Undo Move Point"));
        f.frame->Action(CommandId::Undo)->trigger();
        QCOMPARE(doc.current().frameStore.GetPoint(0, kMovement), (Point2f{100, 140}));
        f.frame->Action(CommandId::Undo)->trigger();
        QCOMPARE(doc.current().frameStore.NextIndex(kMovement), 1);
        f.frame->Action(CommandId::Redo)->trigger();
        f.frame->Action(CommandId::Redo)->trigger();
        QCOMPARE(doc.current().frameStore.GetPoint(0, kMovement), (Point2f{121, 150}));
        QVERIFY(!f.frame->Action(CommandId::Redo)->isEnabled());

        // A press and release without a move stores the release position as well.
        QTest::mousePress(canvas, Qt::LeftButton, {}, {152, 118});
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, {152, 118});
        QCOMPARE(doc.current().frameStore.GetPoint(1, kMovement), (Point2f{152, 122}));
        QCOMPARE(f.frame->Action(CommandId::Undo)->text(), QString("Undo Move Point"));
    }

    // Every window's title marks the sequence changed while it is; a redo leaves the view
    // on the frame the user was looking at.
    void undoRedoAndSaveKeepEveryTitleAndTheFrameTheUserIsOn() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        f.frame->Action(CommandId::NewDigitizingWindow)->trigger();
        QCOMPARE(session->Windows().size(), std::size_t{2});
        CKadivoDoc& doc = session->doc();
        auto marked = [&](bool modified) {
            for (QMdiSubWindow* window : session->Windows())
                if (window->isWindowModified() != modified) return false;
            return f.frame->isWindowModified() == modified && doc.IsModified() == modified;
        };
        f.prompts.saveFileAnswer = files_.filePath("marks.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        QVERIFY(marked(false));

        Click(Window(session), {100, 100});
        QCOMPARE(doc.current().currentFrame, 1);
        QVERIFY(marked(true));
        f.frame->Action(CommandId::Undo)->trigger();
        QCOMPARE(doc.current().currentFrame, 0);
        f.frame->Action(CommandId::Redo)->trigger();
        QCOMPARE(doc.current().currentFrame, 0);
        QCOMPARE(f.frame->Status()->Pane(4)->text(), QString("Image:1/50"));
        QVERIFY(doc.current().frameStore.IsComplete(kMovement));
        f.frame->Action(CommandId::Save)->trigger();
        QVERIFY(marked(false));
        f.frame->Action(CommandId::Undo)->trigger();
        QVERIFY(marked(true));
    }

    // Digitize → Import 2D Points: a tracker's CSV comes into the current view in one step,
    // paired by name; a file of another layout is reported and changes nothing.
    void importedPointsComeInThroughTheMenuAsOneStep() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        const QString tracks = files_.filePath("tracks.csv");
        QFile file(tracks);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("scorer,s,s,s,s,s,s\nbodyparts,P2,P2,P2,tail,tail,tail\ncoords,x,y,likelihood,x,y,likelihood\n"
                   "0,10.5,20.25,0.95,1,1,1\n1,11.5,21.25,0.5,1,1,1\n");
        file.close();
        QVERIFY(f.frame->Action(CommandId::ImportPoints)->isEnabled());
        f.prompts.openFileAnswer = tracks.toStdString();
        f.prompts.trackImport = [](TrackImportPlan& plan) { plan.minimumLikelihood = 0.4f; };
        f.frame->Action(CommandId::ImportPoints)->trigger();
        QCOMPARE(f.prompts.shownTrackNames, (std::vector<std::string>{"P2", "tail"}));
        const ViewFrameStore& store = doc.current().frameStore;
        QCOMPARE(store.recordCount(), 2);
        QCOMPARE(store.FindRecord(1, kMovement)->imagePos[1], (Point2f{11.5f, 240.0f - 21.25f}));
        QCOMPARE(store.FindRecord(1, kMovement)->imagePos[0], kNoPosition);
        QCOMPARE(f.frame->Action(CommandId::Undo)->text(), QString("Undo Import 2D Points"));
        f.frame->Action(CommandId::Undo)->trigger();
        QCOMPARE(store.recordCount(), 0);

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("frame,x\n0,1\n");
        file.close();
        f.prompts.ExpectMessage("The 2D points could not be imported.\n" + tracks.toStdString() +
                                ", line 1: expected the columns <point>_cam<n>_X, <point>_cam<n>_Y; this is no DLTdv xypts file");
        f.frame->Action(CommandId::ImportPoints)->trigger();
        QCOMPARE(store.recordCount(), 0);
    }

    void theWindowIsSavedAndComesBack() {
        const QString path = files_.filePath("window.kdv");
        {
            FrameFixture f(RegisterDigitizingWindow);
            DocumentSession* session = NewSequenceOnVideo(f, 1);
            QVERIFY(session);
            f.frame->Action(CommandId::ZoomTwo)->trigger();
            f.frame->Action(CommandId::SneakZoom10)->trigger();
            // With Auto Resize the window would fit the frame when the sequence opens.
            session->doc().options.autoResize = 0;
            QVERIFY(f.frame->Action(CommandId::SneakZoom10)->isChecked());
            session->Windows().front()->setGeometry(20, 30, 400, 300);
            f.prompts.saveFileAnswer = path.toStdString();
            f.frame->Action(CommandId::SaveAs)->trigger();
        }
        FrameFixture f(RegisterDigitizingWindow);
        f.frame->show();
        DocumentSession* session = f.frame->OpenSequence(path.toStdString());
        QVERIFY(session);
        QCOMPARE(session->Windows().size(), std::size_t{1});
        QCOMPARE(session->Windows().front()->geometry(), QRect(20, 30, 400, 300));
        CKadivoView* window = Window(session);
        QCOMPARE(window->Canvas()->SneakZoom(), 10);
        QCOMPARE(session->doc().current().zoomCode, 4);
        QVERIFY(session->doc().HasVideo(0));
    }

    void imageAdjustmentsAndFiltersChangeTheFrameUntilCleared() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        auto* source = dynamic_cast<VideoSource*>(session->doc().current().videoSource.get());
        QVERIFY(source);
        const std::vector<std::uint8_t> original = source->FrameBuffer();
        f.frame->Action(CommandId::ImageAdjust)->trigger();
        QVERIFY(window->ImageAdjust());
        KeepPicture(*window->ImageAdjust(), "image-adjust");
        window->ImageAdjust()->Slider(0)->setValue(150);
        QVERIFY(source->FrameBuffer() != original);
        QCOMPARE(source->Enhancement().History().size(), std::size_t{1});
        f.frame->Action(CommandId::FilterSharpen)->trigger();
        QCOMPARE(source->Enhancement().History().size(), std::size_t{2});
        f.frame->Action(CommandId::ClearAllFiltering)->trigger();
        QCOMPARE(source->FrameBuffer(), original);
        QVERIFY(source->Enhancement().History().empty());
        QCOMPARE(window->ImageAdjust()->Slider(0)->value(), 100);
    }

    void calibrationAndMovementAskTheirQuestions() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        f.frame->Action(CommandId::Calibration)->trigger();
        QVERIFY(f.frame->Action(CommandId::Calibration)->isChecked());
        QCOMPARE(f.frame->Status()->Pane(3)->text(), QString("Point 0/4"));
        Click(window, {40, 40});
        f.prompts.ExpectQuestion("The Calibration frame is not finished!\nProced to digitize movement ?", Answer::No);
        f.frame->Action(CommandId::Movement)->trigger();
        QVERIFY(f.frame->Action(CommandId::Calibration)->isChecked());
    }

    // Camera Views → Lens Calibration... gives the current view the lens the dialog found,
    // unless it belongs to another picture size; Forget Lens takes it away.
    void lensCalibrationAndForgetLensAreInTheCameraViewsMenu() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        QVERIFY(!f.frame->Action(CommandId::ForgetLens)->isEnabled());
        LensModel lens{300.0, 300.0, 160.0, 120.0, -0.2, 0.0, 0.0, 0.0, 0.0, 320, 240, LensSource::Checkerboard};
        f.prompts.lensAnswer = lens;
        f.frame->Action(CommandId::LensCalibration)->trigger();
        QCOMPARE(f.prompts.shownLensCalibrations.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(f.prompts.shownLensCalibrations[0].first).endsWith("mjpeg_320x240_50fps_50f.avi"));
        QCOMPARE(f.prompts.shownLensCalibrations[0].second, (FrameSize{320, 240}));
        QVERIFY(doc.current().lens && *doc.current().lens == lens);
        QVERIFY(doc.IsModified());
        // Saved as a lens file and opened again, after Forget Lens.
        const QString file = files_.filePath("camera.lens");
        f.prompts.saveFileAnswer = file.toStdString();
        f.frame->Action(CommandId::SaveLensFile)->trigger();
        QVERIFY(QFileInfo::exists(file));
        f.frame->Action(CommandId::ForgetLens)->trigger();
        QVERIFY(!doc.current().lens);
        QVERIFY(!f.frame->Action(CommandId::SaveLensFile)->isEnabled());
        f.prompts.openFileAnswer = file.toStdString();
        f.frame->Action(CommandId::OpenLensFile)->trigger();
        QVERIFY(doc.current().lens && *doc.current().lens == lens);
        f.frame->Action(CommandId::ForgetLens)->trigger();
        const QString damaged = files_.filePath("damaged.lens");
        QFile out(damaged);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("kadivo-lens 1\npicture 320 240\n");
        out.close();
        f.prompts.openFileAnswer = damaged.toStdString();
        f.prompts.ExpectMessage("The lens could not be read.\n\"" + damaged.toStdString() + "\" the file gives no fx");
        f.frame->Action(CommandId::OpenLensFile)->trigger();
        QVERIFY(!doc.current().lens);
        lens.width = 640;
        f.prompts.lensAnswer = lens;
        f.prompts.ExpectMessage("The lens belongs to pictures of 640 × 240 pixels; this camera view's are 320 × 240. Nothing was changed.");
        f.frame->Action(CommandId::LensCalibration)->trigger();
        QVERIFY(!doc.current().lens);
    }

    void twoViewsShowEpipolarLinesAndTheMagnifier() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 3);
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        doc.options.showPointTags = 1;
        f.prompts.openFileAnswer = kVideo.toStdString();
        f.frame->Action(CommandId::AddView)->trigger();
        QCOMPARE(doc.viewCount(), 2);
        QVERIFY2(Window(session)->Camera() == 1, "the new view shows in the window");
        // Two cameras whose exact parameters make the epipolar geometry.
        doc.dlt = ExactTable({{{0, 40, 4, 10, 60, 3, 35, -6, 50, 0.01, 0.02, 0.03}}, {{0, 38, -8, 6, 140, 2, 36, 5, 60, -0.02, 0.01, 0.02}}});
        doc.dltValid = true;
        Click(Window(session), {120, 100});
        Click(Window(session), {170, 140});
        f.frame->Action(CommandId::NewDigitizingWindow)->trigger();
        QCOMPARE(session->Windows().size(), std::size_t{2});
        auto* second = Window(session, 1);
        QCOMPARE(second->Camera(), 1);
        // "Camera View 1" from the Camera Views menu: the active window shows view 0, which
        // becomes the current one, with its frame fetched.
        f.frame->WindowArea()->setActiveSubWindow(session->Windows().at(1));
        QAction* cameraView1 = nullptr;
        for (QAction* action : f.frame->findChild<QMenu*>("cameraViewsMenu")->actions())
            if (action->objectName() == "Camera View 1") cameraView1 = action;
        QVERIFY(cameraView1);
        cameraView1->trigger();
        QCOMPARE(second->Camera(), 0);
        QCOMPARE(doc.currentView, 0);
        VideoSource* shown = second->Canvas()->Source();
        QVERIFY(shown && shown->HasFrame());
        QCOMPARE(shown->CachedFrame(), doc.views[0].currentFrame);
        const ViewScene scene = BuildViewScene(doc, 0, 320, 240);
        QVERIFY2(scene.guides.size() == 1, "view 1 has the next point of view 0");
        f.frame->WindowArea()->tileSubWindows();
        QTest::qWait(50);
        KeepPicture(*f.frame, "digitizing-two-views");
        // Through view 0's barrel lens the epipolar line is a curve.
        LensModel barrel;
        barrel = {300.0, 300.0, 160.0, 120.0, -0.35, 0.1, 0.0, 0.0, 0.0, 320, 240, LensSource::Checkerboard};
        QVERIFY(doc.SetViewLens(0, barrel));
        const ViewScene curved = BuildViewScene(doc, 0, 320, 240);
        QVERIFY(curved.guides.size() == 1 && curved.guides[0].path.size() > 100);
        second->Canvas()->viewport()->update();
        QTest::qWait(50);
        KeepPicture(*second, "digitizing-curved-epipolar");
        // Digitize → Undistorted Frame shows the frame corrected, where the line is straight
        // again and a point shows where the correction puts it.
        QVERIFY(f.frame->Action(CommandId::UndistortedFrame)->isEnabled());
        f.frame->Action(CommandId::UndistortedFrame)->trigger();
        QVERIFY(second->Canvas()->Undistorted());
        QVERIFY(f.frame->Action(CommandId::UndistortedFrame)->isChecked());
        QTest::qWait(50);
        KeepPicture(*second, "digitizing-undistorted");
        f.frame->Action(CommandId::UndistortedFrame)->trigger();
        QVERIFY(!second->Canvas()->Undistorted());
        doc.SetViewLens(0, std::nullopt);
        QVERIFY(!f.frame->Action(CommandId::UndistortedFrame)->isEnabled());
        QTest::mousePress(second->Canvas()->viewport(), Qt::LeftButton, {}, {150, 120});
        QTest::qWait(FrameCanvas::kHoldMilliseconds + 100);
        QTest::mouseMove(second->Canvas()->viewport(), {154, 122});
        KeepPicture(*second, "magnifier");
        QTest::mouseRelease(second->Canvas()->viewport(), Qt::LeftButton, {}, {154, 122});
        QCOMPARE(doc.views[0].frameStore.records()[0].digitizedCount, 1);
        f.frame->Action(CommandId::ZoomThree)->trigger();
        KeepPicture(*second, "digitizing-zoom-three");
    }

    void theStoredViewEditPointTheReadOutAndThePointTags() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        FrameCanvas* canvas = window->Canvas();
        CKadivoDoc& doc = session->doc();
        QWidget* viewport = canvas->viewport();

        // The read-out: "X:0000/Y:0000" as the window becomes active, the frame position under
        // the mouse as it moves.
        f.frame->WindowArea()->setActiveSubWindow(nullptr);
        f.frame->WindowArea()->setActiveSubWindow(session->Windows().at(0));
        QCOMPARE(f.frame->Status()->Pane(5)->text(), QString("X:0000/Y:0000"));
        QTest::mouseMove(viewport, {30, 40});
        QCOMPARE(f.frame->Status()->Pane(5)->text(), QString("30.00/200.00"));

        // Point 1 digitized at x4 and scrolled, point 2 at x1: the next frame comes back to the
        // zoom and scroll point 1 was digitized at.
        f.frame->Action(CommandId::ZoomFour)->trigger();
        canvas->SetScroll({40, 30});
        QCOMPARE(canvas->Scroll(), (ScrollPos{40, 30}));
        Click(window, {100, 100});
        f.frame->Action(CommandId::ZoomOne)->trigger();
        canvas->SetScroll({0, 0});
        Click(window, {150, 100});
        QCOMPARE(doc.current().currentFrame, 1);
        QCOMPARE(doc.current().zoomCode, 6);
        QCOMPARE(canvas->Scroll(), (ScrollPos{40, 30}));

        // "Edit Point" on a frame still being digitized: the next press takes the point near it.
        Click(window, {100, 100});
        QCOMPARE(doc.current().frameStore.NextIndex(kMovement), 1);
        QCOMPARE(doc.current().zoomCode, 3);  // where point 2 was digitized
        const WindowPoint first = canvas->Geometry().ToWindow(doc.current().frameStore.GetPoint(0, kMovement));
        f.frame->Action(CommandId::EditPoint)->trigger();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(static_cast<int>(first.x) + 1, static_cast<int>(first.y) + 1));
        QTest::mouseMove(viewport, {130, 112});
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, {132, 112});
        const Point2f edited = doc.current().frameStore.GetPoint(0, kMovement), wanted = canvas->Geometry().ToFrame({132, 112});
        QVERIFY2(edited == wanted, qPrintable(QString("%1,%2 for %3,%4").arg(edited.x).arg(edited.y).arg(wanted.x).arg(wanted.y)));
        QCOMPARE(doc.current().frameStore.NextIndex(kMovement), 1);

        // "Display Point Tags": the point's number above and left of its cross.
        const WindowPoint at = canvas->Geometry().ToWindow(doc.current().frameStore.GetPoint(0, kMovement));
        const QRect tagArea(static_cast<int>(at.x) - 12, static_cast<int>(at.y) - 24, 14, 16);
        const QImage without = viewport->grab().toImage().copy(tagArea);
        doc.options.showPointTags = 1;
        viewport->repaint();
        const QImage with = viewport->grab().toImage().copy(tagArea);
        int brighter = 0;  // the white figure, smoothed at its edges
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x)
                brighter += with.pixelColor(x, y).lightness() - without.pixelColor(x, y).lightness() > 60;
        KeepPicture(*window, "digitizing-point-tag");
        QVERIFY2(brighter >= 8, qPrintable(QString("%1 pixels of the tag").arg(brighter)));
    }

    void aSecondVideoAddsAViewWithAWindowOfItsOwnInsideTheArea() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        f.prompts.openFileAnswer = KADIVO_SHARED_DIR "/testdata/video/raw_bgr24_320x240_30fps_30f.avi";
        f.prompts.ExpectQuestion(
            "The Current Active Window is already loaded with a AVI file.\nDo you want to add an additional Window and Camera "
            "View ?",
            Answer::Yes);
        f.frame->Action(CommandId::OpenVideo)->trigger();
        QCOMPARE(doc.viewCount(), 2);
        QCOMPARE(session->Windows().size(), std::size_t{2});
        QCOMPARE(Window(session, 0)->Camera(), 0);
        QCOMPARE(Window(session, 1)->Camera(), 1);
        const QRect area = f.frame->WindowArea()->viewport()->rect();
        const QRect first = session->Windows().at(0)->geometry(), second = session->Windows().at(1)->geometry();
        QVERIFY2(!first.intersects(second), "tiled side by side");
        QVERIFY(area.contains(first) && area.contains(second));
        KeepPicture(*f.frame, "digitizing-added-view");

        // "Resize Window to Image" at x4 fills the area at most.
        f.frame->WindowArea()->setActiveSubWindow(session->Windows().at(1));
        f.frame->Action(CommandId::ZoomFour)->trigger();
        f.frame->Action(CommandId::ResizeWindowToImage)->trigger();
        QVERIFY2(area.contains(session->Windows().at(1)->geometry()), "never beyond the main window's area");
    }

    void theRangeOfInterestIsDraggedUnderItsOwnCursor() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        QWidget* canvas = window->Canvas()->viewport();
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        f.frame->Action(CommandId::RangeDefine)->trigger();
        QCOMPARE(canvas->cursor().shape(), Qt::BitmapCursor);
        QTest::mousePress(canvas, Qt::LeftButton, {}, {20, 30});
        QTest::mouseMove(canvas, {80, 70});
        QCOMPARE(canvas->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, {120, 100});
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        const RangeOfInterest& range = window->Canvas()->Source()->Enhancement().Range();
        QCOMPARE(range.left, 20);
        QCOMPARE(range.right, 120);
        QCOMPARE(std::abs(range.top - range.bottom), 70);
        QCOMPARE(session->doc().current().frameStore.recordCount(), 0);

        // Ctrl+Shift drags one without the menu; the window's record keeps it.
        QTest::mousePress(canvas, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, {50, 60});
        QCOMPARE(canvas->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, {150, 160});
        QCOMPARE(canvas->cursor().shape(), Qt::CrossCursor);
        QCOMPARE(range.left, 50);
        const DigitizingWindowValues saved = DigitizingWindowValues::From(std::get<DigitizingWindowState>(*window->State()));
        QCOMPARE(saved.rangeOfInterest.left, 50);
        QCOMPARE(saved.rangeOfInterest.right, 150);

        f.frame->Action(CommandId::RangeClear)->trigger();
        QCOMPARE(range.left, 0);
        QCOMPARE(range.right, 320);
    }

    void autoScrollKeepsTheLocatedPointInSight() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        FrameCanvas* canvas = window->Canvas();
        CKadivoDoc& doc = session->doc();
        doc.options.locateMethod = kLocateByPreviousPosition;
        f.frame->Action(CommandId::ZoomFour)->trigger();
        canvas->SetScroll({0, 0});
        Click(window, {60, 60});  // frame 0, near the top-left corner
        const Point2f point = doc.current().frameStore.records()[0].imagePos[0];
        auto inSight = [&] {
            const WindowPoint at = canvas->Geometry().ToWindow(point);
            return canvas->viewport()->rect().contains(QPoint(static_cast<int>(at.x), static_cast<int>(at.y)));
        };
        QVERIFY(!f.frame->Action(CommandId::AutoScroll)->isChecked());
        f.frame->Action(CommandId::AutoScroll)->trigger();
        f.frame->UpdateCommands();
        QVERIFY(f.frame->Action(CommandId::AutoScroll)->isChecked());
        // The user looks elsewhere; "Single Point" locates the point and brings it back.
        canvas->SetScroll({200, 150});
        QVERIFY(!inSight());
        f.frame->Action(CommandId::SinglePoint)->trigger();
        QCOMPARE(doc.current().currentFrame, 2);
        QVERIFY2(inSight(), "the located point is in the view");

        // Off again: the view stays where the user left it.
        f.frame->Action(CommandId::AutoScroll)->trigger();
        canvas->SetScroll({200, 150});
        f.frame->Action(CommandId::SinglePoint)->trigger();
        QVERIFY(!inSight());
    }

    void goStopsAtAPointItCannotLocateAndLeavesItToTheUser() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        CKadivoDoc& doc = session->doc();
        const std::vector<DiscCentre> centres = DiscCentres();
        Click(window, {centres[0].x, centres[0].yTop});
        f.frame->Action(CommandId::Missing)->trigger();
        QCOMPARE(doc.current().currentFrame, 1);
        doc.options.autoDigitizeInterval = 1;
        f.prompts.ExpectMessage(std::string(AutomaticDigitizing::kLostMessage) +
                                "\n\"P2\" could not be located in frame 1: digitize it by hand, then go on.");
        f.frame->Action(CommandId::Go)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window->Canvas()->Tracking().Running(), 10000);
        QVERIFY(window->Canvas()->Tracking().LastStop() == AutomaticDigitizing::Stop::NoPosition);
        QCOMPARE(doc.current().currentFrame, 1);
        const FrameRecord* frame1 = doc.current().frameStore.FindRecord(1, kMovement);
        QVERIFY(frame1);
        QCOMPARE(frame1->digitizedCount, 1);
        QCOMPARE(doc.current().frameStore.recordCount(), 2);
    }

    // With "Snap clicks to the marker centre" a click beside the disc digitizes its centroid.
    void aClickSnapsToTheMarkerCentre() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 2);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        CKadivoDoc& doc = session->doc();
        const std::vector<DiscCentre> centres = DiscCentres();
        f.prompts.editSheet = [](SequenceOptionsSheet& sheet) {
            sheet.snapToMarkerCentre = 1;
            sheet.tracking = {8, true, false};
        };
        f.frame->Action(CommandId::AutoSearchOptions)->trigger();
        QCOMPARE(doc.options.snapToMarkerCentre, 1);
        doc.options.autoAdvance = 0;
        Click(window, {centres[0].x + 3, centres[0].yTop - 2});
        const Point2f snapped = doc.current().frameStore.records()[0].imagePos[0];
        QVERIFY2(std::hypot(snapped.x - static_cast<float>(centres[0].x), snapped.y - static_cast<float>(centres[0].yClick)) < 1.0f,
                 qPrintable(QString("%1, %2").arg(snapped.x).arg(snapped.y)));
        // Far from any marker the click stays where it was.
        Click(window, {20, 200});
        QCOMPARE(doc.current().frameStore.records()[0].imagePos[1], window->Canvas()->Geometry().ToFrame({20, 200}));
    }

    void goTracksTheDiscToTheEndOnTheTimerAndStopStops() {
        FrameFixture f(RegisterDigitizingWindow);
        DocumentSession* session = NewSequenceOnVideo(f, 1);
        QVERIFY(session);
        CKadivoView* window = Window(session);
        CKadivoDoc& doc = session->doc();
        const std::vector<DiscCentre> centres = DiscCentres();
        Click(window, {centres[0].x, centres[0].yTop});
        QCOMPARE(doc.current().currentFrame, 1);

        // A long interval: running, but no tick yet. Clicks are ignored meanwhile.
        doc.options.autoDigitizeInterval = 60000;
        f.frame->Action(CommandId::Go)->trigger();
        QVERIFY(window->Canvas()->Tracking().Running());
        QVERIFY(window->Canvas()->AutomaticTimer().isActive());
        Click(window, {10, 10});
        QCOMPARE(doc.current().frameStore.recordCount(), 1);
        f.frame->Action(CommandId::StopDigitizing)->trigger();
        QVERIFY(!window->Canvas()->Tracking().Running());
        QVERIFY(!window->Canvas()->AutomaticTimer().isActive());

        f.frame->Action(CommandId::ShowStatusWindow)->trigger();
        QVERIFY(window->SearchStatus());
        QCOMPARE(window->SearchStatus()->objectName(), QString("SearchStatTool"));
        doc.options.autoDigitizeInterval = 1;
        f.frame->Action(CommandId::Go)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window->Canvas()->Tracking().Running(), 30000);
        QVERIFY(window->Canvas()->Tracking().LastStop() == AutomaticDigitizing::Stop::End);
        const auto& records = doc.current().frameStore.records();
        QCOMPARE(records.size(), std::size_t{50});
        for (const FrameRecord& record : records) {
            const DiscCentre& centre = centres[static_cast<std::size_t>(record.frame)];
            QVERIFY2(std::abs(record.imagePos[0].x - static_cast<float>(centre.x)) <= 1.0f &&
                         std::abs(record.imagePos[0].y - static_cast<float>(centre.yClick)) <= 1.0f,
                     qPrintable(QString("frame %1").arg(record.frame)));
        }
        QVERIFY(!window->SearchStatus()->Pane(2)->pixmap().isNull());
        KeepPicture(*window->SearchStatus(), "search-status");
        KeepPicture(*f.frame, "digitizing-tracked");
        f.frame->Action(CommandId::ShowStatusWindow)->trigger();
        QTRY_VERIFY(!window->SearchStatus());
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::DigitizingWindowTest)
#include "DigitizingWindowTest.moc"
