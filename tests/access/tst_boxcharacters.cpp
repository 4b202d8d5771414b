#include "support/input.h"
#include "support/programwindows.h"

#include <QLineEdit>

namespace {

// The boxes, as window/box, that each character set guards.
const QStringList settingsBoxes = {"frm6_Configurar/txtSenhaAtual", "frm6_Configurar/txtNovaSenha",
                                   "frm6_Configurar/txtRepSenha"};
const QStringList entryLoginBoxes = {"frm1_Escrever/txtLogin", "frm1_Escrever/txtSenha", "frm2_Esquerda/txtLogin",
                                     "frm2_Esquerda/txtSenha"};
const QStringList entryTitleBoxes = {"frm1_Escrever/txtTitulo", "frm1_Escrever/txtUrl", "frm2_Esquerda/txtTitulo",
                                     "frm2_Esquerda/txtUrl"};

const QString characterNotice = QStringLiteral("O caractere %1 não é aceito neste campo.");
const QString lineBreakNotice = QStringLiteral("Quebras de linha não são aceitas neste campo.");
const QString controlNotice = QStringLiteral("Caracteres de controle não são aceitos neste campo.");

// The rows of what a login or password box of either set takes.
void addLettersAndDigits(QString& taken)
{
    QTest::addColumn<QString>("characters");
    // Empty when the characters are taken; otherwise the notice, %1 standing for the character, or "*" for any.
    QTest::addColumn<QString>("notice");
    const QList<std::pair<const char*, QString>> rows = {
        {"digits and letters are taken", "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"Portuguese accented letters are taken", "ÀÁÂÃÄÈÉÊËÌÍÎÏÒÓÔÕÖÙÚÛÜàáâãäèéêëìíîïòóôõöùúûüÑñÇç"},
    };
    for (const auto& [name, characters] : rows) {
        QTest::newRow(name) << characters << QString();
        taken += characters;
    }
}

// The rows every login or password box shares after its own: what is refused whatever the set, and every other
// character of the Latin alphabets, punctuation and currency (where a wrong character in a set would come from).
void addRefusedByBoth(const QString& taken)
{
    QTest::newRow("line breaks are refused") << QStringLiteral("\r\n") << lineBreakNotice;
    QTest::newRow("control characters are refused") << QStringLiteral("\t\x01\x7f") << controlNotice;
    QString others;
    for (const auto& [first, last] : {std::pair<char16_t, char16_t>{0x01, 0x24F}, {0x2000, 0x20CF}}) {
        for (char16_t code = first; code <= last; ++code) {
            others += taken.contains(QChar(code)) ? QString() : QString(QChar(code));
        }
    }
    QTest::newRow("every other Latin letter or symbol is refused") << others << QStringLiteral("*");
}

QLineEdit* showBox(ProgramWindows& windows, const QString& place)
{
    return child<QLineEdit>(windows.window(place.section('/', 0, 0)), qPrintable(place.section('/', 1)));
}

} // namespace

class TestBoxCharacters : public QObject
{
    Q_OBJECT

private slots:
    void settingsPasswords_data();
    void settingsPasswords() { checkEachCharacter(settingsBoxes); }
    void entryLoginsAndPasswords_data();
    void entryLoginsAndPasswords() { checkEachCharacter(entryLoginBoxes); }
    void titlesAndAddresses_data();
    void titlesAndAddresses() { checkEachCharacter(entryTitleBoxes); }
    void limits_data();
    void limits();

private:
    void checkEachCharacter(const QStringList& boxes);
};

void TestBoxCharacters::settingsPasswords_data()
{
    QString taken = QStringLiteral("@&*#$_");
    addLettersAndDigits(taken);
    QTest::newRow("the six symbols are taken") << QStringLiteral("@&*#$_") << QString();
    QTest::newRow("the space is refused")
        << QStringLiteral(" ") << QStringLiteral("O espaço não é aceito neste campo.");
    QTest::newRow("other punctuation is refused")
        << QStringLiteral(".,:;<>=(){}[]'\"-+/\\!¿?|%~`^°ªº") << characterNotice;
    addRefusedByBoth(taken);
}

void TestBoxCharacters::entryLoginsAndPasswords_data()
{
    QString taken = QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ ");
    addLettersAndDigits(taken);
    QTest::newRow("punctuation and the space are taken")
        << QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ ") << QString();
    QTest::newRow("tilde, grave, caret, degree, ª and º are refused") << QStringLiteral("~`^°ªº") << characterNotice;
    addRefusedByBoth(taken);
}

void TestBoxCharacters::titlesAndAddresses_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QString>("notice");
    QTest::newRow("what the file can hold is taken") << QStringLiteral("aZ09 ~`^°ªº€Œ“”\tÿ") << QString();
    QTest::newRow("the field separator § and the line-break mark ¥ are refused")
        << QStringLiteral("§¥") << characterNotice;
    QTest::newRow("what the file cannot hold is refused") << QStringLiteral("Ωőア😀") << characterNotice;
    QTest::newRow("line breaks are refused") << QStringLiteral("\r\n") << lineBreakNotice;
}

