#include "access/keyfilter.h"
#include "access/typing.h"

#include <QLineEdit>
#include <QTest>

using KeyFilter::CharacterSet;

Q_DECLARE_METATYPE(KeyFilter::CharacterSet)

namespace {

// The two sets exactly as a login or password may hold them, written out group by group.
const QString letters = QStringLiteral("0123456789"
                                       "abcdefghijklmnopqrstuvwxyz"
                                       "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                       "\u00C0\u00C1\u00C2\u00C3\u00C4\u00C8\u00C9\u00CA\u00CB\u00CC\u00CD"
                                       "\u00CE\u00CF\u00D2\u00D3\u00D4\u00D5\u00D6\u00D9\u00DA\u00DB\u00DC"
                                       "\u00E0\u00E1\u00E2\u00E3\u00E4\u00E8\u00E9\u00EA\u00EB\u00EC\u00ED"
                                       "\u00EE\u00EF\u00F2\u00F3\u00F4\u00F5\u00F6\u00F9\u00FA\u00FB\u00FC"
                                       "\u00D1\u00F1\u00C7\u00E7");
const QString entryWindowSet = letters + QStringLiteral(".,:;<>=(){}[]'\"\"-+/\\@&*!\u00BF?|%#$_ \r\n");
const QString settingsSet = letters + QStringLiteral("@&*#$_");

constexpr char16_t backspace = 8;

} // namespace

class TestKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void setsHoldExactlyTheListedCharacters_data();
    void setsHoldExactlyTheListedCharacters();
    void limitaChars_data();
    void limitaChars();
    void everyOtherCodeIsRefused_data();
    void everyOtherCodeIsRefused();
    void filteredBoxTakesTypedAndPastedText_data();
    void filteredBoxTakesTypedAndPastedText();
    void recordTextValidator_data();
    void recordTextValidator();
};

void TestKeyFilter::setsHoldExactlyTheListedCharacters_data()
{
    QTest::addColumn<CharacterSet>("set");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    QTest::newRow("entry windows") << CharacterSet::EntryWindow << entryWindowSet << 144;
    QTest::newRow("settings") << CharacterSet::Settings << settingsSet << 116;
}

void TestKeyFilter::setsHoldExactlyTheListedCharacters()
{
    QFETCH(CharacterSet, set);
    QFETCH(QString, expected);
    QFETCH(int, count);

    QCOMPARE(KeyFilter::allowedCharacters(set), expected);
    QCOMPARE(KeyFilter::allowedCharacters(set).size(), count);
}

void TestKeyFilter::limitaChars_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("entryWindows");
    QTest::addColumn<bool>("settings");

    const auto row = [](const char* name, char16_t key, bool entryWindows, bool settings) {
        QTest::newRow(name) << int(key) << entryWindows << settings;
    };
    row("backspace", backspace, true, true);
    row("enter", 13, true, false);
    row("line feed", 10, true, false);
    row("space", 32, true, false);
    row("delete code", 127, false, false);
    row("ctrl+a select all", 1, false, false);
    row("ctrl+c copy", 3, false, false);
    row("ctrl+v paste", 22, false, false);
    row("ctrl+x cut", 24, false, false);
    row("ctrl+z undo", 26, false, false);
    row("slash before digits", u'/', true, false);
    row("colon after digits", u':', true, false);
    row("at sign before A", u'@', true, true);
    row("bracket after Z", u'[', true, false);
    row("grave accent before a", u'`', false, false);
    row("brace after z", u'{', true, false);
    row("tilde", u'~', false, false);
    row("caret", u'^', false, false);
    row("degree", u'\u00B0', false, false);
    row("feminine ordinal", u'\u00AA', false, false);
    row("masculine ordinal", u'\u00BA', false, false);
    row("inverted question mark", u'\u00BF', true, false);
    row("double quote", u'"', true, false);
    row("dot", u'.', true, false);
    row("hyphen", u'-', true, false);
    row("underscore", u'_', true, true);
    row("A grave", u'\u00C0', true, true);
    row("e acute", u'\u00E9', true, true);
    row("n tilde", u'\u00F1', true, true);
    row("C cedilla", u'\u00C7', true, true);
    row("A ring not listed", u'\u00C5', false, false);
    row("y diaeresis not listed", u'\u00FF', false, false);
    row("section sign", u'\u00A7', false, false);
    row("euro", u'\u20AC', false, false);
    row("high surrogate", u'\xD83D', false, false);
}

void TestKeyFilter::limitaChars()
{
    QFETCH(int, key);
    QFETCH(bool, entryWindows);
    QFETCH(bool, settings);

    const auto code = char16_t(key);
    QCOMPARE(int(KeyFilter::LimitaChars(code, CharacterSet::EntryWindow)), entryWindows ? key : 0);
    QCOMPARE(int(KeyFilter::LimitaChars(code, CharacterSet::Settings)), settings ? key : 0);
}

