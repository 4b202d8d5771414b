#include "access/settingswindow.h"
#include "entries/detailwindow.h"
#include "entries/newentrywindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "info/aboutwindow.h"
#include "info/helpwindow.h"
#include "mainwindow/mainwindow.h"
#include "platform/picturebutton.h"
#include "platform/recordingplatform.h"
#include "storage/entryrecord.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QByteArray title(int number)
{
    return "Conta " + QByteArray::number(number).rightJustified(2, '0');
}

QByteArray record(int number)
{
    return EntryRecord::join({title(number), "0" + QByteArray::number(1 + number % 9) + "/04/27", "26.03.06.10.22.41",
                              "login" + QByteArray::number(number), "senha" + QByteArray::number(number),
                              "https://exemplo.com.br", "linha 1\r\nlinha 2"});
}

// A main window over a fresh data folder holding the given number of entries.
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

    QString state(const QString& name) const { return find<QLabel>(name)->text(); }
    QListWidget* list() const { return find<QListWidget>(QStringLiteral("lstLembretes")); }
    QString login() const { return find<QLineEdit>(QStringLiteral("txtLogin"))->text(); }
    QString password() const { return find<QLineEdit>(QStringLiteral("txtSenha"))->text(); }
    bool arrowShown(const QString& name) const { return find(name)->isVisible(); }

    void click(const QString& name) const { QTest::mouseClick(find(name), Qt::LeftButton); }
    void clickRow(int row) const
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(row)).center());
    }
    void doubleClickRow(int row) const
    {
        const QPoint centre = list()->visualItemRect(list()->item(row)).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, centre);
    }
    // The index in the full list carried by a row of the page.
    int indexOfRow(int row) const
    {
        return int(EntryRecord::indexOfRow(Windows1252::fromUnicode(list()->item(row)->text())));
    }

    DataFolder folder;
    RecordingPlatform platform;
    Vault vault;
    std::unique_ptr<MainWindow> window;
};

// A point on the window's own surface, clear of every control.
const QPoint background(150, 22);

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void windowAtStart();
    void firstPage_data();
    void firstPage();
    void controls_data();
    void controls();
    void arrowClicks_data();
    void arrowClicks();
    void pressedLook_data();
    void pressedLook();
    void selectionFillsBoxes();
    void selectionFillsSideWindows();
    void shortRecordIsListedAndSelectable();
    void keys_data();
    void keys();
    void keysOnEmptyList();
    void downAfterArrowTurnSelectsFirstRow();
    void keyThatSelectsNothingAtStartUp();
    void downTurnLandsOnFirstRowWhateverTheMarker();
    void doubleClickTogglesSideWindows();
    void backgroundDoubleClickClosesSideWindows();
    void copyButtons();
    void refillShowsFirstPage();
    void dragMovesWindow();
    void pressOnControlDoesNotDrag();
    void dragPlacesSideWindows();
    void minimise();
    void trayHideAndRestore();
    void trayFallsBackToMinimise();
    void closeEndsProgram();
    void modalWindows_data();
    void modalWindows();
    void notice();
    void settingsLabels();
};

void TestMainWindow::windowAtStart()
{
    Fixture fixture(3);
    MainWindow& window = *fixture.window;
    QCOMPARE(window.objectName(), QStringLiteral("frm0_Inicial"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvelo KeyHound"));
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.size(), QSize(300, 360));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(window.pos(), QPoint(available.left() + (available.width() - 300) / 2,
                                  available.top() + (available.height() - 360) / 2 - 20));
    // The outline: the bottom bulges down at the centre only.
    QVERIFY(window.mask().contains(QPoint(150, 350)));
    QVERIFY(!window.mask().contains(QPoint(5, 358)));
    QVERIFY(!window.mask().contains(QPoint(0, 0)));
    QVERIFY(!fixture.find(QStringLiteral("lblAviso"))->isVisible());
    QCOMPARE(fixture.find<QLabel>(QStringLiteral("lblVencimento"))->text(), QStringLiteral("Vence em:"));
    QCOMPARE(fixture.find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("Pg"));
    QCOMPARE(fixture.find<QLabel>(QStringLiteral("Label2"))->text(), QStringLiteral("Pass"));
    // Gaining the focus selects nothing: the boxes stay empty until the user chooses.
    QCOMPARE(fixture.list()->currentRow(), -1);
    QCOMPARE(fixture.login(), QString());
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QString());
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(!fixture.window->sideWindows()->isShown());
}

