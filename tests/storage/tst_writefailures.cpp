#include "referencecodec.h"
#include "storage/atomicwriter.h"
#include "storage/filestamp.h"
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

#include <sys/resource.h>
#include <unistd.h>

// How the kernel says no.
constexpr int fileSizeLimit = 0, fullDisk = 1, immutableFile = 2, folderAtBackup = 3, folderSyncFails = 4;

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

// The file at the path once it stayed there for a while: as a careful program reads a file another one rewrites, so
// that a save's file that could not yet be checked against another program's is not taken as the vault.
static QByteArray stableVault(const QString& path)
{
    for (;;) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray contents = file.readAll();
            const FileStamp read = FileStamp::ofDescriptor(file.handle());
            QThread::usleep(2000);
            if (read == FileStamp::ofPath(path)) {
                return contents;
            }
        }
    }
}

static std::pair<int, QString> run(const DataFolder& folder, const QString& action, qint64 sizeLimit = -1,
                                   bool failFolderSync = false)
{
    QProcess child;
    if (failFolderSync) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", FAILING_FOLDER_SYNC);
        // Under AddressSanitizer its runtime would refuse to start behind the preloaded library.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        child.setProcessEnvironment(environment);
    }
    child.setChildProcessModifier([sizeLimit] { FileSizeLimit::apply(rlim_t(sizeLimit)); }); // -1: none
    child.start(QStringLiteral(STORAGE_ACTION), {folder.path(), action});
    child.waitForFinished(60'000);
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    return {output.section('\n', 0, 0).toInt(), output.section('\n', 1)};
}

