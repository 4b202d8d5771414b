#include "referencecodec.h"
#include "storage/atomicfile.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

// The model every window uses: start-up, changes to both files, and what happens when the disk says no.
class TestVault : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void firstStart();
    void secondStartReadsTheSameKey();
    void existingFilesAreNeverReplaced_data();
    void existingFilesAreNeverReplaced();
    void unusableSettingsEndTheStart_data();
    void unusableSettingsEndTheStart();
    void brokenLinkIsNotReplaced();
    void folderWhereFilesCannotBeCreated_data();
    void folderWhereFilesCannotBeCreated();
    void readsHandWrittenVaultSorted();
    void garbageVaultStillOpens();
    void addReplaceDelete();
    void staleEntryChangesNothing_data();
    void staleEntryChangesNothing();
    void saveSettingsKeepsTheKey();
    void filesAreOwnerOnly();
    void failedVaultWriteChangesNothing_data();
    void failedVaultWriteChangesNothing();
    void failedSettingsWriteChangesNothing();
    void nothingIsWrittenBeforeTheKeyIsKnown();
};

namespace {

const QDateTime firstStartTime(QDate(2026, 3, 6), QTime(0, 0, 7)); // key 6333
const QByteArray firstKey = "6333";
const QByteArray emptyVault("\x22\x0D\x0A\x22\x0D\x0A");

QByteArray record(const QByteArray& title, const QByteArray& password = "senha")
{
    return title +
           "\xA7----/----/----\xA7"
           "26.03.06.10.00.00\xA7"
           "login\xA7" +
           password + "\xA7http://x\xA7nota";
}

QList<QByteArray> listed(const EntryList& list)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < list.size(); ++i) {
        out.append(list.at(i));
    }
    return out;
}

int modeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// A vault opened in a fresh folder, with the given records added.
struct OpenedVault
{
    DataFolder folder;
    Vault vault{folder.path()};

    explicit OpenedVault(const QList<QByteArray>& records = {})
    {
        const StorageResult opened = vault.open(firstStartTime);
        QVERIFY2(opened.ok(), qPrintable(opened.message));
        for (const QByteArray& r : records) {
            QVERIFY(vault.addEntry(r).ok());
        }
    }
};

} // namespace

void TestVault::cleanup()
{
    AtomicFile::setChunkCheckForTesting({});
}

void TestVault::firstStart()
{
    OpenedVault opened;
    QCOMPARE(opened.folder.read("pswd.tab"), emptyVault);
    const QByteArray settings = opened.folder.read("cnfg.tab");
    QCOMPARE(settings, ReferenceCodec::settingsFile(firstKey, "8046", "N\xE3o"));
    QCOMPARE(settings.size(), 2 +
                                  8 * QByteArray("6333\xA7"
                                                 "8046\xA7N\xE3o")
                                          .size() +
                                  2);
    QCOMPARE(opened.vault.settings().installationKey, firstKey);
    QCOMPARE(opened.vault.settings().masterPassword, QByteArray("8046"));
    QCOMPARE(opened.vault.settings().askAtStart, QByteArray("N\xE3o"));
    QVERIFY(!opened.vault.settings().asksPasswordAtStart());
    QVERIFY(opened.vault.entries().isEmpty());
    QCOMPARE(QDir(opened.folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestVault::secondStartReadsTheSameKey()
{
    OpenedVault opened({record("Banco")});
    Vault again(opened.folder.path());
    QVERIFY(again.open(firstStartTime.addDays(40)).ok());
    QCOMPARE(again.settings().installationKey, firstKey);
    QCOMPARE(listed(again.entries()), QList<QByteArray>{record("Banco")});
}

void TestVault::existingFilesAreNeverReplaced_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("vault");

    const QByteArray goodSettings = ReferenceCodec::settingsFile("1234", "pw", "Sim");
    QTest::newRow("both present") << goodSettings
                                  << ReferenceCodec::file({ReferenceCodec::encodeLine(record("a"), "1234")});
    QTest::newRow("vault empty file") << goodSettings << QByteArray();
    QTest::newRow("vault of garbage") << goodSettings << QByteArray("\x01\x02\x03 not a vault");
    QTest::newRow("settings missing, vault present") << QByteArray() << QByteArray("\"\r\nabc\r\n\"\r\n");
}

void TestVault::existingFilesAreNeverReplaced()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, vault);

    DataFolder folder;
    if (!settings.isEmpty()) {
        folder.write("cnfg.tab", settings);
    }
    folder.write("pswd.tab", vault);
    Vault opened(folder.path());
    const StorageResult result = opened.open(firstStartTime);
    QVERIFY2(result.ok(), qPrintable(result.message));
    QCOMPARE(folder.read("pswd.tab"), vault);
    if (!settings.isEmpty()) {
        QCOMPARE(folder.read("cnfg.tab"), settings);
        QCOMPARE(opened.settings().asksPasswordAtStart(), true);
    } else {
        QCOMPARE(opened.settings().installationKey, firstKey);
    }
}

