#include "support/mainwindowhost.h"
#include "support/programwindows.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"

namespace {

QByteArray entry(const char* title, const char* login = "", const char* address = "", const char* description = "")
{
    return entryRecord(title, "----/----/----", "26.01.02.03.04.05", login, "senha", address, description);
}

// Ten entries to search, and twenty numbered ones "Conta 00" to "Conta 19".
QList<QByteArray> vaultRecords()
{
    QList<QByteArray> records = {entry("João Banco", "jsilva"), entry("Loja", "Maria.Souza"), entry("ab", "cd")};
    records += {entry("Correio", "", "https://ÉLAN.example"), entry("Diário", "", "", "joao elan")};
    for (const char* title : {"Joao Neto", "Serviço", "Škoda", "1ª via", "Banco do Brasil"}) {
        records.append(entry(title));
    }
    for (int number = 0; number < 20; ++number) {
        records.append(ProgramWindows::record(number));
    }
    return records;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void typingFindsEntries_data();
    void typingFindsEntries();
    void resultsPageSelectAndClose();
};

void TestSearch::typingFindsEntries_data()
{
    QTest::addColumn<QString>("typed");
    // The search line's text, empty when it is closed, and the titles the list then shows on its first page.
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("found");

    const QStringList everything = {"1ª via",   "ab",       "Banco do Brasil", "Conta 00", "Conta 01",
                                    "Conta 02", "Conta 03", "Conta 04",        "Conta 05", "Conta 06",
                                    "Conta 07", "Conta 08", "Conta 09",        "Conta 10", "Conta 11"};
    const auto add = [](const char* name, const char* typed, const char* line, const QStringList& found) {
        QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(line) << found;
    };
    // Which entries a text finds is the matcher's, tested without a window; here what the window shows of it.
    add("an accent typed without, not in the description", "joao", "joao", {"João Banco", "Joao Neto"});
    add("Backspace widens it again", "bancos\b", "banco", {"Banco do Brasil", "João Banco"});
    add("emptied, it closes", "ab\b\b", "", everything);
    add("a space does not open it", " ", "", everything);
}

void TestSearch::typingFindsEntries()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QFETCH(QStringList, found);

    MainWindowHost host(vaultRecords());
    typeText(host.list(), typed);
    QCOMPARE(host.child("txtBusca")->isVisible(), !line.isEmpty());
    QCOMPARE(textOf(host.child("txtBusca")), line);
    QCOMPARE(host.titles(), found);
    QCOMPARE(textOf(host.child("lblTotalLembretes")), QString::number(line.isEmpty() ? 30 : found.size()));
}

void TestSearch::resultsPageSelectAndClose()
{
    MainWindowHost host(vaultRecords());
    SideWindows* sides = host.window->sideWindows();
    QWidget* line = host.child("txtBusca");
    typeText(host.list(), QStringLiteral("conta"));
    // Up on the first row of the first page of results stays there: nothing moves round.
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(host.list()->currentRow(), 0);
    click(host.child("imgAvanca"));
    QCOMPARE(host.titles(), (QStringList{"Conta 15", "Conta 16", "Conta 17", "Conta 18", "Conta 19"}));
    host.doubleClickRow(1);
    QCOMPARE(textOf(host.child("txtLogin")), QStringLiteral("login16"));
    // Up on the first row of the second page goes to the last row of the first.
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(textOf(host.child("lblPagina")) + " " + textOf(host.child("txtLogin")), QStringLiteral("1 login14"));

    // Deleted from the results: that entry's record, and no other, leaves its line empty; the search stays open.
    QList<QByteArray> lines = host.entries();
    lines.replace(lines.indexOf(ProgramWindows::record(14)), QByteArray());
    click(child(sides->updateWindow(), "btnDel"));
    QCOMPARE(host.fileLines(), lines + QList<QByteArray>{""});
    QWidget* notice = host.child("lblAviso");
    QCOMPARE(notice->isVisible() ? textOf(notice) : QString(), QStringLiteral("Entrada excluída com sucesso!"));
    QCOMPARE(host.list()->count(), 15);
    QCOMPARE(textOf(line), QStringLiteral("conta"));

    // Saved from the results: the record of the entry on that row, and no other, changes in its place.
    host.doubleClickRow(2);
    retype(child(sides->detailWindow(), "txtSenha"), QStringLiteral("Nova#senha9"));
    click(child(sides->updateWindow(), "btnOk"));
    // The file is written afresh, without the deleted entry's empty line.
    lines.removeOne(QByteArray());
    lines.replace(lines.indexOf(ProgramWindows::record(2)),
                  entryRecord("Conta 02", "----/----/----", "26.03.15.10.22.41", "login02", "Nova#senha9"));
    QCOMPARE(host.fileLines(), lines + QList<QByteArray>{""});

    // Escape closes the search before the side windows, from the list and from the search line.
    host.doubleClickRow(2);
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QVERIFY(!line->isVisible() && sides->isShown());
    typeText(host.list(), QStringLiteral("conta"));
    QTest::keyClick(line, Qt::Key_Escape);
    QVERIFY(!line->isVisible() && sides->isShown());
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QVERIFY(!sides->isShown());
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
