#include "support/mainwindowhost.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "search/entrymatcher.h"
#include "storage/entrylist.h"

#include <QLineEdit>

namespace {

// An entry with no expiry date, written on 2 January 2026.
QByteArray entry(const char* title, const char* login = "", const char* password = "", const char* address = "",
                 const char* description = "")
{
    return entryRecord(title, "----/----/----", "26.01.02.03.04.05", login, password, address, description);
}

const QByteArray joao = entry("João Banco", "jsilva", "antiga");

// Twenty-two entries that never match "sao", twelve "São Paulo" titles and five more that match it in other ways; a
// description holding it does not match.
QList<QByteArray> vaultRecords()
{
    QList<QByteArray> records{joao, entry("José", "jose")};
    for (int number = 1; number <= 20; ++number) {
        records.append(entry(qPrintable(QStringLiteral("Conta %1").arg(number)), "login"));
        if (number <= 12) {
            records.append(entry(qPrintable(QStringLiteral("São Paulo %1").arg(number, 2, 10, QLatin1Char('0')))));
        }
    }
    for (const QByteArray& record :
         {entry("SAO Bento"), entry("Sao Roque", "roque", "pedra#1"), entry("São José"), entry("Banco", "sãopedro"),
          entry("Correio", "", "", "https://SAO.example"), entry("Diário", "", "", "", "São Paulo")}) {
        records.append(record);
    }
    return records;
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void typingFindsEntries_data();
    void typingFindsEntries();
    void rowsOfTheSecondPageSelectTheirEntry();
    void changesFromAResultHitTheRightRecord_data();
    void changesFromAResultHitTheRightRecord();
    void escapeClosesTheSearchFirst();
};

void TestSearch::matching_data()
{
    // Title, login, address and description, joined by "|".
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");

    const auto row = [](const char* name, const char* fields, const char* text, bool found) {
        QTest::newRow(name) << QString::fromUtf8(fields) << QString::fromUtf8(text) << found;
    };
    row("accent typed without", "João|||", "joao", true);
    row("accent typed, none stored", "Joao|||", "JOÃO", true);
    row("capitals", "conta corrente|||", "CORRENTE", true);
    row("cedilla", "Serviço|||", "servico", true);
    row("beyond Latin-1", "Škoda|||", "SKODA", true);
    row("ordinal", "1ª via|||", "1a via", true);
    row("a space inside", "Banco do Brasil|||", "o do b", true);
    row("in the login", "X|Maria.Souza||", "souza", true);
    row("in the address", "X||https://ÉLAN.example|", "elan", true);
    row("the description is not searched", "X|||joao", "joao", false);
    row("never across two fields", "ab|cd||", "bc", false);
    row("more than is there", "Banco|||", "bancos", false);
}

void TestSearch::matching()
{
    QFETCH(QString, fields);
    QFETCH(QString, text);
    QFETCH(bool, found);

    const QStringList parts = fields.split(QLatin1Char('|'));
    const QByteArray searched =
        entry(qPrintable(parts[0]), qPrintable(parts[1]), "", qPrintable(parts[2]), qPrintable(parts[3]));
    const EntryList entries({searched, entry("Zz outra")});
    QCOMPARE(EntryMatcher(entries).matching(text), found ? QList<qsizetype>{0} : QList<qsizetype>{});
}

void TestSearch::typingFindsEntries_data()
{
    QTest::addColumn<QString>("typed");
    // The search line shown, its text, the page, the rows shown, the count, the entry selected and the arrows; then
    // the titles of every page, joined by "|". A new search or its end shows a first page with nothing selected.
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("found");

    const QString saoTitles = QStringLiteral("Banco,Correio,SAO Bento,São José,São Paulo 01,São Paulo 02,São Paulo 03,"
                                             "São Paulo 04,São Paulo 05,São Paulo 06,São Paulo 07,São Paulo 08,"
                                             "São Paulo 09,São Paulo 10,São Paulo 11|São Paulo 12,Sao Roque");
    const auto row = [](const char* name, const char* typed, const char* state, const QString& found = {}) {
        QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(state) << found;
    };
    row("lower case, no accent", "sao", "open:sao p1 n15 of17 i >", saoTitles);
    row("capitals and an accent", "SÃO", "open:SÃO p1 n15 of17 i >", saoTitles);
    row("narrowed", "sao j", "open:sao j p1 n1 of1 i", QStringLiteral("São José"));
    row("widened again", "sao j\b", "open:sao  p1 n15 of15 i");
    row("nothing found", "xyz", "open:xyz p1 n0 of0 i");
    row("emptied closes", "sao\b\b\b", "closed p1 n15 of40 i >");
    row("Escape closes", "sao\x1b", "closed p1 n15 of40 i >");
    row("a space does not open", " ", "closed p1 n15 of40 i3 >");
}

void TestSearch::typingFindsEntries()
{
    QFETCH(QString, typed);
    QFETCH(QString, state);
    QFETCH(QString, found);

    MainWindowHost host(vaultRecords());
    host.clickRow(3);
    QCOMPARE(host.label("lblListIndex"), QStringLiteral("3"));
    for (const QChar c : typed) {
        const Qt::Key key = c == QLatin1Char('\b')  ? Qt::Key_Backspace
                            : c == QChar(0x1b)      ? Qt::Key_Escape
                            : c == QLatin1Char(' ') ? Qt::Key_Space
                                                    : Qt::Key_unknown;
        // The keys arrive where the focus is: the list at first, then the search line.
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key,
                            key == Qt::Key_unknown || key == Qt::Key_Space ? QString(c) : QString(), Qt::NoModifier);
    }
    const auto* line = qobject_cast<QLineEdit*>(host.child("txtBusca"));
    const QString shown = line->isVisible() ? QStringLiteral("open:") + line->text() : QStringLiteral("closed");
    QCOMPARE(QStringLiteral("%1 p%2 n%3 of%4 i%5 %6")
                 .arg(shown, host.label("lblPagina"))
                 .arg(host.list()->count())
                 .arg(host.label("lblTotalLembretes"), host.label("lblListIndex"),
                      host.child("imgAvanca")->isVisible() ? ">" : "")
                 .trimmed(),
             state);
    if (!found.isEmpty()) {
        QString pages = host.titles().join(QLatin1Char(','));
        while (host.child("imgAvanca")->isVisible()) {
            QTest::mouseClick(host.child("imgAvanca"), Qt::LeftButton);
            pages += QLatin1Char('|') + host.titles().join(QLatin1Char(','));
        }
        QCOMPARE(pages, found);
    }
}

