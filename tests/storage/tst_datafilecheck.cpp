#include "referencecodec.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Data folders and files that another user could change, or that are no files at all: refused at start-up with
// nothing read or written, and refused again before every save.
class TestDataFileCheck : public QObject
{
    Q_OBJECT

private slots:
    void refusedAtStart_data();
    void refusedAtStart();
    void followsOwnLinkToSafeFile();
    void refusedBeforeSave_data();
    void refusedBeforeSave();
    void largeFileNeedsConsent();
};

namespace {

const QByteArray key = "311299";
const QByteArray settings = ReferenceCodec::settingsFile(key, "8046", "N\xE3o");
const QByteArray record = "Banco\xA7----/----/----\xA7"
                          "26.03.06.10.00.00\xA7login\xA7senha\xA7http://x\xA7nota";
const QByteArray vault = ReferenceCodec::file({ReferenceCodec::encodeLine(record, key), ""});
constexpr uid_t stranger = 65534;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A second folder beside the data folder, for link targets and victims.
struct Elsewhere
{
    Elsewhere() { QDir(folder.path()).mkdir("other"); }
    QString path(const QString& name = {}) const { return folder.filePath(name.isEmpty() ? "other" : "other/" + name); }
    DataFolder folder;
};

bool makeLink(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

bool chownTo(const QString& path, uid_t owner)
{
    return ::lchown(QFile::encodeName(path).constData(), owner, gid_t(-1)) == 0;
}

// Puts the hostile thing in place; returns the text the refusal must hold (%1 the data folder, %2 the other one).
using Setup = QString (*)(const DataFolder& data, const Elsewhere& other);

} // namespace

Q_DECLARE_METATYPE(Setup)

void TestDataFileCheck::refusedAtStart_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("needsRoot");
    const auto row = [](const char* name, Setup setup, bool needsRoot = false) {
        QTest::newRow(name) << setup << needsRoot;
    };
    row("folder writable by everyone", [](const DataFolder& data, const Elsewhere&) {
        QFile::setPermissions(data.path(), QFileDevice::Permissions(0x7777));
        return QString("chmod 700 %1").arg(data.path());
    });
    row("folder writable by the group", [](const DataFolder& data, const Elsewhere&) {
        ::chmod(QFile::encodeName(data.path()).constData(), 0770);
        return QString("chmod 700 %1").arg(data.path());
    });
    row("vault writable by everyone", [](const DataFolder& data, const Elsewhere&) {
        ::chmod(QFile::encodeName(data.filePath("pswd.tab")).constData(), 0666);
        return QString("chmod 600 %1").arg(data.filePath("pswd.tab"));
    });
    row(
        "folder of another user",
        [](const DataFolder& data, const Elsewhere&) {
            chownTo(data.path(), stranger);
            return QString("A pasta de dados %1 pertence a outro usuário").arg(data.path());
        },
        true);
    row(
        "vault of another user",
        [](const DataFolder& data, const Elsewhere&) {
            chownTo(data.filePath("pswd.tab"), stranger);
            return QString("sudo chown root %1").arg(data.filePath("pswd.tab"));
        },
        true);
    row("vault is a named pipe", [](const DataFolder& data, const Elsewhere&) {
        QFile::remove(data.filePath("pswd.tab"));
        ::mkfifo(QFile::encodeName(data.filePath("pswd.tab")).constData(), 0600);
        return QString("%1 não é um arquivo comum, e sim um pipe nomeado").arg(data.filePath("pswd.tab"));
    });
    row("vault is a folder", [](const DataFolder& data, const Elsewhere&) {
        QFile::remove(data.filePath("pswd.tab"));
        QDir(data.path()).mkdir("pswd.tab");
        return QString("e sim uma pasta");
    });
    row("vault links to /dev/zero", [](const DataFolder& data, const Elsewhere&) {
        QFile::remove(data.filePath("pswd.tab"));
        makeLink("/dev/zero", data.filePath("pswd.tab"));
        return QString("Esse não é um arquivo comum, e sim um dispositivo. Remova o link");
    });
    row("vault links into a folder open to everyone", [](const DataFolder& data, const Elsewhere& other) {
        QFile::rename(data.filePath("pswd.tab"), other.path("pswd.tab"));
        QFile::setPermissions(other.path(), QFileDevice::Permissions(0x7777));
        makeLink(other.path("pswd.tab"), data.filePath("pswd.tab"));
        return QString("chmod 700 %1").arg(other.path());
    });
    row("vault links to a missing file", [](const DataFolder& data, const Elsewhere& other) {
        QFile::remove(data.filePath("pswd.tab"));
        makeLink(other.path("pswd.tab"), data.filePath("pswd.tab"));
        return QString("Esse arquivo não existe");
    });
    row("vault links to a link", [](const DataFolder& data, const Elsewhere& other) {
        QFile::rename(data.filePath("pswd.tab"), other.path("pswd.tab"));
        makeLink(other.path("pswd.tab"), other.path("link"));
        makeLink(other.path("link"), data.filePath("pswd.tab"));
        return QString("outro link simbólico");
    });
    row(
        "vault link of another user",
        [](const DataFolder& data, const Elsewhere& other) {
            QFile::rename(data.filePath("pswd.tab"), other.path("pswd.tab"));
            makeLink(other.path("pswd.tab"), data.filePath("pswd.tab"));
            chownTo(data.filePath("pswd.tab"), stranger);
            return QString("O link pertence a outro usuário");
        },
        true);
    row(
        "vault links to a file of another user",
        [](const DataFolder& data, const Elsewhere& other) {
            QFile::rename(data.filePath("pswd.tab"), other.path("pswd.tab"));
            chownTo(other.path("pswd.tab"), stranger);
            makeLink(other.path("pswd.tab"), data.filePath("pswd.tab"));
            return QString("pertence a outro usuário");
        },
        true);
    row("settings is a named pipe", [](const DataFolder& data, const Elsewhere&) {
        ::mkfifo(QFile::encodeName(data.filePath("cnfg.tab")).constData(), 0600);
        return QString("%1 não é um arquivo comum, e sim um pipe nomeado").arg(data.filePath("cnfg.tab"));
    });
}

