#include "support/input.h"
#include "support/programwindows.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/newentrywindow.h"

#include <QListWidget>

// The keyboard outside the main window's own commands: Tab through every window, and the calendar.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void tabFollowsReadingOrder_data();
    void tabFollowsReadingOrder();
    void tabIntoTheListKeepsTheSelection();
    void calendarByKeyboard_data();
    void calendarByKeyboard();
};

void TestKeyboard::tabFollowsReadingOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("order");

    // Twenty entries: the back arrow is hidden on the first page, and Tab passes it over.
    QTest::newRow("main") << "frm0_Inicial"
                          << QStringList{"btnMinimizar", "btnTray",      "btnFechar",    "txtLogin",  "btnCopyLogin",
                                         "txtSenha",     "btnCopySenha", "lstLembretes", "imgAvanca", "btnConfig",
                                         "imgEscrever",  "imgAjuda",     "imgSobre"};
    QTest::newRow("login") << "frm0_Logar" << QStringList{"btnFechar", "txtLogar", "btnOk"};
    QTest::newRow("new entry") << "frm1_Escrever" << QStringList{"btnFechar", "txtTitulo", "btnCalendario", "txtLogin",
                                                                 "txtSenha",  "txtUrl",    "txtDescricao",  "btnOk"};
    QTest::newRow("detail") << "frm2_Esquerda"
                            << QStringList{"btnFechar", "txtTitulo", "btnUrl", "txtUrl", "txtLogin", "txtSenha"};
    QTest::newRow("update") << "frm3_Direita"
                            << QStringList{"btnFechar", "txtDescricao", "btnCalendario", "btnOk", "btnDel"};
    QTest::newRow("help") << "frm4_Ajuda" << QStringList{"btnFechar", "txtAjuda"};
    // The two options are one stop; the arrow keys move between them.
    QTest::newRow("settings") << "frm6_Configurar" << QStringList{"btnFechar",    "optSim",      "txtSenhaAtual",
                                                                  "txtNovaSenha", "txtRepSenha", "btnOk"};
}

void TestKeyboard::tabFollowsReadingOrder()
{
    QFETCH(QString, window);
    QFETCH(QStringList, order);

    ProgramWindows windows(20);
    QWidget* shown = windows.window(window);
    shown->findChild<QWidget*>(order.first())->setFocus();
    QStringList walked;
    // Round once and back to the start.
    for (qsizetype step = 0; step <= order.size(); ++step) {
        walked.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("-"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, order + QStringList{order.first()});
}

void TestKeyboard::tabIntoTheListKeepsTheSelection()
{
    // Just after start-up a key released on the first row moves the selection round to the last; the Tab that
    // brings the focus in is pressed elsewhere and must not.
    ProgramWindows windows(20);
    QWidget* main = windows.window(QStringLiteral("frm0_Inicial"));
    auto* list = child<QListWidget>(main, "lstLembretes");
    list->setCurrentRow(0);
    QWidget* before = child(main, "btnCopySenha");
    before->setFocus();
    QTest::keyPress(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyRelease(list, Qt::Key_Tab);
    QCOMPARE(list->currentRow(), 0);
}

void TestKeyboard::calendarByKeyboard_data()
{
    QTest::addColumn<QList<Qt::Key>>("keys");
    QTest::addColumn<QString>("date");

    // March 2008 starts on a Saturday; today, the 15th, is where Tab enters the grid.
    QTest::newRow("today") << QList<Qt::Key>{} << "15/03/08";
    QTest::newRow("a day on, a week back") << QList<Qt::Key>{Qt::Key_Right, Qt::Key_Up} << "09/03/08";
    QTest::newRow("the first day stops at the blank before it")
        << QList<Qt::Key>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Left} << "01/03/08";
    QTest::newRow("the last day stops at the blank after it")
        << QList<Qt::Key>{Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Down, Qt::Key_Down,
                          Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}
        << "31/03/08";
}

void TestKeyboard::calendarByKeyboard()
{
    QFETCH(QList<Qt::Key>, keys);
    QFETCH(QString, date);

    ProgramWindows windows;
    auto* newEntry = static_cast<NewEntryWindow*>(windows.window(QStringLiteral("frm1_Escrever")));
    newEntry->setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 0)); });
    QWidget* calendarButton = child(newEntry, "btnCalendario");
    calendarButton->setFocus();
    QTest::keyClick(calendarButton, Qt::Key_Space);
    auto* calendar = newEntry->findChild<MonthCalendar*>();
    QVERIFY(calendar->isShownInWindow());
    // Tab goes through the month buttons into the grid.
    for (int step = 0; step < 4 && !qobject_cast<DayCell*>(QApplication::focusWidget()); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(qobject_cast<DayCell*>(QApplication::focusWidget()));
    for (const Qt::Key key : keys) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(textOf(child(newEntry, "lblData")), date);
    // The calendar goes, and the focus returns to the button that opened it.
    QVERIFY(!calendar->isShownInWindow());
    QCOMPARE(QApplication::focusWidget(), calendarButton);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
