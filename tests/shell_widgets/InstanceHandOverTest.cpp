// A second start of the program hands its sequence to the one that runs already.

#include "InstanceHandOver.h"
#include "ShellTestSupport.h"

#include <QMdiArea>
#include <QTest>

#include <atomic>
#include <thread>

namespace kadivo::test {

class InstanceHandOverTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir sockets_;

    // A second start's hand-over, made on a thread of its own as another process would,
    // while this one goes on answering.
    static bool HandOverFromElsewhere(const QString& socket, const std::string& path) {
        std::atomic<int> handed{-1};
        std::thread other([&] { handed = HandToRunningInstance(socket, path) ? 1 : 0; });
        while (handed.load() < 0) QTest::qWait(10);
        other.join();
        return handed.load() == 1;
    }

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void aSequenceHandedOverOpensInTheRunningFrame() {
        FrameFixture f(true);
        f.frame->show();
        const QString socket = sockets_.filePath("running.socket");
        const std::unique_ptr<InstanceListener> listener = ListenForSequences(*f.frame, socket);
        QVERIFY(listener->Listening());

        QVERIFY(HandOverFromElsewhere(socket, SamplePath().toStdString()));
        QTRY_COMPARE(f.frame->Sessions().size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(f.frame->ActiveSession()->doc().pathName()), SamplePath());
        QVERIFY(!f.frame->WindowArea()->subWindowList().isEmpty());

        // The same sequence again comes forward instead of opening twice.
        QVERIFY(HandOverFromElsewhere(socket, SamplePath().toStdString()));
        QTest::qWait(50);
        QCOMPARE(f.frame->Sessions().size(), std::size_t{1});
    }

    void withoutARunningProgramNothingIsHandedOver() {
        QVERIFY(!HandToRunningInstance(sockets_.filePath("nobody.socket"), SamplePath().toStdString()));
    }

    void aSocketLeftByAProgramThatEndedIsTakenOver() {
        const QString socket = sockets_.filePath("left-behind.socket");
        QFile stale(socket);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        std::string opened;
        InstanceListener listener(socket, [&](const std::string& path) { opened = path; });
        QVERIFY(listener.Listening());
        QVERIFY(HandOverFromElsewhere(socket, "relative/trial.kdv"));
        QTRY_VERIFY(!opened.empty());
        // A relative name is made absolute by the start that hands it over.
        QCOMPARE(QString::fromStdString(opened), QDir::current().absoluteFilePath("relative/trial.kdv"));
    }

    void aProgramThatAnswersKeepsItsSocket() {
        const QString socket = sockets_.filePath("taken.socket");
        std::string first, second;
        InstanceListener running(socket, [&](const std::string& path) { first = path; });
        InstanceListener later(socket, [&](const std::string& path) { second = path; });
        QVERIFY(running.Listening());
        QVERIFY(!later.Listening());
        QVERIFY(HandOverFromElsewhere(socket, "/data/trial.kdv"));
        QTRY_COMPARE(first, std::string("/data/trial.kdv"));
        QVERIFY(second.empty());
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::InstanceHandOverTest)
#include "InstanceHandOverTest.moc"
