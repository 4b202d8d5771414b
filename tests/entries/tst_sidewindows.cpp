#include "support/input.h"
#include "support/vaultfixture.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "platform/twips.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>

namespace {

const QByteArray banco =
    entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao", "s3nha", "https://banco.example", "conta¥agência");
const QByteArray correio = entryRecord("Correio", "----/----/----", "07.01.31.23.59.59", "maria", "x", "mail.example");
const QByteArray loja = entryRecord("Loja", "01/01/30", "20.02.29.00.00.00", "ana", "pw", "", "cliente");
const QList<QByteArray> three{banco, correio, loja};

// The records in the vault and the side windows shown with the entry at the index, beside a main window at 3000, 1995
// twips, with the clock fixed at 15 March 2008, 10:22:41.
struct SideHost : VaultFixture
{
    explicit SideHost(qsizetype index, const QList<QByteArray>& records = three)
    {
        addRecords(records);
        sides.setClock([] { return QDateTime(QDate(2008, 3, 15), QTime(10, 22, 41)); });
        sides.placeBeside(QRect(Twips::point(3000, 1995), Twips::size(4500, 5400)));
        sides.showEntry(index);
        sides.setShown(true);
    }

    QWidget* detail(const char* name) const { return child(sides.detailWindow(), name); }
    QWidget* update(const char* name) const { return child(sides.updateWindow(), name); }
    // Lets windows closed with deleteLater go.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    SideWindows sides{vault, platform};
    QSignalSpy closed{&sides, &SideWindows::closed};
    QSignalSpy notices{&sides, &SideWindows::noticeRequested};
};

} // namespace

class TestSideWindows : public QObject
{
    Q_OBJECT

private slots:
    void savesTheEditedEntry();
    void deletesTheEntry_data();
    void deletesTheEntry();
    void refusedChangeKeepsEverything_data();
    void refusedChangeKeepsEverything();
    void changeAfterOutsideChange_data();
    void changeAfterOutsideChange();
    void detailBoxesAreFiltered();
    void opensTheAddress_data();
    void opensTheAddress();
    void placedBesideTheMainWindow();
};

void TestSideWindows::savesTheEditedEntry()
{
    SideHost host(2);
    QCOMPARE(textOf(host.update("txtPostado")), QStringLiteral("29/02/20"));
    // A title with leading spaces is kept as typed; it now sorts first.
    retype(host.detail("txtTitulo"), QStringLiteral("  Loja nova"));
    retype(host.detail("txtSenha"), QStringLiteral("n0va"));
    click(host.update("btnCalendario"));
    QCOMPARE(textOf(host.update("TitMesAno2")), QStringLiteral("Mar  2008"));
    // March 2008 starts on a Saturday: day 9 is in cell 14.
    click(host.update("Casa_14"));
    QCOMPARE(textOf(host.update("txtVencimento")), QStringLiteral("09/03/08"));
    QWidget* description = host.update("txtDescricao");
    QTest::keyClick(description, Qt::Key_End, Qt::ControlModifier);
    typeText(description, QStringLiteral("\ndesde 2008"));
    click(host.update("btnOk"));

    // Every line ended, the changed record in the place of the old one.
    const QByteArray saved =
        entryRecord("  Loja nova", "09/03/08", "08.03.15.10.22.41", "ana", "n0va", "", "cliente¥desde 2008");
    QCOMPARE(host.fileLines(), (QList<QByteArray>{banco, correio, saved, ""}));
    QCOMPARE(host.entries(), (QList<QByteArray>{saved, banco, correio}));
    QCOMPARE(host.platform.beeps, 1);
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("Entrada inserida com sucesso!"));
    QCOMPARE(host.closed.size(), 1);
    QVERIFY(!host.sides.isShown());
}

void TestSideWindows::deletesTheEntry_data()
{
    QTest::addColumn<QList<QByteArray>>("records");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<QByteArray>>("lines");
    // The deleted entry leaves an empty line in its place.
    QTest::newRow("the only entry") << QList<QByteArray>{banco} << 0 << QList<QByteArray>{"", ""};
    QTest::newRow("first") << three << 0 << QList<QByteArray>{"", correio, loja, ""};
    QTest::newRow("middle") << three << 1 << QList<QByteArray>{banco, "", loja, ""};
    QTest::newRow("last") << three << 2 << QList<QByteArray>{banco, correio, "", ""};
}

