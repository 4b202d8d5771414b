#include "access/loginwindow.h"
#include "access/settingswindow.h"
#include "access/typing.h"
#include "platform/recordingplatform.h"
#include "storage/atomicfile.h"
#include "storage/entryrecord.h"
#include "storage/settingsfile.h"
#include "storage/vault.h"
#include "storage/windows1252.h"
#include "support/datafolder.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray installationKey = "61226";
const QString mismatch = QStringLiteral("senhas não conferem!");
const QString blankPassword = QStringLiteral("A nova senha não pode ficar em branco.\n"
                                             "Para manter a senha atual, digite-a também nos campos da nova senha.");
const QString updated = QStringLiteral("Dados atualizados com sucesso!");

// What the user fills in before pressing btnOk.
struct Form
{
    QString current;
    QString newPassword;
    QString repetition;
    bool askAtStart;
};

} // namespace

Q_DECLARE_METATYPE(Form)

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void optionFollowsTheStoredAnswer_data();
    void optionFollowsTheStoredAnswer();
    void refusedChangeWritesNothing_data();
    void refusedChangeWritesNothing();
    void storedChange_data();
    void storedChange();
    void installationKeySurvivesEveryRewrite();
    void passwordCheckedAfterSaveIsTheStoredOne();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
    void boxesTakeOnlyTheSettingsSet_data();
    void boxesTakeOnlyTheSettingsSet();
    void currentPasswordIsMaskedAndFirst();
    void captionsAndToolTips_data();
    void captionsAndToolTips();

private:
    // Starts from a cnfg.tab with these fields, as if written by an earlier run.
    void startWith(const QByteArray& password, const QByteArray& answer);
    void fillIn(SettingsWindow& window, const Form& form);
    void press(SettingsWindow& window, const char* button);
    QByteArray settingsFile() const { return m_folder->read(QStringLiteral("cnfg.tab")); }
    template <typename T>
    static T* control(QWidget& window, const char* name);

    std::unique_ptr<DataFolder> m_folder;
    std::unique_ptr<Vault> m_vault;
    std::unique_ptr<RecordingPlatform> m_platform;
};

void TestSettingsWindow::init()
{
    m_folder = std::make_unique<DataFolder>();
    m_platform = std::make_unique<RecordingPlatform>();
    startWith(Settings::factoryPassword, Settings::answerNo);
}

void TestSettingsWindow::cleanup()
{
    AtomicFile::setChunkCheckForTesting({});
    m_vault.reset();
    m_platform.reset();
    m_folder.reset();
}

void TestSettingsWindow::startWith(const QByteArray& password, const QByteArray& answer)
{
    m_folder->write(QStringLiteral("cnfg.tab"), SettingsFile::encode({installationKey, password, answer}));
    m_vault = std::make_unique<Vault>(m_folder->path());
    QVERIFY(m_vault->open().ok());
}

template <typename T>
T* TestSettingsWindow::control(QWidget& window, const char* name)
{
    auto* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

void TestSettingsWindow::fillIn(SettingsWindow& window, const Form& form)
{
    Typing::type(control<QLineEdit>(window, "txtSenhaAtual"), form.current);
    Typing::type(control<QLineEdit>(window, "txtNovaSenha"), form.newPassword);
    Typing::type(control<QLineEdit>(window, "txtRepSenha"), form.repetition);
    QTest::mouseClick(control<QRadioButton>(window, form.askAtStart ? "optSim" : "optNao"), Qt::LeftButton);
}

void TestSettingsWindow::press(SettingsWindow& window, const char* button)
{
    QTest::mouseClick(control<QAbstractButton>(window, button), Qt::LeftButton);
}

void TestSettingsWindow::optionFollowsTheStoredAnswer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("sim");

    QTest::newRow("Sim") << QByteArray("Sim") << true;
    QTest::newRow("Não") << QByteArray(Settings::answerNo) << false;
    QTest::newRow("sim in lower case") << QByteArray("sim") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestSettingsWindow::optionFollowsTheStoredAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, sim);

    startWith(Settings::factoryPassword, answer);
    SettingsWindow window(*m_vault, *m_platform);
    QCOMPARE(control<QRadioButton>(window, "optSim")->isChecked(), sim);
    QCOMPARE(control<QRadioButton>(window, "optNao")->isChecked(), !sim);
    for (const char* box : {"txtSenhaAtual", "txtNovaSenha", "txtRepSenha"}) {
        QVERIFY(control<QLineEdit>(window, box)->text().isEmpty());
    }
}

