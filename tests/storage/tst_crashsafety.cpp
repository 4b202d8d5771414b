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
    void initTestCase();
    void killedWhileWriting_data();
    void killedWhileWriting();

private:
    static QProcess* startWriter(const QString& folder, bool settings);
    static qint64 microsecondsPerWrite(const QString& folder, bool settings);

    QRandomGenerator m_random;
};

namespace {

const QDateTime firstStart(QDate(2026, 3, 6), QTime(0, 0, 7));
const QByteArray key = "6333";

// The vault after the writer added entries 1 to count: each line followed by CR LF except the last one added.
QByteArray vaultAfter(int count)
{
    if (count == 0) {
        return QByteArray("\"\r\n\"\r\n");
    }
    QList<QByteArray> lines;
    for (int number = 1; number <= count; ++number) {
        lines.append(ReferenceCodec::encodeLine(CrashRecords::entry(number), key));
    }
    return ReferenceCodec::file(lines);
}

QByteArray settingsAfter(int count)
{
    if (count == 0) {
        return ReferenceCodec::settingsFile(key, "8046", "N\xE3o");
    }
    return ReferenceCodec::settingsFile(key, CrashRecords::password(count),
                                        CrashRecords::asksAtStart(count) ? "Sim" : "N\xE3o");
}

// How many writes the file shows, or -1 when it is not exactly one of the files the writer can leave.
int writesShownBy(const QByteArray& file, bool settings)
{
    if (settings) {
        const QByteArray password = SettingsFile::decode(file).masterPassword;
        const int count = password.startsWith("senha ") ? password.mid(6).toInt() : 0;
        return file == settingsAfter(count) ? count : -1;
    }
    const int count = int(VaultFile::decode(file, key).size());
    return file == vaultAfter(count) ? count : -1;
}

} // namespace

void TestCrashSafety::initTestCase()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("random seed %u", seed);
    m_random.seed(seed);
}

QProcess* TestCrashSafety::startWriter(const QString& folder, bool settings)
{
    auto* writer = new QProcess;
    writer->start(QStringLiteral(CRASH_WRITER), {folder, settings ? "settings" : "entries"});
    return writer;
}

// How long one write takes on this machine, so that the kills fall inside the writes on a fast disk as on a slow
// one, or under a sanitizer.
qint64 TestCrashSafety::microsecondsPerWrite(const QString& folder, bool settings)
{
    constexpr int writes = 5;
    std::unique_ptr<QProcess> writer(startWriter(folder, settings));
    writer->waitForReadyRead(60'000);
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray finished = writer->readAllStandardOutput();
    while (finished.count('\n') <= writes && writer->waitForReadyRead(60'000)) {
        finished += writer->readAllStandardOutput();
    }
    const qint64 taken = elapsed.nsecsElapsed() / 1000 / writes;
    writer->kill();
    writer->waitForFinished();
    return taken;
}

void TestCrashSafety::killedWhileWriting_data()
{
    QTest::addColumn<bool>("settings");
    QTest::addColumn<int>("kills");
    QTest::newRow("pswd.tab through addEntry") << false << 200;
    QTest::newRow("cnfg.tab through saveSettings") << true << 120;
}

void TestCrashSafety::killedWhileWriting()
{
    QFETCH(bool, settings);
    QFETCH(int, kills);

    auto folder = std::make_unique<DataFolder>();
    QVERIFY(Vault(folder->path()).open(firstStart).ok());
    const QString watched = folder->filePath(settings ? "cnfg.tab" : "pswd.tab");
    const QString untouched = folder->filePath(settings ? "pswd.tab" : "cnfg.tab");
    const QByteArray untouchedBytes = folder->read(settings ? "pswd.tab" : "cnfg.tab");

    const auto perWrite = quint32(microsecondsPerWrite(folder->path(), settings));
    qInfo("one write takes %u us", perWrite);
    int shown = writesShownBy(folder->read(settings ? "cnfg.tab" : "pswd.tab"), settings);
    QVERIFY(shown >= 0);
    for (int kill = 0; kill < kills; ++kill) {
        // Killed once it is past its start, at any moment of the next two writes.
        std::unique_ptr<QProcess> writer(startWriter(folder->path(), settings));
        QVERIFY2(writer->waitForReadyRead(60'000), "the writer did not write");
        QThread::usleep(m_random.bounded(2 * perWrite + 1));
        writer->kill();
        QVERIFY(writer->waitForFinished());
        QVERIFY2(writer->exitStatus() == QProcess::CrashExit, "the writer stopped by itself");

        QFile file(watched);
        QVERIFY2(file.open(QIODevice::ReadOnly), "the file is missing after a kill");
        const int now = writesShownBy(file.readAll(), settings);
        QVERIFY2(now >= 0, qPrintable(QStringLiteral("kill %1: the file is not a whole vault").arg(kill)));
        QVERIFY2(now > shown, "the file lost a finished write");
        shown = now;
        QFile other(untouched);
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), untouchedBytes);
    }
    // A write killed just before its rename may leave its finished temporary file behind: it must be whole too.
    const QString name = QFileInfo(watched).fileName();
    for (const QString& left : QDir(folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (left != name && left != QFileInfo(untouched).fileName()) {
            qInfo("left behind: %s", qPrintable(left));
            QVERIFY(left.startsWith(name + '.'));
            QVERIFY(writesShownBy(folder->read(left), settings) >= 0);
        }
    }
    qInfo("%d writes, %d kills", shown, kills);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
