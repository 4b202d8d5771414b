#include "access/loginwindow.h"
#include "app/commandline.h"
#include "app/datafolderlock.h"
#include "app/datalocation.h"
#include "app/programcommands.h"
#include "app/programidentity.h"
#include "app/qttranslation.h"
#include "app/wakechannel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "support/input.h"
#include "support/vaultfixture.h"

#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QTranslator>

#include <future>
#include <signal.h>
#include <unistd.h>

namespace {

const QString appData = QStringLiteral("/home/ana/.local/share/Corvelo/KeyHound");

// For root, whom permission bits do not stop, a tmpfs made read-only; the file named is put there first.
bool makeReadOnly(const QString& folder, const QString& fileThere)
{
    const auto mount = [&](const QString& options) {
        return QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", folder}) == 0;
    };
    const auto put = [&] { return fileThere.isEmpty() || QFile(folder + '/' + fileThere).open(QIODevice::WriteOnly); };
    return QDir().mkpath(folder) && (geteuid() != 0 || mount("size=64k")) && put() &&
           (geteuid() == 0 ? mount("remount,ro") : QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
}

void undoReadOnly(const QString& folder)
{
    geteuid() == 0 ? void(QProcess::execute("umount", {folder}))
                   : void(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

constexpr int patience = 30000;

struct PortableCopy
{
    PortableCopy() { QFile::copy(QStringLiteral(KEYHOUND_BINARY), folder.filePath("keyhound")); }
    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) const
    {
        auto process = std::make_unique<QProcess>(); // offscreen, as this test is
        process->start(folder.filePath("keyhound"), arguments);
        return process;
    }
    qint64 lockHolder() const
    {
        qint64 pid = 0;
        QLockFile(folder.filePath(DataFolderLock::fileName)).getLockInfo(&pid, nullptr, nullptr);
        return pid;
    }
    QByteArray dataFiles() const { return folder.read("cnfg.tab") + '|' + folder.read("pswd.tab"); }
    QStringList fileNames() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }
    DataFolder folder;
};

} // namespace

class ProgramStartTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { nameProgram(); }

    void qtSpeaksPortuguese_data()
    {
        QTest::addColumn<QString>("system");
        QTest::newRow("Brazilian system") << "pt_BR";
        QTest::newRow("European Portuguese system: Qt has only the Brazilian") << "pt_PT";
        QTest::newRow("English system: the program's own language") << "en_US";
        QTest::newRow("a language Qt has too: still the program's own") << "de_DE";
    }

