#include "support/drawntext.h"
#include "support/mainwindowhost.h"
#include "support/programwindows.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "mainwindow/program.h"
#include "undo/undodeletenotice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

namespace {

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
constexpr auto row = [](int row) { return row; };

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

bool sidesShown(const MainWindowHost& host)
{
    const SideWindows* sides = host.window->sideWindows();
    const bool shown = sides->isShown() && sides->detailWindow()->isVisible() && sides->updateWindow()->isVisible();
    return shown && host.window->state().sideWindowsOpen;
}

// Whether the side windows are open, before and after a command.
constexpr int Closed = 0, Open = 1, OpenWithoutTray = 2;

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
    void picturesStandInTheirPlaces_data();
    void picturesStandInTheirPlaces();
    void dragsOnlyBySurface_data();
    void dragsOnlyBySurface();
    void commands_data();
    void commands();
    void tabFollowsReadingOrder();
    void deleteCanBeUndone_data();
    void deleteCanBeUndone();
    void programStart_data();
    void programStart();
};

void TestMainWindow::paging_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("selected");
    const auto add = [](const char* name, int count, const Steps& steps, int page, int selected) {
        QTest::newRow(name) << count << steps << page << selected;
    };
    add("Down on the last row of a page turns to the next", 30, {row(14), Down}, 2, 0);
    add("Down on the last row of the last page stays", 30, {Forward, row(14), Down}, 2, 14);
    add("Down on the lone row of a last page stays", 16, {Forward, row(0), Down}, 2, 0);
    add("Down from the last but one row moves in the page, then turns", 45, {row(13), Down, Down, Down}, 2, 1);
    add("Down turns after the row-1 marker went below zero", 45,
        {Forward, row(1), Back, Forward, Forward, row(1), Back, Back, row(14), Down}, 2, 0);
    add("Up through row 1 stops on the first row of the first page", 30, {row(3), Up, Up, Up, Up}, 1, 0);
    add("Up from row 2 of page 2 turns back to the last row", 30, {Forward, row(2), Up, Up, Up}, 1, 14);
    add("Up on the first row of page 3 shows the last row of page 2", 45, {Forward, Forward, row(0), Up}, 2, 14);
    add("The back arrow shows the whole first page again", 16, {Forward, Back}, 1, -1);
    add("Just after start-up, Up on the first row moves round to the last", 30, {row(0), Up}, 1, 14);
    add("Just after start-up, on a short page too", 5, {row(0), Up}, 1, 4);
    add("Just after start-up, the first Down lands on the last row", 30, {Down}, 1, 14);
    add("Just after start-up, Shift selects nothing", 20, {Shift}, 1, -1);
    add("After row 1 was selected, Up on the first row stays", 30, {row(1), Up, Up}, 1, 0);
    add("After a page turn, the first row stays", 45, {Forward, row(1), Up}, 2, 0);
    add("After turning forward and back, the first row stays", 20, {Forward, Back, row(0), Up}, 1, 0);
    add("An empty list: keys change nothing", 0, {Down, Up, End}, 1, -1);
}

