#include "platform/nocoredumps.h"

#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class TestNoCoreDumps : public QObject
{
    Q_OBJECT

private slots:
    void processCannotDump();
    void crashLeavesNoCore();
};

// Even a process that had every core limit raised ends up not dumpable, unable to raise the limit again.
void TestNoCoreDumps::processCannotDump()
{
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_CORE, &unlimited);
    QVERIFY(disableCoreDumps());
    QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    rlimit core{};
    QCOMPARE(getrlimit(RLIMIT_CORE, &core), 0);
    QCOMPARE(core.rlim_cur, rlim_t(0));
    QCOMPARE(core.rlim_max, rlim_t(0));
    QCOMPARE(setrlimit(RLIMIT_CORE, &unlimited), -1);
}

// A child that crashes after the call leaves no core file in its working folder, whatever the limit was before.
void TestNoCoreDumps::crashLeavesNoCore()
{
    QTemporaryDir folder;
    const pid_t child = fork();
    if (child == 0) {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_CORE, &unlimited);
        if (chdir(folder.path().toLocal8Bit().constData()) != 0 || !disableCoreDumps()) {
            _exit(1);
        }
        // The default action, even where a sanitizer catches the signal to report it.
        std::signal(SIGSEGV, SIG_DFL);
        raise(SIGSEGV);
        _exit(2);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGSEGV);
    QVERIFY(!WCOREDUMP(status));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestNoCoreDumps)
#include "tst_nocoredumps.moc"
