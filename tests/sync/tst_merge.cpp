#include "access/loginwindow.h"
#include "app/datafolderlock.h"
#include "app/transfercommands.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "storage/settingsfile.h"
#include "storage/vaultfile.h"
#include "support/fulldisk.h"
#include "support/recordingplatform.h"
#include "support/vaultfixture.h"
#include "sync/conflictname.h"
#include "sync/conflictscan.h"
#include "sync/entrymerge.h"
#include "sync/mergesave.h"
#include "sync/mergewording.h"

#include <QDir>
#include <QLockFile>
#include <QProcess>

#include <optional>

using Records = QList<QByteArray>;

namespace {

const QByteArray ownKey = "2145";
const QByteArray otherKey = "61227";

QByteArray vaultBytes(const Records& records, const QByteArray& key)
{
    QByteArray bytes;
    VaultFile::writeEntries(
        [&bytes](QByteArrayView piece) {
            bytes.append(piece);
            return true;
        },
        EntryList(records), key);
    return bytes;
}

QByteArray settingsBytes(const QByteArray& key, const QByteArray& password = "8046", const char* ask = "N\xE3o")
{
    return SettingsFile::encode({key, password, ask});
}

QByteArray entry(const char* title, const char* stamp, const char* login = "ana", const char* password = "x")
{
    return entryRecord(title, "----/----/----", stamp, login, password);
}

const QByteArray alfa = entry("Alfa", "26.01.01.10.00.00");
const QByteArray beta = entry("Beta", "26.01.01.10.00.00");
const QByteArray gama = entry("Gama", "26.01.01.10.00.00");
const QByteArray betaLater = entry("Beta", "26.02.01.10.00.00", "ana", "nova");
const QByteArray betaEarlier = entry("Beta", "25.12.01.10.00.00", "ana", "velha");
const QByteArray betaOtherLogin = entry("Beta", "26.02.01.10.00.00", "rui");

// A data folder with a vault under the own key, the program's files in it, and copies beside them.
struct SyncedFolder
{
    explicit SyncedFolder(const Records& own, const QString& parent = {}) : folder(parent)
    {
        folder.write("cnfg.tab", settingsBytes(ownKey));
        folder.write("pswd.tab", vaultBytes(own, ownKey));
    }
    QStringList entries()
    {
        Vault vault(folder.path());
        vault.open();
        return sortedTexts(recordsOf(vault.entries()));
    }
    DataFolder folder;
};

// As a file-sync program brings a file: written whole beside it, then renamed over it.
void bringFile(const DataFolder& folder, const QString& name, const QByteArray& bytes)
{
    folder.write(name + ".tmp", bytes);
    QVERIFY(
        QFile::rename(folder.filePath(name + ".tmp"), folder.filePath(name)) ||
        (QFile::remove(folder.filePath(name)) && QFile::rename(folder.filePath(name + ".tmp"), folder.filePath(name))));
}

} // namespace

