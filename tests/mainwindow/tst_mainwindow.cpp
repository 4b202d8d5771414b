#include "access/settingswindow.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "mainwindow/mainwindow.h"
#include "platform/recordingplatform.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray record(int number)
{
    return EntryRecord::join({"Conta " + QByteArray::number(number).rightJustified(2, '0'), "----/----/----",
                              "26.03.06.10.22.41", "login" + QByteArray::number(number),
                              "senha" + QByteArray::number(number), "", ""});
}

// A point on the window's own surface, clear of every control.
const QPoint background(150, 22);

// A main window over a fresh data folder holding count numbered entries and the extra ones.
class Fixture
{
public:
    explicit Fixture(int count, const QList<QByteArray>& extra = {}) : vault(folder.path())
    {
        vault.open();
        for (int number = 0; number < count; ++number) {
            vault.addEntry(record(number));
        }
        for (const QByteArray& entry : extra) {
            vault.addEntry(entry);
        }
        window = std::make_unique<MainWindow>(vault, platform);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return window->findChild<T*>(name);
    }
    QString state(const char* name) const { return find<QLabel>(QLatin1String(name))->text(); }
    QString box(const QWidget* parent, const char* name) const
    {
        return parent->findChild<QLineEdit*>(QLatin1String(name))->text();
    }
    QListWidget* list() const { return find<QListWidget>(QStringLiteral("lstLembretes")); }
    QPoint rowCentre(int row) const { return list()->visualItemRect(list()->item(row)).center(); }
    QWidget* detail() const { return window->sideWindows()->detailWindow(); }
    QWidget* update() const { return window->sideWindows()->updateWindow(); }

    void click(const QString& name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void clickRow(int row) const { QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row)); }
    void doubleClickRow(int row) const
    {
        clickRow(row);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(row));
    }
    // Runs steps: > and < click the arrows, a number clicks that row, D, U, E and S press Down, Up, End and Shift.
    void run(const QString& steps) const
    {
        const QHash<QString, Qt::Key> keys = {
            {"D", Qt::Key_Down}, {"U", Qt::Key_Up}, {"E", Qt::Key_End}, {"S", Qt::Key_Shift}};
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (keys.contains(step)) {
                QTest::keyClick(list(), keys.value(step));
            } else if (step == QLatin1String(">") || step == QLatin1String("<")) {
                click(step == QLatin1String(">") ? QStringLiteral("imgAvanca") : QStringLiteral("imgRetorna"));
            } else {
                clickRow(step.toInt());
            }
        }
    }
    // Page number, rows shown, row selected, index of the entry selected and the arrows shown.
    QString describe() const
    {
        return QStringLiteral("p%1 n%2 r%3 i%4 %5%6")
            .arg(state("lblPagina"))
            .arg(list()->count())
            .arg(list()->currentRow())
            .arg(state("lblListIndex"), find(QStringLiteral("imgRetorna"))->isVisible() ? "<" : "",
                 find(QStringLiteral("imgAvanca"))->isVisible() ? ">" : "")
            .trimmed();
    }
    void drag(QWidget* widget, QPoint from, QPoint by) const
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(widget, from + by);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
    }

    DataFolder folder;
    RecordingPlatform platform;
    Vault vault;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void selectionFillsBoxesAndSideWindows();
    void keys_data();
    void keys();
    void copyButtons();
    void vaultChangeRefillsFirstPage();
    void dragPlacesSideWindows();
    void hiding_data();
    void hiding();
    void closeEndsProgram();
    void modalWindows_data();
    void modalWindows();
    void notice();
};

