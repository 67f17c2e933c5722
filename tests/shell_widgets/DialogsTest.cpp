// The document's dialogs: each edits its record as its Part says. Set KADIVO_TEST_PICTURES to
// a folder to keep a picture of every dialog.

#include "CDltCalibration.h"
#include "CheckerboardVideo.h"
#include "ModelPropertiesTree.h"
#include "MainStatusBar.h"
#include "QtPrompts.h"
#include "ShellTestSupport.h"
#include "SplashCloser.h"
#include "dialogs/DltParametersDialog.h"
#include "dialogs/ExportOptionDialogs.h"
#include "dialogs/LensCalibrationDialog.h"
#include "dialogs/TrackImportDialog.h"
#include "dialogs/ModelPropertiesDialog.h"
#include "dialogs/PointListWidget.h"
#include "dialogs/ProgramDialogs.h"
#include "dialogs/VideoDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QLabel>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

namespace kadivo::test {

namespace {

// A dialog shown on its own takes the size its layout asks for first.
void KeepSizedPicture(QWidget& widget, const QString& name) {
    if (qEnvironmentVariableIsEmpty("KADIVO_TEST_PICTURES")) return;
    widget.adjustSize();
    KeepPicture(widget, name);
}

std::vector<ExportListRow> Rows() { return {{"Head", "None"}, {"Knee", "Right"}, {"CG", "None"}}; }

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void linearExportAsksBeforeGivingUpAndReturnsItsChoice() {
        FakePrompts prompts;
        ExportLinearDialog dialog(Rows(), prompts, nullptr);
        KeepSizedPicture(dialog, "export-linear");
        QVERIFY(dialog.smoothed->isChecked());
        QCOMPARE(dialog.points->List()->topLevelItemCount(), 3);
        QCOMPARE(dialog.points->List()->topLevelItem(1)->text(1), QString("Right"));
        prompts.ExpectQuestion("Orientation, Type, Points, has not been selected!\n\nContinue ?", Answer::No);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));  // No: nothing was decided, the dialog stays
        QCOMPARE(prompts.askedStyles.back().caption, std::string("No Data To Export!"));
        dialog.points->SetAll(true);
        dialog.velocity->setChecked(true);
        dialog.distance->setChecked(true);
        dialog.unsmoothed->setChecked(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const LinearExportOptions options = dialog.Options();
        QCOMPARE(options.rows, (std::vector<bool>{true, true, true}));
        QVERIFY(options.velocity && options.distance && !options.position && !options.smoothed);
    }

