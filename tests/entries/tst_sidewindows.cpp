#include "vaultfixture.h"

#include "calendar/monthcalendar.h"
#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "platform/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

namespace {

const QDateTime savedAt(QDate(2008, 3, 15), QTime(10, 22, 41));

const QByteArray banco =
    entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao", "s3nha", "https://banco.example", "conta¥agência");
const QByteArray correio =
    entryRecord("Correio", "----/----/----", "07.01.31.23.59.59", "maria", "x", "mail.example", "");
const QByteArray loja = entryRecord("Loja", "01/01/30", "20.02.29.00.00.00", "ana", "pw", "", "cliente");

// Three entries in the vault (sorted: Banco, Correio, Loja) and the side windows over them, beside a main window at
// 3000, 1995 twips, with the clock fixed at 15 March 2008, 10:22:41.
struct SideHost : VaultFixture
{
    SideHost()
    {
        addRecords({loja, banco, correio});
        sides.setClock([] { return savedAt; });
        sides.placeBeside(QRect(Twips::point(3000, 1995), Twips::size(4500, 5400)));
    }

    void open(qsizetype index)
    {
        sides.showEntry(index);
        sides.setShown(true);
    }
    QLineEdit* detailBox(const char* name) const
    {
        return sides.detailWindow()->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QLineEdit* updateBox(const char* name) const
    {
        return sides.updateWindow()->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QPlainTextEdit* description() const
    {
        return sides.updateWindow()->findChild<QPlainTextEdit*>(QStringLiteral("txtDescricao"));
    }
    void click(QWidget* window, const char* name) const
    {
        QTest::mouseClick(window->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void replaceText(QLineEdit* box, const QString& text) const
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        typeText(box, text);
    }
    // Lets windows closed with deleteLater go.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    SideWindows sides{vault, platform};
};

} // namespace

class TestSideWindows : public QObject
{
    Q_OBJECT

private slots:
    void fillsBothWindowsFromTheEntry_data();
    void fillsBothWindowsFromTheEntry();
    void placedBesideTheMainWindow_data();
    void placedBesideTheMainWindow();
    void cutToTheirOutlines_data();
    void cutToTheirOutlines();
    void savesTheEditedEntry();
    void savesAPickedDateAndNewLines();
    void deletesTheEntry_data();
    void deletesTheEntry();
    void deletingTheOnlyEntry();
    void blankTitleChangesNothing_data();
    void blankTitleChangesNothing();
    void closedDetailWindowComesBackEmpty();
    void staleIndexChangesNothing_data();
    void staleIndexChangesNothing();
    void failedWriteKeepsEverything_data();
    void failedWriteKeepsEverything();
    void opensTheAddressUnchanged_data();
    void opensTheAddressUnchanged();
    void detailBoxesFilterTyping_data();
    void detailBoxesFilterTyping();
    void shownHiddenAndClosedTogether();
};

void TestSideWindows::fillsBothWindowsFromTheEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("detail");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("updatedOn");
    QTest::addColumn<QString>("expiry");
    QTest::newRow("Banco") << 0 << QStringList{"Banco", "https://banco.example", "joao", "s3nha"} << "conta\nagência"
                           << "01/12/26"
                           << "15/12/26";
    QTest::newRow("Correio") << 1 << QStringList{"Correio", "mail.example", "maria", "x"} << ""
                             << "31/01/07"
                             << "----/----/----";
    QTest::newRow("Loja") << 2 << QStringList{"Loja", "", "ana", "pw"} << "cliente"
                          << "29/02/20"
                          << "01/01/30";
}

void TestSideWindows::fillsBothWindowsFromTheEntry()
{
    QFETCH(int, index);
    QFETCH(QStringList, detail);
    QFETCH(QString, description);
    QFETCH(QString, updatedOn);
    QFETCH(QString, expiry);
    SideHost host;
    // Filled while hidden, and again on every selection.
    host.sides.showEntry(2 - index);
    host.sides.showEntry(index);
    QVERIFY(!host.sides.detailWindow()->isVisible());
    QVERIFY(!host.sides.updateWindow()->isVisible());
    QCOMPARE(host.detailBox("txtTitulo")->text(), detail[0]);
    QCOMPARE(host.detailBox("txtUrl")->text(), detail[1]);
    QCOMPARE(host.detailBox("txtLogin")->text(), detail[2]);
    QCOMPARE(host.detailBox("txtSenha")->text(), detail[3]);
    QCOMPARE(host.description()->toPlainText(), description);
    QCOMPARE(host.updateBox("txtPostado")->text(), updatedOn);
    QCOMPARE(host.updateBox("txtVencimento")->text(), expiry);
    QVERIFY(host.updateBox("txtPostado")->isReadOnly());
    QVERIFY(host.updateBox("txtVencimento")->isReadOnly());
}

void TestSideWindows::placedBesideTheMainWindow_data()
{
    QTest::addColumn<QPoint>("mainTwips");
    QTest::addColumn<QPoint>("detailTwips");
    QTest::addColumn<QPoint>("updateTwips");
    QTest::newRow("main at 3000, 1995") << QPoint(3000, 1995) << QPoint(300, 2845) << QPoint(7530, 2845);
    QTest::newRow("main at the screen's corner") << QPoint(0, 0) << QPoint(-2700, 850) << QPoint(4530, 850);
}

void TestSideWindows::placedBesideTheMainWindow()
{
    QFETCH(QPoint, mainTwips);
    QFETCH(QPoint, detailTwips);
    QFETCH(QPoint, updateTwips);
    SideHost host;
    host.open(0);
    host.sides.placeBeside(QRect(Twips::point(mainTwips.x(), mainTwips.y()), Twips::size(4500, 5400)));
    QCOMPARE(host.sides.detailWindow()->pos(), Twips::point(detailTwips.x(), detailTwips.y()));
    QCOMPARE(host.sides.updateWindow()->pos(), Twips::point(updateTwips.x(), updateTwips.y()));
    QCOMPARE(host.sides.detailWindow()->size(), Twips::size(2670, 3420));
    QCOMPARE(host.sides.updateWindow()->size(), Twips::size(2685, 3420));
    // Windows made later land in the same places.
    host.sides.close();
    host.settle();
    host.sides.showEntry(1);
    QCOMPARE(host.sides.detailWindow()->pos(), Twips::point(detailTwips.x(), detailTwips.y()));
    QCOMPARE(host.sides.updateWindow()->pos(), Twips::point(updateTwips.x(), updateTwips.y()));
}

void TestSideWindows::cutToTheirOutlines_data()
{
    QTest::addColumn<bool>("detail");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("inside");
    QTest::newRow("detail: top-left corner") << true << QPoint(0, 0) << false;
    QTest::newRow("detail: middle") << true << QPoint(90, 100) << true;
    QTest::newRow("detail: low right end of the slope") << true << QPoint(168, 224) << true;
    QTest::newRow("detail: high left end of the slope") << true << QPoint(3, 220) << false;
    QTest::newRow("update: top-right corner") << false << QPoint(177, 0) << false;
    QTest::newRow("update: low left end of the slope") << false << QPoint(7, 224) << true;
    QTest::newRow("update: high right end of the slope") << false << QPoint(172, 220) << false;
}

void TestSideWindows::cutToTheirOutlines()
{
    QFETCH(bool, detail);
    QFETCH(QPoint, pixel);
    QFETCH(bool, inside);
    SideHost host;
    host.sides.showEntry(0);
    QWidget* window = detail ? static_cast<QWidget*>(host.sides.detailWindow()) : host.sides.updateWindow();
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->mask().contains(pixel), inside);
}

void TestSideWindows::savesTheEditedEntry()
{
    SideHost host;
    host.open(1);
    QSignalSpy closed(&host.sides, &SideWindows::closed);
    QSignalSpy notices(&host.sides, &SideWindows::noticeRequested);
    // A title with leading spaces is kept as typed; it now sorts first.
    host.replaceText(host.detailBox("txtTitulo"), QStringLiteral("  Correio novo"));
    host.replaceText(host.detailBox("txtSenha"), QStringLiteral("n0va"));
    host.click(host.sides.updateWindow(), "btnOk");

    const QByteArray saved =
        entryRecord("  Correio novo", "----/----/----", "08.03.15.10.22.41", "maria", "n0va", "mail.example", "");
    // Every line ended, the changed record in the place of the old one.
    const QList<QByteArray> lines = host.bodyLines();
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[3].isEmpty());
    QCOMPARE(host.recordOfLine(lines[0]), banco);
    QVERIFY(isEncodedLineOf(lines[1].chopped(1), saved));
    QCOMPARE(host.recordOfLine(lines[1]), saved);
    QCOMPARE(host.recordOfLine(lines[2]), loja);
    QCOMPARE(host.vault.entries().at(0), saved);

    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
    QCOMPARE(closed.size(), 1);
    QVERIFY(!host.sides.isShown());
    host.settle();
    QVERIFY(!host.sides.detailWindow());
    QVERIFY(!host.sides.updateWindow());

