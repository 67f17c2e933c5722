// The animation window drawing with OpenGL under a virtual X server with Mesa's software
// renderer. Set KADIVO_TEST_PICTURES to a folder to keep pictures of it.

#include "AnimationCanvas.h"
#include "AnimationOptionsDialog.h"
#include "AnimationWindowKind.h"
#include "CThreeDView.h"
#include "DrawnPicture.h"
#include "FloorTexture.h"
#include "GraphDialogs.h"
#include "PinLoadedLibraries.h"
#include "ShellTestSupport.h"
#include "WorldCompletion.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace kadivo::test {

namespace {

void KeepPicture(const QImage& picture, const QString& name) {
    const QByteArray folder = qgetenv("KADIVO_TEST_PICTURES");
    if (!folder.isEmpty()) picture.save(QString::fromUtf8(folder) + "/" + name + ".png");
}

bool Near(const QColor& a, const QColor& b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor Background() {
    return QColor::fromRgbF(AnimationCanvas::kBackground[0], AnimationCanvas::kBackground[1], AnimationCanvas::kBackground[2]);
}

// Where a world point lands in a picture of `size`: the view's perspective of 30 degrees
// from `distance`, shifted by (panX, panY), turned by `rotX` degrees about the X axis.
QPoint Projected(const Point3& world, QSize size, double distance, double panX, double panY, double rotX = 0.0) {
    const double a = rotX * 3.14159265358979323846 / 180.0;
    const Point3 p{world.x, world.y * std::cos(a) - world.z * std::sin(a), world.y * std::sin(a) + world.z * std::cos(a)};
    const double depth = -(p.z + distance);
    const double f = 1.0 / std::tan(15.0 * 3.14159265358979323846 / 180.0);
    const double aspect = static_cast<double>(size.width()) / size.height();
    const double x = f / aspect * (p.x + panX) / depth, y = f * (p.y + panY) / depth;
    return {static_cast<int>(std::lround((x + 1.0) / 2.0 * size.width())),
            static_cast<int>(std::lround((1.0 - y) / 2.0 * size.height()))};
}

void RegisterWindows(WindowKinds& kinds) { RegisterAnimationWindow(kinds); }

}  // namespace

class AnimationWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    static CThreeDView* Window(DocumentSession* session) {
        for (QMdiSubWindow* window : session->Windows())
            if (auto* view = qobject_cast<CThreeDView*>(window->widget())) return view;
        return nullptr;
    }

    // A new sequence of one point, "Ball", at `at` in its one frame, the floor at height -1.
    static DocumentSession* OneJointSequence(FrameFixture& f, const Point3& at) {
        DocumentSession* session = f.NewOnePointSequence("Ball");
        if (!session) return nullptr;
        CKadivoDoc& doc = session->doc();
        doc.worldFrameCount = 1;
        doc.worldFiltered = WorldData(1, 2);
        doc.worldFiltered[0][0] = at;
        doc.worldExtent.minimum.y = -1.0;
        return session;
    }

    static QImage Picture(CThreeDView* view) {
        view->ShowFrame();
        QTest::qWait(30);
        QImage picture = view->Canvas()->grabFramebuffer();
        PinLoadedLibraries();
        return picture;
    }

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void aJointAtTheOriginIsDrawnWhereTheProjectionPutsIt() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OneJointSequence(f, {0.0, 0.0, 0.0});
        QVERIFY(session);
        AnimationWindowState options;
        options.jointColor = 0x0000FF;  // red
        options.showCenterOfGravity = 0;
        QVERIFY(session->OpenWindow(options));
        CThreeDView* view = Window(session);
        QVERIFY(view);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QVERIFY2(view->Canvas()->Usable(), "an OpenGL context under Xvfb");

        QImage picture = Picture(view);
        KeepPicture(picture, "animation-one-joint");
        const QPoint centre = Projected({0, 0, 0}, picture.size(), -10.0, 0, 0);
        QVERIFY2(Near(picture.pixelColor(centre), QColor(255, 0, 0)), "the joint's colour where it projects");
        QVERIFY2(Near(picture.pixelColor(5, 5), Background()), "the background far from it");