void TestMainWindow::firstPage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("forwardShown");

    QTest::newRow("empty vault") << 0 << 0 << false;
    QTest::newRow("1") << 1 << 1 << false;
    QTest::newRow("15") << 15 << 15 << false;
    QTest::newRow("16") << 16 << 15 << true;
    QTest::newRow("30") << 30 << 15 << true;
    QTest::newRow("45") << 45 << 15 << true;
}

void TestMainWindow::firstPage()
{
    QFETCH(int, count);
    QFETCH(int, rows);
    QFETCH(bool, forwardShown);

    Fixture fixture(count);
    QCOMPARE(fixture.list()->count(), rows);
    for (int row = 0; row < rows; ++row) {
        QCOMPARE(fixture.list()->item(row)->text(), Windows1252::toUnicode(EntryRecord::displayRow(record(row), row)));
    }
    QCOMPARE(fixture.arrowShown(QStringLiteral("imgAvanca")), forwardShown);
    QVERIFY(!fixture.arrowShown(QStringLiteral("imgRetorna")));
    // The greyed arrows stay where they are, under the active ones.
    QVERIFY(fixture.arrowShown(QStringLiteral("imgAvancaOff")));
    QVERIFY(fixture.arrowShown(QStringLiteral("imgRetornaOff")));
    QCOMPARE(fixture.state(QStringLiteral("lblTotalLembretes")), QString::number(count));
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("1"));
    QCOMPARE(fixture.state(QStringLiteral("lblInicioRetorna")), QStringLiteral("0"));
    QCOMPARE(fixture.state(QStringLiteral("lblInicioAvanca")), QStringLiteral("15"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMais")), QStringLiteral("0"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMenos")), QStringLiteral("0"));
}

void TestMainWindow::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("toolTip");

    // Twips from the design, at 15 to a pixel.
    QTest::newRow("btnMinimizar") << "btnMinimizar" << QRect(229, 4, 21, 21) << " Minimizar ";
    QTest::newRow("btnTray") << "btnTray" << QRect(252, 4, 21, 21) << " Minimizar para o Tray ";
    QTest::newRow("btnFechar") << "btnFechar" << QRect(275, 4, 21, 21) << " Fechar ";
    QTest::newRow("btnConfig") << "btnConfig" << QRect(56, 311, 68, 12) << " Configuração ";
    QTest::newRow("imgEscrever") << "imgEscrever" << QRect(131, 301, 36, 50) << " Inserir password ";
    QTest::newRow("imgAjuda") << "imgAjuda" << QRect(173, 311, 32, 12) << " Ajuda ";
    QTest::newRow("imgSobre") << "imgSobre" << QRect(211, 311, 32, 12) << " Sobre o Programa ";
    QTest::newRow("btnCopyLogin") << "btnCopyLogin" << QRect(246, 43, 10, 11) << " Copiar ";
    QTest::newRow("btnCopySenha") << "btnCopySenha" << QRect(246, 69, 10, 11) << " Copiar ";
    QTest::newRow("imgRetorna") << "imgRetorna" << QRect(6, 177, 19, 40) << " Retornar ";
    QTest::newRow("imgAvanca") << "imgAvanca" << QRect(275, 177, 19, 40) << " Avançar ";
}

void TestMainWindow::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, toolTip);

    Fixture fixture(0);
    QWidget* control = fixture.find(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), place);
    QCOMPARE(control->toolTip(), toolTip);
    // Every control lies inside the window's outline.
    QVERIFY(fixture.window->mask().contains(place.topLeft()));
    QVERIFY(fixture.window->mask().contains(place.center()));
}

void TestMainWindow::arrowClicks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("arrows");
    // After each click: first index shown, row count, lblInicioRetorna, lblInicioAvanca, lblPagina, arrows shown.
    QTest::addColumn<QStringList>("states");

    QTest::newRow("16") << 16 << QStringList{"imgAvanca", "imgRetorna"}
                        << QStringList{"15 1 14 0 2 <", "0 15 0 15 1 >"};
    QTest::newRow("30") << 30 << QStringList{"imgAvanca"} << QStringList{"15 15 14 0 2 <"};
    QTest::newRow("45") << 45 << QStringList{"imgAvanca", "imgAvanca", "imgRetorna", "imgRetorna"}
                        << QStringList{"15 15 14 30 2 <>", "30 15 29 0 3 <", "15 15 14 30 2 <>", "0 15 0 15 1 >"};
}

