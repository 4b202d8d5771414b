#include "crashrecords.h"
#include "referencecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "support/datafolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

// A writer process is killed at random moments while it rewrites a data file; after every kill the file must be
// exactly the one before the interrupted write or the one after it, never a mix or a truncation.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting_data();
    void killedWhileWriting();
};

namespace {

const QByteArray key = "6333"; // made at the first start below

// How many writes the file shows, or -1 when it is not exactly a file the writer can leave.
int writesShownBy(const QByteArray& file, bool settings)
{
    if (settings) {
        const int count = SettingsFile::decode(file).masterPassword.mid(6).toInt();
        const QByteArray answer = count % 2 == 1 ? "Sim" : "N\xE3o";
        const QByteArray password = count == 0 ? "8046" : CrashRecords::password(count);
        return file == ReferenceCodec::settingsFile(key, password, answer) ? count : -1;
    }
    const int count = int(VaultFile::decode(file, key).size());
    QList<QByteArray> lines;
    for (int n = 1; n <= count; ++n) {
        lines.append(ReferenceCodec::encodeLine(CrashRecords::entry(n), key));
    }
    return file == (count == 0 ? QByteArray("\"\r\n\"\r\n") : ReferenceCodec::file(lines)) ? count : -1;
}

std::unique_ptr<QProcess> startWriter(const QString& folder, bool settings)
{
    auto writer = std::make_unique<QProcess>();
    writer->start(QStringLiteral(CRASH_WRITER), {folder, settings ? "settings" : "entries"});
    writer->waitForReadyRead(60'000);
    return writer;
}

} // namespace

void TestCrashSafety::killedWhileWriting_data()
{
    QTest::addColumn<bool>("settings");
    QTest::addColumn<int>("kills");
    QTest::newRow("pswd.tab through addEntry") << false << 150;
    QTest::newRow("cnfg.tab through saveSettings") << true << 100;
}

void TestCrashSafety::killedWhileWriting()
{
    QFETCH(bool, settings);
    QFETCH(int, kills);
    DataFolder folder;
    QVERIFY(Vault(folder.path()).open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7))).ok());
    const QString watched = settings ? "cnfg.tab" : "pswd.tab", other = settings ? "pswd.tab" : "cnfg.tab";
    const QByteArray otherBytes = folder.read(other);
    // How long one write takes here, so that the kills fall inside the writes on a fast disk as on a slow one.
    const auto writer = startWriter(folder.path(), settings);
    QElapsedTimer elapsed;
    elapsed.start();
    for (int lines = 0; lines < 6 && writer->waitForReadyRead(60'000);) {
        lines += int(writer->readAllStandardOutput().count('\n'));
    }
    const auto perWrite = quint32(elapsed.nsecsElapsed() / 6000);
    writer->kill();
    writer->waitForFinished();
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u, one write takes %u us", seed, perWrite);
    QRandomGenerator random(seed);
    int shown = writesShownBy(folder.read(watched), settings);
    QVERIFY(shown >= 0);
    for (int kill = 0; kill < kills; ++kill) {
        // Killed once it is past its start, at any moment of the next two writes.
        const auto killed = startWriter(folder.path(), settings);
        QThread::usleep(random.bounded(2 * perWrite + 1));
        killed->kill();
        QVERIFY(killed->waitForFinished());
        QVERIFY2(killed->exitStatus() == QProcess::CrashExit, "the writer stopped by itself");
        const int now = writesShownBy(folder.read(watched), settings);
        QVERIFY2(now >= 0, qPrintable(QStringLiteral("kill %1: the file is not whole").arg(kill)));
        QVERIFY2(now > shown, "the file lost a finished write");
        shown = now;
        QCOMPARE(folder.read(other), otherBytes);
    }
    // A write killed just before its rename may leave its finished temporary file behind: it must be whole too.
    for (const QString& left : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (left != watched && left != other) {
            QVERIFY(left.startsWith(watched + '.'));
            QVERIFY(writesShownBy(folder.read(left), settings) >= 0);
        }
    }
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
