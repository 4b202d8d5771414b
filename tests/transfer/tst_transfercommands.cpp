#include "support/input.h"
#include "support/vaultfixture.h"

#include "app/datafolderlock.h"
#include "app/transfercommands.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

const QDateTime now(QDate(2026, 12, 6), QTime(9, 30, 0));

const QList<QByteArray> samples = {
    entryRecord("Banco \"Aurora\", S.A.", "05/01/27", "26.12.01.09.08.07", "joão,silva", "S\"nh@,1",
                "https://a.example/?q=1,2", "linha 1¥linha \"2\"¥¥fim, enfim"),
    entryRecord("Œuvre – € “citação” …", "----/----/----", "99.12.31.23.59.59"),
    entryRecord("Vencida", "31/12/99", "08.03.15.10.22.41", "ana", "x", "", "¥"),
};

// A folder on a file system of 64 KB that is full; empty when it cannot be made.
QString fullDisk(const QTemporaryDir& mountPoint)
{
    const QString path = mountPoint.path();
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path}) != 0) {
        return {};
    }
    // dd ends with "no space left", which is the point.
    QProcess::execute(QStringLiteral("sh"), {"-c", "dd if=/dev/zero of=" + path + "/filler bs=4k 2>/dev/null"});
    return path;
}

} // namespace

class TestTransferCommands : public QObject
{
    Q_OBJECT

private slots:
    void exportThenImportGivesEveryRecordBack();
    void importSkipsBadRowsAndRepeats();
    void refusals_data();
    void refusals();
    void fullDiskLeavesNoFile();
};

void TestTransferCommands::exportThenImportGivesEveryRecordBack()
{
    VaultFixture source;
    source.addRecords(samples);
    const DataFolder out;
    const QString csv = out.filePath(QStringLiteral("contas.csv"));
    const CommandOutput exported = TransferCommands::exportTo(source.folder.path(), csv, now);
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.text, QStringLiteral("3 entradas exportadas para %1.\n").arg(csv));
    QVERIFY(
        exported.error.startsWith(QStringLiteral("Atenção: o arquivo %1 guarda todas as senhas sem cifra").arg(csv)));
    // Readable by its owner only.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QCOMPARE(QFile::permissions(csv) & (QFile::ReadOwner | others), QFile::ReadOwner);

    VaultFixture target;
    const CommandOutput imported = TransferCommands::importFrom(target.folder.path(), csv, now);
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.text, QStringLiteral("3 entradas adicionadas, 0 linhas ignoradas.\n"));
    QCOMPARE(imported.error, QString());
    Vault copy(target.folder.path());
    QVERIFY(copy.open().ok());
    QList<QByteArray> records;
    for (qsizetype index = 0; index < copy.entries().size(); ++index) {
        records.append(copy.entries().at(index));
    }
    QCOMPARE(records, source.entries());
}

void TestTransferCommands::importSkipsBadRowsAndRepeats()
{
    VaultFixture target;
    target.addRecords({samples.at(2)});
    const QByteArray before = target.file();
    const DataFolder in;
    in.write(QStringLiteral("contas.csv"), "Title,Username,Password,URL,Notes,Expires,Last Modified\n"
                                           "Vencida,ana,x,,\"\n\",1999-12-31,2008-03-15T10:22:41\n"
                                           "Longa,,vinte e um caracteres,,,,\n"
                                           "Nova,nova,n0va,,,,\n");
    const CommandOutput imported = TransferCommands::importFrom(target.folder.path(), in.filePath("contas.csv"), now);
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(imported.text, QStringLiteral("1 entrada adicionada, 2 linhas ignoradas.\n"));
    QCOMPARE(imported.error, QStringLiteral("linha 2: igual a uma entrada já guardada\n"
                                            "linha 4: Password com 21 caracteres, o máximo é 20\n"));
    QVERIFY(target.file() != before);
    QCOMPARE(target.fileLines().size(), 2);
}

void TestTransferCommands::refusals_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("message");

    QTest::newRow("export over an existing file") << true << "exists"
                                                  << "Não foi possível gravar o arquivo";
    QTest::newRow("export while the program is open") << true << "open"
                                                      << "O KeyHound está aberto";
    QTest::newRow("export of a folder without data") << true << "empty"
                                                     << "Não há dados do KeyHound";
    QTest::newRow("import while the program is open") << false << "open"
                                                      << "O KeyHound está aberto";
    QTest::newRow("import of a folder") << false << "folder"
                                        << "Não foi possível ler o arquivo";
    QTest::newRow("import of a file in another layout") << false << "layout"
                                                        << "Não foi possível importar";
}

void TestTransferCommands::refusals()
{
    QFETCH(bool, exporting);
    QFETCH(QString, cause);
    QFETCH(QString, message);

    VaultFixture data;
    data.addRecords(samples);
    const QByteArray vaultBefore = data.file();
    const DataFolder other;
    QString csv = other.filePath(QStringLiteral("contas.csv"));
    if (cause == QLatin1String("exists") || cause == QLatin1String("layout")) {
        other.write(QStringLiteral("contas.csv"), "Nome,Senha\nA,b\n");
    } else if (cause == QLatin1String("folder")) {
        csv = other.path();
    }
    DataFolderLock runningCopy(data.folder.path());
    if (cause == QLatin1String("open")) {
        QCOMPARE(runningCopy.take(), DataFolderLock::Outcome::Taken);
    }
    const QString folder = cause == QLatin1String("empty") ? other.path() : data.folder.path();
    const CommandOutput output =
        exporting ? TransferCommands::exportTo(folder, csv, now) : TransferCommands::importFrom(folder, csv, now);
    QCOMPARE(output.exitCode, 1);
    QVERIFY2(output.error.startsWith(message), qPrintable(output.error));
    QVERIFY(output.error.endsWith(exporting ? QStringLiteral("Nada foi exportado.\n")
                                            : QStringLiteral("Nenhuma entrada foi adicionada.\n")));
    QCOMPARE(data.file(), vaultBefore);
    if (exporting) {
        QCOMPARE(other.read(QStringLiteral("contas.csv")),
                 cause == QLatin1String("exists") ? QByteArray("Nome,Senha\nA,b\n") : QByteArray());
    }
}

void TestTransferCommands::fullDiskLeavesNoFile()
{
    VaultFixture data;
    data.addRecords(samples);
    const QTemporaryDir mountPoint;
    const QString full = fullDisk(mountPoint);
    if (full.isEmpty()) {
        QSKIP("mounting a small tmpfs needs root");
    }
    const CommandOutput output = TransferCommands::exportTo(data.folder.path(), full + "/contas.csv", now);
    const QStringList left = QDir(full).entryList(QDir::Files);
    QProcess::execute(QStringLiteral("umount"), {full});
    QCOMPARE(output.exitCode, 1);
    QVERIFY2(output.error.contains(QStringLiteral("Nada foi exportado.")), qPrintable(output.error));
    QCOMPARE(left, QStringList{QStringLiteral("filler")});
}

QTEST_MAIN(TestTransferCommands)
#include "tst_transfercommands.moc"
