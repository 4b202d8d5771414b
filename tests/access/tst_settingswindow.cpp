#include "support/input.h"
#include "support/programwindows.h"

#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "storage/settingsfile.h"
#include "storage/windows1252.h"

#include <QRadioButton>
#include <QSignalSpy>

namespace {

const QString updated = QStringLiteral("Dados atualizados com sucesso!");
const QString changedOutside = QStringLiteral("O arquivo cnfg.tab foi alterado fora do programa");
const QString removedOutside = QStringLiteral("O arquivo cnfg.tab tinha sido removido fora do programa");

bool logsIn(ProgramWindows& windows, const QByteArray& password)
{
    auto* login = qobject_cast<LoginWindow*>(windows.window(QStringLiteral("frm0_Logar")));
    QSignalSpy accepted(login, &LoginWindow::passwordAccepted);
    typeText(child(login, "txtLogar"), Windows1252::toUnicode(password) + QLatin1Char('\n'));
    return accepted.count() == 1;
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
};

void TestSettingsWindow::save_data()
{
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<QStringList>("typed"); // the current, new and repeated password
    QTest::addColumn<bool>("askAtStart");   // chosen; the other was stored
    QTest::addColumn<QString>("message");   // it begins so
    const QString mismatch = QStringLiteral("senhas não conferem!"), full = QStringLiteral("1Ação@&*#$_Ñ");
    QTest::newRow("asking at start turned on") << "8046" << QStringList{"8046", "8046", "8046"} << true << updated;
    QTest::newRow("twelve characters stored") << "8046" << QStringList{"8046", full, full} << false << updated;
    QTest::newRow("from an accented password") << "São" << QStringList{"São", "Paulo", "Paulo"} << true << updated;
    QTest::newRow("current one in other case") << "Cofre" << QStringList{"COFRE", "Novo", "Novo"} << true << mismatch;
    QTest::newRow("repetition differs") << "Cofre" << QStringList{"Cofre", "Novo1", "Novo2"} << true << mismatch;
    QTest::newRow("new one empty") << "Cofre" << QStringList{"Cofre"} << true
                                   << QStringLiteral("A nova senha não pode ficar em branco.\n");
    QTest::newRow("changed outside") << "8046" << QStringList{"8046", "Nova1", "Nova1"} << false << changedOutside;
    QTest::newRow("removed outside: written again, said before the success")
        << "8046" << QStringList{"8046", "Nova1", "Nova1"} << false << removedOutside;
}

// A refused or failed change leaves cnfg.tab as it was; a stored one rewrites it, and the login takes only the new one.
void TestSettingsWindow::save()
{
    QFETCH(QString, storedText);
    QFETCH(QStringList, typed);
    QFETCH(bool, askAtStart);
    QFETCH(QString, message);
    const QByteArray stored = Windows1252::fromUnicode(storedText);
    ProgramWindows windows;
    QVERIFY(windows.vault.saveSettings(stored, !askAtStart).ok());
    QWidget* window = windows.window(QStringLiteral("frm6_Configurar"));
    QCOMPARE(child<QRadioButton>(window, "optSim")->isChecked(), !askAtStart);
    Vault other(windows.folder.path());
    QVERIFY(message != changedOutside || (other.open().ok() && other.saveSettings("Fora", true).ok()));
    const QByteArray before = windows.folder.read(QStringLiteral("cnfg.tab"));
    QVERIFY(message != removedOutside || QFile::remove(windows.folder.filePath(QStringLiteral("cnfg.tab"))));
    const bool saved = message == updated || message == removedOutside;
    const QByteArray after = saved ? Windows1252::fromUnicode(typed[1]) : message == changedOutside ? "Fora" : stored;
    for (const char* box : {"txtSenhaAtual", "txtNovaSenha", "txtRepSenha"}) {
        typeText(child(window, box), typed.isEmpty() ? QString() : typed.takeFirst());
    }
    click(child(window, askAtStart ? "optSim" : "optNao"));
    click(child(window, "btnOk"));

    const QList<RecordingPlatform::Message>& messages = windows.platform.messages;
    QCOMPARE(messages.size(), message == removedOutside ? 2 : 1);
    QVERIFY2(messages[0].text.startsWith(message), qPrintable(messages[0].text));
    QCOMPARE(messages.last().text.startsWith(updated), saved);
    QCOMPARE(window->isVisible(), !saved);
    const QByteArray answer = askAtStart ? Settings::answerYes : Settings::answerNo;
    QCOMPARE(windows.folder.read(QStringLiteral("cnfg.tab")),
             saved ? SettingsFile::encode({windows.vault.settings().installationKey, after, answer}) : before);
    QVERIFY(logsIn(windows, after));
    QCOMPARE(logsIn(windows, stored), stored == after);
    QCOMPARE(bool(child(window, "lblSenhaFabrica")), stored == Settings::factoryPassword);
    SettingsWindow reopened(windows.vault, windows.platform);
    QCOMPARE(bool(child(&reopened, "lblSenhaFabrica")), after == Settings::factoryPassword);
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
