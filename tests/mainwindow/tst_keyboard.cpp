#include "calendar/daycell.h"
#include "calendar/monthcalendar.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "mainwindow/mainwindow.h"
#include "platform/picturebutton.h"
#include "storage/entryrecord.h"
#include "support/programwindows.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

QWidget* control(const QWidget* window, const QString& name)
{
    auto* found = window->findChild<QWidget*>(name);
    if (found == nullptr) {
        qWarning("no control %s in %s", qPrintable(name), qPrintable(window->objectName()));
    }
    return found;
}

// The main window over twenty entries, shown and active, with the row selected (-1: none) and the side windows
// opened on it when asked.
struct MainHost : ProgramWindows
{
    MainHost(int row, bool sidesOpen) : ProgramWindows(20)
    {
        window(QStringLiteral("frm0_Inicial"));
        if (row >= 0) {
            list()->setCurrentRow(row);
        }
        if (sidesOpen) {
            QTest::keyClick(list(), Qt::Key_Return);
        }
    }
    QListWidget* list() const { return main()->findChild<QListWidget*>(QStringLiteral("lstLembretes")); }
    bool sidesShown() const
    {
        const SideWindows* sides = main()->sideWindows();
        return sides->isShown() && sides->detailWindow()->isVisible() && sides->updateWindow()->isVisible();
    }
    QString flag() const { return main()->findChild<QLabel*>(QStringLiteral("lblAbreFecha"))->text(); }
};

} // namespace

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
    void keyCommands_data();
    void keyCommands();
    void tabIntoTheListKeepsTheSelection();
    void calendarByKeyboard_data();
    void calendarByKeyboard();
};

void TestKeyboard::sideWindowsAreToolWindowsOfTheMainWindow()
{
    MainHost host(2, true);
    QVERIFY(host.sidesShown());
    for (QWidget* side : {static_cast<QWidget*>(host.main()->sideWindows()->detailWindow()),
                          static_cast<QWidget*>(host.main()->sideWindows()->updateWindow())}) {
        QCOMPARE(side->windowType(), Qt::Tool);
        QVERIFY(side->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(side->parentWidget(), host.main());
        // The desktop learns the owner from the transient parent: above it, and out of the taskbar.
        QCOMPARE(side->windowHandle()->transientParent(), host.main()->windowHandle());
    }
    // Made afresh after a double-click on the main window's surface has closed them, they are owned the same way.
    QTest::mouseDClick(host.main(), Qt::LeftButton, {}, QPoint(150, 22));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!host.main()->sideWindows()->detailWindow());
    QTest::keyClick(host.list(), Qt::Key_Return);
    QCOMPARE(host.main()->sideWindows()->detailWindow()->parentWidget(), host.main());
    QCOMPARE(host.main()->sideWindows()->updateWindow()->windowType(), Qt::Tool);
}

void TestKeyboard::pictureButtonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");

    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 1;
    QTest::newRow("a letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0;
}

void TestKeyboard::pictureButtonKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);

    QWidget window;
    window.resize(100, 100);
    auto* other = new QLineEdit(&window);
    other->setGeometry(0, 60, 80, 20);
    auto* button = new PictureButton(QStringLiteral("imgEscrever"), QStringLiteral("main-write"),
                                     QStringLiteral(" Inserir password "), &window);
    button->setGeometry(10, 10, 36, 50);
    button->setPressedLook(true);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicked(button, &QAbstractButton::clicked);

    // A mouse click presses it but leaves the focus where it was.
    other->setFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.size(), 1);
    QVERIFY(other->hasFocus());
    // Tab reaches it.
    QTest::keyClick(other, Qt::Key_Tab);
    QVERIFY(button->hasFocus());

    const auto keyModifiers = Qt::KeyboardModifiers(modifiers);
    QTest::keyPress(button, Qt::Key(key), keyModifiers);
    // Held down, it sits one pixel lower and further right, and nothing has happened yet.
    QCOMPARE(button->pos(), clicks > 0 ? QPoint(11, 11) : QPoint(10, 10));
    QCOMPARE(clicked.size(), 1);
    QTest::keyRelease(button, Qt::Key(key), keyModifiers);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(clicked.size(), 1 + clicks);

    // The focus leaving while the key is held presses nothing and puts the button back.
    QTest::keyPress(button, Qt::Key(key), keyModifiers);
    other->setFocus();
    QTest::keyRelease(button, Qt::Key(key), keyModifiers);
    QCOMPARE(button->pos(), QPoint(10, 10));
    QCOMPARE(clicked.size(), 1 + clicks);
}

