#include "referencecodec.h"
#include "storage/datafilecheck.h"
#include "storage/linecodec.h"
#include "storage/twothreads.h"
#include "support/fulldisk.h"
#include "support/vaultfixture.h"
#include "wording/faultwording.h"
#include "wording/storagewording.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <numeric>
#include <optional>
#include <set>
#include <thread>

#include <unistd.h>

extern "C" int replay_vaultfile(const uint8_t*, size_t), replay_settingsfile(const uint8_t*, size_t),
    replay_binarytext(const uint8_t*, size_t);

const QDateTime firstStartTime(QDate(2026, 3, 6), QTime(0, 0, 7)); // key 6333
using Records = QList<QByteArray>;

class TestVault : public QObject
{
    Q_OBJECT

    static QByteArray record(const QByteArray& title)
    {
        return title + "\xA7----/----/----\xA7" + "26.03.06.10.00.00\xA7login\xA7senha\xA7http://x\xA7nota";
    }
    static int modeOf(const QString& path) { return int(QFile::permissions(path) & 0x7777); }
    static QByteArray bytesOf(const QString& path) // through a link too; nothing for a pipe, whose opening would wait
    {
        QFile file(path);
        return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); } // where a byte order would put "Zed" before "abc"

    void firstStart_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("one-digit numbers") << firstStartTime << QByteArray("6333");
        QTest::newRow("largest numbers") << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)) << QByteArray("547258");
        QTest::newRow("year keeps two digits") << QDateTime(QDate(2005, 1, 1), QTime(10, 0, 0)) << QByteArray("2105");
    }
    void firstStart()
    {
        QFETCH(QDateTime, now);
        QFETCH(QByteArray, key);
        DataFolder folder;
        QVERIFY(Vault(folder.path()).open(now).ok());
        QCOMPARE(folder.read("pswd.tab"), QByteArray("\"\r\n\"\r\n"));
        QCOMPARE(folder.read("cnfg.tab"), ReferenceCodec::settingsFile(key, "8046", "N\xE3o"));
        QCOMPARE(modeOf(folder.filePath("pswd.tab")) + modeOf(folder.filePath("cnfg.tab")), 2 * 0x6600);
        Vault again(folder.path());
        QVERIFY(again.open(now.addDays(40)).ok() && again.addEntry(record("Banco")).ok());
        QCOMPARE(folder.read("pswd.tab"), ReferenceCodec::file({record("Banco")}, key));
    }

    // A start never replaces a file; a cnfg.tab without a key stops it, naming the backup that holds one.
    void startNeverReplacesAFile_data()
    {
        QTest::addColumn<QByteArray>("settings"); // empty: missing
        QTest::addColumn<QByteArray>("backup");   // empty: none
        QTest::addColumn<QString>("refusal");     // empty: the start goes on
        const QByteArray keyed = ReferenceCodec::settingsFile("1234", "pw", "Sim");
        const QByteArray keyless = ReferenceCodec::settingsFile("", "pw", "Sim");
        const QString wayBack = "copie cnfg.tab.bak para cnfg.tab na pasta ";
        QTest::newRow("whole settings, vault of garbage") << keyed << QByteArray() << QString();
        QTest::newRow("settings missing, backup without key: a new key") << QByteArray() << keyless << QString();
        QTest::newRow("settings of garbage") << QByteArray("\x01\x02 cnfg") << QByteArray() << "cnfg.tab";
        QTest::newRow("settings without a key") << keyless << QByteArray() << "cnfg.tab";
        QTest::newRow("settings missing, backup with key") << QByteArray() << keyed << wayBack;
        QTest::newRow("settings without a key, backup with key") << keyless << keyed << wayBack;
    }
    void startNeverReplacesAFile()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, backup);
        QFETCH(QString, refusal);
        DataFolder folder;
        for (const auto& [name, bytes] : {std::pair{"cnfg.tab", settings}, std::pair{"cnfg.tab.bak", backup}}) {
            if (!bytes.isEmpty()) {
                folder.write(name, bytes);
            }
        }
        folder.write("pswd.tab", "\x01\x02 not a vault");
        const QStringList before = QDir(folder.path()).entryList(QDir::Files);
        const StorageResult result = Vault(folder.path()).open(firstStartTime);
        QCOMPARE(result.ok(), refusal.isEmpty());
        QCOMPARE(folder.read("pswd.tab"), QByteArray("\x01\x02 not a vault"));
        QCOMPARE(folder.read("cnfg.tab.bak"), backup);
        QVERIFY2(StorageWording::message(result).contains(refusal), qPrintable(StorageWording::message(result)));
        QVERIFY(refusal.isEmpty() || QDir(folder.path()).entryList(QDir::Files) == before);
        QVERIFY(settings.isEmpty() || folder.read("cnfg.tab") == settings);
    }

    // After a rewrite by another program an update or delete goes through only if the entry shown is still there.
    void changes_data()
    {
        QTest::addColumn<Records>("outside"); // empty: no change outside
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("status");
        QTest::addColumn<Records>("lines");
        // "0" sorts before "a": added outside, it moves the entry shown down by one.
        const QByteArray a = record("a"), b = record("b"), n = record("0"), d = record("d"), a2 = record("a2");
        const int done = StorageResult::Done, merged = StorageResult::SavedOverOutsideChange,
                  refused = StorageResult::ChangedOutside;
        QTest::newRow("add") << Records{} << "add" << done << Records{a, b, d};
        QTest::newRow("update") << Records{} << "update" << done << Records{a2, b, ""};
        QTest::newRow("delete") << Records{} << "delete" << done << Records{"", b, ""};
        QTest::newRow("entry added outside, add") << Records{n, a, b} << "add" << merged << Records{n, a, b, d};
        QTest::newRow("entry added outside, update") << Records{n, a, b} << "update" << merged << Records{n, a2, b, ""};
        QTest::newRow("entry added outside, delete") << Records{n, a, b} << "delete" << merged << Records{n, "", b, ""};
        QTest::newRow("entry shown removed outside, add") << Records{b} << "add" << merged << Records{b, d};
        QTest::newRow("entry shown removed outside, update") << Records{b} << "update" << refused << Records{b};
        QTest::newRow("entry shown removed outside, delete") << Records{b} << "delete" << refused << Records{b};
        QTest::newRow("same records written again") << Records{a, b} << "update" << done << Records{a2, b, ""};
    }
    void changes()
    {
        QFETCH(Records, outside);
        QFETCH(QString, action);
        QFETCH(int, status);
        QFETCH(Records, lines);
        VaultFixture f;
        f.addRecords({record("a"), record("b")});
        const QByteArray key = f.vault.settings().installationKey;
        if (!outside.isEmpty()) {
            f.folder.write("pswd.tab", ReferenceCodec::file(outside, key)); // in place, as cp does
        }
        QFile::setPermissions(f.folder.filePath("pswd.tab"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const QByteArray before = f.file();
        QSignalSpy reread(&f.vault, &Vault::entriesRereadAfterOutsideChange);
        const StorageResult result = action == "add"      ? f.vault.addEntry(record("d"))
                                     : action == "update" ? f.vault.replaceEntry(0, record("a"), record("a2"))
                                                          : f.vault.deleteEntry(0, record("a"));
        QCOMPARE(int(result.status), status);
        QCOMPARE(reread.count(), status == StorageResult::Done ? 0 : 1); // the list took the records read outside
        QCOMPARE(f.file(), ReferenceCodec::file(lines, key));
        lines.removeAll(QByteArray());
        QCOMPARE(f.entries(), lines);
        QCOMPARE(StorageWording::message(result).startsWith("O arquivo pswd.tab foi alterado fora"),
                 status != StorageResult::Done);
        if (status != StorageResult::ChangedOutside) {
            QCOMPARE(f.folder.read("pswd.tab.bak"), before);
            QCOMPARE(modeOf(f.folder.filePath("pswd.tab.bak")), 0x6600);
        }
    }

    // Another program's rewrite of the same size is noticed however its time reads; a mere touch is not a change.
    void outsideRewriteOfTheSameSize_data()
    {
        QTest::addColumn<QString>("steps"); // shell commands in the data folder; "other" holds b changed to x
        QTest::addColumn<bool>("changed");
        QTest::newRow("rewritten in place at once") << "cat other > pswd.tab" << true;
        QTest::newRow("rewritten in place, time set back")
            << "touch -r pswd.tab time; cat other > pswd.tab; touch -r time pswd.tab" << true;
        QTest::newRow("copied over keeping the time") << "touch -r pswd.tab other; cp -p other pswd.tab" << true;
        QTest::newRow("moved in with the same time") << "touch -r pswd.tab other; mv other pswd.tab" << true;
        QTest::newRow("removed, written anew with the old time")
            << "touch -r pswd.tab time; rm pswd.tab; cat other > pswd.tab; touch -r time pswd.tab" << true;
        QTest::newRow("only touched") << "touch -d '2001-02-03 04:05:06' pswd.tab" << false;
    }
    void outsideRewriteOfTheSameSize()
    {
        QFETCH(QString, steps);
        QFETCH(bool, changed);
        VaultFixture f;
        f.addRecords({record("a"), record("b")});
        const QByteArray key = f.vault.settings().installationKey;
        f.folder.write("other", ReferenceCodec::file({record("a"), record("x")}, key));
        QCOMPARE(f.folder.read("other").size(), f.file().size());
        QVERIFY(f.folder.shell(steps));
        const StorageResult result = f.vault.addEntry(record("d"));
        QCOMPARE(int(result.status), int(changed ? StorageResult::SavedOverOutsideChange : StorageResult::Done));
        const QByteArray kept = changed ? record("x") : record("b");
        QCOMPARE(f.file(), ReferenceCodec::file({record("a"), kept, record("d")}, key));
        QCOMPARE(f.entries(),
                 changed ? (Records{record("a"), record("d"), kept}) : (Records{record("a"), kept, record("d")}));
    }

    void settingsChangedOutsideAreReadAgain()
    {
        DataFolder folder;
        Vault vault(folder.path());
        QVERIFY(vault.open(firstStartTime).ok());
        const QByteArray outside =
            ReferenceCodec::file({"6333\xA7velha\xA7N\xE3o", "6333\xA7outra\xA7Sim", ""}, "7305");
        folder.write("cnfg.tab", outside);
        const StorageResult refused = vault.saveSettings("minha", false);
        QCOMPARE(refused.status, StorageResult::ChangedOutside);
        QVERIFY(StorageWording::message(refused).startsWith("O arquivo cnfg.tab foi alterado fora do programa"));
        QCOMPARE(folder.read("cnfg.tab"), outside);
        QCOMPARE(vault.settings().masterPassword + vault.settings().askAtStart, QByteArray("outraSim"));
        QVERIFY(vault.saveSettings("minha", false).ok());
        QCOMPARE(folder.read("cnfg.tab"), ReferenceCodec::settingsFile("6333", "minha", "N\xE3o"));
        QCOMPARE(folder.read("cnfg.tab.bak"), outside);
    }

    void vaultLargerThanAPiece()
    {
        VaultFixture f;
        const QByteArray key = f.vault.settings().installationKey;
        f.folder.write("pswd.tab", ReferenceCodec::crashVault(4000, key));
        QCOMPARE(StorageWording::message(f.vault.open()), QString());
        QVERIFY(f.vault.addEntry(ReferenceCodec::crashEntry(4001)).ok());
        QCOMPARE(f.file(), ReferenceCodec::crashVault(4001, key));
    }

    // A large file is read and decoded in two halves at once, split at the first line break from the byte before its
    // middle on: whatever byte stands there and however the reads cut the file, every record comes once, in file
    // order, and the damaged lines of either half are counted. A file that shrinks or grows meanwhile is read to its
    // end; a failed read gives nothing.
    void fileReadInHalves_data()
    {
        QTest::addColumn<char>("atSplit");
        QTest::addColumn<int>("pieceSize");
        QTest::addColumn<bool>("lastLineBreak");
        QTest::addColumn<QString>("change");
        QTest::newRow("line break, large pieces") << '\n' << (1 << 20) << true << "";
        QTest::newRow("CR, large pieces") << '\r' << (1 << 20) << true << "";
        QTest::newRow("marker, large pieces") << '\x8F' << (1 << 20) << true << "";
        QTest::newRow("line break, pieces shorter than a line") << '\n' << 97 << true << "";
        QTest::newRow("CR, pieces shorter than a line") << '\r' << 97 << false << "";
        QTest::newRow("marker, pieces of a line and a half") << '\x7F' << 1237 << false << "";
        // 0: pieces of half the file, the first ending on the byte before the middle.
        QTest::newRow("line break, a read ending on it") << '\n' << 0 << true << "";
        QTest::newRow("shrinks before the middle") << '\x8F' << 4096 << true << "shrinks";
        QTest::newRow("grows") << '\x8F' << 4096 << true << "grows";
        QTest::newRow("one read fails") << '\n' << 4096 << true << "fails";
    }

    void fileReadInHalves()
    {
        QFETCH(char, atSplit);
        QFETCH(int, pieceSize);
        QFETCH(bool, lastLineBreak);
        QFETCH(QString, change);
        const QByteArray key = "chave";
        const QList<int> damaged{100, 299, 301, 599};
        QByteArray body;
        for (int number = 0; number < 600; ++number) {
            QByteArray line = LineCodec::encode(
                "Entrada " + QByteArray::number(number % 10) + "\xA7" + QByteArray(100, char('a' + number % 26)), key);
            if (damaged.contains(number)) {
                line.chop(1);
            }
            body += line + "\r\n";
        }
        if (!lastLineBreak) {
            body.chop(2);
        }
        // A first line of spaces, which holds no record, long enough to put the wanted byte before the middle.
        QByteArray file;
        for (int spaces = 0; file.isEmpty(); ++spaces) {
            const QByteArray candidate = QByteArray(spaces, ' ') + "\r\n" + body;
            if (candidate.at(candidate.size() / 2 - 1) == atSplit) {
                file = candidate;
            }
        }
        if (pieceSize == 0) {
            pieceSize = int(file.size() / 2);
        }
        const QByteArray grown = file + "\r\n" + LineCodec::encode("Entrada depois", key);
        const QByteArray& read = change == "grows" ? grown : file;
        const qsizetype end = change == "shrinks" ? file.size() / 3 : read.size();
        const LineCodec::ReadAt readAt = [&](qint64 offset, QByteArray& buffer) -> std::optional<QByteArrayView> {
            if (change == "fails" && offset > file.size() / 2) {
                return std::nullopt;
            }
            buffer = read.mid(offset, qMax<qint64>(0, qMin<qint64>(pieceSize, end - offset)));
            return QByteArrayView(buffer);
        };

        const std::optional<LineCodec::DecodedFile> decoded = LineCodec::decodeReading(file.size(), readAt, key);
        if (change == "fails") {
            QVERIFY(!decoded);
            return;
        }
        QVERIFY(decoded);
        Records expected;
        qsizetype expectedDamage = 0;
        for (const QByteArray& line : read.first(end).split('\n')) {
            bool intact = true;
            const QByteArray record = LineCodec::decodeLine(QByteArray(line).replace('\r', ""), key, intact);
            expectedDamage += intact ? 0 : 1;
            if (!record.isEmpty()) {
                expected += record;
            }
        }
        QVERIFY(expected.size() >= (change == "shrinks" ? 100 : 600));
        QCOMPARE(decoded->records, expected);
        QCOMPARE(decoded->damagedLines, expectedDamage);
    }

    // Damage made by a real program on the real file at start; earlier copies are "name=bytes", "name=same" for the
    // damaged file's bytes, "name>target" for a link.
    void damagedVaultKeptAtStart_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QString>("copy"); // empty: the file is whole, nothing copied
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const char* damage, const QStringList& earlier, const char* copy,
                            const char* said) { QTest::newRow(name) << damage << earlier << copy << said; };
        const char* both = "iconv -f latin1 -t utf-8 pswd.tab > c && mv c pswd.tab";
        const char* fresh = "copiado, sem nenhuma alteração";
        row("CR CR LF line ends", "sed -i 's/\\r$/\\r\\r/' pswd.tab", {}, "", "");
        row("LF line ends", "sed -i 's/\\r$//' pswd.tab", {}, "", "");
        row("one line converted to UTF-8", "sed -i '1s/\\x8f/\\xc2\\x8f/g' pswd.tab", {}, "pswd.tab.danificado",
            "tem 1 linha danificada");
        row("a line one byte short", "sed -i '1s/.\\r$/\\r/' pswd.tab", {}, "pswd.tab.danificado",
            "tem 1 linha danificada");
        row("converted to UTF-8 by iconv", both, {}, "pswd.tab.danificado", fresh);
        row("the same damage kept before", both, {"pswd.tab.danificado=same"}, "pswd.tab.danificado",
            "com exatamente o mesmo conteúdo");
        row("other damage kept before: the next number", both, {"pswd.tab.danificado=other"}, "pswd.tab.danificado.2",
            fresh);
        row("the same damage kept as the second copy", both,
            {"pswd.tab.danificado=other", "pswd.tab.danificado.2=same"}, "pswd.tab.danificado.2", "mesmo conteúdo");
        row("a link where the first copy goes is not followed", both, {"pswd.tab.danificado>victim"},
            "pswd.tab.danificado.2", fresh);
    }
    void damagedVaultKeptAtStart()
    {
        QFETCH(QString, damage);
        QFETCH(QStringList, earlier);
        QFETCH(QString, copy);
        QFETCH(QString, said);
        DataFolder f;
        f.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        f.write("pswd.tab", ReferenceCodec::file({record("um"), record("dois")}, "311299"));
        f.write("victim", "a file of the user's own");
        QVERIFY(f.shell("export LC_ALL=C; " + damage));
        const QByteArray damaged = f.read("pswd.tab");
        for (const QString& kept : earlier) {
            const QStringList nameAndValue = kept.split(QRegularExpression("[=>]"));
            kept.contains('>')
                ? void(QFile::link(nameAndValue[1], f.filePath(nameAndValue[0])))
                : f.write(nameAndValue[0], nameAndValue[1] == "same" ? damaged : nameAndValue[1].toUtf8());
        }
        QMap<QString, QByteArray> expected = f.files();
        const bool copiedNow = !copy.isEmpty() && !expected.contains(copy);
        Vault vault(f.path());
        const StorageResult result = vault.open();
        QVERIFY(result.ok());
        if (!copy.isEmpty()) {
            expected.insert(copy, damaged); // and nothing else written or changed
        }
        QCOMPARE(f.files(), expected);
        if (copy.isEmpty()) {
            QCOMPARE(recordsOf(vault.entries()), (Records{record("dois"), record("um")}));
            QCOMPARE(StorageWording::message(result), QString());
            return;
        }
        QVERIFY(!copiedNow || modeOf(f.filePath(copy)) == 0x6600);
        QCOMPARE(vault.damage().copy.path, f.filePath(copy));
        QVERIFY2(StorageWording::message(result).contains(said) &&
                     StorageWording::message(result).contains(f.filePath(copy)),
                 qPrintable(StorageWording::message(result)));
        QVERIFY(vault.addEntry(record("tres")).ok());
        QVERIFY(!QFileInfo::exists(f.filePath("pswd.tab.bak"))); // the damaged file stays in its copy only
    }

    // A real program damages or removes the real file while the vault holds its three entries; then a change. What
    // the list showed is never lost: the file takes it with the change, or stays as it was.
    void changedWhileRunning_data()
    {
        QTest::addColumn<QString>("steps"); // shell commands in the data folder
        QTest::addColumn<bool>("diskFull"); // filled after the steps, freed before the second try
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("copy"); // where the damaged bytes are kept; empty: none
        QTest::addColumn<QString>("said"); // when it is written; a full disk first refuses the change
        const auto row = [](const char* name, const QString& steps, bool full, const char* action, const char* copy,
                            const char* said) { QTest::newRow(name) << steps << full << action << copy << said; };
        const QString moved = "iconv -f latin1 -t utf-8 pswd.tab > c && mv c pswd.tab";
        const QString inPlace = "iconv -f latin1 -t utf-8 pswd.tab > c && cat c > pswd.tab && rm c";
        const char* kept = "agora tem 3 linhas danificadas";
        row("converted to UTF-8, then an add", moved, false, "add", "pswd.tab.danificado", kept);
        row("converted in place, then an update", inPlace, false, "update", "pswd.tab.danificado", kept);
        row("one line cut short, then a delete", "sed -i '2s/.\\r$/\\r/' pswd.tab", false, "delete",
            "pswd.tab.danificado", "agora tem 1 linha danificada");
        row("a second, different damage gets the next number", "echo earlier > pswd.tab.danificado; " + moved, false,
            "add", "pswd.tab.danificado.2", kept);
        row("no room for the copy: nothing written until there is", moved, true, "add", "pswd.tab.danificado", kept);
        row("removed, then an add", "rm pswd.tab", false, "add", "", "tinha sido removido");
        row("removed, then a delete", "rm pswd.tab", false, "delete", "", "tinha sido removido");
        row("removed, no room to write it again", "rm pswd.tab", true, "add", "", "tinha sido removido");
    }
    void changedWhileRunning()
    {
        QFETCH(QString, steps);
        QFETCH(bool, diskFull);
        QFETCH(QString, action);
        QFETCH(QString, copy);
        QFETCH(QString, said);
        std::optional<FullDisk> disk;
        if (diskFull && !disk.emplace().skipReason().isEmpty()) {
            QSKIP(qPrintable(disk->skipReason()));
        }
        DataFolder f(disk ? disk->path() : QString());
        Vault vault(f.path());
        QVERIFY(vault.open().ok());
        const Records shown{record("a"), record("b"), record("c")};
        for (const QByteArray& entry : shown) {
            QVERIFY(vault.addEntry(entry).ok());
        }
        const QByteArray key = vault.settings().installationKey, backup = f.read("pswd.tab.bak");
        QVERIFY(f.shell("export LC_ALL=C; " + steps));
        const QByteArray damaged = f.read("pswd.tab");
        const QByteArray earlier = f.read("pswd.tab.danificado");
        const auto change = [&] {
            return action == "add"      ? vault.addEntry(record("d"))
                   : action == "update" ? vault.replaceEntry(0, record("a"), record("a2"))
                                        : vault.deleteEntry(0, record("a"));
        };
        if (disk) {
            disk->fill();
            const StorageResult refused = change();
            QCOMPARE(refused.status, StorageResult::Failed);
            QVERIFY2(StorageWording::message(refused).contains(copy.isEmpty() ? "Tente gravar de novo"
                                                                              : "não foi possível guardar uma cópia"),
                     qPrintable(StorageWording::message(refused)));
            QCOMPARE(recordsOf(vault.entries()), shown);
            QCOMPARE(f.read("pswd.tab"), damaged);
            QVERIFY(!QFileInfo::exists(f.filePath("pswd.tab.danificado")) || copy.isEmpty());
            disk->free();
        }
        const StorageResult result = change();
        QVERIFY2(result.ok() && StorageWording::message(result).contains(said) &&
                     StorageWording::message(result).contains(copy),
                 qPrintable(StorageWording::message(result)));
        const Records lines = action == "add"      ? shown + Records{record("d")}
                              : action == "update" ? Records{record("a2"), record("b"), record("c"), ""}
                                                   : Records{"", record("b"), record("c"), ""};
        QCOMPARE(f.read("pswd.tab"), ReferenceCodec::file(lines, key));
        QCOMPARE(f.read("pswd.tab.bak"), backup); // the damaged file is in its copy, never the backup
        QCOMPARE(copy.isEmpty() ? QByteArray() : f.read(copy), copy.isEmpty() ? QByteArray() : damaged);
        QVERIFY(copy != "pswd.tab.danificado.2" || f.read("pswd.tab.danificado") == earlier);
        QVERIFY(vault.addEntry(record("e")).ok() && vault.damage().lines == 0);
        QCOMPARE(f.read("pswd.tab.bak"), ReferenceCodec::file(lines, key));
    }

    void settingsRemovedWhileRunning_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("written again with the key held") << false;
        QTest::newRow("no room: the key is still held, and written once there is room") << true;
    }
    void settingsRemovedWhileRunning()
    {
        QFETCH(bool, diskFull);
        std::optional<FullDisk> disk;
        if (diskFull && !disk.emplace().skipReason().isEmpty()) {
            QSKIP(qPrintable(disk->skipReason()));
        }
        DataFolder f(disk ? disk->path() : QString());
        Vault vault(f.path());
        QVERIFY(vault.open(firstStartTime).ok() && vault.addEntry(record("a")).ok());
        const QByteArray backup = f.read("cnfg.tab.bak");
        QVERIFY(QFile::remove(f.filePath("cnfg.tab")));
        if (disk) {
            disk->fill();
            const StorageResult refused = vault.saveSettings("nova", true);
            QVERIFY2(!refused.ok() && StorageWording::message(refused).contains("Tente gravar de novo"),
                     qPrintable(StorageWording::message(refused)));
            disk->free();
        }
        const StorageResult saved = vault.saveSettings("nova", true);
        QVERIFY2(saved.ok() && StorageWording::message(saved).startsWith("O arquivo cnfg.tab tinha sido removido"),
                 qPrintable(StorageWording::message(saved)));
        QCOMPARE(f.read("cnfg.tab"), ReferenceCodec::settingsFile("6333", "nova", "Sim"));
        QCOMPARE(f.read("cnfg.tab.bak"), backup);
        Vault reopened(f.path());
        QVERIFY(reopened.open().ok());
        QCOMPARE(recordsOf(reopened.entries()), Records{record("a")});
    }

    void refused_data()
    {
        QTest::addColumn<bool>("whileRunning");
        QTest::addColumn<QString>("steps"); // shell commands in a folder holding "data" and, beside it, "other"
        QTest::addColumn<QString>("shown"); // %data and %other stand for the folders' paths; empty: accepted
        const auto row = [](const char* name, bool whileRunning, const QString& steps, const char* shown) {
            QTest::newRow(name) << whileRunning << steps << QString::fromUtf8(shown);
        };
        const QString linkedAway = "mv data/pswd.tab other; ln -s $PWD/other/pswd.tab data/pswd.tab";
        row("folder writable by the group", false, "chmod 770 data", "(permissões 770)");
        row("vault writable by everyone", false, "chmod 666 data/pswd.tab", "chmod 600 %data/pswd.tab");
        row("folder of another user", false, "chown nobody data", "%data pertence a outro usuário (nobody)");
        row("vault of another user", false, "chown nobody data/pswd.tab", "sudo chown root %data/pswd.tab");
        row("vault is a named pipe", false, "rm data/pswd.tab; mkfifo data/pswd.tab", "e sim um pipe");
        row("vault links into a folder open to everyone", false, linkedAway + "; chmod 777 other", "chmod 700 %other");
        row("vault links to a link", false, linkedAway + "; mv data/pswd.tab other/l; ln -s $PWD/other/l data/pswd.tab",
            "outro link simbólico");
        row("vault link of another user", false, linkedAway + "; chown -h nobody data/pswd.tab",
            "O link pertence a outro");
        row("own link to an own file in a closed folder is followed", false, linkedAway, "");
        row("folder opened to everyone", true, "chmod 777 data", "chmod 700 %data");
        row("files swapped for another user's links to an own file elsewhere", true,
            "cd data; ln -sf ../other/victim pswd.tab; ln -sf ../other/victim cnfg.tab; chown -h nobody *.tab",
            "O link pertence a outro usuário");
        row("a folder above writable by the group", false, "chmod 770 .", "chmod go-w %root");
        row("a folder above of another user", false, "chown nobody .", "%root, no caminho de %data, pertence a outro");
        row("a folder above opened to everyone while running", true, "chmod 777 .", "(permissões 777)");
        row("a folder above open to everyone but sticky, as /tmp is", false, "chmod 1777 .", "");
        row("the data folder a link into a folder open to everyone", false,
            "mkdir -m 777 pub; mv data pub; ln -s pub/data data", "chmod go-w %root/pub");
        row("the vault a link into a folder below one open to everyone", false,
            linkedAway + "; mkdir -m 777 pub; mv other pub; ln -s pub/other other", "chmod go-w %root/pub");
    }
    void refused()
    {
        QFETCH(bool, whileRunning);
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        if (steps.contains("chown") && ::geteuid() != 0) {
            QSKIP("Giving a file to another user needs root.");
        }
        DataFolder root;
        const auto path = [&root](const QString& name) { return root.filePath(name); };
        QVERIFY(QDir(root.path()).mkpath("data") && QDir(root.path()).mkpath("other"));
        QFile::setPermissions(path("data"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        root.write("data/pswd.tab", ReferenceCodec::file({record("Banco")}, "311299"));
        root.write("other/victim", "a file of the user's own elsewhere");
        root.write("data/cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        Vault opened(path("data"));
        QVERIFY(!whileRunning || opened.open().ok());
        QVERIFY(root.shell(steps));
        if (shown.isEmpty()) {
            QVERIFY(opened.open().ok() && opened.addEntry(record("Casa")).ok());
            QCOMPARE(QFileInfo(path("data/pswd.tab")).isSymLink(), steps.contains("ln -s"));
            QCOMPARE(bytesOf(path("data/pswd.tab")), ReferenceCodec::file({record("Banco"), record("Casa")}, "311299"));
            return;
        }
        shown.replace("%data", path("data")).replace("%other", path("other")).replace("%root", root.path());
        const QByteArray before = bytesOf(path("data/pswd.tab")) + bytesOf(path("data/cnfg.tab"));
        const QList<StorageResult> results =
            whileRunning ? QList<StorageResult>{opened.addEntry(record("Casa")), opened.saveSettings("nova", true)}
                         : QList<StorageResult>{opened.open()};
        for (const StorageResult& result : results) {
            QCOMPARE(result.status, StorageResult::Failed);
            QVERIFY2(StorageWording::message(result).contains(shown), qPrintable(StorageWording::message(result)));
            QVERIFY(StorageWording::message(result).contains(whileRunning ? "Nada foi gravado."
                                                                          : "Nada foi lido nem gravado."));
        }
        QCOMPARE(opened.entries().size(), whileRunning ? 1 : 0);
        QCOMPARE(opened.settings().masterPassword, QByteArray(whileRunning ? "8046" : ""));
        QCOMPARE(bytesOf(path("other/victim")), QByteArray("a file of the user's own elsewhere"));
        QCOMPARE(bytesOf(path("data/pswd.tab")) + bytesOf(path("data/cnfg.tab")), before);
        // The command the message ends with, pasted into a shell, is all it takes.
        if (const QString fix = StorageWording::message(results.last()).section('\n', -3, -3);
            fix.startsWith("chmod ")) {
            QCOMPARE(QProcess::execute("sh", {"-c", fix}), 0);
            QVERIFY2(opened.open().ok(), qPrintable(StorageWording::message(opened.open())));
        }
    }

    // What was opened is checked, not only what the name led to before.
    void openedFileChecked_data()
    {
        QTest::addColumn<QString>("steps");   // shell commands in the folder holding the file "f"
        QTest::addColumn<QString>("refusal"); // empty: opened
        for (const auto& [name, steps, refusal] :
             {std::array<const char*, 3>{"own file", "chmod 600 f", ""},
              {"readable by others", "chmod 644 f", ""},
              {"writable by the group", "chmod 620 f", "chmod 600"},
              {"another user's", "chown nobody f", "pertence a outro usuário (nobody)"},
              {"a pipe", "rm f; mkfifo f", "um pipe nomeado"},
              {"a link", "mv f g; ln -s g f", "nº 40"}}) {
            QTest::newRow(name) << QString(steps) << QString::fromUtf8(refusal);
        }
    }
    void openedFileChecked()
    {
        QFETCH(QString, steps);
        QFETCH(QString, refusal);
        if (steps.contains("chown") && ::geteuid() != 0) {
            QSKIP("Giving a file to another user needs root.");
        }
        DataFolder folder;
        folder.write("f", "contents");
        QVERIFY(folder.shell(steps));
        QFile file;
        const QString why = FaultWording::sentence(DataFileCheck::openForReading(file, folder.filePath("f")));
        QVERIFY2(refusal.isEmpty() ? why.isEmpty() : why.contains(refusal), qPrintable(why));
        QCOMPARE(file.isOpen() ? file.readAll() : QByteArray(), refusal.isEmpty() ? "contents" : QByteArray());
    }

    // Opened read-only, a damaged vault is shown and said to be damaged, with no copy made.
    void readOnlyDamagedVault()
    {
        DataFolder folder;
        folder.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        folder.write("pswd.tab", "\"" + ReferenceCodec::encodeLine(record("um"), "311299").chopped(1) + "\"\r\n");
        Vault vault(folder.path());
        vault.setReadOnly("O motivo.");
        const StorageResult opened = vault.open();
        QVERIFY2(opened.ok() && StorageWording::message(opened).contains("tem 1 linha danificada") &&
                     StorageWording::message(opened).contains("aberto só para leitura"),
                 qPrintable(StorageWording::message(opened)));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), (QStringList{"cnfg.tab", "pswd.tab"}));
    }

    // Opened read-only, the vault writes nothing and says why at every change.
    void readOnly_data()
    {
        QTest::addColumn<QString>("change");
        for (const char* change : {"first start", "add", "add many", "replace", "delete", "settings"}) {
            QTest::newRow(change) << change;
        }
    }
    void readOnly()
    {
        QFETCH(QString, change);
        DataFolder folder;
        if (change != "first start") {
            Vault before(folder.path());
            QVERIFY(before.open().ok() && before.addEntry(record("Banco")).ok());
        }
        const auto before = folder.files();
        Vault vault(folder.path());
        vault.setReadOnly("O motivo.");
        const StorageResult opened = vault.open();
        QCOMPARE(opened.ok(), change != "first start");
        const StorageResult result = change == "first start" ? opened
                                     : change == "add"       ? vault.addEntry(record("Casa"))
                                     : change == "add many"  ? vault.addEntries({record("Casa"), record("Zed")})
                                     : change == "replace"   ? vault.replaceEntry(0, record("Banco"), record("Casa"))
                                     : change == "delete"    ? vault.deleteEntry(0, record("Banco"))
                                                             : vault.saveSettings("nova", true);
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY2(StorageWording::message(result).startsWith(
                     "Nada foi gravado: o programa foi aberto só para leitura.\n\nO motivo."),
                 qPrintable(StorageWording::message(result)));
        QCOMPARE(folder.files(), before);
        QCOMPARE(vault.entries().size(), change == "first start" ? 0 : 1);
        QCOMPARE(vault.settings().masterPassword, QByteArray(change == "first start" ? "" : "8046"));
    }

    // A vault of 256 MB and a byte (sparse: no disk used) is read only if the user agrees.
    void largeFileNeedsConsent()
    {
        DataFolder data;
        data.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        QCOMPARE(QProcess::execute("truncate", {"-s", "268435457", data.filePath("pswd.tab")}), 0);
        QString asked;
        Vault opened(data.path());
        opened.setLargeFileConfirmation([&asked](const QString& path, qint64 megabytes) {
            return asked += StorageWording::largeFileQuestion(path, megabytes), false;
        });
        const StorageResult result = opened.open();
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY(asked.contains(data.filePath("pswd.tab") + " tem 256 MB") &&
                StorageWording::message(result).contains("não foi aberto"));
        QCOMPARE(QFileInfo(data.filePath("pswd.tab")).size(), 268435457);
        QVERIFY(!QFileInfo::exists(data.filePath("pswd.tab.danificado")));
    }

    void windows1252()
    {
        QByteArray every(256, 0);
        std::iota(every.begin(), every.end(), 0);
        bool ok = false;
        QVERIFY(Windows1252::fromUnicode(Windows1252::toUnicode(every), &ok) == every && ok);
        QCOMPARE(Windows1252::toUnicode("\x80\x8F\x9F"), QStringLiteral("€\u008FŸ"));
        QCOMPARE(Windows1252::fromUnicode(QStringLiteral("a\u0080b\U0001F511"), &ok), QByteArray("a?b??"));
        QVERIFY(!ok && !Windows1252::canEncode(QChar(0x80)) && Windows1252::canEncode(QChar(0x20AC)));
    }

    // Long texts are looked over eight bytes at a time: each byte, at each place of a word, among neighbours that
    // are not converted, as it is converted alone.
    void windows1252EveryByteInLongText()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const QChar alone = Windows1252::toUnicode(QByteArray(1, char(byte))).at(0);
            for (qsizetype place = 0; place < 17; ++place) {
                QByteArray text(17, '\x7F');
                text[place] = char(byte);
                QString expected(17, QChar(0x7F));
                expected[place] = alone;
                QCOMPARE(Windows1252::toUnicode(text), expected);
            }
        }
    }

    void order_data()
    {
        QTest::addColumn<Records>("sorted");
        QTest::newRow("letter case ignored") << Records{"Abacaxi", "banana", "Casa", "zebra"};
        QTest::newRow("equal titles by the following fields") << Records{"X\xA7x", "x\xA7y", "x\xA7Z", "x\xA7z"};
        QTest::newRow("accented letters in place") << Records{"apfel", "\xC4rger", "\xE9lan", "emu", "Zoo"};
        QTest::newRow("case and accent ties") << Records{"Elan", "elan", "\xC9lan", "\xE9lan", "elan\xA7"};
        QTest::newRow("duplicates") << Records{"a", "a", "B", "b", "b"};
        QTest::newRow("accented initials among the others") << Records{"\xC1gua",
                                                                       "\xE1gua",
                                                                       "Banco",
                                                                       "\xC9"
                                                                       "den",
                                                                       "escola",
                                                                       "\xD3tica",
                                                                       "ovo",
                                                                       "Zebra"};
    }
    // Read shuffled, in the order of character codes or with any record out of place, the list is the same; add,
    // replace and remove keep it so.
    void order()
    {
        QFETCH(Records, sorted);
        for (int number = 39; number >= 10; --number) {
            sorted.prepend(QByteArray::number(number) + "\xA7x");
        }
        Records shuffled = sorted;
        std::shuffle(shuffled.begin(), shuffled.end(), QRandomGenerator(1));
        QCOMPARE(recordsOf(EntryList(shuffled + Records{"", "   "})), sorted);
        Records byCodes = sorted; // as a program that knows no collation writes them
        std::sort(byCodes.begin(), byCodes.end());
        QCOMPARE(recordsOf(EntryList(byCodes)), sorted);
        for (qsizetype from = 0; from < sorted.size(); ++from) {
            Records others = sorted;
            const QByteArray record = others.takeAt(from);
            for (qsizetype to = 0; to <= others.size(); ++to) {
                Records arrangement = others;
                arrangement.insert(to, record);
                QCOMPARE(recordsOf(EntryList(arrangement)), sorted);
            }
            EntryList list(others);
            list.apply(list.adding(record));
            QCOMPARE(recordsOf(list), sorted);
            for (qsizetype index = 0; index < others.size(); ++index) {
                EntryList changed(others);
                changed.apply(changed.replacing(index, record));
                Records expectedAfter = sorted;
                expectedAfter.removeOne(others.at(index));
                QCOMPARE(recordsOf(changed), expectedAfter);
            }
            list.apply(list.replacing(from, "  "));
            list.apply(list.adding(" "));
            QCOMPARE(recordsOf(list), others);
        }
    }

    // In the order of character codes a number stands after every longer one it begins ("Conta 10" after
    // "Conta 109"), and the records set aside are out of order among themselves again, down to "Conta 1". A large
    // list is put in order in two halves, which a shuffle makes meet at nearly every record. Accented and lower-case
    // initials stand after every capital in code, which sets most records aside in long runs that meet at every
    // record ("Água 00001", "água 00001").
    void outOfOrderAmongTheSetAside_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArrayList>("titles");
        QTest::addColumn<int>("digits"); // 0: as many as the number has
        const QByteArrayList accented{"Banco",
                                      "\xC1gua",
                                      "\xE1gua",
                                      "\xC9"
                                      "den",
                                      "\xE9"
                                      "den",
                                      "\xD3tica"};
        QTest::newRow("set aside and merged") << 1200 << QByteArrayList{"Conta"} << 0;
        QTest::newRow("in two halves") << 24000 << QByteArrayList{"Conta"} << 0;
        QTest::newRow("runs set aside, merged") << 3000 << accented << 5;
        QTest::newRow("runs set aside, in two halves") << 30000 << accented << 0;
    }
    void outOfOrderAmongTheSetAside()
    {
        QFETCH(int, count);
        QFETCH(QByteArrayList, titles);
        QFETCH(int, digits);
        Records records;
        for (int number = 1; number <= count; ++number) {
            records.append(titles.at(number % titles.size()) + ' ' +
                           QByteArray::number(number).rightJustified(digits, '0') +
                           "\xA7"
                           "12/05/27\xA7"
                           "login");
        }
        // In the collation the separator comes before every digit, where code puts it after them, and letters are
        // compared without their case or accent; records equal so keep the order of their bytes.
        const auto collated = [](QByteArray record) {
            record = record.toLower().replace('\xA7', '\x01');
            return record.replace('\xE1', 'a')
                .replace('\xC1', 'a')
                .replace('\xE9', 'e')
                .replace('\xC9', 'e')
                .replace('\xD3', 'o');
        };
        Records sorted = records;
        std::sort(sorted.begin(), sorted.end(),
                  [&](const auto& a, const auto& b) { return std::pair(collated(a), a) < std::pair(collated(b), b); });
        std::sort(records.begin(), records.end());
        QCOMPARE(recordsOf(EntryList(records)), sorted);
        std::shuffle(records.begin(), records.end(), QRandomGenerator(7));
        QCOMPARE(recordsOf(EntryList(records)), sorted);
    }

    // Every task runs once, on at most two threads; a task's exception comes out of the call, from either thread.
    void twoThreads()
    {
        std::vector<std::atomic<int>> runs(64);
        std::mutex threadsLock;
        std::set<std::thread::id> threads;
        onTwoThreads(runs.size(), [&](size_t task) {
            ++runs[task];
            const std::lock_guard locked(threadsLock);
            threads.insert(std::this_thread::get_id());
        });
        QVERIFY(std::all_of(runs.begin(), runs.end(), [](const auto& ran) { return ran == 1; }));
        QVERIFY(!threads.empty() && threads.size() <= 2);
        for (const size_t failing : {0, 1}) {
            QVERIFY_THROWS_EXCEPTION(std::bad_alloc, onTwoThreads(2, [failing](size_t task) {
                                         if (task == failing) {
                                             throw std::bad_alloc();
                                         }
                                     }));
        }
    }

    void fuzzCorpusReplays() // seeds and every input that once failed; a fault aborts
    {
        using Replay = int (*)(const uint8_t*, size_t);
        for (const auto& [target, replay] : {std::pair<QString, Replay>{"vaultfile", replay_vaultfile},
                                             {"settingsfile", replay_settingsfile},
                                             {"binarytext", replay_binarytext}}) {
            const QDir dir(QStringLiteral(FUZZ_CORPUS "/") + target);
            QVERIFY2(!dir.isEmpty(QDir::Files), qPrintable(dir.path()));
            for (const QString& input : dir.entryList(QDir::Files)) {
                const QByteArray bytes = bytesOf(dir.filePath(input));
                qInfo("%s/%s", qPrintable(target), qPrintable(input));
                QCOMPARE(replay(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())), 0);
            }
        }
    }
    // The system's reason in Portuguese, also when Qt gave the system's English text for it.
    void systemReasons_data()
    {
        QTest::addColumn<FileFault>("fault");
        QTest::addColumn<QString>("said");
        const auto row = [](const char* name, const FileFault& fault, const char* said) {
            QTest::newRow(name) << fault << QString::fromUtf8(said);
        };
        row("quota", FileFault::system(EDQUOT), "A cota de disco do usuário foi excedida.");
        row("read-only disk", FileFault::system(EROFS), "O disco está protegido contra gravação (somente leitura).");
        row("not permitted", FileFault::system(EPERM), "Permissão negada.");
        row("disk error", FileFault::system(EIO), "Erro de leitura ou gravação no disco.");
        row("path through a file", FileFault::system(ENOTDIR), "Uma parte do caminho não é uma pasta.");
        row("too many open files", FileFault::system(ENFILE), "Há arquivos abertos demais.");
        row("path too long", FileFault::system(ENAMETOOLONG), "O caminho é longo demais.");
        row("unnamed number", FileFault::system(ETXTBSY), "Erro do sistema nº 26 (Text file busy).");
        row("Qt's text of a full disk", FileFault::ofQt(qt_error_string(ENOSPC)), "Não há espaço livre no disco.");
        row("Qt's text of its own", FileFault::ofQt("Unknown error"), "Unknown error");
    }
    void systemReasons()
    {
        QFETCH(FileFault, fault);
        QFETCH(QString, said);
        QCOMPARE(FaultWording::sentence(fault), said);
    }

    // Every note tells the user something of its own, and names the file and the system's reason it carries.
    void wording_data()
    {
        QTest::addColumn<StorageReason>("reason");
        QTest::addColumn<bool>("namesFile");
        QTest::addColumn<bool>("givesDetail");
        using R = StorageReason;
        const QList<R> unnamed{R::ReadOnly,         R::CheckFolderWritable,  R::NothingWritten, R::NothingReadOrWritten,
                               R::PreviousFileKept, R::PreviousSettingsKept, R::ProgramEnds,    R::DamagedReadOnly};
        const QList<R> detailed{R::ReadOnly, R::CannotRead, R::CannotWrite, R::CannotCreate, R::DamagedCopyFailed};
        for (int reason = int(R::ReadOnly); reason <= int(R::DamagedCopyFailed); ++reason) {
            QTest::addRow("reason %d", reason)
                << R(reason) << !unnamed.contains(R(reason)) << detailed.contains(R(reason));
        }
    }
    void wording()
    {
        QFETCH(StorageReason, reason);
        QFETCH(bool, namesFile);
        QFETCH(bool, givesDetail);
        StorageNote note{reason, "/pasta/arquivo-7.tab", "Motivo do sistema.", "/pasta"};
        note.damagedLines = 2;
        note.fault = FileFault::ofQt(note.detail);
        const QString said = StorageWording::sentence(note);
        QVERIFY2(said.size() > 12 && said.contains(QRegularExpression("[.:?]$")), qPrintable(said));
        QCOMPARE(said.contains(note.file), namesFile);
        QCOMPARE(said.contains(note.detail), givesDetail);
        for (int other = int(StorageReason::ReadOnly); other <= int(StorageReason::DamagedCopyFailed); ++other) {
            note.reason = StorageReason(other);
            QVERIFY2(other == int(reason) || StorageWording::sentence(note) != said, qPrintable(said));
        }
    }
};

QTEST_GUILESS_MAIN(TestVault)
#include "tst_vault.moc"
