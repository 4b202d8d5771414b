#include "storage/windows1252.h"

#include <QTest>

// The conversion between records (Windows-1252 bytes) and the text the windows show.
class TestWindows1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
    void knownCharacters_data();
    void knownCharacters();
    void refusesWhatItCannotHold_data();
    void refusesWhatItCannotHold();
};

void TestWindows1252::everyByteRoundTrips()
{
    QByteArray all;
    for (int code = 0; code < 256; ++code) {
        all.append(char(code));
    }
    const QString text = Windows1252::toUnicode(all);
    QCOMPARE(text.size(), 256);
    bool ok = false;
    QCOMPARE(Windows1252::fromUnicode(text, &ok), all);
    QVERIFY(ok);
    for (const QChar character : text) {
        QVERIFY(Windows1252::canEncode(character));
    }
}

void TestWindows1252::knownCharacters_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("unicode");

    QTest::newRow("A") << 0x41 << 0x41;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 81") << 0x81 << 0x81;
    QTest::newRow("low quote") << 0x82 << 0x201A;
    QTest::newRow("undefined 8D") << 0x8D << 0x8D;
    QTest::newRow("Z caron") << 0x8E << 0x017D;
    QTest::newRow("undefined 8F") << 0x8F << 0x8F;
    QTest::newRow("undefined 90") << 0x90 << 0x90;
    QTest::newRow("left quote") << 0x91 << 0x2018;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("undefined 9D") << 0x9D << 0x9D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0xA0;
    QTest::newRow("yen (line-break mark)") << 0xA5 << 0xA5;
    QTest::newRow("section (separator)") << 0xA7 << 0xA7;
    QTest::newRow("a tilde") << 0xE3 << 0xE3;
    QTest::newRow("y diaeresis") << 0xFF << 0xFF;
}

void TestWindows1252::knownCharacters()
{
    QFETCH(int, code);
    QFETCH(int, unicode);
    const QByteArray byte(1, char(code));
    QCOMPARE(Windows1252::toUnicode(byte), QString(QChar(unicode)));
    bool ok = false;
    QCOMPARE(Windows1252::fromUnicode(QString(QChar(unicode)), &ok), byte);
    QVERIFY(ok);
}

void TestWindows1252::refusesWhatItCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("C1 control with a 1252 character") << QStringLiteral("a\u0080b") << QByteArray("a?b");
    QTest::newRow("C1 control 0x9F") << QStringLiteral("\u009F") << QByteArray("?");
    QTest::newRow("Cyrillic") << QStringLiteral("\u0416") << QByteArray("?");
    QTest::newRow("CJK") << QStringLiteral("x\u4E2D") << QByteArray("x?");
    QTest::newRow("emoji (two halves)") << QStringLiteral("\U0001F511") << QByteArray("??");
    QTest::newRow("literal question mark kept apart") << QStringLiteral("?\u0100") << QByteArray("??");
}

void TestWindows1252::refusesWhatItCannotHold()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool ok = true;
    QCOMPARE(Windows1252::fromUnicode(text, &ok), bytes);
    QVERIFY(!ok);
    QVERIFY(std::any_of(text.begin(), text.end(), [](QChar c) { return !Windows1252::canEncode(c); }));
}

QTEST_GUILESS_MAIN(TestWindows1252)
#include "tst_windows1252.moc"
