#include "app/commandline.h"
#include "app/datalocation.h"
#include "app/programcommands.h"
#include "app/programidentity.h"
#include "support/datafolder.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

const QString appData = QStringLiteral("/home/ana/.local/share/Corvelo/KeyHound");

// Makes the folder read-only for real, keeping the file put there: for root, whom permission bits do not stop, a
// tmpfs is mounted on it, the file written and the tmpfs turned read-only. False when this machine cannot.
bool makeReadOnly(const DataFolder& home, const QString& folder, const QString& fileThere)
{
    const auto mount = [&](const QString& options) {
        return QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", home.filePath(folder)}) == 0;
    };
    if (geteuid() == 0 && !mount("size=64k")) {
        return false;
    }
    home.write(folder + '/' + (fileThere.isEmpty() ? QStringLiteral("x") : fileThere), "x");
    QFile::remove(home.filePath(folder + "/x"));
    return geteuid() == 0 ? mount("remount,ro")
                          : QFile::setPermissions(home.filePath(folder), QFile::ReadOwner | QFile::ExeOwner);
}

void undoReadOnly(const DataFolder& home, const QString& folder)
{
    geteuid() == 0
        ? void(QProcess::execute("umount", {home.filePath(folder)}))
        : void(QFile::setPermissions(home.filePath(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

// The command line as a user types it, and where the program keeps its data files.
class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nameProgram(); }
    void arguments_data();
    void arguments();
    void dataFolder_data();
    void dataFolder();
    void preparedDataFolder();
};

void CommandLineTest::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");  // what standard output starts with
    QTest::addColumn<int>("exitCode");  // -1: no job, the window opens
    QTest::addColumn<QString>("error"); // what standard error starts with

    const QString hint = QStringLiteral("\nUse keyhound --help para ver as opções.\n");
    const QString badValue = QStringLiteral("Uma opção está sem o seu valor, ou recebeu um que não aceita.") + hint;
    QTest::newRow("no option opens the window") << QStringList() << "" << -1 << "";
    QTest::newRow("the data folder beside a writable executable")
        << QStringList{"--data-folder"} << QCoreApplication::applicationDirPath() + '\n'
        << 0 << "";
    QTest::newRow("help answers alongside another job")
        << QStringList{"--data-folder", "-h"} << "Uso: keyhound [opção]\n"
        << 0 << "";
    QTest::newRow("version") << QStringList{"--version"} << "KeyHound 1" << 0 << "";
    QTest::newRow("the value reaches its job") << QStringList{"--import", "/sem/contas;1.csv"} << "" << 1
                                               << "Não foi possível ler o arquivo /sem/contas;1.csv";
    QTest::newRow("unknown option") << QStringList{"--data-folders"} << "" << 2
                                    << "Opção desconhecida: --data-folders" + hint;
    QTest::newRow("missing value") << QStringList{"--export"} << "" << 2 << badValue;
    QTest::newRow("a value given to an option without one") << QStringList{"--data-folder=/tmp"} << "" << 2 << badValue;
    QTest::newRow("stray argument") << QStringList{"pswd.tab"} << "" << 2 << "Argumento inesperado: pswd.tab" + hint;
    QTest::newRow("two jobs at once") << QStringList{"--data-folder", "--version"} << "" << 2
                                      << "Use uma opção de cada vez." + hint;
}

void CommandLineTest::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QFETCH(QString, error);
    CommandLine commandLine(QStringLiteral("Repositório de senhas."));
    addProgramCommands(commandLine);
    QCOMPARE(commandLine.parse(QStringList{"/usr/bin/keyhound"} + arguments), exitCode >= 0);
    const CommandOutput output = exitCode >= 0 ? commandLine.run() : CommandOutput{-1, {}, {}};
    QCOMPARE(output.exitCode, exitCode);
    QVERIFY2(text.isEmpty() ? output.text.isEmpty() : output.text.startsWith(text), qPrintable(output.text));
    QVERIFY2(error.isEmpty() ? output.error.isEmpty() : output.error.startsWith(error), qPrintable(output.error));
}

