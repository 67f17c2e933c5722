#include "Icons.h"

#include <QCoreApplication>
#include <QFile>
#include <QIconEngine>

#include <algorithm>

// The resources of a static library are registered by hand.
static void RegisterShellResources() { Q_INIT_RESOURCE(shell); }

namespace kadivo {

namespace {

// An icon that reads its drawing when it is first shown. Most commands' icons are seen only
// when a menu opens; reading every drawing while the main window is built takes longer than
// building the rest of it.
class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(QString path) : path_(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    // A menu lays out its items, with their icons' sizes, as soon as it is resized, which
    // the first grab of the main window does to every menu. Every command's drawing is
    // square, so the size it fills is known without reading it.
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (loaded_) return icon_.actualSize(size, mode, state);
        const int side = std::min(size.width(), size.height());
        return side > 0 ? QSize(side, side) : QSize();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return Icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override { return Icon().availableSizes(mode, state); }
    bool isNull() override { return loaded_ ? icon_.isNull() : !QFile::exists(path_); }
    QString key() const override { return QStringLiteral("KadivoDeferredIcon"); }
    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& Icon() {
        if (!loaded_) {
            icon_ = QIcon(path_);
            loaded_ = true;
        }
        return icon_;
    }

    QString path_;
    QIcon icon_;
    bool loaded_ = false;
};

// Every QIcon made from the file reads and draws the drawing again; the program and each of
// its windows share one, until the application ends.
QIcon* sharedProgramIcon = nullptr;

void ForgetProgramIcon() {
    delete sharedProgramIcon;
    sharedProgramIcon = nullptr;
}

}  // namespace

void LoadShellResources() {
    static const bool loaded = (RegisterShellResources(), true);
    (void)loaded;
}

QIcon CommandIcon(CommandId id) {
    const std::string_view name = Command(id).icon;
    if (name.empty()) return {};
    return QIcon(new DeferredIconEngine(QStringLiteral(":/icons/") +
                                        QString::fromUtf8(name.data(), static_cast<int>(name.size())) + ".svg"));
}

QIcon ProgramIcon() {
    if (!sharedProgramIcon) {
        sharedProgramIcon = new QIcon(QStringLiteral(":/icons/kadivo.svg"));
        qAddPostRoutine(ForgetProgramIcon);
    }
    return *sharedProgramIcon;
}

}  // namespace kadivo
