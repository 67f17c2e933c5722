#include "CachedGrooveStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace kadivo {

CachedGrooveStyle::CachedGrooveStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void CachedGrooveStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                           const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar || !(bar->subControls & SC_ScrollBarGroove) ||
        styleHint(SH_ScrollBar_Transient, option, widget)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // The style draws the groove first, over the whole bar, and the rest over it.
    painter->drawPixmap(bar->rect.topLeft(), Groove(*bar, painter->device()->devicePixelRatio(), widget));
    QStyleOptionSlider rest = *bar;
    rest.subControls &= ~SC_ScrollBarGroove;
    QProxyStyle::drawComplexControl(control, &rest, painter, widget);
}

const QPixmap& CachedGrooveStyle::Groove(const QStyleOptionSlider& bar, qreal pixelRatio, const QWidget* widget) const {
    const QString key = QString("%1x%2@%3 %4 %5 %6 %7 %8")
                            .arg(bar.rect.width())
                            .arg(bar.rect.height())
                            .arg(pixelRatio)
                            .arg(static_cast<int>(bar.orientation))
                            .arg(static_cast<int>(bar.state))
                            .arg(static_cast<int>(bar.activeSubControls))
                            .arg(static_cast<int>(bar.direction))
                            .arg(bar.palette.cacheKey());
    if (key == grooveKey_) return groove_;
    groove_ = QPixmap(bar.rect.size() * pixelRatio);
    groove_.setDevicePixelRatio(pixelRatio);
    groove_.fill(Qt::transparent);
    QStyleOptionSlider groove = bar;
    groove.rect = QRect(QPoint(0, 0), bar.rect.size());
    groove.subControls = SC_ScrollBarGroove;
    QPainter painter(&groove_);
    QProxyStyle::drawComplexControl(CC_ScrollBar, &groove, &painter, widget);
    grooveKey_ = key;
    return groove_;
}

}  // namespace kadivo