void TestVault::unusableSettingsEndTheStart_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("isFolder");

    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("quotes only") << QByteArray("\"\r\n\"\r\n") << false;
    QTest::newRow("garbage") << QByteArray("\x01\x02 cnfg") << false;
    QTest::newRow("key of letters") << ReferenceCodec::settingsFile("12a4", "pw", "Sim") << false;
    QTest::newRow("empty key") << ReferenceCodec::settingsFile("", "pw", "Sim") << false;
    QTest::newRow("cannot be read (a folder)") << QByteArray() << true;
}

void TestVault::unusableSettingsEndTheStart()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, isFolder);

    DataFolder folder;
    if (isFolder) {
        QVERIFY(QDir(folder.path()).mkdir("cnfg.tab"));
    } else {
        folder.write("cnfg.tab", settings);
    }
    Vault vault(folder.path());
    const StorageResult result = vault.open(firstStartTime);
    QCOMPARE(result.status, StorageResult::Failed);
    QVERIFY(result.message.contains("cnfg.tab"));
    QVERIFY(vault.settings().installationKey.isEmpty());
    if (!isFolder) {
        QCOMPARE(folder.read("cnfg.tab"), settings);
    }
    QVERIFY(QFileInfo(folder.filePath("cnfg.tab")).isDir() == isFolder);
}

void TestVault::brokenLinkIsNotReplaced()
{
    // A settings file that exists only as a link to a missing file (a disk not mounted yet, say) is not replaced by
    // one with a new key.
    DataFolder folder;
    QVERIFY(QFile::link(folder.filePath("ausente/cnfg.tab"), folder.filePath("cnfg.tab")));
    Vault vault(folder.path());
    QCOMPARE(vault.open(firstStartTime).status, StorageResult::Failed);
    QVERIFY(QFileInfo(folder.filePath("cnfg.tab")).isSymLink());
    QVERIFY(!QFileInfo::exists(folder.filePath("ausente/cnfg.tab")));
}

void TestVault::folderWhereFilesCannotBeCreated_data()
{
    QTest::addColumn<QString>("subPath");
    QTest::newRow("folder missing") << QStringLiteral("nao-existe/sub");
    QTest::newRow("folder is a file") << QStringLiteral("arquivo");
}

void TestVault::folderWhereFilesCannotBeCreated()
{
    // Permission bits do not stop root, so the folder is made unusable another way.
    QFETCH(QString, subPath);
    DataFolder folder;
    folder.write("arquivo", "x");
    Vault vault(folder.filePath(subPath));
    const StorageResult result = vault.open(firstStartTime);
    QCOMPARE(result.status, StorageResult::Failed);
    QVERIFY(result.message.contains("cnfg.tab"));
    QVERIFY(result.message.contains(QStringLiteral("criar")));
    QCOMPARE(folder.read("arquivo"), QByteArray("x"));
}

void TestVault::readsHandWrittenVaultSorted()
{
    DataFolder folder;
    folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
    const QList<QByteArray> inFile = {record("zebra"), record("Banco"), record("abacate"), record("banco", "x")};
    QByteArray body;
    for (const QByteArray& r : inFile) {
        body += ReferenceCodec::encodeLine(r, "311299") + "\r\n";
    }
    folder.write("pswd.tab", "\"" + body + "\"\r\n");

    Vault vault(folder.path());
    QVERIFY(vault.open().ok());
    QCOMPARE(listed(vault.entries()),
             (QList<QByteArray>{record("abacate"), record("Banco"), record("banco", "x"), record("zebra")}));
}

void TestVault::garbageVaultStillOpens()
{
    DataFolder folder;
    folder.write("cnfg.tab", ReferenceCodec::settingsFile("1234", "8046", "N\xE3o"));
    const QByteArray line = ReferenceCodec::encodeLine(record("certo"), "1234");
    const QByteArray file = "\"" + line + "\r\n" +                                // a good record
                            line.left(13) + "\r\n" +                              // not a multiple of eight
                            QByteArray(16, 'Z') + "\r\n" +                        // bytes other than the markers
                            ReferenceCodec::encodeLine("lixo", "1234") + "\r\n" + // fewer than two fields
                            ReferenceCodec::encodeLine(record("outra chave"), "9999") + "\"\r\n";
    folder.write("pswd.tab", file);

    Vault vault(folder.path());
    QVERIFY(vault.open().ok());
    QCOMPARE(vault.entries().size(), 5);
    QVERIFY(listed(vault.entries()).contains(record("certo")));
    QVERIFY(listed(vault.entries()).contains("lixo"));
    QCOMPARE(folder.read("pswd.tab"), file);
}