void TestMainWindow::paging()
{
    QFETCH(int, count);
    QFETCH(Steps, steps);
    QFETCH(int, page);
    QFETCH(int, selected);
    MainWindowHost host(numbered(count));
    run(host, steps);
    QCOMPARE(textOf(host.child("lblPagina")) + " " + textOf(host.child("lblTotalLembretes")),
             QStringLiteral("%1 %2").arg(page).arg(count));
    // Pages of fifteen: row r of page p is entry 15 (p - 1) + r.
    const int first = 15 * (page - 1);
    QCOMPARE(host.list()->count(), qBound(0, count - first, 15));
    QCOMPARE(host.list()->currentRow(), selected);
    const QString login = EntryRecord::field(ProgramWindows::record(first + selected), EntryRecord::Login);
    QCOMPARE(textOf(host.child("txtLogin")), selected < 0 ? QString() : login);
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
                                 "lblAbreFecha", "lblUsaSenha"}) {
            texts.append(textOf(host.child(name)));
        }
        return texts;
    };
    QCOMPARE(labels(), (QStringList{"0", "15", "0", "0", "", "", "Não"}));
    run(host, {Forward, row(1)});
    host.doubleClickRow(1);
    QCOMPARE(labels(), (QStringList{"14", "30", "1", "1", "16", "X", "Não"}));
    QVERIFY(host.vault.saveSettings("nova#1", true).ok());
    run(host, {Forward, row(4)});
    QCOMPARE(labels(), (QStringList{"29", "0", "4", "2", "34", "X", "Sim"}));
    // Entries changed elsewhere: what was selected may have moved, so the first page shows with nothing selected.
    QVERIFY(host.vault.addEntry(ProgramWindows::record(45)).ok());
    QCOMPARE(labels(), (QStringList{"0", "15", "4", "2", "", "X", "Sim"}));
    QCOMPARE(textOf(host.child("lblPagina")) + textOf(host.child("txtLogin")), QStringLiteral("1"));
}

void TestMainWindow::rowsShowWhatIsStored()
{
    // Garbage read under a wrong key, and a title holding tabs: each row shows all of it, tabs as spaces.
    MainWindowHost host({entryRecord("Conta", "----/----/----", "26.01.02.03.04.05", "jose"), "lixo",
                         entryRecord("Zeta\t\t\t\t1", "01/01/30", "26.01.02.03.04.05", "josé@exemplo", "São-Paulo!")});
    QCOMPARE(drawnStrings(host.list()->viewport()),
             (QStringList{"----/----/----", "Conta", "lixo", "lixo", "01/01/30", "Zeta    1"}));
    const SideWindows* sides = host.window->sideWindows();
    host.clickRow(2);
    QCOMPARE(textOf(host.child("txtLogin")) + " " + textOf(host.child("txtSenha")),
             QStringLiteral("josé@exemplo São-Paulo!"));
    QVERIFY(!sides->detailWindow()->isVisible() && !sides->updateWindow()->isVisible());
    QCOMPARE(textOf(child(sides->detailWindow(), "txtSenha")), QStringLiteral("São-Paulo!"));
    host.clickRow(1);
    QCOMPARE(host.window->state().list.selectedEntry(), 1);
    QCOMPARE(textOf(host.child("txtLogin")), QString());
    host.doubleClickRow(0);
    QVERIFY(sidesShown(host));
    host.doubleClickRow(2);
    QVERIFY(!sides->detailWindow()->isVisible() && !sides->updateWindow()->isVisible());
    host.doubleClickRow(0);
    host.window->move(150, 100);
    // Dragged by its surface to 3000 by 2000 twips: the side windows stand 300 and 7530 twips left, 2850 down.
    QTest::mousePress(host.window.get(), Qt::LeftButton, {}, background);
    QTest::mouseMove(host.window.get(), background + QPoint(50, 33));
    QTest::mouseRelease(host.window.get(), Qt::LeftButton, {}, background + QPoint(50, 33));
    QCOMPARE(host.window->pos(), QPoint(200, 133));
    QCOMPARE(sides->detailWindow()->pos(), QPoint(20, 190));
    QCOMPARE(sides->updateWindow()->pos(), QPoint(502, 190));
    QTest::mouseDClick(host.window.get(), Qt::LeftButton, {}, background);
    QVERIFY(!sides->isShown() && !host.window->state().sideWindowsOpen);
}

