#include "access/loginwindow.h"
#include "app/wakechannel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "platform/recordingplatform.h"
#include "storage/vault.h"
#include "support/datafolder.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

#include <future>

// A second start asks, through the real local socket, the running program to come forward.
class BringToFrontTest : public QObject
{
    Q_OBJECT

private slots:
    void woken_data();
    void woken();
    void nobodyListening();
    void strangerIsIgnored();
};

void BringToFrontTest::woken_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("asksPassword");

    QTest::newRow("minimised") << "minimised" << false;
    QTest::newRow("in the notification area") << "tray" << false;
    QTest::newRow("behind other windows") << "shown" << false;
    QTest::newRow("login asked: the login comes forward, not the entries") << "login" << true;
}

void BringToFrontTest::woken()
{
    QFETCH(QString, state);
    QFETCH(bool, asksPassword);

    const DataFolder folder;
    {
        Vault setup(folder.path());
        QVERIFY(setup.open().ok());
        QVERIFY(setup.saveSettings("8046", asksPassword).ok());
    }
    RecordingPlatform platform;
    Program program(folder.path(), platform);
    WakeChannel channel(folder.path());
    QVERIFY(channel.listen());
    connect(&channel, &WakeChannel::wakeRequested, &program, &Program::bringToFront);
    QVERIFY(program.start());
    MainWindow* window = program.mainWindow();
    if (state == QLatin1String("minimised")) {
        QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("btnMinimizar")), Qt::LeftButton);
        QVERIFY(window->isMinimized());
    } else if (state == QLatin1String("tray")) {
        QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("btnTray")), Qt::LeftButton);
        QVERIFY(!window->isVisible());
    } else if (state == QLatin1String("login")) {
        program.loginWindow()->showMinimized();
    }

    auto woken = std::async(std::launch::async, [&folder] { return WakeChannel::wake(folder.path()); });
    QTRY_VERIFY(woken.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(woken.get());

    QWidget* front = asksPassword ? static_cast<QWidget*>(program.loginWindow()) : window;
    QVERIFY(front->isVisible());
    QVERIFY(!front->isMinimized());
    QCOMPARE(window->isVisible(), !asksPassword);
}

void BringToFrontTest::nobodyListening()
{
    const DataFolder folder;
    QVERIFY(!WakeChannel::wake(folder.path(), std::chrono::milliseconds(300)));
}

void BringToFrontTest::strangerIsIgnored()
{
    // Anything but the wake request brings nothing forward and gets no answer.
    const DataFolder folder;
    WakeChannel channel(folder.path());
    QVERIFY(channel.listen());
    QSignalSpy wakeRequests(&channel, &WakeChannel::wakeRequested);
    QLocalSocket socket;
    socket.connectToServer(WakeChannel::serverName(folder.path()));
    QVERIFY(socket.waitForConnected());
    socket.write("show\n");
    QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(socket.readAll(), QByteArray());
    QCOMPARE(wakeRequests.size(), 0);
}

QTEST_MAIN(BringToFrontTest)
#include "tst_bringtofront.moc"