void TestVault::addReplaceDelete()
{
    OpenedVault opened;
    Vault& vault = opened.vault;
    // What the program holds is what a fresh start reads from the file.
    const auto mirrorsFile = [&opened] {
        Vault fresh(opened.folder.path());
        return fresh.open().ok() && listed(fresh.entries()) == listed(opened.vault.entries());
    };
    QSignalSpy changed(&vault, &Vault::entriesChanged);
    const auto line = [](const QByteArray& r) { return ReferenceCodec::encodeLine(r, firstKey); };

    QVERIFY(vault.addEntry(record("Gama")).ok());
    QCOMPARE(opened.folder.read("pswd.tab"), "\"" + line(record("Gama")) + "\"\r\n");
    QVERIFY(vault.addEntry(record("alfa")).ok());
    QCOMPARE(opened.folder.read("pswd.tab"), ReferenceCodec::file({line(record("Gama")), line(record("alfa"))}));
    QVERIFY(vault.addEntry(record("Beta")).ok());
    QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("alfa"), record("Beta"), record("Gama")}));
    QCOMPARE(changed.count(), 3);
    QVERIFY(mirrorsFile());
    QVERIFY(vault.addEntry(record("beta")).ok());
    QVERIFY(vault.addEntry(record("BETA", "outra")).ok());
    QVERIFY(mirrorsFile());
    QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("alfa"), record("BETA", "outra"), record("Beta"),
                                                         record("beta"), record("Gama")}));
    QVERIFY(vault.deleteEntry(1, record("BETA", "outra")).ok());
    QVERIFY(vault.deleteEntry(2, record("beta")).ok());
    QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("alfa"), record("Beta"), record("Gama")}));

    QVERIFY(vault.replaceEntry(1, record("Beta"), record("Zeta")).ok());
    QCOMPARE(opened.folder.read("pswd.tab"),
             ReferenceCodec::file({line(record("alfa")), line(record("Zeta")), line(record("Gama")), ""}));
    QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("alfa"), record("Gama"), record("Zeta")}));
    QVERIFY(mirrorsFile());

    QVERIFY(vault.deleteEntry(1, record("Gama")).ok());
    QCOMPARE(opened.folder.read("pswd.tab"),
             ReferenceCodec::file({line(record("alfa")), "", line(record("Zeta")), ""}));
    QCOMPARE(listed(vault.entries()), (QList<QByteArray>{record("alfa"), record("Zeta")}));
    QVERIFY(mirrorsFile());

    QVERIFY(vault.deleteEntry(0, record("alfa")).ok());
    QVERIFY(vault.deleteEntry(0, record("Zeta")).ok());
    QCOMPARE(opened.folder.read("pswd.tab"), emptyVault);
    QVERIFY(vault.entries().isEmpty());
    QVERIFY(mirrorsFile());
    QCOMPARE(changed.count(), 11);
}

void TestVault::staleEntryChangesNothing_data()
{
    QTest::addColumn<qsizetype>("index");
    QTest::addColumn<QByteArray>("shown");

    QTest::newRow("index past the end") << qsizetype(2) << record("b");
    QTest::newRow("negative index") << qsizetype(-1) << record("a");
    QTest::newRow("another record at the index") << qsizetype(0) << record("b");
}

void TestVault::staleEntryChangesNothing()
{
    QFETCH(qsizetype, index);
    QFETCH(QByteArray, shown);

    OpenedVault opened({record("a"), record("b")});
    const QByteArray before = opened.folder.read("pswd.tab");
    QSignalSpy changed(&opened.vault, &Vault::entriesChanged);
    QCOMPARE(opened.vault.replaceEntry(index, shown, record("c")).status, StorageResult::StaleEntry);
    QCOMPARE(opened.vault.deleteEntry(index, shown).status, StorageResult::StaleEntry);
    QCOMPARE(opened.folder.read("pswd.tab"), before);
    QCOMPARE(listed(opened.vault.entries()), (QList<QByteArray>{record("a"), record("b")}));
    QCOMPARE(changed.count(), 0);
}

void TestVault::saveSettingsKeepsTheKey()
{
    OpenedVault opened({record("a")});
    QSignalSpy changed(&opened.vault, &Vault::settingsChanged);
    QVERIFY(opened.vault.saveSettings("nova", true).ok());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(opened.folder.read("cnfg.tab"), ReferenceCodec::settingsFile(firstKey, "nova", "Sim"));
    QCOMPARE(opened.vault.settings().installationKey, firstKey);
    QVERIFY(opened.vault.settings().asksPasswordAtStart());

    QVERIFY(opened.vault.saveSettings("", false).ok());
    QCOMPARE(opened.vault.settings().masterPassword, QByteArray());
    QCOMPARE(opened.vault.settings().askAtStart, QByteArray("N\xE3o"));

    Vault again(opened.folder.path());
    QVERIFY(again.open().ok());
    QCOMPARE(again.settings().installationKey, firstKey);
    QCOMPARE(listed(again.entries()), QList<QByteArray>{record("a")});
}