void TestMainWindow::selectionFillsBoxesAndSideWindows()
{
    // Sorted after the twenty "Conta" entries, so it is row 5 of page 2; "¥" in the description is a line break.
    Fixture fixture(20, {EntryRecord::join({"Zebra", "----/----/----", "08.03.15.10.22.41", "jos\xE9@exemplo",
                                            "S\xE3o-Paulo!", "https://z.org",
                                            "a\xA5"
                                            "b"})});
    fixture.run(QStringLiteral("> 5"));
    QCOMPARE(fixture.state("lblListIndex"), QStringLiteral("20"));
    QCOMPARE(fixture.box(fixture.window.get(), "txtLogin"), QStringLiteral("josé@exemplo"));
    QCOMPARE(fixture.box(fixture.window.get(), "txtSenha"), QStringLiteral("São-Paulo!"));
    // The side windows are filled while still hidden.
    QVERIFY(!fixture.detail()->isVisible() && !fixture.update()->isVisible());
    QCOMPARE(fixture.box(fixture.detail(), "txtTitulo"), QStringLiteral("Zebra"));
    QCOMPARE(fixture.box(fixture.update(), "txtPostado"), QStringLiteral("15/03/08"));
    QCOMPARE(fixture.update()->findChild<QPlainTextEdit*>(QStringLiteral("txtDescricao"))->toPlainText(),
             QStringLiteral("a\nb"));

    // Shown, they follow the next selection at once.
    fixture.doubleClickRow(5);
    fixture.clickRow(0);
    QCOMPARE(fixture.box(fixture.detail(), "txtTitulo"), QStringLiteral("Conta 15"));
    QCOMPARE(fixture.box(fixture.window.get(), "txtLogin"), QStringLiteral("login15"));
    // A double-click on a row hides them, the next shows them, one on the window's background hides them.
    fixture.doubleClickRow(0);
    QVERIFY(!fixture.detail()->isVisible() && !fixture.update()->isVisible());
    fixture.doubleClickRow(1);
    QVERIFY(fixture.detail()->isVisible() && fixture.update()->isVisible());
    QCOMPARE(fixture.state("lblAbreFecha"), QStringLiteral("X"));
    QTest::mouseDClick(fixture.window.get(), Qt::LeftButton, {}, background);
    QVERIFY(!fixture.window->sideWindows()->isShown());
    QCOMPARE(fixture.state("lblAbreFecha"), QString());
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("state");

    QTest::newRow("Down on row 14 turns forward") << 30 << "14 D" << QStringLiteral("p2 n15 r0 i15 <");
    QTest::newRow("Down on row 14 of the last page stays") << 30 << "> 14 D" << QStringLiteral("p2 n15 r14 i29 <");
    QTest::newRow("Down on row 14 of a single full page stays") << 15 << "14 D" << QStringLiteral("p1 n15 r14 i14");
    QTest::newRow("Down on the lone row of a last page") << 16 << "> 0 D" << QStringLiteral("p2 n1 r0 i15 <");
    QTest::newRow("Down, Down from row 13 goes on to row 1 of the next page")
        << 45 << "13 D D D" << QStringLiteral("p2 n15 r1 i16 <>");
    QTest::newRow("Down after an arrow turn selects row 0") << 45 << "14 > D" << QStringLiteral("p2 n15 r0 i15 <>");
    QTest::newRow("Down turn with the row-1 marker at -1")
        << 45 << "> 1 < > > 1 < < 14 D" << QStringLiteral("p2 n15 r0 i15 <>");
    QTest::newRow("Up through row 1 stops at row 0 of the first page")
        << 30 << "3 U U U U" << QStringLiteral("p1 n15 r0 i0 >");
    QTest::newRow("Up on row 0 of page 2 after row 1 turns back")
        << 30 << "> 2 U U U" << QStringLiteral("p1 n15 r14 i14 >");
    QTest::newRow("Up right after a Down page turn turns back") << 30 << "14 D U" << QStringLiteral("p1 n15 r14 i14 >");
    QTest::newRow("Up on row 0 of page 3 shows page 2") << 45 << "> > 0 U" << QStringLiteral("p2 n15 r14 i29 <>");
    QTest::newRow("Up on the lone row of a last page") << 16 << "> 0 U" << QStringLiteral("p1 n15 r14 i14 >");
    // Right after start-up, a key that leaves row 0 selected moves the selection round to the page's last row.
    QTest::newRow("start-up: Up on row 0 goes to the last row") << 30 << "0 U" << QStringLiteral("p1 n15 r14 i14 >");
    QTest::newRow("start-up: short page") << 5 << "0 U" << QStringLiteral("p1 n5 r4 i4");
    QTest::newRow("start-up: the first Down lands on the last row") << 30 << "D" << QStringLiteral("p1 n15 r14 i14 >");
    QTest::newRow("start-up: Shift selects nothing") << 20 << "S" << QStringLiteral("p1 n15 r-1 i >");
    QTest::newRow("after row 1, Up on row 0 stays") << 30 << "1 U U" << QStringLiteral("p1 n15 r0 i0 >");
    QTest::newRow("after a page turn, row 0 stays") << 45 << "> 1 U" << QStringLiteral("p2 n15 r0 i15 <>");
    QTest::newRow("after turning and back, row 0 stays") << 20 << "> < 0 U" << QStringLiteral("p1 n15 r0 i0 >");
    QTest::newRow("empty vault") << 0 << "D U E" << QStringLiteral("p1 n0 r-1 i");
}