void TestMainWindow::arrowClicks()
{
    QFETCH(int, count);
    QFETCH(QStringList, arrows);
    QFETCH(QStringList, states);

    Fixture fixture(count);
    for (qsizetype step = 0; step < arrows.size(); ++step) {
        fixture.click(arrows.at(step));
        const QString state =
            QStringLiteral("%1 %2 %3 %4 %5 %6%7")
                .arg(fixture.indexOfRow(0))
                .arg(fixture.list()->count())
                .arg(fixture.state(QStringLiteral("lblInicioRetorna")),
                     fixture.state(QStringLiteral("lblInicioAvanca")), fixture.state(QStringLiteral("lblPagina")))
                .arg(fixture.arrowShown(QStringLiteral("imgRetorna")) ? QStringLiteral("<") : QString())
                .arg(fixture.arrowShown(QStringLiteral("imgAvanca")) ? QStringLiteral(">") : QString());
        QCOMPARE(state, states.at(step));
        QCOMPARE(fixture.state(QStringLiteral("lblTotalLembretes")), QString::number(count));
    }
}

void TestMainWindow::pressedLook_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("imgAvanca") << "imgAvanca";
    QTest::newRow("imgRetorna") << "imgRetorna";
    QTest::newRow("imgEscrever") << "imgEscrever";
}

void TestMainWindow::pressedLook()
{
    QFETCH(QString, name);

    Fixture fixture(45);
    fixture.click(QStringLiteral("imgAvanca"));
    auto* button = fixture.find<PictureButton>(name);
    const QPoint resting = button->pos();
    // A right button gives the look too, without clicking.
    QTest::mousePress(button, Qt::RightButton);
    QCOMPARE(button->pos(), resting + QPoint(1, 1));
    QTest::mouseRelease(button, Qt::RightButton);
    QCOMPARE(button->pos(), resting);
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("2"));
}

void TestMainWindow::selectionFillsBoxes()
{
    const QByteArray accented = EntryRecord::join({"Banco", "15/03/27", "08.03.15.10.22.41", "jos\xE9@exemplo",
                                                   "S\xE3o-Paulo!", "https://b.com",
                                                   "a\xA5"
                                                   "b"});
    Fixture fixture(0, {accented, record(1)});
    fixture.clickRow(0);
    QCOMPARE(fixture.login(), QStringLiteral("josé@exemplo"));
    QCOMPARE(fixture.password(), QStringLiteral("São-Paulo!"));
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("0"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMais")), QStringLiteral("0"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMenos")), QStringLiteral("0"));

    fixture.clickRow(1);
    QCOMPARE(fixture.login(), QStringLiteral("login1"));
    QCOMPARE(fixture.password(), QStringLiteral("senha1"));
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("1"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMais")), QStringLiteral("1"));
    // Selecting row 1 sets the row-1 marker.
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMenos")), QStringLiteral("1"));
    QVERIFY(fixture.list()->hasFocus());
}

void TestMainWindow::selectionFillsSideWindows()
{
    Fixture fixture(
        20, {EntryRecord::join({"Zebra", "----/----/----", "08.03.15.10.22.41", "ana", "p\xE1ss", "https://z.org",
                                "a\xA5"
                                "b"})});
    fixture.click(QStringLiteral("imgAvanca"));
    fixture.clickRow(5);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("20"));
    const DetailWindow* detail = fixture.window->sideWindows()->detailWindow();
    const UpdateWindow* update = fixture.window->sideWindows()->updateWindow();
    QVERIFY(detail != nullptr && update != nullptr);
    // Filled while still hidden.
    QVERIFY(!detail->isVisible() && !update->isVisible());
    const auto box = [](const QWidget* window, const char* name) {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(box(detail, "txtTitulo"), QStringLiteral("Zebra"));
    QCOMPARE(box(detail, "txtLogin"), QStringLiteral("ana"));
    QCOMPARE(box(detail, "txtSenha"), QStringLiteral("páss"));
    QCOMPARE(box(detail, "txtUrl"), QStringLiteral("https://z.org"));
    QCOMPARE(box(update, "txtPostado"), QStringLiteral("15/03/08"));
    QCOMPARE(box(update, "txtVencimento"), QStringLiteral("----/----/----"));
    QCOMPARE(update->findChild<QPlainTextEdit*>(QStringLiteral("txtDescricao"))->toPlainText(), QStringLiteral("a\nb"));

    // Shown, they follow the next selection at once.
    fixture.doubleClickRow(5);
    QVERIFY(detail->isVisible() && update->isVisible());
    fixture.clickRow(0);
    QCOMPARE(box(detail, "txtTitulo"), QStringLiteral("Conta 15"));
    QVERIFY(detail->isVisible());
}

