#include "accessibility/accessibility.h"

#include "accessibility/daycellaccessible.h"
#include "calendar/daycell.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>

namespace {

QAccessibleInterface* programInterface(const QString& className, QObject* object)
{
    if (auto* cell = qobject_cast<DayCell*>(object); cell != nullptr && className == QLatin1String("DayCell")) {
        return new DayCellAccessible(cell);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    // Only the program's own windows made straight from QWidget; Qt's classes (menus, tool tips) keep their own.
    const QMetaObject* type = object->metaObject();
    if (widget != nullptr && widget->isWindow() && className == QLatin1String(type->className()) &&
        !className.startsWith(QLatin1Char('Q')) && type->superClass() == &QWidget::staticMetaObject) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

// A tool tip padded with spaces for the screen is read as the control's description without them.
class DescriptionTrimmer : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ToolTipChange && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            widget->setAccessibleDescription(widget->toolTip().trimmed());
        }
        return false;
    }
};

} // namespace

namespace Accessibility {

void install()
{
    QAccessible::installFactory(programInterface);
    qApp->installEventFilter(new DescriptionTrimmer(qApp));
}

} // namespace Accessibility