void TestSideWindows::deletesTheEntry()
{
    QFETCH(QList<QByteArray>, records);
    QFETCH(int, index);
    QFETCH(QList<QByteArray>, lines);
    SideHost host(index, records);
    click(host.update("btnDel"));

    QCOMPARE(host.fileLines(), lines);
    if (records.size() == 1) {
        QCOMPARE(host.file(), QByteArray("\"\r\n\"\r\n"));
    }
    records.removeAt(index);
    QCOMPARE(host.entries(), records);
    QCOMPARE(host.notices.first().first().toString(), QStringLiteral("Entrada excluída com sucesso!"));
    QCOMPARE(host.closed.size(), 1);
    QCOMPARE(host.platform.beeps, 1);
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
    const QString failed = QStringLiteral("Não foi possível gravar o arquivo pswd.tab:\nO arquivo ultrapassa o "
                                          "tamanho máximo permitido.\n\nO arquivo anterior foi preservado e nada "
                                          "foi alterado.");
    QTest::newRow("save, write failed") << QByteArray("btnOk") << "failed" << failed;
    QTest::newRow("delete, write failed") << QByteArray("btnDel") << "failed" << failed;
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
        host.settle();
        host.sides.setShown(true);
        typeText(host.detail("txtTitulo"), QStringLiteral("Loja"));
    } else if (cause == "failed") {
        noWrites.emplace(0);
    } else {
        retype(host.detail("txtTitulo"), cause);
    }
    const QByteArray before = host.file();
    const QList<QByteArray> entries = host.entries();
    retype(host.detail("txtLogin"), QStringLiteral("outra"));
    click(host.update(button.constData()));

    QCOMPARE(host.file(), before);
    QCOMPARE(host.entries(), entries);
    QVERIFY(host.closed.isEmpty());
    QVERIFY(host.sides.detailWindow()->isVisible() && host.sides.updateWindow()->isVisible());
    QCOMPARE(textOf(host.detail("txtLogin")), QStringLiteral("outra"));
    if (message.startsWith(QStringLiteral("O título"))) {
        QVERIFY(host.platform.messages.isEmpty());
        QCOMPARE(host.platform.beeps, 1);
        QCOMPARE(host.notices.first().first().toString(), message);
        QCOMPARE(textOf(host.update("lblMensagem")), message);
    } else {
        QCOMPARE(host.platform.messages.size(), 1);
        QCOMPARE(host.platform.messages.first().text, message);
        QVERIFY(host.notices.isEmpty());
        QCOMPARE(host.platform.beeps, 0);
    }
}

// Another program changed pswd.tab while the entry was open: the change is made to what the file holds when the entry
// is still there, refused when it is not; the user is told either way and the list shows the file.
void TestSideWindows::changeAfterOutsideChange_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("shownRemoved");
    QTest::addColumn<QList<QByteArray>>("after");
    const QByteArray other = entryRecord("Outra", "----/----/----", "01.01.01.01.01.01");
    const QByteArray changed = entryRecord("Loja", "01/01/30", "08.03.15.10.22.41", "outra", "pw", "", "cliente");
    QTest::newRow("save, another entry added")
        << QByteArray("btnOk") << false << QList<QByteArray>{banco, correio, changed, other};
    QTest::newRow("delete, another entry added")
        << QByteArray("btnDel") << false << QList<QByteArray>{banco, correio, other};
    QTest::newRow("save, entry removed") << QByteArray("btnOk") << true << QList<QByteArray>{banco, correio};
    QTest::newRow("delete, entry removed") << QByteArray("btnDel") << true << QList<QByteArray>{banco, correio};
}

