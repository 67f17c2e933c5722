#pragma once

// The program's main frame on Qt's offscreen platform with its window kinds, as the
// benchmarks of the windows drive it.

#include "Icons.h"
#include "MainFrame.h"
#include "MainStatusBar.h"
#include "QtPrompts.h"
#include "QtSettingsStore.h"
#include "WindowKinds.h"

#include <QApplication>
#include <QStandardPaths>

#include <optional>

namespace kadivo::bench {

// Set before the application exists: the platform and the settings of the test mode.
inline int& OffscreenArguments(int& argc) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    return argc;
}

class OffscreenShell {
public:
    OffscreenShell(int& argc, char** argv, void (*registerKinds)(WindowKinds&), QSize size)
        : application_(OffscreenArguments(argc), argv) {
        LoadShellResources();
        registerKinds(kinds_);
        frame_.emplace(ShellServices{settings_, prompts_, prompts_, kinds_, "."});
        frame_->resize(size);
        frame_->show();
    }

    MainFrame& frame() { return *frame_; }

private:
    QApplication application_;
    QtSettingsStore settings_;
    QtPrompts prompts_;
    WindowKinds kinds_;
    std::optional<MainFrame> frame_;
};

}  // namespace kadivo::bench
