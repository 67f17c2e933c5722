#include "SplashCloser.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace kadivo {

SplashCloser::SplashCloser(QWidget* splash, QWidget* mainWindow, std::function<void()> startupAction)
    : splash_(splash), mainWindow_(mainWindow), startupAction_(std::move(startupAction)) {
    qApp->installEventFilter(this);
    QTimer::singleShot(kSplashMilliseconds, this, [this] { Close(); });
}

SplashCloser::~SplashCloser() { qApp->removeEventFilter(this); }

bool SplashCloser::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            Close();
            break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

void SplashCloser::Close() {
    if (!gate_.Close()) return;
    qApp->removeEventFilter(this);
    if (splash_) splash_->close();
    if (mainWindow_) mainWindow_->update();
    // The action runs from the event loop, as a posted message would.
    QTimer::singleShot(0, this, startupAction_);
}

}  // namespace kadivo