void TestSettingsWindow::refusedChangeWritesNothing_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");

    const QByteArray password = "Cofre2026";
    QTest::newRow("wrong current password") << password << Form{"Cofre2025", "Novo1", "Novo1", true} << mismatch;
    QTest::newRow("current password in other case")
        << password << Form{"cofre2026", "Novo1", "Novo1", true} << mismatch;
    QTest::newRow("current password left empty") << password << Form{"", "Novo1", "Novo1", false} << mismatch;
    QTest::newRow("current password with one more character")
        << password << Form{"Cofre20266", "Novo1", "Novo1", true} << mismatch;
    QTest::newRow("repetition differs") << password << Form{"Cofre2026", "Novo1", "Novo2", true} << mismatch;
    QTest::newRow("repetition in other case") << password << Form{"Cofre2026", "Novo1", "NOVO1", true} << mismatch;
    QTest::newRow("repetition left empty") << password << Form{"Cofre2026", "Novo1", "", false} << mismatch;
    QTest::newRow("repetition without the accent") << password << Form{"Cofre2026", "Açaí", "Açai", true} << mismatch;
    QTest::newRow("new password empty twice") << password << Form{"Cofre2026", "", "", true} << blankPassword;
    QTest::newRow("new password empty, stored one empty too")
        << QByteArray() << Form{"", "", "", true} << blankPassword;
}

void TestSettingsWindow::refusedChangeWritesNothing()
{
    QFETCH(QByteArray, stored);
    QFETCH(Form, form);
    QFETCH(QString, message);

    startWith(stored, Settings::answerNo);
    const QByteArray before = settingsFile();
    const Settings settingsBefore = m_vault->settings();
    QSignalSpy changedSpy(m_vault.get(), &Vault::settingsChanged);

    SettingsWindow window(*m_vault, *m_platform);
    QSignalSpy finishedSpy(&window, &QDialog::finished);
    window.show();
    fillIn(window, form);
    press(window, "btnOk");

    QCOMPARE(m_platform->messages.size(), 1);
    QCOMPARE(m_platform->messages[0].text, message);
    QCOMPARE(m_platform->messages[0].title, QStringLiteral("Corvelo KeyHound"));
    QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::None);
    QCOMPARE(settingsFile(), before);
    QCOMPARE(m_vault->settings().masterPassword, settingsBefore.masterPassword);
    QCOMPARE(m_vault->settings().askAtStart, settingsBefore.askAtStart);
    QCOMPARE(changedSpy.count(), 0);
    // The dialog stays open with what the user typed.
    QVERIFY(window.isVisible());
    QCOMPARE(finishedSpy.count(), 0);
    QCOMPARE(control<QLineEdit>(window, "txtSenhaAtual")->text(), form.current);
    QCOMPARE(control<QLineEdit>(window, "txtNovaSenha")->text(), form.newPassword);
    QCOMPARE(control<QLineEdit>(window, "txtRepSenha")->text(), form.repetition);

    // Closing afterwards writes nothing either.
    press(window, "btnFechar");
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(settingsFile(), before);
    QCOMPARE(m_platform->messages.size(), 1);
}

