#include "DrawnPicture.h"

#include <QBackingStore>
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

}  // namespace

QImage DrawnPicture(QWidget& window) {
    QBackingStore* store = window.backingStore();
    QPaintDevice* device = store && window.isVisible() && !ShowsOpenGl(window) ? store->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image) {
        const QImage& drawn = *static_cast<const QImage*>(device);
        const QRect area(QPoint(0, 0), (QSizeF(window.size()) * window.devicePixelRatio()).toSize());
        if (!drawn.isNull() && drawn.rect().contains(area)) return drawn.copy(area);
    }
    return window.grab().toImage();
}

}  // namespace kadivo
