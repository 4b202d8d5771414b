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

#include <unistd.h>

namespace {

const QByteArray key = "6333"; // made at the first start below

// How many entries the vault shows, or -1 when it is not exactly a file the writer can leave.
int writesShownBy(const QByteArray& file)
{
    QList<QByteArray> records;
    for (qsizetype n = 1; n <= VaultFile::decode(file, key).size(); ++n) {
        records.append(ReferenceCodec::crashEntry(int(n)));
    }
    return file == (records.isEmpty() ? "\"\r\n\"\r\n" : ReferenceCodec::file(records, key)) ? int(records.size()) : -1;
}

// Whether cnfg.tab is exactly the file of a password the writer had set by the time it had added entries.
bool isSettingsLeftAfter(const QByteArray& file, int entries)
{
    const QByteArray password = SettingsFile::decode(file).masterPassword;
    const int setAt = password == Settings::factoryPassword ? 0 : password.mid(1).toInt();
    return setAt <= entries && file == ReferenceCodec::settingsFile(key, password, "N\xE3o");
}

std::unique_ptr<QProcess> startWriter(const QString& folder)
{
    auto writer = std::make_unique<QProcess>();
    writer->start(QStringLiteral(STORAGE_ACTION), {folder, QStringLiteral("crash")});
    writer->waitForReadyRead(60'000);
    return writer;
}

} // namespace

// A writer killed at random moments leaves each file exactly as before or after the interrupted write. Once a later
// save completed, the next start removes what the killed writes left, and nothing that is not surely theirs.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileWriting()
    {
        DataFolder folder;
        QVERIFY(Vault(folder.path()).open(QDateTime(QDate(2026, 3, 6), QTime(0, 0, 7))).ok());
        // How long one write takes here, so that the kills fall inside the writes on any disk.
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
            const auto killed = startWriter(folder.path()); // killed at any moment of its next two writes
            QThread::usleep(random.bounded(2 * perWrite + 1));
            killed->kill();
            QVERIFY(killed->waitForFinished() && killed->exitStatus() == QProcess::CrashExit);
            const int now = writesShownBy(folder.read("pswd.tab"));
            QVERIFY2(now > shown, "the file is not whole, or lost a finished write");
            shown = now;
            QVERIFY2(isSettingsLeftAfter(folder.read("cnfg.tab"), now), "cnfg.tab is not whole");
        }
        QVERIFY(writesShownBy(folder.read("pswd.tab.bak")) >= 0 &&
                isSettingsLeftAfter(folder.read("cnfg.tab.bak"), shown));
        // Kept: names the writer does not make, a link, another user's file, one newer than the save.
        QStringList kept{"pswd.tab.a1B2c", "pswd.tab.a1B2c3d", "pswd.tab.a1-2c3", "pswd.tab.0ther0", "cnfg.tab.N3wer0"};
        for (const QString& name : kept) {
            folder.write(name, "kept");
        }
        QVERIFY(QFile::link("pswd.tab", folder.filePath("pswd.tab.L1nk00")));
        if (::geteuid() != 0 || ::chown(QFile::encodeName(folder.filePath("pswd.tab.0ther0")).constData(), 1, 1) != 0) {
            kept.removeOne("pswd.tab.0ther0"); // only root can give a file to another user
        }
        Vault later(folder.path());
        QVERIFY(later.open().ok() && later.addEntry(ReferenceCodec::crashEntry(shown + 1)).ok());
        QVERIFY(later.saveSettings("p" + QByteArray::number(shown + 1), false).ok());
        QFile newer(folder.filePath("cnfg.tab.N3wer0"));
        QVERIFY(newer.open(QIODevice::ReadWrite) &&
                newer.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        newer.close();
        QVERIFY(Vault(folder.path()).open().ok());
        QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : kept + QStringList{"pswd.tab.L1nk00"}) {
            QVERIFY2(left.removeOne(name), qPrintable(name));
        }
        QCOMPARE(left, (QStringList{"cnfg.tab", "cnfg.tab.bak", "pswd.tab", "pswd.tab.bak"}));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