void TestMainWindow::shortRecordIsListedAndSelectable()
{
    // Garbage read under the wrong key: no separator, so no field 1 and no login.
    Fixture fixture(0, {"lixo"});
    QCOMPARE(fixture.list()->item(0)->text(), QStringLiteral("lixo    lixo\t\t\t\t0"));
    fixture.clickRow(0);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("0"));
    QCOMPARE(fixture.login(), QString());
    QCOMPARE(fixture.password(), QString());
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<int>("count");
    // Arrow clicks before anything else.
    QTest::addColumn<int>("forwardClicks");
    // Row clicked first, or -1 for none.
    QTest::addColumn<int>("clickedRow");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("listIndex");

    const int up = Qt::Key_Up;
    const int down = Qt::Key_Down;
    QTest::newRow("Down on row 13 only moves") << 30 << 0 << 13 << QList<int>{down} << 1 << 14 << "14";
    QTest::newRow("Down on row 14 turns forward") << 30 << 0 << 14 << QList<int>{down} << 2 << 0 << "15";
    QTest::newRow("Down on row 14 of the last page stays") << 30 << 1 << 14 << QList<int>{down} << 2 << 14 << "29";
    QTest::newRow("Down on row 14 of a single full page stays") << 15 << 0 << 14 << QList<int>{down} << 1 << 14 << "14";
    QTest::newRow("Down on the lone row of a last page") << 16 << 1 << 0 << QList<int>{down} << 2 << 0 << "15";
    QTest::newRow("Down, Down from row 13 goes on to row 1 of the next page")
        << 45 << 0 << 13 << QList<int>{down, down, down} << 2 << 1 << "16";
    QTest::newRow("Up through row 1 stops at row 0 of the first page")
        << 30 << 0 << 3 << QList<int>{up, up, up, up} << 1 << 0 << "0";
    QTest::newRow("Up on row 0 of page 2 after row 1 turns back")
        << 30 << 1 << 2 << QList<int>{up, up, up} << 1 << 14 << "14";
    QTest::newRow("Up right after a Down page turn turns back")
        << 30 << 0 << 14 << QList<int>{down, up} << 1 << 14 << "14";
    QTest::newRow("Up on row 0 of page 3 shows page 2") << 45 << 2 << 0 << QList<int>{up} << 2 << 14 << "29";
    QTest::newRow("Up on the lone row of a last page") << 16 << 1 << 0 << QList<int>{up} << 1 << 14 << "14";
    QTest::newRow("Up and Down across a page edge") << 45 << 0 << 14 << QList<int>{down, up, down} << 2 << 0 << "15";
    // Right after start-up, a key that leaves row 0 selected moves the selection round to the page's last row.
    QTest::newRow("start-up: Up on row 0 goes to the last row") << 30 << 0 << 0 << QList<int>{up} << 1 << 14 << "14";
    QTest::newRow("start-up: Left on row 0 goes to the last row")
        << 20 << 0 << 0 << QList<int>{int(Qt::Key_Left)} << 1 << 14 << "14";
    QTest::newRow("start-up: short page") << 5 << 0 << 0 << QList<int>{up} << 1 << 4 << "4";
    QTest::newRow("start-up: the first Down lands on the last row")
        << 30 << 0 << -1 << QList<int>{down} << 1 << 14 << "14";
    QTest::newRow("after row 1, Up on row 0 stays") << 30 << 0 << 1 << QList<int>{up, up} << 1 << 0 << "0";
    QTest::newRow("after a page turn, row 0 stays") << 45 << 1 << 1 << QList<int>{up} << 2 << 0 << "15";
}