void TestSettingsWindow::storedChange_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("answerBefore");
    QTest::addColumn<Form>("form");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("answer");

    const QByteArray factory = Settings::factoryPassword;
    const QByteArray no = Settings::answerNo;
    QTest::newRow("only the start option, on")
        << factory << no << Form{"8046", "8046", "8046", true} << factory << QByteArray("Sim");
    QTest::newRow("only the start option, off")
        << factory << QByteArray("Sim") << Form{"8046", "8046", "8046", false} << factory << no;
    QTest::newRow("new password, option kept")
        << factory << no << Form{"8046", "Cofre2026", "Cofre2026", false} << QByteArray("Cofre2026") << no;
    QTest::newRow("twelve characters") << factory << no << Form{"8046", "abcdefghijkl", "abcdefghijkl", true}
                                       << QByteArray("abcdefghijkl") << QByteArray("Sim");
    QTest::newRow("accented letters, stored as single bytes")
        << factory << no << Form{"8046", "ÑñÇçÃõü", "ÑñÇçÃõü", false} << QByteArray("\xD1\xF1\xC7\xE7\xC3\xF5\xFC")
        << no;
    QTest::newRow("the six symbols") << factory << no << Form{"8046", "@&*#$_", "@&*#$_", false} << QByteArray("@&*#$_")
                                     << no;
    QTest::newRow("from an accented password") << QByteArray("S\xE3o") << no << Form{"São", "Paulo", "Paulo", true}
                                               << QByteArray("Paulo") << QByteArray("Sim");
    QTest::newRow("from an empty stored password")
        << QByteArray() << QByteArray("Sim") << Form{"", "Nova1", "Nova1", true} << QByteArray("Nova1")
        << QByteArray("Sim");
}

void TestSettingsWindow::storedChange()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, answerBefore);
    QFETCH(Form, form);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, answer);

    startWith(stored, answerBefore);
    QSignalSpy changedSpy(m_vault.get(), &Vault::settingsChanged);
    SettingsWindow window(*m_vault, *m_platform);
    QSignalSpy finishedSpy(&window, &QDialog::finished);
    window.show();
    fillIn(window, form);
    press(window, "btnOk");

    QCOMPARE(m_platform->messages.size(), 1);
    QCOMPARE(m_platform->messages[0].text, updated);
    QCOMPARE(m_platform->messages[0].icon, Platform::MessageIcon::None);
    QVERIFY(!window.isVisible());
    QCOMPARE(finishedSpy.count(), 1);
    QCOMPARE(window.result(), int(QDialog::Accepted));

    // The file holds exactly the new record under the same key, readable by its owner only.
    QCOMPARE(settingsFile(), SettingsFile::encode({installationKey, password, answer}));
    QCOMPARE(QFileInfo(m_folder->filePath(QStringLiteral("cnfg.tab"))).permissions(),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    QCOMPARE(changedSpy.count(), 1);
    QCOMPARE(m_vault->settings().installationKey, installationKey);
    QCOMPARE(m_vault->settings().masterPassword, password);
    QCOMPARE(m_vault->settings().askAtStart, answer);
}

void TestSettingsWindow::installationKeySurvivesEveryRewrite()
{
    const QByteArray entry = EntryRecord::join(
        {"Banco", EntryRecord::noExpiry, "26.12.06.18.00.00", "joao", "s3gr3do", "http://banco.example", "conta"});
    QVERIFY(m_vault->addEntry(entry).ok());
    const QByteArray vaultBefore = m_folder->read(QStringLiteral("pswd.tab"));

    const QList<Form> changes = {
        {"8046", "8046", "8046", true},
        {"8046", "Primeira1", "Primeira1", false},
        {"Primeira1", "Segunda$2", "Segunda$2", true},
        {"Segunda$2", "Segunda$2", "Segunda$2", false},
    };
    for (const Form& change : changes) {
        SettingsWindow window(*m_vault, *m_platform);
        window.show();
        fillIn(window, change);
        press(window, "btnOk");
        QCOMPARE(m_platform->messages.last().text, updated);
        QCOMPARE(SettingsFile::decode(settingsFile()).installationKey, installationKey);
    }
    QCOMPARE(m_platform->messages.size(), changes.size());
    QCOMPARE(m_folder->read(QStringLiteral("pswd.tab")), vaultBefore);

    // A later start still reads the entry with the same key.
    Vault reopened(m_folder->path());
    QVERIFY(reopened.open().ok());
    QCOMPARE(reopened.settings().installationKey, installationKey);
    QCOMPARE(reopened.settings().masterPassword, QByteArray("Segunda$2"));
    QCOMPARE(reopened.entries().size(), 1);
    QCOMPARE(reopened.entries().at(0), entry);
}

