#include "access/skin.h"

#include "platform/picture.h"

#include <QLabel>

namespace Skin {

QString styleSheet()
{
    return QStringLiteral("QWidget { font-family: 'DejaVu Sans'; }"
                          "QLineEdit { background: #fffdf7; color: #2a2a2a; border: 1px solid #8a7a55;"
                          "  border-radius: 4px; padding: 1px 6px; font-size: 13px;"
                          "  lineedit-password-character: 42; selection-background-color: #c88a1e; }"
                          "QLineEdit:focus { border: 1px solid #c88a1e; }"
                          "QToolTip { color: #2a2a2a; background: #f4efe3; border: 1px solid #c88a1e;"
                          "  padding: 2px; font-size: 11px; }");
}

QLabel* addLabel(const QString& name, const QString& text, const QRect& place, QWidget* window)
{
    auto* label = new QLabel(text, window);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLabel* addPicture(const QString& name, const QString& picture, const QRect& place, QWidget* window)
{
    QLabel* label = addLabel(name, {}, place, window);
    const qreal ratio = window->devicePixelRatioF();
    QPixmap pixmap = Picture::pixmap(picture, (QSizeF(place.size()) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
    return label;
}

} // namespace Skin
