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
    void crashLeavesNoCore();
};

// A child that had every core limit raised, then crashes after the call, leaves no core file in its working folder
// and could neither raise the limit again nor be attached to.
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
        // Nor may another process of the user attach to read its memory.
        if (setrlimit(RLIMIT_CORE, &unlimited) == 0 || prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0) {
            _exit(2);
        }
        // The default action, even where a sanitizer catches the signal to report it.
        std::signal(SIGSEGV, SIG_DFL);
        raise(SIGSEGV);
        _exit(3);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status), qPrintable(QString::number(WEXITSTATUS(status))));
    QCOMPARE(WTERMSIG(status), SIGSEGV);
    QVERIFY(!WCOREDUMP(status));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestNoCoreDumps)
#include "tst_nocoredumps.moc"
