#pragma once

#include <QPixmap>
#include <QProxyStyle>

class QStyleOptionSlider;

namespace kadivo {

// A scroll bar's look in the application's style, with its groove drawn once into a picture
// and copied from then on. The frame slider redraws at every frame step, and its groove,
// which looks the same at every position, was most of that drawing: the style fills a
// gradient and blends an outline, which the raster engine hands to its thread pool. The
// picture is drawn again when the bar's size, palette or state changes; styles whose bars
// fade in and out are drawn as they are.
class CachedGrooveStyle : public QProxyStyle {
public:
    CachedGrooveStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

private:
    const QPixmap& Groove(const QStyleOptionSlider& bar, qreal pixelRatio, const QWidget* widget) const;

    mutable QPixmap groove_;
    mutable QString grooveKey_;
};

}  // namespace kadivo
