#include "DrawnPicture.h"

#include <QBackingStore>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace kadivo {

namespace {

bool ShowsOpenGl(const QWidget& window) {
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    return std::any_of(widgets.begin(), widgets.end(),
                       [](const QWidget* w) { return w->inherits("QOpenGLWidget") && w->isVisible(); });
}

// The window's pixels in its backing store, shared, not copied: valid until the window
// draws again. Null when they cannot be read there.
QImage BackingStorePixels(QWidget& window) {
    QBackingStore* store = window.backingStore();
    QPaintDevice* device = store && window.isVisible() && !ShowsOpenGl(window) ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return {};
    const QImage& drawn = *static_cast<const QImage*>(device);
    const QRect area(QPoint(0, 0), (QSizeF(window.size()) * window.devicePixelRatio()).toSize());
    if (drawn.isNull() || !drawn.rect().contains(area)) return {};
    return QImage(drawn.constBits(), area.width(), area.height(), drawn.bytesPerLine(), drawn.format());
}

}  // namespace

bool SaveDrawnPicture(QWidget& window, const QString& path, const char* format) {
    const QImage pixels = BackingStorePixels(window);
    return pixels.isNull() ? window.grab().save(path, format) : pixels.save(path, format);
}

}  // namespace kadivo