void TestMainWindow::picturesStandInTheirPlaces_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QRect>("place"); // pixels from the window's top-left corner: the layout's twips, 15 a pixel
    QTest::newRow("minimise") << QByteArray("btnMinimizar") << QRect(229, 4, 21, 21);
    QTest::newRow("to the notification area") << QByteArray("btnTray") << QRect(252, 4, 21, 21);
    QTest::newRow("close") << QByteArray("btnFechar") << QRect(275, 4, 21, 21);
    QTest::newRow("copy the login") << QByteArray("btnCopyLogin") << QRect(246, 43, 10, 11);
    QTest::newRow("copy the password") << QByteArray("btnCopySenha") << QRect(246, 69, 10, 11);
    QTest::newRow("settings") << QByteArray("btnConfig") << QRect(56, 311, 68, 12);
    QTest::newRow("new entry") << QByteArray("imgEscrever") << QRect(131, 301, 36, 50);
    QTest::newRow("help") << QByteArray("imgAjuda") << QRect(173, 311, 32, 12);
    QTest::newRow("about") << QByteArray("imgSobre") << QRect(211, 311, 32, 12);
}

// Each picture button stands where the window's artwork leaves room for it, to the pixel.
void TestMainWindow::picturesStandInTheirPlaces()
{
    QFETCH(QByteArray, name);
    QFETCH(QRect, place);
    const MainWindowHost host(numbered(3));
    QCOMPARE(host.child(name.constData())->geometry(), place);
}

void TestMainWindow::dragsOnlyBySurface_data()
{
    QTest::addColumn<QByteArray>("part");
    QTest::addColumn<bool>("drags");
    QTest::newRow("the window's surface") << QByteArray() << true;
    QTest::newRow("a caption, part of the surface") << QByteArray("Label1") << true;
    QTest::newRow("the greyed back arrow on the first page") << QByteArray("imgRetornaOff") << false;
    QTest::newRow("the forward arrow") << QByteArray("imgAvanca") << false;
}

// Pressed, moved and released as the pointer does it, through the window the desktop shows: a press on the window's
// surface drags it along with the pointer; a press on a control, usable or greyed, leaves it in place.
void TestMainWindow::dragsOnlyBySurface()
{
    QFETCH(QByteArray, part);
    QFETCH(bool, drags);
    MainWindowHost host(numbered(20));
    host.window->move(150, 100);
    const QPoint start = host.window->pos();
    const QPoint pressed = part.isEmpty() ? background : host.child(part.constData())->geometry().center();
    QVERIFY(part.isEmpty() || host.child(part.constData())->isVisible());
    QWindow* shown = host.window->windowHandle();
    const QPoint to = shown->mapToGlobal(pressed + QPoint(-10, 30));
    QTest::mousePress(shown, Qt::LeftButton, {}, pressed);
    QTest::mouseMove(shown, pressed + QPoint(-10, 30));
    // Released where the pointer stopped, wherever the window went.
    QTest::mouseRelease(shown, Qt::LeftButton, {}, shown->mapFromGlobal(to));
    QCOMPARE(host.window->pos(), drags ? start + QPoint(-10, 30) : start);
}

