#include "platform/nocoredumps.h"
#include "platform/noticelabel.h"
#include "platform/qtplatform.h"
#include "platform/screenplace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString usersText = QStringLiteral("meu texto");

enum class Step
{
    CopySecret,
    UserCopiesElsewhere,
    ThirtySecondsPass,
    ProgramEnds
};

} // namespace

Q_DECLARE_METATYPE(Step)

// The real desktop through Qt, offscreen: the clipboard, message boxes and notices; and no core dumps.
class TestQtPlatform : public QObject
{
    Q_OBJECT

private slots:
    void copiedSecretIsForgotten_data();
    void copiedSecretIsForgotten();
    void messageBox_data();
    void messageBox();
    void noticeHidesWhenItsTimeIsUp();
    void crashLeavesNoCore();
    void placedOnScreen_data();
    void placedOnScreen();
};

void TestQtPlatform::copiedSecretIsForgotten_data()
{
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("left");
    using enum Step;
    QTest::newRow("thirty seconds after a copy the clipboard is empty") << QList{CopySecret, ThirtySecondsPass} << "";
    QTest::newRow("the program ends first: the clipboard is empty") << QList{CopySecret, ProgramEnds} << "";
    QTest::newRow("the user copied something since: it stays after thirty seconds")
        << QList{CopySecret, UserCopiesElsewhere, ThirtySecondsPass} << usersText;
    QTest::newRow("the user copied something since: it stays at the program's end")
        << QList{CopySecret, UserCopiesElsewhere, ProgramEnds} << usersText;
    QTest::newRow("nothing copied: the program's end leaves the user's text")
        << QList{UserCopiesElsewhere, ProgramEnds} << usersText;
}

// Marked for clipboard managers not to keep; forgotten after 30 s or at the end, unless the user copied since.
void TestQtPlatform::copiedSecretIsForgotten()
{
    QFETCH(QList<Step>, steps);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QtPlatform platform;
    auto* timer = platform.findChild<QTimer*>(QStringLiteral("clipboardTimer"));
    for (const Step step : steps) {
        if (step == Step::CopySecret) {
            platform.copySecret(QStringLiteral("S3nh@ \"é\"~"));
            QCOMPARE(clipboard->mimeData()->text(), QStringLiteral("S3nh@ \"é\"~"));
            QCOMPARE(clipboard->mimeData()->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
            QCOMPARE(timer->intervalAsDuration(), std::chrono::seconds(30));
        } else if (step == Step::UserCopiesElsewhere) {
            clipboard->setText(usersText);
        } else if (step == Step::ThirtySecondsPass) {
            QVERIFY(timer->isActive());
            QMetaObject::invokeMethod(timer, "timeout");
        } else {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    }
    QTEST(clipboard->mimeData() ? clipboard->mimeData()->text() : QString(), "left");
    QVERIFY(!timer->isActive());
}

void TestQtPlatform::messageBox_data()
{
    QTest::addColumn<Platform::MessageIcon>("icon"); // -1: a yes-or-no question
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    using enum Platform::MessageIcon;
    const auto question = Platform::MessageIcon(-1);
    QTest::newRow("a warning shows the warning icon") << Exclamation << "OK" << QMessageBox::Warning;
    QTest::newRow("a critical message shows the critical icon") << Critical << "OK" << QMessageBox::Critical;
    QTest::newRow("a plain message shows no icon") << None << "OK" << QMessageBox::NoIcon;
    QTest::newRow("a question answered Sim is a yes") << question << "Sim" << QMessageBox::Question;
    QTest::newRow("Enter on a question answers Não") << question << "Enter" << QMessageBox::Question;
    QTest::newRow("Escape on a question answers Não") << question << "Escape" << QMessageBox::Question;
}

void TestQtPlatform::messageBox()
{
    QFETCH(Platform::MessageIcon, icon);
    QFETCH(QString, answer);
    QtPlatform platform;
    Platform& desktop = platform;
    const QString text = QStringLiteral("Não foi possível gravar o arquivo.");
    const bool question = int(icon) < 0;
    QString shown;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    // The box as the user saw it, answered by the button of that text or else by that key.
    QTimer::singleShot(0, [&shown, &shownIcon, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->windowTitle() + '|' + box->text();
        shownIcon = box->icon();
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown += '|' + button->text();
            chosen = button->text() == answer ? button : chosen;
        }
        chosen ? chosen->click() : QTest::keyClick(box, answer == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    });
    const bool yes = question ? desktop.askYesNo(nullptr, text)
                              : (desktop.showMessage(nullptr, text, Platform::programTitle(), icon), false);
    QCOMPARE(shown, "Corvelo KeyHound|" + text + (question ? "|Sim|Não" : "|OK"));
    QTEST(shownIcon, "shownIcon");
    QCOMPARE(yes, answer == "Sim");
}

void TestQtPlatform::noticeHidesWhenItsTimeIsUp()
{
    QWidget window;
    auto* notice = new NoticeLabel(QStringLiteral("lblAviso"), &window);
    window.show();
    auto* timer = notice->findChild<QTimer*>(QStringLiteral("Timer1"));
    notice->showNotice(QStringLiteral("Entrada inserida com sucesso!"));
    QVERIFY(notice->isVisible());
    QCOMPARE(timer->interval(), 2000);
    QMetaObject::invokeMethod(timer, "timeout");
    QVERIFY(!notice->isVisible());
    notice->showNotice(QStringLiteral("3 senhas vencidas"), 5000);
    QCOMPARE(timer->interval(), 5000);
}

// A crash after the call leaves no core though the limit was raised before; nor can it be raised again or attached to.
void TestQtPlatform::crashLeavesNoCore()
{
    QTemporaryDir folder;
    const pid_t child = fork();
    if (child == 0) {
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_CORE, &unlimited);
        if (chdir(folder.path().toLocal8Bit().constData()) != 0 || !disableCoreDumps() ||
            setrlimit(RLIMIT_CORE, &unlimited) == 0 || prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0) {
            _exit(1);
        }
        // The default action, even where a sanitizer catches the signal to report it.
        std::signal(SIGSEGV, SIG_DFL);
        raise(SIGSEGV);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV && !WCOREDUMP(status),
             qPrintable(QString::number(status)));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestQtPlatform::placedOnScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("placed"); // of the main window, 300 by 360, raised 20 above the centre
    QTest::newRow("a roomy screen: centred, 20 higher") << QRect(0, 0, 1280, 800) << QPoint(490, 200);
    QTest::newRow("a panel on top: below it") << QRect(0, 30, 1280, 770) << QPoint(490, 215);
    QTest::newRow("just tall enough: at the top") << QRect(0, 0, 1280, 360) << QPoint(490, 0);
    QTest::newRow("1024 by 768 at scale 2: not above the top") << QRect(0, 0, 512, 384) << QPoint(106, 0);
    QTest::newRow("too small: the corner stays on it") << QRect(0, 0, 800, 600 / 2) << QPoint(250, 0);
    QTest::newRow("a second screen to the left and a panel") << QRect(-1024, 24, 1024, 744) << QPoint(-662, 196);
    QTest::newRow("narrower than the window: the left edge shows") << QRect(100, 0, 200, 800) << QPoint(100, 200);
}

void TestQtPlatform::placedOnScreen()
{
    QFETCH(QRect, available);
    QTEST(placeOnScreenCentre(available, QSize(300, 360), 20), "placed");
}

QTEST_MAIN(TestQtPlatform)
#include "tst_qtplatform.moc"