void TestMainWindow::keys()
{
    QFETCH(int, count);
    QFETCH(QString, steps);
    QFETCH(QString, state);

    Fixture fixture(count);
    fixture.run(steps);
    QCOMPARE(fixture.describe(), state);
    QCOMPARE(fixture.state("lblTotalLembretes"), QString::number(count));
    const QString index = fixture.state("lblListIndex");
    QCOMPARE(fixture.box(fixture.window.get(), "txtLogin"), index.isEmpty() ? QString() : "login" + index);
}

void TestMainWindow::copyButtons()
{
    // After it, garbage read under the wrong key: no separator, so no field 1 and no login.
    Fixture fixture(0, {EntryRecord::join({"Banco", "----/----/----", "26.03.06.10.00.00", "maria",
                                           "\xC7@\xE7\xE3o; 'x' \"y\" ", "", ""}),
                        "lixo"});
    // Before any selection the empty box is copied, never an older text.
    fixture.platform.clipboard = QStringLiteral("antigo");
    fixture.click(QStringLiteral("btnCopySenha"));
    QCOMPARE(fixture.platform.clipboard, QString());
    fixture.clickRow(1);
    QCOMPARE(fixture.state("lblListIndex"), QStringLiteral("1"));
    QCOMPARE(fixture.box(fixture.window.get(), "txtLogin"), QString());
    fixture.clickRow(0);
    fixture.click(QStringLiteral("btnCopyLogin"));
    QCOMPARE(fixture.platform.clipboard, QStringLiteral("maria"));
    fixture.click(QStringLiteral("btnCopySenha"));
    QCOMPARE(fixture.platform.clipboard, QStringLiteral("Ç@ção; 'x' \"y\" "));
}

void TestMainWindow::vaultChangeRefillsFirstPage()
{
    Fixture fixture(30);
    fixture.run(QStringLiteral("> 3"));
    QVERIFY(fixture.vault.addEntry(record(30)).ok());
    // What was selected may have moved: nothing is shown as selected any more.
    QCOMPARE(fixture.describe(), QStringLiteral("p1 n15 r-1 i >"));
    QCOMPARE(fixture.list()->item(0)->text().section(QLatin1Char('\t'), -1), QStringLiteral("0"));
    QCOMPARE(fixture.state("lblTotalLembretes"), QStringLiteral("31"));
    QCOMPARE(fixture.box(fixture.window.get(), "txtLogin"), QString());
}

void TestMainWindow::dragPlacesSideWindows()
{
    Fixture fixture(3);
    fixture.doubleClickRow(0);
    MainWindow* window = fixture.window.get();
    window->move(150, 100);
    // A press on a control never drags.
    fixture.drag(fixture.list()->viewport(), fixture.rowCentre(1), QPoint(30, 30));
    QCOMPARE(window->pos(), QPoint(150, 100));
    QCOMPARE(fixture.list()->currentRow(), 1);
    // Dragged to 3000 by 2000 twips.
    fixture.drag(window, background, QPoint(50, 33));
    QCOMPARE(window->pos(), QPoint(200, 133));
    QCOMPARE(fixture.detail()->pos(), QPoint(300 / 15, 2850 / 15));
    QCOMPARE(fixture.update()->pos(), QPoint(7530 / 15, 2850 / 15));
}

