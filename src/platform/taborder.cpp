#include "platform/taborder.h"

#include <QWidget>

void setTabOrderByName(QWidget* window, const QStringList& names)
{
    QWidget* previous = nullptr;
    for (const QString& name : names) {
        auto* control = window->findChild<QWidget*>(name);
        Q_ASSERT_X(control != nullptr, "setTabOrderByName", qPrintable(name));
        if (previous != nullptr && control != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}
