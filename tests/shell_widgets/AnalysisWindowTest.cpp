// The analysis window on the transformed sample: curves through the dialogs, selection,
// deletion, the clipboard, saving and reopening, and the picture files. Set
// KADIVO_TEST_PICTURES to a folder to keep pictures of it.

#include "AnalysisWindowKind.h"
#include "CDataView.h"
#include "CKadivoView.h"
#include "FrameCanvas.h"
#include "DigitizingWindowKind.h"
#include "GraphDialogs.h"
#include "GraphPainter.h"
#include "SequenceFile.h"
#include "SettingsValues.h"
#include "ShellTestSupport.h"
#include "dialogs/ExportOptionDialogs.h"
#include "dialogs/PointListWidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWheelEvent>

namespace kadivo::test {

namespace {

void RegisterWindows(WindowKinds& kinds) {
    RegisterDigitizingWindow(kinds);
    RegisterAnalysisWindow(kinds);
}

// Answers the next modal add-curve dialog: ticks `rows` of its list and the named boxes,
// then presses "Add Curve(s)".
template <typename Dialog>
void AnswerCurveDialog(std::vector<int> rows, std::vector<QString> boxes, QString* title) {
    QTimer::singleShot(0, [rows, boxes, title] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *title = dialog->windowTitle();
        QTreeWidget* list = dialog->template findChild<PointListWidget*>()->List();
        for (int row : rows) list->topLevelItem(row)->setCheckState(0, Qt::Checked);
        for (QCheckBox* box : dialog->template findChildren<QCheckBox*>())
            if (std::find(boxes.begin(), boxes.end(), box->text()) != boxes.end()) box->setChecked(true);
        QPushButton* ok = dialog->template findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QCOMPARE(ok->text(), QString("Add Curve(s)"));
        ok->click();
    });
}

}  // namespace

class AnalysisWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir data_;
    QTemporaryDir files_;

    static CDataView* AnalysisWindow(DocumentSession* session) {
        for (QMdiSubWindow* window : session->Windows())
            if (auto* view = qobject_cast<CDataView*>(window->widget())) return view;
        return nullptr;
    }

    // The sample, shown in a frame of `size` and transformed through the menu.
    static DocumentSession* OpenTransformedSample(FrameFixture& f, QSize size) {
        f.frame->resize(size);
        f.frame->show();
        DocumentSession* session = f.frame->OpenSequence(SamplePath().toStdString());
        if (session) f.frame->Action(CommandId::TransformImageData)->trigger();
        return session;
    }

