#include "support/input.h"
#include "support/programwindows.h"

#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "platform/picturebutton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QWindow>

// The keyboard outside the main window's own commands: Tab through every window, picture buttons, the focus mark,
// the calendar.
class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void sideWindowsAreToolWindowsOfTheMainWindow();
    void pictureButtonKeys_data();
    void pictureButtonKeys();
    void focusMarkShowsOnlyWithTheFocus();
    void tabFollowsReadingOrder_data();
    void tabFollowsReadingOrder();
    void tabIntoTheListKeepsTheSelection();
    void calendarByKeyboard_data();
    void calendarByKeyboard();
};

void TestKeyboard::sideWindowsAreToolWindowsOfTheMainWindow()
{
    ProgramWindows windows;
    MainWindow* main = windows.main();
    for (const char* name : {"frm2_Esquerda", "frm3_Direita", "frm2_Esquerda"}) {
        QWidget* side = windows.window(QString::fromLatin1(name));
        QCOMPARE(side->windowType(), Qt::Tool);
        QVERIFY(side->windowFlags().testFlag(Qt::FramelessWindowHint));
        // The desktop learns the owner from the transient parent: above it, and out of the taskbar.
        QCOMPARE(side->windowHandle()->transientParent(), main->windowHandle());
        // Made afresh after a double-click on the main window's surface has closed them, they are owned the same way.
        QTest::mouseDClick(main, Qt::LeftButton, {}, QPoint(150, 22));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->sideWindows()->detailWindow());
    }
}

void TestKeyboard::pictureButtonKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("clicks");

    QTest::newRow("Space presses it") << Qt::Key_Space << Qt::KeyboardModifiers() << 1;
    QTest::newRow("Enter presses it") << Qt::Key_Return << Qt::KeyboardModifiers() << 1;
    QTest::newRow("keypad Enter presses it") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
    QTest::newRow("Shift+Enter presses it") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1;
    QTest::newRow("a letter does not") << Qt::Key_A << Qt::KeyboardModifiers() << 0;
}

void TestKeyboard::pictureButtonKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, clicks);

    QWidget window;
    window.resize(100, 100);
    auto* other = new QLineEdit(&window);
    other->setGeometry(0, 60, 80, 20);
    auto* button = new PictureButton(QStringLiteral("imgEscrever"), QStringLiteral("main-write"), QString(), &window);
    button->setGeometry(10, 10, 36, 50);
    button->setPressedLook(true);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    // A mouse click presses it but leaves the focus where it was; Tab reaches it.
    other->setFocus();
    click(button);
    QCOMPARE(clicked.size(), 1);
    QVERIFY(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Tab);
    QVERIFY(button->hasFocus());

    // Held down, it sits one pixel lower and further right, and nothing has happened yet.
    QTest::keyPress(button, key, modifiers);
    QCOMPARE(button->pos(), clicks > 0 ? QPoint(11, 11) : QPoint(10, 10));
    QCOMPARE(clicked.size(), 1);
    QTest::keyRelease(button, key, modifiers);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(clicked.size(), 1 + clicks);

    // The focus leaving while the key is held presses nothing and puts the button back.
    QTest::keyPress(button, key, modifiers);
    other->setFocus();
    QTest::keyRelease(button, key, modifiers);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(clicked.size(), 1 + clicks);
}

void TestKeyboard::focusMarkShowsOnlyWithTheFocus()
{
    ProgramWindows windows;
    QWidget* main = windows.window(QStringLiteral("frm0_Inicial"));
    QWidget* button = child(main, "imgEscrever");
    const QImage resting = button->grab().toImage();
    button->setFocus();
    QVERIFY(button->grab().toImage() != resting);
    child(main, "lstLembretes")->setFocus();
    QCOMPARE(button->grab().toImage(), resting);

    // A window that opens gives its close button the focus, but only a key shows the mark there.
    QWidget* close = child(windows.window(QStringLiteral("frm5_Sobre")), "btnFechar");
    QVERIFY(close->hasFocus());
    const QImage unmarked = close->grab().toImage();
    QTest::keyPress(close, Qt::Key_Space);
    QVERIFY(close->grab().toImage() != unmarked);
}

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
