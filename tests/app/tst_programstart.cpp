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
#include "support/portableprogram.h"
#include "support/recordingplatform.h"
#include "support/vaultfixture.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QScopeGuard>
#include <QTranslator>

#include <future>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString appData = QStringLiteral("/home/ana/.local/share/Corvelo/KeyHound");

constexpr int patience = 30000;

// Another local user, as the kernel sees one: a forked child that takes the identity of "nobody". A child that must
// still reach the user's private folders keeps root's file-system identity: only its own identity is another's.
struct OtherUser
{
    static bool available() { return ::geteuid() == 0 && ::getpwnam("nobody"); }
    // Runs body in the child; its result is the child's exit status.
    template <typename Body>
    static pid_t run(Body body, bool reachesPrivateFolders = false)
    {
        const passwd nobody = *::getpwnam("nobody");
        const pid_t child = ::fork();
        if (child == 0) {
            const bool switched = reachesPrivateFolders
                                      ? ::setresuid(nobody.pw_uid, nobody.pw_uid, 0) == 0 && ::setfsuid(0) >= 0
                                      : ::setgid(nobody.pw_gid) == 0 && ::setuid(nobody.pw_uid) == 0;
            ::umask(0);
            ::_exit(switched ? body() : 100);
        }
        return child;
    }
    // Its exit status once it ended, the events of this process handled meanwhile.
    static int status(pid_t child)
    {
        int status = 0;
        QDeadlineTimer deadline(patience);
        for (pid_t ended = 0; ended == 0 && !deadline.hasExpired(); ended = ::waitpid(child, &status, WNOHANG)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

sockaddr_un socketAddress(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    return address;
}

int boundSocket(const QString& path)
{
    const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = socketAddress(path);
    return ::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? server : -1;
}

// Listens on the socket, answers every connection as the program would ("ok"), and ends when none came for the time
// given: its status is the number of bytes it was sent, 0 when nobody spoke to it. Whoever calls listen() is the one
// a connecting peer sees.
int squatter(int server, int milliseconds)
{
    if (server < 0 || ::listen(server, 4) != 0) {
        return 101;
    }
    int heard = 0;
    pollfd waiting{server, POLLIN, 0};
    while (::poll(&waiting, 1, milliseconds) == 1) {
        const int peer = ::accept(server, nullptr, nullptr);
        char bytes[64];
        pollfd speaking{peer, POLLIN, 0};
        if (::poll(&speaking, 1, 1000) == 1) {
            heard += int(std::max<ssize_t>(0, ::read(peer, bytes, sizeof bytes)));
        }
        (void)!::send(peer, "ok\n", 3, MSG_NOSIGNAL);
        ::close(peer);
    }
    return std::min(heard, 99);
}

// Connects to the path and asks for the window; its status is the number of bytes it was answered.
int intruder(const QString& path)
{
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = socketAddress(path);
    if (::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return 101;
    }
    (void)!::send(client, "wake\n", 5, MSG_NOSIGNAL);
    char bytes[64];
    pollfd answered{client, POLLIN, 0};
    return ::poll(&answered, 1, 3000) == 1 ? int(std::max<ssize_t>(0, ::read(client, bytes, sizeof bytes))) : 0;
}

// The folder, made if need be, read-only in place: for root, whom permission bits do not stop, by a read-only bind
// mount of it on itself; for another user by its permissions.
struct ReadOnlyFolder
{
    explicit ReadOnlyFolder(const QString& folder) : path(QFile::encodeName(folder))
    {
        made = QDir().mkpath(folder) &&
               (::geteuid() == 0 ? ::mount(path, path, nullptr, MS_BIND, nullptr) == 0 &&
                                       ::mount(nullptr, path, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0
                                 : ::chmod(path, 0500) == 0);
    }
    ~ReadOnlyFolder() { ::geteuid() == 0 ? void(::umount2(path, MNT_DETACH)) : void(::chmod(path, 0700)); }
    QByteArray path;
    bool made = false;
};

qint64 lockHolder(const PortableProgram& copy)
{
    return DataFolderLock::holderOf(copy.folder.path());
}

const QByteArray banco = "Banco\xA7----/----/----\xA7"
                         "26.03.06.10.00.00\xA7joao\xA7s3nha\xA7\xA7";

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

    // A job that runs out of memory (a CSV of a large vault is made whole before it is written) says so and ends with
    // status 1, instead of the system's abort.
    void jobOutOfMemory()
    {
        CommandLine commandLine(QStringLiteral("Repositório de senhas."));
        commandLine.addCommand(QCommandLineOption(QStringLiteral("grande")),
                               [](const QString&) -> CommandOutput { throw std::bad_alloc(); });
        QVERIFY(commandLine.parse({"keyhound", "--grande"}));
        const CommandOutput output = commandLine.run();
        QCOMPARE(output.exitCode, 1);
        QCOMPARE(output.error, QStringLiteral("Não há memória suficiente para terminar o trabalho.\n"));
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
        QVERIFY(place.startsWith('/') || fileThere.isEmpty() ||
                QFile(folder + '/' + fileThere).open(QIODevice::WriteOnly));
        std::optional<ReadOnlyFolder> readOnly;
        if (place == "read-only" && !readOnly.emplace(folder).made) {
            QSKIP("No read-only folder can be made here");
        }
        QProcessEnvironment variables;
        variables.insert(sandbox.section('=', 0, 0), sandbox.section('=', 1));
        const InstallationFacts facts = DataLocation::factsAbout(folder, variables, sandbox == "flatpak info file");
        const QString chosen = DataLocation::folderFor(facts, appData);
        readOnly.reset();
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
        std::optional<ReadOnlyFolder> readOnly(home.filePath("share"));
        if (!readOnly->made) {
            QSKIP("No read-only folder can be made here");
        }
        const QString problem = DataLocation::prepare(home.filePath("share/Corvelo/KeyHound"));
        readOnly.reset();
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
        const PortableProgram copy;
        const auto firstCopy = copy.start();
        const qint64 firstId = firstCopy->processId();
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(copy), firstId, patience);
        QTRY_VERIFY_WITH_TIMEOUT(copy.fileNames().contains("pswd.tab"), patience);
        const QByteArray before = copy.dataFiles();
        QVERIFY(signalToFirst == 0 || ::kill(firstId, signalToFirst) == 0);
        QVERIFY(signalToFirst != SIGKILL || firstCopy->waitForFinished());
        QVERIFY(!lockOld || QProcess::execute("touch", {"-d@0", copy.folder.filePath(DataFolderLock::fileName)}) == 0);

        const auto second = copy.start();
        if (signalToFirst == SIGKILL) {
            QTRY_COMPARE_WITH_TIMEOUT(lockHolder(copy), second->processId(), patience);
            // It answers a later start in turn, though the killed copy left its socket behind.
            QCOMPARE(QProcess::execute(copy.folder.filePath("keyhound")), 0);
        } else if (signalToFirst == SIGSTOP) {
            QByteArray errors;
            QTRY_VERIFY_WITH_TIMEOUT((errors += second->readAllStandardError()).contains("mas não respondeu"),
                                     patience);
        } else {
            QVERIFY(second->waitForFinished(patience) && second->exitCode() == 0);
        }
        QCOMPARE(lockHolder(copy), signalToFirst == SIGKILL ? second->processId() : firstId);
        QCOMPARE(copy.dataFiles(), before);
    }

    void jobsRefuseADamagedVault_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("ending");
        QTest::newRow("export") << "--export"
                                << "Nada foi exportado.\n";
        QTest::newRow("import") << "--import"
                                << "Nenhuma entrada foi adicionada.\n";
    }
    void jobsRefuseADamagedVault()
    {
        QFETCH(QString, job);
        QFETCH(QString, ending);
        const PortableProgram copy;
        copy.folder.write("in.csv", "Title,Username,Password,URL,Notes\nBanco,ana,s1,,\nLoja,bia,s2,,\n");
        const auto run = [&copy](const QStringList& arguments) {
            auto process = copy.start(arguments);
            process->waitForFinished(patience);
            return process;
        };
        QCOMPARE(run({"--import", copy.folder.filePath("in.csv")})->exitCode(), 0);
        const QString convert = "cd " + copy.folder.path() + "; iconv -f latin1 -t utf-8 pswd.tab > c; mv c pswd.tab";
        QCOMPARE(QProcess::execute("sh", {"-ec", convert}), 0);
        const QByteArray damaged = copy.folder.read("pswd.tab");
        const QString other = copy.folder.filePath(job == "--export" ? "out.csv" : "in.csv");
        const auto refused = run({job, other});
        QCOMPARE(refused->exitCode(), 1);
        const QString said = QString::fromUtf8(refused->readAllStandardError());
        QVERIFY2(said.contains("tem 2 linhas danificadas") && said.endsWith(ending), qPrintable(said));
        QCOMPARE(copy.folder.read("pswd.tab") + copy.folder.read("pswd.tab.danificado"), damaged + damaged);
        QVERIFY(!QFileInfo::exists(copy.folder.filePath("out.csv")));
    }

    // Whatever a lock file holds, nobody holding its lock leaves it to the next start, window or job.
    void staleLockTakenOver_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QProcess ended;
        ended.start("true");
        const qint64 endedId = ended.waitForStarted() ? ended.processId() : 0;
        ended.waitForFinished();
        QTest::newRow("empty, as a crash before its first write leaves it") << QByteArray();
        QTest::newRow("zeros, as a crash before its sync leaves it") << QByteArray(4096, '\0');
        QTest::newRow("the id of a process that ended") << QByteArray::number(endedId) + '\n';
        QTest::newRow("the id of a running process, from another boot")
            << QByteArray("1\nkeyhound\nhost\n0123456789abcdef\n0f1e2d3c-boot-of-yesterday\n");
        QTest::newRow("garbage") << QByteArray("\xFF\xFE\x01lock?");
    }
    void staleLockTakenOver()
    {
        QFETCH(QByteArray, contents);
        const PortableProgram copy;
        copy.addRecords({banco});
        const QString csv = copy.folder.filePath("contas.csv");
        copy.folder.write(DataFolderLock::fileName, contents);
        QCOMPARE(copy.run({"--export", csv}).exitCode, 0);
        QVERIFY(QFile(csv).size() > 0);
        QVERIFY(!copy.fileNames().contains(DataFolderLock::fileName)); // released at its end

        copy.folder.write(DataFolderLock::fileName, contents);
        const auto window = copy.start();
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(copy), window->processId(), patience);
        QCOMPARE(copy.run({}).exitCode, 0); // a later start brings it forward and ends
        QVERIFY(copy.run({"--export", csv + "2"}).error.startsWith("O KeyHound está aberto"));
        window->kill();
    }

    // No lock can be made: the window and the export still read, nothing is written, and the user is told why.
    void withoutLock_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason"); // in what the user is told; empty: the lock is taken after all
        const auto row = [](const char* name, const char* fault, const char* reason) {
            QTest::newRow(name) << QString(fault) << QString::fromUtf8(reason);
        };
        row("read-only folder", "read-only", "O disco está protegido contra gravação");
        row("read-only folder, the vault a link to a writable one", "read-only, link", "O disco está protegido");
        row("no file can be created", "no inode left", "Não há espaço livre no disco.");
        row("full disk: the lock is held all the same, empty", "full disk", "");
    }
    void withoutLock()
    {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        if (::geteuid() != 0) {
            QSKIP("A read-only mount or a file system of its own needs root.");
        }
        const PortableProgram copy(fault.startsWith("read-only") ? "" : "mode=0700,nr_inodes=16");
        copy.addRecords({banco});
        const DataFolder elsewhere;
        if (fault.endsWith("link")) {
            QVERIFY(QFile::rename(copy.folder.filePath("pswd.tab"), elsewhere.filePath("pswd.tab")) &&
                    QFile::link(elsewhere.filePath("pswd.tab"), copy.folder.filePath("pswd.tab")));
        }
        elsewhere.write("novas.csv", "Title,Username,Password,URL,Notes\nCasa,ana,x,,\n");
        std::optional<ReadOnlyFolder> readOnly;
        if (fault.startsWith("read-only")) {
            QVERIFY(readOnly.emplace(copy.folder.path()).made);
        }
        for (int i = 0;
             fault == "no inode left" && QFile(copy.folder.filePath(QString::number(i))).open(QIODevice::WriteOnly);
             ++i) {
        }
        if (fault == "full disk") {
            QFile filler(copy.folder.filePath("filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
            }
        }
        const QByteArray before = copy.dataFiles();

        const ProgramRun exported = copy.run({"--export", elsewhere.filePath("contas.csv")});
        QVERIFY2(exported.exitCode == 0 && elsewhere.read("contas.csv").contains("joao"), qPrintable(exported.error));
        const ProgramRun imported = copy.run({"--import", elsewhere.filePath("novas.csv")});
        QCOMPARE(imported.exitCode, 1);
        QVERIFY2(imported.error.contains(reason), qPrintable(imported.error));

        const auto window = copy.start();
        QTRY_VERIFY_WITH_TIMEOUT(!reason.isEmpty() || copy.fileNames().contains("keyhound.lock"), patience);
        const auto second = copy.start();
        if (reason.isEmpty()) {
            // The first holds the folder, though its id could not be written: the second brings it forward.
            QVERIFY(second->waitForFinished(patience) && second->exitCode() == 0);
            QCOMPARE(window->state(), QProcess::Running);
            QCOMPARE(lockHolder(copy), 0);
        } else {
            // Both read, neither writes: each says so and stays open.
            for (const auto& process : {window.get(), second.get()}) {
                QByteArray said;
                QTRY_VERIFY_WITH_TIMEOUT((said += process->readAllStandardError()).contains("só para leitura"),
                                         patience);
                QVERIFY2(said.contains("Não foi possível criar o arquivo " +
                                       copy.folder.filePath("keyhound.lock").toUtf8()) &&
                             said.contains(reason.toUtf8()),
                         said);
                QCOMPARE(process->state(), QProcess::Running);
            }
        }
        window->kill();
        second->kill();
        window->waitForFinished();
        second->waitForFinished();
        QCOMPARE(copy.dataFiles(), before);
    }

    // The channel lies in a folder that only the user may enter, else no socket is made and the start says why.
    void wakeChannelPlace_data()
    {
        QTest::addColumn<QString>("runtime"); // $XDG_RUNTIME_DIR: a folder made with these steps, or unset
        QTest::addColumn<QString>("squat");   // what another user makes first in the temporary folder
        QTest::addColumn<QString>("refusal"); // empty: the socket is made and answers
        const auto row = [](const char* name, const char* runtime, const char* squat, const char* refusal) {
            QTest::newRow(name) << QString(runtime) << QString(squat) << QString::fromUtf8(refusal);
        };
        row("runtime folder of the user's own", "chmod 700 run", "", "");
        row("runtime folder others may enter", "chmod 755 run", "", "chmod 700 %tmp/run");
        row("runtime folder of another user", "chmod 700 run; chown nobody run", "", "pertence a outro");
        row("runtime folder below one open to everyone", "chmod 777 .; chmod 700 run", "", "chmod go-w");
        row("no runtime folder: one made in the temporary folder", "", "", "");
        row("no runtime folder, another user's folder in its place", "", "folder", "pertence a outro");
        row("no runtime folder, another user's link in its place", "", "link", "não é uma pasta");
    }
    void wakeChannelPlace()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, squat);
        QFETCH(QString, refusal);
        if (!OtherUser::available() && (runtime.contains("chown") || !squat.isEmpty())) {
            QSKIP("Acting as another user needs root.");
        }
        const DataFolder data;
        DataFolder tmp;
        QVERIFY(::chmod(QFile::encodeName(tmp.path()), 01777) == 0); // as /tmp is
        const QString private_ = tmp.filePath(QStringLiteral("keyhound-%1").arg(::geteuid()));
        if (!squat.isEmpty()) {
            const pid_t child = OtherUser::run([&] {
                return squat == "folder" ? ::mkdir(QFile::encodeName(private_), 0777)
                                         : ::symlink("/root", QFile::encodeName(private_));
            });
            QCOMPARE(OtherUser::status(child), 0);
        }
        QVERIFY(runtime.isEmpty() ||
                QProcess::execute("sh", {"-ec", "cd " + tmp.path() + "; mkdir run; " + runtime}) == 0);
        const auto restore = qScopeGuard([runtimeBefore = qgetenv("XDG_RUNTIME_DIR"), tmpBefore = qgetenv("TMPDIR")] {
            qputenv("XDG_RUNTIME_DIR", runtimeBefore);
            qputenv("TMPDIR", tmpBefore);
        });
        runtime.isEmpty() ? qunsetenv("XDG_RUNTIME_DIR")
                          : qputenv("XDG_RUNTIME_DIR", QFile::encodeName(tmp.filePath("run")));
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));

        WakeChannel channel(data.path());
        int woken = 0;
        connect(&channel, &WakeChannel::wakeRequested, this, [&woken] { ++woken; });
        const WakeChannel::Place place = WakeChannel::placeFor(data.path());
        QCOMPARE(QFileInfo(place.socketPath).absolutePath(), runtime.isEmpty() ? private_ : tmp.filePath("run"));
        QCOMPARE(channel.listen(), refusal.isEmpty());
        auto answer =
            std::async(std::launch::async, [&data] { return WakeChannel::wake(data.path(), std::chrono::seconds(3)); });
        QTRY_VERIFY(answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
        const WakeChannel::Answer answered = answer.get();
        QCOMPARE(answered.woken, refusal.isEmpty());
        QCOMPARE(woken, refusal.isEmpty() ? 1 : 0);
        refusal.replace("%tmp", tmp.path());
        QVERIFY2(answered.problem.contains(refusal) && channel.failureMessage().contains(refusal),
                 qPrintable(answered.problem));
        QVERIFY(!runtime.isEmpty() || !squat.isEmpty() || (QFile::permissions(private_) & 0x0077) == 0);
    }

    // Neither end says a word to a process of another user that reaches the other's socket.
    void peerOfAnotherUser_data()
    {
        QTest::addColumn<bool>("otherAsks"); // another user asks the running copy, or answers in its place
        QTest::newRow("another user asks the window to come forward") << true;
        QTest::newRow("another user answers a start in the running copy's place") << false;
    }
    void peerOfAnotherUser()
    {
        QFETCH(bool, otherAsks);
        if (!OtherUser::available()) {
            QSKIP("Acting as another user needs root.");
        }
        const DataFolder data;
        const WakeChannel::Place place = WakeChannel::placeFor(data.path());
        QVERIFY(place.refusal.isEmpty());
        WakeChannel channel(data.path());
        int woken = 0;
        connect(&channel, &WakeChannel::wakeRequested, this, [&woken] { ++woken; });
        if (otherAsks) {
            QVERIFY(channel.listen());
            const QString path = place.socketPath;
            const pid_t child = OtherUser::run([path] { return intruder(path); }, true);
            QCOMPARE(OtherUser::status(child), 0);
        } else {
            QFile::remove(place.socketPath);
            const int bound = boundSocket(place.socketPath);
            const pid_t child = OtherUser::run([bound] { return squatter(bound, 3000); }, true);
            ::close(bound);
            const WakeChannel::Answer answer = WakeChannel::wake(data.path(), std::chrono::seconds(3));
            QVERIFY(!answer.woken && answer.problem.contains("de outro usuário"));
            QCOMPARE(OtherUser::status(child), 0);
            QFile::remove(place.socketPath);
        }
        QCOMPARE(woken, 0);
    }

    // With every descriptor of the program taken, a caller waits in the queue: the channel does not spin on it, and
    // answers it once one is free.
    void wakeChannelOutOfDescriptors()
    {
        const DataFolder data;
        WakeChannel channel(data.path());
        int woken = 0;
        connect(&channel, &WakeChannel::wakeRequested, this, [&woken] { ++woken; });
        QVERIFY(channel.listen());
        rlimit limit{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &limit) == 0);
        const auto restore = qScopeGuard([limit] { ::setrlimit(RLIMIT_NOFILE, &limit); });
        const int lowest = ::dup(0);
        ::close(lowest);
        rlimit few = limit;
        few.rlim_cur = rlim_t(lowest + 8);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &few) == 0);
        QList<int> taken;
        for (int copy = ::dup(0); copy >= 0; copy = ::dup(0)) {
            taken.append(copy);
        }
        QCOMPARE(errno, EMFILE);
        const QString path = WakeChannel::placeFor(data.path()).socketPath;
        const pid_t caller = ::fork();
        if (caller == 0) {
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::_exit(intruder(path));
        }
        rusage before{}, after{};
        ::getrusage(RUSAGE_SELF, &before);
        QTest::qWait(1000);
        ::getrusage(RUSAGE_SELF, &after);
        const auto busyMs = [](const rusage& usage) {
            return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
        };
        QVERIFY2(busyMs(after) - busyMs(before) < 500, qPrintable(QString::number(busyMs(after) - busyMs(before))));
        QCOMPARE(woken, 0);
        for (const int copy : std::as_const(taken)) {
            ::close(copy);
        }
        QCOMPARE(OtherUser::status(caller), 3); // "ok\n"
        QCOMPARE(woken, 1);
    }

    // Another user who takes the channel's name first stops only the bringing forward, and hears nothing.
    void squattedChannel_data()
    {
        QTest::addColumn<QString>("squat");
        QTest::newRow("another user answering at the name used before") << "old name";
        QTest::newRow("another user's folder where the channel would be") << "folder";
    }
    void squattedChannel()
    {
        QFETCH(QString, squat);
        if (!OtherUser::available()) {
            QSKIP("Acting as another user needs root.");
        }
        PortableProgram copy;
        DataFolder tmp;
        QVERIFY(::chmod(QFile::encodeName(tmp.path()), 01777) == 0);
        copy.environment.remove("XDG_RUNTIME_DIR");
        copy.environment.insert("TMPDIR", tmp.path());
        const QByteArray folderHash =
            QCryptographicHash::hash(QFileInfo(copy.folder.path()).canonicalFilePath().toUtf8(),
                                     QCryptographicHash::Sha256)
                .toHex()
                .left(32);
        const QString name = "keyhound-" + QString::fromLatin1(folderHash);
        const QString squatted = squat == "old name"
                                     ? tmp.filePath(name)
                                     : tmp.filePath(QStringLiteral("keyhound-%1/%2").arg(::geteuid()).arg(name));
        const pid_t child = OtherUser::run([&] {
            if (squat == "folder") {
                ::mkdir(QFile::encodeName(QFileInfo(squatted).absolutePath()), 0777);
            }
            return squatter(boundSocket(squatted), 15000);
        });
        QTRY_VERIFY(QFileInfo::exists(squatted));

        const auto first = copy.start();
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(copy), first->processId(), patience);
        const auto second = copy.start();
        if (squat == "folder") {
            QByteArray firstSaid;
            QByteArray said; // in a message box that stays open
            QTRY_VERIFY_WITH_TIMEOUT(
                (firstSaid += first->readAllStandardError()).contains("Não foi possível abrir o canal"), patience);
            QTRY_VERIFY_WITH_TIMEOUT((said += second->readAllStandardError()).contains("Apague-a"), patience);
            QVERIFY2(said.contains("mas não respondeu") &&
                         said.contains(QFileInfo(squatted).absolutePath().toUtf8() + " pertence a outro usuário"),
                     said);
            second->kill();
        } else {
            QVERIFY(second->waitForFinished(patience) && second->exitCode() == 0);
        }
        QCOMPARE(first->state(), QProcess::Running);
        first->kill();
        QCOMPARE(OtherUser::status(child), 0); // nothing was said to it
    }

    void dataFolderOptionOpensNothing()
    {
        const PortableProgram copy;
        const QStringList installed = copy.fileNames(); // the program and its KeePass module
        const auto process = copy.start({"--data-folder"});
        QVERIFY(process->waitForFinished(patience));
        QCOMPARE(process->readAllStandardOutput(), QFileInfo(copy.folder.path()).canonicalFilePath().toUtf8() + '\n');
        QCOMPARE(copy.fileNames(), installed);
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
        RecordingPlatform platform;
        Program program(data.folder.path(), platform);
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
        QVERIFY(woken.get().woken);
        QVERIFY(front->isVisible() && !front->isMinimized());
        QCOMPARE(main->isVisible(), !button.isEmpty());
    }
};

QTEST_MAIN(ProgramStartTest)
#include "tst_programstart.moc"