    void linearExportYesGivesUp() {
        FakePrompts prompts;
        ExportLinearDialog dialog(Rows(), prompts, nullptr);
        dialog.open();
        prompts.ExpectQuestion("Orientation, Type, Points, has not been selected!\n\nContinue ?", Answer::Yes);
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void angularExportHasOnlyTheAngle() {
        FakePrompts prompts;
        ExportAngularDialog dialog(Rows(), prompts, nullptr);
        KeepSizedPicture(dialog, "export-angular");
        QVERIFY(!dialog.angularVelocity->isEnabled());
        QVERIFY(!dialog.angularAcceleration->isEnabled());
        QCOMPARE(dialog.joints->List()->headerItem()->text(0), QString("Joint"));
        dialog.joints->List()->topLevelItem(0)->setCheckState(0, Qt::Checked);
        dialog.angle->setChecked(true);
        dialog.threeD->setChecked(true);
        dialog.counterClockwise->setChecked(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const AngularExportOptions options = dialog.Options();
        QCOMPARE(options.rows, (std::vector<bool>{true, false, false}));
        QVERIFY(options.angle && options.threeD && options.counterClockwise && options.smoothed);
    }

    void imageDataExportKeepsFiftyRowsAtMost() {
        std::vector<ExportListRow> rows(52, ExportListRow{"P", "None"});
        ImageDataExportDialog dialog(rows, nullptr);
        KeepSizedPicture(dialog, "export-points");
        dialog.points->SetAll(true);
        dialog.header->setChecked(true);
        const PointsExportOptions options = dialog.Options();
        QCOMPARE(options.rows.size(), std::size_t{50});
        QVERIFY(options.header);
        dialog.points->SetAll(false);
        QCOMPARE(dialog.Options().rows, std::vector<bool>(50, false));
    }

    void trcExportStartsWithEveryMarkerAndTheAxesOpenSimWants() {
        TrcExportOptions start;
        start.rows = {true, true};
        TrcExportDialog dialog({{"Head", "N"}, {"Knee", "R"}}, start, nullptr);
        dialog.resize(dialog.sizeHint());
        KeepSizedPicture(dialog, "export-trc");
        TrcExportOptions options = dialog.Options();
        QCOMPARE(options.rows, (std::vector<bool>{true, true}));
        QVERIFY(options.axes == kZUpToYUp);
        QVERIFY(options.smoothed && !options.millimetres);
        dialog.units->setCurrentIndex(1);
        dialog.axes->setCurrentIndex(1);
        dialog.unsmoothed->setChecked(true);
        dialog.markers->List()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        options = dialog.Options();
        QVERIFY(options.millimetres && !options.smoothed);
        QVERIFY(options.axes == kAsCalibrated);
        QCOMPARE(options.rows, (std::vector<bool>{false, true}));
    }

    void trackImportPairsByNameAndTakesTheUsersChoices() {
        TrackImportPlan plan;
        plan.modelPointOf = {1, -1};
        TrackImportDialog dialog(plan, {"knee", "snout"}, {"Hip", "Knee", "Ankle"}, true, nullptr);
        KeepSizedPicture(dialog, "track-import");
        QCOMPARE(dialog.choices.at(0)->currentText(), QString("Knee"));
        QCOMPARE(dialog.choices.at(1)->currentText(), QString("(not imported)"));
        dialog.choices[1]->setCurrentIndex(3);
        dialog.likelihood->setValue(0.85);
        const TrackImportPlan chosen = dialog.Plan();
        QCOMPARE(chosen.modelPointOf, (std::vector<int>{1, 2}));
        QCOMPARE(chosen.minimumLikelihood, 0.85f);
        QVERIFY2(!TrackImportDialog(plan, {"a"}, {"A"}, false, nullptr).likelihood->isEnabled(), "DLTdv has no likelihood");
    }

    void csmExportTakesTheEditedLabels() {
        CsmExportDialog dialog({"N. Head", "R. Knee"}, {"LFHD", "NOTDEF"}, nullptr);
        KeepSizedPicture(dialog, "export-csm");
        QCOMPARE(dialog.mapping->topLevelItem(0)->text(1), QString("LFHD"));
        dialog.mapping->topLevelItem(1)->setText(1, "RKNE");
        dialog.actor->setText("Ann");
        dialog.comment->setPlainText("trial 3");
        const CsmExportOptions options = dialog.Options();
        QCOMPARE(options.mapping, (std::vector<std::string>{"LFHD", "RKNE"}));
        QCOMPARE(options.actor, std::string("Ann"));
        QCOMPARE(options.comment, std::string("trial 3"));
    }

    void modelPropertiesStoreEditsAtOnce() {
        ModelTable model = DefaultModelTable();
        model[0] = ModelPoint::Default(0);
        model[0].name = "Hip";
        model[0].side = kSideRight;
        model[0].linkedPoint[0] = 1;
        model[0].segmentName[0] = "Thigh";
        model[0].segmentParamA[0] = 0.433f;
        model[0].segmentParamB[0] = 0.1f;
        model[1].name = "Knee";
        ModelPropertiesDialog dialog(model, 2, nullptr);
        KeepSizedPicture(dialog, "model-properties");
        QTreeWidget* tree = dialog.Tree();
        QCOMPARE(tree->topLevelItemCount(), 3);
        QVERIFY2(!(tree->topLevelItem(0)->flags() & Qt::ItemIsEditable), "the sides are not edited");
        QTreeWidgetItem* hip = tree->topLevelItem(0)->child(0);
        QCOMPARE(hip->text(0), QString("Hip"));
        QTreeWidgetItem* thigh = hip->child(0);
        QCOMPARE(thigh->child(0)->text(0), QString("0.1000"));
        QCOMPARE(thigh->child(1)->text(0), QString("0.4330"));
        thigh->child(1)->setText(0, "0.5");
        QCOMPARE(dialog.Model()[0].segmentParamA[0], 0.5f);
        thigh->child(0)->setText(0, "heavy");
        QVERIFY2((dialog.Model()[0].segmentParamB[0]) == (0.0f), "text that is no number gives 0");
        QVERIFY2((thigh->child(0)->text(0)) == (QString("heavy")), "shown as typed");
        hip->setText(0, "");
        QVERIFY2((hip->text(0)) == (QString("Hip")), "an empty label changes nothing");
        QCOMPARE(dialog.Model()[0].name, std::string("Hip"));
        thigh->setText(0, "Upper leg");
        QCOMPARE(dialog.Model()[0].segmentName[0], std::string("Upper leg"));
    }

    void dltParametersListEachView() {
        DltParameterTable table;
        std::vector<std::vector<ImagePoint>> images(2);
        const std::vector<Point3> world{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
        for (const Point3& w : world) {
            images[0].push_back({std::trunc(100 + 80 * w.x + 20 * w.z), std::trunc(100 + 80 * w.y + 10 * w.z)});
            images[1].push_back({std::trunc(300 - 60 * w.z + 10 * w.x), std::trunc(120 + 80 * w.y + 5 * w.x)});
        }
        CDltCalibration(table).Calibrate(images, world, static_cast<int>(world.size()), 2);
        DltParametersDialog dialog(table, {{{2, 0.5, 1.5}, {0, 0.2, 0.4}}, {}}, {false, true}, nullptr);
        KeepSizedPicture(dialog, "dlt-parameters");
        auto* views = dialog.findChild<QComboBox*>();
        QTreeWidget* rows = dialog.Parameters();
        QCOMPARE(dialog.ControlPoints()->topLevelItem(0)->text(0), QString("Point 3"));
        QCOMPARE(dialog.ControlPoints()->topLevelItem(0)->text(2), QString("1.500 px"));
        QCOMPARE(views->count(), 2);
        QCOMPARE(views->itemText(1), QString("View 2"));
        QCOMPARE(rows->headerItem()->text(0), QString("ID"));
        QCOMPARE(rows->topLevelItem(0)->text(0), QString("L1"));
        QCOMPARE(rows->topLevelItem(10)->text(0), QString("L11"));
        const QString viewOne = rows->topLevelItem(0)->text(1);
        views->setCurrentIndex(1);
        QCOMPARE(rows->topLevelItem(0)->text(0), QString("L1"));
        QVERIFY(rows->topLevelItem(0)->text(1) != viewOne);
        QCOMPARE(dialog.ControlPoints()->topLevelItemCount(), 0);
        // The second view's control points determine no camera: the dialog says so.
        KeepSizedPicture(dialog, "dlt-parameters-degenerate");
        QVERIFY(!dialog.Warning()->isHidden());
        QCOMPARE(dialog.Warning()->text(), QString("degenerate: the control points do not determine the camera"));
        views->setCurrentIndex(0);
        QVERIFY(dialog.Warning()->isHidden());
    }

    void videoDialogsArePresetAndReturnTheirValues() {
        StreamSelectionDialog streams(3, nullptr);
        KeepSizedPicture(streams, "stream-selection");
        auto* list = streams.findChild<QComboBox*>();
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->currentText(), QString("Stream 1"));
        list->setCurrentIndex(2);
        QCOMPARE(streams.Stream(), 2);

        VideoImageOptionsDialog options(1, 0, nullptr);
        KeepSizedPicture(options, "video-image-options");
        QCOMPARE(options.ImageType(), 1);
        QCOMPARE(options.FirstField(), 0);
        options.findChild<QComboBox*>()->setCurrentIndex(2);
        const auto radios = options.findChildren<QRadioButton*>();
        for (QRadioButton* radio : radios)
            if (radio->text() == "Odd Line Numbers") radio->setChecked(true);
        QCOMPARE(options.ImageType(), 2);
        QCOMPARE(options.FirstField(), 1);

        FrameRateDialog rate(25.0, nullptr);
        KeepSizedPicture(rate, "frame-rate");
        QCOMPARE(rate.Rate(), 25.0);
        rate.findChild<QDoubleSpinBox*>()->setValue(50.0);
        QCOMPARE(rate.Rate(), 50.0);
    }

    void fileBoxesStartInTheFolderGivenOrTheOneLastUsed() {
        QCOMPARE(FileBoxStart("*.avi", ""), QString());
        QCOMPARE(FileBoxStart("*.avi", "/last"), QString("/last"));
        QCOMPARE(FileBoxStart("/trials/*.avi", "/last"), QString("/trials"));
        QCOMPARE(FileBoxStart("/trials/walk.txt", "/last"), QString("/trials/walk.txt"));
        QCOMPARE(FileBoxStart("Animation.png", "/last"), QString("/last/Animation.png"));
        QCOMPARE(FileBoxStart("Animation.png", ""), QString("Animation.png"));
        QCOMPARE(FileBoxStart("", "/last"), QString("/last"));
    }

    void preferencesShowTheStoredOption() {
        ProgramPreferences stored;
        stored.capture = {"/var/tmp/kadivo", 10};
        PreferencesDialog dialog(stored, nullptr);
        KeepSizedPicture(dialog, "preferences");
        QVERIFY(dialog.doNothing->isChecked());
        QCOMPARE(dialog.captureFolder->text(), QString("/var/tmp/kadivo"));
        QCOMPARE(dialog.captureMegabytes->value(), 10);
        dialog.newSequence->setChecked(true);
        dialog.captureFolder->setText(" /data/capture ");
        dialog.captureMegabytes->setValue(200);
        const ProgramPreferences chosen = dialog.Preferences();
        QCOMPARE(chosen.startup, StartupOption::NewSequence);
        QCOMPARE(chosen.capture, (CaptureFileSettings{"/data/capture", 200}));
    }

    void theProgressBoxShowsItsPercentage() {
        ProgressBox box(nullptr);
        QCOMPARE(box.windowTitle(), QString("Wait, please..."));
        box.SetRange(0, 200);
        box.SetPosition(50);
        QCOMPARE(box.Text(), QString("25%"));
        box.SetStep(150);
        box.StepIt();
        QCOMPARE(box.Text(), QString("100%"));
        box.OffsetPosition(20);
        QCOMPARE(box.Text(), QString("10%"));
        KeepSizedPicture(box, "progress");
    }

    void theHelpOpensAtItsContents() {
        HelpWindow help(nullptr);
        help.ShowContents();
        QVERIFY(help.Browser()->toPlainText().contains("Kadivo manual"));
        QVERIFY(help.Browser()->toPlainText().contains("Getting started"));
        help.Browser()->setSource(QUrl("qrc:/manual/calibration.md"), QTextDocument::MarkdownResource);
        QVERIFY(help.Browser()->toPlainText().contains("DLT"));
        KeepSizedPicture(help, "help");
        help.ShowContents();
        QVERIFY(help.Browser()->toPlainText().contains("Lens calibration"));
        help.Browser()->setSource(QUrl("qrc:/manual/lens.md"), QTextDocument::MarkdownResource);
        QVERIFY(help.Browser()->toPlainText().contains("From a checkerboard video"));
        KeepSizedPicture(help, "help-lens");
    }

    void aKeyDuringTheSplashRunsTheStartUpActionOnce() {
        QWidget mainWindow;
        auto* splash = new SplashScreen(&mainWindow);
        splash->show();
        int actions = 0;
        SplashCloser closer(splash, &mainWindow, [&] { ++actions; });
        QTest::keyClick(&mainWindow, Qt::Key_Space);
        QVERIFY(!splash->isVisible());
        QTest::mouseClick(&mainWindow, Qt::LeftButton);
        QTRY_COMPARE(actions, 1);
        QTest::qWait(SplashCloser::kSplashMilliseconds + 200);
        QCOMPARE(actions, 1);
    }

    void theSplashClosesByItself() {
        QWidget mainWindow;
        auto* splash = new SplashScreen(&mainWindow);
        splash->show();
        int actions = 0;
        SplashCloser closer(splash, &mainWindow, [&] { ++actions; });
        QTRY_COMPARE_WITH_TIMEOUT(actions, 1, SplashCloser::kSplashMilliseconds + 1000);
        QVERIFY(!splash->isVisible());
    }

    void theSplashAndTheAboutBoxShowTheVersion() {
        SplashScreen splash(nullptr);
        AboutDialog about(nullptr);
        KeepSizedPicture(splash, "splash");
        KeepSizedPicture(about, "about");
        QVERIFY(!splash.grab().isNull());
    }

    // Lens Calibration on a checkerboard filmed through a known lens: Calibrate reports the
    // lens and its errors and shows a frame corrected; OK hands the lens over. A video of
    // another picture size than the view's is refused.
    void lensCalibrationFindsTheLensOfACheckerboardVideo() {
        const QString video = data_.filePath("board.mkv");
        QCOMPARE(WriteBoardVideo(video.toStdString(), BoardPoses()), std::string());
        FakePrompts prompts;
        LensCalibrationDialog dialog(prompts, video.toStdString(), {kBoardWidth, kBoardHeight}, nullptr);
        QCOMPARE(dialog.video->text(), video);
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        QTest::mouseClick(dialog.calibrate, Qt::LeftButton);
        QVERIFY2(dialog.report->toPlainText().contains("frames used: 15 of 15 searched"), qPrintable(dialog.report->toPlainText()));
        QVERIFY(dialog.report->toPlainText().contains("k1: -0.28"));
        QVERIFY(!dialog.picture->pixmap().isNull());
        QVERIFY(ok->isEnabled());
        KeepSizedPicture(dialog, "lens-calibration");
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(dialog.Lens());
        QCOMPARE(dialog.Lens()->width, kBoardWidth);
        QCOMPARE(dialog.Lens()->source, LensSource::Checkerboard);

        LensCalibrationDialog other(prompts, video.toStdString(), {320, 240}, nullptr);
        QTest::mouseClick(other.calibrate, Qt::LeftButton);
        QCOMPARE(other.report->toPlainText(), QString("The checkerboard video's pictures are 640 × 480 pixels; this camera view's are 320 × 240."));
        QVERIFY(!other.Lens());
        other.columns->setValue(8);
        other.video->setText(data_.filePath("missing.mkv"));
        QTest::mouseClick(other.calibrate, Qt::LeftButton);
        QVERIFY(other.report->toPlainText().endsWith("cannot be opened as video"));
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::DialogsTest)
#include "DialogsTest.moc"