void TestSideWindows::changeAfterOutsideChange()
{
    QFETCH(QByteArray, button);
    QFETCH(bool, shownRemoved);
    QFETCH(QList<QByteArray>, after);
    SideHost host(2);
    Vault outside(host.folder.path());
    QVERIFY(outside.open().ok());
    QVERIFY(shownRemoved ? outside.deleteEntry(2, loja).ok()
                         : outside.addEntry(entryRecord("Outra", "----/----/----", "01.01.01.01.01.01")).ok());
    const QByteArray outsideFile = host.file();
    retype(host.detail("txtLogin"), QStringLiteral("outra"));
    click(host.update(button.constData()));

    QCOMPARE(host.entries(), after);
    QCOMPARE(host.platform.messages.size(), 1);
    QCOMPARE(host.platform.messages[0].icon, Platform::MessageIcon::Exclamation);
    QVERIFY(host.platform.messages[0].text.startsWith(
        QStringLiteral("O arquivo pswd.tab foi alterado fora do programa depois que o programa o leu.")));
    QCOMPARE(host.platform.messages[0].text.contains(QStringLiteral("nada foi gravado")), shownRemoved);
    if (shownRemoved) {
        QCOMPARE(host.file(), outsideFile);
        QVERIFY(host.notices.isEmpty() && host.closed.isEmpty());
        return;
    }
    QCOMPARE(host.folder.read(QStringLiteral("pswd.tab.bak")), outsideFile);
    QCOMPARE(host.closed.size(), 1);
    QCOMPARE(host.platform.beeps, 1);
}

// A stored password longer than the box's limit is shown whole and can be shortened; nothing refused is taken.
void TestSideWindows::detailBoxesAreFiltered()
{
    const QString stored = QStringLiteral("Xk9mQ2vL7pR4sT8wZ3nB6yH1");
    SideHost host(0, {entryRecord("Banco", "15/12/26", "26.12.01.09.08.07", "joao~", stored.toLatin1().constData())});
    QWidget* password = host.detail("txtSenha");
    QWidget* message = host.detail("lblMensagem");
    QCOMPARE(textOf(password), stored);
    QTest::keyClick(password, Qt::Key_End);
    QTest::keyClicks(password, QStringLiteral("9"));
    QCOMPARE(textOf(password), stored);
    QCOMPARE(textOf(message), QStringLiteral("A senha aceita no máximo 20 caracteres."));
    QTest::keyClick(password, Qt::Key_Backspace);
    QCOMPARE(textOf(password), stored.chopped(1));

    // The stored tilde stays; a pasted one is refused with the paste.
    QWidget* login = host.detail("txtLogin");
    QTest::keyClick(login, Qt::Key_End);
    QApplication::clipboard()->setText(QStringLiteral("x~"));
    QTest::keyClick(login, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(textOf(login), QStringLiteral("joao~"));
    QCOMPARE(textOf(message), QStringLiteral("O caractere ~ não é aceito neste campo."));
    QVERIFY(message->isVisible());
    QCOMPARE(host.platform.beeps, 2);

    retype(host.detail("txtTitulo"), QStringLiteral("a§b¥cΩ~º"));
    QCOMPARE(textOf(host.detail("txtTitulo")), QStringLiteral("abc~º"));
    QCOMPARE(host.platform.beeps, 5);
    click(host.update("btnOk"));
    QCOMPARE(host.entries().first(),
             entryRecord("abc~º", "15/12/26", "08.03.15.10.22.41", "joao~", stored.chopped(1).toLatin1().constData()));
}

void TestSideWindows::opensTheAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    QTest::newRow("web address") << "https://banco.example/a b?x=1&y=ç"
                                 << "https://banco.example/a%20b?x=1&y=%C3%A7";
    // pswd.tab lies in the data folder, so the name alone finds it there.
    QTest::newRow("file beside the vault") << "pswd.tab"
                                           << "<data>/pswd.tab";
    QTest::newRow("blank: nothing, a beep") << "   "
                                            << "";
}

void TestSideWindows::opensTheAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, opened);
    SideHost host(0);
    retype(host.detail("txtUrl"), address);
    click(host.detail("btnUrl"));
    const QString expected =
        opened.replace(QStringLiteral("<data>"), QUrl::fromLocalFile(host.folder.path()).toString());
    QCOMPARE(host.platform.openedAddresses, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(expected)});
    QCOMPARE(host.platform.beeps, opened.isEmpty() ? 1 : 0);
}

void TestSideWindows::placedBesideTheMainWindow()
{
    SideHost host(0);
    // 30 twips clear of the main window's frame (3000, 1995, 4500 wide) on either side, 850 twips lower.
    for (int pass = 0; pass < 2; ++pass) {
        QCOMPARE(host.sides.detailWindow()->geometry(), Twips::rect(300, 2845, 2670, 3420));
        QCOMPARE(host.sides.updateWindow()->geometry(), Twips::rect(7530, 2845, 2685, 3420));
        // Windows made later land in the same places.
        host.sides.close();
        host.settle();
        host.sides.showEntry(1);
    }
}

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
