#include "support/fulldisk.h"
#include "support/vaultfixture.h"

#include "app/datafolderlock.h"
#include "app/transfercommands.h"
#include "transfer/csvfile.h"
#include "transfer/entrycsv.h"
#include "transfer/entrykdbx.h"
#include "transfer/importmerge.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <optional>
#include <sys/stat.h>

// The fuzz target's check, built under another name, replays fuzz/corpus/csvimport/.
extern "C" int replay_csvimport(const uint8_t* data, size_t size);

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(9, 30));
const QByteArray header = "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\","
                          "\"Last Modified\",\"Created\",\"Expires\"\n";
const QByteArray older = "Title,Username,Password,URL,Notes,Expires,Last Modified\n";
const QByteArray stamp = "26.12.06.09.30.00";
using Records = QList<QByteArray>;

// Longer than the entry windows' boxes take: a 66-character title and a 36-character password, as KeePassXC makes.
const char* const longTitle = "Conta conjunta da família Araújo no Banco Ação, com cartões e PIX.";
const char* const longPassword = "S\"nh@,1 çã Œ€ … “x” ,\"\"fim-012345678";

// Quotes, commas, line breaks, Windows-1252 letters, formulas, odd dates, a stamp in São Paulo's skipped hour.
const Records samples = {
    entryRecord(longTitle, "05/01/27", "26.12.01.09.08.07", "joão,silva", longPassword, "https://a.example/?q=1,2",
                "linha 1¥linha \"2\"¥¥fim, enfim" + QByteArray(600, 'n')),
    entryRecord("Œuvre – € “citação” …", "----/----/----", "99.12.31.23.59.59", "'=x", "-1", "@a", "\tfim"),
    entryRecord("=SOMA(A1)", "31/12/99", "08.03.15.10.22.41", "ana", "+x", "", "¥"),
    entryRecord("Data estranha", "31/02/26", "18.11.04.00.30.00", "a", "b", "c", "d"),
};

EntryCsv::Import imported(QByteArray csv, const EntryList& stored = EntryList())
{
    QBuffer buffer(&csv);
    buffer.open(QIODevice::ReadOnly);
    return EntryCsv::read(buffer, stored, now);
}

QByteArray added(const QByteArray& title, const QByteArray& login = {}, const QByteArray& password = {},
                 const char* description = "")
{
    return entryRecord(title.constData(), "----/----/----", stamp.constData(), login.constData(), password.constData(),
                       "", description);
}

// Entries of one title and login changed at other times, as the vault stores them.
const QByteArray beta = entryRecord("Beta", "----/----/----", "26.01.01.10.00.00", "ana", "x");
const QByteArray betaLater = entryRecord("Beta", "----/----/----", "26.02.01.10.00.00", "ana", "nova");
const QByteArray betaUndated = entryRecord("Beta", "----/----/----", stamp, "ana", "nova");
const QByteArray gama = entryRecord("Gama", "----/----/----", "26.01.01.10.00.00", "rui", "y");