void TestSearch::rowsOfTheSecondPageSelectTheirEntry()
{
    MainWindowHost host(vaultRecords());
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    // Up on the first row of the first page of results stays there: nothing moves round.
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(host.list()->currentRow(), 0);
    QTest::mouseClick(host.child("imgAvanca"), Qt::LeftButton);
    QCOMPARE(host.titles(), (QStringList{"São Paulo 12", "Sao Roque"}));
    host.clickRow(1);

    const qsizetype index = host.label("lblListIndex").toLongLong();
    QCOMPARE(EntryRecord::field(host.vault.entries().at(index), EntryRecord::Title), QByteArray("Sao Roque"));
    QCOMPARE(textOf(host.child("txtLogin")), QStringLiteral("roque"));
    QCOMPARE(textOf(host.child("txtSenha")), QStringLiteral("pedra#1"));
    QCOMPARE(textOf(child(host.window->sideWindows()->detailWindow(), "txtTitulo")), QStringLiteral("Sao Roque"));
    QTest::mouseClick(host.child("btnCopySenha"), Qt::LeftButton);
    QCOMPARE(host.platform.clipboard, QStringLiteral("pedra#1"));

    // Up on the first row of the second page goes to the last row of the first.
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(host.label("lblPagina") + QLatin1Char(' ') + host.titles().at(host.list()->currentRow()),
             QStringLiteral("1 São Paulo 11"));
}

void TestSearch::changesFromAResultHitTheRightRecord_data()
{
    QTest::addColumn<QByteArray>("button");
    // The record that takes the place of João's in the file, and the rows the search still finds.
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<int>("found");

    QTest::newRow("save") << QByteArray("btnOk")
                          << entryRecord("João Banco", "----/----/----", "26.03.15.10.22.41", "jsilva", "Nova#senha9")
                          << 1;
    QTest::newRow("delete") << QByteArray("btnDel") << QByteArray() << 0;
}

void TestSearch::changesFromAResultHitTheRightRecord()
{
    QFETCH(QByteArray, button);
    QFETCH(QByteArray, replacement);
    QFETCH(int, found);

    MainWindowHost host(vaultRecords());
    QList<QByteArray> lines = host.entries();
    QTest::keyClicks(host.list(), QStringLiteral("joao"));
    QCOMPARE(host.titles(), QStringList{QStringLiteral("João Banco")});
    host.doubleClickRow(0);
    SideWindows* sides = host.window->sideWindows();
    QVERIFY(sides->isShown());
    retype(child(sides->detailWindow(), "txtSenha"), QStringLiteral("Nova#senha9"));
    click(child(sides->updateWindow(), button.constData()));

    // The file is rewritten in the list's order: João's record, and no other, changed in its place.
    lines.replace(lines.indexOf(joao), replacement);
    lines.append(QByteArray());
    QCOMPARE(host.fileLines(), lines);
    // The search stays open over the changed list.
    QCOMPARE(textOf(host.child("txtBusca")), QStringLiteral("joao"));
    QCOMPARE(host.list()->count(), found);
}

void TestSearch::escapeClosesTheSearchFirst()
{
    MainWindowHost host(vaultRecords());
    host.doubleClickRow(0);
    SideWindows* sides = host.window->sideWindows();
    QVERIFY(sides->isShown());
    QWidget* line = host.child("txtBusca");

    // From the search line, and from the list after a row of the results was picked: the side windows stay.
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    QTest::keyClick(line, Qt::Key_Escape);
    QVERIFY(!line->isVisible() && sides->isShown());
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    host.clickRow(2);
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QVERIFY(!line->isVisible() && sides->isShown());

    // With no search open, Escape closes the side windows.
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QVERIFY(!sides->isShown());

    // The full list's keyboard rules are back as they were: right after start-up, Up on the first row moves round
    // to the last row of the page.
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(host.list()->currentRow(), 14);
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
