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
    static qint64 millisecondsToFirstWrite(const QString& folder, const QString& watched, bool settings);

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

// How long the writer takes to start and finish its first write on this machine, so that the kills fall where the
// writes are, on a fast disk as on a slow one or under a sanitizer.
qint64 TestCrashSafety::millisecondsToFirstWrite(const QString& folder, const QString& watched, bool settings)
{
    QFile file(watched);
    const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    std::unique_ptr<QProcess> writer(startWriter(folder, settings));
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 10'000) {
        QThread::usleep(500);
        if (file.open(QIODevice::ReadOnly) && file.readAll() != before) {
            break;
        }
        file.close();
    }
    const qint64 taken = elapsed.elapsed();
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

    const auto firstWrite = quint32(millisecondsToFirstWrite(folder->path(), watched, settings));
    qInfo("first write after %u ms", firstWrite);
    int shown = writesShownBy(folder->read(settings ? "cnfg.tab" : "pswd.tab"), settings);
    QVERIFY(shown >= 0);
    int grewBetweenKills = 0;
    for (int kill = 0; kill < kills; ++kill) {
        std::unique_ptr<QProcess> writer(startWriter(folder->path(), settings));
        QVERIFY(writer->waitForStarted());
        QThread::usleep(1000 * m_random.bounded(firstWrite / 2, 3 * firstWrite + 2));
        writer->kill();
        QVERIFY(writer->waitForFinished());
        QVERIFY2(writer->exitStatus() == QProcess::CrashExit, "the writer stopped by itself");

        QFile file(watched);
        QVERIFY2(file.open(QIODevice::ReadOnly), "the file is missing after a kill");
        const int now = writesShownBy(file.readAll(), settings);
        QVERIFY2(now >= 0, qPrintable(QStringLiteral("kill %1: the file is not a whole vault").arg(kill)));
        QVERIFY2(now >= shown, "the file went back to an older state");
        grewBetweenKills += now > shown ? 1 : 0;
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
    qInfo("%d writes, visible growth after %d of %d kills", shown, grewBetweenKills, kills);
    // The writer must really have been writing when it was killed, not only starting.
    QVERIFY(grewBetweenKills > kills / 4);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
