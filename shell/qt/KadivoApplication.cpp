#include "KadivoApplication.h"

#include "DataDirectory.h"
#include "DrawnPicture.h"
#include "Icons.h"
#include "InstanceHandOver.h"
#include "KeptAviFile.h"
#include "MainFrame.h"
#include "MainStatusBar.h"
#include "QtPrompts.h"
#include "QtSettingsStore.h"
#include "SplashCloser.h"
#include "SettingsValues.h"
#include "StartupRules.h"
#include "WindowKinds.h"
#include "dialogs/ProgramDialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <stdexcept>

namespace kadivo {

namespace {

void RunStartupAction(MainFrame& frame, SettingsStore& settings, const CommandLine& commandLine) {
    const StartupAction action =
        ChooseStartupAction(commandLine, ActingStartupOption(settings), RecentSequences(settings).Paths());
    switch (action.kind) {
        case StartupAction::Kind::OpenFile: frame.OpenSequence(action.file); break;
        case StartupAction::Kind::NewSequence: frame.Execute(CommandId::NewSequence); break;
        case StartupAction::Kind::Nothing: break;
    }
}

// Saves a picture of the main window once it and its windows have drawn, then quits with
// 0, or 1 when that fails or a prompt would have appeared.
void TakeScreenshot(MainFrame& frame, const std::string& path, const UnattendedPrompts& prompts) {
    QApplication::processEvents();
    int status = prompts.Failed() ? 1 : 0;
    if (!SaveDrawnPicture(frame, QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "kadivo: cannot write the screenshot %s\n", path.c_str());
        status = 1;
    }
    QApplication::exit(status);
}

// Runs `then` once the main window is on the screen, or after a few seconds at the latest.
class WhenExposed : public QObject {
public:
    WhenExposed(QWidget& window, std::function<void()> then) : window_(window), then_(std::move(then)) {
        window.windowHandle()->installEventFilter(this);
        QTimer::singleShot(0, this, [this] { CheckExposed(); });
        QTimer::singleShot(5000, this, [this] { Run(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose) QTimer::singleShot(0, this, [this] { CheckExposed(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void CheckExposed() {
        if (window_.windowHandle()->isExposed()) Run();
    }
    void Run() {
        if (done_) return;
        done_ = true;
        then_();
    }

    QWidget& window_;
    std::function<void()> then_;
    bool done_ = false;
};

}  // namespace

int RunKadivo(int argc, char** argv, const std::function<void(WindowKinds&)>& registerWindowKinds) {
    QApplication application(argc, argv);
    LoadShellResources();
    QApplication::setOrganizationName("Vellora");
    QApplication::setApplicationName("Kadivo");
    QApplication::setApplicationVersion(kVersion);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setWindowIcon(ProgramIcon());

    // 1. The command line.
    CommandLine commandLine;
    try {
        QStringList arguments = QApplication::arguments();
        arguments.removeFirst();
        std::vector<std::string> list;
        for (const QString& argument : arguments) list.push_back(argument.toStdString());
        commandLine = ParseCommandLine(list);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "kadivo: %s\nusage: kadivo [FILE.kdv] [--new] [--no-splash] [--screenshot PNG [FILE.kdv]]\n",
                     error.what());
        return 2;
    }

    // A sequence to open goes to the program that runs already, if one does.
    const bool screenshot = commandLine.screenshot.has_value();
    if (!screenshot && commandLine.fileMode == CommandLine::FileMode::NamedFile &&
        HandToRunningInstance(InstanceSocketName(), commandLine.file))
        return 0;

    // 2. The settings under "Vellora".
    QtSettingsStore settings;

    // 3. The window kinds.
    WindowKinds kinds;
    if (registerWindowKinds) registerWindowKinds(kinds);

    // 4. The main frame, with the prompts over it.
    QtPrompts interactive;
    UnattendedPrompts unattended;
    Prompts& prompts = screenshot ? static_cast<Prompts&>(unattended) : interactive;
    ExportDialogs& exportDialogs = screenshot ? static_cast<ExportDialogs&>(unattended) : interactive;
    const std::string programDirectory = ProgramDirectory(QApplication::applicationFilePath().toStdString());
    // The windows of a sequence draw their videos' first frames from the last session; the
    // decoders load behind them once the windows have drawn.
    VideoOpeningsHeldBack videoOpenings;
    MainFrame frame({settings, prompts, exportDialogs, kinds, programDirectory, CacheDirectory() + "/kept-frames"});
    interactive.SetWindow(&frame, frame.Status());

    // 8. The main window is shown.
    frame.show();
    // Later starts hand their sequences to this one; a screenshot run takes none.
    std::unique_ptr<InstanceListener> listener;
    if (!screenshot) listener = ListenForSequences(frame, InstanceSocketName());

    // A screenshot run ends without its videos' decoders when the kept frames were enough.
    std::unique_ptr<WhenExposed> afterFirstDrawing;
    auto startupAction = [&frame, &settings, commandLine, screenshot, &unattended, &afterFirstDrawing, &videoOpenings] {
        // Work a crash interrupted comes back before anything else opens.
        if (!screenshot) frame.OfferRecovery();
        RunStartupAction(frame, settings, commandLine);
        // The windows it opened take their places before the first drawing, which would
        // otherwise be drawn again once they have.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (screenshot)
            afterFirstDrawing = std::make_unique<WhenExposed>(
                frame, [&frame, &unattended, path = *commandLine.screenshot] { TakeScreenshot(frame, path, unattended); });
        else
            afterFirstDrawing = std::make_unique<WhenExposed>(frame, [&videoOpenings] {
                QApplication::processEvents();
                videoOpenings.Release();
            });
    };

    // 5, 10, 11. The splash screen, the tip of the day, and the start-up action once the
    // splash has closed.
    std::unique_ptr<SplashScreen> splash;
    std::unique_ptr<SplashCloser> closer;
    if (commandLine.showSplash) {
        splash = std::make_unique<SplashScreen>(&frame);
        splash->move(frame.geometry().center() - splash->rect().center());
        splash->show();
        closer = std::make_unique<SplashCloser>(splash.get(), &frame, startupAction);
        QTimer::singleShot(0, &frame, [&frame] { frame.OfferTipOfTheDay(); });
    } else {
        QTimer::singleShot(0, &frame, startupAction);
    }
    const int status = QApplication::exec();
    settings.Sync();
    return status;
}

}  // namespace kadivo