// The folder holds pswd.tab but no cnfg.tab: a start that went on would create it.
void TestDataFileCheck::refusedAtStart()
{
    QFETCH(Setup, setup);
    QFETCH(bool, needsRoot);
    if (needsRoot && ::geteuid() != 0) {
        QSKIP("Giving a file to another user needs root.");
    }
    DataFolder data;
    Elsewhere other;
    data.write("pswd.tab", vault);
    const QString expected = setup(data, other);
    Vault opened(data.path());
    const StorageResult result = opened.open();
    QCOMPARE(result.status, StorageResult::Failed);
    QVERIFY2(result.message.contains(expected), qPrintable(result.message));
    QVERIFY(result.message.contains("Nada foi lido nem gravado."));
    QVERIFY(opened.entries().size() == 0 && opened.settings().installationKey.isEmpty());
    QVERIFY(!QFileInfo::exists(data.filePath("cnfg.tab")) || QFileInfo(data.filePath("cnfg.tab")).size() == 0);
    for (const QString& path : {data.filePath("pswd.tab"), other.path("pswd.tab")}) {
        const QFileInfo info(path);
        QVERIFY(!info.isFile() || bytesOf(path) == vault);
    }
}

// A link of the user's own, straight to a file of the user's own in a closed folder, is read and written through.
void TestDataFileCheck::followsOwnLinkToSafeFile()
{
    DataFolder data;
    Elsewhere other;
    data.write("cnfg.tab", settings);
    QFile::setPermissions(other.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile target(other.path("kept.tab"));
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write(vault) == vault.size());
    target.close();
    QVERIFY(makeLink(other.path("kept.tab"), data.filePath("pswd.tab")));
    Vault opened(data.path());
    QVERIFY(opened.open().ok());
    QCOMPARE(opened.entries().size(), 1);
    QVERIFY(opened.addEntry("Casa\xA7----/----/----").ok());
    QVERIFY(QFileInfo(data.filePath("pswd.tab")).isSymLink());
    QVERIFY(bytesOf(other.path("kept.tab")).size() > vault.size());
    Vault again(data.path());
    QVERIFY(again.open().ok());
    QCOMPARE(again.entries().size(), 2);
}

