#include "storage/cipher.h"

#include <QTest>

// The character cipher and the text routines the file formats are built from.
class TestCipher : public QObject
{
    Q_OBJECT

private slots:
    void keyCharacterRule_data();
    void keyCharacterRule();
    void replaceText_data();
    void replaceText();
    void binaryText_data();
    void binaryText();
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
    const QByteArray zeros(keyCharacters.size(), '\0');
    QByteArray expected;
    for (const char k : keyCharacters) {
        expected.append(char(k + 64));
    }
    QCOMPARE(EncryptStr(zeros, key), expected);
    QCOMPARE(UnEncryptStr(expected, key), zeros);
    QByteArray all;
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    QCOMPARE(UnEncryptStr(EncryptStr(all, key), key), all);
}

void TestCipher::replaceText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("inserted text not searched")
        << QByteArray("aab") << QByteArray("ab") << QByteArray("b") << QByteArray("ab");
    QTest::newRow("empty from") << QByteArray("senha") << QByteArray() << QByteArray("y") << QByteArray("senha");
    QTest::newRow("odd overlap") << QByteArray("aaa") << QByteArray("aa") << QByteArray("b") << QByteArray("ba");
    QTest::newRow("to contains from") << QByteArray("a") << QByteArray("a") << QByteArray("aa") << QByteArray("aa");
}

void TestCipher::replaceText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QByteArray, expected);
    QCOMPARE(ReplaceText(text, from, to), expected);
}

// A number and its 32-digit binary text; texts only read (never written) have no number column to round-trip.
void TestCipher::binaryText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<bool>("written");
    QTest::newRow("65") << QByteArray(24, '0') + "01000001" << 65 << true;
    QTest::newRow("-1") << QByteArray(32, '1') << -1 << true;
    QTest::newRow("minimum") << "1" + QByteArray(31, '0') << std::numeric_limits<qint32>::min() << true;
    QTest::newRow("&B 101") << QByteArray("&B 101") << 5 << false;
    QTest::newRow("empty") << QByteArray() << 0 << false;
    QTest::newRow("longer than 32 keeps the last") << "1" + QByteArray(32, '0') << 0 << false;
}

void TestCipher::binaryText()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, number);
    QFETCH(bool, written);
    QCOMPARE(::binaryTextToNumber(text), number);
    if (written) {
        QCOMPARE(::numberToBinaryText(number), text);
    }
}

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
