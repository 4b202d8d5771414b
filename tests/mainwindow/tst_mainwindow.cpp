#include "support/drawntext.h"
#include "support/mainwindowhost.h"
#include "support/programwindows.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "mainwindow/program.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimer>

namespace {

// "Conta 00", "Conta 01", … with the logins "login00", "login01", …
QList<QByteArray> numbered(int count)
{
    QList<QByteArray> records;
    for (int number = 0; number < count; ++number) {
        records.append(ProgramWindows::record(number));
    }
    return records;
}

// What the user does on the list, step by step: click a row (0 to 14), press a key on the list, or click an arrow.
constexpr int Down = Qt::Key_Down, Up = Qt::Key_Up, End = Qt::Key_End, Shift = Qt::Key_Shift, Forward = -1, Back = -2;
using Steps = QList<int>;
int row(int row)
{
    return row;
}

void run(const MainWindowHost& host, const Steps& steps)
{
    for (const int step : steps) {
        if (step == Forward || step == Back) {
            click(host.child(step == Forward ? "imgAvanca" : "imgRetorna"));
        } else if (step < ListPager::pageSize) {
            host.clickRow(step);
        } else {
            QTest::keyClick(host.list(), Qt::Key(step));
        }
    }
}

// Closes the modal window that opens next, after noting its object name and place.
void closeNextModal(QObject* context, QString& name, QPoint& place)
{
    QTimer::singleShot(0, context, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            name = modal->objectName();
            place = modal->pos();
            modal->close();
        }
    });
}

bool sidesShown(const MainWindowHost& host)
{
    const SideWindows* sides = host.window->sideWindows();
    const bool shown = sides->isShown() && sides->detailWindow()->isVisible() && sides->updateWindow()->isVisible();
    return shown && host.window->state().sideWindowsOpen;
}

// A point on the window's own surface, clear of every control.
const QPoint background(150, 22);

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void paging_data();
    void paging();
    void hiddenLabelsShowTheState();
    void rowsShowWhatIsStored();
    void selectionFillsBoxesAndSideWindows();
    void keyCommands_data();
    void keyCommands();
    void vaultChangeShowsTheFirstPage();
    void sideWindowsGoWithTheMainWindow();
    void windowButtons_data();
    void windowButtons();
    void tabFollowsReadingOrder();
    void programStart_data();
    void programStart();
};

void TestMainWindow::paging_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("selected");

    const auto add = [](const char* name, int count, const Steps& steps, int page, int rows, int selected) {
        QTest::newRow(name) << count << steps << page << rows << selected;
    };
    add("Down on the last row of a page turns to the next", 30, {row(14), Down}, 2, 15, 0);
    add("Down on the last row of the last page stays", 30, {Forward, row(14), Down}, 2, 15, 14);
    add("Down on the lone row of a last page stays", 16, {Forward, row(0), Down}, 2, 1, 0);
    add("Down from the last but one row moves in the page, then turns", 45, {row(13), Down, Down, Down}, 2, 15, 1);
    add("Down turns after the row-1 marker went below zero", 45,
        {Forward, row(1), Back, Forward, Forward, row(1), Back, Back, row(14), Down}, 2, 15, 0);
    add("Up through row 1 stops on the first row of the first page", 30, {row(3), Up, Up, Up, Up}, 1, 15, 0);
    add("Up from row 2 of page 2 turns back to the last row", 30, {Forward, row(2), Up, Up, Up}, 1, 15, 14);
    add("Up on the first row of page 3 shows the last row of page 2", 45, {Forward, Forward, row(0), Up}, 2, 15, 14);
    add("The back arrow shows the whole first page again", 16, {Forward, Back}, 1, 15, -1);
    add("Just after start-up, Up on the first row moves round to the last", 30, {row(0), Up}, 1, 15, 14);
    add("Just after start-up, on a short page too", 5, {row(0), Up}, 1, 5, 4);
    add("Just after start-up, the first Down lands on the last row", 30, {Down}, 1, 15, 14);
    add("Just after start-up, Shift selects nothing", 20, {Shift}, 1, 15, -1);
    add("After row 1 was selected, Up on the first row stays", 30, {row(1), Up, Up}, 1, 15, 0);
    add("After a page turn, the first row stays", 45, {Forward, row(1), Up}, 2, 15, 0);
    add("After turning forward and back, the first row stays", 20, {Forward, Back, row(0), Up}, 1, 15, 0);
    add("An empty list: keys change nothing", 0, {Down, Up, End}, 1, 0, -1);
}

