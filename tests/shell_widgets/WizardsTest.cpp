// The new-sequence wizard and the options sheet, driven through their widgets. Set
// KADIVO_TEST_PICTURES to a folder to keep a picture of every page.

#include "dialogs/ControlPointEditor.h"
#include "dialogs/OptionsSheetDialog.h"
#include "MainStatusBar.h"
#include "QtPrompts.h"
#include "SequenceFile.h"
#include "ShellTestSupport.h"
#include "WizardTestSupport.h"
#include "dialogs/WizardDialog.h"
#include "dialogs/WizardPages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace kadivo::test {


class WizardsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    static void PressNext(WizardDialog& wizard, const QString& picture) {
        KeepPicture(wizard, picture);
        QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    }

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void theNewSequenceWizardDefinesAModelAndAFrameAndTheSequenceKeepsThem() {
        QFile::remove(data_.filePath("model.ini"));
        QFile::remove(data_.filePath("calibration.ini"));
        FakePrompts prompts;
        ModelProfileList models(ModelProfilePath());
        models.Load();
        CalibrationProfileList calibrations(CalibrationProfilePath());
        calibrations.Load();
        WizardDialog wizard(WizardKind::NewSequence, models, calibrations, prompts);
        wizard.show();
        QCOMPARE(wizard.windowTitle(), QString("New Wizard - Starting a Digitizing Project"));
        QVERIFY(!wizard.BackButton()->isEnabled());
        QVERIFY(!wizard.FinishButton()->isEnabled());
        PressNext(wizard, "wizard-0-model-choice");

        auto* name = Shown<ModelNamePage>(wizard);
        QVERIFY(name);
        QCOMPARE(wizard.windowTitle(), QString("Model Wizard - Defining number of Points to be digitized"));
        // "New Profile" is refused with the uniqueness message; the page stays.
        prompts.ExpectMessage(kProfileNameNotUnique);
        QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
        QVERIFY(Shown<ModelNamePage>(wizard));
        name->Names()->lineEdit()->clear();
        QTest::keyClicks(name->Names()->lineEdit(), "Walker");
        name->Count()->setValue(5);
        PressNext(wizard, "wizard-1-model-name");

        auto* points = Shown<PointNamesPage>(wizard);
        QVERIFY(points);
        QCOMPARE(points->Table()->rowCount(), 5);
        const char* names[] = {"Head", "Shoulder", "Hip", "Knee", "Ankle"};
        for (int row = 0; row < 5; ++row) {
            SetCell(points->Table(), row, 0, names[row]);
            qobject_cast<QComboBox*>(points->Table()->cellWidget(row, 1))->setCurrentIndex(row == 0 ? kSideNone : kSideRight);
        }
        PressNext(wizard, "wizard-2-point-names");

        auto* segments = Shown<SegmentsPage>(wizard);
        QVERIFY(segments);
        for (int row = 0; row < 4; ++row) {
            QTest::mouseClick(ButtonOn(segments, "Add"), Qt::LeftButton);
            SetCell(segments->Table(), row, 0, QString("%1-%2").arg(names[row], names[row + 1]));
            qobject_cast<QComboBox*>(segments->Table()->cellWidget(row, 1))->setCurrentIndex(row);
            qobject_cast<QComboBox*>(segments->Table()->cellWidget(row, 2))->setCurrentIndex(row + 1);
        }
        PressNext(wizard, "wizard-3-segments");

        QVERIFY(Shown<CalibrationChoicePage>(wizard));
        PressNext(wizard, "wizard-4-calibration-choice");
        auto* calibration = Shown<CalibrationNamePage>(wizard);
        QVERIFY(calibration);
        calibration->Names()->lineEdit()->clear();
        QTest::keyClicks(calibration->Names()->lineEdit(), "Cube");
        calibration->Method(CalibrationDefinition::kFrame3D)->click();
        PressNext(wizard, "wizard-5-calibration-name");

        auto* frame = Shown<FramePointsPage>(wizard);
        QVERIFY2(frame, "the frame methods skip the posture page");
        ControlPointEditor* editor = frame->Editor();
        for (int row = 0; row < 8; ++row) {
            QTest::mouseClick(editor->AddButton(), Qt::LeftButton);
            for (int axis = 0; axis < 3; ++axis) SetCell(editor->Table(), row, axis, QString::number((row >> axis) & 1));
        }
        SetCell(editor->Table(), 7, 2, "high");
        QVERIFY(!editor->Error()->text().isEmpty());
        QCOMPARE(editor->Table()->item(7, 2)->text(), QString("1.000"));
        PressNext(wizard, "wizard-7-frame-points");

        QCOMPARE(wizard.windowTitle(), QString("New Wizard - Finished"));
        QVERIFY(wizard.FinishButton()->isEnabled());
        KeepPicture(wizard, "wizard-8-finished");
        QTest::mouseClick(wizard.BackButton(), Qt::LeftButton);
        QVERIFY2(Shown<FramePointsPage>(wizard), "back to the page last shown");
        QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
        QTest::mouseClick(wizard.FinishButton(), Qt::LeftButton);
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QVERIFY(QFile::exists(data_.filePath("model.ini")));
        QVERIFY(QFile::exists(data_.filePath("calibration.ini")));

        // The sequence made from the wizard's choice, saved and read back.
        prompts.wizardResult = wizard.Flow().Setup();
        CKadivoDoc doc(prompts, NoVideoSourceFactory());
        QVERIFY(doc.OnNewDocument());
        const std::string path = files_.filePath("new.kdv").toStdString();
        QVERIFY(doc.OnSaveDocument(path));
        CKadivoDoc read(prompts, NoVideoSourceFactory());
        ReadSequenceFile(path, read);
        QCOMPARE(read.pointCount, 5);
        QCOMPARE(read.modelPoints[3].name, std::string("Knee"));
        QCOMPARE(read.modelPoints[3].side, int(kSideRight));
        QCOMPARE(read.modelPoints[3].linkedPoint[0], 4);
        QCOMPARE(read.modelPoints[3].segmentName[0], std::string("Knee-Ankle"));
        QCOMPARE(read.calibrationType, 1);
        QCOMPARE(read.calibrationPointCount, 8);
        QCOMPARE(read.calibrationPoints[6].y, 1.0);
        QCOMPARE(read.calibrationPoints[6].z, 1.0);
        // The wizard's sequences compute with the positions as stored.
        QCOMPARE(read.options.exactPositions, 1);
    }

    void theStandAloneWizardsAndTheirPages() {
        FakePrompts prompts;
        ModelProfileList models(ModelProfilePath());
        models.Load();
        CalibrationProfileList calibrations(CalibrationProfilePath());
        calibrations.Load();
        WizardDialog model(WizardKind::Model, models, calibrations, prompts);
        model.show();
        QCOMPARE(model.windowTitle(), QString("Model Wizard - Defining number of Points to be digitized"));
        QVERIFY(!model.BackButton()->isEnabled());

        WizardDialog calibration(WizardKind::Calibration, models, calibrations, prompts);
        calibration.show();
        auto* name = Shown<CalibrationNamePage>(calibration);
        name->Names()->lineEdit()->clear();
        QTest::keyClicks(name->Names()->lineEdit(), "Standing");
        name->Method(CalibrationDefinition::kPosture)->click();
        QTest::mouseClick(calibration.NextButton(), Qt::LeftButton);
        auto* posture = Shown<PosturePage>(calibration);
        QVERIFY(posture);
        QTest::keyClicks(posture->Height(), "1.8");
        KeepPicture(calibration, "wizard-6-posture");
        QTest::mouseClick(calibration.NextButton(), Qt::LeftButton);
        QCOMPARE(calibration.windowTitle(), QString("Calibration Wizard - Finished"));
        KeepPicture(calibration, "wizard-calibration-finished");
        QTest::mouseClick(calibration.FinishButton(), Qt::LeftButton);
        calibrations.Load();
        QCOMPARE(calibrations.lastIndex, 2);
        QCOMPARE(calibrations.profiles[1].profileName, std::string("Standing"));
    }

    void cancellingTheWizardLeavesNoNewSequence() {
        QtPrompts prompts;
        CKadivoDoc doc(prompts, NoVideoSourceFactory());
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* wizard = qobject_cast<WizardDialog*>(QApplication::activeModalWidget());
            seen = wizard != nullptr;
            if (wizard) wizard->reject();
        });
        QVERIFY(!doc.OnNewDocument());
        QVERIFY(seen);
        QVERIFY(doc.views.empty() || doc.pointCount == 0);
    }

    void theOptionsSheetChangesEveryOptionAndTheFileKeepsThem() {
        FakePrompts prompts;
        NewSequenceSetup setup;
        setup.pointCount = 3;
        for (int p = 0; p < 3; ++p) setup.modelPoints[static_cast<std::size_t>(p)].name = "P" + std::to_string(p + 1);
        setup.calibrationType = 2;
        setup.calibrationPointCount = 4;
        setup.calibrationPoints.assign(5, Point3{});
        prompts.wizardResult = setup;
        CKadivoDoc doc(prompts, NoVideoSourceFactory());
        QVERIFY(doc.OnNewDocument());
        doc.framePeriod = 0.02f;

        prompts.editSheet = [&](SequenceOptionsSheet& sheet) {
            OptionsSheetDialog dialog(sheet, prompts);
            dialog.show();
            QCOMPARE(dialog.windowTitle(), QString("Sequence Properties"));
            QCOMPARE(dialog.Tabs()->currentIndex(), 1);
            for (int page = 0; page < dialog.Tabs()->count(); ++page) {
                QCOMPARE(dialog.Tabs()->tabText(page), QString(OptionsSheetDialog::kTabs[page]));
                dialog.Tabs()->setCurrentIndex(page);
                KeepPicture(dialog, QString("options-%1").arg(page));
            }
            dialog.Find<QLineEdit>("Sequence Title")->setText("Long jump");
            for (const char* box : {"Auto Advance Image", "Display Point Tags", "Auto Resize", "Auto Center On Zoom",
                                    "Smart Scroll", "Bright Marker", "Use Velocity"})
                dialog.Find<QCheckBox>(box)->toggle();
            dialog.Find<QSpinBox>("Image Skip Factor")->setValue(2);
            dialog.Find<QDoubleSpinBox>("Automatic Digitizing Speed")->setValue(0.1);
            dialog.Find<QGroupBox>("Locate Next Point Using")->findChild<QRadioButton*>("Previous Position")->click();
            dialog.Find<QGroupBox>("Template Method")->findChild<QRadioButton*>("Convolution")->click();
            QVERIFY2(!dialog.Find<QGroupBox>("Template Method")->findChild<QRadioButton*>("SSC")->isEnabled(), "SSC");
            dialog.Find<QSpinBox>("Threshold Movement (Pixels)")->setValue(12);
            dialog.Find<QSpinBox>("Search Size")->setValue(80);
            dialog.Find<QSpinBox>("Template Size")->setValue(11);
            dialog.Find<QSpinBox>("Size")->setValue(6);
            dialog.Find<QSpinBox>("Frame Rate")->setValue(50);
            dialog.Find<QSpinBox>("Capture Time")->setValue(10);
            dialog.Find<QSpinBox>("Delay Capture Start")->setValue(0);
            dialog.Find<QGroupBox>("Missing point interpolation (2D)")->findChild<QRadioButton*>("Cubic Spline")->click();
            dialog.Find<QGroupBox>("Filtering Parameters")->findChild<QRadioButton*>("Butterworth")->click();
            dialog.Find<QGroupBox>("Butterworth Cut Off")->findChild<QRadioButton*>("Residual Analysis")->click();
            dialog.Find<QGroupBox>("Spline Options")->findChild<QRadioButton*>("Heptic")->click();
            dialog.Find<QDoubleSpinBox>("Smooth Error Parameter")->setValue(0.5);
            dialog.Find<QDoubleSpinBox>("Low Pass Cut Off Frequency")->setValue(8.0);
            QVERIFY2(dialog.Find<QCheckBox>("Recompute after each change")->isChecked(), "on by default");
            dialog.Find<QCheckBox>("Recompute after each change")->toggle();
            dialog.Find<QListWidget>("Missing Points")->item(1)->setCheckState(Qt::Checked);
            dialog.Find<QListWidget>("Static Points")->item(2)->setCheckState(Qt::Checked);
            QVERIFY2(!dialog.Find<QCheckBox>("Exact positions")->isChecked(), "a sequence made without the wizard");
            dialog.Find<QCheckBox>("Exact positions")->toggle();
            dialog.Find<QCheckBox>("Snap clicks to the marker centre")->toggle();
            dialog.Find<QComboBox>("Lens from control points")->setCurrentIndex(1);
            // A 3D frame of 4 points is refused on OK; with 6 it is taken.
            dialog.Find<QGroupBox>("Type")->findChild<QRadioButton*>("3D Frame")->click();
            prompts.ExpectMessageStartingWith("A 3D frame calibration needs at least 6 control points");
            dialog.accept();
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.Tabs()->currentIndex(), 5);
            ControlPointEditor* points = dialog.ControlPoints();
            for (int row = 4; row < 6; ++row) QTest::mouseClick(points->AddButton(), Qt::LeftButton);
            SetCell(points->Table(), 5, 2, "2.5");
            dialog.accept();
            QVERIFY(!dialog.isVisible());
        };
        doc.OnSequenceOptions(1);

        // The options the version-3 fields have no room for, in the document and, after a
        // save, in the file's extension block.
        const SequenceOptions& o = doc.options;
        QCOMPARE(o.sequenceTitle, std::string("Long jump"));
        QCOMPARE(o.captureRate, 50);
        QCOMPARE(o.captureTime, 10);
        QCOMPARE(o.captureDelay, 0);
        QCOMPARE(o.autoDigitizeInterval, 100);
        QCOMPARE(o.locateMethod, 0);
        QCOMPARE(o.thresholdMovement, 12);
        QCOMPARE(doc.views[0].videoSource->Tracking(), (TrackingSettings{6, true, true}));
        QCOMPARE(doc.views[0].missingFlags[1], 1);
        QCOMPARE(doc.views[0].staticFlags[2], 1);
        const std::string path = files_.filePath("options.kdv").toStdString();
        QVERIFY(doc.OnSaveDocument(path));
        CKadivoDoc read(prompts, NoVideoSourceFactory());
        ReadSequenceFile(path, read);
        const SequenceOptions& r = read.options;
        QCOMPARE(r.autoAdvance, 0);
        QCOMPARE(r.showPointTags, 1);
        QCOMPARE(r.autoResize, 0);
        QCOMPARE(r.autoCenterOnZoom, 1);
        QCOMPARE(r.smartScroll, 1);
        QCOMPARE(r.frameStep, 2);
        QCOMPARE(r.templateMethod, 0);
        QCOMPARE(r.searchWidth, 80);
        QCOMPARE(r.templateWidth, 11);
        QCOMPARE(r.interpolation, 2);
        QCOMPARE(r.filtering, kButterworthFiltering);
        QCOMPARE(r.splineOrder, 3);
        QCOMPARE(r.smoothError, 0.5);
        QCOMPARE(r.cutOffFrequency, 8.0f);
        QCOMPARE(r.cutOffMethod, kResidualAnalysisCutOff);
        QCOMPARE(r.recomputeAfterChange, 0);
        QCOMPARE(read.views[0].missingFlags[1], 1);
        QCOMPARE(read.views[0].staticFlags[2], 1);
        QCOMPARE(read.calibrationType, 1);
        QCOMPARE(read.calibrationPointCount, 6);
        QCOMPARE(read.calibrationPoints[5].z, 2.5);
        QCOMPARE(read.options.exactPositions, 1);
        QCOMPARE(read.options.snapToMarkerCentre, 1);
        QCOMPARE(read.options.lensFromControlPoints, 1);
        QCOMPARE(r.sequenceTitle, std::string("Long jump"));
        QCOMPARE(r.captureRate, 50);
        QCOMPARE(r.captureTime, 10);
        QCOMPARE(r.captureDelay, 0);
        QCOMPARE(r.autoDigitizeInterval, 100);
        QCOMPARE(r.locateMethod, 0);
        QCOMPARE(r.thresholdMovement, 12);
        QCOMPARE(read.views[0].videoSource->Tracking(), (TrackingSettings{6, true, true}));
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::WizardsTest)
#include "WizardsTest.moc"
