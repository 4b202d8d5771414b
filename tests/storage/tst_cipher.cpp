#include "storage/cipher.h"
#include "storage/windows1252.h"

#include <QTest>

// The character cipher, the text routines the file formats are built from, and the Windows-1252 records.
class TestCipher : public QObject
{
    Q_OBJECT

private slots:
    void keyCharacterRule_data();
    void keyCharacterRule();
    void textRoutines();
    void windows1252_data();
    void windows1252();
};

// Enciphering zero codes shows the key character used at each position (code = key code + 64); every code comes
// back whole under the same key.
void TestCipher::keyCharacterRule_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("keyCharacters");
    QTest::newRow("one digit") << QByteArray("7") << QByteArray("77777777");
    QTest::newRow("two digits") << QByteArray("12") << QByteArray("12212121");
    QTest::newRow("four digits") << QByteArray("1234") << QByteArray("123423412341");
    QTest::newRow("empty key leaves the text") << QByteArray() << QByteArray(4, char(-64));
}

void TestCipher::keyCharacterRule()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, keyCharacters);
    QByteArray expected, all;
    for (const char k : keyCharacters) {
        expected.append(char(k + 64));
    }
    QCOMPARE(EncryptStr(QByteArray(keyCharacters.size(), '\0'), key), expected);
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    QCOMPARE(UnEncryptStr(EncryptStr(all, key), key), all);
}

void TestCipher::textRoutines()
{
    QCOMPARE(ReplaceText("aab", "ab", "b"), QByteArray("ab")); // the inserted text is not searched again
    QCOMPARE(::numberToBinaryText(65), QByteArray(24, '0') + "01000001");
    QCOMPARE(::numberToBinaryText(-1), QByteArray(32, '1'));
    QCOMPARE(::binaryTextToNumber(QByteArray(32, '1')), -1);
    QCOMPARE(::binaryTextToNumber("&B 101"), 5);
    QCOMPARE(::binaryTextToNumber(""), 0);
}

// Every byte round-trips; text the records cannot hold is refused, marked "?".
void TestCipher::windows1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("held");
    QByteArray all;
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    QTest::newRow("every byte") << Windows1252::toUnicode(all) << all << true;
    QTest::newRow("C1 control held by no byte") << QStringLiteral("a\u0080b") << QByteArray("a?b") << false;
    QTest::newRow("emoji (two halves)") << QStringLiteral("\U0001F511") << QByteArray("??") << false;
}

void TestCipher::windows1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, held);
    bool ok = !held;
    QCOMPARE(Windows1252::fromUnicode(text, &ok), bytes);
    QCOMPARE(ok, held);
    QCOMPARE(held, std::all_of(text.begin(), text.end(), [](QChar c) { return Windows1252::canEncode(c); }));
    if (held) {
        QCOMPARE(Windows1252::toUnicode(bytes), text);
    }
}

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
