#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "support/input.h"
#include "platform/recordingplatform.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "support/datafolder.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>

#include <optional>

namespace {

const QByteArray installationKey = "61226";
const QString updated = QStringLiteral("Dados atualizados com sucesso!");
const char* const passwordBoxes[] = {"txtSenhaAtual", "txtNovaSenha", "txtRepSenha"};

// cnfg.tab before, the boxes and option as filled in, the message, the password stored, and whether the kernel
// refuses every write.
struct Change
{
    QByteArray stored;
    QByteArray answerBefore;
    QStringList typed;
    bool askAtStart;
    QString message;
    QByteArray password{};
    bool noWrites = false;
};

} // namespace

Q_DECLARE_METATYPE(Change)

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void save_data();
    void save();
    void refusedWhenChangedOutside();
    void factoryPasswordHint();

private:
    // Opens the window over a cnfg.tab with these fields, as if written by an earlier run.
    void startWith(const QByteArray& password, const QByteArray& answer = Settings::answerNo);
    bool logsIn(const QString& password);
    QByteArray settingsFile() const { return m_folder.read(QStringLiteral("cnfg.tab")); }

    DataFolder m_folder;
    RecordingPlatform m_platform;
    std::unique_ptr<Vault> m_vault;
    std::unique_ptr<SettingsWindow> m_window;
};

void TestSettingsWindow::startWith(const QByteArray& password, const QByteArray& answer)
{
    m_window.reset();
    m_platform.messages.clear();
    m_folder.write(QStringLiteral("cnfg.tab"), SettingsFile::encode({installationKey, password, answer}));
    m_vault = std::make_unique<Vault>(m_folder.path());
    QVERIFY(m_vault->open().ok());
    m_window = std::make_unique<SettingsWindow>(*m_vault, m_platform);
    m_window->show();
}

bool TestSettingsWindow::logsIn(const QString& password)
{
    LoginWindow login(*m_vault, m_platform);
    QSignalSpy acceptedSpy(&login, &LoginWindow::passwordAccepted);
    login.show();
    typeText(child<QLineEdit>(&login, "txtLogar"), password);
    QTest::mouseClick(child(&login, "btnOk"), Qt::LeftButton);
    return acceptedSpy.count() == 1;
}

void TestSettingsWindow::save_data()
{
    QTest::addColumn<Change>("change");

    const QByteArray no = Settings::answerNo;
    const QString mismatch = QStringLiteral("senhas não conferem!");
    const QString blank = QStringLiteral("A nova senha não pode ficar em branco.\n"
                                         "Para manter a senha atual, digite-a também nos campos da nova senha.");
    const QString failed = QStringLiteral("Não foi possível gravar o arquivo cnfg.tab:\nO arquivo ultrapassa o "
                                          "tamanho máximo permitido.\n\nAs configurações anteriores foram "
                                          "preservadas.");
    const QString full = QStringLiteral("1Ação@&*#$_Ñ"); // twelve characters
    QTest::newRow("start option on") << Change{"8046", no, {"8046", "8046", "8046"}, true, updated, "8046"};
    QTest::newRow("start option off") << Change{"8046", "Sim", {"8046", "8046", "8046"}, false, updated, "8046"};
    QTest::newRow("12 characters") << Change{"8046", no, {"8046", full, full}, false, updated, "1A\xE7\xE3o@&*#$_\xD1"};
    QTest::newRow("from accents") << Change{"S\xE3o", no, {"São", "Paulo", "Paulo"}, true, updated, "Paulo"};
    QTest::newRow("current in other case") << Change{"Cofre", "sim", {"COFRE", "Novo", "Novo"}, true, mismatch};
    QTest::newRow("repetition differs") << Change{"Cofre", no, {"Cofre", "Novo1", "Novo2"}, true, mismatch};
    QTest::newRow("new one empty") << Change{"Cofre", no, {"Cofre"}, true, blank};
    QTest::newRow("file size limit") << Change{"8046", no, {"8046", "Nova1", "Nova1"}, true, failed, {}, true};
}