void TestMainWindow::keys()
{
    QFETCH(int, count);
    QFETCH(int, forwardClicks);
    QFETCH(int, clickedRow);
    QFETCH(QList<int>, keys);
    QFETCH(int, page);
    QFETCH(int, row);
    QFETCH(QString, listIndex);

    Fixture fixture(count);
    for (int click = 0; click < forwardClicks; ++click) {
        fixture.click(QStringLiteral("imgAvanca"));
    }
    if (clickedRow >= 0) {
        fixture.clickRow(clickedRow);
    }
    for (int key : keys) {
        QTest::keyClick(fixture.list(), Qt::Key(key));
    }
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QString::number(page));
    QCOMPARE(fixture.list()->currentRow(), row);
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMais")), QString::number(row));
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), listIndex);
    QCOMPARE(fixture.login(), QStringLiteral("login") + listIndex);
    QCOMPARE(fixture.indexOfRow(row), listIndex.toInt());
}

void TestMainWindow::keysOnEmptyList()
{
    Fixture fixture(0);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Space}) {
        QTest::keyClick(fixture.list(), key);
    }
    QCOMPARE(fixture.list()->currentRow(), -1);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QString());
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("1"));
}

void TestMainWindow::downAfterArrowTurnSelectsFirstRow()
{
    // Row 14 was the last one selected, but the arrow turned the page and nothing is selected on the new one.
    Fixture fixture(45);
    fixture.clickRow(14);
    fixture.click(QStringLiteral("imgAvanca"));
    QCOMPARE(fixture.list()->currentRow(), -1);
    QVERIFY(fixture.list()->hasFocus());
    QTest::keyClick(fixture.list(), Qt::Key_Down);
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("2"));
    QCOMPARE(fixture.list()->currentRow(), 0);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("15"));
}

void TestMainWindow::keyThatSelectsNothingAtStartUp()
{
    Fixture fixture(20);
    QTest::keyClick(fixture.list(), Qt::Key_Shift);
    QCOMPARE(fixture.list()->currentRow(), -1);
    QCOMPARE(fixture.login(), QString());
    // Once a page has been turned, the first row no longer moves round, even with the row-1 marker back at 0.
    fixture.click(QStringLiteral("imgAvanca"));
    fixture.click(QStringLiteral("imgRetorna"));
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMenos")), QStringLiteral("0"));
    fixture.clickRow(0);
    QTest::keyClick(fixture.list(), Qt::Key_Up);
    QCOMPARE(fixture.list()->currentRow(), 0);
}

void TestMainWindow::downTurnLandsOnFirstRowWhateverTheMarker()
{
    Fixture fixture(45);
    // Turns and row-1 selections that bring the row-1 marker down to -1 on the first page.
    const QStringList steps = {"imgAvanca", "1", "imgRetorna", "imgAvanca",
                               "imgAvanca", "1", "imgRetorna", "imgRetorna"};
    for (const QString& step : steps) {
        if (step == QLatin1String("1")) {
            fixture.clickRow(1);
        } else {
            fixture.click(step);
        }
    }
    QCOMPARE(fixture.state(QStringLiteral("lblSetaMenos")), QStringLiteral("-1"));
    fixture.clickRow(14);
    QTest::keyClick(fixture.list(), Qt::Key_Down);
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("2"));
    QCOMPARE(fixture.list()->currentRow(), 0);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("15"));
}

void TestMainWindow::doubleClickTogglesSideWindows()
{
    Fixture fixture(5);
    fixture.clickRow(2);
    fixture.doubleClickRow(3);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QStringLiteral("X"));
    QVERIFY(fixture.window->sideWindows()->detailWindow()->isVisible());
    QVERIFY(fixture.window->sideWindows()->updateWindow()->isVisible());
    QCOMPARE(fixture.list()->currentRow(), 3);
    fixture.doubleClickRow(3);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(!fixture.window->sideWindows()->detailWindow()->isVisible());
    QVERIFY(!fixture.window->sideWindows()->updateWindow()->isVisible());
    QCOMPARE(fixture.list()->currentRow(), 3);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("3"));
    fixture.doubleClickRow(1);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QStringLiteral("X"));
}