void TestMainWindow::paging()
{
    QFETCH(int, count);
    QFETCH(Steps, steps);
    QFETCH(int, page);
    QFETCH(int, rows);
    QFETCH(int, selected);

    MainWindowHost host(numbered(count));
    run(host, steps);
    QCOMPARE(textOf(host.child("lblPagina")) + " " + textOf(host.child("lblTotalLembretes")),
             QStringLiteral("%1 %2").arg(page).arg(count));
    QCOMPARE(host.list()->count(), rows);
    QCOMPARE(host.list()->currentRow(), selected);
    // Pages of fifteen: row r of page p is entry 15 (p - 1) + r.
    const QByteArray entry = ProgramWindows::record(15 * (page - 1) + selected);
    QCOMPARE(textOf(host.child("txtLogin")), selected < 0 ? QString() : EntryRecord::field(entry, EntryRecord::Login));
    // The back arrow shows on every page but the first, the forward arrow on every page but the last.
    QCOMPARE(host.child("imgRetorna")->isVisible(), page > 1);
    QCOMPARE(host.child("imgAvanca")->isVisible(), 15 * page < count);
}

void TestMainWindow::hiddenLabelsShowTheState()
{
    // Other programs read the window's state from these labels.
    MainWindowHost host(numbered(45));
    const auto labels = [&host] {
        QStringList texts;
        for (const char* name : {"lblInicioRetorna", "lblInicioAvanca", "lblSetaMais", "lblSetaMenos", "lblListIndex",
                                 "lblAbreFecha", "lblChaveConfig", "lblSenhaInicial", "lblUsaSenha"}) {
            texts.append(textOf(host.child(name)));
        }
        return texts;
    };
    const QString key = QString::fromLatin1(host.vault.settings().installationKey);
    QCOMPARE(labels(), (QStringList{"0", "15", "0", "0", "", "", key, "8046", "Não"}));
    run(host, {Forward, row(1)});
    host.doubleClickRow(1);
    QCOMPARE(labels(), (QStringList{"14", "30", "1", "1", "16", "X", key, "8046", "Não"}));
    QVERIFY(host.vault.saveSettings("nova#1", true).ok());
    run(host, {Forward, row(4)});
    QCOMPARE(labels(), (QStringList{"29", "0", "4", "2", "34", "X", key, "nova#1", "Sim"}));
}

void TestMainWindow::rowsShowWhatIsStored()
{
    // Garbage read under the wrong key, and a title holding tabs, as another program may have stored it: each row
    // shows all of it, tabs as spaces, and selecting it shows its own entry's login.
    MainWindowHost host({entryRecord("Conta", "----/----/----", "26.01.02.03.04.05", "jose"), "lixo",
                         entryRecord("Zeta\t\t\t\t1", "01/01/30", "26.01.02.03.04.05", "maria")});
    QCOMPARE(drawnStrings(host.list()->viewport()),
             (QStringList{"----/----/----", "Conta", "lixo", "lixo", "01/01/30", "Zeta    1"}));
    host.clickRow(2);
    QCOMPARE(textOf(host.child("txtLogin")), QStringLiteral("maria"));
    host.clickRow(1);
    QCOMPARE(host.window->state().listIndex, 1);
    QCOMPARE(textOf(host.child("txtLogin")), QString());
}

void TestMainWindow::selectionFillsBoxesAndSideWindows()
{
    // Sorted after the twenty "Conta" entries, so it is row 5 of page 2.
    MainWindowHost host(numbered(20) + QList<QByteArray>{entryRecord("Zebra", "----/----/----", "26.01.02.03.04.05",
                                                                     "josé@exemplo", "São-Paulo!")});
    SideWindows* sides = host.window->sideWindows();
    run(host, {Forward, row(5)});
    QCOMPARE(textOf(host.child("txtLogin")), QStringLiteral("josé@exemplo"));
    QCOMPARE(textOf(host.child("txtSenha")), QStringLiteral("São-Paulo!"));
    // The side windows are filled while still hidden.
    QVERIFY(!sides->detailWindow()->isVisible() && !sides->updateWindow()->isVisible());
    QCOMPARE(textOf(child(sides->detailWindow(), "txtTitulo")), QStringLiteral("Zebra"));
    // A double-click on a row shows them, the next hides them, one on the window's background hides them.
    host.doubleClickRow(5);
    QVERIFY(sidesShown(host));
    host.doubleClickRow(0);
    QVERIFY(!sides->detailWindow()->isVisible() && !sides->updateWindow()->isVisible());
    host.doubleClickRow(1);
    QTest::mouseDClick(host.window.get(), Qt::LeftButton, {}, background);
    QVERIFY(!sides->isShown() && !host.window->state().sideWindowsOpen);
}