void TestSettingsWindow::passwordCheckedAfterSaveIsTheStoredOne()
{
    SettingsWindow window(*m_vault, *m_platform);
    window.show();
    fillIn(window, {"8046", "Troca@1", "Troca@1", true});
    press(window, "btnOk");
    QCOMPARE(m_platform->messages.last().text, updated);

    const auto tryLogin = [this](const QString& typed) {
        LoginWindow login(*m_vault, *m_platform);
        QSignalSpy acceptedSpy(&login, &LoginWindow::passwordAccepted);
        login.show();
        Typing::type(login.findChild<QLineEdit*>(QStringLiteral("txtLogar")), typed);
        QTest::mouseClick(login.findChild<QAbstractButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
        return acceptedSpy.count() == 1;
    };
    QVERIFY(!tryLogin(QStringLiteral("8046")));
    QVERIFY(tryLogin(QStringLiteral("Troca@1")));

    // The same password is what a fresh start reads from the file.
    Vault reopened(m_folder->path());
    QVERIFY(reopened.open().ok());
    QCOMPARE(reopened.settings().masterPassword, m_vault->settings().masterPassword);
    QVERIFY(reopened.settings().asksPasswordAtStart());
}

void TestSettingsWindow::failedWriteChangesNothing_data()
{
    QTest::addColumn<bool>("directoryInPlace");

    QTest::newRow("cnfg.tab replaced by a folder") << true;
    QTest::newRow("disk full while writing") << false;
}

void TestSettingsWindow::failedWriteChangesNothing()
{
    QFETCH(bool, directoryInPlace);

    const QString path = m_folder->filePath(QStringLiteral("cnfg.tab"));
    const QByteArray before = settingsFile();
    if (directoryInPlace) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("cnfg.tab")));
    } else {
        AtomicFile::setChunkCheckForTesting([](qint64) { return false; });
    }
    const Settings settingsBefore = m_vault->settings();

    SettingsWindow window(*m_vault, *m_platform);
    window.show();
    fillIn(window, {"8046", "Nova1", "Nova1", true});
    press(window, "btnOk");

    QCOMPARE(m_platform->messages.size(), 1);
    const RecordingPlatform::Message& message = m_platform->messages[0];
    QVERIFY2(message.text.startsWith(QStringLiteral("Não foi possível gravar o arquivo cnfg.tab")),
             qPrintable(message.text));
    QVERIFY(!message.text.contains(updated));
    QCOMPARE(message.icon, Platform::MessageIcon::Critical);
    QVERIFY(window.isVisible());
    QCOMPARE(m_vault->settings().masterPassword, settingsBefore.masterPassword);
    QCOMPARE(m_vault->settings().askAtStart, settingsBefore.askAtStart);
    if (directoryInPlace) {
        QVERIFY(QFileInfo(path).isDir());
    } else {
        QCOMPARE(settingsFile(), before);
    }
    // No temporary file is left behind.
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden).size(), directoryInPlace ? 1 : 2);
}