void TestMainWindow::backgroundDoubleClickClosesSideWindows()
{
    Fixture fixture(5);
    fixture.doubleClickRow(0);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QStringLiteral("X"));
    QTest::mouseDClick(fixture.window.get(), Qt::LeftButton, {}, background);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(!fixture.window->sideWindows()->isShown());
    QVERIFY(fixture.window->isVisible());
    // One double-click on the list opens them again.
    fixture.doubleClickRow(0);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QStringLiteral("X"));
}

void TestMainWindow::copyButtons()
{
    const QByteArray password = "\xC7@\xE7\xE3o; 'x' \"y\" ";
    Fixture fixture(0,
                    {EntryRecord::join({"Banco", "----/----/----", "26.03.06.10.00.00", "maria", password, "", ""})});
    fixture.clickRow(0);
    fixture.click(QStringLiteral("btnCopyLogin"));
    QCOMPARE(fixture.platform.clipboard, QStringLiteral("maria"));
    fixture.click(QStringLiteral("btnCopySenha"));
    QCOMPARE(fixture.platform.clipboard, QStringLiteral("Ç@ção; 'x' \"y\" "));
    // Copying changes neither the selection nor the windows.
    QCOMPARE(fixture.list()->currentRow(), 0);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(fixture.platform.messages.isEmpty());
}

void TestMainWindow::refillShowsFirstPage()
{
    Fixture fixture(30);
    fixture.click(QStringLiteral("imgAvanca"));
    fixture.clickRow(3);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QStringLiteral("18"));
    QVERIFY(fixture.vault.addEntry(record(30)).ok());
    QCOMPARE(fixture.state(QStringLiteral("lblPagina")), QStringLiteral("1"));
    QCOMPARE(fixture.state(QStringLiteral("lblTotalLembretes")), QStringLiteral("31"));
    QCOMPARE(fixture.state(QStringLiteral("lblInicioRetorna")), QStringLiteral("0"));
    QCOMPARE(fixture.state(QStringLiteral("lblInicioAvanca")), QStringLiteral("15"));
    QCOMPARE(fixture.indexOfRow(0), 0);
    QVERIFY(fixture.arrowShown(QStringLiteral("imgAvanca")));
    QVERIFY(!fixture.arrowShown(QStringLiteral("imgRetorna")));
    // What was selected may have moved: nothing is shown as selected any more.
    QCOMPARE(fixture.list()->currentRow(), -1);
    QCOMPARE(fixture.state(QStringLiteral("lblListIndex")), QString());
    QCOMPARE(fixture.login(), QString());
    QCOMPARE(fixture.password(), QString());
}

void TestMainWindow::dragMovesWindow()
{
    Fixture fixture(3);
    MainWindow* window = fixture.window.get();
    window->move(200, 133);
    const QPoint start = window->pos();
    QTest::mousePress(window, Qt::LeftButton, {}, background);
    QTest::mouseMove(window, background + QPoint(40, 25));
    QTest::mouseRelease(window, Qt::LeftButton, {}, background + QPoint(40, 25));
    QCOMPARE(window->pos(), start + QPoint(40, 25));
}

void TestMainWindow::pressOnControlDoesNotDrag()
{
    Fixture fixture(3);
    MainWindow* window = fixture.window.get();
    const QPoint start = window->pos();
    QWidget* viewport = fixture.list()->viewport();
    const QPoint row = fixture.list()->visualItemRect(fixture.list()->item(1)).center();
    QTest::mousePress(viewport, Qt::LeftButton, {}, row);
    QTest::mouseMove(viewport, row + QPoint(30, 30));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, row + QPoint(30, 30));
    QCOMPARE(window->pos(), start);
    QCOMPARE(fixture.list()->currentRow(), 1);
}