void TestMainWindow::commands_data()
{
    // The control that gets the keys, or is clicked when there are none.
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("after");

    const auto add = [](const char* name, const char* target, const char* keys, int row, int before, const char* then,
                        int after) {
        QTest::newRow(name) << QByteArray(target) << QString(keys) << row << before << QString(then) << after;
    };
    add("Ctrl+C on the list copies the password", "lstLembretes", "Ctrl+C", 4, Closed, "copied senha04", Closed);
    add("Ctrl+B on the list copies the login", "lstLembretes", "Ctrl+B", 0, Closed, "copied login00", Closed);
    add("Ctrl+C in the login box copies the password", "txtLogin", "Ctrl+C", 4, Open, "copied senha04", Open);
    add("Ctrl+C with nothing selected empties the clipboard", "lstLembretes", "Ctrl+C", -1, Closed, "copied nothing",
        Closed);
    add("Ctrl+N opens a new entry", "lstLembretes", "Ctrl+N", 4, Open, "opened frm1_Escrever", Closed);
    add("Escape on the list closes the side windows", "lstLembretes", "Esc", 4, Open, "", Closed);
    add("Escape in the detail window closes them", "frm2_Esquerda", "Esc", 4, Open, "", Closed);
    add("Escape with them closed changes nothing", "lstLembretes", "Esc", 4, Closed, "", Closed);
    add("Enter on the list opens them", "lstLembretes", "Return", 3, Closed, "", Open);
    add("Keypad Enter on the list closes them", "lstLembretes", "Enter", 3, Open, "", Closed);
    add("Enter on the first row at start-up opens them", "lstLembretes", "Return", 0, Closed, "", Open);
    add("Enter on a picture button presses it", "imgAjuda", "Return", 3, Open, "opened frm4_Ajuda", Open);
    add("The settings button", "btnConfig", "", 1, Open, "opened frm6_Configurar", Closed);
    add("The new entry button", "imgEscrever", "", 1, Open, "opened frm1_Escrever", Closed);
    add("The help button", "imgAjuda", "", 1, Open, "opened frm4_Ajuda", Open);
    add("The minimise button", "btnMinimizar", "", 1, Open, "minimised", Closed);
    add("The tray button", "btnTray", "", 1, Open, "in the tray", Closed);
    // The window could never come back from a missing notification area.
    add("The tray button with no notification area minimises", "btnTray", "", 1, OpenWithoutTray, "minimised", Closed);
    add("The close button", "btnFechar", "", 1, Open, "ended", Closed);
}

void TestMainWindow::commands()
{
    QFETCH(QByteArray, target);
    QFETCH(QString, keys);
    QFETCH(int, row);
    QFETCH(int, before);
    QFETCH(QString, then);
    QFETCH(int, after);

    MainWindowHost host(numbered(20));
    MainWindow* window = host.window.get();
    QSignalSpy ended(window, &MainWindow::programEnded);
    host.platform.trayAvailable = before != OpenWithoutTray;
    host.list()->setCurrentRow(row);
    if (before != Closed) {
        QTest::keyClick(host.list(), Qt::Key_Return);
    }
    QWidget* detail = window->sideWindows()->detailWindow();
    QWidget* control = target == "frm2_Esquerda" ? child(detail, "txtTitulo") : host.child(target.constData());
    const QString untouched = QStringLiteral("<antes>");
    host.platform.clipboard = untouched;
    QApplication::clipboard()->setText(untouched);
    QString opened;
    QTimer::singleShot(0, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            // 530 twips right of and 580 twips below the main window's corner.
            const bool inPlace = modal->pos() == window->pos() + QPoint(35, 39);
            opened = "opened " + modal->objectName() + (inPlace ? "" : " out of place");
            modal->close();
        }
    });
    keys.isEmpty() ? click(control) : QTest::keySequence(control, QKeySequence(keys));

    const QString copied = host.platform.clipboard;
    const QString shown = ended.size()                  ? "ended"
                          : host.platform.trayIconShown ? "in the tray"
                          : window->isMinimized()       ? "minimised"
                                                        : "";
    QStringList happened = {copied == untouched ? "" : "copied " + (copied.isEmpty() ? "nothing" : copied), opened,
                            shown};
    happened.removeAll(QString());
    QCOMPARE(happened.join(", "), then);
    // Copies go through the platform, marked secret, never as the list's own copy of the row text.
    QCOMPARE(QApplication::clipboard()->text(), untouched);
    QCOMPARE(sidesShown(host), after == Open);
    host.platform.clickTrayIcon();
    QCOMPARE(window->isVisible() && !window->isMinimized(), then != "ended");
    // The selection stays where it was, even on the first row just after start-up.
    QCOMPARE(host.list()->currentRow(), row);
}

void TestMainWindow::tabFollowsReadingOrder()
{
    // The back arrow is hidden on the first page, and Tab passes it over.
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
    // The Tab into the list was pressed elsewhere: its release must not move the first row round to the last.
    QCOMPARE(host.list()->currentRow(), 0);
}

