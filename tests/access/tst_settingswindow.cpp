#include "support/input.h"

#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "platform/recordingplatform.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

// cnfg.tab before, the three boxes and the option as filled in, the message, the password the login takes afterwards,
// and whether another program stored other settings while the window was open.
struct Change
{
    QByteArray stored;
    QByteArray answerBefore;
    QStringList typed;
    bool askAtStart;
    QString message;
    QByteArray passwordAfter;
    bool changedOutside = false;
};

const QByteArray installationKey = "61226";
const QString updated = QStringLiteral("Dados atualizados com sucesso!");

bool logsIn(const Vault& vault, const QByteArray& password)
{
    RecordingPlatform platform;
    LoginWindow login(vault, platform);
    QSignalSpy accepted(&login, &LoginWindow::passwordAccepted);
    login.show();
    typeText(child(&login, "txtLogar"), Windows1252::toUnicode(password) + QLatin1Char('\n'));
    return accepted.count() == 1;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
};

void TestSettingsWindow::save_data()
{
    QTest::addColumn<Change>("change");
    const QByteArray no = Settings::answerNo;
    const QString mismatch = QStringLiteral("senhas não conferem!");
    // The messages begin so.
    const QString blank = QStringLiteral("A nova senha não pode ficar em branco.\n");
    const QString outside = QStringLiteral("O arquivo cnfg.tab foi alterado fora do programa");
    const QString full = QStringLiteral("1Ação@&*#$_Ñ"); // twelve characters
    QTest::newRow("asking at start turned on") << Change{"8046", no, {"8046", "8046", "8046"}, true, updated, "8046"};
    QTest::newRow("asking at start turned off")
        << Change{"8046", "Sim", {"8046", "8046", "8046"}, false, updated, "8046"};
    QTest::newRow("twelve characters stored")
        << Change{"8046", no, {"8046", full, full}, false, updated, "1A\xE7\xE3o@&*#$_\xD1"};
    QTest::newRow("from an accented password")
        << Change{"S\xE3o", no, {"São", "Paulo", "Paulo"}, true, updated, "Paulo"};
    QTest::newRow("current one in other case")
        << Change{"Cofre", "Sim", {"COFRE", "Novo", "Novo"}, true, mismatch, "Cofre"};
    QTest::newRow("repetition differs") << Change{"Cofre", no, {"Cofre", "Novo1", "Novo2"}, true, mismatch, "Cofre"};
    QTest::newRow("new one empty") << Change{"Cofre", no, {"Cofre"}, true, blank, "Cofre"};
    QTest::newRow("changed outside") << Change{"8046", no, {"8046", "Nova1", "Nova1"}, false, outside, "Fora", true};
}

// A refused or failed change leaves cnfg.tab as it was; a stored one rewrites it under the same installation key,
// readable by its owner only, keeps the file it replaced as the backup, and the login takes the new password only.
// The factory password is shown as a hint until another is stored.
void TestSettingsWindow::save()
{
    QFETCH(Change, change);
    DataFolder folder;
    folder.write(QStringLiteral("cnfg.tab"),
                 SettingsFile::encode({installationKey, change.stored, change.answerBefore}));
    RecordingPlatform platform;
    Vault vault(folder.path());
    QVERIFY(vault.open().ok());
    SettingsWindow window(vault, platform);
    window.show();
    QCOMPARE(child<QRadioButton>(&window, "optSim")->isChecked(), change.answerBefore == "Sim");
    if (change.changedOutside) {
        Vault other(folder.path());
        QVERIFY(other.open().ok() && other.saveSettings("Fora", true).ok());
    }
    const QByteArray before = folder.read(QStringLiteral("cnfg.tab"));
    const char* const boxes[] = {"txtSenhaAtual", "txtNovaSenha", "txtRepSenha"};
    for (int i = 0; i < 3; ++i) {
        typeText(child(&window, boxes[i]), change.typed.value(i));
    }
    click(child(&window, change.askAtStart ? "optSim" : "optNao"));
    click(child(&window, "btnOk"));

    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages[0].text.startsWith(change.message), qPrintable(platform.messages[0].text));
    const bool saved = change.message == updated;
    QCOMPARE(window.isVisible(), !saved);
    QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("cnfg.tab.bak"));
    QCOMPARE(files, (QStringList{"cnfg.tab", "pswd.tab"}));
    if (saved) {
        const QByteArray answer = change.askAtStart ? Settings::answerYes : Settings::answerNo;
        QCOMPARE(folder.read(QStringLiteral("cnfg.tab")),
                 SettingsFile::encode({installationKey, change.passwordAfter, answer}));
        QCOMPARE(folder.read(QStringLiteral("cnfg.tab.bak")), before);
        QCOMPARE(QFile::permissions(folder.filePath(QStringLiteral("cnfg.tab"))),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    } else {
        QCOMPARE(folder.read(QStringLiteral("cnfg.tab")), before);
    }
    QVERIFY(logsIn(vault, change.passwordAfter));
    QCOMPARE(logsIn(vault, change.stored), change.stored == change.passwordAfter);
    QCOMPARE(bool(child(&window, "lblSenhaFabrica")), change.stored == Settings::factoryPassword);
    SettingsWindow reopened(vault, platform);
    QCOMPARE(bool(child(&reopened, "lblSenhaFabrica")), change.passwordAfter == Settings::factoryPassword);
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