// Runs keepassxc-cli with what it asks on standard input; its standard output.
QByteArray keepassxcCli(const QStringList& arguments, const QByteArray& input)
{
    QProcess cli;
    cli.start(QStringLiteral("keepassxc-cli"), arguments);
    cli.write(input);
    cli.closeWriteChannel();
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        qWarning("keepassxc-cli %s: %s", qPrintable(arguments.join(' ')), cli.readAllStandardError().constData());
        return "<failed>";
    }
    return cli.readAllStandardOutput();
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TZ", "America/Sao_Paulo"); }

    void exportedRow_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("times in UTC, line breaks as line feeds, quotes doubled")
            << entryRecord("Banco", "05/01/27", "26.12.01.09.08.07", "ana", "p\"w", "", "a¥b")
            << QByteArray("\"KeyHound\",\"Banco\",\"ana\",\"p\"\"w\",\"\",\"a\nb\",\"\",\"\",\"2026-12-01T12:08:07Z\","
                          "\"2026-12-01T12:08:07Z\",\"2027-01-05\"\n");
        QTest::newRow("formulas behind an apostrophe, one more before apostrophes that lead to one")
            << entryRecord("=SOMA(A1)", "----/----/----", stamp, "+55 11", "-x", "@a", "\tb")
            << QByteArray("\"KeyHound\",\"'=SOMA(A1)\",\"'+55 11\",\"'-x\",\"'@a\",\"'\tb\",\"\",\"\","
                          "\"2026-12-06T12:30:00Z\",\"2026-12-06T12:30:00Z\",\"\"\n");
        QTest::newRow("apostrophes")
            << entryRecord("''-x", "----/----/----", stamp, "'a", "a-", "'", "")
            << QByteArray("\"KeyHound\",\"'''-x\",\"'a\",\"a-\",\"'\",\"\",\"\",\"\",\"2026-12-06T12:30:00Z\","
                          "\"2026-12-06T12:30:00Z\",\"\"\n");
        QTest::newRow("an hour the clock skipped, without a zone; a day that is none, as stored")
            << entryRecord("D", "31/02/26", "18.11.04.00.30.00")
            << QByteArray("\"KeyHound\",\"D\",\"\",\"\",\"\",\"\",\"\",\"\",\"2018-11-04T00:30:00\","
                          "\"2018-11-04T00:30:00\",\"31/02/26\"\n");
        QTest::newRow("a damaged stamp as stored")
            << entryRecord("D", "----/----/----", "26.13.01.00.00.00")
            << QByteArray("\"KeyHound\",\"D\",\"\",\"\",\"\",\"\",\"\",\"\",\"26.13.01.00.00.00\","
                          "\"26.13.01.00.00.00\",\"\"\n");
    }

    void exportedRow()
    {
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, row);
        QCOMPARE(EntryCsv::write(EntryList({record}), now.date()), header + row);
    }

    void exportThenImportGivesEveryEntryBack()
    {
        VaultFixture source;
        source.addRecords(samples);
        const DataFolder out;
        const QString csv = out.filePath("contas.csv");
        const CommandOutput exported = TransferCommands::exportTo(source.folder.path(), csv, now);
        QCOMPARE(exported.text, QStringLiteral("4 entradas exportadas para %1.\n").arg(csv));
        QVERIFY(exported.error.startsWith(
            QStringLiteral("Atenção: o arquivo %1 guarda todas as senhas sem cifra").arg(csv)));
        QCOMPARE(QFile::permissions(csv) & 0x0777, QFile::ReadUser | QFile::WriteUser);
        QVERIFY(out.read("contas.csv").startsWith(header));

        VaultFixture target;
        const CommandOutput first = TransferCommands::importFrom(target.folder.path(), csv, now);
        QCOMPARE(first.text, "4 entradas adicionadas, 0 já guardadas, 0 linhas recusadas.\n");
        QCOMPARE(first.exitCode, 0);
        QVERIFY(target.vault.open(now).ok());
        QCOMPARE(target.entries(), source.entries());
        const CommandOutput again = TransferCommands::importFrom(target.folder.path(), csv, now);
        QCOMPARE(again.text, "0 entradas adicionadas, 4 já guardadas, 0 linhas recusadas.\n");
        QCOMPARE(again.exitCode, 0);
        const QString repeated = QStringLiteral(": igual a uma entrada já guardada\n");
        QCOMPARE(again.error, "linha 2, \"=SOMA(A1)\"" + repeated + "linha 4, \"" + QString::fromUtf8(longTitle) +
                                  "\"" + repeated + "linha 8, \"Data estranha\"" + repeated +
                                  "linha 9, \"Œuvre – € “citação” …\"" + repeated);
    }

    void import_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<Records>("added");
        QTest::addColumn<QStringList>("said"); // of each row left out, or why nothing could be read
        const auto row = [](const char* name, const QByteArray& csv, const Records& added, const QStringList& said) {
            QTest::newRow(name) << csv << added << said;
        };
        row("KeePassXC 2.7's export, times in UTC",
            "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\","
            "\"Created\"\n\"Passwords\",\"=Correio\",\"-maria\",\"s3nh@\",\"https://c.example\",\"l1\nl2\",\"\",\"0\","
            "\"2025-07-01T12:00:00Z\",\"2025-01-01T00:00:00Z\"\n",
            {entryRecord("=Correio", "----/----/----", "25.07.01.09.00.00", "-maria", "s3nh@", "https://c.example",
                         "l1¥l2")},
            {});
        row("KeePassXC's one-time password secret cannot be kept",
            "Group,Title,Username,Password,URL,Notes,TOTP,Icon,Last Modified,Created\nRoot,A,a,p,,,"
            "otpauth://totp/a?secret=JBSWY3DPEHPK3PXP,0,,\n",
            {added("A", "a", "p")}, {"linha 2, \"A\": adicionada sem o TOTP, que o cofre não guarda"});
        row("older KeePassXC: no times, a byte order mark, CR LF",
            "\xEF\xBB\xBF\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\r\n\"Root\",\"A\",\"a\","
            "\"p\",\"\",\"\"\r\n",
            {added("A", "a", "p")}, {});
        row("a byte order mark before the older layout's Title", "\xEF\xBB\xBF" + older + "A,a,p,,,,\n",
            {added("A", "a", "p")}, {});
        row("our own export: the apostrophes before formulas taken away",
            header + "\"KeyHound\",\"'=x\",\"'-y\",\"''@z\",\"'a\",\"\",\"\",\"\",\"2026-12-01T12:08:07Z\",\"\",\"\"\n",
            {entryRecord("=x", "----/----/----", "26.12.01.09.08.07", "-y", "'@z", "'a")}, {});
        row("the older layout keeps apostrophes", older + "'=x,,,,,,\n", {added("'=x")}, {});
        row("longer than the boxes, stored whole",
            older + "\"" + longTitle + "\",,\"" + QByteArray(longPassword).replace("\"", "\"\"") + "\",,\"" +
                QByteArray(600, 'n') + "\",,\n",
            {entryRecord(longTitle, "----/----/----", stamp, "", longPassword, "", QByteArray(600, 'n'))}, {});
        row("a field too many, a field too few", older + "Banco, Inc,joao,s3nha,,,,\nCurto,a\nC,,,,,,\n", {added("C")},
            {"linha 2, \"Banco\": tem 8 campos, o cabeçalho tem 7",
             "linha 3, \"Curto\": tem 2 campos, o cabeçalho tem 7"});
        row("CR LF, CR and LF mixed, also inside quotes",
            older.chopped(1) + "\r\nA,,,,\"l1\rl2\r\nl3\nl4\",,\rB,,,,,,\nC,,,,,,ontem\r\n",
            {added("A", "", "", "l1¥l2¥l3¥l4"), added("B")}, {"linha 7, \"C\": data de modificação inválida: ontem"});
        row("characters the vault cannot hold",
            older + "Marca §,,,,,,\nA,login ✓,,,,,\nCafé 😀,,,,,,\nB,,\"a\nb\",,,,\nC,,,,x¥y,,\n"
                    "D,,,,\"\a\x1B\",,\nE,\xC2\x81,,,,,\nT\tab,,,,\"\tx\",,\n",
            {added("T\tab", "", "", "\tx")},
            {"linha 2, \"Marca §\": Title com caracteres que o cofre não guarda: §",
             "linha 3, \"A\": Username com caracteres que o cofre não guarda: ✓",
             "linha 4, \"Café 😀\": Title com caracteres que o cofre não guarda: 😀",
             "linha 5, \"B\": Password com caracteres que o cofre não guarda: quebra de linha",
             "linha 7, \"C\": Notes com caracteres que o cofre não guarda: ¥",
             "linha 8, \"D\": Notes com caracteres que o cofre não guarda: U+0007 U+001B",
             "linha 9, \"E\": Username com caracteres que o cofre não guarda: U+0081"});
        row("times with a zone become local time; ISO and Brazilian dates",
            older + "A,,,,,2027-01-06T01:30:00Z,2026-03-10T15:00:00+01:00\nB,,,,,15/01/2027,2026-01-01\n"
                    "C,,,,,2027-01-05T23:30:00-03:00,2026-01-01T08:00:00\nD,,,,,05/01/27,26.12.01.09.08.07\n",
            {entryRecord("A", "05/01/27", "26.03.10.11.00.00"), entryRecord("B", "15/01/27", "26.01.01.00.00.00"),
             entryRecord("C", "05/01/27", "26.01.01.08.00.00"), entryRecord("D", "05/01/27", "26.12.01.09.08.07")},
            {});
        row("years the vault cannot tell apart, bad dates, no title",
            older + "A,,,,,2127-01-01,\nB,,,,,,1970-01-01T00:00:00Z\nC,,,,,2026-02-30,\n  ,a,,,,,\n", {},
            {"linha 2, \"A\": data de vencimento fora dos anos que o cofre guarda (1977 a 2076): 2127-01-01",
             "linha 3, \"B\": data de modificação fora dos anos que o cofre guarda (1977 a 2076): 1970-01-01T00:00:00Z",
             "linha 4, \"C\": data de vencimento inválida: 2026-02-30", "linha 5: sem título"});
        row("rows without a time repeated", older + "C,,,,,,\nC,,,,,,\n", {added("C")},
            {"linha 3, \"C\": igual a uma entrada já guardada"});
        row("empty", {}, {}, {"o arquivo está vazio"});
        row("an open quote", older + "\"A,,,,\nB,,,,\n", {}, {"as aspas abertas na linha 2 não se fecham"});
        row("other columns", "Nome,Senha\nA,b\n", {},
            {"o cabeçalho não tem as colunas Title, Username, Password, URL e Notes"});
    }

    void import()
    {
        QFETCH(QByteArray, csv);
        const EntryCsv::Import first = imported(csv);
        QTEST(first.records, "added");
        QTEST(first.error.isEmpty() ? first.reasons : QStringList{first.error}, "said");
        // A second import of the same file adds nothing.
        const EntryCsv::Import second = imported(csv, EntryList(first.records));
        QVERIFY(second.records.isEmpty());
        QCOMPARE(second.repeatedRows, first.error.isEmpty() ? first.records.size() + first.repeatedRows : 0);
    }

    // The rules that merge copies of the vault: what the vault holds after the import, and what the report says.
    void importMerges_data()
    {
        QTest::addColumn<Records>("stored");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("reasons");
        const auto row = [](const char* name, const Records& stored, const QByteArray& csv, const Records& kept,
                            const char* said, const char* reasons = "") {
            QTest::newRow(name) << stored << older + csv << sortedTexts(kept) << QString::fromUtf8(said)
                                << QString::fromUtf8(reasons);
        };
        row("no time of its own: added beside, never replaces", {beta}, "Beta,ana,nova,,,,\n", {beta, betaUndated},
            "1 entrada adicionada, 0 já guardadas, 0 linhas recusadas.\n");
        row("no time of its own, the same fields: kept once", {beta}, "Beta,ana,x,,,,\n", {beta},
            "0 entradas adicionadas, 1 já guardada, 0 linhas recusadas.\n",
            "linha 2, \"Beta\": igual a uma entrada já guardada\n");
        const QByteArray alfa = entryRecord("Alfa", "----/----/----", "26.01.01.10.00.00", "ana", "a");
        row("a mix in one file, a row refused", {alfa, beta},
            "Alfa,ana,b,,,,25.01.01.10.00.00\nBeta,ana,nova,,,,2026-02-01T13:00:00Z\nGama,rui,y,,,,26.01.01.10.00.00\n"
            "Beta,ana,x,,,,26.01.01.10.00.00\nDelta§,,,,,,\nBeta,ana,outra,,,,\n",
            {alfa, betaLater, gama, entryRecord("Beta", "----/----/----", stamp, "ana", "outra")},
            "2 entradas adicionadas, 1 atualizada, 1 já guardada, 1 linha recusada, 1 mais antiga que a do cofre.\n",
            "linha 5, \"Beta\": igual a uma entrada já guardada\n"
            "linha 6, \"Delta§\": Title com caracteres que o cofre não guarda: §\n"
            "linha 2, \"Alfa\": mais antiga que a entrada guardada, que fica como está\n");
    }

    void importMerges()
    {
        QFETCH(Records, stored);
        QFETCH(QByteArray, csv);
        VaultFixture data;
        data.addRecords(stored);
        data.folder.write("contas.csv", csv);
        const CommandOutput output =
            TransferCommands::importFrom(data.folder.path(), data.folder.filePath("contas.csv"), now);
        QTEST(output.text, "said");
        QTEST(output.error, "reasons");
        QCOMPARE(output.exitCode, output.text.contains("recusada,") ? 1 : 0);
        QVERIFY(data.vault.open(now).ok());
        QTEST(sortedTexts(data.entries()), "kept");
    }

    // A KeePass entry's modification time is its own; an entry without one never replaces a stored version.
    void kdbxImportMerges_data()
    {
        QTest::addColumn<QDateTime>("modified");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QList<int>>("counts");                        // repeated, added, updated, older
        const QDateTime utc(QDate(2026, 2, 1), QTime(13, 0), Qt::UTC); // 10:00 in São Paulo
        QTest::newRow("identical") << utc.addMonths(-1) << "x" << sortedTexts({beta}) << QList<int>{1, 0, 0, 0};
        QTest::newRow("later") << utc << "nova" << sortedTexts({betaLater}) << QList<int>{0, 0, 1, 0};
        QTest::newRow("older") << utc.addMonths(-2) << "velha" << sortedTexts({beta}) << QList<int>{0, 0, 0, 1};
        QTest::newRow("no time of its own")
            << QDateTime() << "nova" << sortedTexts({beta, betaUndated}) << QList<int>{0, 1, 0, 0};
    }

    void kdbxImportMerges()
    {
        QFETCH(QDateTime, modified);
        QFETCH(QString, password);
        VaultFixture data;
        data.addRecords({beta});
        const KdbxEntry entry{"Beta", "ana", password, {}, {}, modified, {}};
        const EntryKdbx::Import imported = EntryKdbx::recordsOf({entry}, data.vault.entries(), now);
        const ImportMerge merged(data.vault, imported.records, imported.undated);
        QVERIFY(merged.save().ok());
        const EntryMerge& merge = merged.merge();
        QTEST((QList<int>{int(imported.repeated), int(merge.added()), int(merge.updated()), int(merge.older())}),
              "counts");
        QVERIFY(data.vault.open(now).ok());
        QTEST(sortedTexts(data.entries()), "kept");
    }

    // Real faults while the merged pswd.tab is written: nothing of the import is stored, and the report says why.
    void importFailureKeepsVault_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const char* fault, const char* said) {
            QTest::newRow(name) << QString(fault) << QString::fromUtf8(said);
        };
        row("disk full", "full disk", "Não há espaço livre no disco.");
        row("read-only file system: refused before any write", "read-only", "somente leitura");
        row("pswd.tab immutable: the new file cannot take its place", "immutable", "Permissão negada.");
        row("file size limit, the program run in a child", "size limit", "O arquivo ultrapassa o tamanho máximo");
    }

    void importFailureKeepsVault()
    {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        FullDisk disk;
        if (!disk.skipReason().isEmpty()) {
            QSKIP(qPrintable(disk.skipReason()));
        }
        const DataFolder data(fault == "size limit" ? QString() : disk.path());
        {
            Vault vault(data.path());
            QVERIFY(vault.open(now).ok());
            QVERIFY(vault.addEntries({beta, gama}).ok());
        }
        QByteArray csv = older + "Beta,ana,nova,,,,26.02.01.10.00.00\n";
        for (int i = 0; i < 400; ++i) {
            csv += "Conta " + QByteArray::number(i) + ",ana,senha,https://c.example,,,26.01.01.10.00.00\n";
        }
        const DataFolder other;
        other.write("contas.csv", csv);
        QVERIFY(fault != "size limit" || QFile::copy(QStringLiteral(KEYHOUND_BINARY), data.filePath("keyhound")));
        const QByteArray before = data.read("pswd.tab");
        const QStringList files = QDir(data.path()).entryList(QDir::Files | QDir::Hidden);
        CommandOutput output;
        if (fault == "size limit") {
            QProcess child;
            child.setChildProcessModifier([&before] { FileSizeLimit::apply(rlim_t(before.size())); });
            child.start(data.filePath("keyhound"), {"--import", other.filePath("contas.csv")});
            QVERIFY(child.waitForFinished(60'000));
            output = {child.exitCode(), QString::fromUtf8(child.readAllStandardOutput()),
                      QString::fromUtf8(child.readAllStandardError())};
        } else {
            if (fault == "full disk") {
                // Room for the lock file, none for the larger pswd.tab.
                disk.fill();
                QFile filler(disk.path() + "/filler");
                QVERIFY(filler.resize(filler.size() - 16 * 1024));
            } else if (fault == "read-only") {
                QCOMPARE(QProcess::execute("mount", {"-o", "remount,ro", disk.path()}), 0);
            } else {
                QCOMPARE(QProcess::execute("chattr", {"+i", data.filePath("pswd.tab")}), 0);
            }
            output = TransferCommands::importFrom(data.path(), other.filePath("contas.csv"), now);
            QProcess::execute("mount", {"-o", "remount,rw", disk.path()});
            QProcess::execute("chattr", {"-i", data.filePath("pswd.tab")});
            disk.free();
        }
        QCOMPARE(output.exitCode, 1);
        QCOMPARE(output.text, "");
        QVERIFY2(output.error.contains(said) && output.error.endsWith("Nenhuma entrada foi adicionada.\n"),
                 qPrintable(output.error));
        QCOMPARE(data.read("pswd.tab"), before);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files | QDir::Hidden), files);
    }

    void importStatus_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("lastReason");
        QTest::newRow("added without its TOTP")
            << QByteArray("Title,Username,Password,URL,Notes,TOTP\nA,,,,,JBSWY3DPEHPK3PXP\n") << 1
            << "1 entrada adicionada, 0 já guardadas, 0 linhas recusadas.\n"
            << "linha 2, \"A\": adicionada sem o TOTP, que o cofre não guarda";
        QTest::newRow("more rows left out than are listed")
            << older + QByteArray("A,,,,,,\n").repeated(EntryCsv::listedReasons + 2) + "B§,,,,,,\n"
            << 1 << "1 entrada adicionada, 101 já guardadas, 1 linha recusada.\n"
            << "... e mais 2 linhas.";
    }

    void importStatus()
    {
        QFETCH(QByteArray, csv);
        VaultFixture data;
        data.folder.write("contas.csv", csv);
        const CommandOutput output =
            TransferCommands::importFrom(data.folder.path(), data.folder.filePath("contas.csv"), now);
        QTEST(output.exitCode, "exitCode");
        QTEST(output.text, "said");
        QTEST(output.error.chopped(output.error.isEmpty() ? 0 : 1).section('\n', -1), "lastReason");
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("message");
        QTest::newRow("export over an existing file") << "exists" << true << "Não foi possível gravar o arquivo";
        QTest::newRow("export to a full disk: no file left") << "full" << true << "Não foi possível gravar o arquivo";
        QTest::newRow("export while the program is open") << "open" << true << "O KeyHound está aberto";
        QTest::newRow("export of a folder without data") << "empty" << true << "Não há dados do KeyHound";
        QTest::newRow("import while the program is open") << "open" << false << "O KeyHound está aberto";
        QTest::newRow("import of a folder") << "folder" << false << "Não foi possível ler o arquivo";
        QTest::newRow("import of a named pipe, without waiting") << "pipe" << false << "Não foi possível ler o arquivo";
        QTest::newRow("import of a device that never ends") << "device" << false << "Não foi possível ler o arquivo";
        QTest::newRow("import of a file past the size limit") << "large" << false << "Não foi possível ler o arquivo";
        QTest::newRow("import of a missing file: the reason in Portuguese")
            << "missing" << false << "Não foi possível ler o arquivo %1: O arquivo ou a pasta não existe.";
        QTest::newRow("import of a file in another layout") << "layout" << false << "Não foi possível importar";
        QTest::newRow("export of a vault converted by iconv") << "damaged" << true << "O arquivo pswd.tab da pasta";
        QTest::newRow("import into a vault converted by iconv") << "damaged" << false << "O arquivo pswd.tab da pasta";
    }

    void refusals()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, cause);
        QFETCH(QString, message);
        VaultFixture data;
        data.addRecords(samples);
        const QString convert = "iconv -f latin1 -t utf-8 pswd.tab > c && mv c pswd.tab";
        QVERIFY(cause != "damaged" ||
                QProcess::execute("sh", {"-ec", "cd " + data.folder.path() + "; " + convert}) == 0);
        const QByteArray vaultBefore = data.file();
        const DataFolder other;
        std::optional<FullDisk> disk;
        if (cause == "full" && !disk.emplace().skipReason().isEmpty()) {
            QSKIP(qPrintable(disk->skipReason()));
        }
        QString csv = (disk ? disk->path() : other.path()) + "/contas.csv";
        const QByteArray existing = cause == "exists" || cause == "layout" || cause == "open" ? "Nome,Senha\nA,b\n"
                                    : cause == "damaged" && !exporting ? "Title,Username,Password,URL,Notes\nNova,,,,\n"
                                                                       : "";
        if (!existing.isEmpty()) {
            other.write("contas.csv", existing);
        } else if (cause == "missing") {
            csv = other.filePath("nenhum.csv");
        } else if (cause == "folder") {
            csv = other.path();
        } else if (cause == "pipe") {
            csv = other.filePath("pipe.csv");
            QCOMPARE(::mkfifo(QFile::encodeName(csv).constData(), 0600), 0);
        } else if (cause == "device") {
            csv = "/dev/zero";
        } else if (cause == "large") {
            csv = other.filePath("large.csv");
            QFile large(csv);
            QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(CsvFile::sizeLimit + 1));
        }
        DataFolderLock runningCopy(data.folder.path());
        QVERIFY(cause != "open" || runningCopy.take() == DataFolderLock::Outcome::Taken);
        const QString folder = cause == "empty" ? other.path() : data.folder.path();
        if (disk) {
            disk->fill();
        }
        const CommandOutput output =
            exporting ? TransferCommands::exportTo(folder, csv, now) : TransferCommands::importFrom(folder, csv, now);
        QCOMPARE(output.exitCode, 1);
        QVERIFY2(output.error.startsWith(message.arg(QDir::toNativeSeparators(csv))), qPrintable(output.error));
        QVERIFY(output.error.endsWith(exporting ? "Nada foi exportado.\n" : "Nenhuma entrada foi adicionada.\n"));
        QCOMPARE(data.file(), vaultBefore);
        QCOMPARE(other.read("contas.csv"), existing);
        QVERIFY(!disk || QDir(disk->path()).entryList(QDir::Files) == QStringList{"filler"});
        QCOMPARE(data.folder.read("pswd.tab.danificado"), cause == "damaged" ? vaultBefore : QByteArray());
        QVERIFY(cause != "damaged" || output.error.contains("tem 4 linhas danificadas"));
    }

    // KeePassXC's own command line makes the database and its CSV export.
    void keepassxcExportIsReadExactly()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("keepassxc-cli")).isEmpty()) {
            QSKIP("keepassxc-cli is not installed");
        }
        const DataFolder folder;
        const QString database = folder.filePath("contas.kdbx");
        QCOMPARE(keepassxcCli({"db-create", "-q", "-p", "-t", "100", database}, "senha\nsenha\n"), "");
        const QList<QStringList> entries = {
            {longTitle, "joão,silva", longPassword, "https://a.example/?q=1,2", "linha 1\nlinha \"2\"\n\nfim, enfim"},
            {"=SOMA(A1)", "-x", "'=y", "@a", "\tfim"},
            {"Œuvre – € “citação” …", "ana", "x", "", ""},
        };
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        for (const QStringList& entry : entries) {
            QCOMPARE(keepassxcCli({"add", "-q", "--username=" + entry[1], "--url", entry[3], "--notes", entry[4], "-p",
                                   database, entry[0]},
                                  "senha\n" + entry[2].toUtf8() + "\n"),
                     "");
        }
        folder.write("contas.csv", keepassxcCli({"export", "-q", "-f", "csv", database}, "senha\n"));
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);

        VaultFixture target;
        const CommandOutput output =
            TransferCommands::importFrom(target.folder.path(), folder.filePath("contas.csv"), now);
        QCOMPARE(output.text, "3 entradas adicionadas, 0 já guardadas, 0 linhas recusadas.\n");
        QVERIFY(target.vault.open(now).ok());
        QCOMPARE(target.entries().size(), entries.size());
        for (const QByteArray& record : target.entries()) {
            const QString title = Windows1252::toUnicode(EntryRecord::field(record, EntryRecord::Title));
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [&title](const QStringList& fields) { return fields[0] == title; });
            QVERIFY2(entry != entries.end(), qPrintable(title));
            QString description = (*entry)[4];
            const QByteArray posted = EntryRecord::field(record, EntryRecord::Posted);
            const auto utf8 = [](const QString& text) { return text.toUtf8(); };
            QCOMPARE(record,
                     entryRecord(utf8(title).constData(), "----/----/----", posted.constData(),
                                 utf8((*entry)[1]).constData(), utf8((*entry)[2]).constData(),
                                 utf8((*entry)[3]).constData(),
                                 utf8(description.replace(QStringLiteral("\n"), QStringLiteral("¥"))).constData()));
            const QDateTime stamped =
                QDateTime::fromString(QString::fromLatin1(EntryRecord::field(record, EntryRecord::Posted)),
                                      "yy.MM.dd.HH.mm.ss")
                    .addYears(100);
            QVERIFY2(stamped >= before && stamped <= after, qPrintable(stamped.toString(Qt::ISODate)));
        }
    }

    void fuzzCorpusReplays() // seeds and every input that once failed; a fault aborts
    {
        const QDir dir(QStringLiteral(FUZZ_CORPUS "/csvimport"));
        QVERIFY2(!dir.isEmpty(QDir::Files), qPrintable(dir.path()));
        for (const QString& input : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(input));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            qInfo("csvimport/%s", qPrintable(input));
            QCOMPARE(replay_csvimport(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
        }
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
