#include "access/loginwindow.h"
#include "access/typing.h"
#include "info/authorsite.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/recordingplatform.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

enum class Submit
{
    ClickOk,
    Return,
    KeypadEnter,
};

} // namespace

Q_DECLARE_METATYPE(Submit)

class TestLoginWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void passwordCheck_data();
    void passwordCheck();
    void closingEndsTheProgramWithoutMessage_data();
    void closingEndsTheProgramWithoutMessage();
    void passwordIsMasked();
    void captionsAndToolTips_data();
    void captionsAndToolTips();
    void sitsAboveTheScreenCentre();
    void authorLinkOpensTheSite();
    void startUp_data();
    void startUp();
    void startUpWithoutAskingShowsTheMainWindow();

private:
    void storeSettings(const QByteArray& password, bool askAtStart);
    template <typename T>
    T* control(QWidget& window, const char* name);

    std::unique_ptr<DataFolder> m_folder;
    std::unique_ptr<Vault> m_vault;
    std::unique_ptr<RecordingPlatform> m_platform;
};

void TestLoginWindow::init()
{
    m_folder = std::make_unique<DataFolder>();
    m_vault = std::make_unique<Vault>(m_folder->path());
    QVERIFY(m_vault->open().ok());
    m_platform = std::make_unique<RecordingPlatform>();
}

void TestLoginWindow::cleanup()
{
    m_vault.reset();
    m_platform.reset();
    m_folder.reset();
}

void TestLoginWindow::storeSettings(const QByteArray& password, bool askAtStart)
{
    QVERIFY(m_vault->saveSettings(password, askAtStart).ok());
}

template <typename T>
T* TestLoginWindow::control(QWidget& window, const char* name)
{
    auto* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

void TestLoginWindow::passwordCheck_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Submit>("submit");
    QTest::addColumn<bool>("accepted");

    const QByteArray factory = "8046";
    QTest::newRow("factory password, button") << factory << QStringLiteral("8046") << Submit::ClickOk << true;
    QTest::newRow("factory password, Enter") << factory << QStringLiteral("8046") << Submit::Return << true;
    QTest::newRow("factory password, keypad Enter") << factory << QStringLiteral("8046") << Submit::KeypadEnter << true;
    QTest::newRow("one digit short") << factory << QStringLiteral("804") << Submit::ClickOk << false;
    QTest::newRow("one digit more") << factory << QStringLiteral("80466") << Submit::Return << false;
    QTest::newRow("trailing space") << factory << QStringLiteral("8046 ") << Submit::ClickOk << false;
    QTest::newRow("empty box") << factory << QString() << Submit::Return << false;
    QTest::newRow("other letter case, button")
        << QByteArray("Cofre") << QStringLiteral("cofre") << Submit::ClickOk << false;
    QTest::newRow("other letter case, Enter")
        << QByteArray("Cofre") << QStringLiteral("COFRE") << Submit::Return << false;
    QTest::newRow("accented password") << QByteArray("A\xE7\x61\xED@1") << QStringLiteral("Açaí@1") << Submit::Return
                                       << true;
    QTest::newRow("accent left out") << QByteArray("A\xE7\x61\xED@1") << QStringLiteral("Açai@1") << Submit::ClickOk
                                     << false;
    QTest::newRow("character without a code never matches '?'")
        << QByteArray("80?6") << QStringLiteral("80ő6") << Submit::ClickOk << false;
}

void TestLoginWindow::passwordCheck()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, typed);
    QFETCH(Submit, submit);
    QFETCH(bool, accepted);

    storeSettings(stored, true);
    LoginWindow window(*m_vault, *m_platform);
    QSignalSpy acceptedSpy(&window, &LoginWindow::passwordAccepted);
    QSignalSpy endedSpy(&window, &LoginWindow::programEnded);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* box = control<QLineEdit>(window, "txtLogar");
    Typing::type(box, typed);
    QCOMPARE(box->text(), typed);
    switch (submit) {
    case Submit::ClickOk:
        QTest::mouseClick(control<QAbstractButton>(window, "btnOk"), Qt::LeftButton);
        break;
    case Submit::Return:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    case Submit::KeypadEnter:
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    }

    QCOMPARE(acceptedSpy.count(), accepted ? 1 : 0);
    QCOMPARE(endedSpy.count(), accepted ? 0 : 1);
    if (accepted) {
        QVERIFY(m_platform->messages.isEmpty());
    } else {
        QCOMPARE(m_platform->messages.size(), 1);
        QCOMPARE(m_platform->messages[0].text, QStringLiteral("Senha não confere!"));
        QCOMPARE(m_platform->messages[0].title, QStringLiteral("Corvelo KeyHound"));
        QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::None);
    }
    // One try only: the window is gone and nothing more is said, whatever happens to it afterwards.
    QVERIFY(!window.isVisible());
    QVERIFY(box->text().isEmpty());
    window.close();
    QCOMPARE(acceptedSpy.count() + endedSpy.count(), 1);
}

void TestLoginWindow::closingEndsTheProgramWithoutMessage_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<QString>("typed");

    QTest::newRow("btnFechar, box empty") << true << QString();
    QTest::newRow("btnFechar, right password typed") << true << QStringLiteral("8046");
    QTest::newRow("window closed, wrong password typed") << false << QStringLiteral("1234");
}

