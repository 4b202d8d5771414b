#include "referencecodec.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

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

const QByteArray settings = ReferenceCodec::settingsFile("311299", "8046", "N\xE3o");
const QByteArray victim = "a file of the user's own elsewhere";

// The bytes of a regular file, through a link too; nothing for anything else (opening a pipe would wait).
QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A root folder holding the data folder "data", with pswd.tab, and beside it "other", with a file "victim".
struct Folders
{
    Folders()
    {
        QDir(root.path()).mkpath("data");
        QDir(root.path()).mkpath("other");
        QFile::setPermissions(path("data"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        root.write("data/pswd.tab", ReferenceCodec::file({"Banco\xA7----/----/----"}, "311299"));
        root.write("other/victim", victim);
    }

    QString path(const QString& name) const { return root.filePath(name); }
    // Shell commands run in the root folder, as a careless user or another local user would type them.
    void run(const QString& commands) const
    {
        QVERIFY(QProcess::execute("sh", {"-ec", "cd " + root.path() + "; " + commands}) == 0);
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
    QTest::addColumn<QString>("shown"); // %data and %other stand for the folders' paths
    const auto row = [](const char* name, bool whileRunning, const QString& steps, const char* shown) {
        QTest::newRow(name) << whileRunning << steps << QString::fromUtf8(shown);
    };
    const QString linkedAway = "mv data/pswd.tab other; ln -s $PWD/other/pswd.tab data/pswd.tab";
    row("folder writable by the group", false, "chmod 770 data", "(permissões 770)");
    row("vault writable by everyone", false, "chmod 666 data/pswd.tab", "chmod 600 %data/pswd.tab");
    row("folder of another user", false, "chown nobody data",
        "A pasta de dados %data pertence a outro usuário (nobody)");
    row("vault of another user", false, "chown nobody data/pswd.tab", "sudo chown root %data/pswd.tab");
    row("vault is a named pipe", false, "rm data/pswd.tab; mkfifo data/pswd.tab",
        "não é um arquivo comum, e sim um pipe");
    row("vault links into a folder open to everyone", false, linkedAway + "; chmod 777 other", "chmod 700 %other");
    row("vault links to a link", false,
        linkedAway + "; mv data/pswd.tab other/link; ln -s $PWD/other/link data/pswd.tab", "outro link simbólico");
    row("vault link of another user", false, linkedAway + "; chown -h nobody data/pswd.tab",
        "O link pertence a outro usuário");
    row("folder opened to everyone", true, "chmod 777 data", "chmod 700 %data");
    // Another user's links to a file the user owns elsewhere, which the save would overwrite.
    row("files swapped for another user's links", true,
        "cd data; ln -sf ../other/victim pswd.tab; ln -sf ../other/victim cnfg.tab; chown -h nobody *.tab",
        "O link pertence a outro usuário");
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
    folders.run(steps);
    shown.replace("%data", folders.path("data")).replace("%other", folders.path("other"));
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
    folders.run("mv data/pswd.tab other/kept.tab; ln -s ../other/kept.tab data/pswd.tab");
    Vault opened(folders.path("data"));
    QVERIFY(opened.open().ok() && opened.addEntry("Casa\xA7----/----/----").ok());
    QVERIFY(QFileInfo(folders.path("data/pswd.tab")).isSymLink());
    QCOMPARE(bytesOf(folders.path("other/kept.tab")),
             ReferenceCodec::file({"Banco\xA7----/----/----", "Casa\xA7----/----/----"}, "311299"));
}

// A vault far larger than any real one (a sparse file, so the test costs no disk) is read only if the user agrees.
void TestDataFileCheck::largeFileNeedsConsent()
{
    DataFolder data;
    data.write("cnfg.tab", settings);
    QFile huge(data.filePath("pswd.tab"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(256) << 20) + 1));
    huge.close();
    QString asked;
    Vault opened(data.path());
    opened.setLargeFileConfirmation([&asked](const QString& question) {
        asked += question;
        return false;
    });
    const StorageResult result = opened.open();
    QCOMPARE(result.status, StorageResult::Failed);
    QVERIFY(asked.contains(data.filePath("pswd.tab") + " tem 256 MB") && result.message.contains("não foi aberto"));
    QCOMPARE(QFileInfo(data.filePath("pswd.tab")).size(), (qint64(256) << 20) + 1);
    QVERIFY(!QFileInfo::exists(data.filePath("pswd.tab.danificado")));
}

QTEST_GUILESS_MAIN(TestDataFileCheck)
#include "tst_datafilecheck.moc"
