#pragma once

#include "ChildWindow.h"
#include "DocumentSession.h"
#include "FakeExportDialogs.h"
#include "FakePrompts.h"
#include "Icons.h"
#include "MainFrame.h"
#include "QtSettingsStore.h"
#include "WindowKinds.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <memory>
#include <optional>

namespace kadivo::test {

// Every widget test: settings in Qt's test folder, the data directory in a fresh folder,
// the program's resources loaded.
inline void PrepareShellTests(const QTemporaryDir& dataDirectory) {
    QStandardPaths::setTestModeEnabled(true);
    qputenv("kadivodir", dataDirectory.path().toUtf8());
    LoadShellResources();
    QFile::remove(QtSettingsStore().FileName());
}

// Keeps a picture of `widget` in the folder KADIVO_TEST_PICTURES names, if any.
inline void KeepPicture(QWidget& widget, const QString& name) {
    const QByteArray folder = qgetenv("KADIVO_TEST_PICTURES");
    if (!folder.isEmpty()) widget.grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
}

inline QString SamplePath() { return QStringLiteral(KADIVO_SOURCE_DIR "/samples/walk.kdv"); }

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A window that shows the kind of its saved state and gives the state back, placement aside.
class RecordWindow : public ChildWindow {
public:
    RecordWindow(DocumentSession& session, std::optional<WindowState> state)
        : ChildWindow(session), state_(std::move(state)) {
        auto* label = new QLabel(state_ ? QString("window of kind %1").arg(state_->index()) : QString("capture"), this);
        (new QVBoxLayout(this))->addWidget(label);
        resize(320, 200);
    }
    std::optional<WindowState> State() const override { return state_; }
    void OnDocumentChanged(const DocumentChange&) override { ++changes; }
    int changes = 0;

private:
    std::optional<WindowState> state_;
};

// Window classes for all four kinds.
inline void RegisterRecordWindows(WindowKinds& kinds) {
    auto factory = [](DocumentSession& session, const WindowState* state) -> ChildWindow* {
        return new RecordWindow(session, state ? std::optional<WindowState>(*state) : std::nullopt);
    };
    for (int k = 0; k < kWindowKindCount; ++k) kinds.Register(static_cast<WindowKind>(k), factory);
}

// A main frame on fake prompts and dialogs and the test settings; `registerKinds` gives the
// window classes.
struct FrameFixture {
    explicit FrameFixture(bool withWindows = false) : FrameFixture(withWindows ? RegisterRecordWindows : nullptr) {}
    explicit FrameFixture(void (*registerKinds)(WindowKinds&)) {
        if (registerKinds) registerKinds(kinds);
        frame = std::make_unique<MainFrame>(ShellServices{settings, prompts, dialogs, kinds, QDir::currentPath().toStdString()});
    }
    ~FrameFixture() { frame.reset(); }

    // Shows the frame at 900 x 700 with a new sequence of one model point called `pointName`.
    DocumentSession* NewOnePointSequence(const std::string& pointName) {
        NewSequenceSetup setup;
        setup.pointCount = 1;
        setup.modelPoints[0].name = pointName;
        prompts.wizardResult = setup;
        frame->resize(900, 700);
        frame->show();
        return frame->NewSequence();
    }

    QtSettingsStore settings;
    FakePrompts prompts;
    FakeExportDialogs dialogs;
    WindowKinds kinds;
    std::unique_ptr<MainFrame> frame;
};

}  // namespace kadivo::test