    // Shown again, the stamp of the save reads as its date.
    host.sides.showEntry(0);
    QCOMPARE(host.updateBox("txtPostado")->text(), QStringLiteral("15/03/08"));
}

void TestSideWindows::savesAPickedDateAndNewLines()
{
    SideHost host;
    host.open(2);
    MonthCalendar* calendar = host.sides.updateWindow()->calendar();
    host.click(host.sides.updateWindow(), "btnCalendario");
    QVERIFY(calendar->isShownInWindow());
    QCOMPARE(calendar->y(), Twips::toPixels(730));
    QCOMPARE(host.sides.updateWindow()->findChild<QLabel*>(QStringLiteral("TitMesAno2"))->text(),
             QStringLiteral("Mar  2008"));
    // March 2008 starts on a Saturday: day 9 is in cell 14.
    QTest::mouseClick(host.sides.updateWindow()->findChild<QWidget*>(QStringLiteral("Casa_14")), Qt::LeftButton);
    QCOMPARE(host.updateBox("txtVencimento")->text(), QStringLiteral("09/03/08"));
    QCOMPARE(calendar->y(), Twips::toPixels(3840));
    host.description()->moveCursor(QTextCursor::End);
    QTest::keyClick(host.description(), Qt::Key_Return);
    typeText(host.description(), QStringLiteral("desde 2008"));
    host.click(host.sides.updateWindow(), "btnOk");

    const QByteArray saved =
        entryRecord("Loja", "09/03/08", "08.03.15.10.22.41", "ana", "pw", "", "cliente¥desde 2008");
    QCOMPARE(host.records(), (QList<QByteArray>{banco, correio, saved}));
    host.sides.showEntry(2);
    QCOMPARE(host.description()->toPlainText(), QStringLiteral("cliente\ndesde 2008"));
}

