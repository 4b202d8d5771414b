#include "expiry/expirystatus.h"
#include "mainwindow/entrylistmodel.h"
#include "mainwindow/listcontroller.h"
#include "mainwindow/pagemodel.h"
#include "storage/entrylist.h"
#include "storage/entryrecord.h"

#include <QTest>

namespace {

using Indexes = QList<qsizetype>;
constexpr int Forward = 1, Back = -1;

Indexes range(qsizetype from, qsizetype to)
{
    Indexes indexes;
    for (qsizetype index = from; index < to; ++index) {
        indexes.append(index);
    }
    return indexes;
}

void turn(ListController& list, const QList<int>& turns)
{
    for (const int direction : turns) {
        list.turnPage(direction == Forward);
    }
}

QByteArray record(const QByteArray& title, const QByteArray& expiry)
{
    return EntryRecord::join({title, expiry, "26.03.06.10.22.41", "login", "senha", "", ""});
}

} // namespace

class TestListController : public QObject
{
    Q_OBJECT

private slots:
    // What the page shows after the arrows are clicked: the entries of the page, the page number, which arrows
    // show, and the page bounds the window's state labels give.
    void pagingStopsAtTheEnds_data()
    {
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QList<int>>("turns");
        QTest::addColumn<Indexes>("shown");
        QTest::addColumn<qsizetype>("page");
        QTest::addColumn<bool>("canBack");
        QTest::addColumn<bool>("canForward");
        QTest::addColumn<qsizetype>("inicioRetorna");
        QTest::addColumn<qsizetype>("inicioAvanca");
        const auto row = [](const char* name, qsizetype count, const QList<int>& turns, const Indexes& shown,
                            qsizetype page, bool canBack, bool canForward, qsizetype retorna, qsizetype avanca) {
            QTest::newRow(name) << count << turns << shown << page << canBack << canForward << retorna << avanca;
        };
        row("no entries", 0, {Forward}, {}, 1, false, false, 0, 15);
        row("one entry", 1, {}, {0}, 1, false, false, 0, 15);
        row("a full page has no second", 15, {Forward}, range(0, 15), 1, false, false, 0, 15);
        row("one more makes a page of one", 16, {Forward}, {15}, 2, true, false, 14, 0);
        row("forward past the last page stays", 31, {Forward, Forward, Forward}, {30}, 3, true, false, 29, 0);
        row("a middle page", 31, {Forward}, range(15, 30), 2, true, true, 14, 30);
        row("back before the first page stays", 31, {Back, Forward, Back, Back}, range(0, 15), 1, false, true, 0, 15);
    }
    void pagingStopsAtTheEnds()
    {
        QFETCH(qsizetype, count);
        QFETCH(QList<int>, turns);
        ListController list;
        list.showFirstPage(count);
        turn(list, turns);
        QTEST(list.pageEntries(), "shown");
        QTEST(list.pager().pagina(), "page");
        QTEST(list.pager().canBack(), "canBack");
        QTEST(list.pager().canForward(), "canForward");
        QTEST(list.pager().inicioRetorna(), "inicioRetorna");
        QTEST(list.pager().inicioAvanca(), "inicioAvanca");
    }

    // A search pages through the entries found only, and closing it brings back the page the full list was on.
    void searchPagesTheEntriesFound_data()
    {
        QTest::addColumn<Indexes>("matches");
        QTest::addColumn<QList<int>>("turns");
        QTest::addColumn<Indexes>("shown");
        QTest::addColumn<bool>("canForward");
        QTest::newRow("nothing found") << Indexes{} << QList<int>{Forward} << Indexes{} << false;
        QTest::newRow("found on several pages of the list")
            << Indexes{3, 17, 33} << QList<int>{} << Indexes{3, 17, 33} << false;
        QTest::newRow("sixteen found make two pages") << range(10, 26) << QList<int>{} << range(10, 25) << true;
        QTest::newRow("the second page of them") << range(10, 26) << QList<int>{Forward} << Indexes{25} << false;
    }
    void searchPagesTheEntriesFound()
    {
        QFETCH(Indexes, matches);
        QFETCH(QList<int>, turns);
        ListController list;
        list.showFirstPage(40);
        list.turnPage(true);
        list.openSearch();
        list.showMatches(matches);
        turn(list, turns);
        QVERIFY(list.isSearching());
        QTEST(list.pageEntries(), "shown");
        QTEST(list.pager().canForward(), "canForward");
        QCOMPARE(list.pager().count(), matches.size());

        list.closeSearch();
        list.showFirstPage(40);
        QVERIFY(!list.isSearching());
        QCOMPARE(list.pageEntries(), range(0, 15));
        // The full list's keyboard marker was kept through the search: one forward turn.
        QCOMPARE(list.pager().setaMenos(), 1);
    }

