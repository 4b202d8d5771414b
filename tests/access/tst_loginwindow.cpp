#include "access/loginwindow.h"
#include "support/input.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/recordingplatform.h"
#include "support/datafolder.h"

#include <QLineEdit>
#include <QSignalSpy>

namespace {

// The password in cnfg.tab, asked at start, what the user types and does, and the outcome.
struct Attempt
{
    QByteArray stored;
    QString typed;
    QByteArray action;
    bool opens;
    QString message;
};

} // namespace

Q_DECLARE_METATYPE(Attempt)

class TestLoginWindow : public QObject
{
    Q_OBJECT

private slots:
    void start_data();
    void start();
};

void TestLoginWindow::start_data()
{
    QTest::addColumn<Attempt>("attempt");

    const QString refused = QStringLiteral("Senha não confere!");
    QTest::newRow("factory password, btnOk") << Attempt{"8046", "8046", "btnOk", true, {}};
    QTest::newRow("factory password, Enter") << Attempt{"8046", "8046", "Return", true, {}};
    QTest::newRow("other case, btnOk") << Attempt{"Cofre", "cofre", "btnOk", false, refused};
    QTest::newRow("other case, Enter") << Attempt{"Cofre", "COFRE", "Return", false, refused};
    QTest::newRow("accented") << Attempt{"A\xE7\x61\xED@1", "Açaí@1", "Return", true, {}};
    QTest::newRow("a character without a code is not '?'") << Attempt{"80?6", "80ő6", "btnOk", false, refused};
    QTest::newRow("btnFechar with the password typed") << Attempt{"8046", "8046", "btnFechar", false, {}};
    QTest::newRow("window closed") << Attempt{"8046", "8046", "close", false, {}};
}

// One try: the right password opens the main window; anything else ends the program, with a message when refused.
void TestLoginWindow::start()
{
    QFETCH(Attempt, attempt);

    DataFolder folder;
    Vault vault(folder.path());
    QVERIFY(vault.open().ok() && vault.saveSettings(attempt.stored, true).ok());
    RecordingPlatform platform;
    Program program(folder.path(), platform);
    QSignalSpy finishedSpy(&program, &Program::finished);
    QVERIFY(program.start());
    QPointer<LoginWindow> login = program.loginWindow();
    // Until the password is given, the login window is the only one shown, and it masks the password.
    const QWidgetList all = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(all.begin(), all.end(), [](QWidget* window) { return window->isVisible(); }), 1);
    QVERIFY(login && login->isVisible());
    auto* box = child<QLineEdit>(login.get(), "txtLogar");
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    typeText(box, attempt.typed);
    if (attempt.action == "Return") {
        QTest::keyClick(box, Qt::Key_Return);
    } else if (attempt.action == "close") {
        login->close();
    } else {
        QTest::mouseClick(child(login.get(), attempt.action.constData()), Qt::LeftButton);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!login);
    QCOMPARE(program.mainWindow() && program.mainWindow()->isVisible(), attempt.opens);
    QCOMPARE(finishedSpy.count(), attempt.opens ? 0 : 1);
    QCOMPARE(platform.messages.size(), attempt.message.isEmpty() ? 0 : 1);
    QCOMPARE(platform.messages.value(0).text, attempt.message);
}

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
