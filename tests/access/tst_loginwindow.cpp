#include "support/datafolder.h"
#include "support/input.h"

#include "access/loginwindow.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/recordingplatform.h"

#include <QLineEdit>
#include <QSignalSpy>

enum class Action
{
    ClickOk,
    PressEnter,
    ClickClose,
    CloseWindow,
};

class TestLoginWindow : public QObject
{
    Q_OBJECT

private slots:
    void start_data();
    void start();
};

void TestLoginWindow::start_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("opens");
    QTest::newRow("the right password and Ok open") << QByteArray("8046") << "8046" << Action::ClickOk << true;
    QTest::newRow("the right password and Enter open") << QByteArray("8046") << "8046" << Action::PressEnter << true;
    QTest::newRow("an accented password opens")
        << QByteArray("A\xE7\x61\xED@1") << "Açaí@1" << Action::PressEnter << true;
    QTest::newRow("another letter case ends") << QByteArray("Cofre") << "cofre" << Action::ClickOk << false;
    QTest::newRow("a wrong password with Enter ends") << QByteArray("Cofre") << "Cofre1" << Action::PressEnter << false;
    QTest::newRow("a character without a code is not '?'") << QByteArray("80?6") << "80ő6" << Action::ClickOk << false;
    QTest::newRow("the close button ends silently") << QByteArray("8046") << "8046" << Action::ClickClose << false;
    QTest::newRow("closing the window ends silently") << QByteArray("8046") << "8046" << Action::CloseWindow << false;
}

// Until the password is given, the login window is the only one shown, and masks it. One try: the right password
// opens the main window; a wrong one ends the program after a message; closing ends it with none.
void TestLoginWindow::start()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, typed);
    QFETCH(Action, action);
    QFETCH(bool, opens);
    DataFolder folder;
    Vault vault(folder.path());
    QVERIFY(vault.open().ok() && vault.saveSettings(stored, true).ok());
    RecordingPlatform platform;
    Program program(folder.path(), platform);
    QSignalSpy finished(&program, &Program::finished);
    QVERIFY(program.start());
    QPointer<LoginWindow> login = program.loginWindow();
    const QWidgetList all = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(all.begin(), all.end(), [](QWidget* window) { return window->isVisible(); }), 1);
    QVERIFY(login && login->isVisible());
    auto* box = child<QLineEdit>(login.get(), "txtLogar");
    QCOMPARE(box->echoMode(), QLineEdit::Password);

    typeText(box, typed + (action == Action::PressEnter ? QStringLiteral("\n") : QString()));
    if (action == Action::ClickOk || action == Action::ClickClose) {
        click(child(login.get(), action == Action::ClickOk ? "btnOk" : "btnFechar"));
    } else if (action == Action::CloseWindow) {
        login->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!login);
    QCOMPARE(program.mainWindow() && program.mainWindow()->isVisible(), opens);
    QCOMPARE(finished.count(), opens ? 0 : 1);
    const bool refused = !opens && action <= Action::PressEnter;
    QCOMPARE(platform.messages.size(), refused ? 1 : 0);
    QCOMPARE(platform.messages.value(0).text, refused ? QStringLiteral("Senha não confere!") : QString());
}

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