    // Matches handed over while no search is open show nothing of their own: the full list stays.
    void matchesWithoutASearchShowTheFullList()
    {
        ListController list;
        list.showFirstPage(20);
        list.showMatches({4});
        QCOMPARE(list.pager().count(), 0);
        list.openSearch();
        list.openSearch();
        list.showMatches({4});
        list.closeSearch();
        list.showFirstPage(20);
        QCOMPARE(list.pager().count(), 20);
    }

    // The entries read again after a save: the row selected is remembered, its entry no longer.
    void selectionAfterTheEntriesChange_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<qsizetype>("entry");
        QTest::addColumn<qsizetype>("selected");
        QTest::addColumn<int>("setaMenos");
        QTest::newRow("the first row") << 0 << qsizetype(15) << qsizetype(15) << 0;
        QTest::newRow("row 1 sets the marker") << 1 << qsizetype(16) << qsizetype(16) << 1;
        QTest::newRow("a row with no entry keeps the last") << 4 << qsizetype(-1) << qsizetype(-1) << 0;
    }
    void selectionAfterTheEntriesChange()
    {
        QFETCH(int, row);
        QFETCH(qsizetype, entry);
        ListController list;
        list.showFirstPage(30);
        list.selectRow(row, entry);
        QTEST(list.selectedEntry(), "selected");
        QCOMPARE(list.selectedRow(), row);
        QTEST(list.pager().setaMenos(), "setaMenos");
        list.showFirstPage(31);
        QCOMPARE(list.selectedEntry(), qsizetype(-1));
        QCOMPARE(list.selectedRow(), row);
    }

    // What a row of the list shows, what a screen reader reads of it and its tool tip, from the record alone.
    void rowsOfTheModel_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<int>("state");
        const auto row = [](const char* name, const QByteArray& record, const QString& shown, const QString& spoken,
                            const char* toolTip, ExpiryStatus::Kind state) {
            QTest::newRow(name) << record << shown << spoken << QString(toolTip) << int(state);
        };
        using enum ExpiryStatus::Kind;
        row("no expiry", record("Banco", "----/----/----"), "----/----/----    Banco", "Banco, sem vencimento", "",
            None);
        row("expired, accented", record("Conta \xE9 s\xF3", "10/03/26"), "10/03/26    Conta é só",
            "Conta é só, vence em 10/03/26", "Vencida há 5 dias", Expired);
        row("tabs and an index-like end in the title", record("Zeta\t\t\t\t1", "14/04/26"), "14/04/26    Zeta    1",
            "Zeta 1, vence em 14/04/26", "Vence em 30 dias", Soon);
        row("an empty expiry", record("Sem data", ""), "    Sem data", "Sem data, sem vencimento", "", None);
        row("a damaged record without fields", "resto", "resto    resto", "resto, sem vencimento", "", None);
        row("a huge title is cut", record(QByteArray(5000, 'x'), "----/----/----"),
            "----/----/----    " + QString(EntryListModel::shownFieldLength, QLatin1Char('x')),
            QString(5000, QLatin1Char('x')) + ", sem vencimento", "", None);
    }

    void rowsOfTheModel()
    {
        QFETCH(QByteArray, record);
        const EntryList entries({record});
        EntryListModel model(entries);
        model.setToday(QDate(2026, 3, 15));
        const QModelIndex row = model.index(0);
        QCOMPARE(model.rowCount(), 1);
        QTEST(row.data().toString(), "shown");
        QTEST(row.data(Qt::AccessibleTextRole).toString(), "spoken");
        QTEST(row.data(Qt::ToolTipRole).toString(), "toolTip");
        QTEST(row.data(EntryListModel::ExpiryStateRole).toInt(), "state");
        QCOMPARE(row.data(EntryListModel::ExpiryRole).toString() + QStringLiteral("    ") +
                     row.data(EntryListModel::TitleRole).toString(),
                 row.data().toString());
    }

    // A page knows each of its rows' entry, leaves out numbers the list does not have, and empties when the list is
    // read again.
    void pageRowsCarryTheirEntry()
    {
        EntryList entries({record("A", "----/----/----"), record("B", "----/----/----"), record("C", "01/01/30")});
        EntryListModel model(entries);
        PageModel page;
        page.setSourceModel(&model);
        page.showRows({2, 7, -1, 0});
        QCOMPARE(page.rowCount(), 2);
        QCOMPARE(page.index(0, 0).data(EntryListModel::EntryIndexRole).value<qsizetype>(), qsizetype(2));
        QCOMPARE(page.index(0, 0).data().toString(), QStringLiteral("01/01/30    C"));
        QCOMPARE(page.index(1, 0).data(EntryListModel::TitleRole).toString(), QStringLiteral("A"));
        QVERIFY(!page.index(2, 0).isValid());
        QCOMPARE(page.mapFromSource(model.index(2)).row(), 0);
        QVERIFY(!page.mapFromSource(model.index(1)).isValid());

        entries.apply(entries.replacing(2, QByteArray()));
        model.entriesChanged();
        QCOMPARE(page.rowCount(), 0);
        QCOMPARE(model.rowCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestListController)
#include "tst_listcontroller.moc"
