// The real program under a virtual X server: `kadivo --screenshot` on the sample.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace kadivo::test {

class ScreenshotTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;

    // Runs kadivo --screenshot with its settings, data and cache in the test folder.
    int RunScreenshot(const QStringList& arguments, QByteArray& errors, const QStringList& variables = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", folder_.filePath("config"));
        environment.insert("XDG_CACHE_HOME", folder_.filePath("cache"));
        environment.insert("kadivodir", folder_.filePath("data"));
        for (const QString& variable : variables) environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        environment.remove("QT_QPA_PLATFORM");
        process.setProcessEnvironment(environment);
        QStringList command{"-a", "-s", "-screen 0 1280x1024x24", KADIVO_PROGRAM, "--screenshot"};
        command += arguments;
        process.start("xvfb-run", command);
        const bool finished = process.waitForFinished(240000);
        errors = process.readAllStandardError();
        if (!finished || process.exitStatus() != QProcess::NormalExit) {
            qWarning("kadivo --screenshot did not finish: %s", errors.constData());
            return -1;
        }
        if (process.exitCode() != 0) qWarning("kadivo --screenshot: %s", errors.constData());
        return process.exitCode();
    }

private slots:
    void aPictureOfTheMainWindowWithTheSampleOpen() {
        QByteArray errors;
        const QString picture = folder_.filePath("main.png");
        QCOMPARE(RunScreenshot({picture, KADIVO_SOURCE_DIR "/samples/walk.kdv"}, errors), 0);
        QImage image(picture);
        QVERIFY(!image.isNull());
        QVERIFY2(image.width() >= 800 && image.height() >= 500, "the size of a main window");
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 20, "menus, toolbar and status bar are drawn");
    }

    void aSecondStartDrawsTheKeptFirstFrameWithoutLoadingTheDecoders() {
        QByteArray errors;
        const QString first = folder_.filePath("first.png"), second = folder_.filePath("second.png");
        QCOMPARE(RunScreenshot({first, KADIVO_SOURCE_DIR "/samples/walk.kdv"}, errors), 0);
        const QStringList kept = QDir(folder_.filePath("cache/Kadivo/kept-frames")).entryList({"*.frame"}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        // The loader names every library it loads.
        QCOMPARE(RunScreenshot({second, KADIVO_SOURCE_DIR "/samples/walk.kdv"}, errors, {"LD_DEBUG=files"}), 0);
        QVERIFY2(errors.contains("libQt6Widgets"), "the loader's report is there");
        QVERIFY2(!errors.contains("libkadivo_ffmpeg"), "the video module was loaded");
        QCOMPARE(QImage(second), QImage(first));
    }

    void newStartsTheNewSequenceWizard() {
        QByteArray errors;
        const int status = RunScreenshot({folder_.filePath("new.png"), "--new"}, errors);
        QCOMPARE(status, 1);
        QVERIFY2(errors.contains("kadivo: the dialog \"New Wizard\" would open; cancelled"), errors.constData());
    }

    void aMessageThatWouldAppearFailsTheRunWithOneLine() {
        QByteArray errors;
        const int status = RunScreenshot({folder_.filePath("none.png"), folder_.filePath("missing.kdv")}, errors);
        QCOMPARE(status, 1);
        QVERIFY2(errors.contains("kadivo: Unable to read the sequence file."), errors.constData());
    }
};

}  // namespace kadivo::test

QTEST_GUILESS_MAIN(kadivo::test::ScreenshotTest)
#include "ScreenshotTest.moc"
