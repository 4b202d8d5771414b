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
    void refused_data();
    void refused();
    void followsOwnLinkToSafeFile();
    void largeFileNeedsConsent();
};

namespace {

const QByteArray key = "311299";
const QByteArray settings = ReferenceCodec::settingsFile(key, "8046", "N\xE3o");
const QByteArray record = "Banco\xA7----/----/----\xA7"
                          "26.03.06.10.00.00\xA7login\xA7senha\xA7http://x\xA7nota";
const QByteArray vault = ReferenceCodec::file({ReferenceCodec::encodeLine(record, key), ""});
const QByteArray victim = "a file of the user's own elsewhere";

// The bytes of a regular file, through a link too; nothing for anything else (opening a pipe would wait).
QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The data folder with pswd.tab, and a second folder beside it, "other", with a file "victim", for link targets.
// Steps such as "chmod data 777; link other/victim data/pswd.tab; chown data/pswd.tab" change them as a careless
// user or another local user would; "chown" gives the path to user 65534.
struct Folders
{
    Folders()
    {
        QDir(root.path()).mkpath("data");
        QDir(root.path()).mkpath("other");
        ::chmod(QFile::encodeName(path("data")).constData(), 0700);
        root.write("data/pswd.tab", vault);
        root.write("other/victim", victim);
    }

    QString path(const QString& name) const { return name.startsWith('/') ? name : root.filePath(name); }
    QString expand(QString text) const { return text.replace("%data", path("data")).replace("%other", path("other")); }

    void apply(const QString& steps) const
    {
        for (const QString& step : steps.split(';', Qt::SkipEmptyParts)) {
            const QStringList word = step.split(' ', Qt::SkipEmptyParts);
            const QByteArray target = QFile::encodeName(path(word.value(1)));
            if (word[0] == "chmod") {
                ::chmod(target.constData(), mode_t(word[2].toUInt(nullptr, 8)));
            } else if (word[0] == "chown") {
                ::lchown(target.constData(), 65534, gid_t(-1));
            } else if (word[0] == "fifo" || word[0] == "dir" || word[0] == "link") {
                const QByteArray at = QFile::encodeName(path(word.last()));
                ::unlink(at.constData());
                word[0] == "fifo"  ? ::mkfifo(at.constData(), 0600)
                : word[0] == "dir" ? ::mkdir(at.constData(), 0700)
                                   : ::symlink(target.constData(), at.constData());
            } else if (word[0] == "move") {
                ::rename(target.constData(), QFile::encodeName(path(word[2])).constData());
            }
        }
    }

    DataFolder root;
};

} // namespace

