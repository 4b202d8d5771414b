#include "referencecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "support/datafolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

// A writer process is killed at random moments while it rewrites a data file; after every kill the file must be
// exactly the one before the interrupted write or the one after it, never a mix or a truncation.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting();
};

namespace {

const QByteArray key = "6333"; // made at the first start below

// How many entries the vault shows, or -1 when it is not exactly a file the writer can leave.
int writesShownBy(const QByteArray& file)
{
    QList<QByteArray> records;
    for (qsizetype n = 1; n <= VaultFile::decode(file, key).size(); ++n) {
        records.append(ReferenceCodec::crashEntry(int(n)));
    }
    return file == (records.isEmpty() ? QByteArray("\"\r\n\"\r\n") : ReferenceCodec::file(records, key))
               ? int(records.size())
               : -1;
}

// Whether cnfg.tab is exactly the file of a password the writer had set by the time it had added entries.
bool isSettingsLeftAfter(const QByteArray& file, int entries)
{
    const Settings settings = SettingsFile::decode(file);
    const QByteArray password = settings.masterPassword;
    const bool knownPassword =
        password == Settings::factoryPassword || (password.startsWith('p') && password.mid(1).toInt() <= entries);
    return settings.installationKey == key && knownPassword && SettingsFile::encode(settings) == file;
}

std::unique_ptr<QProcess> startWriter(const QString& folder)
{
    auto writer = std::make_unique<QProcess>();
    writer->start(QStringLiteral(CRASH_WRITER), {folder});
    writer->waitForReadyRead(60'000);
    return writer;
}

} // namespace

void TestCrashSafety::killedWhileWriting()
{
    DataFolder folder;
    QVERIFY(Vault(folder.path()).open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7))).ok());
    // How long one write takes here, so that the kills fall inside the writes on a fast disk as on a slow one.
    auto writer = startWriter(folder.path());
    QElapsedTimer elapsed;
    elapsed.start();
    for (int lines = 0; lines < 6 && writer->waitForReadyRead(60'000);) {
        lines += int(writer->readAllStandardOutput().count('\n'));
    }
    const auto perWrite = quint32(elapsed.nsecsElapsed() / 6000);
    writer.reset(); // killed, and waited for
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u, one write takes %u us", seed, perWrite);
    QRandomGenerator random(seed);
    int shown = writesShownBy(folder.read("pswd.tab"));
    for (int kill = 0; kill < 250; ++kill) {
        // Killed once it is past its start, at any moment of the next two writes.
        const auto killed = startWriter(folder.path());
        QThread::usleep(random.bounded(2 * perWrite + 1));
        killed->kill();
        QVERIFY(killed->waitForFinished());
        QVERIFY2(killed->exitStatus() == QProcess::CrashExit, "the writer stopped by itself");
        const int now = writesShownBy(folder.read("pswd.tab"));
        QVERIFY2(now > shown, "the file is not whole, or lost a finished write");
        shown = now;
        QVERIFY2(isSettingsLeftAfter(folder.read("cnfg.tab"), now), "cnfg.tab is not whole");
    }
    // Beside the files, their backups hold a whole earlier state; what a killed write left is only its own
    // temporary file, which the next start removes once a later save completed.
    const auto leftBeside = [&folder] {
        QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        left.removeAll("pswd.tab");
        left.removeAll("cnfg.tab");
        return left;
    };
    QVERIFY(writesShownBy(folder.read("pswd.tab.bak")) >= 0);
    QVERIFY(isSettingsLeftAfter(folder.read("cnfg.tab.bak"), shown));
    for (const QString& left : leftBeside()) {
        QVERIFY2(left.endsWith(".bak") ||
                     QRegularExpression("^(pswd|cnfg)\\.tab\\.[A-Za-z0-9]{6}$").match(left).hasMatch(),
                 qPrintable(left));
    }
    Vault later(folder.path());
    QVERIFY(later.open().ok() && later.addEntry(ReferenceCodec::crashEntry(shown + 1)).ok());
    QVERIFY(later.saveSettings("p" + QByteArray::number(shown + 1), false).ok());
    QVERIFY(Vault(folder.path()).open().ok());
    const QStringList left = leftBeside();
    QVERIFY2(left == QStringList({"cnfg.tab.bak", "pswd.tab.bak"}), qPrintable(left.join(" ")));
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
