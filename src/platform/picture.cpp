#include "platform/picture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace Picture {

QString path(const QString& name)
{
    return QStringLiteral(":/art/%1.svg").arg(name);
}

void paint(QPainter& painter, const QString& name, const QRectF& target)
{
    QSvgRenderer renderer(path(name));
    renderer.render(&painter, target);
}

QPixmap pixmap(const QString& name, const QSize& size)
{
    QPixmap result(size);
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, name, QRectF(QPointF(0, 0), QSizeF(size)));
    return result;
}

} // namespace Picture
