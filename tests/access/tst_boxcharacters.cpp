#include "support/input.h"
#include "support/programwindows.h"

#include <QInputMethodEvent>
#include <QLineEdit>

namespace {

struct Box
{
    const char* window;
    const char* name;
};

} // namespace

Q_DECLARE_METATYPE(Box)

namespace {

const QList<Box> settingsBoxes = {
    {"frm6_Configurar", "txtSenhaAtual"}, {"frm6_Configurar", "txtNovaSenha"}, {"frm6_Configurar", "txtRepSenha"}};
const QList<Box> entryLoginBoxes = {{"frm1_Escrever", "txtLogin"},
                                    {"frm1_Escrever", "txtSenha"},
                                    {"frm2_Esquerda", "txtLogin"},
                                    {"frm2_Esquerda", "txtSenha"}};
const QList<Box> entryTitleBoxes = {{"frm1_Escrever", "txtTitulo"},
                                    {"frm1_Escrever", "txtUrl"},
                                    {"frm2_Esquerda", "txtTitulo"},
                                    {"frm2_Esquerda", "txtUrl"}};

const QString characterNotice = QStringLiteral("O caractere %1 não é aceito neste campo.");
const QString lineBreakNotice = QStringLiteral("Quebras de linha não são aceitas neste campo.");
const QString controlNotice = QStringLiteral("Caracteres de controle não são aceitos neste campo.");

enum class Arrival
{
    Typed,
    Pasted,
    // Committed by an input method, as a dead key's accent is.
    Composed,
};

void bringIn(QLineEdit* box, Arrival arrival, const QString& text)
{
    if (arrival == Arrival::Typed) {
        typeText(box, text);
    } else if (arrival == Arrival::Pasted) {
        paste(box, text);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
    }
}

// Each character on its own: a surrogate pair is one.
QStringList charactersOf(const QString& text)
{
    QStringList characters;
    for (const char32_t c : text.toUcs4()) {
        characters.append(QString::fromUcs4(&c, 1));
    }
    return characters;
}

// The rows of what a login or password box of either set takes.
void addLettersAndDigits(QString& taken)
{
    QTest::addColumn<QString>("characters");
    // Empty when the characters are taken; otherwise the notice, %1 standing for the character, or "*" for any.
    QTest::addColumn<QString>("notice");
    const QList<std::pair<const char*, QString>> rows = {
        {"digits are taken", "0123456789"},
        {"lower-case letters are taken", "abcdefghijklmnopqrstuvwxyz"},
        {"upper-case letters are taken", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"Portuguese accented letters are taken", "ÀÁÂÃÄÈÉÊËÌÍÎÏÒÓÔÕÖÙÚÛÜàáâãäèéêëìíîïòóôõöùúûüÑñÇç"},
    };
    for (const auto& [name, characters] : rows) {
        QTest::newRow(name) << characters << QString();
        taken += characters;
    }
}

// Every other character of the Latin alphabets, punctuation and currency (where a wrong character in a set would
// come from): all refused, each with a notice.
void addEveryOtherCharacter(const QString& taken)
{
    QString others;
    for (const auto& [first, last] : {std::pair<char16_t, char16_t>{0x01, 0x24F}, {0x2000, 0x20CF}}) {
        for (char16_t code = first; code <= last; ++code) {
            if (!taken.contains(QChar(code))) {
                others += QChar(code);
            }
        }
    }
    QTest::newRow("every other Latin letter or symbol is refused") << others << QStringLiteral("*");
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
    void checkEachCharacter(const QList<Box>& boxes);
};

void TestBoxCharacters::settingsPasswords_data()
{
    QString taken;
    addLettersAndDigits(taken);
    QTest::newRow("the six symbols are taken") << QStringLiteral("@&*#$_") << QString();
    taken += QStringLiteral("@&*#$_");
    QTest::newRow("the space is refused")
        << QStringLiteral(" ") << QStringLiteral("O espaço não é aceito neste campo.");
    QTest::newRow("other punctuation is refused")
        << QStringLiteral(".,:;<>=(){}[]'\"-+/\\!¿?|%~`^°ªº") << characterNotice;
    QTest::newRow("line breaks are refused") << QStringLiteral("\r\n") << lineBreakNotice;
    QTest::newRow("control characters are refused") << QStringLiteral("\t\x01\x7f") << controlNotice;
    addEveryOtherCharacter(taken);
}

void TestBoxCharacters::entryLoginsAndPasswords_data()
{
    QString taken;
    addLettersAndDigits(taken);
    QTest::newRow("punctuation and the space are taken")
        << QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ ") << QString();
    taken += QStringLiteral(".,:;<>=(){}[]'\"-+/\\@&*!¿?|%#$_ ");
    QTest::newRow("tilde, grave, caret, degree, ª and º are refused") << QStringLiteral("~`^°ªº") << characterNotice;
    QTest::newRow("line breaks are refused") << QStringLiteral("\r\n") << lineBreakNotice;
    QTest::newRow("control characters are refused") << QStringLiteral("\t\x01\x7f") << controlNotice;
    addEveryOtherCharacter(taken);
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

// Typed, pasted or composed, each character alone into an empty box is taken, or refused with a beep and a notice
// that says why, the box unchanged. A key that prints nothing is never typed into a box.
void TestBoxCharacters::checkEachCharacter(const QList<Box>& boxes)
{
    QFETCH(QString, characters);
    QFETCH(QString, notice);
    ProgramWindows windows;
    for (const Box& place : boxes) {
        QWidget* window = windows.window(QString::fromLatin1(place.window));
        auto* box = child<QLineEdit>(window, place.name);
        QWidget* message = child(window, "lblMensagem");
        for (const QString& character : charactersOf(characters)) {
            for (const Arrival arrival : {Arrival::Typed, Arrival::Pasted, Arrival::Composed}) {
                if (arrival == Arrival::Typed && (character.size() > 1 || !character[0].isPrint())) {
                    continue;
                }
                box->setText(QString());
                message->hide();
                windows.platform.beeps = 0;
                bringIn(box, arrival, character);
                const auto where = QStringLiteral("%1 %2 U+%3 arrival %4")
                                       .arg(place.window, place.name)
                                       .arg(character.toUcs4().value(0), 4, 16, QLatin1Char('0'))
                                       .arg(int(arrival));
                QVERIFY2(box->text() == (notice.isEmpty() ? character : QString()), qPrintable(where));
                QVERIFY2(windows.platform.beeps == (notice.isEmpty() ? 0 : 1), qPrintable(where));
                QVERIFY2(message->isVisible() != notice.isEmpty(), qPrintable(where));
                if (!notice.isEmpty() && notice != QLatin1String("*")) {
                    QCOMPARE(textOf(message), notice.contains(QLatin1String("%1")) ? notice.arg(character) : notice);
                }
            }
        }
    }
}

void TestBoxCharacters::limits_data()
{
    QTest::addColumn<Box>("place");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("notice");
    const QString password = QStringLiteral("A senha aceita no máximo %1 caracteres.");
    QTest::newRow("settings: current password, 12")
        << Box{"frm6_Configurar", "txtSenhaAtual"} << 12 << password.arg(12);
    QTest::newRow("settings: new password, 12") << Box{"frm6_Configurar", "txtNovaSenha"} << 12 << password.arg(12);
    QTest::newRow("settings: repetition, 12") << Box{"frm6_Configurar", "txtRepSenha"} << 12 << password.arg(12);
    for (const auto& [window, shown] : {std::pair{"frm1_Escrever", "new entry"}, {"frm2_Esquerda", "detail"}}) {
        QTest::addRow("%s: title, 45", shown)
            << Box{window, "txtTitulo"} << 45 << QStringLiteral("O título aceita no máximo 45 caracteres.");
        QTest::addRow("%s: address, 255", shown)
            << Box{window, "txtUrl"} << 255 << QStringLiteral("A URL aceita no máximo 255 caracteres.");
        QTest::addRow("%s: login, 45", shown)
            << Box{window, "txtLogin"} << 45 << QStringLiteral("O login aceita no máximo 45 caracteres.");
        QTest::addRow("%s: password, 20", shown) << Box{window, "txtSenha"} << 20 << password.arg(20);
    }
}

// A box takes up to its limit, typed or pasted; what goes beyond is refused whole, never cut. Text the program put
// there, longer than the limit or with a refused character, is shown whole and can be shortened, but not added to.
void TestBoxCharacters::limits()
{
    QFETCH(Box, place);
    QFETCH(int, limit);
    QFETCH(QString, notice);
    ProgramWindows windows;
    QWidget* window = windows.window(QString::fromLatin1(place.window));
    auto* box = child<QLineEdit>(window, place.name);
    const auto refused = [&](const QString& kept, const QString& told) {
        QCOMPARE(box->text(), kept);
        QCOMPARE(textOf(child(window, "lblMensagem")), told);
        QCOMPARE(windows.platform.beeps, 1);
        windows.platform.beeps = 0;
    };
    const QString full(limit, QLatin1Char('a'));

    box->setText(QString());
    paste(box, full + QLatin1Char('b'));
    refused(QString(), notice);
    paste(box, full);
    QCOMPARE(box->text(), full);
    typeText(box, QStringLiteral("b"));
    refused(full, notice);

    const QString stored = QStringLiteral("§") + full;
    box->setText(stored);
    QCOMPARE(box->text(), stored);
    typeText(box, QStringLiteral("\b"));
    QCOMPARE(box->text(), stored.chopped(1));
    typeText(box, QStringLiteral("b"));
    refused(stored.chopped(1), notice);
    typeText(box, QStringLiteral("\b§"));
    refused(stored.chopped(2), characterNotice.arg(QStringLiteral("§")));
    QCOMPARE(windows.platform.beeps, 0);
}

QTEST_MAIN(TestBoxCharacters)
#include "tst_boxcharacters.moc"