// While the program runs, the folder is opened to everyone or a file is swapped; the next save writes nothing.
void TestDataFileCheck::refusedBeforeSave_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("needsRoot");
    const auto row = [](const char* name, Setup setup, bool needsRoot = false) {
        QTest::newRow(name) << setup << needsRoot;
    };
    row("folder opened to everyone", [](const DataFolder& data, const Elsewhere&) {
        QFile::setPermissions(data.path(), QFileDevice::Permissions(0x7777));
        return QString("chmod 700 %1").arg(data.path());
    });
    // The other user's links lead to files the user owns elsewhere, which the save would overwrite.
    row(
        "files swapped for another user's links",
        [](const DataFolder& data, const Elsewhere& other) {
            for (const char* name : {"pswd.tab", "cnfg.tab"}) {
                QFile::remove(data.filePath(name));
                makeLink(other.path("victim"), data.filePath(name));
                chownTo(data.filePath(name), stranger);
            }
            return QString("O link pertence a outro usuário");
        },
        true);
    row("files swapped for links into an open folder", [](const DataFolder& data, const Elsewhere& other) {
        QFile::setPermissions(other.path(), QFileDevice::Permissions(0x7777));
        for (const char* name : {"pswd.tab", "cnfg.tab"}) {
            QFile::remove(data.filePath(name));
            makeLink(other.path("victim"), data.filePath(name));
        }
        return QString("chmod 700 %1").arg(other.path());
    });
    row("files swapped for named pipes", [](const DataFolder& data, const Elsewhere&) {
        for (const char* name : {"pswd.tab", "cnfg.tab"}) {
            QFile::remove(data.filePath(name));
            ::mkfifo(QFile::encodeName(data.filePath(name)).constData(), 0600);
        }
        return QString("pipe nomeado");
    });
}

void TestDataFileCheck::refusedBeforeSave()
{
    QFETCH(Setup, setup);
    QFETCH(bool, needsRoot);
    if (needsRoot && ::geteuid() != 0) {
        QSKIP("Giving a file to another user needs root.");
    }
    DataFolder data;
    Elsewhere other;
    data.write("cnfg.tab", settings);
    data.write("pswd.tab", vault);
    other.folder.write("other/victim", "the user's own file");
    Vault opened(data.path());
    QVERIFY(opened.open().ok());
    const QString expected = setup(data, other);
    for (const StorageResult& result : {opened.addEntry("Casa"), opened.saveSettings("nova", true)}) {
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY2(result.message.contains(expected), qPrintable(result.message));
        QVERIFY(result.message.endsWith("Nada foi gravado."));
    }
    QCOMPARE(opened.entries().size(), 1);
    QCOMPARE(opened.settings().masterPassword, QByteArray("8046"));
    QCOMPARE(bytesOf(other.path("victim")), QByteArray("the user's own file"));
}

// A vault far larger than any real one (a sparse file, so the test costs no disk) is read only if the user agrees.
void TestDataFileCheck::largeFileNeedsConsent()
{
    DataFolder data;
    data.write("cnfg.tab", settings);
    QFile huge(data.filePath("pswd.tab"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(256) << 20) + 1));
    huge.close();
    QStringList questions;
    Vault opened(data.path());
    opened.setLargeFileConfirmation([&questions](const QString& question) {
        questions.append(question);
        return false;
    });
    const StorageResult result = opened.open();
    QCOMPARE(result.status, StorageResult::Failed);
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.first().contains(data.filePath("pswd.tab") + " tem 256 MB"));
    QVERIFY(result.message.contains("não foi aberto"));
    QCOMPARE(QFileInfo(data.filePath("pswd.tab")).size(), (qint64(256) << 20) + 1);
    QVERIFY(!QFileInfo::exists(data.filePath("pswd.tab.danificado")));
}

QTEST_GUILESS_MAIN(TestDataFileCheck)
#include "tst_datafilecheck.moc"
