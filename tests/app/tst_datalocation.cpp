#include "app/datalocation.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

const QString appData = QStringLiteral("/home/ana/.local/share/Corvelo/KeyHound");

void putFile(const QString& folder, const QString& name)
{
    QFile file(QDir(folder).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
}

// Makes the folder read-only for real, keeping what it holds: for root, permission bits stop nothing, so a tmpfs is
// mounted there, filled and turned read-only. Returns false when this machine cannot.
bool makeReadOnly(const QString& folder, const QString& fileInside)
{
    const auto mount = [&folder](const QString& options) {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                  QStringLiteral("tmpfs"), folder}) == 0;
    };
    if (geteuid() == 0 && !mount(QStringLiteral("size=64k"))) {
        return false;
    }
    if (!fileInside.isEmpty()) {
        putFile(folder, fileInside);
    }
    return geteuid() == 0 ? mount(QStringLiteral("remount,ro"))
                          : QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
}

void undoReadOnly(const QString& folder)
{
    if (geteuid() == 0) {
        QProcess::execute(QStringLiteral("umount"), {folder});
    } else {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

} // namespace

class DataLocationTest : public QObject
{
    Q_OBJECT

private slots:
    void folder_data();
    void folder();
    void preparedFolderIsOwnerOnly();
    void preparationFailureIsReported();
};

void DataLocationTest::folder_data()
{
    QTest::addColumn<QString>("executableFolder"); // empty: a fresh folder of the test's own
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("fileThere");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<bool>("flatpakInfo");
    QTest::addColumn<bool>("portable");

    const QString none;
    QTest::newRow("first start") << none << false << none << none << false << true;
    QTest::newRow("files beside") << none << false << "cnfg.tab" << none << false << true;
    QTest::newRow("read-only, first start") << none << true << none << none << false << false;
    QTest::newRow("read-only, other files") << none << true << "cnfg.tab.bak" << none << false << false;
    // The user's entries are there: they are not hidden behind an empty new vault.
    QTest::newRow("read-only, holding the vault") << none << true << "pswd.tab" << none << false << true;
    QTest::newRow("/usr/bin, writable by root") << "/usr/bin" << false << none << none << false << false;
    QTest::newRow("link to /usr/bin") << "link" << false << none << none << false << false;
    QTest::newRow("/opt") << "/opt/keyhound" << false << none << none << false << false;
    QTest::newRow("Flatpak") << none << false << none << "FLATPAK_ID=example.corvelo.KeyHound" << false << false;
    QTest::newRow("Flatpak info file") << none << false << none << none << true << false;
    QTest::newRow("AppImage") << none << false << "cnfg.tab"
                              << "APPIMAGE=/home/ana/kh.AppImage" << false << false;
    QTest::newRow("empty AppImage variable") << none << false << none << "APPIMAGE=" << false << true;
}

void DataLocationTest::folder()
{
    QFETCH(QString, executableFolder);
    QFETCH(bool, readOnly);
    QFETCH(QString, fileThere);
    QFETCH(QString, environment);
    QFETCH(bool, flatpakInfo);
    QFETCH(bool, portable);

    const DataFolder home;
    QString folder = executableFolder;
    if (folder == QLatin1String("link")) {
        folder = home.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(QStringLiteral("/usr/bin"), folder));
    } else if (folder.isEmpty()) {
        folder = home.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkdir(folder));
        if (readOnly && !makeReadOnly(folder, fileThere)) {
            QSKIP("No read-only folder can be made here");
        }
        if (!readOnly && !fileThere.isEmpty()) {
            putFile(folder, fileThere);
        }
    }
    QProcessEnvironment variables;
    if (!environment.isEmpty()) {
        variables.insert(environment.section(QLatin1Char('='), 0, 0), environment.section(QLatin1Char('='), 1));
    }
    const QString chosen = DataLocation::folderFor(DataLocation::factsAbout(folder, variables, flatpakInfo), appData);
    if (readOnly) {
        undoReadOnly(folder);
    }
    QCOMPARE(chosen, portable ? QFileInfo(folder).canonicalFilePath() : appData);
}

void DataLocationTest::preparedFolderIsOwnerOnly()
{
    const DataFolder home;
    const QString folder = home.filePath(QStringLiteral(".local/share/Corvelo/KeyHound"));
    QCOMPARE(DataLocation::prepare(folder), QString());
    QCOMPARE(QFileInfo(folder).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Preparing it again leaves it as it is.
    QCOMPARE(DataLocation::prepare(folder), QString());
}

void DataLocationTest::preparationFailureIsReported()
{
    const DataFolder home;
    const QString share = home.filePath(QStringLiteral("share"));
    QVERIFY(QDir().mkdir(share));
    if (!makeReadOnly(share, QString())) {
        QSKIP("No read-only folder can be made here");
    }
    const QString problem = DataLocation::prepare(share + QStringLiteral("/Corvelo/KeyHound"));
    undoReadOnly(share);
    QCOMPARE(problem, QStringLiteral("Não foi possível criar a pasta de dados %1/Corvelo/KeyHound.\nVerifique se a "
                                     "pasta %1/Corvelo permite gravação.")
                          .arg(share));
}

QTEST_GUILESS_MAIN(DataLocationTest)
#include "tst_datalocation.moc"