void TestMainWindow::deleteCanBeUndone_data()
{
    QTest::addColumn<QString>("undo"); // the button, Ctrl+Z, or Ctrl+Z after the notice has run out
    QTest::addColumn<bool>("diskFails");
    QTest::addColumn<bool>("restored");
    QTest::newRow("the button brings the entry back") << "button" << false << true;
    QTest::newRow("Ctrl+Z brings the entry back") << "Ctrl+Z" << false << true;
    QTest::newRow("after ten seconds Ctrl+Z does nothing") << "late Ctrl+Z" << false << false;
    QTest::newRow("a failed write: told, the offer stands") << "button" << true << false;
}

// The deleted entry comes back byte for byte with one rewrite: the backup left is the file just after the delete.
void TestMainWindow::deleteCanBeUndone()
{
    QFETCH(QString, undo);
    QFETCH(bool, diskFails);
    QFETCH(bool, restored);
    MainWindowHost host(numbered(3));
    const QList<QByteArray> before = host.entries();
    host.list()->setCurrentRow(1);
    QTest::keyClick(host.list(), Qt::Key_Return);
    click(child(host.window->sideWindows()->updateWindow(), "btnDel"));
    QCOMPARE(host.entries().size(), 2);
    const QByteArray afterDelete = host.file();
    const QList<QByteArray> deleted = {before[0], before[2]};

    auto* notice = host.window->findChild<UndoDeleteNotice*>();
    QVERIFY(notice->isVisible());
    auto* timer = notice->findChild<QTimer*>();
    QCOMPARE(timer->interval(), 10000);
    if (undo == "late Ctrl+Z") {
        timer->stop();
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    }
    std::optional<FileSizeLimit> noWrites;
    if (diskFails) {
        noWrites.emplace(0);
    }
    undo == "button" ? click(child(notice, "btnDesfazer"))
                     : QTest::keyClick(host.list(), Qt::Key_Z, Qt::ControlModifier);
    noWrites.reset();

    QCOMPARE(host.entries(), restored ? before : deleted);
    QCOMPARE(host.fileLines().contains(before[1]), restored);
    QCOMPARE(restored ? host.folder.read("pswd.tab.bak") : host.file(), afterDelete);
    QCOMPARE(notice->isVisible(), diskFails);
    QCOMPARE(host.platform.messages.size(), diskFails ? 1 : 0);
    QCOMPARE(textOf(host.child("lblAviso")),
             restored ? QStringLiteral("Entrada restaurada.") : QStringLiteral("Entrada excluída com sucesso!"));
    // Once undone or run out, Ctrl+Z changes nothing; after a failed write it tries again.
    QTest::keyClick(host.list(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(host.entries(), restored || diskFails ? before : deleted);
}

void TestMainWindow::programStart_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QString>("told");
    QTest::newRow("a damaged vault: a warning, and it starts") << true << "1 linha danificada";
    QTest::newRow("a huge vault the user does not open: refused") << false << "não foi aberto";
}

void TestMainWindow::programStart()
{
    QFETCH(bool, damaged);
    QFETCH(QString, told);
    DataFolder folder;
    folder.write("pswd.tab", "\"not a vault\"\r\n");
    QVERIFY(damaged || QFile::resize(folder.filePath("pswd.tab"), qint64(300) << 20));
    RecordingPlatform platform;
    Program program(folder.path(), platform);
    QCOMPARE(program.start(), damaged);
    QCOMPARE(platform.questions.size(), damaged ? 0 : 1);
    QCOMPARE(platform.messages.size(), 1);
    const Platform::MessageIcon icon = damaged ? Platform::MessageIcon::Exclamation : Platform::MessageIcon::Critical;
    QVERIFY2(platform.messages[0].text.contains(told) && platform.messages[0].icon == icon, qPrintable(told));
    QCOMPARE(program.mainWindow() && program.mainWindow()->isVisible(), damaged);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