void TestKeyboard::focusMarkShowsOnlyWithTheFocus()
{
    ProgramWindows windows;
    QWidget* main = windows.window(QStringLiteral("frm0_Inicial"));
    QWidget* button = control(main, QStringLiteral("imgEscrever"));
    const QImage resting = button->grab().toImage();
    button->setFocus();
    const QImage focused = button->grab().toImage();
    // Gold dashes on a dark line down the left edge, where the picture itself has neither.
    QStringList edge;
    for (int y = 4; y < 8; ++y) {
        edge.append(focused.pixelColor(0, y).name() + QLatin1Char('/') + resting.pixelColor(0, y).name());
    }
    QCOMPARE(edge.join(QLatin1Char(' ')),
             QStringLiteral("#0d141c/#efefef #0d141c/#efefef #f6d27a/#efefef #f6d27a/#efefef"));
    control(main, QStringLiteral("lstLembretes"))->setFocus();
    QCOMPARE(button->grab().toImage(), resting);

    // A window that opens gives its close button the focus, but only a key shows the mark there.
    QWidget* close = control(windows.window(QStringLiteral("frm5_Sobre")), QStringLiteral("btnFechar"));
    QVERIFY(close->hasFocus());
    QCOMPARE(close->grab().toImage().pixelColor(0, 4).name(), QStringLiteral("#efefef"));
    QTest::keyPress(close, Qt::Key_Space);
    QCOMPARE(close->grab().toImage().pixelColor(0, 4).name(), QStringLiteral("#0d141c"));
}

void TestKeyboard::tabFollowsReadingOrder_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("order");

    // Twenty entries: the back arrow is hidden on the first page, and Tab passes it over.
    QTest::newRow("main") << "frm0_Inicial"
                          << "btnMinimizar btnTray btnFechar txtLogin btnCopyLogin txtSenha btnCopySenha lstLembretes "
                             "imgAvanca btnConfig imgEscrever imgAjuda imgSobre";
    QTest::newRow("login") << "frm0_Logar"
                           << "btnFechar txtLogar btnOk";
    QTest::newRow("new entry") << "frm1_Escrever"
                               << "btnFechar txtTitulo btnCalendario txtLogin txtSenha txtUrl txtDescricao btnOk";
    QTest::newRow("detail") << "frm2_Esquerda"
                            << "btnFechar txtTitulo btnUrl txtUrl txtLogin txtSenha";
    QTest::newRow("update") << "frm3_Direita"
                            << "btnFechar txtDescricao btnCalendario btnOk btnDel";
    QTest::newRow("help") << "frm4_Ajuda"
                          << "btnFechar txtAjuda";
    // The two options are one stop; the arrow keys move between them.
    QTest::newRow("settings") << "frm6_Configurar"
                              << "btnFechar optSim txtSenhaAtual txtNovaSenha txtRepSenha btnOk";
}

void TestKeyboard::tabFollowsReadingOrder()
{
    QFETCH(QString, window);
    QFETCH(QString, order);

    ProgramWindows windows(20);
    QWidget* shown = windows.window(window);
    const QStringList names = order.split(QLatin1Char(' '));
    control(shown, names.first())->setFocus();
    QStringList walked;
    // Round once and back to the start.
    for (qsizetype step = 0; step <= names.size(); ++step) {
        walked.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("-"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, names + QStringList{names.first()});
}

void TestKeyboard::keyCommands_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("sidesOpen");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("modal");
    QTest::addColumn<bool>("sidesOpenAfter");

    const QString unchanged = QStringLiteral("<antes>");
    const QKeySequence ctrlC(Qt::CTRL | Qt::Key_C);
    const QKeySequence ctrlB(Qt::CTRL | Qt::Key_B);
    const QKeySequence escape(Qt::Key_Escape);
    const QKeySequence enter(Qt::Key_Return);
    QTest::newRow("Ctrl+C on the list: the password") << "lstLembretes" << 4 << false << ctrlC << "senha04"
                                                      << "" << false;
    QTest::newRow("Ctrl+B on the list: the login") << "lstLembretes" << 0 << false << ctrlB << "login00"
                                                   << "" << false;
    QTest::newRow("Ctrl+C in the login box: the password") << "txtLogin" << 4 << true << ctrlC << "senha04"
                                                           << "" << true;
    QTest::newRow("Ctrl+B on a picture button") << "btnConfig" << 0 << false << ctrlB << "login00"
                                                << "" << false;
    // As the copy button: with nothing selected the clipboard is emptied of the older text.
    QTest::newRow("Ctrl+C with nothing selected") << "lstLembretes" << -1 << false << ctrlC << ""
                                                  << "" << false;
    QTest::newRow("Ctrl+Shift+C copies nothing")
        << "lstLembretes" << 4 << false << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C) << unchanged << "" << false;
    QTest::newRow("Ctrl+N: a new entry, side windows closed")
        << "lstLembretes" << 4 << true << QKeySequence(Qt::CTRL | Qt::Key_N) << unchanged << "frm1_Escrever" << false;
    QTest::newRow("Escape on the list") << "lstLembretes" << 4 << true << escape << unchanged << "" << false;
    QTest::newRow("Escape in the detail window")
        << "frm2_Esquerda/txtTitulo" << 4 << true << escape << unchanged << "" << false;
    QTest::newRow("Escape in the description")
        << "frm3_Direita/txtDescricao" << 4 << true << escape << unchanged << "" << false;
    QTest::newRow("Escape with them closed changes nothing")
        << "lstLembretes" << 4 << false << escape << unchanged << "" << false;
    // Enter on the list does what a double-click does.
    QTest::newRow("Enter opens") << "lstLembretes" << 3 << false << enter << unchanged << "" << true;
    QTest::newRow("Enter closes") << "lstLembretes" << 3 << true << enter << unchanged << "" << false;
    QTest::newRow("keypad Enter opens") << "lstLembretes" << 3 << false << QKeySequence(Qt::Key_Enter) << unchanged
                                        << "" << true;
    QTest::newRow("Enter on the first row right after start-up")
        << "lstLembretes" << 0 << false << enter << unchanged << "" << true;
    QTest::newRow("Enter with nothing selected") << "lstLembretes" << -1 << false << enter << unchanged << "" << false;
    QTest::newRow("Enter on a picture button presses it")
        << "imgAjuda" << 3 << true << enter << unchanged << "frm4_Ajuda" << true;
}