// Typed or pasted, each character alone into an empty box is taken, or refused with a beep and a notice that says
// why, the box unchanged. A key that prints nothing types nothing into a box.
void TestBoxCharacters::checkEachCharacter(const QStringList& boxes)
{
    QFETCH(QString, characters);
    QFETCH(QString, notice);
    ProgramWindows windows;
    for (const QString& place : boxes) {
        QLineEdit* box = showBox(windows, place);
        QWidget* message = child(box->window(), "lblMensagem");
        for (const char32_t code : characters.toUcs4()) {
            const QString character = QString::fromUcs4(&code, 1);
            for (const bool typed : {true, false}) {
                if (typed && (character.size() > 1 || !character[0].isPrint())) {
                    continue;
                }
                box->setText(QString());
                message->hide();
                windows.platform.beeps = 0;
                typed ? typeText(box, character) : paste(box, character);
                const bool taken = box->text() == character && windows.platform.beeps == 0 && !message->isVisible();
                const bool refused = box->text().isEmpty() && windows.platform.beeps == 1 && message->isVisible();
                QVERIFY2(notice.isEmpty() ? taken : refused,
                         qPrintable(QStringLiteral("%1, U+%2, typed %3").arg(place).arg(code, 4, 16).arg(typed)));
                if (!notice.isEmpty() && notice != QLatin1String("*")) {
                    QCOMPARE(textOf(message), notice.contains(QLatin1String("%1")) ? notice.arg(character) : notice);
                }
            }
        }
    }
}

void TestBoxCharacters::limits_data()
{
    QTest::addColumn<QString>("place");
    for (const QString& place : settingsBoxes) {
        QTest::newRow(qPrintable(place + QStringLiteral(" takes 12"))) << place;
    }
}

// A settings box takes twelve characters, typed or pasted; more is refused whole, never cut. Text the program put
// there, longer or with a refused character, is shown whole and can be shortened, but not added to. (The entry
// windows test their own boxes' limits.)
void TestBoxCharacters::limits()
{
    QFETCH(QString, place);
    const QString notice = QStringLiteral("A senha aceita no máximo 12 caracteres.");
    ProgramWindows windows;
    QLineEdit* box = showBox(windows, place);
    const auto refused = [&](const QString& kept, const QString& told) {
        QCOMPARE(box->text(), kept);
        QCOMPARE(textOf(child(box->window(), "lblMensagem")), told);
        QCOMPARE(std::exchange(windows.platform.beeps, 0), 1);
    };
    const QString full(12, QLatin1Char('a'));
    box->setText(QString());
    paste(box, full + QLatin1Char('b'));
    refused(QString(), notice);
    paste(box, full);
    QCOMPARE(box->text(), full);
    typeText(box, QStringLiteral("b"));
    refused(full, notice);

    const QString stored = QStringLiteral("§") + full;
    box->setText(stored);
    typeText(box, QStringLiteral("\b"));
    QCOMPARE(box->text(), stored.chopped(1));
    typeText(box, QStringLiteral("b"));
    refused(stored.chopped(1), notice);
    typeText(box, QStringLiteral("\b§"));
    refused(stored.chopped(2), characterNotice.arg(QStringLiteral("§")));
}

QTEST_MAIN(TestBoxCharacters)
#include "tst_boxcharacters.moc"
