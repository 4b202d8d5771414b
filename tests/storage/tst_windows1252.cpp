#include "storage/windows1252.h"

#include <QTest>

// The conversion between records (Windows-1252 bytes) and the text the windows show.
class TestWindows1252 : public QObject
{
    Q_OBJECT

private slots:
    void everyByteRoundTrips();
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
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0xE3), QChar(0xE3));
    bool ok = false;
    QCOMPARE(Windows1252::fromUnicode(text, &ok), all);
    QVERIFY(ok);
}

void TestWindows1252::refusesWhatItCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("C1 control held by no byte") << QStringLiteral("a\u0080b") << QByteArray("a?b");
    QTest::newRow("Cyrillic") << QStringLiteral("\u0416") << QByteArray("?");
    QTest::newRow("emoji (two halves)") << QStringLiteral("\U0001F511") << QByteArray("??");
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