void TestMainWindow::dragPlacesSideWindows()
{
    Fixture fixture(3);
    fixture.doubleClickRow(0);
    MainWindow* window = fixture.window.get();
    window->move(150, 100);
    // Dragged to 3000 by 2000 twips; the detail window is 2670 twips wide.
    QTest::mousePress(window, Qt::LeftButton, {}, background);
    QTest::mouseMove(window, background + QPoint(50, 33));
    QTest::mouseRelease(window, Qt::LeftButton, {}, background + QPoint(50, 33));
    QCOMPARE(window->pos(), QPoint(200, 133));
    const QWidget* detail = window->sideWindows()->detailWindow();
    const QWidget* update = window->sideWindows()->updateWindow();
    QCOMPARE(detail->width(), 178);
    QCOMPARE(detail->pos(), QPoint(300 / 15, 2850 / 15));
    QCOMPARE(update->pos(), QPoint(7530 / 15, 2850 / 15));
}

void TestMainWindow::minimise()
{
    Fixture fixture(3);
    fixture.doubleClickRow(0);
    fixture.click(QStringLiteral("btnMinimizar"));
    QVERIFY(fixture.window->isMinimized());
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(!fixture.window->sideWindows()->isShown());
    fixture.window->showNormal();
    fixture.doubleClickRow(0);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QStringLiteral("X"));
}

void TestMainWindow::trayHideAndRestore()
{
    Fixture fixture(3);
    fixture.doubleClickRow(1);
    fixture.click(QStringLiteral("btnTray"));
    QVERIFY(!fixture.window->isVisible());
    QVERIFY(fixture.platform.trayIconShown);
    QCOMPARE(fixture.platform.trayTip, QStringLiteral("Corvelo KeyHound"));
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
    QVERIFY(!fixture.window->sideWindows()->isShown());

    fixture.platform.clickTrayIcon();
    QVERIFY(fixture.window->isVisible());
    QVERIFY(!fixture.window->isMinimized());
    // The icon stays until the program ends; the side windows stay hidden.
    QVERIFY(fixture.platform.trayIconShown);
    QVERIFY(!fixture.window->sideWindows()->isShown());
    QCOMPARE(fixture.list()->currentRow(), 1);
}

void TestMainWindow::trayFallsBackToMinimise()
{
    Fixture fixture(3);
    fixture.platform.trayAvailable = false;
    fixture.doubleClickRow(0);
    fixture.click(QStringLiteral("btnTray"));
    QVERIFY(!fixture.platform.trayIconShown);
    QVERIFY(fixture.window->isMinimized());
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
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
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), QString());
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
    fixture.window->move(200, 133);
    fixture.doubleClickRow(0);
    QString opened;
    QPoint openedAt;
    QString flagWhileOpen;
    QTimer::singleShot(0, this, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        opened = QString::fromLatin1(modal->metaObject()->className());
        openedAt = modal->pos();
        flagWhileOpen = fixture.state(QStringLiteral("lblAbreFecha"));
        modal->close();
    });
    fixture.click(button);
    QCOMPARE(opened, className);
    // 530 twips right of and 580 twips below the main window's corner.
    QCOMPARE(openedAt, QPoint(200 + 35, 133 + 39));
    QCOMPARE(flagWhileOpen, sideWindowsAfter);
    QCOMPARE(fixture.state(QStringLiteral("lblAbreFecha")), sideWindowsAfter);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestMainWindow::notice()
{
    Fixture fixture(0);
    auto* notice = fixture.find<QLabel>(QStringLiteral("lblAviso"));
    fixture.window->showNotice(QStringLiteral("Entrada inserida com sucesso!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("Entrada inserida com sucesso!"));
    QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 5000);

    emit fixture.window->sideWindows()->noticeRequested(QStringLiteral("O título não pode ficar vazio!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("O título não pode ficar vazio!"));
}

void TestMainWindow::settingsLabels()
{
    Fixture fixture(0);
    QCOMPARE(fixture.state(QStringLiteral("lblChaveConfig")),
             QString::fromLatin1(fixture.vault.settings().installationKey));
    QVERIFY(!fixture.state(QStringLiteral("lblChaveConfig")).isEmpty());
    QCOMPARE(fixture.state(QStringLiteral("lblSenhaInicial")), QStringLiteral("8046"));
    QCOMPARE(fixture.state(QStringLiteral("lblUsaSenha")), QStringLiteral("Não"));
    QVERIFY(fixture.vault.saveSettings("nova", true).ok());
    QCOMPARE(fixture.state(QStringLiteral("lblSenhaInicial")), QStringLiteral("nova"));
    QCOMPARE(fixture.state(QStringLiteral("lblUsaSenha")), QStringLiteral("Sim"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
