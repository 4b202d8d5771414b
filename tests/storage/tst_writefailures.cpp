#include "referencecodec.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/vaultfile.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"
#include "support/fulldisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <unistd.h>

constexpr int fileSizeLimit = 0, fullDisk = 1, immutableFile = 2, folderAtBackup = 3; // how the kernel says no

const QByteArray key = "6333"; // made by a first start at 6/3/26 0:00:07, as the storage action does

// How many entries the vault shows, or -1 when it is not exactly a file the writer can leave.
static int writesShownBy(const QByteArray& file)
{
    const auto entries = int(VaultFile::decode(file, key).size());
    return file == ReferenceCodec::crashVault(entries, key) ? entries : -1;
}

// Whether cnfg.tab is exactly the file of a password the writer had set by the time it had added entries.
static bool isSettingsLeftAfter(const QByteArray& file, int entries)
{
    const QByteArray password = SettingsFile::decode(file).masterPassword;
    const int setAt = password == Settings::factoryPassword ? 0 : password.mid(1).toInt();
    return setAt <= entries && file == ReferenceCodec::settingsFile(key, password, "N\xE3o");
}

static std::unique_ptr<QProcess> startWriter(const QString& folder)
{
    auto writer = std::make_unique<QProcess>();
    writer->start(QStringLiteral(STORAGE_ACTION), {folder, QStringLiteral("crash")});
    writer->waitForReadyRead(60'000);
    return writer;
}

static QMap<QString, QByteArray> filesIn(const DataFolder& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        files.insert(name, folder.read(name));
    }
    return files;
}

static std::pair<int, QString> run(const DataFolder& folder, const QString& action, qint64 sizeLimit = -1)
{
    QProcess child;
    child.setChildProcessModifier([sizeLimit] { FileSizeLimit::apply(rlim_t(sizeLimit)); }); // -1: none
    child.start(QStringLiteral(STORAGE_ACTION), {folder.path(), action});
    child.waitForFinished(60'000);
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    return {output.section('\n', 0, 0).toInt(), output.section('\n', 1)};
}

// Writes the kernel stops or a kill interrupts leave every data file whole: as it was, or as the change made it.
class TestWriteFailures : public QObject
{
    Q_OBJECT

private slots:
    void failedChangeKeepsEveryByte_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("vault"); // empty: a first start in an empty folder
        QTest::addColumn<int>("fault");
        const auto row = [](const char* name, const char* action, const QByteArray& vault, int fault) {
            QTest::newRow(name) << action << vault << fault;
        };
        const QByteArray small = ReferenceCodec::crashVault(10, key),
                         large = ReferenceCodec::crashVault(100, key); // about 3 KB and 29 KB
        for (const char* action : {"add", "update", "delete"}) {
            QTest::addRow("%s, 3 KB vault, size limit", action) << action << small << fileSizeLimit;
            QTest::addRow("%s, 29 KB vault, size limit", action) << action << large << fileSizeLimit;
            QTest::addRow("%s, 3 KB vault, full disk", action) << action << small << fullDisk;
            QTest::addRow("%s, 29 KB vault, full disk", action) << action << large << fullDisk;
        }
        row("settings, size limit", "settings", small, fileSizeLimit);
        row("settings, full disk", "settings", small, fullDisk);
        row("first start, size limit", "start", {}, fileSizeLimit);
        row("first start, full disk", "start", {}, fullDisk);
        row("start with a damaged vault whose copy does not fit", "start", QByteArray(large).insert(1, 'x'), fullDisk);
        row("update of an immutable pswd.tab", "update", small, immutableFile);
        row("settings of an immutable cnfg.tab", "settings", small, immutableFile);
        row("add with a folder named pswd.tab.bak", "add", small, folderAtBackup);
        row("settings with a folder named cnfg.tab.bak", "settings", small, folderAtBackup);
    }
    void failedChangeKeepsEveryByte()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, vault);
        QFETCH(int, fault);
        FullDisk disk;
        if (fault == fullDisk && !disk.skipReason().isEmpty()) {
            QSKIP(qPrintable(disk.skipReason()));
        }
        const DataFolder folder(fault == fullDisk ? disk.path() : QString());
        const QString target = action == "settings" || (action == "start" && vault.isEmpty()) ? "cnfg.tab" : "pswd.tab";
        if (!vault.isEmpty()) {
            folder.write("cnfg.tab", ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
            folder.write("pswd.tab", vault);
        }
        QMap<QString, QByteArray> expected = filesIn(folder);
        const qint64 sizeLimit = fault == fileSizeLimit ? expected.value(target).size() * 2 / 3 : -1; // 0 for none yet
        if (fault == fullDisk) {
            disk.fill();
        } else if (fault == folderAtBackup) {
            QVERIFY(QDir(folder.path()).mkdir(target + ".bak"));
        } else if (fault == immutableFile) {
            if (QProcess::execute("chattr", {"+i", folder.filePath(target)}) != 0) {
                QSKIP("This file system has no immutable files.");
            }
            expected.insert(target + ".bak", expected.value(target)); // copied before the rename that fails
        }
        const auto mutableAgain = qScopeGuard([&] { QProcess::execute("chattr", {"-i", folder.filePath(target)}); });

        const auto [status, message] = run(folder, action, sizeLimit);
        QCOMPARE(status, 2); // failed
        const QString reason =
            QStringList{"tamanho máximo", "espaço livre", "Permissão negada", target + ".bak não pôde"}[fault];
        QVERIFY2(message.contains(reason) && message.contains(target) && !message.contains("sucesso"),
                 qPrintable(message));
        QCOMPARE(filesIn(folder), expected); // not a byte changed, no partial or temporary file left

        disk.free(); // once the kernel lets it write again, the same change goes through
        QProcess::execute("chattr", {"-i", folder.filePath(target)});
        QDir(folder.path()).rmdir(target + ".bak");
        QCOMPARE(run(folder, action).first, 0);
        QVERIFY(filesIn(folder) != expected);
    }

    // Each kill leaves every file as before or after its write; a later start removes only what the kills left.
    void killedWhileWriting()
    {
        DataFolder folder;
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
        QCOMPARE(QProcess::execute("touch", {"-d", "tomorrow", folder.filePath("cnfg.tab.N3wer0")}), 0);
        QVERIFY(Vault(folder.path()).open().ok());
        kept += {"pswd.tab.L1nk00", "cnfg.tab", "cnfg.tab.bak", "pswd.tab", "pswd.tab.bak"};
        kept.sort();
        QCOMPARE(filesIn(folder).keys(), kept);
    }
};

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
