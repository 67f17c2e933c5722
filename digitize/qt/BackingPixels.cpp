#include "BackingPixels.h"

#include <QBackingStore>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <cmath>

namespace kadivo {

std::optional<BackingPart> BackingPixelsUnder(QPainter& painter, const QRect& area) {
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || painter.hasClipping() || area.isEmpty()) return std::nullopt;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return std::nullopt;
    // Only the window's own backing store: a grab or a render paints a picture of its own.
    const QPaintDevice* painted = painter.device();
    QBackingStore* store =
        painted && painted->devType() == QInternal::Widget ? static_cast<const QWidget*>(painted)->backingStore() : nullptr;
    if (!store || store->paintDevice() != device) return std::nullopt;
    const auto& image = *static_cast<const QImage*>(device);
    if ((image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied) ||
        image.devicePixelRatio() != 1.0)
        return std::nullopt;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() != QTransform::TxNone && transform.type() != QTransform::TxTranslate) return std::nullopt;
    if (transform.dx() != std::floor(transform.dx()) || transform.dy() != std::floor(transform.dy())) return std::nullopt;
    const QPoint offset(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    QRegion shown = QRegion(area.translated(offset)) & QRegion(image.rect());
    if (const QRegion clip = engine->systemClip(); !clip.isEmpty()) shown &= clip;
    if (shown.rectCount() != 1) return std::nullopt;
    const QRect part = shown.boundingRect();
    // The engine has the image to itself while it paints: its words are written in place,
    // where bits() would copy a shared image.
    const auto wordsPerRow = static_cast<std::ptrdiff_t>(image.bytesPerLine() / 4);
    auto* origin = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image.constBits()));
    return BackingPart{{origin + part.y() * wordsPerRow + part.x(), part.width(), part.height(), wordsPerRow},
                       part.topLeft() - offset - area.topLeft()};
}

}  // namespace kadivo
