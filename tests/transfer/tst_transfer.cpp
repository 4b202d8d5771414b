#include "support/input.h"
#include "support/vaultfixture.h"

#include "storage/entrylist.h"
#include "transfer/csv.h"
#include "transfer/entrycsv.h"

#include <ctime>

namespace {

const QDate today(2026, 12, 6);
const QDateTime now(today, QTime(9, 30, 0));

QList<QByteArray> recordsOf(const EntryList& entries)
{
    QList<QByteArray> records;
    for (qsizetype index = 0; index < entries.size(); ++index) {
        records.append(entries.at(index));
    }
    return records;
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip();
    void exportedText();
    void rows_data();
    void rows();
    void unreadableFiles_data();
    void unreadableFiles();
};

void TestTransfer::initTestCase()
{
    // A zone with summer time, whose clocks skipped from midnight to one on 4 November 2018.
    qputenv("TZ", "America/Sao_Paulo");
    tzset();
}

void TestTransfer::roundTrip()
{
    // Accents and the other Windows-1252 letters, line breaks in a description, quotes and commas, empty fields, a
    // date of the last century, an expiry that is not a date, and a stamp of the half hour those clocks skipped.
    const EntryList stored({
        entryRecord("Banco \"Aurora\", S.A.", "05/01/27", "26.12.01.09.08.07", "joão,silva", "S\"nh@,1",
                    "https://a.example/?q=1,2", "linha 1¥linha \"2\"¥¥fim, enfim"),
        entryRecord("Œuvre – € “citação” …", "----/----/----", "99.12.31.23.59.59", "", "", "", ""),
        entryRecord("Vencida", "31/12/99", "08.03.15.10.22.41", "ana", "x", "", "¥"),
        entryRecord("Data estranha", "31/02/26", "18.11.04.00.30.00", "a", "b", "c", "d"),
    });
    const QByteArray csv = EntryCsv::write(stored, today);
    const EntryCsv::Import imported = EntryCsv::read(csv, EntryList(), now);
    QCOMPARE(imported.error, QString());
    QCOMPARE(imported.skipped, QStringList());
    QCOMPARE(EntryList(imported.records).size(), stored.size());
    QCOMPARE(recordsOf(EntryList(imported.records)), recordsOf(stored));
    // A second import adds nothing: every row is already stored.
    const EntryCsv::Import again = EntryCsv::read(csv, stored, now);
    QCOMPARE(again.records.size(), 0);
    QCOMPARE(again.skipped.size(), 4);
}

void TestTransfer::exportedText()
{
    const EntryList stored({entryRecord("Banco", "05/01/27", "26.12.01.09.08.07", "ana", "p\"w", "", "a¥b")});
    QCOMPARE(EntryCsv::write(stored, today),
             QByteArray("\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"Expires\",\"Last Modified\"\n"
                        "\"Banco\",\"ana\",\"p\"\"w\",\"\",\"a\nb\",\"2027-01-05\",\"2026-12-01T09:08:07\"\n"));
}

void TestTransfer::rows_data()
{
    QTest::addColumn<QByteArray>("csv");
    // The records added, and what was said of each row left out.
    QTest::addColumn<QList<QByteArray>>("added");
    QTest::addColumn<QStringList>("skipped");

    const QByteArray ours = "Title,Username,Password,URL,Notes,Expires,Last Modified\n";
    const QByteArray stamp = "26.12.06.09.30.00";
    QTest::newRow("KeePassXC's own export, times in UTC")
        << QByteArray("\xEF\xBB\xBF\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
                      "\"Last Modified\",\"Created\"\r\n"
                      "\"Root\",\"Correio\",\"maria\",\"s3nh@\",\"https://c.example\",\"l1\r\nl2\",\"\",\"0\","
                      "\"2025-07-01T12:00:00Z\",\"2025-01-01T00:00:00Z\"\r\n")
        << QList<QByteArray>{EntryRecord::join(
               {"Correio", "----/----/----",
                EntryRecord::updateStamp(QDateTime(QDate(2025, 7, 1), QTime(12, 0), Qt::UTC).toLocalTime()), "maria",
                "s3nh@", "https://c.example", "l1\r\nl2"})}
        << QStringList();
    QTest::newRow("a bad row among good ones") << ours + "A,a,a,,,,\nB,b,vinte e um caracteres,,,,\nC,c,c,,,,\n"
                                               << QList<QByteArray>{entryRecord("A", "----/----/----", stamp, "a", "a"),
                                                                    entryRecord("C", "----/----/----", stamp, "c", "c")}
                                               << QStringList{"linha 3: Password com 21 caracteres, o máximo é 20"};
    QTest::newRow("every limit, and one past it")
        << ours + QByteArray(45, 't') + "," + QByteArray(45, 'l') + "," + QByteArray(20, 'p') + ",,,,\n" +
               QByteArray(46, 't') + ",,,,,,\n,,,," + QByteArray(501, 'n') + ",,\n"
        << QList<QByteArray>{EntryRecord::join(
               {QByteArray(45, 't'), "----/----/----", stamp, QByteArray(45, 'l'), QByteArray(20, 'p'), "", ""})}
        << QStringList{"linha 3: Title com 46 caracteres, o máximo é 45",
                       "linha 4: Notes com 501 caracteres, o máximo é 500"};
    QTest::newRow("characters the vault cannot hold")
        << ours + "Marca §,,,,,,\nA,login ✓,,,,,\nB,,\"a\nb\",,,,\nC,,,,x¥y,,\n"
        << QList<QByteArray>()
        << QStringList{"linha 2: Title com caracteres que o cofre não guarda: §",
                       "linha 3: Username com caracteres que o cofre não guarda: ✓",
                       "linha 4: Password com caracteres que o cofre não guarda: quebra de linha",
                       "linha 6: Notes com caracteres que o cofre não guarda: ¥"};
    QTest::newRow("blank title, bad dates, a repeated row")
        << ours + "  ,a,,,,,\nA,,,,,2026-02-30,\nB,,,,,,ontem\nC,,,,,,\nC,,,,,,\n"
        << QList<QByteArray>{entryRecord("C", "----/----/----", stamp)}
        << QStringList{"linha 2: sem título", "linha 3: data de vencimento inválida: 2026-02-30",
                       "linha 4: data de modificação inválida: ontem", "linha 6: igual a uma entrada já guardada"};
}

void TestTransfer::rows()
{
    QFETCH(QByteArray, csv);
    QFETCH(QList<QByteArray>, added);
    QFETCH(QStringList, skipped);
    const EntryCsv::Import imported = EntryCsv::read(csv, EntryList(), now);
    QCOMPARE(imported.error, QString());
    QCOMPARE(imported.skipped, skipped);
    QCOMPARE(imported.records, added);
}

void TestTransfer::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray() << "o arquivo está vazio";
    QTest::newRow("not UTF-8") << QByteArray("Title,Username,Password,URL,Notes\nJo\xE3o,,,,\n")
                               << "o arquivo não está em UTF-8";
    QTest::newRow("an open quote") << QByteArray("Title,Username,Password,URL,Notes\n\"A,,,,\nB,,,,\n")
                                   << "as aspas abertas na linha 2 não se fecham";
    QTest::newRow("other columns") << QByteArray("Nome,Senha\nA,b\n")
                                   << "o cabeçalho não tem as colunas Title, Username, Password, URL e Notes";
}

void TestTransfer::unreadableFiles()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, error);
    const EntryCsv::Import imported = EntryCsv::read(csv, EntryList(), now);
    QCOMPARE(imported.error, error);
    QVERIFY(imported.records.isEmpty());
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