void TestMainWindow::keyCommands_data()
{
    QTest::addColumn<QByteArray>("focus");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("sidesOpen");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("modal");
    QTest::addColumn<bool>("sidesOpenAfter");

    const QString unchanged = QStringLiteral("<antes>");
    const auto add = [](const char* name, const char* focus, int row, bool sidesOpen, const char* keys,
                        const QString& clipboard, const char* modal, bool sidesOpenAfter) {
        QTest::newRow(name) << QByteArray(focus) << row << sidesOpen << QString(keys) << clipboard << QString(modal)
                            << sidesOpenAfter;
    };
    add("Ctrl+C on the list copies the password", "lstLembretes", 4, false, "Ctrl+C", "senha04", "", false);
    add("Ctrl+B on the list copies the login", "lstLembretes", 0, false, "Ctrl+B", "login00", "", false);
    add("Ctrl+C in the login box copies the password", "txtLogin", 4, true, "Ctrl+C", "senha04", "", true);
    add("Ctrl+C with nothing selected empties the clipboard", "lstLembretes", -1, false, "Ctrl+C", "", "", false);
    add("Ctrl+N opens a new entry", "lstLembretes", 4, true, "Ctrl+N", unchanged, "frm1_Escrever", false);
    add("Escape on the list closes the side windows", "lstLembretes", 4, true, "Esc", unchanged, "", false);
    add("Escape in the detail window closes them", "frm2_Esquerda", 4, true, "Esc", unchanged, "", false);
    add("Escape with them closed changes nothing", "lstLembretes", 4, false, "Esc", unchanged, "", false);
    add("Enter on the list opens them", "lstLembretes", 3, false, "Return", unchanged, "", true);
    add("Keypad Enter on the list closes them", "lstLembretes", 3, true, "Enter", unchanged, "", false);
    add("Enter on the first row at start-up opens them", "lstLembretes", 0, false, "Return", unchanged, "", true);
    add("Enter on a picture button presses it", "imgAjuda", 3, true, "Return", unchanged, "frm4_Ajuda", true);
}

void TestMainWindow::keyCommands()
{
    QFETCH(QByteArray, focus);
    QFETCH(int, row);
    QFETCH(bool, sidesOpen);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, modal);
    QFETCH(bool, sidesOpenAfter);

    MainWindowHost host(numbered(20));
    host.list()->setCurrentRow(row);
    if (sidesOpen) {
        QTest::keyClick(host.list(), Qt::Key_Return);
    }
    QWidget* detail = host.window->sideWindows()->detailWindow();
    QWidget* target = focus == "frm2_Esquerda" ? child(detail, "txtTitulo") : host.child(focus.constData());
    host.platform.clipboard = QStringLiteral("<antes>");
    QApplication::clipboard()->setText(QStringLiteral("<antes>"));
    QString opened;
    QPoint place;
    closeNextModal(this, opened, place);
    QTest::keySequence(target, QKeySequence(keys));
    QCoreApplication::processEvents();

    QCOMPARE(host.platform.clipboard, clipboard);
    // Copies go through the platform, marked secret, never as the list's own copy of the row text.
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("<antes>"));
    QCOMPARE(opened, modal);
    QCOMPARE(sidesShown(host), sidesOpenAfter);
    // The selection stays where it was, even on the first row just after start-up.
    QCOMPARE(host.list()->currentRow(), row);
}

void TestMainWindow::vaultChangeShowsTheFirstPage()
{
    MainWindowHost host(numbered(30));
    run(host, {Forward, row(3)});
    QVERIFY(host.vault.addEntry(ProgramWindows::record(30)).ok());
    // What was selected may have moved: nothing is selected any more.
    QCOMPARE(textOf(host.child("lblPagina")) + " " + textOf(host.child("lblTotalLembretes")), QStringLiteral("1 31"));
    QCOMPARE(textOf(host.child("txtLogin")), QString());
    QCOMPARE(host.window->state().listIndex, -1);
}

void TestMainWindow::sideWindowsGoWithTheMainWindow()
{
    MainWindowHost host(numbered(3));
    host.doubleClickRow(0);
    MainWindow* window = host.window.get();
    window->move(150, 100);
    // Dragged by its surface to 3000 by 2000 twips: the side windows stand 300 and 7530 twips left, 2850 down.
    QTest::mousePress(window, Qt::LeftButton, {}, background);
    QTest::mouseMove(window, background + QPoint(50, 33));
    QTest::mouseRelease(window, Qt::LeftButton, {}, background + QPoint(50, 33));
    QCOMPARE(window->pos(), QPoint(200, 133));
    QCOMPARE(window->sideWindows()->detailWindow()->pos(), QPoint(20, 190));
    QCOMPARE(window->sideWindows()->updateWindow()->pos(), QPoint(502, 190));
    // Their notices show in the main window.
    emit window->sideWindows()->noticeRequested(QStringLiteral("O título não pode ficar vazio!"));
    QVERIFY(host.child("lblAviso")->isVisible());
    QCOMPARE(textOf(host.child("lblAviso")), QStringLiteral("O título não pode ficar vazio!"));
}