void TestVault::filesAreOwnerOnly()
{
    OpenedVault opened;
    QCOMPARE(modeOf(opened.folder.filePath("pswd.tab")), 0600);
    QCOMPARE(modeOf(opened.folder.filePath("cnfg.tab")), 0600);

    // A file someone opened up is closed again by the next rewrite.
    QFile::setPermissions(opened.folder.filePath("pswd.tab"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    QFile::setPermissions(opened.folder.filePath("cnfg.tab"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QVERIFY(opened.vault.addEntry(record("a")).ok());
    QVERIFY(opened.vault.saveSettings("x", false).ok());
    QCOMPARE(modeOf(opened.folder.filePath("pswd.tab")), 0600);
    QCOMPARE(modeOf(opened.folder.filePath("cnfg.tab")), 0600);
}

enum class Fault
{
    FullDiskAtOnce,
    FullDiskMidway,
    VaultIsFolder,
    FolderGone,
};

void TestVault::failedVaultWriteChangesNothing_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("disk full at the first byte") << Fault::FullDiskAtOnce;
    QTest::newRow("disk full after the first megabyte") << Fault::FullDiskMidway;
    QTest::newRow("vault path is a folder") << Fault::VaultIsFolder;
    QTest::newRow("data folder removed") << Fault::FolderGone;
}

void TestVault::failedVaultWriteChangesNothing()
{
    QFETCH(Fault, fault);

    // A record long enough that the file takes more than one chunk to write.
    const QByteArray big = record("grande", QByteArray(200'000, 'p'));
    OpenedVault opened({record("a"), big});
    const QByteArray before = opened.folder.read("pswd.tab");
    QVERIFY(before.size() > (1 << 20));
    const QList<QByteArray> entriesBefore = listed(opened.vault.entries());
    const QDir dir(opened.folder.path());

    switch (fault) {
    case Fault::FullDiskAtOnce:
        AtomicFile::setChunkCheckForTesting([](qint64) { return false; });
        break;
    case Fault::FullDiskMidway:
        AtomicFile::setChunkCheckForTesting([](qint64 written) { return written == 0; });
        break;
    case Fault::VaultIsFolder:
        QVERIFY(QFile::remove(dir.filePath("pswd.tab")));
        QVERIFY(dir.mkdir("pswd.tab"));
        break;
    case Fault::FolderGone:
        QVERIFY(QDir(opened.folder.path()).removeRecursively());
        break;
    }

    QSignalSpy changed(&opened.vault, &Vault::entriesChanged);
    const QList<StorageResult> results = {opened.vault.addEntry(record("nova")),
                                          opened.vault.replaceEntry(0, record("a"), record("b")),
                                          opened.vault.deleteEntry(0, record("a"))};
    for (const StorageResult& result : results) {
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY(result.message.contains("pswd.tab"));
        QVERIFY(!result.message.contains("senha")); // no entry field in a message
    }
    QCOMPARE(changed.count(), 0);
    QCOMPARE(listed(opened.vault.entries()), entriesBefore);
    if (fault == Fault::FullDiskAtOnce || fault == Fault::FullDiskMidway) {
        QCOMPARE(opened.folder.read("pswd.tab"), before);
        // No temporary file is left behind.
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
}

void TestVault::failedSettingsWriteChangesNothing()
{
    OpenedVault opened;
    const QByteArray before = opened.folder.read("cnfg.tab");
    QSignalSpy changed(&opened.vault, &Vault::settingsChanged);
    AtomicFile::setChunkCheckForTesting([](qint64) { return false; });

    const StorageResult result = opened.vault.saveSettings("nova", true);
    QCOMPARE(result.status, StorageResult::Failed);
    QVERIFY(result.message.contains("cnfg.tab"));
    QVERIFY(!result.message.contains("nova"));
    QCOMPARE(opened.folder.read("cnfg.tab"), before);
    QCOMPARE(opened.vault.settings().masterPassword, QByteArray("8046"));
    QVERIFY(!opened.vault.settings().asksPasswordAtStart());
    QCOMPARE(changed.count(), 0);
}

void TestVault::nothingIsWrittenBeforeTheKeyIsKnown()
{
    DataFolder folder;
    Vault vault(folder.path());
    QCOMPARE(vault.addEntry(record("a")).status, StorageResult::Failed);
    QCOMPARE(vault.saveSettings("x", true).status, StorageResult::Failed);
    QVERIFY(QDir(folder.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
