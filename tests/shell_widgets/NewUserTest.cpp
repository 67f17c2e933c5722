// The path a new user takes: from an empty data directory through File → New Sequence and
// the wizard, a video opened into the new sequence, a few clicks, the options sheet from the
// Sequence menu, and Save. The wizard and the sheet are the program's own dialogs, driven
// through their widgets; file boxes and messages go to the scripted fake. Set
// KADIVO_TEST_PICTURES to a folder to keep pictures of the path.

#include "CKadivoView.h"
#include "ControlPointTable.h"
#include "DigitizingWindowKind.h"
#include "FrameCanvas.h"
#include "MainStatusBar.h"
#include "QtPrompts.h"
#include "SequenceFile.h"
#include "ShellTestSupport.h"
#include "WizardTestSupport.h"
#include "dialogs/ControlPointEditor.h"
#include "dialogs/OptionsSheetDialog.h"
#include "dialogs/WizardDialog.h"
#include "dialogs/WizardPages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>

namespace kadivo::test {

namespace {

const QString kVideo = QStringLiteral(KADIVO_SHARED_DIR "/testdata/video/mjpeg_320x240_50fps_50f.avi");

// The scripted fake, but with the program's real wizard and options sheet.
class RealDialogPrompts : public FakePrompts {
public:
    std::optional<NewSequenceSetup> RunNewSequenceWizard() override {
        return ShowNewSequenceWizard(*this, QApplication::activeWindow());
    }
    bool RunOptionsSheet(SequenceOptionsSheet& sheet) override {
        return ShowOptionsSheet(sheet, *this, QApplication::activeWindow());
    }
};

// Runs `drive` on the dialog of type `Dialog` once it is shown modally; `seen` tells whether it was.
template <typename Dialog>
void WhenShown(bool& seen, std::function<void(Dialog&)> drive) {
    QTimer::singleShot(0, [&seen, drive] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        seen = dialog != nullptr;
        if (dialog) drive(*dialog);
    });
}

void PressNext(WizardDialog& wizard) { QTest::mouseClick(wizard.NextButton(), Qt::LeftButton); }

// The action of the menu titled `menu` whose text is `text`.
QAction* MenuAction(MainFrame& frame, const QString& menu, const QString& text) {
    for (QAction* top : frame.menuBar()->actions())
        if (top->text().remove('&') == menu && top->menu())
            for (QAction* item : top->menu()->actions())
                if (item->text() == text) return item;
    return nullptr;
}

// Page by page, as a new user answers the wizard: a model "Ball" of two points, then a 2D
// frame "Square" of four corners.
void AnswerTheWizard(WizardDialog& wizard) {
    QCOMPARE(wizard.windowTitle(), QString("New Wizard - Starting a Digitizing Project"));
    PressNext(wizard);
    auto* name = Shown<ModelNamePage>(wizard);
    QVERIFY2(name, "no model yet: the definition pages");
    name->Names()->lineEdit()->clear();
    QTest::keyClicks(name->Names()->lineEdit(), "Ball");
    name->Count()->setValue(2);
    PressNext(wizard);
    auto* points = Shown<PointNamesPage>(wizard);
    QVERIFY(points);
    SetCell(points->Table(), 0, 0, "Left");
    SetCell(points->Table(), 1, 0, "Right");
    PressNext(wizard);
    QVERIFY(Shown<SegmentsPage>(wizard));
    PressNext(wizard);
    QVERIFY(Shown<CalibrationChoicePage>(wizard));
    PressNext(wizard);
    auto* calibration = Shown<CalibrationNamePage>(wizard);
    QVERIFY2(calibration, "no calibration yet: the definition pages");
    calibration->Names()->lineEdit()->clear();
    QTest::keyClicks(calibration->Names()->lineEdit(), "Square");
    calibration->Method(CalibrationDefinition::kFrame2D)->click();
    PressNext(wizard);
    auto* frame = Shown<FramePointsPage>(wizard);
    QVERIFY(frame);
    ControlPointEditor* editor = frame->Editor();
    for (int row = 0; row < 4; ++row) {
        if (row >= editor->Table()->rowCount()) QTest::mouseClick(editor->AddButton(), Qt::LeftButton);
        SetCell(editor->Table(), row, 0, QString::number(row == 1 || row == 2 ? 2 : 0));
        SetCell(editor->Table(), row, 1, QString::number(row >= 2 ? 1 : 0));
    }
    PressNext(wizard);
    QCOMPARE(wizard.windowTitle(), QString("New Wizard - Finished"));
    KeepPicture(wizard, "new-user-wizard-finished");
    QTest::mouseClick(wizard.FinishButton(), Qt::LeftButton);
}

}  // namespace

class NewUserTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void fromAnEmptyDataDirectoryToASavedSequence() {
        QVERIFY(!QFile::exists(data_.filePath("model.ini")));
        QtSettingsStore settings;
        RealDialogPrompts prompts;
        FakeExportDialogs dialogs;
        WindowKinds kinds;
        RegisterDigitizingWindow(kinds);
        MainFrame frame(ShellServices{settings, prompts, dialogs, kinds, QDir::currentPath().toStdString()});
        frame.resize(1000, 800);
        frame.show();