        // Turned and shifted, then back: the joint follows the shift.
        AnimationState& state = view->Animation();
        state.Press(0, 0);
        state.Move(40, 30);
        state.SetDragMode(AnimationState::DragMode::Shift);
        state.Move(140, 30);
        state.Release();
        picture = Picture(view);
        const QPoint shifted = Projected({0, 0, 0}, picture.size(), -10.0, 1.0, 0);
        QVERIFY(Near(picture.pixelColor(shifted), QColor(255, 0, 0)));
        QVERIFY(!Near(picture.pixelColor(centre), QColor(255, 0, 0)));
        QVERIFY(view->HandleCommand(CommandId::ResetOrientation));
        state.record().panX = 0.0f;
        picture = Picture(view);
        QVERIFY(Near(picture.pixelColor(centre), QColor(255, 0, 0)));

        QVERIFY(view->SaveFrame(files_.filePath("frame.png")));
        QCOMPARE(QImage(files_.filePath("frame.png")).size(), picture.size());

        // The main window's picture, as `kadivo --screenshot` saves it, holds the animation,
        // though its OpenGL picture is not in the window's backing store.
        QVERIFY(SaveDrawnPicture(*f.frame, files_.filePath("main.png"), "PNG"));
        const QImage main(files_.filePath("main.png"));
        KeepPicture(main, "main-window-with-animation");
        const qreal ratio = f.frame->devicePixelRatio();
        QCOMPARE(main.size(), (QSizeF(f.frame->size()) * ratio).toSize());
        const QPoint inFrame = view->Canvas()->mapTo(f.frame.get(), centre / picture.devicePixelRatio());
        QVERIFY2(Near(main.pixelColor(inFrame * ratio), QColor(255, 0, 0)), "the joint in the main window's picture");
    }

    void theFloorGridAndTheTexturedFloorLieWhereTheProjectionPutsThem() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OneJointSequence(f, {3.9, 0.0, 3.9});  // out of the way of the points looked at
        QVERIFY(session);
        AnimationWindowState options;
        options.showCenterOfGravity = 0;
        options.rotX = 90.0;  // looking down on the floor, from far enough to see all of it
        options.distance = -20.0;
        QVERIFY(session->OpenWindow(options));
        CThreeDView* view = Window(session);
        QVERIFY(view);
        view->parentWidget()->resize(520, 420);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QVERIFY(view->Canvas()->Usable());

        // 25 white lines each way from -4 to 4 at the lowest height: on x = 1/3 and on
        // z = -2/3, white; in the middle of a cell, the background.
        QImage picture = Picture(view);
        KeepPicture(picture, "animation-floor-grid");
        auto whiteNear = [&picture](QPoint at) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (Near(picture.pixelColor(at + QPoint(dx, dy)), Qt::white, 40)) return true;
            return false;
        };
        const QSize size = picture.size();
        for (const Point3& onLine : {Point3{1.0 / 3.0, -1.0, 0.5}, Point3{-1.5, -1.0, -2.0 / 3.0}, Point3{-4.0, -1.0, 1.2}})
            QVERIFY2(whiteNear(Projected(onLine, size, -20.0, 0, 0, 90.0)), qPrintable(QString("x %1 z %2").arg(onLine.x).arg(onLine.z)));
        for (const Point3& inCell : {Point3{1.0 / 6.0, -1.0, 1.0 / 6.0}, Point3{-2.5, -1.0, 1.5}})
            QVERIFY(Near(picture.pixelColor(Projected(inCell, size, -20.0, 0, 0, 90.0)), Background()));
        QVERIFY2(Near(picture.pixelColor(Projected({4.5, -1.0, 0.5}, size, -20.0, 0, 0, 90.0)), Background()),
                 "nothing beyond x = 4");

        // The textured floor covers the square from -4 to 4 and nothing beyond it.
        AnimationWindowState textured = view->Animation().record();
        textured.showFloor = 1;
        view->ApplyOptions(textured, false);
        picture = Picture(view);
        KeepPicture(picture, "animation-floor-textured");
        for (const Point3& inside : {Point3{1.0 / 6.0, -1.0, 1.0 / 6.0}, Point3{-2.5, -1.0, 1.5}, Point3{3.0, -1.0, -3.0}})
            QVERIFY2(!Near(picture.pixelColor(Projected(inside, size, -20.0, 0, 0, 90.0)), Background()),
                     qPrintable(QString("x %1 z %2").arg(inside.x).arg(inside.z)));
        QVERIFY(Near(picture.pixelColor(Projected({5.0, -1.0, 0.5}, size, -20.0, 0, 0, 90.0)), Background()));
    }

    void theSampleInEachSegmentStyleWithAndWithoutTheFloor() {
        FrameFixture f(RegisterWindows);
        f.frame->resize(900, 700);
        f.frame->show();
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        f.frame->Action(CommandId::TransformImageData)->trigger();
        CKadivoDoc& doc = session->doc();
        QVERIFY(doc.worldFrameCount > 0);
        AnimationWindowState options;
        options.distance = -6.0;
        options.panX = -1.5f;
        options.panY = -1.0f;
        options.rotX = 15.0;
        options.rotY = -20.0;
        QVERIFY(session->OpenWindow(options));
        CThreeDView* view = Window(session);
        QVERIFY(view);
        view->parentWidget()->resize(660, 500);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        doc.GoToFrame(10, true);
        const char* styles[] = {"solid", "wire", "lines"};
        for (int style = 0; style < 3; ++style)
            for (int floor = 0; floor < 2; ++floor) {
                AnimationWindowState changed = view->Animation().record();
                changed.segmentStyle = style;
                changed.showFloor = floor;
                view->ApplyOptions(changed, false);
                const QImage picture = Picture(view);
                KeepPicture(picture, QString("animation-%1%2").arg(styles[style], floor ? "-floor" : ""));
                int drawn = 0;
                for (int y = 0; y < picture.height(); y += 4)
                    for (int x = 0; x < picture.width(); x += 4) drawn += Near(picture.pixelColor(x, y), Background(), 3) ? 0 : 1;
                QVERIFY2(drawn > 50, qPrintable(QString("style %1 floor %2 drew %3").arg(style).arg(floor).arg(drawn)));
            }
        QVERIFY2(QFileInfo::exists(FloorTexturePath()), "the default floor is installed on first use");

        // The wheel over the picture: one frame a notch, whatever the frame step.
        doc.options.frameStep = 2;
        QWheelEvent wheel(QPointF(40, 40), view->Canvas()->mapToGlobal(QPointF(40, 40)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->Canvas(), &wheel);
        QCOMPARE(doc.current().currentFrame, 11);
        doc.options.frameStep = 1;

        // "Animation Options" from the menu: the dialog's choices go into the window's record,
        // which the sequence file keeps.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<AnimationOptionsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QString("Animation Options"));
            dialog->speed->setValue(12);
            dialog->segmentStyle->button(2)->click();
            dialog->showMissing->setChecked(false);
            dialog->joints->SetColour(0x00FF00);
            dialog->accept();
        });
        f.frame->Action(CommandId::AnimationOptions)->trigger();
        const AnimationWindowState chosen = std::get<AnimationWindowState>(*view->State());
        QCOMPARE(chosen.speed, 12);
        QCOMPARE(chosen.segmentStyle, 2);
        QCOMPARE(chosen.showMissing, 0);
        QCOMPARE(chosen.jointColor, 0x00FF00);
        QCOMPARE(chosen.distance, -6.0);  // the orientation stays
        AnimationWindowState back = chosen;
        back.speed = options.speed;
        view->ApplyOptions(back, false);

        // A new animation window from the menu: its asked-for size, tilted to show the floor.
        f.frame->Action(CommandId::NewAnimationWindow)->trigger();
        auto* fresh = qobject_cast<CThreeDView*>(session->Windows().back()->widget());
        QVERIFY(fresh && fresh != view);
        QCOMPARE(std::get<AnimationWindowState>(*fresh->State()).rotX, 15.0);
        QVERIFY2(fresh->width() >= 560 && fresh->height() >= 440, qPrintable(QString("%1 x %2").arg(fresh->width()).arg(fresh->height())));
        f.frame->WindowArea()->setActiveSubWindow(session->Windows().front());

        // Play runs on its timer and wraps; options restart a running animation.
        QVERIFY(view->HandleCommand(CommandId::Play));
        QCOMPARE(view->Timer().interval(), 33);
        QTRY_VERIFY(view->Animation().animFrame() > 2);
        QVERIFY(view->HandleCommand(CommandId::Pause));
        QVERIFY(!view->Timer().isActive());
        AnimationWindowState faster = view->Animation().record();
        faster.speed = 7;
        view->ApplyOptions(faster, true);
        QCOMPARE(view->Timer().interval(), 142);
        QCOMPARE(view->Animation().animFrame(), 0);
        QVERIFY(view->HandleCommand(CommandId::Stop));
        QVERIFY(!view->Timer().isActive());
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::AnimationWindowTest)
#include "AnimationWindowTest.moc"