void TestMainWindow::windowButtons_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("trayAvailable");
    // The modal window it opens, whether the side windows stay open, and the main window's state after.
    QTest::addColumn<QString>("modal");
    QTest::addColumn<bool>("sidesOpenAfter");
    QTest::addColumn<QString>("after");

    QTest::newRow("settings") << QByteArray("btnConfig") << true << "frm6_Configurar" << false << "shown";
    QTest::newRow("new entry") << QByteArray("imgEscrever") << true << "frm1_Escrever" << false << "shown";
    QTest::newRow("help") << QByteArray("imgAjuda") << true << "frm4_Ajuda" << true << "shown";
    QTest::newRow("minimise") << QByteArray("btnMinimizar") << true << "" << false << "minimised";
    QTest::newRow("to the tray") << QByteArray("btnTray") << true << "" << false << "in the tray";
    // Without a notification area the window could never come back: it is minimised instead.
    QTest::newRow("to the tray, with none") << QByteArray("btnTray") << false << "" << false << "minimised";
    QTest::newRow("close") << QByteArray("btnFechar") << true << "" << false << "ended";
}

void TestMainWindow::windowButtons()
{
    QFETCH(QByteArray, button);
    QFETCH(bool, trayAvailable);
    QFETCH(QString, modal);
    QFETCH(bool, sidesOpenAfter);
    QFETCH(QString, after);

    MainWindowHost host(numbered(3));
    MainWindow* window = host.window.get();
    QSignalSpy ended(window, &MainWindow::programEnded);
    host.platform.trayAvailable = trayAvailable;
    host.doubleClickRow(1);
    QString opened;
    QPoint place;
    closeNextModal(this, opened, place);
    click(host.child(button.constData()));
    QCOMPARE(opened, modal);
    if (!modal.isEmpty()) {
        // 530 twips right of and 580 twips below the main window's corner.
        QCOMPARE(place, window->pos() + QPoint(35, 39));
    }
    QCOMPARE(sidesShown(host), sidesOpenAfter);
    QCOMPARE(window->isVisible(), after == "shown" || after == "minimised");
    QCOMPARE(window->isMinimized(), after == "minimised");
    QCOMPARE(host.platform.trayIconShown, after == "in the tray");
    QCOMPARE(ended.size(), after == "ended" ? 1 : 0);
    // A click on the tray icon brings the window back, unless the program has ended.
    host.platform.clickTrayIcon();
    QCOMPARE(window->isVisible() && !window->isMinimized(), after != "ended");
    QCOMPARE(host.list()->currentRow(), 1);
}

void TestMainWindow::tabFollowsReadingOrder()
{
    // Twenty entries: the back arrow is hidden on the first page, and Tab passes it over.
    const QStringList order = {"btnMinimizar", "btnTray",      "btnFechar",    "txtLogin",    "btnCopyLogin",
                               "txtSenha",     "btnCopySenha", "lstLembretes", "imgAvanca",   "btnConfig",
                               "imgEscrever",  "imgAjuda",     "imgSobre",     "btnMinimizar"};
    MainWindowHost host(numbered(20));
    host.list()->setCurrentRow(0);
    host.child("btnMinimizar")->setFocus();
    QStringList walked;
    for (qsizetype step = 0; step < order.size(); ++step) {
        walked.append(QApplication::focusWidget()->objectName());
        QTest::keyPress(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(walked, order);
    // Just after start-up a key released on the first row moves the selection round to the last; the Tab that
    // brought the focus into the list was pressed elsewhere and must not.
    QCOMPARE(host.list()->currentRow(), 0);
}

void TestMainWindow::programStart_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("told");

    QTest::newRow("a damaged vault: a warning, and it starts") << "damaged" << true << "1 linha danificada";
    QTest::newRow("a huge vault the user does not open: refused") << "huge" << false << "não foi aberto";
}

void TestMainWindow::programStart()
{
    QFETCH(QString, setup);
    QFETCH(bool, starts);
    QFETCH(QString, told);

    DataFolder folder;
    QFile huge(folder.filePath("pswd.tab"));
    if (setup == "damaged") {
        folder.write("pswd.tab", "\"not a vault\"\r\n");
    } else {
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(300) << 20));
    }
    RecordingPlatform platform;
    Program program(folder.path(), platform);
    QCOMPARE(program.start(), starts);
    // A huge vault is opened only if the user says so.
    QCOMPARE(platform.questions.size(), setup == "huge" ? 1 : 0);
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages.first().icon,
             starts ? Platform::MessageIcon::Exclamation : Platform::MessageIcon::Critical);
    QVERIFY2(platform.messages.first().text.contains(told), qPrintable(platform.messages.first().text));
    QCOMPARE(program.mainWindow() && program.mainWindow()->isVisible(), starts);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