// At start, nothing is read or written (cnfg.tab, missing, is not created); while the program runs, the next save of
// either file writes nothing. The refusal names what to fix.
void TestDataFileCheck::refused_data()
{
    QTest::addColumn<bool>("whileRunning");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, bool whileRunning, const char* steps, const char* shown) {
        QTest::newRow(name) << whileRunning << QString(steps) << QString::fromUtf8(shown);
    };
    row("folder writable by everyone", false, "chmod data 777", "(permissões 777)");
    row("folder writable by the group", false, "chmod data 770", "chmod 700 %data\n");
    row("vault writable by everyone", false, "chmod data/pswd.tab 666", "chmod 600 %data/pswd.tab");
    row("folder of another user", false, "chown data", "A pasta de dados %data pertence a outro usuário (nobody)");
    row("vault of another user", false, "chown data/pswd.tab", "sudo chown root %data/pswd.tab");
    row("vault is a named pipe", false, "fifo data/pswd.tab",
        "%data/pswd.tab não é um arquivo comum, e sim um pipe nomeado");
    row("settings is a named pipe", false, "fifo data/cnfg.tab", "%data/cnfg.tab não é um arquivo comum");
    row("vault is a folder", false, "dir data/pswd.tab", "e sim uma pasta");
    row("vault links to /dev/zero", false, "link /dev/zero data/pswd.tab", "e sim um dispositivo. Remova o link");
    row("vault links into a folder open to everyone", false,
        "move data/pswd.tab other/pswd.tab; link other/pswd.tab data/pswd.tab; chmod other 777", "chmod 700 %other");
    row("vault links to a missing file", false, "link other/pswd.tab data/pswd.tab", "Esse arquivo não existe");
    row("vault links to a link", false,
        "move data/pswd.tab other/pswd.tab; link other/pswd.tab other/link; link other/link data/pswd.tab",
        "outro link simbólico");
    row("vault link of another user", false,
        "move data/pswd.tab other/pswd.tab; link other/pswd.tab data/pswd.tab; chown data/pswd.tab",
        "O link pertence a outro usuário");
    row("vault links to a file of another user", false,
        "move data/pswd.tab other/pswd.tab; link other/pswd.tab data/pswd.tab; chown other/pswd.tab",
        "%other/pswd.tab pertence a outro usuário");
    row("folder opened to everyone", true, "chmod data 777", "chmod 700 %data");
    // Another user's links to files the user owns elsewhere, which the save would overwrite.
    row("files swapped for another user's links", true,
        "link other/victim data/pswd.tab; link other/victim data/cnfg.tab; chown data/pswd.tab; chown data/cnfg.tab",
        "O link pertence a outro usuário");
    row("files swapped for links into an open folder", true,
        "link other/victim data/pswd.tab; link other/victim data/cnfg.tab; chmod other 777", "chmod 700 %other");
    row("files swapped for named pipes", true, "fifo data/pswd.tab; fifo data/cnfg.tab", "pipe nomeado");
}

void TestDataFileCheck::refused()
{
    QFETCH(bool, whileRunning);
    QFETCH(QString, steps);
    QFETCH(QString, shown);
    if (steps.contains("chown") && ::geteuid() != 0) {
        QSKIP("Giving a file to another user needs root.");
    }
    Folders folders;
    Vault opened(folders.path("data"));
    if (whileRunning) {
        folders.root.write("data/cnfg.tab", settings);
        QVERIFY(opened.open().ok());
    }
    folders.apply(steps);
    shown = folders.expand(shown);
    const QByteArray vaultBefore = bytesOf(folders.path("data/pswd.tab"));
    const QList<StorageResult> results =
        whileRunning ? QList<StorageResult>{opened.addEntry("Casa"), opened.saveSettings("nova", true)}
                     : QList<StorageResult>{opened.open()};
    for (const StorageResult& result : results) {
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY2(result.message.contains(shown), qPrintable(result.message));
        QVERIFY(result.message.contains(whileRunning ? "Nada foi gravado." : "Nada foi lido nem gravado."));
    }
    QCOMPARE(opened.entries().size(), whileRunning ? 1 : 0);
    QCOMPARE(opened.settings().masterPassword, QByteArray(whileRunning ? "8046" : ""));
    QVERIFY(whileRunning || !QFileInfo(folders.path("data/cnfg.tab")).isFile());
    QCOMPARE(bytesOf(folders.path("other/victim")), victim);
    QCOMPARE(bytesOf(folders.path("data/pswd.tab")), vaultBefore);
}

// A link of the user's own, straight to a file of the user's own in a closed folder, is read and written through.
void TestDataFileCheck::followsOwnLinkToSafeFile()
{
    Folders folders;
    folders.root.write("data/cnfg.tab", settings);
    folders.apply("move data/pswd.tab other/kept.tab; link other/kept.tab data/pswd.tab");
    Vault opened(folders.path("data"));
    QVERIFY(opened.open().ok());
    QCOMPARE(opened.entries().size(), 1);
    QVERIFY(opened.addEntry("Casa\xA7----/----/----").ok());
    QVERIFY(QFileInfo(folders.path("data/pswd.tab")).isSymLink());
    Vault again(folders.path("data"));
    QVERIFY(again.open().ok());
    QCOMPARE(again.entries().size(), 2);
    QCOMPARE(bytesOf(folders.path("data/pswd.tab")), bytesOf(folders.path("other/kept.tab")));
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
