// The main frame with its menus, driven as a user drives it.

#include "DrawnPicture.h"
#include "Hints.h"
#include "MainStatusBar.h"
#include "SettingsValues.h"
#include "ShellTestSupport.h"
#include "WorldSmoothing.h"
#include "SyncSceneVideo.h"
#include "dialogs/FilterEvidenceDialog.h"
#include "dialogs/SynchronisationDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>

#include <sys/stat.h>

#include <cmath>
#include <numbers>
#include <random>

namespace kadivo::test {

class MainFrameTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    QString File(const QString& name) const { return files_.filePath(name); }

    // The sample, transformed through the menu, in a fresh frame.
    static DocumentSession* OpenTransformedSample(FrameFixture& f) {
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        if (!session) return nullptr;
        f.frame->Action(CommandId::TransformImageData)->trigger();
        return session;
    }

    static QString Pane(FrameFixture& f, int index) { return f.frame->Status()->Pane(index)->text(); }

private slots:
    void initTestCase() { PrepareShellTests(data_); }
    void cleanup() { QFile::remove(QtSettingsStore().FileName()); }

    // A copy of the sample with its video in `folder` under the test's files.
    QString CopySample(const QString& folder) {
        QDir(files_.path()).mkpath(folder);
        for (const QString& name : {QString("walk.kdv"), QString("walk.avi")}) {
            QFile::remove(File(folder + "/" + name));
            if (!QFile::copy(QStringLiteral(KADIVO_SOURCE_DIR "/samples/") + name, File(folder + "/" + name))) return {};
        }
        return File(folder + "/walk.kdv");
    }

    void savesTheSampleByteForByte() {
        FrameFixture f;
        const QString copy = CopySample("byte-for-byte");
        DocumentSession* session = f.frame->OpenSequence(copy.toStdString());
        QVERIFY(session);
        QVERIFY(!session->doc().IsModified());
        f.prompts.saveFileAnswer = File("byte-for-byte/resaved.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        QCOMPARE(f.prompts.lastSaveExtension, std::string("kdv"));
        QCOMPARE(ReadBytes(File("byte-for-byte/resaved.kdv")), ReadBytes(SamplePath()));
        QCOMPARE(f.frame->windowTitle(), QString("resaved.kdv[*] - Kadivo"));
    }

    // Save As into another folder keeps the way to the video; a video that has gone is asked
    // for by name, in a file box that starts beside the sequence.
    void saveAsElsewhereKeepsTheVideoAndAMissingOneIsAskedFor() {
        FrameFixture f;
        const QString copy = CopySample("trial");
        QVERIFY(f.frame->OpenSequence(copy.toStdString()));
        QDir(files_.path()).mkpath("results");
        f.prompts.saveFileAnswer = File("results/walk.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        f.frame->Action(CommandId::CloseSequence)->trigger();
        DocumentSession* reopened = f.frame->OpenSequence(File("results/walk.kdv").toStdString());
        QVERIFY(reopened);
        QVERIFY(reopened->doc().HasVideo(0));
        f.frame->Action(CommandId::CloseSequence)->trigger();

        QVERIFY(QDir(files_.path()).mkpath("archive"));
        QVERIFY(QFile::rename(File("trial/walk.avi"), File("archive/walk.avi")));
        f.prompts.ExpectQuestion("The video \"../trial/walk.avi\" of camera view 1 was not found. Locate it?", Answer::Yes);
        f.prompts.openFileAnswer = File("archive/walk.avi").toStdString();
        DocumentSession* located = f.frame->OpenSequence(File("results/walk.kdv").toStdString());
        QVERIFY(located);
        QCOMPARE(f.prompts.openBoxNames.back(), File("results/walk.avi").toStdString());
        QVERIFY(located->doc().HasVideo(0));
        QVERIFY(located->doc().IsModified());
        QCOMPARE(Pane(f, 4), QString("Image:1/50"));
    }

    // The menus lay out their items before any is shown; the commands' icons answer their
    // sizes there without reading their drawings, and must answer as the drawings would.
    void commandIconsAnswerAsTheirDrawingsWould() {
        FrameFixture f;
        int withIcon = 0;
        for (int i = 0; i < kCommandCount; ++i) {
            const auto id = static_cast<CommandId>(i);
            const QIcon shown = f.frame->Action(id)->icon();
            const std::string_view name = Command(id).icon;
            if (name.empty()) {
                QVERIFY(shown.isNull());
                continue;
            }
            ++withIcon;
            const QIcon drawing(QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), int(name.size())) + ".svg");
            QVERIFY2(!drawing.isNull(), name.data());
            for (const QSize size : {QSize(16, 16), QSize(24, 24), QSize(32, 20), QSize(12, 40), QSize(0, 16)})
                QVERIFY2(shown.actualSize(size) == drawing.actualSize(size), name.data());
            QVERIFY2(!shown.isNull(), name.data());
            QCOMPARE(shown.pixmap(24).toImage(), drawing.pixmap(24).toImage());
        }
        QVERIFY(withIcon > 40);
    }

