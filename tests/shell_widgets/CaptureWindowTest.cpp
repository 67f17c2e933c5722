// The capture window over the Test Pattern driver: connecting after it is shown, the live
// picture, recording, saving and opening the recording, dropped frames, cancelling, the
// format dialog and the driver report. Set KADIVO_TEST_PICTURES to a folder to keep
// pictures of it.

#include "CCaptureView.h"
#include "CKadivoDoc.h"
#include "CaptureSession.h"
#include "CaptureWindowKind.h"
#include "ShellTestSupport.h"
#include "dialogs/ProgramDialogs.h"
#include "capture/TestPatternDevice.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

namespace kadivo::test {

namespace {

// Only the Test Pattern, whatever cameras the computer has.
class TestPatternDrivers : public CaptureDrivers {
public:
    std::optional<CaptureDriverName> Description(int index) const override {
        if (index != 0) return std::nullopt;
        return CaptureDriverName{TestPatternDevice::kName, TestPatternDevice::kVersion};
    }
    std::unique_ptr<CaptureDevice> Connect(int index, std::string& error) const override {
        if (index != 0) {
            error = "no such driver";
            return nullptr;
        }
        // Buffers enough that a busy test machine never loses frames by accident.
        return std::make_unique<TestPatternDevice>(TestPatternDevice::Options{.dropEvery = dropEvery, .bufferCount = 1000});
    }
    int dropEvery = 0;
};

TestPatternDrivers gDrivers;

void RegisterWindows(WindowKinds& kinds) { RegisterCaptureWindow(kinds, gDrivers); }

// Answers the next modal dialog with `answer` once it is open.
template <typename Answer>
void WhenDialogOpens(Answer answer) {
    QTimer::singleShot(50, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

}  // namespace

class CaptureWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    struct Opened {
        std::unique_ptr<FrameFixture> fixture;
        DocumentSession* session = nullptr;
        CCaptureView* view = nullptr;
    };

    // A new sequence with its capture window connected and showing pictures.
    Opened OpenCaptureWindow(int seconds = 1, int rate = 25) {
        Opened o;
        o.fixture = std::make_unique<FrameFixture>(RegisterWindows);
        FrameFixture& f = *o.fixture;
        o.session = f.NewOnePointSequence("Ball");
        if (!o.session) return o;
        o.session->doc().options.captureTime = seconds;
        o.session->doc().options.captureRate = rate;
        o.session->doc().options.captureDelay = 0;
        f.frame->UpdateCommands();
        f.frame->Action(CommandId::EnableVideoCapture)->trigger();
        for (QMdiSubWindow* window : o.session->Windows())
            if (auto* view = qobject_cast<CCaptureView*>(window->widget())) o.view = view;
        return o;
    }

    static bool Enabled(FrameFixture& f, CommandId id) {
        f.frame->UpdateCommands();
        return f.frame->Action(id)->isEnabled();
    }

    static void Capture(FrameFixture& f, CCaptureView* view) {
        QSignalSpy finished(view, &CCaptureView::captureFinished);
        QVERIFY(Enabled(f, CommandId::CaptureVideo));
        f.frame->Action(CommandId::CaptureVideo)->trigger();
        QVERIFY(view->Capturing());
        QVERIFY(!Enabled(f, CommandId::CaptureVideo));
        QVERIFY(finished.wait(15000));
    }

private slots:
    void initTestCase() {
        PrepareShellTests(data_);
        qputenv("XDG_CACHE_HOME", files_.path().toUtf8());
    }
    void init() { gDrivers.dropEvery = 0; }

    void theWindowConnectsAfterItIsShownAndShowsTheLivePicture() {
        Opened o = OpenCaptureWindow();
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QVERIFY(!o.view->CaptureReady());
        QVERIFY(!Enabled(f, CommandId::CaptureVideo));
        QTRY_VERIFY(o.view->CaptureReady());
        // The progress box of the start, closed once the driver answered.
        auto* progress = o.view->findChild<ProgressBox*>("captureStartProgress");
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QString("Wait, please..."));
        QCOMPARE(progress->Message(), QString("Testing driver"));
        QCOMPARE(progress->Text(), QString("100%"));
        QVERIFY(!progress->isVisible());
        QTRY_VERIFY(!o.view->Picture().isNull());
        QCOMPARE(o.view->Picture().size(), QSize(640, 480));
        // The code block in the top-left corner is the right way up: its first squares are
        // frame counter bits, the stream tag's first square in the third row is white.
        QCOMPARE(QColor(o.view->Picture().pixel(4, 16 + 4)), QColor(Qt::white));
        QVERIFY(Enabled(f, CommandId::CaptureVideo));
        QVERIFY(!Enabled(f, CommandId::SaveVideoAs));
        QVERIFY(!Enabled(f, CommandId::CaptureSpareA));
        f.frame->UpdateCommands();
        QVERIFY(f.frame->Action(CommandId::Preview)->isChecked());
        QVERIFY(Enabled(f, CommandId::Overlay));
        f.frame->Action(CommandId::Overlay)->trigger();
        f.frame->UpdateCommands();
        QVERIFY(o.view->OverlayMode());
        QVERIFY(f.frame->Action(CommandId::Overlay)->isChecked());
        QVERIFY(!f.frame->Action(CommandId::Preview)->isChecked());
        // One capture window per sequence.
        QVERIFY(!Enabled(f, CommandId::EnableVideoCapture));
        KeepPicture(*f.frame, "capture-window");
    }

