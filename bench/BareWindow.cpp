// The start-up benchmark's peer: a bare Qt program that shows an empty QMainWindow and, once
// it is on the screen, saves a picture of it and quits — what `kadivo --screenshot` does.

#include <QApplication>
#include <QBackingStore>
#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QTimer>
#include <QWindow>

namespace {

// Saves the picture at the first expose event that finds the window on the screen.
class Screenshot : public QObject {
public:
    Screenshot(QMainWindow& window, QString path) : window_(window), path_(std::move(path)) {
        window.windowHandle()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !done_)
            QTimer::singleShot(0, this, [this] {
                if (done_ || !window_.windowHandle()->isExposed()) return;
                done_ = true;
                QApplication::exit(SaveDrawnPicture() ? 0 : 1);
            });
        return QObject::eventFilter(watched, event);
    }

private:
    // Saves what its drawing left in the backing store, as `kadivo --screenshot` does.
    bool SaveDrawnPicture() const {
        QPaintDevice* device = window_.backingStore()->paintDevice();
        const QSize size = (QSizeF(window_.size()) * window_.devicePixelRatio()).toSize();
        if (!device || device->devType() != QInternal::Image ||
            !static_cast<const QImage*>(device)->rect().contains(QRect(QPoint(0, 0), size)))
            return window_.grab().save(path_, "PNG");
        const QImage& drawn = *static_cast<const QImage*>(device);
        return QImage(drawn.constBits(), size.width(), size.height(), drawn.bytesPerLine(), drawn.format()).save(path_, "PNG");
    }

    QMainWindow& window_;
    QString path_;
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3 || QString(argv[1]) != "--screenshot") return 2;
    QMainWindow window;
    window.resize(1100, 760);
    window.show();
    Screenshot screenshot(window, argv[2]);
    return QApplication::exec();
}
