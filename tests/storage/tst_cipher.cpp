#include "storage/cipher.h"

#include <QTest>

// The character cipher and the text routines the file formats are built from.
class TestCipher : public QObject
{
    Q_OBJECT

private slots:
    void keyCharacterRule_data();
    void keyCharacterRule();
    void emptyKeyLeavesText_data();
    void emptyKeyLeavesText();
    void everyCodeRoundTrips_data();
    void everyCodeRoundTrips();
    void longTextRoundTrips();
    void replaceText_data();
    void replaceText();
    void numberToBinaryText_data();
    void numberToBinaryText();
    void binaryTextToNumber_data();
    void binaryTextToNumber();
    void binaryTextRoundTrips();
};

// Enciphering a text of zero codes shows the key character used at each position: code = key code + 64.
void TestCipher::keyCharacterRule_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("keyCharacters");

    QTest::newRow("one digit") << QByteArray("7") << QByteArray("77777777");
    QTest::newRow("two digits") << QByteArray("12") << QByteArray("12212121");
    QTest::newRow("four digits") << QByteArray("1234") << QByteArray("123423412341");
    QTest::newRow("settings key") << QByteArray("7305") << QByteArray("730530573057");
    QTest::newRow("six digits") << QByteArray("123456") << QByteArray("1234562345612345");
}

void TestCipher::keyCharacterRule()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, keyCharacters);

    const QByteArray zeros(keyCharacters.size(), '\0');
    QByteArray expected;
    for (const char k : keyCharacters) {
        expected.append(char(k + 64));
    }
    QCOMPARE(EncryptStr(zeros, key), expected);
    QCOMPARE(UnEncryptStr(expected, key), zeros);
}

void TestCipher::emptyKeyLeavesText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("letters") << QByteArray("Senha");
    QTest::newRow("high codes") << QByteArray("\xFF\x00\xA7\x8F", 4);
}

void TestCipher::emptyKeyLeavesText()
{
    QFETCH(QByteArray, text);
    QCOMPARE(EncryptStr(text, ""), text);
    QCOMPARE(UnEncryptStr(text, ""), text);
}

void TestCipher::everyCodeRoundTrips_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::newRow("1 digit") << QByteArray("9");
    QTest::newRow("2 digits") << QByteArray("90");
    QTest::newRow("4 digits") << QByteArray("7305");
    QTest::newRow("6 digits") << QByteArray("547258");
}

void TestCipher::everyCodeRoundTrips()
{
    QFETCH(QByteArray, key);
    QByteArray all;
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    const QByteArray enciphered = EncryptStr(all, key);
    QCOMPARE(enciphered.size(), all.size());
    QVERIFY(enciphered != all);
    QCOMPARE(UnEncryptStr(enciphered, key), all);
    // Wrap-around at both ends: 255 + '9' + 64 and 0 - '9' - 64.
    QCOMPARE(EncryptStr(QByteArray(1, '\xFF'), "9"), QByteArray(1, char((255 + '9' + 64) % 256)));
    QCOMPARE(UnEncryptStr(QByteArray(1, '\0'), "9"), QByteArray(1, char(256 - '9' - 64)));
}

void TestCipher::longTextRoundTrips()
{
    // Every key length against texts shorter than, equal to and far longer than twice the key.
    for (const QByteArray key : {"5", "42", "7305", "311299"}) {
        for (int length = 0; length <= 3 * key.size() + 5; ++length) {
            QByteArray text;
            for (int i = 0; i < length; ++i) {
                text.append(char((i * 37 + 11) % 256));
            }
            QCOMPARE(UnEncryptStr(EncryptStr(text, key), key), text);
        }
    }
}