void TestMainWindow::hiding_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("toTray");

    QTest::newRow("minimise") << "btnMinimizar" << true << false;
    QTest::newRow("to the tray") << "btnTray" << true << true;
    // Without a notification area the window could never come back: it is minimised instead.
    QTest::newRow("no tray: minimise") << "btnTray" << false << false;
}

void TestMainWindow::hiding()
{
    QFETCH(QString, button);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, toTray);

    Fixture fixture(3);
    fixture.platform.trayAvailable = trayAvailable;
    fixture.doubleClickRow(1);
    fixture.click(button);
    QCOMPARE(fixture.window->isMinimized(), !toTray);
    QCOMPARE(fixture.window->isVisible(), !toTray);
    QCOMPARE(fixture.platform.trayIconShown, toTray);
    QCOMPARE(fixture.state("lblAbreFecha"), QString());
    QVERIFY(!fixture.window->sideWindows()->isShown());

    if (toTray) {
        QCOMPARE(fixture.platform.trayTip, QStringLiteral("Corvelo KeyHound"));
        fixture.platform.clickTrayIcon();
        QVERIFY(fixture.window->isVisible() && !fixture.window->isMinimized());
        // The icon stays until the program ends.
        QVERIFY(fixture.platform.trayIconShown);
    } else {
        fixture.window->showNormal();
    }
    QCOMPARE(fixture.list()->currentRow(), 1);
}

void TestMainWindow::closeEndsProgram()
{
    Fixture fixture(3);
    QSignalSpy ended(fixture.window.get(), &MainWindow::programEnded);
    fixture.doubleClickRow(0);
    fixture.click(QStringLiteral("btnFechar"));
    QCOMPARE(ended.size(), 1);
    QVERIFY(!fixture.window->isVisible());
    QVERIFY(!fixture.window->sideWindows()->isShown());
    // A tray click after the end brings nothing back, and a second close ends nothing twice.
    fixture.platform.clickTrayIcon();
    QVERIFY(!fixture.window->isVisible());
    fixture.window->close();
    QCOMPARE(ended.size(), 1);
}

void TestMainWindow::modalWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("sideWindowsAfter");

    QTest::newRow("settings") << "btnConfig" << SettingsWindow::staticMetaObject.className() << "";
    QTest::newRow("new entry") << "imgEscrever" << NewEntryWindow::staticMetaObject.className() << "";
    QTest::newRow("help") << "imgAjuda" << HelpWindow::staticMetaObject.className() << "X";
    QTest::newRow("about") << "imgSobre" << AboutWindow::staticMetaObject.className() << "X";
}

void TestMainWindow::modalWindows()
{
    QFETCH(QString, button);
    QFETCH(QString, className);
    QFETCH(QString, sideWindowsAfter);

    Fixture fixture(3);
    fixture.doubleClickRow(0);
    QString opened;
    QPoint openedAt;
    QTimer::singleShot(0, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        opened = QString::fromLatin1(modal->metaObject()->className());
        openedAt = modal->pos();
        modal->close();
    });
    fixture.click(button);
    QCOMPARE(opened, className);
    // 530 twips right of and 580 twips below the main window's corner.
    QCOMPARE(openedAt, fixture.window->pos() + QPoint(35, 39));
    QCOMPARE(fixture.state("lblAbreFecha"), sideWindowsAfter);
}

void TestMainWindow::notice()
{
    Fixture fixture(0);
    auto* notice = fixture.find<QLabel>(QStringLiteral("lblAviso"));
    fixture.window->showNotice(QStringLiteral("Entrada inserida com sucesso!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("Entrada inserida com sucesso!"));
    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 5000);
    // The side windows report through the same label.
    emit fixture.window->sideWindows()->noticeRequested(QStringLiteral("O título não pode ficar vazio!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("O título não pode ficar vazio!"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
