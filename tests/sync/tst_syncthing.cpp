// Two real Syncthing instances share one data folder over the loopback address only: both computers add an entry
// while the link is down, Syncthing keeps one side as a conflict copy, the next start merges it, and Syncthing
// carries the merged vault to the other side.
#include "mainwindow/program.h"
#include "support/recordingplatform.h"
#include "support/vaultfixture.h"
#include "sync/mergesave.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>

#include <csignal>

#include <sys/prctl.h>

namespace {

constexpr int patience = 60000;

QStringList conflictCopies(const QString& folder)
{
    return QDir(folder).entryList({"pswd.sync-conflict-*.tab"}, QDir::Files);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The titles of the vault there; a start on a folder without both files would make new ones.
QStringList entriesIn(const QString& folder)
{
    if (!QFile::exists(folder + "/pswd.tab") || !QFile::exists(folder + "/cnfg.tab")) {
        return {"<no vault>"};
    }
    Vault vault(folder);
    if (!vault.open().ok()) {
        return {"<not readable>"};
    }
    QStringList titles;
    for (qsizetype i = 0; i < vault.entries().size(); ++i) {
        titles.append(QString::fromLatin1(EntryRecord::field(vault.entries().at(i), EntryRecord::Title)));
    }
    return titles;
}

// Ports of the loopback address that nothing listened on a moment ago, all different: fixed ones could be taken by
// the Syncthing of a run that was killed.
QList<int> freePorts(int count)
{
    std::vector<std::unique_ptr<QTcpServer>> held;
    QList<int> ports;
    while (ports.size() < count) {
        held.push_back(std::make_unique<QTcpServer>());
        held.back()->listen(QHostAddress::LocalHost, 0);
        ports.append(held.back()->serverPort());
    }
    return ports;
}

// One computer: a Syncthing home and the synced data folder, on the ports given.
struct Computer
{
    Computer(const QString& name, const QList<int>& ports) : name(name), listenPort(ports[0]), guiPort(ports[1])
    {
        QDir().mkpath(folder.filePath(".stfolder"));
        folder.write(".stignore", "keyhound\nkeyhound.lock\n");
    }
    ~Computer() { stop(); }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("STNOUPGRADE", "1");
        env.insert("STNODEFAULTFOLDER", "1");
        // As its monitor starts it: one process, without a monitor whose child would outlive a killed test.
        env.insert("STMONITORED", "yes");
        return env;
    }
    QString generate()
    {
        QProcess generator;
        generator.setProcessEnvironment(environment());
        generator.start(syncthing, {"generate", "--home=" + home.path(), "--no-default-folder"});
        generator.waitForFinished(patience);
        const QString said = generator.readAllStandardOutput() + generator.readAllStandardError();
        deviceId = QRegularExpression("[A-Z0-9]{7}(-[A-Z0-9]{7}){7}").match(said).captured(0);
        // The configuration is written anew, in the version this Syncthing writes.
        configVersion = QRegularExpression(R"re(<configuration version="(\d+)")re")
                            .match(QString::fromUtf8(bytesOf(home.filePath("config.xml"))))
                            .captured(1);
        return deviceId;
    }
    void configure(const Computer& peer) const
    {
        const QString device =
            R"(<device id="%1" name="%2" compression="metadata"><address>tcp://127.0.0.1:%3</address></device>)";
        const QString config =
            QString(R"(<configuration version="%8">
<folder id="keyhound" label="KeyHound" path="%1" type="sendreceive" rescanIntervalS="1" fsWatcherEnabled="false">
<device id="%2"></device><device id="%3"></device><minDiskFree unit="%">0</minDiskFree><maxConflicts>10</maxConflicts></folder>
%4
%5
<gui enabled="true" tls="false"><address>127.0.0.1:%6</address><apikey>keyhound-test</apikey></gui>
<options><listenAddress>tcp://127.0.0.1:%7</listenAddress><globalAnnounceEnabled>false</globalAnnounceEnabled>
<localAnnounceEnabled>false</localAnnounceEnabled><relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled>
<urAccepted>-1</urAccepted><reconnectionIntervalS>1</reconnectionIntervalS><autoUpgradeIntervalH>0</autoUpgradeIntervalH><startBrowser>false</startBrowser>
<crashReportingEnabled>false</crashReportingEnabled><minHomeDiskFree unit="%">0</minHomeDiskFree></options>
</configuration>
)")
                .arg(folder.path(), deviceId, peer.deviceId, device.arg(deviceId, name).arg(listenPort),
                     device.arg(peer.deviceId, peer.name).arg(peer.listenPort))
                .arg(guiPort)
                .arg(listenPort)
                .arg(configVersion);
        QFile file(home.filePath("config.xml"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(config.toUtf8());
    }
    void start()
    {
        process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardOutputFile(QProcess::nullDevice());
        // Ends with the test, even a test that is killed.
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process->start(syncthing, {"serve", "--home=" + home.path(), "--logfile=" + home.filePath("log"),
                                   "--no-browser", "--no-restart", "--no-upgrade"});
        process->waitForStarted(patience);
    }
    // Has Syncthing scan the folder now; it answers once the scan is done.
    bool scanNow() const
    {
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1/rest/db/scan?folder=keyhound").arg(guiPort)));
        request.setRawHeader("X-API-Key", "keyhound-test");
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        request.setTransferTimeout(patience);
        std::unique_ptr<QNetworkReply> reply(network.post(request, QByteArray()));
        QEventLoop loop;
        QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        return reply->error() == QNetworkReply::NoError;
    }
    void stop()
    {
        if (process) {
            process->terminate();
            if (!process->waitForFinished(10000)) {
                process->kill();
                process->waitForFinished(10000);
            }
            process.reset();
        }
    }
    QByteArray state() const
    {
        return name.toUtf8() + ": " + QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(' ').toUtf8() +
               "\n" + bytesOf(home.filePath("log"));
    }

    QString syncthing = QStandardPaths::findExecutable("syncthing");
    QString name;
    int listenPort;
    int guiPort;
    QString deviceId;
    QString configVersion;
    DataFolder home;
    DataFolder folder;
    std::unique_ptr<QProcess> process;
};

// Waits, bounded, until the condition holds; when it does not, every log goes to the test's output.
bool waitFor(const std::function<bool()>& done, const Computer& first, const Computer& second)
{
    for (QDeadlineTimer deadline(patience); !done() && !deadline.hasExpired();) {
        QTest::qWait(200);
    }
    if (!done()) {
        qWarning().noquote() << first.state() << second.state();
    }
    return done();
}

void addEntry(const QString& folder, const char* title)
{
    Vault vault(folder);
    QVERIFY(vault.open().ok());
    QVERIFY(vault.addEntry(entryRecord(title, "----/----/----", "26.12.07.10.10.10", "ana", "senha")).ok());
}

} // namespace

class SyncthingTest : public QObject
{
    Q_OBJECT

private slots:
    void bothSidesEndWithEveryEntry()
    {
        if (QStandardPaths::findExecutable("syncthing").isEmpty()) {
            QSKIP("syncthing is not installed");
        }
        const QList<int> ports = freePorts(4);
        Computer first("primeiro", ports.mid(0, 2));
        Computer second("segundo", ports.mid(2, 2));
        QVERIFY(!first.generate().isEmpty());
        QVERIFY(!second.generate().isEmpty());
        first.configure(second);
        second.configure(first);
        addEntry(first.folder.path(), "Comum");
        first.start();
        second.start();
        QVERIFY(waitFor([&] { return entriesIn(second.folder.path()) == QStringList{"Comum"}; }, first, second));

        // The link goes down: the second computer's Syncthing stops, and each side adds its own entry.
        second.stop();
        addEntry(first.folder.path(), "Primeiro");
        addEntry(second.folder.path(), "Segundo");
        QVERIFY(first.scanNow()); // the first side's Syncthing knows its change before the link comes back
        second.start();
        QVERIFY(waitFor(
            [&] {
                return conflictCopies(first.folder.path()).size() == 1 &&
                       conflictCopies(second.folder.path()).size() == 1;
            },
            first, second));
        const QString copy = conflictCopies(first.folder.path()).first();
        qInfo() << "before:" << QDir(first.folder.path()).entryList(QDir::Files) << entriesIn(first.folder.path())
                << "copy:" << copy;

        RecordingPlatform platform;
        platform.answer = true;
        {
            Program program(first.folder.path(), platform);
            QVERIFY(program.start());
        }
        QCOMPARE(platform.questions.size(), 1);
        QVERIFY2(platform.questions.first().contains(copy + " (Syncthing)") &&
                     platform.questions.first().contains("1 entrada nova, 0 atualizadas, 1 igual"),
                 qPrintable(platform.questions.first()));
        const QStringList every{"Comum", "Primeiro", "Segundo"};
        QCOMPARE(entriesIn(first.folder.path()), every);
        QVERIFY(QFile::exists(first.folder.filePath(copy + MergeSave::mergedSuffix)));

        QVERIFY(waitFor(
            [&] {
                return bytesOf(second.folder.filePath("pswd.tab")) == bytesOf(first.folder.filePath("pswd.tab")) &&
                       conflictCopies(second.folder.path()).isEmpty();
            },
            first, second));
        QCOMPARE(entriesIn(second.folder.path()), every);
        qInfo() << "after:" << QDir(second.folder.path()).entryList(QDir::Files) << entriesIn(second.folder.path());
    }
};

QTEST_MAIN(SyncthingTest)
#include "tst_syncthing.moc"