// The output of the storage action `list` on the folder; where threads are refused, under limits that leave no room
// for a thread's stack: every thread's stack as large as the main one may grow, more than the memory allowed.
static QByteArray listed(const DataFolder& folder, bool threadsRefused)
{
    QProcess child;
    child.setChildProcessModifier([threadsRefused] {
        const rlimit stack{rlim_t(3) << 30, rlim_t(3) << 30}, memory{rlim_t(1500) << 20, rlim_t(1500) << 20};
        if (threadsRefused) {
            ::setrlimit(RLIMIT_STACK, &stack);
            ::setrlimit(RLIMIT_AS, &memory);
        }
    });
    child.start(QStringLiteral(STORAGE_ACTION), {folder.path(), "list"});
    child.waitForFinished(60'000);
    return child.readAllStandardOutput();
}

// Writes the kernel stops or a kill interrupts leave every data file whole: as it was, or as the change made it.
class TestWriteFailures : public QObject
{
    Q_OBJECT

private slots:
    // A vault large enough to be deciphered and put in order on two threads opens the same where no thread can
    // start.
    void readWhereNoThreadStarts()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("AddressSanitizer's runtime does not start under a limit of memory.");
#endif
        const DataFolder folder;
        folder.write("cnfg.tab", ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
        QList<QByteArray> records;
        QByteArray expected;
        for (int n = 1; n <= 20000; ++n) {
            records.append(ReferenceCodec::crashEntry(n));
            expected += records.last().toHex() + '\n';
        }
        std::shuffle(records.begin(), records.end(), QRandomGenerator(3));
        folder.write("pswd.tab", ReferenceCodec::file(records, key));
        expected += QByteArray::number(StorageResult::Done) + '\n';
        QCOMPARE(listed(folder, false), expected);
        QCOMPARE(listed(folder, true), expected);
    }

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
        for (const char* action : {"add", "update", "delete", "settings"}) {
            QTest::addRow("%s, folder sync fails", action) << action << small << folderSyncFails;
        }
        row("first start, size limit", "start", {}, fileSizeLimit);
        row("first start, folder sync fails", "start", {}, folderSyncFails);
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
        if (!vault.isEmpty() && fault != folderAtBackup) { // the backups of an earlier save stay as they are too
            folder.write("cnfg.tab.bak", ReferenceCodec::settingsFile(key, "velha", "N\xE3o"));
            folder.write("pswd.tab.bak", ReferenceCodec::crashVault(2, key));
        }
        QMap<QString, QByteArray> expected = folder.files();
        const qint64 sizeLimit = fault == fileSizeLimit ? expected.value(target).size() * 2 / 3 : -1; // 0 for none yet
        if (fault == fullDisk) {
            disk.fill();
        } else if (fault == folderAtBackup) {
            QVERIFY(QDir(folder.path()).mkdir(target + ".bak"));
        } else if (fault == immutableFile) {
            if (QProcess::execute("chattr", {"+i", folder.filePath(target)}) != 0) {
                QSKIP("This file system has no immutable files.");
            }
        }
        const auto mutableAgain = qScopeGuard([&] { QProcess::execute("chattr", {"-i", folder.filePath(target)}); });

        const auto [status, message] = run(folder, action, sizeLimit, fault == folderSyncFails);
        QCOMPARE(status, 2); // failed
        const QString reason = QStringList{"tamanho máximo", "espaço livre", "Permissão negada",
                                           target + ".bak não pôde", "não pôde ser gravada no disco"}[fault];
        QVERIFY2(message.contains(reason) && (message.contains(target) || fault == folderSyncFails) &&
                     !message.contains("sucesso"),
                 qPrintable(message));
        QCOMPARE(folder.files(), expected); // not a byte changed, no partial or temporary file left

        disk.free(); // once the kernel lets it write again, the same change goes through
        QProcess::execute("chattr", {"-i", folder.filePath(target)});
        QDir(folder.path()).rmdir(target + ".bak");
        QCOMPARE(run(folder, action).first, 0);
        QVERIFY(folder.files() != expected);
    }

    // Files beside the data files that the program did not leave are never removed, whatever their name and age.
    void cleanupRemovesOnlyItsOwn_data()
    {
        QTest::addColumn<QString>("made"); // in the data folder, after a save, with $ACTION the storage action
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        const QString killed = "strace -f -o /dev/null -e inject=renameat2:signal=KILL \"$ACTION\" . add; ";
        const auto row = [](const char* name, const QString& made, const char* file, bool removed) {
            QTest::newRow(name) << made << file << removed;
        };
        row("a copy kept with cp -p", "cp -p pswd.tab pswd.tab.backup", "pswd.tab.backup", false);
        row("a note dated last year",
            "echo nota > pswd.tab.readme; chmod 600 pswd.tab.readme; "
            "touch -d '1 year ago' pswd.tab.readme",
            "pswd.tab.readme", false);
        row("a dated copy with cp -p", "cp -p pswd.tab pswd.tab.2024ab", "pswd.tab.2024ab", false);
        row("a cp -p copy under a temporary name", "cp -p pswd.tab pswd.tab.keyhound-C0py00",
            "pswd.tab.keyhound-C0py00", false);
        row("a cp -a copy under a temporary name", "cp -a pswd.tab pswd.tab.keyhound-C0py00",
            "pswd.tab.keyhound-C0py00", false);
        row("a link under a temporary name", "ln -s pswd.tab pswd.tab.keyhound-L1nk00", "pswd.tab.keyhound-L1nk00",
            false);
        row("left by a save killed before its rename", killed, "pswd.tab.keyhound-*", true);
        row("left by a killed save, newer than the save", killed + "touch -d tomorrow pswd.tab.keyhound-*",
            "pswd.tab.keyhound-*", false);
        row("left by a killed save, readable by others", killed + "chmod 644 pswd.tab.keyhound-*",
            "pswd.tab.keyhound-*", false);
        if (::geteuid() == 0) { // only root can give a file to another user
            row("left by a killed save, given to another user", killed + "chown 1:1 pswd.tab.keyhound-*",
                "pswd.tab.keyhound-*", false);
        }
    }
    void cleanupRemovesOnlyItsOwn()
    {
        QFETCH(QString, made);
        QFETCH(QString, name);
        QFETCH(bool, removed);
        if (made.contains("strace") && QProcess::execute("strace", {"-o", "/dev/null", "true"}) != 0) {
            QSKIP("strace is needed to kill a save at its rename.");
        }
        DataFolder folder;
        QCOMPARE(run(folder, "start").first, 0);
        QCOMPARE(run(folder, "add").first, 0);
        QProcess shell;
        shell.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ACTION", STORAGE_ACTION);
        shell.setProcessEnvironment(environment);
        shell.start("sh", {"-c", made});
        QVERIFY(shell.waitForFinished(60'000));
        const QDir dir(folder.path());
        QCOMPARE(dir.entryList({name}, QDir::Files | QDir::System).size(), 1);

        QCOMPARE(run(folder, "add").first, 0); // a save after the file was made, then a start
        QCOMPARE(run(folder, "start").first, 0);
        QCOMPARE(dir.entryList({name}, QDir::Files | QDir::System).size(), removed ? 0 : 1);
    }

    // A change another program makes while a save is being written, after the file was last read, is found as the
    // save's file is put in place: the other program's file stays where it was and nothing is left beside it. A
    // change of permissions alone is no change of the file.
    void outsideChangeWhileWriting_data()
    {
        QTest::addColumn<QString>("steps"); // shell commands in the folder; "same" and "longer" are other contents
        QTest::addColumn<bool>("changed");
        QTest::newRow("moved in, the same size and time") << "touch -r pswd.tab same; mv same pswd.tab" << true;
        QTest::newRow("rewritten in place, another size, the time set back")
            << "touch -r pswd.tab time; cat longer > pswd.tab; touch -r time pswd.tab" << true;
        QTest::newRow("rewritten in place, the same size") << "cat same > pswd.tab" << true;
        QTest::newRow("only its permissions changed") << "chmod 640 pswd.tab" << false;
    }
    void outsideChangeWhileWriting()
    {
        QFETCH(QString, steps);
        QFETCH(bool, changed);
        DataFolder folder;
        folder.write("pswd.tab", "read before the save");
        folder.write("same", "written by another!!"); // as long as the file read
        folder.write("longer", "written by another program");
        const FileStamp read = FileStamp::ofPath(folder.filePath("pswd.tab"));
        AtomicWriter writer(folder.filePath("pswd.tab"));
        QVERIFY(writer.open() && writer.append("the save"));
        QVERIFY(folder.shell(steps));
        const QByteArray outside = folder.read("pswd.tab");
        QCOMPARE(writer.commit(AtomicWriter::Commit::ReplaceKeepingBackup, read), !changed);
        QCOMPARE(writer.foundOutsideChange(), changed);
        QCOMPARE(folder.read("pswd.tab"), changed ? outside : QByteArray("the save"));
        const QStringList left = QDir(folder.path()).entryList({"pswd.tab*"}, QDir::Files);
        QCOMPARE(left, changed ? QStringList({"pswd.tab"}) : QStringList({"pswd.tab", "pswd.tab.bak"}));
    }

    // Another program of the user's that replaces pswd.tab again and again while saves run: each of its changes
    // survives, read again and kept under the change saved next.
    void outsideWriterRacingSaves()
    {
        DataFolder folder;
        QCOMPARE(run(folder, "start").first, 0);
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("random seed %u", seed);
        QRandomGenerator random(seed);
        QList<QByteArray> written;
        int rounds = 0;
        // On an idle machine the saves can outrun the writer, which waits for the file to settle: more rounds then.
        for (; rounds < 20 && written.size() < 10; ++rounds) {
            QProcess saver;
            saver.start(STORAGE_ACTION, {folder.path(), "race", "300"});
            QVERIFY(saver.waitForStarted());
            while (!saver.waitForFinished(0)) {
                QList<QByteArray> records = VaultFile::decode(stableVault(folder.filePath("pswd.tab")), key);
                records.removeAll(QByteArray());
                written.append("fora " + QByteArray::number(written.size()) + "\xA7----/----/----\xA7senha\"");
                records.append(written.last());
                folder.write("pswd.tab.fora", ReferenceCodec::file(records, key));
                QVERIFY(::rename(QFile::encodeName(folder.filePath("pswd.tab.fora")).constData(),
                                 QFile::encodeName(folder.filePath("pswd.tab")).constData()) == 0);
                QThread::usleep(random.bounded(3000));
            }
        }
        const QList<QByteArray> kept = VaultFile::decode(folder.read("pswd.tab"), key);
        QStringList lost;
        for (const QByteArray& entry : written) {
            if (!kept.contains(entry)) {
                lost.append(QString::fromLatin1(entry.first(entry.indexOf('\xA7'))));
            }
        }
        qInfo("%lld outside changes during %d saves, %lld lost", written.size(), 300 * rounds, lost.size());
        QVERIFY2(lost.isEmpty(), qPrintable(lost.join(", ")));
        QVERIFY(written.size() >= 10); // the writer really raced the saves
    }

    // Each kill leaves every file as before or after its write; a later start removes what the kills left.
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
        Vault later(folder.path());
        QVERIFY(later.open().ok() && later.addEntry(ReferenceCodec::crashEntry(shown + 1)).ok());
        QVERIFY(later.saveSettings("p" + QByteArray::number(shown + 1), false).ok());
        QVERIFY(Vault(folder.path()).open().ok());
        const QStringList kept{"cnfg.tab", "cnfg.tab.bak", "pswd.tab", "pswd.tab.bak"};
        QCOMPARE(folder.files().keys(), kept);
    }
};

QTEST_GUILESS_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
