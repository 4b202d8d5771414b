#include "support/programwindows.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

class TestAccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void everyControlIsNamed();
};

// A screen reader names every control the user can press, type into or read from in every window; a picture button
// by its tool tip's words.
void TestAccessibleNames::everyControlIsNamed()
{
    ProgramWindows windows;
    for (const QString& windowName : ProgramWindows::windowNames()) {
        for (QWidget* widget : windows.window(windowName)->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QAbstractButton*>(widget);
            if (!button && !qobject_cast<QLineEdit*>(widget) && !qobject_cast<QPlainTextEdit*>(widget) &&
                !qobject_cast<QAbstractItemView*>(widget)) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
            const QString where = windowName + QLatin1Char('/') + widget->objectName();
            QVERIFY2(!name.isEmpty(), qPrintable(where));
            if (button && !button->toolTip().isEmpty()) {
                QCOMPARE(name, button->toolTip().trimmed());
            }
        }
    }
}

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
