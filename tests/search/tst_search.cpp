#include "support/mainwindowhost.h"

#include "entries/detailwindow.h"
#include "entries/sidewindows.h"
#include "entries/updatewindow.h"
#include "search/entrymatcher.h"
#include "storage/entrylist.h"

#include <QLineEdit>
#include <QShortcut>
#include <QSignalSpy>

namespace {

const QByteArray joao = entryRecord("João Banco", "----/----/----", "26.01.02.03.04.05", "jsilva", "antiga", "", "");
const QByteArray jose = entryRecord("José", "10/10/30", "26.01.02.03.04.05", "jose", "outra", "", "");

// Twenty-two entries that never match "sao", twelve "São Paulo" titles and five more that match it in other ways; a
// description holding it does not match.
QList<QByteArray> vaultRecords()
{
    QList<QByteArray> records{joao, jose};
    for (int number = 0; number < 20; ++number) {
        records.append(entryRecord(qPrintable(QStringLiteral("Conta %1").arg(number, 2, 10, QLatin1Char('0'))),
                                   "----/----/----", "26.01.02.03.04.05", "login", "senha", "", ""));
    }
    for (int number = 1; number <= 12; ++number) {
        records.append(entryRecord(qPrintable(QStringLiteral("São Paulo %1").arg(number, 2, 10, QLatin1Char('0'))),
                                   "----/----/----", "26.01.02.03.04.05", "sp", "senha", "", ""));
    }
    records.append(entryRecord("SAO Bento", "----/----/----", "26.01.02.03.04.05"));
    records.append(entryRecord("Sao Roque", "----/----/----", "26.01.02.03.04.05", "roque", "pedra#1"));
    records.append(entryRecord("São José", "----/----/----", "26.01.02.03.04.05"));
    records.append(entryRecord("Banco", "----/----/----", "26.01.02.03.04.05", "sãopedro"));
    records.append(entryRecord("Correio", "----/----/----", "26.01.02.03.04.05", "", "", "https://SAO.example"));
    records.append(entryRecord("Diário", "----/----/----", "26.01.02.03.04.05", "", "", "", "São Paulo"));
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
    void keyboardRulesOfTheFullListStay();
    void escapeClosesTheSearchBeforeAnyShortcut();
};

void TestSearch::matching_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");

    QTest::newRow("accent typed without") << "João"
                                          << ""
                                          << ""
                                          << ""
                                          << "joao" << true;
    QTest::newRow("accent typed, none stored") << "Joao"
                                               << ""
                                               << ""
                                               << ""
                                               << "JOÃO" << true;
    QTest::newRow("capitals") << "conta corrente"
                              << ""
                              << ""
                              << ""
                              << "CORRENTE" << true;
    QTest::newRow("cedilla") << "Serviço"
                             << ""
                             << ""
                             << ""
                             << "servico" << true;
    QTest::newRow("beyond Latin-1") << "Škoda"
                                    << ""
                                    << ""
                                    << ""
                                    << "SKODA" << true;
    QTest::newRow("ordinal") << "1ª via"
                             << ""
                             << ""
                             << ""
                             << "1a via" << true;
    QTest::newRow("in the login") << "X"
                                  << "Maria.Souza"
                                  << ""
                                  << ""
                                  << "souza" << true;
    QTest::newRow("in the address") << "X"
                                    << ""
                                    << "https://ÉLAN.example"
                                    << ""
                                    << "elan" << true;
    QTest::newRow("the description is not searched") << "X"
                                                     << ""
                                                     << ""
                                                     << "joao"
                                                     << "joao" << false;
    QTest::newRow("never across two fields") << "ab"
                                             << "cd"
                                             << ""
                                             << ""
                                             << "bc" << false;
    QTest::newRow("more than is there") << "Banco"
                                        << ""
                                        << ""
                                        << ""
                                        << "bancos" << false;
    QTest::newRow("a space inside") << "Banco do Brasil"
                                    << ""
                                    << ""
                                    << ""
                                    << "o do b" << true;
}

void TestSearch::matching()
{
    QFETCH(QString, title);
    QFETCH(QString, login);
    QFETCH(QString, address);
    QFETCH(QString, description);
    QFETCH(QString, text);
    QFETCH(bool, found);

    QList<QByteArray> fields;
    for (const QString& field :
         {title, QStringLiteral("----/----/----"), QString(), login, QString(), address, description}) {
        fields.append(Windows1252::fromUnicode(field));
    }
    const EntryList entries({EntryRecord::join(fields), entryRecord("Zz outra", "----/----/----", "")});
    const QList<qsizetype> expected = found ? QList<qsizetype>{0} : QList<qsizetype>{};
    QCOMPARE(EntryMatcher(entries).matching(text), expected);
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
    QCOMPARE(textOf(childOf(host.window->sideWindows()->detailWindow(), "txtTitulo")), QStringLiteral("Sao Roque"));
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
    retype(childOf(sides->detailWindow(), "txtSenha"), QStringLiteral("Nova#senha9"));
    click(childOf(sides->updateWindow(), button.constData()));

    // The file is rewritten in the list's order: João's record, and no other, changed in its place.
    lines.replace(lines.indexOf(joao), replacement);
    lines.append(QByteArray());
    QCOMPARE(host.fileLines(), lines);
    // The search stays open over the changed list.
    QCOMPARE(textOf(host.child("txtBusca")), QStringLiteral("joao"));
    QCOMPARE(host.list()->count(), found);
}

void TestSearch::keyboardRulesOfTheFullListStay()
{
    // Right after start-up, Up on the first row moves round to the last row of the page; a search opened and closed
    // in between leaves that so.
    MainWindowHost host(vaultRecords());
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    QTest::keyClick(host.child("txtBusca"), Qt::Key_Escape);
    QCOMPARE(host.list()->count(), 15);
    host.clickRow(0);
    QTest::keyClick(host.list(), Qt::Key_Up);
    QCOMPARE(host.list()->currentRow(), 14);
}

void TestSearch::escapeClosesTheSearchBeforeAnyShortcut()
{
    MainWindowHost host(vaultRecords());
    QShortcut shortcut(Qt::Key_Escape, host.window.get());
    QSignalSpy activated(&shortcut, &QShortcut::activated);
    QWidget* line = host.child("txtBusca");

    // From the search line, and from the list after a row of the results was picked.
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!line->isVisible());
    QTest::keyClicks(host.list(), QStringLiteral("sao"));
    host.clickRow(2);
    QCOMPARE(QApplication::focusWidget(), host.list());
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QVERIFY(!line->isVisible());
    QCOMPARE(activated.size(), 0);

    // With no search open, Escape is the window's.
    QTest::keyClick(host.list(), Qt::Key_Escape);
    QCOMPARE(activated.size(), 1);
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
