#include "support/input.h"
#include "support/vaultfixture.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "platform/twips.h"

#include <QDir>
#include <QSignalSpy>
#include <QTimer>

namespace {

const QByteArray banco =
    entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao", "s3nha", "https://banco.example", "conta¥agência");
const QByteArray correio = entryRecord("Correio", "----/----/----", "07.01.31.23.59.59", "maria", "x", "mail.example");
const QByteArray loja = entryRecord("Loja", "01/01/30", "20.02.29.00.00.00", "ana", "pw", "", "cliente");
const QByteArray other = entryRecord("Outra", "----/----/----", "01.01.01.01.01.01");
// Where the side windows stand beside a main window at 3000, 1995 twips, 4500 wide.
const QRect detailPlace = Twips::rect(300, 2845, 2670, 3420);
const QRect updatePlace = Twips::rect(7530, 2845, 2685, 3420);

// The side windows shown with the entry at the index of the three, beside that main window, with the clock fixed at
// 15 March 2008, 10:22:41.
struct SideHost : VaultFixture
{
    explicit SideHost(qsizetype index)
    {
        addRecords({banco, correio, loja});
        sides.setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 22, 41)); });
        sides.placeBeside(QRect(Twips::point(3000, 1995), Twips::size(4500, 5400)));
        sides.showEntry(index);
        sides.setShown(true);
    }
    QWidget* detail(const char* name) const { return child(sides.detailWindow(), name); }
    QWidget* update(const char* name) const { return child(sides.updateWindow(), name); }

    SideWindows sides{vault, platform};
    QSignalSpy closed{&sides, &SideWindows::closed};
    QSignalSpy notices{&sides, &SideWindows::noticeRequested};
};

} // namespace

class TestSideWindows : public QObject
{
    Q_OBJECT

private slots:
    void storesTheChange_data();
    void storesTheChange();
    void refusedChangeKeepsEverything_data();
    void refusedChangeKeepsEverything();
    void opensTheAddress_data();
    void opensTheAddress();
};

void TestSideWindows::storesTheChange_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("changedOutside");
    QTest::addColumn<QList<QByteArray>>("entries");
    // Empty when another program wrote the file.
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QString>("notice");
    // The title keeps its leading spaces and now sorts first; the record markers typed never reach the file.
    const QByteArray saved =
        entryRecord("  Loja nova", "09/03/08", "08.03.15.10.22.41", "ana", "n0va", "", "cliente¥desde 2008");
    const QString savedNotice = QStringLiteral("Entrada inserida com sucesso!");
    QTest::newRow("save: the edited entry in place of the old one")
        << QByteArray("btnOk") << false << QList<QByteArray>{saved, banco, correio}
        << QList<QByteArray>{banco, correio, saved, ""} << savedNotice;
    QTest::newRow("delete: an empty line in its place")
        << QByteArray("btnDel") << false << QList<QByteArray>{banco, correio}
        << QList<QByteArray>{banco, correio, "", ""} << QStringLiteral("Entrada excluída com sucesso!");
    QTest::newRow("save after another program added an entry: both kept, the user told")
        << QByteArray("btnOk") << true << QList<QByteArray>{saved, banco, correio, other} << QList<QByteArray>{}
        << savedNotice;
}

void TestSideWindows::storesTheChange()
{
    QFETCH(QByteArray, button);
    QFETCH(bool, changedOutside);
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QString, notice);
    SideHost host(2);
    QCOMPARE(host.sides.detailWindow()->geometry(), detailPlace);
    QCOMPARE(host.sides.updateWindow()->geometry(), updatePlace);
    QCOMPARE(textOf(host.update("txtPostado")), QStringLiteral("29/02/20"));
    if (changedOutside) {
        Vault outside(host.folder.path());
        QVERIFY(outside.open().ok() && outside.addEntry(other).ok());
    }
    retype(host.detail("txtTitulo"), QStringLiteral("  Loja nova"));
    retype(host.detail("txtSenha"), QStringLiteral("n0va"));
    click(host.update("btnCalendario"));
    QCOMPARE(textOf(host.update("TitMesAno2")), QStringLiteral("Mar  2008"));
    // March 2008 starts on a Saturday: day 9 is in cell 14.
    click(host.update("Casa_14"));
    QCOMPARE(textOf(host.update("txtVencimento")), QStringLiteral("09/03/08"));
    QWidget* description = host.update("txtDescricao");
    QTest::keyClick(description, Qt::Key_End, Qt::ControlModifier);
    typeText(description, QStringLiteral("\ndesde§ 2008¥"));
    click(host.update(button.constData()));

    QCOMPARE(host.entries(), entries);
    if (!lines.isEmpty()) {
        QCOMPARE(host.fileLines(), lines);
    }
    QCOMPARE(host.platform.messages.size(), changedOutside ? 1 : 0);
    if (changedOutside) {
        QCOMPARE(host.platform.messages[0].icon, Platform::MessageIcon::Exclamation);
        QVERIFY(host.platform.messages[0].text.startsWith(
            QStringLiteral("O arquivo pswd.tab foi alterado fora do programa depois que o programa o leu.")));
    }
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(host.notices.first().first().toString(), notice);
    QCOMPARE(host.closed.size(), 1);
    QVERIFY(!host.sides.isShown() && !host.sides.detailWindow() && !host.sides.updateWindow());
}