class MergeTest : public QObject
{
    Q_OBJECT

private slots:
    void conflictNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QString>("tool"); // empty: not a conflict copy
        const auto row = [](const char* title, const char* name, const char* tool, const char* dataFile = "pswd.tab") {
            QTest::newRow(title) << QString::fromUtf8(name) << QString(dataFile) << QString(tool);
        };
        row("Syncthing", "pswd.sync-conflict-20261207-101010-ABCDEFG.tab", "Syncthing");
        row("Syncthing before device ids", "pswd.sync-conflict-20261207-101010.tab", "Syncthing");
        row("Syncthing, settings", "cnfg.sync-conflict-20261207-101010-ABCDEFG.tab", "Syncthing", "cnfg.tab");
        row("Nextcloud", "pswd (conflicted copy 2026-12-07 101010).tab", "Nextcloud/ownCloud");
        row("Nextcloud with the user", "pswd (conflicted copy maria 2026-12-07 101010).tab", "Nextcloud/ownCloud");
        row("older ownCloud", "pswd_conflict-20261207-101010.tab", "ownCloud");
        row("Dropbox", "pswd (Maria's conflicted copy 2026-12-07).tab", "Dropbox");
        row("Dropbox, typographic apostrophe, numbered", "pswd (Maria’s MacBook’s conflicted copy 2026-12-07 (1)).tab",
            "Dropbox");
        row("Seafile", "pswd (SFConflict maria@example.com 2026-12-07-10-10-10).tab", "Seafile");
        row("the file itself", "pswd.tab", "");
        row("a copy merged before", "pswd.sync-conflict-20261207-101010-ABCDEFG.tab.juntado", "");
        row("the backup", "pswd.tab.bak", "");
        row("the other data file", "cnfg.sync-conflict-20261207-101010-ABCDEFG.tab", "");
        row("a longer base name", "xpswd.sync-conflict-20261207-101010-ABCDEFG.tab", "");
        row("a date one digit short", "pswd.sync-conflict-2026127-101010-ABCDEFG.tab", "");
        row("a copy the user numbered", "pswd (1).tab", "");
        row("Dropbox without the time of Nextcloud", "pswd (conflicted copy 2026-12-07).tab", "");
    }
    void conflictNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, dataFile);
        QTEST(ConflictName::toolOf(name, dataFile), "tool");
    }

    void entryMerge_data()
    {
        QTest::addColumn<Records>("own");
        QTest::addColumn<Records>("copy");
        QTest::addColumn<Records>("merged");
        QTest::addColumn<QList<int>>("counts"); // added, updated, same, older
        const auto row = [](const char* name, const Records& own, const Records& copy, const Records& merged,
                            const QList<int>& counts) { QTest::newRow(name) << own << copy << merged << counts; };
        row("an identical record kept once", {alfa, beta}, {beta}, {alfa, beta}, {0, 0, 1, 0});
        row("one side only: kept, either side", {alfa}, {gama}, {alfa, gama}, {1, 0, 0, 0});
        row("the later version of an entry wins", {alfa, beta}, {betaLater}, {alfa, betaLater}, {0, 1, 0, 0});
        row("an earlier version stays out", {beta}, {betaEarlier}, {beta}, {0, 0, 0, 1});
        const QByteArray betaSameSecond = entry("Beta", "26.01.01.10.00.00", "ana", "outra");
        row("changed at the same second: the vault's own stays", {beta}, {betaSameSecond}, {beta}, {0, 0, 0, 1});
        row("another login is another entry", {beta}, {betaOtherLogin}, {beta, betaOtherLogin}, {1, 0, 0, 0});
        row("two entries here of that title and login: kept beside them", {beta, betaEarlier}, {betaLater},
            {beta, betaEarlier, betaLater}, {1, 0, 0, 0});
        row("two entries of the copy of one title and login: both kept", {beta}, {betaLater, betaEarlier},
            {betaLater, betaEarlier}, {1, 1, 0, 0});
        row("the copy holds the entry and a changed one beside it: both kept", {beta}, {beta, betaLater},
            {beta, betaLater}, {1, 0, 1, 0});
        const QByteArray noStamp = entry("Beta", "ontem", "ana", "sem data");
        row("a malformed stamp is older than any", {noStamp}, {betaEarlier}, {betaEarlier}, {0, 1, 0, 0});
        row("an empty copy", {alfa}, {}, {alfa}, {0, 0, 0, 0});
    }
    void entryMerge()
    {
        QFETCH(Records, own);
        QFETCH(Records, copy);
        QFETCH(Records, merged);
        EntryMerge merge(own);
        merge.take(copy);
        QCOMPARE(sortedTexts(merge.records()), sortedTexts(merged));
        QTEST((QList<int>{int(merge.added()), int(merge.updated()), int(merge.same()), int(merge.older())}), "counts");
    }

    // At start, the copies beside the data files: what the question says, and what the answer leaves on disk.
    void mergeAtStart_data()
    {
        QTest::addColumn<QString>("copyName");
        QTest::addColumn<QByteArray>("copyBytes");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("said");
        QTest::addColumn<Records>("entries");
        const QByteArray copy = vaultBytes({alfa, betaLater, gama}, ownKey);
        const QString question = "Juntá-las ao cofre dá: 1 entrada nova, 1 atualizada, 1 igual.";
        const Records merged{alfa, betaLater, gama};
        const QString syncthing = "pswd.sync-conflict-20261207-101010-ABCDEFG.tab",
                      dropbox = "pswd (Maria's conflicted copy 2026-12-07).tab";
        for (const QString& name : {syncthing, QString("pswd (conflicted copy 2026-12-07 101010).tab"), dropbox}) {
            QTest::addRow("%s, Sim", qPrintable(name)) << name << copy << true << question << merged;
        }
        const Records untouched{alfa, beta};
        QTest::newRow("Não leaves everything") << syncthing << copy << false << question << untouched;
        QTest::newRow("under another key: reported, untouched")
            << syncthing << vaultBytes({gama}, otherKey) << true << "nenhuma chave de instalação conhecida o lê"
            << untouched;
        QTest::newRow("not a vault: reported, untouched") << dropbox << QByteArray("<html>erro 404</html>\r\n") << true
                                                          << "o arquivo tem linhas danificadas" << untouched;
    }
    void mergeAtStart()
    {
        QFETCH(QString, copyName);
        QFETCH(QByteArray, copyBytes);
        QFETCH(bool, answer);
        QFETCH(QString, said);
        QFETCH(Records, entries);
        SyncedFolder synced({alfa, beta});
        synced.folder.write(copyName, copyBytes);
        const auto before = synced.folder.files();
        RecordingPlatform platform;
        platform.answer = answer;
        Program program(synced.folder.path(), platform);
        QVERIFY(program.start());
        const QString shown = platform.questions.join("") + platform.messages.value(0).text;
        QVERIFY2(shown.contains(said) && shown.contains(copyName), qPrintable(shown));
        QCOMPARE(program.vault().entries().size(), entries.size());
        QCOMPARE(synced.entries(), sortedTexts(entries));
        const bool merged = entries.contains(gama);
        QCOMPARE(QFile::exists(synced.folder.filePath(copyName)), !merged);
        QCOMPARE(synced.folder.read(copyName + ".juntado"), merged ? copyBytes : QByteArray());
        if (!merged) {
            QCOMPARE(synced.folder.files(), before);
        }
    }

    // Whoever cannot give the master password is not asked, and cannot change the files.
    void askedOnlyAfterTheLogin()
    {
        SyncedFolder synced({alfa});
        synced.folder.write("cnfg.tab", settingsBytes(ownKey, "8046", "Sim"));
        synced.folder.write("pswd (conflicted copy 2026-12-07 101010).tab", vaultBytes({gama}, ownKey));
        RecordingPlatform platform;
        platform.answer = true;
        Program program(synced.folder.path(), platform);
        QVERIFY(program.start());
        QVERIFY(program.loginWindow());
        QVERIFY(platform.questions.isEmpty());
        emit program.loginWindow()->passwordAccepted();
        QCOMPARE(platform.questions.size(), 1);
        QCOMPARE(program.vault().entries().size(), 2);
    }

    // A conflict copy of cnfg.tab under another installation key reads the vault's copy; the vault keeps its key,
    // and the password and start answer of the later save win.
    void settingsCopy_data()
    {
        QTest::addColumn<int>("copyAgeSeconds"); // against cnfg.tab: negative, older
        QTest::addColumn<QByteArray>("password");
        QTest::newRow("copy saved later: its password") << 60 << QByteArray("outra");
        QTest::newRow("copy saved earlier: the vault's") << -60 << QByteArray("8046");
    }
    void settingsCopy()
    {
        QFETCH(int, copyAgeSeconds);
        QFETCH(QByteArray, password);
        SyncedFolder synced({alfa});
        const QString settingsCopy = "cnfg.sync-conflict-20261207-101010-ABCDEFG.tab";
        synced.folder.write(settingsCopy, settingsBytes(otherKey, "outra", "Sim"));
        synced.folder.write("pswd.sync-conflict-20261207-101011-ABCDEFG.tab", vaultBytes({gama}, otherKey));
        QFile copy(synced.folder.filePath(settingsCopy));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QVERIFY(
            copy.setFileTime(QDateTime::currentDateTime().addSecs(copyAgeSeconds), QFileDevice::FileModificationTime));
        RecordingPlatform platform;
        platform.answer = true;
        Program program(synced.folder.path(), platform);
        QVERIFY(program.start());
        QCOMPARE(synced.entries(), sortedTexts({alfa, gama}));
        const Settings settings = SettingsFile::decode(synced.folder.read("cnfg.tab"));
        QCOMPARE(settings.installationKey, ownKey);
        QCOMPARE(settings.masterPassword, password);
        QCOMPARE(program.vault().settings().masterPassword, password);
        QVERIFY(QFile::exists(synced.folder.filePath(settingsCopy + ".juntado")));
    }

    // Whatever fails, the data files and the copies stay byte for byte as they were, and the user is told why.
    void failureLeavesEverything_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const char* fault, const char* said) {
            QTest::newRow(name) << QString(fault) << QString::fromUtf8(said);
        };
        row("disk full", "full disk", "Não há espaço livre no disco.");
        row("file size limit", "size limit", "O arquivo ultrapassa o tamanho máximo permitido.");
        row("second copy cannot be renamed", "immutable copy", "Não foi possível renomear");
        row("copy changed after it was read", "copy changed", "alterado por outro programa");
        row("vault changed after it was read", "vault changed", "alterado por outro programa");
    }
    void failureLeavesEverything()
    {
        QFETCH(QString, fault);
        QFETCH(QString, said);
        FullDisk disk;
        if (!disk.skipReason().isEmpty()) {
            QSKIP(qPrintable(disk.skipReason()));
        }
        Records own;
        for (int i = 0; i < 40; ++i) {
            own.append(entry(("Conta " + QByteArray::number(i)).constData(), "26.01.01.10.00.00"));
        }
        SyncedFolder synced(own, disk.path());
        const QString syncthingCopy = "pswd.sync-conflict-20261207-101010-ABCDEFG.tab";
        synced.folder.write(syncthingCopy, vaultBytes(own + Records{gama}, ownKey));
        synced.folder.write("pswd (Maria's conflicted copy 2026-12-07).tab", vaultBytes({alfa}, ownKey));
        // Set before the scan: changing a file's attributes changes its stamp, which would count as a change.
        const QString immutable = synced.folder.filePath(syncthingCopy);
        QVERIFY(fault != "immutable copy" || QProcess::execute("chattr", {"+i", immutable}) == 0);
        Vault vault(synced.folder.path());
        QVERIFY(vault.open().ok());
        const ConflictScan scan = ConflictScan::besideVault(vault);
        QCOMPARE(scan.readableCopies().size(), 2);
        if (fault == "copy changed") {
            synced.folder.write(syncthingCopy, vaultBytes({gama}, ownKey));
        } else if (fault == "vault changed") {
            synced.folder.write("pswd.tab", vaultBytes({alfa}, ownKey));
        }
        const auto before = synced.folder.files();
        if (fault == "full disk") {
            disk.fill();
        }
        std::optional<FileSizeLimit> sizeLimit;
        if (fault == "size limit") {
            sizeLimit.emplace(synced.folder.read("pswd.tab").size());
        }
        const MergeSave::Outcome outcome = MergeSave::save(vault, scan);
        sizeLimit.reset();
        disk.free();
        QProcess::execute("chattr", {"-i", immutable});
        QVERIFY(!outcome.ok());
        const QString message = MergeWording::failure(outcome);
        QVERIFY2(message.contains(said) && message.endsWith("o cofre e as cópias continuam como estavam."),
                 qPrintable(message));
        QCOMPARE(synced.folder.files(), before);
    }

    // While the window is open, another program brings a conflict copy and replaces pswd.tab; the next save reads the
    // file again, and then the merge is offered. Copies declined once are not brought up again in the same run.
    void mergeAfterOutsideChange_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("secondCopy"); // another copy arrives with a second outside change
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("entries");
        QTest::newRow("Sim merges the copy") << true << false << 1 << 4;
        QTest::newRow("Não: the same copy is not asked again") << false << false << 1 << 3;
        QTest::newRow("Não, then a new copy: asked again") << false << true << 2 << 3;
    }
    void mergeAfterOutsideChange()
    {
        QFETCH(bool, answer);
        QFETCH(bool, secondCopy);
        QFETCH(int, questions);
        QFETCH(int, entries);
        SyncedFolder synced({alfa});
        RecordingPlatform platform;
        platform.answer = answer;
        Program program(synced.folder.path(), platform);
        QVERIFY(program.start());
        QVERIFY(QTest::qWaitForWindowExposed(program.mainWindow()));
        QVERIFY(platform.questions.isEmpty());
        const QString copyName = "pswd.sync-conflict-20261207-101010-ABCDEFG.tab";
        const auto outsideChange = [&](const QString& name, const Records& copy, const Records& vault) {
            synced.folder.write(name, vaultBytes(copy, ownKey));
            bringFile(synced.folder, "pswd.tab", vaultBytes(vault, ownKey));
        };
        outsideChange(copyName, {alfa, gama}, {alfa, beta});
        QVERIFY(program.vault().addEntry(entry("Delta", "26.03.01.10.00.00")).ok());
        QVERIFY(platform.questions.isEmpty()); // not in the middle of the save
        QTRY_COMPARE(platform.questions.size(), 1);
        QVERIFY(platform.questions.first().contains(copyName));
        QVERIFY(platform.questions.first().contains("1 entrada nova, 0 atualizadas, 1 igual"));
        const Records shown = recordsOf(program.vault().entries());
        outsideChange(secondCopy ? "pswd (conflicted copy 2026-12-07 111111).tab" : "outro.tab", {betaLater},
                      shown + Records{entry("Zeta", "26.03.01.10.00.00")});
        QVERIFY(program.vault().addEntry(entry("Eta", "26.03.01.10.00.00")).ok());
        QTest::qWait(50);
        QTRY_COMPARE(platform.questions.size(), questions);
        QCOMPARE(program.vault().entries().size(), entries + 2);
        QCOMPARE(QFile::exists(synced.folder.filePath(copyName + ".juntado")), answer);
    }

    void mergeCommand_data()
    {
        QTest::addColumn<QByteArray>("otherSettings"); // empty: no cnfg.tab beside the other pswd.tab
        QTest::addColumn<int>("settingsAgeSeconds");   // of that cnfg.tab against the vault's: negative, older
        QTest::addColumn<QByteArray>("otherVault");
        QTest::addColumn<bool>("windowOpen");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QByteArray>("password"); // of cnfg.tab afterwards
        const auto row = [](const char* name, const QByteArray& settings, int age, const QByteArray& vault, bool open,
                            int exitCode, const char* said, const QByteArray& password) {
            QTest::newRow(name) << settings << age << vault << open << exitCode << QString::fromUtf8(said) << password;
        };
        const QByteArray later = settingsBytes(otherKey, "outra", "Sim");
        row("under the key of the cnfg.tab beside it", settingsBytes(otherKey), 60, vaultBytes({alfa, gama}, otherKey),
            false, 0, "1 entrada nova, 0 atualizadas, 1 igual.\n", "8046");
        row("cnfg.tab beside it saved later: its password and answer", later, 60, vaultBytes({gama}, otherKey), false,
            0, "passam a ser as da cópia de cnfg.tab", "outra");
        row("cnfg.tab beside it saved earlier: the vault's own", later, -60, vaultBytes({gama}, otherKey), false, 0,
            "1 entrada nova, 0 atualizadas, 0 iguais.\n", "8046");
        row("no cnfg.tab beside it: under the vault's own key", {}, 0, vaultBytes({betaLater, gama}, ownKey), false, 0,
            "1 entrada nova, 1 atualizada, 0 iguais.\n", "8046");
        row("under a key known nowhere here", {}, 0, vaultBytes({gama}, otherKey), false, 1,
            "nenhuma chave de instalação conhecida", {});
        row("refused while the window is open on the folder", {}, 0, vaultBytes({gama}, ownKey), true, 1,
            "O KeyHound está aberto", {});
    }
    void mergeCommand()
    {
        QFETCH(QByteArray, otherSettings);
        QFETCH(int, settingsAgeSeconds);
        QFETCH(QByteArray, otherVault);
        QFETCH(bool, windowOpen);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        SyncedFolder synced({alfa, beta});
        DataFolder other;
        other.write("pswd.tab", otherVault);
        if (!otherSettings.isEmpty()) {
            other.write("cnfg.tab", otherSettings);
            QFile beside(other.filePath("cnfg.tab"));
            QVERIFY(beside.open(QIODevice::ReadWrite));
            QVERIFY(beside.setFileTime(
                QFileInfo(synced.folder.filePath("cnfg.tab")).lastModified().addSecs(settingsAgeSeconds),
                QFileDevice::FileModificationTime));
        }
        const auto before = synced.folder.files();
        QLockFile window(synced.folder.filePath(DataFolderLock::fileName));
        QVERIFY(!windowOpen || window.tryLock(0));
        const CommandOutput output =
            TransferCommands::mergeFrom(synced.folder.path(), other.filePath("pswd.tab"), QDateTime::currentDateTime());
        window.unlock();
        QCOMPARE(output.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? output.text : output.error).contains(said), qPrintable(output.text + output.error));
        QCOMPARE(other.read("pswd.tab"), otherVault);
        if (exitCode != 0) {
            QCOMPARE(synced.folder.files(), before);
            return;
        }
        QVERIFY(synced.entries().contains(sortedTexts({gama}).first()));
        const Settings settings = SettingsFile::decode(synced.folder.read("cnfg.tab"));
        QCOMPARE(settings.installationKey, ownKey);
        QTEST(settings.masterPassword, "password");
    }

    // A file-sync program that carries keyhound.lock between computers never locks the user out, and the copy
    // that holds the folder never removes the lock file another computer's sync put in its place.
    void lockFileFromAnotherComputer_data()
    {
        QTest::addColumn<QByteArray>("lockBytes");
        QTest::addColumn<bool>("replacedWhileHeld");
        QTest::newRow("a process id of the other computer") << QByteArray("4242\n") << false;
        QTest::newRow("this computer's own process id")
            << QByteArray::number(QCoreApplication::applicationPid()) << false;
        QTest::newRow("replaced by the other computer's while held") << QByteArray("4242\n") << true;
    }
    void lockFileFromAnotherComputer()
    {
        QFETCH(QByteArray, lockBytes);
        QFETCH(bool, replacedWhileHeld);
        SyncedFolder synced({alfa});
        if (!replacedWhileHeld) {
            synced.folder.write(DataFolderLock::fileName, lockBytes);
        }
        {
            DataFolderLock lock(synced.folder.path());
            QCOMPARE(lock.take(), DataFolderLock::Outcome::Taken);
            if (replacedWhileHeld) {
                bringFile(synced.folder, DataFolderLock::fileName, lockBytes);
            } else {
                const CommandOutput job = TransferCommands::mergeFrom(synced.folder.path(), synced.folder.filePath("x"),
                                                                      QDateTime::currentDateTime());
                QVERIFY2(job.error.contains("O KeyHound está aberto"), qPrintable(job.error));
            }
        }
        QCOMPARE(synced.folder.read(DataFolderLock::fileName), replacedWhileHeld ? lockBytes : QByteArray());
    }
};

QTEST_MAIN(MergeTest)
#include "tst_merge.moc"
