#include "access/roundedoutline.h"

#include <QPainterPath>

namespace {

constexpr qreal cornerRadius = 12;

} // namespace

QPolygon roundedOutline(const QSize& size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), cornerRadius, cornerRadius);
    return path.toFillPolygon().toPolygon();
}