void TestKeyboard::keyCommands()
{
    QFETCH(QString, focus);
    QFETCH(int, row);
    QFETCH(bool, sidesOpen);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, modal);
    QFETCH(bool, sidesOpenAfter);

    MainHost host(row, sidesOpen);
    host.platform.clipboard = QStringLiteral("<antes>");
    QGuiApplication::clipboard()->setText(QStringLiteral("<antes>"));
    QWidget* target = host.main();
    if (focus.contains(QLatin1Char('/'))) {
        const SideWindows* sides = host.main()->sideWindows();
        target = focus.startsWith(QLatin1String("frm2")) ? static_cast<QWidget*>(sides->detailWindow())
                                                         : static_cast<QWidget*>(sides->updateWindow());
    }
    target = control(target, focus.section(QLatin1Char('/'), -1));
    QString opened;
    QTimer::singleShot(0, this, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = dialog->objectName();
            dialog->close();
        }
    });
    QTest::keySequence(target, keys);
    QCoreApplication::processEvents();

    QCOMPARE(host.platform.clipboard, clipboard);
    // Copies go through the platform, marked secret, never as the list's own copy of the row text.
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("<antes>"));
    QCOMPARE(opened, modal);
    QCOMPARE(host.sidesShown(), sidesOpenAfter);
    QCOMPARE(host.flag(), sidesOpenAfter ? QStringLiteral("X") : QString());
    if (sidesOpenAfter) {
        auto* title = host.main()->sideWindows()->detailWindow()->findChild<QLineEdit*>(QStringLiteral("txtTitulo"));
        QCOMPARE(title->text(), QString::fromLatin1(EntryRecord::field(ProgramWindows::record(row), 0)));
    }
    // The selection stays where it was, even on the first row right after start-up.
    QCOMPARE(host.list()->currentRow(), row);
}

void TestKeyboard::tabIntoTheListKeepsTheSelection()
{
    // Right after start-up a key released on the first row wraps the selection round; the Tab that brings the focus
    // in is pressed elsewhere and must not.
    MainHost host(0, false);
    QWidget* before = control(host.main(), QStringLiteral("btnCopySenha"));
    before->setFocus();
    QTest::keyPress(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), host.list());
    QTest::keyRelease(host.list(), Qt::Key_Tab);
    QCOMPARE(host.list()->currentRow(), 0);
}

void TestKeyboard::calendarByKeyboard_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("date");

    // March 2008 starts on a Saturday; today, the 15th, is where Tab enters the grid.
    QTest::newRow("today") << ""
                           << "15/03/08";
    QTest::newRow("a day on, a week back") << "R U"
                                           << "09/03/08";
    QTest::newRow("the first day stops at the blank before it") << "U U L L"
                                                                << "01/03/08";
    QTest::newRow("the last day stops at the blank after it") << "D D D D R R R"
                                                              << "31/03/08";
}

void TestKeyboard::calendarByKeyboard()
{
    QFETCH(QString, keys);
    QFETCH(QString, date);

    ProgramWindows windows;
    auto* newEntry = static_cast<NewEntryWindow*>(windows.window(QStringLiteral("frm1_Escrever")));
    newEntry->setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 0)); });
    QWidget* calendarButton = control(newEntry, QStringLiteral("btnCalendario"));
    calendarButton->setFocus();
    QTest::keyClick(calendarButton, Qt::Key_Space);
    auto* calendar = newEntry->findChild<MonthCalendar*>();
    QVERIFY(calendar->isShownInWindow());
    // Tab goes through the month buttons into the grid.
    for (int step = 0; step < 4 && !qobject_cast<DayCell*>(QApplication::focusWidget()); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVERIFY(qobject_cast<DayCell*>(QApplication::focusWidget()));
    const QHash<QString, Qt::Key> arrows = {
        {"L", Qt::Key_Left}, {"R", Qt::Key_Right}, {"U", Qt::Key_Up}, {"D", Qt::Key_Down}};
    for (const QString& key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QTest::keyClick(QApplication::focusWidget(), arrows.value(key));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(control(newEntry, QStringLiteral("lblData"))->property("text").toString(), date);
    // The calendar goes, and the focus returns to the button that opened it.
    QVERIFY(!calendar->isShownInWindow());
    QCOMPARE(QApplication::focusWidget(), calendarButton);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
