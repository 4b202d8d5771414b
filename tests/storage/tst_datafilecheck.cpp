#include "referencecodec.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

const QByteArray banco = "Banco\xA7----/----/----", casa = "Casa\xA7----/----/----";

// The bytes of a regular file, through a link too; nothing for anything else (opening a pipe would wait).
QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Data folders and files that another user could change, or that are no files at all: refused at start-up with
// nothing read or written, and refused again before every save.
class TestDataFileCheck : public QObject
{
    Q_OBJECT

private slots:
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
        row("own link to an own file in a closed folder is followed", false, linkedAway, "");
        row("folder opened to everyone", true, "chmod 777 data", "chmod 700 %data");
        // Another user's links to a file the user owns elsewhere, which the save would overwrite.
        row("files swapped for another user's links", true,
            "cd data; ln -sf ../other/victim pswd.tab; ln -sf ../other/victim cnfg.tab; chown -h nobody *.tab",
            "O link pertence a outro usuário");
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
        root.write("data/pswd.tab", ReferenceCodec::file({banco}, "311299"));
        root.write("other/victim", "a file of the user's own elsewhere");
        root.write("data/cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        Vault opened(path("data"));
        QVERIFY(!whileRunning || opened.open().ok());
        QCOMPARE(QProcess::execute("sh", {"-ec", "cd " + root.path() + "; " + steps}), 0);
        if (shown.isEmpty()) {
            QVERIFY(opened.open().ok() && opened.addEntry(casa).ok());
            QVERIFY(QFileInfo(path("data/pswd.tab")).isSymLink());
            QCOMPARE(bytesOf(path("other/pswd.tab")), ReferenceCodec::file({banco, casa}, "311299"));
            return;
        }
        shown.replace("%data", path("data")).replace("%other", path("other"));
        const QByteArray before = bytesOf(path("data/pswd.tab")) + bytesOf(path("data/cnfg.tab"));
        const QList<StorageResult> results =
            whileRunning ? QList<StorageResult>{opened.addEntry(casa), opened.saveSettings("nova", true)}
                         : QList<StorageResult>{opened.open()};
        for (const StorageResult& result : results) {
            QCOMPARE(result.status, StorageResult::Failed);
            QVERIFY2(result.message.contains(shown), qPrintable(result.message));
            QVERIFY(result.message.contains(whileRunning ? "Nada foi gravado." : "Nada foi lido nem gravado."));
        }
        QCOMPARE(opened.entries().size(), whileRunning ? 1 : 0);
        QCOMPARE(opened.settings().masterPassword, QByteArray(whileRunning ? "8046" : ""));
        QCOMPARE(bytesOf(path("other/victim")), QByteArray("a file of the user's own elsewhere"));
        QCOMPARE(bytesOf(path("data/pswd.tab")) + bytesOf(path("data/cnfg.tab")), before);
    }

    // A vault far larger than any real one (a sparse file, so the test costs no disk) is read only if the user agrees.
    void largeFileNeedsConsent()
    {
        DataFolder data;
        data.write("cnfg.tab", ReferenceCodec::settingsFile("311299", "8046", "N\xE3o"));
        QFile huge(data.filePath("pswd.tab"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((qint64(256) << 20) + 1));
        huge.close();
        QString asked;
        Vault opened(data.path());
        opened.setLargeFileConfirmation([&asked](const QString& question) { return asked += question, false; });
        const StorageResult result = opened.open();
        QCOMPARE(result.status, StorageResult::Failed);
        QVERIFY(asked.contains(data.filePath("pswd.tab") + " tem 256 MB") && result.message.contains("não foi aberto"));
        QCOMPARE(QFileInfo(data.filePath("pswd.tab")).size(), (qint64(256) << 20) + 1);
        QVERIFY(!QFileInfo::exists(data.filePath("pswd.tab.danificado")));
    }
};

QTEST_GUILESS_MAIN(TestDataFileCheck)
#include "tst_datafilecheck.moc"