private slots:
    void initTestCase() { PrepareShellTests(data_); }

    void theWheelMovesTheCurrentViewOneFrameANotch() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1000, 800));
        QVERIFY(session);
        CDataView* view = AnalysisWindow(session);
        QVERIFY(view);
        CKadivoDoc& doc = session->doc();
        doc.AddCameraView();
        doc.SetCurrentView(0);
        doc.options.frameStep = 2;
        doc.options.lockViews = 1;
        doc.GoToFrame(4, true);
        const int otherView = doc.views[1].currentFrame;
        auto turn = [view](int delta) {
            QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view, &wheel);
        };
        turn(-120);
        QCOMPARE(doc.current().currentFrame, 5);
        QCOMPARE(doc.views[1].currentFrame, otherView);
        turn(-60);
        QCOMPARE(doc.current().currentFrame, 5);
        turn(-60);
        QCOMPARE(doc.current().currentFrame, 6);
        turn(120);
        QCOMPARE(doc.current().currentFrame, 5);
        doc.ShowFrameInCurrentView(doc.worldFrameCount - 2);
        turn(-120);
        QCOMPARE(doc.current().currentFrame, doc.worldFrameCount - 2);
    }

    // The walker's centre of gravity lies between its hip and shoulder markers; a model
    // without segment masses has none, and the curve has no values to draw.
    void theCentreOfGravityCurveFollowsTheFigureOrHasNoValues() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1000, 800));
        QVERIFY(session);
        CDataView* view = AnalysisWindow(session);
        QVERIFY(view);
        CKadivoDoc& doc = session->doc();
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({doc.pointCount}, {"Position", "Y"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        const DataCurveState& centre = view->Model().state().graphs[0].curves.at(0);
        QCOMPARE(QString::fromStdString(centre.name), QString("CG - Y pos"));
        KeepPicture(*view, "analysis-centre-of-gravity");
        for (int frame = 0; frame < doc.worldFrameCount; ++frame) {
            const float y = centre.samples.at(static_cast<std::size_t>(frame));
            QVERIFY2(y > doc.worldFiltered[frame][2].y && y < doc.worldFiltered[frame][1].y, qPrintable(QString::number(y)));
        }

        for (ModelPoint& point : doc.modelPoints) point.segmentParamB.fill(0.0f);
        f.frame->Action(CommandId::TransformImageData)->trigger();
        AnswerCurveDialog<ExportLinearDialog>({doc.pointCount}, {"Position", "Y"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        const DataCurveState& none = view->Model().state().graphs[0].curves.back();
        QVERIFY(std::all_of(none.samples.begin(), none.samples.end(), [](float y) { return std::isnan(y); }));
    }

    // Curves are kept in the sequence file: adding one changes the sequence.
    void anAddedCurveMarksTheSequenceChanged() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1000, 800));
        QVERIFY(session);
        f.prompts.saveFileAnswer = files_.filePath("curves.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        QVERIFY(!session->doc().IsModified());
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({0}, {"Position", "X"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        QVERIFY(session->doc().IsModified());
        QVERIFY(f.frame->isWindowModified());
        for (QMdiSubWindow* window : session->Windows()) QVERIFY(window->isWindowModified());
    }

    // "95 % Band" in the add-curve dialog: the band is drawn around the curve, kept through
    // a save, and hidden by the curve's properties.
    void aCurveWithItsBandIsDrawnAndKeptInTheFile() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1000, 800));
        QVERIFY(session);
        CDataView* view = AnalysisWindow(session);
        QVERIFY(view);
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({2}, {"Velocity", "X", "95 % Band"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        const DataCurveState& curve = view->Model().state().graphs[0].curves.back();
        QCOMPARE(curve.showBand, 1);
        QCOMPARE(curve.halfWidths.size(), curve.samples.size());
        QVERIFY(curve.halfWidths[5] > 0.0f);
        QTest::qWait(20);
        KeepPicture(*view, "analysis-band");
        // The band's pale fill lies above the curve by its half-width.
        const std::vector<GraphRect> rects = view->Model().Rects();
        const DataGraphState& graph = view->Model().state().graphs[0];
        const PlotArea area = PlotAreaOf(rects[0]);
        const int n = static_cast<int>(curve.samples.size()), i = n / 2;
        const double x = area.SampleX(i, n);
        const double inside = area.Y(curve.samples[static_cast<std::size_t>(i)] + 0.6 * curve.halfWidths[static_cast<std::size_t>(i)],
                                     graph.leftMin, graph.leftMax);
        const double outside = area.Y(curve.samples[static_cast<std::size_t>(i)] + 1.6 * curve.halfWidths[static_cast<std::size_t>(i)],
                                      graph.leftMin, graph.leftMax);
        const QImage picture = view->Picture();
        QVERIFY(picture.pixelColor(static_cast<int>(x), static_cast<int>(inside)) !=
                picture.pixelColor(static_cast<int>(x), static_cast<int>(outside)));

        f.prompts.saveFileAnswer = files_.filePath("banded.kdv").toStdString();
        f.frame->Action(CommandId::SaveAs)->trigger();
        FrameFixture again(RegisterWindows);
        DocumentSession* reopened = again.frame->OpenSequence(files_.filePath("banded.kdv").toStdString());
        QVERIFY(reopened);
        const DataCurveState& kept = AnalysisWindow(reopened)->Model().state().graphs[0].curves.back();
        QCOMPARE(kept.halfWidths, curve.halfWidths);
        QCOMPARE(kept.showBand, 1);
    }

    void enterOpensTheGraphOrCurvePropertiesAndTheirChoicesStay() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1100, 850));
        QVERIFY(session);
        CDataView* view = AnalysisWindow(session);
        QVERIFY(view);
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({2}, {"Position", "X"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        GraphWindowModel& model = view->Model();
        QCOMPARE(model.state().graphs[0].curves.size(), std::size_t{1});
        QVERIFY2(view->width() >= 640 && view->height() >= 480,
                 qPrintable(QString("a new analysis window of %1 x %2").arg(view->width()).arg(view->height())));
        view->setFocus();

        // No curve selected: Enter opens "Graph Properties"; its colours become the defaults
        // of new graph windows.
        QVERIFY(!model.SelectedCurve());
        bool shown = false;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<GraphPropertiesDialog*>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            if (!dialog) return;
            dialog->title->setText("Knee forward");
            dialog->background->SetColour(0x203040);
            dialog->curves->SetColour(0x00FFFF);
            dialog->accept();
        });
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(shown);
        QCOMPARE(model.state().graphs[0].title, std::string("Knee forward"));
        QCOMPARE(model.state().backgroundColor, 0x203040);
        const QtSettingsStore settings;
        QCOMPARE(GetInt(settings, "DataWnd", "Default Color", 0), 0x203040);
        QCOMPARE(GetInt(settings, "DataWnd", "Default Curve Color", 0), 0x00FFFF);
        QCOMPARE(NewGraphWindowState(settings).backgroundColor, 0x203040);

        // A curve selected: Enter opens "Curve Properties".
        const std::vector<GraphRect> rects = model.Rects();
        const DataGraphState& graph = model.state().graphs[0];
        const DataCurveState& knee = graph.curves[0];
        const int middle = static_cast<int>(knee.samples.size()) / 2;
        const PlotArea plot = PlotAreaOf(rects[0]);
        QTest::mouseClick(view, Qt::LeftButton, {},
                          QPoint(static_cast<int>(plot.SampleX(middle, static_cast<int>(knee.samples.size()))),
                                 static_cast<int>(plot.Y(knee.samples[static_cast<std::size_t>(middle)], graph.leftMin, graph.leftMax))));
        QVERIFY(model.SelectedCurve());
        shown = false;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<CurvePropertiesDialog*>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            if (!dialog) return;
            dialog->name->setText("Knee X");
            dialog->lineWidth->setValue(4);
            dialog->showLegend->setChecked(false);
            dialog->accept();
        });
        QTest::keyClick(view, Qt::Key_Enter);
        QVERIFY(shown);
        const DataCurveState& edited = model.state().graphs[0].curves[0];
        QCOMPARE(edited.name, std::string("Knee X"));
        QCOMPARE(edited.lineWidth, 4);
        QCOMPARE(edited.showLegend, 0);
        QFile::remove(settings.FileName());
    }

    // With "Recompute after each change" (on by default), a point dragged to another place in
    // the digitizing window (a Shift-press on it) moves the curve that comes from it: the
    // world data are recomputed and the analysis window draws the curve again.
    void aPointDraggedInTheDigitizingWindowMovesItsCurve() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1200, 900));
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        QCOMPARE(doc.options.recomputeAfterChange, 1);
        CDataView* view = AnalysisWindow(session);
        QVERIFY(view);
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({0}, {"Position", "X"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        const std::vector<float> before = view->Model().state().graphs[0].curves.back().samples;
        QVERIFY(view->Model().state().graphs[0].curves.back().source.has_value());
        QTest::qWait(20);
        const QImage pictureBefore = view->Picture();

        CKadivoView* digitizing = nullptr;
        for (QMdiSubWindow* window : session->Windows())
            if (auto* candidate = qobject_cast<CKadivoView*>(window->widget()))
                if (candidate->Canvas()->Camera() == doc.currentView) digitizing = candidate;
        QVERIFY(digitizing);
        FrameCanvas* canvas = digitizing->Canvas();
        const FrameRecord* record = doc.current().frameStore.ActiveRecord(kMovement);
        QVERIFY(record);
        const Point2f point = record->imagePos[0];
        const WindowPoint at = canvas->Geometry().ToWindow(point);
        const QPoint press(static_cast<int>(at.x), static_cast<int>(at.y)), release = press + QPoint(25, 0);
        QTest::mousePress(canvas->viewport(), Qt::LeftButton, Qt::ShiftModifier, press);
        QTest::mouseMove(canvas->viewport(), release);
        QTest::mouseRelease(canvas->viewport(), Qt::LeftButton, Qt::ShiftModifier, release);
        QVERIFY(doc.current().frameStore.ActiveRecord(kMovement)->imagePos[0].x > point.x + 5);

        const std::vector<float> after = view->Model().state().graphs[0].curves.back().samples;
        QCOMPARE(after.size(), before.size());
        QVERIFY(after != before);
        QTest::qWait(20);
        QVERIFY(view->Picture() != pictureBefore);
        KeepPicture(*view, "analysis-follows-an-edit");
        // Undo puts the point and the curve back.
        f.frame->Action(CommandId::Undo)->trigger();
        QCOMPARE(view->Model().state().graphs[0].curves.back().samples, before);
    }

    void curvesFromTheDialogsAreDrawnSavedAndReopened() {
        FrameFixture f(RegisterWindows);
        DocumentSession* session = OpenTransformedSample(f, QSize(1200, 900));
        QVERIFY(session);
        CKadivoDoc& doc = session->doc();
        QVERIFY(doc.worldFrameCount > 2);
        CDataView* view = AnalysisWindow(session);
        QVERIFY2(view, "the sample keeps a graph window");
        view->parentWidget()->resize(1000, 760);

        // Linear Kinematics: hip and knee positions and velocities in X, into the first graph.
        QString title;
        AnswerCurveDialog<ExportLinearDialog>({2, 3}, {"Position", "Velocity", "X"}, &title);
        f.frame->Action(CommandId::LinearKinematics)->trigger();
        QCOMPARE(title, QString("Add Curve of Kinematic Data"));
        GraphWindowModel& model = view->Model();
        QCOMPARE(model.state().graphs[0].curves.size(), std::size_t{4});
        QCOMPARE(model.state().graphs[0].curves[2].name, std::string("Knee - X pos"));
        QCOMPARE(model.state().graphs[0].rightUnit, 1);

        // A second graph of angles with their rates on two axes, two more graphs of positions.
        f.frame->Action(CommandId::NewGraph)->trigger();
        AnswerCurveDialog<ExportAngularDialog>({0}, {"Angle (deg)", "Angular Velocity", "Z"}, &title);
        f.frame->Action(CommandId::AddAngularCurve)->trigger();
        QCOMPARE(title, QString("Add Curve of Angular data"));
        QCOMPARE(model.state().graphs[1].curves.size(), std::size_t{2});
        QCOMPARE(model.state().graphs[1].rightAxisUsed, 1);
        for (int graph = 2; graph < 4; ++graph) {
            f.frame->Action(CommandId::NewGraph)->trigger();
            AnswerCurveDialog<ExportLinearDialog>({graph - 2, 4}, {"Position", "Y", "3D"}, &title);
            f.frame->Action(CommandId::AddLinearCurve)->trigger();
        }
        QCOMPARE(model.graphCount(), 4);
        doc.GoToFrame(8, true);
        QTest::qWait(20);
        KeepPicture(*view, "analysis-four-graphs");
        const QImage picture = view->Picture();
        // The yellow frame marker stands on the first graph at frame 8.
        const std::vector<GraphRect> rects = model.Rects();
        const double markerX = *MarkerX(rects[0], view->MarkerFrame(), doc.worldFrameCount);
        const PlotArea area = PlotAreaOf(rects[0]);
        QCOMPARE(picture.pixelColor(static_cast<int>(markerX), static_cast<int>(area.top + area.height / 2)), QColor(255, 255, 0));

        // A click on the hip curve selects it; Delete asks and removes it.
        const DataGraphState& first = model.state().graphs[0];
        const DataCurveState& hip = first.curves[0];
        const int middle = static_cast<int>(hip.samples.size()) / 2;
        const PlotArea plot = PlotAreaOf(rects[0]);
        const QPoint onHip(static_cast<int>(plot.SampleX(middle, static_cast<int>(hip.samples.size()))),
                           static_cast<int>(plot.Y(hip.samples[static_cast<std::size_t>(middle)], first.leftMin, first.leftMax)));
        QTest::mouseClick(view, Qt::LeftButton, {}, onHip);
        QCOMPARE(model.state().selectedGraph, 0);
        QCOMPARE(model.state().selectedCurve, 0);
        KeepPicture(*view, "analysis-selected-curve");

        // Copy Data to Clipboard.
        f.prompts.ExpectMessage(GraphWindowModel::kCopiedMessage);
        f.frame->Action(CommandId::CopyDataToClipboard)->trigger();
        QCOMPARE(QApplication::clipboard()->text().toStdString(), ClipboardText(model.state().graphs[0]));

        view->setFocus();
        f.prompts.ExpectQuestion("Remove Curve ?", Answer::Yes);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(model.state().graphs[0].curves.size(), std::size_t{3});
        QCOMPARE(f.prompts.askedStyles.back().caption, std::string("Warning"));

        // Pictures of the selected graph and of the whole window.
        QVERIFY(view->SaveGraph(files_.filePath("graph.png"), false));
        QCOMPARE(QImage(files_.filePath("graph.png")).size(), view->size());
        QVERIFY(view->SaveGraph(files_.filePath("window.svg"), true));
        QVERIFY(QSvgRenderer(files_.filePath("window.svg")).isValid());
        // The text is in the graphs' face, or the face of the same widths the tests install.
        QVERIFY2(ReadBytes(files_.filePath("window.svg")).contains(QFontDatabase::hasFamily(kGraphFontFace)
                                                                        ? "font-family=\"ARIEL\""
                                                                        : "font-family=\"Liberation Sans\""),
                 "the graphs' font");
        QVERIFY(view->SaveGraph(files_.filePath("window.pdf"), true));
        QProcess pdftoppm;
        pdftoppm.start("pdftoppm", {"-png", "-r", "30", files_.filePath("window.pdf"), files_.filePath("page")});
        QVERIFY(pdftoppm.waitForFinished(30000));
        QCOMPARE(pdftoppm.exitCode(), 0);
        QVERIFY(!QImage(files_.filePath("page-1.png")).isNull());

        // Printed and saved for a page, the window keeps its own layout: clicks, the read-out
        // and the frame marker still find their graphs, and the file keeps the window's.
        const std::vector<GraphRect> onScreen = model.Rects();
        auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        sub->mdiArea()->setActiveSubWindow(sub);
        QVERIFY(f.frame->PrintActiveWindowToPdf(files_.filePath("printed.pdf")));
        QVERIFY(view->SaveGraph(files_.filePath("again.pdf"), true));
        QVERIFY2(model.Rects() == onScreen, "the window's rectangles after printing");
        const PlotArea last = PlotAreaOf(onScreen[3]);
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(static_cast<int>(last.left) + 3, static_cast<int>(last.top) + 3));
        QCOMPARE(model.state().selectedGraph, 3);

        // Saved and opened again: the window comes back as it was.
        const GraphWindowState before = std::get<GraphWindowState>(*view->State());
        const std::string path = files_.filePath("graphs.kdv").toStdString();
        QVERIFY(doc.OnSaveDocument(path));
        CKadivoDoc read(f.prompts, NoVideoSourceFactory());
        ReadSequenceFile(path, read);
        const auto saved = std::find_if(read.windows.begin(), read.windows.end(),
                                        [](const WindowState& w) { return std::holds_alternative<GraphWindowState>(w); });
        QVERIFY(saved != read.windows.end());
        GraphWindowState record = std::get<GraphWindowState>(*saved);
        record.placement = before.placement;
        QVERIFY2(record == before, "every field of the graph window record");

        f.frame->CloseSession(session);
        DocumentSession* again = f.frame->OpenSequence(path);
        QVERIFY(again);
        CDataView* reopened = AnalysisWindow(again);
        QVERIFY(reopened);
        GraphWindowState after = std::get<GraphWindowState>(*reopened->State());
        after.placement = before.placement;
        QVERIFY(after == before);
    }
};

}  // namespace kadivo::test

QTEST_MAIN(kadivo::test::AnalysisWindowTest)
#include "AnalysisWindowTest.moc"