void TestKeyFilter::everyOtherCodeIsRefused_data()
{
    QTest::addColumn<CharacterSet>("set");
    QTest::addColumn<QString>("allowed");

    QTest::newRow("entry windows") << CharacterSet::EntryWindow << entryWindowSet;
    QTest::newRow("settings") << CharacterSet::Settings << settingsSet;
}

void TestKeyFilter::everyOtherCodeIsRefused()
{
    QFETCH(CharacterSet, set);
    QFETCH(QString, allowed);

    for (int code = 0; code <= 0xFFFF; ++code) {
        const auto key = char16_t(code);
        const bool passes = key == backspace || allowed.contains(QChar(key));
        if (KeyFilter::LimitaChars(key, set) != (passes ? key : 0)) {
            QFAIL(qPrintable(QStringLiteral("code %1 %2").arg(code).arg(passes ? "refused" : "let through")));
        }
    }
}

void TestKeyFilter::filteredBoxTakesTypedAndPastedText_data()
{
    QTest::addColumn<CharacterSet>("set");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("typed: refused keys are dropped one by one")
        << CharacterSet::Settings << false << QStringLiteral("a b.c~d") << QStringLiteral("abcd");
    QTest::newRow("typed: accents pass") << CharacterSet::Settings << false << QStringLiteral("ÇÉñ")
                                         << QStringLiteral("ÇÉñ");
    QTest::newRow("typed: emoji dropped")
        << CharacterSet::Settings << false << QStringLiteral("a😀b") << QStringLiteral("ab");
    QTest::newRow("typed: entry set keeps the space")
        << CharacterSet::EntryWindow << false << QStringLiteral("a b^c") << QStringLiteral("a bc");
    QTest::newRow("pasted: allowed text goes in")
        << CharacterSet::Settings << true << QStringLiteral("Açaí@26") << QStringLiteral("Açaí@26");
    QTest::newRow("pasted: one refused character refuses it all")
        << CharacterSet::Settings << true << QStringLiteral("minha senha") << QString();
    QTest::newRow("pasted: trailing line break refuses it all")
        << CharacterSet::Settings << true << QStringLiteral("senha\n") << QString();
    QTest::newRow("pasted: entry set takes a space")
        << CharacterSet::EntryWindow << true << QStringLiteral("o meu login") << QStringLiteral("o meu login");
    QTest::newRow("pasted: entry set refuses a tilde")
        << CharacterSet::EntryWindow << true << QStringLiteral("user~1") << QString();
}

void TestKeyFilter::filteredBoxTakesTypedAndPastedText()
{
    QFETCH(CharacterSet, set);
    QFETCH(bool, pasted);
    QFETCH(QString, input);
    QFETCH(QString, expected);

    QLineEdit box;
    box.setValidator(new CharacterSetValidator(set, &box));
    if (pasted) {
        Typing::paste(&box, input);
    } else {
        Typing::type(&box, input);
    }
    QCOMPARE(box.text(), expected);

    // Backspace always deletes.
    Typing::type(&box, QStringLiteral("x"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), expected);
}

void TestKeyFilter::recordTextValidator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");

    QTest::newRow("empty") << QString() << true;
    QTest::newRow("plain title") << QStringLiteral("Banco do Brasil") << true;
    QTest::newRow("characters refused in logins") << QStringLiteral("~`^°ªº¿ \"") << true;
    QTest::newRow("euro and dashes of 0x80-0x9F") << QStringLiteral("€ – ‘x’ …") << true;
    QTest::newRow("field separator") << QStringLiteral("a§b") << false;
    QTest::newRow("line-break mark") << QStringLiteral("preço ¥") << false;
    QTest::newRow("o double acute") << QStringLiteral("Erdős") << false;
    QTest::newRow("cjk") << QStringLiteral("日本") << false;
    QTest::newRow("emoji") << QStringLiteral("site 😀") << false;
}

void TestKeyFilter::recordTextValidator()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);

    QCOMPARE(RecordTextValidator::isStorable(text), storable);
    RecordTextValidator validator;
    int position = 0;
    QCOMPARE(validator.validate(text, position), storable ? QValidator::Acceptable : QValidator::Invalid);

    // Pasted into a box, the text goes in whole or not at all.
    QLineEdit box;
    box.setValidator(&validator);
    Typing::paste(&box, text);
    QCOMPARE(box.text(), storable ? text : QString());
    box.setValidator(nullptr);
}

QTEST_MAIN(TestKeyFilter)
#include "tst_keyfilter.moc"