void CommandLineTest::dataFolder_data()
{
    QTest::addColumn<QString>("executableFolder"); // empty: a fresh folder of the test's own
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("fileThere");
    QTest::addColumn<bool>("besideExecutable");
    QTest::addColumn<QString>("sandbox"); // a variable set, or the Flatpak info file

    QTest::newRow("first start of a portable copy") << "" << false << "" << true << "";
    QTest::newRow("files beside") << "" << false << "cnfg.tab" << true << "";
    QTest::newRow("read-only, first start") << "" << true << "" << false << "";
    QTest::newRow("read-only, other files") << "" << true << "cnfg.tab.bak" << false << "";
    QTest::newRow("read-only, holding the vault: the entries stay in sight") << "" << true << "pswd.tab" << true << "";
    QTest::newRow("/usr/bin, writable by root") << "/usr/bin" << false << "" << false << "";
    QTest::newRow("a link to /usr/bin") << "link" << false << "" << false << "";
    QTest::newRow("a folder in /opt") << "/opt" << false << "" << false << "";
    QTest::newRow("Flatpak") << "" << false << "" << false << "FLATPAK_ID=example.corvelo.KeyHound";
    QTest::newRow("Flatpak info file") << "" << false << "" << false << "flatpak info file";
    QTest::newRow("AppImage") << "" << false << "cnfg.tab" << false << "APPIMAGE=/home/ana/kh.AppImage";
    QTest::newRow("empty AppImage variable") << "" << false << "" << true << "APPIMAGE=";
}

// A portable copy keeps its data beside the executable; an installed one in the user's application data folder.
void CommandLineTest::dataFolder()
{
    QFETCH(QString, executableFolder);
    QFETCH(QString, fileThere);
    QFETCH(bool, readOnly);
    QFETCH(QString, sandbox);
    const DataFolder home;
    QString folder = executableFolder;
    if (folder.isEmpty()) {
        folder = home.filePath("bin");
        QVERIFY(QDir().mkdir(folder));
        if (readOnly && !makeReadOnly(home, "bin", fileThere)) {
            QSKIP("No read-only folder can be made here");
        }
        if (!readOnly && !fileThere.isEmpty()) {
            home.write("bin/" + fileThere, "x");
        }
    } else if (folder == "link") {
        folder = home.filePath("link");
        QVERIFY(QFile::link("/usr/bin", folder));
    }
    // Writable for root, so that only its place counts.
    const QTemporaryDir opt(QStringLiteral("/opt/keyhound-XXXXXX"));
    folder = folder == "/opt" && opt.isValid() ? opt.path() : folder;
    QProcessEnvironment variables;
    variables.insert(sandbox.section('=', 0, 0), sandbox.section('=', 1));
    const InstallationFacts facts = DataLocation::factsAbout(folder, variables, sandbox == "flatpak info file");
    const QString chosen = DataLocation::folderFor(facts, appData);
    if (readOnly) {
        undoReadOnly(home, "bin");
    }
    QFETCH(bool, besideExecutable);
    QCOMPARE(chosen, besideExecutable ? QFileInfo(folder).canonicalFilePath() : appData);
}

// The data folder is made readable by its owner only; where it cannot be made, the user is told which folder to fix.
void CommandLineTest::preparedDataFolder()
{
    const DataFolder home;
    const QString folder = home.filePath(".local/share/Corvelo/KeyHound");
    QCOMPARE(DataLocation::prepare(folder), QString());
    QCOMPARE(QFile::permissions(folder) & 0x0077, QFile::Permissions());
    QCOMPARE(DataLocation::prepare(folder), QString());
    QVERIFY(QDir().mkdir(home.filePath("share")));
    if (!makeReadOnly(home, "share", {})) {
        QSKIP("No read-only folder can be made here");
    }
    const QString problem = DataLocation::prepare(home.filePath("share/Corvelo/KeyHound"));
    undoReadOnly(home, "share");
    QCOMPARE(problem, QStringLiteral("Não foi possível criar a pasta de dados %1/Corvelo/KeyHound.\nVerifique se a "
                                     "pasta %1/Corvelo permite gravação.")
                          .arg(home.filePath("share")));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
