// A crash in the middle of tracking loses nothing: a child process runs the main frame on a
// copy of the demo, clicks frame 0's markers, starts Go and reports each point it stores; it
// is killed with SIGKILL a few seconds in. kadivo-cli recover then finds every reported point,
// and a main frame started afterwards offers the changes and shows them. Runs under a virtual
// X server; set KADIVO_TEST_PICTURES to keep the pictures.

#include "CKadivoView.h"
#include "DigitizingWindowKind.h"
#include "FrameCanvas.h"
#include "SequenceFile.h"
#include "ShellTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>

namespace kadivo::test {

namespace {

// Frame 0's markers in the left view, in the picture's pixels from its top-left corner.
constexpr QPoint kFrameZeroMarkers[] = {{140, 76}, {136, 118}, {137, 166}, {176, 163}, {131, 197}, {132, 267}, {128, 334}};

int StoredPoints(const CKadivoDoc& doc) {
    int points = 0;
    for (const CameraView& view : doc.views)
        for (const FrameRecord& record : view.frameStore.records()) points += record.digitizedCount;
    return points;
}

int LastReported(const QString& report) {
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (!line->isEmpty()) return line->toInt();
    return 0;
}

}  // namespace

// The child: digitizes and tracks until it is killed.
class JournalKillChild : public QObject {
    Q_OBJECT
public:
    JournalKillChild(QString sequence, QString report) : sequence_(std::move(sequence)), report_(std::move(report)) {}

private slots:
    void digitizeAndTrackUntilKilled() {
        QtSettingsStore settings;
        FakePrompts prompts;
        FakeExportDialogs dialogs;
        WindowKinds kinds;
        RegisterDigitizingWindow(kinds);
        MainFrame frame(ShellServices{settings, prompts, dialogs, kinds, QDir::currentPath().toStdString()});
        frame.resize(1200, 900);
        frame.show();
        DocumentSession* session = frame.OpenSequence(sequence_.toStdString());
        QVERIFY(session);
        std::FILE* report = std::fopen(report_.toLocal8Bit().constData(), "w");
        QVERIFY(report);
        // Told after the journal: what is reported has been journaled.
        connect(session, &DocumentSession::changed, this, [&] {
            std::fprintf(report, "%d\n", StoredPoints(session->doc()));
            std::fflush(report);
        });
        auto* window = qobject_cast<CKadivoView*>(session->Windows().at(0)->widget());
        QVERIFY(window);
        window->parentWidget()->resize(700, 600);
        frame.WindowArea()->setActiveSubWindow(session->Windows().at(0));
        QApplication::processEvents();
        for (QPoint at : kFrameZeroMarkers) QTest::mouseClick(window->Canvas()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(StoredPoints(session->doc()), 7);
        frame.Action(CommandId::Go)->trigger();
        QTest::qWait(120000);
        QFAIL("the child was not killed");
    }

private:
    QString sequence_, report_;
};

class JournalKillTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        PrepareShellTests(data_);
        state_ = files_.filePath("state");
        qputenv("XDG_STATE_HOME", state_.toUtf8());
        for (const char* name : {"demo.kdv", "demo-left.avi", "demo-right.avi"})
            QVERIFY(QFile::copy(QString(KADIVO_SOURCE_DIR "/samples/") + name, files_.filePath(name)));
    }

    void whatTheWindowStoredBeforeTheKillIsRecovered() {
        const QString sequence = files_.filePath("demo.kdv"), report = files_.filePath("report.txt");
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--child", sequence, report});
        QVERIFY(child.waitForStarted());
        // Go tracks a few frames, then the process dies as a crash or a power cut ends it.
        QElapsedTimer clock;
        clock.start();
        while (LastReported(report) < 7 + 5 * 7 && clock.elapsed() < 60000 && child.state() == QProcess::Running) QTest::qWait(50);
        QVERIFY2(LastReported(report) >= 7 + 5 * 7, "the child did not track");
        QTest::qWait(1500);
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const int reported = LastReported(report);
        QVERIFY(reported > 7 + 5 * 7);
        QVERIFY2(!QDir(state_ + "/Kadivo/journal").entryList({"*.kdvj"}).isEmpty(), "the killed program left its journal");

        const QString out = files_.filePath("recovered.kdv");
        QProcess cli;
        cli.start(KADIVO_CLI, {"recover", sequence, out});
        QVERIFY(cli.waitForFinished(60000));
        const QString said = QString::fromUtf8(cli.readAllStandardOutput());
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY2(said.contains(QRegularExpression("^Replayed \\d+ edits made from .* into .*recovered.kdv\n")), qPrintable(said));
        CKadivoDoc recovered(prompts_, NoVideoSourceFactory());
        ReadSequenceFile(out.toStdString(), recovered);
        QVERIFY2(StoredPoints(recovered) >= reported,
                 qPrintable(QString("%1 points recovered, %2 stored").arg(StoredPoints(recovered)).arg(reported)));
        QCOMPARE(recovered.views[0].frameStore.records().front().digitizedCount, 7);

        // The program started again offers the changes; Yes shows them.
        FrameFixture f(RegisterDigitizingWindow);
        f.frame->resize(1200, 900);
        f.frame->show();
        f.prompts.ExpectQuestion("Kadivo was not closed properly. Recover the unsaved changes to " + sequence.toStdString() + "?",
                                 Answer::Yes);
        f.frame->OfferRecovery();
        QCOMPARE(f.frame->Sessions().size(), std::size_t{1});
        CKadivoDoc& doc = f.frame->Sessions().front()->doc();
        QVERIFY(doc.IsModified());
        QCOMPARE(StoredPoints(doc), StoredPoints(recovered));
        QVERIFY(f.frame->windowTitle().startsWith("demo.kdv[*]"));
        doc.GoToFrame(3, true);
        QApplication::processEvents();
        KeepPicture(*f.frame, "recovered-after-kill");
        // The recovered changes are journaled anew; the killed program's journal is gone.
        QCOMPARE(QDir(state_ + "/Kadivo/journal").entryList({"*.kdvj"}).size(), 1);
        f.prompts.ExpectQuestion("Save changes to demo.kdv?", Answer::No);
        QVERIFY(f.frame->CloseAllSessions());
        QVERIFY(QDir(state_ + "/Kadivo/journal").entryList({"*.kdvj"}).isEmpty());
    }

private:
    QTemporaryDir data_, files_;
    QString state_;
    FakePrompts prompts_;
};

}  // namespace kadivo::test

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc == 4 && QByteArray(argv[1]) == "--child") {
        kadivo::LoadShellResources();
        kadivo::test::JournalKillChild child(argv[2], argv[3]);
        char* childArguments[] = {argv[0]};
        return QTest::qExec(&child, 1, childArguments);
    }
    kadivo::test::JournalKillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "JournalKillTest.moc"
