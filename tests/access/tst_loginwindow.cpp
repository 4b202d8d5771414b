#include "support/datafolder.h"
#include "support/input.h"
#include "support/programwindows.h"

#include "access/loginwindow.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "storage/windows1252.h"
#include "support/recordingplatform.h"

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
    void dragsOnlyByDecoration_data()
    {
        QTest::addColumn<QByteArray>("part");
        QTest::addColumn<bool>("drags");
        QTest::newRow("the emblem, part of the background") << QByteArray("Image1") << true;
        QTest::newRow("the key picture beside the password box") << QByteArray("imgLogar") << false;
    }

    // A press on the window's decoration drags it along with the pointer; a press on anything else leaves it in place.
    void dragsOnlyByDecoration()
    {
        QFETCH(QByteArray, part);
        QFETCH(bool, drags);
        ProgramWindows windows;
        QWidget* login = windows.window(QStringLiteral("frm0_Logar"));
        const QPoint start = login->pos();
        const QPoint pressed = child(login, part.constData())->geometry().center();
        QTest::mousePress(login, Qt::LeftButton, {}, pressed);
        QMouseEvent move(QEvent::MouseMove, pressed + QPoint(30, 20), login->mapToGlobal(pressed + QPoint(30, 20)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(login, &move);
        QTest::mouseRelease(login, Qt::LeftButton, {}, pressed + QPoint(30, 20));
        QCOMPARE(login->pos(), drags ? start + QPoint(30, 20) : start);
    }

    void start_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Action>("action");
        const auto row = [](const char* name, const QString& stored, const QString& typed, Action action) {
            QTest::newRow(name) << stored << typed << action;
        };
        row("the right password and Ok open", "8046", "8046", Action::ClickOk);
        row("the right password and Enter open", "8046", "8046", Action::PressEnter);
        row("an accented password opens", "Açaí@1", "Açaí@1", Action::PressEnter);
        row("another letter case ends", "Cofre", "cofre", Action::ClickOk);
        row("a wrong password with Enter ends", "Cofre", "Cofre1", Action::PressEnter);
        row("a character without a code is not '?'", "80?6", "80ő6", Action::ClickOk);
        row("the close button ends silently", "8046", "8046", Action::ClickClose);
        row("closing the window ends silently", "8046", "8046", Action::CloseWindow);
    }

    // One try: the right password opens the main window; a wrong one ends the program after a message, closing without.
    void start()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(Action, action);
        const bool opens = stored == typed && action <= Action::PressEnter;
        DataFolder folder;
        Vault vault(folder.path());
        QVERIFY(vault.open().ok() && vault.saveSettings(Windows1252::fromUnicode(stored), true).ok());
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
};

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