    void aRecordingIsSavedUnderTheChosenNameAndOpensAsACameraView() {
        Opened o = OpenCaptureWindow(1, 25);
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        Capture(f, o.view);
        QVERIFY(o.view->CaptureOk());
        QVERIFY(Enabled(f, CommandId::SaveVideoAs));
        QVERIFY(QFile::exists(files_.filePath("Kadivo/captmp.avi")));

        const QString saved = files_.filePath("recording.avi");
        f.prompts.saveFileAnswer = saved.toStdString();
        f.prompts.ExpectQuestion("Open the recording as the video of a camera view?", Answer::Yes);
        QVERIFY(Enabled(f, CommandId::SaveVideoAs));
        f.frame->Action(CommandId::SaveVideoAs)->trigger();
        QCOMPARE(f.prompts.proposedNames.back(), std::string());
        QCOMPARE(f.prompts.lastSaveExtension, std::string("avi"));
        QCOMPARE(f.prompts.lastSaveFilter, std::string("Video Files (*.avi)|*.avi|All Files (*.*)|*.*||"));
        QCOMPARE(ReadBytes(saved), ReadBytes(files_.filePath("Kadivo/captmp.avi")));
        QCOMPARE(o.session->doc().views[0].frameStore.videoFileName, saved.toStdString());
        KeepPicture(*f.frame, "capture-saved");
    }

    void aCaptureFileWithoutItsSpaceIsReportedBeforeTheCameraStarts() {
        QtSettingsStore settings;
        StoreCaptureFileSettings(settings, {"/proc/kadivo-cannot-be-made", 10});
        settings.Sync();
        Opened o = OpenCaptureWindow(1, 25);
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        f.prompts.ExpectMessageStartingWith(std::string(kCaptureFileMessage) + "\n/proc/kadivo-cannot-be-made/captmp.avi: ");
        Capture(f, o.view);
        QVERIFY(!o.view->CaptureOk());
        QVERIFY(!Enabled(f, CommandId::SaveVideoAs));
        QFile::remove(settings.FileName());
    }

    void droppedFramesAreReportedAndTheRecordingCannotBeSaved() {
        gDrivers.dropEvery = 10;
        Opened o = OpenCaptureWindow(1, 25);
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        f.prompts.ExpectMessage(kFramesDroppedMessage);
        Capture(f, o.view);
        QVERIFY(!o.view->CaptureOk());
        QVERIFY(!Enabled(f, CommandId::SaveVideoAs));
        o.view->SaveVideoAs();  // does nothing without a usable recording
        QVERIFY(f.prompts.proposedNames.empty());
        QVERIFY(Enabled(f, CommandId::CaptureVideo));
    }

    void escapeAndTheRightButtonCancelARecording() {
        Opened o = OpenCaptureWindow(30, 25);
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        QTRY_VERIFY(!o.view->Picture().isNull());
        for (bool withKey : {true, false}) {
            QSignalSpy finished(o.view, &CCaptureView::captureFinished);
            QVERIFY(Enabled(f, CommandId::CaptureVideo));
            f.frame->Action(CommandId::CaptureVideo)->trigger();
            QTest::qWait(300);
            if (withKey) KeepPicture(*f.frame, "capture-recording");
            if (withKey) QTest::keyClick(o.view, Qt::Key_Escape);
            else QTest::mouseClick(o.view, Qt::RightButton);
            QVERIFY(finished.wait(5000));
            QVERIFY(!o.view->CaptureOk());
            QVERIFY(f.prompts.shownMessages.empty());
        }
    }

    void theFormatDialogChangesTheFrameSize() {
        Opened o = OpenCaptureWindow();
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        WhenDialogOpens([](QDialog* dialog) {
            auto* sizes = dialog->findChild<QComboBox*>("frameSize");
            QVERIFY(sizes);
            QCOMPARE(sizes->currentText(), QString("640x480 pixels"));
            sizes->setCurrentText("320x240 pixels");
            dialog->accept();
        });
        QVERIFY(Enabled(f, CommandId::VideoFormat));
        f.frame->Action(CommandId::VideoFormat)->trigger();
        QCOMPARE(o.view->Device()->Format().width, 320);
        QTRY_COMPARE(o.view->Picture().size(), QSize(320, 240));
    }

    void theDriverReportShowsTheDriverAndItsAbilities() {
        Opened o = OpenCaptureWindow();
        QVERIFY(o.view);
        FrameFixture& f = *o.fixture;
        QTRY_VERIFY(o.view->CaptureReady());
        QString shown;
        WhenDialogOpens([&shown](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Capture device info"));
            auto* text = dialog->findChild<QPlainTextEdit*>("report");
            QVERIFY(text && text->isReadOnly());
            shown = text->toPlainText();
            KeepPicture(*dialog, "capture-driver-info");
            dialog->accept();
        });
        QVERIFY(Enabled(f, CommandId::CaptureDriverInfo));
        f.frame->Action(CommandId::CaptureDriverInfo)->trigger();
        QVERIFY(o.view->DriverReport().startsWith("\r\n\tTotal capture drivers installed:1\r\n\r\n 1. Test Pattern.1.0\r\n"));
        QCOMPARE(shown, QString(o.view->DriverReport()).replace("\r\n", "\n"));
        QVERIFY(shown.contains("Video standard:\tNTSC\n"));
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::CaptureWindowTest)
#include "CaptureWindowTest.moc"