// A refused or failed change leaves cnfg.tab as it was, and the password checked; a stored one rewrites it under the
// same installation key, readable by its owner only, and the login checks the new password from then on.
void TestSettingsWindow::save()
{
    QFETCH(Change, change);

    startWith(change.stored, change.answerBefore);
    std::optional<FileSizeLimit> noWrites;
    if (change.noWrites) {
        noWrites.emplace(0);
    }
    QCOMPARE(child<QRadioButton>(m_window.get(), "optSim")->isChecked(), change.answerBefore == "Sim");
    const QByteArray before = settingsFile();
    for (int i = 0; i < 3; ++i) {
        typeText(child<QLineEdit>(m_window.get(), passwordBoxes[i]), change.typed.value(i));
    }
    QTest::mouseClick(child(m_window.get(), change.askAtStart ? "optSim" : "optNao"), Qt::LeftButton);
    QTest::mouseClick(child(m_window.get(), "btnOk"), Qt::LeftButton);

    QCOMPARE(m_platform.messages.size(), 1);
    QCOMPARE(m_platform.messages[0].text, change.message);
    const bool saved = change.message == updated;
    QCOMPARE(m_window->isVisible(), !saved);
    // No temporary file is left behind; a save keeps the file it replaced as the backup.
    QStringList files = QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll("cnfg.tab.bak");
    QCOMPARE(files, (QStringList{"cnfg.tab", "pswd.tab"}));
    if (saved) {
        QCOMPARE(m_folder.read("cnfg.tab.bak"), before);
    }
    if (!saved) {
        QCOMPARE(settingsFile(), before);
        QVERIFY(logsIn(QString::fromLatin1(change.stored)));
        return;
    }
    const QByteArray answer = change.askAtStart ? Settings::answerYes : Settings::answerNo;
    QCOMPARE(settingsFile(), SettingsFile::encode({installationKey, change.password, answer}));
    QCOMPARE(QFileInfo(m_folder.filePath(QStringLiteral("cnfg.tab"))).permissions(),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    QVERIFY(logsIn(change.typed[1]));
    QCOMPARE(logsIn(change.typed[0]), change.typed[0] == change.typed[1]);
}

// Another program changed cnfg.tab while the window was open: nothing is written over it, the settings it holds are
// read, and the user is told.
void TestSettingsWindow::refusedWhenChangedOutside()
{
    startWith("8046");
    Vault outside(m_folder.path());
    QVERIFY(outside.open().ok() && outside.saveSettings("Fora", true).ok());
    const QByteArray outsideFile = settingsFile();
    for (int i = 0; i < 3; ++i) {
        typeText(child<QLineEdit>(m_window.get(), passwordBoxes[i]), i == 0 ? "8046" : "Nova1");
    }
    QTest::mouseClick(child(m_window.get(), "btnOk"), Qt::LeftButton);

    QCOMPARE(m_platform.messages.size(), 1);
    QCOMPARE(m_platform.messages[0].icon, Platform::MessageIcon::Exclamation);
    QVERIFY(m_platform.messages[0].text.startsWith(QStringLiteral("O arquivo cnfg.tab foi alterado fora do programa")));
    QVERIFY(m_window->isVisible());
    QCOMPARE(settingsFile(), outsideFile);
    QVERIFY(logsIn(QStringLiteral("Fora")));
    QVERIFY(m_vault->settings().asksPasswordAtStart());
}

// The factory password is shown beside the current password box until another one is stored.
void TestSettingsWindow::factoryPasswordHint()
{
    const auto hint = [this] { return child<QLabel>(m_window.get(), "lblSenhaFabrica"); };
    startWith(Settings::factoryPassword);
    QVERIFY(hint());
    QVERIFY(hint()->isVisible());
    QCOMPARE(hint()->text(), QStringLiteral("Senha de fábrica: 8046"));

    // A refused change keeps it.
    for (const QStringList& typed : {QStringList{"8O46", "nova", "nova"}, QStringList{"8046", "nova", "Nova"}}) {
        for (int i = 0; i < 3; ++i) {
            auto* box = child<QLineEdit>(m_window.get(), passwordBoxes[i]);
            box->clear();
            typeText(box, typed[i]);
        }
        QTest::mouseClick(child(m_window.get(), "btnOk"), Qt::LeftButton);
        QCOMPARE(m_platform.messages.takeLast().text, QStringLiteral("senhas não conferem!"));
        QVERIFY(hint()->isVisible());
    }

    // Stored: the window opened next, and after a restart, has none.
    typeText(child(m_window.get(), "txtRepSenha"), QStringLiteral("\b\b\b\bnova"));
    QTest::mouseClick(child(m_window.get(), "btnOk"), Qt::LeftButton);
    QCOMPARE(m_platform.messages.takeLast().text, updated);
    m_window = std::make_unique<SettingsWindow>(*m_vault, m_platform);
    QVERIFY(!hint());
    startWith("nova");
    QVERIFY(!hint());
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