    // A screenshot reads what the window drew: the same picture as drawing it once more.
    void theDrawnPictureIsWhatTheWindowShows() {
        FrameFixture f;
        f.frame->resize(900, 700);
        f.frame->show();
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QApplication::processEvents();
        QVERIFY(SaveDrawnPicture(*f.frame, File("drawn.png"), "PNG"));
        const QImage drawn(File("drawn.png"));
        QCOMPARE(drawn.size(), f.frame->size() * f.frame->devicePixelRatio());
        QCOMPARE(drawn.convertToFormat(QImage::Format_RGB32), f.frame->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void panesSliderAndMenuFollowTheActiveSequence() {
        FrameFixture f;
        QCOMPARE(Pane(f, 1), QString("Calibration"));
        QCOMPARE(Pane(f, 3), QString("Point to digitize Next"));
        QCOMPARE(Pane(f, 4), QString("Image 000/000"));
        DocumentSession* walk = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(walk);
        QCOMPARE(Pane(f, 1), QString("Movement"));
        QCOMPARE(Pane(f, 4), QString("Image:1/50"));
        QCOMPARE(f.frame->Status()->FrameSlider()->maximum(), 49);
        f.frame->Action(CommandId::NextImage)->trigger();
        QCOMPARE(Pane(f, 4), QString("Image:2/50"));
        QCOMPARE(f.frame->Status()->FrameSlider()->value(), 1);
        QVERIFY(f.frame->CameraViewsMenu()->findChild<QAction*>("Camera View 1"));

        // A second sequence becomes active: the panes and the menu follow it.
        QVERIFY(QFile::copy(SamplePath(), File("second.kdv")));
        QVERIFY(QFile::copy(QStringLiteral(KADIVO_SOURCE_DIR "/samples/walk.avi"), File("walk.avi")));
        DocumentSession* second = f.frame->OpenSequence(File("second.kdv").toStdString());
        QVERIFY(second && second != walk);
        QCOMPARE(f.frame->ActiveSession(), second);
        QCOMPARE(Pane(f, 4), QString("Image:1/50"));
        walk->doc().NextImage(true);
        QVERIFY2(Pane(f, 4) == QString("Image:1/50"), "a background sequence leaves the panes alone");
        QVERIFY2((f.frame->OpenSequence(SamplePath().toStdString())) == (walk), "an open sequence is brought forward");
        QCOMPARE(Pane(f, 4), QString("Image:3/50"));
        QVERIFY(f.frame->CloseSession(walk));
        QCOMPARE(f.frame->ActiveSession(), second);
        QVERIFY(f.frame->CloseSession(second));
        QCOMPARE(Pane(f, 4), QString("Image 000/000"));
        QVERIFY(!f.frame->Action(CommandId::Save)->isEnabled());
    }

    // Stepping through frames leaves the modified mark as it was, so the windows are not told
    // it changed (Qt redraws a window's title bar each time it is told); an edit tells them once.
    void steppingFramesLeavesTheModifiedMarkAlone() {
        FrameFixture f;
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        struct ModifiedChanges : QObject {
            int count = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::ModifiedChange) ++count;
                return false;
            }
        } changes;
        f.frame->installEventFilter(&changes);
        for (int step = 0; step < 3; ++step) f.frame->Action(CommandId::NextImage)->trigger();
        QCOMPARE(changes.count, 0);
        f.frame->Action(CommandId::TransformImageData)->trigger();
        QVERIFY(f.frame->isWindowModified());
        QCOMPARE(changes.count, 1);
        f.frame->Action(CommandId::NextImage)->trigger();
        QCOMPARE(changes.count, 1);
    }