void TestSideWindows::deletesTheEntry_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 1;
    QTest::newRow("last") << 2;
}

void TestSideWindows::deletesTheEntry()
{
    QFETCH(int, index);
    SideHost host;
    const QList<QByteArray> before{banco, correio, loja};
    host.open(index);
    QSignalSpy closed(&host.sides, &SideWindows::closed);
    QSignalSpy notices(&host.sides, &SideWindows::noticeRequested);
    host.click(host.sides.updateWindow(), "btnDel");

    // The deleted entry leaves an empty line in its place.
    const QList<QByteArray> lines = host.bodyLines();
    QCOMPARE(lines.size(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(lines[i] == "\r", i == index);
        if (i != index) {
            QCOMPARE(host.recordOfLine(lines[i]), before[i]);
        }
    }
    QList<QByteArray> remaining = before;
    remaining.removeAt(index);
    QCOMPARE(host.records(), remaining);
    QCOMPARE(host.vault.entries().size(), 2);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("Entrada excluída com sucesso!"));
    QCOMPARE(closed.size(), 1);
    QCOMPARE(host.platform.beeps, 1);
}

void TestSideWindows::deletingTheOnlyEntry()
{
    VaultFixture fixture;
    fixture.addRecords({banco});
    SideWindows sides(fixture.vault, fixture.platform);
    sides.showEntry(0);
    sides.setShown(true);
    QTest::mouseClick(sides.updateWindow()->findChild<QWidget*>(QStringLiteral("btnDel")), Qt::LeftButton);
    QCOMPARE(fixture.file(), QByteArray("\"\r\n\"\r\n"));
    QVERIFY(fixture.vault.entries().isEmpty());
}

void TestSideWindows::blankTitleChangesNothing_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("title");
    QTest::newRow("save, empty title") << QByteArray("btnOk") << "";
    QTest::newRow("save, spaces") << QByteArray("btnOk") << "   ";
    QTest::newRow("delete, empty title") << QByteArray("btnDel") << "";
    QTest::newRow("delete, spaces") << QByteArray("btnDel") << "   ";
}

