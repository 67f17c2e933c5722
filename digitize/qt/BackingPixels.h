#pragma once

#include "ScreenZoom.h"

#include <QPoint>
#include <QRect>

#include <optional>

class QPainter;

namespace kadivo {

// The pixels of the window's backing store under `area` of the widget a painter paints (in
// the widget's coordinates), when a picture may be written there instead of drawn: the
// painter paints the window's own backing store (not a grab or a render of the widget), a
// 32-bit raster image, one device pixel per pixel, moved and neither scaled nor clipped by
// itself, and the part of `area` being painted is one rectangle. Opaque 0xffRRGGBB words
// written there then show as an opaque image drawn at `area` would (where the screen shows
// it). Otherwise (a printer, a scaled screen, a window over the middle of the area, nothing
// of it painted) none.
struct BackingPart {
    ScreenPixels pixels;
    QPoint at;  // where the pixels lie in `area`
};
std::optional<BackingPart> BackingPixelsUnder(QPainter& painter, const QRect& area);

}  // namespace kadivo
