#include "support/fulldisk.h"
#include "support/vaultfixture.h"

#include "app/datafolderlock.h"
#include "app/transfercommands.h"
#include "transfer/entrycsv.h"

#include <QDir>

#include <optional>

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(9, 30));
const QByteArray ours = "Title,Username,Password,URL,Notes,Expires,Last Modified\n";
const QByteArray stamp = "26.12.06.09.30.00";
using Records = QList<QByteArray>;

// Quotes, commas, line breaks, Windows-1252 letters, odd dates, a stamp in São Paulo's skipped hour of 2018-11-04.
const Records samples = {
    entryRecord("Banco \"Aurora\", S.A.", "05/01/27", "26.12.01.09.08.07", "joão,silva", "S\"nh@,1",
                "https://a.example/?q=1,2", "linha 1¥linha \"2\"¥¥fim, enfim"),
    entryRecord("Œuvre – € “citação” …", "----/----/----", "99.12.31.23.59.59"),
    entryRecord("Vencida", "31/12/99", "08.03.15.10.22.41", "ana", "x", "", "¥"),
    entryRecord("Data estranha", "31/02/26", "18.11.04.00.30.00", "a", "b", "c", "d"),
};

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TZ", "America/Sao_Paulo"); }

    void exportedBytes()
    {
        const EntryList stored({entryRecord("Banco", "05/01/27", "26.12.01.09.08.07", "ana", "p\"w", "", "a¥b")});
        QCOMPARE(EntryCsv::write(stored, now.date()),
                 "\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"Expires\",\"Last Modified\"\n"
                 "\"Banco\",\"ana\",\"p\"\"w\",\"\",\"a\nb\",\"2027-01-05\",\"2026-12-01T09:08:07\"\n");
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

        VaultFixture target;
        QCOMPARE(TransferCommands::importFrom(target.folder.path(), csv, now).text,
                 "4 entradas adicionadas, 0 linhas ignoradas.\n");
        QCOMPARE(TransferCommands::exportTo(target.folder.path(), out.filePath("back.csv"), now).exitCode, 0);
        QCOMPARE(out.read("back.csv"), out.read("contas.csv"));
        const CommandOutput again = TransferCommands::importFrom(target.folder.path(), csv, now);
        QCOMPARE(again.text, "0 entradas adicionadas, 4 linhas ignoradas.\n");
        QVERIFY(again.error.startsWith("linha 2: igual a uma entrada já guardada\nlinha 6: igual"));
    }

    void import_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<Records>("added");
        QTest::addColumn<QStringList>("said"); // of each row left out, or why nothing could be read
        const auto row = [](const char* name, const QByteArray& csv, const Records& added, const QStringList& said) {
            QTest::newRow(name) << csv << added << said;
        };
        const auto added = [](const QByteArray& title, const QByteArray& login = {}, const QByteArray& password = {}) {
            return entryRecord(title.constData(), "----/----/----", stamp.constData(), login.constData(),
                               password.constData());
        };
        row("KeePassXC's own export, times in UTC",
            "\xEF\xBB\xBF\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last "
            "Modified\",\"Created\"\r\n\"Root\",\"Correio\",\"maria\",\"s3nh@\",\"https://c.example\",\"l1\r\nl2\","
            "\"\",\"0\",\"2025-07-01T12:00:00Z\",\"2025-01-01T00:00:00Z\"\r\n",
            {entryRecord("Correio", "----/----/----", "25.07.01.09.00.00", "maria", "s3nh@", "https://c.example",
                         "l1¥l2")},
            {});
        row("a bad row among good ones, the last row kept",
            ours + "A,a,a,,,,\nB,b,vinte e um caracteres,,,,\nC,c,c,,,,", {added("A", "a", "a"), added("C", "c", "c")},
            {"linha 3: Password com 21 caracteres, o máximo é 20"});
        row("every limit, and one past it",
            ours + QByteArray(45, 't') + "," + QByteArray(45, 'l') + "," + QByteArray(20, 'p') + ",,,,\n" +
                QByteArray(46, 't') + ",,,,,,\n,,,," + QByteArray(501, 'n') + ",,\n",
            {added(QByteArray(45, 't'), QByteArray(45, 'l'), QByteArray(20, 'p'))},
            {"linha 3: Title com 46 caracteres, o máximo é 45", "linha 4: Notes com 501 caracteres, o máximo é 500"});
        row("characters the vault cannot hold", ours + "Marca §,,,,,,\nA,login ✓,,,,,\nB,,\"a\nb\",,,,\nC,,,,x¥y,,\n",
            {},
            {"linha 2: Title com caracteres que o cofre não guarda: §",
             "linha 3: Username com caracteres que o cofre não guarda: ✓",
             "linha 4: Password com caracteres que o cofre não guarda: quebra de linha",
             "linha 6: Notes com caracteres que o cofre não guarda: ¥"});
        row("blank title, bad dates, a repeated row",
            ours + "  ,a,,,,,\nA,,,,,2026-02-30,\nB,,,,,,ontem\nC,,,,,,\nC,,,,,,\n", {added("C")},
            {"linha 2: sem título", "linha 3: data de vencimento inválida: 2026-02-30",
             "linha 4: data de modificação inválida: ontem", "linha 6: igual a uma entrada já guardada"});
        row("empty", {}, {}, {"o arquivo está vazio"});
        row("not UTF-8", ours + "Jo\xE3o,,,,\n", {}, {"o arquivo não está em UTF-8"});
        row("an open quote", ours + "\"A,,,,\nB,,,,\n", {}, {"as aspas abertas na linha 2 não se fecham"});
        row("other columns", "Nome,Senha\nA,b\n", {},
            {"o cabeçalho não tem as colunas Title, Username, Password, URL e Notes"});
    }

    void import()
    {
        QFETCH(QByteArray, csv);
        const EntryCsv::Import imported = EntryCsv::read(csv, EntryList(), now);
        QTEST(imported.records, "added");
        QTEST(imported.error.isEmpty() ? imported.skipped : QStringList{imported.error}, "said");
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
        QTest::newRow("import of a missing file: the reason in Portuguese")
            << "missing" << false << "Não foi possível ler o arquivo %1:\nO arquivo ou a pasta não existe.";
        QTest::newRow("import of a file in another layout") << "layout" << false << "Não foi possível importar";
    }

    void refusals()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, cause);
        QFETCH(QString, message);
        VaultFixture data;
        data.addRecords(samples);
        const QByteArray vaultBefore = data.file();
        const DataFolder other;
        std::optional<FullDisk> disk;
        if (cause == "full" && !disk.emplace().skipReason().isEmpty()) {
            QSKIP(qPrintable(disk->skipReason()));
        }
        const QString csv = cause == "folder"    ? other.path()
                            : cause == "missing" ? other.path() + "/nenhum.csv"
                                                 : (disk ? disk->path() : other.path()) + "/contas.csv";
        if (cause == "exists" || cause == "layout") {
            other.write("contas.csv", "Nome,Senha\nA,b\n");
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
        QCOMPARE(other.read("contas.csv"), cause == "exists" || cause == "layout" ? "Nome,Senha\nA,b\n" : "");
        QVERIFY(!disk || QDir(disk->path()).entryList(QDir::Files) == QStringList{"filler"});
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