void TestSideWindows::blankTitleChangesNothing()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, title);
    SideHost host;
    const QByteArray before = host.file();
    host.open(0);
    QSignalSpy closed(&host.sides, &SideWindows::closed);
    QSignalSpy notices(&host.sides, &SideWindows::noticeRequested);
    host.replaceText(host.detailBox("txtTitulo"), title);
    host.description()->moveCursor(QTextCursor::End);
    typeText(host.description(), QStringLiteral(" e poupança"));
    host.click(host.sides.updateWindow(), button.constData());

    QCOMPARE(host.file(), before);
    QCOMPARE(host.vault.entries().size(), 3);
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("O título não pode ficar vazio!"));
    QVERIFY(closed.isEmpty());
    // Both windows stay open with what was typed, and say why.
    QVERIFY(host.sides.isShown());
    QVERIFY(host.sides.detailWindow()->isVisible());
    QVERIFY(host.sides.updateWindow()->isVisible());
    QCOMPARE(host.detailBox("txtTitulo")->text(), title);
    QVERIFY(host.description()->toPlainText().endsWith(QStringLiteral(" e poupança")));
    auto* message = host.sides.updateWindow()->findChild<QLabel*>(QStringLiteral("lblMensagem"));
    QVERIFY(message->isVisible());
    QCOMPARE(message->text(), QStringLiteral("O título não pode ficar vazio!"));
}

void TestSideWindows::closedDetailWindowComesBackEmpty()
{
    SideHost host;
    const QByteArray before = host.file();
    host.open(0);
    host.click(host.sides.detailWindow(), "btnFechar");
    // Only the detail window goes; the pair still counts as shown.
    QVERIFY(!host.sides.detailWindow());
    QVERIFY(host.sides.updateWindow()->isVisible());
    QVERIFY(host.sides.isShown());
    host.settle();

    host.click(host.sides.updateWindow(), "btnOk");
    QCOMPARE(host.file(), before);
    QCOMPARE(host.platform.beeps, 1);
    QVERIFY(host.sides.detailWindow());
    QVERIFY(host.detailBox("txtTitulo")->text().isEmpty());
    host.click(host.sides.updateWindow(), "btnDel");
    QCOMPARE(host.file(), before);

    // The next selection fills it again.
    host.sides.showEntry(2);
    QCOMPARE(host.detailBox("txtTitulo")->text(), QStringLiteral("Loja"));
}

void TestSideWindows::staleIndexChangesNothing_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::newRow("save") << QByteArray("btnOk");
    QTest::newRow("delete") << QByteArray("btnDel");
}

void TestSideWindows::staleIndexChangesNothing()
{
    QFETCH(QByteArray, button);
    SideHost host;
    host.open(1);
    // Meanwhile an entry that sorts first moves Correio to index 2.
    host.addRecords({entryRecord("Aaa", "----/----/----", "01.01.01.01.01.01", "", "", "", "")});
    const QByteArray before = host.file();
    QSignalSpy closed(&host.sides, &SideWindows::closed);
    host.click(host.sides.updateWindow(), button.constData());
    QCOMPARE(host.file(), before);
    QCOMPARE(host.vault.entries().at(1), banco);
    QCOMPARE(host.platform.messages.size(), 1);
    QCOMPARE(host.platform.messages.first().text, SideWindows::staleEntryMessage());
    QVERIFY(closed.isEmpty());
    QVERIFY(host.sides.updateWindow()->isVisible());
    QCOMPARE(host.detailBox("txtTitulo")->text(), QStringLiteral("Correio"));

    // An index never shown changes nothing either.
    SideHost fresh;
    fresh.sides.setShown(true);
    const QByteArray untouched = fresh.file();
    fresh.replaceText(fresh.detailBox("txtTitulo"), QStringLiteral("Novo"));
    fresh.click(fresh.sides.updateWindow(), button.constData());
    QCOMPARE(fresh.file(), untouched);
}

void TestSideWindows::failedWriteKeepsEverything_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("pathIsADirectory");
    QTest::newRow("save, vault path taken by a folder") << QByteArray("btnOk") << true;
    QTest::newRow("save, disk full") << QByteArray("btnOk") << false;
    QTest::newRow("delete, vault path taken by a folder") << QByteArray("btnDel") << true;
    QTest::newRow("delete, disk full") << QByteArray("btnDel") << false;
}

void TestSideWindows::failedWriteKeepsEverything()
{
    QFETCH(QByteArray, button);
    QFETCH(bool, pathIsADirectory);
    SideHost host;
    const QByteArray before = host.file();
    host.open(2);
    host.replaceText(host.detailBox("txtLogin"), QStringLiteral("outra"));
    if (pathIsADirectory) {
        host.makeVaultPathADirectory();
    } else {
        VaultFixture::failEveryWrite();
    }
    QSignalSpy closed(&host.sides, &SideWindows::closed);
    host.click(host.sides.updateWindow(), button.constData());

    QCOMPARE(host.platform.messages.size(), 1);
    QCOMPARE(host.platform.messages.first().icon, Platform::MessageIcon::Critical);
    QVERIFY(host.platform.messages.first().text.contains(QStringLiteral("pswd.tab")));
    QVERIFY(closed.isEmpty());
    QVERIFY(host.sides.detailWindow()->isVisible());
    QCOMPARE(host.detailBox("txtLogin")->text(), QStringLiteral("outra"));
    QCOMPARE(host.vault.entries().size(), 3);
    QCOMPARE(host.vault.entries().at(2), loja);
    if (!pathIsADirectory) {
        QCOMPARE(host.file(), before);
    }
}

