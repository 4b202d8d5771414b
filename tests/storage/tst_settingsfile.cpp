#include "referencecodec.h"
#include "storage/settingsfile.h"

#include <QTest>

// cnfg.tab: the installation key made at the first start and the file's bytes.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void installationKey_data();
    void installationKey();
    void encodesAndReadsBack();
};

// Day, month and two-digit year, then hour, minutes and seconds, each without leading zeros, added as numbers.
void TestSettingsFile::installationKey_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QByteArray>("key");
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    QTest::newRow("one-digit day and month") << at(2026, 3, 6, 0, 0, 7) << QByteArray("6333");
    QTest::newRow("largest numbers") << at(2099, 12, 31, 23, 59, 59) << QByteArray("547258");
    QTest::newRow("two-digit day") << at(2026, 1, 15, 9, 5, 3) << QByteArray::number(15126 + 953);
    QTest::newRow("year keeps two digits") << at(2005, 1, 1, 10, 0, 0) << QByteArray("2105");
}

void TestSettingsFile::installationKey()
{
    QFETCH(QDateTime, now);
    QFETCH(QByteArray, key);
    QCOMPARE(SettingsFile::makeInstallationKey(now), key);
}

void TestSettingsFile::encodesAndReadsBack()
{
    const Settings settings{"547258", "a\"b\r\nc", Settings::answerYes};
    const QByteArray file = SettingsFile::encode(settings);
    QCOMPARE(file, ReferenceCodec::settingsFile("547258", "a\"b\r\nc", "Sim"));
    const Settings read = SettingsFile::decode(file);
    QCOMPARE(read.installationKey, settings.installationKey);
    QCOMPARE(read.masterPassword, settings.masterPassword);
    QVERIFY(read.asksPasswordAtStart());
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