    // A box's context menu, which Qt writes, reads in the language of the program's own texts.
    void qtSpeaksPortuguese()
    {
        QFETCH(QString, system);
        QLocale::setDefault(QLocale(system));
        QVERIFY(loadQtTranslation(*qApp));
        QLineEdit box(QStringLiteral("texto"));
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << action->text().section('\t', 0, 0);
            }
        }
        qDeleteAll(qApp->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts, QStringList(
                            {"&Desfazer", "&Refazer", "Recor&tar", "&Copiar", "C&olar", "Excluir", "Selecionar tudo"}));
    }

    void arguments_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("exitCode"); // -1: no job, the window opens; 2: refused, with the way to the help
        QTest::addColumn<QString>("said"); // how standard output starts on success, standard error otherwise
        const QString badValue = QStringLiteral("Uma opção está sem o seu valor, ou recebeu um que não aceita.\n");
        QTest::newRow("no option opens the window") << "" << -1 << "";
        QTest::newRow("help answers alongside another job") << "--data-folder -h" << 0 << "Uso: keyhound [opção]\n";
        QTest::newRow("version") << "--version" << 0 << "KeyHound 1";
        QTest::newRow("the value reaches its job")
            << "--import /sem/contas;1.csv" << 1 << "Não foi possível ler o arquivo /sem/contas;1.csv";
        QTest::newRow("unknown option") << "--data-folders" << 2 << "Opção desconhecida: --data-folders\n";
        QTest::newRow("missing value") << "--export" << 2 << badValue;
        QTest::newRow("a value given to an option without one") << "--data-folder=/tmp" << 2 << badValue;
        QTest::newRow("stray argument") << "pswd.tab" << 2 << "Argumento inesperado: pswd.tab\n";
        QTest::newRow("two jobs at once") << "--data-folder --version" << 2 << "Use uma opção de cada vez.\n";
    }

    void arguments()
    {
        QFETCH(QString, typed);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        CommandLine commandLine(QStringLiteral("Repositório de senhas."));
        addProgramCommands(commandLine);
        QCOMPARE(commandLine.parse(QStringList{"keyhound"} + typed.split(' ', Qt::SkipEmptyParts)), exitCode >= 0);
        const CommandOutput output = exitCode >= 0 ? commandLine.run() : CommandOutput{-1, {}, {}};
        QCOMPARE(output.exitCode, exitCode);
        QCOMPARE((exitCode == 0 ? output.text : output.error).left(said.size()), said);
        QCOMPARE(exitCode == 0 ? output.error : output.text, QString());
        QCOMPARE(output.error.endsWith("\nUse keyhound --help para ver as opções.\n"), exitCode == 2);
    }

    void dataFolder_data()
    {
        QTest::addColumn<QString>("place"); // a folder of the test's own, writable or read-only, or a system one
        QTest::addColumn<QString>("fileThere");
        QTest::addColumn<QString>("sandbox"); // a variable set, or the Flatpak info file
        QTest::addColumn<bool>("besideExecutable");
        const auto row = [](const char* name, const char* place, const char* fileThere, const char* sandbox,
                            bool beside) {
            QTest::newRow(name) << QString(place) << QString(fileThere) << QString(sandbox) << beside;
        };
        row("first start of a portable copy", "own", "", "", true);
        row("files beside", "own", "cnfg.tab", "", true);
        row("read-only, first start", "read-only", "", "", false);
        row("read-only, other files", "read-only", "cnfg.tab.bak", "", false);
        row("read-only, holding the vault: the entries stay in sight", "read-only", "pswd.tab", "", true);
        row("/usr/bin, writable by root", "/usr/bin", "", "", false);
        row("a link to /usr/bin", "link", "", "", false);
        row("a folder in /opt", "/opt", "", "", false);
        row("Flatpak", "own", "", "FLATPAK_ID=example.corvelo.KeyHound", false);
        row("Flatpak info file", "own", "", "flatpak info file", false);
        row("AppImage", "own", "cnfg.tab", "APPIMAGE=/home/ana/kh.AppImage", false);
        row("empty AppImage variable", "own", "", "APPIMAGE=", true);
    }

    void dataFolder()
    {
        QFETCH(QString, place);
        QFETCH(QString, fileThere);
        QFETCH(QString, sandbox);
        const DataFolder home;
        const QTemporaryDir opt(QStringLiteral("/opt/keyhound-XXXXXX")); // writable for root: only its place counts
        const QString folder = place == "/opt" && opt.isValid() ? opt.path()
                               : place.startsWith('/')          ? place
                                                                : home.filePath(place);
        QVERIFY(place == "link" ? QFile::link("/usr/bin", folder) : place.startsWith('/') || QDir().mkdir(folder));
        if (place == "read-only" && !makeReadOnly(folder, fileThere)) {
            QSKIP("No read-only folder can be made here");
        }
        QVERIFY(place != "own" || fileThere.isEmpty() || QFile(folder + '/' + fileThere).open(QIODevice::WriteOnly));
        QProcessEnvironment variables;
        variables.insert(sandbox.section('=', 0, 0), sandbox.section('=', 1));
        const InstallationFacts facts = DataLocation::factsAbout(folder, variables, sandbox == "flatpak info file");
        const QString chosen = DataLocation::folderFor(facts, appData);
        if (place == "read-only") {
            undoReadOnly(folder);
        }
        QFETCH(bool, besideExecutable);
        QCOMPARE(chosen, besideExecutable ? QFileInfo(folder).canonicalFilePath() : appData);
    }

    void preparedDataFolder()
    {
        const DataFolder home;
        const QString folder = home.filePath(".local/share/Corvelo/KeyHound");
        QCOMPARE(DataLocation::prepare(folder), QString());
        QCOMPARE(QFile::permissions(folder) & 0x0077, QFile::Permissions());
        QCOMPARE(DataLocation::prepare(folder), QString());
        if (!makeReadOnly(home.filePath("share"), {})) {
            QSKIP("No read-only folder can be made here");
        }
        const QString problem = DataLocation::prepare(home.filePath("share/Corvelo/KeyHound"));
        undoReadOnly(home.filePath("share"));
        QCOMPARE(problem, QStringLiteral("Não foi possível criar a pasta de dados %1/Corvelo/KeyHound.\nVerifique se a "
                                         "pasta %1/Corvelo permite gravação.")
                              .arg(home.filePath("share")));
    }

    void secondStart_data()
    {
        QTest::addColumn<int>("signalToFirst"); // 0: none
        QTest::addColumn<bool>("lockOld");
        QTest::newRow("first copy running: woken, second ends") << 0 << false;
        QTest::newRow("first copy open for years: woken all the same") << 0 << true;
        QTest::newRow("first copy killed: its lock is taken over") << SIGKILL << false;
        QTest::newRow("first copy not answering: said so, nothing touched") << SIGSTOP << false;
    }

    void secondStart()
    {
        QFETCH(int, signalToFirst);
        QFETCH(bool, lockOld);
        const PortableCopy copy;
        const auto firstCopy = copy.start();
        const qint64 firstId = firstCopy->processId();
        QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), firstId, patience);
        QTRY_VERIFY_WITH_TIMEOUT(copy.fileNames().contains("pswd.tab"), patience);
        const QByteArray before = copy.dataFiles();
        QVERIFY(signalToFirst == 0 || ::kill(firstId, signalToFirst) == 0);
        QVERIFY(signalToFirst != SIGKILL || firstCopy->waitForFinished());
        QVERIFY(!lockOld || QProcess::execute("touch", {"-d@0", copy.folder.filePath(DataFolderLock::fileName)}) == 0);

        const auto second = copy.start();
        if (signalToFirst == SIGKILL) {
            QTRY_COMPARE_WITH_TIMEOUT(copy.lockHolder(), second->processId(), patience);
            // It answers a later start in turn, though the killed copy left its socket behind.
            QCOMPARE(QProcess::execute(copy.folder.filePath("keyhound")), 0);
        } else if (signalToFirst == SIGSTOP) {
            QByteArray errors;
            QTRY_VERIFY_WITH_TIMEOUT((errors += second->readAllStandardError()).contains("mas não respondeu"),
                                     patience);
        } else {
            QVERIFY(second->waitForFinished(patience) && second->exitCode() == 0);
        }
        QCOMPARE(copy.lockHolder(), signalToFirst == SIGKILL ? second->processId() : firstId);
        QCOMPARE(copy.dataFiles(), before);
    }

    void dataFolderOptionOpensNothing()
    {
        const PortableCopy copy;
        const auto process = copy.start({"--data-folder"});
        QVERIFY(process->waitForFinished(patience));
        QCOMPARE(process->readAllStandardOutput(), QFileInfo(copy.folder.path()).canonicalFilePath().toUtf8() + '\n');
        QCOMPARE(copy.fileNames(), QStringList{"keyhound"});
    }

    void woken_data()
    {
        QTest::addColumn<QString>("button"); // none: the login is asked
        QTest::newRow("minimised: the main window comes back") << "btnMinimizar";
        QTest::newRow("in the notification area: the main window comes back") << "btnTray";
        QTest::newRow("the login asked: the login comes back, not the entries") << "";
    }

    void woken()
    {
        QFETCH(QString, button);
        VaultFixture data;
        QVERIFY(data.vault.saveSettings("8046", button.isEmpty()).ok());
        Program program(data.folder.path(), data.platform);
        WakeChannel channel(data.folder.path());
        QVERIFY(channel.listen());
        connect(&channel, &WakeChannel::wakeRequested, &program, &Program::bringToFront);
        QVERIFY(program.start());
        MainWindow* main = program.mainWindow();
        QWidget* front = button.isEmpty() ? static_cast<QWidget*>(program.loginWindow()) : main;
        button.isEmpty() ? front->showMinimized() : click(child(main, qPrintable(button)));
        QVERIFY(front->isMinimized() || !front->isVisible());
        auto woken = std::async(std::launch::async, [&data] { return WakeChannel::wake(data.folder.path()); });
        QTRY_VERIFY(woken.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
        QVERIFY(woken.get());
        QVERIFY(front->isVisible() && !front->isMinimized());
        QCOMPARE(main->isVisible(), !button.isEmpty());
    }
};

QTEST_MAIN(ProgramStartTest)
#include "tst_programstart.moc"