void TestSettingsWindow::boxesTakeOnlyTheSettingsSet_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    for (const QByteArray box : {"txtSenhaAtual", "txtNovaSenha", "txtRepSenha"}) {
        const auto row = [&box](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", box.constData(), name);
        };
        row("thirteenth character refused")
            << box << false << QStringLiteral("abcdefghijklm") << QStringLiteral("abcdefghijkl");
        row("space refused") << box << false << QStringLiteral("ab cd") << QStringLiteral("abcd");
        row("punctuation refused") << box << false << QStringLiteral("a.b-c,d!e?f") << QStringLiteral("abcdef");
        row("accents and symbols typed") << box << false << QStringLiteral("ÇãÜ@&*#$_") << QStringLiteral("ÇãÜ@&*#$_");
        row("tilde, grave, caret, degree, ordinals refused")
            << box << false << QStringLiteral("a~`^°ªºb") << QStringLiteral("ab");
        row("paste with a space refused whole") << box << true << QStringLiteral("minha senha") << QString();
        row("paste of allowed text") << box << true << QStringLiteral("Açaí@26") << QStringLiteral("Açaí@26");
        row("paste cut at twelve") << box << true << QStringLiteral("abcdefghijklmnop")
                                   << QStringLiteral("abcdefghijkl");
    }
}

void TestSettingsWindow::boxesTakeOnlyTheSettingsSet()
{
    QFETCH(QByteArray, box);
    QFETCH(bool, pasted);
    QFETCH(QString, input);
    QFETCH(QString, expected);

    SettingsWindow window(*m_vault, *m_platform);
    window.show();
    auto* edit = control<QLineEdit>(window, box.constData());
    QCOMPARE(edit->maxLength(), 12);
    if (pasted) {
        Typing::paste(edit, input);
    } else {
        Typing::type(edit, input);
    }
    QCOMPARE(edit->text(), expected);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), expected);
    if (!expected.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), expected.chopped(1));
    }
}

void TestSettingsWindow::currentPasswordIsMaskedAndFirst()
{
    SettingsWindow window(*m_vault, *m_platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(window.isModal());

    auto* current = control<QLineEdit>(window, "txtSenhaAtual");
    auto* newPassword = control<QLineEdit>(window, "txtNovaSenha");
    auto* repetition = control<QLineEdit>(window, "txtRepSenha");
    QCOMPARE(QApplication::focusWidget(), current);
    QTest::keyClick(current, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), newPassword);
    QTest::keyClick(newPassword, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), repetition);

    Typing::type(current, QStringLiteral("8046"));
    Typing::type(newPassword, QStringLiteral("Nova"));
    Typing::type(repetition, QStringLiteral("Nova"));
    QCOMPARE(current->displayText(), QStringLiteral("****"));
    QCOMPARE(newPassword->displayText(), QStringLiteral("Nova"));
    QCOMPARE(repetition->displayText(), QStringLiteral("Nova"));
}

void TestSettingsWindow::captionsAndToolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("title") << "Label6" << QStringLiteral("Configuração") << QString();
    QTest::newRow("question") << "lblUsarSenha" << QStringLiteral("Pedir Senha ao inicializar o programa?")
                              << QString();
    QTest::newRow("yes") << "optSim" << QStringLiteral("SIM") << QString();
    QTest::newRow("no") << "optNao" << QStringLiteral("NÃO") << QString();
    QTest::newRow("current") << "lblSenhaAtual" << QStringLiteral("Senha atual") << QString();
    QTest::newRow("new") << "Label3" << QStringLiteral("Nova senha") << QString();
    QTest::newRow("again") << "Label4" << QStringLiteral("Repetir nova senha") << QString();
    QTest::newRow("note") << "Label1" << QStringLiteral("(Máximo 12 caracteres em cada entrada)") << QString();
    QTest::newRow("update") << "btnOk" << QString() << QStringLiteral(" Atualizar ");
    QTest::newRow("close") << "btnFechar" << QString() << QStringLiteral(" Fechar ");
}

void TestSettingsWindow::captionsAndToolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);

    SettingsWindow window(*m_vault, *m_platform);
    QCOMPARE(window.objectName(), QStringLiteral("frm6_Configurar"));
    auto* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), caption);
    } else if (auto* option = qobject_cast<QRadioButton*>(widget)) {
        QCOMPARE(option->text(), caption);
    }
    QCOMPARE(widget->toolTip(), toolTip);
    QVERIFY(window.rect().contains(widget->geometry()));
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
