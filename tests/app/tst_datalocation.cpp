#include "app/datalocation.h"
#include "support/datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

const QString appData = QStringLiteral("/home/ana/.local/share/Corvelo/KeyHound");

// Makes the folder read-only for real: for root, permission bits stop nothing, so a read-only file system is
// mounted on it. Returns false when this machine cannot.
bool makeReadOnly(const QString& folder)
{
    if (geteuid() != 0) {
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    return QProcess::execute(QStringLiteral("mount"),
                             {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                              QStringLiteral("ro,size=64k"), QStringLiteral("tmpfs"), folder}) == 0;
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
    void facts_data();
    void facts();
    void readOnlyFolderIsSeen();
    void preparedFolderIsOwnerOnly();
    void preparationFailureIsReported();
};

void DataLocationTest::folder_data()
{
    QTest::addColumn<QString>("executableFolder");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("filesThere");
    QTest::addColumn<bool>("sandboxed");
    QTest::addColumn<QString>("expected");

    const QString home = QStringLiteral("/home/ana/KeyHound");
    QTest::newRow("portable folder") << home << true << true << false << home;
    QTest::newRow("portable folder, first start") << home << true << false << false << home;
    QTest::newRow("read-only folder, first start") << home << false << false << false << appData;
    QTest::newRow("read-only folder holding the files") << home << false << true << false << home;
    QTest::newRow("/usr/bin, even writable by root") << QStringLiteral("/usr/bin") << true << false << false << appData;
    QTest::newRow("/usr/local/bin") << QStringLiteral("/usr/local/bin") << false << false << false << appData;
    QTest::newRow("/usr with files left by root")
        << QStringLiteral("/usr/local/bin") << true << true << false << appData;
    QTest::newRow("/opt") << QStringLiteral("/opt/keyhound") << false << false << false << appData;
    QTest::newRow("a name only starting like /usr")
        << QStringLiteral("/usrdata/kh") << true << false << false << QStringLiteral("/usrdata/kh");
    QTest::newRow("a name only starting like /opt")
        << QStringLiteral("/optional") << true << false << false << QStringLiteral("/optional");
    QTest::newRow("Flatpak or AppImage") << QStringLiteral("/app/bin") << true << false << true << appData;
    QTest::newRow("AppImage holding files beside it")
        << QStringLiteral("/tmp/.mount_kh/usr") << false << true << true << appData;
}

void DataLocationTest::folder()
{
    QFETCH(QString, executableFolder);
    QFETCH(bool, writable);
    QFETCH(bool, filesThere);
    QFETCH(bool, sandboxed);
    const InstallationFacts facts{executableFolder, writable, filesThere, sandboxed};
    QTEST(DataLocation::folderFor(facts, appData), "expected");
}

void DataLocationTest::facts_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("flatpakInfo");
    QTest::addColumn<QString>("fileThere");
    QTest::addColumn<bool>("sandboxed");
    QTest::addColumn<bool>("filesThere");

    QTest::newRow("plain folder") << QStringList() << false << QString() << false << false;
    QTest::newRow("settings beside") << QStringList() << false << QStringLiteral("cnfg.tab") << false << true;
    QTest::newRow("vault beside") << QStringList() << false << QStringLiteral("pswd.tab") << false << true;
    QTest::newRow("other files only") << QStringList() << false << QStringLiteral("cnfg.tab.bak") << false << false;
    QTest::newRow("Flatpak id") << QStringList{QStringLiteral("FLATPAK_ID=example.corvelo.KeyHound")} << false
                                << QString() << true << false;
    QTest::newRow("Flatpak info file") << QStringList() << true << QString() << true << false;
    QTest::newRow("AppImage") << QStringList{QStringLiteral("APPIMAGE=/home/ana/KeyHound.AppImage")} << false
                              << QString() << true << false;
    QTest::newRow("empty AppImage variable")
        << QStringList{QStringLiteral("APPIMAGE=")} << false << QString() << false << false;
}

void DataLocationTest::facts()
{
    QFETCH(QStringList, environment);
    QFETCH(bool, flatpakInfo);
    QFETCH(QString, fileThere);
    DataFolder folder;
    if (!fileThere.isEmpty()) {
        folder.write(fileThere, "x");
    }
    QProcessEnvironment variables;
    for (const QString& variable : environment) {
        variables.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    }
    const InstallationFacts facts = DataLocation::factsAbout(folder.path(), variables, flatpakInfo);
    QTEST(facts.sandboxed, "sandboxed");
    QTEST(facts.dataFilesBesideExecutable, "filesThere");
    QVERIFY(facts.executableFolderWritable);
}

void DataLocationTest::readOnlyFolderIsSeen()
{
    DataFolder folder;
    const QString bin = folder.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkdir(bin));
    if (!makeReadOnly(bin)) {
        QSKIP("No read-only folder can be made here");
    }
    const InstallationFacts facts = DataLocation::factsAbout(bin, {}, false);
    undoReadOnly(bin);
    QVERIFY(!facts.executableFolderWritable);
    QCOMPARE(DataLocation::folderFor(facts, appData), appData);

    // A link to the program's folder under /usr is the folder under /usr.
    const QString link = folder.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(QStringLiteral("/usr/bin"), link));
    QVERIFY(DataLocation::isInstalled(DataLocation::factsAbout(link, {}, false)));
}

void DataLocationTest::preparedFolderIsOwnerOnly()
{
    DataFolder home;
    const QString folder = home.filePath(QStringLiteral(".local/share/Corvelo/KeyHound"));
    QCOMPARE(DataLocation::prepare(folder), QString());
    QCOMPARE(QFileInfo(folder).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Preparing it again leaves it as it is.
    QCOMPARE(DataLocation::prepare(folder), QString());
}

void DataLocationTest::preparationFailureIsReported()
{
    DataFolder home;
    const QString share = home.filePath(QStringLiteral("share"));
    QVERIFY(QDir().mkdir(share));
    if (!makeReadOnly(share)) {
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