void TestSideWindows::refusedChangeKeepsEverything_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");
    const QString blank = QStringLiteral("O título não pode ficar vazio!");
    QTest::newRow("save, empty title") << QByteArray("btnOk") << "" << blank;
    QTest::newRow("delete, title of spaces") << QByteArray("btnDel") << "   " << blank;
    QTest::newRow("save, entry moved") << QByteArray("btnOk") << "moved" << SideWindows::staleEntryMessage();
    QTest::newRow("delete, entry moved") << QByteArray("btnDel") << "moved" << SideWindows::staleEntryMessage();
    QTest::newRow("save, detail window reopened empty")
        << QByteArray("btnOk") << "reopened" << SideWindows::staleEntryMessage();
    QTest::newRow("save, write failed") << QByteArray("btnOk") << "failed"
                                        << "Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o "
                                           "tamanho máximo permitido.\n\nO arquivo anterior foi preservado e nada "
                                           "foi alterado.";
}

void TestSideWindows::refusedChangeKeepsEverything()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, cause);
    QFETCH(QString, message);
    SideHost host(2);
    std::optional<FileSizeLimit> noWrites;
    if (cause == "moved") {
        // An entry that sorts first moves Loja to index 3.
        host.addRecords({entryRecord("Aaa", "----/----/----", "01.01.01.01.01.01")});
    } else if (cause == "reopened") {
        click(host.detail("btnFechar"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        host.sides.setShown(true);
        // Made afresh, it lands in the same place.
        QCOMPARE(host.sides.detailWindow()->geometry(), detailPlace);
        typeText(host.detail("txtTitulo"), QStringLiteral("Loja"));
    } else if (cause == "failed") {
        noWrites.emplace(0);
    } else {
        retype(host.detail("txtTitulo"), cause);
    }
    const QByteArray before = host.file();
    retype(host.detail("txtLogin"), QStringLiteral("outra"));
    click(host.update(button.constData()));

    QCOMPARE(host.file(), before);
    QCOMPARE(host.vault.entries().size(), cause == "moved" ? 4 : 3);
    QVERIFY(host.closed.isEmpty());
    QVERIFY(host.sides.detailWindow()->isVisible() && host.sides.updateWindow()->isVisible());
    QCOMPARE(textOf(host.detail("txtLogin")), QStringLiteral("outra"));
    const bool blank = cause.trimmed().isEmpty();
    QCOMPARE(host.platform.beeps, blank ? 1 : 0);
    QCOMPARE(host.notices.size(), blank ? 1 : 0);
    if (!blank) {
        QCOMPARE(host.platform.messages.size(), 1);
        QCOMPARE(host.platform.messages.first().text, message);
        return;
    }
    QVERIFY(host.platform.messages.isEmpty());
    QCOMPARE(host.notices.first().first().toString(), message);
    QWidget* notice = host.update("lblMensagem");
    QVERIFY(notice->isVisible());
    QCOMPARE(textOf(notice), message);
    // The notice stands until its timer runs out.
    auto* timer = notice->findChild<QTimer*>();
    QVERIFY(timer->isActive());
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QVERIFY(!notice->isVisible());
}

void TestSideWindows::opensTheAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    // <data> and <home> stand for the file URLs of the data folder, which holds notas.txt, and of the home folder.
    QTest::newRow("web address as written") << "https://banco.example/a b?x=ç"
                                            << "https://banco.example/a%20b?x=%C3%A7";
    QTest::newRow("mailto as written") << "mailto:ana@corvelo.example"
                                       << "mailto:ana@corvelo.example";
    QTest::newRow("a scheme, though named like a file") << "ftp://notas.txt"
                                                        << "ftp://notas.txt";
    QTest::newRow("file beside the vault, spaces round it") << "  notas.txt\t"
                                                            << "<data>/notas.txt";
    QTest::newRow("missing file: a site") << "nao-existe.txt"
                                          << "http://nao-existe.txt";
    QTest::newRow("site with a port") << "localhost:8080/x"
                                      << "http://localhost:8080/x";
    QTest::newRow("home folder") << "~"
                                 << "<home>";
    QTest::newRow("under the home folder, even missing") << "~/Documentos/y.pdf"
                                                         << "<home>/Documentos/y.pdf";
    QTest::newRow("absolute path, even missing") << "/nao/existe.txt"
                                                 << "file:///nao/existe.txt";
    QTest::newRow("blank: nothing, a beep") << "   "
                                            << "";
}

void TestSideWindows::opensTheAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, opened);
    SideHost host(0);
    host.folder.write(QStringLiteral("notas.txt"), {});
    retype(host.detail("txtUrl"), address);
    click(host.detail("btnUrl"));
    opened.replace(QStringLiteral("<data>"), QUrl::fromLocalFile(host.folder.path()).toString())
        .replace(QStringLiteral("<home>"), QUrl::fromLocalFile(QDir::homePath()).toString());
    QCOMPARE(host.platform.openedAddresses, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
    QCOMPARE(host.platform.beeps, opened.isEmpty() ? 1 : 0);
}

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