void TestSideWindows::opensTheAddressUnchanged_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("web address") << "https://banco.example/entrar?x=1";
    QTest::newRow("no scheme") << "www.exemplo.com.br";
    QTest::newRow("folder") << "C:\\Documentos\\senhas";
    QTest::newRow("spaces around") << "  ftp://arquivo  ";
    QTest::newRow("empty") << "";
}

void TestSideWindows::opensTheAddressUnchanged()
{
    QFETCH(QString, address);
    SideHost host;
    host.open(0);
    host.replaceText(host.detailBox("txtUrl"), address);
    host.click(host.sides.detailWindow(), "btnUrl");
    QCOMPARE(host.platform.openedAddresses, QStringList{address});
    QCOMPARE(host.sides.detailWindow()->findChild<QWidget*>(QStringLiteral("btnUrl"))->toolTip(),
             QStringLiteral(" Acessar URL "));
}

void TestSideWindows::detailBoxesFilterTyping_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("password: 20th taken, 21st not")
        << QByteArray("txtSenha") << QString(21, QLatin1Char('p')) << QString(20, QLatin1Char('p'));
    QTest::newRow("login: 45 characters")
        << QByteArray("txtLogin") << QString(50, QLatin1Char('l')) << QString(45, QLatin1Char('l'));
    QTest::newRow("title: 45 characters")
        << QByteArray("txtTitulo") << QString(50, QLatin1Char('t')) << QString(45, QLatin1Char('t'));
    QTest::newRow("address: 255 characters")
        << QByteArray("txtUrl") << QString(256, QLatin1Char('u')) << QString(255, QLatin1Char('u'));
    QTest::newRow("login drops tilde and masculine ordinal") << QByteArray("txtLogin") << "a~bºc"
                                                             << "abc";
    QTest::newRow("password drops tilde and masculine ordinal") << QByteArray("txtSenha") << "a~bºc"
                                                                << "abc";
    QTest::newRow("title takes them") << QByteArray("txtTitulo") << "a~bºc"
                                      << "a~bºc";
    QTest::newRow("address takes them") << QByteArray("txtUrl") << "a~bºc"
                                        << "a~bºc";
    QTest::newRow("title drops the record marks") << QByteArray("txtTitulo") << "a§b¥c"
                                                  << "abc";
}

void TestSideWindows::detailBoxesFilterTyping()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    SideHost host;
    host.sides.setShown(true);
    QLineEdit* edit = host.detailBox(box.constData());
    typeText(edit, typed);
    QCOMPARE(edit->text(), kept);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), kept.chopped(1));
}

void TestSideWindows::shownHiddenAndClosedTogether()
{
    SideHost host;
    QVERIFY(!host.sides.isShown());
    QVERIFY(!host.sides.detailWindow());
    host.open(0);
    QVERIFY(host.sides.isShown());
    QVERIFY(host.sides.detailWindow()->isVisible() && host.sides.updateWindow()->isVisible());
    host.sides.setShown(false);
    QVERIFY(!host.sides.isShown());
    QVERIFY(!host.sides.detailWindow()->isVisible() && !host.sides.updateWindow()->isVisible());
    // Hidden windows keep their contents and follow the selection.
    host.sides.showEntry(2);
    host.sides.setShown(true);
    QCOMPARE(host.detailBox("txtTitulo")->text(), QStringLiteral("Loja"));
    // The update window's own btnFechar closes it alone.
    host.click(host.sides.updateWindow(), "btnFechar");
    QVERIFY(!host.sides.updateWindow());
    QVERIFY(host.sides.detailWindow()->isVisible());
    host.sides.close();
    QVERIFY(!host.sides.isShown());
    QVERIFY(!host.sides.detailWindow());
    host.settle();
    host.sides.setShown(true);
    QVERIFY(host.detailBox("txtTitulo")->text().isEmpty());
    QVERIFY(host.description()->toPlainText().isEmpty());
}

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