        // Without a sequence, New Sequence is there in the menu, on the toolbar and on Ctrl+N;
        // the options sheet needs a sequence.
        QAction* newSequence = MenuAction(frame, "File", "New Sequence");
        QVERIFY(newSequence);
        QVERIFY(newSequence->isEnabled());
        QCOMPARE(newSequence->shortcut(), QKeySequence("Ctrl+N"));
        bool onToolbar = false;
        for (QToolBar* bar : frame.findChildren<QToolBar*>()) onToolbar = onToolbar || bar->actions().contains(newSequence);
        QVERIFY(onToolbar);
        QAction* options = MenuAction(frame, "Sequence", "Sequence Options");
        QVERIFY(options);
        QVERIFY(!options->isEnabled());

        bool wizardShown = false;
        WhenShown<WizardDialog>(wizardShown, AnswerTheWizard);
        newSequence->trigger();
        QVERIFY(wizardShown);
        QCOMPARE(frame.Sessions().size(), std::size_t{1});
        CKadivoDoc& doc = frame.Sessions().front()->doc();
        QCOMPARE(doc.pointCount, 2);
        QVERIFY(QFile::exists(data_.filePath("model.ini")));
        QVERIFY(QFile::exists(data_.filePath("calibration.ini")));
        QVERIFY(options->isEnabled());

        // A video into the new sequence's digitizing window, and two frames clicked.
        prompts.openFileAnswer = kVideo.toStdString();
        MenuAction(frame, "File", "Open Video (*.avi)")->trigger();
        QVERIFY(doc.HasVideo(0));
        auto* window = qobject_cast<CKadivoView*>(frame.Sessions().front()->Windows().at(0)->widget());
        QVERIFY(window);
        QWidget* canvas = window->Canvas()->viewport();
        for (QPoint at : {QPoint(40, 50), QPoint(200, 60), QPoint(42, 52), QPoint(202, 62)})
            QTest::mouseClick(canvas, Qt::LeftButton, {}, at);
        QCOMPARE(doc.current().currentFrame, 2);
        KeepPicture(frame, "new-user-digitized");

        // The options sheet from the Sequence menu: point tags on, every second frame.
        bool sheetShown = false;
        WhenShown<OptionsSheetDialog>(sheetShown, [](OptionsSheetDialog& sheet) {
            QCOMPARE(sheet.Tabs()->currentIndex(), 0);
            // The capture drivers by name in index order: the cameras, then the Test Pattern.
            auto* device = sheet.Find<QComboBox>("Device");
            QVERIFY(device->count() >= 1);
            QCOMPARE(device->itemText(device->count() - 1), QString("Test Pattern"));
            sheet.Tabs()->setCurrentIndex(2);
            KeepPicture(sheet, "new-user-capture-page");
            sheet.Tabs()->setCurrentIndex(0);
            sheet.Find<QCheckBox>("Display Point Tags")->setChecked(true);
            sheet.Find<QSpinBox>("Image Skip Factor")->setValue(2);
            sheet.accept();
        });
        options->trigger();
        QVERIFY(sheetShown);
        QCOMPARE(doc.options.frameStep, 2);

        const QString path = files_.filePath("first.kdv");
        prompts.saveFileAnswer = path.toStdString();
        MenuAction(frame, "File", "Save")->trigger();
        QVERIFY(!doc.IsModified());

        CKadivoDoc read(prompts, NoVideoSourceFactory());
        ReadSequenceFile(path.toStdString(), read);
        QCOMPARE(read.pointCount, 2);
        QCOMPARE(read.modelPoints[0].name, std::string("Left"));
        QCOMPARE(read.modelPoints[1].name, std::string("Right"));
        QCOMPARE(read.calibrationType, 2);
        QCOMPARE(read.calibrationPointCount, 4);
        QCOMPARE(read.calibrationPoints[2].x, 2.0);
        QCOMPARE(read.calibrationPoints[2].y, 1.0);
        QCOMPARE(read.options.showPointTags, 1);
        QCOMPARE(read.options.frameStep, 2);
        const std::vector<FrameRecord>& records = read.views[0].frameStore.records();
        QCOMPARE(records.size(), std::size_t{2});
        QCOMPARE(records[0].imagePos[0], (Point2f{40, 190}));
        QCOMPARE(records[1].imagePos[1], (Point2f{202, 178}));
        QVERIFY(read.views[0].frameStore.videoFileName.find("mjpeg_320x240_50fps_50f.avi") != std::string::npos);
    }

    void newModelWithProfilesOnFileStartsUnnamed() {
        // The first test left "Ball" on file; New Model must not edit it.
        RealDialogPrompts prompts;
        bool wizardShown = false;
        WhenShown<WizardDialog>(wizardShown, [&prompts](WizardDialog& wizard) {
            auto* choice = Shown<ModelChoicePage>(wizard);
            QVERIFY(choice);
            QPushButton* fresh = ButtonOn(choice, "New Model");
            QVERIFY(fresh);
            QTest::mouseClick(fresh, Qt::LeftButton);
            auto* name = Shown<ModelNamePage>(wizard);
            QVERIFY(name);
            QCOMPARE(name->Names()->currentText(), QString(kNewProfileName));
            KeepPicture(wizard, "new-user-new-model");
            prompts.ExpectMessage(kProfileNameNotUnique);
            PressNext(wizard);
            QVERIFY2(Shown<ModelNamePage>(wizard), "Next without a name stays");
            wizard.reject();
        });
        QVERIFY(!prompts.RunNewSequenceWizard());
        QVERIFY(wizardShown);
        ModelProfileList models(ModelProfilePath());
        models.Load();
        QCOMPARE(models.names(), (std::vector<std::string>{"Ball", kNewProfileName}));
        QCOMPARE(models.profiles[0].GetName(1), std::string("Right"));
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::NewUserTest)
#include "NewUserTest.moc"