void TestCipher::replaceText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("inserted text not searched")
        << QByteArray("aab") << QByteArray("ab") << QByteArray("b") << QByteArray("ab");
    QTest::newRow("empty text") << QByteArray() << QByteArray("0") << QByteArray("\x7F") << QByteArray();
    QTest::newRow("not found") << QByteArray("senha") << QByteArray("x") << QByteArray("y") << QByteArray("senha");
    QTest::newRow("empty from") << QByteArray("senha") << QByteArray() << QByteArray("y") << QByteArray("senha");
    QTest::newRow("no overlap") << QByteArray("aaaa") << QByteArray("aa") << QByteArray("b") << QByteArray("bb");
    QTest::newRow("odd overlap") << QByteArray("aaa") << QByteArray("aa") << QByteArray("b") << QByteArray("ba");
    QTest::newRow("to contains from") << QByteArray("a") << QByteArray("a") << QByteArray("aa") << QByteArray("aa");
    QTest::newRow("case sensitive") << QByteArray("Aa") << QByteArray("a") << QByteArray("x") << QByteArray("Ax");
    QTest::newRow("removal") << QByteArray("\"x\"") << QByteArray("\"") << QByteArray() << QByteArray("x");
    QTest::newRow("line breaks to mark") << QByteArray("a\r\nb\r\n") << QByteArray("\r\n") << QByteArray("\xA5")
                                         << QByteArray("a\xA5"
                                                       "b\xA5");
    QTest::newRow("digits to markers") << QByteArray("0110") << QByteArray("0") << QByteArray("\x7F")
                                       << QByteArray("\x7F"
                                                     "11\x7F");
}

void TestCipher::replaceText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplaceText(text, from, to), expected);
}

void TestCipher::numberToBinaryText_data()
{
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QByteArray>("binary");

    QTest::newRow("0") << 0 << QByteArray(32, '0');
    QTest::newRow("65") << 65 << QByteArray(24, '0') + "01000001";
    QTest::newRow("255") << 255 << QByteArray(24, '0') + "11111111";
    QTest::newRow("-1") << -1 << QByteArray(32, '1');
    QTest::newRow("minimum") << std::numeric_limits<qint32>::min() << "1" + QByteArray(31, '0');
    QTest::newRow("maximum") << std::numeric_limits<qint32>::max() << "0" + QByteArray(31, '1');
}

void TestCipher::numberToBinaryText()
{
    QFETCH(qint32, number);
    QFETCH(QByteArray, binary);
    QCOMPARE(::numberToBinaryText(number), binary);
}

void TestCipher::binaryTextToNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("number");

    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("only spaces") << QByteArray("   ") << 0;
    QTest::newRow("eight digits") << QByteArray("01000001") << 65;
    QTest::newRow("32 ones") << QByteArray(32, '1') << -1;
    QTest::newRow("&B space 101") << QByteArray("&B 101") << 5;
    QTest::newRow("lower-case &b") << QByteArray("&b101") << 5;
    QTest::newRow("spaces around and inside") << QByteArray("  1 0 1  ") << 5;
    QTest::newRow("&B not at start") << QByteArray("1&B1") << 9;
    QTest::newRow("other characters clear") << QByteArray("1x1") << 5;
    QTest::newRow("longer than 32 keeps last") << "1" + QByteArray(32, '0') << 0;
    QTest::newRow("33 digits") << "0" + QByteArray(32, '1') << -1;
    QTest::newRow("sign bit") << "1" + QByteArray(31, '0') << std::numeric_limits<qint32>::min();
    QTest::newRow("markers are not digits") << QByteArray("\x8F\x8F") << 0;
}

void TestCipher::binaryTextToNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, number);
    QCOMPARE(::binaryTextToNumber(text), number);
}

void TestCipher::binaryTextRoundTrips()
{
    for (const qint32 number : {0, 1, 65, 255, 256, -1, -256, 123456789, std::numeric_limits<qint32>::min()}) {
        QCOMPARE(::binaryTextToNumber(::numberToBinaryText(number)), number);
        QCOMPARE(::binaryTextToNumber("&B" + ::numberToBinaryText(number)), number);
    }
}

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
