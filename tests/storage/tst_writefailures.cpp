#include "referencecodec.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"
#include "support/fulldisk.h"

#include <QDir>
#include <QProcess>
#include <QTest>

// Every change to a data file made in a process that the kernel stops from writing: under a file size limit (the
// write fails with EFBIG) or on a full disk (ENOSPC), with vaults smaller and larger than any buffer a writer might
// keep. The change must fail, say why in Portuguese, and leave every file byte for byte as it was.
class TestWriteFailures : public QObject
{
    Q_OBJECT

private slots:
    void failedChangeKeepsEveryByte_data();
    void failedChangeKeepsEveryByte();
};

namespace {

constexpr int limitedBySize = 0, fullDisk = 1;
const QString noSpace = QStringLiteral("Não há espaço livre no disco.");
const QString tooLarge = QStringLiteral("O arquivo ultrapassa o tamanho máximo permitido.");

// A vault of so many entries under the key that the first start at 6/3/26 0:00:07 makes.
void writeVault(const DataFolder& folder, int entries)
{
    QList<QByteArray> lines;
    for (int n = 1; n <= entries; ++n) {
        lines.append(ReferenceCodec::encodeLine(ReferenceCodec::crashEntry(n), "6333"));
    }
    folder.write(QStringLiteral("cnfg.tab"), ReferenceCodec::settingsFile("6333", "8046", "N\xE3o"));
    folder.write(QStringLiteral("pswd.tab"), ReferenceCodec::file(lines));
}

QMap<QString, QByteArray> filesIn(const DataFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files.insert(name, folder.read(name));
    }
    return files;
}

// The status number and the message of the action run in a child process, under the limit when one is given.
std::pair<int, QString> run(const DataFolder& folder, const QString& action, qint64 sizeLimit = -1)
{
    QProcess child;
    if (sizeLimit >= 0) {
        child.setChildProcessModifier([sizeLimit] { FileSizeLimit::apply(rlim_t(sizeLimit)); });
    }
    child.start(QStringLiteral(STORAGE_ACTION), {folder.path(), action});
    child.waitForFinished(60'000);
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    return {output.section(QLatin1Char('\n'), 0, 0).toInt(), output.section(QLatin1Char('\n'), 1)};
}

} // namespace

void TestWriteFailures::failedChangeKeepsEveryByte_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("entries"); // -1: a first start in an empty folder
    QTest::addColumn<int>("fault");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<QString>("reason");
    // 10 entries make a file of about 3 KB, 100 entries one of about 29 KB.
    for (const char* action : {"add", "update", "delete"}) {
        QTest::addRow("%s, 3 KB vault, limit 1 KB", action) << action << 10 << limitedBySize << 1024LL << tooLarge;
        QTest::addRow("%s, 29 KB vault, limit 20 KB", action) << action << 100 << limitedBySize << 20480LL << tooLarge;
        QTest::addRow("%s, 3 KB vault, full disk", action) << action << 10 << fullDisk << -1LL << noSpace;
        QTest::addRow("%s, 29 KB vault, full disk", action) << action << 100 << fullDisk << -1LL << noSpace;
    }
    QTest::newRow("settings, limit 64 bytes") << "settings" << 1 << limitedBySize << 64LL << tooLarge;
    QTest::newRow("settings, full disk") << "settings" << 1 << fullDisk << -1LL << noSpace;
    QTest::newRow("first start, limit 0") << "start" << -1 << limitedBySize << 0LL << tooLarge;
    QTest::newRow("first start, full disk") << "start" << -1 << fullDisk << -1LL << noSpace;
}

void TestWriteFailures::failedChangeKeepsEveryByte()
{
    QFETCH(QString, action);
    QFETCH(int, entries);
    QFETCH(int, fault);
    QFETCH(qint64, sizeLimit);
    QFETCH(QString, reason);
    FullDisk disk;
    if (fault == fullDisk && !disk.skipReason().isEmpty()) {
        QSKIP(qPrintable(disk.skipReason()));
    }
    const DataFolder folder(fault == fullDisk ? disk.path() : QString());
    if (entries >= 0) {
        writeVault(folder, entries);
    }
    const QMap<QString, QByteArray> before = filesIn(folder);
    if (fault == fullDisk) {
        disk.fill();
    }

    const auto [status, message] = run(folder, action, sizeLimit);
    QCOMPARE(status, 2); // failed
    QVERIFY2(message.contains(reason), qPrintable(message));
    QVERIFY2(message.contains(action == "settings" || action == "start" ? "cnfg.tab" : "pswd.tab"),
             qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("sucesso")), qPrintable(message));
    // Not a byte changed, and no empty, partial or temporary file left: a failed first start leaves none at all.
    QCOMPARE(filesIn(folder), before);

    // Once the kernel lets it write again, the same change goes through.
    disk.free();
    QCOMPARE(run(folder, action).first, 0);
    QVERIFY(filesIn(folder).contains(QStringLiteral("pswd.tab")));
}

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