    void commandsFollowTheDocument() {
        FrameFixture f;
        QVERIFY(!f.frame->Action(CommandId::NextImage)->isEnabled());
        QVERIFY(!f.frame->Action(CommandId::Save)->isEnabled());
        QVERIFY(f.frame->Action(CommandId::OpenSequence)->isEnabled());
        QVERIFY2(!f.frame->Action(CommandId::NewDigitizingWindow)->isEnabled(), "no digitizing window class yet");
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        QVERIFY(f.frame->Action(CommandId::Save)->isEnabled());
        QVERIFY2(f.frame->Action(CommandId::ViewDltParameters)->isEnabled(), "one calibrated view is calibrated on opening");
        QVERIFY(f.frame->Action(CommandId::TransformImageData)->isEnabled());
        QVERIFY(!f.frame->Action(CommandId::ExportLinear)->isEnabled());
        QVERIFY(f.frame->Action(CommandId::ExportPoints)->isEnabled());
        QVERIFY(!f.frame->Action(CommandId::PreviousImage)->isEnabled());
        QVERIFY(f.frame->Action(CommandId::ZoomOne)->isChecked());
        f.frame->Action(CommandId::TransformImageData)->trigger();
        QVERIFY(f.frame->Action(CommandId::ExportLinear)->isEnabled());
        QVERIFY(f.frame->ActiveSession()->doc().IsModified());
        const CKadivoDoc& transformed = f.frame->ActiveSession()->doc();
        QCOMPARE(f.frame->Status()->currentMessage(),
                 QString("Transformed: %1 frames of %2 points").arg(transformed.worldFrameCount).arg(transformed.pointCount));
        QVERIFY(f.frame->isWindowModified());
        f.frame->Action(CommandId::LockViews)->trigger();
        QVERIFY(f.frame->Action(CommandId::LockViews)->isChecked());
        f.frame->Action(CommandId::ZoomTwo)->trigger();
        QVERIFY(f.frame->Action(CommandId::ZoomTwo)->isChecked());
        QVERIFY(!f.frame->Action(CommandId::ZoomOne)->isChecked());
    }

    void exportsEveryFormatThroughTheMenus() {
        FrameFixture f;
        QVERIFY(OpenTransformedSample(f));
        f.dialogs.linear = [](LinearExportOptions& o) {
            o.rows.assign(o.rows.size(), true);
            o.position = o.x = o.y = o.header = true;
        };
        f.dialogs.angular = [](AngularExportOptions& o) {
            o.rows.assign(o.rows.size(), true);
            o.angle = o.z = true;
        };
        f.dialogs.points = [](PointsExportOptions& o) { o.rows.assign(o.rows.size(), true); };
        f.dialogs.csm = [](CsmExportOptions& o) { o.actor = "walker"; };
        f.dialogs.trc = [](TrcExportOptions& o) { o.millimetres = true; };
        const struct {
            CommandId command;
            const char* file;
            const char* content;
        } exports[] = {
            {CommandId::ExportLinear, "linear.txt", "Head - X pos\t"},
            {CommandId::ExportAngular, "angular.txt", "\n"},
            {CommandId::ExportPoints, "points.txt", "\t"},
            {CommandId::ExportBvh, "walk.bvh", "HIERARCHY"},
            {CommandId::ExportCsm, "walk.csm", "$Actor walker"},
            {CommandId::ExportC3d, "walk.c3d", ""},
            {CommandId::ExportTrc, "walk.trc", "PathFileType\t4\t(X/Y/Z)\twalk.trc\n"},
            {CommandId::ExportMot, "walk.mot", "walk\nversion=1\n"},
        };
        for (const auto& e : exports) {
            f.prompts.saveFileAnswer = File(e.file).toStdString();
            f.frame->Action(e.command)->trigger();
            const QByteArray bytes = ReadBytes(File(e.file));
            QVERIFY2(!bytes.isEmpty(), e.file);
            QVERIFY2(bytes.contains(e.content), e.file);
        }
        QCOMPARE(f.prompts.proposedNames.front(), std::string(KADIVO_SOURCE_DIR "/samples/walk.txt"));
        QCOMPARE(ReadBytes(File("walk.c3d")).at(1), char(0x50));
    }

