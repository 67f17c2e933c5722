#pragma once

#include "StartupRules.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace kadivo {

// Closes the splash screen after its time, or at the first key or mouse press anywhere in
// the program, and then runs the start-up action from the event loop, exactly once.
class SplashCloser : public QObject {
public:
    static constexpr int kSplashMilliseconds = 2000;

    SplashCloser(QWidget* splash, QWidget* mainWindow, std::function<void()> startupAction);
    ~SplashCloser() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Close();

    QPointer<QWidget> splash_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> startupAction_;
    SplashGate gate_;
};

}  // namespace kadivo