void TestLoginWindow::closingEndsTheProgramWithoutMessage()
{
    QFETCH(bool, byButton);
    QFETCH(QString, typed);

    LoginWindow window(*m_vault, *m_platform);
    QSignalSpy acceptedSpy(&window, &LoginWindow::passwordAccepted);
    QSignalSpy endedSpy(&window, &LoginWindow::programEnded);
    window.show();
    Typing::type(control<QLineEdit>(window, "txtLogar"), typed);
    if (byButton) {
        QTest::mouseClick(control<QAbstractButton>(window, "btnFechar"), Qt::LeftButton);
    } else {
        QVERIFY(window.close());
    }

    QVERIFY(!window.isVisible());
    QCOMPARE(endedSpy.count(), 1);
    QCOMPARE(acceptedSpy.count(), 0);
    QVERIFY(m_platform->messages.isEmpty());
    window.close();
    QCOMPARE(endedSpy.count(), 1);
}

void TestLoginWindow::passwordIsMasked()
{
    LoginWindow window(*m_vault, *m_platform);
    window.show();
    auto* box = control<QLineEdit>(window, "txtLogar");
    Typing::type(box, QStringLiteral("segredo"));
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    QCOMPARE(box->displayText(), QStringLiteral("*******"));
    // A masked box gives nothing away to copy or drag.
    box->selectAll();
    QApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().isEmpty());
}

void TestLoginWindow::captionsAndToolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("prompt") << "Label1" << QStringLiteral("Digite a senha") << QString();
    QTest::newRow("product") << "Label6" << QStringLiteral("Corvelo") << QString();
    QTest::newRow("product, second word") << "Label2" << QStringLiteral("Keyhound") << QString();
    QTest::newRow("author link") << "lblSitedoautor" << AuthorSite::hostName()
                                 << QStringLiteral(" %1 ").arg(AuthorSite::address());
    QTest::newRow("key picture") << "imgLogar" << QString() << QStringLiteral(" Inserir password ");
    QTest::newRow("ok") << "btnOk" << QString() << QStringLiteral(" Logar ");
    QTest::newRow("close") << "btnFechar" << QString() << QStringLiteral(" Fechar ");
}

void TestLoginWindow::captionsAndToolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);

    LoginWindow window(*m_vault, *m_platform);
    QCOMPARE(window.objectName(), QStringLiteral("frm0_Logar"));
    auto* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), caption);
    }
    QCOMPARE(widget->toolTip(), toolTip);
    QVERIFY(window.rect().contains(widget->geometry()));
}

void TestLoginWindow::sitsAboveTheScreenCentre()
{
    LoginWindow window(*m_vault, *m_platform);
    window.show();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(window.x(), screen.x() + (screen.width() - window.width()) / 2);
    QCOMPARE(window.y(), screen.y() + (screen.height() - window.height()) / 2 - 20);
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestLoginWindow::authorLinkOpensTheSite()
{
    LoginWindow window(*m_vault, *m_platform);
    QSignalSpy endedSpy(&window, &LoginWindow::programEnded);
    window.show();
    auto* link = control<QLabel>(window, "lblSitedoautor");
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(m_platform->openedAddresses.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_platform->openedAddresses, QStringList{AuthorSite::address()});
    QVERIFY(window.isVisible());
    QCOMPARE(endedSpy.count(), 0);
}

void TestLoginWindow::startUp_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("closeInstead");
    QTest::addColumn<bool>("mainWindowShown");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("factory password") << QStringLiteral("8046") << false << true << QStringList();
    QTest::newRow("wrong password") << QStringLiteral("8064") << false << false
                                    << QStringList{QStringLiteral("Senha não confere!")};
    QTest::newRow("closed") << QStringLiteral("8046") << true << false << QStringList();
}

void TestLoginWindow::startUp()
{
    QFETCH(QString, typed);
    QFETCH(bool, closeInstead);
    QFETCH(bool, mainWindowShown);
    QFETCH(QStringList, messages);

    storeSettings(Settings::factoryPassword, true);
    Program program(m_folder->path(), *m_platform);
    QSignalSpy finishedSpy(&program, &Program::finished);
    QVERIFY(program.start());

    // Until the password is given, the login window is the only window shown.
    QPointer<LoginWindow> login = program.loginWindow();
    QVERIFY(login);
    QVERIFY(QTest::qWaitForWindowExposed(login));
    QVERIFY(!program.mainWindow()->isVisible());
    const QWidgetList shown = [] {
        QWidgetList visible;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                visible.append(window);
            }
        }
        return visible;
    }();
    QCOMPARE(shown, QWidgetList{login.data()});

    Typing::type(control<QLineEdit>(*login, "txtLogar"), typed);
    if (closeInstead) {
        QTest::mouseClick(control<QAbstractButton>(*login, "btnFechar"), Qt::LeftButton);
    } else {
        QTest::keyClick(control<QLineEdit>(*login, "txtLogar"), Qt::Key_Return);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!login);

    QCOMPARE(finishedSpy.count(), mainWindowShown ? 0 : 1);
    if (mainWindowShown) {
        QVERIFY(program.mainWindow()->isVisible());
    } else {
        QVERIFY(!program.mainWindow() || !program.mainWindow()->isVisible());
    }
    QStringList shownMessages;
    for (const auto& message : m_platform->messages) {
        shownMessages.append(message.text);
    }
    QCOMPARE(shownMessages, messages);
}

void TestLoginWindow::startUpWithoutAskingShowsTheMainWindow()
{
    Program program(m_folder->path(), *m_platform);
    QVERIFY(program.start());
    QVERIFY(!program.loginWindow());
    QVERIFY(program.mainWindow()->isVisible());
}

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