    void closingAsksToSaveChanges() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        f.frame->Action(CommandId::SyncImage)->trigger();
        QVERIFY(session->doc().IsModified());
        f.prompts.ExpectQuestion("Save changes to walk.kdv?", Answer::Cancel);
        f.frame->Action(CommandId::CloseSequence)->trigger();
        QCOMPARE(f.frame->Sessions().size(), std::size_t{1});
        f.prompts.ExpectQuestion("Save changes to walk.kdv?", Answer::No);
        f.frame->Action(CommandId::CloseSequence)->trigger();
        QVERIFY(f.frame->Sessions().empty());
        QCOMPARE(f.frame->windowTitle(), QString("Kadivo"));
    }

    // Edits are journaled while the sequence is modified; a journal folder that cannot be
    // written is said once in the status bar, and editing goes on.
    void editsAreJournaledAndAJournalThatCannotBeWrittenIsSaidOnce() {
        const QByteArray savedState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", File("state").toUtf8());
        {
            FrameFixture f;
            DocumentSession* session = f.frame->OpenSequence(CopySample("journaled").toStdString());
            QVERIFY(session);
            QVERIFY(session->journal().path().empty());
            f.frame->Action(CommandId::SyncImage)->trigger();
            const QString journal = QString::fromStdString(session->journal().path());
            QVERIFY(journal.startsWith(File("state") + "/Kadivo/journal/walk-"));
            QVERIFY(QFile::exists(journal));
            f.frame->Action(CommandId::Save)->trigger();
            QVERIFY(!QFile::exists(journal));
        }
        QFile blocker(File("blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_STATE_HOME", File("blocked").toUtf8());
        {
            FrameFixture f;
            DocumentSession* session = f.frame->OpenSequence(CopySample("unjournaled").toStdString());
            QVERIFY(session);
            f.frame->Action(CommandId::SyncImage)->trigger();
            QVERIFY(f.frame->Status()->currentMessage().startsWith("Unsaved changes are not kept for recovery: Cannot create"));
            f.frame->Status()->clearMessage();
            f.frame->Action(CommandId::NextImage)->trigger();
            f.frame->Action(CommandId::SyncImage)->trigger();
            QCOMPARE(f.frame->Status()->currentMessage(), QString());
            QVERIFY(session->doc().IsModified());
        }
        if (savedState.isNull()) qunsetenv("XDG_STATE_HOME");
        else qputenv("XDG_STATE_HOME", savedState);
    }

    // The settings file is written again only for a changed value: QSettings saves the whole
    // file under a lock it flushes to the disk, on the window's thread.
    void reopeningTheLastSequenceFromTheRecentListLeavesTheSettingsFileAlone() {
        const QString first = CopySample("reopened"), second = CopySample("reopened-other");
        const QByteArray settingsFile = QtSettingsStore().FileName().toLocal8Bit();
        const auto inode = [&] {
            struct stat status {};
            return ::stat(settingsFile.constData(), &status) == 0 ? status.st_ino : ino_t{0};
        };
        {
            FrameFixture f;
            QVERIFY(f.frame->OpenSequence(first.toStdString()));
            f.settings.Sync();
        }
        const ino_t written = inode();
        QVERIFY(written != 0);
        FrameFixture f;
        QMenu* recent = nullptr;
        for (QMenu* menu : f.frame->findChildren<QMenu*>())
            if (menu->title() == "Recent Sequences") recent = menu;
        QVERIFY(recent);
        emit recent->aboutToShow();
        QVERIFY(!recent->actions().isEmpty());
        QVERIFY(recent->actions().first()->text().endsWith(first));
        recent->actions().first()->trigger();
        QCOMPARE(f.frame->Sessions().size(), std::size_t{1});
        QCoreApplication::processEvents();
        f.settings.Sync();
        QCOMPARE(inode(), written);
        QVERIFY(f.frame->OpenSequence(second.toStdString()));
        f.settings.Sync();
        QVERIFY(inode() != written);
        QCOMPARE(QString::fromStdString(RecentSequences(f.settings).Paths().front()), second);
    }

    void anUnreadableFileIsReportedAndLeavesTheRecentList() {
        FrameFixture f;
        QFile broken(File("broken.kdv"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a sequence");
        broken.close();
        RecentSequences(f.settings).Add(File("broken.kdv").toStdString());
        f.prompts.ExpectMessageStartingWith("Unable to read the sequence file.\n");
        QVERIFY(!f.frame->OpenSequence(File("broken.kdv").toStdString()));
        QVERIFY(f.frame->Sessions().empty());
        QVERIFY(RecentSequences(f.settings).Paths().empty());
    }

    void toolbarVisibilityIsRestoredAtTheNextStart() {
        {
            FrameFixture f;
            QVERIFY(!f.frame->ToolbarOf(CommandId::DigitizingToolbar)->isVisibleTo(f.frame.get()));
            f.frame->Action(CommandId::DigitizingToolbar)->trigger();
            QVERIFY(f.frame->ToolbarOf(CommandId::DigitizingToolbar)->isVisibleTo(f.frame.get()));
            QVERIFY(f.frame->Action(CommandId::DigitizingToolbar)->isChecked());
            QCOMPARE(f.settings.GetString("Toolbars", "AviBar", ""), std::string("1"));
            f.frame->Action(CommandId::ImageToolbar)->trigger();
            QCOMPARE(f.settings.GetString("Toolbars", "ViewBar", ""), std::string("1"));
            f.settings.Sync();
        }
        FrameFixture again;
        QVERIFY(again.frame->ToolbarOf(CommandId::DigitizingToolbar)->isVisibleTo(again.frame.get()));
        QVERIFY(!again.frame->ToolbarOf(CommandId::CaptureToolbar)->isVisibleTo(again.frame.get()));
        QVERIFY(again.frame->Action(CommandId::ImageToolbar)->isChecked());
    }

    void windowsBelongToTheirSequence() {
        FrameFixture f(true);
        DocumentSession* walk = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(walk);
        QVERIFY2((walk->Windows().size()) == (std::size_t{2}), "the digitizing and the graph window of the file");
        QVERIFY(QFile::copy(SamplePath(), File("other.kdv")));
        QFile::copy(QStringLiteral(KADIVO_SOURCE_DIR "/samples/walk.avi"), File("walk.avi"));
        DocumentSession* other = f.frame->OpenSequence(File("other.kdv").toStdString());
        QVERIFY(other);
        QCOMPARE(f.frame->WindowArea()->subWindowList().size(), 4);
        auto* watcher = static_cast<RecordWindow*>(walk->Windows().front()->widget());
        const int before = watcher->changes;
        other->doc().NextImage(true);
        QVERIFY2((watcher->changes) == (before), "only the sequence's own windows hear of its changes");
        walk->doc().NextImage(true);
        QCOMPARE(watcher->changes, before + 1);
        QCOMPARE(walk->Windows().front()->windowTitle(), QString("walk.kdv[*]:1"));
        QVERIFY(f.frame->CloseSession(other));
        QVERIFY2((f.frame->WindowArea()->subWindowList().size()) == (2), "the other sequence's windows stay");

        // Closing the last window closes the sequence.
        walk->Windows().front()->close();
        QTRY_COMPARE(walk->Windows().size(), std::size_t{1});
        walk->Windows().front()->close();
        QTRY_VERIFY(f.frame->Sessions().empty());
    }

    void aNewWindowIsSavedWithItsPlace() {
        FrameFixture f(true);
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        f.frame->Action(CommandId::NewAnimationWindow)->trigger();
        QCOMPARE(session->Windows().size(), std::size_t{3});
        session->Windows().back()->setGeometry(30, 40, 300, 200);
        const std::list<WindowState> states = session->WindowStates();
        QCOMPARE(states.size(), std::size_t{3});
        const auto& animation = std::get<AnimationWindowState>(states.back());
        QCOMPARE(animation.placement.rectLeft, 30);
        QCOMPARE(animation.placement.rectTop, 40);
        QCOMPARE(animation.placement.rectRight, 330);
        QCOMPARE(animation.placement.rectBottom, 240);
        QCOMPARE(animation.placement.showState, 1);
        f.prompts.saveFileAnswer = File("three.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        QVERIFY(f.frame->CloseSession(session));
        DocumentSession* reopened = f.frame->OpenSequence(File("three.kdv").toStdString());
        QVERIFY(reopened);
        QCOMPARE(reopened->Windows().size(), std::size_t{3});
        QCOMPARE(reopened->Windows().back()->geometry(), QRect(30, 40, 300, 200));
    }

    void openVideoStartsInTheSequencesFolder() {
        FrameFixture f;
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        f.frame->Action(CommandId::OpenVideo)->trigger();  // the box is cancelled
        QCOMPARE(f.prompts.openBoxNames.back(), std::string(KADIVO_SOURCE_DIR "/samples/*.avi"));
    }

    void ctrlWClosesTheActiveSequenceAsFileCloseDoes() {
        FrameFixture f(true);
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowActive(f.frame.get()));
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        QCOMPARE(f.frame->Sessions().size(), std::size_t{1});
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : f.frame.get();
        QTest::keyClick(focus, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(f.frame->Sessions().empty());
    }

    void captureWindowOpensOnce() {
        FrameFixture f(true);
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        f.frame->Action(CommandId::EnableVideoCapture)->trigger();
        QVERIFY(session->HasCaptureWindow());
        QVERIFY(!f.frame->Action(CommandId::EnableVideoCapture)->isEnabled());
        f.frame->Execute(CommandId::EnableVideoCapture);
        QCOMPARE(session->Windows().size(), std::size_t{3});
        QVERIFY2((session->WindowStates().size()) == (std::size_t{2}), "capture windows are not saved");

        // One camera, one capture window: another sequence cannot open a second.
        QVERIFY(f.NewOnePointSequence("Ball"));
        f.frame->UpdateCommands();
        QVERIFY(!f.frame->Action(CommandId::EnableVideoCapture)->isEnabled());
    }

    void saveAllGoesOnPastASaveThatFailedAndNamesIt() {
        FrameFixture f(true);
        DocumentSession* untitled = f.NewOnePointSequence("Ball");
        QVERIFY(untitled);
        const QString copy = files_.filePath("walk.kdv");
        for (const QString& name : {QString("walk.kdv"), QString("walk.avi")}) {
            QFile::remove(files_.filePath(name));
            QVERIFY(QFile::copy(QStringLiteral(KADIVO_SOURCE_DIR "/samples/") + name, files_.filePath(name)));
        }
        DocumentSession* saved = f.frame->OpenSequence(copy.toStdString());
        QVERIFY(saved);
        saved->doc().AddCameraView();
        QVERIFY(saved->doc().IsModified());
        // The untitled sequence's save box is cancelled; the other is saved all the same.
        f.prompts.ExpectMessage("These sequences were not saved:\n" + untitled->DisplayName().toStdString());
        f.frame->Action(CommandId::SaveAll)->trigger();
        QCOMPARE(f.prompts.proposedNames.size(), std::size_t{1});
        QVERIFY(!saved->doc().IsModified());
        QVERIFY(untitled->doc().IsModified() || untitled->doc().pathName().empty());
    }

    void printsTheActiveWindowToPdf() {
        FrameFixture f(true);
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        QVERIFY(f.frame->Action(CommandId::Print)->isEnabled());
        QVERIFY(f.frame->PrintActiveWindowToPdf(File("window.pdf")));
        QVERIFY(ReadBytes(File("window.pdf")).startsWith("%PDF"));
    }

    void theFrameSliderMovesTheSequence() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        QScrollBar* slider = f.frame->Status()->FrameSlider();
        slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(session->doc().current().currentFrame, 10);
        QCOMPARE(Pane(f, 4), QString("Image:11/50"));
        slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(session->doc().current().currentFrame, 9);
        slider->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(slider->value(), 49);
        QCOMPARE(session->doc().current().currentFrame, 49);
        QCOMPARE(Pane(f, 4), QString("Image:50/50"));
    }

    // The slider keeps a picture of its groove: after steps, a new width and when disabled
    // it looks as a bar the style draws whole.
    void theFrameSliderLooksAsTheStyleDrawsIt() {
        FrameFixture f;
        QVERIFY(f.frame->OpenSequence(SamplePath().toStdString()));
        QScrollBar* slider = f.frame->Status()->FrameSlider();
        QScrollBar plain(Qt::Horizontal);
        auto drawnAlike = [&] {
            plain.setRange(slider->minimum(), slider->maximum());
            plain.setPageStep(slider->pageStep());
            plain.setValue(slider->value());
            plain.setEnabled(slider->isEnabled());
            plain.resize(slider->size());
            const auto pixels = [](QWidget& bar) { return bar.grab().toImage().convertToFormat(QImage::Format_ARGB32); };
            return pixels(*slider) == pixels(plain);
        };
        QVERIFY(drawnAlike());
        for (int step = 1; step <= 3; ++step) {
            f.frame->Action(CommandId::NextImage)->trigger();
            QCOMPARE(slider->value(), step);
            QVERIFY2(drawnAlike(), "after a step");
        }
        slider->setFixedWidth(260);
        QVERIFY2(drawnAlike(), "wider");
        slider->setEnabled(false);
        QVERIFY2(drawnAlike(), "disabled");
    }

    void nextImageReachesTheLastFrame() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        const int last = doc.LastFrame(0);
        QCOMPARE(last, 49);
        doc.GoToFrame(last - 1, true);
        f.frame->UpdateCommands();
        QVERIFY2(f.frame->Action(CommandId::NextImage)->isEnabled(), "one step before the last frame");
        f.frame->Action(CommandId::NextImage)->trigger();
        QCOMPARE(doc.current().currentFrame, last);
        QCOMPARE(Pane(f, 4), QString("Image:50/50"));
        QCOMPARE(f.frame->Status()->FrameSlider()->value(), last);
        QVERIFY(!f.frame->Action(CommandId::NextImage)->isEnabled());
    }

    void dltCoefficientsGoOutAndComeInThroughTheSequenceMenu() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        QVERIFY(!f.frame->Action(CommandId::ForgetDltCoefficients)->isEnabled());
        // One calibrated view is calibrated on opening.
        QVERIFY(f.frame->Action(CommandId::ExportDltCoefficients)->isEnabled());
        const DltParameterTable fromFrame = doc.dlt;

        const QString exported = File("walk-dlt.csv");
        f.prompts.saveFileAnswer = exported.toStdString();
        f.frame->Action(CommandId::ExportDltCoefficients)->trigger();
        const QList<QByteArray> lines = ReadBytes(exported).split('\n');
        // Eight coefficients of a planar calibration, and the last line's end.
        QCOMPARE(lines.size(), 9);

        // Another program's calibration, twice as large, comes in and is saved with the sequence.
        QByteArray doubled;
        for (int j = 1; j <= 8; ++j) doubled += QByteArray::number(2 * fromFrame.GetParameter(j, 1), 'g', 17) + "\n";
        const QString imported = File("other-dlt.csv");
        QFile file(imported);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(doubled);
        file.close();
        f.prompts.openFileAnswer = imported.toStdString();
        f.frame->Action(CommandId::ImportDltCoefficients)->trigger();
        QVERIFY(doc.importedDlt);
        QCOMPARE(doc.dlt.GetParameter(3, 1), 2 * fromFrame.GetParameter(3, 1));
        QVERIFY(doc.IsModified());
        QVERIFY(f.frame->Action(CommandId::ForgetDltCoefficients)->isEnabled());
        // The parameters dialog says where they came from instead of a residual.
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            KeepPicture(*dialog, "dlt-parameters-imported");
            auto* rows = dialog->findChild<QTreeWidget*>();
            QVERIFY(rows);
            QCOMPARE(rows->topLevelItem(8)->text(1), QString("imported"));
            dialog->reject();
        });
        f.frame->Action(CommandId::ViewDltParameters)->trigger();
        f.frame->Action(CommandId::TransformImageData)->trigger();
        // The transformation keeps the imported calibration.
        QCOMPARE(doc.dlt.GetParameter(3, 1), 2 * fromFrame.GetParameter(3, 1));
        const QString saved = File("imported-dlt.kdv");
        f.prompts.saveFileAnswer = saved.toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        {
            FrameFixture again;
            DocumentSession* reopened = again.frame->OpenSequence(saved.toStdString());
            QVERIFY(reopened && reopened->doc().importedDlt);
            QCOMPARE(reopened->doc().dlt.GetParameter(8, 1), 2 * fromFrame.GetParameter(8, 1));
        }

        f.frame->Action(CommandId::ForgetDltCoefficients)->trigger();
        QVERIFY(!doc.importedDlt);
        // The calibration frame calibrates again.
        QCOMPARE(doc.dlt.GetParameter(3, 1), fromFrame.GetParameter(3, 1));

        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1,2\n");
        file.close();
        f.prompts.ExpectMessage("The DLT coefficients could not be imported.\n" + imported.toStdString() +
                                ", line 1: 2 cameras where the sequence has 1 camera view");
        f.frame->Action(CommandId::ImportDltCoefficients)->trigger();
        QVERIFY(!doc.importedDlt);
    }

    // Sequence > Filter Evidence: each filter's plots for the point chosen.
    void filterEvidenceShowsWhatEachFilterRestedOn() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        QVERIFY2(!f.frame->Action(CommandId::FilterEvidence)->isEnabled(), "no world data before the transformation");
        CKadivoDoc& doc = session->doc();
        // The sample's twenty frames are few for a picture: the hip runs 300 frames at 100 a
        // second, a 3 Hz sway with digitizing noise, as the transformation would leave it.
        f.frame->Action(CommandId::TransformImageData)->trigger();
        QVERIFY(f.frame->Action(CommandId::FilterEvidence)->isEnabled());
        doc.framePeriod = 0.01f;
        doc.worldFrameCount = 300;
        doc.worldRaw = WorldData(301, doc.pointCount + 1);
        std::mt19937 random(5);
        std::normal_distribution<double> noise(0.0, 0.002);
        for (int frame = 0; frame < 300; ++frame)
            for (int p = 0; p <= doc.pointCount; ++p)
                doc.worldRaw[frame][p] = {0.8 * frame / 100.0 + 0.05 * std::sin(2 * std::numbers::pi * 3 * frame / 100.0) + noise(random),
                                          1.0 + 0.02 * std::cos(2 * std::numbers::pi * 1.5 * frame / 100.0) + noise(random), 0.0};
        struct Case {
            int filtering, method;
            const char* picture;
            const char* heading;
        };
        for (const Case& c : {Case{1, kGivenCutOff, "filter-evidence-spline", "x: quintic spline, smoothing parameter "},
                              Case{kFrequencyFiltering, kGivenCutOff, "filter-evidence-lowpass", "x: low-pass filter, cut-off 6 Hz"},
                              Case{kButterworthFiltering, kResidualAnalysisCutOff, "filter-evidence-butterworth-residual",
                                   "x: Butterworth filter, cut-off "},
                              Case{kButterworthFiltering, kWhitenessCutOff, "filter-evidence-butterworth-whiteness",
                                   "x: Butterworth filter, cut-off "}}) {
            doc.options.filtering = c.filtering;
            doc.options.cutOffMethod = c.method;
            SmoothWorldData(doc);
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<FilterEvidenceDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                QCOMPARE(dialog->Points()->count(), doc.pointCount + 1);
                QCOMPARE(dialog->Points()->itemText(doc.pointCount), QString("Centre of Gravity"));
                dialog->Points()->setCurrentText("Hip");
                const std::vector<EvidenceRow>& rows = dialog->Plots()->Rows();
                QCOMPARE(rows.size(), std::size_t{3});
                QVERIFY2(rows[0].heading.rfind(c.heading, 0) == 0, rows[0].heading.c_str());
                QVERIFY(rows[0].hasCriterion);
                dialog->resize(900, 700);
                KeepPicture(*dialog, c.picture);
                dialog->reject();
            });
            f.frame->Action(CommandId::FilterEvidence)->trigger();
        }
    }

    // Camera Views > Synchronisation: the lag from the sound, then from a lamp in a region
    // drawn on the first view's picture; OK keeps it as the second view's sync fraction.
    void synchronisationMeasuresTheLagFromTheSoundAndFromALamp() {
        FrameFixture f;
        DocumentSession* session = f.NewOnePointSequence("Lamp");
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        QVERIFY2(!f.frame->Action(CommandId::Synchronisation)->isEnabled(), "one view has nothing to be in step with");
        const std::string left = File("left.mkv").toStdString(), right = File("right.mkv").toStdString();
        QCOMPARE(WriteSyncSceneVideo(left, 20.3, 0.5, true, 1), std::string());
        QCOMPARE(WriteSyncSceneVideo(right, 23.7, 0.5 + 3.4 / kSyncSceneRate, true, 2), std::string());
        QCOMPARE(doc.OpenVideoFile(left, false), 1);
        doc.SetCurrentView(doc.AddCameraView());
        QCOMPARE(doc.OpenVideoFile(right, false), 1);
        f.frame->UpdateCommands();
        QVERIFY(f.frame->Action(CommandId::Synchronisation)->isEnabled());
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<SynchronisationDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* offset = dialog->findChild<QDoubleSpinBox*>("Offset 2");
            QVERIFY(!dialog->findChild<QDoubleSpinBox*>("Offset 1")->isEnabled());
            QTest::mouseClick(dialog->FromSoundButton(), Qt::LeftButton);
            QVERIFY2(std::abs(offset->value() - 3.4) < 0.05, qPrintable(QString::number(offset->value())));
            QVERIFY(dialog->Table()->item(1, 4)->text().startsWith("correlation peak 0.9"));
            KeepPicture(*dialog, "synchronisation-sound");
            // Drag the lamp's region on the picture (drawn at twice its size), then measure again.
            offset->setValue(0.0);
            RegionPicker* picker = dialog->Picker();
            const double scale = std::min(picker->width() / 160.0, picker->height() / 120.0);
            const QPointF origin((picker->width() - 160 * scale) / 2, (picker->height() - 120 * scale) / 2);
            const auto at = [&](double x, double y) { return origin + QPointF(x * scale, y * scale); };
            QMouseEvent press(QEvent::MouseButtonPress, at(104, 24), picker->mapToGlobal(at(104, 24)), Qt::LeftButton, Qt::LeftButton, {});
            QApplication::sendEvent(picker, &press);
            QMouseEvent move(QEvent::MouseMove, at(136, 56), picker->mapToGlobal(at(136, 56)), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(picker, &move);
            QVERIFY2(std::abs(dialog->findChild<QSpinBox*>("X")->value() - 104) <= 1, "the spin boxes follow the drawing");
            QVERIFY(std::abs(dialog->findChild<QSpinBox*>("Width")->value() - 32) <= 1);
            QTest::mouseClick(dialog->FromFlashButton(), Qt::LeftButton);
            QVERIFY2(std::abs(offset->value() - 3.4) < 0.05, qPrintable(QString::number(offset->value())));
            QVERIFY(dialog->Table()->item(1, 4)->text().startsWith("flash at frame 23."));
            QVERIFY(dialog->Note()->text().isEmpty());
            KeepPicture(*dialog, "synchronisation-flash");
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        f.frame->Action(CommandId::Synchronisation)->trigger();
        QVERIFY(std::abs(doc.views[1].syncFraction - 3.4) < 0.05);
        QVERIFY(doc.IsModified());
        doc.Undo();
        QCOMPARE(doc.views[1].syncFraction, 0.0);

        // A second view without sound is pointed to the flash.
        const std::string silent = File("silent.mkv").toStdString();
        QCOMPARE(WriteSyncSceneVideo(silent, 23.7, 0.0, false, 3), std::string());
        doc.SetCurrentView(1);
        QCOMPARE(doc.OpenVideoFile(silent, false), 1);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<SynchronisationDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTest::mouseClick(dialog->FromSoundButton(), Qt::LeftButton);
            QVERIFY2(dialog->Note()->text().startsWith("View 2: the video has no audio track."), qPrintable(dialog->Note()->text()));
            QVERIFY(dialog->Note()->text().contains("choose From Flash"));
            QCoreApplication::processEvents();  // the note's new lines are laid out
            KeepPicture(*dialog, "synchronisation-no-sound");
            dialog->reject();
        });
        f.frame->Action(CommandId::Synchronisation)->trigger();
        QCOMPARE(doc.views[1].syncFraction, 0.0);
    }

    void theModelPropertiesEditTheSequence() {
        FrameFixture f;
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        QVERIFY(session);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* tree = dialog->findChild<QTreeWidget*>();
            QTreeWidgetItem* none = tree->topLevelItem(2);
            QCOMPARE(none->child(0)->text(0), QString("Head"));
            none->child(0)->setText(0, "Crown");
            dialog->reject();  // Cancel keeps the edits too
        });
        f.frame->Action(CommandId::ModelParameters)->trigger();
        QCOMPARE(session->doc().modelPoints[0].name, std::string("Crown"));
        QVERIFY(session->doc().IsModified());
        QCOMPARE(Pane(f, 3), QString("Finished"));
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::MainFrameTest)
#include "MainFrameTest.moc"
