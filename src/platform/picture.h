#pragma once

#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

// The window artwork is drawn from SVG pictures in the resource file (":/art/<name>.svg").
namespace Picture {

QString path(const QString& name);
void paint(QPainter& painter, const QString& name, const QRectF& target);
QPixmap pixmap(const QString& name, const QSize& size);

} // namespace Picture
